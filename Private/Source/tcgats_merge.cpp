// TCgats: the average of several measurements of one chart, and the comparisons of whole files.
#include <tintvale/tcgats.h>

#include "tcgats_vocabulary.h"
#include "tcgatstable.h"
#include "tcgatstableheader.h"
#include "tcgatstag.h"

#include "halden.h"
#include "numtext.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <string>

using namespace tintvale::detail;

namespace {

constexpr int kCodeNotCgats = 1;
// Values of Double columns that differ by no more than this count as equal.
constexpr double kValueTolerance = 0.01;

bool IsProcessModel(int model)
{
    return model == TCgatsTableHeader::kCmyk || model == TCgatsTableHeader::kCustom
        || model == TCgatsTableHeader::kNColor;
}

// sum / k rounded to the nearest integer, halves away from zero, without leaving integers.
int RoundedMean(long long sum, long long k)
{
    long long q = sum / k;
    const long long r = sum % k;
    if (2 * std::llabs(r) >= k)
        q += sum < 0 ? -1 : 1;
    return static_cast<int>(q);
}

// Columns of two tables compared through index lists of the same length.
bool IndexedColumnsEqual(const TCgatsTable& a, const TCgatsTable& b, const std::vector<int>& fieldsA,
    const std::vector<int>& fieldsB, double tolerance)
{
    if (fieldsA.size() != fieldsB.size())
        return false;
    for (std::size_t k = 0; k < fieldsA.size(); ++k) {
        const int fa = fieldsA[k], fb = fieldsB[k];
        if (fa < 0 || fb < 0 || fa >= static_cast<int>(a.columns.size())
            || fb >= static_cast<int>(b.columns.size()))
            return false;
        const TCgatsValueList* x = a.columns[fa].get();
        const TCgatsValueList* y = b.columns[fb].get();
        if (!x || !y || !TCgatsTable::ColumnsEqual(*x, *y, a.nrFilled, tolerance))
            return false;
    }
    return true;
}

const std::vector<int> kNone;

// Tables alike for averaging: the same fields in the same order and the same layout. A declared
// field's index counts the KEYWORD lines ahead of it (ILLUMINANT, say), which say nothing of the table.
bool SameFields(const TCgatsTableHeader& a, const TCgatsTableHeader& b)
{
    if (a.nrSamples != b.nrSamples || a.NrFields() != b.NrFields())
        return false;
    for (int i = 0; i < a.NrFields(); ++i) {
        const TCgatsField* x = a.fields[i].get();
        const TCgatsField* y = b.fields[i].get();
        if (!x || !y) {
            if (x != y)
                return false;
            continue;
        }
        const bool declared = x->category == TCgatsField::kKeyword;
        if (x->name != y->name || x->type != y->type || x->category != y->category || x->invalid != y->invalid
            || (!declared && (x->index != y->index || x->vocabIndex != y->vocabIndex)))
            return false;
    }
    return a.analysed == b.analysed && a.colorModel == b.colorModel && a.nrColors == b.nrColors
        && a.nrSpots == b.nrSpots && a.nrWaveLengths == b.nrWaveLengths && a.sampleIdField == b.sampleIdField
        && a.colorFields == b.colorFields && a.spotFields == b.spotFields
        && a.waveLengthFields == b.waveLengthFields && a.labFields == b.labFields
        && a.xyzFields == b.xyzFields;
}

// A computed mean carries no more digits than a double holds for sure, so that it is written
// 0.720193 and not 0.7201930000000001.
constexpr int kMeanDigits = 15;

double Significant(double value)
{
    const std::string text = FormatG(value, kMeanDigits);
    double rounded = value;
    ParseDouble(text.c_str(), nullptr, rounded);
    return rounded;
}

// Letter case and blanks aside, as files write the same condition ("M0", "m0"; "D50", "d50").
std::string Folded(const std::string& text)
{
    std::string out;
    for (char ch : text)
        if (ch != ' ' && ch != '\t')
            out += static_cast<char>(ch >= 'a' && ch <= 'z' ? ch - 'a' + 'A' : ch);
    return out;
}

// "CIE Illuminant D50", "CIE D50" and "D50" name one illuminant.
std::string IlluminantKey(const std::string& stated)
{
    std::string key = Folded(stated);
    for (const char* prefix : { "CIEILLUMINANT", "CIE", "ILLUMINANT" })
        if (key.rfind(prefix, 0) == 0) {
            key.erase(0, std::char_traits<char>::length(prefix));
            break;
        }
    return key;
}

std::string Shortened(const std::string& name)
{
    constexpr std::size_t kLongest = 40;
    return name.size() <= kLongest ? name : name.substr(0, kLongest) + "...";
}

const std::vector<int>& LabOf(const TCgatsTable& t) { return t.header ? t.header->labFields : kNone; }
const std::vector<int>& XyzOf(const TCgatsTable& t) { return t.header ? t.header->xyzFields : kNone; }
const std::vector<int>& WavesOf(const TCgatsTable& t)
{
    return t.header ? t.header->waveLengthFields : kNone;
}

} // namespace

TCgats::TCgats(const std::vector<const TCgats*>& files)
{
    SetToZero();
    bool usable = !files.empty();
    for (const TCgats* file : files)
        usable = usable && file && file->errorCode == 0;
    if (!usable) {
        RecordError(kCodeNotCgats);
        return;
    }
    *this = *files[0];
    if (errorCode != 0 || files.size() == 1)
        return;
    std::string why;
    if (!AverageTables(files, why)) {
        RecordError(kCodeNotCgats);
        if (!why.empty())
            strncpy_w0(errorMsg, why.c_str(), sizeof errorMsg - 1);
    }
}

std::string TCgats::AveragingConflict(const TCgats& other) const
{
    // Table by table, each as its section (else the file) states; one table reads as the file.
    for (int t = 0; t < std::max(1, std::min(GetNrTables(), other.GetNrTables())); ++t) {
        const std::string conflict = AveragingConflict(other, t);
        if (!conflict.empty())
            return conflict;
    }
    return std::string();
}

std::string TCgats::AveragingConflict(const TCgats& other, int t) const
{
    // As stated, unstated illuminant and observer taken as CGATS.17 means them.
    const auto illuminant = [t](const TCgats& c) {
        const std::string stated = c.GetTableIlluminant(t);
        return stated.empty() ? std::string("D50") : stated;
    };
    const auto observer = [t](const TCgats& c) {
        const std::string stated = c.GetTableObserver(t);
        return stated.empty() ? std::string("2 degree") : stated;
    };
    const std::string condition = GetTableMeasurementCondition(t);
    const std::string otherCondition = other.GetTableMeasurementCondition(t);
    const struct {
        const char* what;
        std::string a, b;
        bool same;
    } conditions[] = {
        { "illuminant", illuminant(*this), illuminant(other),
            IlluminantKey(illuminant(*this)) == IlluminantKey(illuminant(other)) },
        { "observer", observer(*this), observer(other), Folded(observer(*this)) == Folded(observer(other)) },
        { "MEASUREMENT_CONDITION", condition, otherCondition, Folded(condition) == Folded(otherCondition) },
    };
    for (const auto& c : conditions)
        if (!c.same && !c.a.empty() && !c.b.empty())
            return std::string("The files state different ") + c.what + "s (" + Shortened(c.a) + ", "
                + Shortened(c.b) + ").";
    return std::string();
}

std::vector<int> TCgats::AveragingPairs(int t, const TCgats& other, std::string& why) const
{
    const TCgatsTable& mine = *tables[t];
    const TCgatsTable& theirs = *other.tables[t];
    std::vector<int> pair(static_cast<std::size_t>(mine.nrFilled), -1);
    const int mineNames = SampleLabelField(t);
    const int theirNames = other.SampleLabelField(t);
    std::string name;
    if (mineNames >= 0 && theirNames >= 0) {
        std::map<std::string, int> where;
        for (int s = theirs.nrFilled - 1; s >= 0; --s) // the first of equal names
            if (theirs.GetFieldText(s, theirNames, name) == 0)
                where[name] = s;
        std::vector<bool> taken(static_cast<std::size_t>(theirs.nrFilled), false);
        for (int s = 0; s < mine.nrFilled; ++s) {
            mine.GetFieldText(s, mineNames, name);
            const auto it = where.find(name);
            if (it == where.end() || taken[static_cast<std::size_t>(it->second)]) {
                why = "Sample \"" + Shortened(name) + "\" has no partner of that name in every file.";
                return {};
            }
            taken[static_cast<std::size_t>(it->second)] = true;
            pair[static_cast<std::size_t>(s)] = it->second;
        }
    } else {
        for (int s = 0; s < mine.nrFilled; ++s)
            pair[static_cast<std::size_t>(s)] = s;
    }
    // Paired rows must be the same patch: the device values agree.
    const std::vector<int>& fields = mine.header->colorFields;
    for (int s = 0; s < mine.nrFilled; ++s)
        for (int field : fields) {
            const TCgatsValueList* a
                = field < static_cast<int>(mine.columns.size()) ? mine.columns[field].get() : nullptr;
            const TCgatsValueList* b
                = field < static_cast<int>(theirs.columns.size()) ? theirs.columns[field].get() : nullptr;
            if (!a || !b
                || std::abs(a->GetDouble(s) - b->GetDouble(pair[static_cast<std::size_t>(s)]))
                    > kValueTolerance) {
                GetSampleLabel(t, s, name);
                why = "Sample \"" + Shortened(name.empty() ? std::to_string(s + 1) : name) + "\": field "
                    + Shortened(mine.header->fields[field]->name) + " differs between the files.";
                return {};
            }
        }
    return pair;
}

bool TCgats::AverageTables(const std::vector<const TCgats*>& files, std::string& why)
{
    for (const TCgats* file : files)
        if (file->tables.size() != tables.size())
            return false;
    for (const TCgats* file : files)
        if (!(why = AveragingConflict(*file)).empty())
            return false;
    // rows[f][t][s]: the row of files[f] paired with row s of table t.
    std::vector<std::vector<std::vector<int>>> rows(files.size());
    // Every table is checked before any value changes.
    for (std::size_t t = 0; t < tables.size(); ++t) {
        const TCgatsTable* mine = tables[t].get();
        if (!mine || mine->error != 0 || !mine->header)
            return false;
        for (std::size_t f = 1; f < files.size(); ++f) {
            const TCgatsTable* other = files[f]->tables[t].get();
            if (!other || other->error != 0 || !other->header || !SameFields(*other->header, *mine->header)
                || other->nrFilled != mine->nrFilled || other->columns.size() != mine->columns.size())
                return false;
            rows[f].push_back(AveragingPairs(static_cast<int>(t), *files[f], why));
            if (!why.empty())
                return false;
        }
    }
    const long long k = static_cast<long long>(files.size());
    for (std::size_t t = 0; t < tables.size(); ++t) {
        TCgatsTable& mine = *tables[t];
        for (std::size_t c = 0; c < mine.columns.size(); ++c) {
            TCgatsValueList* column = mine.columns[c].get();
            if (!column)
                continue;
            auto* ints = dynamic_cast<TCgatsValueListInt*>(column);
            auto* doubles = dynamic_cast<TCgatsValueListDouble*>(column);
            if (!ints && !doubles)
                continue; // texts are those of the first file
            for (int s = 0; s < mine.nrFilled; ++s) {
                long long intSum = 0;
                double sum = 0.0;
                for (std::size_t f = 0; f < files.size(); ++f) {
                    const TCgatsValueList* other = files[f]->tables[t]->columns[c].get();
                    const int row = f == 0 ? s : rows[f][t][static_cast<std::size_t>(s)];
                    intSum += other ? other->GetInt(row) : 0;
                    sum += other ? other->GetDouble(row) : 0.0;
                }
                if (ints)
                    ints->Set(s, RoundedMean(intSum, k));
                else
                    doubles->Set(s, Significant(sum / static_cast<double>(k)));
            }
        }
    }
    return true;
}

bool TCgats::operator==(const TCgats& other) const
{
    if (tags.size() != other.tags.size() || commentTags != other.commentTags
        || nrProcessColorIds != other.nrProcessColorIds || nrSpotIds != other.nrSpotIds
        || customFields != other.customFields || tables.size() != other.tables.size())
        return false;
    for (std::size_t i = 0; i < tags.size(); ++i) {
        const TCgatsTag* a = tags[i].get();
        const TCgatsTag* b = other.tags[i].get();
        if ((a == nullptr) != (b == nullptr) || (a && *a != *b))
            return false;
    }
    for (std::size_t t = 0; t < tables.size(); ++t) {
        const TCgatsTable* a = tables[t].get();
        const TCgatsTable* b = other.tables[t].get();
        if ((a == nullptr) != (b == nullptr) || (a && !a->Equals(*b, kValueTolerance)))
            return false;
    }
    return true;
}

bool TCgats::HasSameMeasurementsAs(const TCgats& other) const
{
    if (tables.size() != other.tables.size())
        return false;
    for (std::size_t t = 0; t < tables.size(); ++t) {
        if (!tables[t] || !other.tables[t])
            return false;
        const TCgatsTable& a = *tables[t];
        const TCgatsTable& b = *other.tables[t];
        if (a.nrFilled != b.nrFilled || LabOf(a).empty() != LabOf(b).empty()
            || XyzOf(a).empty() != XyzOf(b).empty() || WavesOf(a).size() != WavesOf(b).size())
            return false;
        for (std::size_t k = 0; k < WavesOf(a).size(); ++k) {
            const TCgatsField* fa = a.header->Field(WavesOf(a)[k]);
            const TCgatsField* fb = b.header->Field(WavesOf(b)[k]);
            if (!fa || !fb || fa->index != fb->index)
                return false;
        }
        if (a.error != 0)
            continue;
        if (!IndexedColumnsEqual(a, b, LabOf(a), LabOf(b), kValueTolerance)
            || !IndexedColumnsEqual(a, b, XyzOf(a), XyzOf(b), kValueTolerance)
            || !IndexedColumnsEqual(a, b, WavesOf(a), WavesOf(b), kValueTolerance))
            return false;
    }
    return true;
}

bool TCgats::HasSameSampleListAs(const TCgats& other, double tolerance) const
{
    if (tables.size() != other.tables.size())
        return false;
    for (std::size_t t = 0; t < tables.size(); ++t) {
        if (!tables[t] || !other.tables[t])
            return false;
        const TCgatsTable& a = *tables[t];
        const TCgatsTable& b = *other.tables[t];
        const bool processA = a.error == 0 && a.header && IsProcessModel(a.header->colorModel);
        const bool processB = b.error == 0 && b.header && IsProcessModel(b.header->colorModel);
        const int colorsA = a.error == 0 && a.header ? a.header->nrColors : -1;
        const int colorsB = b.error == 0 && b.header ? b.header->nrColors : -1;
        if (a.nrFilled != b.nrFilled || processA != processB || colorsA != colorsB)
            return false;
        if (a.error != 0 || !processA)
            continue;
        if (!IndexedColumnsEqual(a, b, a.header->colorFields, b.header->colorFields, tolerance))
            return false;
    }
    return true;
}
