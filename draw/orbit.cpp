#include "draw/orbit.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "common/text.h"
#include "draw/axes.h"
#include "draw/page_styles.h"
#include "record/display_text.h"
#include "state/app_state.h"
#include "state/graph_kinds.h"

namespace sism {

namespace {

constexpr int32_t kOrbitAxisFlags = AxisByPainter | AxisTicks;

std::string WithoutParentheses(const std::string& unit) {
  if (unit.size() >= 2 && unit.front() == '(' && unit.back() == ')') return unit.substr(1, unit.size() - 2);
  return unit;
}

std::string LabelOf(const StrongRecord& rec, int32_t ch) {
  return ch >= 1 && ch <= static_cast<int32_t>(rec.Labels().size()) ? DisplayLabelOf(rec, ch) : std::string();
}

float LargestMagnitude(const float* v, int32_t n) {
  float m = 0;
  if (v == nullptr) return m;
  for (int32_t i = 0; i < n; ++i)
    if (std::isfinite(v[i])) m = std::max(m, std::fabs(v[i]));
  return m;
}

// Both axes run -M..M, so the orbit keeps its shape.
AxisRecord AmplitudeAxis(const GraphSettings& gs, int32_t type, float largest) {
  const AxisSettings& setting = gs.Axis[static_cast<std::size_t>(type)];
  float m = setting.Specify ? std::fabs(setting.Max) : RoundAxisLimit(largest);
  // A specified zero or unusable maximum falls back to the data; flat data gets ±1.
  if (!std::isfinite(m) || m == 0) m = RoundAxisLimit(largest);
  if (!std::isfinite(m) || m == 0) m = 1;
  AxisRecord a;
  a.Flags = kOrbitAxisFlags | GridBits(gs);
  a.Max = m;
  a.Min = -m;
  a.LabelStep = m;
  a.TickStep = TickStepFor(m);
  SanitizeAxis(a);
  return a;
}

int32_t Clamped(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, -1'000'000'000, 1'000'000'000));
}

}  // namespace

OrbitLayout OrbitWindows(const AppState& app) {
  const GraphSettings& gs = app.graph;
  const int64_t n = std::max(app.record.DataCount, 0);
  const double f = app.record.SampFreq;
  OrbitLayout layout;
  OrbitWindow one;
  one.first = 1;
  one.last = static_cast<int32_t>(n);
  one.xNumbers = one.yNumbers = true;

  if (gs.OrbitTime == 1) {
    const AxisSettings& t = gs.Axis[AxisTime];
    if (t.Specify) {
      one.first = std::max(static_cast<int32_t>(std::min<int64_t>(RoundCoord(t.Min * f + 1), n)), 1);
      one.last = static_cast<int32_t>(std::min<int64_t>(RoundCoord(t.Max * f), n));
    }
  } else if (gs.OrbitTime == 2) {
    // The same arithmetic as the page geometry, so the grid fills the page it sized.
    const int64_t s0 = RoundCoord(gs.OrbitStart * f + 1);
    const int64_t s1 = std::min<int64_t>(RoundCoord(gs.OrbitEnd * f), n);
    const int64_t step = RoundCoord(gs.OrbitInt * f);
    if (step < 1 || s1 < s0) {
      // No sensible windows: one plot of what there is between start and end.
      one.first = Clamped(std::max<int64_t>(s0, 1));
      one.last = Clamped(s1);
    } else {
      const int64_t total = (s1 - s0) / step + 1;
      // The grid holds only the windows drawn, as the page is sized for them.
      const int64_t m = std::min<int64_t>(total, kMaxOrbitWindows);
      int64_t c = m, r = 1;
      if (!(m < gs.OrbitCols || gs.OrbitCols < 1)) {
        c = gs.OrbitCols;
        r = (m - 1) / c + 1;
      }
      layout.columns = Clamped(c);
      layout.rows = Clamped(r);
      layout.total = Clamped(total);
      const int64_t drawn = m;
      for (int64_t k = 1; k <= drawn; ++k) {
        OrbitWindow w;
        w.first = Clamped(std::max<int64_t>(s0 + (k - 1) * step, 1));
        w.last = Clamped(std::min(s0 + k * step - 1, s1));
        w.column = static_cast<int32_t>((k - 1) % c + 1);
        w.row = static_cast<int32_t>((k - 1) / c + 1);
        w.xNumbers = k + c > drawn;  // nothing drawn in the cell below
        w.yNumbers = w.column == 1;
        layout.windows.push_back(w);
      }
      return layout;
    }
  }
  layout.windows.push_back(one);
  return layout;
}

void OrbitPainter(PaintContext& c) {
  const GraphKindInfo& info = KindInfo(c.kind);
  if (info.page != PageForm::Orbit) return;
  const AppState& app = c.app;
  const GraphSettings& gs = app.graph;
  const StrongRecord& rec = app.record;
  const int32_t chX = gs.OrbitComp1, chY = gs.OrbitComp2;
  if (chX < 1 || chY < 1 || chX > rec.ChanCount || chY > rec.ChanCount) return;
  const std::vector<KindSeries> series = SeriesOfKind(app, c.kind, {});
  if (series.empty()) return;
  const KindSeries& s = series.front();
  // Integrated series may hold padding rows past the record: they are no part of the orbit.
  const int32_t count = std::clamp(s.count, 0, std::max(rec.DataCount, 0));

  GraphFrame& frame = c.frame;
  const int32_t left0 = frame.Left, top0 = frame.Top;
  const LineRecord frameLineIn = frame.FrameLine;
  const RgbColor backIn = frame.BackColor;
  const FontRecord titleFontIn = frame.TitleFont;

  const float largest = std::max(LargestMagnitude(s.data, count), LargestMagnitude(s.otherData, count));
  const AxisRecord axis = AmplitudeAxis(gs, info.valueAxis, largest);
  AxisRecord xAxis = axis, yAxis = axis;
  xAxis.Title = LabelOf(rec, chX);
  yAxis.Title = LabelOf(rec, chY);

  frame.XData.clear();
  frame.YData.clear();
  if (s.data != nullptr && s.otherData != nullptr) {
    frame.XData.assign(s.data, s.data + count);
    frame.YData.assign(s.otherData, s.otherData + count);
  }
  frame.Step = 1;
  const LineSettings firstLine = WaveLineOf(gs, 1);
  frame.SeriesLine = LineRecord{firstLine.Color, static_cast<float>(firstLine.Width * 100.0), PenSolid};
  frame.Title = Expand(KindTitleTemplate(app, c.kind), c.facts);

  const OrbitLayout layout = OrbitWindows(app);
  const double f = rec.SampFreq;
  const std::string unit = WithoutParentheses(gs.Axis[AxisTime].Unit);
  const int32_t legendFlags = gs.LegendPosition | LegendNoBox | LegendNoSample;
  const double pitchX = static_cast<double>(frame.Width) + gs.WaveSpace * 100.0;
  const double pitchY = static_cast<double>(frame.Height) + gs.WaveSpace * 100.0;

  for (std::size_t k = 0; k < layout.windows.size(); ++k) {
    const OrbitWindow& w = layout.windows[k];
    frame.Left = RoundCoord(left0 + (w.column - 1) * pitchX);
    frame.Top = RoundCoord(top0 + (w.row - 1) * pitchY);
    frame.X = xAxis;
    frame.Y = yAxis;
    if (w.xNumbers) frame.X.Flags |= AxisNumbers;
    if (w.yNumbers) frame.Y.Flags |= AxisNumbers;
    frame.First = w.first;
    frame.Last = w.last;

    frame.FrameLine = PageLine(gs.Line[1]);
    frame.BackColor = gs.BackColor[1];
    DrawFrameAndAxes(c.gx, frame);
    PlotSeries(c.gx, frame);
    frame.Title.clear();  // the graph title over the first window only

    if (w.last < w.first || !(f > 0)) continue;  // an empty window has no times to name
    LegendEntry entry;
    entry.Line = frame.SeriesLine;
    entry.Text = NumberText((w.first - 1) / f) + "-" + NumberText(w.last / f) + (unit.empty() ? "" : " " + unit);
    if (k + 1 == layout.windows.size() && layout.total > static_cast<int32_t>(layout.windows.size()))
      entry.Text += " (" + std::to_string(layout.windows.size()) + " of " + std::to_string(layout.total) + " shown)";
    frame.FrameLine = PageLine(gs.Line[3]);
    frame.BackColor = gs.BackColor[3];
    frame.TitleFont = PageFont(gs.Font[3]);
    DrawLegend(c.gx, frame, LegendSpec{legendFlags, {entry}});
  }

  frame.Left = left0;
  frame.Top = top0;
  frame.FrameLine = frameLineIn;
  frame.BackColor = backIn;
  frame.TitleFont = titleFontIn;
}

}  // namespace sism
