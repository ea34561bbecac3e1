#include "draw/relation.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "draw/axes.h"
#include "draw/page_styles.h"
#include "draw/templates.h"
#include "record/display_text.h"
#include "state/graph_kinds.h"

namespace sism {

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// How far below its maximum an automatic logarithmic axis of the kind reaches.
float LogSpanOf(int32_t kind) {
  return kind == KindCrossSpectrum ? 1000.0f : 100.0f;
}

// A point between x0 and x1 at fraction t, on the axis' own scale.
float Between(const AxisRecord& axis, float x0, float x1, double t) {
  if ((axis.Flags & AxisLog) && x0 > 0 && x1 > 0)
    return static_cast<float>(std::exp(std::log(x0) + t * (std::log(x1) - std::log(x0))));
  return static_cast<float>(x0 + t * (static_cast<double>(x1) - x0));
}

}  // namespace

SpectrumXAxis SymmetricLagAxis(const GraphSettings& gs, const FourierData& f, int32_t sampFreq) {
  SpectrumXAxis r;
  const AxisSettings& s = gs.Axis[AxisTimeLag];
  r.axis.Flags = AxisByPainter | AxisTicks | AxisNumbers | GridBits(gs);
  r.axis.Title = s.Label + " " + s.Unit;
  r.axis.Max = std::isfinite(s.Max) && s.Max != 0 ? std::fabs(s.Max) : 1.0f;
  r.axis.Min = -r.axis.Max;
  r.axis.LabelStep = TickStepFor(r.axis.Max);
  r.axis.TickStep = TickStepFor(r.axis.LabelStep);
  SanitizeAxis(r.axis);
  if (f.NH < 2 || sampFreq < 1) return r;
  const double step = 2.0 / sampFreq;
  const int32_t h = f.NH / 2;
  const double k0 = r.axis.Max / step;
  const int32_t k = !std::isfinite(k0) || k0 > h ? h : static_cast<int32_t>(std::floor(k0));
  r.first = h - k + 1;
  r.last = h + k + 1;
  r.x.resize(static_cast<std::size_t>(r.last));
  for (int32_t i = 1; i <= r.last; ++i) r.x[static_cast<std::size_t>(i - 1)] = static_cast<float>((i - h - 1) * step);
  return r;
}

AxisRecord PhaseAxis(const GraphSettings& gs) {
  const AxisSettings& s = gs.Axis[AxisPhase];
  AxisRecord a;
  a.Flags = AxisByPainter | AxisTicks | AxisNumbers | GridBits(gs);
  a.Title = s.Label + " " + s.Unit;
  a.Max = s.Specify && std::isfinite(s.Max) ? s.Max : 180.0f;
  a.Min = a.Max - 360;
  a.LabelStep = 90;
  a.TickStep = 30;
  SanitizeAxis(a);
  return a;
}

PhaseRuns WrapPhase(const AxisRecord& xAxis, const AxisRecord& yAxis, const std::vector<float>& x,
                    const float* y, int32_t first, int32_t last) {
  PhaseRuns r;
  const double span = static_cast<double>(yAxis.Max) - yAxis.Min;
  last = std::min<int32_t>(last, static_cast<int32_t>(x.size()));
  for (int32_t i = std::max(first, 1); i <= last; ++i) {
    const float xi = x[static_cast<std::size_t>(i - 1)], yi = y[i - 1];
    if (!r.y.empty() && std::isfinite(r.y.back()) && std::isfinite(yi) && std::fabs(yi - r.y.back()) > span / 2) {
      // The previous point and this one continued with its value wrapped by a whole turn.
      const float x0 = r.x.back(), y0 = r.y.back();
      const double turn = yi < y0 ? span : -span;
      const double wrapped = yi + turn;
      const double leaveAt = turn > 0 ? yAxis.Max : yAxis.Min;  // the edge the line leaves by
      const double t = (leaveAt - y0) / (wrapped - y0);
      if (t >= 0 && t <= 1) {
        const float xc = Between(xAxis, x0, xi, t);
        r.x.push_back(xc);
        r.y.push_back(static_cast<float>(leaveAt));
        r.x.push_back(xc);
        r.y.push_back(kNaN);
        r.x.push_back(xc);
        r.y.push_back(static_cast<float>(leaveAt - turn));
      } else {
        r.x.push_back(xi);
        r.y.push_back(kNaN);
      }
    }
    r.x.push_back(xi);
    r.y.push_back(yi);
  }
  return r;
}

void RelationPainter(PaintContext& c) {
  const GraphKindInfo& info = KindInfo(c.kind);
  if (info.source != SeriesSource::Relation) return;
  const AppState& app = c.app;
  const GraphSettings& gs = app.graph;
  GraphFrame& frame = c.frame;
  const std::vector<KindSeries> series = SeriesOfKind(app, c.kind, {});
  if (series.empty()) return;  // no pair chosen
  frame.Title = Expand(KindTitleTemplate(app, c.kind), c.facts);

  SpectrumXAxis xs;
  if (info.domain == IndexDomain::SymmetricLag)
    xs = SymmetricLagAxis(gs, app.series.fourier, app.record.SampFreq);
  else if (info.domain == IndexDomain::Period)
    xs = PeriodAxis(gs, app.series.response.T);
  else
    xs = FrequencyOrPeriodAxis(gs, app.series.fourier);

  if (c.kind == KindPhaseDifference) {
    frame.Y = PhaseAxis(gs);
  } else if (c.kind == KindCrossCorrelation) {
    frame.Y = CorrelationAxis(gs);
  } else {
    float largest = 0;
    for (const KindSeries& s : series) largest = std::max(largest, LargestOfSeries(s.data, s.count));
    frame.Y = SpectrumValueAxis(gs, info.valueAxis, largest, LogSpanOf(c.kind));
  }
  frame.X = xs.axis;
  frame.Step = 1;
  frame.FrameLine = PageLine(gs.Line[1]);
  frame.BackColor = gs.BackColor[1];
  frame.XData = xs.x;
  frame.First = xs.first;
  frame.Last = xs.last;
  FitLeftMargin(c.gx, frame);
  DrawFrameAndAxes(c.gx, frame);

  LegendSpec legend{gs.LegendPosition, {}};
  for (std::size_t q = 0; q < series.size(); ++q) {
    const KindSeries& s = series[q];
    const LineSettings line = WaveLineOf(gs, static_cast<int32_t>(q) + 1);
    if (!(line.Width > 0)) continue;  // a component switched off
    GraphFrame plot = frame;
    plot.SeriesLine = PageLine(line);
    if (c.kind == KindPhaseDifference && s.data != nullptr) {
      PhaseRuns runs = WrapPhase(frame.X, frame.Y, xs.x, s.data, xs.first, std::min(xs.last, s.count));
      plot.XData = std::move(runs.x);
      plot.YData = std::move(runs.y);
      plot.First = 1;
      plot.Last = static_cast<int32_t>(plot.XData.size());
    } else {
      plot.YData.assign(xs.x.size(), kNaN);
      for (std::size_t i = 0; i < plot.YData.size(); ++i)
        plot.YData[i] = s.data != nullptr && static_cast<int32_t>(i) < s.count ? s.data[i] : kNaN;
    }
    PlotSeries(c.gx, plot);
    const auto label = [&](int32_t ch) {
      return ch >= 1 && ch <= static_cast<int32_t>(app.record.Labels().size())
                 ? DisplayLabelOf(app.record, ch)
                 : std::string();
    };
    LegendEntry entry;
    entry.Line = plot.SeriesLine;
    entry.Text = PairText(c.kind, label(s.channel), label(s.other));
    legend.Entries.push_back(entry);
  }

  frame.FrameLine = PageLine(gs.Line[3]);
  frame.BackColor = gs.BackColor[3];
  frame.TitleFont = PageFont(gs.Font[3]);
  DrawLegend(c.gx, frame, legend);
}

}  // namespace sism
