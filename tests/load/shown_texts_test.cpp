// Dates, times and stations as the window, the reports and the titles show them.
#include <gtest/gtest.h>

#include "load/statistics.h"
#include "record/display_text.h"
#include "record/strong_record.h"

namespace sism {
namespace {

StrongRecord Header(const char* date, const char* time, const char* code, const char* name) {
  StrongRecord rec;
  rec.RecDate = date;
  rec.RecTime = time;
  rec.SiteCode = code;
  rec.SiteName = name;
  rec.SampFreq = 100;
  return rec;
}

TEST(ShownTexts, PlaceholderDatesAndTheirMidnightAreBlank) {
  EXPECT_EQ(ShownDate(Header("0000/00/00", "00:00", "", "")), "");
  EXPECT_EQ(ShownTime(Header("0000/00/00", "00:00", "", "")), "");
  EXPECT_EQ(ShownTime(Header("0000/00/00", "00:00:00", "", "")), "");
  EXPECT_EQ(ShownTime(Header("", "12:30:00", "", "")), "12:30:00");
  // A real date keeps its midnight.
  EXPECT_EQ(ShownDate(Header("2024/01/01", "00:00:00", "", "")), "2024/01/01");
  EXPECT_EQ(ShownTime(Header("2024/01/01", "00:00:00", "", "")), "00:00:00");
}

TEST(ShownTexts, TheStationShowsItsCodeOnce) {
  EXPECT_EQ(ShownStation(Header("", "", "AOM001", "AOM001 in K-NET")), "AOM001 in K-NET");
  EXPECT_EQ(ShownStation(Header("", "", "AOM001", "Aomori")), "AOM001: Aomori");
  EXPECT_EQ(ShownStation(Header("", "", "AOM", "AOM001 in K-NET")), "AOM: AOM001 in K-NET");
  EXPECT_EQ(ShownStation(Header("", "", "AOM001", "")), "AOM001");
  EXPECT_EQ(ShownStation(Header("", "", "", "Aomori")), "Aomori");
}

TEST(ShownTexts, StatusTextLeavesOutWhatTheFileDidNotGive) {
  const StrongRecord known = Header("2011/03/11", "14:46:00", "MYG004", "MYG004 in K-NET");
  EXPECT_EQ(StatusParamsText(known).rfind("2011/03/11 14:46:00 at MYG004 in K-NET (I=", 0), 0u)
      << StatusParamsText(known);
  const StrongRecord unknown = Header("0000/00/00", "00:00", "DATA", "explanation");
  EXPECT_EQ(StatusParamsText(unknown).rfind("DATA: explanation (I=", 0), 0u) << StatusParamsText(unknown);
}

}  // namespace
}  // namespace sism
