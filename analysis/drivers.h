// The analysis drivers: they turn the current record into the series the graphs show,
// each guarded by its bit of the pending set and announced in the status bar.
#pragma once

#include <cstdint>

#include "app/shell/app_state.h"
#include "common/ui.h"

namespace sism {

// The pending set the drivers work from: CalcParams::RecalcFlags combined with the
// view's change flags (RecalcTimeAxis when the visible time range moved). A moved time
// range also renews the spectra that follow it.
int32_t PendingSet(const CalcParams& calc, int32_t viewChangeFlags);

// Runs the four drivers in order (integration, Fourier, response, relations); each runs
// when its bit is pending or its series is not valid, and clears its bit when done.
// Arithmetic errors end the driver and reach the caller.
void RunAnalysisDrivers(AppState& state, int32_t& pending, UserInterface& ui);

// The drivers one by one, unconditionally.
void RunIntegrationDriver(AppState& state, UserInterface& ui);
void RunFourierDriver(AppState& state, UserInterface& ui);
void RunResponseDriver(AppState& state, UserInterface& ui);
void RunRelationDriver(AppState& state, UserInterface& ui);

// The stretch of the record the Fourier driver analyses (S 1-based, L steps).
struct Stretch {
  int32_t start = 1;
  int32_t length = 0;
};
Stretch FourierStretch(const StrongRecord& rec, const CalcParams& calc, const GraphSettings& graph);
Stretch ResponseStretch(const StrongRecord& rec, const CalcParams& calc);
// Periods of the response spectra, from the period axis.
std::vector<float> ResponsePeriods(const CalcParams& calc, const GraphSettings& graph);

}  // namespace sism
