#include <gtest/gtest.h>

#include <string>
#include <vector>

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
  std::string text =
      "Corrected accelerogram 20161113_110256_TEST_20 GNS Science\nSite TEST      42 37 10S\nFarm\n";
  for (int line = 4; line <= 16; ++line)
    text += line == 13 ? "Component " + c.name + "  Axis\n" : "Heading\n";
  std::vector<std::string> ints(40, "0"), reals(60, "0.0");
  // Buffer start 2016/11/13 23:59:59.800.
  const std::pair<int, int> start[] = {{9, 2016}, {10, 11}, {19, 13}, {20, 23}, {39, 59}, {40, 59800}};
  for (auto [k, v] : start) ints[static_cast<std::size_t>(k - 1)] = std::to_string(v);
  ints[31] = std::to_string(c.prepended);
  ints[33] = c.count.empty() ? std::to_string(c.acc.size()) : c.count;
  ints[34] = std::to_string(c.vel);
  ints[35] = std::to_string(c.disp);
  reals[25] = c.interval;
  return text + Block(ints) + Block(reals) + Block(c.acc) +
         Block(std::vector<std::string>(static_cast<std::size_t>(c.vel), "1.5")) +
         Block(std::vector<std::string>(static_cast<std::size_t>(c.disp), "-2.5"));
}

std::string GeoNetText(const GeoNetComponent& first = {}) {
  return ComponentText(first) + ComponentText({.name = "Up", .acc = {"1", "2", "3"}, .vel = 3, .disp = 12}) +
         ComponentText({.name = "S62W"});
}

TEST(GeoNetSamples, BothVolumesGiveTheirHeaderValues) {
  SKIP_WITHOUT_SAMPLES();
  test::SampleFacts facts{.file = "geonet/20161113_110259_WTMC_20.V1A",
                          .format = FormatGeoNet,
                          .chans = 3,
                          .count = 65536,
                          .rate = 200,
                          .date = "2016/11/13",
                          .time = "11:02:20",
                          .code = "WTMC",
                          .name = "Te Mara Farm Waiau",
                          .lat = "-42.6194",
                          .lon = "173.0536",
                          .labels = {"N28W", "S62W", "Up"},
                          .peaks = {1102.62, 922.96, 3154.15}};
  test::ExpectSampleFacts(facts);
  // Volume 2 starts 250 samples (5 s) before the buffer start of 11:02:19.715.
  facts.file = "geonet/20161113_110259_WTMC_20.V2A";
  facts.count = 8192;
  facts.rate = 50;
  facts.time = "11:02:15";
  facts.peaks = {973.31, 796.64, 1802.19};
  test::ExpectSampleFacts(facts);
}

TEST(GeoNet, AccelerationInCentimetresHorizontalsFirstStartLessThePrependedSamples) {
  TempDir dir;
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadGeoNet(dir.Write("a.v2a", GeoNetText({.prepended = 200})), rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.Labels(), (std::vector<std::string>{"N28W", "S62W", "Up"}));
  EXPECT_EQ(rec.DataCount, 3);
  EXPECT_EQ(rec.SampFreq, 100);
  EXPECT_FLOAT_EQ(rec.Peak(1), -2.0f);
  EXPECT_FLOAT_EQ(rec.Peak(3), 0.3f);  // not the velocity or displacement that follow
  EXPECT_EQ(rec.RecDate + " " + rec.RecTime, "2016/11/13 23:59:58");  // 59.8 s less 2 s
  ASSERT_TRUE(ReportRead(ReadGeoNet(dir.Write("b.v2a", GeoNetText()), rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.RecDate + " " + rec.RecTime, "2016/11/14 00:00:00");
}

TEST(GeoNet, BrokenFilesEndInOneMessageNamingTheFile) {
  std::string two = ComponentText({}) + ComponentText({});
  test::ExpectRefused(
      ReadGeoNet, "m.V1A",
      {{"count larger than the data", GeoNetText({.count = "40"}), " (Err#13: Type mismatch)"},
       {"count beyond the file", GeoNetText({.count = "99999999"}), " (Err#62: Input past end of file)"},
       {"no samples", GeoNetText({.count = "0"}), " has no effective data."},
       {"interval of 0", GeoNetText({.interval = "0.0"}), " (Err#11: Division by zero)"},
       {"text in the data", GeoNetText({.acc = {"1.0", "abc"}}), " (Err#13: Type mismatch)"},
       {"a component missing", two, " (Err#62: Input past end of file)"},
       {"rates that differ", ComponentText({.interval = "0.005"}) + two,
        " has components sampled at different rates."}});
  test::ExpectDamagedCopiesEndWell(ReadGeoNet, "d.V2A",
                                   GeoNetText({.acc = std::vector<std::string>(95, "-1234.5")}), 23);
}

TEST(GeoNet, KnownByItsFirstTwoLinesOrItsExtension) {
  test::ExpectDetected(
      {{"a.txt", GeoNetText(), FormatGeoNet},
       {"b.v1a", "anything\n", FormatGeoNet},
       {"c.V2", "Corrected accelerogram   89146\nUncorrected Accelerogram Data\n", FormatRaw}});
}

}  // namespace
}  // namespace sism
