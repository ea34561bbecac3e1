// Header texts of Japanese records: kept as read, shown decoded.
#include <gtest/gtest.h>

#include <string>

#include "load/user_side.h"
#include "common/files.h"
#include "common/text.h"
#include "record/ac.h"
#include "record/dispatch.h"
#include "record/display_text.h"
#include "record/readers.h"
#include "record/record_texts.h"
#include "tests/support/samples.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

using test::ScriptedUi;
using test::TempDir;

// 熊本市中央区 in Shift-JIS.
const std::string kKumamoto = "\x8C\x46\x96\x7B\x8E\x73\x92\x86\x89\x9B\x8B\xE6";
const std::string kReplacement = "\xEF\xBF\xBD";

std::string JmaCsvNamed(const std::string& name) {
  return "SITE CODE= 47A" + name + "   ,32.86,130.90, 10,5.9\r\n LAT.=   32.5874\r\n LON.=  130.4304\r\n" +
         " SAMPLING RATE= 100Hz\r\n UNIT  = gal\r\nINITIAL TIME = 2016 04 16 01 45 50\r\n NS,EW,UD\r\n" +
         "1,2,3\r\n4,5,6\r\n";
}

StrongRecord ReadOk(const std::string& path) {
  StrongRecord rec;
  ScriptedUi ui;
  EXPECT_TRUE(ReportRead(ReadRecordFile(path, rec, ui), ui)) << ui.OnlyMessage();
  return rec;
}

TEST(DisplayText, JmaNamesAreKeptAsReadAndShownInJapanese) {
  TempDir dir;
  StrongRecord rec = ReadOk(dir.Write("k.csv", JmaCsvNamed(kKumamoto)));
  EXPECT_EQ(rec.Encoding, TextEncoding::ShiftJis);
  EXPECT_EQ(rec.SiteName, kKumamoto);
  EXPECT_EQ(DisplayText(rec, rec.SiteName), "熊本市中央区");
  EXPECT_EQ(DisplayText(rec, rec.SiteCode), "47A");
  EXPECT_EQ(DisplayLabels(rec), (std::vector<std::string>{"NS", "EW", "UD"}));
  EXPECT_EQ(DisplayLabelOf(rec, 2), "EW");

  // A name with bytes that are no Shift-JIS shows them as replacements.
  rec = ReadOk(dir.Write("bad.csv", JmaCsvNamed("\x93\x8C\x81 \xFD\x8B")));
  EXPECT_EQ(rec.SiteName, "\x93\x8C\x81 \xFD\x8B");
  EXPECT_EQ(DisplayText(rec, rec.SiteName), "東" + kReplacement + " " + kReplacement + kReplacement);

  // The next file of another format starts as read again.
  StrongRecord other = rec;
  StrongRecord ac = rec;
  ac.SiteName = "caf\xC3\xA9";
  ScriptedUi ui;
  const std::string acPath = dir.File("plain.ac");
  ASSERT_TRUE(WriteAc(acPath, ac, 0, ui)) << ui.OnlyMessage();
  ASSERT_TRUE(ReportRead(ReadRecordFile(acPath, other, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(other.Encoding, TextEncoding::AsRead);
  EXPECT_EQ(DisplayText(other, other.SiteName), "caf\xC3\xA9");
}

TEST(DisplayText, RealJmaFileShowsItsStationName) {
  SKIP_WITHOUT_SAMPLES();
  StrongRecord rec = ReadOk((test::SamplesDir() / "jma/Q4169D2004.csv").string());
  EXPECT_EQ(DisplayText(rec, rec.SiteName), "上天草市大矢野町");
}

TEST(DisplayText, EveryJapaneseReaderMarksItsTextsAndRefusalsDoNot) {
  TempDir dir;
  StrongRecord rec;
  ScriptedUi ui;
  // Keyword text: the station code, Shift-JIS bytes after it.
  const std::string keyword = " SITE CODE= 47A" + kKumamoto +
                              "\n LAT.= 35\n LON.= 139\n SAMPLING RATE= 100Hz\n" +
                              " UNIT= gal\n INITIAL TIME= 2004/10/23 17:56:00\n NS EW UD\n1 2 3\n";
  ASSERT_TRUE(ReportRead(ReadJmaAc(dir.Write("k.txt", keyword), rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.Encoding, TextEncoding::ShiftJis);
  StrongRecord refused;
  EXPECT_FALSE(ReportRead(ReadJmaAc(dir.Write("r.txt", ReplaceAll(keyword, "100Hz", "0Hz")), refused, ui), ui));
  EXPECT_EQ(refused.Encoding, TextEncoding::AsRead);
}

TEST(DisplayText, SavedAsAcTheBytesStayTheSame) {
  TempDir dir;
  const std::string path = dir.Write("k.csv", JmaCsvNamed(kKumamoto + "\x81"));
  StrongRecord rec = ReadOk(path);
  ScriptedUi ui;
  const std::string ac = dir.File("k.ac");
  ASSERT_TRUE(WriteAc(ac, rec, 0, ui)) << ui.OnlyMessage();
  EXPECT_NE(ReadWholeFile(ac).find(kKumamoto + "\x81"), std::string::npos);
  StrongRecord back = ReadOk(ac);
  EXPECT_EQ(back.SiteName, rec.SiteName);
  // Written again from what was read back: the same file.
  const std::string again = dir.File("again.ac");
  ASSERT_TRUE(WriteAc(again, back, 0, ui)) << ui.OnlyMessage();
  EXPECT_EQ(ReadWholeFile(again), ReadWholeFile(ac));
}

TEST(StoreShownText, UnchangedKeptEncodedWhenPossibleElseAllDecoded) {
  StrongRecord rec;
  rec.Encoding = TextEncoding::ShiftJis;
  rec.SiteCode = "47A";
  rec.SiteName = kKumamoto + "\x81";  // shown with a replacement at the end
  rec.StartChannels(1);
  rec.Label(1) = "\x93\x8C";  // 東

  // What is shown, stored back, leaves the bytes alone, even those no character reads from.
  StoreShownText(rec, rec.SiteName, DisplayText(rec, rec.SiteName));
  EXPECT_EQ(rec.SiteName, kKumamoto + "\x81");

  // An edit Shift-JIS can hold goes back in Shift-JIS.
  StoreShownText(rec, rec.SiteCode, "東京");
  EXPECT_EQ(rec.SiteCode, "\x93\x8C\x8B\x9E");
  EXPECT_EQ(rec.Encoding, TextEncoding::ShiftJis);

  // One it cannot: every text turns to its shown form first.
  StoreShownText(rec, rec.SiteCode, "Tōkyō");
  EXPECT_EQ(rec.Encoding, TextEncoding::AsRead);
  EXPECT_EQ(rec.SiteCode, "Tōkyō");
  EXPECT_EQ(rec.SiteName, "熊本市中央区" + kReplacement);
  EXPECT_EQ(rec.Label(1), "東");

  // Records read as they are take any text as it is.
  StoreShownText(rec, rec.SiteLat, "35.1");
  EXPECT_EQ(rec.SiteLat, "35.1");
}

TEST(EditRecordTexts, JapaneseTextsAreEditedAsShown) {
  StrongRecord rec;
  rec.Encoding = TextEncoding::ShiftJis;
  rec.RecDate = "2016/04/16";
  rec.SiteCode = "47A";
  rec.SiteName = kKumamoto;
  ScriptedUi ui;
  ui.onRecordParam = [](RecordTexts& t) {
    EXPECT_EQ(t.station, "熊本市中央区");
    t.code = "47B";
    return true;
  };
  ASSERT_TRUE(EditRecordTexts(rec, ui));
  EXPECT_EQ(rec.SiteName, kKumamoto);
  EXPECT_EQ(rec.SiteCode, "47B");
  EXPECT_EQ(rec.Encoding, TextEncoding::ShiftJis);
}

TEST(DecodeRecordTexts, AllTextsAndLabelsOnce) {
  StrongRecord rec;
  rec.Encoding = TextEncoding::ShiftJis;
  rec.SiteName = kKumamoto;
  rec.SiteLat = "\x82\x50";  // full-width 1
  rec.StartChannels(2);
  rec.Label(2) = "\x93\x8C";
  DecodeRecordTexts(rec);
  EXPECT_EQ(rec.Encoding, TextEncoding::AsRead);
  EXPECT_EQ(rec.SiteName, "熊本市中央区");
  EXPECT_EQ(rec.SiteLat, "１");
  EXPECT_EQ(rec.Label(2), "東");
  DecodeRecordTexts(rec);  // shown texts stay as they are
  EXPECT_EQ(rec.SiteName, "熊本市中央区");
}

// Texts of the other formats are shown as UTF-8 whatever their bytes; what the user leaves
// alone keeps its bytes.
TEST(DisplayText, Latin1TextsAreShownAsUtf8AndKeptAsRead) {
  StrongRecord rec;
  rec.SiteName =
      "Vi\xF1"
      "a del Mar";
  rec.SiteCode = "VALP";
  EXPECT_EQ(DisplayText(rec, rec.SiteName),
            "Vi\xC3\xB1"
            "a del Mar");
  EXPECT_EQ(DisplayText(rec,
                        "Vi\xC3\xB1"
                        "a"),
            "Vi\xC3\xB1"
            "a");  // UTF-8 stays
  RecordTexts texts = TextsOfRecord(rec);
  EXPECT_EQ(texts.station,
            "Vi\xC3\xB1"
            "a del Mar");
  texts.code = "VALP2";
  ApplyRecordTexts(texts, rec);
  EXPECT_EQ(rec.SiteName,
            "Vi\xF1"
            "a del Mar");
  EXPECT_EQ(rec.SiteCode, "VALP2");
}

}  // namespace
}  // namespace sism
