#include "app/shell/process_view.h"

#include <utility>

#include "analysis/processing.h"
#include "app/shell/properties_report.h"
#include "common/strings.h"
#include "common/text.h"
#include "load/statistics.h"

namespace sism {

namespace {

std::string Seconds(int32_t sample, int32_t rate) {
  if (sample <= 0 || rate <= 0) return "-";
  return FormatNumber(static_cast<float>(sample - 1) / static_cast<float>(rate), "0.00") + " s";
}

std::string Joined(const std::vector<std::pair<std::string, std::string>>& pairs) {
  std::string s;
  for (const auto& [key, value] : pairs) s += (s.empty() ? "" : ", ") + key + "=" + value;
  return s;
}

}  // namespace

std::string ProcessingOutcomeText(const ProcessingResult& r) {
  if (r.rejected) return "Rejected: " + r.FlagList();
  if (!r.flags.empty()) return "Processed with warnings: " + r.FlagList();
  return "Processed: passed";
}

std::string ProcessShownRecord(AppState& app) {
  if (app.record.ChanCount <= 0) return "";
  // A second run starts again from the record as read, so undo still reaches it; the chain
  // works on a copy, so a failure leaves the state as it was.
  const bool again = app.processed.has_value();
  StrongRecord work = again ? app.processed->before : app.record;
  ProcessingRun run;
  run.result = ProcessRecord(work, app.processing);
  std::vector<float> durations = again ? app.processed->durationsBefore : app.Durations;
  if (run.result.processed) ComputeLoadStatistics(work, durations, app.preproc.RefSensor);
  if (again) {
    run.before = std::move(app.processed->before);
    run.durationsBefore = std::move(app.processed->durationsBefore);
  } else {
    run.before = std::move(app.record);
    run.durationsBefore = std::move(app.Durations);
  }
  app.record = std::move(work);
  app.Durations = std::move(durations);
  app.series.Invalidate();
  const std::string text = ProcessingOutcomeText(run.result);
  app.processed = std::move(run);
  return text;
}

bool UndoProcessing(AppState& app) {
  if (!app.processed) return false;
  app.record = std::move(app.processed->before);
  app.Durations = std::move(app.processed->durationsBefore);
  app.processed.reset();
  app.series.Invalidate();
  return true;
}

std::string ProcessingReportText(const AppState& app) {
  if (!app.processed) return "";
  const ProcessingResult& r = app.processed->result;
  const int32_t rate = app.record.SampFreq;
  std::string out = "Processing";
  auto line = [&out](const std::string& text) {
    out += kCrLf;
    out += text;
  };
  line(" Outcome: " + ProcessingOutcomeText(r));
  line(" Onset: " + Seconds(r.onset, rate) + (r.onset > 0 && !r.onsetReliable ? " (unreliable)" : ""));
  line(" Noise window: " + Seconds(r.noiseFirst, rate) + " to " + Seconds(r.noiseLast, rate));
  line(" Signal window: " + Seconds(r.signalFirst, rate) + " to " + Seconds(r.signalLast, rate));
  line(" #    High-pass   Low-pass  (Hz)");
  for (const ChannelProcessing& c : r.channels)
    line(FormatNumber(c.ch, "00") + AlignRight(FormatNumber(c.highPass, "0.000"), 11) +
         AlignRight(FormatNumber(c.lowPass, "0.00"), 11));
  line(" Flags:" + std::string(r.flags.empty() ? " none" : ""));
  for (const ProcessingFlag& f : r.flags)
    line("  " + f.name + (f.ch > 0 ? " (channel " + std::to_string(f.ch) + ")" : "") +
         (f.detail.empty() ? "" : ": " + f.detail));
  line(" Steps:");
  for (const ProcessingStep& s : r.steps) {
    line("  " + s.name + (s.params.empty() ? "" : ": " + Joined(s.params)));
    if (!s.results.empty()) line("    -> " + Joined(s.results));
  }
  return out;
}

}  // namespace sism
