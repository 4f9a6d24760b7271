// Replacing a file as a whole: the bytes go to a temporary file beside the target, which is
// renamed over the target only after every write and the close succeeded.
#ifndef TINTVALE_ATOMIC_WRITE_H
#define TINTVALE_ATOMIC_WRITE_H

#include <cstddef>

namespace tintvale::detail {

// Returns true when fileName now holds exactly the size bytes at data. On failure the temporary
// file is removed and an existing fileName is left as it was.
bool WriteFileAtomically(const char* fileName, const void* data, std::size_t size);

} // namespace tintvale::detail

#endif
