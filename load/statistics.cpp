#include "load/statistics.h"

#include <cmath>

#include "common/text.h"
#include "record/display_text.h"
#include "record/intensity_text.h"
#include "sismcalc/binding/calc.h"

namespace sism {

float ChannelDuration(const StrongRecord& rec, int32_t ch) {
  if (rec.DataCount < 1 || rec.SampFreq < 1) return 0;
  float dt = 1.0f / static_cast<float>(rec.SampFreq);
  int32_t n = rec.DataCount;
  return calc::DURATION(&n, &dt, rec.Channel(ch));
}

void ComputeDurations(const StrongRecord& rec, std::vector<float>& durations) {
  durations.assign(static_cast<std::size_t>(std::max(rec.ChanCount, 0)), 0.0f);
  for (int32_t ch = 1; ch <= rec.ChanCount; ++ch)
    durations[static_cast<std::size_t>(ch - 1)] = ChannelDuration(rec, ch);
}

void FinishRecord(StrongRecord& rec) {
  const int32_t c = rec.ChanCount;
  const int32_t k = rec.JmaGroup;
  if (k >= 1) {
    const int32_t b = 3 * (k - 1) + 1;
    if (rec.DataCount >= 1 && rec.SampFreq >= 1) {
      float dt = 1.0f / static_cast<float>(rec.SampFreq);
      int32_t n = rec.DataCount;
      // The whole record at once, as the standard computes it.
      rec.JmaIntensity = calc::SIJMA(&n, &dt, rec.Channel(b), rec.Channel(b + 1), rec.Channel(b + 2));
    } else {
      rec.JmaIntensity = 0;
    }
    int32_t three = 3;
    rec.PeakAcc = std::fabs(calc::GETPEAK(&three, &rec.Peak(b)));
  } else {
    rec.JmaIntensity = 0;
    int32_t n = c;
    rec.PeakAcc = c >= 1 ? std::fabs(calc::GETPEAK(&n, &rec.Peak(1))) : 0.0f;
  }
}

ReadOutcome ReadFinishedRecord(const std::string& path, StrongRecord& rec, ReadQuestions& ask,
                               const ReaderTable& readers) {
  ReadOutcome outcome = ReadRecordFile(path, rec, ask, readers);
  if (outcome) FinishRecord(rec);
  return outcome;
}

void ComputeLoadStatistics(StrongRecord& rec, std::vector<float>& durations, int32_t refSensor) {
  const int32_t c = rec.ChanCount;
  if (refSensor > 0) {
    if (refSensor <= c / 3) rec.JmaGroup = refSensor;
  } else if (rec.JmaGroup < 1 || 3 * rec.JmaGroup > c) {
    // The record's own sensor when its reader chose one it still has, else the first.
    rec.JmaGroup = c >= 3 ? 1 : 0;
  }
  // A sensor number the record cannot hold (set by a reader for more channels than were
  // kept) falls back to no sensor rather than reading past the last channel.
  if (rec.JmaGroup < 0 || 3 * rec.JmaGroup > c) rec.JmaGroup = 0;

  FinishRecord(rec);
  ComputeDurations(rec, durations);
}

std::string StatusParamsText(const StrongRecord& rec) {
  // What the file did not give stays out.
  std::string when = ShownDate(rec);
  if (const std::string time = ShownTime(rec); !time.empty()) when += (when.empty() ? "" : " ") + time;
  const std::string grade = ShownIntensityClass(rec);
  return (when.empty() ? std::string() : when + " at ") + ShownStation(rec) + " (I=" + ShownIntensityValue(rec) +
         (grade.empty() ? "" : ", " + grade) + ")" + " [" + std::to_string(rec.SampFreq) + " Hz, " +
         FormatNumber(rec.DataCount, "#,#") + " stps, " + std::to_string(rec.ChanCount) + " chs]";
}

}  // namespace sism
