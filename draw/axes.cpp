#include "draw/axes.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "common/text.h"

namespace sism {

namespace {

// Most ticks one axis draws; denser steps are widened by factors of ten.
constexpr double kMaxTicks = 2000;
// Widest logarithmic range drawn, in decades.
constexpr double kMaxDecades = 30;

void ApplyPen(cGraphicExtensions& gx, const LineRecord& line) {
  gx.SetPenStyle(line.Style);
  gx.SetPenWidth(RoundCoord(line.Width));
  gx.SetPenColor(static_cast<Rgb>(line.Color));
}

void Segment(cGraphicExtensions& gx, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const int32_t X[2] = {x1, x2}, Y[2] = {y1, y2};
  gx.DrawPolylineEx(X, Y, 2);
}

// A grid line: thin, dotted and light, so that it stays behind the curves.
void GridSegment(cGraphicExtensions& gx, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  constexpr Rgb kGridColor = 0xC0C0C0;
  const int32_t X[2] = {x1, x2}, Y[2] = {y1, y2};
  const int32_t style = gx.PenStyle(), width = gx.PenWidth();
  const Rgb color = gx.PenColor();
  gx.SetPenStyle(2);
  gx.SetPenWidth(1);
  gx.SetPenColor(kGridColor);
  gx.DrawPolyline(X, Y, 2);  // the device's own dots: a thin pen
  gx.SetPenStyle(style);
  gx.SetPenWidth(width);
  gx.SetPenColor(color);
}


// One tick of an axis: its value and whether it is numbered.
struct Tick {
  float value;
  bool major;
};

std::vector<Tick> TicksOf(const AxisRecord& a) {
  std::vector<Tick> ticks;
  if (a.Flags & AxisLog) {
    const double e0 = std::floor(std::log10(static_cast<double>(a.Min)));
    const double e1 = std::trunc(std::log10(static_cast<double>(a.Max))) + 1;
    const double p = std::pow(10.0, e0 - 1);
    const double kmin = std::nearbyint(a.Min / p), kmax = std::nearbyint(a.Max / p);
    for (double d = e0; d <= e1; ++d) {
      for (int m = 1; m <= 9; ++m) {
        const double t = std::nearbyint(std::pow(10.0, d - e0 + 1) * m);
        if (t < kmin || t > kmax) continue;
        const bool major = m == 1 || m == 5 || t == kmin || t == kmax;
        ticks.push_back({static_cast<float>(p * t), major});
      }
    }
    return ticks;
  }
  const int32_t i0 = RoundCoord(a.Min / a.TickStep);
  const int32_t i1 = RoundCoord(a.Max / a.TickStep);
  int32_t n = RoundCoord(a.LabelStep / a.TickStep);
  if (n < 1) n = 1;
  for (int32_t i = i0; i <= i1; ++i) ticks.push_back({a.TickStep * static_cast<float>(i), i % n == 0});
  return ticks;
}

// Position of a tick value along an axis as the frame-and-axes routine places it.
double TickOffset(const AxisRecord& a, float v, int32_t length) {
  if (a.Flags & AxisLog)
    return length / std::log(static_cast<double>(a.Max) / a.Min) * std::log(static_cast<double>(v) / a.Min);
  return (static_cast<double>(v) - a.Min) * (length / (static_cast<double>(a.Max) - a.Min));
}

void HorizontalAxis(cGraphicExtensions& gx, const AxisRecord& a, int32_t L, int32_t T, int32_t W, int32_t H) {
  const int32_t s = std::abs(gx.FontSize());
  const int32_t B = T + H;
  for (const Tick& t : TicksOf(a)) {
    const int32_t x = RoundCoord(TickOffset(a, t.value, W) + L);
    if (!t.major) {
      if (a.Flags & AxisTicks) gx.DrawLine(x, B + s / 4, x, B);
      if ((a.Flags & AxisGridMajor) && (a.Flags & AxisGridMinor)) GridSegment(gx, x, T, x, B);
      continue;
    }
    if (a.Flags & AxisTicks) gx.DrawLine(x, B + s / 3, x, B);
    if (a.Flags & AxisGridMajor) GridSegment(gx, x, T, x, B);
    if (a.Flags & AxisNumbers) {
      gx.SetTextAlign(TaCenter | TaTop);
      gx.SetFontAngle(0);
      gx.TextOut(x, B + s / 2, TickNumber(t.value, a.Format));
    }
  }
  if ((a.Flags & AxisNumbers) && !Trim(a.Title).empty()) {
    const int32_t y = RoundCoord(B + 1.5 * s);
    gx.SetFontAngle(0);
    if (a.Flags & AxisTitleAtStart) {
      gx.SetTextAlign(TaLeft);
      gx.TextOut(L, y, a.Title);
    } else if (a.Flags & AxisTitleAtEnd) {
      gx.SetTextAlign(TaRight);
      gx.TextOut(L + W, y, a.Title);
    } else {
      gx.SetTextAlign(TaCenter);
      gx.TextOut(L + W / 2, y, a.Title);
    }
  }
}

void VerticalAxis(cGraphicExtensions& gx, const AxisRecord& a, int32_t xFlags, int32_t L, int32_t T,
                  int32_t W, int32_t H) {
  const int32_t s = std::abs(gx.FontSize());
  const int32_t B = T + H;
  const bool grid = (xFlags & AxisGridMajor) != 0;
  bool anyNumber = false;
  int32_t leftmost = L;
  for (const Tick& t : TicksOf(a)) {
    const int32_t y = RoundCoord(B - TickOffset(a, t.value, H));
    if (!t.major) {
      if (a.Flags & AxisTicks) gx.DrawLine(L - s / 4, y, L, y);
      if (grid && (a.Flags & AxisGridMajor) && (a.Flags & AxisGridMinor)) GridSegment(gx, L, y, L + W, y);
      continue;
    }
    if (a.Flags & AxisTicks) gx.DrawLine(L - s / 3, y, L, y);
    if (grid && (a.Flags & AxisGridMajor)) GridSegment(gx, L, y, L + W, y);
    if (a.Flags & AxisNumbers) {
      const std::string text = TickNumber(t.value, a.Format);
      gx.SetTextAlign(TaLeft | TaTop);
      gx.SetFontAngle(0);
      const int32_t w = gx.GetTextWidth(text);
      const int32_t x = L - w - s / 2;
      gx.TextOut(x, y - s / 2, text);
      leftmost = anyNumber ? std::min(leftmost, x) : x;
      anyNumber = true;
    }
  }
  if ((a.Flags & AxisNumbers) && !Trim(a.Title).empty()) {
    const int32_t x = anyNumber ? RoundCoord(leftmost - 1.5 * s) : L;
    gx.SetFontAngle(90);
    if (a.Flags & AxisTitleAtStart) {
      gx.SetTextAlign(TaLeft);
      gx.TextOut(x, T, a.Title);
    } else if (a.Flags & AxisTitleAtEnd) {
      gx.SetTextAlign(TaRight);
      gx.TextOut(x, T + H, a.Title);
    } else {
      gx.SetTextAlign(TaCenter);
      gx.TextOut(x, T + H / 2, a.Title);
    }
    gx.SetFontAngle(0);
  }
}

bool Finite(double v) {
  return std::isfinite(v);
}

}  // namespace

void LoadFont(cGraphicExtensions& gx, const FontRecord& font) {
  gx.SetFontName(Trim(font.Name));
  if (font.Height != 0 && Finite(font.Height))
    gx.SetFontSize(RoundCoord(font.Height));
  else
    gx.SetFontPoint(Finite(font.Size) ? RoundCoord(font.Size) : 10);
  gx.SetFontBold(font.Bold);
  gx.SetFontItalic(font.Italic);
  gx.SetFontUnderline(font.Underline);
  gx.SetFontColor(static_cast<Rgb>(font.Color));
  gx.SetFontAngle(0);
  gx.SetTextAlign(0);
}

bool SanitizeAxis(AxisRecord& a) {
  bool ok = true;
  if (a.Flags & AxisLog) {
    if (!Finite(a.Max) || a.Max <= 0) {
      a.Max = Finite(a.Min) && a.Min > 0 ? a.Min * 1000 : 10;
      ok = false;
    }
    if (!Finite(a.Min) || a.Min <= 0 || a.Min >= a.Max) {
      a.Min = a.Max / 1000;
      ok = false;
    }
    if (!Finite(a.Max) || a.Max <= 0 || !(a.Min > 0)) {  // overflow or underflow of the repairs
      a.Min = 1;
      a.Max = 10;
      ok = false;
    }
    if (std::log10(static_cast<double>(a.Max) / a.Min) > kMaxDecades) {
      a.Min = static_cast<float>(a.Max / std::pow(10.0, kMaxDecades));
      ok = false;
    }
    return ok;
  }
  if (!Finite(a.Min) || !Finite(a.Max)) {
    a.Min = 0;
    a.Max = 1;
    ok = false;
  }
  if (a.Max < a.Min) {
    std::swap(a.Max, a.Min);
    ok = false;
  }
  const double span = static_cast<double>(a.Max) - a.Min;
  if (!(span > 0) || !Finite(span) || span < 1e-30 * std::max(std::fabs(a.Max), std::fabs(a.Min))) {
    const float c = a.Min;
    const float half = c == 0 ? 1.0f : std::fabs(c) * 0.5f;
    a.Min = c - half;
    a.Max = c + half;
    if (!Finite(a.Min) || !Finite(a.Max) || !(a.Max > a.Min)) {
      a.Min = 0;
      a.Max = 1;
    }
    ok = false;
  }
  const double width = static_cast<double>(a.Max) - a.Min;
  if (!Finite(a.TickStep) || a.TickStep <= 0) {
    a.TickStep = Finite(a.LabelStep) && a.LabelStep > 0
                     ? TickStepFor(a.LabelStep)
                     : TickStepFor(RoundAxisLimit(static_cast<float>(width)) / 2);
    ok = false;
  }
  if (!(a.TickStep > 0)) a.TickStep = static_cast<float>(width);
  while (width / a.TickStep > kMaxTicks || std::fabs(a.Min / a.TickStep) > 1e9 ||
         std::fabs(a.Max / a.TickStep) > 1e9) {
    a.TickStep *= 10;
    ok = false;
    if (!Finite(a.TickStep)) {
      a.TickStep = static_cast<float>(width);
      break;
    }
  }
  if (!Finite(a.LabelStep) || a.LabelStep < a.TickStep / 2) {
    a.LabelStep = a.TickStep;
    ok = false;
  }
  if (a.LabelStep / a.TickStep > kMaxTicks) {
    a.LabelStep = a.TickStep;
    ok = false;
  }
  return ok;
}

double AxisPosition(const AxisRecord& a, double value, int32_t start, int32_t length, bool vertical) {
  if (!Finite(value)) return std::nan("");
  double offset;
  if (a.Flags & AxisLog) {
    if (value <= 0) return std::nan("");
    const double k = length / std::log(static_cast<double>(a.Max) / a.Min);
    offset = vertical ? std::log(static_cast<double>(a.Max)) * k - std::log(value) * k
                      : std::log(value) * k - std::log(static_cast<double>(a.Min)) * k;
  } else {
    const double k = length / (static_cast<double>(a.Max) - a.Min);
    offset = vertical ? (a.Max - value) * k : (value - a.Min) * k;
  }
  const double pos = offset + start;
  return Finite(pos) ? pos : std::nan("");
}

void FitLeftMargin(cGraphicExtensions& gx, GraphFrame& f) {
  AxisRecord ay = f.Y;
  SanitizeAxis(ay);
  if (!(ay.Flags & AxisNumbers)) return;
  gx.SaveProperties();
  LoadFont(gx, f.AxisFont);
  const int32_t s = std::abs(gx.FontSize());
  int32_t widest = 0;
  for (const Tick& t : TicksOf(ay))
    if (t.major) widest = std::max(widest, gx.GetTextWidth(TickNumber(t.value, ay.Format)));
  gx.RestoreProperties();
  // As VerticalAxis places them: numbers half a line off the axis, the title 1.5 lines
  // further out, one line high.
  const int64_t needed = int64_t{widest} + s / 2 + (Trim(ay.Title).empty() ? 0 : RoundCoord(2.5 * s)) + s / 4;
  if (f.Left >= needed || f.Width <= 0) return;
  const auto shift = static_cast<int32_t>(std::min<int64_t>(needed - f.Left, f.Width / 4));
  f.Left += shift;
  f.Width -= shift;
}

std::vector<std::string> TitleLines(cGraphicExtensions& gx, const std::string& title, int32_t width) {
  if (width <= 0 || gx.GetTextWidth(title) <= width) return {title};
  std::vector<std::string> lines;
  std::string current;
  for (const std::string& word : Split(title, " ")) {
    const std::string longer = current.empty() ? word : current + " " + word;
    if (!current.empty() && gx.GetTextWidth(longer) > width) {
      lines.push_back(current);
      current = word;
    } else {
      current = longer;
    }
  }
  lines.push_back(current);
  return lines;
}

void DrawFrameAndAxes(cGraphicExtensions& gx, const GraphFrame& f) {
  AxisRecord ax = f.X, ay = f.Y;
  SanitizeAxis(ax);
  SanitizeAxis(ay);
  const int32_t L = f.Left, T = f.Top, W = f.Width, H = f.Height;
  gx.SaveProperties();
  if (!f.Title.empty()) {
    LoadFont(gx, f.TitleFont);
    gx.SetTextAlign(0);
    // Beside another graph a long title goes up in lines rather than over its neighbour's.
    const int32_t line = std::abs(gx.FontSize());
    const std::vector<std::string> lines = TitleLines(gx, f.Title, f.TitleRight > L ? f.TitleRight - L : 0);
    const auto count = static_cast<int32_t>(lines.size());
    for (int32_t i = 0; i < count; ++i) gx.TextOut(L, T - line * (count - i), lines[static_cast<std::size_t>(i)]);
  }
  ApplyPen(gx, f.AxisLine);
  LoadFont(gx, f.AxisFont);
  VerticalAxis(gx, ay, ax.Flags, L, T, W, H);
  HorizontalAxis(gx, ax, L, T, W, H);
  ApplyPen(gx, f.FrameLine);
  gx.SetBrushStyle(BrushHollow);
  const int32_t X[4] = {L, L, L + W, L + W};
  const int32_t Y[4] = {T, T + H, T + H, T};
  gx.DrawPolygon(X, Y, 4);
  gx.RestoreProperties();
}

void PlotSeries(cGraphicExtensions& gx, const GraphFrame& f) {
  AxisRecord ax = f.X, ay = f.Y;
  SanitizeAxis(ax);
  SanitizeAxis(ay);
  const int32_t step = f.Step < 1 ? 1 : f.Step;
  const int64_t size = static_cast<int64_t>(std::min(f.XData.size(), f.YData.size()));
  const int64_t first = std::max<int64_t>(f.First, 1);
  const int64_t last = std::min<int64_t>(f.Last, size);
  if (last < first) return;

  gx.SaveProperties();
  // Runs of placeable points; an unplaceable one ends the run.
  std::vector<std::vector<int32_t>> runsX(1), runsY(1);
  std::vector<int32_t> markX, markY;
  for (int64_t i = first; i <= last; i += step) {
    const double x = AxisPosition(ax, f.XData[static_cast<size_t>(i - 1)], f.Left, f.Width, false);
    const double y = AxisPosition(ay, f.YData[static_cast<size_t>(i - 1)], f.Top, f.Height, true);
    if (std::isnan(x) || std::isnan(y)) {
      if (!runsX.back().empty()) {
        runsX.emplace_back();
        runsY.emplace_back();
      }
      continue;
    }
    runsX.back().push_back(RoundCoord(x));
    runsY.back().push_back(RoundCoord(y));
    markX.push_back(runsX.back().back());
    markY.push_back(runsY.back().back());
  }
  if (f.ClipToPlot) gx.ClipRectSoft(f.Left, f.Top, f.Left + f.Width, f.Top + f.Height);
  if (f.SeriesLine.Width >= 0) {
    ApplyPen(gx, f.SeriesLine);
    for (size_t r = 0; r < runsX.size(); ++r) gx.DrawPolylineClipped(runsX[r], runsY[r]);
  }
  if (f.MarkSize >= 0 && f.MarkStyle > 0) {
    gx.SetMarkHeight(RoundCoord(f.MarkSize));
    gx.SetMarkStyle(f.MarkStyle);
    gx.SetBrushColor(static_cast<Rgb>(f.MarkFill));
    ApplyPen(gx, f.MarkOutline);
    gx.DrawPolyMark(markX, markY);
  }
  if (f.ClipToPlot) gx.ClipRectSoft(0, 0, 0, 0);
  gx.RestoreProperties();
}

void DrawLegend(cGraphicExtensions& gx, const GraphFrame& f, const LegendSpec& legend) {
  if ((legend.Flags & 0xFF) == 0) return;
  gx.SaveProperties();
  LoadFont(gx, f.TitleFont);
  const int32_t h = std::abs(gx.FontSize());
  int32_t w = 0;
  for (const auto& e : legend.Entries) w = std::max(w, gx.GetTextWidth(e.Text));
  const int32_t box = (legend.Flags & LegendNoBox) ? 0 : 1;
  const int32_t samples = (legend.Flags & LegendNoSample) ? 0 : 1;
  const int32_t m = static_cast<int32_t>(legend.Entries.size());
  const int32_t bw = (800 + 100) * samples + w + 200;
  const int32_t bh = RoundCoord(static_cast<double>(m) * h + 200);
  const int32_t L = f.Left, T = f.Top, W = f.Width, H = f.Height;
  const int32_t x0 = (legend.Flags & LegendRight) ? L + W - bw - 100 * box : L + 100 * box;
  const int32_t y0 = (legend.Flags & LegendLower) ? T + H - bh - 100 * box : T + 100 * box;
  if (box) {
    ApplyPen(gx, f.FrameLine);
    if (static_cast<uint32_t>(f.BackColor) & 0x1000000u) {
      gx.SetBrushStyle(BrushHollow);
    } else {
      gx.SetBrushStyle(BrushSolid);
      gx.SetBrushColor(static_cast<Rgb>(f.BackColor));
    }
    const int32_t X[4] = {x0, x0, x0 + bw, x0 + bw};
    const int32_t Y[4] = {y0, y0 + bh, y0 + bh, y0};
    gx.DrawPolygon(X, Y, 4);
  }
  for (int32_t k = 1; k <= m; ++k) {
    const LegendEntry& e = legend.Entries[static_cast<size_t>(k - 1)];
    gx.SetFontColor(static_cast<Rgb>(e.Line.Color));
    if (samples) {
      const int32_t y = RoundCoord(y0 + 100 + (k - 0.5) * h);
      ApplyPen(gx, e.Line);
      Segment(gx, x0 + 100, y, x0 + 900, y);
      if (e.MarkSize >= 0 && e.MarkStyle > 0) {
        gx.SetMarkHeight(RoundCoord(e.MarkSize));
        gx.SetMarkStyle(e.MarkStyle);
        gx.SetBrushStyle(BrushSolid);
        gx.SetBrushColor(static_cast<Rgb>(e.MarkFill));
        ApplyPen(gx, e.MarkOutline);
        const int32_t mx = x0 + 500;
        gx.DrawPolyMark(&mx, &y, 1);
      }
    }
    gx.SetTextAlign(TaLeft | TaTop);
    gx.TextOut(x0 + 100 + 900 * samples, y0 + 100 + (k - 1) * h, e.Text);
  }
  gx.RestoreProperties();
}

float RoundAxisLimit(float v) {
  if (v == 0 || !std::isfinite(v)) return v == 0 ? 0.0f : 1.0f;
  const double a = 0.999 * std::fabs(static_cast<double>(v));
  const double p = std::pow(10.0, std::floor(std::log10(a)));
  for (double c : {2 * p, 5 * p, 10 * p})
    if (c > a) return static_cast<float>(c);
  return static_cast<float>(20 * p);
}

float TickStepFor(float labelStep) {
  if (labelStep == 0 || !std::isfinite(labelStep)) return 0;
  const double v = std::fabs(static_cast<double>(labelStep));
  const double p = std::pow(10.0, std::floor(std::log10(v)) - 1);
  const int32_t m = RoundCoord(v / p);
  int32_t c = 0;
  if (m % 10 == 0) {
    c = m / 10;
  } else if (m % 10 == 5) {
    c = RoundCoord(m / 5.0);
    if (c % 5 == 0) c /= 5;
  }
  int32_t parts = 1;
  switch (c) {
    case 1:
    case 2:
    case 10:
      parts = 2;
      break;
    case 3:
    case 6:
    case 9:
      parts = 3;
      break;
    case 4:
    case 8:
      parts = 4;
      break;
    case 5:
      parts = 5;
      break;
    default:
      parts = 1;
  }
  return static_cast<float>(p * m / parts);
}

std::string TickNumber(float v, const std::string& format) {
  std::string text;
  if (format.empty()) {
    text = FormatNumber(v, "#0.####");
    const double a = std::fabs(static_cast<double>(v));
    if (a > 0 && std::isfinite(a) && std::fabs(ToDouble(text) - v) > 0.005 * a) {
      // Four significant digits at most, as the default shows for larger values.
      const int places = std::min(20, 3 - static_cast<int>(std::floor(std::log10(a))));
      text = a < 9.5e-6 ? FormatNumber(v, "0.###e-0") : FormatNumber(v, "#0." + std::string(places, '#'));
      if (const auto point = text.find(".e"); point != std::string::npos) text.erase(point, 1);
    }
  } else {
    text = FormatNumber(v, format);
  }
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text;
}

}  // namespace sism
