// TCgatsTableHeader: the data format of one CGATS table and its analysis into colour channels,
// spot colours, wavelengths, Lab and XYZ.
#ifndef TINTVALE_TCGATSTABLEHEADER_H
#define TINTVALE_TCGATSTABLEHEADER_H

#include "tcgatsfield.h"

#include <memory>
#include <string>
#include <vector>

class TCgatsTableHeader {
public:
    enum ColorModel { kNoColor = -1, kCmyk = 0, kCustom = 1, kNColor = 2, kSpotColor = 3 };

    // nrFields empty slots (a negative count counts as 0).
    explicit TCgatsTableHeader(int nrFields = 0);
    // Selecting copy: slot k gets a copy of replacements[k] when given, else of src.fields[map[k]];
    // without a map (or mapLength < 1) every field of src in order. nrSamples is src's when > 0,
    // then sampleOverride when > 0. An analysed source gives an analysed copy.
    TCgatsTableHeader(const TCgatsTableHeader& src, int sampleOverride, const int* map, int mapLength,
        const TCgatsField* const* replacements);
    TCgatsTableHeader(const TCgatsTableHeader& src);
    TCgatsTableHeader& operator=(const TCgatsTableHeader&) = delete;
    virtual ~TCgatsTableHeader();

    int NrFields() const { return static_cast<int>(fields.size()); }
    // The field in slot i, or null for an empty slot or an index out of range.
    const TCgatsField* Field(int i) const;

    // Put a new field (or a copy) into the first empty slot: 1 when none is empty or the field is
    // invalid, else 0.
    int SetField(int type, const char* name, int category, int index, int vocabIndex);
    int SetFieldCopy(const TCgatsField& field);
    // Appends a copy: 1 when a slot is still empty or the field is invalid; resets the analysis.
    int AppendField(const TCgatsField& field);
    // Index of the first field named exactly name, or -1.
    int FindField(const char* name) const;
    bool HasField(const char* name) const { return FindField(name) >= 0; }

    // Derives colour model, channel, spot, wavelength, Lab and XYZ indices; 1 on an empty slot or
    // inconsistent numbering (analysis left unset), else 0.
    int Analyse();
    // The wavelengths of the spectral fields in ascending order; out must hold nrWaveLengths values.
    // 1 when not analysed, without spectral fields or with a stale index, else 0.
    int GetWaveLengths(int* out) const;

    // Appends the field names separated by tabs and a "\n"; 1 without fields or with an empty slot.
    int Write(std::string& out) const;

    bool operator==(const TCgatsTableHeader& other) const;
    bool operator!=(const TCgatsTableHeader& other) const { return !(*this == other); }

    int nrSamples = 0;
    std::vector<std::unique_ptr<TCgatsField>> fields;
    bool analysed = false;
    int colorModel = kNoColor;
    int nrColors = 0;
    int nrSpots = 0;
    int nrWaveLengths = 0;
    int sampleIdField = -1;
    // Field indices; an empty vector stands for an absent list.
    std::vector<int> colorFields; // nrColors channels in channel order (C, M, Y, K for CMYK)
    std::vector<int> spotFields; // nrSpots fields in spot-number order
    std::vector<int> waveLengthFields; // ascending wavelength, ties in header order
    std::vector<int> labFields; // L*, a*, b*
    std::vector<int> xyzFields; // X, Y, Z

private:
    void ResetAnalysis();
    int DoAnalyse();
};

#endif
