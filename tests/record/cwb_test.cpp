#include <gtest/gtest.h>

#include <string>

#include "load/user_side.h"
#include "common/text.h"
#include "record/readers.h"
#include "record/strong_record.h"
#include "tests/support/reader_checks.h"
#include "tests/support/samples.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

using test::ScriptedUi;
using test::TempDir;

struct CwbFile {
  std::string rate = "10", length = "0.5", units = "gal. DCoffset(corr)";
  int steps = 5;
  std::string badField = "";  // replaces the U value of step 3 when set
};

// Columns time, U, N, E in F10.3: U = step, N = -2 step, E = -12345.5 so that fields touch.
std::string CwbText(const CwbFile& f) {
  std::string text =
      "#Earthquake Information\r\n\r\n#StationCode: EAS\r\n#StartTime(GMT+08): 2018/02/06-23:59:59.600\r\n"
      "#RecordLength(sec): " +
      f.length + "\r\n#SampleRate(Hz): " + f.rate + "\r\n#AmplitudeUnit:  " + f.units +
      "\r\n#DataSequence: Time U(+); N(+); E(+)\r\n#Data: 4F10.3 \r\n";
  for (int i = 1; i <= f.steps; ++i) {
    std::string u = i == 3 && !f.badField.empty() ? f.badField : FormatNumber(i, "0.000");
    text += AlignRight(FormatNumber(i, "0.000"), 10) + AlignRight(u, 10) +
            AlignRight(FormatNumber(-2 * i, "0.000"), 10) + "-12345.500\r\n";
  }
  return text;
}

TEST(CwbSamples, SampleGivesItsHeaderValues) {
  SKIP_WITHOUT_SAMPLES();
  test::ExpectSampleFacts({.file = "cwb/1-EAS.dat",
                           .format = FormatCwb,
                           .chans = 3,
                           .count = 6000,
                           .rate = 50,
                           .date = "2018/02/06",
                           .time = "23:50:29",
                           .code = "EAS",
                           .name = "Anshuo",
                           .lat = "22.381",
                           .lon = "120.857",
                           .labels = {"N", "E", "U"},
                           .peaks = {2.273, 1.017, 0.837}});
}

TEST(Cwb, DeclaredColumnsAreReadEvenWhenFieldsTouchAndHorizontalsComeFirst) {
  TempDir dir;
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadCwb(dir.Write("a.dat", CwbText({})), rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.DataCount, 5);
  EXPECT_EQ(rec.SampFreq, 10);
  EXPECT_FLOAT_EQ(rec.Acc(4, 1), -8.0f);
  EXPECT_FLOAT_EQ(rec.Acc(4, 2), -12345.5f);
  EXPECT_FLOAT_EQ(rec.Acc(4, 3), 4.0f);
  EXPECT_EQ(rec.RecDate + " " + rec.RecTime, "2018/02/07 00:00:00");  // 23:59:59.6 rounded
}

TEST(Cwb, BrokenFilesEndInOneMessageNamingTheFile) {
  test::ExpectRefused(
      ReadCwb, "m.dat",
      {{"length larger than the data", CwbText({.length = "0.6"}), " (Err#62: Input past end of file)"},
       {"length beyond the file", CwbText({.length = "1e8"}), " (Err#62: Input past end of file)"},
       {"rate of 0", CwbText({.rate = "0"}), " has no effective data."},
       {"text in the data", CwbText({.badField = "1.0e"}), " (Err#13: Type mismatch)"},
       {"no rate", "#StationCode: X\n1 2 3 4\n",
        " is not a CWB text file: its header gives no #SampleRate(Hz)."}});
  test::ExpectDamagedCopiesEndWell(ReadCwb, "d.dat", CwbText({.length = "20", .steps = 200}), 29);
}

TEST(Cwb, KnownByAStationCodeKeyUnderAHashHeader) {
  test::ExpectDetected({{"a.txt", CwbText({}), FormatCwb},
                        {"b.dat", "# time acc\n0 1\n", FormatOther},
                        {"c.dat", "StationCode: X\n#StationCode: X\n", FormatOther}});
}

}  // namespace
}  // namespace sism
