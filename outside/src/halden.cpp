// Halden: message sinks, string helpers, the linear interpolator and file floats.
#include "halden.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

namespace {

std::mutex gSinkMutex;
HaldenMessageHandler gMessageHandler;
HaldenWarningHandler gWarningHandler;

int LowerAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }

} // namespace

int error_mess_fl(const char* message, const char* file, int line)
{
    HaldenMessageHandler handler;
    {
        std::lock_guard<std::mutex> lock(gSinkMutex);
        handler = gMessageHandler;
    }
    const char* text = message ? message : "";
    const char* where = file ? file : "?";
    if (handler)
        handler(text, where, line);
    else
        std::fprintf(stderr, "%s:%d: %s\n", where, line, text);
    return 0;
}

void halden_warn(int level, const char* message)
{
    HaldenWarningHandler handler;
    {
        std::lock_guard<std::mutex> lock(gSinkMutex);
        handler = gWarningHandler;
    }
    const char* text = message ? message : "";
    if (handler)
        handler(level, text);
    else
        std::fprintf(stderr, "warning(%d): %s\n", level, text);
}

HaldenMessageHandler halden_set_message_handler(HaldenMessageHandler handler)
{
    std::lock_guard<std::mutex> lock(gSinkMutex);
    return std::exchange(gMessageHandler, std::move(handler));
}

HaldenWarningHandler halden_set_warning_handler(HaldenWarningHandler handler)
{
    std::lock_guard<std::mutex> lock(gSinkMutex);
    return std::exchange(gWarningHandler, std::move(handler));
}

int strcmp_ci(const char* a, const char* b) { return strncmp_ci(a, b, static_cast<std::size_t>(-1)); }

int strncmp_ci(const char* a, const char* b, std::size_t n)
{
    if (!a || !b)
        return (a == b) ? 0 : (a ? 1 : -1);
    for (std::size_t i = 0; i < n; ++i) {
        const int ca = LowerAscii(static_cast<unsigned char>(a[i]));
        const int cb = LowerAscii(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca - cb;
        if (ca == 0)
            break;
    }
    return 0;
}

char* strncpy_w0(char* dst, const char* src, std::size_t n)
{
    if (!dst)
        return dst;
    std::size_t i = 0;
    if (src)
        for (; i < n && src[i] != '\0'; ++i)
            dst[i] = src[i];
    dst[i] = '\0';
    return dst;
}

struct lin_interp_double {
    std::vector<std::pair<double, double>> points; // ascending in x; equal x in the order inserted
    std::size_t last = 0; // where the previous search ended: curves are mostly read in order
};

namespace {

// The first point whose x is not below x (x lies strictly inside the curve), as std::lower_bound
// finds it, looked for first where the previous search ended and just after.
std::size_t FirstNotBelow(lin_interp_double& handle, double x)
{
    const auto& pts = handle.points;
    for (std::size_t i = handle.last; i < handle.last + 2 && i < pts.size(); ++i)
        if (i > 0 && pts[i - 1].first < x && pts[i].first >= x)
            return handle.last = i;
    const auto hi
        = std::lower_bound(pts.begin(), pts.end(), x, [](const auto& p, double v) { return p.first < v; });
    return handle.last = static_cast<std::size_t>(hi - pts.begin());
}

} // namespace

lin_interp_double* lin_interp_double_new(int expected_points, int /*flags*/)
{
    auto* handle = new (std::nothrow) lin_interp_double;
    if (handle && expected_points > 0) {
        try {
            handle->points.reserve(static_cast<std::size_t>(expected_points) + 2);
        } catch (...) {
            delete handle;
            return nullptr;
        }
    }
    return handle;
}

int lin_interp_double_insert(lin_interp_double* handle, double x, double y)
{
    if (!handle || !std::isfinite(x) || !std::isfinite(y))
        return -1;
    // Kept in order as it grows, each point after those at the same x: spectra arrive in order,
    // and the search needs no sort (nor its buffer) per curve.
    auto& pts = handle->points;
    const auto at = pts.empty() || x >= pts.back().first
        ? pts.end()
        : std::upper_bound(pts.begin(), pts.end(), x, [](double v, const auto& p) { return v < p.first; });
    try {
        pts.emplace(at, x, y);
    } catch (...) {
        return -1;
    }
    return 0;
}

int lin_interp_double_inter(lin_interp_double* handle, double x, double* y)
{
    // A NaN abscissa compares false with every point and would search past the front.
    if (!handle || !y || handle->points.empty() || std::isnan(x))
        return -1;
    const auto& pts = handle->points;
    if (x <= pts.front().first) {
        *y = pts.front().second;
        return 0;
    }
    if (x >= pts.back().first) {
        *y = pts.back().second;
        return 0;
    }
    const auto hi = pts.begin() + static_cast<std::ptrdiff_t>(FirstNotBelow(*handle, x));
    if (hi->first == x) {
        *y = hi->second;
        return 0;
    }
    auto lo = hi - 1;
    // Finite points whose differences overflow (beyond +-8.9e307) are weighted through halves.
    const double width = hi->first - lo->first;
    const double t = std::isfinite(width) ? (x - lo->first) / width
                                          : (x / 2.0 - lo->first / 2.0) / (hi->first / 2.0 - lo->first / 2.0);
    const double span = hi->second - lo->second;
    *y = std::isfinite(span) ? lo->second + t * span : (1.0 - t) * lo->second + t * hi->second;
    return 0;
}

void lin_interp_double_kill(lin_interp_double* handle) { delete handle; }

void ffltofl(const void* file_float, float* value)
{
    if (!file_float || !value)
        return;
    const auto* b = static_cast<const unsigned char*>(file_float);
    const std::uint32_t bits = static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8)
        | (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    std::memcpy(value, &bits, sizeof bits);
}

void fltoffl(float value, void* file_float)
{
    if (!file_float)
        return;
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    auto* b = static_cast<unsigned char*>(file_float);
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<unsigned char>(bits >> (8 * i));
}
