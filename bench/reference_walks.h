// A reference of the machine's speed for the benchmarks: the two oscillators of every period of
// a horizontal pair walked through the record four periods side by side, as RotD walks them,
// keeping only each component's largest squared displacement. Printed beside figures that
// depend on how fast the machine runs that day.
#pragma once

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "sismcalc.h"

namespace sism::bench {

inline constexpr int32_t kReferencePeriods = 100;
inline constexpr int32_t kReferenceSamples = 30000;

// Noise with a Gaussian envelope, 30,000 samples at 100 Hz.
inline std::vector<float> Record(unsigned seed) {
  std::mt19937 gen(seed);
  std::normal_distribution<float> noise(0.0f, 50.0f);
  std::vector<float> acc(kReferenceSamples);
  for (int32_t i = 0; i < kReferenceSamples; ++i)
    acc[i] = noise(gen) * static_cast<float>(std::exp(-std::pow((i - 6000) / 4000.0, 2)));
  return acc;
}

typedef double Pair2 __attribute__((vector_size(16)));

// The walks of x and y for 100 periods from 0.01 to 10 s at 5 %; the sum of the peaks.
inline double BareWalks(const std::vector<float>& x, const std::vector<float>& y) {
  std::vector<float> prd(kReferencePeriods);
  float t1 = 0.01f, t2 = 10.0f;
  int32_t np = kReferencePeriods;
  LOGPRD(&t1, &t2, &np, prd.data());
  constexpr int kLanes = 4;
  const double h = 0.05, dt = 0.01;
  double total = 0;
  for (int32_t first = 0; first < kReferencePeriods; first += kLanes) {
    double a11[kLanes], a12[kLanes], a21[kLanes], a22[kLanes], b1[kLanes], b2[kLanes];
    for (int l = 0; l < kLanes; ++l) {
      // The free motion over one step, exactly; a load term of the same size as the true one.
      const double w = 2 * 3.141592653589793 / prd[first + l], wd = w * std::sqrt(1 - h * h);
      const double e = std::exp(-h * w * dt), sn = std::sin(wd * dt), cs = std::cos(wd * dt);
      a11[l] = e * (h * w / wd * sn + cs), a12[l] = e * sn / wd;
      a21[l] = -e * w * w / wd * sn, a22[l] = e * (cs - h * w / wd * sn);
      b1[l] = (a11[l] - 1) / (2 * w * w), b2[l] = a21[l] / (2 * w * w);
    }
    Pair2 d[kLanes], v[kLanes], peak[kLanes];
    for (int l = 0; l < kLanes; ++l) d[l] = v[l] = peak[l] = Pair2{0.0, 0.0};
    Pair2 prev = {x[0], y[0]};
    for (int32_t i = 1; i < kReferenceSamples; ++i) {
      const Pair2 cur = {x[i], y[i]};
      for (int l = 0; l < kLanes; ++l) {
        const Pair2 dn = a11[l] * d[l] + a12[l] * v[l] + (b1[l] * prev + b1[l] * cur);
        const Pair2 vn = a21[l] * d[l] + a22[l] * v[l] + (b2[l] * prev + b2[l] * cur);
        d[l] = dn;
        v[l] = vn;
        const Pair2 sq = d[l] * d[l];
        peak[l] = sq > peak[l] ? sq : peak[l];
      }
      prev = cur;
    }
    for (int l = 0; l < kLanes; ++l) total += peak[l][0] + peak[l][1];
  }
  return total;
}

// The walks as a benchmark of their own, to print beside figures that depend on the machine.
inline void MachineReference(benchmark::State& state) {
  const std::vector<float> x = Record(7), y = Record(8);
  for (auto _ : state) benchmark::DoNotOptimize(BareWalks(x, y));
  state.SetLabel("reference: 2 x 100 oscillators, whole sample intervals");
}

}  // namespace sism::bench
