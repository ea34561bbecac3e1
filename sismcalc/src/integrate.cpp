// Velocity and displacement from acceleration: trapezoid integration with baseline fits (INTEGTRA),
// integration in the frequency domain (INTEGFFT) and a recursive band-limited integrator (INTEGLAT).
#include <algorithm>
#include <cmath>
#include <new>
#include <numbers>
#include <vector>

#include "internal.h"
#include "sismcalc.h"

namespace sismcalc::detail {
namespace {

// y = trapezoid integral of x with the sample before the first taken as 0.
template <typename T>
void Trapezoid(int32_t n, double dt, const T* x, double* y) {
  double sum = static_cast<double>(x[0]) * dt / 2.0;
  y[0] = sum;
  for (int32_t i = 1; i < n; ++i) {
    sum += (static_cast<double>(x[i - 1]) + static_cast<double>(x[i])) * dt / 2.0;
    y[i] = sum;
  }
}

// Sums of m^0..m^3, v and m*v over sample positions m = first..last-1.
struct Moments {
  double count = 0, m = 0, m2 = 0, m3 = 0, v = 0, mv = 0;
  void Add(const double* values, int32_t first, int32_t last) {
    for (int32_t i = first; i < last; ++i) {
      const double p = i;
      count += 1;
      m += p;
      m2 += p * p;
      m3 += p * p * p;
      v += values[i];
      mv += p * values[i];
    }
  }
};

void Store(int32_t n, const double* from, float* to) {
  for (int32_t i = 0; i < n; ++i) to[i] = static_cast<float>(from[i]);
}

}  // namespace

int32_t FIT_BILINE(int32_t n, double* v, int32_t nf, int32_t nr) {
  double s1 = 0, a = 0, b = 0;
  if (nf > 0) {
    Moments front;
    front.Add(v, 0, nf);
    s1 = front.v / front.m;
  }
  if (nr > 0) {
    Moments rear;
    rear.Add(v, n - nr, n);
    const double mv = rear.v / nr, mm = rear.m / nr, mmv = rear.mv / nr, mm2 = rear.m2 / nr;
    b = (mv * mm - mmv) / (mm * mm - mm2);
    a = mv - b * mm;
  }
  int64_t k;
  if (nf <= 0) {
    k = 0;
  } else if (nr <= 0) {
    k = n;
  } else {
    k = TruncateToInt(a / (s1 - b));
    if (k < 0 || k > n) k = n;
  }
  for (int64_t i = 0; i < k; ++i) v[i] -= s1 * static_cast<double>(i);
  for (int64_t i = k; i < n; ++i) v[i] -= a + b * static_cast<double>(i);
  return static_cast<int32_t>(k);
}

bool FIT_PARA(int32_t n, double* v, int32_t nf, int32_t nr) {
  if (n <= 0) return false;
  Moments both;
  both.Add(v, 0, std::max(nf, 0));
  both.Add(v, n - std::max(nr, 0), n);
  if (both.count == 0) return false;
  const double s = both.count;
  const double mv = both.v / s, mm = both.m / s, mm2 = both.m2 / s, mm3 = both.m3 / s, mmv = both.mv / s;
  const double det = mm2 * mm2 - mm * mm3;
  if (det == 0.0 || mm == 0.0) return false;
  const double c2 = (mv * mm2 - mm * mmv) / det;
  const double c1 = (mv - mm2 * c2) / mm;
  if (!std::isfinite(c1) || !std::isfinite(c2)) return false;
  for (int32_t i = 0; i < n; ++i) {
    const double m = i;
    v[i] -= c1 * m + c2 * m * m;
  }
  return true;
}

void LOWCUT_COS(int32_t nh, double df, double fc, double* g) {
  std::fill(g, g + nh, 1.0);
  if (!(fc > 0.0)) return;
  // The corner and the cosine both use pi in double precision, so it cancels in pi*f/fe.
  const double fe = fc * std::numbers::pi / 2.35738167365128;
  for (int32_t i = 0; i < nh; ++i) {
    const double f = i * df;
    if (f <= 0.0) {
      g[i] = 0.0;
    } else if (f >= fe) {
      break;
    } else {
      g[i] = (1.0 - std::cos(std::numbers::pi * f / fe)) / 2.0;
    }
  }
}

void LATTICEFILTER(int32_t n, double dt, double fc, const double* x, double* y) {
  if (n <= 2 || !(dt > 0.0)) return;
  const double w = 2.0 * std::numbers::pi * fc;
  const double a = w * w * dt * dt, b = 7.5852 * w * dt, d = a + b + 12.0;
  const double c0 = 6.0 * dt / d, a1 = -2.0 * (12.0 - 5.0 * a) / d, a2 = (a - b + 12.0) / d;
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;  // x(k-1), x(k-2), y(k-1), y(k-2)
  for (int32_t k = 0; k < n; ++k) {
    const double yk = c0 * (x[k] - x2) - a1 * y1 - a2 * y2;
    y[k] = yk;
    x2 = x1;
    x1 = x[k];
    y2 = y1;
    y1 = yk;
  }
}

}  // namespace sismcalc::detail

using namespace sismcalc::detail;

extern "C" {

SISMCALC_API int32_t INTEGTRA(const int32_t* N, const float* DT, const float* ACC, float* VEL, float* DISP,
                              const int32_t* METHOD, const float* T1, const float* T2) {
  const int32_t n = *N, method = *METHOD;
  const double dt = *DT;
  if (n <= 0 || !(dt > 0.0)) return 0;
  int32_t nf = 0, nr = 0;
  if (method == 1) {
    nf = n;
  } else if (method == 2) {
    nr = n;
  } else if (method == 3 || method == 4) {
    nf = static_cast<int32_t>(std::min<int64_t>(TruncateToInt(*T1 / dt + 0.01), n));
    nr = static_cast<int32_t>(std::min<int64_t>(TruncateToInt(*T2 / dt + 0.01), n));
  }
  // A one-sample window has no slope: refuse instead of writing not-a-number.
  if (method >= 1 && method <= 3 && (nf == 1 || nr == 1)) return 0;
  int32_t breakIndex = 0;
  try {
    std::vector<double> buffer(2 * static_cast<size_t>(n));
    double* v = buffer.data();
    double* d = v + n;
    Trapezoid(n, dt, ACC, v);
    const double v0 = v[0];
    for (int32_t i = 0; i < n; ++i) v[i] -= v0;
    if (method >= 1 && method <= 3) {
      breakIndex = FIT_BILINE(n, v, nf, nr);
    } else if (method == 4 && !FIT_PARA(n, v, nf, nr)) {
      return 0;
    }
    Trapezoid(n, dt, v, d);
    Store(n, v, VEL);
    Store(n, d, DISP);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return breakIndex;
}

SISMCALC_API int32_t INTEGFFT(const int32_t* N, const float* DT, const float* ACC, float* VEL, float* DISP,
                              const float* FC) {
  const int32_t n = *N;
  const double dt = *DT;
  const int32_t m = PaddedLength(n);
  if (n <= 0 || !(dt > 0.0) || m == 0 || m > (int32_t{1} << 29)) return 0;
  const int32_t l = 2 * m;
  const double df = 1.0 / (dt * l);
  try {
    RealTransform transform(l, int64_t{l} + 3 * int64_t{m} + 1);
    double* out = transform.Scratch();
    double* dispRe = out + l;
    double* dispIm = dispRe + m;
    double* gain = dispIm + m;
    LOWCUT_COS(m + 1, df, *FC, gain);
    transform.Forward(ACC, n);
    // The spectrum of the velocity replaces that of the acceleration in place; the displacement's is
    // kept aside for the second inverse.
    double* re = transform.Re();
    double* im = transform.Im();
    re[0] = im[0] = dispRe[0] = dispIm[0] = 0.0;
    for (int32_t k = 1; k < m; ++k) {
      // Dividing by i*w is multiplying by -i/w.
      const double invW = 1.0 / (kTwoPi * k * df), scale = invW / l;
      const double ar = re[k] * gain[k], ai = im[k] * gain[k];
      re[k] = ai * scale;
      im[k] = -ar * scale;
      dispRe[k] = im[k] * invW;
      dispIm[k] = -re[k] * invW;
    }
    const double wn = kTwoPi * m * df;
    transform.Nyquist() = transform.Nyquist() * gain[m] / wn / l;
    const double dispNyquist = transform.Nyquist() / wn;
    transform.Inverse(out);
    Store(n, out, VEL);
    std::copy(dispRe, dispRe + m, re);
    std::copy(dispIm, dispIm + m, im);
    transform.Nyquist() = dispNyquist;
    transform.Inverse(out);
    const double d0 = out[0];
    for (int32_t i = 0; i < n; ++i) DISP[i] = static_cast<float>(out[i] - d0);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return 0;
}

SISMCALC_API int32_t INTEGLAT(const int32_t* N, const float* DT, const float* ACC, float* VEL, float* DISP,
                              const float* FC) {
  const int32_t n = *N;
  const double dt = *DT;
  if (n <= 2 || !(dt > 0.0)) return 0;  // the integrator writes nothing then
  try {
    std::vector<double> buffer(3 * static_cast<size_t>(n));
    double* x = buffer.data();
    double* v = x + n;
    double* d = v + n;
    std::copy(ACC, ACC + n, x);
    LATTICEFILTER(n, dt, *FC, x, v);
    LATTICEFILTER(n, dt, *FC, v, d);
    Store(n, v, VEL);
    Store(n, d, DISP);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return 0;
}

}  // extern "C"
