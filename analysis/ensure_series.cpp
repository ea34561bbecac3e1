#include "analysis/ensure_series.h"

#include "analysis/drivers.h"

namespace sism {

namespace {

// The result families a graph kind shows, as RecalcBits.
int32_t SeriesNeeded(int32_t kind) {
  switch (kind) {
    case 2:
    case 3:
    case 13:
    case 14:
      return RecalcIntegration;
    case 4:
    case 5:
    case 6:
      return RecalcFourier;
    case 7:
    case 8:
    case 9:
    case 10:
    case 11:
      return RecalcResponse;
    case 15:
    case 16:
    case 17:
    case 18:
    case 19:
    case 20:
      return RecalcFourier | RecalcResponse | RecalcRelations;
    case 21:
      return RecalcIntegration | RecalcFourier | RecalcResponse | RecalcRelations;  // a report shows any
    default:
      return 0;
  }
}

}  // namespace

void EnsureSeries(AppState& app, int32_t kind, int32_t& pending, UserInterface& ui) {
  RunAnalysisDrivers(app, pending, ui, SeriesNeeded(kind));
}

}  // namespace sism
