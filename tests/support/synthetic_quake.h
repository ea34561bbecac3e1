// A synthetic earthquake record with a known onset, for the processing chain's tests and
// benchmark.
#pragma once

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "record/strong_record.h"
#include "sismcalc/binding/calc.h"

namespace sism::test {

// Three channels at `rate` per second: weak white noise throughout, and from `onset` s a band-limited burst
// whose envelope rises within a few hundredths of a second and decays over tens of seconds.
inline StrongRecord Quake(float seconds, float onset, float peak, unsigned seed, float noise = 0.05f,
                          int32_t rate = 100) {
  StrongRecord r;
  const auto n = static_cast<int32_t>(seconds * rate);
  r.SampFreq = rate;
  r.DataCount = n;
  r.ChanCount = 3;
  r.RedimHeader(3);
  r.RedimAcc(n, 3);
  std::mt19937 gen(seed);
  std::normal_distribution<float> white(0, 1);
  const char* labels[] = {"N-S", "E-W", "U-D"};
  for (int32_t ch = 1; ch <= 3; ++ch) {
    r.Label(ch) = labels[ch - 1];
    std::vector<float> burst(static_cast<std::size_t>(n));
    for (float& v : burst) v = white(gen);
    const float fl = 0.3f, fh = 12.0f, dt = 1.0f / static_cast<float>(rate);
    const int32_t order = 4, passes = 1, keep = 0;
    calc::BUTTER(&n, &dt, &fl, &fh, &order, &passes, &keep, burst.data());
    const float scale = peak / 3.0f / *std::max_element(burst.begin(), burst.end());
    for (int32_t i = 0; i < n; ++i) {
      const float t = static_cast<float>(i) / static_cast<float>(rate) - onset;
      const float env = t < 0 ? 0.0f : (1 - std::exp(-t / 0.02f)) * (1 + 4 * std::exp(-std::pow((t - 6) / 3, 2.0f))) *
                                           std::exp(-t / 25);
      r.Acc(i + 1, ch) = noise * white(gen) + scale * env * burst[static_cast<std::size_t>(i)];
    }
  }
  ComputePeaks(r);
  return r;
}

}  // namespace sism::test
