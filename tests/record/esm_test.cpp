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

struct EsmFile {
  std::string stream = "HNE";
  std::string units = "cm/s^2";
  std::string type = "ACCELERATION";
  std::string interval = "0.010000";
  std::string ndata = "";  // the number of values when empty
  std::vector<std::string> values = {"0.5", "-1.25", "2.0", "0.0"};
};

std::string EsmText(const EsmFile& f) {
  std::string text = "EVENT_NAME: TEST\nEVENT_ID: X\nNETWORK: HI\nSTATION_CODE: ARS1\nSTATION_NAME: Town Hall,Argos\n"
                     "STATION_LATITUDE_DEGREE: 37.634900\nSTATION_LONGITUDE_DEGREE: 22.729300\n"
                     "DATE_TIME_FIRST_SAMPLE_YYYYMMDD_HHMMSS: 20191231_235959.600\n"
                     "SAMPLING_INTERVAL_S: " + f.interval + "\nNDATA: " +
                     (f.ndata.empty() ? std::to_string(f.values.size()) : f.ndata) + "\nSTREAM: " + f.stream +
                     "\nUNITS: " + f.units + "\nDATA_TYPE: " + f.type + "\nUSER5: \n";
  for (const auto& v : f.values) text += v + "\n";
  return text;
}

struct Read {
  bool ok = false;
  StrongRecord rec;
  ScriptedUi ui;
};

void ReadPath(const std::string& path, Read& r) {
  r.ok = ReadRecordFile(path, r.rec, r.ui);
}

TEST(EsmSamples, OneComponentOpensTheStationsThreeWithTheHeaderValues) {
  SKIP_WITHOUT_SAMPLES();
  Read r;
  ReadPath((test::SamplesDir() / "esm" / "HI.ARS1..HNZ.D.20190728.160908.C.ACC.ASC").string(), r);
  ASSERT_TRUE(r.ok) << r.ui.OnlyMessage();
  EXPECT_EQ(r.rec.FileFormat, FormatEsm);
  EXPECT_EQ(r.rec.ChanCount, 3);
  EXPECT_EQ(r.rec.DataCount, 19128);
  EXPECT_EQ(r.rec.SampFreq, 200);
  EXPECT_EQ(r.rec.RecDate, "2019/07/28");
  EXPECT_EQ(r.rec.RecTime, "16:09:20");  // 16:09:19.870 to the nearest second
  EXPECT_EQ(r.rec.SiteCode, "ARS1");
  EXPECT_EQ(r.rec.SiteName, "Town Hall,Argos,Argolis,Peloponnese");
  EXPECT_EQ(r.rec.SiteLat, "37.634900");
  EXPECT_EQ(r.rec.SiteLong, "22.729300");
  const char* labels[] = {"HNN", "HNE", "HNZ"};
  const double pga[] = {0.359017, 0.300022, 0.202093};  // PGA_CM/S^2 of each file
  for (int32_t ch = 1; ch <= 3; ++ch) {
    EXPECT_EQ(r.rec.Label(ch), labels[ch - 1]);
    EXPECT_NEAR(std::fabs(r.rec.Peak(ch)), pga[ch - 1], pga[ch - 1] * 1e-3) << labels[ch - 1];
  }
}

TEST(EsmSamples, RenamedCopyIsKnownByItsFirstKeyAndOpensAlone) {
  SKIP_WITHOUT_SAMPLES();
  TempDir dir;
  std::string path = dir.File("record.txt");
  std::filesystem::copy_file(test::SamplesDir() / "esm" / "HI.ARS1..HNE.D.20190728.160908.C.ACC.ASC", path);
  Read r;
  ReadPath(path, r);
  ASSERT_TRUE(r.ok) << r.ui.OnlyMessage();
  EXPECT_EQ(r.rec.FileFormat, FormatEsm);
  EXPECT_EQ(r.rec.ChanCount, 1);
  EXPECT_NEAR(r.rec.PeakAcc, 0.300022, 0.300022e-3);
}

TEST(Esm, SetSkipsMissingSiblingsFindsThemInAnyCaseAndPutsVerticalLast) {
  TempDir dir;
  dir.Write("hi.sta..hnz.d.x.acc.asc", EsmText({.stream = "HNZ", .values = {"3", "4"}}));
  std::string path = dir.Write("HI.STA..HNE.D.X.ACC.ASC", EsmText({.values = {"1", "-2", "5"}}));
  Read r;
  ReadPath(path, r);
  ASSERT_TRUE(r.ok) << r.ui.OnlyMessage();
  EXPECT_EQ(r.rec.ChanCount, 2);
  EXPECT_EQ(r.rec.Label(1), "HNE");
  EXPECT_EQ(r.rec.Label(2), "HNZ");
  EXPECT_EQ(r.rec.DataCount, 2);  // the shorter component's length
  EXPECT_EQ(r.rec.SampFreq, 100);
  EXPECT_FLOAT_EQ(r.rec.Peak(1), -2.0f);
  EXPECT_EQ(r.rec.RecDate, "2020/01/01");  // 23:59:59.6 rounds into the next day
  EXPECT_EQ(r.rec.RecTime, "00:00:00");
}

TEST(Esm, UnitsAreConvertedToCentimetres) {
  struct Case {
    const char* units;
    float first;
  } cases[] = {{"cm/s^2", 0.5f}, {"m/s^2", 50.0f}, {"g", 490.0f}, {"CM/S/S", 0.5f}};
  for (const auto& c : cases) {
    TempDir dir;
    StrongRecord rec;
    ScriptedUi ui;
    ASSERT_TRUE(ReadEsm(dir.Write("a.asc", EsmText({.units = c.units})), rec, ui)) << ui.OnlyMessage();
    EXPECT_FLOAT_EQ(rec.Acc(1, 1), c.first) << c.units;
  }
}

TEST(Esm, MalformedFilesEndInOneMessageNamingTheFile) {
  struct Case {
    const char* what;
    std::string text;
    std::string message;  // after the path
  } cases[] = {
      {"velocity file", EsmText({.units = "cm/s", .type = "VELOCITY"}), " holds velocity, not acceleration."},
      {"units of no acceleration", EsmText({.units = "cm"}), " gives its samples in \"cm\", not as an acceleration."},
      {"count larger than the data", EsmText({.ndata = "9"}), " (Err#62: Input past end of file)"},
      {"count beyond the file", EsmText({.ndata = "2000000000"}), " (Err#62: Input past end of file)"},
      {"no samples", EsmText({.ndata = "0"}), " has no effective data."},
      {"interval of 0", EsmText({.interval = "0"}), " (Err#11: Division by zero)"},
      {"text in the data", EsmText({.values = {"1", "2", "x3", "4"}}), " (Err#13: Type mismatch)"},
      {"no count", "EVENT_NAME: X\nSAMPLING_INTERVAL_S: 0.01\n1\n",
       " is not an ESM ASCII file: its header gives no NDATA or SAMPLING_INTERVAL_S."},
  };
  for (const auto& c : cases) {
    TempDir dir;
    std::string path = dir.Write("m.asc", c.text);
    StrongRecord rec;
    ScriptedUi ui;
    EXPECT_FALSE(ReadEsm(path, rec, ui)) << c.what;
    std::string expected = (StartsWith(c.message, " (") ? "Failed to read " : "") + path + c.message;
    EXPECT_EQ(ui.OnlyMessage(), expected) << c.what;
  }
}

TEST(Esm, DamagedFilesEndInARecordOrOneMessage) {
  EsmFile f;
  f.values.assign(300, "-1.234567");
  test::ExpectEveryTenthCutRefused(ReadEsm, "d.asc", EsmText(f));
  test::ExpectDamageEndsInRecordOrOneMessage(ReadEsm, "d.asc", EsmText(f), 19);
}

TEST(Esm, DetectedByItsFirstKeyOrByExtensionWithAKeyLine) {
  struct Case {
    const char* name;
    std::string text;
    int32_t format;
  } cases[] = {
      {"a.dat", EsmText({}), FormatEsm},
      {"b.ASC", "STATION_CODE: X\n", FormatEsm},
      {"c.asc", "1.0 2.0\n", FormatOther},
      {"d.txt", "EVENT_NAME (none)\n", FormatOther},
  };
  TempDir dir;
  for (const auto& c : cases) EXPECT_EQ(DetectFormat(dir.Write(c.name, c.text)), c.format) << c.name;
}

}  // namespace
}  // namespace sism
