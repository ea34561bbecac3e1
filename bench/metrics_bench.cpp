// The flatfile of real records on one core: a three-component K-NET record read, preprocessed
// and measured (goal: at least 50 records per second), and every record of the sample archive.
// The samples are read from ../shared/samples beside the source tree; without them the
// benchmarks say so and skip.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/drivers.h"
#include "app/shell/flatfile.h"
#include "state/app_state.h"

namespace {

const std::filesystem::path kSamples = std::filesystem::path(SISMORA_SOURCE_DIR) / ".." / "shared" / "samples";

sism::AppState Base() {
  sism::AppState base;  // default settings, not the user's
  base.preproc.ShowEachTime = false;
  base.preproc.PickChannels = false;
  return base;
}

void Measure(benchmark::State& state, const std::vector<std::string>& files) {
  const sism::AppState base = Base();
  sism::FlatfileSettings settings;
  settings.request.stepsPerPeriod = sism::ResponseStepsPerPeriod(base.calc);
  for (auto _ : state) {
    for (const std::string& f : files) {
      std::string row;
      std::ostringstream log;
      if (!sism::FlatfileLine(base, f, settings, row, log)) state.SkipWithError(("not read: " + f).c_str());
      benchmark::DoNotOptimize(row.data());
    }
  }
  state.counters["records_per_s"] =
      benchmark::Counter(static_cast<double>(files.size()), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_MetricsKnetRecord(benchmark::State& state) {
  const std::filesystem::path ns = kSamples / "knet" / "AOM0011801241951.NS";
  if (!std::filesystem::exists(ns)) {
    state.SkipWithError(("sample records not found at " + kSamples.string()).c_str());
    return;
  }
  Measure(state, {ns.string()});
}
BENCHMARK(BM_MetricsKnetRecord)->Unit(benchmark::kMillisecond);

void BM_MetricsSampleArchive(benchmark::State& state) {
  if (!std::filesystem::is_directory(kSamples)) {
    state.SkipWithError(("sample records not found at " + kSamples.string()).c_str());
    return;
  }
  Measure(state, sism::CollectRecords({kSamples.string()}).files);
}
BENCHMARK(BM_MetricsSampleArchive)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
