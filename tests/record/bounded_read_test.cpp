#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "load/user_side.h"
#include "record/dispatch.h"
#include "tests/support/child_peak.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

using test::ScriptedUi;
using test::TempDir;

constexpr int64_t kTwoGb = int64_t{2} << 30;

// `head`, then zeros up to 2 GB that take no disk.
std::string SparseFile(const TempDir& dir, const std::string& name, const std::string& head) {
  const std::string path = dir.Write(name, head);
  std::filesystem::resize_file(path, static_cast<std::uintmax_t>(kTwoGb));
  return path;
}

// The read's message, or "read" when it gave a record.
std::string ReadMessage(const std::string& path) {
  StrongRecord rec;
  ScriptedUi ui;
  ui.onReadData = [](DataFileKind, const std::string&, DataFileParams&) { return true; };
  if (ReportRead(ReadRecordFile(path, rec, ui), ui)) return "read";
  return ui.messages.empty() ? "no message" : ui.messages.back().text;
}

TEST(ReadRecordFile, TwoGigabyteFilesAreRefusedWithoutReadingThem) {
  std::string numbers;
  for (int i = 0; i < 200; ++i) numbers += "1.5 2.5\n";
  const struct {
    const char* name;
    std::string head;
    const char* says;
  } cases[] = {
      {"zeros.txt", "", "binary data"},
      {"zeros.csv", "", "binary data"},
      {"zeros.sac", "", "binary data"},
      {"zeros.AT2", "", "is 2.0 GB, larger than a PEER AT2 file can be (64 MB)"},
      {"padded.EW", "Origin Time       2000/10/06 13:30:00\n", "is 2.0 GB, larger than a K-NET/KiK-net file can be"},
      {"padded.ac", "1995/01/17 05:46:00\n", "larger than a AC file can be"},
      // Text that runs into zeros: read line by line until the line grows past any of numbers.
      {"numbers.txt", numbers, "at line 201: the line is longer than 1 MB"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    const std::string path = SparseFile(dir, c.name, c.head);
    const test::ChildRun run = test::RunInChild([&] { return ReadMessage(path); });
    ASSERT_TRUE(run.finished) << c.name;
    EXPECT_NE(run.text.find(c.says), std::string::npos) << c.name << ": " << run.text;
    // One megabyte-long line at most is held; nothing near the file's size.
    EXPECT_LT(run.peakGrowthKb, 100 * 1024) << c.name;
  }
}

TEST(ReadRecordFile, LongGeneralTextIsReadWithinItsSamples) {
  // 2,000,000 steps of two channels: 16 MB of samples, 36 MB of text.
  TempDir dir;
  const std::string path = dir.File("long.txt");
  {
    std::ofstream out(path);
    for (int i = 0; i < 2000000; ++i) out << "12.2500 -3.7500\n";
  }
  const test::ChildRun run = test::RunInChild([&] {
    StrongRecord rec;
    ScriptedUi ui;
    ui.onReadData = [](DataFileKind, const std::string&, DataFileParams&) { return true; };
    if (!ReportRead(ReadRecordFile(path, rec, ui), ui)) return ui.OnlyMessage();
    return std::to_string(rec.DataCount) + "x" + std::to_string(rec.ChanCount);
  });
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.text, "2000000x2");
  const int64_t samplesKb = int64_t{2000000} * 2 * 4 / 1024;
  if (!test::kMemoryFiguresHold) GTEST_SKIP() << "memory is not measured under AddressSanitizer";
  EXPECT_LT(run.peakGrowthKb, samplesKb * 3 / 2 + 8 * 1024) << "peak growth " << run.peakGrowthKb << " kB";
}

TEST(ReadRecordFile, SamplesBeyondAnyAccelerogramAreRefusedWithTheirStep) {
  const struct {
    const char* text;
    float coef;
    const char* says;  // empty: read
  } cases[] = {
      {"1 2\n3 3.4e38\n", 1, "(Err#6: Overflow) at step 2 of channel 2: 3.4e+38 cm/s/s, beyond the 1e7 cm/s/s"},
      // After the unit conversion: 2e6 m/s/s is 2e8 cm/s/s.
      {"1 2\n3 2e6\n", 100, "at step 2 of channel 2: 2e+08 cm/s/s"},
      {"1 2\n3 -9e6\n", 1, ""},
  };
  for (const auto& c : cases) {
    TempDir dir;
    const std::string path = dir.Write("big.txt", c.text);
    StrongRecord rec;
    ScriptedUi ui;
    ui.onReadData = [&](DataFileKind, const std::string&, DataFileParams& p) {
      p.coef = c.coef;
      return true;
    };
    const bool read = ReportRead(ReadRecordFile(path, rec, ui), ui);
    EXPECT_EQ(read, *c.says == '\0') << c.text;
    if (!read) {
      EXPECT_NE(ui.OnlyMessage().find(c.says), std::string::npos) << ui.OnlyMessage();
    }
  }
}

}  // namespace
}  // namespace sism
