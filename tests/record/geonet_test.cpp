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

struct GeoNetComponent {
  std::string name = "N28W";
  std::vector<std::string> acc = {"-6.5", "10.0", "-20.0"};
  std::string count = "";  // the number of values when empty
  std::string interval = "0.0100";
  int prepended = 0, vel = 0, disp = 0;
};

// Fields eight columns wide, ten to a line.
std::string Block(const std::vector<std::string>& fields) {
  std::string text;
  for (std::size_t i = 0; i < fields.size(); ++i)
    text += AlignRight(fields[i], 8) + (i % 10 == 9 || i + 1 == fields.size() ? "\n" : "");
  return text;
}

std::string ComponentText(const GeoNetComponent& c) {
  std::string text = "Corrected accelerogram 20161113_110256_TEST_20 GNS Science\n"
                     "Site TEST      42 37 10S  173 03 13E     Cusp file:  x\nTest Farm\n";
  for (int line = 4; line <= 16; ++line)
    text += line == 13 ? "Component " + c.name + "  Axis\n" : "Heading line " + std::to_string(line) + "\n";
  std::vector<std::string> ints(40, "0"), reals(60, "0.0");
  const std::vector<std::pair<int, int>> set = {{9, 2016},  {10, 11}, {19, 13}, {20, 23}, {21, 42},
                                                {22, 37},   {23, 10}, {24, 173}, {25, 3}, {26, 13},
                                                {32, c.prepended}, {35, c.vel}, {36, c.disp}, {39, 59},
                                                {40, 59800}};
  for (auto [k, v] : set) ints[static_cast<std::size_t>(k - 1)] = std::to_string(v);
  ints[33] = c.count.empty() ? std::to_string(c.acc.size()) : c.count;
  reals[25] = c.interval;
  text += Block(ints) + Block(reals) + Block(c.acc);
  text += Block(std::vector<std::string>(static_cast<std::size_t>(c.vel), "1.5"));
  text += Block(std::vector<std::string>(static_cast<std::size_t>(c.disp), "-2.5"));
  return text;
}

std::string GeoNetText(const GeoNetComponent& first = {}) {
  GeoNetComponent second{.name = "S62W"}, third{.name = "Up", .acc = {"1", "2", "3"}, .vel = 3, .disp = 12};
  return ComponentText(first) + ComponentText(second) + ComponentText(third);
}

TEST(GeoNetSamples, BothVolumesOpenWithTheirHeaderValues) {
  SKIP_WITHOUT_SAMPLES();
  struct Case {
    const char* file;
    int32_t count, rate;
    const char* time;
    double peaks[3];  // "Acceleration: Peak … mm/s/s" of each component
  } cases[] = {
      {"20161113_110259_WTMC_20.V1A", 65536, 200, "11:02:20", {-11026.2, 9229.6, 31541.5}},
      // Volume 2 starts 250 samples (5 s) before the buffer start of 11:02:19.715.
      {"20161113_110259_WTMC_20.V2A", 8192, 50, "11:02:15", {-9733.1, 7966.4, 18021.9}},
  };
  for (const auto& c : cases) {
    StrongRecord rec;
    ScriptedUi ui;
    ASSERT_TRUE(ReadRecordFile((test::SamplesDir() / "geonet" / c.file).string(), rec, ui)) << ui.OnlyMessage();
    EXPECT_EQ(rec.FileFormat, FormatGeoNet);
    EXPECT_EQ(rec.ChanCount, 3);
    EXPECT_EQ(rec.DataCount, c.count);
    EXPECT_EQ(rec.SampFreq, c.rate);
    EXPECT_EQ(rec.RecDate, "2016/11/13");
    EXPECT_EQ(rec.RecTime, c.time);
    EXPECT_EQ(rec.SiteCode, "WTMC");
    EXPECT_EQ(rec.SiteName, "Te Mara Farm Waiau");
    EXPECT_EQ(rec.SiteLat, "-42.6194");
    EXPECT_EQ(rec.SiteLong, "173.0536");
    const char* labels[] = {"N28W", "S62W", "Up"};
    for (int32_t ch = 1; ch <= 3; ++ch) {
      EXPECT_EQ(rec.Label(ch), labels[ch - 1]) << c.file;
      double cm = c.peaks[ch - 1] / 10;
      EXPECT_NEAR(rec.Peak(ch), cm, std::fabs(cm) * 1e-3) << c.file << " " << labels[ch - 1];
    }
  }
}

TEST(GeoNetSamples, RenamedCopyIsKnownByItsFirstTwoLines) {
  SKIP_WITHOUT_SAMPLES();
  TempDir dir;
  std::string path = dir.File("wtmc.txt");
  std::filesystem::copy_file(test::SamplesDir() / "geonet" / "20161113_110259_WTMC_20.V2A", path);
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReadRecordFile(path, rec, ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.FileFormat, FormatGeoNet);
  EXPECT_EQ(rec.DataCount, 8192);
}

TEST(GeoNet, VolumeTwoKeepsTheAccelerationInCentimetresAndSkipsTheRest) {
  TempDir dir;
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReadGeoNet(dir.Write("a.v2a", GeoNetText({.prepended = 200})), rec, ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.ChanCount, 3);
  EXPECT_EQ(rec.DataCount, 3);
  EXPECT_EQ(rec.SampFreq, 100);
  EXPECT_FLOAT_EQ(rec.Acc(1, 1), -0.65f);
  EXPECT_FLOAT_EQ(rec.Peak(1), -2.0f);
  EXPECT_FLOAT_EQ(rec.Peak(3), 0.3f);  // not the velocity or displacement that follow
  // 23:59:59.8 less 200 samples at 100 Hz, to the nearest second.
  EXPECT_EQ(rec.RecDate, "2016/11/13");
  EXPECT_EQ(rec.RecTime, "23:59:58");
  ASSERT_TRUE(ReadGeoNet(dir.Write("b.v2a", GeoNetText()), rec, ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.RecDate, "2016/11/14");  // 59.8 s rounds into the next day
  EXPECT_EQ(rec.RecTime, "00:00:00");
}

TEST(GeoNet, MalformedFilesEndInOneMessageNamingTheFile) {
  std::string twoComponents = ComponentText({}) + ComponentText({});
  struct Case {
    const char* what;
    std::string text;
    std::string message;
  } cases[] = {
      {"count larger than the data", GeoNetText({.count = "40"}), " (Err#13: Type mismatch)"},
      {"count beyond the file", GeoNetText({.count = "99999999"}), " (Err#62: Input past end of file)"},
      {"no samples", GeoNetText({.count = "0"}), " has no effective data."},
      {"interval of 0", GeoNetText({.interval = "0.0"}), " (Err#11: Division by zero)"},
      {"text in the data", GeoNetText({.acc = {"1.0", "abc", "3.0"}}), " (Err#13: Type mismatch)"},
      {"a component missing", twoComponents, " (Err#62: Input past end of file)"},
      {"rates that differ", ComponentText({.interval = "0.005"}) + twoComponents,
       " has components sampled at different rates."},
  };
  for (const auto& c : cases) {
    TempDir dir;
    std::string path = dir.Write("m.V1A", c.text);
    StrongRecord rec;
    ScriptedUi ui;
    EXPECT_FALSE(ReadGeoNet(path, rec, ui)) << c.what;
    std::string expected = (StartsWith(c.message, " (") ? "Failed to read " : "") + path + c.message;
    EXPECT_EQ(ui.OnlyMessage(), expected) << c.what;
  }
}

TEST(GeoNet, DamagedFilesEndInARecordOrOneMessage) {
  GeoNetComponent first{.acc = std::vector<std::string>(95, "-1234.5")};
  test::ExpectEveryTenthCutRefused(ReadGeoNet, "d.V2A", GeoNetText(first));
  test::ExpectDamageEndsInRecordOrOneMessage(ReadGeoNet, "d.V2A", GeoNetText(first), 23);
}

TEST(GeoNet, DetectedByItsFirstTwoLinesOrItsExtension) {
  struct Case {
    const char* name;
    std::string text;
    int32_t format;
  } cases[] = {
      {"a.txt", GeoNetText(), FormatGeoNet},
      {"b.v1a", "anything\n", FormatGeoNet},
      {"c.V2", "Corrected accelerogram   89146\nUncorrected Accelerogram Data\n", FormatRaw},
      {"d.txt", "Uncorrected accelerogram x\r\nSite X\r\n", FormatGeoNet},
  };
  TempDir dir;
  for (const auto& c : cases) EXPECT_EQ(DetectFormat(dir.Write(c.name, c.text)), c.format) << c.name;
}

}  // namespace
}  // namespace sism
