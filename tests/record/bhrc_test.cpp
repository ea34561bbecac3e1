#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "record/dispatch.h"
#include "record/readers.h"
#include "tests/support/damaged_files.h"
#include "tests/support/samples.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

using test::ScriptedUi;
using test::TempDir;

// One component block: 13 text lines, 7 + 7 header lines, `values` in G/10 as 10E13.6.
std::string Block(const std::string& comp, const std::string& points, const std::string& duration,
                  const std::vector<std::string>& values) {
  std::string t =
      "* VOL1DS FILE:  5520/01\r\nInst Type = SSA-2\r\nOrigin Time : 2012/08/11   12:23:16\r\n\r\n" +
      comp.substr(0, 1) + "\r\n\r\nCOMP " + comp +
      "\r\nAhar                      Station   38.474 N 47.059 W   Altitude 1360m\r\nEpicenter\r\n"
      "INSTR PERIOD =  .019 SEC\r\nNO. OF POINTS =  " +
      points + "      DURATION =  " + duration + "\r\nUNITS ARE SECONDS AND G/10\r\n\r\n";
  for (int i = 0; i < 14; ++i) t += "    0    0    0    0\r\n";
  for (std::size_t i = 0; i < values.size(); ++i)
    t += values[i] + ((i + 1) % 10 && i + 1 < values.size() ? "" : "\r\n");
  return t + "/&\r\n";
}

std::vector<std::string> Ramp(int n, double scale) {
  std::vector<std::string> v;
  char buf[32];
  for (int i = 1; i <= n; ++i) {
    std::snprintf(buf, sizeof buf, "%13.6E", scale * i);
    v.push_back(buf);
  }
  return v;
}

std::string ThreeBlocks() {
  return Block("L1", "25", "0.125", Ramp(25, 0.01)) + Block("V2", "25", "0.125", Ramp(25, -0.02)) +
         Block("T3", "25", "0.125", Ramp(25, 0.03));
}

TEST(ReadBhrc, RealSampleOpensUnderItsOwnAndAnotherName) {
  SKIP_WITHOUT_SAMPLES();
  TempDir dir;
  std::string sample = (test::SamplesDir() / "bhrc" / "5520-1.V1").string();
  std::string renamed = dir.File("record.dat");
  std::filesystem::copy_file(sample, renamed);
  for (const std::string& path : {sample, renamed}) {
    EXPECT_EQ(DetectFormat(path), FormatBhrc) << path;
    StrongRecord rec;
    ScriptedUi ui;
    ASSERT_TRUE(ReadRecordFile(path, rec, ui)) << ui.OnlyMessage();
    EXPECT_EQ(rec.FileFormat, FormatBhrc);
    EXPECT_EQ(rec.ChanCount, 3);
    EXPECT_EQ(rec.DataCount, 15616);  // "NO. OF POINTS =  15616      DURATION =  78.080"
    EXPECT_EQ(rec.SampFreq, 200);
    EXPECT_EQ(rec.RecDate, "2012/08/11");
    EXPECT_EQ(rec.RecTime, "12:23:16");
    EXPECT_EQ(rec.SiteCode, "Ahar");
    EXPECT_EQ(rec.SiteLat, "38.474");
    EXPECT_EQ(rec.SiteLong, "47.059");
    EXPECT_EQ(rec.Labels(), (std::vector<std::string>{"L1", "T3", "V2"}));
    EXPECT_FLOAT_EQ(rec.Acc(1, 1), 0.854257e-3f * 98);  // G/10
    EXPECT_EQ(rec.Peak(2), rec.Acc(rec.PeakStep(2), 2));
  }
}

TEST(ReadBhrc, BlocksInCmPerSquareSecondWithTheVerticalLast) {
  TempDir dir;
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReadBhrc(dir.Write("a.v1", ThreeBlocks()), rec, ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.DataCount, 25);
  EXPECT_EQ(rec.SampFreq, 200);
  EXPECT_EQ(rec.SiteLong, "-47.059");
  EXPECT_EQ(rec.Labels(), (std::vector<std::string>{"L1", "T3", "V2"}));
  EXPECT_FLOAT_EQ(rec.Acc(25, 2), 0.75f * 98);
  EXPECT_FLOAT_EQ(rec.Peak(3), -0.5f * 98);
  EXPECT_EQ(rec.PeakStep(3), 25);
}

TEST(ReadBhrc, MalformedFilesEndInOneMessageNamingThem) {
  std::vector<std::string> text = Ramp(25, 0.01);
  text[7] = "   not a num";
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"more points than data", Block("L1", "26", "0.13", Ramp(25, 0.01))},
      {"points beyond the file", Block("L1", "2000000000", "1", Ramp(25, 0.01))},
      {"duration 0", Block("L1", "25", "0", Ramp(25, 0.01))},
      {"text for the points", Block("L1", "many", "0.125", Ramp(25, 0.01))},
      {"text in the data", Block("L1", "25", "0.125", text)},
      {"another first line", "x" + ThreeBlocks()},
  };
  TempDir dir;
  for (const auto& c : cases) {
    std::string path = dir.Write("b.v1", c.bytes);
    StrongRecord rec;
    ScriptedUi ui;
    EXPECT_FALSE(ReadBhrc(path, rec, ui)) << c.what;
    ASSERT_EQ(ui.messages.size(), 1u) << c.what;
    EXPECT_NE(ui.messages[0].text.find(path), std::string::npos) << ui.messages[0].text;
  }
  test::ExpectEveryTenthCutRefused(ReadBhrc, "c.v1", ThreeBlocks());
  test::ExpectDamageEndsInRecordOrOneMessage(ReadBhrc, "d.v1", ThreeBlocks(), 23);
}

}  // namespace
}  // namespace sism
