#include <gtest/gtest.h>

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

// One channel block of a COSMOS file, in the layout real v01.20 files use, or the classic
// one (reals 6 of 13 columns on 17 lines).
struct CosmosChannel {
  std::string kind = "Corrected acceleration    (Format v01.20 with 13 text lines)";
  std::string chanLine = "Sta Chan   1: 360 deg (Rcrdr Chan  1) Location:";
  double intervalMs = 10;
  double lengthSec = 0.1;
  double seconds = 5.4;
  bool classic = false;
  int points = 10;
  std::string units = "units=cm/sec2(04)";
  std::string format = "Format=(5F10.4)";
  std::vector<double> samples;  // default 1..points
  bool endLine = true;
  int intLines = 10;

  std::string Text() const {
    std::string t = kind + "\n";
    t += "Record of Test Earthquake\nHypocenter: 0 0 H= 10km\nOrigin: 2020/01/02 03:04:00 UTC\n";
    t += "Statn No: 37-000011 Code:AK-BMR     UAF  Bremner River, AK, USA\n";
    t += "Coords: 60.9677 -144.6051\nRecorder:\nRcrd start time: 2020/01/02 03:04:05 UTC\n";
    t += chanLine + "\nRaw record length\nProcessed:\nFiltered\nValues used when unknown: -999, -999.00\n";
    std::vector<int> ints(100, -999);
    ints[39] = 2020, ints[41] = 1, ints[42] = 2, ints[43] = 3, ints[44] = 4;
    t += " 100 Integer-header values follow on  10 lines, Format= (10I8)\n";
    for (int l = 0; l < intLines; ++l) {
      for (int j = 0; j < 10; ++j) t += Fmt("%8.0f", ints[l * 10 + j]);
      t += "\n";
    }
    std::vector<double> reals(100, -999);
    reals[29] = seconds, reals[61] = intervalMs, reals[62] = lengthSec;
    int perLine = classic ? 6 : 5;
    const char* f = classic ? "%13.6f" : "%15.6f";
    t += classic ? " 100 Real-header values follow on  17 lines, Format= (6F13.6)\n"
                 : " 100 Real-header values follow on  20 lines, Format= (5F15.6)\n";
    for (int i = 0; i < 100; ++i) {
      t += Fmt(f, reals[i]);
      if ((i + 1) % perLine == 0 || i == 99) t += "\n";
    }
    t += "   2 Comment line(s) follow, each starting with a \"|\":\n| one\n| two\n";
    t += Fmt("%8.0f", points) + " acceleration pts, approx 0 secs, " + units + "," + format + "\n";
    for (int i = 0; i < points; ++i) {
      t += Fmt("%10.4f", samples.empty() ? i + 1 : samples[i]);
      if ((i + 1) % 5 == 0 || i + 1 == points) t += "\n";
    }
    if (endLine) t += "End-of-data for Chan 1 acceleration\n";
    return t;
  }
};

struct CosmosResult {
  bool ok;
  StrongRecord rec;
  ScriptedUi ui;
};

void Read(const std::string& text, CosmosResult& r, const std::string& name = "test.V2c") {
  TempDir dir;
  std::string path = dir.Write(name, text);
  r.ok = ReportRead(ReadCosmos(path, r.rec, r.ui), r.ui);
}

TEST(ReadCosmos, RealV2FileHasTheValuesItsHeaderStates) {
  SKIP_WITHOUT_SAMPLES();
  std::string path =
      (test::SamplesDir() / "cosmos/us1000hyfh_akbmrp_AKBMR--n.1000hyfh.BNZ.--.acc.V2c").string();
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadCosmos(path, rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.ChanCount, 1);
  EXPECT_EQ(rec.SampFreq, 200);     // 0.005 s
  EXPECT_EQ(rec.DataCount, 42000);  // "42000 acceleration pts", 210 s
  EXPECT_EQ(rec.RecDate, "2018/11/30");
  EXPECT_EQ(rec.RecTime, "17:29:39");  // start 17:29:39.137
  EXPECT_EQ(rec.SiteCode, "BMR");
  EXPECT_EQ(rec.SiteName, "Bremner River, AK, USA");
  EXPECT_EQ(rec.Label(1), "CH01");  // line 9 has no channel number
  EXPECT_FLOAT_EQ(rec.Acc(1, 1), 3.437285e-04f);
  // "Max =   -6.852 cm/sec2 at   76.215 sec"
  EXPECT_NEAR(rec.Peak(1), -6.851512f, 1e-5);
  EXPECT_NEAR(rec.PeakStep(1), 76.215 * 200 + 1, 1);
  EXPECT_EQ(rec.Offset(1), 0);
  EXPECT_EQ(rec.Coef(1), 1);
}

TEST(ReadCosmos, UnitsCodeGivesTheFactor) {
  struct Case {
    const char* units;
    float factor;
  };
  for (Case c : {Case{"units=g(02)", 980.665f}, Case{"units=cm/sec2(04)", 1}, Case{"units=mg(11)", 0.980665f},
                 Case{"units=unknown", 1}}) {
    CosmosChannel ch;
    ch.units = c.units;
    CosmosResult r;
    Read(ch.Text(), r);
    ASSERT_TRUE(r.ok) << c.units << ": " << r.ui.OnlyMessage();
    EXPECT_FLOAT_EQ(r.rec.Acc(3, 1), 3 * c.factor) << c.units;
    EXPECT_FLOAT_EQ(r.rec.Peak(1), 10 * c.factor) << c.units;
  }
}

TEST(ReadCosmos, IntervalAndLengthGiveRateAndCount) {
  CosmosChannel ch;
  ch.intervalMs = 5;
  ch.lengthSec = 0.05;
  CosmosResult r;
  Read(ch.Text(), r);
  ASSERT_TRUE(r.ok) << r.ui.OnlyMessage();
  EXPECT_EQ(r.rec.SampFreq, 200);
  EXPECT_EQ(r.rec.DataCount, 10);
  EXPECT_EQ(r.rec.RecDate, "2020/01/02");
  EXPECT_EQ(r.rec.RecTime, "03:04:05");  // 5.4 s
  EXPECT_EQ(r.rec.Label(1), "CH01");
}

TEST(ReadCosmos, SecondsThatRoundToSixtyCarryIntoTheMinute) {
  CosmosChannel ch;
  ch.seconds = 59.7;
  CosmosResult r;
  Read(ch.Text(), r);
  ASSERT_TRUE(r.ok) << r.ui.OnlyMessage();
  EXPECT_EQ(r.rec.RecTime, "03:05:00");
}

TEST(ReadCosmos, ClassicHeaderLayoutReadsTheSameAsTheDeclaredOne) {
  CosmosChannel modern, classic;
  classic.classic = true;
  CosmosResult a, b;
  Read(modern.Text(), a);
  Read(classic.Text(), b);
  ASSERT_TRUE(a.ok && b.ok) << a.ui.OnlyMessage() << b.ui.OnlyMessage();
  EXPECT_EQ(a.rec.SampFreq, b.rec.SampFreq);
  EXPECT_EQ(a.rec.DataCount, b.rec.DataCount);
  EXPECT_EQ(a.rec.RecTime, b.rec.RecTime);
  EXPECT_EQ(b.rec.Acc(10, 1), 10);
}

TEST(ReadCosmos, WithoutEndLineTheFileIsOneChannel) {
  CosmosChannel ch;
  ch.endLine = false;
  CosmosResult r;
  Read(ch.Text(), r);
  ASSERT_TRUE(r.ok) << r.ui.OnlyMessage();
  EXPECT_EQ(r.rec.ChanCount, 1);
  EXPECT_EQ(r.rec.Acc(10, 1), 10);
}

TEST(ReadCosmos, ChannelsOfDifferentLengthsArePaddedOrCutToTheFirst) {
  CosmosChannel a, b, c;
  b.points = 7;  // shorter: padded with zeros
  b.chanLine = "Sta Chan  5: Up";
  c.points = 12;  // longer: cut
  c.chanLine = "Sta Chan   ?:Other";
  c.units = "units=g(02)";
  CosmosResult r;
  Read(a.Text() + b.Text() + c.Text(), r);
  ASSERT_TRUE(r.ok) << r.ui.OnlyMessage();
  EXPECT_EQ(r.rec.ChanCount, 3);
  EXPECT_EQ(r.rec.DataCount, 10);
  EXPECT_EQ(r.rec.Acc(7, 2), 7);
  EXPECT_EQ(r.rec.Acc(8, 2), 0);
  EXPECT_FLOAT_EQ(r.rec.Acc(10, 3), 9806.65f);
  EXPECT_EQ(r.rec.Label(1), "CH01");  // "  1" leaves columns 10-11 blank: the index
  EXPECT_EQ(r.rec.Label(2), "CH05");
  EXPECT_EQ(r.rec.Label(3), "CH03");
}

TEST(ReadCosmos, VelocityAndDisplacementBlocksAreNotChannels) {
  CosmosChannel acc1, vel, disp, acc2;
  vel.kind = "Velocity                  (Format v01.20 with 13 text lines)";
  vel.units = "units=cm/sec(05)";
  vel.samples.assign(10, 77.0);
  disp.kind = "Displacement              (Format v01.20 with 13 text lines)";
  disp.samples.assign(10, 88.0);
  acc2.chanLine = "Sta Chan  2: Up";
  acc2.samples.assign(10, -3.0);
  CosmosResult r;
  Read(acc1.Text() + vel.Text() + "\n" + disp.Text() + acc2.Text(), r);
  ASSERT_TRUE(r.ok) << r.ui.OnlyMessage();
  EXPECT_EQ(r.rec.ChanCount, 2);
  EXPECT_EQ(r.rec.Label(2), "CH02");
  EXPECT_EQ(r.rec.Peak(1), 10);
  EXPECT_EQ(r.rec.Peak(2), -3);
}

TEST(ReadCosmos, RefusesOtherKindsAndVersions) {
  struct Case {
    const char* line1;
    const char* message;
  };
  for (Case c : {Case{"Raw acceleration counts   (Format v01.20 with 13 text lines)",
                      " is not a corrected or uncorrected acceleration file."},
                 Case{"Uncorrected acceleration  (Format v01.10 with 13 text lines)",
                      " is not Ver.01.20 COSMOS format."}}) {
    CosmosChannel ch;
    ch.kind = c.line1;
    TempDir dir;
    std::string path = dir.Write("bad.v1c", ch.Text());
    StrongRecord rec;
    ScriptedUi ui;
    EXPECT_FALSE(ReportRead(ReadCosmos(path, rec, ui), ui));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, path + c.message);
    EXPECT_EQ(ui.messages[0].title, "Sismora: ReadCosmos");
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Critical);
  }
}

TEST(ReadCosmos, MalformedFilesEndInTheReadErrorBox) {
  struct Case {
    const char* what;
    std::string text;
    int err;
  };
  auto with = [](auto change) {
    CosmosChannel c;
    change(c);
    return c.Text();
  };
  std::string lying = CosmosChannel{}.Text();
  lying.replace(lying.find("      10 acceleration"), 8, "      50");
  std::string noData = CosmosChannel{}.Text();
  noData.replace(noData.find("      10 acceleration"), 8, "999999999");
  const Case cases[] = {
      {"format without (", with([](CosmosChannel& c) { c.format = "Format=8F10.4"; }), 13},
      {"format without F or E", with([](CosmosChannel& c) { c.format = "Format=(5I10)"; }), 13},
      {"no format", with([](CosmosChannel& c) { c.format = "Fmt 5F10.4"; }), 13},
      {"point count beyond the data", lying, 62},
      {"point count beyond the file", noData, 62},
      {"length no file of this size holds", with([](CosmosChannel& c) { c.lengthSec = 1e6; }), 62},
      {"length beyond any count", with([](CosmosChannel& c) { c.lengthSec = 1e9; }), 6},
      {"integer header shorter than declared", with([](CosmosChannel& c) { c.intLines = 3; }), 0},
      {"zero interval", with([](CosmosChannel& c) { c.intervalMs = 0; }), 11},
  };
  for (const Case& c : cases) {
    CosmosResult r;
    Read(c.text, r);
    EXPECT_FALSE(r.ok) << c.what;
    ASSERT_EQ(r.ui.messages.size(), 1u) << c.what;
    const std::string& m = r.ui.messages[0].text;
    EXPECT_EQ(m.rfind("Failed to read ", 0), 0u) << c.what << ": " << m;
    if (c.err) {
      EXPECT_NE(m.find("(Err#" + std::to_string(c.err) + ":"), std::string::npos) << c.what << ": " << m;
    }
    EXPECT_EQ(r.ui.messages[0].title, "Sismora: ReadCosmos");
  }
}

TEST(ReadCosmos, TruncatedAnywhereIsAnErrorNeverACrash) {
  std::string whole = CosmosChannel{}.Text();
  for (std::size_t cut = 0; cut + 60 < whole.size(); cut += 37) {
    CosmosResult r;
    Read(whole.substr(0, cut), r);
    EXPECT_FALSE(r.ok) << cut;
    EXPECT_EQ(r.ui.messages.size(), 1u) << cut;
  }
}

}  // namespace
}  // namespace sism
