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

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace tintvale::detail;

namespace {

// Column names carry the band's wavelength rounded (or cut) to whole nanometres.
constexpr double kNameTolerance = 1.0;
constexpr double kPercentToFactor = 0.01;

} // namespace

// The values of the last lines with the n keywords of rows (any letter case) after the data of
// table t - 1 and up to the data of table t, as numbers; absent (or not a number) gives 0. One pass
// for all of them: asked for every sample of a table, and lines of another length are passed over
// without comparing.
void TCgats::SectionNumbers(int t, const int* rows, double* out, int n) const
{
    constexpr int kMaxRows = 4;
    const char* values[kMaxRows] = {};
    std::size_t lengths[kMaxRows] = {};
    n = std::min(n, kMaxRows);
    for (int k = 0; k < n; ++k)
        lengths[k] = std::strlen(KeywordName(rows[k]));
    int section = 0;
    for (const auto& tag : tags) {
        if (!tag)
            continue;
        if (tag->kind == kKindBeginData && ++section > t)
            break;
        if (section != t || !tag->HasName())
            continue;
        const std::size_t length = tag->NameText().size();
        for (int k = 0; k < n; ++k)
            if (length == lengths[k] && strcmp_ci(tag->Name(), KeywordName(rows[k])) == 0)
                values[k] = tag->Value();
    }
    for (int k = 0; k < n; ++k)
        out[k] = values[k] ? AtofC(values[k]) : 0.0;
}

int TCgats::GetWaveLengths(int t, std::vector<double>& out) const
{
    std::vector<int> named;
    if (GetWaveLengths(t, named) != 0)
        return 1;
    out.assign(named.begin(), named.end());
    // Evenly spaced bands from start to end, when they agree with the names.
    constexpr int kRows[] = { kRowSpectralStartNm, kRowSpectralEndNm, kRowSpectralBands };
    double numbers[3];
    SectionNumbers(t, kRows, numbers, 3);
    const double start = numbers[0];
    const double end = numbers[1];
    const double bands = numbers[2];
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
    constexpr int kRow = kRowSpectralNorm;
    double norm = 0.0;
    SectionNumbers(t, &kRow, &norm, 1);
    if (norm > 0.0 && std::isfinite(norm))
        return 1.0 / norm;
    // ArgyllCMS writes its measurement files (CTI3) in percent, however dark the first samples are;
    // a SPECT file without SPECTRAL_NORM is another writer's (ArgyllCMS states the norm in every one
    // it writes; others write factors), so its first rows tell.
    if (IsArgyllMeasurementFile())
        return kPercentToFactor;
    return table && table->spectralPercent ? kPercentToFactor : 1.0;
}
