#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "load/user_side.h"
#include "record/readers.h"
#include "tests/support/reader_checks.h"
#include "tests/support/samples.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

// 25 text lines, 20 header lines, then acceleration and velocity runs of 8F10.3 of
// `n` values 0.5 * step, value 4 replaced by `bad` when given.
std::string UscText(const std::string& count, const std::string& interval, const std::string& units, int n,
                    const std::string& bad = "") {
  const char* text[] = {"CORRECTED ACCELEROGRAM",
                        "",
                        "",
                        "JAN 17, 1994 -1230 GMT",
                        "",
                        "STATION USC# 0061   34 17 11N, 118 13 31W",
                        "BIG TUJUNGA",
                        "COMP N08W"};
  std::string t, run;
  for (int i = 0; i < 45; ++i) t += std::string(i < 8 ? text[i] : "      .000") + "\n";
  char buf[16];
  for (int i = 1; i <= n; ++i) {
    std::snprintf(buf, sizeof buf, "%10.3f", 0.5 * i);
    run += (i == 4 && !bad.empty() ? bad : buf) + std::string(i % 8 && i < n ? "" : "\n");
  }
  return t + "  " + count + " POINTS OF ACC DATA EQUALLY SPACED AT   " + interval + " SEC.  IN UNITS " +
         units + "\n" + run + "  " + count + " POINTS OF VEL DATA EQUALLY SPACED\n" + run;
}

TEST(UscSamples, SampleGivesItsHeaderValues) {
  SKIP_WITHOUT_SAMPLES();
  // "1887 POINTS OF ACC DATA EQUALLY SPACED AT .020 SEC. IN UNITS CM/SEC/SEC";
  // "PEAK ACCELERATION = -242.39450" (the samples have it positive). The time is the event's.
  test::ExpectSampleFacts({.file = "usc/017m30bt.s0a",
                           .format = FormatUsc,
                           .chans = 1,
                           .count = 1887,
                           .rate = 50,
                           .date = "1994/01/17",
                           .time = "12:30:00",
                           .code = "0061",
                           .name = "BIG TUJUNGA STATION, ANGELES NATIONAL FOREST, CA",
                           .lat = "34.2864",
                           .lon = "-118.2253",
                           .labels = {"N08W"},
                           .peaks = {242.3945}});
}

TEST(Usc, AccelerationRunInTheUnitsItsLineNames) {
  const struct {
    const char* units;
    float factor;
  } cases[] = {{"CM/SEC/SEC", 1}, {"G/10", 98.0665f}, {"G", 980.665f}};
  test::TempDir dir;
  for (const auto& c : cases) {
    StrongRecord rec;
    test::ScriptedUi ui;
    ASSERT_TRUE(ReportRead(ReadUsc(dir.Write("a.s0a", UscText("20", ".010", c.units, 20)), rec, ui), ui)) << ui.OnlyMessage();
    EXPECT_EQ(rec.DataCount, 20);
    EXPECT_EQ(rec.SampFreq, 100);
    EXPECT_FLOAT_EQ(rec.Peak(1), 10 * c.factor) << c.units;
  }
}

TEST(Usc, BrokenFilesEndInOneMessageNamingTheFile) {
  test::ExpectRefused(
      ReadUsc, "m.s0a",
      {{"more points than the run", UscText("21", ".010", "CM/SEC/SEC", 20), " (Err#13: Type mismatch)"},
       {"points beyond the file", UscText("2000000000", ".010", "CM/SEC/SEC", 20),
        " (Err#62: Input past end of file)"},
       {"interval of 0", UscText("20", ".000", "CM/SEC/SEC", 20), " (Err#11: Division by zero)"},
       {"text in the data", UscText("20", ".010", "CM/SEC/SEC", 20, "      n.a."),
        " (Err#13: Type mismatch)"},
       {"velocity", UscText("20", ".010", "CM/SEC", 20),
        " gives its samples in \"CM/SEC\", not as an acceleration."}});
  std::string good = UscText("40", ".010", "CM/SEC/SEC", 40);
  // Cut anywhere before the velocity run, the acceleration run is short.
  test::ExpectDamagedCopiesEndWell(ReadUsc, "d.s0a", good.substr(0, good.find("POINTS OF VEL")), 25);
}

TEST(Usc, KnownByItsStationLineUnderAnyName) {
  test::ExpectDetected({{"a.V2", UscText("20", ".010", "G", 20), FormatUsc},
                        {"b.V2", "CORRECTED ACCELEROGRAM\nx\n", FormatRaw}});
}

}  // namespace
}  // namespace sism
