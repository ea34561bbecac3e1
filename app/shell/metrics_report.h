// The ground-motion metrics report of the loaded record: the measures of every channel and
// RotD50/RotD100 of every horizontal pair, as text for the text viewer.
#pragma once

#include <string>

#include "analysis/ground_motion.h"
#include "state/app_state.h"

namespace sism {

class UserInterface;

// The request the window makes: the standard periods, the calculation's damping and sub-steps.
MetricsRequest WindowMetricsRequest(const CalcParams& calc);

// Computes and formats the report, lines separated by CR LF.
std::string MetricsReportText(AppState& app, UserInterface& ui);
// The same from measures already computed.
std::string MetricsReportText(const AppState& app, const RecordMetrics& m);
// Caption of the text viewer showing it.
std::string MetricsReportTitle();

}  // namespace sism
