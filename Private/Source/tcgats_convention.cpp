// TCgats: a file written in the naming of another family of programs: CGATS.17's standard field
// names, or ArgyllCMS's CTI3 and SPECT files (SAMPLE_ID, SPEC_nnn with the spectral keywords,
// reflectance in percent, DEVICE_CLASS and COLOR_REP).
#include <tintvale/tcgats.h>

#include "cxf.h"
#include "halden.h"
#include "numtext.h"
#include "tcgats_vocabulary.h"
#include "tcgatsfield.h"
#include "tcgatsnameindex.h"
#include "tcgatstable.h"
#include "tcgatstableheader.h"
#include "tcgatstag.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

using namespace tintvale::detail;

namespace {

constexpr const char* kCgatsIdentification = "CGATS.17";
constexpr const char* kArgyllMeasurements = "CTI3";
constexpr const char* kArgyllSpectrum = "SPECT";
constexpr const char* kSampleId = "SAMPLE_ID";
constexpr const char* kArgyllSpectralName = "SPEC_%03d";
constexpr const char* kCgatsSpectralName = "SPECTRAL_NM_%03d";
constexpr const char* kOutputClass = "OUTPUT";
constexpr const char* kReflective = "REFLECTIVE";
// ArgyllCMS writes reflectance in percent; SPECTRAL_NORM says so to every reader.
constexpr int kPercentShift = 2;
constexpr double kPercentNorm = 100.0;
const char* const kRgbNames[] = { "RGB_R", "RGB_G", "RGB_B" };

std::string Decimal(int value)
{
    std::string text;
    AppendInt(text, value);
    return text;
}

// value * 10^shift in decimal: the shortest text of value with its exponent moved, read back, so
// that 0.05023 becomes 5.023 and not 5.0230000000000006.
double DecimalShift(double value, int shift)
{
    if (!std::isfinite(value) || value == 0.0)
        return value * std::pow(10.0, shift);
    char text[64];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific);
    if (ec != std::errc())
        return value * std::pow(10.0, shift);
    std::string shifted(text, end);
    const std::size_t e = shifted.find('e');
    int exponent = 0;
    ParseInt(shifted.data() + e + 1, shifted.data() + shifted.size(), exponent);
    shifted.resize(e + 1);
    AppendInt(shifted, exponent + shift);
    double out = 0.0;
    ParseDouble(shifted.data(), shifted.data() + shifted.size(), out);
    return out;
}

bool IsStandardSampleId(const TCgatsField& field) { return strcmp_ci(field.name.c_str(), kSampleId) == 0; }

// ArgyllCMS reads no "nan" or "inf": a cell written so would turn its column into text. The first
// such cell, described, or empty.
std::string NonFiniteCell(const TCgatsTable& table)
{
    const TCgatsTableHeader& header = *table.header;
    for (std::size_t k = 0; k < header.fields.size() && k < table.columns.size(); ++k) {
        if (header.fields[k]->type != TCgatsField::kDouble || !table.columns[k])
            continue;
        const auto& values = static_cast<const TCgatsValueListDouble&>(*table.columns[k]).values;
        for (std::size_t s = 0; s < values.size(); ++s)
            if (!std::isfinite(values[s]))
                return "Field " + header.fields[k]->name + " of sample " + Decimal(static_cast<int>(s) + 1)
                    + " is not a finite number, which ArgyllCMS cannot read.";
    }
    return {};
}

} // namespace

int TCgats::SaveAs(const char* fileName, Convention convention) const
{
    if (convention == Convention::Cxf)
        return SaveCxf(*this, fileName);
    if (convention == Convention::AsHeld || errorCode != 0)
        return SaveAs(fileName);
    TCgats converted(*this);
    int result = converted.ApplyConvention(convention);
    if (result == 0)
        result = converted.SaveAs(fileName);
    if (result != 0) {
        // With the converted copy's words for it, when it has some.
        RecordError(result);
        if (converted.errorCode == result)
            std::memcpy(errorMsg, converted.errorMsg, sizeof errorMsg);
    }
    return result;
}

int TCgats::WriteToBuffer(char** buffer, Convention convention) const
{
    if (convention == Convention::Cxf)
        return WriteCxfToBuffer(*this, buffer);
    if (convention == Convention::AsHeld || errorCode != 0)
        return WriteToBuffer(buffer);
    TCgats converted(*this);
    int result = converted.ApplyConvention(convention);
    if (result == 0)
        result = converted.WriteToBuffer(buffer);
    else if (buffer)
        *buffer = nullptr;
    if (result != 0) {
        // With the converted copy's words for it, when it has some.
        RecordError(result);
        if (converted.errorCode == result)
            std::memcpy(errorMsg, converted.errorMsg, sizeof errorMsg);
    }
    return result;
}

// The copy is only written, so the header analyses are not renewed after the renaming.
int TCgats::ApplyConvention(Convention convention)
{
    const bool argyll = convention == Convention::Argyll;
    std::vector<std::string> renamed;
    for (int t = 0; t < static_cast<int>(tables.size()); ++t) {
        if (!SoundTable(t))
            continue;
        tables[t]->pointedDoubles = argyll;
        const std::string nonFinite = argyll ? NonFiniteCell(*tables[t]) : std::string();
        if (!nonFinite.empty()) {
            RecordError(kErrConvention);
            strncpy_w0(errorMsg, nonFinite.c_str(), sizeof errorMsg - 1);
            return kErrConvention;
        }
        const int result = NameSpectra(t, argyll, renamed);
        if (result != 0)
            return result;
        NameSamples(t, argyll, renamed);
    }
    DropDeclarations(renamed);
    const bool loneSpectrum = argyll && IsLoneSpectrum();
    if (argyll)
        DescribeDevice(loneSpectrum);
    SetIdentification(!argyll ? kCgatsIdentification : loneSpectrum ? kArgyllSpectrum : kArgyllMeasurements);
    return 0;
}

// SAMPLE_ID names the samples in both conventions; ArgyllCMS needs it, so measurements without
// names get their numbers (tables of other kinds, such as calibration curves, stay as they are).
void TCgats::NameSamples(int t, bool argyll, std::vector<std::string>& renamed)
{
    TCgatsTable& table = *tables[t];
    TCgatsTableHeader& header = *table.header;
    for (const auto& field : header.fields)
        if (IsStandardSampleId(*field))
            return;
    const int k = SampleLabelField(t);
    if (k >= 0) {
        TCgatsField& field = *header.fields[k];
        renamed.push_back(field.name);
        field = TCgatsField(field.type, kSampleId, TCgatsField::kStandard, 0, kFieldSampleId);
        return;
    }
    if (!argyll || (header.labFields.empty() && header.xyzFields.empty() && header.nrWaveLengths == 0))
        return;
    auto numbers = std::make_unique<TCgatsValueListString>(table.nrFilled);
    for (int s = 0; s < table.nrFilled; ++s)
        numbers->SetValue(s, Decimal(s + 1).c_str());
    header.fields.insert(header.fields.begin(),
        std::make_unique<TCgatsField>(
            TCgatsField::kString, kSampleId, TCgatsField::kStandard, 0, kFieldSampleId));
    table.columns.insert(table.columns.begin(), std::move(numbers));
    UpdateFieldCount(t, -1, nullptr);
}

// Spectral fields named by the convention; for ArgyllCMS, which finds them by the band keywords,
// evenly spaced whole-nanometre bands, the keywords, and reflectance in percent.
int TCgats::NameSpectra(int t, bool argyll, std::vector<std::string>& renamed)
{
    TCgatsTable& table = *tables[t];
    TCgatsTableHeader& header = *table.header;
    const int n = header.nrWaveLengths;
    if (n < 1)
        return 0;
    std::vector<double> nm;
    if (GetWaveLengths(t, nm) != 0 || static_cast<int>(nm.size()) != n)
        return kErrConvention;
    // ArgyllCMS tells a spectrum's bands by the first and last wavelength and the band count.
    if (argyll && n < 2) {
        RecordError(kErrConvention);
        strncpy_w0(errorMsg, "ArgyllCMS needs spectra of at least two bands; the table has one.",
            sizeof errorMsg - 1);
        return kErrConvention;
    }
    const double step = n > 1 ? (nm[n - 1] - nm[0]) / (n - 1) : 0.0;
    for (int k = 0; argyll && k < n; ++k)
        if (header.fields[header.waveLengthFields[k]]->index
            != static_cast<int>(std::lround(nm[0] + k * step)))
            return kErrConvention;

    const double factor = SpectralFactor(t);
    const bool percent = factor == 1.0 / kPercentNorm;
    for (int k = 0; k < n; ++k) {
        TCgatsField& field = *header.fields[header.waveLengthFields[k]];
        char name[32];
        std::snprintf(name, sizeof name, argyll ? kArgyllSpectralName : kCgatsSpectralName, field.index);
        renamed.push_back(field.name);
        field.name = name;
        if (!argyll || percent || field.type != TCgatsField::kDouble)
            continue;
        auto& values = static_cast<TCgatsValueListDouble&>(*table.columns[header.waveLengthFields[k]]).values;
        for (double& v : values)
            v = factor == 1.0 ? DecimalShift(v, kPercentShift) : v * factor * kPercentNorm;
    }
    if (!argyll)
        return 0;
    table.spectralPercent = true;
    SetSectionKeyword(t, KeywordName(kRowSpectralBands), Decimal(n));
    SetSectionKeyword(t, KeywordName(kRowSpectralStartNm), FormatShortest(nm[0]));
    SetSectionKeyword(t, KeywordName(kRowSpectralEndNm), FormatShortest(nm[n - 1]));
    SetSectionKeyword(t, KeywordName(kRowSpectralNorm), FormatShortest(kPercentNorm));
    return 0;
}

// Replaces the line named name in the section of table t, or adds a quoted one ahead of the
// section's structure lines (field count, data format, set count, data).
void TCgats::SetSectionKeyword(int t, const char* name, const std::string& value)
{
    int section = 0, at = -1;
    for (int i = 0; i < static_cast<int>(tags.size()); ++i) {
        const TCgatsTag* tag = tags[i].get();
        if (!tag || section < t) {
            section += tag && tag->kind == kKindBeginData;
            continue;
        }
        if (tag->Name() && strcmp_ci(tag->Name(), name) == 0) {
            tags[i] = std::make_unique<TCgatsTag>(tag->kind, tag->Name(), 0, value.c_str(), tag->Comment());
            return;
        }
        const int kind = tag->kind;
        if (at < 0
            && (kind == kKindNumberOfFields || kind == kKindBeginDataFormat || kind == kKindNumberOfSets
                || kind == kKindBeginData))
            at = i;
        if (kind == kKindBeginData)
            break;
    }
    if (at < 0)
        at = static_cast<int>(tags.size());
    tags.insert(tags.begin() + at, std::make_unique<TCgatsTag>(kKindNone, name, 0, value.c_str(), ""));
}

// The "KEYWORD" declarations of names no field carries any more: one pass over the fields and one
// over the tags, as files of thousands of tables rename thousands of fields.
void TCgats::DropDeclarations(const std::vector<std::string>& names)
{
    TCgatsNameSet inUse;
    for (const auto& table : tables)
        if (table && table->header)
            for (const auto& field : table->header->fields)
                if (field)
                    inUse.Add(field->name.c_str());
    TCgatsNameSet stale;
    bool any = false;
    for (const std::string& name : names)
        if (!inUse.Contains(name.c_str())) {
            stale.Add(name.c_str());
            any = true;
        }
    if (!any)
        return;
    tags.erase(std::remove_if(tags.begin(), tags.end(),
                   [&stale](const std::unique_ptr<TCgatsTag>& tag) {
                       return tag && tag->kind == kKindKeyword && stale.Contains(tag->Value());
                   }),
        tags.end());
}

// What ArgyllCMS needs to know of the data, unless the file states it: the measurement type of a
// spectrum file; the device class of a measurement file ("OUTPUT": reflective, as every spectrum
// here) and COLOR_REP from the CMYK or RGB channels and the XYZ or Lab fields of the first table.
void TCgats::DescribeDevice(bool loneSpectrum)
{
    if (loneSpectrum) {
        if (!GetTag(KeywordName(kRowMeasType)))
            SetSectionKeyword(0, KeywordName(kRowMeasType), kReflective);
        return;
    }
    if (!GetTag(KeywordName(kRowDeviceClass)))
        SetSectionKeyword(0, KeywordName(kRowDeviceClass), kOutputClass);
    const TCgatsTable* table = SoundTable(0);
    if (!table || GetTag(KeywordName(kRowColorRep)))
        return;
    const TCgatsTableHeader& header = *table->header;
    std::string device;
    if (header.colorModel == TCgatsTableHeader::kCmyk)
        device = header.nrColors == 4 ? "CMYK" : "CMY";
    else if (header.HasField(kRgbNames[0]) && header.HasField(kRgbNames[1]) && header.HasField(kRgbNames[2]))
        device = "RGB";
    // ArgyllCMS takes only device + colour representations ("CMYK" alone is refused); spectra
    // alone are named XYZ, which spec2cie and average then compute from them.
    const std::string space = !header.xyzFields.empty() ? "XYZ"
        : !header.labFields.empty()                     ? "LAB"
        : header.nrWaveLengths > 0                      ? "XYZ"
                                                        : "";
    if (!device.empty())
        SetSectionKeyword(0, KeywordName(kRowColorRep), space.empty() ? device : device + "_" + space);
}

// The first line names an ArgyllCMS measurement or spectrum file.
bool TCgats::IsArgyllMeasurementFile() const
{
    for (const auto& tag : tags)
        if (tag && tag->HasName())
            return std::string(tag->Name()).compare(0, 4, kArgyllMeasurements) == 0;
    return false;
}

bool TCgats::IsArgyllFile() const
{
    for (const auto& tag : tags)
        if (tag && tag->HasName())
            return std::string(tag->Name()).compare(0, 4, kArgyllMeasurements) == 0
                || std::string(tag->Name()).compare(0, 5, kArgyllSpectrum) == 0;
    return false;
}

// One table of one spectrum and nothing else (a sample name aside): an ArgyllCMS spectrum file.
bool TCgats::IsLoneSpectrum() const
{
    const TCgatsTable* table = SoundTable(0);
    if (tables.size() != 1 || !table || table->nrFilled != 1)
        return false;
    const TCgatsTableHeader& header = *table->header;
    for (const auto& field : header.fields)
        if (field->category != TCgatsField::kSpectral && !IsStandardSampleId(*field))
            return false;
    return header.nrWaveLengths > 0;
}

// The first line names the file's type: it is replaced, or added when the file has none. A first
// line that was a sentence stays as a comment below the new one.
void TCgats::SetIdentification(const char* type)
{
    std::size_t first = 0;
    while (first < tags.size() && !(tags[first] && tags[first]->HasName()))
        ++first;
    const TCgatsTag* tag = first < tags.size() ? tags[first].get() : nullptr;
    const bool identification = tag && tag->kind == kKindNone && !*tag->Value() && !tag->IsCustomKeyword()
        && !IsSectionMarker(tag->Name());
    std::string old;
    if (identification) {
        old = tag->Name();
        tags.erase(tags.begin() + static_cast<std::ptrdiff_t>(first));
    }
    std::size_t at = identification ? first : 0;
    tags.insert(tags.begin() + static_cast<std::ptrdiff_t>(at++),
        std::make_unique<TCgatsTag>(kKindNone, type, 0, "", ""));
    if (old.find(' ') != std::string::npos)
        tags.insert(tags.begin() + static_cast<std::ptrdiff_t>(at),
            std::make_unique<TCgatsTag>(kKindNone, nullptr, 0, "", old.c_str()));
}
