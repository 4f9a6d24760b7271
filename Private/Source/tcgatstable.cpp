// TCgatsTable: creation from a header, storing rows, and writing the table's text.
#include "tcgatstable.h"

#include "cgatstokenizer.h"
#include "numtext.h"
#include "tcgats_vocabulary.h"

#include <algorithm>
#include <cstring>

using namespace tintvale::detail;

namespace {

std::unique_ptr<TCgatsValueList> MakeList(int type, int count)
{
    switch (type) {
    case TCgatsField::kString:
        return std::make_unique<TCgatsValueListString>(count);
    case TCgatsField::kInt:
        return std::make_unique<TCgatsValueListInt>(count);
    case TCgatsField::kDouble:
        return std::make_unique<TCgatsValueListDouble>(count);
    default:
        return nullptr;
    }
}

// A String value is quoted when it could not be read back as one bare token here or in LittleCMS:
// when it is empty, holds a blank, line end or any other byte outside a bare word, or would read as
// the end of the data.
bool NeedsQuotes(const char* text)
{
    if (!*text || CgatsTokenizer::IsEndData(text))
        return true;
    for (; *text; ++text)
        if (!CgatsTokenizer::IsBareWordByte(*text))
            return true;
    return false;
}

// Whether the number written from first to last has digits alone (and a sign).
bool IsWholeNumber(const char* first, const char* last)
{
    return std::all_of(first, last, [](char c) { return c == '-' || (c >= '0' && c <= '9'); });
}

} // namespace

int TCgatsTable::Init(std::unique_ptr<TCgatsTableHeader>& newHeader, bool createLists)
{
    if (!newHeader)
        return error = kTableNoHeader;
    if (newHeader->fields.empty())
        return error = kTableNoFields;
    if (newHeader->nrSamples <= 0)
        return error = kTableNoSamples;
    for (const auto& slot : newHeader->fields)
        if (!slot)
            return error = kTableEmptySlot;
    if (!newHeader->analysed && newHeader->Analyse() != 0)
        return error = kTableAnalysis;
    // Checked before the header is taken, so that a failed Init never owns it.
    for (const auto& slot : newHeader->fields)
        if (slot->type < TCgatsField::kString || slot->type > TCgatsField::kDouble)
            return error = kTableBadType;

    header = std::move(newHeader);
    columns.clear();
    columns.resize(header->fields.size());
    if (createLists)
        CreateLists();
    nrFilled = 0;
    error = kTableOk;
    return error;
}

void TCgatsTable::CreateLists()
{
    if (!header)
        return;
    columns.resize(header->fields.size());
    for (std::size_t k = 0; k < columns.size(); ++k)
        if (!columns[k] && header->fields[k])
            columns[k] = MakeList(header->fields[k]->type, header->nrSamples);
}

std::unique_ptr<TCgatsTableHeader> TCgatsTable::ReleaseHeader() { return std::move(header); }

int TCgatsTable::AddSample(const char* const* texts)
{
    if (!header || nrFilled >= header->nrSamples)
        return kTableTooManyRows;
    for (std::size_t k = 0; k < columns.size(); ++k)
        if (columns[k])
            columns[k]->SetValue(nrFilled, texts[k]);
    FinishRow();
    return 0;
}

void TCgatsTable::FinishRow()
{
    if (nrFilled < kPercentRows && header->nrWaveLengths > 0 && error == kTableOk)
        DetectPercent(nrFilled);
    ++nrFilled;
}

void TCgatsTable::DetectPercent(int row)
{
    for (int field : header->waveLengthFields) {
        const TCgatsValueList* column = columns[field].get();
        if (column && column->GetDouble(row) > kPercentThreshold) {
            spectralPercent = true;
            return;
        }
    }
}

int TCgatsTable::WriteHeader(std::string& out) const
{
    if (error != kTableOk)
        return error;
    if (!header)
        return kTableNoHeader;
    return header->Write(out) == 0 ? kTableOk : kTableHeaderNotWritten;
}

int TCgatsTable::WriteData(std::string& out) const
{
    if (error != kTableOk)
        return error;
    if (!header)
        return kTableNoHeader;
    if (nrFilled != header->nrSamples)
        return kTableRowCount;
    if (header->fields.empty())
        return kTableEmptySlot;
    const int nrFields = NrFields();
    // Room for values of about seven characters, so that a large table is not copied as it grows.
    out.reserve(out.size() + static_cast<std::size_t>(nrFilled) * static_cast<std::size_t>(nrFields) * 8);
    // Numbers are written into a chunk that joins the text when full, not appended one by one.
    constexpr std::size_t kChunk = 4096;
    constexpr std::size_t kRoom = kMaxNumberLength + 4; // a number, ".0" and a separator
    char chunk[kChunk];
    char* p = chunk;
    const auto flush = [&] {
        out.append(chunk, p);
        p = chunk;
    };
    for (int row = 0; row < nrFilled; ++row) {
        for (int k = 0; k < nrFields; ++k) {
            const TCgatsValueList* column = columns[k].get();
            const TCgatsField* field = header->Field(k);
            if (!column || !field)
                continue;
            if (static_cast<std::size_t>(chunk + kChunk - p) < kRoom)
                flush();
            switch (field->type) {
            case TCgatsField::kInt:
                p = WriteInt(p, column->GetInt(row));
                break;
            case TCgatsField::kDouble: {
                char* start = p;
                p = WriteShortest(p, column->GetDouble(row));
                if (pointedDoubles && IsWholeNumber(start, p)) {
                    *p++ = '.';
                    *p++ = '0';
                }
                break;
            }
            case TCgatsField::kString: {
                const char* text = column->GetString(row);
                if (!text)
                    text = "";
                flush();
                if (NeedsQuotes(text)) {
                    out += '"';
                    out += text;
                    out += '"';
                } else {
                    out += text;
                }
                break;
            }
            default:
                continue;
            }
            *p++ = '\t';
        }
        if (p == chunk + kChunk) // a row whose cells were all passed over
            flush();
        *p++ = '\n';
    }
    flush();
    return kTableOk;
}

int TCgatsTable::GetFieldText(int sample, int field, std::string& out) const
{
    if (error != kTableOk || !header || sample < 0 || sample >= nrFilled || field < 0 || field >= NrFields())
        return -1;
    const TCgatsValueList* column = columns[field].get();
    const TCgatsField* f = header->Field(field);
    if (!column || !f)
        return -1;
    switch (f->type) {
    case TCgatsField::kString: {
        const char* text = column->GetString(sample);
        out = text ? text : "";
        return 0;
    }
    case TCgatsField::kInt:
        out.clear();
        AppendInt(out, column->GetInt(sample));
        return 0;
    case TCgatsField::kDouble:
        out = FormatF(column->GetDouble(sample), 5);
        return 0;
    default:
        return -1;
    }
}

int TCgatsTable::GetField(int sample, int field, char** out) const
{
    if (!out || !*out)
        return -1;
    std::string text;
    if (GetFieldText(sample, field, text) != 0)
        return -1;
    std::memcpy(*out, text.c_str(), text.size() + 1);
    return 0;
}

int TCgatsTable::GetValues(int sample, const std::vector<int>& fieldList, double factor, double* out) const
{
    if (error != kTableOk || !header || !ValidSample(sample) || !out)
        return -1;
    for (int field : fieldList)
        if (field < 0 || field >= static_cast<int>(columns.size()) || !columns[field])
            return -1;
    for (std::size_t k = 0; k < fieldList.size(); ++k)
        out[k] = columns[fieldList[k]]->GetDouble(sample) * factor;
    return 0;
}
