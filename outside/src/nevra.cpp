// Nevra: descriptors from UTF-8 paths (POSIX takes the bytes as they are).
#include "nevra.h"

#include <cerrno>
#include <fcntl.h>

int open_utf8(const char* utf8_path, int flags, int permission)
{
    if (!utf8_path)
        return -1;
    int fd;
    do {
        fd = ::open(utf8_path, flags | O_CLOEXEC, static_cast<mode_t>(permission));
    } while (fd < 0 && errno == EINTR);
    return fd;
}
