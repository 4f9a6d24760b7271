// TIlluminantFactory: the registry through which clients obtain illuminants, loaded from a
// directory of illuminant files or made from spectra.
#ifndef TINTVALE_TILLUMINANTFACTORY_H
#define TINTVALE_TILLUMINANTFACTORY_H

#include <tintvale/texport.h>

#include <memory>
#include <vector>

class TIlluminant;
class TSpectrum;

// Holds shared references to illuminants in the order added; copies of a factory share the same
// illuminant objects, which live as long as any factory holding them. Returned pointers are not
// owned by the caller and stay valid while some factory holds the illuminant. A new factory is
// empty. Duplicate names are allowed; look-ups return the first match.
//
// Messages to the sink: "No Memory of Ill creation" (AddDirectory), "No Memory for Ill Creation"
// (AddIlluminant), "Specify illuminant name" and "No Illuminant with this name available"
// (GetIlluminant). A look-up of "CIE Illuminant D50" that finds only "D50" returns that one with a
// level-6 warning. Not synchronised; the shared references are counted atomically.
class TINTVALE_API TIlluminantFactory {
public:
    TIlluminantFactory();
    TIlluminantFactory(const TIlluminantFactory& other);
    TIlluminantFactory& operator=(const TIlluminantFactory& other);
    virtual ~TIlluminantFactory();

    // Adds every regular file of the directory (not its sub-directories) whose name ends in ".ill"
    // (any case) and that parses as an illuminant file; others are skipped silently. A directory
    // that cannot be read adds nothing. Returns -1 for a null name, else 0. An error while
    // advancing the directory listing propagates as a boost::filesystem::filesystem_error.
    int AddDirectory(const char* directory);
    // Adds the illuminant of one ".ill" file; null when it cannot be read, with the illuminant's
    // error number in *error (0 on success; -1 for a null name or a failed allocation).
    TIlluminant* AddFile(const char* fileName, int* error = nullptr);
    // Makes an illuminant from a copy of spectrum and name and appends it; null when it could not
    // be made (a null name, a name over 1024 characters, a faulty spectrum).
    TIlluminant* AddIlluminant(const TSpectrum& spectrum, const char* name);
    // The first illuminant whose name equals name ignoring case; null (with a message) for a null
    // or empty name or when none is found.
    TIlluminant* GetIlluminant(const char* name);
    // Looks up "D" followed by trunc(kelvin / 100 + 0.5) as a two-wide number: 5003 K gives "D50".
    TIlluminant* GetIlluminant(double kelvin);
    std::vector<const TIlluminant*> GetListOfIlluminants() const;
    // -1 when either argument is null, else the illuminant's Save result (0, 2, 3 or 4).
    int SaveIlluminant(TIlluminant* illuminant, const char* fileName);

private:
    TIlluminant* Find(const char* name) const;

    std::vector<std::shared_ptr<TIlluminant>> mIlluminants;
};

#endif
