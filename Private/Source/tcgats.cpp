// TCgats: life cycle, vocabulary look-ups, field-name classification and cell access.
#include <tintvale/tcgats.h>

#include "halden.h"
#include "tcgats_vocabulary.h"
#include "tcgatsfield.h"
#include "tcgatsnameindex.h"
#include "tcgatstable.h"
#include "tcgatstableheader.h"
#include "tcgatstag.h"

#include <cstring>

using namespace tintvale::detail;

namespace {

// Field-name patterns; a pattern matches only when its last number is not negative.
const char* const kSpectralPatterns[]
    = { "nm%d", "SPECTRAL_%d", "SPECTRAL_NM_%d", "NM_%d", "SPECTRAL_NM%d", "SPEC_%d" };
const char* const kNColorPattern = "%dCLR_%d";
const char* const kSpotPattern = "SPOT_%d";
const char* const kCustomProcessPattern = "PC%d_%d";
// Spellings of the sample-name column that are declared as custom fields when first met.
const char* const kSampleNameSpellings[] = { "SampleID", "SAMPLE_NAME", "SampleName" };

// The last number a pattern with nrNumbers "%d" delivers, or -1 when it does not match.
int PatternNumber(const char* name, const char* pattern, int nrNumbers)
{
    int numbers[2] = { -1, -1 };
    if (ScanIntPattern(name, pattern, numbers, 2) != nrNumbers)
        return -1;
    return numbers[nrNumbers - 1];
}

} // namespace

bool TCgats::SetToZero()
{
    // Owned members are released by their holders; here every count and list starts empty.
    tags.clear();
    commentTags.clear();
    nrSamples = 0;
    tmpHeader.reset();
    nrProcessColorIds = 0;
    nrSpotIds = 0;
    customFields.clear();
    tables.clear();
    errorCode = kErrNone;
    errorMsg[0] = '\0';
    errorLine = 0;
    unreadCells.clear();
    readWarnings.clear();
    return false;
}

TCgats::TCgats() { SetToZero(); }

TCgats::~TCgats() = default;

int TCgats::MatchTag(const char* text) const
{
    if (!text)
        return -1;
    for (int i = 0; i < kCgatsNrKeywords; ++i)
        if (std::strcmp(text, KeywordName(i)) == 0)
            return i;
    return -1;
}

int TCgats::AddCustomField(const char* name)
{
    if (!name || !*name)
        return kErrNotCgats;
    customFields.emplace_back(name);
    return kErrNone;
}

namespace {

// The category and number of a name that one of the field-name patterns matches (the wavelength,
// or the channel number minus 1), or false.
bool MatchPattern(const char* name, int* category, int* index)
{
    for (const char* pattern : kSpectralPatterns) {
        const int nm = PatternNumber(name, pattern, 1);
        if (nm >= 0) {
            *category = TCgatsField::kSpectral;
            *index = nm;
            return true;
        }
    }
    const struct {
        const char* pattern;
        int nrNumbers;
        int category;
    } channelPatterns[] = {
        { kNColorPattern, 2, TCgatsField::kNColor },
        { kSpotPattern, 1, TCgatsField::kSpot },
        { kCustomProcessPattern, 2, TCgatsField::kCustomProcess },
    };
    for (const auto& p : channelPatterns) {
        const int channel = PatternNumber(name, p.pattern, p.nrNumbers);
        if (channel >= 0) {
            *category = p.category;
            *index = channel - 1;
            return true;
        }
    }
    return false;
}

} // namespace

int TCgats::MatchField(const char* name, int* category, int* index, int* type, std::string* canonical)
{
    return MatchField(name, category, index, type, canonical, nullptr);
}

int TCgats::MatchField(
    const char* name, int* category, int* index, int* type, std::string* canonical, TCgatsNameIndex* names)
{
    if (!name || !category || !index || !type || !canonical)
        return -1;
    *canonical = name;

    if (MatchPattern(name, category, index)) {
        *type = TCgatsField::kDouble;
        return 0;
    }

    // Declared names come before the vocabulary, so a declared "LAB_L" is a text column.
    auto matchCustom = [&]() -> int {
        int i = -1;
        if (names) {
            i = names->Find(customFields, name);
        } else {
            for (std::size_t k = 0; k < customFields.size() && i < 0; ++k)
                if (strcmp_ci(customFields[k].c_str(), name) == 0)
                    i = static_cast<int>(k);
        }
        if (i >= 0) {
            // Written in the declared spelling, unless that spelling reads back as a pattern
            // ("SPEC_680" declared, "Spec_680" found): the column would lose its text.
            int patternCategory = 0, patternIndex = 0;
            if (!MatchPattern(customFields[i].c_str(), &patternCategory, &patternIndex))
                *canonical = customFields[i];
            *category = TCgatsField::kKeyword;
            *index = 0;
            *type = TCgatsField::kString;
        }
        return i;
    };
    const int custom = matchCustom();
    if (custom >= 0)
        return custom;

    for (int i = 0; i < kCgatsNrFieldNames; ++i) {
        if (strcmp_ci(kCgatsFieldNames[i], name) == 0) {
            *canonical = kCgatsFieldNames[i];
            *category = TCgatsField::kStandard;
            *index = 0;
            *type = (i == kFieldSampleId || i == kFieldString) ? TCgatsField::kString : TCgatsField::kDouble;
            return i;
        }
    }

    for (const char* spelling : kSampleNameSpellings) {
        if (strcmp_ci(spelling, name) == 0) {
            AddCustomField(name);
            *canonical = customFields.back();
            *category = TCgatsField::kKeyword;
            *index = 0;
            *type = TCgatsField::kString;
            return static_cast<int>(customFields.size()) - 1;
        }
    }
    return -1;
}

const TCgatsTable* TCgats::Table(int t) const
{
    if (t < 0 || t >= static_cast<int>(tables.size()))
        return nullptr;
    return tables[t].get();
}

int TCgats::GetField(int table, int sample, int field, char** out) const
{
    if (errorCode != 0)
        return -1;
    const TCgatsTable* t = Table(table);
    return t ? t->GetField(sample, field, out) : -1;
}

int TCgats::GetField(int table, int sample, int field, char* out, std::size_t size) const
{
    if (errorCode != 0 || !out || size == 0)
        return -1;
    const TCgatsTable* t = Table(table);
    std::string text;
    if (!t || t->GetFieldText(sample, field, text) != 0 || text.size() >= size)
        return -1;
    std::memcpy(out, text.c_str(), text.size() + 1);
    return 0;
}

int TCgats::GetFieldNameIndex(int table, const char* name) const
{
    if (errorCode != 0)
        return -1;
    const TCgatsTable* t = Table(table);
    if (!t || t->error != 0 || !t->header)
        return -1;
    return t->header->FindField(name);
}

int TCgats::SetNrSamples(int n)
{
    nrSamples = n;
    return 0;
}

int TCgats::InitTmpHeader(int n)
{
    tmpHeader = std::make_unique<TCgatsTableHeader>(n);
    return 0;
}
