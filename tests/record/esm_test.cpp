#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "load/user_side.h"
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

struct EsmFile {
  std::string stream = "HNE", units = "cm/s^2", type = "ACCELERATION", interval = "0.01";
  std::string ndata = "";  // the number of values when empty
  std::vector<std::string> values = {"0.5", "-1.25", "2.0", "0.0"};
};

std::string EsmText(const EsmFile& f) {
  std::string text =
      "EVENT_NAME: TEST\nSTATION_CODE: ARS1\nDATE_TIME_FIRST_SAMPLE_YYYYMMDD_HHMMSS: 20191231_235959.6\n"
      "SAMPLING_INTERVAL_S: " +
      f.interval + "\nNDATA: " + (f.ndata.empty() ? std::to_string(f.values.size()) : f.ndata) +
      "\nSTREAM: " + f.stream + "\nUNITS: " + f.units + "\nDATA_TYPE: " + f.type + "\nUSER5: \n";
  for (const auto& v : f.values) text += v + "\n";
  return text;
}

TEST(EsmSamples, OneComponentOpensTheStationsThree) {
  SKIP_WITHOUT_SAMPLES();
  test::ExpectSampleFacts({.file = "esm/HI.ARS1..HNZ.D.20190728.160908.C.ACC.ASC",
                           .format = FormatEsm,
                           .chans = 3,
                           .count = 19128,
                           .rate = 200,
                           .date = "2019/07/28",
                           .time = "16:09:20",  // 16:09:19.870 to the nearest second
                           .code = "ARS1",
                           .name = "Town Hall,Argos,Argolis,Peloponnese",
                           .lat = "37.634900",
                           .lon = "22.729300",
                           .labels = {"HNN", "HNE", "HNZ"},
                           .peaks = {0.359017, 0.300022, 0.202093}});
}

TEST(Esm, SetSkipsMissingSiblingsFindsOthersInAnyCaseAndConvertsTheirUnits) {
  TempDir dir;
  dir.Write("hi.sta..hnz.d.x.acc.asc", EsmText({.stream = "HNZ", .units = "m/s^2", .values = {"3", "-4"}}));
  dir.Write("HI.STA..HNN.D.X.VEL.ASC", EsmText({.stream = "HNN", .type = "VELOCITY"}));  // not of the set
  std::string path =
      dir.Write("HI.STA..HNE.D.X.ACC.ASC", EsmText({.units = "g", .values = {"1", "-2", "5"}}));
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadEsm(path, rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.Labels(), (std::vector<std::string>{"HNE", "HNZ"}));
  EXPECT_EQ(rec.DataCount, 2);  // the shorter component's
  EXPECT_FLOAT_EQ(rec.Peak(1), -2 * 980.665f);
  EXPECT_FLOAT_EQ(rec.Peak(2), -400.0f);
  EXPECT_EQ(rec.RecDate + " " + rec.RecTime, "2020/01/01 00:00:00");  // 23:59:59.6 rounded
}

TEST(Esm, BrokenFilesEndInOneMessageNamingTheFile) {
  test::ExpectRefused(
      ReadEsm, "m.asc",
      {{"velocity file", EsmText({.units = "cm/s", .type = "VELOCITY"}),
        " holds velocity, not acceleration."},
       {"units of no acceleration", EsmText({.units = "cm"}),
        " gives its samples in \"cm\", not as an acceleration."},
       {"count larger than the data", EsmText({.ndata = "9"}), " (Err#62: Input past end of file)"},
       {"count beyond the file", EsmText({.ndata = "2000000000"}), " (Err#62: Input past end of file)"},
       {"no samples", EsmText({.ndata = "0"}), " has no effective data."},
       {"interval of 0", EsmText({.interval = "0"}), " (Err#11: Division by zero)"},
       {"text in the data", EsmText({.values = {"1", "x3"}}), " (Err#13: Type mismatch)"},
       {"no count", "EVENT_NAME: X\n1\n",
        " is not an ESM ASCII file: its header gives no NDATA or SAMPLING_INTERVAL_S."}});
  test::ExpectDamagedCopiesEndWell(ReadEsm, "d.asc",
                                   EsmText({.values = std::vector<std::string>(300, "-1.234")}), 19);
}

TEST(Esm, KnownByItsFirstKeyOrByExtensionWithAKeyLine) {
  test::ExpectDetected({{"a.dat", EsmText({}), FormatEsm},
                        {"b.ASC", "STATION_CODE: X\n", FormatEsm},
                        {"c.asc", "1.0 2.0\n", FormatOther}});
}

}  // namespace
}  // namespace sism
