// Particle orbits of acceleration, velocity or displacement: one channel against another
// over the whole record, the time window of the time histories, or a grid of windows.
#pragma once

#include <cstdint>
#include <vector>

#include "draw/draw_graph.h"

namespace sism {

// Most windows drawn on one page; a finer grid would only bury the machine in frames.
constexpr int32_t kMaxOrbitWindows = 400;

// One orbit plot: samples first..last (1-based; last < first when it holds none) in
// column `column` and row `row` of the grid (1-based).
struct OrbitWindow {
  int32_t first = 1, last = 0;
  int32_t column = 1, row = 1;
  bool xNumbers = false;  // no window below: the horizontal axis carries the numbers
  bool yNumbers = false;  // first column: the vertical axis carries the numbers
};

struct OrbitLayout {
  int32_t columns = 1, rows = 1;  // as the page geometry sizes the grid
  int32_t total = 1;              // windows the settings ask for
  std::vector<OrbitWindow> windows;  // those drawn, at most kMaxOrbitWindows
};

// The windows of the current orbit settings over the record.
OrbitLayout OrbitWindows(const AppState& app);

// The painter the dispatcher calls for kinds 12 to 14.
void OrbitPainter(PaintContext& context);

}  // namespace sism
