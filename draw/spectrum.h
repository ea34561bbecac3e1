// Spectrum graphs: Fourier and power spectra, the auto-correlation coefficient and the
// response spectra, every listed channel a series in one shared plot with one legend;
// the pseudo-velocity spectrum on a tripartite grid.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "draw/draw_graph.h"
#include "draw/graph_frame.h"
#include "draw/graphic_extensions.h"
#include "state/computed_series.h"
#include "state/graph_settings.h"

namespace sism {

// A horizontal axis with the x value of every element up to `last` (1-based: x[i - 1])
// and the elements that fall on it.
struct SpectrumXAxis {
  AxisRecord axis;
  std::vector<float> x;
  int32_t first = 1, last = 0;
};

// A horizontal axis of type `type` from its settings: logarithmic between their limits, or
// linear from 0 to their maximum.
AxisRecord SpectrumHorizontalAxis(const GraphSettings& gs, int32_t type);
// Frequency axis, or period axis when the spectra are shown over period (kinds 4, 5).
SpectrumXAxis FrequencyOrPeriodAxis(const GraphSettings& gs, const FourierData& f);
// Time-lag axis of the auto-correlation (kind 6).
SpectrumXAxis TimeLagAxis(const GraphSettings& gs, const FourierData& f, int32_t sampFreq);
// Period axis of the response spectra (kinds 7 to 11) over the computed periods.
SpectrumXAxis PeriodAxis(const GraphSettings& gs, const std::vector<float>& periods);

// Largest value of a series by the library's peak search; 0 for none.
float LargestOfSeries(const float* values, int32_t count);
// Vertical axis of axis type `type` for a largest value `largest` of the listed series; an
// automatic logarithmic axis reaches down to its maximum / `logSpan`.
AxisRecord SpectrumValueAxis(const GraphSettings& gs, int32_t type, float largest, float logSpan = 1000);
// The correlation axis: -1 to 1 unless specified.
AxisRecord CorrelationAxis(const GraphSettings& gs);
// Lower limit of the pseudo-velocity axis that gives a decade the same length on both
// logarithmic axes of a plot `width` by `height`.
double TripartiteMinimum(double yMax, double xMin, double xMax, double width, double height);

// One line of the tripartite grid between its crossings with the plot rectangle.
struct TripartiteLine {
  bool displacement = true;  // constant Sd; otherwise constant Sa
  double value = 0;          // 10^k
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // page coordinates, x1 < x2
};
// The lines of constant displacement and acceleration across the frame's plot, whose
// axes are period (x) and pseudo velocity (y), both logarithmic. Empty otherwise.
std::vector<TripartiteLine> TripartiteLines(const GraphFrame& frame);
// Draws them labelled with their values along the lines; `units` is the displacement
// unit, "|", the acceleration unit.
void DrawTripartiteGrid(cGraphicExtensions& gx, const GraphFrame& frame, const std::string& units);

// The painter the dispatcher calls for kinds 4 to 11.
void SpectrumPainter(PaintContext& context);

}  // namespace sism
