// Whole-file replacement for hosts that write their own files the way the library writes its own.
#ifndef TINTVALE_TATOMICFILE_H
#define TINTVALE_TATOMICFILE_H

#include <tintvale/texport.h>

#include <cstddef>

namespace TCMS {

// Writes the size bytes at data to fileName (UTF-8) as the library's own writers do: through a
// uniquely named temporary file beside it, flushed to the disk and renamed over fileName; a
// symbolic link is followed, and the replaced file keeps its permissions. Returns 0, or 4 when the
// file could not be written (a null or empty name, null data with a non-zero size, a target that
// is not a regular file or has no write permission, an unwritable place; errno tells which); then
// no temporary file is left and an existing fileName is as it was.
TINTVALE_API int WriteFileAtomically(const char* fileName, const void* data, std::size_t size);

} // namespace TCMS

#endif
