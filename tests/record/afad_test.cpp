#include <gtest/gtest.h>

#include <string>

#include "load/user_side.h"
#include "record/readers.h"
#include "tests/support/reader_checks.h"
#include "tests/support/samples.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

// `rows` steps whose columns ramp to `last`, -`last` and `last` / 2, row 3 replaced by
// `bad` when given; the header states peaks of 13.2, 13.2 and 6.6 gal.
std::string AfadText(const std::string& count, const std::string& interval, int rows, double last,
                     const std::string& bad = "") {
  std::string t =
      "STRONG GROUND MOTION RECORDS OF TURKIYE\r\nPLACE : AYD\xFDN\r\nSTATION ID : 0921\r\n"
      "STATION COORDINATES : 37.87470S-27.59223E\r\n"
      "RECORD TIME : 31/12/2017 23:59:59.600000 (GMT)\r\nNUMBER OF DATA : " +
      count + "\r\nSAMPLING INTERVAL (sec) : " + interval +
      "\r\nRAW PGA VALUES (gal) : (N-S) 13.2 (E-W) 13.2 (U-D) 6.6\r\nCopyright\r\n N-S E-W U-D\r\n";
  for (int i = 1; i <= rows; ++i) {
    double v = last * i / rows;
    std::string row = std::to_string(v) + "  " + std::to_string(-v) + " " + std::to_string(v / 2);
    t += (i == 3 && !bad.empty() ? bad : row) + "\r\n";
  }
  return t;
}

TEST(AfadSamples, SampleGivesItsHeaderValues) {
  SKIP_WITHOUT_SAMPLES();
  test::ExpectSampleFacts({.file = "afad/20170720223109_0921.txt",
                           .format = FormatAfad,
                           .chans = 3,
                           .count = 28683,
                           .rate = 100,
                           .date = "2017/07/20",
                           .time = "22:30:58",
                           .code = "0921",
                           .name = "AYD\u0131N GERMENCIK DEVLET HASTANESI",
                           .lat = "37.87470",
                           .lon = "27.59223",
                           .labels = {"N-S", "E-W", "U-D"},
                           .peaks = {13.200332, 12.163827, 9.840572}});
}

TEST(Afad, SamplesTakeTheUnitsThatMatchTheStatedPeaks) {
  const struct {
    double last;
    float factor;
  } cases[] = {{13.2, 1}, {0.01346, 980.665f}, {0.1346, 98.0665f}};
  test::TempDir dir;
  for (const auto& c : cases) {
    StrongRecord rec;
    test::ScriptedUi ui;
    ASSERT_TRUE(ReportRead(ReadAfad(dir.Write("a.txt", AfadText("20", "0.005", 20, c.last)), rec, ui), ui))
        << ui.OnlyMessage();
    EXPECT_EQ(rec.SampFreq, 200);
    EXPECT_FLOAT_EQ(rec.Peak(2), -static_cast<float>(c.last) * c.factor) << c.last;
    EXPECT_EQ(rec.RecDate + " " + rec.RecTime, "2018/01/01 00:00:00");  // 23:59:59.6 rounded
    EXPECT_EQ(rec.SiteLat, "-37.87470");
  }
}

TEST(Afad, BrokenFilesEndInOneMessageNamingTheFile) {
  test::ExpectRefused(
      ReadAfad, "m.txt",
      {{"count larger than the data", AfadText("21", "0.01", 20, 1), " (Err#62: Input past end of file)"},
       {"count beyond the file", AfadText("2000000000", "0.01", 20, 1), " (Err#62: Input past end of file)"},
       {"interval of 0", AfadText("20", "0", 20, 1), " (Err#11: Division by zero)"},
       {"text in the data", AfadText("20", "0.01", 20, 1, "0.1 abc 0.2"), " (Err#13: Type mismatch)"},
       {"no count", "STRONG GROUND MOTION RECORDS OF TURKIYE\r\n N-S\r\n1\r\n",
        " is not an AFAD file: its header gives no NUMBER OF DATA."}});
  test::ExpectDamagedCopiesEndWell(ReadAfad, "d.txt", AfadText("40", "0.01", 40, 1), 24);
}

TEST(Afad, KnownByItsFirstLineUnderAnyName) {
  test::ExpectDetected({{"a.asc", AfadText("20", "0.01", 20, 1), FormatAfad},
                        {"b.txt", "STRONG MOTION RECORD\r\n", FormatTur}});
}

}  // namespace
}  // namespace sism
