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

// One displayed series: its label and its values (1-based view through data()).
struct Series {
  std::string label;
  const float* data = nullptr;
  int32_t count = 0;
  const float* other = nullptr;  // second component of an orbit
};

std::vector<Series> DisplayedSeries(const AppState& app, int32_t kind) {
  const GraphKindInfo& info = KindInfo(kind);
  const bool perChannel = info.source != SeriesSource::Orbit && info.source != SeriesSource::Relation;
  const std::vector<int32_t> chans = perChannel ? ChannelsToDraw(app) : std::vector<int32_t>{};
  std::vector<Series> list;
  for (const KindSeries& k : SeriesOfKind(app, kind, chans)) {
    std::string label = DisplayLabel(app, k.channel);
    if (info.source == SeriesSource::Orbit) label += "/" + DisplayLabel(app, k.other);
    if (info.source == SeriesSource::Relation) label = PairText(kind, label, DisplayLabel(app, k.other));
    if (info.source == SeriesSource::Eas) label = "EAS " + label + "," + DisplayLabel(app, k.other);
    label += CurveSuffix(app, k);
    list.push_back({label, k.data, k.count, k.otherData});
  }
  return list;
}

// Length of the horizontal axis of the kind.
int32_t AxisLength(const AppState& app, int32_t kind) {
  const GraphKindInfo& info = KindInfo(kind);
  const ComputedSeries& cs = app.series;
  switch (info.domain) {
    case IndexDomain::Samples:
      if (info.motion == 1) return std::min(app.record.DataCount, app.record.DataCapacity());
      return (info.motion == 2 ? cs.motion.V : cs.motion.D).Rows();
    case IndexDomain::HalfLag:
      return cs.fourier.NH / 2;
    case IndexDomain::SymmetricLag:
      return 2 * (cs.fourier.NH / 2);
    case IndexDomain::Period:
      return cs.response.NP;
    case IndexDomain::Listed: {
      const std::vector<float>* x = ListedAxis(app, kind);
      return x != nullptr ? static_cast<int32_t>(x->size()) : 0;
    }
    case IndexDomain::Frequency:
    case IndexDomain::None:
      break;
  }
  return cs.fourier.NH;
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
  const IndexDomain domain = KindInfo(kind).domain;
  if (domain == IndexDomain::Samples) {
    if (fs <= 0) return w;
    w = {clampIndex(std::ceil(from * fs - 1e-9) + 1), clampIndex(std::floor(to * fs + 1e-9) + 1)};
  } else if (domain == IndexDomain::Period || domain == IndexDomain::Listed) {
    const std::vector<float>& T = domain == IndexDomain::Listed ? *ListedAxis(app, kind) : app.series.response.T;
    w = {full.last + 1, 0};
    for (int32_t i = full.first; i <= full.last && static_cast<std::size_t>(i) <= T.size(); ++i) {
      const double t = T[static_cast<std::size_t>(i - 1)];
      if (t >= from && t <= to) {
        w.first = std::min(w.first, i);
        w.last = std::max(w.last, i);
      }
    }
  } else if (domain == IndexDomain::SymmetricLag) {
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
  const GraphKindInfo& info = KindInfo(kind);
  if (info.peaks == PeakSearch::None) return out;
  const char* format = PeakFormatOf(app, kind);
  const std::string valueUnit = info.peakUnit ? Unit(app, ValueAxisOf(app, kind)) : std::string();
  const std::string positionUnit = Unit(app, info.peakPositionAxis);
  const double fs = app.record.SampFreq;
  for (const Series& s : DisplayedSeries(app, kind)) {
    const int32_t i1 = std::max(window.first, 1);
    const int32_t i2 = std::min(window.last, s.count);
    if (s.data == nullptr || i2 < i1) continue;  // nothing of this series is visible
    float value = 0;
    int32_t pos = 0;
    std::string components;
    if (info.peaks == PeakSearch::Orbit) {
      std::vector<float> length(static_cast<std::size_t>(i2));
      for (int32_t i = i1; i <= i2; ++i) {
        const double x = s.data[i - 1], y = s.other[i - 1];
        length[static_cast<std::size_t>(i - 1)] = static_cast<float>(std::sqrt(x * x + y * y));
      }
      calc::FINDMAXAT(&i1, &i2, length.data(), &value, &pos);
      if (pos >= 1)
        components = " [x:" + FormatNumber(s.data[pos - 1], format) +
                     ", y:" + FormatNumber(s.other[pos - 1], format) + "]";
    } else if (info.peaks == PeakSearch::Peak) {
      calc::FINDPEAKAT(&i1, &i2, s.data, &value, &pos);
    } else {
      calc::FINDMAXAT(&i1, &i2, s.data, &value, &pos);
    }
    if (pos < 1) continue;
    std::string position;
    if (info.domain == IndexDomain::Samples) {
      position = NumberText(fs > 0 ? (pos - 1) / fs : 0.0);
    } else if (info.domain == IndexDomain::SymmetricLag) {
      const int32_t M = app.series.fourier.NH / 2;
      position = FormatNumber(fs > 0 ? (pos - M - 1) * 2.0 / fs : 0.0, "0.000");
    } else if (info.domain == IndexDomain::Period || info.domain == IndexDomain::Listed) {
      const std::vector<float>& T =
          info.domain == IndexDomain::Listed ? *ListedAxis(app, kind) : app.series.response.T;
      position = FormatNumber(
          static_cast<std::size_t>(pos) <= T.size() ? T[static_cast<std::size_t>(pos - 1)] : 0.0f, "0.000");
    } else {
      position = FormatNumber(static_cast<float>(pos - 1) * app.series.fourier.DF, "0.000");
    }
    out += s.label + ": " + FormatNumber(value, format) + valueUnit + components + " at " + position +
           positionUnit + std::string(kCrLf);
  }
  return out;
}

}  // namespace sism
