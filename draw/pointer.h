// What lies under the mouse pointer on the last screen drawing: the value of an axis at a
// pixel, and the status-bar readout of the series there. Nothing is redrawn for it.
#pragma once

#include <cstdint>
#include <string>

#include "draw/draw_graph.h"

namespace sism {

// The value an axis has at page position `pos` along a plot starting at `start` that is
// `length` long (the inverse of AxisPosition); NaN when the axis cannot place it.
double AxisValueAt(const AxisRecord& axis, double pos, int32_t start, int32_t length, bool vertical);

// Page position (0.01 mm) of a pixel of the screen picture.
double PageFromPixel(const DrawSession& session, double pixel);

// The horizontal axis value (time, frequency, period or lag) of the last screen drawing
// under pixel x; NaN outside the plot's horizontal extent or before anything was drawn.
double AxisValueAtPixel(const DrawSession& session, double x);

// The status-bar text for the pointer at pixel (x, y): the channel or series under it,
// the horizontal axis value and the series' value there, each with its axis title. Empty
// outside the plots and on pages without a single horizontal axis (orbit grids, reports).
std::string PointerReadout(const AppState& app, const DrawSession& session, double x, double y);

}  // namespace sism
