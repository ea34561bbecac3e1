#include "draw/spectrum.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/text.h"
#include "draw/axes.h"
#include "draw/page_styles.h"
#include "draw/templates.h"
#include "record/display_text.h"
#include "sismcalc/binding/calc.h"
#include "state/graph_kinds.h"

namespace sism {

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr double kTwoPi = 6.2831853072;
constexpr int32_t kSpectrumAxisFlags = AxisByPainter | AxisTicks | AxisNumbers;

// Whole part of a quotient, kept within the index range (NaN and overflow give `limit`).
int32_t WholePart(double v, int32_t limit) {
  if (!std::isfinite(v) || v > limit) return limit;
  if (v < -1) return -1;
  return static_cast<int32_t>(std::floor(v));
}

AxisRecord AxisFromSetting(const GraphSettings& gs, int32_t type) {
  AxisRecord a;
  const AxisSettings& s = gs.Axis[static_cast<std::size_t>(type)];
  a.Flags = kSpectrumAxisFlags | GridBits(gs);
  a.Title = s.Label + " " + s.Unit;
  return a;
}

void SetSteps(AxisRecord& a) {
  a.LabelStep = TickStepFor(a.Max);
  a.TickStep = TickStepFor(a.LabelStep);
  SanitizeAxis(a);
}

// The horizontal axis from its settings: logarithmic between the settings' limits, or
// linear from 0 to the settings' maximum.
AxisRecord HorizontalAxis(const GraphSettings& gs, int32_t type) {
  AxisRecord a = AxisFromSetting(gs, type);
  const AxisSettings& s = gs.Axis[static_cast<std::size_t>(type)];
  a.Max = s.Max;
  if (s.Log) {
    a.Min = s.Min;
    a.Flags |= AxisLog;
  } else {
    a.Min = 0;
  }
  SetSteps(a);
  return a;
}


// A point `s` along the line from (x1, y1) towards (x2, y2) of length `len`.
struct Point {
  double x, y;
};
Point Along(const TripartiteLine& l, double s, double len) {
  const double t = len > 0 ? s / len : 0;
  return {l.x1 + (l.x2 - l.x1) * t, l.y1 + (l.y2 - l.y1) * t};
}

}  // namespace

AxisRecord SpectrumHorizontalAxis(const GraphSettings& gs, int32_t type) {
  return HorizontalAxis(gs, type);
}

float LargestOfSeries(const float* v, int32_t n) {
  if (v == nullptr || n < 1) return 0;
  const int32_t one = 1;
  float m = 0;
  int32_t at = 0;
  calc::FINDMAXAT(&one, &n, v, &m, &at);
  return std::isfinite(m) ? m : 0.0f;
}

SpectrumXAxis FrequencyOrPeriodAxis(const GraphSettings& gs, const FourierData& f) {
  SpectrumXAxis r;
  const bool period = gs.SpectraOnPeriod;
  r.axis = HorizontalAxis(gs, period ? AxisPeriod : AxisFrequency);
  if (f.NH < 1 || !(f.DF > 0)) return r;  // not computed yet
  // In single precision like the axis, so that 10 s at 0.05 Hz is exactly 2 steps.
  const float df = f.DF;
  const float lo = r.axis.Flags & AxisLog ? r.axis.Min : 0.0f;
  const float hi = r.axis.Max;
  if (!period) {
    r.first = std::min(WholePart(lo / df, f.NH) + 2, f.NH);
    r.last = std::min(WholePart(hi / df, f.NH) - 1, f.NH);
  } else {
    r.first = std::max(WholePart(1.0f / (hi * df), f.NH) + 2, 2);
    r.last = lo == 0 ? f.NH : std::min(WholePart(1.0f / (lo * df), f.NH) - 1, f.NH);
  }
  r.first = std::max(r.first, 1);
  r.x.resize(static_cast<std::size_t>(std::max(r.last, 0)));
  for (int32_t i = 1; i <= r.last; ++i) {
    const float fi = f.Freq(i);
    r.x[static_cast<std::size_t>(i - 1)] = !period ? fi : fi > 0 ? 1.0f / fi : kNaN;
  }
  return r;
}

SpectrumXAxis TimeLagAxis(const GraphSettings& gs, const FourierData& f, int32_t sampFreq) {
  SpectrumXAxis r;
  r.axis = AxisFromSetting(gs, AxisTimeLag);
  r.axis.Min = 0;
  r.axis.Max = gs.Axis[AxisTimeLag].Max;
  SetSteps(r.axis);
  if (f.NH < 2 || sampFreq < 1) return r;
  const double step = 2.0 / sampFreq;
  r.first = 1;
  r.last = std::min(WholePart(r.axis.Max / step, f.NH / 2), f.NH / 2);
  r.x.resize(static_cast<std::size_t>(std::max(r.last, 0)));
  for (int32_t i = 1; i <= r.last; ++i) r.x[static_cast<std::size_t>(i - 1)] = static_cast<float>((i - 1) * step);
  return r;
}

SpectrumXAxis PeriodAxis(const GraphSettings& gs, const std::vector<float>& periods) {
  SpectrumXAxis r;
  r.axis = HorizontalAxis(gs, AxisPeriod);
  const double lo = r.axis.Min, hi = r.axis.Max;
  const auto n = static_cast<int32_t>(periods.size());
  r.first = n + 1;
  r.last = 0;
  for (int32_t i = 1; i <= n; ++i) {
    const double t = periods[static_cast<std::size_t>(i - 1)];
    if (t >= lo && r.first > n) r.first = i;
    if (t <= hi) r.last = i;
  }
  r.x.assign(periods.begin(), periods.begin() + std::max(r.last, 0));
  return r;
}

AxisRecord SpectrumValueAxis(const GraphSettings& gs, int32_t type, float largest, float logSpan) {
  AxisRecord a = AxisFromSetting(gs, type);
  const AxisSettings& s = gs.Axis[static_cast<std::size_t>(type)];
  if (s.Specify) {
    a.Max = s.Max;
    a.Min = s.Log ? s.Min : 0.0f;
  } else {
    a.Max = RoundAxisLimit(std::isfinite(largest) ? largest : 0.0f);
    if (a.Max == 0) a.Max = 1;  // a flat zero spectrum still gets an axis
    a.Min = s.Log ? a.Max / logSpan : 0.0f;
  }
  if (s.Log) a.Flags |= AxisLog;
  SetSteps(a);
  return a;
}

AxisRecord CorrelationAxis(const GraphSettings& gs) {
  AxisRecord a = AxisFromSetting(gs, AxisCorrelation);
  const AxisSettings& s = gs.Axis[AxisCorrelation];
  a.Max = s.Specify && std::isfinite(s.Max) && s.Max != 0 ? std::fabs(s.Max) : 1.0f;
  a.Min = -a.Max;
  SetSteps(a);
  return a;
}

double TripartiteMinimum(double yMax, double xMin, double xMax, double width, double height) {
  if (!(xMin > 0) || !(xMax > xMin) || !(width > 0) || !(height > 0)) return yMax / 1000;
  return yMax * std::pow(xMin / xMax, height / width);
}

std::vector<TripartiteLine> TripartiteLines(const GraphFrame& frame) {
  std::vector<TripartiteLine> lines;
  const AxisRecord &X = frame.X, &Y = frame.Y;
  if (!(X.Flags & AxisLog) || !(Y.Flags & AxisLog)) return lines;
  const double x0 = X.Min, x1 = X.Max, y0 = Y.Min, y1 = Y.Max;
  if (!(x0 > 0 && x1 > x0 && y0 > 0 && y1 > y0) || frame.Width <= 0 || frame.Height <= 0) return lines;
  // Logarithmic coordinates u (period) and w (pseudo velocity) from the plot's lower left.
  const double lu = std::log(x1 / x0), lw = std::log(y1 / y0);
  const double kx = frame.Width / lu, ky = frame.Height / lw;
  auto add = [&](bool displacement, double value, double ua, double ub, double c) {
    if (!(ub > ua)) return;
    // w = c - u for constant displacement, w = u + c for constant acceleration.
    auto w = [&](double u) { return displacement ? c - u : u + c; };
    TripartiteLine l{displacement, value};
    l.x1 = frame.Left + kx * ua;
    l.x2 = frame.Left + kx * ub;
    l.y1 = frame.Top + frame.Height - ky * w(ua);
    l.y2 = frame.Top + frame.Height - ky * w(ub);
    lines.push_back(l);
  };
  // Sd = pSv T / 2 pi between its values at the lower left and the upper right.
  const int kd0 = static_cast<int>(std::floor(std::log10(x0 * y0 / kTwoPi))) + 1;
  const int kd1 = static_cast<int>(std::floor(std::log10(x1 * y1 / kTwoPi)));
  for (int k = kd0; k <= kd1 && k - kd0 < 60; ++k) {
    const double sd = std::pow(10.0, k);
    const double c = std::log(kTwoPi * sd / (x0 * y0));
    add(true, sd, std::max(0.0, c - lw), std::min(lu, c), c);
  }
  // Sa = 2 pi pSv / T between its values at the lower right and the upper left.
  const int ka0 = static_cast<int>(std::floor(std::log10(kTwoPi * y0 / x1))) + 1;
  const int ka1 = static_cast<int>(std::floor(std::log10(kTwoPi * y1 / x0)));
  for (int k = ka0; k <= ka1 && k - ka0 < 60; ++k) {
    const double sa = std::pow(10.0, k);
    const double c = std::log(sa * x0 / (kTwoPi * y0));
    add(false, sa, std::max(0.0, -c), std::min(lu, lw - c), c);
  }
  return lines;
}

void DrawTripartiteGrid(cGraphicExtensions& gx, const GraphFrame& frame, const std::string& units) {
  const std::vector<TripartiteLine> lines = TripartiteLines(frame);
  if (lines.empty()) return;
  const double kx = frame.Width / std::log(static_cast<double>(frame.X.Max) / frame.X.Min);
  const double ky = frame.Height / std::log(static_cast<double>(frame.Y.Max) / frame.Y.Min);
  const double angle = std::atan(ky / kx) * 180 / 3.14159265358979;

  std::string dispUnit = "(cm)", accUnit = "(cm/s/s)";
  if (const auto bar = units.find('|'); bar != std::string::npos) {
    dispUnit = Trim(units.substr(0, bar));
    accUnit = Trim(units.substr(bar + 1));
  }

  gx.SaveProperties();
  gx.SetPenColor(static_cast<Rgb>(frame.AxisLine.Color));
  gx.SetPenWidth(RoundCoord(std::max(frame.AxisLine.Width, 0.0f)));
  gx.SetPenStyle(frame.AxisLine.Style);
  LoadFont(gx, frame.AxisFont);
  const double fontHeight = 0.7 * frame.AxisFont.Height;
  gx.SetFontSize(RoundCoord(fontHeight));
  gx.SetTextAlign(26);  // right end of the text on its baseline
  bool dispUnitShown = false, accUnitShown = false;
  for (const TripartiteLine& l : lines) {
    const std::vector<int32_t> X{RoundCoord(l.x1), RoundCoord(l.x2)}, Y{RoundCoord(l.y1), RoundCoord(l.y2)};
    gx.DrawPolylineEx(X, Y);

    bool& unitShown = l.displacement ? dispUnitShown : accUnitShown;
    std::string text = TickNumber(static_cast<float>(l.value), frame.Y.Format);
    if (!unitShown) text += " " + (l.displacement ? dispUnit : accUnit);
    gx.SetFontAngle(0);
    const double width = gx.GetTextWidth(text);
    const double len = std::hypot(l.x2 - l.x1, l.y2 - l.y1);
    const double margin = fontHeight;
    if (len < width + 2 * margin) continue;  // no room inside the plot
    unitShown = true;
    // The text lies along the line next to its upper end: the left end of a line of
    // constant displacement, the right end of one of constant acceleration.
    const Point anchor = l.displacement ? Along(l, margin + width, len) : Along(l, len - margin, len);
    // Lifted a little off the line along its upward normal, so the line stays clear of the text.
    const double lift = 0.25 * fontHeight;
    const double nx = (l.y2 - l.y1) / len, ny = -(l.x2 - l.x1) / len;
    gx.SetFontAngle(RoundCoord(l.displacement ? -angle : angle));
    gx.TextOut(RoundCoord(anchor.x + lift * nx), RoundCoord(anchor.y + lift * ny), text);
  }
  gx.SetFontAngle(0);
  gx.RestoreProperties();
}

void SpectrumPainter(PaintContext& c) {
  const GraphKindInfo& info = KindInfo(c.kind);
  if (info.page != PageForm::Spectrum || info.source == SeriesSource::Relation) return;
  const AppState& app = c.app;
  const GraphSettings& gs = app.graph;
  GraphFrame& frame = c.frame;
  frame.Title = Expand(KindTitleTemplate(app, c.kind), c.facts);

  SpectrumXAxis xs;
  if (info.source == SeriesSource::Fourier)
    xs = FrequencyOrPeriodAxis(gs, app.series.fourier);
  else if (info.source == SeriesSource::AutoCorr)
    xs = TimeLagAxis(gs, app.series.fourier, app.record.SampFreq);
  else
    xs = PeriodAxis(gs, app.series.response.T);

  const std::vector<KindSeries> series = SeriesOfKind(app, c.kind, c.channels);
  if (info.source == SeriesSource::AutoCorr) {
    frame.Y = CorrelationAxis(gs);
  } else {
    float largest = 0;
    for (const KindSeries& s : series) largest = std::max(largest, LargestOfSeries(s.data, s.count));
    frame.Y = SpectrumValueAxis(gs, ValueAxisOf(app, c.kind), largest);
  }
  frame.X = xs.axis;
  FitLeftMargin(c.gx, frame);
  if (c.kind == KindPSv) {
    const double lo = TripartiteMinimum(frame.Y.Max, frame.X.Min, frame.X.Max, frame.Width, frame.Height);
    if (std::isfinite(lo) && (lo > 0 || !(frame.Y.Flags & AxisLog))) frame.Y.Min = static_cast<float>(lo);
    SanitizeAxis(frame.Y);
  }
  frame.XData = xs.x;
  frame.First = xs.first;
  frame.Last = xs.last;
  frame.Step = 1;

  frame.FrameLine = PageLine(gs.Line[1]);
  frame.BackColor = gs.BackColor[1];
  DrawFrameAndAxes(c.gx, frame);
  if (c.kind == KindPSv)
    DrawTripartiteGrid(c.gx, frame, gs.Axis[AxisDispResponse].Unit + "|" + gs.Axis[AxisAccResponse].Unit);

  LegendSpec legend{gs.LegendPosition, {}};
  frame.YData.assign(xs.x.size(), kNaN);
  for (std::size_t j = 0; j < series.size(); ++j) {
    const LineSettings line = WaveLineOf(gs, static_cast<int32_t>(j) + 1);
    if (!(line.Width > 0)) continue;  // a component switched off
    const KindSeries& s = series[j];
    for (std::size_t i = 0; i < frame.YData.size(); ++i)
      frame.YData[i] = s.data != nullptr && static_cast<int32_t>(i) < s.count ? s.data[i] : kNaN;
    frame.SeriesLine = PageLine(line);
    PlotSeries(c.gx, frame);
    LegendEntry entry;
    entry.Line = frame.SeriesLine;
    entry.Text = s.channel >= 1 && s.channel <= static_cast<int32_t>(app.record.Labels().size())
                     ? DisplayLabelOf(app.record, s.channel)
                     : std::string();
    legend.Entries.push_back(entry);
  }

  frame.FrameLine = PageLine(gs.Line[3]);
  frame.BackColor = gs.BackColor[3];
  frame.TitleFont = PageFont(gs.Font[3]);
  DrawLegend(c.gx, frame, legend);
}

}  // namespace sism
