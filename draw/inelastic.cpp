#include "draw/inelastic.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/strings.h"
#include "common/text.h"
#include "draw/axes.h"
#include "draw/page_styles.h"
#include "draw/spectrum.h"
#include "draw/templates.h"
#include "record/display_text.h"
#include "state/app_state.h"
#include "state/graph_kinds.h"

namespace sism {

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

std::string ChannelLabel(const AppState& app, int32_t ch) {
  return ch >= 1 && ch <= static_cast<int32_t>(app.record.Labels().size()) ? DisplayLabelOf(app.record, ch)
                                                                           : std::string();
}

void Background(PaintContext& c) {
  c.frame.FrameLine = PageLine(c.app.graph.Line[1]);
  c.frame.BackColor = c.app.graph.BackColor[1];
}

void Legend(PaintContext& c, const LegendSpec& legend) {
  const GraphSettings& gs = c.app.graph;
  c.frame.FrameLine = PageLine(gs.Line[3]);
  c.frame.BackColor = gs.BackColor[3];
  c.frame.TitleFont = PageFont(gs.Font[3]);
  DrawLegend(c.gx, c.frame, legend);
}

void CentredText(PaintContext& c, const std::string& text) {
  c.gx.SaveProperties();
  LoadFont(c.gx, c.frame.AxisFont);
  c.gx.SetTextAlign(30);  // centred on its baseline
  c.gx.TextOut(c.frame.Left + c.frame.Width / 2, c.frame.Top + c.frame.Height / 2, text);
  c.gx.RestoreProperties();
}

}  // namespace

AxisRecord DuctilityValueAxis(const AppState& app, float largest) {
  const int32_t type = ValueAxisOf(app, KindDuctility);
  // R starts at 1: on an automatic log axis a decade and a bit below its top are enough.
  AxisRecord a = SpectrumValueAxis(app.graph, type, largest, type == AxisResponseRatio ? 20.0f : 1000.0f);
  // R is a ratio; the other quantities carry the unit of the response axis they share.
  const std::string unit = type == AxisResponseRatio ? std::string() : " " + app.graph.Axis[type].Unit;
  a.Title = DuctilityQuantityName(app.calc.DuctilityQuantity) + unit;
  return a;
}

LineSettings DuctilityLine(const GraphSettings& gs, int32_t curve, int32_t position) {
  LineSettings line = WaveLineOf(gs, position);
  line.Color = WaveLineOf(gs, curve).Color;
  constexpr int32_t kStyles[] = {PenSolid, PenDash, PenDot, PenDashDot, PenDashDotDot};
  line.Style = kStyles[(std::max(position, 1) - 1) % 5];
  return line;
}

std::string EasEmptyText() {
  return Str(7650);
}

void DuctilityPainter(PaintContext& c) {
  const AppState& app = c.app;
  const GraphSettings& gs = app.graph;
  const DuctilityData& d = app.series.ductility;
  GraphFrame& frame = c.frame;
  frame.Title = Expand(KindTitleTemplate(app, c.kind), c.facts) + " - " + NumberText(d.Damping) +
                "%, alpha " + NumberText(d.Alpha);
  const SpectrumXAxis xs = PeriodAxis(gs, d.T);
  const std::vector<KindSeries> series = SeriesOfKind(app, c.kind, c.channels);
  float largest = 0;
  for (const KindSeries& s : series) largest = std::max(largest, LargestOfSeries(s.data, s.count));
  frame.Y = DuctilityValueAxis(app, largest);
  frame.X = xs.axis;
  FitLeftMargin(c.gx, frame);
  frame.XData = xs.x;
  frame.First = xs.first;
  frame.Last = xs.last;
  frame.Step = 1;
  Background(c);
  DrawFrameAndAxes(c.gx, frame);

  LegendSpec legend{gs.LegendPosition, {}};
  frame.YData.assign(xs.x.size(), kNaN);
  int32_t position = 0, lastChannel = -1;
  for (const KindSeries& s : series) {
    if (s.channel != lastChannel) ++position, lastChannel = s.channel;
    const LineSettings line = DuctilityLine(gs, s.curve, position);
    if (!(line.Width > 0) || s.data == nullptr) continue;  // a component switched off, or refused
    for (std::size_t i = 0; i < frame.YData.size(); ++i)
      frame.YData[i] = static_cast<int32_t>(i) < s.count ? s.data[i] : kNaN;
    frame.SeriesLine = PageLine(line);
    PlotSeries(c.gx, frame);
    LegendEntry entry;
    entry.Line = frame.SeriesLine;
    entry.Text = ChannelLabel(app, s.channel) + CurveSuffix(app, s);
    legend.Entries.push_back(entry);
  }
  Legend(c, legend);
}

void EasPainter(PaintContext& c) {
  const AppState& app = c.app;
  const GraphSettings& gs = app.graph;
  const EasData& e = app.series.eas;
  GraphFrame& frame = c.frame;
  frame.Title = Expand(KindTitleTemplate(app, c.kind), c.facts);
  if (e.B > 0) frame.Title += " - Konno-Ohmachi b=" + NumberText(e.B);
  frame.X = SpectrumHorizontalAxis(gs, AxisFrequency);
  frame.Y = SpectrumValueAxis(gs, AxisFourier, LargestOfSeries(e.A.data(), static_cast<int32_t>(e.A.size())));
  FitLeftMargin(c.gx, frame);
  frame.XData = e.F;
  frame.First = 1;
  frame.Last = static_cast<int32_t>(e.F.size());
  frame.Step = 1;
  Background(c);
  DrawFrameAndAxes(c.gx, frame);
  if (e.X < 1 || e.A.empty()) {
    frame.Last = 0;
    CentredText(c, EasEmptyText());
    return;
  }
  // The points outside the axis are left to the plot's clipping, as the Fourier kind's are.
  frame.YData = e.A;
  frame.SeriesLine = PageLine(WaveLineOf(gs, 1));
  PlotSeries(c.gx, frame);
  LegendEntry entry;
  entry.Line = frame.SeriesLine;
  entry.Text = "EAS " + ChannelLabel(app, e.X) + "," + ChannelLabel(app, e.Y);
  Legend(c, LegendSpec{gs.LegendPosition, {entry}});
}

}  // namespace sism
