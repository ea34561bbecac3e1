// The constant-ductility spectra (one curve per ductility and channel over period) and the
// effective amplitude spectrum of the horizontal pair (over frequency, log axes).
#pragma once

#include <string>

#include "draw/draw_graph.h"
#include "draw/graph_frame.h"

namespace sism {

// The value axis of the constant-ductility kind for its largest value: the scale settings of
// the axis the quantity belongs to, titled with the quantity and its unit.
AxisRecord DuctilityValueAxis(const AppState& app, float largest);
// The line of curve `curve` (ductility number) of the `position`-th channel drawn: the colour
// goes with the ductility, the pen style with the channel.
LineSettings DuctilityLine(const GraphSettings& gs, int32_t curve, int32_t position);
// What the plot says when the record has no horizontal pair.
std::string EasEmptyText();

void DuctilityPainter(PaintContext& context);
void EasPainter(PaintContext& context);

}  // namespace sism
