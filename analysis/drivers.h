// The analysis drivers: they turn the current record into the series the graphs show,
// each guarded by its bit of the pending set and announced in the status bar.
#pragma once

#include <cstdint>

#include "state/app_state.h"
#include "common/ui.h"

namespace sism {

// Runs the drivers of the families in `needed` (RecalcBits) in order: integration,
// Fourier, response, relations, constant-ductility spectra. Each runs when its bit is pending or its series is not
// valid, and clears its bit (in `pending` and in CalcParams::RecalcFlags) when done;
// families not needed keep their bits for later. Relations bring the spectra they are
// built on up to date first. Arithmetic errors end the driver and reach the caller.
// The constant-ductility spectra (RecalcDuctility), many times costlier, run only when asked for.
constexpr int32_t kAllSeries = RecalcIntegration | RecalcFourier | RecalcResponse | RecalcRelations;
void RunAnalysisDrivers(AppState& state, int32_t& pending, UserInterface& ui, int32_t needed = kAllSeries);

// The drivers one by one, unconditionally.
void RunIntegrationDriver(AppState& state, UserInterface& ui);
void RunFourierDriver(AppState& state, UserInterface& ui);
void RunResponseDriver(AppState& state, UserInterface& ui);
void RunRelationDriver(AppState& state, UserInterface& ui);
// Constant-ductility spectra of every channel at the response periods and stretch.
void RunDuctilityDriver(AppState& state, UserInterface& ui);
// The effective amplitude spectrum of the first horizontal pair over the Fourier stretch
// (the Fourier driver runs it); left empty when the record has no such pair.
void ComputeEas(AppState& state);
// The frequencies of the effective amplitude spectrum: the common log grid from 0.01 to 100 Hz
// (401 points) within df..nyquist.
std::vector<float> EasFrequencies(float df, float nyquist);

// The stretch of the record the Fourier driver analyses (S 1-based, L steps).
struct Stretch {
  int32_t start = 1;
  int32_t length = 0;
};
Stretch FourierStretch(const StrongRecord& rec, const CalcParams& calc, const GraphSettings& graph);
Stretch ResponseStretch(const StrongRecord& rec, const CalcParams& calc);
// Periods of the response spectra, from the period axis.
// Least steps per oscillator period the response spectra are computed with (0: the samples only).
int32_t ResponseStepsPerPeriod(const CalcParams& calc);
std::vector<float> ResponsePeriods(const CalcParams& calc, const GraphSettings& graph);

}  // namespace sism
