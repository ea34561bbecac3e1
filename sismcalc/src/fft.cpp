// The fast Fourier transform behind every spectral kernel, and its front ends FFTRI, FFTAP and AUTO.
//
// The reference is the plain radix-2 decimation-in-time transform with twiddles exp(isign*i*kPi*j/h)
// in double precision, kPi being single-precision pi. This one computes the same twiddles, and gets
// there faster by transforming a real record of p points as a complex one of p/2 points (even
// samples as real parts, odd samples as imaginary parts), combining two radix-2 stages per pass and
// finishing sub-transforms depth first, so that only the last few passes of a long record leave the
// cache. The two agree to a few float ulps of the largest coefficient, about as far as the reference
// itself is from the exact transform (single-precision pi makes its half turn slightly off -1).
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
[[gnu::always_inline]] inline void Radix4Pass(
    double* __restrict r0, double* __restrict r1, double* __restrict r2, double* __restrict r3,
    double* __restrict i0, double* __restrict i1, double* __restrict i2, double* __restrict i3,
    const double* __restrict w1r, const double* __restrict w1i, const double* __restrict w2r,
    const double* __restrict w2i, const double* __restrict w3r, const double* __restrict w3i, int32_t q) {
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
[[gnu::always_inline]] inline void FirstRadix4(double* __restrict re, double* __restrict im, int32_t n) {
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
[[gnu::always_inline]] inline void FirstRadix2(double* __restrict re, double* __restrict im, int32_t n) {
  for (int32_t b = 0; b < n; b += 2) {
    const double ar = re[b], ai = im[b], br = re[b + 1], bi = im[b + 1];
    re[b] = ar + br;
    im[b] = ai + bi;
    re[b + 1] = ar - br;
    im[b + 1] = ai - bi;
  }
}

// dst[r] = src(j) for every j < 2^bits, r the bit reversal of j. Indices split as j = (a, b, c) with
// 5-bit a and c and r = (rev c, rev b, rev a): for each b, the 32 x 32 values are read as 32 runs of
// consecutive j into a small buffer and written as 32 runs of consecutive r, so neither side strides
// through the cache (or the page table) one value at a time. The 32 runs read for one b continue
// those of the b before, so prefetch(j) asks for the run from j a little ahead of use.
struct Pair {
  double re, im;
};

// Hints that the bytes [p, p + bytes) will be read soon.
inline void PrefetchBytes(const void* p, size_t bytes) {
  for (size_t off = 0; off < bytes; off += 64) __builtin_prefetch(static_cast<const char*>(p) + off);
}

template <typename Source, typename Prefetch>
void BitReversePermute(int bits, Source&& src, Prefetch&& prefetch, double* __restrict dstRe,
                       double* __restrict dstIm) {
  constexpr int kT = 5;
  constexpr uint32_t kB = 1u << kT;
  if (bits < 2 * kT) {
    for (uint32_t j = 0; j < (uint32_t{1} << bits); ++j) {
      const Pair v = src(j);  // small enough to stay in cache: no prefetching
      const uint32_t r = ReverseBits(j, bits);
      dstRe[r] = v.re;
      dstIm[r] = v.im;
    }
    return;
  }
  const int mid = bits - 2 * kT, highShift = bits - kT;
  uint32_t revLow[kB];
  for (uint32_t c = 0; c < kB; ++c) revLow[c] = ReverseBits(c, kT);
  alignas(64) double bufRe[kB][kB], bufIm[kB][kB];
  constexpr uint32_t kAhead = 2;
  const uint32_t blocks = uint32_t{1} << mid;
  for (uint32_t b = 0; b < blocks; ++b) {
    for (uint32_t a = 0; a < kB; ++a) {
      const uint32_t j0 = (a << highShift) | (b << kT), ra = revLow[a];
      if (b + kAhead < blocks) prefetch(j0 + (kAhead << kT));
      for (uint32_t c = 0; c < kB; ++c) {
        const Pair v = src(j0 | c);
        bufRe[c][ra] = v.re;
        bufIm[c][ra] = v.im;
      }
    }
    const uint32_t rb = ReverseBits(b, mid) << kT;
    for (uint32_t c = 0; c < kB; ++c) {
      double* __restrict outRe = dstRe + (rb | (revLow[c] << highShift));
      double* __restrict outIm = dstIm + (rb | (revLow[c] << highShift));
      for (uint32_t a = 0; a < kB; ++a) {
        outRe[a] = bufRe[c][a];
        outIm[a] = bufIm[c][a];
      }
    }
  }
}

// The whole complex transform: sub-transforms of up to kLeafPoints points are finished one after the
// other, and a radix-4 pass joins four of them as soon as the fourth is done (a depth-first order
// without recursion, so that one function holds every loop and can be built for several
// instruction sets, the best of which the loader picks).
SISMCALC_TRANSFORM_CLONES void RunTransform(
    double* re, double* im, int32_t m, int log2m, const double* twiddles, const int64_t* stageOffset) {
  if (m < 2) return;
  int32_t leaf = m;
  while (leaf > kLeafPoints) leaf /= 4;
  const bool evenLog = log2m % 2 == 0;
  auto radix4 = [&](int64_t begin, int32_t q) {
    const double* t = twiddles + stageOffset[Log2(q)];
    double* r = re + begin;
    double* i = im + begin;
    Radix4Pass(r, r + q, r + 2 * q, r + 3 * q, i, i + q, i + 2 * q, i + 3 * q, t, t + q, t + 2 * q, t + 3 * q,
               t + 4 * q, t + 5 * q, q);
  };
  for (int64_t begin = 0; begin < m; begin += leaf) {
    if (evenLog) {
      FirstRadix4(re + begin, im + begin, leaf);
    } else {
      FirstRadix2(re + begin, im + begin, leaf);
    }
    for (int32_t q = evenLog ? 4 : 2; 4 * q <= leaf; q *= 4)
      for (int64_t b = begin; b < begin + leaf; b += 4 * q) radix4(b, q);
    const int64_t end = begin + leaf;
    for (int64_t n = 4 * int64_t{leaf}; n <= m && end % n == 0; n *= 4)
      radix4(end - n, static_cast<int32_t>(n / 4));
  }
}

// out = h * low[0..len), the products of one high factor with a run of low ones.
SISMCALC_VECTOR_CLONES void MultiplyRun(int64_t len, double hr, double hi, const double* __restrict lr,
                                        const double* __restrict li, double* __restrict outRe,
                                        double* __restrict outIm) {
  for (int64_t l = 0; l < len; ++l) {
    outRe[l] = hr * lr[l] - hi * li[l];
    outIm[l] = hr * li[l] + hi * lr[l];
  }
}

// w2 = w1^2 and w3 = w1^3 for q factors.
SISMCALC_VECTOR_CLONES void SquareAndCube(int32_t q, const double* __restrict w1r,
                                          const double* __restrict w1i, double* __restrict w2r,
                                          double* __restrict w2i, double* __restrict w3r,
                                          double* __restrict w3i) {
  for (int32_t j = 0; j < q; ++j) {
    w2r[j] = w1r[j] * w1r[j] - w1i[j] * w1i[j];
    w2i[j] = 2.0 * w1r[j] * w1i[j];
    w3r[j] = w2r[j] * w1r[j] - w2i[j] * w1i[j];
    w3i[j] = w2r[j] * w1i[j] + w2i[j] * w1r[j];
  }
}

// One run of the split of the half-length transform: bins k = k0 + t upwards at lr, li and bins
// m - k downwards at ur, ui, with w^k in wr, wi and exp(-i*kPi) in (hr, hi).
SISMCALC_VECTOR_CLONES void JoinHalves(int32_t len, double* __restrict lr, double* __restrict li,
                                       double* __restrict ur, double* __restrict ui,
                                       const double* __restrict wr, const double* __restrict wi, double hr,
                                       double hi) {
  for (int32_t t = 0; t < len; ++t) {
    const double er = 0.5 * (lr[t] + ur[-t]), ei = 0.5 * (li[t] - ui[-t]);
    const double orr = 0.5 * (li[t] + ui[-t]), oi = 0.5 * (ur[-t] - lr[t]);
    // w^(m-k) = exp(-i*kPi) * conj(w^k)
    const double vr = hr * wr[t] + hi * wi[t], vi = hi * wr[t] - hr * wi[t];
    lr[t] = er + wr[t] * orr - wi[t] * oi;
    li[t] = ei + wr[t] * oi + wi[t] * orr;
    ur[-t] = er + vr * orr + vi * oi;
    ui[-t] = -ei - vr * oi + vi * orr;
  }
}

// One run of the inverse's split: from bins k = k0 + t (xr, xi upwards) and m - k (ur, ui downwards)
// the half-length spectrum Z(k) = E(k) + i*conj(w^k)*D(k), stored conjugated.
SISMCALC_VECTOR_CLONES void SplitHalves(int32_t len, const double* __restrict xr, const double* __restrict xi,
                                        const double* __restrict ur, const double* __restrict ui,
                                        const double* __restrict wr, const double* __restrict wi,
                                        double* __restrict zr, double* __restrict zi) {
  for (int32_t t = 0; t < len; ++t) {
    const double er = xr[t] + ur[-t], ei = xi[t] - ui[-t];
    const double dr = xr[t] - ur[-t], di = xi[t] + ui[-t];
    const double orr = dr * wr[t] + di * wi[t], oi = di * wr[t] - dr * wi[t];  // times conj(w^k)
    zr[t] = er - oi;
    zi[t] = -(ei + orr);
  }
}

// out[2t] = re[t], out[2t+1] = -im[t]: the even and odd samples from the conjugated result.
SISMCALC_VECTOR_CLONES void Interleave(int32_t m, const double* __restrict re, const double* __restrict im,
                                       double* __restrict out) {
  for (int32_t t = 0; t < m; ++t) {
    out[2 * t] = re[t];
    out[2 * t + 1] = -im[t];
  }
}

}  // namespace

TwiddleSource::TwiddleSource(int64_t d, int64_t kmax) {
  kmax = std::max<int64_t>(kmax, 1);
  shift_ = (Log2(kmax) + 1) / 2;
  mask_ = (int64_t{1} << shift_) - 1;
  const size_t nLow = static_cast<size_t>(mask_ + 1), nHigh = static_cast<size_t>(((kmax - 1) >> shift_) + 1);
  lowRe_.resize(nLow);
  lowIm_.resize(nLow);
  highRe_.resize(nHigh);
  highIm_.resize(nHigh);
  for (size_t l = 0; l < nLow; ++l) {
    const std::complex<double> w = Twiddle(static_cast<int64_t>(l), d);
    lowRe_[l] = w.real();
    lowIm_[l] = w.imag();
  }
  for (size_t h = 0; h < nHigh; ++h) {
    const std::complex<double> w = Twiddle(static_cast<int64_t>(h) << shift_, d);
    highRe_[h] = w.real();
    highIm_[h] = w.imag();
  }
}

void TwiddleSource::Fill(double* __restrict re, double* __restrict im, int64_t begin, int64_t count) const {
  const int64_t end = begin + count;
  for (int64_t k = begin; k < end;) {
    const int64_t h = k >> shift_, l0 = k & mask_, len = std::min(mask_ + 1 - l0, end - k);
    MultiplyRun(len, highRe_[h], highIm_[h], lowRe_.data() + l0, lowIm_.data() + l0, re + (k - begin),
                im + (k - begin));
    k += len;
  }
}

namespace {

// Quarter length of the first pass with twiddles: 4 after a radix-4 first pass, 2 after a radix-2 one.
int32_t FirstTwiddledQuarter(int log2m) {
  return (log2m % 2 == 0) ? 4 : 2;
}

}  // namespace

int64_t ComplexTransform::TwiddleCount(int32_t m) {
  int64_t total = 0;
  for (int64_t q = FirstTwiddledQuarter(Log2(m)); 4 * q <= m; q *= 4) total += 6 * q;
  return total;
}

ComplexTransform::ComplexTransform(int32_t m, double* twiddles)
    : m_(m), log2m_(Log2(m)), twiddles_(twiddles) {
  int64_t offset = 0;
  for (int32_t q = FirstTwiddledQuarter(log2m_); 4 * int64_t{q} <= m; q *= 4) {
    stageOffset_[Log2(q)] = offset;
    double* t = twiddles + offset;
    offset += 6 * int64_t{q};
    // w^j = exp(-i*kPi*j/(2q)) as the radix-2 stage of half length 2q has it; w^2j and w^3j follow
    // by products, within a few double ulps of the direct values.
    TwiddleSource(2 * int64_t{q}, q).Fill(t, t + q, 0, q);
    SquareAndCube(q, t, t + q, t + 2 * q, t + 3 * q, t + 4 * q, t + 5 * q);
  }
}

void ComplexTransform::Forward(double* re, double* im) const {
  RunTransform(re, im, m_, log2m_, twiddles_, stageOffset_);
}

RealTransform::RealTransform(int32_t p, int64_t scratch)
    : p_(p),
      m_(p / 2),
      log2m_(Log2(p / 2)),
      storage_(new double[static_cast<size_t>(p + ComplexTransform::TwiddleCount(p / 2) + scratch)]),
      re_(storage_.get()),
      im_(storage_.get() + p / 2),
      scratch_(storage_.get() + p + ComplexTransform::TwiddleCount(p / 2)),
      core_(p / 2, storage_.get() + p),
      twiddle_(p / 2, p / 2),
      halfTurn_(Twiddle(1, 1)) {}

template <typename T>
void RealTransform::Pack(const T* x, int32_t n) {
  n = std::clamp(n, 0, p_);
  if (n == p_) {
    BitReversePermute(
        log2m_,
        [x](uint32_t j) {
          return Pair{double(x[2 * j]), double(x[2 * j + 1])};
        },
        [x](uint32_t j) { PrefetchBytes(x + 2 * j, 64 * sizeof(T)); }, re_, im_);
  } else {
    const uint32_t count = static_cast<uint32_t>(n);
    BitReversePermute(
        log2m_,
        [x, count](uint32_t j) {
          return Pair{2 * j < count ? double(x[2 * j]) : 0.0, 2 * j + 1 < count ? double(x[2 * j + 1]) : 0.0};
        },
        [x, count](uint32_t j) {
          if (2 * j < count) PrefetchBytes(x + 2 * j, std::min<size_t>(64, count - 2 * j) * sizeof(T));
        },
        re_, im_);
  }
}

// Splits the half-length transform Z of z(j) = x(2j) + i*x(2j+1) into the transforms E and O of the
// even and odd samples, and joins them as the last radix-2 stage would: X(k) = E(k) + w^k O(k) and
// X(m-k) = conj(E(k)) + w^(m-k) conj(O(k)), in place, two bins per step.
void RealTransform::Unpack() {
  double* zr = re_;
  double* zi = im_;
  nyquist_ = zr[0] - zi[0];
  zr[0] = zr[0] + zi[0];
  zi[0] = 0.0;
  if (m_ < 2) return;
  const int32_t half = m_ / 2;
  const double hr = halfTurn_.real(), hi = halfTurn_.imag();
  constexpr int32_t kChunk = 256;
  alignas(64) double wr[kChunk], wi[kChunk];
  for (int32_t k0 = 1; k0 < half; k0 += kChunk) {
    const int32_t len = std::min(kChunk, half - k0);
    twiddle_.Fill(wr, wi, k0, len);
    JoinHalves(len, zr + k0, zi + k0, zr + (m_ - k0), zi + (m_ - k0), wr, wi, hr, hi);
  }
  // Bin m/2 pairs with itself.
  const std::complex<double> w = twiddle_(half);
  const double er = zr[half], orr = zi[half];
  zr[half] = er + w.real() * orr;
  zi[half] = w.imag() * orr;
}

template <typename T>
void RealTransform::Transform(const T* x, int32_t n) {
  Pack(x, n);
  core_.Forward(re_, im_);
  Unpack();
}

void RealTransform::CopyBins(std::complex<double>* bins) const {
  for (int32_t k = 0; k < m_; ++k) bins[k] = {re_[k], im_[k]};
  bins[m_] = nyquist_;
}

void RealTransform::Forward(const float* x, int32_t n) {
  Transform(x, n);
}
void RealTransform::Forward(const double* x, int32_t n) {
  Transform(x, n);
}

void RealTransform::Forward(const float* x, int32_t n, std::complex<double>* bins) {
  Transform(x, n);
  CopyBins(bins);
}

void RealTransform::Forward(const double* x, int32_t n, std::complex<double>* bins) {
  Transform(x, n);
  CopyBins(bins);
}

void RealTransform::Inverse(const std::complex<double>* bins, double* out) {
  for (int32_t k = 0; k < m_; ++k) {
    re_[k] = bins[k].real();
    im_[k] = bins[k].imag();
  }
  nyquist_ = bins[m_].real();
  Inverse(out);
}

// The even and odd output samples are the inverse transforms of X(k) + X(k+m) and of
// (X(k) - X(k+m)) exp(i*kPi*k/m); one complex inverse of m points gives both. The inverse runs as the
// forward transform of the conjugate; out serves as scratch for the spectrum in natural order.
void RealTransform::Inverse(double* out) {
  const double* xr = re_;
  const double* xi = im_;
  double* __restrict zr = out;
  double* __restrict zi = out + m_;
  zr[0] = xr[0] + nyquist_;
  zi[0] = -(xr[0] - nyquist_);
  constexpr int32_t kChunk = 256;
  alignas(64) double wr[kChunk], wi[kChunk];
  for (int32_t k0 = 1; k0 < m_; k0 += kChunk) {
    const int32_t len = std::min(kChunk, m_ - k0);
    twiddle_.Fill(wr, wi, k0, len);
    SplitHalves(len, xr + k0, xi + k0, xr + (m_ - k0), xi + (m_ - k0), wr, wi, zr + k0, zi + k0);
  }
  BitReversePermute(
      log2m_,
      [zr, zi](uint32_t j) {
        return Pair{zr[j], zi[j]};
      },
      [zr, zi](uint32_t j) {
        PrefetchBytes(zr + j, 32 * sizeof(double));
        PrefetchBytes(zi + j, 32 * sizeof(double));
      },
      re_, im_);
  core_.Forward(re_, im_);
  Interleave(m_, re_, im_, out);
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
  std::unique_ptr<double[]> storage(
      new double[static_cast<size_t>(2 * int64_t{n} + ComplexTransform::TwiddleCount(n))]);
  double* re = storage.get();
  double* im = re + n;
  const ComplexTransform core(n, im + n);
  BitReversePermute(
      bits,
      [a, conj](uint32_t j) {
        return Pair{a[j].real(), conj * a[j].imag()};
      },
      [a](uint32_t j) { PrefetchBytes(a + j, 32 * sizeof(std::complex<double>)); }, re, im);
  core.Forward(re, im);
  for (int32_t j = 0; j < n; ++j) a[j] = {re[j], conj * im[j]};
  return 1;
}

}  // namespace sismcalc::detail

using namespace sismcalc::detail;

extern "C" {

SISMCALC_API int32_t FFTRI(const int32_t* N, const float* X, float* RE, float* IM) {
  const int32_t p = PaddedLength(*N);
  if (p == 0) return 0;
  try {
    RealTransform transform(p);
    transform.Forward(X, *N);
    const double* __restrict re = transform.Re();
    const double* __restrict im = transform.Im();
    const double scale = 1.0 / p;  // exact: p is a power of two
    for (int32_t k = 0; k < p / 2; ++k) {
      RE[k] = static_cast<float>(re[k] * scale);
      IM[k] = static_cast<float>(im[k] * scale);
    }
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return p / 2;
}

SISMCALC_API int32_t FFTAP(const int32_t* N, const float* X, float* AMP, float* PH) {
  const int32_t p = PaddedLength(*N);
  if (p == 0) return 0;
  try {
    RealTransform transform(p);
    transform.Forward(X, *N);
    for (int32_t k = 0; k < p / 2; ++k) {
      const double re = transform.Re()[k], im = transform.Im()[k];
      AMP[k] = static_cast<float>(std::sqrt(re * re + im * im) / p);
      PH[k] = (re == 0.0 && im == 0.0) ? 0.0f : static_cast<float>(std::atan2(im, re));
    }
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return p / 2;
}

SISMCALC_API int32_t AUTO(const int32_t* N, const float* X, float* R) {
  const int32_t p = PaddedLength(*N);
  if (p == 0) return 0;
  try {
    RealTransform transform(p, p);
    double* r = transform.Scratch();
    transform.Forward(X, *N);
    double* re = transform.Re();
    double* im = transform.Im();
    for (int32_t k = 0; k < p / 2; ++k) {
      re[k] = re[k] * re[k] + im[k] * im[k];
      im[k] = 0.0;
    }
    transform.Nyquist() *= transform.Nyquist();
    transform.Inverse(r);
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
