#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <string>

#include "load/user_side.h"
#include "record/readers.h"
#include "tests/support/samples.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

using test::ScriptedUi;
using test::TempDir;

const char* kSamples =
    "   .1000000E-02   .2000000E-02  -.3000000E-02   .4000000E-02   .5000000E-02\n"
    "  -.6000000E-02   .7000000E-02\n";

std::string PeerText(const std::string& line2, const std::string& line4,
                     const std::string& line3 = "ACCELERATION TIME SERIES IN UNITS OF G") {
  return "PEER STRONG MOTION DATABASE RECORD\n" + line2 + "\n" + line3 + "\n" + line4 + "\n" + kSamples;
}

struct PeerResult {
  bool ok = false;
  StrongRecord rec;
  ScriptedUi ui;
  std::string path;
};

void Read(const std::string& text, PeerResult& r, const std::string& name = "rsn1_test.at2") {
  TempDir dir;
  r.path = dir.Write(name, text);
  r.ok = ReportRead(ReadPeer(r.path, r.rec, r.ui), r.ui);
}

TEST(ReadPeer, RealNgaWest2FileHasTheValuesItsHeaderStates) {
  SKIP_WITHOUT_SAMPLES();
  std::string path = (test::SamplesDir() / "peer/RSN763_LOMAP_GIL067.AT2").string();
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadPeer(path, rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.ChanCount, 1);
  EXPECT_EQ(rec.DataCount, 7999);  // NPTS=   7999
  EXPECT_EQ(rec.SampFreq, 200);    // DT=   .0050
  EXPECT_EQ(rec.RecDate, "1989/10/18");
  EXPECT_EQ(rec.RecTime, "00:00");
  EXPECT_EQ(rec.SiteName, "Gilroy - Gavilan Coll.");
  EXPECT_EQ(rec.Label(1), "67");
  EXPECT_EQ(rec.SiteCode, "RSN763_LOMAP_GIL067");
  EXPECT_FLOAT_EQ(rec.Acc(1, 1), -.8075668E-03f * 980.665f);
  EXPECT_FLOAT_EQ(rec.Acc(7999, 1), .3362115E-03f * 980.665f);
}

TEST(ReadPeer, RealFilesPeakIsItsLargestValueTimesStandardGravity) {
  SKIP_WITHOUT_SAMPLES();
  std::string path = (test::SamplesDir() / "peer/RSN763_LOMAP_GIL067.AT2").string();
  // The file's largest magnitude in g, read here on its own: every word from line 5 on.
  std::ifstream file(path);
  std::string line;
  for (int i = 0; i < 4; ++i) std::getline(file, line);
  double largest = 0;
  int count = 0;
  for (std::string word; file >> word; ++count) largest = std::max(largest, std::fabs(std::stod(word)));
  ASSERT_EQ(count, 7999);
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadPeer(path, rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_FLOAT_EQ(std::fabs(rec.Peak(1)), static_cast<float>(largest * 980.665));
}

TEST(ReadPeer, NptsAndOlderCountLinesGiveTheSameRecord) {
  const std::string line2 = "IMPERIAL VALLEY 10/15/79 2316, EL CENTRO ARRAY #9, 180 DEG";
  PeerResult npts, tight, old;
  Read(PeerText(line2, "NPTS=   7, DT=   .0100 SEC,"), npts);
  Read(PeerText(line2, "NPTS=7, DT=.01 SEC"), tight);
  Read(PeerText(line2, "     7  .01000    NPTS, DT"), old);
  for (PeerResult* r : {&npts, &tight, &old}) {
    ASSERT_TRUE(r->ok) << r->ui.OnlyMessage();
    EXPECT_EQ(r->rec.DataCount, 7);
    EXPECT_EQ(r->rec.SampFreq, 100);
    EXPECT_EQ(r->rec.RecDate, "1979/10/15");
    EXPECT_EQ(r->rec.RecTime, "23:16");
    EXPECT_EQ(r->rec.SiteName, "EL CENTRO ARRAY #9");
    EXPECT_EQ(r->rec.Label(1), "180");
    EXPECT_EQ(r->rec.SiteCode, "RSN1_TEST");
    EXPECT_FLOAT_EQ(r->rec.Acc(7, 1), 7e-3f * 980.665f);
    EXPECT_FLOAT_EQ(r->rec.Peak(1), 7e-3f * 980.665f);
    EXPECT_EQ(r->rec.PeakStep(1), 7);
    EXPECT_EQ(r->rec.Offset(1), 0);
    EXPECT_EQ(r->rec.Coef(1), 1);
  }
}

TEST(ReadPeer, LineTwoShapes) {
  struct Case {
    const char* line2;
    const char* date;
    const char* time;
    const char* site;
    const char* label;
  };
  const Case cases[] = {
      {"EVENT 01/17/29 0431, STATION, 090", "2029/01/17", "04:31", "STATION", "090"},
      {"EVENT 01/17/30 0431, STATION, 090", "1930/01/17", "04:31", "STATION", "090"},
      {"EVENT 01/17/94, STATION, 090", "1994/01/17", "00:00", "STATION", "090"},
      {"Loma Prieta, 10/18/1989, Gilroy - Gavilan Coll., 67", "1989/10/18", "00:00", "Gilroy - Gavilan Coll.",
       "67"},
      {"Northridge-01, 1/17/1994, Sylmar, 360", "1994/01/17", "00:00", "Sylmar", "360"},
      {"Chi-Chi, Taiwan, 09/20/1999, TCU065, E", "1999/09/20", "00:00", "TCU065", "E"},
      {"Unknown event, SOME STATION, UP", "", "", "SOME STATION", "UP"},
      {"EVENT 01/17/94 0431, STATION", "1994/01/17", "04:31", "STATION", "CH00"},
      {"NO COMMA AT ALL", "", "", "unknown", "CH00"},
  };
  for (const Case& c : cases) {
    PeerResult r;
    Read(PeerText(c.line2, "NPTS=   7, DT=   .0100 SEC,"), r);
    ASSERT_TRUE(r.ok) << c.line2 << ": " << r.ui.OnlyMessage();
    EXPECT_EQ(r.rec.RecDate, c.date) << c.line2;
    EXPECT_EQ(r.rec.RecTime, c.time) << c.line2;
    EXPECT_EQ(r.rec.SiteName, c.site) << c.line2;
    EXPECT_EQ(r.rec.Label(1), c.label) << c.line2;
  }
}

TEST(ReadPeer, ValuesNotInGAreTakenAsTheyAre) {
  PeerResult r;
  Read(PeerText("E 01/01/01, S, C", "NPTS=   7, DT=   .0100 SEC,", "ACCELERATION TIME SERIES IN CM/S/S"), r);
  ASSERT_TRUE(r.ok) << r.ui.OnlyMessage();
  EXPECT_FLOAT_EQ(r.rec.Acc(3, 1), -3e-3f);
}

TEST(ReadPeer, CrLineEndsAndCrLfAreRead) {
  std::string text = PeerText("E 01/01/01, S, C", "NPTS=   7, DT=   .0100 SEC,");
  for (const char* eol : {"\r", "\r\n"}) {
    std::string t;
    for (char ch : text) t += ch == '\n' ? std::string(eol) : std::string(1, ch);
    PeerResult r;
    Read(t, r);
    ASSERT_TRUE(r.ok) << r.ui.OnlyMessage();
    EXPECT_EQ(r.rec.DataCount, 7);
  }
}

TEST(ReadPeer, RefusesFilesThatAreNotPeer) {
  for (const std::string& text : {std::string("NOT PEER\nx\nACCELERATION\nNPTS=1, DT=.01\n 1.0\n"),
                                  PeerText("E, S, C", "NPTS=   7, DT=   .0100 SEC,", "VELOCITY IN CM/S"),
                                  std::string("PEER\n"), std::string()}) {
    PeerResult r;
    Read(text, r);
    EXPECT_FALSE(r.ok);
    ASSERT_EQ(r.ui.messages.size(), 1u);
    EXPECT_EQ(r.ui.messages[0].text, r.path + " is not a readable PEER file.");
    EXPECT_EQ(r.ui.messages[0].title, "Sismora: ReadPeer");
  }
}

TEST(ReadPeer, LyingOrBrokenCountLinesEndInTheReadErrorBox) {
  for (const char* line4 :
       {"NPTS=   70, DT=   .0100 SEC,", "NPTS= 2000000000, DT= .01 SEC", "NPTS=   7, DT=   0 SEC,",
        "NPTS=   7, STEP .01", "NPTS=  -7, DT=   .0100 SEC,", "   abc  .01000", "     7  10.000"}) {
    PeerResult r;
    Read(PeerText("E 01/01/01, S, C", line4), r);
    EXPECT_FALSE(r.ok) << line4;
    ASSERT_EQ(r.ui.messages.size(), 1u) << line4;
    EXPECT_EQ(r.ui.messages[0].text.rfind("Failed to read " + r.path + " (Err#", 0), 0u)
        << r.ui.messages[0].text;
  }
}

}  // namespace
}  // namespace sism
