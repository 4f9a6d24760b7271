// TCgats: the average of several measurements of one chart, and the comparisons of whole files.
#include <tintvale/tcgats.h>

#include "tcgats_vocabulary.h"
#include "tcgatstable.h"
#include "tcgatstableheader.h"
#include "tcgatstag.h"

#include <cstdlib>

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
    if (!AverageTables(files))
        RecordError(kCodeNotCgats);
}

bool TCgats::AverageTables(const std::vector<const TCgats*>& files)
{
    for (const TCgats* file : files)
        if (file->tables.size() != tables.size())
            return false;
    // Every table is checked before any value changes.
    for (std::size_t t = 0; t < tables.size(); ++t) {
        const TCgatsTable* mine = tables[t].get();
        if (!mine || mine->error != 0 || !mine->header)
            return false;
        for (std::size_t f = 1; f < files.size(); ++f) {
            const TCgatsTable* other = files[f]->tables[t].get();
            if (!other || other->error != 0 || !other->header || *other->header != *mine->header
                || other->nrFilled != mine->nrFilled || other->columns.size() != mine->columns.size())
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
                for (const TCgats* file : files) {
                    const TCgatsValueList* other = file->tables[t]->columns[c].get();
                    intSum += other ? other->GetInt(s) : 0;
                    sum += other ? other->GetDouble(s) : 0.0;
                }
                if (ints)
                    ints->Set(s, RoundedMean(intSum, k));
                else
                    doubles->Set(s, sum / static_cast<double>(k));
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
