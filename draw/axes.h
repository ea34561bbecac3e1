// The axis and scale engine shared by every graph kind: font loading, frame and axes,
// the series plotter, the legend box and the two scale-step rules.
#pragma once

#include <string>
#include <vector>

#include "draw/graph_frame.h"
#include "draw/graphic_extensions.h"

namespace sism {

// Applies a font record to the drawing object (alignment and angle reset to 0).
void LoadFont(cGraphicExtensions& gx, const FontRecord& font);

// Graph title, vertical then horizontal axis (ticks, numbers, grid, titles), frame.
void DrawFrameAndAxes(cGraphicExtensions& gx, const GraphFrame& frame);
// The title broken at blanks into lines no wider than `width` (a word wider stays whole), in
// the font loaded; one line when the width is 0 or less.
std::vector<std::string> TitleLines(cGraphicExtensions& gx, const std::string& title, int32_t width);
// Moves the plot's left edge right, taking the room from its width (a quarter at most),
// when the vertical axis's numbers and title would reach past the page's left edge.
void FitLeftMargin(cGraphicExtensions& gx, GraphFrame& frame);

// The frame's series, elements First, First + Step, ... Last, mapped into the plot.
// Points an axis cannot place (non-finite, or <= 0 on a logarithmic axis) break the line.
void PlotSeries(cGraphicExtensions& gx, const GraphFrame& frame);

// A tick number in the axis's format, without the final point a whole value leaves. With
// the default format ("#0.####"), small values get the decimals they need, so that
// 0.00005 never reads 0.0001 nor 0.00001 reads 0.
std::string TickNumber(float v, const std::string& format);

// Legend inside the plot rectangle, in the frame's title font.
void DrawLegend(cGraphicExtensions& gx, const GraphFrame& frame, const LegendSpec& legend);

// The next value of the 1-2-5 series above |v| (0.1 % allowance); 0 for 0.
float RoundAxisLimit(float v);
// Tick step that divides a label step into 2, 3, 4 or 5 parts; 0 for 0.
float TickStepFor(float labelStep);

// An axis the routines above can draw: finite limits, a positive span, a positive
// minimum on a logarithmic axis, steps giving a bounded number of ticks. Returns false
// when something had to be changed.
bool SanitizeAxis(AxisRecord& axis);

// Series value to page coordinate along an axis of length `length` starting at `start`
// (x grows with the value, y against it). NaN when the value cannot be placed.
double AxisPosition(const AxisRecord& axis, double value, int32_t start, int32_t length, bool vertical);

}  // namespace sism
