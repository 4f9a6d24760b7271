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

// ln 2 in two parts: k ln2Hi is exact for any exponent k of a double.
constexpr double kLn2Hi = 6.93147180369123816490e-01;
constexpr double kLn2Lo = 1.90821492927058770002e-10;
// Every lane: the masked forms of the intrinsics, whose unmasked forms read an undefined source.
constexpr __mmask8 kAll = 0xFF;

// ln m = 2 atanh(s) = 2 s (1 + s^2 / 3 + s^4 / 5 + ... + s^20 / 21), s = (m - 1) / (m + 1): for m
// in [0.75, 1.5), |s| <= 0.2 and the first term left out is below 2e-17 of the sum.
constexpr double kAtanh[11]
    = { 1.0, 1.0 / 3, 1.0 / 5, 1.0 / 7, 1.0 / 9, 1.0 / 11, 1.0 / 13, 1.0 / 15, 1.0 / 17, 1.0 / 19, 1.0 / 21 };

__m512d LogMantissa(__m512d m)
{
    const __m512d one = _mm512_set1_pd(1.0);
    const __m512d s = _mm512_div_pd(_mm512_sub_pd(m, one), _mm512_add_pd(m, one));
    const __m512d s2 = _mm512_mul_pd(s, s);
    __m512d sum = _mm512_set1_pd(kAtanh[10]);
    for (int k = 9; k >= 0; --k)
        sum = _mm512_fmadd_pd(sum, s2, _mm512_set1_pd(kAtanh[k]));
    return _mm512_mul_pd(_mm512_add_pd(s, s), sum);
}

// e^z = 2^k e^r, k = round(z / ln 2), |r| <= ln 2 / 2, e^r by its Taylor series to r^13 / 13!
// (the first term left out below 5e-18).
constexpr double kExp[14] = { 1.0, 1.0, 1.0 / 2, 1.0 / 6, 1.0 / 24, 1.0 / 120, 1.0 / 720, 1.0 / 5040,
    1.0 / 40320, 1.0 / 362880, 1.0 / 3628800, 1.0 / 39916800, 1.0 / 479001600, 1.0 / 6227020800 };

__m512d Exp(__m512d z)
{
    const __m512d k = _mm512_maskz_roundscale_pd(
        kAll, _mm512_mul_pd(z, _mm512_set1_pd(1.0 / kLn2Hi)), _MM_FROUND_TO_NEAREST_INT);
    __m512d r = _mm512_fnmadd_pd(k, _mm512_set1_pd(kLn2Hi), z);
    r = _mm512_fnmadd_pd(k, _mm512_set1_pd(kLn2Lo), r);
    __m512d sum = _mm512_set1_pd(kExp[13]);
    for (int j = 12; j >= 0; --j)
        sum = _mm512_fmadd_pd(sum, r, _mm512_set1_pd(kExp[j]));
    return _mm512_maskz_scalef_pd(kAll, sum, k);
}

// x^y = e^(y ln x), ln x = e ln 2 + ln m for x = m 2^e with m in [0.75, 1.5): relative error a few
// 1e-16 (1 + |y ln x|), against libmvec's pow about three times the work. Lanes where x is not a
// positive normal number, or |y ln x| passes 700, take libmvec's pow (zeros, infinities, NaN,
// negative bases and overflow as pow defines them).
__m512d Pow8(__m512d x, __m512d y)
{
    const __m512d m = _mm512_maskz_getmant_pd(kAll, x, _MM_MANT_NORM_p75_1p5, _MM_MANT_SIGN_src);
    // getexp gives floor(log2 x); a mantissa brought below 1 belongs to the next exponent.
    __m512d e = _mm512_maskz_getexp_pd(kAll, x);
    e = _mm512_mask_add_pd(e, _mm512_cmp_pd_mask(m, _mm512_set1_pd(1.0), _CMP_LT_OQ), e, _mm512_set1_pd(1.0));
    const __m512d lnx = _mm512_fmadd_pd(
        e, _mm512_set1_pd(kLn2Hi), _mm512_fmadd_pd(e, _mm512_set1_pd(kLn2Lo), LogMantissa(m)));
    const __m512d z = _mm512_mul_pd(y, lnx);
    const __mmask8 plain = _mm512_cmp_pd_mask(x, _mm512_set1_pd(2.2250738585072014e-308), _CMP_GE_OQ)
        & _mm512_cmp_pd_mask(x, _mm512_set1_pd(1.7976931348623157e308), _CMP_LE_OQ)
        & _mm512_cmp_pd_mask(_mm512_abs_pd(z), _mm512_set1_pd(700.0), _CMP_LE_OQ);
    const __m512d fast = Exp(z);
    if (plain == kAll)
        return fast;
    return _mm512_mask_blend_pd(plain, _ZGVeN8vv_pow(x, y), fast);
}

__m512d Eight(bool power, __m512d a, __m512d b) { return power ? Pow8(a, b) : _ZGVeN8vv_atan2(a, b); }

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
