// Reports, exports, title templates and saved copies of a record whose texts are Shift-JIS.
#include <gtest/gtest.h>

#include "load/user_side.h"
#include "app/shell/export.h"
#include "app/shell/properties_report.h"
#include "common/files.h"
#include "common/text.h"
#include "draw/templates.h"
#include "record/ac.h"
#include "record/display_text.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

// 熊本市中央区, 東西 and 南北 in Shift-JIS.
const std::string kKumamoto = "\x8C\x46\x96\x7B\x8E\x73\x92\x86\x89\x9B\x8B\xE6";
const std::string kEastWest = "\x93\x8C\x90\xBC";
const std::string kNorthSouth = "\x93\xEC\x96\x6B";

// Two channels as the program holds them after opening: the view's labels as shown.
AppState JapaneseRecord() {
  AppState app;
  StrongRecord& r = app.record;
  r.FileFormat = FormatJmaCsv;
  r.Encoding = TextEncoding::ShiftJis;
  r.FilePath = "/data/k.csv";
  r.SampFreq = 100;
  r.DataCount = 20;
  r.RecDate = "2016/04/16";
  r.RecTime = "01:45:50";
  r.SiteCode = "47A";
  r.SiteName = kKumamoto;
  r.SiteLat = "32.5";
  r.SiteLong = "130.4";
  r.StartChannels(2);
  r.RedimAcc(20, 2);
  r.Label(1) = kEastWest;
  r.Label(2) = kNorthSouth;
  for (int32_t i = 1; i <= 20; ++i) r.Acc(i, 1) = r.Acc(i, 2) = static_cast<float>(i);
  ComputePeaks(r);
  app.view.DrawChan.assign(2, true);
  app.view.LabelCopies = DisplayLabels(r);
  app.Durations.assign(2, 0.0f);
  return app;
}

TEST(JapaneseTexts, ReportsExportsAndTitlesShowThemDecoded) {
  AppState app = JapaneseRecord();
  const std::string report = PropertiesReportText(app);
  EXPECT_NE(report.find("\r\n Name: 熊本市中央区\r\n"), std::string::npos) << report;
  EXPECT_NE(report.find("\r\n Code: 47A\r\n"), std::string::npos);
  EXPECT_NE(report.find("東西"), std::string::npos);
  EXPECT_EQ(report.find(kKumamoto), std::string::npos);

  const std::vector<std::string> lines = Split(ExportText(app, 1, ExportComma, false), "\r\n");
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], "Acceleration - 2016/04/16 01:45:50 47A: 熊本市中央区");
  EXPECT_EQ(lines[1], "Time (sec), 東西, 南北");

  EXPECT_EQ(Expand("%c %s %d", CurrentTemplateFacts(app)), "47A 熊本市中央区 2016/04/16");
  EXPECT_EQ(DisplayLabel(app, 2), "南北");
}

TEST(JapaneseTexts, SavedAsAcTheRecordKeepsItsBytes) {
  test::TempDir dir;
  test::ScriptedUi ui;
  AppState app = JapaneseRecord();
  const std::string first = dir.File("first.ac");
  ASSERT_TRUE(SaveRecordAsAc(app, first, ui)) << ui.OnlyMessage();
  EXPECT_EQ(app.record.Label(1), kEastWest);
  const std::string written = ReadWholeFile(first);
  EXPECT_NE(written.find(kKumamoto), std::string::npos);
  EXPECT_NE(written.find(kEastWest), std::string::npos);
  const std::string second = dir.File("second.ac");
  ASSERT_TRUE(WriteAc(second, app.record, 0, ui));
  EXPECT_EQ(ReadWholeFile(second), written);

  // A label edited in the program goes in as Shift-JIS, next to the untouched bytes.
  app.view.LabelCopies[1] = "上下";
  ASSERT_TRUE(SaveRecordAsAc(app, dir.File("edited.ac"), ui));
  EXPECT_EQ(app.record.Label(2), "\x8F\xE3\x89\xBA");
  EXPECT_EQ(app.record.SiteName, kKumamoto);
}

}  // namespace
}  // namespace sism
