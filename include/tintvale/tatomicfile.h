// Whole-file replacement for hosts that write their own files the way the library writes its own.
#ifndef TINTVALE_TATOMICFILE_H
#define TINTVALE_TATOMICFILE_H

#include <tintvale/texport.h>

#include <cstddef>

namespace TCMS {

// Writes the size bytes at data to fileName (UTF-8) through a temporary file beside it, renamed
// over fileName only after every write and the close succeeded. Returns 0, or 4 when the file
// could not be written (a null or empty name, null data with a non-zero size, an unwritable
// place); then the temporary file is removed and an existing fileName is left as it was.
TINTVALE_API int WriteFileAtomically(const char* fileName, const void* data, std::size_t size);

} // namespace TCMS

#endif
