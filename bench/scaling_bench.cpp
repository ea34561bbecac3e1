// The flatfile of an archive on 1, 2 and 4 threads: a fixed batch of K-NET records through the
// archive runner, as `metrics -j N` runs it. Records per second (wall time, noisy on a shared
// machine) and the process's CPU time per record: the latter staying flat as threads are added
// shows the workers do not wait on each other or on a shared lock. The samples are read from
// ../shared/samples beside the source tree; without them the benchmark says so and skips.
#include <benchmark/benchmark.h>

#include <ctime>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "app/shell/flatfile.h"
#include "analysis/drivers.h"
#include "state/app_state.h"

namespace {

const std::filesystem::path kSamples = std::filesystem::path(SISMORA_SOURCE_DIR) / ".." / "shared" / "samples";
constexpr int kBatch = 16;

double ProcessCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

void BM_ArchiveThreads(benchmark::State& state) {
  const std::filesystem::path ns = kSamples / "knet" / "AOM0011801241951.NS";
  if (!std::filesystem::exists(ns)) {
    state.SkipWithError(("sample records not found at " + kSamples.string()).c_str());
    return;
  }
  sism::AppState base;
  base.preproc.ShowEachTime = false;
  base.preproc.PickChannels = false;
  sism::FlatfileSettings settings;
  settings.request.stepsPerPeriod = sism::ResponseStepsPerPeriod(base.calc);
  const std::vector<std::string> files(kBatch, ns.string());
  const auto threads = static_cast<int32_t>(state.range(0));
  double cpu = 0;
  for (auto _ : state) {
    std::ostringstream out, log;
    const double before = ProcessCpuSeconds();
    if (sism::WriteFlatfile(base, files, settings, threads, true, out, log) != 0) state.SkipWithError("a row failed");
    cpu += ProcessCpuSeconds() - before;
    benchmark::DoNotOptimize(out.str().data());
  }
  state.counters["records_per_s"] = benchmark::Counter(kBatch, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["cpu_ms_per_record"] =
      1e3 * cpu / (static_cast<double>(state.iterations()) * kBatch);
}
BENCHMARK(BM_ArchiveThreads)->Arg(1)->Arg(2)->Arg(4)->UseRealTime()->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
