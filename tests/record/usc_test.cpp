#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

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

// 25 text lines, 20 header lines, then acceleration and velocity runs of 8F10.3.
std::string UscFile(const std::string& count, const std::string& interval, const std::string& units,
                    int values, const std::string& badValue = "") {
  const char* text[] = {"CORRECTED ACCELEROGRAM  IIBB127",
                        "FILE 0",
                        "NORTHRIDGE EARTHQUAKE",
                        "JAN 17, 1994 -1230 GMT                                                  22",
                        "IIBB127",
                        "STATION USC# 0061   34 17 11N, 118 13 31W                               39",
                        "BIG TUJUNGA STATION                                                     19",
                        "COMP N08W"};
  std::string t;
  for (int i = 0; i < 45; ++i) t += std::string(i < 8 ? text[i] : "      .000") + "\n";
  std::string run;
  char buf[16];
  for (int i = 1; i <= values; ++i) {
    std::snprintf(buf, sizeof buf, "%10.3f", 0.5 * i);
    run += i == 4 && !badValue.empty() ? badValue : buf;
    if (i % 8 == 0 || i == values) run += "\n";
  }
  std::string head =
      " POINTS OF ACC DATA EQUALLY SPACED AT   " + interval + " SEC.  IN UNITS " + units + "\n";
  return t + "  " + count + head + run + "  " + count + " POINTS OF VEL DATA EQUALLY SPACED\n" + run;
}

TEST(ReadUsc, RealSampleOpensUnderItsOwnAndAnotherName) {
  SKIP_WITHOUT_SAMPLES();
  TempDir dir;
  std::string sample = (test::SamplesDir() / "usc" / "017m30bt.s0a").string();
  std::string renamed = dir.File("017m30bt.V2");
  std::filesystem::copy_file(sample, renamed);
  for (const std::string& path : {sample, renamed}) {
    EXPECT_EQ(DetectFormat(path), FormatUsc) << path;
    StrongRecord rec;
    ScriptedUi ui;
    ASSERT_TRUE(ReadRecordFile(path, rec, ui)) << ui.OnlyMessage();
    EXPECT_EQ(rec.ChanCount, 1);
    // "1887 POINTS OF ACC DATA EQUALLY SPACED AT .020 SEC. IN UNITS CM/SEC/SEC"
    EXPECT_EQ(rec.DataCount, 1887);
    EXPECT_EQ(rec.SampFreq, 50);
    EXPECT_EQ(rec.RecDate, "1994/01/17");
    EXPECT_EQ(rec.RecTime, "12:30:00");
    EXPECT_EQ(rec.SiteCode, "0061");
    EXPECT_EQ(rec.SiteName, "BIG TUJUNGA STATION, ANGELES NATIONAL FOREST, CA");
    EXPECT_EQ(rec.SiteLat, "34.2864");
    EXPECT_EQ(rec.SiteLong, "-118.2253");
    EXPECT_EQ(rec.Label(1), "N08W");
    // "PEAK ACCELERATION = -242.39450 CMS/SEC/SEC AT 4.580 SEC." (the samples have it positive)
    EXPECT_NEAR(std::fabs(rec.Peak(1)), 242.3945, 0.2424);
    EXPECT_EQ(rec.PeakStep(1), 230);  // 4.58 s
  }
}

TEST(ReadUsc, UnitsOfTheAccelerationRun) {
  const struct {
    const char* units;
    float factor;
  } cases[] = {{"CM/SEC/SEC", 1}, {"G/10", 98}, {"G", 980}};
  TempDir dir;
  for (const auto& c : cases) {
    StrongRecord rec;
    ScriptedUi ui;
    ASSERT_TRUE(ReadUsc(dir.Write("a.s0a", UscFile("20", ".010", c.units, 20)), rec, ui)) << ui.OnlyMessage();
    EXPECT_EQ(rec.DataCount, 20);
    EXPECT_EQ(rec.SampFreq, 100);
    EXPECT_FLOAT_EQ(rec.Peak(1), 10 * c.factor) << c.units;
  }
}

TEST(ReadUsc, MalformedFilesEndInOneMessageNamingThem) {
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"more points than the run", UscFile("21", ".010", "CM/SEC/SEC", 20)},
      {"points beyond the file", UscFile("2000000000", ".010", "CM/SEC/SEC", 20)},
      {"interval 0", UscFile("20", ".000", "CM/SEC/SEC", 20)},
      {"text in the data", UscFile("20", ".010", "CM/SEC/SEC", 20, "      n.a.")},
      {"velocity units", UscFile("20", ".010", "CM/SEC", 20)},
  };
  TempDir dir;
  for (const auto& c : cases) {
    std::string path = dir.Write("b.s0a", c.bytes);
    StrongRecord rec;
    ScriptedUi ui;
    EXPECT_FALSE(ReadUsc(path, rec, ui)) << c.what;
    ASSERT_EQ(ui.messages.size(), 1u) << c.what;
    EXPECT_NE(ui.messages[0].text.find(path), std::string::npos) << ui.messages[0].text;
  }
  std::string good = UscFile("40", ".010", "CM/SEC/SEC", 40);
  test::ExpectEveryTenthCutRefused(ReadUsc, "c.s0a", good.substr(0, good.find("POINTS OF VEL")));
  test::ExpectDamageEndsInRecordOrOneMessage(ReadUsc, "d.s0a", good, 25);
}

}  // namespace
}  // namespace sism
