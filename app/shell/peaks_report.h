// The peaks report: the extreme value of every series the view shows and where it
// occurs, within the visible part of the horizontal axis.
#pragma once

#include <cstdint>
#include <string>

#include "state/app_state.h"

namespace sism {

// A 1-based index window over the horizontal axis of a view.
struct IndexWindow {
  int32_t first = 1;
  int32_t last = 0;
};

// The whole horizontal axis of the view kind, over the series as computed now.
IndexWindow FullIndexWindow(const AppState& app, int32_t kind);
// The part of the axis between two axis values (seconds, Hz or lag seconds as the kind
// has it), cut to the whole axis.
IndexWindow IndexWindowBetween(const AppState& app, int32_t kind, double from, double to);

// The report text, lines ending with CR LF: "Peaks of " and the kind's title, then one
// line per displayed series. Kinds 6, 16 and 19 give the first line only.
std::string PeaksReportText(const AppState& app, int32_t kind, IndexWindow window);

}  // namespace sism
