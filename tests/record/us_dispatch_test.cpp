// The US-format samples through detection and the dispatcher, as the program opens them.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "load/user_side.h"
#include "load/statistics.h"
#include "common/errors.h"
#include "common/files.h"
#include "record/dispatch.h"
#include "sismcalc/binding/calc.h"
#include "tests/support/samples.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

using test::ScriptedUi;

// Three-channel records get their JMA intensity from the library while being opened.
bool LibraryHasIntensity() {
  try {
    int32_t n = 0;
    float dt = 0.01f, x = 0;
    sism::calc::SIJMA10(&n, &dt, &x, &x, &x);
    return true;
  } catch (const RuntimeError&) {
    return false;
  }
}

TEST(UsFormatsOpened, EverySampleIsDetectedAndRead) {
  SKIP_WITHOUT_SAMPLES();
  struct Case {
    const char* file;
    int32_t format;
    int32_t chans, count, freq;
    const char* date;
    const char* site;
    float peakAcc;  // from the file's header
    float tolerance;
  };
  const Case cases[] = {
      {"cosmos/us1000hyfh_akbmrp_AKBMR--n.1000hyfh.BNZ.--.acc.V2c", FormatCosmos, 1, 42000, 200, "2018/11/30",
       "BMR", 6.851512f, 1e-4f},
      {"smc/0111a.smc", FormatSmc, 1, 6001, 200, "1989/10/18", "SAF0", 104.41f, 1e-3f},
      {"dmg/CE89146.V1", FormatRaw, 3, 13200, 200, "2012/02/13", "89146", 0.0791795f * 980.665f, 0.05f},
      {"dmg/CE89146.V2", FormatRaw, 3, 12000, 200, "2012/02/13", "89146", 77.280f, 1e-3f},
      {"dmg/NEWPORT.RAW", FormatRaw, 3, 12080, 201, "1992/06/28", "13160", 0.055f * 980.665f, 1.5f},
      {"peer/RSN763_LOMAP_GIL067.AT2", FormatPeer, 1, 7999, 200, "1989/10/18", "RSN763_LOMAP_GIL067", 0, -1},
  };
  const bool intensity = LibraryHasIntensity();
  for (const Case& c : cases) {
    std::string path = (test::SamplesDir() / c.file).string();
    EXPECT_EQ(DetectFormat(path), c.format) << c.file;
    if (c.chans >= 3 && !intensity) continue;  // the readers' own tests cover these
    StrongRecord rec;
    ScriptedUi ui;
    ASSERT_TRUE(ReportRead(ReadFinishedRecord(path, rec, ui), ui)) << c.file << ": " << ui.OnlyMessage();
    EXPECT_EQ(rec.FileFormat, c.format) << c.file;
    EXPECT_EQ(rec.ChanCount, c.chans) << c.file;
    EXPECT_EQ(rec.DataCount, c.count) << c.file;
    EXPECT_EQ(rec.DataCapacity(), c.count) << c.file;
    EXPECT_EQ(rec.SampFreq, c.freq) << c.file;
    EXPECT_EQ(rec.RecDate, c.date) << c.file;
    EXPECT_EQ(rec.SiteCode, c.site) << c.file;
    EXPECT_EQ(rec.JmaGroup, c.chans >= 3 ? 1 : 0) << c.file;
    EXPECT_EQ(rec.FilePath, path) << c.file;
    EXPECT_EQ(rec.FileSize, FileLength(path)) << c.file;
    if (c.tolerance > 0) {
      EXPECT_NEAR(rec.PeakAcc, c.peakAcc, c.tolerance) << c.file;
    }
    EXPECT_TRUE(ui.messages.empty()) << c.file;
  }
  if (!intensity) GTEST_SKIP() << "three-channel samples detected only: the library has no SIJMA10 yet";
}

TEST(UsFormatsOpened, CosmosFilesNamedV1OrV2AreNotTakenForRaw) {
  SKIP_WITHOUT_SAMPLES();
  test::TempDir dir;
  std::string text = ReadWholeFile(
      (test::SamplesDir() / "cosmos/us1000hyfh_akbmrp_AKBMR--n.1000hyfh.BNZ.--.acc.V2c").string());
  for (const char* name : {"a.V2", "b.v1"}) {
    std::string path = dir.Write(name, text);
    EXPECT_EQ(DetectFormat(path), FormatCosmos) << name;
    StrongRecord rec;
    ScriptedUi ui;
    ASSERT_TRUE(ReportRead(ReadFinishedRecord(path, rec, ui), ui)) << name << ": " << ui.OnlyMessage();
    EXPECT_EQ(rec.FileFormat, FormatCosmos);
    EXPECT_EQ(rec.DataCount, 42000);
  }
}

}  // namespace
}  // namespace sism
