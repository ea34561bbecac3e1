#include "draw/snr.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "draw/axes.h"
#include "draw/page_styles.h"
#include "draw/pointer.h"
#include "draw/templates.h"
#include "record/display_text.h"
#include "state/app_state.h"

namespace sism {

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kDecadesShown = 5;

AxisRecord LogAxis(const GraphSettings& gs, int32_t type, float min, float max) {
  const AxisSettings& s = gs.Axis[static_cast<std::size_t>(type)];
  AxisRecord a;
  a.Flags = AxisByPainter | AxisTicks | AxisNumbers | AxisLog | GridBits(gs);
  a.Title = s.Label + " " + s.Unit;
  a.Min = std::pow(10.0f, std::floor(std::log10(min)));
  a.Max = std::pow(10.0f, std::ceil(std::log10(max)));
  if (!(a.Max > a.Min)) a.Max = a.Min * 10;
  SanitizeAxis(a);
  return a;
}

// A vertical line across the plot at frequency f, when the axis holds it.
void Corner(cGraphicExtensions& gx, const GraphFrame& frame, float f) {
  const double x = SnrPageX(frame, f);
  if (!std::isfinite(x)) return;
  const auto xi = static_cast<int32_t>(std::lround(x));
  gx.DrawLine(xi, frame.Top, xi, frame.Top + frame.Height);
}

// Three significant digits: 0.0734, 0.25, 12.5.
float Rounded(double f) {
  if (!(f > 0) || !std::isfinite(f)) return kNaN;
  const double scale = std::pow(10.0, 2 - std::floor(std::log10(f)));
  return static_cast<float>(std::round(f * scale) / scale);
}

}  // namespace

std::string SnrEmptyText() {
  return "No processing has been run on this record: use Tool > Process record.";
}

void SnrAxes(const GraphSettings& gs, const ProcessingResult& r, AxisRecord& x, AxisRecord& y) {
  float fLo = std::numeric_limits<float>::max(), fHi = 0, top = 0;
  for (const ChannelProcessing& c : r.channels) {
    for (std::size_t i = 0; i < c.freqs.size(); ++i) {
      if (!(c.freqs[i] > 0)) continue;
      fLo = std::min(fLo, c.freqs[i]);
      fHi = std::max(fHi, c.freqs[i]);
      if (i < c.signal.size() && std::isfinite(c.signal[i])) top = std::max(top, c.signal[i]);
      if (i < c.noise.size() && std::isfinite(c.noise[i])) top = std::max(top, c.noise[i]);
    }
  }
  if (fHi <= 0) {
    fLo = 0.01f;
    fHi = 50;
  }
  if (top <= 0) top = 1;
  x = LogAxis(gs, AxisFrequency, fLo, fHi);
  const AxisRecord up = LogAxis(gs, AxisFourier, top, top);
  y = LogAxis(gs, AxisFourier, up.Max / std::pow(10.0f, kDecadesShown), top);
}

void SnrPainter(PaintContext& c) {
  const AppState& app = c.app;
  const GraphSettings& gs = app.graph;
  GraphFrame& frame = c.frame;
  frame.Title = Expand(KindTitleTemplate(app, c.kind), c.facts);
  const ProcessingResult empty;
  const ProcessingResult& r = app.processed ? app.processed->result : empty;
  SnrAxes(gs, r, frame.X, frame.Y);
  // Room at the left for the amplitude numbers and the axis title beside them.
  FitLeftMargin(c.gx, frame);
  frame.FrameLine = PageLine(gs.Line[1]);
  frame.BackColor = gs.BackColor[1];
  frame.XData.clear();
  frame.YData.clear();
  frame.First = 1;
  frame.Last = 0;
  DrawFrameAndAxes(c.gx, frame);

  if (!app.processed) {
    c.gx.SaveProperties();
    LoadFont(c.gx, frame.AxisFont);
    c.gx.SetTextAlign(30);  // centred on its baseline
    c.gx.TextOut(frame.Left + frame.Width / 2, frame.Top + frame.Height / 2, SnrEmptyText());
    c.gx.RestoreProperties();
    return;
  }

  LegendSpec legend{gs.LegendPosition, {}};
  int32_t j = 0;
  for (int32_t ch : c.channels) {
    const ChannelProcessing* p = r.Channel(ch);
    ++j;
    if (p == nullptr || p->freqs.empty()) continue;
    const LineSettings line = WaveLineOf(gs, j);
    if (!(line.Width > 0)) continue;  // a component switched off
    const std::string label = DisplayLabelOf(app.record, ch);
    frame.XData = p->freqs;
    frame.First = 1;
    frame.Last = static_cast<int32_t>(p->freqs.size());
    frame.Step = 1;
    for (const bool noise : {false, true}) {
      const std::vector<float>& v = noise ? p->noise : p->signal;
      frame.YData.assign(p->freqs.size(), kNaN);
      std::copy_n(v.begin(), std::min(v.size(), frame.YData.size()), frame.YData.begin());
      frame.SeriesLine = PageLine(line);
      if (noise) frame.SeriesLine.Style = PenDash;
      PlotSeries(c.gx, frame);
      LegendEntry entry;
      entry.Line = frame.SeriesLine;
      entry.Text = label + (noise ? " noise" : " signal");
      legend.Entries.push_back(entry);
    }
  }
  // The corners over every spectrum, where the mouse can take them.
  for (const SnrCornerLine& corner : SnrCornerLines(gs, r, c.channels)) {
    const auto at = std::find(c.channels.begin(), c.channels.end(), corner.ch) - c.channels.begin();
    c.gx.SaveProperties();
    c.gx.SetPenColor(static_cast<Rgb>(WaveLineOf(gs, static_cast<int32_t>(at) + 1).Color));
    c.gx.SetPenWidth(0);
    c.gx.SetPenStyle(PenDot);
    Corner(c.gx, frame, corner.frequency);
    c.gx.RestoreProperties();
  }
  frame.FrameLine = PageLine(gs.Line[3]);
  frame.BackColor = gs.BackColor[3];
  frame.TitleFont = PageFont(gs.Font[3]);
  DrawLegend(c.gx, frame, legend);
}

std::vector<SnrCornerLine> SnrCornerLines(const GraphSettings& gs, const ProcessingResult& r,
                                          const std::vector<int32_t>& channels) {
  std::vector<SnrCornerLine> lines;
  int32_t j = 0;
  for (int32_t ch : channels) {
    ++j;
    const ChannelProcessing* p = r.Channel(ch);
    if (p == nullptr || p->freqs.empty() || !(WaveLineOf(gs, j).Width > 0)) continue;
    if (p->highPass > 0) lines.push_back({ch, false, p->highPass});
    if (p->lowPass > 0) lines.push_back({ch, true, p->lowPass});
  }
  return lines;
}

double SnrPageX(const GraphFrame& frame, double f) {
  if (!(f >= frame.X.Min && f <= frame.X.Max)) return kNaN;
  return AxisPosition(frame.X, f, frame.Left, frame.Width, false);
}

std::optional<SnrCornerLine> SnrCornerNear(const GraphFrame& frame, const std::vector<SnrCornerLine>& lines,
                                           double x, double y, double reach) {
  if (!(y >= frame.Top && y <= static_cast<double>(frame.Top) + frame.Height)) return std::nullopt;
  std::optional<SnrCornerLine> best;
  double nearest = reach;
  for (const SnrCornerLine& line : lines) {
    const double d = std::fabs(SnrPageX(frame, line.frequency) - x);
    if (d <= nearest && (!best || d < nearest)) {
      best = line;
      nearest = d;
    }
  }
  return best;
}

float SnrDraggedCorner(const GraphFrame& frame, const SnrCornerLine& line, const ChannelProcessing& c, double x) {
  const double left = frame.Left, right = static_cast<double>(frame.Left) + frame.Width;
  if (!std::isfinite(x) || frame.Width <= 0) return kNaN;
  double f = AxisValueAt(frame.X, std::clamp(x, left, right), frame.Left, frame.Width, false);
  if (!std::isfinite(f)) return kNaN;
  if (!c.freqs.empty()) f = std::clamp(f, static_cast<double>(c.freqs.front()), static_cast<double>(c.freqs.back()));
  const double gap = std::pow(10.0, 1.0 / 6);  // a band narrower than this is no band
  if (line.lowPass && c.highPass > 0) f = std::max(f, c.highPass * gap);
  if (!line.lowPass && c.lowPass > 0) f = std::min(f, c.lowPass / gap);
  return Rounded(f);
}

}  // namespace sism
