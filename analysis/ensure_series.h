// The seam between drawing and analysis: before a graph is painted, the series it
// shows are brought up to date.
#pragma once

#include <cstdint>

namespace sism {

struct AppState;
class UserInterface;

// Runs the integration, Fourier, response and relation drivers, in that order, for the
// bits of `pending` (RecalcBits) that `kind` needs; each driver clears its bit when done.
// Arithmetic failures are raised to the caller.
void EnsureSeries(AppState& app, int32_t kind, int32_t& pending, UserInterface& ui);

}  // namespace sism
