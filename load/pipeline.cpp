#include "load/pipeline.h"

#include <algorithm>
#include <cmath>
#include <vector>
#include <cerrno>

#include "common/errors.h"
#include "common/files.h"
#include "common/strings.h"
#include "common/text.h"
#include "load/preprocess.h"
#include "load/statistics.h"
#include "load/user_side.h"
#include "record/display_text.h"
#include "record/reader.h"
#include "record/refusal.h"

namespace sism {

namespace {

// Order of the zero-phase low-pass run before a record is thinned to a lower rate.
constexpr int32_t kAntiAliasOrder = 8;

std::string PipelineTitle(const char* procedure) {
  return std::string(procedure) + " - " + ProgramTitle();
}

std::string ReadingText(const std::string& path) {
  return Str(9000) + " - " + path;
}

// A run-time error inside the pipeline itself (not in a reader, which reports its own).
void ReportPipelineError(UserInterface& ui, const char* procedure, const std::string& path,
                         const std::exception& e) {
  ui.MsgBox(ReadFailureText(path, e), MsgIcon::Critical, PipelineTitle(procedure));
}

// The view keeps the labels as shown, whatever encoding the record's own are in.
void CopyAllLabels(AppState& state) {
  state.view.LabelCopies = DisplayLabels(state.record);
}

// The record and everything derived from it.
void ForgetRecord(AppState& state) {
  ClearRecord(state.record);
  state.view.Preprocessing.clear();
  state.record.FileFormat = FormatNone;
  state.record.FilePath.clear();
  state.view.GraphKind = 0;
  state.series.Clear();
  state.view.ViewChanCount = 0;
  state.Durations.clear();
  state.processed.reset();
}

// A file that is not there or is refused on sight is said so before any dialog, and the
// current record stays.
bool RefusedBeforeReading(UserInterface& ui, const std::string& path, const char* procedure) {
  std::string why = RefusalText(path);
  if (why.empty() && !FileExists(path)) {
    why = Str(9020);
    // A link that leads nowhere exists as a name: say which and why it cannot be followed.
    if (const std::string problem = FileProblem(path); !problem.empty() && problem != SystemReason(ENOENT))
      why += "\n" + path + ": " + problem + ".";
  }
  if (why.empty()) return false;
  ui.MsgBox(why, MsgIcon::Critical, PipelineTitle(procedure));
  return true;
}

// What the reader and the preprocessing want the user to know, in the status bar.
void ShowNotes(UserInterface& ui, const std::string& readNote, const PreprocessNotes& notes,
               const std::string& multipliers) {
  std::string text = readNote;
  if (notes.multipliersRejected)
    text += (text.empty() ? "" : "; ") + MultipliersRejectedText(multipliers);
  if (notes.filterRejected) text += (text.empty() ? "" : "; ") + Str(9045);
  if (!text.empty()) ui.ShowStatusMessage(text);
}

// What joining `added` to `rec` (of `before` channels) does beyond adding channels: the
// channels of the faster one resampled, and records far apart in time put side by side.
std::string JoinNote(const StrongRecord& rec, const StrongRecord& added, int32_t before) {
  std::vector<std::string> parts;
  const int32_t f = rec.SampFreq, g = added.SampFreq;
  if (f > 0 && g > 0 && f != g) {
    const bool old = f > g;
    const int32_t first = old ? 1 : before + 1, last = old ? before : before + added.ChanCount;
    const std::string which = first == last ? "channel " + std::to_string(first)
                                            : "channels " + std::to_string(first) + "-" + std::to_string(last);
    parts.push_back(which + " resampled from " +
                    std::to_string(std::max(f, g)) + " Hz to " + std::to_string(std::min(f, g)) +
                    " Hz (low-passed at " + NumberText(static_cast<float>(std::min(f, g)) / 2.0f) + " Hz)");
  }
  int64_t a = 0, b = 0;
  if (f > 0 && g > 0 && StartSeconds(rec, a) && StartSeconds(added, b)) {
    const double length = std::max(static_cast<double>(rec.DataCount) / f, static_cast<double>(added.DataCount) / g);
    if (std::fabs(static_cast<double>(a - b)) > length)
      parts.push_back("not aligned in time: the records start at " + Trim(rec.RecDate + " " + rec.RecTime) +
                      " and " + Trim(added.RecDate + " " + added.RecTime));
  }
  std::string text;
  for (std::size_t i = 0; i < parts.size(); ++i) text += (i ? "; " : "") + parts[i];
  return text;
}

// The time window from the start to the end of the record (whole seconds, 5 at least).
void ShowWholeRecord(AppState& state) {
  const StrongRecord& r = state.record;
  if (r.SampFreq < 1 || r.DataCount < 1) return;
  AxisSettings& t = state.graph.Axis[AxisTime];
  t.Min = 0;
  t.Max = static_cast<float>(std::max(5.0, std::ceil(static_cast<double>(r.DataCount) / r.SampFreq)));
  state.view.Changes |= RecalcTimeAxis;
}

void ShowParams(AppState& state, UserInterface& ui) {
  ui.ShowStatusParams(state.record.ChanCount > 0 ? StatusParamsText(state.record) : std::string());
}

}  // namespace

void ResetDrawSelection(AppState& state) {
  const int32_t count = std::max(state.record.ChanCount, 0);
  const int32_t drawn = std::clamp(state.graph.CompCountMax, 0, count);
  state.view.DrawChan.resize(static_cast<std::size_t>(count));
  for (int32_t ch = 1; ch <= count; ++ch) state.view.DrawChan[static_cast<std::size_t>(ch - 1)] = ch <= drawn;
  state.view.DrawnCount = drawn;
  state.view.ViewChanCount = count;
  state.calc.FourStart = 0;
  state.calc.RespStart = 0;
  state.calc.RespLength = 0;
}

void SetDefaultRelationPairs(AppState& state) {
  auto& pairs = state.view.RelationPairs;
  pairs.clear();
  const int32_t d = state.view.DrawnCount;
  const int32_t g = state.record.JmaGroup;
  if (d == 3) {
    pairs = {{3, 1}, {3, 2}};
  } else if (d == 2 || d == 4 || d == 5) {
    pairs = {{1, 2}};
  } else if (d >= 6) {
    if (g < 2)
      pairs = {{1, 4}, {2, 5}, {3, 6}};
    else
      pairs = {{3 * g - 2, 1}, {3 * g - 1, 2}, {3 * g, 3}};
  }
}

void ResampleRecord(StrongRecord& rec, int32_t ratio) {
  if (ratio <= 1) return;
  // What lies above the new Nyquist frequency would fold back onto the kept samples.
  // Filtered about its mean, so that an offset does not ring at the ends.
  const float nyquist = static_cast<float>(rec.SampFreq / ratio) / 2.0f;
  std::vector<double> means(static_cast<std::size_t>(std::max(rec.ChanCount, 0)), 0.0);
  for (int32_t ch = 1; ch <= rec.ChanCount && rec.DataCount > 0; ++ch) {
    float* x = rec.Channel(ch);
    double& m = means[static_cast<std::size_t>(ch - 1)];
    for (int32_t i = 0; i < rec.DataCount; ++i) m += x[i];
    m /= rec.DataCount;
    for (int32_t i = 0; i < rec.DataCount; ++i) x[i] = static_cast<float>(x[i] - m);
  }
  ButterworthBandPass(rec, 0.0f, nyquist, kAntiAliasOrder, true, false);
  for (int32_t ch = 1; ch <= rec.ChanCount && rec.DataCount > 0; ++ch) {
    float* x = rec.Channel(ch);
    for (int32_t i = 0; i < rec.DataCount; ++i) x[i] = static_cast<float>(x[i] + means[static_cast<std::size_t>(ch - 1)]);
  }
  DecimateRecord(rec, ratio);
}

void DecimateRecord(StrongRecord& rec, int32_t ratio) {
  if (ratio <= 1) return;
  const int32_t count = rec.DataCount / ratio;
  for (int32_t ch = 1; ch <= rec.ChanCount && count > 0; ++ch) {
    float* x = rec.Channel(ch);
    for (int32_t k = 0; k < count; ++k) x[k] = x[static_cast<std::size_t>(k) * ratio];
  }
  rec.SampFreq /= ratio;
  rec.DataCount = count;
  ComputePeaks(rec);
}

void MergeRecord(StrongRecord& rec, const StrongRecord& add, bool prefixCode) {
  const int32_t old = rec.ChanCount;
  rec.PreserveChannels(old + add.ChanCount);
  rec.ChanCount = old + add.ChanCount;
  const int32_t copied = std::min({add.DataCount, rec.DataCount, rec.DataCapacity()});
  for (int32_t j = 1; j <= add.ChanCount; ++j) {
    const int32_t ch = old + j;
    if (rec.DataCapacity() > 0) {
      float* x = rec.Channel(ch);
      if (copied > 0) std::copy(add.Channel(j), add.Channel(j) + copied, x);
      std::fill(x + std::max(copied, 0), x + rec.DataCapacity(), 0.0f);
    }
    rec.Label(ch) = prefixCode ? add.SiteCode + " " + add.Label(j) : add.Label(j);
    rec.Peak(ch) = add.Peak(j);
    rec.PeakStep(ch) = add.PeakStep(j);
    rec.Offset(ch) = add.Offset(j);
    rec.Coef(ch) = add.Coef(j);
  }
}

int32_t ReadAccFile(AppState& state, const std::string& path, UserInterface& ui) {
  return ReadAccFile(state, path, ui, DefaultReaders());
}

int32_t ReadAccFile(AppState& state, const std::string& path, UserInterface& ui, const ReaderTable& readers) {
  if (RefusedBeforeReading(ui, path, "ReadAccFile")) return 0;
  if (state.preproc.ShowEachTime && !ui.ShowPreProcDialog(state.preproc)) return 0;

  const int32_t viewCountBefore = state.view.ViewChanCount;
  ui.ShowStatusMessage("");
  ui.ShowStatusParams("");
  // The file is read into a record of its own: the current one, with its preprocessing,
  // new channels and edited texts, stays until the new one has loaded.
  StrongRecord fresh;
  std::vector<float> durations;
  bool loaded = false;
  PreprocessNotes notes;
  {
    StatusScope scope(ui, ReadingText(path));
    try {
      if (ReportRead(ReadRecordFile(path, fresh, ui, readers), ui)) {
        notes = Preprocess(state, fresh, ui, true);
        ComputeLoadStatistics(fresh, durations, state.preproc.RefSensor);
        loaded = fresh.ChanCount > 0;
      }
    } catch (const std::exception& e) {
      ReportPipelineError(ui, "ReadAccFile", path, e);
      loaded = false;
    }
  }
  if (loaded) {
    ForgetRecord(state);
    state.record = std::move(fresh);
    state.Durations = std::move(durations);
    SetLengthUnit(state, notes.lengthUnit);
    if (state.preproc.KeepDrawChan && state.record.ChanCount == viewCountBefore &&
        state.view.DrawChan.size() == static_cast<std::size_t>(viewCountBefore)) {
      state.view.ViewChanCount = viewCountBefore;
      state.calc.FourStart = 0;
      state.calc.RespStart = 0;
      state.calc.RespLength = 0;
    } else {
      ResetDrawSelection(state);
      state.graph.OrbitComp1 = 2;
      state.graph.OrbitComp2 = 1;
      SetDefaultRelationPairs(state);
    }
    CopyAllLabels(state);
    if (!state.graph.FixedTimeWindow) ShowWholeRecord(state);
    state.view.Preprocessing = notes.done;
    state.series.Invalidate();
    state.run.RecordFileCount = 1;
  }
  ShowNotes(ui, loaded ? state.record.ReadNote : fresh.ReadNote, notes, state.preproc.Multipliers);
  ShowParams(state, ui);
  return loaded ? state.record.ChanCount : 0;
}

int32_t AppendAccFile(AppState& state, const std::string& path, UserInterface& ui) {
  return AppendAccFile(state, path, ui, DefaultReaders());
}

int32_t AppendAccFile(AppState& state, const std::string& path, UserInterface& ui,
                      const ReaderTable& readers) {
  const int32_t before = state.record.ChanCount;
  if (RefusedBeforeReading(ui, path, "AppendAccFile")) return before;
  if (state.preproc.ShowEachTime && !ui.ShowPreProcDialog(state.preproc)) return before;

  StrongRecord added;
  bool read;
  {
    StatusScope scope(ui, ReadingText(path));
    read = ReportRead(ReadRecordFile(path, added, ui, readers), ui);
  }
  int32_t result = before;
  PreprocessNotes notes;
  std::string appendNote;
  if (read) {
    try {
      // Work on a copy: a refusal or an error leaves the current record exactly as it was.
      StrongRecord merged = state.record;
      // Texts in two encodings cannot share one record: both join as shown.
      if (merged.Encoding != added.Encoding) {
        DecodeRecordTexts(merged);
        DecodeRecordTexts(added);
      }
      const bool prefix = state.preproc.PrefixCode && state.run.RecordFileCount == 1;
      if (prefix)
        for (int32_t ch = 1; ch <= merged.ChanCount; ++ch)
          merged.Label(ch) = merged.SiteCode + " " + merged.Label(ch);

      const int32_t f = merged.SampFreq, g = added.SampFreq;
      const std::string joined = JoinNote(merged, added, before);
      bool refused = false;
      if (f > g) {
        if (g < 1 || f % g != 0)
          refused = true;
        else
          ResampleRecord(merged, f / g);
      } else if (f < g) {
        if (f < 1 || g % f != 0)
          refused = true;
        else
          ResampleRecord(added, g / f);
      }
      if (refused) {
        ui.MsgBox(Str(9030), MsgIcon::Critical, PipelineTitle("AppendAccFile"));
      } else {
        notes = Preprocess(state, added, ui, false);
        MergeRecord(merged, added, state.preproc.PrefixCode);
        if (!added.ReadNote.empty())
          merged.ReadNote += (merged.ReadNote.empty() ? "" : "; ") + added.ReadNote;
        appendNote = joined;
        std::vector<float> durations;
        ComputeDurations(merged, durations);

        state.record = std::move(merged);
        state.Durations = std::move(durations);
        state.processed.reset();
        if (prefix) {
          for (std::size_t i = 0; i < state.view.LabelCopies.size() && i < static_cast<std::size_t>(before);
               ++i)
            state.view.LabelCopies[i] = DisplayLabelOf(state.record, static_cast<int32_t>(i) + 1);
        }
        ResetDrawSelection(state);
        state.view.LabelCopies.resize(static_cast<std::size_t>(before));
        for (int32_t ch = before + 1; ch <= state.record.ChanCount; ++ch)
          state.view.LabelCopies.push_back(DisplayLabelOf(state.record, ch));
        ++state.run.RecordFileCount;
        result = state.record.ChanCount;
      }
    } catch (const std::exception& e) {
      ReportPipelineError(ui, "AppendAccFile", path, e);
      result = before;
    }
  }
  state.series.Invalidate();
  const std::string readNote = read ? added.ReadNote : std::string();
  ShowNotes(ui, appendNote.empty() ? readNote : readNote.empty() ? appendNote : appendNote + "; " + readNote, notes,
            state.preproc.Multipliers);
  ShowParams(state, ui);
  return result;
}

}  // namespace sism
