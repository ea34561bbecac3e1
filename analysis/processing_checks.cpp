// The checks before and after the processing chain.
#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis/motion_measures.h"
#include "analysis/processing.h"
#include "analysis/processing_detail.h"
#include "record/trapezoid.h"
#include "sismcalc/binding/calc.h"

namespace sism {

using processing_detail::Dt;
using processing_detail::Flag;
using processing_detail::Num;

namespace {

// |mean| of x over the last `count` samples: an oscillation about zero leaves no residual.
float EndLevel(const std::vector<float>& x, int32_t count) {
  const auto n = static_cast<int32_t>(x.size());
  count = std::clamp(count, 1, std::max(1, n));
  double s = 0;
  for (int32_t i = n - count; i < n; ++i) s += x[static_cast<std::size_t>(i)];
  return static_cast<float>(std::fabs(s / count));
}

// Samples of the end stretch: the setting, or (0) the longer of the time to the onset and
// the period of the high-pass corner, as USGS PRISM's QC takes it.
int32_t EndCount(const ProcessingParams& p, const ProcessingResult& r, float highPass, float dt) {
  if (p.ResidualSeconds > 0) return static_cast<int32_t>(std::lround(p.ResidualSeconds / dt));
  const float period = highPass > 0 ? std::round(1 / highPass) : 0;
  return std::max(static_cast<int32_t>(std::lround(period / dt)), r.onset - 1);
}

}  // namespace

void CheckBeforeProcessing(const StrongRecord& rec, const ProcessingParams& p, ProcessingResult& r) {
  ProcessingStep step{"checks_before", {}, {}};
  step.params = {{"min_samples", std::to_string(p.MinSamples)},
                 {"min_rate_hz", std::to_string(p.MinRate)},
                 {"max_pga", Num(p.MaxPga)},
                 {"clip_run_length", std::to_string(p.ClipRunLength)},
                 {"clip_near", Num(p.ClipNear)},
                 {"clip_runs", std::to_string(p.ClipRuns)},
                 {"clip_bins", std::to_string(p.ClipBins)},
                 {"clip_hist_ratio", Num(p.ClipHistRatio)}};
  const int32_t n = rec.DataCount;
  if (rec.ChanCount < 1 || n < p.MinSamples)
    r.flags.push_back(Flag("too_few_samples", 0, "samples=" + std::to_string(n) + " min=" +
                                                     std::to_string(p.MinSamples), true));
  if (rec.SampFreq < std::max(1, p.MinRate))
    r.flags.push_back(Flag("low_rate", 0, "rate=" + std::to_string(rec.SampFreq) + " min=" +
                                              std::to_string(p.MinRate), true));
  if (n < 2) {
    r.steps.push_back(std::move(step));
    return;
  }
  for (int32_t ch : ProcessingChannels(rec)) {
    const float* x = rec.Channel(ch);
    const auto [lo, hi] = std::minmax_element(x, x + n);
    if (!std::isfinite(*lo) || !std::isfinite(*hi)) {
      r.flags.push_back(Flag("not_finite", ch, "", true));
      continue;
    }
    if (*lo == *hi) {
      r.flags.push_back(Flag("dead_channel", ch, "value=" + Num(*lo), true));
      continue;
    }
    double mean = 0;
    for (int32_t i = 0; i < n; ++i) mean += x[i];
    mean /= n;
    const auto pga = static_cast<float>(std::max(std::fabs(*hi - mean), std::fabs(*lo - mean)));
    step.results.emplace_back("pga_ch" + std::to_string(ch), Num(pga));
    if (pga > p.MaxPga) r.flags.push_back(Flag("absurd_amplitude", ch, "pga=" + Num(pga), false));
    int32_t runs = 0;
    float ratio = 0;
    if (calc::CLIPTEST(&n, x, &p.ClipRunLength, &p.ClipNear, &p.ClipBins, &runs, &ratio) == 1) {
      step.results.emplace_back("clip_runs_ch" + std::to_string(ch), std::to_string(runs));
      step.results.emplace_back("clip_hist_ratio_ch" + std::to_string(ch), Num(ratio));
      if (runs >= p.ClipRuns || ratio >= p.ClipHistRatio)
        r.flags.push_back(Flag("clipped", ch, "runs=" + std::to_string(runs) + " hist_ratio=" + Num(ratio), false));
    }
  }
  r.steps.push_back(std::move(step));
}

void CheckAfterProcessing(const StrongRecord& rec, const ProcessingParams& p, ProcessingResult& r) {
  ProcessingStep step{"checks_after", {}, {}};
  step.params = {{"residual_window_s", Num(p.ResidualSeconds)},
                 {"max_final_velocity", Num(p.MaxFinalVelocity)},
                 {"max_final_displacement", Num(p.MaxFinalDisplacement)},
                 {"tail_s", Num(p.TailSeconds)},
                 {"max_tail_velocity", Num(p.MaxTailVelocity)},
                 {"max_tail_displacement", Num(p.MaxTailDisplacement)},
                 {"snr_check_hz", Num(p.SnrCheckMin) + "-" + Num(p.SnrCheckMax)}};
  const int32_t n = rec.DataCount;
  const float dt = Dt(rec);
  std::vector<float> v, d;
  for (ChannelProcessing& c : r.channels) {
    if (!c.processed) continue;
    const int32_t endCount = EndCount(p, r, c.highPass, dt);
    IntegrateFromRest(rec.Channel(c.ch), n, dt, v, d);
    c.finalVelocity = EndLevel(v, endCount);
    c.finalDisplacement = EndLevel(d, endCount);
    c.tailVelocity = calc::TAILRATIO(&n, &dt, v.data(), &p.TailSeconds);
    c.tailDisplacement = calc::TAILRATIO(&n, &dt, d.data(), &p.TailSeconds);
    const std::string suffix = "_ch" + std::to_string(c.ch);
    step.results.emplace_back("final_window_s" + suffix, Num(static_cast<float>(endCount) * dt));
    step.results.emplace_back("final_velocity" + suffix, Num(c.finalVelocity));
    step.results.emplace_back("final_displacement" + suffix, Num(c.finalDisplacement));
    step.results.emplace_back("tail_velocity" + suffix, Num(c.tailVelocity));
    step.results.emplace_back("tail_displacement" + suffix, Num(c.tailDisplacement));
    if (c.finalVelocity > p.MaxFinalVelocity)
      r.flags.push_back(Flag("final_velocity", c.ch,
                             "value=" + Num(c.finalVelocity) + " max=" + Num(p.MaxFinalVelocity), false));
    if (c.finalDisplacement > p.MaxFinalDisplacement)
      r.flags.push_back(Flag("final_displacement", c.ch,
                             "value=" + Num(c.finalDisplacement) + " max=" + Num(p.MaxFinalDisplacement), false));
    if (c.tailVelocity > p.MaxTailVelocity)
      r.flags.push_back(Flag("tail_velocity", c.ch, "ratio=" + Num(c.tailVelocity), false));
    if (c.tailDisplacement > p.MaxTailDisplacement)
      r.flags.push_back(Flag("tail_displacement", c.ch, "ratio=" + Num(c.tailDisplacement), false));
    if (p.SnrCheckMax > p.SnrCheckMin && p.SnrCheckMin > 0) {
      float worst = 0;
      bool low = false;
      for (std::size_t k = 0; k < c.freqs.size(); ++k)
        if (c.freqs[k] >= p.SnrCheckMin && c.freqs[k] <= p.SnrCheckMax && c.snr[k] < p.SnrThreshold) {
          if (!low || c.snr[k] < worst) worst = c.snr[k];
          low = true;
        }
      if (low) r.flags.push_back(Flag("snr_band", c.ch, "lowest=" + Num(worst), false));
    }
  }
  r.steps.push_back(std::move(step));
}

}  // namespace sism
