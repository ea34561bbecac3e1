#include <gtest/gtest.h>

#include <string>

#include "load/user_side.h"
#include "record/dispatch.h"
#include "record/readers.h"
#include "tests/support/samples.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

using test::ScriptedUi;
using test::TempDir;

// A JMA CSV file with the given rate and unit texts and `steps` data lines.
std::string JmaCsv(const std::string& rate = "100Hz", const std::string& unit = "gal(cm/s/s)", int steps = 4) {
  std::string t = "SITE CODE= 47A\x8F\xE3\x93V   ,32.86,130.90, 10,5.9\r\n LAT.=   32.5874\r\n LON.=  130.4304\r\n";
  t += " SAMPLING RATE= " + rate + "\r\n UNIT  = " + unit + "\r\nINITIAL TIME = 2016 04 16 01 45 50\r\n NS,EW,UD\r\n";
  for (int i = 1; i <= steps; ++i) t += std::to_string(i) + ".5,-" + std::to_string(i) + ",0.25\r\n";
  return t;
}

TEST(ReadJmaCsv, RealFileHasTheValuesItsHeaderStates) {
  SKIP_WITHOUT_SAMPLES();
  const std::string path = (test::SamplesDir() / "jma/Q4169D2004.csv").string();
  EXPECT_EQ(DetectFormat(path), FormatJmaCsv);
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadJmaCsv(path, rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.SampFreq, 100);
  EXPECT_EQ(rec.DataCount, 30000);
  EXPECT_EQ(rec.SiteCode, "9D2");
  EXPECT_EQ(rec.SiteName, "\x8F\xE3\x93V\x91\x90\x8Es\x91\xE5\x96\xEE\x96\xEC\x92\xAC");  // Shift-JIS kept
  EXPECT_EQ(rec.SiteLat, "32.5874");
  EXPECT_EQ(rec.SiteLong, "130.4304");
  EXPECT_EQ(rec.RecDate, "2016/04/16");
  EXPECT_EQ(rec.RecTime, "01:45:50");
  EXPECT_EQ(rec.Labels(), (std::vector<std::string>{"NS", "EW", "UD"}));
  EXPECT_FLOAT_EQ(rec.Acc(1, 1), 0.015f);
  EXPECT_FLOAT_EQ(rec.Acc(1, 3), -0.011f);
}

TEST(ReadJmaCsv, RecognisedByItsFirstLineUnderAnyNameAndFinishedAsJma) {
  TempDir dir;
  for (const char* name : {"a.csv", "b.TXT", "c", "d.dat"}) {
    const std::string path = dir.Write(name, JmaCsv());
    EXPECT_EQ(DetectFormat(path), FormatJmaCsv) << name;
    StrongRecord rec;
    ScriptedUi ui;
    ASSERT_TRUE(ReportRead(ReadRecordFile(path, rec, ui), ui)) << name << ": " << ui.OnlyMessage();
    EXPECT_EQ(rec.DataCount, 4);
    EXPECT_EQ(rec.SiteCode, "47A");
    EXPECT_EQ(rec.SiteName, "\x8F\xE3\x93V");
    EXPECT_FLOAT_EQ(rec.Acc(4, 1), 4.5f);
    EXPECT_FLOAT_EQ(rec.Acc(4, 2), -4.0f);
    EXPECT_EQ(rec.JmaGroup, 1);  // intensity from channels 1-3
  }
}

TEST(ReadJmaCsv, FilesItCannotTakeEndInItsMessage) {
  const struct {
    std::string text, message;
  } cases[] = {
      {JmaCsv("100.5Hz"), " gives the sampling rate \"100.5Hz\", which is not a whole number of hertz."},
      {JmaCsv("0Hz"), " gives the sampling rate \"0Hz\", which is not a whole number of hertz."},
      {JmaCsv("fastHz"), " gives the sampling rate \"fastHz\", which is not a whole number of hertz."},
      {JmaCsv("100Hz", "m/s/s"), " gives its values in \"m/s/s\"; only gal (cm/s/s) is read."},
      {JmaCsv("100Hz", "gal", 0), " holds no samples."},
      {JmaCsv().substr(0, 60), " ends before its data."},
      {JmaCsv() + "5.5,-0.", " is cut short: it ends inside line 12 (step 5)."},
      {JmaCsv() + "5.5,-5,0.", " is cut short: it ends inside line 12 (step 5)."},
      {JmaCsv() + "5.5,x,1\n6,6,6\n", ": line 12 (step 5) holds \"x\", not a number."},
      {JmaCsv() + "5.5,1,2,3\n", ": line 12 (step 5) is not three values."},
      {"SITE\n", " is invalid JMA CSV file."},
  };
  TempDir dir;
  for (const auto& c : cases) {
    const std::string path = dir.Write("q.csv", c.text);
    StrongRecord rec;
    ScriptedUi ui;
    EXPECT_FALSE(ReportRead(ReadJmaCsv(path, rec, ui), ui)) << c.message;
    ASSERT_EQ(ui.messages.size(), 1u) << c.message;
    EXPECT_EQ(ui.messages[0].text, path + c.message);
    EXPECT_EQ(ui.messages[0].title, "Sismora: ReadJmaCsv");
  }
}

}  // namespace
}  // namespace sism
