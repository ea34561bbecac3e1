// Time histories (acceleration, velocity, displacement): one strip per channel stacked
// from top to bottom, all sharing one time axis and one symmetric amplitude axis, each
// strip with a legend naming its channel and peak.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "draw/draw_graph.h"
#include "draw/graph_frame.h"
#include "state/graph_settings.h"
#include "draw/graphic_extensions.h"
#include "draw/templates.h"

namespace sism {

// One strip's series: `count` samples (may be null when count is 0), its label and peak.
struct TimeHistoryChannel {
  std::string label;
  float peak = 0;  // signed sample of largest magnitude
  const float* samples = nullptr;
  int32_t count = 0;
};

// Label and tick steps (seconds) of the time axis for a span in seconds.
struct TimeAxisSteps {
  float label = 5;
  float tick = 1;
};
TimeAxisSteps TimeStepsFor(double spanSeconds);

// Samples of a record of n samples at f per second inside the time window: first and
// last (1-based, empty when last < first), and how many sample intervals the window
// starts before sample `first` (non-zero only when the window opens before the record).
struct WindowRange {
  int32_t first = 1;
  int32_t last = 0;
  double lead = 0;
  bool Empty() const { return last < first; }
};
WindowRange WindowSamples(double timeMin, double timeMax, int32_t f, int32_t n);

// Amplitude axis type and peak format of kinds 1 to 3 (0 and "" otherwise).
int32_t AmplitudeAxisType(int32_t kind);
const char* PeakFormat(int32_t kind);

// Legend text: label (peak: value unit), the unit without its parentheses.
std::string TimeHistoryLegend(const std::string& label, float peak, int32_t kind, const std::string& unit);

// What the automatic processing marks on every strip, in seconds from the record's start:
// the onset as a vertical line and the noise window as a bracket under the strip's top.
struct TimeMarks {
  float onset = -1;                 // below 0: none
  float noiseFrom = 0, noiseTo = -1;  // empty when noiseTo < noiseFrom
  bool Any() const { return onset >= 0 || noiseTo >= noiseFrom; }
};
// The marks of the processing run on the record shown (none without one).
TimeMarks ProcessingMarks(const AppState& app);
// The marks inside the strip `frame` against its time axis; those outside it are left out.
void DrawTimeMarks(cGraphicExtensions& gx, const GraphFrame& frame, const TimeMarks& marks);

// Draws every strip. The frame arrives with the page position, strip size, lines and
// fonts; on return its plot top is the first strip's again, its time axis is the one
// drawn and its First/Last give the samples shown (relative to the time-axis minimum).
// `sampleCount` is the length of every channel's series. With `ownScales` each strip's
// amplitude axis follows its own channel's peak instead of the largest of them all; `marks`
// are drawn on every strip.
void PaintTimeHistory(cGraphicExtensions& gx, GraphFrame& frame, const GraphSettings& gs,
                      const TemplateFacts& facts, int32_t kind, int32_t sampFreq, int32_t sampleCount,
                      const std::vector<TimeHistoryChannel>& channels, bool ownScales = false,
                      const TimeMarks& marks = {});

// One strip's series: YData[First..Last] against the time axis. XData[0] is the sampling
// frequency; XData[1], when present, the intervals between the time-axis minimum and
// element 1.
void PlotTimeHistory(cGraphicExtensions& gx, const GraphFrame& frame);

// The series of the listed channels for a kind: the record's acceleration, or the
// velocity or displacement the integration computed. `sampleCount` receives their length.
std::vector<TimeHistoryChannel> TimeHistorySeries(const AppState& app, int32_t kind,
                                                  const std::vector<int32_t>& list, int32_t& sampleCount);

// The painter the dispatcher calls for kinds 1, 2 and 3.
void TimeHistoryPainter(PaintContext& context);

}  // namespace sism
