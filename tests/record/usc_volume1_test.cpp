#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "load/user_side.h"
#include "record/readers.h"
#include "record/usc_volume1.h"
#include "tests/support/reader_checks.h"
#include "tests/support/samples.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

constexpr double kG10 = 98.0665;

struct Film {
  std::string comp = "N90E";
  int points = 500;
  int headerPoints = -1;   // the integer header's count when it is to differ
  std::string units = "G/10";
  double duration = 2.0;
  int pairs = -1;  // pairs written, `points` unless set
};

// A volume 1 file: pairs at uneven times (0.004 s apart, every other one 1 ms late) whose
// value in g/10 equals the time.
std::string FilmText(const Film& f) {
  char buf[128];
  std::string t = "FILE     0 OF UNCORRECTED ACCELEROGRAM DATA OF VOLUME I:\nNORTHRIDGE EARTHQUAKE\n"
                  "JAN 17, 1994 -1230 GMT\nIBB123  94.570.0 N\n"
                  "STATION USC# 0057   34 25 09N, 118 25 34W\nLOST CANYON RD., CANYON COUNTRY, CA\n"
                  "COMP " + f.comp + "\nNORTHRIDGE EARTHQUAKE   JAN 17, 1994 -1230 GMT\n"
                  "EPICENTER -   34 12 48N, 118 32 13W\n"
                  "INSTR PERIOD =  .039 SEC  DAMPING =   .577  SENSITIVITY =   1.86CM/G\n";
  std::snprintf(buf, sizeof buf, "NO. OF POINTS = %6d      DURATION = %7.3f SEC\n", f.points, f.duration);
  t += buf;
  t += "UNITS ARE SEC AND " + f.units + "\nRMS ACCLN. OF COMPLETE RECORD =     .638 G/10\n";
  for (int i = 1; i <= 100; ++i) {
    int v = i == 28 ? (f.headerPoints >= 0 ? f.headerPoints : f.points) : i == 24 ? 1994 : 0;
    std::snprintf(buf, sizeof buf, "%5d", v);
    t += buf + std::string(i % 16 && i < 100 ? "" : "\n");
  }
  for (int i = 1; i <= 50; ++i) {
    std::snprintf(buf, sizeof buf, "%10.3f", i == 3 ? f.duration : 0.0);
    t += buf + std::string(i % 8 && i < 50 ? "" : "\n");
  }
  const int pairs = f.pairs < 0 ? f.points : f.pairs;
  std::string line = " ";
  for (int k = 0; k < pairs; ++k) {
    double time = k * 0.004 + (k % 2 ? 0.001 : 0);
    std::snprintf(buf, sizeof buf, "%7.3f%7.3f", time, time);
    line += buf;
    if (k % 5 == 4 || k + 1 == pairs) {
      t += line + "\r\n";
      line = " ";
    }
  }
  return t;
}

ReadOutcome Read(const std::string& path, StrongRecord& rec) {
  test::ScriptedUi ui;
  ReadOutcome o = ReadUsc(path, rec, ui);
  for (const ReadMessage& m : o.messages) ADD_FAILURE() << m.text;
  return o;
}

TEST(UscVolume1Samples, SampleGivesItsHeaderValues) {
  SKIP_WITHOUT_SAMPLES();
  // 7340 pairs over 31.026 s: 237 Hz; the peak is that of the resampled trace.
  test::ExpectSampleFacts({.file = "usc/017m30cc.y0a",
                           .format = FormatUsc,
                           .chans = 1,
                           .count = 7353,
                           .rate = 237,
                           .date = "1994/01/17",
                           .time = "12:30:00",
                           .code = "0057",
                           .name = "16628 W. LOST CANYON RD., CANYON COUNTRY, CA",
                           .lat = "34.4192",
                           .lon = "-118.4261",
                           .labels = {"N00W"},
                           .peaks = {398.16}});
  StrongRecord rec;
  ASSERT_TRUE(Read((test::SamplesDir() / "usc/017m30cc.y0a").string(), rec));
  // The first pair is (0, -0.049 g/10); the other two components are not in the folder.
  EXPECT_NEAR(rec.Acc(1, 1), -0.049 * kG10, 1e-3);
  EXPECT_NE(rec.ReadNote.find("017m30cc.y0b, 017m30cc.y0c"), std::string::npos) << rec.ReadNote;
}

TEST(UscVolume1, UnevenPairsAreResampledInCmPerSecondSquared) {
  test::TempDir dir;
  StrongRecord rec;
  ASSERT_TRUE(Read(dir.Write("one.v1", FilmText({})), rec));
  EXPECT_EQ(rec.SampFreq, 250);
  EXPECT_EQ(rec.DataCount, 500);
  EXPECT_EQ(rec.ChanCount, 1);
  EXPECT_EQ(rec.Label(1), "N90E");
  EXPECT_EQ(rec.ReadNote, "");  // no set to look for
  // Value = time, so linear interpolation gives each step its own time.
  for (int i : {1, 2, 3, 77, 250, 499})
    EXPECT_NEAR(rec.Acc(i, 1), (i - 1) / 250.0 * kG10, 2e-3) << "step " << i;
}

TEST(UscVolume1, ComponentFilesOpenTogetherWhateverIsMissing) {
  test::TempDir dir;
  dir.Write("st.s0a", FilmText({.comp = "N90E"}));
  dir.Write("st.s0b", FilmText({.comp = "N00W", .points = 400, .duration = 1.6}));
  dir.Write("st.s0c", FilmText({.comp = "UP"}));
  StrongRecord rec;
  ASSERT_TRUE(Read(dir.File("st.s0b"), rec));
  ASSERT_EQ(rec.ChanCount, 3);
  EXPECT_EQ(rec.Label(1), "N90E");
  EXPECT_EQ(rec.Label(2), "N00W");
  EXPECT_EQ(rec.Label(3), "UP");
  EXPECT_EQ(rec.DataCount, 500);
  // The shorter component keeps its samples and ends in zeros, which the note says.
  EXPECT_NEAR(rec.Acc(400, 2), 399 / 250.0 * kG10, 2e-3);
  EXPECT_EQ(rec.Acc(401, 2), 0.0f);
  EXPECT_EQ(rec.ReadNote, "N00W ends at 1.600 s; zeros fill it to the end.");

  // A missing component: the other two open and the note names it.
  dir.Write("e.e0a", FilmText({.comp = "N90E"}));
  dir.Write("e.e0c", FilmText({.comp = "UP"}));
  StrongRecord two;
  ASSERT_TRUE(Read(dir.File("e.e0c"), two));
  ASSERT_EQ(two.ChanCount, 2);
  EXPECT_EQ(two.Label(1), "N90E");
  EXPECT_EQ(two.Label(2), "UP");
  EXPECT_EQ(two.ReadNote, "Component files not found: e.e0b.");

  // A broken or foreign sibling is left out with its reason; the opened file still reads.
  dir.Write("b.y0a", FilmText({}));
  dir.Write("b.y0b", FilmText({.pairs = 10}));
  dir.Write("b.y0c", "CORRECTED ACCELEROGRAM\n");
  StrongRecord one;
  ASSERT_TRUE(Read(dir.File("b.y0a"), one));
  EXPECT_EQ(one.ChanCount, 1);
  EXPECT_NE(one.ReadNote.find("left out: b.y0b ends at line"), std::string::npos) << one.ReadNote;
  EXPECT_NE(one.ReadNote.find("left out: b.y0c is not a volume 1 file"), std::string::npos) << one.ReadNote;
}

TEST(UscVolume1, BrokenFilesAreRefusedSayingWhere) {
  std::string good = FilmText({});
  std::string letter = good;
  letter.replace(letter.find("  0.005"), 7, "  0.0x5");
  std::string back = good;
  back.replace(back.find("  0.013"), 7, "  0.001");
  test::ExpectRefused(
      ReadUsc, "m.v1",
      {{"truncated block", FilmText({.pairs = 123}), " ends at line 52 after 123 of its 500 (time, value) pairs."},
       {"counts disagree", FilmText({.headerPoints = 499}),
        " says NO. OF POINTS = 500 but its integer header says 499."},
       {"more pairs than points", FilmText({.points = 10, .pairs = 20}),
        ", line 30: more data than the 10 points its header gives."},
       {"not g/10", FilmText({.units = "G"}), " gives its accelerations in \"G\", not in G/10."},
       {"times going back", back, ": the time of pair 4 (0.001 s) is before the one ahead of it."},
       {"letter in the data", letter, ", line 28 holds a field that is no number."},
       {"text header only", good.substr(0, good.find("RMS")), " ends within its text header (line 13)."}});
  test::ExpectDamagedCopiesEndWell(ReadUsc, "d.v1", good, 43);
}

TEST(UscVolume1, ToldFromTheCorrectedVolume) {
  EXPECT_TRUE(IsUscVolume1(FilmText({})));
  EXPECT_FALSE(IsUscVolume1("CORRECTED ACCELEROGRAM  IIBB127  94.610.0 COMP N08W\n"
                            "FILE     0 OF UNCORRECTED ACCELEROGRAM DATA OF VOLUME I:\n"));
  test::ExpectDetected({{"a.s0a", FilmText({}), FormatUsc}});
}

}  // namespace
}  // namespace sism
