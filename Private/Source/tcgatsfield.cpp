// TCgatsField: construction and equality of a column descriptor.
#include "tcgatsfield.h"

#include "numtext.h"

#include <cstring>

TCgatsField::TCgatsField(int type_, const char* name_, int category_, int index_, int vocabIndex_)
{
    if (!name_ || !*name_) {
        invalid = 1;
        return;
    }
    type = type_;
    name = name_;
    category = category_;
    index = index_;
    vocabIndex = vocabIndex_;
}

bool TCgatsField::operator==(const TCgatsField& other) const
{
    return type == other.type && category == other.category && index == other.index
        && vocabIndex == other.vocabIndex && invalid == other.invalid && name == other.name;
}

namespace tintvale::detail {

int ScanIntPattern(const char* text, const char* pattern, int* values, int maxValues)
{
    if (!text || !pattern)
        return 0;
    int converted = 0;
    const char* t = text;
    for (const char* p = pattern; *p; ++p) {
        if (p[0] == '%' && p[1] == 'd') {
            while (*t == ' ' || (*t >= '\t' && *t <= '\r'))
                ++t;
            int value = 0;
            const char* end = ParseInt(t, t + std::strlen(t), value);
            if (!end || converted >= maxValues)
                return converted;
            values[converted++] = value;
            t = end;
            ++p;
        } else if (*t != *p) {
            return converted;
        } else {
            ++t;
        }
    }
    return converted;
}

} // namespace tintvale::detail
