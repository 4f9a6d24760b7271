// Pindle: whole-file byte I/O and an integer clock.
#ifndef OUTSIDE_PINDLE_H
#define OUTSIDE_PINDLE_H

#include <cstddef>

struct PindleFile;

// Non-zero after a failed open; reset by every successful open. One per thread.
extern thread_local int pindle_error;

// Opens name for reading; the other arguments are accepted for compatibility and unused.
PindleFile* fopenr(const char* unused1, const char* name, const char* unused2, int unused3);
// Creates or truncates name for writing.
PindleFile* fopenw(const void* unused1, const char* name, const char* unused2, int unused3);
// Length of an open file in bytes, -1 on failure.
long fgeteof(PindleFile* file);
// Reads up to n bytes; returns the count read.
long fgetm(PindleFile* file, void* buffer, long n);
// Writes n bytes; returns the count written.
long fputm(PindleFile* file, const void* buffer, long n);
// Closes and releases the handle; non-zero when a pending write or the close failed.
int fclosx(PindleFile* file);

// Milliseconds of a monotonic clock, truncated to an int; the argument is unused.
int elapsed(int unused);

#endif
