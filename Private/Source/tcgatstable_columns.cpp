// TCgatsTable: adding whole columns (Lab values, ink-book names) to a filled table.
#include "tcgatstable.h"

#include "tcgats_vocabulary.h"

using namespace tintvale::detail;

namespace {

constexpr const char* kInkBookField = "InkBook";
const char* const kLabNames[] = { "LAB_L", "LAB_A", "LAB_B" };

} // namespace

int TCgatsTable::AppendColumns(
    const std::vector<TCgatsField>& newFields, std::vector<std::unique_ptr<TCgatsValueList>> lists)
{
    // The new header is made and checked aside, so that a failure leaves the table as it was.
    auto copy = std::make_unique<TCgatsTableHeader>(*header, 0, nullptr, 0, nullptr);
    for (const TCgatsField& field : newFields)
        if (copy->AppendField(field) != 0)
            return 1;
    if (copy->Analyse() != 0)
        return 1;
    header = std::move(copy);
    for (auto& list : lists)
        columns.push_back(std::move(list));
    return 0;
}

int TCgatsTable::AddLab(const double* const* lab)
{
    if (error != kTableOk)
        return error;
    if (!header)
        return kTableNoHeader;
    const int n = header->nrSamples;
    if (nrFilled < n || !lab)
        return 1;
    for (int i = 0; i < n; ++i)
        if (!lab[i])
            return 1;

    if (!header->labFields.empty()) {
        for (int k = 0; k < 3; ++k) {
            TCgatsValueList* column = columns[header->labFields[k]].get();
            auto* doubles = dynamic_cast<TCgatsValueListDouble*>(column);
            if (!doubles)
                return 1;
        }
        for (int k = 0; k < 3; ++k) {
            auto* doubles = static_cast<TCgatsValueListDouble*>(columns[header->labFields[k]].get());
            for (int i = 0; i < n; ++i)
                doubles->Set(i, lab[i][k]);
        }
        return 0;
    }

    std::vector<TCgatsField> fields;
    std::vector<std::unique_ptr<TCgatsValueList>> lists;
    for (int k = 0; k < 3; ++k) {
        fields.emplace_back(TCgatsField::kDouble, kLabNames[k], TCgatsField::kStandard, 0, kFieldLabL + k);
        auto list = std::make_unique<TCgatsValueListDouble>(n);
        for (int i = 0; i < n; ++i)
            list->Set(i, lab[i][k]);
        lists.push_back(std::move(list));
    }
    return AppendColumns(fields, std::move(lists));
}

int TCgatsTable::SetInkBookNames(const std::vector<std::string>& names, int vocabIndex)
{
    if (error != kTableOk)
        return error;
    if (!header)
        return kTableNoHeader;
    const int n = header->nrSamples;
    if (nrFilled < n || static_cast<int>(names.size()) < n)
        return 1;

    const int existing = header->FindField(kInkBookField);
    if (existing >= 0) {
        // An existing column keeps its type: each name is converted as it would be when read.
        TCgatsValueList* column = columns[existing].get();
        if (!column)
            return 1;
        for (int i = 0; i < n; ++i)
            column->SetValue(i, names[i].c_str());
        return 0;
    }

    auto list = std::make_unique<TCgatsValueListString>(n);
    for (int i = 0; i < n; ++i)
        list->SetValue(i, names[i].c_str());
    std::vector<std::unique_ptr<TCgatsValueList>> lists;
    lists.push_back(std::move(list));
    return AppendColumns(
        { TCgatsField(TCgatsField::kString, kInkBookField, TCgatsField::kKeyword, 0, vocabIndex) },
        std::move(lists));
}
