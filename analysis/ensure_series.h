// The one path by which series reach whatever shows them: drawing, export, the peaks
// report and the command-line tool bring the series of a graph kind up to date here.
#pragma once

#include <cstdint>

namespace sism {

struct AppState;
class UserInterface;

// Folds the view's own changes (AppState::view.Changes) into CalcParams::RecalcFlags: a
// moved time window makes the Fourier spectra and relations pending when they follow it.
void FoldViewChanges(AppState& app);

// Brings the series `kind` shows up to date with the current record, settings and view:
// runs the drivers whose bits are pending or whose series are not valid, and clears only
// the bits it recomputed; the rest stay pending for the kind that needs them. Arithmetic
// failures are raised to the caller.
void BringSeriesUpToDate(AppState& app, int32_t kind, UserInterface& ui);

// The same for an explicit pending set, which the drivers clear as they run.
void EnsureSeries(AppState& app, int32_t kind, int32_t& pending, UserInterface& ui);

}  // namespace sism
