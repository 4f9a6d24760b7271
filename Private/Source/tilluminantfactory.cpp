// TIlluminantFactory: loading illuminant directories, adding, finding and saving illuminants.
#include <tintvale/tilluminantfactory.h>

#include <tintvale/tilluminant.h>

#include "halden.h"
#include "numtext.h"
#include "ostrel.h"

#include <boost/filesystem.hpp>

#include <cmath>
#include <new>
#include <string>

namespace {

// The messages, with the source and the line numbers hosts know them by.
struct Message {
    const char* text;
    int line;
};
constexpr Message kNoMemoryInDirectory { "No Memory of Ill creation", 46 };
constexpr Message kNoMemoryForAdded { "No Memory for Ill Creation", 68 };
constexpr Message kNoName { "Specify illuminant name", 101 };
constexpr Message kNotFound { "No Illuminant with this name available", 131 };

void Tell(const Message& message) { error_mess_fl(message.text, "tilluminantfactory", message.line); }

const char kFallbackName[] = "CIE Illuminant D50";
const char kFallbackTarget[] = "D50";
const char kReplacedWarning[] = "Illuminant \"CIE Illuminant D50\" was replaced by illuminant \"D50\"";

} // namespace

TIlluminantFactory::TIlluminantFactory() = default;

TIlluminantFactory::TIlluminantFactory(const TIlluminantFactory& other) = default;

TIlluminantFactory& TIlluminantFactory::operator=(const TIlluminantFactory& other) = default;

TIlluminantFactory::~TIlluminantFactory() = default;

int TIlluminantFactory::AddDirectory(const char* directory)
{
    namespace fs = boost::filesystem;
    if (directory == nullptr)
        return -1;
    boost::system::error_code error;
    fs::directory_iterator it(Ostrel::FromUTF8String(directory), error);
    for (; !error && it != fs::directory_iterator(); ++it) {
        boost::system::error_code statusError;
        if (!fs::is_regular_file(it->status(statusError)) || statusError)
            continue;
        const std::string name = Ostrel::ToUTF8String(it->path());
        std::shared_ptr<TIlluminant> illuminant(new (std::nothrow) TIlluminant(name.c_str()));
        if (!illuminant) {
            Tell(kNoMemoryInDirectory);
            continue;
        }
        if (illuminant->ErrNo() == 0)
            mIlluminants.push_back(std::move(illuminant));
    }
    return 0;
}

TIlluminant* TIlluminantFactory::AddFile(const char* fileName, int* error)
{
    std::shared_ptr<TIlluminant> illuminant(
        fileName != nullptr ? new (std::nothrow) TIlluminant(fileName) : nullptr);
    const int status = illuminant ? illuminant->ErrNo() : -1;
    if (error != nullptr)
        *error = status;
    if (status != 0)
        return nullptr;
    mIlluminants.push_back(illuminant);
    return illuminant.get();
}

// An illuminant made from a spectrum is kept only when it is complete: it has a spectrum without
// error and a name. One whose construction failed is discarded, and the caller learns of it by the
// null result; only a failed allocation goes to the message sink, since everything else about the
// failure is visible to the caller, who passed the spectrum and the name.
//
// The factory holds the new illuminant by a shared reference, like the ones loaded from files, so
// that copies of this factory made later share it too.
//
// Returns the illuminant, owned by the factory.
TIlluminant* TIlluminantFactory::AddIlluminant(const TSpectrum& spectrum, const char* name)
{
    std::shared_ptr<TIlluminant> illuminant(new (std::nothrow) TIlluminant(spectrum, name));
    if (!illuminant) {
        Tell(kNoMemoryForAdded);
        return nullptr;
    }
    if (illuminant->ErrNo() != 0)
        return nullptr;
    mIlluminants.push_back(illuminant);
    return illuminant.get();
}

// Look-up by name, ignoring letter case, first match in the order added.
//
// Colour measurement data commonly name their illuminant "CIE Illuminant D50", while illuminant
// sets often call the same light just "D50". When the full name is asked for and only the short
// one is present, the short one is returned, and a warning says so: the two are meant to be the
// same CIE illuminant, but the host may want to know that another name was used.
//
// Every other miss is reported through the message sink and gives null, as does a null or empty
// name, which is a fault of the caller rather than a miss:
//   - null or empty name: "Specify illuminant name"
//   - no illuminant of that name: "No Illuminant with this name available"
//
// The returned illuminant stays owned by the factory (and the factories sharing it); it is valid
// while one of them holds it. There is no removal, so that is at least as long as this factory.
//
// The comparison uses the same case-insensitive equality as every other name comparison of the
// library (ASCII letters only), so "d65" finds "D65" but accented letters must match exactly.
//
// Duplicate names are not prevented when illuminants are added; the first one added wins, so a
// host that loads its own directory before the shipped set overrides the shipped illuminants of
// the same names.
TIlluminant* TIlluminantFactory::GetIlluminant(const char* name)
{
    if (name == nullptr || name[0] == '\0') {
        Tell(kNoName);
        return nullptr;
    }

    // First choice: an illuminant of this very name. An exact match always wins over the
    // fallback below, so a set that holds both "CIE Illuminant D50" and "D50" answers each name
    // with its own illuminant and never warns.
    TIlluminant* found = Find(name);
    if (found != nullptr)
        return found;

    // The fallback from the full CIE name to the short one, for D50 only: the illuminant that
    // colour measurement data name most often. Other full names have no fallback; asking for
    // "CIE Illuminant D65" in a set that only knows "D65" is a miss. The warning tells the host
    // that the illuminant it got carries another name than the one it asked for, which matters
    // when it writes that name back into a data file.
    if (strcmp_ci(name, kFallbackName) == 0) {
        // Looked up by the same rule as any other name: the first "D50" in any letter case.
        // The order of adding decides between duplicates here as it does everywhere else.
        // Without a "D50" either, this is an ordinary miss, reported as such below.
        found = Find(kFallbackTarget);
        if (found != nullptr) {
            halden_warn(6, kReplacedWarning);
            return found;
        }
    }

    // Nothing found, not even through the fallback. The message names no illuminant: the host
    // knows what it asked for, and the sink receives one fixed text for every miss, which keeps
    // it usable as a key by hosts that collect messages.
    Tell(kNotFound);
    return nullptr;
}

// The name "D%2d" of trunc(T / 100 + 0.5): the CIE daylight illuminant of that temperature.
TIlluminant* TIlluminantFactory::GetIlluminant(double kelvin)
{
    const double hundreds = std::trunc(kelvin / 100.0 + 0.5);
    std::string name = "D";
    if (std::isfinite(hundreds) && std::fabs(hundreds) < 1e9) {
        std::string digits = tintvale::detail::FormatG(hundreds, 10);
        if (digits.size() < 2)
            name += ' ';
        name += digits;
    } else {
        name += "?"; // no daylight illuminant has this name
    }
    return GetIlluminant(name.c_str());
}

std::vector<const TIlluminant*> TIlluminantFactory::GetListOfIlluminants() const
{
    std::vector<const TIlluminant*> list;
    list.reserve(mIlluminants.size());
    for (const auto& illuminant : mIlluminants)
        list.push_back(illuminant.get());
    return list;
}

int TIlluminantFactory::SaveIlluminant(TIlluminant* illuminant, const char* fileName)
{
    if (illuminant == nullptr || fileName == nullptr)
        return -1;
    return illuminant->Save(fileName);
}

TIlluminant* TIlluminantFactory::Find(const char* name) const
{
    for (const auto& illuminant : mIlluminants) {
        const char* candidate = illuminant->GetName();
        if (candidate != nullptr && strcmp_ci(candidate, name) == 0)
            return illuminant.get();
    }
    return nullptr;
}
