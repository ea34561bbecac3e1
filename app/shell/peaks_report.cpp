#include "app/shell/peaks_report.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/shell/properties_report.h"
#include "common/text.h"
#include "draw/draw_graph.h"
#include "sismcalc/binding/calc.h"

namespace sism {

namespace {

enum class Search { None, Peak, Max, Orbit };

struct KindRule {
  int32_t valueAxis = 0;  // 0: no unit
  int32_t positionAxis = 0;
  const char* format = "0.00";
  Search search = Search::None;
};

KindRule RuleOf(const AppState& app, int32_t kind) {
  const bool norm = app.calc.RespNormalize;
  switch (kind) {
    case 1:
      return {AxisAcc, AxisTime, "0.0", Search::Peak};
    case 2:
      return {AxisVel, AxisTime, "0.00", Search::Peak};
    case 3:
      return {AxisDisp, AxisTime, "0.000", Search::Peak};
    case 4:
      return {AxisFourier, AxisFrequency, "0.00", Search::Max};
    case 5:
      return {AxisPower, AxisFrequency, "0.00", Search::Max};
    case 7:
      return norm ? KindRule{AxisNormalizedSa, AxisPeriod, "0.00", Search::Max}
                  : KindRule{AxisAccResponse, AxisPeriod, "0.0", Search::Max};
    case 8:
      return {AxisVelResponse, AxisPeriod, "0.00", Search::Max};
    case 9:
      return {AxisDispResponse, AxisPeriod, "0.000", Search::Max};
    case 10:
      return norm ? KindRule{AxisNormalizedPSv, AxisPeriod, "0.000", Search::Max}
                  : KindRule{AxisPseudoVelResponse, AxisPeriod, "0.00", Search::Max};
    case 11:
      return {AxisEnergy, AxisPeriod, "0.00", Search::Max};
    case 12:
      return {AxisAcc, AxisTime, "0.0", Search::Orbit};
    case 13:
      return {AxisVel, AxisTime, "0.00", Search::Orbit};
    case 14:
      return {AxisDisp, AxisTime, "0.000", Search::Orbit};
    case 15:
      return {0, AxisFrequency, "0.00", Search::Max};
    case 17:
      return {AxisCrossSpectrum, AxisFrequency, "0.00", Search::Max};
    case 18:
      return {0, 0, "0.00", Search::Peak};
    case 20:
      return {0, AxisPeriod, "0.00", Search::Max};
    default:
      return {};
  }
}

// One displayed series: its label and its values (1-based view through data()).
struct Series {
  std::string label;
  const float* data = nullptr;
  int32_t count = 0;
  const float* other = nullptr;  // second component of an orbit
};

const char* PairJoin(int32_t kind) {
  return (kind == 15 || kind == 20) ? "/" : "*";
}

// The time-history column of kind 1, 2 or 3 for channel ch (null when not computed).
const float* MotionColumn(const AppState& app, int32_t kind, int32_t ch, int32_t& count) {
  const StrongRecord& rec = app.record;
  if (kind == 1) {
    count = std::min(rec.DataCount, rec.DataCapacity());
    return ch <= rec.AccChannels() ? rec.Channel(ch) : nullptr;
  }
  const SeriesMatrix& m = kind == 2 ? app.series.motion.V : app.series.motion.D;
  count = m.Rows();
  return ch <= m.Cols() && count > 0 ? m.Column(ch) : nullptr;
}

std::vector<Series> DisplayedSeries(const AppState& app, int32_t kind) {
  std::vector<Series> list;
  const ComputedSeries& cs = app.series;
  if (kind >= 1 && kind <= 11) {
    for (int32_t ch : ChannelsToDraw(app)) {
      Series s{DisplayLabel(app, ch)};
      if (kind <= 3) {
        s.data = MotionColumn(app, kind, ch, s.count);
      } else if (kind == 4 || kind == 5) {
        const SeriesMatrix& m = kind == 4 ? cs.fourier.A : cs.fourier.Pw;
        if (ch <= m.Cols() && m.Rows() > 0) s = {s.label, m.Column(ch), m.Rows()};
      } else if (kind >= 7) {
        if (ch <= cs.response.ChanCount && cs.response.NP > 0)
          s = {s.label, cs.response.Series(kind - 6, ch), cs.response.NP};
      }
      list.push_back(s);
    }
  } else if (kind >= 12 && kind <= 14) {
    const int32_t x = app.graph.OrbitComp1, y = app.graph.OrbitComp2;
    if (x >= 1 && y >= 1 && x <= app.record.ChanCount && y <= app.record.ChanCount) {
      Series s{DisplayLabel(app, x) + "/" + DisplayLabel(app, y)};
      int32_t nx = 0, ny = 0;
      s.data = MotionColumn(app, kind - 11, x, nx);
      s.other = MotionColumn(app, kind - 11, y, ny);
      s.count = std::min(nx, ny);
      list.push_back(s);
    }
  } else {
    for (const RelationPair& p : cs.relation.Pairs) {
      Series s{DisplayLabel(app, p.X) + PairJoin(kind) + DisplayLabel(app, p.Y)};
      const std::vector<float>* v = kind == 15   ? &p.Ratio
                                    : kind == 17 ? &p.CrossAmp
                                    : kind == 18 ? &p.CrossCorr
                                    : kind == 20 ? &p.RespRatio
                                                 : nullptr;
      if (v != nullptr && !v->empty()) s = {s.label, v->data(), static_cast<int32_t>(v->size())};
      list.push_back(s);
    }
  }
  return list;
}

// Length of the horizontal axis of the kind.
int32_t AxisLength(const AppState& app, int32_t kind) {
  const ComputedSeries& cs = app.series;
  if (kind <= 3 || (kind >= 12 && kind <= 14)) {
    int32_t n = 0;
    MotionColumn(app, kind <= 3 ? kind : kind - 11, 1, n);
    return kind == 1 ? std::min(app.record.DataCount, app.record.DataCapacity()) : n;
  }
  if (kind == 4 || kind == 5 || kind == 15 || kind == 17) return cs.fourier.NH;
  if (kind == 6) return cs.fourier.NH / 2;
  if (kind == 18) return 2 * (cs.fourier.NH / 2);
  if ((kind >= 7 && kind <= 11) || kind == 20) return cs.response.NP;
  return cs.fourier.NH;  // 16, 19
}

std::string Unit(const AppState& app, int32_t axis) {
  return axis > 0 ? app.graph.Axis[axis].Unit : std::string();
}

}  // namespace

IndexWindow FullIndexWindow(const AppState& app, int32_t kind) {
  return {1, AxisLength(app, kind)};
}

IndexWindow IndexWindowBetween(const AppState& app, int32_t kind, double from, double to) {
  const IndexWindow full = FullIndexWindow(app, kind);
  if (from > to) std::swap(from, to);
  IndexWindow w = full;
  auto clampIndex = [&](double v) {
    if (!std::isfinite(v)) return v < 0 ? full.first : full.last;
    return static_cast<int32_t>(
        std::clamp(v, static_cast<double>(full.first), static_cast<double>(full.last)));
  };
  const double fs = app.record.SampFreq;
  const FourierData& f = app.series.fourier;
  if (kind <= 3 || (kind >= 12 && kind <= 14)) {
    if (fs <= 0) return w;
    w = {clampIndex(std::ceil(from * fs - 1e-9) + 1), clampIndex(std::floor(to * fs + 1e-9) + 1)};
  } else if ((kind >= 7 && kind <= 11) || kind == 20) {
    const std::vector<float>& T = app.series.response.T;
    w = {full.last + 1, 0};
    for (int32_t i = full.first; i <= full.last && static_cast<std::size_t>(i) <= T.size(); ++i) {
      const double t = T[static_cast<std::size_t>(i - 1)];
      if (t >= from && t <= to) {
        w.first = std::min(w.first, i);
        w.last = std::max(w.last, i);
      }
    }
  } else if (kind == 18) {
    if (fs <= 0) return w;
    const int32_t M = f.NH / 2;
    const double step = 2.0 / fs;
    w = {clampIndex(std::ceil(from / step - 1e-9) + M + 1), clampIndex(std::floor(to / step + 1e-9) + M + 1)};
  } else {
    if (f.DF <= 0) return w;
    w = {clampIndex(std::ceil(from / f.DF - 1e-6) + 1), clampIndex(std::floor(to / f.DF + 1e-6) + 1)};
  }
  return w;
}

std::string PeaksReportText(const AppState& app, int32_t kind, IndexWindow window) {
  std::string out = "Peaks of " + ExpandedKindTitle(app, kind) + std::string(kCrLf);
  const KindRule rule = RuleOf(app, kind);
  if (rule.search == Search::None) return out;
  const std::string valueUnit = Unit(app, rule.valueAxis);
  const std::string positionUnit = Unit(app, rule.positionAxis);
  const double fs = app.record.SampFreq;
  for (const Series& s : DisplayedSeries(app, kind)) {
    const int32_t i1 = std::max(window.first, 1);
    const int32_t i2 = std::min(window.last, s.count);
    if (s.data == nullptr || i2 < i1) continue;  // nothing of this series is visible
    float value = 0;
    int32_t pos = 0;
    std::string components;
    if (rule.search == Search::Orbit) {
      std::vector<float> length(static_cast<std::size_t>(i2));
      for (int32_t i = i1; i <= i2; ++i) {
        const double x = s.data[i - 1], y = s.other[i - 1];
        length[static_cast<std::size_t>(i - 1)] = static_cast<float>(std::sqrt(x * x + y * y));
      }
      calc::FINDMAXAT(&i1, &i2, length.data(), &value, &pos);
      if (pos >= 1)
        components = " [x:" + FormatNumber(s.data[pos - 1], rule.format) +
                     ", y:" + FormatNumber(s.other[pos - 1], rule.format) + "]";
    } else if (rule.search == Search::Peak) {
      calc::FINDPEAKAT(&i1, &i2, s.data, &value, &pos);
    } else {
      calc::FINDMAXAT(&i1, &i2, s.data, &value, &pos);
    }
    if (pos < 1) continue;
    std::string position;
    if (kind <= 3 || (kind >= 12 && kind <= 14)) {
      position = NumberText(fs > 0 ? (pos - 1) / fs : 0.0);
    } else if (kind == 18) {
      const int32_t M = app.series.fourier.NH / 2;
      position = FormatNumber(fs > 0 ? (pos - M - 1) * 2.0 / fs : 0.0, "0.000");
    } else if ((kind >= 7 && kind <= 11) || kind == 20) {
      const std::vector<float>& T = app.series.response.T;
      position = FormatNumber(
          static_cast<std::size_t>(pos) <= T.size() ? T[static_cast<std::size_t>(pos - 1)] : 0.0f, "0.000");
    } else {
      position = FormatNumber(static_cast<float>(pos - 1) * app.series.fourier.DF, "0.000");
    }
    out += s.label + ": " + FormatNumber(value, rule.format) + valueUnit + components + " at " + position +
           positionUnit + std::string(kCrLf);
  }
  return out;
}

}  // namespace sism
