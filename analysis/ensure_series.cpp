#include "analysis/ensure_series.h"

namespace sism {

// Placeholder until the analysis drivers exist: nothing is computed, nothing is cleared.
void EnsureSeries(AppState&, int32_t, int32_t&, UserInterface&) {}

}  // namespace sism
