// Konno-Ohmachi smoothing of a spectrum on equally spaced frequencies, evaluated at any frequencies.
// Every bin takes part: the window's tails fall as 1/x^4 but the bins grow denser as 1/log, so no
// cut-off holds for every spectrum. The window's sine comes from those of the bins and the centre.
#include <algorithm>
#include <cmath>
#include <complex>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "internal.h"
#include "sismcalc.h"

namespace {

// Eight lanes: one AVX-512 vector, two of AVX2, four of SSE2, as the clone built for the processor has.
typedef double Vec8 __attribute__((vector_size(64)));

constexpr double kNear2 = 1e-12;  // |x| below 1e-6

// Sums of W and W*S over the m bins about the centre c, W = (sin x / x)^4 with x = bx - bc: bx holds
// b log10 f of each bin and sx, cx its sine and cosine, so that sin x = sx cos bc - cx sin bc costs
// two products. K spectra share each window; each sum is formed as for one alone.
template <int K>
[[gnu::always_inline]] inline void WindowSumsOf(int32_t m, const double* bx, const double* sx, const double* cx,
                                                const double* const* s, double bc, double* num, double& den) {
  const double sc = std::sin(bc), cc = std::cos(bc);
  Vec8 n0[K] = {}, n1[K] = {}, d0{}, d1{};
  // Near the centre the two sines' rounding is no longer small beside x: there W = 1 - 2x^2/3.
  auto window = [&](int32_t at, Vec8& w) {
    Vec8 x, sn, cs;
    std::memcpy(&x, bx + at, sizeof(Vec8));
    std::memcpy(&sn, sx + at, sizeof(Vec8));
    std::memcpy(&cs, cx + at, sizeof(Vec8));
    x -= bc;
    const Vec8 sin = sn * cc - cs * sc;
    const Vec8 s2 = sin * sin, x2 = x * x;
    const Vec8 far = s2 * s2 / (x2 * x2 + 1e-300), near = 1.0 - x2 * (2.0 / 3);
    w = x2 < kNear2 ? near : far;
  };
  int32_t i = 0;
  for (; i + 16 <= m; i += 16) {
    Vec8 w0, w1;
    window(i, w0);
    window(i + 8, w1);
    for (int q = 0; q < K; ++q) {
      Vec8 s0, s1;
      std::memcpy(&s0, s[q] + i, sizeof(Vec8));
      std::memcpy(&s1, s[q] + i + 8, sizeof(Vec8));
      n0[q] += w0 * s0;
      n1[q] += w1 * s1;
    }
    d0 += w0;
    d1 += w1;
  }
  double nn[K] = {}, dd = 0;
  for (; i < m; ++i) {
    const double x = bx[i] - bc, sin = sx[i] * cc - cx[i] * sc;
    const double s2 = sin * sin, x2 = x * x;
    const double w = x2 < kNear2 ? 1.0 - x2 * (2.0 / 3) : s2 * s2 / (x2 * x2);
    for (int q = 0; q < K; ++q) nn[q] += w * s[q][i];
    dd += w;
  }
  for (int j = 0; j < 8; ++j) {
    for (int q = 0; q < K; ++q) nn[q] += n0[q][j] + n1[q][j];
    dd += d0[j] + d1[j];
  }
  for (int q = 0; q < K; ++q) num[q] = nn[q];
  den = dd;
}

SISMCALC_TRANSFORM_CLONES
void WindowSums(int32_t m, const double* bx, const double* sx, const double* cx, const double* s, double bc,
                double& num, double& den) {
  WindowSumsOf<1>(m, bx, sx, cx, &s, bc, &num, den);
}

SISMCALC_TRANSFORM_CLONES
void WindowSums2(int32_t m, const double* bx, const double* sx, const double* cx, const double* const* s, double bc,
                 double* num, double& den) {
  WindowSumsOf<2>(m, bx, sx, cx, s, bc, num, den);
}

// The window and its derivatives over their factorials: W, W', W''/2, W'''/6 with W = s^4,
// s = sin x / x.
struct WindowTaylor {
  double c[4];
};

WindowTaylor WindowTerms(double x) {
  double s, s1, s2, s3;  // s and its first three derivatives
  if (std::fabs(x) < 0.05) {
    const double x2 = x * x;
    s = 1 - x2 / 6 * (1 - x2 / 20 * (1 - x2 / 42));
    s1 = -x / 3 * (1 - x2 / 10 * (1 - x2 / 28));
    s2 = -1.0 / 3 + x2 / 10 - x2 * x2 / 168;
    s3 = x / 5 - x * x2 / 42 + x * x2 * x2 / 1080;
  } else {
    const double sn = std::sin(x), cs = std::cos(x);
    s = sn / x;
    s1 = (x * cs - sn) / (x * x);
    // From x s'' + 2 s' + x s = 0 and its derivative.
    s2 = -s - 2 * s1 / x;
    s3 = -(3 * s2 + s + x * s1) / x;
  }
  const double q = s * s, c = q * s;
  return {{q * q, 4 * c * s1, (12 * q * s1 * s1 + 4 * c * s2) / 2,
           (24 * s * s1 * s1 * s1 + 36 * q * s1 * s2 + 4 * c * s3) / 6}};
}

// The sums of W and W*S at many outputs at once. In u = b log10 f the window depends on u - uc
// alone, so both sums are convolutions. Each bin goes to the nearest node of a uniform grid in u
// with its offset d, and W(x + d) = W(x) + d W'(x) + d^2/2 W''(x) + d^3/6 W'''(x) + O(d^4): four
// moments per node and four sampled kernels make each sum four convolutions, done by transforms.
// At a step of 0.02 the neglected term is below 1e-7 of each bin's window, out in its tails too,
// where the window turns four radians per unit. The sums, smooth in u (the window's spectrum
// ends at 4 radians per unit), are then read between the nodes by six-point Lagrange
// interpolation, far below that error. Outputs outside the bins' span by more than kReach take
// the direct sum.
class GridSums {
 public:
  static constexpr double kStep = 0.02, kReach = 64, kMaxNodes = 1 << 19;

  // Whether a grid over [ulo, uhi] stays of a reasonable size.
  static bool Fits(double ulo, double uhi) { return (uhi - ulo) / kStep < kMaxNodes; }
  // Whether the grid over a span of u costs less than m bins times no outputs summed directly
  // (in nanoseconds as measured here: seven transforms of f points at 3.4 f log2 f each, 40 a bin;
  // a window 1.0 while the bins stay in the cache, 1.6 when they stream from memory).
  static bool Cheaper(int32_t m, int32_t no, double span) {
    double f = 2;
    while (f < 2 * (span / kStep + 8)) f *= 2;
    const double grid = 7 * 3.4 * f * std::log2(f) + 40.0 * m + 20.0 * no;
    const double window = m <= 131072 ? 1.0 : 1.6;
    return grid < window * m * static_cast<double>(no);
  }

  GridSums(int32_t m, const double* bx, const double* val, double ulo, double uhi) {
    lo_ = ulo - 3 * kStep;
    const auto nodes = static_cast<int32_t>(std::ceil((uhi + 3 * kStep - lo_) / kStep)) + 1;
    int32_t p = 2;
    while (p < 2 * nodes) p *= 2;
    const auto np = static_cast<size_t>(p), nn = static_cast<size_t>(nodes);
    // Per node, of the bins nearest it: S d^q for q = 0..3, then the same without S.
    std::vector<double> mom(8 * nn, 0.0);
    for (int32_t i = 0; i < m; ++i) {
      const auto j = static_cast<size_t>(std::lround((bx[i] - lo_) / kStep));
      const double d = bx[i] - (lo_ + static_cast<double>(j) * kStep), v = val[i];
      double power = 1;
      for (size_t q = 0; q < 4; ++q, power *= d) mom[q * nn + j] += v * power, mom[(q + 4) * nn + j] += power;
    }
    const sismcalc::detail::ExactTransform fft(p);
    // The kernels at the offsets -s step, s taken modulo p. W and W'' are even, so their spectra are
    // real and one transform of W + i W''/2 gives both; W' and W''' are odd, their spectra
    // imaginary, and W' + i W'''/6 gives i F1 - F3.
    std::vector<double> even(np, 0.0), evenIm(np, 0.0), odd(np, 0.0), oddIm(np, 0.0);
    for (int32_t t = -(nodes - 1); t < nodes; ++t) {
      const WindowTaylor w = WindowTerms(-static_cast<double>(t) * kStep);
      const auto at = static_cast<size_t>(t < 0 ? t + p : t);
      even[at] = w.c[0], evenIm[at] = w.c[2], odd[at] = w.c[1], oddIm[at] = w.c[3];
    }
    fft.Run(even.data(), evenIm.data(), false);
    fft.Run(odd.data(), oddIm.data(), false);
    std::vector<double> xr(np), xi(np), yr(np, 0.0), yi(np, 0.0);
    for (size_t q = 0; q < 4; ++q) {
      std::fill(xr.begin(), xr.end(), 0.0);
      std::fill(xi.begin(), xi.end(), 0.0);
      const auto first = mom.begin() + static_cast<std::ptrdiff_t>(q * nn);
      std::copy(first, first + static_cast<std::ptrdiff_t>(nn), xr.begin());
      std::copy(first + static_cast<std::ptrdiff_t>(4 * nn), first + static_cast<std::ptrdiff_t>(5 * nn), xi.begin());
      fft.Run(xr.data(), xi.data(), false);
      for (size_t k = 0; k < np; ++k) {
        if (q % 2 == 1) {  // times i g: (xr + i xi) i g = -xi g + i xr g
          const double g = q == 1 ? oddIm[k] : -odd[k];
          yr[k] -= xi[k] * g;
          yi[k] += xr[k] * g;
        } else {
          const double g = q == 0 ? even[k] : evenIm[k];
          yr[k] += xr[k] * g;
          yi[k] += xi[k] * g;
        }
      }
    }
    fft.Run(yr.data(), yi.data(), true);
    num_.resize(nn);
    den_.resize(nn);
    for (size_t j = 0; j < nn; ++j) num_[j] = yr[j] / p, den_[j] = yi[j] / p;
  }

  // The two sums at u by interpolation; false outside the grid.
  bool At(double u, double& num, double& den) const {
    const double at = (u - lo_) / kStep;
    const auto j = static_cast<int64_t>(std::floor(at));
    if (j < 2 || j + 3 >= static_cast<int64_t>(num_.size())) return false;
    const double t = at - static_cast<double>(j);
    // Lagrange weights of the nodes j-2 .. j+3: the products of (t - q) over the other nodes,
    // over the constant products of (k - q).
    static constexpr double kInverse[6] = {-1.0 / 120, 1.0 / 24, -1.0 / 12, 1.0 / 12, -1.0 / 24, 1.0 / 120};
    double d[6], left[6], right[6];
    for (int k = 0; k < 6; ++k) d[k] = t - (k - 2);
    left[0] = 1, right[5] = 1;
    for (int k = 1; k < 6; ++k) left[k] = left[k - 1] * d[k - 1];
    for (int k = 4; k >= 0; --k) right[k] = right[k + 1] * d[k + 1];
    num = den = 0;
    for (int k = 0; k < 6; ++k) {
      const double c = left[k] * right[k] * kInverse[k];
      const auto idx = static_cast<size_t>(j + k - 2);
      num += c * num_[idx];
      den += c * den_[idx];
    }
    return true;
  }

 private:
  double lo_ = 0;
  std::vector<double> num_, den_;
};

}  // namespace

namespace sismcalc::detail {

int32_t KonnoSmooth(int32_t n, float dfIn, float bIn, int32_t count, const float* const* S, int32_t no,
                    const float* FO, float* const* SO) {
  const double df = dfIn, b = bIn;
  if (n < 2 || no < 1 || count < 1 || count > 2 || !(df > 0) || !std::isfinite(df) || !(b > 0) || !std::isfinite(b))
    return 0;
  try {
    // The bins 2..N; bin 1, 0 Hz, has no logarithm and takes no part.
    const int32_t m = n - 1;
    const auto size = static_cast<size_t>(m);
    const auto spectra = static_cast<size_t>(count);
    std::vector<double> bx(size), sx, cx, val(size * spectra);
    const double* vals[2] = {val.data(), val.data() + size};
    for (size_t i = 0; i < size; ++i) {
      bx[i] = b * std::log10(df * static_cast<double>(i + 1));
      for (size_t q = 0; q < spectra; ++q) val[q * size + i] = S[q][i + 1];
    }
    // Many outputs of a long spectrum: the sums by convolution, for the outputs near the bins.
    double ulo = bx[0], uhi = bx[size - 1];
    for (int32_t k = 0; k < no; ++k) {
      const double fc = FO[k];
      if (!(fc > 0) || !std::isfinite(fc)) continue;
      const double u = b * std::log10(fc);
      if (u >= bx[0] - GridSums::kReach && u <= bx[size - 1] + GridSums::kReach)
        ulo = std::min(ulo, u), uhi = std::max(uhi, u);
    }
    std::vector<std::unique_ptr<GridSums>> grids(spectra);
    if (GridSums::Fits(ulo, uhi) && GridSums::Cheaper(m, no, uhi - ulo))
      for (size_t q = 0; q < spectra; ++q) grids[q] = std::make_unique<GridSums>(m, bx.data(), vals[q], ulo, uhi);
    for (int32_t k = 0; k < no; ++k) {
      const double fc = FO[k];
      if (!(fc > 0) || !std::isfinite(fc)) {
        for (size_t q = 0; q < spectra; ++q) SO[q][k] = 0.0f;
        continue;
      }
      double num[2] = {}, den[2] = {};
      const double u = b * std::log10(fc);
      bool gridded = grids[0] != nullptr;
      for (size_t q = 0; q < spectra && gridded; ++q) gridded = grids[q]->At(u, num[q], den[q]);
      if (!gridded) {
        if (sx.empty()) {
          sx.resize(size), cx.resize(size);
          for (size_t i = 0; i < size; ++i) sx[i] = std::sin(bx[i]), cx[i] = std::cos(bx[i]);
        }
        if (spectra == 1)
          WindowSums(m, bx.data(), sx.data(), cx.data(), vals[0], u, num[0], den[0]);
        else
          WindowSums2(m, bx.data(), sx.data(), cx.data(), vals, u, num, den[0]), den[1] = den[0];
      }
      for (size_t q = 0; q < spectra; ++q) SO[q][k] = den[q] > 0 ? static_cast<float>(num[q] / den[q]) : 0.0f;
    }
    return 1;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

}  // namespace sismcalc::detail

extern "C" {

SISMCALC_API int32_t KONNO(const int32_t* N, const float* DF, const float* S, const float* B,
                           const int32_t* NO, const float* FO, float* SO) {
  return sismcalc::detail::KonnoSmooth(*N, *DF, *B, 1, &S, *NO, FO, &SO);
}

SISMCALC_API int32_t EAS(const int32_t* N, const float* DT, const float* X, const float* Y, const float* B,
                         const int32_t* NO, const float* FO, float* SO) {
  const int32_t n = *N;
  const float dt = *DT;
  if (n < 2 || !(dt > 0) || !std::isfinite(dt)) return 0;
  try {
    const int32_t p = sismcalc::detail::PaddedLength(n);
    if (p == 0) return 0;
    const int32_t nh = p / 2;
    std::vector<float> re(static_cast<size_t>(nh)), im(re.size()), eas(re.size());
    std::vector<double> sum(re.size(), 0.0);
    for (const float* x : {X, Y}) {
      if (FFTRI(N, x, re.data(), im.data()) != nh) return 0;
      for (size_t k = 0; k < re.size(); ++k) sum[k] += double{re[k]} * re[k] + double{im[k]} * im[k];
    }
    // |F| of the continuous transform: the coefficients (divided by P) times P dt.
    const double scale = double{dt} * p;
    for (size_t k = 0; k < re.size(); ++k) eas[k] = static_cast<float>(std::sqrt(sum[k] / 2) * scale);
    const float df = static_cast<float>(1.0 / (double{dt} * p));
    return KONNO(&nh, &df, eas.data(), B, NO, FO, SO);
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

}  // extern "C"
