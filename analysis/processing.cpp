#include "analysis/processing.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "analysis/processing_detail.h"
#include "sismcalc/binding/calc.h"

namespace sism {

using processing_detail::Dt;
using processing_detail::Flag;
using processing_detail::Num;

std::vector<int32_t> ProcessingChannels(const StrongRecord& rec) {
  std::vector<int32_t> chans;
  for (int32_t ch = 1; ch <= rec.ChanCount; ++ch) chans.push_back(ch);
  return chans;
}

namespace {

// Whether a flag that stops the chain was raised.
bool Stopped(const ProcessingResult& r) {
  return std::any_of(r.flags.begin(), r.flags.end(), [](const ProcessingFlag& f) { return f.stops; });
}

ChannelProcessing& ChannelOf(ProcessingResult& r, int32_t ch) {
  for (ChannelProcessing& c : r.channels)
    if (c.ch == ch) return c;
  r.channels.push_back(ChannelProcessing{});
  r.channels.back().ch = ch;
  return r.channels.back();
}

// The channel less its mean.
std::vector<float> Demeaned(const StrongRecord& rec, int32_t ch) {
  const float* x = rec.Channel(ch);
  const int32_t n = rec.DataCount;
  double mean = 0;
  for (int32_t i = 0; i < n; ++i) mean += x[i];
  mean /= std::max(1, n);
  std::vector<float> y(static_cast<std::size_t>(n));
  for (int32_t i = 0; i < n; ++i) y[static_cast<std::size_t>(i)] = static_cast<float>(x[i] - mean);
  return y;
}

}  // namespace

void PickOnset(const StrongRecord& rec, const ProcessingParams& p, ProcessingResult& r) {
  ProcessingStep step{"onset", {}, {}};
  const int32_t n = rec.DataCount;
  const float dt = Dt(rec);
  const float tn = p.PickerPeriod > 0 ? p.PickerPeriod : (dt <= 0.0101f ? 0.01f : 0.1f);
  const auto nbins = static_cast<int32_t>(std::lround(2.0 / dt));
  step.params = {{"picker_period_s", Num(tn)},
                 {"picker_damping", Num(p.PickerDamping)},
                 {"picker_bins", std::to_string(nbins)},
                 {"agreement_s", Num(p.PickAgreement)},
                 {"noise_margin_s", Num(p.NoiseMargin)}};
  int32_t reliable = std::numeric_limits<int32_t>::max(), any = std::numeric_limits<int32_t>::max();
  for (int32_t ch : ProcessingChannels(rec)) {
    ChannelProcessing& c = ChannelOf(r, ch);
    const std::vector<float> x = Demeaned(rec, ch);
    // The criterion sees the record up to its peak, so that the later phases do not draw it.
    int32_t peak = 1;
    for (int32_t i = 1; i < n; ++i)
      if (std::fabs(x[static_cast<std::size_t>(i)]) > std::fabs(x[static_cast<std::size_t>(peak - 1)])) peak = i + 1;
    const int32_t upto = std::max(peak, std::min(n, 4));
    c.aicPick = calc::AICPICK(&upto, x.data());
    c.energyPick = calc::PPHASEPICK(&n, &dt, x.data(), &tn, &p.PickerDamping, &nbins);
    c.pickReliable = c.aicPick > 0 && c.energyPick > 0 &&
                     std::abs(c.aicPick - c.energyPick) * dt <= p.PickAgreement;
    const int32_t pick = c.pickReliable ? std::min(c.aicPick, c.energyPick) : 0;
    if (pick > 0) reliable = std::min(reliable, pick);
    if (c.aicPick > 0) any = std::min(any, c.aicPick);
    step.results.emplace_back("pick_aic_s_ch" + std::to_string(ch), Num((c.aicPick - 1) * dt));
    step.results.emplace_back("pick_energy_s_ch" + std::to_string(ch), Num((c.energyPick - 1) * dt));
  }
  r.onsetReliable = reliable != std::numeric_limits<int32_t>::max();
  r.onset = r.onsetReliable ? reliable : (any != std::numeric_limits<int32_t>::max() ? any : 0);
  if (r.onset == 0) {
    r.flags.push_back(Flag("no_onset", 0, "", true));
    r.steps.push_back(std::move(step));
    return;
  }
  r.noiseFirst = 1;
  r.noiseLast = r.onset - static_cast<int32_t>(std::lround(p.NoiseMargin / dt));
  r.signalFirst = r.onset;
  r.signalLast = n;
  if (p.SignalEnd == 1) {
    // To the instant the Husid curve of the strongest channel reaches the fraction.
    std::vector<float> h(static_cast<std::size_t>(n));
    int32_t strongest = 1;
    for (int32_t ch = 2; ch <= rec.ChanCount; ++ch)
      if (std::fabs(rec.Peak(ch)) > std::fabs(rec.Peak(strongest))) strongest = ch;
    if (calc::HUSID(&n, &dt, rec.Channel(strongest), h.data()) == 1) {
      const auto it = std::lower_bound(h.begin(), h.end(), p.SignalHusid);
      r.signalLast = std::max(r.signalFirst + 1, static_cast<int32_t>(it - h.begin()) + 1);
      r.signalLast = std::min(r.signalLast, n);
    }
  }
  const float noiseSeconds = static_cast<float>(r.noiseLast - r.noiseFirst + 1) * dt;
  step.results.emplace_back("onset_s", Num(r.OnsetSeconds(rec.SampFreq)));
  step.results.emplace_back("onset_reliable", r.onsetReliable ? "true" : "false");
  step.results.emplace_back("noise_window_s", Num(0) + "-" + Num((r.noiseLast - 1) * dt));
  step.results.emplace_back("signal_window_s", Num((r.signalFirst - 1) * dt) + "-" + Num((r.signalLast - 1) * dt));
  if (r.noiseLast < 2 || noiseSeconds < p.MinNoiseSeconds)
    r.flags.push_back(Flag("short_noise_window", 0, "noise_s=" + Num(std::max(0.0f, noiseSeconds)) +
                                                       " min_s=" + Num(p.MinNoiseSeconds), true));
  r.steps.push_back(std::move(step));
}

void ComputeSnrCorners(const StrongRecord& rec, const ProcessingParams& p, ProcessingResult& r) {
  ProcessingStep step{"snr_corners", {}, {}};
  const int32_t n = rec.DataCount;
  const float dt = Dt(rec);
  const float nyquist = 0.5f / dt;
  const float bandMax = std::min(p.BandMax, p.LowPassCap * nyquist);
  step.params = {{"konno_b", Num(p.KonnoB)},       {"grid_points", std::to_string(p.SnrPoints)},
                 {"threshold", Num(p.SnrThreshold)}, {"band_hz", Num(p.BandMin) + "-" + Num(bandMax)},
                 {"min_band_ratio", Num(p.MinBandRatio)}};
  const int32_t no = std::max(2, p.SnrPoints);
  std::vector<float> fo(static_cast<std::size_t>(no));
  const float fmin = std::min(p.SnrFmin, nyquist / 2);
  if (calc::LOGPRD(&fmin, &nyquist, &no, fo.data()) != 1) {
    r.flags.push_back(Flag("snr_grid", 0, "", true));
    r.steps.push_back(std::move(step));
    return;
  }
  for (int32_t ch : ProcessingChannels(rec)) {
    ChannelProcessing& c = ChannelOf(r, ch);
    c.freqs = fo;
    c.signal.assign(fo.size(), 0.0f);
    c.noise.assign(fo.size(), 0.0f);
    c.snr.assign(fo.size(), 0.0f);
    const std::vector<float> x = Demeaned(rec, ch);
    if (calc::SNRSPEC(&n, &dt, x.data(), &r.noiseFirst, &r.noiseLast, &r.signalFirst, &r.signalLast, &p.KonnoB, &no,
                      fo.data(), c.signal.data(), c.noise.data(), c.snr.data()) != 1 ||
        calc::SNRBAND(&no, fo.data(), c.snr.data(), &p.SnrThreshold, &p.BandMin, &bandMax, &c.snrHighPass,
                      &c.snrLowPass) != 1) {
      r.flags.push_back(Flag("low_snr", ch, "threshold=" + Num(p.SnrThreshold), true));
      continue;
    }
    c.highPass = c.snrHighPass;
    c.lowPass = c.snrLowPass;
    step.results.emplace_back("corners_hz_ch" + std::to_string(ch), Num(c.highPass) + "-" + Num(c.lowPass));
    if (c.lowPass < p.MinBandRatio * c.highPass)
      r.flags.push_back(Flag("narrow_band", ch, "high_pass=" + Num(c.highPass) + " low_pass=" + Num(c.lowPass),
                             true));
  }
  r.steps.push_back(std::move(step));
}

void RaiseHighPassCorners(const StrongRecord& rec, const ProcessingParams& p, ProcessingResult& r) {
  ProcessingStep step{"residual_high_pass", {}, {}};
  step.params = {{"method", "ridder"},
                 {"target", Num(p.ResidualTarget)},
                 {"max_high_pass_hz", Num(p.MaxHighPass)},
                 {"tolerance_hz", Num(p.RidderTolerance)},
                 {"max_iterations", std::to_string(p.RidderIterations)},
                 {"degree", std::to_string(p.BaselineDegree)}};
  const int32_t n = rec.DataCount;
  const float dt = Dt(rec);
  for (ChannelProcessing& c : r.channels) {
    if (c.highPass <= 0 || c.cornersFixed) continue;
    if (c.highPass > p.MaxHighPass) {
      r.flags.push_back(Flag("high_pass_above_max", c.ch, "high_pass=" + Num(c.highPass) + " max=" +
                                                              Num(p.MaxHighPass), false));
      continue;
    }
    float fc = c.highPass, ratio = 0;
    const int32_t rc =
        calc::RIDDERFC(&n, &dt, rec.Channel(c.ch), &c.highPass, &p.MaxHighPass, &p.FilterOrder, &p.Taper,
                       &p.BaselineDegree, &p.ResidualTarget, &p.RidderTolerance, &p.RidderIterations, &fc, &ratio);
    if (rc == 0) continue;
    c.residualRatio = ratio;
    // Not met below the largest corner allowed: the corner stays there.
    step.results.emplace_back("criterion_met_ch" + std::to_string(c.ch), rc > 0 ? "true" : "false");
    if (p.RaiseHighPass) {
      c.highPass = fc;
      // Raised to the largest corner allowed and still over the target: a failed check.
      if (rc < 0)
        r.flags.push_back(Flag("residual_criterion", c.ch,
                               "ratio=" + Num(ratio) + " target=" + Num(p.ResidualTarget) +
                                   " high_pass=" + Num(fc),
                               false));
    }
    step.results.emplace_back("high_pass_hz_ch" + std::to_string(c.ch), Num(c.highPass));
    step.results.emplace_back("residual_ratio_ch" + std::to_string(c.ch), Num(ratio));
  }
  r.steps.push_back(std::move(step));
}

void FilterAndCorrect(StrongRecord& rec, const ProcessingParams& p, ProcessingResult& r) {
  ProcessingStep step{"filter_baseline", {}, {}};
  step.params = {{"filter", "butterworth_acausal"},
                 {"order", std::to_string(p.FilterOrder)},
                 {"taper", Num(p.Taper)},
                 {"baseline", "polynomial_displacement_c0_c1_zero"},
                 {"degree", std::to_string(p.BaselineDegree)}};
  const int32_t n = rec.DataCount;
  const float dt = Dt(rec);
  const int32_t passes = 2, keep = 0;
  // A taper of half the record or more (a setting out of range) meets in the middle.
  const auto nt = std::clamp(static_cast<int32_t>(std::floor(p.Taper * static_cast<float>(n))), 0, n / 2);
  for (ChannelProcessing& c : r.channels) {
    if (c.highPass <= 0) continue;
    std::vector<float> x = Demeaned(rec, c.ch);
    for (int32_t i = 0; i < nt; ++i) {
      const auto g = static_cast<float>(0.5 * (1 - std::cos(std::numbers::pi * i / nt)));
      x[static_cast<std::size_t>(i)] *= g;
      x[static_cast<std::size_t>(n - 1 - i)] *= g;
    }
    if (calc::BUTTER(&n, &dt, &c.highPass, &c.lowPass, &p.FilterOrder, &passes, &keep, x.data()) == 0 ||
        calc::POLYBASE(&n, &dt, x.data(), &p.BaselineDegree, nullptr) != 1) {
      r.flags.push_back(Flag("filter_failed", c.ch, "", true));
      continue;
    }
    std::copy(x.begin(), x.end(), rec.Channel(c.ch));
    c.processed = true;
    step.results.emplace_back("band_hz_ch" + std::to_string(c.ch), Num(c.highPass) + "-" + Num(c.lowPass));
  }
  ComputePeaks(rec);
  r.processed = std::all_of(r.channels.begin(), r.channels.end(), [](const ChannelProcessing& c) { return c.processed; });
  r.steps.push_back(std::move(step));
}

ProcessingResult ProcessRecord(StrongRecord& rec, const ProcessingParams& p, const std::vector<FixedCorners>& fixed) {
  ProcessingResult r;
  for (int32_t ch : ProcessingChannels(rec)) ChannelOf(r, ch);
  CheckBeforeProcessing(rec, p, r);
  if (!Stopped(r)) PickOnset(rec, p, r);
  if (!Stopped(r)) ComputeSnrCorners(rec, p, r);
  if (!fixed.empty() && r.onset > 0) FixCorners(fixed, r);
  if (!Stopped(r)) RaiseHighPassCorners(rec, p, r);
  if (!Stopped(r)) FilterAndCorrect(rec, p, r);
  if (!Stopped(r) && r.processed) CheckAfterProcessing(rec, p, r);
  r.rejected = Stopped(r) || !r.processed || (p.RejectOnFlag != 0 && !r.flags.empty());
  return r;
}

}  // namespace sism
