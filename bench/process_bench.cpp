// The processing chain on one core: three-component 100 Hz records of 120 s through every step
// and the flatfile row of the processed record (goal: at least 20 records per second), with and
// without the constant-ductility columns, and the chain alone; beside them the bare oscillator
// walks of rotd_bench, the measure of the machine's speed that day (4 ms where the goal was set).
#include <benchmark/benchmark.h>

#include <sstream>
#include <string>
#include <vector>

#include "analysis/drivers.h"
#include "analysis/ground_motion.h"
#include "analysis/processing.h"
#include "app/shell/console_ui.h"
#include "app/shell/flatfile.h"
#include "app/shell/flatfile_row.h"
#include "app/shell/process_archive.h"
#include "bench/reference_walks.h"
#include "state/app_state.h"
#include "tests/support/synthetic_quake.h"

namespace {

// state.range(0) 0: the row without the constant-ductility columns, whose spectra cost most.
void BM_ProcessRecord(benchmark::State& state) {
  std::vector<sism::StrongRecord> records;
  for (unsigned seed = 1; seed <= 4; ++seed) records.push_back(sism::test::Quake(120, 20, 150, seed));
  sism::AppState base;
  base.calc.IntegrationMethod = 0;  // the trapezoid rule, as the processed records are measured
  base.calc.CutOffFreq = 0;
  sism::MetricsRequest request;
  request.stepsPerPeriod = sism::ResponseStepsPerPeriod(base.calc);
  if (state.range(0) == 0) request.ductilities.clear();
  std::ostringstream log;
  sism::ConsoleUi ui(log);
  std::size_t k = 0, rejected = 0;
  for (auto _ : state) {
    sism::AppState app = base;
    app.record = records[k++ % records.size()];
    const sism::ProcessingResult r = sism::ProcessRecord(app.record, app.processing);
    if (r.rejected) ++rejected;
    sism::FlatRowInput in;
    in.file = "synthetic";
    in.app = &app;
    in.set = sism::FlatfileComponents(app.record);
    in.processing = &r;
    const sism::RecordMetrics m =
        sism::ComputeMetrics(app, {in.set.h1, in.set.h2, in.set.v}, {{in.set.h1, in.set.h2}}, request, ui);
    in.metrics = &m;
    sism::FlatRow flat(in);
    sism::BuildFlatfileRow(flat, request, sism::ProcessingColumns);
    std::string row = flat.Csv();
    benchmark::DoNotOptimize(row.data());
  }
  if (rejected > 0) state.SkipWithError("a synthetic record was rejected");
  state.counters["records_per_s"] = benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ProcessRecord)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// The chain alone, without the measures of the row.
void BM_ProcessingChainOnly(benchmark::State& state) {
  const sism::StrongRecord record = sism::test::Quake(120, 20, 150, 1);
  const sism::ProcessingParams p;
  for (auto _ : state) {
    sism::StrongRecord rec = record;
    const sism::ProcessingResult r = sism::ProcessRecord(rec, p);
    benchmark::DoNotOptimize(r.onset);
  }
  state.counters["records_per_s"] = benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ProcessingChainOnly)->Unit(benchmark::kMillisecond);

BENCHMARK(sism::bench::MachineReference)->Name("BM_MachineReference")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
