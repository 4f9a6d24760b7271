// TCgatsField: the descriptor of one data column of a CGATS table header.
#ifndef TINTVALE_TCGATSFIELD_H
#define TINTVALE_TCGATSFIELD_H

#include <string>

class TCgatsField {
public:
    // Value types of a column (note: value lists number their types differently).
    enum Type { kString = 0, kInt = 1, kDouble = 2 };
    enum Category { kStandard = 0, kKeyword = 1, kSpectral = 2, kCustomProcess = 3, kNColor = 4, kSpot = 5 };

    // A null or empty name makes an invalid descriptor with all members 0.
    TCgatsField(int type, const char* name, int category, int index, int vocabIndex);

    // The name as written, or null for an invalid descriptor.
    const char* Name() const { return invalid ? nullptr : name.c_str(); }

    bool operator==(const TCgatsField& other) const;
    bool operator!=(const TCgatsField& other) const { return !(*this == other); }

    int type = 0;
    std::string name;
    int category = 0;
    int index = 0; // Spectral: the wavelength in nm; CustomProcess, NColor, Spot: channel number - 1
    int vocabIndex = 0; // Standard: vocabulary index; Keyword: custom field index or -1
    int invalid = 0;
};

namespace tintvale::detail {

// The conversions sscanf(text, pattern, ...) makes in the C locale for a pattern of literal
// characters and "%d" directives: literals match case-sensitively, "%d" skips white space and
// reads an optionally signed decimal integer (saturating at the int range). Stores at most
// maxValues integers and returns the number converted.
int ScanIntPattern(const char* text, const char* pattern, int* values, int maxValues);

} // namespace tintvale::detail

#endif
