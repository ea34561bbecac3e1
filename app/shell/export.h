// The export writer: one computed series of the current record as comma-separated,
// fixed-column or tab-separated text, one column per channel or channel pair beside a
// column of time, frequency, lag or period.
#pragma once

#include <cstdint>
#include <string>

#include "analysis/ensure_series.h"
#include "state/app_state.h"
#include "state/graph_kinds.h"
#include "common/ui.h"
#include "record/writers.h"

namespace sism {

// Filter index of the export dialog.
enum ExportFilter : int32_t { ExportComma = 1, ExportFixed = 2, ExportTab = 3 };

// The whole file text (every line ends with CR LF) for the series as they are now; the
// caller brings them up to date first. Empty for kinds without a layout. With
// `switchV` three extra header lines come first.
std::string ExportText(const AppState& app, int32_t kind, int32_t filterIndex, bool switchV);

// Why the series of `kind` as computed now cannot be written (a record without the
// horizontal pair of the effective amplitude spectrum); empty when they can.
std::string ExportRefusal(const AppState& app, int32_t kind);

// Writes ExportText to `path` (an existing file is replaced only once everything was
// written). A failure is reported as "Failed to write " + path + " (Err#n: ...)" and
// gives false.
bool WriteExport(const AppState& app, int32_t kind, const std::string& path, int32_t filterIndex,
                 UserInterface& ui);

// The front end's work after the file was chosen: status text and hourglass, the
// series brought up to date (BringSeriesUpToDate), then the writer. Only kinds with a
// layout (ExportableKind) are written.
bool ExportSeries(AppState& app, int32_t kind, const std::string& path, int32_t filterIndex,
                  UserInterface& ui);

// The warning that the .ac format's three decimals leave some channel fewer than three
// significant digits at its peak, naming those channels and formats that keep every
// digit; empty when every channel keeps them.
std::string AcPrecisionQuestion(const AppState& app);

// Save as .ac after the file was chosen (and the name completed by SaveAcFileName): when
// AcPrecisionQuestion has something to say, the user is asked whether to go on; then the
// labels shown become the record's labels, and the whole record is written with the
// status text and hourglass shown. False when the user declined or the writer failed (it
// has told the user).
bool SaveRecordAsAc(AppState& app, const std::string& path, UserInterface& ui);

// The labels shown become the record's labels (those the user did not edit keep their
// bytes), as every save writes them; file names made of labels are known after it.
void TakeShownLabels(AppState& app);

// Save as in any format written (record/writers.h), .ac through SaveRecordAsAc. The writer
// is the one named (a --to name), else the one of the path's extension, else .ac's.
const WriterRow& SaveWriter(const std::string& path, const std::string& named = {});
// The chosen name with the writer's extension when it has none.
std::string SaveFileName(const std::string& chosen, const WriterRow& w);
bool SaveRecordAs(AppState& app, const WriterRow& w, const std::string& path, UserInterface& ui);

}  // namespace sism
