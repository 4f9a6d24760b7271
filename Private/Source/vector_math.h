// Powers and arc tangents of many values at once: with AVX-512 powers of positive normal bases of
// our own (within 4e-16 (1 + |y ln x|) of std::pow), else glibc's vector maths (libmvec) where the
// build found it and the processor has AVX-512 or AVX2, else the scalar functions. The arc tangents
// agree with std::atan2 to a few units in the last place.
#ifndef TINTVALE_VECTOR_MATH_H
#define TINTVALE_VECTOR_MATH_H

#include <cstddef>

namespace tintvale::detail {

// out[i] = x[i]^y, i < n.
void PowMany(const double* x, double y, double* out, std::size_t n);
// out[i] = atan2(y[i], x[i]) in radians, i < n.
void Atan2Many(const double* y, const double* x, double* out, std::size_t n);

} // namespace tintvale::detail

#endif
