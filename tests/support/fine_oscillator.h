// An oscillator solved independently of the library: classical Runge-Kutta with the ground
// acceleration linear between samples, in steps of at most T/steps, the maxima taken at every
// step. With a few hundred steps per period its peaks are the true ones to about 1e-5.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace sism::test {

struct FinePeaks {
  double sd = 0, sv = 0, sa = 0;  // relative displacement and velocity, absolute acceleration
};

inline FinePeaks SolveOscillatorFinely(double period, double h, double dt, const float* acc, int32_t n,
                                       int steps = 400) {
  const double w = 2 * 3.14159265358979323846 / period;
  const int sub = std::max(1, static_cast<int>(std::ceil(steps * dt / period)));
  const double step = dt / sub;
  auto dv = [&](double a, double x, double v) { return -a - 2 * h * w * v - w * w * x; };
  double x = 0, v = 0;
  FinePeaks p;
  for (int32_t i = 0; i + 1 < n; ++i) {
    const double a0 = acc[i], rise = double{acc[i + 1]} - a0;
    for (int s = 0; s < sub; ++s) {
      const double g0 = a0 + rise * s / sub, gm = a0 + rise * (s + 0.5) / sub,
                   g1 = a0 + rise * (s + 1.0) / sub;
      const double k1x = v, k1v = dv(g0, x, v);
      const double k2x = v + step / 2 * k1v, k2v = dv(gm, x + step / 2 * k1x, v + step / 2 * k1v);
      const double k3x = v + step / 2 * k2v, k3v = dv(gm, x + step / 2 * k2x, v + step / 2 * k2v);
      const double k4x = v + step * k3v, k4v = dv(g1, x + step * k3x, v + step * k3v);
      x += step / 6 * (k1x + 2 * k2x + 2 * k3x + k4x);
      v += step / 6 * (k1v + 2 * k2v + 2 * k3v + k4v);
      p.sd = std::max(p.sd, std::fabs(x));
      p.sv = std::max(p.sv, std::fabs(v));
      p.sa = std::max(p.sa, std::fabs(w * w * x + 2 * h * w * v));
    }
  }
  return p;
}

}  // namespace sism::test
