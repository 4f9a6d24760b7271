// TCgatsTable: selecting copies (a subset of rows, rearranged colour channels) and comparison.
#include "tcgatstable.h"

#include "tcgats_vocabulary.h"

#include <algorithm>
#include <cmath>

using namespace tintvale::detail;

namespace {

bool IsProcessModel(int model)
{
    return model == TCgatsTableHeader::kCmyk || model == TCgatsTableHeader::kCustom
        || model == TCgatsTableHeader::kNColor;
}

std::unique_ptr<TCgatsValueList> EmptyLike(const TCgatsValueList& list, int count)
{
    switch (list.GetType()) {
    case TCgatsValueList::kInt:
        return std::make_unique<TCgatsValueListInt>(count);
    case TCgatsValueList::kDouble:
        return std::make_unique<TCgatsValueListDouble>(count);
    default:
        return std::make_unique<TCgatsValueListString>(count);
    }
}

// Copies row from of src into row to of dst, a list of the same type.
void CopyValue(const TCgatsValueList& src, int from, TCgatsValueList& dst, int to)
{
    switch (src.GetType()) {
    case TCgatsValueList::kInt:
        static_cast<TCgatsValueListInt&>(dst).Set(to, src.GetInt(from));
        break;
    case TCgatsValueList::kDouble:
        static_cast<TCgatsValueListDouble&>(dst).Set(to, src.GetDouble(from));
        break;
    default:
        dst.SetValue(to, src.GetString(from));
        break;
    }
}

// The field map of an ink map: the fields before the first channel, the n new channels (source
// channel inkMap[k], or -1 for none), then the other fields in order. Empty when the map cannot
// apply to h.
std::vector<int> InkFieldMap(const TCgatsTableHeader& h, const int* inkMap, int n)
{
    if (!IsProcessModel(h.colorModel) || h.colorFields.empty())
        return {};
    const int c = h.nrColors;
    for (int k = 0; k < n; ++k)
        if (inkMap[k] >= c)
            return {};
    const int p = *std::min_element(h.colorFields.begin(), h.colorFields.end());
    std::vector<int> map;
    for (int i = 0; i < p; ++i)
        map.push_back(i);
    for (int k = 0; k < n; ++k)
        map.push_back(inkMap[k] < 0 ? -1 : h.colorFields[inkMap[k]]);
    for (int i = p; i < h.NrFields(); ++i)
        if (std::find(h.colorFields.begin(), h.colorFields.end(), i) == h.colorFields.end())
            map.push_back(i);
    return map;
}

} // namespace

std::unique_ptr<TCgatsTable> TCgatsTable::SelectingCopy(const TCgatsTable& src, const int* samples, int m,
    const int* inkMap, int n, const std::vector<TCgatsField>& names, const char* fillText)
{
    auto copy = std::make_unique<TCgatsTable>();
    if (src.error != kTableOk || !src.header) {
        copy->error = src.error != kTableOk ? src.error : kTableNoHeader;
        return copy;
    }
    const TCgatsTableHeader& h = *src.header;
    const bool selecting = samples && m > 0;
    if (selecting)
        for (int k = 0; k < m; ++k)
            if (!src.ValidSample(samples[k])) {
                copy->error = kTableRowCount;
                return copy;
            }

    // Field map (source field per new field, -1 for a filled channel) and replacement names.
    std::vector<int> map;
    std::vector<const TCgatsField*> replacements;
    if (inkMap && n > 0) {
        map = InkFieldMap(h, inkMap, n);
        // Without names for the new channels (1 or 2 of them) the map cannot be applied.
        if (map.empty() || static_cast<int>(names.size()) != n) {
            copy->error = kTableBadInkMap;
            return copy;
        }
        const int p = *std::min_element(h.colorFields.begin(), h.colorFields.end());
        replacements.assign(map.size(), nullptr);
        for (int k = 0; k < n; ++k)
            replacements[p + k] = &names[k];
    } else {
        for (int i = 0; i < h.NrFields(); ++i)
            map.push_back(i);
    }
    std::vector<int> headerMap(map);
    for (int& i : headerMap)
        i = std::max(i, 0); // a replaced slot takes its name, not the mapped field
    auto header = std::make_unique<TCgatsTableHeader>(h, selecting ? m : 0, headerMap.data(),
        static_cast<int>(headerMap.size()), replacements.empty() ? nullptr : replacements.data());
    if (copy->Init(header, false) != kTableOk)
        return copy;

    const int rows = selecting ? m : src.nrFilled;
    const int size = copy->header->nrSamples;
    for (std::size_t f = 0; f < map.size(); ++f) {
        const TCgatsValueList* from = map[f] >= 0 ? src.columns[map[f]].get() : nullptr;
        if (!from) {
            auto filled = std::make_unique<TCgatsValueListDouble>(size);
            for (int r = 0; r < rows; ++r)
                filled->SetValue(r, fillText);
            copy->columns[f] = std::move(filled);
            continue;
        }
        auto list = EmptyLike(*from, size);
        for (int r = 0; r < rows; ++r)
            CopyValue(*from, selecting ? samples[r] : r, *list, r);
        copy->columns[f] = std::move(list);
    }
    copy->nrFilled = rows;
    copy->spectralPercent = src.spectralPercent;
    return copy;
}

bool TCgatsTable::ColumnsEqual(const TCgatsValueList& a, const TCgatsValueList& b, int rows, double tolerance)
{
    if (a.GetType() != b.GetType())
        return false;
    switch (a.GetType()) {
    case TCgatsValueList::kInt:
        for (int r = 0; r < rows; ++r)
            if (a.GetInt(r) != b.GetInt(r))
                return false;
        return true;
    case TCgatsValueList::kDouble:
        for (int r = 0; r < rows; ++r)
            if (std::fabs(a.GetDouble(r) - b.GetDouble(r)) > tolerance)
                return false;
        return true;
    default: {
        if (a.Size() != b.Size())
            return false;
        for (int r = 0; r < a.Size(); ++r) {
            const char* x = a.GetString(r);
            const char* y = b.GetString(r);
            if ((x == nullptr) != (y == nullptr) || (x && std::string(x) != y))
                return false;
        }
        return true;
    }
    }
}

bool TCgatsTable::Equals(const TCgatsTable& other, double tolerance) const
{
    if ((header == nullptr) != (other.header == nullptr) || (header && *header != *other.header))
        return false;
    if (columns.size() != other.columns.size() || nrFilled != other.nrFilled
        || spectralPercent != other.spectralPercent)
        return false;
    for (std::size_t k = 0; k < columns.size(); ++k) {
        const TCgatsValueList* a = columns[k].get();
        const TCgatsValueList* b = other.columns[k].get();
        if ((a == nullptr) != (b == nullptr) || (a && !ColumnsEqual(*a, *b, nrFilled, tolerance)))
            return false;
    }
    return true;
}
