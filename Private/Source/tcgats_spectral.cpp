// TCgats: the wavelengths and scale of spectral columns, from the spectral keywords of a table's
// section ("SPECTRAL_START_NM", "SPECTRAL_END_NM", "SPECTRAL_BANDS", "SPECTRAL_NORM") where the
// file has them, else from the column names and the percent rule.
#include <tintvale/tcgats.h>

#include "halden.h"
#include "numtext.h"
#include "tcgats_vocabulary.h"
#include "tcgatstable.h"
#include "tcgatstableheader.h"
#include "tcgatstag.h"

#include <cmath>
#include <cstring>

using namespace tintvale::detail;

namespace {

// Column names carry the band's wavelength rounded (or cut) to whole nanometres.
constexpr double kNameTolerance = 1.0;
constexpr double kPercentToFactor = 0.01;

} // namespace

// The value of the last line named name (any letter case) after the data of table t - 1 and up to
// the data of table t, as a number; absent (or not a number) gives 0.
double TCgats::SectionNumber(int t, const char* name) const
{
    // Asked for every sample of a table: lines of another length are passed over without comparing.
    const std::size_t length = std::strlen(name);
    int section = 0;
    const char* value = nullptr;
    for (const auto& tag : tags) {
        if (!tag)
            continue;
        if (tag->kind == kKindBeginData && ++section > t)
            break;
        if (section == t && tag->HasName() && tag->NameText().size() == length
            && strcmp_ci(tag->Name(), name) == 0)
            value = tag->Value();
    }
    return value ? AtofC(value) : 0.0;
}

int TCgats::GetWaveLengths(int t, std::vector<double>& out) const
{
    std::vector<int> named;
    if (GetWaveLengths(t, named) != 0)
        return 1;
    out.assign(named.begin(), named.end());
    // Evenly spaced bands from start to end, when they agree with the names.
    const double start = SectionNumber(t, KeywordName(kRowSpectralStartNm));
    const double end = SectionNumber(t, KeywordName(kRowSpectralEndNm));
    const double bands = SectionNumber(t, KeywordName(kRowSpectralBands));
    const std::size_t n = named.size();
    if (n < 2 || bands != static_cast<double>(n) || !(end > start))
        return 0;
    const double step = (end - start) / static_cast<double>(n - 1);
    auto exact = [&](std::size_t k) { return start + step * static_cast<double>(k); };
    for (std::size_t k = 0; k < n; ++k)
        if (std::fabs(exact(k) - named[k]) > kNameTolerance)
            return 0;
    for (std::size_t k = 0; k < n; ++k)
        out[k] = exact(k);
    return 0;
}

double TCgats::SpectralFactor(int t) const
{
    const TCgatsTable* table = Table(t);
    const double norm = SectionNumber(t, KeywordName(kRowSpectralNorm));
    if (norm > 0.0 && std::isfinite(norm))
        return 1.0 / norm;
    // ArgyllCMS writes spectra in percent, however dark the first samples are.
    if (IsArgyllFile())
        return kPercentToFactor;
    return table && table->spectralPercent ? kPercentToFactor : 1.0;
}
