// Routines shared between the kernels of the library; nothing here is exported.
#pragma once

#include <complex>
#include <cstdint>
#include <memory>
#include <vector>

// Loops that vectorise are built once more for AVX2 with FMA (and the transform for AVX-512);
// the loader picks the build the processor runs best. Other processors get one plain build.
#if defined(__x86_64__) && defined(__GNUC__)
#define SISMCALC_VECTOR_CLONES __attribute__((target_clones("arch=x86-64-v3", "default")))
#define SISMCALC_TRANSFORM_CLONES __attribute__((target_clones("arch=x86-64-v4", "arch=x86-64-v3", "default")))
#else
#define SISMCALC_VECTOR_CLONES
#define SISMCALC_TRANSFORM_CLONES
#endif

namespace sismcalc::detail {

// The single-precision constants the results are defined with, widened to double.
inline constexpr double kPi = 3.1415927f;
inline constexpr double kTwoPi = 6.2831855f;
inline constexpr double kRadPerDegree = 0.017453292f;

// Smallest power of two that is >= n and >= 2; 0 when that does not fit an int32.
int32_t PaddedLength(int32_t n);

// exp(-i*kPi*k/d) for 0 <= k < kmax, each as the product of a factor for the high bits of k and one
// for the low bits, both computed directly: a table of any length costs about 2*sqrt(kmax) sines and
// cosines and stays within a few double ulps of the direct values.
class TwiddleSource {
 public:
  TwiddleSource(int64_t d, int64_t kmax);
  std::complex<double> operator()(int64_t k) const {
    const int64_t h = k >> shift_, l = k & mask_;
    return {highRe_[h] * lowRe_[l] - highIm_[h] * lowIm_[l], highRe_[h] * lowIm_[l] + highIm_[h] * lowRe_[l]};
  }
  // Writes the factors for k = begin..begin+count-1 (< kmax) to re[k-begin], im[k-begin].
  void Fill(double* re, double* im, int64_t begin, int64_t count) const;

 private:
  int shift_;
  int64_t mask_;
  std::vector<double> lowRe_, lowIm_, highRe_, highIm_;
};

// Unscaled forward (sign -1) complex transform of m points (a power of two >= 1), in place on split
// real and imaginary parts given in bit-reversed order and left in natural order. The twiddles are
// those of the radix-2 definition, exp(-i*kPi*j/h); the kernel combines stages in radix 4 and works
// depth first so that all but the last few passes over a long record run in cache.
class ComplexTransform {
 public:
  // Number of doubles of twiddle storage a transform of m points needs.
  static int64_t TwiddleCount(int32_t m);
  // Fills twiddles[0..TwiddleCount(m)), which must outlive the transform.
  ComplexTransform(int32_t m, double* twiddles);
  int32_t Size() const { return m_; }
  void Forward(double* re, double* im) const;

 private:
  int32_t m_;
  int log2m_;
  // For each radix-4 pass of quarter length q, the factors w^j, w^2j, w^3j (w = exp(-i*kPi/(2q)))
  // as six arrays of q values: re1, im1, re2, im2, re3, im3, at twiddles_ + stageOffset_[log2 q].
  const double* twiddles_;
  int64_t stageOffset_[32] = {};
};

// The low `bits` bits of v in reverse order (0 <= bits <= 32).
inline uint32_t ReverseBits(uint32_t v, int bits) {
  v = ((v >> 1) & 0x55555555u) | ((v & 0x55555555u) << 1);
  v = ((v >> 2) & 0x33333333u) | ((v & 0x33333333u) << 2);
  v = ((v >> 4) & 0x0F0F0F0Fu) | ((v & 0x0F0F0F0Fu) << 4);
  v = ((v >> 8) & 0x00FF00FFu) | ((v & 0x00FF00FFu) << 8);
  v = (v >> 16) | (v << 16);
  return bits == 0 ? 0 : v >> (32 - bits);
}

// Complex transform of f points (a power of two) with twiddles of true pi, in double precision,
// so that a forward and an inverse transform give back the data to rounding: the library's
// spectra use single-precision pi, which would leave errors of 1e-7 in a convolution.
class ExactTransform {
 public:
  explicit ExactTransform(int64_t f);
  // In place, unscaled; sign -1 forward, +1 inverse.
  void Run(double* re, double* im, bool inverse) const;

 private:
  int64_t f_;
  std::vector<double> wr_, wi_;
  std::vector<uint32_t> rev_;
};

// Konno-Ohmachi smoothing of `count` (1 or 2) spectra of n bins on one set of bins, as KONNO does
// each alone (the same values), sharing the windows.
int32_t KonnoSmooth(int32_t n, float df, float b, int32_t count, const float* const* s, int32_t no, const float* fo,
                    float* const* out);

// Real transforms of one padded length p (a power of two >= 2) through a complex one of p/2 points.
// Construct once per call of an exported function and reuse for every transform of that length;
// the constructor allocates all scratch in one block (std::bad_alloc on failure), including
// `scratch` more doubles for the caller's own work arrays; the transforms allocate nothing.
class RealTransform {
 public:
  explicit RealTransform(int32_t p, int64_t scratch = 0);
  int32_t Length() const { return p_; }
  // The caller's scratch doubles, uninitialised.
  double* Scratch() { return scratch_; }

  // Forward transform (sign -1, unscaled) of x[0..n) zero-padded to p: writes bins 0..p/2.
  void Forward(const float* x, int32_t n, std::complex<double>* bins);
  void Forward(const double* x, int32_t n, std::complex<double>* bins);

  // Inverse transform (sign +1, unscaled) of the Hermitian spectrum whose bins 0..p/2 are given
  // (the imaginary parts of bins 0 and p/2 are ignored): writes p real values.
  void Inverse(const std::complex<double>* bins, double* out);

  // The same transforms on a spectrum held inside, to be worked on in place between them:
  // bins 0..p/2-1 as Re()[k], Im()[k] and bin p/2 (real) as Nyquist(). Forward fills it; Inverse
  // reads it (ignoring Im()[0]), writes p real values to out and leaves the spectrum undefined.
  void Forward(const float* x, int32_t n);
  void Forward(const double* x, int32_t n);
  void Inverse(double* out);
  double* Re() { return re_; }
  double* Im() { return im_; }
  double& Nyquist() { return nyquist_; }

 private:
  template <typename T>
  void Transform(const T* x, int32_t n);
  template <typename T>
  void Pack(const T* x, int32_t n);
  void Unpack();
  void CopyBins(std::complex<double>* bins) const;

  int32_t p_, m_;
  int log2m_;
  std::unique_ptr<double[]> storage_;
  double* re_;
  double* im_;
  double* scratch_;
  double nyquist_ = 0.0;
  ComplexTransform core_;
  TwiddleSource twiddle_;          // exp(-i*kPi*k/m), the factors that join the even and odd halves
  std::complex<double> halfTurn_;  // exp(-i*kPi)
};

// Forward transform (sign -1, unscaled) of x[0..n) zero-padded to the power of two p >= n:
// writes bins 0..p/2 (p/2 + 1 values). Allocates its scratch; prefer RealTransform in loops.
void RealForward(const float* x, int32_t n, int32_t p, std::complex<double>* bins);

// Inverse transform (sign +1, unscaled) of the Hermitian spectrum whose bins 0..p/2 are given:
// writes p real values. Allocates its scratch; prefer RealTransform in loops.
void RealInverse(const std::complex<double>* bins, int32_t p, double* out);

// The complex transform of n points in place, A(k) = sum a(j) exp(isign*2*pi*i*j*k/n), unscaled,
// with the twiddles of ComplexTransform (isign is -1 or +1). Returns 0 and leaves a untouched unless
// n is a power of two >= 2; 1 otherwise. Allocates its scratch (std::bad_alloc on failure).
int32_t FFT(int32_t n, std::complex<double>* a, int32_t isign);

// The seven coefficients of the high-cut gain 1/sqrt(1 + 0.694 y + ... + 0.000155 y^6), lowest power
// first, shared by the band-pass filter and the intensity weighting.
extern const double kHighCutCoef[7];

// Low-cut gain sqrt(1 - exp(-(f/f0)^3)); exactly 1 when f0 = 0.
double FILTLC(double f0, double f);
// High-cut gain 1/sqrt(sum kHighCutCoef[i] y^i) with y = (f/fc)^2, by Horner's rule.
double FILTHC(double fc, double f);
// sqrt(a/b).
double FILTPR(double a, double b);

// Baseline fits of integrate.cpp, on a velocity v[0..n) in place, with the zero-based sample
// position m as abscissa. FIT_BILINE: a line through the origin and the centroid of the first nf
// samples up to the break index it returns, a least-squares line through the last nr samples from
// there on (nf <= 0: no front line, break 0; nr <= 0: no rear line, break n). Windows of one sample
// have no slope; the caller rejects them. 1 <= nf, nr <= n when positive.
int32_t FIT_BILINE(int32_t n, double* v, int32_t nf, int32_t nr);
// A parabola c1*m + c2*m^2 through the origin fitted to the first nf and the last nr samples together;
// false (v untouched) when the windows do not determine it.
bool FIT_PARA(int32_t n, double* v, int32_t nf, int32_t nr);
// Half-cosine low-cut gains g[0..nh) for bins i*df: 0 at 0 Hz, rising to 1 at fc*pi/2.35738167365128;
// all 1 when fc <= 0.
void LOWCUT_COS(int32_t nh, double df, double fc, double* g);
// Recursive band-limited integrator of x[0..n) into y[0..n) (the trapezoid rule when fc = 0); writes
// nothing unless n > 2 and dt > 0.
void LATTICEFILTER(int32_t n, double dt, double fc, const double* x, double* y);

// The exact step of x'' + 2 h w x' + w^2 x = -a(t) over dt for an acceleration linear between
// the step's ends (Nigam-Jennings).
struct StepCoef {
  double a11, a12, a21, a22;  // state transition
  double b11, b12, b21, b22;  // load of the samples at both ends of the step
  double w2, h2w;             // absolute acceleration = -(w2 d + h2w v)
};
StepCoef NigjenCoefficients(double w, double h, double dt);

// Sub-steps per sample interval come in powers of two, 1 to 1024: periods of one count share a
// block, so a few counts cover any period list.
inline constexpr int kSubClasses = 11;
// The class (log2 of the sub-step count) of period t: the fewest sub-steps that make a step at
// most t / perPeriod, but no more than 1024; class 0 (whole intervals) when perPeriod is 0.
int SubClass(float t, float dt, int32_t perPeriod);
// Finer steps gain nothing measurable and lose precision: the load terms of the step cancel
// more and more as the step shrinks against the period.
inline constexpr int32_t kMaxStepsPerPeriod = 1000;

// One second-order section y = (b0 + b1 z^-1 + b2 z^-2) / (1 + a1 z^-1 + a2 z^-2) x.
struct Section {
  double b0, b1, b2, a1, a2;
};
inline constexpr int32_t kMaxButterworthOrder = 12;
// The sections of a Butterworth high-pass at fl (if fl > 0) followed by a low-pass at fh (if fh > 0),
// both of `order`, for step dt; the corners are prewarped so that each gain there is 1/sqrt(2).
std::vector<Section> ButterworthSections(int32_t order, double fl, double fh, double dt);
// Runs x[0..n) through every section in turn, at rest before the first sample (backward: from the
// last sample to the first).
void RunSections(const std::vector<Section>& sections, double* x, int64_t n, bool backward);
// Zeros at each end before a Butterworth filter: half of 1.5 order / fc seconds, fc the low cut (the
// high cut without one), in samples rounded up; -1 when that does not fit.
int32_t ButterworthPad(double dt, double fl, double fh, int32_t order);

// v truncated toward zero as an integer, saturating at +-2^62 and giving 0 for not-a-number, so that
// index rules of the form INT(x/DF) stay defined for any input.
int64_t TruncateToInt(double v);

// The integral of a^2 (the trapezoid rule) up to each sample of a[0..n), n >= 2, cum[0] = 0.
std::vector<double> CumulativeSquare(int32_t n, const float* a);
// The time (in steps, fractional) at which the cumulative curve first reaches `level`.
double CrossingStep(const std::vector<double>& cum, double level);

}  // namespace sismcalc::detail
