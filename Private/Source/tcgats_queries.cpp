// TCgats: what the tables hold (presence, counts, per-sample values, colour descriptions) and
// the solid-patch search.
#include <tintvale/tcgats.h>

#include "halden.h"
#include "numtext.h"
#include "tcgats_vocabulary.h"
#include "tcgatsfield.h"
#include "tcgatstable.h"
#include "tcgatstableheader.h"
#include "tcgatstag.h"

#include <cstring>

using namespace tintvale::detail;

namespace {

constexpr const char* kInkBookField = "InkBook";
// Sample-name columns of other instrument software, after "SampleID".
const char* const kSampleLabelFields[] = { "SAMPLE_ID", "SAMPLE_NAME" };
// A channel above kFull is a solid, one below kEmpty is blank (tints in percent).
constexpr double kFull = 99.5;
constexpr double kEmpty = 0.5;

const TCgatsTableHeader* HeaderOf(const TCgatsTable* table) { return table ? table->header.get() : nullptr; }

bool IsProcessModel(int model)
{
    return model == TCgatsTableHeader::kCmyk || model == TCgatsTableHeader::kCustom
        || model == TCgatsTableHeader::kNColor;
}

void CopyText(const std::string& text, char* out) { std::memcpy(out, text.c_str(), text.size() + 1); }

} // namespace

const TCgatsTable* TCgats::SoundTable(int t) const
{
    if (errorCode != 0)
        return nullptr;
    const TCgatsTable* table = Table(t);
    if (!table || table->error != 0 || !table->header)
        return nullptr;
    return table;
}

// ---- Presence.

bool TCgats::ContainsFieldName(int t, const char* name) const
{
    const TCgatsTableHeader* h = HeaderOf(SoundTable(t));
    return h && h->FindField(name) >= 0;
}

bool TCgats::ContainsInkBookNames(int t) const { return ContainsFieldName(t, kInkBookField); }

bool TCgats::ContainsLab(int t) const
{
    const TCgatsTableHeader* h = HeaderOf(SoundTable(t));
    return h && !h->labFields.empty();
}

bool TCgats::ContainsXyz(int t) const
{
    const TCgatsTableHeader* h = HeaderOf(SoundTable(t));
    return h && !h->xyzFields.empty();
}

bool TCgats::ContainsProcessColors(int t) const
{
    const TCgatsTableHeader* h = HeaderOf(SoundTable(t));
    return h && IsProcessModel(h->colorModel);
}

bool TCgats::ContainsSpotColors(int t) const
{
    const TCgatsTableHeader* h = HeaderOf(SoundTable(t));
    return h && h->nrSpots > 0;
}

bool TCgats::ContainsSampleNames(int t) const
{
    const TCgatsTableHeader* h = HeaderOf(SoundTable(t));
    return h && h->sampleIdField >= 0;
}

bool TCgats::ContainsWaveLengths(int t) const
{
    const TCgatsTableHeader* h = HeaderOf(SoundTable(t));
    return h && h->nrWaveLengths > 0;
}

bool TCgats::IsCMYKDefined(int t) const
{
    const TCgatsTableHeader* h = HeaderOf(SoundTable(t));
    return h && h->colorModel == TCgatsTableHeader::kCmyk;
}

bool TCgats::IsCustomDefined(int t) const
{
    const TCgatsTableHeader* h = HeaderOf(SoundTable(t));
    return h && h->colorModel == TCgatsTableHeader::kCustom;
}

bool TCgats::IsNColorDefined(int t) const
{
    const TCgatsTableHeader* h = HeaderOf(SoundTable(t));
    return h && h->colorModel == TCgatsTableHeader::kNColor;
}

bool TCgats::IsSpotColorDefined(int t) const
{
    const TCgatsTableHeader* h = HeaderOf(SoundTable(t));
    return h && h->colorModel == TCgatsTableHeader::kSpotColor;
}

bool TCgats::ContainsCustomProcessColorDescriptions() const { return FindTag(kKindProcessColorId) >= 0; }

bool TCgats::ContainsSpotDescriptions() const { return FindTag(kKindSpotId) >= 0; }

// ---- Counts.

int TCgats::GetNrTables() const { return static_cast<int>(tables.size()); }

int TCgats::GetNrFields(int t) const
{
    const TCgatsTable* table = Table(t);
    if (!table || table->error != 0 || !table->header)
        return -1;
    return table->header->NrFields();
}

int TCgats::GetNrSamples(int t) const
{
    const TCgatsTable* table = Table(t);
    if (!table || table->error != 0 || !table->header)
        return -1;
    return table->header->nrSamples;
}

int TCgats::GetNrProcessColors(int t) const
{
    const TCgatsTableHeader* h = HeaderOf(SoundTable(t));
    return h ? h->nrColors : -1;
}

int TCgats::GetNrSpotColors(int t) const
{
    const TCgatsTableHeader* h = HeaderOf(SoundTable(t));
    return h ? h->nrSpots : -1;
}

int TCgats::GetNrWaveLengths(int t) const
{
    const TCgatsTableHeader* h = HeaderOf(SoundTable(t));
    return h ? h->nrWaveLengths : -1;
}

// ---- Per-sample values. The sized variants do the work; the caller-buffer forms copy from them.

int TCgats::GetCoordinates(int t, int s, std::vector<double>& out) const
{
    const TCgatsTable* table = SoundTable(t);
    if (!table || !table->ValidSample(s))
        return -1;
    const TCgatsTableHeader& h = *table->header;
    if ((h.colorModel == TCgatsTableHeader::kNoColor || h.colorModel == TCgatsTableHeader::kSpotColor)
        && h.nrSpots < 1)
        return -1;
    const std::vector<int>& channels = !h.colorFields.empty() ? h.colorFields : h.spotFields;
    out.resize(channels.size());
    if (channels.empty())
        return 0;
    return table->GetValues(s, channels, 1.0, out.data());
}

int TCgats::GetSpotCoordinates(int t, int s, std::vector<double>& out) const
{
    const TCgatsTable* table = SoundTable(t);
    if (!table || table->header->nrSpots < 1)
        return -1;
    out.resize(table->header->spotFields.size());
    return table->GetValues(s, table->header->spotFields, 1.0, out.data());
}

int TCgats::GetLab(int t, int s, std::vector<double>& out) const
{
    const TCgatsTable* table = SoundTable(t);
    if (!table || table->header->labFields.empty())
        return -1;
    out.resize(3);
    return table->GetValues(s, table->header->labFields, 1.0, out.data());
}

int TCgats::GetXyz(int t, int s, std::vector<double>& out) const
{
    const TCgatsTable* table = SoundTable(t);
    if (!table || table->header->xyzFields.empty())
        return -1;
    out.resize(3);
    return table->GetValues(s, table->header->xyzFields, 1.0, out.data());
}

int TCgats::GetSpectrum(int t, int s, std::vector<double>& out) const
{
    const TCgatsTable* table = SoundTable(t);
    if (!table || table->header->nrWaveLengths < 1)
        return -1;
    out.resize(table->header->waveLengthFields.size());
    return table->GetValues(s, table->header->waveLengthFields, SpectralFactor(t), out.data());
}

int TCgats::GetSampleName(int t, int s, std::string& out) const
{
    const TCgatsTable* table = SoundTable(t);
    if (!table || !table->ValidSample(s) || table->header->sampleIdField < 0)
        return -1;
    const TCgatsValueList* column = table->columns[table->header->sampleIdField].get();
    const char* text = column ? column->GetString(s) : nullptr;
    out = text ? text : "";
    return 0;
}

int TCgats::SampleLabelField(int t) const
{
    const TCgatsTable* table = SoundTable(t);
    if (!table)
        return -1;
    if (table->header->sampleIdField >= 0)
        return table->header->sampleIdField;
    for (const char* name : kSampleLabelFields)
        for (int k = 0; k < table->NrFields(); ++k)
            if (strcmp_ci(table->header->fields[k]->name.c_str(), name) == 0)
                return k;
    return -1;
}

bool TCgats::ContainsSampleLabels(int t) const { return SampleLabelField(t) >= 0; }

int TCgats::GetSampleLabel(int t, int s, std::string& out) const
{
    const int field = SampleLabelField(t);
    const TCgatsTable* table = SoundTable(t);
    if (field < 0 || !table->ValidSample(s))
        return -1;
    return table->GetFieldText(s, field, out);
}

int TCgats::GetInkBookName(int t, int s, std::string& out) const
{
    const TCgatsTable* table = SoundTable(t);
    if (!table || !table->ValidSample(s))
        return -1;
    const int field = table->header->FindField(kInkBookField);
    if (field < 0) {
        out.clear();
        return -1;
    }
    return table->GetFieldText(s, field, out);
}

int TCgats::GetWaveLengths(int t, std::vector<int>& out) const
{
    const TCgatsTable* table = Table(t);
    if (!table || table->error != 0 || !table->header || table->header->nrWaveLengths < 1)
        return 1;
    out.resize(table->header->nrWaveLengths);
    return table->header->GetWaveLengths(out.data()) == 0 ? 0 : 1;
}

namespace {

template <class Fill> int FillDoubles(double** out, Fill fill)
{
    if (!out || !*out)
        return -1;
    std::vector<double> values;
    const int result = fill(values);
    if (result == 0 && !values.empty())
        std::memcpy(*out, values.data(), values.size() * sizeof(double));
    return result;
}

} // namespace

int TCgats::GetCoordinates(int t, int s, double** out) const
{
    return FillDoubles(out, [&](std::vector<double>& v) { return GetCoordinates(t, s, v); });
}

int TCgats::GetSpotCoordinates(int t, int s, double** out) const
{
    return FillDoubles(out, [&](std::vector<double>& v) { return GetSpotCoordinates(t, s, v); });
}

int TCgats::GetLab(int t, int s, double** out) const
{
    return FillDoubles(out, [&](std::vector<double>& v) { return GetLab(t, s, v); });
}

int TCgats::GetXyz(int t, int s, double** out) const
{
    return FillDoubles(out, [&](std::vector<double>& v) { return GetXyz(t, s, v); });
}

int TCgats::GetSpectrum(int t, int s, double** out) const
{
    return FillDoubles(out, [&](std::vector<double>& v) { return GetSpectrum(t, s, v); });
}

int TCgats::GetSampleName(int t, int s, char** out) const
{
    if (!out || !*out)
        return -1;
    std::string text;
    if (GetSampleName(t, s, text) != 0)
        return -1;
    CopyText(text, *out);
    return 0;
}

int TCgats::GetInkBookName(int t, int s, char** out)
{
    if (!out || !*out)
        return -1;
    std::string text;
    const int result = GetInkBookName(t, s, text);
    const TCgatsTable* table = SoundTable(t);
    const bool noField = table && table->ValidSample(s) && table->header->FindField(kInkBookField) < 0;
    // Without an "InkBook" field the caller still gets the empty text.
    if (result == 0 || noField)
        CopyText(text, *out);
    return result;
}

int TCgats::GetWaveLengths(int t, int** out) const
{
    if (!out || !*out)
        return 1;
    std::vector<int> values;
    if (GetWaveLengths(t, values) != 0)
        return 1;
    std::memcpy(*out, values.data(), values.size() * sizeof(int));
    return 0;
}

// ---- Colour descriptions.

namespace {

// The values of the first n lines of the kind, in file order.
int Descriptions(
    const std::vector<std::unique_ptr<TCgatsTag>>& tags, int kind, int n, std::vector<const char*>& out)
{
    out.clear();
    for (const auto& tag : tags) {
        if (static_cast<int>(out.size()) >= n)
            break;
        if (tag && tag->kind == kind)
            out.push_back(tag->Value());
    }
    return static_cast<int>(out.size()) == n ? 0 : -1;
}

int CopyPointers(const std::vector<const char*>& values, const char*** out)
{
    for (std::size_t k = 0; k < values.size(); ++k)
        (*out)[k] = values[k];
    return 0;
}

} // namespace

int TCgats::GetCustomProcessColorDescriptions(int t, std::vector<const char*>& out) const
{
    const TCgatsTable* table = SoundTable(t);
    out.clear();
    if (!table || table->header->colorModel != TCgatsTableHeader::kCustom)
        return -1;
    return Descriptions(tags, kKindProcessColorId, table->header->nrColors, out);
}

int TCgats::GetSpotColorDescriptions(int t, std::vector<const char*>& out) const
{
    const TCgatsTable* table = SoundTable(t);
    out.clear();
    if (!table || table->header->nrSpots < 1)
        return -1;
    return Descriptions(tags, kKindSpotId, table->header->nrSpots, out);
}

int TCgats::GetCustomProcessColorDescriptions(int t, const char*** out) const
{
    if (!out || !*out)
        return -1;
    std::vector<const char*> values;
    const int result = GetCustomProcessColorDescriptions(t, values);
    CopyPointers(values, out); // the descriptions found stay written on failure too
    return result;
}

int TCgats::GetSpotColorDescriptions(int t, const char*** out) const
{
    if (!out || !*out)
        return -1;
    std::vector<const char*> values;
    const int result = GetSpotColorDescriptions(t, values);
    CopyPointers(values, out);
    return result;
}

// ---- Solid patches.

int TCgats::GetColorValues(int t, std::vector<std::vector<double>>& values, bool spectral, bool process) const
{
    if (!SoundTable(t))
        return 1;
    if (process ? !ContainsProcessColors(t) : !ContainsSpotColors(t))
        return 1;
    if (spectral ? !ContainsWaveLengths(t) : !ContainsLab(t))
        return 1;
    const int n = process ? GetNrProcessColors(t) : GetNrSpotColors(t);
    const int nrSamples = GetNrSamples(t);
    values.assign(n, {});
    std::vector<bool> found(n, false);
    int nrFound = 0;
    std::vector<double> channels;
    for (int s = 0; s < nrSamples; ++s) {
        const int read = process ? GetCoordinates(t, s, channels) : GetSpotCoordinates(t, s, channels);
        if (read != 0 || static_cast<int>(channels.size()) != n)
            return 1;
        // A solid of colour c: channel c full, every other one empty.
        int solid = -1;
        bool isSolid = true;
        for (int c = 0; c < n && isSolid; ++c) {
            if (channels[c] > kFull) {
                if (solid >= 0)
                    isSolid = false;
                solid = c;
            } else if (!(channels[c] < kEmpty)) {
                isSolid = false;
            }
        }
        if (!isSolid || solid < 0 || found[solid])
            continue;
        const int got = spectral ? GetSpectrum(t, s, values[solid]) : GetLab(t, s, values[solid]);
        if (got != 0)
            return 1;
        found[solid] = true;
        ++nrFound;
    }
    return nrFound == n ? 0 : 1;
}

int TCgats::GetColorValues(int t, double*** values, bool spectral, bool process) const
{
    if (!values || !*values)
        return 1;
    std::vector<std::vector<double>> found;
    const int result = GetColorValues(t, found, spectral, process);
    for (std::size_t c = 0; c < found.size(); ++c)
        if (!found[c].empty() && (*values)[c])
            std::memcpy((*values)[c], found[c].data(), found[c].size() * sizeof(double));
    return result;
}

int TCgats::GetProcessColorValues(int t, double*** values, bool spectral) const
{
    return GetColorValues(t, values, spectral, true);
}

int TCgats::GetProcessColorLab(int t, double*** values) const
{
    return GetColorValues(t, values, false, true);
}

int TCgats::GetProcessColorSpectra(int t, double*** values) const
{
    return GetColorValues(t, values, true, true);
}

int TCgats::GetSpotColorValues(int t, double*** values, bool spectral) const
{
    return GetColorValues(t, values, spectral, false);
}
