// Text reports about the loaded record and the file-name rules of the save and export
// commands: the halves that need no window, so the main window and the command-line
// tool build exactly the same texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "state/app_state.h"
#include "state/graph_kinds.h"

namespace sism {

// Start time of channel ch: (i - 1) / SampFreq for the first step i whose signed sample
// is above a positive threshold (below a negative one); 0 when the threshold is 0 or no
// sample passes it.
float ChannelStartTime(const StrongRecord& rec, int32_t ch, float threshold);

// Display label of channel ch: the view's copy (kept as shown) when there is one, else the
// record's label as shown.
std::string DisplayLabel(const AppState& app, int32_t ch);

// The record properties report, lines separated by CR LF (no line break after the last).
std::string PropertiesReportText(const AppState& app);
// Caption of the text viewer showing it.
std::string PropertiesReportTitle();

// Hexadecimal dump: a heading of two lines, then 16 bytes a line with their offset and
// their printable characters. Lines separated by CR LF.
std::string HexDumpText(std::string_view bytes);

// Save as .ac: a chosen name without extension gets ".ac".
std::string SaveAcFileName(const std::string& chosen);
// Export: a chosen name without extension gets ".csv" (filter 1) or ".txt" (2 and 3).
std::string ExportFileName(const std::string& chosen, int32_t filterIndex);
// Title of the export dialog of kind k.
std::string ExportDialogTitle(int32_t kind);
// Status-bar texts while saving and exporting.
std::string SavingStatusText(const AppState& app, const std::string& path);
std::string ExportingStatusText(const AppState& app, int32_t kind, const std::string& path);

// The kind's title template (KindTitleTemplate) expanded with the current record's facts.
std::string ExpandedKindTitle(const AppState& app, int32_t kind);

// Line break of every report and export.
inline constexpr std::string_view kCrLf = "\r\n";

}  // namespace sism
