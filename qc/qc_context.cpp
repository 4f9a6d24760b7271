// Common options, the illuminant set and the colorimetric setting shared by the subcommands.
#include <tintvale/qc/context.h>

#include "qc_shipped.h"

#include <tintvale/tappearancemodel.h>
#include <tintvale/tilluminant.h>

#include <algorithm>
#include <dlfcn.h>
#include <filesystem>
#include <mutex>
#include <strings.h>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace tintvale::qc {

namespace {

bool HoldsFiles(const fs::path& dir, const char* extension)
{
    std::error_code ec;
    if (!fs::is_directory(dir, ec))
        return false;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::string ext = it->path().extension().string();
        if (strcasecmp(ext.c_str(), extension) == 0)
            return true;
    }
    return false;
}

fs::path ProgramDirectory(const std::string& program)
{
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (ec || self.empty())
        self = fs::absolute(program, ec);
    return self.parent_path();
}

// The directory of the binary this code is linked into: the installed QC library, or the program
// or module that carries it statically.
fs::path LibraryDirectory()
{
    Dl_info info {};
    if (dladdr(reinterpret_cast<void*>(&LibraryDirectory), &info) == 0 || !info.dli_fname)
        return {};
    std::error_code ec;
    const fs::path self = fs::canonical(info.dli_fname, ec);
    return ec ? fs::path() : self.parent_path();
}

} // namespace

Error::~Error() = default;

std::string ShippedDirectory(const CommonOptions& options, const char* name, const char* installed,
    const char* source, const char* extension)
{
    const fs::path candidates[] = {
        options.shipped.empty() ? fs::path() : fs::path(options.shipped) / name,
        LibraryDirectory() / TINTVALE_DATA_FROM_LIBRARY / name,
        ProgramDirectory(options.program) / ".." / "share" / "tintvale" / name,
        fs::path(installed),
        fs::path(source),
    };
    for (const fs::path& dir : candidates)
        if (HoldsFiles(dir, extension))
            return dir.lexically_normal().string();
    return {};
}

std::string IlluminantDirectory(const CommonOptions& options)
{
    if (!options.illuminantDir.empty())
        return options.illuminantDir;
    const std::string shipped = ShippedDirectory(
        options, "illuminants", TINTVALE_INSTALLED_ILLUMINANTS, TINTVALE_SOURCE_ILLUMINANTS, ".ill");
    if (!shipped.empty())
        return shipped;
    throw Error("no illuminant set found (looked beside the library and the program, "
                "in " TINTVALE_INSTALLED_ILLUMINANTS " and " TINTVALE_SOURCE_ILLUMINANTS
                "); name one with --illuminants DIR");
}

IlluminantSet::IlluminantSet(const std::string& directory)
    : mDirectory(directory)
{
    std::error_code ec;
    if (!fs::is_directory(directory, ec))
        throw Error(directory + ": not a directory of illuminant files");
    try {
        // Loading touches the library's unlocked global state: one set at a time (batch threads).
        static std::mutex loading;
        std::lock_guard<std::mutex> lock(loading);
        mFactory.AddDirectory(directory.c_str());
    } catch (const std::exception& e) {
        throw Error(directory + ": " + e.what());
    }
    if (mFactory.GetListOfIlluminants().empty())
        throw Error(directory + ": no illuminant files (*.ill) found");
}

TIlluminant* IlluminantSet::Find(const std::string& name)
{
    // Looked up in the list first: the factory reports a miss to the message sink, and the tool
    // reports it once, with the names to choose from.
    std::vector<std::string> names;
    for (const TIlluminant* ill : mFactory.GetListOfIlluminants()) {
        const char* n = ill->GetName();
        if (!n)
            continue;
        if (strcasecmp(n, name.c_str()) == 0)
            return mFactory.GetIlluminant(n);
        names.emplace_back(n);
    }
    std::sort(names.begin(), names.end(), NaturalLess);
    std::string known;
    for (const std::string& n : names)
        known += (known.empty() ? "\"" : ", \"") + n + '"';
    throw Error("illuminant \"" + name + "\" not found in " + mDirectory + " (known: " + known + ")");
}

Colorimetry::Colorimetry(const CommonOptions& options)
    : mSet(IlluminantDirectory(options))
    , mObserver(options.observer.empty() ? kDefaultObserver : options.observer.c_str())
{
    const std::string illuminant = options.illuminant.empty() ? kDefaultIlluminant : options.illuminant;
    if (mObserver.ErrNo() != 0)
        throw Error("unknown observer \"" + options.observer + "\" (\"2 degree\" or \"10 degree\")");
    mIlluminant = mSet.Find(illuminant);
    mIntegrator = std::make_unique<TIlluminantAndObserver>(mIlluminant, &mObserver, 36);
    if (mIntegrator->ErrNo() != 0)
        throw Error("illuminant \"" + illuminant + "\" cannot be used for integration (error "
            + std::to_string(mIntegrator->ErrNo()) + ")");
    mIntegrator->GetXYZWhite(mWhite);
    mLab = std::make_unique<TLabSpace>(mWhite);
    mRequest = IntegrationRequest(options.integration);
}

bool Colorimetry::MadeFor(const CommonOptions& options) const
{
    const std::string illuminant = options.illuminant.empty() ? kDefaultIlluminant : options.illuminant;
    const std::string observer = options.observer.empty() ? kDefaultObserver : options.observer;
    return strcasecmp(illuminant.c_str(), mIlluminant->GetName()) == 0 && observer == mObserver.GetName()
        && mRequest == IntegrationRequest(options.integration);
}

const char* const kGridMethod = "10 nm 380-730";

int IntegrationRequest(const std::string& name)
{
    if (name == "grid")
        return -1;
    const int request = TFineIntegration::RequestByName(name.c_str());
    if (request < 0)
        throw Error("unknown integration \"" + name + "\" (auto, astm-e308, cie15 or grid)");
    return request;
}

std::string Colorimetry::Describe() const
{
    return std::string(mIlluminant->GetName()) + ", " + mObserver.GetName() + " observer";
}

bool NaturalLess(const std::string& a, const std::string& b)
{
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            std::size_t endA = i, endB = j;
            while (endA < a.size() && isDigit(a[endA]))
                ++endA;
            while (endB < b.size() && isDigit(b[endB]))
                ++endB;
            // Leading zeros aside, the longer run is the larger number.
            std::string numA = a.substr(i, endA - i), numB = b.substr(j, endB - j);
            numA.erase(0, std::min(numA.find_first_not_of('0'), numA.size()));
            numB.erase(0, std::min(numB.find_first_not_of('0'), numB.size()));
            if (numA.size() != numB.size())
                return numA.size() < numB.size();
            if (numA != numB)
                return numA < numB;
            i = endA;
            j = endB;
        } else {
            if (a[i] != b[j])
                return a[i] < b[j];
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

std::string FormulaNames()
{
    std::string text;
    for (int i = 0; i < TLabSpace::GetDifferenceFunctionListSize(); ++i) {
        text += (i ? "; \"" : "\"") + std::string(TLabSpace::GetDifferenceFunctionList()[i]) + '"';
        const char* const* alias = TLabSpace::GetDifferenceFunctionAliases(i);
        for (int k = 0; alias[k]; ++k)
            text += (k ? ", \"" : " (also \"") + std::string(alias[k]) + '"';
        text += ')';
    }
    for (int i = 0; i < TAppearanceModel::GetUniformFormulaCount(); ++i)
        text += "; \"" + std::string(TAppearanceModel::GetUniformFormula(i)->name) + '"';
    return text;
}

int FormulaIndex(const std::string& name)
{
    const int index = TLabSpace::DifferenceFunctionNameToIndex(name.c_str());
    if (index >= 0)
        return index;
    const int appearance = TAppearanceModel::UniformFormulaIndex(name.c_str());
    if (appearance < 0)
        throw Error("unknown formula \"" + name + "\" (known: " + FormulaNames() + ")");
    return TLabSpace::GetDifferenceFunctionListSize() + appearance;
}

int AppearanceFormula(int index)
{
    const int row = index - TLabSpace::GetDifferenceFunctionListSize();
    return TAppearanceModel::GetUniformFormula(row) ? row : -1;
}

const char* FormulaName(int index)
{
    const int row = AppearanceFormula(index);
    return row >= 0 ? TAppearanceModel::GetUniformFormula(row)->name
                    : TLabSpace::GetDifferenceFunctionList()[index];
}

} // namespace tintvale::qc
