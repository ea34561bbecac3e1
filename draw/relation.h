// Relation graphs of channel pairs: spectral ratio, phase difference, cross spectrum,
// cross-correlation, coherence and response-spectrum ratio, every pair a series in one
// shared plot with one legend entry naming the pair.
#pragma once

#include <cstdint>
#include <vector>

#include "draw/draw_graph.h"
#include "draw/spectrum.h"

namespace sism {

// Time-lag axis from -maximum to +maximum with zero lag at element h + 1 (h = NH / 2).
SpectrumXAxis SymmetricLagAxis(const GraphSettings& gs, const FourierData& f, int32_t sampFreq);
// The phase axis: a fixed span of 360 degrees.
AxisRecord PhaseAxis(const GraphSettings& gs);

// A phase series ready for the series plotter: where consecutive values step by more than
// half the axis span, the line leaves at one edge (with the wrapped value) and re-enters at
// the other, the two runs parted by a NaN. `x` and `y` hold elements first..last.
struct PhaseRuns {
  std::vector<float> x, y;
};
PhaseRuns WrapPhase(const AxisRecord& xAxis, const AxisRecord& yAxis, const std::vector<float>& x,
                    const float* y, int32_t first, int32_t last);

// The painter the dispatcher calls for kinds 15 to 20.
void RelationPainter(PaintContext& context);

}  // namespace sism
