// The automatic processing as the window runs it on the record shown: the run kept in the
// program state with the record as it was, undoing it, and the texts that report it.
#pragma once

#include <string>

#include "state/app_state.h"

namespace sism {

// "Processed: passed", "Processed with warnings: <flags>" or "Rejected: <flags>".
std::string ProcessingOutcomeText(const ProcessingResult& r);

// Runs the chain on the record shown (on the record as read when it was processed before),
// keeps the run and the unprocessed record, and returns the outcome text; empty with no record.
std::string ProcessShownRecord(AppState& app);

// Puts back the record as it was before the run; false when none was run.
bool UndoProcessing(AppState& app);

// The processing section of the properties report: outcome, windows, corners, flags and
// steps; empty when the record was not processed.
std::string ProcessingReportText(const AppState& app);

}  // namespace sism
