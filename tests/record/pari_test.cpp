#include <gtest/gtest.h>

#include <string>

#include "load/user_side.h"
#include "record/readers.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

using test::ScriptedUi;
using test::TempDir;

TEST(ReadPARIOrg, ThousandAndOneLinesGiveThousandSteps) {
  std::string s = " NS , EW ,UD\n";
  for (int i = 1; i <= 1000; ++i) s += std::to_string(i) + ", -" + std::to_string(i) + ".25, 0\n";
  TempDir dir;
  std::string path = dir.Write("kobe.org", s);
  StrongRecord rec;
  rec.SiteCode = "old";
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadPARIOrg(path, rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.DataCount, 1000);
  EXPECT_EQ(rec.SampFreq, 100);
  ASSERT_EQ(rec.ChanCount, 3);
  EXPECT_EQ(rec.Label(1), "NS");
  EXPECT_EQ(rec.Label(2), "EW");
  EXPECT_EQ(rec.Label(3), "UD");
  EXPECT_EQ(rec.SiteName, "kobe");
  EXPECT_EQ(rec.SiteCode, "");
  EXPECT_EQ(rec.RecDate, "0000/00/00");
  EXPECT_EQ(rec.RecTime, "00:00:00");
  EXPECT_FLOAT_EQ(rec.Acc(1000, 1), 1000.0f);
  EXPECT_FLOAT_EQ(rec.Acc(7, 2), -7.25f);
  EXPECT_EQ(rec.Peak(2), -1000.25f);
  EXPECT_EQ(rec.PeakStep(3), 0);
}

TEST(ReadPARIOrg, MalformedFilesGetTheReadErrorBox) {
  struct Case {
    const char* what;
    std::string contents;
    int err;
  } cases[] = {
      {"empty", "", 62},
      {"labels only", "a,b,c\n", 62},
      {"two fields", "a,b,c\n1,2,3\n4,5\n", 9},
      {"not a number", "a,b,c\n1,2,3\n4,five,6\n", 13},
  };
  for (const auto& cs : cases) {
    TempDir dir;
    std::string path = dir.Write("x.org", cs.contents);
    StrongRecord rec;
    ScriptedUi ui;
    EXPECT_FALSE(ReportRead(ReadPARIOrg(path, rec, ui), ui)) << cs.what;
    ASSERT_EQ(ui.messages.size(), 1u) << cs.what;
    EXPECT_EQ(
        ui.messages[0].text.rfind("Failed to read " + path + " (Err#" + std::to_string(cs.err) + ":", 0), 0u)
        << cs.what << ": " << ui.messages[0].text;
    EXPECT_EQ(ui.messages[0].title, "Sismora: ReadPARIOrg");
  }
}

}  // namespace
}  // namespace sism
