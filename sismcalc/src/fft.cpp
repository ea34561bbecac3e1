// The fast Fourier transform behind every spectral kernel, and its front ends FFTRI, FFTAP and AUTO.
//
// Results are those of the plain radix-2 decimation-in-time transform with twiddles
// exp(isign*i*kPi*j/h) in double precision; this implementation gets them faster by transforming a
// real record of p points as a complex one of p/2 points (even samples as real parts, odd samples as
// imaginary parts), combining two radix-2 stages per pass and recursing depth first, so that only the
// last few passes of a long record leave the cache.
#include <algorithm>
#include <cmath>
#include <new>

#include "internal.h"
#include "sismcalc.h"

namespace sismcalc::detail {

int32_t PaddedLength(int32_t n) {
  if (n > (int32_t{1} << 30)) return 0;
  int32_t p = 2;
  while (p < n) p *= 2;
  return p;
}

namespace {

int Log2(int64_t powerOfTwo) {
  int l = 0;
  while ((int64_t{1} << l) < powerOfTwo) ++l;
  return l;
}

std::complex<double> Twiddle(int64_t k, int64_t d) {
  const double theta = static_cast<double>(k) * kPi / static_cast<double>(d);
  return {std::cos(theta), -std::sin(theta)};
}

// Sub-transforms up to this many points are finished before the next one starts (two arrays of
// this many doubles stay within the first- or second-level cache).
constexpr int32_t kLeafPoints = 2048;

// One radix-4 pass over a block of 4q points: the quarters hold the transforms of the samples
// 4j, 4j+2, 4j+1 and 4j+3, and become the transform of the block.
void Radix4Pass(double* __restrict r0, double* __restrict r1, double* __restrict r2, double* __restrict r3,
                double* __restrict i0, double* __restrict i1, double* __restrict i2, double* __restrict i3,
                const double* __restrict w1r, const double* __restrict w1i, const double* __restrict w2r,
                const double* __restrict w2i, const double* __restrict w3r, const double* __restrict w3i,
                int32_t q) {
  for (int32_t j = 0; j < q; ++j) {
    const double b1r = w2r[j] * r1[j] - w2i[j] * i1[j], b1i = w2r[j] * i1[j] + w2i[j] * r1[j];
    const double b2r = w1r[j] * r2[j] - w1i[j] * i2[j], b2i = w1r[j] * i2[j] + w1i[j] * r2[j];
    const double b3r = w3r[j] * r3[j] - w3i[j] * i3[j], b3i = w3r[j] * i3[j] + w3i[j] * r3[j];
    const double t0r = r0[j] + b1r, t0i = i0[j] + b1i, t1r = r0[j] - b1r, t1i = i0[j] - b1i;
    const double t2r = b2r + b3r, t2i = b2i + b3i, t3r = b2r - b3r, t3i = b2i - b3i;
    r0[j] = t0r + t2r;
    i0[j] = t0i + t2i;
    r2[j] = t0r - t2r;
    i2[j] = t0i - t2i;
    r1[j] = t1r + t3i;  // t1 - i*t3
    i1[j] = t1i - t3r;
    r3[j] = t1r - t3i;  // t1 + i*t3
    i3[j] = t1i + t3r;
  }
}

// The first pass when log2 of the length is even: radix-4 butterflies on groups of four, no twiddles.
void FirstRadix4(double* __restrict re, double* __restrict im, int32_t n) {
  for (int32_t b = 0; b < n; b += 4) {
    const double t0r = re[b] + re[b + 1], t0i = im[b] + im[b + 1];
    const double t1r = re[b] - re[b + 1], t1i = im[b] - im[b + 1];
    const double t2r = re[b + 2] + re[b + 3], t2i = im[b + 2] + im[b + 3];
    const double t3r = re[b + 2] - re[b + 3], t3i = im[b + 2] - im[b + 3];
    re[b] = t0r + t2r;
    im[b] = t0i + t2i;
    re[b + 2] = t0r - t2r;
    im[b + 2] = t0i - t2i;
    re[b + 1] = t1r + t3i;
    im[b + 1] = t1i - t3r;
    re[b + 3] = t1r - t3i;
    im[b + 3] = t1i + t3r;
  }
}

// The first pass when log2 of the length is odd: radix-2 butterflies on pairs.
void FirstRadix2(double* __restrict re, double* __restrict im, int32_t n) {
  for (int32_t b = 0; b < n; b += 2) {
    const double ar = re[b], ai = im[b], br = re[b + 1], bi = im[b + 1];
    re[b] = ar + br;
    im[b] = ai + bi;
    re[b + 1] = ar - br;
    im[b + 1] = ai - bi;
  }
}

}  // namespace

TwiddleSource::TwiddleSource(int64_t d, int64_t kmax) {
  kmax = std::max<int64_t>(kmax, 1);
  shift_ = (Log2(kmax) + 1) / 2;
  mask_ = (int64_t{1} << shift_) - 1;
  low_.resize(static_cast<size_t>(mask_ + 1));
  high_.resize(static_cast<size_t>(((kmax - 1) >> shift_) + 1));
  for (int64_t l = 0; l <= mask_; ++l) low_[l] = Twiddle(l, d);
  for (size_t h = 0; h < high_.size(); ++h) high_[h] = Twiddle(static_cast<int64_t>(h) << shift_, d);
}

ComplexTransform::ComplexTransform(int32_t m) : m_(m), log2m_(Log2(m)) {
  stageOffset_.assign(static_cast<size_t>(log2m_ + 1), 0);
  const int32_t qFirst = (log2m_ % 2 == 0) ? 4 : 2;  // quarter length of the first pass with twiddles
  int64_t total = 0;
  for (int32_t q = qFirst; 4 * int64_t{q} <= m; q *= 4) {
    stageOffset_[Log2(q)] = total;
    total += 6 * int64_t{q};
  }
  twiddles_.resize(static_cast<size_t>(total));
  // w = exp(-i*kPi/(2q)) = exp(-i*kPi*(m/2q)/m): every factor is a whole multiple of kPi/m.
  const TwiddleSource source(m, int64_t{3} * m / 2 + 1);
  for (int32_t q = qFirst; 4 * int64_t{q} <= m; q *= 4) {
    double* t = twiddles_.data() + stageOffset_[Log2(q)];
    const int64_t step = m / (2 * int64_t{q});
    for (int32_t j = 0; j < q; ++j) {
      const std::complex<double> w1 = source(j * step), w2 = source(2 * j * step), w3 = source(3 * j * step);
      t[j] = w1.real();
      t[q + j] = w1.imag();
      t[2 * q + j] = w2.real();
      t[3 * q + j] = w2.imag();
      t[4 * q + j] = w3.real();
      t[5 * q + j] = w3.imag();
    }
  }
}

void ComplexTransform::Radix4(double* re, double* im, int32_t q) const {
  const double* t = twiddles_.data() + stageOffset_[Log2(q)];
  Radix4Pass(re, re + q, re + 2 * q, re + 3 * q, im, im + q, im + 2 * q, im + 3 * q, t, t + q, t + 2 * q,
             t + 3 * q, t + 4 * q, t + 5 * q, q);
}

void ComplexTransform::Stages(double* re, double* im, int32_t n, int32_t qFirst) const {
  if (qFirst == 4) {
    FirstRadix4(re, im, n);
  } else {
    FirstRadix2(re, im, n);
  }
  for (int32_t q = qFirst; 4 * q <= n; q *= 4)
    for (int32_t b = 0; b < n; b += 4 * q) Radix4(re + b, im + b, q);
}

void ComplexTransform::Recurse(double* re, double* im, int32_t n) const {
  if (n <= kLeafPoints) {
    Stages(re, im, n, (log2m_ % 2 == 0) ? 4 : 2);
    return;
  }
  const int32_t q = n / 4;
  for (int32_t s = 0; s < 4; ++s) Recurse(re + s * q, im + s * q, q);
  Radix4(re, im, q);
}

void ComplexTransform::Forward(double* re, double* im) const {
  if (m_ >= 2) Recurse(re, im, m_);
}

RealTransform::RealTransform(int32_t p)
    : p_(p), m_(p / 2), log2m_(Log2(p / 2)), core_(p / 2), twiddle_(p / 2, p / 2) {
  re_.resize(static_cast<size_t>(m_));
  im_.resize(static_cast<size_t>(m_));
}

template <typename T>
void RealTransform::Pack(const T* x, int32_t n) {
  n = std::clamp(n, 0, p_);
  const int32_t full = n / 2;  // pairs with both samples present
  for (int32_t j = 0; j < full; ++j) {
    const uint32_t r = ReverseBits(static_cast<uint32_t>(j), log2m_);
    re_[r] = x[2 * j];
    im_[r] = x[2 * j + 1];
  }
  for (int32_t j = full; j < m_; ++j) {
    const uint32_t r = ReverseBits(static_cast<uint32_t>(j), log2m_);
    re_[r] = (2 * j < n) ? static_cast<double>(x[2 * j]) : 0.0;
    im_[r] = 0.0;
  }
}

// Splits the half-length transform Z of z(j) = x(2j) + i*x(2j+1) into the transforms E and O of the
// even and odd samples, and joins them as the last radix-2 stage would: X(k) = E(k) + w^k O(k).
void RealTransform::Unpack(std::complex<double>* bins) const {
  const double* zr = re_.data();
  const double* zi = im_.data();
  bins[0] = {zr[0] + zi[0], 0.0};
  bins[m_] = {zr[0] - zi[0], 0.0};
  for (int32_t k = 1, c = m_ - 1; k <= c; ++k, --c) {
    const double er = 0.5 * (zr[k] + zr[c]), ei = 0.5 * (zi[k] - zi[c]);
    const double orr = 0.5 * (zi[k] + zi[c]), oi = 0.5 * (zr[c] - zr[k]);
    const std::complex<double> w = twiddle_(k);
    bins[k] = {er + w.real() * orr - w.imag() * oi, ei + w.real() * oi + w.imag() * orr};
    if (c != k) {
      const std::complex<double> v = twiddle_(c);  // X(m-k) = conj(E) + w^(m-k) conj(O)
      bins[c] = {er + v.real() * orr + v.imag() * oi, -ei - v.real() * oi + v.imag() * orr};
    }
  }
}

void RealTransform::Forward(const float* x, int32_t n, std::complex<double>* bins) {
  Pack(x, n);
  core_.Forward(re_.data(), im_.data());
  Unpack(bins);
}

void RealTransform::Forward(const double* x, int32_t n, std::complex<double>* bins) {
  Pack(x, n);
  core_.Forward(re_.data(), im_.data());
  Unpack(bins);
}

// The even and odd output samples are the inverse transforms of X(k) + X(k+m) and of
// (X(k) - X(k+m)) exp(i*kPi*k/m); one complex inverse of m points gives both. The inverse runs as the
// forward transform of the conjugate.
void RealTransform::Inverse(const std::complex<double>* bins, double* out) {
  re_[0] = bins[0].real() + bins[m_].real();
  im_[0] = -(bins[0].real() - bins[m_].real());
  for (int32_t k = 1; k < m_; ++k) {
    const std::complex<double> a = bins[k], b = bins[m_ - k];
    const double er = a.real() + b.real(), ei = a.imag() - b.imag();
    const double dr = a.real() - b.real(), di = a.imag() + b.imag();
    const std::complex<double> w = twiddle_(k);  // multiply by conj(w)
    const double orr = dr * w.real() + di * w.imag(), oi = di * w.real() - dr * w.imag();
    const uint32_t r = ReverseBits(static_cast<uint32_t>(k), log2m_);
    re_[r] = er - oi;
    im_[r] = -(ei + orr);
  }
  core_.Forward(re_.data(), im_.data());
  for (int32_t t = 0; t < m_; ++t) {
    out[2 * t] = re_[t];
    out[2 * t + 1] = -im_[t];
  }
}

void RealForward(const float* x, int32_t n, int32_t p, std::complex<double>* bins) {
  RealTransform(p).Forward(x, n, bins);
}

void RealInverse(const std::complex<double>* bins, int32_t p, double* out) {
  RealTransform(p).Inverse(bins, out);
}

int32_t FFT(int32_t n, std::complex<double>* a, int32_t isign) {
  int32_t size = 2;
  while (size < n && size <= (int32_t{1} << 29)) size *= 2;
  if (size != n) return 0;
  const int bits = Log2(n);
  const double conj = isign > 0 ? -1.0 : 1.0;  // the inverse as the forward transform of the conjugate
  const ComplexTransform core(n);
  std::vector<double> re(static_cast<size_t>(n)), im(static_cast<size_t>(n));
  for (int32_t j = 0; j < n; ++j) {
    const uint32_t r = ReverseBits(static_cast<uint32_t>(j), bits);
    re[r] = a[j].real();
    im[r] = conj * a[j].imag();
  }
  core.Forward(re.data(), im.data());
  for (int32_t j = 0; j < n; ++j) a[j] = {re[j], conj * im[j]};
  return 1;
}

}  // namespace sismcalc::detail

using namespace sismcalc::detail;

namespace {

// The forward transform of a record as the front ends see it; false when scratch is not available.
bool Spectrum(int32_t n, const float* x, int32_t p, std::vector<std::complex<double>>& bins) {
  try {
    RealTransform transform(p);
    bins.resize(static_cast<size_t>(p / 2 + 1));
    transform.Forward(x, n, bins.data());
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace

extern "C" {

SISMCALC_API int32_t FFTRI(const int32_t* N, const float* X, float* RE, float* IM) {
  const int32_t p = PaddedLength(*N);
  std::vector<std::complex<double>> bins;
  if (p == 0 || !Spectrum(*N, X, p, bins)) return 0;
  for (int32_t k = 0; k < p / 2; ++k) {
    RE[k] = static_cast<float>(bins[k].real() / p);
    IM[k] = static_cast<float>(bins[k].imag() / p);
  }
  return p / 2;
}

SISMCALC_API int32_t FFTAP(const int32_t* N, const float* X, float* AMP, float* PH) {
  const int32_t p = PaddedLength(*N);
  std::vector<std::complex<double>> bins;
  if (p == 0 || !Spectrum(*N, X, p, bins)) return 0;
  for (int32_t k = 0; k < p / 2; ++k) {
    const double re = bins[k].real(), im = bins[k].imag();
    AMP[k] = static_cast<float>(std::sqrt(re * re + im * im) / p);
    PH[k] = (re == 0.0 && im == 0.0) ? 0.0f : static_cast<float>(std::atan2(im, re));
  }
  return p / 2;
}

SISMCALC_API int32_t AUTO(const int32_t* N, const float* X, float* R) {
  const int32_t p = PaddedLength(*N);
  if (p == 0) return 0;
  try {
    RealTransform transform(p);
    std::vector<std::complex<double>> bins(static_cast<size_t>(p / 2 + 1));
    std::vector<double> r(static_cast<size_t>(p));
    transform.Forward(X, *N, bins.data());
    for (auto& b : bins) b = b.real() * b.real() + b.imag() * b.imag();
    transform.Inverse(bins.data(), r.data());
    // A record without power has no correlation to normalise; refuse rather than write 0/0.
    const double s = r[0] / p;
    if (!(s > 0.0)) return 0;
    for (int32_t k = 0; k <= p / 2; ++k) R[k] = static_cast<float>(r[k] / s);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return p / 2 + 1;
}

}  // extern "C"
