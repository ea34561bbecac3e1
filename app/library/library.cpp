// The flat functions of libsismora: each runs the program's own code on the record it is
// given and turns every failure into the record's error text.
#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>
#include <new>

#include "app/library/options.h"
#include "app/library/record_text.h"
#include "app/shell/flatfile.h"
#include "app/shell/settings.h"
#include "analysis/drivers.h"
#include "analysis/processing.h"
#include "common/strings.h"
#include "common/version.h"
#include "load/pipeline.h"
#include "load/preprocess.h"
#include "load/statistics.h"
#include "record/display_text.h"
#include "sismora.h"

struct sismora_record {
  sism::AppState app;
  std::string path;  // as opened
  std::string error;
  std::string preprocessing;  // the options of the preprocessing applied, "; " between runs
  std::string text;           // the last text returned
  std::string provenance;     // of the automatic processing that made the record, as JSON
  bool read = false;
};

namespace sism::library {
namespace {

// The state a read starts from: the program's defaults, whatever the user's stored settings
// are, and no preprocessing.
void StartState(AppState& app) {
  ResizeWaveLines(app.graph, kDefaultCompCount);
  SetGraphDefaults(app.graph);
  SetCalcDefaults(app.calc);
  SetPreProcDefaults(app.preproc);
  app.preproc.RemoveDC = false;
  app.preproc.ShowEachTime = false;
  app.preproc.PickChannels = false;
  app.run.SwitchC = true;
  app.run.SwitchE = true;
  app.run.LengthUnit = 1;
  app.graph.Axis[AxisFrequency].Specify = true;
  app.graph.Axis[AxisPeriod].Specify = true;
}

// Runs `body` on the record, its failures becoming the record's error; `failed` is returned then.
template <typename Result, typename Body>
Result Guarded(sismora_record* rec, Result failed, Body&& body) {
  if (rec == nullptr) return failed;
  rec->error.clear();
  try {
    return body();
  } catch (const std::bad_alloc&) {
    rec->error = "out of memory";
  } catch (const std::exception& e) {
    rec->error = e.what();
  }
  return failed;
}

bool Loaded(sismora_record* rec) {
  if (rec->read) return true;
  rec->error = "no record was read";
  return false;
}

}  // namespace
}  // namespace sism::library

using namespace sism;
using namespace sism::library;

extern "C" {

const char* sismora_version(void) {
  return SISMORA_VERSION;
}

sismora_record* sismora_open(const char* path, const char* options) {
  sismora_record* rec = nullptr;
  try {
    rec = new sismora_record;
  } catch (const std::exception&) {
    return nullptr;
  }
  Guarded(rec, 0, [&] {
    OptionMap map;
    ReadSettings settings;
    if (path == nullptr || *path == '\0') {
      rec->error = Str(9020);
      return 0;
    }
    rec->path = path;
    if (!ParseOptions(options, map, rec->error) || !ReadSettingsOf(map, settings, rec->error)) return 0;
    StartState(rec->app);
    LibraryUi ui(std::move(settings));
    rec->read = ReadAccFile(rec->app, rec->path, ui) > 0;
    if (!rec->read) {
      rec->error = ui.Error();
      if (rec->error.empty()) rec->error = "Failed to read " + rec->path;
    }
    return 0;
  });
  return rec;
}

const char* sismora_error(const sismora_record* rec) {
  return rec != nullptr ? rec->error.c_str() : "no record";
}

int32_t sismora_channel_count(const sismora_record* rec) {
  return rec != nullptr && rec->read ? rec->app.record.ChanCount : 0;
}

int32_t sismora_sample_count(const sismora_record* rec) {
  return rec != nullptr && rec->read ? rec->app.record.DataCount : 0;
}

int32_t sismora_rate(const sismora_record* rec) {
  return rec != nullptr && rec->read ? rec->app.record.SampFreq : 0;
}

float sismora_dt(const sismora_record* rec) {
  const int32_t rate = sismora_rate(rec);
  // The step every computation of the program uses.
  return rate > 0 ? 1.0f / static_cast<float>(rate) : 0.0f;
}

int32_t sismora_samples(const sismora_record* rec, int32_t channel, float* out, int32_t capacity) {
  if (rec == nullptr || !rec->read || out == nullptr || channel < 1 || channel > rec->app.record.ChanCount)
    return 0;
  const int32_t n = std::clamp(rec->app.record.DataCount, 0, std::max(capacity, 0));
  std::memcpy(out, rec->app.record.Channel(channel), sizeof(float) * static_cast<std::size_t>(n));
  return n;
}

int32_t sismora_all_samples(const sismora_record* rec, float* out, int64_t capacity) {
  if (rec == nullptr || !rec->read || out == nullptr) return 0;
  const StrongRecord& r = rec->app.record;
  const int64_t n = std::max(r.DataCount, 0);
  if (capacity < n * r.ChanCount) return 0;
  for (int32_t ch = 1; ch <= r.ChanCount; ++ch)
    std::memcpy(out + (ch - 1) * n, r.Channel(ch), sizeof(float) * static_cast<std::size_t>(n));
  return r.ChanCount;
}

const char* sismora_metadata(sismora_record* rec) {
  return Guarded(rec, static_cast<const char*>(nullptr), [&]() -> const char* {
    if (!Loaded(rec)) return nullptr;
    rec->text = MetadataText(rec->app, rec->preprocessing);
    return rec->text.c_str();
  });
}

int32_t sismora_preprocess(sismora_record* rec, const char* options) {
  return Guarded(rec, 0, [&] {
    OptionMap map;
    PreProcParams params;
    if (!Loaded(rec) || !ParseOptions(options, map, rec->error) || !PreprocessOf(map, params, rec->error)) return 0;
    AppState& app = rec->app;
    // On a copy: a chain that cannot be applied leaves the record as it was.
    StrongRecord work = app.record;
    const PreProcParams before = app.preproc;
    app.preproc = params;
    LibraryUi ui(ReadSettings{});
    const PreprocessNotes notes = Preprocess(app, work, ui, true);
    app.preproc = before;
    if (notes.filterRejected) {
      rec->error = Str(9045);
      return 0;
    }
    std::vector<float> durations;
    ComputeLoadStatistics(work, durations, params.RefSensor);
    app.record = std::move(work);
    app.Durations = std::move(durations);
    SetLengthUnit(app, notes.lengthUnit);
    ResetDrawSelection(app);
    SetDefaultRelationPairs(app);
    app.view.LabelCopies = DisplayLabels(app.record);
    app.series.Invalidate();
    std::string applied;
    for (const auto& [key, value] : map) applied += (applied.empty() ? "" : ",") + key + "=" + value;
    rec->preprocessing += (rec->preprocessing.empty() ? "" : "; ") + (applied.empty() ? "defaults" : applied);
    return 1;
  });
}

const char* sismora_metrics(sismora_record* rec, const char* options) {
  return Guarded(rec, static_cast<const char*>(nullptr), [&]() -> const char* {
    OptionMap map;
    MetricsRequest request;
    // The tool's default: the maxima also between the samples, as the program's spectra.
    request.stepsPerPeriod = ResponseStepsPerPeriod(rec->app.calc);
    std::string file = rec->path;
    if (!Loaded(rec) || !ParseOptions(options, map, rec->error) ||
        !MetricsRequestOf(map, request, file, rec->error))
      return nullptr;
    LibraryUi ui(ReadSettings{});
    const std::string row = FlatfileRecordRow(rec->app, file, request, ui);
    rec->text = ColumnsText(FlatfileHeader(request), row);
    return rec->text.c_str();
  });
}

sismora_record* sismora_process(sismora_record* rec, const char* options, const char** provenance) {
  if (provenance != nullptr) *provenance = nullptr;
  return Guarded(rec, static_cast<sismora_record*>(nullptr), [&]() -> sismora_record* {
    OptionMap map;
    ProcessingParams params;
    if (!Loaded(rec) || !ParseOptions(options, map, rec->error) || !ProcessingOf(map, params, rec->error))
      return nullptr;
    auto out = std::make_unique<sismora_record>();
    out->app = rec->app;
    out->path = rec->path;
    out->preprocessing = rec->preprocessing;
    out->read = true;
    AppState& app = out->app;
    app.processing = params;
    const ProcessingResult r = ProcessRecord(app.record, params);
    if (r.processed) {
      // The statistics of the record as processed; it is corrected, so its velocity and
      // displacement come by the trapezoid rule alone, as in the processing tool's flatfile.
      ComputeLoadStatistics(app.record, app.Durations, app.preproc.RefSensor);
      app.calc.IntegrationMethod = 0;
      app.calc.CutOffFreq = 0;
    }
    app.series.Invalidate();
    out->provenance = ProvenanceJson(app.record, out->path, r);
    if (provenance != nullptr) *provenance = out->provenance.c_str();
    return out.release();
  });
}

int64_t sismora_list_records(const char* folder, char* out, int64_t capacity) {
  try {
    if (folder == nullptr) return 0;
    std::string list;
    for (const std::string& file : CollectRecords({folder}).files) list += file + "\n";
    if (out != nullptr && capacity > 0) {
      const auto n = static_cast<std::size_t>(std::min<int64_t>(capacity - 1, static_cast<int64_t>(list.size())));
      std::memcpy(out, list.data(), n);
      out[n] = '\0';
    }
    return static_cast<int64_t>(list.size());
  } catch (const std::exception&) {
    return 0;
  }
}

void sismora_free(sismora_record* rec) {
  delete rec;
}

}  // extern "C"
