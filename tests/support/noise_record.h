// A record of white Gaussian noise for drawing and analysis tests: one channel per label,
// n samples at fs per second, peaks computed and every channel shown.
#pragma once

#include <random>
#include <string>
#include <vector>

#include "state/app_state.h"

namespace sism::test {

inline void NoiseRecord(AppState& app, const std::vector<std::string>& labels, int32_t n, unsigned seed,
                        float sigma, int32_t fs = 100) {
  StrongRecord& r = app.record;
  const auto chans = static_cast<int32_t>(labels.size());
  r.SampFreq = fs;
  r.DataCount = n;
  r.ChanCount = chans;
  r.RedimHeader(chans);
  r.RedimAcc(n, chans);
  std::mt19937 gen(seed);
  std::normal_distribution<float> noise(0, sigma > 0 ? sigma : 1);
  for (int32_t ch = 1; ch <= chans; ++ch) {
    r.Label(ch) = labels[static_cast<std::size_t>(ch - 1)];
    for (int32_t i = 1; i <= n; ++i) r.Acc(i, ch) = sigma > 0 ? noise(gen) : 0.0f;
  }
  ComputePeaks(r);
  app.view.DrawChan.assign(static_cast<std::size_t>(chans), true);
}

}  // namespace sism::test
