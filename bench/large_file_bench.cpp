// Opening 2 GB files that are no record (goal: each refused in at most 1 s, without reading
// the file): zeros named as general text, zeros named as a PEER record, and a K-NET head
// padded with zeros. The files are sparse: they take no disk.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "app/shell/console_ui.h"
#include "load/pipeline.h"

namespace {

std::string SparseFile(const std::string& name, const std::string& head) {
  const std::string path = (std::filesystem::temp_directory_path() / ("sismora_large_" + name)).string();
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << head;
  }
  std::filesystem::resize_file(path, std::uintmax_t{2} << 30);
  return path;
}

void Refuse(benchmark::State& state, const std::string& path) {
  for (auto _ : state) {
    sism::AppState app;
    std::ostringstream messages;
    sism::ConsoleUi ui(messages);
    if (sism::ReadAccFile(app, path, ui) > 0) state.SkipWithError("a file of zeros was read");
  }
  std::filesystem::remove(path);
}

void BM_ZerosAsText(benchmark::State& state) {
  Refuse(state, SparseFile("zeros.txt", ""));
}
BENCHMARK(BM_ZerosAsText)->Unit(benchmark::kMillisecond);

void BM_ZerosAsPeerRecord(benchmark::State& state) {
  Refuse(state, SparseFile("zeros.AT2", ""));
}
BENCHMARK(BM_ZerosAsPeerRecord)->Unit(benchmark::kMillisecond);

void BM_PaddedKnetHead(benchmark::State& state) {
  Refuse(state, SparseFile("padded.EW", "Origin Time       2000/10/06 13:30:00\n"));
}
BENCHMARK(BM_PaddedKnetHead)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
