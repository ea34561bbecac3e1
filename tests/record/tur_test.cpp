#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "load/user_side.h"
#include "common/text.h"
#include "record/readers.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

using test::ScriptedUi;
using test::TempDir;

std::string Col(const std::string& s) {
  return AlignRight(s, 13);
}

// A TUR file with the given header lines (padded to 20 with lines without ":")
// and `steps` data lines.
std::string TurFile(std::vector<std::string> header, int steps) {
  while (header.size() < 20) header.push_back("------------------------------");
  std::string s;
  for (const auto& h : header) s += h + "\r\n";
  s += PadRight("  N-S", 13) + PadRight("  E-W", 13) + PadRight("  U-D", 13) + "\r\n";
  for (int i = 1; i <= steps; ++i)
    s += Col(std::to_string(i) + ".5") + Col("-" + std::to_string(i)) + Col("0.001") + "\r\n";
  return s;
}

std::vector<std::string> Header(const std::string& trigger, const std::string& pre,
                                const std::string& count) {
  return {"STRONG MOTION RECORD",     "PLACE     :  ISTANBUL STATION  ", "COORDINATE:41.01234N 028.97654E",
          "TRIGGER DATE:" + trigger,  "PRE-EVENT TIME(sec):" + pre,      "NO. OF DATA:" + count,
          "SAMPLE INTERVAL(sec):0.01"};
}

TEST(ReadTur, HeaderLabelsAndValues) {
  TempDir dir;
  std::string path = dir.Write("izt01.tur", TurFile(Header("17/08/1999 03:01:40", "5", "4"), 4));
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadTur(path, rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.SiteName, "ISTANBUL STATION");
  EXPECT_EQ(rec.SiteLat, "41.01234");
  EXPECT_EQ(rec.SiteLong, "028.97654E");
  EXPECT_EQ(rec.SiteCode, "IZT01");
  EXPECT_EQ(rec.RecDate, "1999/08/17");
  EXPECT_EQ(rec.RecTime, "03:01:35");
  EXPECT_EQ(rec.SampFreq, 100);
  EXPECT_EQ(rec.DataCount, 4);
  ASSERT_EQ(rec.ChanCount, 3);
  EXPECT_EQ(rec.Label(1), "N-S");
  EXPECT_EQ(rec.Label(3), "U-D");
  EXPECT_FLOAT_EQ(rec.Acc(3, 1), 3.5f);
  EXPECT_FLOAT_EQ(rec.Acc(4, 2), -4.0f);
  EXPECT_FLOAT_EQ(rec.Acc(1, 3), 0.001f);
  EXPECT_EQ(rec.Coef(2), 1.0f);
  EXPECT_EQ(rec.PeakStep(1), 4);
}

TEST(ReadTur, PreEventShiftCrossesMidnight) {
  TempDir dir;
  std::string path = dir.Write("a.tur", TurFile(Header("01/01/2000 00:00:05", "10", "2"), 2));
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadTur(path, rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.RecDate, "1999/12/31");
  EXPECT_EQ(rec.RecTime, "23:59:55");
}

TEST(ReadTur, HeaderLineWithoutColonIsSkipped) {
  TempDir dir;
  // After the real interval, a line with the same key but no ":" must not override it.
  std::vector<std::string> h = {"NO. OF DATA:3", "SAMPLE INTERVAL:0.02", "SAMPLE INTERVAL 0.005"};
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadTur(dir.Write("b.tur", TurFile(h, 3)), rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.SampFreq, 50);
  // No trigger line: no date, and no shift.
  EXPECT_EQ(rec.RecDate, "");
}

TEST(ReadTur, WithoutIntervalOrCountRefusesSilently) {
  struct Case {
    const char* what;
    std::vector<std::string> header;
  } cases[] = {
      {"no interval", {"NO. OF DATA:3"}},
      {"no count", {"SAMPLE INTERVAL:0.01"}},
      {"zero interval", {"NO. OF DATA:3", "SAMPLE INTERVAL:0"}},
      {"key beyond line 20",
       {"NO. OF DATA:3",
        "x",
        "x",
        "x",
        "x",
        "x",
        "x",
        "x",
        "x",
        "x",
        "x",
        "x",
        "x",
        "x",
        "x",
        "x",
        "x",
        "x",
        "x",
        "x",
        "SAMPLE INTERVAL:0.01"}},
  };
  for (const auto& cs : cases) {
    TempDir dir;
    StrongRecord rec;
    ScriptedUi ui;
    EXPECT_FALSE(ReportRead(ReadTur(dir.Write("c.tur", TurFile(cs.header, 3)), rec, ui), ui)) << cs.what;
    EXPECT_TRUE(ui.messages.empty()) << cs.what;
  }
}

TEST(ReadTur, BadDataGetsTheReadErrorBox) {
  struct Case {
    const char* what;
    std::string contents;
    int err;
  } cases[] = {
      {"short data", TurFile(Header("01/01/2000 00:00:05", "0", "5"), 4), 62},
      {"count beyond the file", TurFile(Header("01/01/2000 00:00:05", "0", "900000000"), 4), 62},
      {"short header", "STRONG\r\nNO. OF DATA:3\r\n", 62},
      {"not a number", TurFile(Header("01/01/2000 00:00:05", "0", "2"), 1) + Col("1") + Col("x") + Col("2"),
       13},
  };
  for (const auto& cs : cases) {
    TempDir dir;
    std::string path = dir.Write("d.tur", cs.contents);
    StrongRecord rec;
    ScriptedUi ui;
    EXPECT_FALSE(ReportRead(ReadTur(path, rec, ui), ui)) << cs.what;
    ASSERT_EQ(ui.messages.size(), 1u) << cs.what;
    EXPECT_EQ(
        ui.messages[0].text.rfind("Failed to read " + path + " (Err#" + std::to_string(cs.err) + ":", 0), 0u)
        << cs.what << ": " << ui.messages[0].text;
    EXPECT_EQ(ui.messages[0].title, "Sismora: ReadTur");
  }
}

}  // namespace
}  // namespace sism
