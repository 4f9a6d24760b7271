// TIlluminant: a named spectral power distribution, kept in an illuminant file ("ill"), with its
// chromaticity and correlated colour temperature.
#ifndef TINTVALE_TILLUMINANT_H
#define TINTVALE_TILLUMINANT_H

#include <tintvale/texport.h>
#include <tintvale/tobjfac.h>

#include <cstddef>
#include <memory>
#include <string>

class TSpectrum;
class TIlluminantFactory;

// Illuminants are made and owned by TIlluminantFactory; clients receive non-owning pointers.
// The name is the identity: equality compares names, case-sensitively.
//
// Error numbers (ErrNo, and the results of ReadFrom and Save):
//   0 no error
//   1 the spectrum object could not be made
//   2 a required argument is null; a name longer than 1024 characters given with a spectrum;
//     a file name whose extension is not "ill" (any letter case)
//   3 Save: no spectrum, no name, a name of 256 characters or more, or a spectrum too large for
//     a 2048-byte file
//   4 the file could not be opened or read completely; Save: the file could not be written, or
//     the target is not a regular file the caller may write
//   5 a file of fewer than 4 or more than 2048 bytes, wrong magic, an unknown variant, a truncated
//     file (a name or spectrum record running past the end, a text name line without its line
//     end), or a text name line of 1024 characters or more
//   other: the error number of the spectrum read from the file (TSpectrum codes 1 to 4)
//
// Illuminant file (little-endian): "ORVI", then "V100" (binary: name length L in one byte, the L
// name bytes, a zero pad byte when L is even, one long spectrum record) or "TEXT" (read only: the
// name on the first line, then the text form of a spectrum: count, wavelengths, values).
class TINTVALE_API TIlluminant : public TObj {
public:
    ~TIlluminant() override;

    // Names equal byte for byte; an illuminant without a name equals only another without one.
    bool operator==(const TIlluminant& other) const;
    bool operator!=(const TIlluminant& other) const { return !(*this == other); }

    // Null when the illuminant has no name.
    const char* GetName() const { return mHasName ? mName.c_str() : nullptr; }
    // Owned by the illuminant; null when it has none.
    TSpectrum* GetSpectrum() const { return mSpectrum.get(); }
    int ErrNo() const { return mError; }

    // CIE 1931 chromaticity x, y of the illuminant's white (2° observer, 36-point grid) and its
    // correlated colour temperature by Robertson's method, rounded to a multiple of 10 K.
    // When the method fails (a black stimulus, or a chromaticity beyond the isotemperature lines
    // of 1667 K and infinity) the temperature is 0.0; x and y are 0.0 for a black stimulus.
    // A temperature beyond the range of int is still reported (rounded in double arithmetic).
    // All three pointers are required (2 when one is null); otherwise returns 0.
    int GetChromaticityAndTemperature(double* x, double* y, double* temperature);
    // The temperature part of the above.
    double GetColorTemperature();

protected:
    friend class TIlluminantFactory;

    // Copies spectrum and name (see the error numbers above).
    TIlluminant(const TSpectrum& spectrum, const char* name);
    // Parses a complete file image; the text variant must end with a zero byte or hold 2048 bytes.
    explicit TIlluminant(void* image);
    // Loads an illuminant file.
    explicit TIlluminant(const char* fileName);

    // Parses a complete file image held in memory; replaces name and spectrum. The unsized form
    // reads a text variant up to its terminating zero (at most 2048 bytes) and a binary variant as
    // far as its own header says; the sized form never reads past size bytes.
    int ReadFrom(char* image);
    int ReadFrom(const char* image, std::size_t size);
    // Writes the binary variant. The image goes to a uniquely named temporary file beside
    // fileName (beside the file a symbolic link names), flushed to the disk, which then replaces
    // it keeping its permissions, so a failed save leaves an existing file intact and a reader
    // sees the old or the new image, never a part. 0 or an error number; the error number of the
    // illuminant is not changed.
    int Save(const char* fileName);

private:
    int Load(const char* fileName);
    int ReadText(const char* body, std::size_t size);
    int ReadBinary(const unsigned char* body, std::size_t size);

    std::unique_ptr<TSpectrum> mSpectrum;
    int mError = 0;
    std::string mName;
    bool mHasName = false;
};

#endif
