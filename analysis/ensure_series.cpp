#include "analysis/ensure_series.h"

#include "analysis/drivers.h"
#include "state/graph_kinds.h"

namespace sism {

void FoldViewChanges(AppState& app) {
  int32_t& pending = app.calc.RecalcFlags;
  pending |= app.view.Changes;
  app.view.Changes = 0;
  if (pending & RecalcTimeAxis) {
    if (app.calc.FourDurationType == 1) pending |= RecalcFourier | RecalcRelations;
    pending &= ~RecalcTimeAxis;
  }
}

void BringSeriesUpToDate(AppState& app, int32_t kind, UserInterface& ui) {
  FoldViewChanges(app);
  int32_t pending = app.calc.RecalcFlags;
  RunAnalysisDrivers(app, pending, ui, SeriesNeeds(app, kind));
}

void EnsureSeries(AppState& app, int32_t kind, int32_t& pending, UserInterface& ui) {
  RunAnalysisDrivers(app, pending, ui, SeriesNeeds(app, kind));
}

}  // namespace sism
