// The main window's commands that need no window: moving and zooming the time
// window, the zoom steps, the keyboard table, the recent-file list, the channel menu
// and the caption.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "state/app_state.h"
#include "state/preproc_params.h"

namespace sism {

// The visible time window [lo, hi] in seconds.
struct TimeWindow {
  double lo = 0;
  double hi = 0;
  bool operator==(const TimeWindow&) const = default;
};

// f = 0 goes back to the start; |f| <= 1 moves by that fraction of the window, |f| > 1 by
// f seconds. Nothing (no value) when the move would leave the record, go before its
// start, or change nothing. `recordSeconds` is the record length in whole seconds.
std::optional<TimeWindow> ShiftTimeWindow(const TimeWindow& w, double f, int32_t recordSeconds);
// Window length times f, kept between 5 and 599 seconds, or up to the whole record when
// it is longer than that; nothing when refused.
std::optional<TimeWindow> ZoomTimeWindow(const TimeWindow& w, double f, double recordSeconds = 0);

// The mouse on the time axis. Windows stay between 5 s and the longest window, and
// inside [0, record end] (a window longer than the record starts at 0).
constexpr double kShortestTimeWindow = 5;
// 600 s, or the record's length when it is longer.
double LongestTimeWindow(double recordSeconds);
// Length times f with the time under the pointer (`pivot`) staying where it is.
TimeWindow ZoomTimeWindowAt(const TimeWindow& w, double f, double pivot, double recordSeconds);
// Moved by `seconds` (positive: later).
TimeWindow PanTimeWindow(const TimeWindow& w, double seconds, double recordSeconds);
// The span between two times chosen with the mouse, widened about its middle to the
// shortest window; nothing for a span under a tenth of a second (a click).
std::optional<TimeWindow> TimeWindowBetween(double a, double b, double recordSeconds);
// The whole record, from 0 to its length rounded up to a whole second.
TimeWindow WholeRecordWindow(double recordSeconds);

// The mouse on a frequency, period or lag axis, linear or logarithmic (a logarithmic one
// zooms and pans by ratios). Ranges stay positive, at least 1 % wide and at most eight
// decades (or 1e6 units) across.
TimeWindow ZoomAxisRange(const TimeWindow& r, double f, double pivot, bool log);
// Moved by `fraction` of the axis length (positive: towards larger values).
TimeWindow PanAxisRange(const TimeWindow& r, double fraction, bool log);
// Shows the window on the time axis and notes the move, so that series following the
// time axis are recomputed before they are next shown.
void SetTimeWindow(AppState& app, const TimeWindow& w);
// The time axis' current window.
TimeWindow CurrentTimeWindow(const AppState& app);
// Sample count over frequency, both whole numbers; 0 without a frequency.
int32_t RecordSeconds(int32_t dataCount, int32_t sampFreq);

// Zoom steps of the screen picture, then "Fit to window" (the page sized from the view),
// the choice of a new window.
constexpr int kZoomSteps = 5;
constexpr int kDefaultZoomIndex = 2;
constexpr std::array<int, kZoomSteps> kZoomPercent{50, 75, 100, 150, 200};
constexpr int kFitZoomIndex = kZoomSteps;
constexpr int kZoomChoices = kZoomSteps + 1;
// Image name of the zoom button: "zoom" and the percent as three digits, or "zoomfit".
std::string ZoomImageName(int index);
// The zoom choice after a step of +1 or -1 from `index` (from fitting: from 100 %),
// kept within the percent steps.
int SteppedZoomIndex(int index, int step);

// What the preprocessing settings change in every record read, for the status bar:
// "Preprocessed: band-pass 0.1-20 Hz, rotated 30 deg, ..."; empty when they change nothing
// but the offset.
std::string PreprocessingSummary(const PreProcParams& p);

// Where the main window opens, in screen pixels. Without a stored placement: 80 % of the
// primary screen's available area, centred. A stored one is kept when a screen holds all
// of it; otherwise it is moved onto the screen that holds most of it (the primary one
// when none does) and shrunk to fit there.
struct ScreenRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const ScreenRect&) const = default;
};
ScreenRect PlaceMainWindow(const std::optional<ScreenRect>& stored, const std::vector<ScreenRect>& screens,
                           std::size_t primary);

// What a key pressed in the main window does.
enum class ViewKey { Space, Right, Backspace, Left, Home, Up, Down, PageUp, PageDown, C, G, L, Other };
enum class KeyCommandKind { None, ShiftTime, ZoomTime, ZoomStep, CopySummary, ToggleGrid, StepLegend };
struct KeyCommand {
  KeyCommandKind kind = KeyCommandKind::None;
  double value = 0;  // ShiftTime/ZoomTime factor; ZoomStep +1 or -1
  bool operator==(const KeyCommand&) const = default;
};
// Shift is tested before Ctrl, so Shift wins when both are held.
KeyCommand KeyCommandFor(ViewKey key, bool shift, bool ctrl);

// Legend position after Ctrl+L: 0 -> 6 -> 10 -> 9 -> 5 -> 0; other values stay.
int32_t NextLegendPosition(int32_t position);

// Recent files, most recent first: entries 1 to 6 (entry 0 unused), as in section "Paths".
constexpr int kRecentCount = 6;
using RecentList = std::array<std::string, kRecentCount + 1>;
// A path already listed leaves the list as it is; otherwise it goes first and the
// sixth entry is lost. True when the list changed.
bool AddRecentPath(RecentList& list, const std::string& path);
// The entries the menu shows: the leading non-empty ones.
int RecentShownCount(const RecentList& list);

// Channel menu: one item per group of three channels, "Channel #1-#3" and so on.
int ChannelGroupCount(int32_t chanCount);
std::string ChannelGroupCaption(int group, int32_t chanCount);

// Program title, " - " and the file part; the title alone without a file part.
std::string WindowCaption(const std::string& filePart);

// Window placement is stored in twips.
constexpr int kTwipsPerPixel = 15;
int32_t PixelsFromTwips(double twips);
double TwipsFromPixels(int32_t pixels);

// The help file named by a help reference: what precedes the first "::".
std::string HelpFileOf(const std::string& reference);

}  // namespace sism
