// The signal-to-noise graph of the processing run: per channel the signal and the noise
// spectra on logarithmic axes, and the high- and low-pass corners chosen from them.
#pragma once

#include <string>

#include "draw/draw_graph.h"
#include "draw/graph_frame.h"

namespace sism {

// What the plot says when the record shown has not been processed.
std::string SnrEmptyText();

// Logarithmic frequency and amplitude axes that hold every channel's spectra of the run.
void SnrAxes(const GraphSettings& gs, const ProcessingResult& r, AxisRecord& x, AxisRecord& y);

// The painter the dispatcher calls for the signal-to-noise kind.
void SnrPainter(PaintContext& context);

}  // namespace sism
