// Nevra: opening a file descriptor from a UTF-8 path.
#ifndef OUTSIDE_NEVRA_H
#define OUTSIDE_NEVRA_H

// flags and permission are the POSIX open(2) values; returns a descriptor or -1.
int open_utf8(const char* utf8_path, int flags, int permission = 0);

#endif
