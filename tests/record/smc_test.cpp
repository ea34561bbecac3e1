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

// One channel block of an SMC file: 11 text lines, 6 integer lines, 10 real lines,
// comment lines, samples, end line.
struct SmcChannel {
  std::string kind = "2 CORRECTED ACCELEROGRAM";
  std::string dateLine = "     1994  01  17    1230 Northridge, CA";
  std::string stationLine = "station = Sylmar County Hospital         component=    360";
  int points = 10;
  int comments = 2;
  int seconds = 31;
  double rate = 50;
  bool endLine = true;
  // What the integer header claims, when it should lie about the lines that follow.
  long long claimedPoints = 0, claimedComments = 0;
  std::vector<double> data;  // the data values, when not the default ones

  std::string Text() const {
    std::string t = kind + "\n*\nSYL1 extra\n" + dateLine + "\nMoment Mag= 6.7\n" + stationLine + "\n";
    t += "epicentral dist\ninst type\n*\n*\n*\n";
    std::vector<long long> ints(48, -32768);
    ints[5] = seconds;
    ints[15] = claimedComments ? claimedComments : comments;
    ints[16] = claimedPoints ? claimedPoints : points;
    char buf[64];
    for (int i = 0; i < 48; ++i) {
      std::snprintf(buf, sizeof buf, "%10lld", ints[i]);
      t += buf;
      if ((i + 1) % 8 == 0) t += "\n";
    }
    for (int i = 0; i < 50; ++i) {
      std::snprintf(buf, sizeof buf, "%15.7E", i == 1 ? rate : 0.17e39);
      t += buf;
      if ((i + 1) % 5 == 0) t += "\n";
    }
    for (int i = 0; i < comments; ++i) t += "| comment\n";
    for (int i = 0; i < points; ++i) {
      std::snprintf(buf, sizeof buf, "%10.3E", data.empty() ? (i + 1) * (i % 2 ? -1.0 : 1.0) : data[i]);
      t += buf;
      if ((i + 1) % 8 == 0 || i + 1 == points) t += "\n";
    }
    if (endLine) t += "/&\n";
    return t;
  }
};

struct SmcResult {
  bool ok = false;
  StrongRecord rec;
  ScriptedUi ui;
  std::string path;
};

void Read(const std::string& text, SmcResult& r) {
  TempDir dir;
  r.path = dir.Write("test.smc", text);
  r.ok = ReportRead(ReadSmc(r.path, r.rec, r.ui), r.ui);
}

TEST(ReadSmc, RealFileHasTheValuesItsHeaderStates) {
  SKIP_WITHOUT_SAMPLES();
  std::string path = (test::SamplesDir() / "smc/0111a.smc").string();
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadSmc(path, rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.ChanCount, 1);
  EXPECT_EQ(rec.DataCount, 6001);
  EXPECT_EQ(rec.SampFreq, 200);
  EXPECT_EQ(rec.RecDate, "1989/10/18");
  EXPECT_EQ(rec.RecTime, "00:04:00");
  EXPECT_EQ(rec.SiteCode, "SAF0");
  EXPECT_EQ(rec.SiteName, "San Francisco, 1295 Shafter, F");
  EXPECT_EQ(rec.Label(1), "360");  // "component=    360"
  // "pk = 104.4", at 10.17 s by the real header
  EXPECT_NEAR(rec.Peak(1), 104.41f, 1e-3);
  EXPECT_EQ(rec.PeakStep(1), 2035);
  EXPECT_FLOAT_EQ(rec.Acc(1, 1), 1.5057f);
}

TEST(ReadSmc, ThreeChannelsLabelOnlyTheFirstAndKeepTheirOwnLengths) {
  SmcChannel a, b, c;
  b.points = 6;
  c.points = 13;
  c.comments = 0;
  SmcResult r;
  Read(a.Text() + b.Text() + c.Text(), r);
  ASSERT_TRUE(r.ok) << r.ui.OnlyMessage();
  EXPECT_EQ(r.rec.ChanCount, 3);
  EXPECT_EQ(r.rec.DataCount, 10);
  EXPECT_EQ(r.rec.SampFreq, 50);
  EXPECT_EQ(r.rec.RecDate, "1994/01/17");
  EXPECT_EQ(r.rec.RecTime, "12:30:31");
  EXPECT_EQ(r.rec.SiteCode, "SYL1");
  EXPECT_EQ(r.rec.SiteName, "Sylmar County Hospital");
  EXPECT_EQ(r.rec.Label(1), "360");
  EXPECT_EQ(r.rec.Label(2), "");
  EXPECT_EQ(r.rec.Label(3), "");
  EXPECT_EQ(r.rec.Acc(10, 1), -10);
  EXPECT_EQ(r.rec.Acc(6, 2), -6);
  EXPECT_EQ(r.rec.Acc(7, 2), 0);  // padded
  EXPECT_EQ(r.rec.Acc(10, 3), -10);
  EXPECT_EQ(r.rec.Peak(3), -10);
}

TEST(ReadSmc, HeaderVariants) {
  SmcChannel noEnd;
  noEnd.endLine = false;
  SmcResult r1;
  Read(noEnd.Text(), r1);
  ASSERT_TRUE(r1.ok) << r1.ui.OnlyMessage();
  EXPECT_EQ(r1.rec.ChanCount, 1);
  EXPECT_EQ(r1.rec.Acc(10, 1), -10);

  // Unknown date and seconds; the label at its fixed columns when "component=" is absent.
  SmcChannel unknown;
  unknown.kind = "0 UNCORRECTED ACCELEROGRAM";
  unknown.dateLine = "";
  unknown.seconds = -32768;
  unknown.stationLine = "station = Somewhere                                 N90E";
  SmcResult r2;
  Read(unknown.Text(), r2);
  ASSERT_TRUE(r2.ok) << r2.ui.OnlyMessage();
  EXPECT_EQ(r2.rec.RecDate, "");
  EXPECT_EQ(r2.rec.Label(1), "N90E");

  SmcChannel noSeconds;
  noSeconds.seconds = -32768;
  SmcResult r3;
  Read(noSeconds.Text(), r3);
  ASSERT_TRUE(r3.ok) << r3.ui.OnlyMessage();
  EXPECT_EQ(r3.rec.RecTime, "12:30:00");
}

TEST(ReadSmc, RefusesOtherKinds) {
  for (const char* kind : {"3 VELOCITY", "SMC", ""}) {
    SmcChannel c;
    c.kind = kind;
    SmcResult r;
    Read(c.Text(), r);
    EXPECT_FALSE(r.ok);
    ASSERT_EQ(r.ui.messages.size(), 1u);
    EXPECT_EQ(r.ui.messages[0].text, r.path + " is invalid SMC file.");
    EXPECT_EQ(r.ui.messages[0].title, "Sismora: ReadSmc");
  }
}

TEST(ReadSmc, LyingHeadersEndInTheReadErrorBox) {
  struct Case {
    const char* what;
    long long points, comments;
    double rate;
  };
  const Case cases[] = {
      {"more points than data", 40, 0, 50}, {"point count beyond the file", 1999999999, 0, 50},
      {"negative point count", -10, 0, 50}, {"comment count beyond the file", 0, 999999999, 50},
      {"rate below 1 Hz", 0, 0, 0.4},
  };
  for (const Case& c : cases) {
    SmcChannel ch;
    ch.claimedPoints = c.points;
    ch.claimedComments = c.comments;
    ch.rate = c.rate;
    SmcResult r;
    Read(ch.Text(), r);
    EXPECT_FALSE(r.ok) << c.what;
    ASSERT_EQ(r.ui.messages.size(), 1u) << c.what;
    EXPECT_EQ(r.ui.messages[0].text.rfind("Failed to read " + r.path + " (Err#", 0), 0u)
        << r.ui.messages[0].text;
    EXPECT_EQ(r.ui.messages[0].title, "Sismora: ReadSmc");
  }
  std::string whole = SmcChannel{}.Text();
  for (std::size_t cut = 30; cut + 40 < whole.size(); cut += 41) {
    SmcResult r;
    Read(whole.substr(0, cut), r);
    EXPECT_FALSE(r.ok) << cut;
  }
}

// Film records: no rate (1.7E+38), time and acceleration pairs at uneven times.
TEST(ReadSmc, RealFilmRecordIsResampledFromItsPairs) {
  SKIP_WITHOUT_SAMPLES();
  std::string path = (test::SamplesDir() / "smc/891018_1.sma-1.0444a.smc").string();
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadSmc(path, rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.ChanCount, 1);
  EXPECT_EQ(rec.DataCount, 20620);  // 41240 values
  EXPECT_EQ(rec.SampFreq, 695);     // round(20620 / 29.655 s)
  EXPECT_EQ(rec.SiteCode, "DVD0");
  EXPECT_EQ(rec.RecDate, "1989/10/18");
  EXPECT_NEAR(rec.Peak(1), -80.2f, 0.802f);  // "pk acc = -80.2"
  EXPECT_NEAR(rec.PeakStep(1), 10.654 * 695 + 1, 2);
}

TEST(ReadSmc, PairsAtUnevenTimesAreResampledLinearly) {
  SmcChannel c;
  c.rate = 0.17e39;
  c.points = 10;
  c.data = {0, 0, 0.005, 10, 0.02, 10, 0.04, -10, 0.05, 5};
  SmcResult r;
  Read(c.Text() + c.Text(), r);
  ASSERT_TRUE(r.ok) << r.ui.OnlyMessage();
  EXPECT_EQ(r.rec.SampFreq, 100);  // 5 pairs to 0.05 s
  ASSERT_EQ(r.rec.DataCount, 5);
  const float expected[] = {0, 10, 10, 0, -10};
  for (int ch = 1; ch <= 2; ++ch)
    for (int i = 0; i < 5; ++i) EXPECT_NEAR(r.rec.Acc(i + 1, ch), expected[i], 1e-4) << ch << i;
}

TEST(ReadSmc, UnknownRateWithoutPairsIsRefused) {
  for (const std::vector<double>& data : {std::vector<double>{0, 1, 0.01, 2, 0.02},  // odd count
                                          std::vector<double>{0.1, 1, 0.05, 2},       // time goes back
                                          std::vector<double>{0, 1, 0, 2}}) {         // no time passes
    SmcChannel c;
    c.rate = 0.17e39;
    c.points = static_cast<int>(data.size());
    c.data = data;
    SmcResult r;
    Read(c.Text(), r);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.ui.OnlyMessage(),
              r.path + " gives no sampling rate, and its data are not time and acceleration pairs.");
  }
}

}  // namespace
}  // namespace sism
