#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "load/user_side.h"
#include "record/readers.h"
#include "tests/support/reader_checks.h"
#include "tests/support/samples.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

// One component block: 13 text lines, 7 + 7 header lines, then `n` values step * `scale`
// in G/10 as 10E13.6, of which value 8 is `bad` when given.
std::string Block(const std::string& comp, const std::string& points, const std::string& duration, int n,
                  double scale, const std::string& bad = "", const std::string& units = "G/10") {
  std::string t =
      "* VOL1DS FILE:  5520/01\r\nx\r\nOrigin Time : 2012/08/11   12:23:16\r\n\r\n\r\n\r\nCOMP " + comp +
      "\r\nAhar       Station   38.474 N 47.059 W   Altitude 1360m\r\n\r\n\r\nNO. OF POINTS =  " + points +
      "      DURATION =  " + duration + "\r\nUNITS ARE SECONDS AND " + units + "\r\n\r\n";
  for (int i = 0; i < 14; ++i) t += "    0    0    0    0\r\n";
  char buf[32];
  for (int i = 1; i <= n; ++i) {
    std::snprintf(buf, sizeof buf, "%13.6E", scale * i);
    t += (i == 8 && !bad.empty() ? bad : buf) + std::string(i % 10 && i < n ? "" : "\r\n");
  }
  return t + "/&\r\n";
}

std::string ThreeBlocks() {
  return Block("L1", "25", "0.125", 25, 0.01) + Block("V2", "25", "0.125", 25, -0.02) +
         Block("T3", "25", "0.125", 25, 0.03);
}

TEST(BhrcSamples, SampleGivesItsHeaderValues) {
  SKIP_WITHOUT_SAMPLES();
  // The header gives no peaks; its time is the earthquake's origin.
  test::ExpectSampleFacts({.file = "bhrc/5520-1.V1",
                           .format = FormatBhrc,
                           .chans = 3,
                           .count = 15616,
                           .rate = 200,
                           .date = "2012/08/11",
                           .time = "12:23:16",
                           .code = "Ahar",
                           .name = "Ahar",
                           .lat = "38.474",
                           .lon = "47.059",
                           .labels = {"L1", "T3", "V2"},
                           .peaks = {}});
}

TEST(Bhrc, BlocksInCmPerSquareSecondWithTheVerticalLast) {
  test::TempDir dir;
  StrongRecord rec;
  test::ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadBhrc(dir.Write("a.v1", ThreeBlocks()), rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.SampFreq, 200);
  EXPECT_EQ(rec.SiteLong, "-47.059");
  EXPECT_EQ(rec.Labels(), (std::vector<std::string>{"L1", "T3", "V2"}));
  EXPECT_FLOAT_EQ(rec.Acc(25, 2), 0.75f * 98.0665f);
  EXPECT_FLOAT_EQ(rec.Peak(3), -0.5f * 98.0665f);
}

TEST(Bhrc, BrokenFilesEndInOneMessageNamingTheFile) {
  test::ExpectRefused(
      ReadBhrc, "m.v1",
      {{"more points than data", Block("L1", "21", "0.105", 20, 1), " (Err#62: Input past end of file)"},
       {"points beyond the file", Block("L1", "2000000000", "1", 25, 1), " (Err#62: Input past end of file)"},
       {"duration of 0", Block("L1", "25", "0", 25, 1), " (Err#11: Division by zero)"},
       {"text for the points", Block("L1", "many", "0.125", 25, 1), " (Err#13: Type mismatch)"},
       {"text in the data", Block("L1", "25", "0.125", 25, 1, "  not a value"), " (Err#13: Type mismatch)"},
       {"velocity", Block("L1", "25", "0.125", 25, 1, "", "CM/S"),
        " gives its samples in \"CM/S\", not as an acceleration."},
       {"another first line", "x" + ThreeBlocks(), " is invalid BHRC file."}});
  test::ExpectDamagedCopiesEndWell(ReadBhrc, "d.v1", ThreeBlocks(), 23);
}

TEST(Bhrc, KnownByItsFirstLineUnderAnyName) {
  test::ExpectDetected({{"a.V1", ThreeBlocks(), FormatBhrc},
                        {"b.raw", ThreeBlocks(), FormatBhrc},
                        {"c.V1", "Uncorrected Accelerogram Data\n", FormatRaw}});
}

}  // namespace
}  // namespace sism
