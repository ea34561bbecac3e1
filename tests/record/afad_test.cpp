#include <gtest/gtest.h>

#include <cmath>
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

// A file of `rows` steps at `interval` whose columns ramp to `last`, -`last` and `last` / 2;
// the header states peaks of 13.2, 13.2 and 6.6 gal.
std::string AfadFile(const std::string& count, const std::string& interval, int rows, double last,
                     const std::string& badRow = "") {
  std::string t =
      "STRONG GROUND MOTION RECORDS OF TURKIYE\r\nPLACE                   : AYD\xFDN MERKEZ\r\n"
      "STATION ID              : 0921\r\nSTATION COORDINATES     : 37.87470S-27.59223E\r\n"
      "RECORD TIME             : 31/12/2017 23:59:59.600000 (GMT)\r\nNUMBER OF DATA          : " +
      count + "\r\nSAMPLING INTERVAL (sec) : " + interval +
      "\r\nRAW PGA VALUES (gal)    : (N-S) 13.2 (E-W) 13.2 (U-D) 6.6\r\nCopyright EARTHQUAKE DEPARTMENT\r\n"
      "       N-S          E-W          U-D\r\n";
  for (int i = 1; i <= rows; ++i) {
    double v = last * i / rows;
    std::string row = std::to_string(v) + "  " + std::to_string(-v) + " " + std::to_string(v / 2);
    t += (i == 3 && !badRow.empty() ? badRow : row) + "\r\n";
  }
  return t;
}

TEST(ReadAfad, RealSampleOpensUnderItsOwnAndAnotherName) {
  SKIP_WITHOUT_SAMPLES();
  TempDir dir;
  std::string sample = (test::SamplesDir() / "afad" / "20170720223109_0921.txt").string();
  std::string renamed = dir.File("0921.asc");
  std::filesystem::copy_file(sample, renamed);
  for (const std::string& path : {sample, renamed}) {
    EXPECT_EQ(DetectFormat(path), FormatAfad) << path;
    StrongRecord rec;
    ScriptedUi ui;
    ASSERT_TRUE(ReadRecordFile(path, rec, ui)) << ui.OnlyMessage();
    EXPECT_EQ(rec.ChanCount, 3);
    EXPECT_EQ(rec.DataCount, 28683);
    EXPECT_EQ(rec.SampFreq, 100);
    EXPECT_EQ(rec.RecDate, "2017/07/20");
    EXPECT_EQ(rec.RecTime, "22:30:58");
    EXPECT_EQ(rec.SiteCode, "0921");
    EXPECT_EQ(rec.SiteName, "AYD\u0131N GERMENCIK DEVLET HASTANESI");
    EXPECT_EQ(rec.SiteLat, "37.87470");
    EXPECT_EQ(rec.SiteLong, "27.59223");
    EXPECT_EQ(rec.Labels(), (std::vector<std::string>{"N-S", "E-W", "U-D"}));
    // "RAW PGA VALUES (gal) : (N-S) 13.200332 (E-W) 12.163827 (U-D) 9.840572"
    EXPECT_NEAR(std::fabs(rec.Peak(1)), 13.200332, 13.2e-3);
    EXPECT_NEAR(std::fabs(rec.Peak(2)), 12.163827, 12.2e-3);
    EXPECT_NEAR(std::fabs(rec.Peak(3)), 9.840572, 9.8e-3);
  }
}

TEST(ReadAfad, SampleUnitsAreThoseThatMatchTheStatedPeak) {
  const struct {
    double last;
    float factor;
  } cases[] = {{13.2, 1}, {0.01346, 980}, {0.1346, 98}};
  TempDir dir;
  for (const auto& c : cases) {
    StrongRecord rec;
    ScriptedUi ui;
    ASSERT_TRUE(ReadAfad(dir.Write("a.txt", AfadFile("20", "0.005", 20, c.last)), rec, ui))
        << ui.OnlyMessage();
    EXPECT_EQ(rec.SampFreq, 200);
    EXPECT_FLOAT_EQ(rec.Peak(1), static_cast<float>(c.last) * c.factor) << c.last;
    EXPECT_FLOAT_EQ(rec.Peak(2), -static_cast<float>(c.last) * c.factor) << c.last;
    // Seconds round up into the next year; the coordinates keep their hemispheres.
    EXPECT_EQ(rec.RecDate, "2018/01/01");
    EXPECT_EQ(rec.RecTime, "00:00:00");
    EXPECT_EQ(rec.SiteLat, "-37.87470");
  }
}

TEST(ReadAfad, MalformedFilesEndInOneMessageNamingThem) {
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"more data than rows", AfadFile("21", "0.01", 20, 1)},
      {"count beyond the file", AfadFile("2000000000", "0.01", 20, 1)},
      {"interval 0", AfadFile("20", "0", 20, 1)},
      {"text in the data", AfadFile("20", "0.01", 20, 1, "0.1 abc 0.2")},
      {"a short row", AfadFile("20", "0.01", 20, 1, "0.1 0.2")},
      {"no count",
       "STRONG GROUND MOTION RECORDS OF TURKIYE\r\nSAMPLING INTERVAL (sec) : 0.01\r\n N-S\r\n1\r\n"},
  };
  TempDir dir;
  for (const auto& c : cases) {
    std::string path = dir.Write("b.txt", c.bytes);
    StrongRecord rec;
    ScriptedUi ui;
    EXPECT_FALSE(ReadAfad(path, rec, ui)) << c.what;
    ASSERT_EQ(ui.messages.size(), 1u) << c.what;
    EXPECT_NE(ui.messages[0].text.find(path), std::string::npos) << ui.messages[0].text;
  }
  test::ExpectEveryTenthCutRefused(ReadAfad, "c.txt", AfadFile("40", "0.01", 40, 1));
  test::ExpectDamageEndsInRecordOrOneMessage(ReadAfad, "d.txt", AfadFile("40", "0.01", 40, 1), 24);
}

}  // namespace
}  // namespace sism
