// Halden: the general utilities the library reports through and computes with.
// Message and warning sinks, case-insensitive comparison, bounded copy,
// piecewise-linear interpolation and the 4-byte file-float form.
#ifndef OUTSIDE_HALDEN_H
#define OUTSIDE_HALDEN_H

#include <cstddef>
#include <functional>

// Hands one complete message, raised at file:line, to the message sink. Never aborts.
int error_mess_fl(const char* message, const char* file, int line);
// Hands a non-fatal notice to the warning sink; the library only uses level 6.
void halden_warn(int level, const char* message);

using HaldenMessageHandler = std::function<void(const char* message, const char* file, int line)>;
using HaldenWarningHandler = std::function<void(int level, const char* message)>;
// Replace the sinks (an empty function restores the default, one line on standard error).
// Both return the handler they replace.
HaldenMessageHandler halden_set_message_handler(HaldenMessageHandler handler);
HaldenWarningHandler halden_set_warning_handler(HaldenWarningHandler handler);

// 0 exactly when the strings are equal ignoring ASCII letter case.
int strcmp_ci(const char* a, const char* b);
// 0 exactly when the first n characters are equal ignoring ASCII letter case.
int strncmp_ci(const char* a, const char* b, std::size_t n);
// Copies at most n characters and always terminates: dst must hold n + 1 characters.
char* strncpy_w0(char* dst, const char* src, std::size_t n);

// Piecewise-linear interpolation over points inserted in any order of x.
// Outside the inserted range the nearest end value holds.
struct lin_interp_double;
lin_interp_double* lin_interp_double_new(int expected_points, int flags);
// Negative when the point is rejected (x or y not finite, or no handle).
int lin_interp_double_insert(lin_interp_double* handle, double x, double y);
// Stores the interpolated value at x (the end values for x = -inf, +inf); negative, *y untouched,
// when there is nothing to interpolate or x is NaN.
int lin_interp_double_inter(lin_interp_double* handle, double x, double* y);
void lin_interp_double_kill(lin_interp_double* handle);

// 4-byte file floats: IEEE 754 binary32, little-endian, on every platform.
void ffltofl(const void* file_float, float* value);
void fltoffl(float value, void* file_float);

#endif
