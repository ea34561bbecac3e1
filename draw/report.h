// The report page: graphs and text boxes placed at fixed positions on one sheet, showing
// at most three channels of the record, chosen by the report selector.
#pragma once

#include <cstdint>
#include <vector>

#include "draw/draw_graph.h"
#include "state/graph_settings.h"

namespace sism {

// Channels of report page `selector` (from 0): 3s + 1 to 3s + 3, as far as the record
// has them; empty for a selector below 0 or beyond the last channel.
std::vector<int32_t> ReportChannels(int32_t selector, int32_t chanCount);

// The plot rectangle of a report entry in 0.01 mm; false when it has no area or does not
// fit the page arithmetic, and nothing is drawn for it.
bool ReportEntryRect(const ReportGraph& entry, GraphFrame& frame);

// The painter the dispatcher calls for kind 21.
void ReportPainter(PaintContext& context);

}  // namespace sism
