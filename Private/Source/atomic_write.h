// Replacing a file as a whole: the bytes go to a new file of a unique name beside the target,
// reach the disk, and are renamed over the target; readers see the old or the new file, never
// a part of either.
#ifndef TINTVALE_ATOMIC_WRITE_H
#define TINTVALE_ATOMIC_WRITE_H

#include <cstddef>

namespace tintvale::detail {

// Makes fileName hold exactly the size bytes at data. A symbolic link is followed and the file it
// names is replaced, beside that file; the replaced file keeps its permissions and, where the
// process may set them, its owner and group. Refused without any change: a target that exists but
// is not a regular file (EISDIR for a directory, EINVAL for a device, FIFO or socket), and one the
// caller may not write (EACCES, EROFS): a file without any write permission counts as read-only
// even for a privileged caller, who could open it, because its protection says it is not to be
// changed. Returns 0, or the errno value of the failure (also left in errno); on failure the
// temporary file is gone and an existing target is unchanged. Success means that the data and the
// directory entry were flushed to the disk.
int ReplaceFile(const char* fileName, const void* data, std::size_t size);

// The temporary file is named fileName + "." + 16 hexadecimal digits of these bits + ".tmp" (just
// "." + digits + ".tmp" in the same directory when that name would be too long). Tests
// set a predictable source to plant files at those names; null restores the random one.
using TemporaryNameBits = unsigned long long (*)();
void SetTemporaryNameBits(TemporaryNameBits source);

} // namespace tintvale::detail

#endif
