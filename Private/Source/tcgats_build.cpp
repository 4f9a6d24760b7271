// TCgats: copies (whole, with a sample selection, with rearranged colour channels) and files built
// from arrays of colour coordinates, Lab, XYZ and spectral values.
#include <tintvale/tcgats.h>

#include "halden.h"
#include "numtext.h"
#include "tcgats_vocabulary.h"
#include "tcgatsfield.h"
#include "tcgatstable.h"
#include "tcgatstableheader.h"
#include "tcgatstag.h"

#include <cmath>
#include <cstring>

using namespace tintvale::detail;

namespace {

constexpr int kCodeFieldCount = 12;
constexpr int kCodeSampleCount = 13;
constexpr int kCodeCoordinates = 18;
constexpr int kCodeEmptySource = 25;

constexpr const char* kIdentification = "CGATS.17";
constexpr const char* kSampleIdField = "SampleID";
const char* const kCmykNames[] = { "CMYK_C", "CMYK_M", "CMYK_Y", "CMYK_K" };
const char* const kLabNames[] = { "LAB_L", "LAB_A", "LAB_B" };
const char* const kXyzNames[] = { "XYZ_X", "XYZ_Y", "XYZ_Z" };
constexpr int kMaxNameLength = 127;
// Tints closer to zero than this are written as an exact zero.
constexpr double kZeroTint = 0.0001;
constexpr const char* kZeroTintText = "\t0.0";
constexpr double kPercent = 100.0;

std::string Decimal(int value)
{
    std::string text;
    AppendInt(text, value);
    return text;
}

// Pointers to the rows of a per-sample array, or an empty list when the array is empty.
std::vector<const double*> RowPointers(const std::vector<std::vector<double>>& rows)
{
    std::vector<const double*> out;
    for (const auto& row : rows)
        out.push_back(row.data());
    return out;
}

// 0 when every row of a non-empty array has at least width values and there are n of them.
int CheckRows(const std::vector<std::vector<double>>& rows, std::size_t n, std::size_t width)
{
    if (rows.empty())
        return 0;
    if (rows.size() != n)
        return kCodeSampleCount;
    for (const auto& row : rows)
        if (row.size() < width)
            return kCodeFieldCount;
    return 0;
}

} // namespace

// ---- Copies.

TCgats::TCgats(const TCgats& src)
{
    SetToZero();
    Init(src, nullptr, 0, nullptr, 0, 0.0);
}

TCgats& TCgats::operator=(const TCgats& src)
{
    if (this == &src)
        return *this;
    // Built aside first, so that the object is replaced as a whole.
    TCgats copy(src);
    SetToZero();
    tags = std::move(copy.tags);
    commentTags = std::move(copy.commentTags);
    nrSamples = copy.nrSamples;
    tmpHeader = std::move(copy.tmpHeader);
    nrProcessColorIds = copy.nrProcessColorIds;
    nrSpotIds = copy.nrSpotIds;
    customFields = std::move(copy.customFields);
    tables = std::move(copy.tables);
    errorCode = copy.errorCode;
    errorLine = copy.errorLine;
    std::memcpy(errorMsg, copy.errorMsg, sizeof errorMsg);
    return *this;
}

TCgats::TCgats(const TCgats* src)
{
    SetToZero();
    if (!src)
        RecordError(kCodeEmptySource);
    else
        Init(*src, nullptr, 0, nullptr, 0, 0.0);
}

TCgats::TCgats(const TCgats* src, const std::vector<int>& samples)
{
    SetToZero();
    if (!src)
        RecordError(kCodeEmptySource);
    else
        Init(*src, samples.data(), static_cast<int>(samples.size()), nullptr, 0, 0.0);
}

TCgats::TCgats(const TCgats* src, const std::vector<int>& inkMap, double fillValue)
{
    SetToZero();
    if (!src)
        RecordError(kCodeEmptySource);
    else
        Init(*src, nullptr, 0, inkMap.data(), static_cast<int>(inkMap.size()), fillValue);
}

void TCgats::Init(const TCgats& src, const int* samples, int nrSamplesSelected, const int* inkMap, int nrInks,
    double fillValue)
{
    if (src.errorCode != 0) {
        RecordError(src.errorCode);
        errorLine = src.errorLine;
        return;
    }
    src.CopyTagList(tags, commentTags, nrInks);
    if (samples && nrSamplesSelected > 0) {
        const int i = FindTag(kKindNumberOfSets);
        if (i >= 0) {
            const TCgatsTag old = *tags[i];
            InsertTag(old.kind, old.Name(), old.unquoted, Decimal(nrSamplesSelected).c_str(), old.Comment(),
                i, true);
        }
    }
    nrProcessColorIds = src.nrProcessColorIds;
    nrSpotIds = src.nrSpotIds;
    customFields = src.customFields;
    src.CopyTables(tables, samples, nrSamplesSelected, inkMap, nrInks, fillValue);
    // Tables with another channel count than the first need their own field count.
    if (inkMap && nrInks > 0)
        for (std::size_t t = 1; t < tables.size(); ++t)
            if (tables[t] && tables[t]->error == 0 && tables[t]->header)
                UpdateFieldCount(static_cast<int>(t), -1, nullptr);
    // A data format read without its data is kept, so that the copy is written as its source is.
    if (src.tmpHeader)
        tmpHeader = std::make_unique<TCgatsTableHeader>(*src.tmpHeader);
    nrSamples = src.nrSamples;
}

int TCgats::CopyTables(std::vector<std::unique_ptr<TCgatsTable>>& tablesOut, const int* samples,
    int nrSamplesSelected, const int* inkMap, int nrInks, double fillValue) const
{
    const std::string fillText = fillValue == 0.0 ? std::string() : FormatShortest(fillValue);
    std::vector<TCgatsField> names;
    if (inkMap && nrInks > 0)
        names = ProcessFieldDescriptions(nrInks, false, false);
    tablesOut.clear();
    for (std::size_t t = 0; t < tables.size(); ++t) {
        if (!tables[t]) {
            tablesOut.emplace_back();
            continue;
        }
        tablesOut.push_back(TCgatsTable::SelectingCopy(*tables[t], t == 0 ? samples : nullptr,
            t == 0 ? nrSamplesSelected : 0, inkMap, nrInks, names, fillText.c_str()));
    }
    return 0;
}

int TCgats::CopyTables(int* nrTablesOut, TCgatsTable*** tablesOut, const int* samples, int nrSamplesSelected,
    const int* inkMap, int nrInks, double fillValue) const
{
    std::vector<std::unique_ptr<TCgatsTable>> copies;
    CopyTables(copies, samples, nrSamplesSelected, inkMap, nrInks, fillValue);
    if (nrTablesOut)
        *nrTablesOut = static_cast<int>(copies.size());
    if (tablesOut) {
        *tablesOut = new TCgatsTable*[copies.size()];
        for (std::size_t t = 0; t < copies.size(); ++t)
            (*tablesOut)[t] = copies[t].release();
    }
    return 0;
}

int TCgats::CopyColorAndFieldInfo(
    int* nrProcessColorIdsOut, int* nrSpotIdsOut, int* nrCustomFieldsOut, char*** customFieldsOut) const
{
    if (nrProcessColorIdsOut)
        *nrProcessColorIdsOut = nrProcessColorIds;
    if (nrSpotIdsOut)
        *nrSpotIdsOut = nrSpotIds;
    if (nrCustomFieldsOut)
        *nrCustomFieldsOut = static_cast<int>(customFields.size());
    if (customFieldsOut) {
        *customFieldsOut = new char*[customFields.size()];
        for (std::size_t k = 0; k < customFields.size(); ++k) {
            (*customFieldsOut)[k] = new char[customFields[k].size() + 1];
            std::memcpy((*customFieldsOut)[k], customFields[k].c_str(), customFields[k].size() + 1);
        }
    }
    return 0;
}

std::vector<TCgatsField> TCgats::ProcessFieldDescriptions(int n, bool spot, bool custom) const
{
    std::vector<TCgatsField> fields;
    if (n < 1 || (!spot && !custom && n < 3))
        return fields;
    for (int k = 1; k <= n; ++k) {
        std::string name;
        if (spot) {
            name = "SPOT_" + Decimal(k);
            fields.emplace_back(TCgatsField::kDouble, name.c_str(), TCgatsField::kSpot, k - 1, 0);
        } else if (custom) {
            name = "PC" + Decimal(n) + "_" + Decimal(k);
            fields.emplace_back(TCgatsField::kDouble, name.c_str(), TCgatsField::kCustomProcess, k - 1, 0);
        } else if (n <= 4) {
            fields.emplace_back(
                TCgatsField::kDouble, kCmykNames[k - 1], TCgatsField::kStandard, 0, kFieldCmykC + k - 1);
        } else {
            name = Decimal(n) + "CLR_" + Decimal(k);
            fields.emplace_back(TCgatsField::kDouble, name.c_str(), TCgatsField::kNColor, k - 1, 0);
        }
    }
    return fields;
}

TCgatsField** TCgats::CreateProcessFieldDescriptions(int n, bool spot, bool custom) const
{
    const std::vector<TCgatsField> fields = ProcessFieldDescriptions(n, spot, custom);
    if (fields.empty())
        return nullptr;
    auto** out = new TCgatsField*[fields.size()];
    for (std::size_t k = 0; k < fields.size(); ++k)
        out[k] = new TCgatsField(fields[k]);
    return out;
}

int TCgats::CustomFieldIndex(const char* name) const
{
    for (std::size_t k = 0; k < customFields.size(); ++k)
        if (strcmp_ci(customFields[k].c_str(), name) == 0)
            return static_cast<int>(k);
    return -1;
}

// ---- Files built from arrays.

TCgats::TCgats(double full, double zero, const std::vector<std::vector<double>>& coords,
    const std::vector<std::vector<double>>& lab, const std::vector<std::vector<double>>& xyz,
    const std::vector<std::vector<double>>& spectra, const std::vector<double>& waveLengths,
    const std::vector<std::string>& sampleNames, const std::vector<std::string>& colorDescriptions,
    int rowLength, int nrOfCols, int nrOfPages, bool customColors)
{
    SetToZero();
    // The arrays are checked whole first: every row is read by count alone later on.
    const std::size_t n = coords.size();
    const std::size_t nc = coords.empty() ? 0 : coords[0].size();
    int check = 0;
    for (const auto& row : coords)
        if (row.size() != nc)
            check = kCodeCoordinates;
    if (check == 0 && nc > 0 && !(full != zero))
        check = kCodeCoordinates;
    if (check == 0)
        check = CheckRows(lab, n, 3);
    if (check == 0)
        check = CheckRows(xyz, n, 3);
    if (check == 0)
        check = CheckRows(spectra, n, waveLengths.size());
    if (check == 0 && !sampleNames.empty() && sampleNames.size() != n)
        check = kCodeSampleCount;
    // Names and descriptions the written file could not give back are refused, as by the setters.
    for (const auto* texts : { &sampleNames, &colorDescriptions })
        for (const std::string& text : *texts)
            if (check == 0 && !IsWritableText(text))
                check = kErrUnwritableValue;
    if (check != 0) {
        RecordError(check);
        return;
    }

    AddTag(kKindNone, kIdentification, 0, "", "");
    const int descriptionKind = customColors ? kKindProcessColorId : kKindSpotId;
    for (const std::string& text : colorDescriptions) {
        if (AddTag(descriptionKind, KeywordName(descriptionKind), 0, text.c_str(), "") == 0)
            ++(customColors ? nrProcessColorIds : nrSpotIds);
    }
    const int layout
        = AddLayoutInfo(rowLength, nrOfCols, nrOfPages, 0, 0.0, 0.0, -1.0, -1.0, 0, -1, -1, 0, nullptr);
    if (layout != 0) {
        RecordError(layout);
        return;
    }

    std::vector<const char*> names;
    for (const std::string& name : sampleNames)
        names.push_back(name.c_str());
    auto coordRows = RowPointers(coords);
    auto labRows = RowPointers(lab);
    auto xyzRows = RowPointers(xyz);
    auto spectrumRows = RowPointers(spectra);
    auto orNull = [](std::vector<const double*>& rows) { return rows.empty() ? nullptr : rows.data(); };
    BuildTable(full, zero, static_cast<int>(n), names.empty() ? nullptr : names.data(), static_cast<int>(nc),
        !colorDescriptions.empty() && !customColors, orNull(coordRows), orNull(labRows), orNull(xyzRows),
        orNull(spectrumRows), static_cast<int>(waveLengths.size()), waveLengths.data(), customColors);
}

void TCgats::BuildTable(double full, double zero, int n, const char** sampleNames, int nrChannels, bool spot,
    const double** coords, const double** lab, const double** xyz, const double** spectra, int nrWaveLengths,
    const double* waveLengths, bool custom)
{
    if (nrChannels < 0 || nrWaveLengths < 0 || (nrChannels > 0 && !coords)
        || (nrWaveLengths > 0 && !waveLengths)) {
        RecordError(kCodeCoordinates);
        return;
    }
    const int nrWaves = spectra ? nrWaveLengths : 0;
    const int nrFields = 1 + nrChannels + (lab ? 3 : 0) + (xyz ? 3 : 0) + nrWaves;

    AddCustomField(kSampleIdField);
    AddTag(kKindKeyword, KeywordName(kKindKeyword), 0, kSampleIdField, "");
    AddTag(kKindNumberOfFields, KeywordName(kKindNumberOfFields), 1, Decimal(nrFields).c_str(), "");
    AddTag(kKindBeginDataFormat, KeywordName(kKindBeginDataFormat), 0, "", "");
    AddTag(kKindEndDataFormat, KeywordName(kKindEndDataFormat), 0, "", "");
    AddTag(kKindNumberOfSets, KeywordName(kKindNumberOfSets), 1, Decimal(n).c_str(), "");
    AddTag(kKindBeginData, KeywordName(kKindBeginData), 0, "", "");
    AddTag(kKindEndData, KeywordName(kKindEndData), 0, "", "");

    InitTmpHeader(nrFields);
    tmpHeader->SetField(
        TCgatsField::kString, kSampleIdField, TCgatsField::kKeyword, 0, CustomFieldIndex(kSampleIdField));
    if (nrChannels > 0) {
        const std::vector<TCgatsField> channels = ProcessFieldDescriptions(nrChannels, spot, custom);
        if (channels.empty()) {
            RecordError(kCodeCoordinates);
            return;
        }
        for (const TCgatsField& field : channels)
            tmpHeader->SetFieldCopy(field);
    }
    for (int k = 0; lab && k < 3; ++k)
        tmpHeader->SetField(TCgatsField::kDouble, kLabNames[k], TCgatsField::kStandard, 0, kFieldLabL + k);
    for (int k = 0; xyz && k < 3; ++k)
        tmpHeader->SetField(TCgatsField::kDouble, kXyzNames[k], TCgatsField::kStandard, 0, kFieldXyzX + k);
    for (int k = 0; k < nrWaves; ++k) {
        // Whole nanometres, rounded half up: 389.6 nm is the field nm390.
        const int nm = static_cast<int>(waveLengths[k] + 0.5);
        tmpHeader->SetField(
            TCgatsField::kDouble, ("nm" + Decimal(nm)).c_str(), TCgatsField::kSpectral, nm, 0);
    }

    tmpHeader->nrSamples = n;
    auto table = std::make_unique<TCgatsTable>();
    const int init = table->Init(tmpHeader, true);
    tables.push_back(std::move(table));
    if (init != 0) {
        RecordError(TableErrorToCgatsError(init));
        return;
    }
    TCgatsTable& t = *tables.back();
    const TCgatsTableHeader& h = *t.header;
    int check = 0;
    if (h.nrSamples != n)
        check = kTableRowCount;
    else if (h.NrFields() != nrFields)
        check = kTableEmptySlot;
    else if (h.fields[0]->type != TCgatsField::kString)
        check = kTableFirstNotString;
    for (int k = 1; check == 0 && k <= nrChannels; ++k)
        if (h.fields[k]->type != TCgatsField::kDouble)
            check = kTableCoordNotDouble;
    if (check != 0) {
        RecordError(TableErrorToCgatsError(check));
        return;
    }

    std::vector<std::string> texts(nrFields);
    std::vector<const char*> row(nrFields);
    for (int s = 0; s < n; ++s) {
        int f = 0;
        texts[f++] = sampleNames ? std::string(sampleNames[s]).substr(0, kMaxNameLength) : Decimal(s + 1);
        for (int k = 0; k < nrChannels; ++k) {
            const double tint = (coords[s][k] - zero) * kPercent / (full - zero);
            texts[f++] = std::fabs(tint) < kZeroTint ? kZeroTintText : FormatShortest(tint);
        }
        // The shortest texts read back as the very values given.
        for (int k = 0; lab && k < 3; ++k)
            texts[f++] = FormatShortest(lab[s][k]);
        for (int k = 0; xyz && k < 3; ++k)
            texts[f++] = FormatShortest(xyz[s][k]);
        for (int k = 0; k < nrWaves; ++k)
            texts[f++] = FormatShortest(spectra[s][k]);
        for (int k = 0; k < nrFields; ++k)
            row[k] = texts[k].c_str();
        const int stored = t.AddSample(row.data());
        if (stored != 0) {
            RecordError(TableErrorToCgatsError(stored));
            return;
        }
    }
}
