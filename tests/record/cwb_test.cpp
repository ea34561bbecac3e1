#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "common/text.h"
#include "record/dispatch.h"
#include "record/readers.h"
#include "record/strong_record.h"
#include "tests/support/damaged_files.h"
#include "tests/support/samples.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

using test::ScriptedUi;
using test::TempDir;

struct CwbFile {
  std::string rate = "10";
  std::string length = "0.5";
  std::string units = "gal. DCoffset(corr)";
  int steps = 5;
  std::string badField = "";  // replaces the U value of step 3 when set
};

// Columns time, U, N, E in F10.3; U = step, N = -2 step, E = -12345.5 so that fields touch.
std::string CwbText(const CwbFile& f) {
  std::string text = "#Earthquake Information\r\n#Origin Time(GMT+08): 2018/02/06-23:50:42\r\n\r\n"
                     "#Station Information\r\n#StationCode: EAS\r\n#StationName: Anshuo\r\n"
                     "#StationLongitude(E): 120.857\r\n#StationLatitude(N): 22.381\r\n"
                     "#StartTime(GMT+08): 2018/02/06-23:59:59.600\r\n#RecordLength(sec): " + f.length +
                     "\r\n#SampleRate(Hz): " + f.rate + "\r\n#AmplitudeUnit:  " + f.units +
                     "\r\n#DataSequence: Time U(+); N(+); E(+)\r\n#Data: 4F10.3 \r\n";
  for (int i = 1; i <= f.steps; ++i) {
    std::string u = i == 3 && !f.badField.empty() ? f.badField : FormatNumber(i, "0.000");
    text += AlignRight(FormatNumber((i - 1) * 0.1, "0.000"), 10) + AlignRight(u, 10) +
            AlignRight(FormatNumber(-2 * i, "0.000"), 10) + "-12345.500\r\n";
  }
  return text;
}

TEST(CwbSamples, SampleOpensWithItsHeaderValuesUnderAnyName) {
  SKIP_WITHOUT_SAMPLES();
  TempDir dir;
  std::string renamed = dir.File("record");
  std::filesystem::copy_file(test::SamplesDir() / "cwb" / "1-EAS.dat", renamed);
  for (const std::string& path : {(test::SamplesDir() / "cwb" / "1-EAS.dat").string(), renamed}) {
    StrongRecord rec;
    ScriptedUi ui;
    ASSERT_TRUE(ReadRecordFile(path, rec, ui)) << ui.OnlyMessage();
    EXPECT_EQ(rec.FileFormat, FormatCwb);
    EXPECT_EQ(rec.ChanCount, 3);
    EXPECT_EQ(rec.DataCount, 6000);  // 120 s at 50 Hz
    EXPECT_EQ(rec.SampFreq, 50);
    EXPECT_EQ(rec.RecDate, "2018/02/06");
    EXPECT_EQ(rec.RecTime, "23:50:29");
    EXPECT_EQ(rec.SiteCode, "EAS");
    EXPECT_EQ(rec.SiteName, "Anshuo");
    EXPECT_EQ(rec.SiteLat, "22.381");
    EXPECT_EQ(rec.SiteLong, "120.857");
    const char* labels[] = {"N", "E", "U"};
    const double peaks[] = {-2.273, 1.017, -0.837};  // #AmplitudeMAX. of each component
    for (int32_t ch = 1; ch <= 3; ++ch) {
      EXPECT_EQ(rec.Label(ch), labels[ch - 1]);
      EXPECT_NEAR(rec.Peak(ch), peaks[ch - 1], std::fabs(peaks[ch - 1]) * 1e-3) << labels[ch - 1];
    }
  }
}

TEST(Cwb, DeclaredColumnsAreReadEvenWhenFieldsTouch) {
  TempDir dir;
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReadCwb(dir.Write("a.dat", CwbText({})), rec, ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.DataCount, 5);
  EXPECT_EQ(rec.SampFreq, 10);
  EXPECT_FLOAT_EQ(rec.Acc(4, 1), -8.0f);
  EXPECT_FLOAT_EQ(rec.Acc(4, 2), -12345.5f);
  EXPECT_FLOAT_EQ(rec.Acc(4, 3), 4.0f);
  EXPECT_EQ(rec.RecDate, "2018/02/07");  // 23:59:59.6 rounds into the next day
  EXPECT_EQ(rec.RecTime, "00:00:00");
}

TEST(Cwb, MalformedFilesEndInOneMessageNamingTheFile) {
  struct Case {
    const char* what;
    std::string text;
    std::string message;
  } cases[] = {
      {"length larger than the data", CwbText({.length = "0.6"}), " (Err#62: Input past end of file)"},
      {"length beyond the file", CwbText({.length = "1e8"}), " (Err#62: Input past end of file)"},
      {"rate of 0", CwbText({.rate = "0"}), " has no effective data."},
      {"text in the data", CwbText({.badField = "1.0e"}), " (Err#13: Type mismatch)"},
      {"units of no acceleration", CwbText({.units = "cm/s"}), " gives its samples in \"cm/s\", not as an acceleration."},
      {"no rate", "#StationCode: X\n1 2 3 4\n", " is not a CWB text file: its header gives no #SampleRate(Hz)."},
  };
  for (const auto& c : cases) {
    TempDir dir;
    std::string path = dir.Write("m.dat", c.text);
    StrongRecord rec;
    ScriptedUi ui;
    EXPECT_FALSE(ReadCwb(path, rec, ui)) << c.what;
    std::string expected = (StartsWith(c.message, " (") ? "Failed to read " : "") + path + c.message;
    EXPECT_EQ(ui.OnlyMessage(), expected) << c.what;
  }
}

TEST(Cwb, DamagedFilesEndInARecordOrOneMessage) {
  CwbFile f{.length = "20", .steps = 200};
  test::ExpectEveryTenthCutRefused(ReadCwb, "d.dat", CwbText(f));
  test::ExpectDamageEndsInRecordOrOneMessage(ReadCwb, "d.dat", CwbText(f), 29);
}

TEST(Cwb, DetectedByAStationCodeKeyInAHashHeader) {
  TempDir dir;
  EXPECT_EQ(DetectFormat(dir.Write("a.txt", CwbText({}))), FormatCwb);
  EXPECT_EQ(DetectFormat(dir.Write("b.dat", "# time acc\n0 1\n")), FormatOther);
  EXPECT_EQ(DetectFormat(dir.Write("c.dat", "StationCode: X\n#StationCode: X\n")), FormatOther);
}

}  // namespace
}  // namespace sism
