// The signal-to-noise graph of the processing run: per channel the signal and the noise
// spectra on logarithmic axes, and the high- and low-pass corners chosen from them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "draw/draw_graph.h"
#include "draw/graph_frame.h"

namespace sism {

// What the plot says when the record shown has not been processed.
std::string SnrEmptyText();

// Logarithmic frequency and amplitude axes that hold every channel's spectra of the run.
void SnrAxes(const GraphSettings& gs, const ProcessingResult& r, AxisRecord& x, AxisRecord& y);

// The painter the dispatcher calls for the signal-to-noise kind.
void SnrPainter(PaintContext& context);

// A corner as the graph draws it: a vertical line at `frequency` in the channel's colour.
struct SnrCornerLine {
  int32_t ch = 0;
  bool lowPass = false;
  float frequency = 0;  // Hz
};

// The corner lines of the run for the channels drawn (in `channels`' order), as the painter
// draws them: channels switched off or without spectra have none.
std::vector<SnrCornerLine> SnrCornerLines(const GraphSettings& gs, const ProcessingResult& r,
                                          const std::vector<int32_t>& channels);

// The page position of frequency f on the frame's horizontal axis; NaN off the axis.
double SnrPageX(const GraphFrame& frame, double f);

// The line within `reach` (page units) of page point (x, y) inside the plot, the nearest one;
// on equal distances the channel drawn first. None when no line is that close.
std::optional<SnrCornerLine> SnrCornerNear(const GraphFrame& frame, const std::vector<SnrCornerLine>& lines,
                                           double x, double y, double reach);

// The corner a line dragged to page x stands for: the frequency there, held on the axis and
// inside the channel's spectra, a sixth of a decade clear of the channel's other corner, and
// rounded to three significant digits (as an analyst would type it). NaN when the axis
// cannot place x.
float SnrDraggedCorner(const GraphFrame& frame, const SnrCornerLine& line, const ChannelProcessing& c, double x);

}  // namespace sism
