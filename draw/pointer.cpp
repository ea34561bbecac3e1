#include "draw/pointer.h"

#include <cmath>
#include <limits>
#include <vector>

#include "common/text.h"
#include "draw/axes.h"
#include "record/display_text.h"
#include "state/app_state.h"
#include "state/graph_kinds.h"

namespace sism {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::string Number(double v) {
  const double a = std::fabs(v);
  if (a != 0 && (a < 0.01 || a >= 1e6)) return FormatNumber(v, "0.000e+0");
  return FormatNumber(v, a >= 100 ? "#0.0#" : "#0.0###");
}

bool InsideHorizontally(const GraphFrame& f, double ux) {
  return f.Width > 0 && ux >= f.Left && ux <= static_cast<double>(f.Left) + f.Width;
}

std::string LabelOf(const AppState& app, int32_t ch) {
  return ch >= 1 && ch <= static_cast<int32_t>(app.record.Labels().size()) ? DisplayLabelOf(app.record, ch)
                                                                           : std::string();
}

// The strip of a time-history page under page y (0-based), or -1.
int StripAt(const AppState& app, const DrawSession& s, double uy) {
  const GraphFrame& f = s.screenFrame;
  const double pitch = static_cast<double>(f.Height) + app.graph.WaveSpace * 100.0;
  if (f.Height <= 0 || !(pitch > 0) || uy < f.Top) return -1;
  const auto j = static_cast<int64_t>(std::floor((uy - f.Top) / pitch));
  if (j >= static_cast<int64_t>(s.screenChannels.size())) return -1;
  if (uy - f.Top - static_cast<double>(j) * pitch > f.Height) return -1;  // in the gap between strips
  return static_cast<int>(j);
}

// The element of the frame's series nearest to page x `ux` (whose axis value is `xv`):
// the x values run one way (frequencies up, periods down), so a binary search finds the
// two around it. -1 when there is none.
int64_t NearestElement(const GraphFrame& f, double xv, double ux) {
  const int64_t first = std::max<int64_t>(f.First, 1);
  const int64_t last = std::min<int64_t>(f.Last, static_cast<int64_t>(f.XData.size()));
  if (last < first) return -1;
  auto x = [&](int64_t i) { return static_cast<double>(f.XData[static_cast<std::size_t>(i - 1)]); };
  const bool rising = x(last) >= x(first);
  int64_t lo = first, hi = last;  // the first element at or past xv in the series' direction
  while (lo < hi) {
    const int64_t mid = lo + (hi - lo) / 2;
    if (rising ? x(mid) < xv : x(mid) > xv)
      lo = mid + 1;
    else
      hi = mid;
  }
  int64_t best = -1;
  double distance = std::numeric_limits<double>::infinity();
  for (int64_t i : {lo - 1, lo}) {
    if (i < first || i > last) continue;
    const double p = AxisPosition(f.X, x(i), f.Left, f.Width, false);
    if (std::isfinite(p) && std::fabs(p - ux) < distance) {
      distance = std::fabs(p - ux);
      best = i;
    }
  }
  return best;
}

}  // namespace

double AxisValueAt(const AxisRecord& a, double pos, int32_t start, int32_t length, bool vertical) {
  if (!std::isfinite(pos) || length <= 0) return kNaN;
  double t = (pos - start) / length;  // 0 at the minimum's end
  if (vertical) t = 1 - t;
  double v;
  if (a.Flags & AxisLog) {
    if (!(a.Min > 0) || !(a.Max > 0)) return kNaN;
    v = a.Min * std::exp(t * std::log(static_cast<double>(a.Max) / a.Min));
  } else {
    v = a.Min + t * (static_cast<double>(a.Max) - a.Min);
  }
  return std::isfinite(v) ? v : kNaN;
}

double PageFromPixel(const DrawSession& session, double pixel) {
  return pixel * session.screenUnitsPerPixel;
}

double AxisValueAtPixel(const DrawSession& s, double x) {
  const GraphFrame& f = s.screenFrame;
  if (!(s.screenUnitsPerPixel > 0)) return kNaN;
  const double ux = PageFromPixel(s, x);
  if (!InsideHorizontally(f, ux)) return kNaN;
  return AxisValueAt(f.X, ux, f.Left, f.Width, false);
}

std::string PointerReadout(const AppState& app, const DrawSession& s, double x, double y) {
  const int32_t kind = app.view.GraphKind;
  const GraphFrame& f = s.screenFrame;
  if (!(s.screenUnitsPerPixel > 0) || app.record.ChanCount <= 0) return {};
  const double ux = PageFromPixel(s, x), uy = PageFromPixel(s, y);
  if (!InsideHorizontally(f, ux)) return {};
  const double xv = AxisValueAt(f.X, ux, f.Left, f.Width, false);
  if (!std::isfinite(xv)) return {};
  const std::string xText = f.X.Title + " " + Number(xv);

  switch (PageFormOf(kind)) {
    case PageForm::Wave: {
      const int j = StripAt(app, s, uy);
      if (j < 0) return {};
      const int32_t ch = s.screenChannels[static_cast<std::size_t>(j)];
      const std::vector<KindSeries> series = SeriesOfKind(app, kind, std::vector<int32_t>{ch});
      std::string text = LabelOf(app, ch) + "   " + xText;
      const double i = std::nearbyint(xv * app.record.SampFreq) + 1;  // sample 1 is at 0 s
      if (!series.empty() && series[0].data != nullptr && i >= 1 && i <= series[0].count)
        text += "   " + f.Y.Title + " " + Number(series[0].data[static_cast<std::size_t>(i) - 1]);
      return text;
    }
    case PageForm::Spectrum: {
      if (uy < f.Top || uy > static_cast<double>(f.Top) + f.Height) return {};
      const int64_t best = NearestElement(f, xv, ux);
      if (best < 1) return {};
      // The series whose value there lies nearest to the pointer.
      const std::vector<KindSeries> series = SeriesOfKind(app, kind, s.screenChannels);
      const KindSeries* nearest = nullptr;
      double value = 0, distance = std::numeric_limits<double>::infinity();
      for (const KindSeries& k : series) {
        if (k.data == nullptr || best > k.count) continue;
        const double v = k.data[static_cast<std::size_t>(best - 1)];
        const double p = AxisPosition(f.Y, v, f.Top, f.Height, true);
        if (std::isfinite(p) && std::fabs(p - uy) < distance) {
          distance = std::fabs(p - uy);
          nearest = &k;
          value = v;
        }
      }
      const std::string at = f.X.Title + " " + Number(f.XData[static_cast<std::size_t>(best - 1)]);
      if (nearest == nullptr) return at;
      std::string label = LabelOf(app, nearest->channel);
      if (IsRelationKind(kind)) label = PairText(kind, label, LabelOf(app, nearest->other));
      if (kind == KindEas) label = "EAS " + label + "," + LabelOf(app, nearest->other);
      label += CurveSuffix(app, *nearest);
      return label + "   " + at + "   " + f.Y.Title + " " + Number(value);
    }
    case PageForm::Orbit:
    case PageForm::Report:
      break;
  }
  return {};
}

}  // namespace sism
