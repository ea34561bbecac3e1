// Reading a 3-channel CSV record of 10^6 lines (3 x 10^6 values, about 21 MB) as `sismora-cli
// info` does, layout guessed, JMA intensity and load statistics included (goal: at most 0.5 s),
// beside the reference: the same file read whole and its values converted by a plain strtof loop.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>

#include "app/shell/console_ui.h"
#include "common/files.h"
#include "load/pipeline.h"

namespace {

constexpr int kLines = 1000000;

// The test file, written once per run into the temporary folder.
const std::string& CsvFile() {
  static const std::string path = [] {
    const std::string p = (std::filesystem::temp_directory_path() / "sismora_text_read_bench.csv").string();
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    std::mt19937 gen(3);
    std::normal_distribution<double> noise(0.0, 40.0);
    out << "NS,EW,UD\r\n";
    char line[96];
    for (int i = 0; i < kLines; ++i) {
      const double e = std::exp(-std::pow((i - 300000) / 200000.0, 2));
      std::snprintf(line, sizeof line, "%.3f,%.3f,%.3f\r\n", noise(gen) * e, noise(gen) * e, 0.5 * noise(gen) * e);
      out << line;
    }
    return p;
  }();
  return path;
}

void BM_CsvRecordInfo(benchmark::State& state) {
  const std::string& path = CsvFile();
  for (auto _ : state) {
    sism::AppState app;
    sism::ConsoleUi ui(std::cerr);
    ui.onReadData = [](sism::DataFileKind, const std::string&, const std::string&, sism::DataFileParams& p) {
      p.freq = 100;
      return true;
    };
    if (sism::ReadAccFile(app, path, ui) < 1) state.SkipWithError("the CSV file was not read");
    benchmark::DoNotOptimize(app.record.JmaIntensity);
  }
  state.SetLabel("3 x 10^6 values, intensity and statistics");
}
BENCHMARK(BM_CsvRecordInfo)->Unit(benchmark::kMillisecond);

void BM_StrtofLoop(benchmark::State& state) {
  const std::string& path = CsvFile();
  for (auto _ : state) {
    const std::string text = sism::ReadWholeFile(path);
    const char* p = text.c_str();
    const char* end = p + text.size();
    while (p < end && *p != '\n') ++p;  // the label line
    double sum = 0;
    long count = 0;
    while (p < end) {
      char* next = nullptr;
      const float v = std::strtof(p, &next);
      if (next == p) {
        ++p;
        continue;
      }
      sum += v;
      ++count;
      p = next;
    }
    if (count != 3L * kLines) state.SkipWithError("wrong count of values");
    benchmark::DoNotOptimize(sum);
  }
  state.SetLabel("reference: whole-file read and strtof");
}
BENCHMARK(BM_StrtofLoop)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
