// The double-precision complex transform of true pi, for convolutions.
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "internal.h"

namespace sismcalc::detail {

namespace {

// One stage's butterflies over a block of 2 half points.
SISMCALC_VECTOR_CLONES void Butterflies(double* __restrict re, double* __restrict im, int64_t half,
                                        const double* __restrict wr, const double* __restrict wi, double sign) {
  double* __restrict re2 = re + half;
  double* __restrict im2 = im + half;
  for (int64_t j = 0; j < half; ++j) {
    const double cr = wr[j], ci = sign * wi[j];
    const double tr = cr * re2[j] - ci * im2[j], ti = cr * im2[j] + ci * re2[j];
    re2[j] = re[j] - tr, im2[j] = im[j] - ti;
    re[j] += tr, im[j] += ti;
  }
}

}  // namespace

ExactTransform::ExactTransform(int64_t f)
    : f_(f), wr_(static_cast<size_t>(f)), wi_(wr_.size()), rev_(static_cast<size_t>(f)) {
  // The factors of the stage of half length h at h - 1 .. 2h - 2, in the order they are used.
  for (int64_t half = 1; half < f; half *= 2)
    for (int64_t j = 0; j < half; ++j) {
      const double angle = 3.14159265358979323846 * static_cast<double>(j) / static_cast<double>(half);
      wr_[half - 1 + j] = std::cos(angle);
      wi_[half - 1 + j] = -std::sin(angle);
    }
  int bits = 0;
  while ((int64_t{1} << bits) < f) ++bits;
  for (int64_t j = 0; j < f; ++j) {
    uint32_t r = 0;
    for (int b = 0; b < bits; ++b) r |= ((static_cast<uint32_t>(j) >> b) & 1u) << (bits - 1 - b);
    rev_[j] = r;
  }
}

void ExactTransform::Run(double* re, double* im, bool inverse) const {
  for (int64_t j = 0; j < f_; ++j) {
    const int64_t r = rev_[j];
    if (r > j) std::swap(re[j], re[r]), std::swap(im[j], im[r]);
  }
  const double sign = inverse ? -1.0 : 1.0;
  // The first two stages have the factors 1 and -i (forward) or +i (inverse): one pass,
  // without multiplications.
  if (f_ >= 4) {
    for (int64_t i = 0; i < f_; i += 4) {
      const double r0 = re[i] + re[i + 1], i0 = im[i] + im[i + 1];
      const double r1 = re[i] - re[i + 1], i1 = im[i] - im[i + 1];
      const double r2 = re[i + 2] + re[i + 3], i2 = im[i + 2] + im[i + 3];
      const double r3 = re[i + 2] - re[i + 3], i3 = im[i + 2] - im[i + 3];
      // r3 + i i3 turned by -i (forward): i3 - i r3.
      const double tr = sign * i3, ti = -sign * r3;
      re[i] = r0 + r2, im[i] = i0 + i2;
      re[i + 2] = r0 - r2, im[i + 2] = i0 - i2;
      re[i + 1] = r1 + tr, im[i + 1] = i1 + ti;
      re[i + 3] = r1 - tr, im[i + 3] = i1 - ti;
    }
  }
  for (int64_t half = f_ >= 4 ? 4 : 1; half < f_; half *= 2) {
    for (int64_t i = 0; i < f_; i += 2 * half)
      Butterflies(re + i, im + i, half, wr_.data() + half - 1, wi_.data() + half - 1, sign);
  }
}

}  // namespace sismcalc::detail
