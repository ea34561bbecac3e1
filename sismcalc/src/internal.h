// Routines shared between the kernels of the library; nothing here is exported.
#pragma once

#include <complex>
#include <cstdint>

namespace sismcalc::detail {

// Smallest power of two that is >= n and >= 2.
int32_t PaddedLength(int32_t n);

// Forward transform (sign -1, unscaled) of x[0..n) zero-padded to the power of two p >= n:
// writes bins 0..p/2 (p/2 + 1 values).
void RealForward(const float* x, int32_t n, int32_t p, std::complex<double>* bins);

// Inverse transform (sign +1, unscaled) of the Hermitian spectrum whose bins 0..p/2 are given:
// writes p real values.
void RealInverse(const std::complex<double>* bins, int32_t p, double* out);

// The seven coefficients of the high-cut gain 1/sqrt(1 + 0.694 y + ... + 0.000155 y^6),
// shared by the band-pass filter and the intensity weighting.
extern const double kHighCutCoef[7];

}  // namespace sismcalc::detail
