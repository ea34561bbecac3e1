#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "load/user_side.h"
#include "record/readers.h"
#include "tests/support/samples.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

using test::ScriptedUi;
using test::TempDir;

std::string Fmt(const char* f, double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, f, v);
  return buf;
}

// One channel block of a CSMIP-style file in layout 'A' ("Unco"), 'B' ("Corr") or 'C'
// ("UNCO", time and acceleration pairs).
struct RawChannel {
  char layout = 'A';
  std::string kind;  // line 1; empty: the layout's usual one
  std::string dateLine = "CSMIP Preliminary Processing";
  std::string dateLine2 = "89146-L2500-12044.02       Start time:  2/13/12, 21:06:45.0 UTC (GPS)";
  std::string chanLine = "Chan  1: 360 Deg";
  int points = 10;
  double seconds = 0.1;        // record length (A, C) or interval (B)
  std::vector<double> values;  // default 0.001 * (1..points)
  std::vector<double> times;   // layout C; default evenly 1 / 100 s apart
  int claimedPoints = 0;
  std::string spacing;  // layout C from digital instruments: the line announcing equal spacing

  double Value(int i) const { return values.empty() ? 0.001 * (i + 1) : values[i]; }

  std::string Text() const {
    std::string k = !kind.empty()   ? kind
                    : layout == 'A' ? "Uncorrected Accelerogram Data"
                    : layout == 'B' ? "Corrected accelerogram"
                                    : "UNCORRECTED ACCELEROGRAM DATA";
    std::vector<std::string> h;
    int claimed = claimedPoints ? claimedPoints : points;
    h.push_back(k);
    if (layout == 'B') h.push_back("Uncorrected Accelerogram Data");
    h.push_back("Record of");
    h.push_back(dateLine);
    h.push_back(dateLine2);
    h.push_back("Station No. 89146   40.941N, 123.633W");
    h.push_back("  Willow Creek  ");
    h.push_back(chanLine);
    if (layout == 'B') {
      while (h.size() < 15) h.push_back("filler");
      h.push_back(Fmt("%6.0f", claimed) + " points of instrument- and baseline-corrected accel");
      h.push_back("At equally-spaced intervals of" + Fmt("%8.3f", seconds) + "  sec.");
      while (h.size() < 25) h.push_back("filler");
    } else {
      while (h.size() < 10) h.push_back("filler");
      h.push_back("No. of Points = " + Fmt("%6.0f", claimed) + "  Record Length =" + Fmt("%7.3f", seconds) +
                  " sec");
      h.push_back("Units");
      h.push_back("RMS");
    }
    std::string t;
    for (const auto& l : h) t += l + "\n";
    for (int i = 0; i < 7; ++i)
      t += "    1  100    1    3    3  200    1    3    1   24   12 2500    0    1    0\n";
    for (int i = 0; i < (layout == 'B' ? 13 : 7); ++i) t += "  .0108814  .6700000 66.000000  .0037019\n";
    if (layout != 'C') t += Fmt("%6.0f", points) + " points, Format: (8f9.6)\n";
    if (!spacing.empty()) t += spacing + "\n";
    for (int i = 0; i < points; ++i) {
      if (!spacing.empty()) {
        t += Fmt("%10.6f", Value(i));
        if ((i + 1) % 8 == 0 || i + 1 == points) t += "\n";
      } else if (layout == 'C') {
        t += Fmt("%7.3f", times.empty() ? i / 100.0 : times[i]) + Fmt("%7.3f", Value(i));
        if ((i + 1) % 5 == 0 || i + 1 == points) t += "\n";
      } else {
        t += Fmt(layout == 'A' ? "%9.6f" : "%10.6f", Value(i));
        if ((i + 1) % 8 == 0 || i + 1 == points) t += "\n";
      }
    }
    t += "/&  ----------  End of Data for Channel  1  ----------\n";
    return t;
  }
};

struct RawResult {
  bool ok = false;
  StrongRecord rec;
  ScriptedUi ui;
  std::string path;
};

void Read(const std::string& text, RawResult& r) {
  TempDir dir;
  r.path = dir.Write("test.raw", text);
  r.ok = ReportRead(ReadRaw(r.path, r.rec, r.ui), r.ui);
}

void ReadSample(const char* name, RawResult& r) {
  r.path = (test::SamplesDir() / "dmg" / name).string();
  r.ok = ReportRead(ReadRaw(r.path, r.rec, r.ui), r.ui);
}

TEST(ReadRaw, RealUncorrectedV1File) {
  SKIP_WITHOUT_SAMPLES();
  RawResult r;
  ReadSample("CE89146.V1", r);
  ASSERT_TRUE(r.ok) << r.ui.OnlyMessage();
  EXPECT_EQ(r.rec.ChanCount, 3);
  EXPECT_EQ(r.rec.DataCount, 13200);  // "No. of Points =  13200"
  EXPECT_EQ(r.rec.SampFreq, 200);     // 13200 in 66.000 s
  EXPECT_EQ(r.rec.RecDate, "2012/02/13");
  EXPECT_EQ(r.rec.RecTime, "21:06:45");
  EXPECT_EQ(r.rec.SiteCode, "89146");
  EXPECT_EQ(r.rec.SiteName.rfind("Willow Creek", 0), 0u);
  EXPECT_EQ(r.rec.Label(1), "360");
  // "Max  =   .079 g , at  30.590 sec." (in g, times standard gravity)
  EXPECT_NEAR(std::fabs(r.rec.Peak(1)), 0.0791795 * 980.665, 0.01);
  EXPECT_NEAR(r.rec.PeakStep(1), 30.59 * 200 + 1, 1);
  EXPECT_FLOAT_EQ(r.rec.Acc(1, 1), 0.00001f * 980.665f);
}

TEST(ReadRaw, RealCorrectedV2File) {
  SKIP_WITHOUT_SAMPLES();
  RawResult r;
  ReadSample("CE89146.V2", r);
  ASSERT_TRUE(r.ok) << r.ui.OnlyMessage();
  EXPECT_EQ(r.rec.ChanCount, 3);
  EXPECT_EQ(r.rec.DataCount, 12000);
  EXPECT_EQ(r.rec.SampFreq, 200);
  EXPECT_EQ(r.rec.RecDate, "2012/02/13");
  EXPECT_EQ(r.rec.RecTime, "21:06:45");
  EXPECT_EQ(r.rec.SiteCode, "89146");
  EXPECT_EQ(r.rec.Label(1), "360 D");
  // "Peak acceleration =    77.280    cm/sec/sec  at   30.585   sec."
  EXPECT_NEAR(std::fabs(r.rec.Peak(1)), 77.280, 0.001);
  EXPECT_EQ(r.rec.PeakStep(1), 6118);
  EXPECT_FLOAT_EQ(r.rec.Acc(1, 1), -0.00001f);
  for (int ch = 1; ch <= 3; ++ch) EXPECT_EQ(r.rec.Coef(ch), 1);
}

TEST(ReadRaw, RealDigitisedFileIsResampledFromItsTimePairs) {
  SKIP_WITHOUT_SAMPLES();
  RawResult r;
  ReadSample("NEWPORT.RAW", r);
  ASSERT_TRUE(r.ok) << r.ui.OnlyMessage();
  EXPECT_EQ(r.rec.ChanCount, 3);
  EXPECT_EQ(r.rec.DataCount, 12080);  // points
  EXPECT_EQ(r.rec.SampFreq, 201);     // round(12080 / 59.998)
  EXPECT_EQ(r.rec.SiteCode, "13160");
  EXPECT_EQ(r.rec.SiteName, "NEWPORT BEACH - IRVINE AVE. FIRE STATION");
  EXPECT_EQ(r.rec.Label(1), "90");
  EXPECT_EQ(r.rec.Label(2), "UP");
  // "JUNE 28, 1992 08:05 PDT": the film's trigger to the minute, in local time.
  EXPECT_EQ(r.rec.RecDate, "1992/06/28");
  EXPECT_EQ(r.rec.RecTime, "08:05:00");
  EXPECT_EQ(r.rec.Source.TimeZone, "-07:00");
  // "MAX  =  -.055 G, AT  15.992 SEC." (G/10 values times a tenth of standard gravity)
  EXPECT_NEAR(r.rec.Peak(1), -0.0549 * 980.665, 0.5);
  EXPECT_NEAR(r.rec.PeakStep(1), 15.992 * 201 + 1, 3);
  EXPECT_FLOAT_EQ(r.rec.Acc(1, 1), 0.016f * 98.0665f);  // time .000
}

TEST(ReadRaw, LayoutFactorsAndCounts) {
  struct Case {
    char layout;
    double seconds;
    float factor;
    int rate;
  };
  for (Case c : {Case{'A', 0.1, 980.665f, 100}, Case{'B', 0.01, 1, 100}, Case{'C', 0.09, 98.0665f, 111}}) {
    RawChannel ch;
    ch.layout = c.layout;
    ch.seconds = c.seconds;
    RawResult r;
    Read(ch.Text(), r);
    ASSERT_TRUE(r.ok) << c.layout << ": " << r.ui.OnlyMessage();
    EXPECT_EQ(r.rec.DataCount, 10) << c.layout;
    EXPECT_EQ(r.rec.SampFreq, c.rate) << c.layout;
    EXPECT_FLOAT_EQ(r.rec.Acc(1, 1), 0.001f * c.factor) << c.layout;
    EXPECT_EQ(r.rec.Label(1), c.layout == 'B' ? "360 D" : "360") << c.layout;
    EXPECT_EQ(r.rec.SiteName, "Willow Creek");
    EXPECT_EQ(r.rec.Coef(1), 1);
  }
}

TEST(ReadRaw, LayoutCTakesTheFirstFieldAsTimeAndResamples) {
  RawChannel ch;
  ch.layout = 'C';
  ch.points = 5;
  ch.seconds = 0.05;  // 100 Hz
  ch.times = {0.0, 0.005, 0.02, 0.04, 0.05};
  ch.values = {0.0, 1.0, 1.0, -1.0, 0.5};
  RawResult r;
  Read(ch.Text(), r);
  ASSERT_TRUE(r.ok) << r.ui.OnlyMessage();
  EXPECT_EQ(r.rec.SampFreq, 100);
  ASSERT_EQ(r.rec.DataCount, 5);
  // Grid 0, .01, .02, .03, .04 s, interpolated between the pairs around each time.
  const float expected[] = {0, 98.0665f, 98.0665f, 0, -98.0665f};
  for (int i = 0; i < 5; ++i) EXPECT_NEAR(r.rec.Acc(i + 1, 1), expected[i], 1e-3) << i;
  EXPECT_EQ(r.rec.PeakStep(1), 2);
}

TEST(ReadRaw, LayoutCHoldsTheLastValuePastTheLastTime) {
  RawChannel ch;
  ch.layout = 'C';
  ch.points = 4;
  ch.seconds = 0.02;  // 200 Hz, 4 steps to 0.015 s, but times end at 0.01
  ch.times = {0.0, 0.005, 0.008, 0.01};
  ch.values = {0.1, 0.2, 0.3, 0.4};
  RawResult r;
  Read(ch.Text(), r);
  ASSERT_TRUE(r.ok) << r.ui.OnlyMessage();
  EXPECT_EQ(r.rec.SampFreq, 200);
  EXPECT_NEAR(r.rec.Acc(2, 1), 0.2 * 98.0665, 1e-4);
  EXPECT_NEAR(r.rec.Acc(3, 1), 0.4 * 98.0665, 1e-4);
  EXPECT_NEAR(r.rec.Acc(4, 1), 0.4 * 98.0665, 1e-4);
}

TEST(ReadRaw, LayoutCFromDigitalInstrumentsHoldsEquallySpacedSamples) {
  const struct {
    const char* units;
    float factor;
  } cases[] = {{"G", 980.665f}, {"g/10", 98.0665f}, {"CM/SEC/SEC", 1}};
  for (const auto& c : cases) {
    RawChannel a, b;
    a.layout = b.layout = 'C';
    a.spacing = "    10 POINTS OF ACCEL DATA EQUALLY SPACED AT .005 SEC. (UNITS: " + std::string(c.units) + ")";
    b.points = 12;
    b.spacing = "    12 points of accel data equally spaced at .005 sec. (units: " + std::string(c.units) + ")";
    b.chanLine = "Chan  2: Up";
    RawResult r;
    Read(a.Text() + b.Text(), r);
    ASSERT_TRUE(r.ok) << c.units << ": " << r.ui.OnlyMessage();
    EXPECT_EQ(r.rec.SampFreq, 200) << c.units;  // from the interval, not the record length
    EXPECT_EQ(r.rec.DataCount, 10);
    EXPECT_FLOAT_EQ(r.rec.Acc(10, 1), 0.010f * c.factor) << c.units;
    EXPECT_FLOAT_EQ(r.rec.Acc(10, 2), 0.010f * c.factor) << c.units;
    EXPECT_EQ(r.rec.Label(2), "Up");
  }
}

TEST(ReadRaw, LayoutCWithAnUnknownUnitOrCutShortIsRefused) {
  RawChannel ch;
  ch.layout = 'C';
  ch.spacing = "    10 POINTS OF ACCEL DATA EQUALLY SPACED AT .005 SEC. (UNITS: FT/S/S)";
  RawResult r1;
  Read(ch.Text(), r1);
  EXPECT_EQ(r1.ui.OnlyMessage(), r1.path + " gives its samples in \"FT/S/S\", a unit the program does not read "
                                          "(G, G/10 or CM/SEC/SEC).");
  ch.spacing = "    11 POINTS OF ACCEL DATA EQUALLY SPACED AT .005 SEC. (UNITS: G)";
  RawResult r2;
  Read(ch.Text(), r2);
  EXPECT_FALSE(r2.ok);
  EXPECT_EQ(r2.ui.OnlyMessage().rfind("Failed to read " + r2.path + " (Err#62", 0), 0u) << r2.ui.OnlyMessage();
}

TEST(ReadRaw, ChannelsKeepTheirOwnLengthsAndLabels) {
  RawChannel a, b, c;
  b.points = 6;
  b.chanLine = "Chan  2: Up";
  c.points = 17;
  c.seconds = 0.17;
  c.chanLine = "Chan  3: 270 Deg";
  RawResult r;
  Read(a.Text() + b.Text() + c.Text(), r);
  ASSERT_TRUE(r.ok) << r.ui.OnlyMessage();
  EXPECT_EQ(r.rec.ChanCount, 3);
  EXPECT_EQ(r.rec.DataCount, 10);
  EXPECT_EQ(r.rec.Label(2), "Up");
  EXPECT_EQ(r.rec.Label(3), "270");
  EXPECT_FLOAT_EQ(r.rec.Acc(6, 2), 0.006f * 980.665f);
  EXPECT_EQ(r.rec.Acc(7, 2), 0);
  EXPECT_FLOAT_EQ(r.rec.Acc(10, 3), 0.010f * 980.665f);
}

TEST(ReadRaw, DateForms) {
  struct Case {
    const char* line;
    const char* next;
    const char* date;
    const char* time;
  };
  const Case cases[] = {
      {"06/28/1992 15:05:30  Landers", "x", "1992/06/28", "15:05:30"},
      {"06-28-1992 15:05:30", "x", "1992/06/28", "15:05:30"},
      {"CSMIP", "Start time:  2/13/12, 21:06:45.0 UTC", "2012/02/13", "21:06:45"},
      {"CSMIP", "Start time:  2/13/29, 21:06:59.6 UTC", "2029/02/13", "21:07:00"},
      {"CSMIP", "Start time:  2/13/30, 1:02:03 UTC", "1930/02/13", "01:02:03"},
      {"CSMIP", "Start time:  2/13/1994 01:02:03", "1994/02/13", "01:02:03"},
      {"CSMIP", "Start time:  2/13/94", "1994/02/13", ""},
      {"CSMIP", "13160-S1690-92184.03", "", ""},
      // The film records' own line, when the other forms find nothing.
      {"JUNE 28, 1992 08:05 PDT", "13160-S1690-92184.03", "1992/06/28", "08:05:00"},
      {"Jan 17, 1994 04:31:12 UTC", "x", "1994/01/17", "04:31:12"},
      {"JUNE 28, 1992 08:05 PDT", "Start time:  2/13/12, 21:06:45.0 UTC", "2012/02/13", "21:06:45"},
      {"JUNE 28, 92 08:05 PDT", "x", "", ""},
      {"JUNE 32, 1992 08:05", "x", "", ""},
      {"JUNE 28, 1992 25:05", "x", "", ""},
      {"BIG BEAR EARTHQUAKE", "x", "", ""},
      {"CSMIP", "at 99999999999/13/2e99, 9e99:1:1e99", "0000/00/13", "00:01:00"},  // garbled, no overflow
  };
  for (const Case& c : cases) {
    RawChannel ch;
    ch.dateLine = c.line;
    ch.dateLine2 = c.next;
    RawResult r;
    Read(ch.Text(), r);
    ASSERT_TRUE(r.ok) << c.line << ": " << r.ui.OnlyMessage();
    EXPECT_EQ(r.rec.RecDate, c.date) << c.line << " / " << c.next;
    EXPECT_EQ(r.rec.RecTime, c.time) << c.line << " / " << c.next;
  }
}

TEST(ReadRaw, RefusesOtherFirstLines) {
  for (const char* kind : {"uncorrected", "Velocity", "UNC", ""}) {
    RawChannel ch;
    ch.kind = kind;
    if (!*kind) ch.kind = " ";
    RawResult r;
    Read(ch.Text(), r);
    EXPECT_FALSE(r.ok) << kind;
    ASSERT_EQ(r.ui.messages.size(), 1u);
    EXPECT_EQ(r.ui.messages[0].text, r.path + " is invalid RAW file.");
    EXPECT_EQ(r.ui.messages[0].title, "Sismora: ReadRaw");
    EXPECT_EQ(r.ui.messages[0].icon, MsgIcon::Critical);
  }
}

TEST(ReadRaw, LyingHeadersEndInTheReadErrorBox) {
  struct Case {
    const char* what;
    char layout;
    int claimed;
    double seconds;
  };
  const Case cases[] = {
      {"A: more points than data", 'A', 30, 0.3}, {"B: more points than data", 'B', 30, 0.01},
      {"C: more pairs than data", 'C', 30, 0.3},  {"A: beyond the file", 'A', 999999, 9999.99},
      {"B: zero interval", 'B', 10, 0},           {"A: zero length", 'A', 10, 0},
  };
  for (const Case& c : cases) {
    RawChannel ch;
    ch.layout = c.layout;
    ch.claimedPoints = c.claimed;
    ch.seconds = c.seconds;
    RawResult r;
    Read(ch.Text(), r);
    EXPECT_FALSE(r.ok) << c.what;
    ASSERT_EQ(r.ui.messages.size(), 1u) << c.what;
    EXPECT_EQ(r.ui.messages[0].text.rfind("Failed to read " + r.path + " (Err#", 0), 0u)
        << r.ui.messages[0].text;
  }
  for (char layout : {'A', 'B', 'C'}) {
    RawChannel ch;
    ch.layout = layout;
    std::string whole = ch.Text();
    for (std::size_t cut = 30; cut + 60 < whole.size(); cut += 53) {
      RawResult r;
      Read(whole.substr(0, cut), r);
      EXPECT_FALSE(r.ok) << layout << cut;
    }
  }
}

}  // namespace
}  // namespace sism
