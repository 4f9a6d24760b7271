// Powers and arc tangents of many values at once (libmvec's eight-wide AVX-512 or four-wide AVX2
// functions when present).
#include "vector_math.h"

#include <cmath>

#if defined(TINTVALE_HAVE_LIBMVEC) && defined(__x86_64__) && defined(__GNUC__)
#define TINTVALE_VECTOR_MATH 1
#include <immintrin.h>

#pragma GCC push_options
#pragma GCC target("avx2,fma")
// glibc's vector variants of pow and atan2 (x86_64 vector ABI, "d": AVX2, four doubles).
extern "C" __m256d _ZGVdN4vv_pow(__m256d, __m256d);
extern "C" __m256d _ZGVdN4vv_atan2(__m256d, __m256d);

namespace {

__m256d Four(bool power, __m256d a, __m256d b) { return power ? _ZGVdN4vv_pow(a, b) : _ZGVdN4vv_atan2(a, b); }

// pow(a, b) or atan2(a, b) four at a time (b: the array, or bScalar for each when null); the last
// few through a padded block, so that every value takes the same path.
void Apply4(bool power, const double* a, const double* b, double bScalar, double* out, std::size_t n)
{
    const __m256d same = _mm256_set1_pd(bScalar);
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4)
        _mm256_storeu_pd(out + i, Four(power, _mm256_loadu_pd(a + i), b ? _mm256_loadu_pd(b + i) : same));
    if (i == n)
        return;
    double ta[4] = { 1.0, 1.0, 1.0, 1.0 }, tb[4] = { 1.0, 1.0, 1.0, 1.0 }, to[4];
    for (std::size_t k = 0; i + k < n; ++k) {
        ta[k] = a[i + k];
        tb[k] = b ? b[i + k] : bScalar;
    }
    _mm256_storeu_pd(to, Four(power, _mm256_loadu_pd(ta), _mm256_loadu_pd(tb)));
    for (std::size_t k = 0; i + k < n; ++k)
        out[i + k] = to[k];
}

} // namespace
#pragma GCC pop_options

#pragma GCC push_options
#pragma GCC target("avx512f")
// The same eight at a time ("e": AVX-512).
extern "C" __m512d _ZGVeN8vv_pow(__m512d, __m512d);
extern "C" __m512d _ZGVeN8vv_atan2(__m512d, __m512d);

namespace {

__m512d Eight(bool power, __m512d a, __m512d b)
{
    return power ? _ZGVeN8vv_pow(a, b) : _ZGVeN8vv_atan2(a, b);
}

void Apply8(bool power, const double* a, const double* b, double bScalar, double* out, std::size_t n)
{
    const __m512d same = _mm512_set1_pd(bScalar);
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8)
        _mm512_storeu_pd(out + i, Eight(power, _mm512_loadu_pd(a + i), b ? _mm512_loadu_pd(b + i) : same));
    if (i == n)
        return;
    double ta[8] = { 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0 },
           tb[8] = { 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0 }, to[8];
    for (std::size_t k = 0; i + k < n; ++k) {
        ta[k] = a[i + k];
        tb[k] = b ? b[i + k] : bScalar;
    }
    _mm512_storeu_pd(to, Eight(power, _mm512_loadu_pd(ta), _mm512_loadu_pd(tb)));
    for (std::size_t k = 0; i + k < n; ++k)
        out[i + k] = to[k];
}

} // namespace
#pragma GCC pop_options

namespace {

bool HasAvx2()
{
    static const bool has = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    return has;
}

bool HasAvx512()
{
    static const bool has = __builtin_cpu_supports("avx512f");
    return has;
}

} // namespace
#endif

namespace tintvale::detail {

void PowMany(const double* x, double y, double* out, std::size_t n)
{
#ifdef TINTVALE_VECTOR_MATH
    if (HasAvx512())
        return Apply8(true, x, nullptr, y, out, n);
    if (HasAvx2())
        return Apply4(true, x, nullptr, y, out, n);
#endif
    for (std::size_t i = 0; i < n; ++i)
        out[i] = std::pow(x[i], y);
}

void Atan2Many(const double* y, const double* x, double* out, std::size_t n)
{
#ifdef TINTVALE_VECTOR_MATH
    if (HasAvx512())
        return Apply8(false, y, x, 0.0, out, n);
    if (HasAvx2())
        return Apply4(false, y, x, 0.0, out, n);
#endif
    for (std::size_t i = 0; i < n; ++i)
        out[i] = std::atan2(y[i], x[i]);
}

} // namespace tintvale::detail
