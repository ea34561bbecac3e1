// Butterworth high-, low- and band-pass filters in second-order sections (bilinear transform with the
// corners prewarped), causal or forward and backward, on a record padded with zeros at both ends.
#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "internal.h"
#include "sismcalc.h"

namespace sismcalc::detail {

namespace {

constexpr double kPiD = 3.14159265358979323846;

// The sections of one Butterworth low-pass (highPass false) or high-pass of `order` at fc Hz.
void AddSections(std::vector<Section>& out, int32_t order, double fc, double dt, bool highPass) {
  const double k = 2 / dt;
  const double wc = k * std::tan(kPiD * fc * dt);  // prewarped: the gain at fc is exactly 1/sqrt(2)
  for (int32_t j = 0; j < order / 2; ++j) {
    // Poles of the prototype in conjugate pairs: s = exp(i pi (2j + 1 + order) / (2 order)).
    const double a = -2 * std::cos(kPiD * (2 * j + 1 + order) / (2.0 * order));  // -2 Re(pole) > 0
    const double d0 = k * k + a * wc * k + wc * wc;
    Section s;
    s.a1 = (2 * wc * wc - 2 * k * k) / d0;
    s.a2 = (k * k - a * wc * k + wc * wc) / d0;
    const double g = (highPass ? k * k : wc * wc) / d0;
    s.b0 = g;
    s.b1 = highPass ? -2 * g : 2 * g;
    s.b2 = g;
    out.push_back(s);
  }
  if (order % 2 == 1) {
    const double d0 = k + wc;
    Section s;
    s.a1 = (wc - k) / d0;
    s.a2 = 0;
    const double g = (highPass ? k : wc) / d0;
    s.b0 = g;
    s.b1 = highPass ? -g : g;
    s.b2 = 0;
    out.push_back(s);
  }
}

}  // namespace

std::vector<Section> ButterworthSections(int32_t order, double fl, double fh, double dt) {
  std::vector<Section> sections;
  if (fl > 0) AddSections(sections, order, fl, dt, true);
  if (fh > 0) AddSections(sections, order, fh, dt, false);
  return sections;
}

namespace {

// G sections in one walk over the samples. Each section's recurrence is a chain of dependent
// operations, but the sections' chains are independent of each other from one sample to the next,
// so walking them together lets them overlap; every value is computed as by one section at a time.
template <int G>
void RunGroup(const Section* s, double* x, int64_t n, bool backward) {
  double b0[G], b1[G], b2[G], a1[G], a2[G], z1[G] = {}, z2[G] = {};
  for (int j = 0; j < G; ++j) b0[j] = s[j].b0, b1[j] = s[j].b1, b2[j] = s[j].b2, a1[j] = s[j].a1, a2[j] = s[j].a2;
  const int64_t step = backward ? -1 : 1;
  double* p = backward ? x + n - 1 : x;
  for (int64_t i = 0; i < n; ++i, p += step) {
    double v = *p;
    for (int j = 0; j < G; ++j) {
      // Transposed direct form II, at rest before the first sample.
      const double out = b0[j] * v + z1[j];
      z1[j] = b1[j] * v - a1[j] * out + z2[j];
      z2[j] = b2[j] * v - a2[j] * out;
      v = out;
    }
    *p = v;
  }
}

}  // namespace

void RunSections(const std::vector<Section>& sections, double* x, int64_t n, bool backward) {
  const Section* s = sections.data();
  for (std::size_t left = sections.size(); left > 0;) {
    const std::size_t g = std::min<std::size_t>(left, 4);
    switch (g) {
      case 4: RunGroup<4>(s, x, n, backward); break;
      case 3: RunGroup<3>(s, x, n, backward); break;
      case 2: RunGroup<2>(s, x, n, backward); break;
      default: RunGroup<1>(s, x, n, backward); break;
    }
    s += g;
    left -= g;
  }
}

int32_t ButterworthPad(double dt, double fl, double fh, int32_t order) {
  // 1.5 order / fc seconds of zeros in all, half at each end, fc the lowest corner.
  const double fc = fl > 0 ? fl : fh;
  if (!(fc > 0) || !(dt > 0)) return 0;
  const double samples = 0.75 * order / (fc * dt);
  // (less a little: the corner and step come in single precision)
  return samples >= 1e8 ? -1 : static_cast<int32_t>(std::ceil(samples * (1 - 1e-6)));
}

}  // namespace sismcalc::detail

using namespace sismcalc::detail;

namespace {

// Corners: FL <= 0 is no low cut, FH <= 0 or at or above half the sampling rate no high cut; at
// least one and, with both, FL < FH. Order 1 to kMaxButterworthOrder.
bool ButterworthArgs(float dt, float& fl, float& fh, int32_t order) {
  if (!(dt > 0) || !std::isfinite(dt) || order < 1 || order > kMaxButterworthOrder) return false;
  if (!std::isfinite(fl) || !std::isfinite(fh)) return false;
  if (!(fl > 0)) fl = 0;
  if (!(fh > 0) || fh >= 0.5f / dt) fh = 0;
  if (fl >= 0.5f / dt) return false;
  if (fl == 0 && fh == 0) return false;
  return !(fl > 0 && fh > 0 && fl >= fh);
}

}  // namespace

extern "C" {

SISMCALC_API int32_t BUTTERPAD(const float* DT, const float* FL, const float* FH, const int32_t* ORDER) {
  float fl = *FL, fh = *FH;
  if (!ButterworthArgs(*DT, fl, fh, *ORDER)) return -1;
  return ButterworthPad(*DT, fl, fh, *ORDER);
}

SISMCALC_API int32_t BUTTER(const int32_t* N, const float* DT, const float* FL, const float* FH,
                            const int32_t* ORDER, const int32_t* PASSES, const int32_t* KEEPPAD, float* X) {
  const int32_t n = *N, order = *ORDER, passes = *PASSES, keep = *KEEPPAD;
  float fl = *FL, fh = *FH;
  if (n < 1 || (passes != 1 && passes != 2) || (keep != 0 && keep != 1) ||
      !ButterworthArgs(*DT, fl, fh, order))
    return 0;
  const int32_t pad = ButterworthPad(*DT, fl, fh, order);
  if (pad < 0 || int64_t{n} + 2 * int64_t{pad} > 0x7fffffff) return 0;
  const int64_t total = int64_t{n} + 2 * pad;
  try {
    std::vector<double> y(static_cast<size_t>(total), 0.0);
    for (int32_t i = 0; i < n; ++i) y[static_cast<size_t>(pad + i)] = X[i];
    const std::vector<Section> sections = ButterworthSections(order, fl, fh, *DT);
    RunSections(sections, y.data(), total, false);
    if (passes == 2) RunSections(sections, y.data(), total, true);
    const int64_t first = keep ? 0 : pad, count = keep ? total : n;
    for (int64_t i = 0; i < count; ++i) X[i] = static_cast<float>(y[static_cast<size_t>(first + i)]);
    return static_cast<int32_t>(count);
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

}  // extern "C"
