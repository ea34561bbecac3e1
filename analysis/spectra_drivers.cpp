#include <algorithm>
#include <cmath>

#include "analysis/drivers.h"
#include "analysis/ground_motion.h"
#include "analysis/motion_measures.h"
#include "common/strings.h"
#include "sismcalc/binding/calc.h"

namespace sism {

namespace {

// The common grid of effective amplitude spectra: 0.01 to 100 Hz, 100 points a decade.
constexpr float kEasLow = 0.01f, kEasHigh = 100;
constexpr int32_t kEasPoints = 401;

bool Computable(const StrongRecord& rec) {
  return rec.ChanCount >= 1 && rec.DataCount >= 2 && rec.SampFreq >= 1 && rec.DataCount <= rec.DataCapacity() &&
         rec.ChanCount <= rec.AccChannels();
}

}  // namespace

std::vector<float> EasFrequencies(float df, float nyquist) {
  std::vector<float> grid(static_cast<std::size_t>(kEasPoints)), f;
  if (calc::LOGPRD(&kEasLow, &kEasHigh, &kEasPoints, grid.data()) != 1) return f;
  // Below the first bin and above the Nyquist frequency the window has no data of its own.
  for (float v : grid)
    if (v >= df && v <= nyquist) f.push_back(v);
  return f;
}

void ComputeEas(AppState& s) {
  EasData& e = s.series.eas;
  e = EasData();
  const StrongRecord& rec = s.record;
  if (!Computable(rec)) return;
  const std::vector<std::pair<int32_t, int32_t>> pairs = HorizontalPairs(rec);
  if (pairs.empty()) return;
  const auto [x, y] = pairs.front();
  const Stretch st = FourierStretch(rec, s.calc, s.graph);
  if (st.length < 2) return;
  const float dt = 1.0f / static_cast<float>(rec.SampFreq);
  int32_t padded = 2;
  while (padded < st.length) padded *= 2;
  const std::vector<float> f = EasFrequencies(1.0f / (dt * static_cast<float>(padded)), 0.5f / dt);
  const auto no = static_cast<int32_t>(f.size());
  if (no == 0) return;
  const float b = std::clamp(s.calc.KonnoB, kKonnoMinB, kKonnoMaxB);
  std::vector<float> a(f.size());
  if (calc::EAS(&st.length, &dt, rec.Channel(x) + (st.start - 1), rec.Channel(y) + (st.start - 1), &b, &no,
                f.data(), a.data()) != 1)
    return;
  e.X = x;
  e.Y = y;
  e.F = f;
  e.A = std::move(a);
  e.B = b;
}

void RunDuctilityDriver(AppState& s, UserInterface& ui) {
  StatusScope status(ui, Str(8050), false);
  const StrongRecord& rec = s.record;
  DuctilityData& d = s.series.ductility;
  d = DuctilityData();
  d.T = ResponsePeriods(s.calc, s.graph);
  d.Mu = s.calc.Ductilities;
  d.Damping = s.calc.DuctilityDamping;
  d.Alpha = s.calc.DuctilityAlpha;
  if (!Computable(rec) || d.Mu.empty()) return;
  const Stretch st = ResponseStretch(rec, s.calc);
  const float dt = 1.0f / static_cast<float>(rec.SampFreq);
  std::vector<const float*> accs;
  for (int32_t ch = 1; ch <= rec.ChanCount; ++ch) accs.push_back(rec.Channel(ch) + (st.start - 1));
  const std::vector<DuctilitySpectra> all =
      ComputeDuctilitySpectra(accs, st.length, dt, d.T, d.Mu, d.Damping, d.Alpha);
  d.ChanCount = rec.ChanCount;
  for (const DuctilitySpectra& c : all) {
    // A channel the library refused keeps no values: its curves are not drawn.
    d.Values[DuctR].push_back(c.valid ? c.r : std::vector<float>());
    d.Values[DuctSa].push_back(c.valid ? c.say : std::vector<float>());
    d.Values[DuctSd].push_back(c.valid ? c.sdm : std::vector<float>());
    d.Values[DuctSdYield].push_back(c.valid ? c.sdy : std::vector<float>());
  }
  ui.Yield();
}

}  // namespace sism
