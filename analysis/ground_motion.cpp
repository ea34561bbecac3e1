#include "analysis/ground_motion.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <exception>

#include "analysis/ensure_series.h"
#include "common/errors.h"
#include "common/text.h"
#include "sismcalc/binding/calc.h"
#include "state/app_state.h"
#include "state/graph_kinds.h"

namespace sism {

const std::vector<float>& StandardMetricPeriods() {
  static const std::vector<float> periods = {0.01f, 0.02f, 0.03f, 0.05f, 0.075f, 0.1f, 0.15f, 0.2f, 0.3f, 0.4f,
                                             0.5f,  0.75f, 1.0f,  1.5f,  2.0f,   3.0f, 4.0f,  5.0f, 7.5f, 10.0f};
  return periods;
}

const ChannelMetrics* RecordMetrics::Channel(int32_t ch) const {
  for (const ChannelMetrics& c : channels)
    if (c.ch == ch) return &c;
  return nullptr;
}

const PairMetrics* RecordMetrics::Pair(int32_t x, int32_t y) const {
  for (const PairMetrics& p : pairs)
    if (p.x == x && p.y == y) return &p;
  return nullptr;
}

bool IsVerticalLabel(const std::string& label) {
  std::string s = UCase(Trim(label));
  // "U-D(S)": the sensor's name in brackets says nothing of the direction.
  if (const std::size_t bracket = s.find('('); bracket != std::string::npos) s = Trim(s.substr(0, bracket));
  if (s.empty()) return false;
  if (StartsWith(s, "UP") || StartsWith(s, "U-D") || StartsWith(s, "UD") || StartsWith(s, "VERT")) return true;
  if (s == "U" || s == "V" || s == "Z" || s == "UPDOWN") return true;
  // SEED channel codes (HNZ, BHZ) and their location-prefixed forms (00.HNZ).
  if (s.size() >= 3 && s.back() == 'Z' && std::isalpha(static_cast<unsigned char>(s[s.size() - 2])) &&
      std::isalpha(static_cast<unsigned char>(s[s.size() - 3])))
    return true;
  // "V2": a vertical numbered among the channels.
  return s[0] == 'V' && s.size() <= 3 && std::isdigit(static_cast<unsigned char>(s[1]));
}

namespace {

// The two horizontals and the vertical of channels first..first+2; false when more than one
// label is vertical.
bool SplitGroup(const StrongRecord& rec, int32_t first, ComponentSet& set) {
  int32_t vertical = 0, verticals = 0;
  for (int32_t ch = first; ch < first + 3; ++ch)
    if (IsVerticalLabel(rec.Label(ch))) vertical = ch, ++verticals;
  if (verticals > 1) return false;
  if (verticals == 0) vertical = first + 2;
  std::vector<int32_t> h;
  for (int32_t ch = first; ch < first + 3; ++ch)
    if (ch != vertical) h.push_back(ch);
  set = {h[0], h[1], vertical};
  return true;
}

}  // namespace

std::vector<std::pair<int32_t, int32_t>> HorizontalPairs(const StrongRecord& rec) {
  std::vector<std::pair<int32_t, int32_t>> pairs;
  const int32_t c = rec.ChanCount;
  if (c == 2) {
    if (!IsVerticalLabel(rec.Label(1)) && !IsVerticalLabel(rec.Label(2))) pairs.emplace_back(1, 2);
    return pairs;
  }
  for (int32_t first = 1; first + 2 <= c; first += 3) {
    ComponentSet set;
    if (SplitGroup(rec, first, set)) pairs.emplace_back(set.h1, set.h2);
  }
  return pairs;
}

ComponentSet FlatfileComponents(const StrongRecord& rec) {
  const int32_t c = rec.ChanCount;
  ComponentSet set;
  const int32_t group = rec.JmaGroup >= 1 && 3 * rec.JmaGroup <= c ? rec.JmaGroup : (c >= 3 ? 1 : 0);
  if (group >= 1 && SplitGroup(rec, 3 * (group - 1) + 1, set)) return set;
  set = {};
  // Fewer than three channels, or a group that does not split: the first channels by their labels.
  for (int32_t ch = 1; ch <= std::min(c, 3); ++ch) {
    if (IsVerticalLabel(rec.Label(ch))) {
      if (set.v == 0) set.v = ch;
    } else if (set.h1 == 0) {
      set.h1 = ch;
    } else if (set.h2 == 0) {
      set.h2 = ch;
    }
  }
  return set;
}

RecordMetrics ComputeMetrics(AppState& app, const std::vector<int32_t>& chans,
                             const std::vector<std::pair<int32_t, int32_t>>& pairs, const MetricsRequest& request,
                             UserInterface& ui) {
  const StrongRecord& rec = app.record;
  RecordMetrics m;
  m.periods = request.periods;
  m.ductilities = request.ductilities;
  m.durationLevel = request.durationLevel;
  m.dampingPercent = request.dampingPercent;
  if (rec.DataCount < 2 || rec.SampFreq < 1) return m;

  bool motion = false;
  try {
    BringSeriesUpToDate(app, KindVel, ui);
    motion = app.series.motionValid;
  } catch (const std::exception& e) {
    const ErrorInfo info = CurrentErrorInfo(e);
    m.motionError = "Err#" + std::to_string(info.number) + ": " + info.description;
  }

  int32_t n = rec.DataCount, np = static_cast<int32_t>(request.periods.size()), nstep = request.stepsPerPeriod;
  float dt = 1.0f / static_cast<float>(rec.SampFreq);
  const float h = request.dampingPercent / 100;
  const float f5 = 0.05f, f75 = 0.75f, f95 = 0.95f;
  // The pairs first: their walks give each of their channels' spectra too (angles 0 and 90).
  const std::vector<float> pct = {50.0f, 100.0f};
  int32_t npct = 2;
  const auto nps = static_cast<std::size_t>(np);
  std::vector<float> rotd(2 * nps), angle(nps), peaks(180 * nps);
  std::vector<std::pair<int32_t, const float*>> ownSpectra;  // channel, w^2 Sd at each period
  std::vector<std::vector<float>> pairPeaks;
  for (auto [x, y] : pairs) {
    if (x < 1 || y < 1 || x > rec.ChanCount || y > rec.ChanCount || np < 1) continue;
    if (calc::ROTDSPEC(&np, request.periods.data(), &h, &n, &dt, rec.Channel(x), rec.Channel(y), &npct, pct.data(),
                       rotd.data(), angle.data(), peaks.data(), &nstep) != 1)
      continue;
    PairMetrics p;
    p.x = x;
    p.y = y;
    p.rotd50.assign(rotd.begin(), rotd.begin() + np);
    p.rotd100.assign(rotd.begin() + np, rotd.end());
    p.angle100 = angle;
    const bool integrated = motion && std::max(x, y) <= app.series.motion.V.Cols();
    const float* vx = integrated ? app.series.motion.V.Column(x) : nullptr;
    const float* vy = integrated ? app.series.motion.V.Column(y) : nullptr;
    p.more = MeasurePair(rec.Channel(x), rec.Channel(y), vx, vy, n, dt);
    const float b = 40.0f;
    const int32_t nf = std::size(kEasFrequencies);
    p.eas.resize(std::size(kEasFrequencies));
    if (calc::EAS(&n, &dt, rec.Channel(x), rec.Channel(y), &b, &nf, kEasFrequencies, p.eas.data()) != 1) p.eas.clear();
    m.pairs.push_back(std::move(p));
    pairPeaks.emplace_back(peaks.begin(), peaks.begin() + static_cast<std::ptrdiff_t>(91 * nps));
  }
  for (std::size_t i = 0; i < pairPeaks.size(); ++i) {
    ownSpectra.emplace_back(m.pairs[i].x, pairPeaks[i].data());
    ownSpectra.emplace_back(m.pairs[i].y, pairPeaks[i].data() + 90 * nps);
  }

  std::vector<float> sd(nps), sv(nps), sa(nps), ve(nps);
  // The channels' constant-ductility spectra in one call, which shares the searches' work.
  std::vector<const float*> accs;
  for (int32_t ch : chans)
    if (ch >= 1 && ch <= rec.ChanCount) accs.push_back(rec.Channel(ch));
  std::vector<DuctilitySpectra> ductility =
      ComputeDuctilitySpectra(accs, n, dt, request.periods, request.ductilities, request.dampingPercent, 0);
  std::size_t done = 0;
  for (int32_t ch : chans) {
    if (ch < 1 || ch > rec.ChanCount) continue;
    const float* acc = rec.Channel(ch);
    ChannelMetrics c;
    c.ch = ch;
    c.pga = std::fabs(calc::GETPEAK(&n, acc));
    const auto i = static_cast<std::size_t>(ch - 1);
    if (motion && i < app.series.motion.PeakVel.size()) {
      c.pgv = std::fabs(app.series.motion.PeakVel[i]);
      c.pgd = std::fabs(app.series.motion.PeakDisp[i]);
    }
    c.arias = calc::ARIAS(&n, &dt, acc);
    c.cav = calc::CAV(&n, &dt, acc);
    c.d575 = calc::SIGDUR(&n, &dt, acc, &f5, &f75);
    c.d595 = calc::SIGDUR(&n, &dt, acc, &f5, &f95);
    c.psa.assign(nps, 0.0f);
    const auto own = std::find_if(ownSpectra.begin(), ownSpectra.end(), [&](const auto& o) { return o.first == ch; });
    if (own != ownSpectra.end()) {
      c.psa.assign(own->second, own->second + nps);
    } else if (np > 0 && calc::RESPECSUB(&np, request.periods.data(), &h, &n, &dt, acc, sd.data(), sv.data(),
                                         sa.data(), ve.data(), &nstep) == 1) {
      for (std::size_t k = 0; k < nps; ++k) {
        const float t = request.periods[k];
        // w rounded as the kernel rounds it.
        const double w = static_cast<float>(double{6.2831855f} / t);
        c.psa[k] = t > 0 ? static_cast<float>(w * w * sd[k]) : sa[k];
      }
    }
    const bool integrated = motion && ch <= app.series.motion.V.Cols();
    c.more = MeasureChannel(acc, integrated ? app.series.motion.V.Column(ch) : nullptr,
                            integrated ? app.series.motion.D.Column(ch) : nullptr, n, dt, request.durationLevel);
    c.ductility = std::move(ductility[done++]);
    m.channels.push_back(std::move(c));
  }
  return m;
}

}  // namespace sism
