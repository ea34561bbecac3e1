#include "load/user_side.h"
#include "tests/support/reader_checks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "common/text.h"
#include "record/dispatch.h"
#include "tests/support/damaged_files.h"
#include "tests/support/samples.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism::test {

void ExpectSampleFacts(const SampleFacts& f) {
  const std::string path = (SamplesDir() / f.file).string();
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadRecordFile(path, rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.FileFormat, f.format);
  EXPECT_EQ(rec.ChanCount, f.chans);
  EXPECT_EQ(rec.DataCount, f.count);
  EXPECT_EQ(rec.SampFreq, f.rate);
  EXPECT_EQ(rec.RecDate + " " + rec.RecTime, f.date + " " + f.time);
  EXPECT_EQ(rec.SiteCode, f.code);
  EXPECT_EQ(rec.SiteName, f.name);
  EXPECT_EQ(rec.SiteLat + " " + rec.SiteLong, f.lat + " " + f.lon);
  ASSERT_EQ(rec.Labels(), f.labels);
  for (int32_t ch = 1; ch <= rec.ChanCount && ch <= static_cast<int32_t>(f.peaks.size()); ++ch) {
    double peak = std::fabs(f.peaks[static_cast<std::size_t>(ch - 1)]);
    EXPECT_NEAR(std::fabs(rec.Peak(ch)), peak, peak * 1e-3) << rec.Label(ch);
  }

  TempDir dir;
  std::filesystem::copy_file(path, dir.File("renamed.txt"));
  StrongRecord copy;
  ASSERT_TRUE(ReportRead(ReadRecordFile(dir.File("renamed.txt"), copy, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(copy.FileFormat, f.format);
  EXPECT_EQ(copy.SampFreq, f.rate);
}

void ExpectRefused(ReaderFunction reader, const std::string& name, const std::vector<RefusedFile>& cases) {
  for (const auto& c : cases) {
    TempDir dir;
    std::string path = dir.Write(name, c.text);
    StrongRecord rec;
    ScriptedUi ui;
    EXPECT_FALSE(ReportRead(reader(path, rec, ui), ui)) << c.what;
    // A trapped error starts with the conventional text and goes on to say where.
    if (StartsWith(c.message, " ("))
      EXPECT_TRUE(StartsWith(ui.OnlyMessage(), "Failed to read " + path + c.message)) << c.what << ": " << ui.OnlyMessage();
    else
      EXPECT_EQ(ui.OnlyMessage(), path + c.message) << c.what;
  }
}

void ExpectDamagedCopiesEndWell(ReaderFunction reader, const std::string& name, const std::string& good,
                                unsigned seed) {
  ExpectEveryTenthCutRefused(reader, name, good);
  ExpectDamageEndsInRecordOrOneMessage(reader, name, good, seed);
}

void ExpectDetected(const std::vector<DetectCase>& cases) {
  TempDir dir;
  for (const auto& c : cases) EXPECT_EQ(DetectFormat(dir.Write(c.name, c.text)), c.format) << c.name;
}

}  // namespace sism::test
