// TCgatsTableHeader: field slots, selecting copies, the analysis of the fields and the name line.
#include "tcgatstableheader.h"

#include "tcgats_vocabulary.h"

#include <algorithm>
#include <cstring>

using namespace tintvale::detail;

namespace {

constexpr int kNrCmyk = 4;
constexpr int kNrTriple = 3;
constexpr int kMinNColors = 5;

// Records field i at position pos of a list created on first use with size entries of -1.
void Record(std::vector<int>& list, int size, int pos, int i)
{
    if (list.empty())
        list.assign(size, -1);
    list[pos] = i;
}

bool Complete(const std::vector<int>& list)
{
    if (list.empty())
        return false;
    for (int entry : list)
        if (entry < 0)
            return false;
    return true;
}

} // namespace

TCgatsTableHeader::TCgatsTableHeader(int nrFields) { fields.resize(nrFields < 0 ? 0 : nrFields); }

TCgatsTableHeader::TCgatsTableHeader(const TCgatsTableHeader& src, int sampleOverride, const int* map,
    int mapLength, const TCgatsField* const* replacements)
{
    const bool mapped = map && mapLength >= 1;
    const int n = mapped ? mapLength : src.NrFields();
    fields.resize(n);
    for (int k = 0; k < n; ++k) {
        const TCgatsField* from = nullptr;
        if (replacements && replacements[k])
            from = replacements[k];
        else
            from = src.Field(mapped ? map[k] : k);
        if (from)
            fields[k] = std::make_unique<TCgatsField>(*from);
    }
    if (src.nrSamples > 0)
        nrSamples = src.nrSamples;
    if (sampleOverride > 0)
        nrSamples = sampleOverride;
    if (src.analysed)
        Analyse();
}

TCgatsTableHeader::TCgatsTableHeader(const TCgatsTableHeader& src)
    : TCgatsTableHeader(src, 0, nullptr, 0, nullptr)
{ }

TCgatsTableHeader::~TCgatsTableHeader() = default;

const TCgatsField* TCgatsTableHeader::Field(int i) const
{
    return (i >= 0 && i < NrFields()) ? fields[i].get() : nullptr;
}

int TCgatsTableHeader::SetField(int type, const char* name, int category, int index, int vocabIndex)
{
    return SetFieldCopy(TCgatsField(type, name, category, index, vocabIndex));
}

int TCgatsTableHeader::SetFieldCopy(const TCgatsField& field)
{
    if (field.invalid)
        return 1;
    for (auto& slot : fields) {
        if (!slot) {
            slot = std::make_unique<TCgatsField>(field);
            return 0;
        }
    }
    return 1;
}

int TCgatsTableHeader::AppendField(const TCgatsField& field)
{
    if (field.invalid)
        return 1;
    for (const auto& slot : fields)
        if (!slot)
            return 1;
    fields.push_back(std::make_unique<TCgatsField>(field));
    if (analysed)
        ResetAnalysis();
    return 0;
}

int TCgatsTableHeader::FindField(const char* name) const
{
    if (!name)
        return -1;
    for (int i = 0; i < NrFields(); ++i)
        if (fields[i] && !fields[i]->invalid && fields[i]->name == name)
            return i;
    return -1;
}

void TCgatsTableHeader::ResetAnalysis()
{
    analysed = false;
    colorModel = kNoColor;
    nrColors = 0;
    nrSpots = 0;
    nrWaveLengths = 0;
    sampleIdField = -1;
    colorFields.clear();
    spotFields.clear();
    waveLengthFields.clear();
    labFields.clear();
    xyzFields.clear();
}

int TCgatsTableHeader::Analyse()
{
    ResetAnalysis();
    if (DoAnalyse() != 0) {
        ResetAnalysis();
        return 1;
    }
    analysed = true;
    return 0;
}

int TCgatsTableHeader::DoAnalyse()
{
    for (const auto& slot : fields)
        if (!slot)
            return 1;

    std::vector<int> cmyk, lab, xyz, nColor;
    int nrCmyk = 0, nrNColor = 0, nColorCount = 0;
    std::vector<int> customList, spotList, spectralList;
    for (int i = 0; i < NrFields(); ++i) {
        const TCgatsField& f = *fields[i];
        switch (f.category) {
        case TCgatsField::kStandard:
            if (f.vocabIndex >= kFieldCmykC && f.vocabIndex <= kFieldCmykK) {
                Record(cmyk, kNrCmyk, f.vocabIndex - kFieldCmykC, i);
                ++nrCmyk;
            } else if (f.vocabIndex >= kFieldXyzX && f.vocabIndex <= kFieldXyzZ) {
                Record(xyz, kNrTriple, f.vocabIndex - kFieldXyzX, i);
            } else if (f.vocabIndex >= kFieldLabL && f.vocabIndex <= kFieldLabB) {
                Record(lab, kNrTriple, f.vocabIndex - kFieldLabL, i);
            }
            break;
        case TCgatsField::kKeyword:
            if (f.name == "SampleID")
                sampleIdField = i;
            break;
        case TCgatsField::kSpectral:
            spectralList.push_back(i);
            break;
        case TCgatsField::kCustomProcess:
            customList.push_back(i);
            break;
        case TCgatsField::kNColor:
            if (nColor.empty()) {
                int numbers[2] = { 0, 0 };
                ScanIntPattern(f.name.c_str(), "%dCLR_%d", numbers, 2);
                nColorCount = numbers[0];
                // A count the header does not back with as many fields is refused before its
                // array is made: a name alone must not decide what memory is taken.
                if (nColorCount < kMinNColors || nColorCount > NrFields())
                    return 1;
                nColor.assign(nColorCount, -1);
            }
            if (f.index < 0 || f.index >= nColorCount)
                return 1;
            nColor[f.index] = i;
            ++nrNColor;
            break;
        case TCgatsField::kSpot:
            spotList.push_back(i);
            break;
        default:
            break;
        }
    }

    // The colour kind comes from the first family present: CMYK, then N-colour, then custom.
    if (nrCmyk >= 1 && nrCmyk <= kNrCmyk) {
        int k = 0;
        while (k < kNrCmyk && cmyk[k] >= 0)
            ++k;
        if (k >= 3) {
            colorModel = kCmyk;
            nrColors = k;
            colorFields.assign(cmyk.begin(), cmyk.begin() + k);
        }
    } else if (nrNColor > 0 && nrNColor == nColorCount) {
        if (Complete(nColor)) {
            colorModel = kNColor;
            nrColors = nColorCount;
            colorFields = nColor;
        }
    } else if (!customList.empty()) {
        const int m = static_cast<int>(customList.size());
        colorModel = kCustom;
        nrColors = m;
        colorFields.assign(m, -1);
        for (int i : customList) {
            const int pos = fields[i]->index;
            if (pos < 0 || pos >= m)
                return 1;
            colorFields[pos] = i;
        }
    }

    if (!spotList.empty()) {
        const int s = static_cast<int>(spotList.size());
        nrSpots = s;
        spotFields.assign(s, -1);
        for (int i : spotList) {
            const int pos = fields[i]->index;
            if (pos < 0 || pos >= s)
                return 1;
            spotFields[pos] = i;
        }
        if (colorModel == kNoColor)
            colorModel = kSpotColor;
    }

    if (!spectralList.empty()) {
        for (int i : spectralList)
            if (fields[i]->index < 0)
                return 1;
        // Ascending wavelength; a stable sort keeps ties in header order.
        waveLengthFields = spectralList;
        std::stable_sort(waveLengthFields.begin(), waveLengthFields.end(),
            [this](int a, int b) { return fields[a]->index < fields[b]->index; });
        nrWaveLengths = static_cast<int>(waveLengthFields.size());
    }

    if (Complete(lab))
        labFields = lab;
    if (Complete(xyz))
        xyzFields = xyz;
    return 0;
}

int TCgatsTableHeader::GetWaveLengths(int* out) const
{
    if (!analysed || nrWaveLengths < 1 || !out)
        return 1;
    for (int k = 0; k < nrWaveLengths; ++k) {
        const TCgatsField* f = Field(waveLengthFields[k]);
        if (!f)
            return 1;
        out[k] = f->index;
    }
    return 0;
}

int TCgatsTableHeader::Write(std::string& out) const
{
    if (fields.empty())
        return 1;
    for (const auto& slot : fields)
        if (!slot)
            return 1;
    for (int i = 0; i < NrFields(); ++i) {
        if (i > 0)
            out += '\t';
        out += fields[i]->name;
    }
    out += '\n';
    return 0;
}

bool TCgatsTableHeader::operator==(const TCgatsTableHeader& other) const
{
    if (nrSamples != other.nrSamples || NrFields() != other.NrFields())
        return false;
    for (int i = 0; i < NrFields(); ++i) {
        const TCgatsField* a = fields[i].get();
        const TCgatsField* b = other.fields[i].get();
        if ((a == nullptr) != (b == nullptr) || (a && *a != *b))
            return false;
    }
    if (analysed != other.analysed || colorModel != other.colorModel || nrColors != other.nrColors
        || nrSpots != other.nrSpots || nrWaveLengths != other.nrWaveLengths
        || sampleIdField != other.sampleIdField)
        return false;
    if (!analysed)
        return true;
    return colorFields == other.colorFields && spotFields == other.spotFields
        && waveLengthFields == other.waveLengthFields && labFields == other.labFields
        && xyzFields == other.xyzFields;
}
