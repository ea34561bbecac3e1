#include "draw/time_history.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "state/app_state.h"
#include "state/graph_kinds.h"
#include "common/digits.h"
#include "common/text.h"
#include "draw/axes.h"
#include "draw/page_styles.h"
#include "record/display_text.h"

namespace sism {

namespace {

// Page coordinates are kept within ±100 m: far off any page, yet safe for every later
// integer and clipping computation.
constexpr double kCoordLimit = 1e7;
// Thickest series pen, 0.01 mm.
constexpr double kMaxPenWidth = 2000;

int32_t PageCoord(double v) {
  return RoundCoord(std::clamp(v, -kCoordLimit, kCoordLimit));
}

// Page units per pixel column when drawing on the screen; 0 elsewhere (printers, PDF and
// vector copies get every sample).
double ScreenColumnWidth(const cGraphicExtensions& gx) {
  if (gx.Technology() != TechRasterDisplay || gx.ViewportWidth() <= 0 || gx.WindowWidth() <= 0 ||
      gx.ViewportHeight() <= 0 || gx.WindowHeight() <= 0)
    return 0;
  // The mapping keeps both scales equal, the coarser of the two.
  return std::max(static_cast<double>(gx.WindowWidth()) / gx.ViewportWidth(),
                  static_cast<double>(gx.WindowHeight()) / gx.ViewportHeight());
}

// More samples than pixel columns: per column the smallest and the largest sample in the
// order they occur, so that every extreme stays in its column. The line between two
// columns spans only values the record passes through between them.
void EnvelopeRuns(const std::vector<float>& y, int64_t first, int64_t last, int64_t step, double lead,
                  double kx, int32_t left, double column, double yMax, double ky, int32_t top,
                  std::vector<std::vector<int32_t>>& runsX, std::vector<std::vector<int32_t>>& runsY) {
  struct Column {
    int64_t index = std::numeric_limits<int64_t>::min();
    float low = 0, high = 0;
    bool lowFirst = true;
  } c;
  auto toY = [&](float v) { return PageCoord((yMax - v) * ky + top); };
  auto push = [&](int32_t x, int32_t yy) {
    std::vector<int32_t>& rx = runsX.back();
    std::vector<int32_t>& ry = runsY.back();
    if (!rx.empty() && rx.back() == x && ry.back() == yy) return;
    rx.push_back(x);
    ry.push_back(yy);
  };
  auto flush = [&]() {
    if (c.index == std::numeric_limits<int64_t>::min()) return;
    const int32_t x = PageCoord((static_cast<double>(c.index) + 0.5) * column);
    push(x, toY(c.lowFirst ? c.low : c.high));
    push(x, toY(c.lowFirst ? c.high : c.low));
    c.index = std::numeric_limits<int64_t>::min();
  };
  const size_t columns = static_cast<size_t>(std::clamp(
      static_cast<double>(last - first) / static_cast<double>(step) * kx / column + 2, 2.0, 1e6));
  runsX.back().reserve(2 * columns);
  runsY.back().reserve(2 * columns);
  for (int64_t s = first; s <= last; s += step) {
    const float v = y[static_cast<size_t>(s - 1)];
    if (!std::isfinite(v)) {
      flush();
      if (!runsX.back().empty()) {
        runsX.emplace_back();
        runsY.emplace_back();
      }
      continue;
    }
    // Columns of the device's pixels, counted from the page's edge.
    const double x = (static_cast<double>(s - 1) + lead) * kx + left;
    const auto index = static_cast<int64_t>(std::floor(std::clamp(x / column, -kCoordLimit, kCoordLimit)));
    if (index != c.index) {
      flush();
      c.index = index;
      c.low = c.high = v;
      c.lowFirst = true;
      continue;
    }
    if (v < c.low) {
      c.low = v;
      c.lowFirst = false;  // the latest extreme comes second
    }
    if (v > c.high) {
      c.high = v;
      c.lowFirst = true;
    }
  }
  flush();
}

std::string WithoutParentheses(const std::string& unit) {
  if (unit.size() >= 2 && unit.front() == '(' && unit.back() == ')') return unit.substr(1, unit.size() - 2);
  return unit;
}

AxisRecord TimeAxis(const GraphSettings& gs, int32_t f, int32_t n) {
  const AxisSettings& setting = gs.Axis[AxisTime];
  AxisRecord a;
  a.Flags = AxisByPainter | AxisTicks | GridBits(gs);
  a.Title = setting.Label + " " + setting.Unit;
  if (setting.Specify) {
    a.Min = setting.Min;
    a.Max = setting.Max;
  } else {
    a.Min = 0;
    a.Max = f >= 1 ? static_cast<float>(RoundCoord(static_cast<double>(n) / f) + 1) : 1.0f;
  }
  // Valid limits first, then the steps of the span actually drawn.
  a.LabelStep = a.TickStep = 0;
  SanitizeAxis(a);
  const TimeAxisSteps steps = TimeStepsFor(static_cast<double>(a.Max) - a.Min);
  a.LabelStep = steps.label;
  a.TickStep = steps.tick;
  SanitizeAxis(a);
  return a;
}

AxisRecord AmplitudeAxis(const GraphSettings& gs, int32_t kind, float peakExtreme) {
  const AxisSettings& setting = gs.Axis[AmplitudeAxisType(kind)];
  AxisRecord a;
  a.Flags = AxisByPainter | AxisTicks | AxisNumbers | GridBits(gs);
  a.Title = setting.Label + " " + setting.Unit;
  float m = setting.Specify ? std::fabs(setting.Max) : RoundAxisLimit(peakExtreme);
  // A specified zero or unusable maximum falls back to the data; flat data gets ±1.
  if (!std::isfinite(m) || m == 0) m = RoundAxisLimit(peakExtreme);
  if (!std::isfinite(m) || m == 0) m = 1;
  a.Max = m;
  a.Min = -m;
  a.LabelStep = m;
  a.TickStep = TickStepFor(m);
  // A maximum off the 1-2-5 series (say 287) has no two-digit step dividing it: then
  // only -M, 0 and M get ticks, so the numbers stay at the plot's edges.
  const double parts = static_cast<double>(m) / a.TickStep;
  if (!std::isfinite(parts) || std::fabs(parts - std::nearbyint(parts)) > 1e-3) a.TickStep = m;
  SanitizeAxis(a);
  return a;
}

}  // namespace

TimeAxisSteps TimeStepsFor(double span) {
  const double d = std::isfinite(span) ? std::nearbyint(span) : 0;
  if (d < 20) return {5, 1};
  if (d < 150) return {10, 1};
  if (d < 300) return {20, 10};
  if (d < 600) return {50, 10};
  // Beyond 2000 s, labels every 100 s would run into each other: the label step grows
  // along 100, 200, 500, 1000 ... until at most 20 labels fit, ticks a tenth of it.
  double label = 100;
  for (int k = 0; d / label > 20 && k < 120; ++k) label *= (k % 3 == 1) ? 2.5 : 2;
  return {static_cast<float>(label), static_cast<float>(label / 10)};
}

WindowRange WindowSamples(double timeMin, double timeMax, int32_t f, int32_t n) {
  WindowRange r;
  if (f < 1 || n < 1 || !std::isfinite(timeMin) || !std::isfinite(timeMax)) return r;
  const double first = std::nearbyint(timeMin * f + 1);
  const double last = std::min(std::nearbyint(timeMax * f), static_cast<double>(n));
  // A window wholly after the record (or before it) shows nothing.
  if (first > n || last < 1 || last < first) return r;
  r.first = static_cast<int32_t>(std::max(first, 1.0));
  r.last = static_cast<int32_t>(last);
  r.lead = r.first - first;
  return r;
}

int32_t AmplitudeAxisType(int32_t kind) {
  return PageFormOf(kind) == PageForm::Wave ? KindInfo(kind).valueAxis : 0;
}

const char* PeakFormat(int32_t kind) {
  switch (PageFormOf(kind) == PageForm::Wave ? KindInfo(kind).motion : 0) {
    case 1:
      return " #0.0";
    case 2:
      return " #0.00";
    case 3:
      return " #0.000";
    default:
      return "";
  }
}

std::string TimeHistoryLegend(const std::string& label, float peak, int32_t kind, const std::string& unit) {
  const std::string u = WithoutParentheses(unit);
  // Weak motion still shows three digits of its peak.
  return label + " (peak:" + FormatKeepingDigits(peak, PeakFormat(kind), kPeakDigits) + (u.empty() ? "" : " " + u) +
         ")";
}

void PlotTimeHistory(cGraphicExtensions& gx, const GraphFrame& frame) {
  if (frame.XData.empty() || frame.YData.empty()) return;
  const double f = frame.XData[0];
  const double lead = frame.XData.size() > 1 ? frame.XData[1] : 0.0;
  if (!std::isfinite(f) || f <= 0 || !std::isfinite(lead)) return;
  AxisRecord ax = frame.X, ay = frame.Y;
  SanitizeAxis(ax);
  SanitizeAxis(ay);
  const int64_t first = std::max<int64_t>(frame.First, 1);
  const int64_t last = std::min<int64_t>(frame.Last, static_cast<int64_t>(frame.YData.size()));
  if (last < first) return;
  const int64_t step = std::max<int64_t>(frame.Step, 1);

  const int32_t L = frame.Left, T = frame.Top, W = frame.Width, H = frame.Height;
  const double ky = H / (static_cast<double>(ay.Max) - ay.Min);
  const double kx = W / (static_cast<double>(ax.Max) - ax.Min) / f;  // 0.01 mm per sample

  // Runs of finite samples; a missing one breaks the line.
  std::vector<std::vector<int32_t>> runsX(1), runsY(1);
  const double column = ScreenColumnWidth(gx);
  if (column > 0 && kx * static_cast<double>(step) * 2 < column) {
    EnvelopeRuns(frame.YData, first, last, step, lead, kx, L, column, ay.Max, ky, T, runsX, runsY);
  } else {
    const size_t points = static_cast<size_t>((last - first) / step + 1);
    runsX[0].reserve(points);
    runsY[0].reserve(points);
    for (int64_t s = first; s <= last; s += step) {
      const double v = frame.YData[static_cast<size_t>(s - 1)];
      if (!std::isfinite(v)) {
        if (!runsX.back().empty()) {
          runsX.emplace_back();
          runsY.emplace_back();
        }
        continue;
      }
      runsX.back().push_back(PageCoord((static_cast<double>(s - 1) + lead) * kx + L));
      runsY.back().push_back(PageCoord((ay.Max - v) * ky + T));
    }
  }

  gx.SaveProperties();
  gx.SetPenStyle(frame.SeriesLine.Style);
  const double width = std::isfinite(frame.SeriesLine.Width) ? frame.SeriesLine.Width : 0.0;
  gx.SetPenWidth(RoundCoord(std::clamp(width, 0.0, kMaxPenWidth)));
  gx.SetPenColor(static_cast<Rgb>(frame.SeriesLine.Color));
  if (frame.ClipToPlot) gx.ClipRectSoft(L, T, L + W, T + H);
  if (frame.SeriesLine.Width >= 0)
    for (size_t r = 0; r < runsX.size(); ++r) gx.DrawPolylineClipped(runsX[r], runsY[r]);
  if (frame.ClipToPlot) gx.ClipRectSoft(0, 0, 0, 0);
  gx.RestoreProperties();
}

TimeMarks ProcessingMarks(const AppState& app) {
  TimeMarks m;
  const int32_t rate = app.record.SampFreq;
  if (!app.processed || rate <= 0) return m;
  const ProcessingResult& r = app.processed->result;
  auto seconds = [rate](int32_t sample) { return static_cast<float>(sample - 1) / static_cast<float>(rate); };
  if (r.onset > 0) m.onset = seconds(r.onset);
  if (r.noiseFirst > 0 && r.noiseLast >= r.noiseFirst) {
    m.noiseFrom = seconds(r.noiseFirst);
    m.noiseTo = seconds(r.noiseLast);
  }
  return m;
}

void DrawTimeMarks(cGraphicExtensions& gx, const GraphFrame& frame, const TimeMarks& marks) {
  const double min = frame.X.Min, max = frame.X.Max;
  if (!marks.Any() || !std::isfinite(min) || !std::isfinite(max) || max <= min) return;
  const int32_t L = frame.Left, T = frame.Top, W = frame.Width, H = frame.Height;
  auto x = [&](double t) { return PageCoord(L + (std::clamp(t, min, max) - min) / (max - min) * W); };
  gx.SaveProperties();
  gx.SetPenStyle(PenSolid);
  gx.SetPenWidth(0);
  if (marks.noiseTo >= marks.noiseFrom && marks.noiseTo >= min && marks.noiseFrom <= max) {
    // A bracket: it leaves the trace of the quiet part readable, as a shaded band would not.
    const int32_t x1 = x(marks.noiseFrom), x2 = x(marks.noiseTo), y = T + H / 10, tick = H / 20;
    gx.SetPenColor(MakeRgb(0, 128, 0));
    gx.DrawLine(x1, y, x2, y);
    gx.DrawLine(x1, y - tick, x1, y + tick);
    gx.DrawLine(x2, y - tick, x2, y + tick);
  }
  if (marks.onset >= min && marks.onset <= max) {
    gx.SetPenColor(MakeRgb(220, 0, 0));
    gx.DrawLine(x(marks.onset), T, x(marks.onset), T + H);
  }
  gx.RestoreProperties();
}

void PaintTimeHistory(cGraphicExtensions& gx, GraphFrame& frame, const GraphSettings& gs,
                      const TemplateFacts& facts, int32_t kind, int32_t sampFreq, int32_t sampleCount,
                      const std::vector<TimeHistoryChannel>& channels, bool ownScales, const TimeMarks& marks) {
  if (PageFormOf(kind) != PageForm::Wave) return;
  const int32_t m = static_cast<int32_t>(channels.size());
  const int32_t n = std::max(sampleCount, 0);

  const int32_t legendFlags = (gs.LegFixTime ? (LegendRight | LegendUpper) : (gs.LegendPosition & 0xFF)) |
                              LegendNoBox | LegendNoSample;
  const int64_t pitch = int64_t{frame.Height} + int64_t{gs.WaveSpace} * 100;
  const int32_t top0 = frame.Top;
  const LineRecord frameLineIn = frame.FrameLine;
  const RgbColor backIn = frame.BackColor;
  const FontRecord titleFontIn = frame.TitleFont;

  frame.Title = Expand(kind < static_cast<int32_t>(gs.GraphTitle.size()) ? gs.GraphTitle[kind] : "", facts);

  float extreme = 0;
  for (const TimeHistoryChannel& c : channels)
    if (std::isfinite(c.peak)) extreme = std::max(extreme, std::fabs(c.peak));

  const AxisRecord timeAxis = TimeAxis(gs, sampFreq, n);
  frame.Y = AmplitudeAxis(gs, kind, extreme);
  const std::string unit = gs.Axis[AmplitudeAxisType(kind)].Unit;

  const WindowRange range = WindowSamples(timeAxis.Min, timeAxis.Max, sampFreq, n);
  frame.First = 1;
  frame.Last = range.Empty() ? 0 : range.last - range.first + 1;
  frame.Step = std::max(gs.WaveIncrement, 1);
  frame.XData = {static_cast<float>(sampFreq), static_cast<float>(range.lead)};
  frame.YData.assign(static_cast<size_t>(frame.Last), 0.0f);

  const LineSettings firstLine = WaveLineOf(gs, 1);
  for (int32_t j = 1; j <= m; ++j) {
    const TimeHistoryChannel& c = channels[static_cast<size_t>(j - 1)];
    frame.Top = PageCoord(top0 + static_cast<double>(j - 1) * pitch);
    frame.X = timeAxis;
    if (ownScales) frame.Y = AmplitudeAxis(gs, kind, std::isfinite(c.peak) ? std::fabs(c.peak) : 0.0f);
    if (j == m) frame.X.Flags |= AxisNumbers;  // time numbers and title under the last strip only

    frame.SeriesLine =
        LineRecord{WaveLineOf(gs, j).Color, static_cast<float>(firstLine.Width * 100.0), PenSolid};

    // Samples first..last of the channel; any it does not have are left out of the line.
    const int32_t have = c.samples == nullptr ? 0 : std::max(c.count, 0);
    for (int32_t i = 1; i <= frame.Last; ++i) {
      const int64_t sample = int64_t{range.first} + i - 1;
      frame.YData[static_cast<size_t>(i - 1)] =
          sample <= have ? c.samples[sample - 1] : std::numeric_limits<float>::quiet_NaN();
    }

    frame.FrameLine = PageLine(gs.Line[1]);
    frame.BackColor = gs.BackColor[1];
    DrawFrameAndAxes(gx, frame);
    PlotTimeHistory(gx, frame);
    DrawTimeMarks(gx, frame, marks);

    frame.FrameLine = PageLine(gs.Line[3]);
    frame.BackColor = gs.BackColor[3];
    frame.TitleFont = PageFont(gs.Font[3]);
    LegendEntry entry;
    entry.Line = frame.SeriesLine;
    // No series (not computed, or nothing in the window's channel): no peak to claim.
    entry.Text = have > 0 ? TimeHistoryLegend(c.label, c.peak, kind, unit) : c.label;
    DrawLegend(gx, frame, LegendSpec{legendFlags, {entry}});

    frame.Title.clear();  // only the first strip carries the graph title
  }

  frame.Top = top0;
  frame.X = timeAxis;
  frame.FrameLine = frameLineIn;
  frame.BackColor = backIn;
  frame.TitleFont = titleFontIn;
}

std::vector<TimeHistoryChannel> TimeHistorySeries(const AppState& app, int32_t kind,
                                                  const std::vector<int32_t>& list, int32_t& sampleCount) {
  const StrongRecord& rec = app.record;
  std::vector<TimeHistoryChannel> out;
  sampleCount = 0;
  if (PageFormOf(kind) != PageForm::Wave) return out;
  const int32_t motionKind = KindInfo(kind).motion;
  if (motionKind == 1) {
    sampleCount = std::clamp(rec.DataCount, 0, std::max(rec.DataCapacity(), 0));
    const int32_t columns = std::min(rec.ChanCount, rec.AccChannels());
    for (int32_t ch : list) {
      TimeHistoryChannel c;
      if (ch >= 1 && ch <= static_cast<int32_t>(rec.Labels().size())) c.label = DisplayLabelOf(rec, ch);
      if (ch >= 1 && ch <= static_cast<int32_t>(rec.Peaks().size())) c.peak = rec.Peak(ch);
      if (sampleCount > 0 && ch >= 1 && ch <= columns) {
        c.samples = rec.Channel(ch);
        c.count = sampleCount;
      }
      out.push_back(c);
    }
  } else {
    const MotionData& motion = app.series.motion;
    const SeriesMatrix& series = motionKind == 2 ? motion.V : motion.D;
    const std::vector<float>& peaks = motionKind == 2 ? motion.PeakVel : motion.PeakDisp;
    sampleCount = app.series.motionValid ? std::clamp(motion.Count, 0, series.Rows()) : 0;
    for (int32_t ch : list) {
      TimeHistoryChannel c;
      if (ch >= 1 && ch <= static_cast<int32_t>(rec.Labels().size())) c.label = DisplayLabelOf(rec, ch);
      if (sampleCount > 0 && ch >= 1 && ch <= series.Cols()) {
        c.samples = series.Column(ch);
        c.count = sampleCount;
        if (ch <= static_cast<int32_t>(peaks.size())) c.peak = peaks[static_cast<size_t>(ch - 1)];
      }
      out.push_back(c);
    }
  }
  return out;
}

void TimeHistoryPainter(PaintContext& context) {
  if (PageFormOf(context.kind) != PageForm::Wave) return;
  int32_t count = 0;
  const std::vector<TimeHistoryChannel> series =
      TimeHistorySeries(context.app, context.kind, context.channels, count);
  PaintTimeHistory(context.gx, context.frame, context.app.graph, context.facts, context.kind,
                   context.app.record.SampFreq, count, series, context.app.run.OwnScales,
                   ProcessingMarks(context.app));
}

}  // namespace sism
