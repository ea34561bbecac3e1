// miniSEED and SAC: a station's components as one record in cm/s/s.
#include <gtest/gtest.h>

#include <libmseed.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "load/user_side.h"
#include "common/text.h"
#include "record/dispatch.h"
#include "record/readers.h"
#include "record/seismic_set.h"
#include "record/stationxml.h"
#include "record/strong_record.h"
#include "tests/support/reader_checks.h"
#include "tests/support/samples.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/seismic_files.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

using test::MseedStretch;
using test::Ramp;
using test::SacFile;
using test::ScriptedUi;
using test::TempDir;
using test::XmlChannel;

const std::vector<XmlChannel> kTriple = {{.cha = "HNE"}, {.cha = "HNN"}, {.cha = "HNZ"}};

std::vector<float> Samples(const StrongRecord& rec, int32_t ch) {
  return {rec.Channel(ch), rec.Channel(ch) + rec.DataCount};
}

// 4096 counts are 1 cm/s/s at the test sensitivity.
std::vector<int32_t> Gals(std::vector<int32_t> v) {
  for (int32_t& x : v) x *= 4096;
  return v;
}

TEST(Mseed, OneFileOfThreeChannelsOpensInNezOrderWithTheResponseBeside) {
  TempDir dir;
  dir.Write("XX.STA.xml", test::StationXml(kTriple));
  // 3000 samples span several 512-byte records per channel.
  const std::string path = dir.Write(
      "event.mseed", test::Mseed({{.cha = "HNZ", .counts = Gals(Ramp(3000, -5, 0)), .byteorder = 0},
                                  {.cha = "HNE", .counts = Gals(Ramp(3000, 0, 1)), .encoding = 3, .byteorder = 0},
                                  {.cha = "HNN", .counts = Gals(Ramp(3000, 7, -1))}}));
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadRecordFile(path, rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.FileFormat, FormatMseed);
  EXPECT_EQ(rec.Labels(), (std::vector<std::string>{"HNN", "HNE", "HNZ"}));
  EXPECT_EQ(rec.SampFreq, 100);
  ASSERT_EQ(rec.DataCount, 3000);
  for (int32_t i : {0, 1, 511, 2999}) {
    EXPECT_EQ(rec.Channel(1)[i], static_cast<float>(7 - i)) << i;
    EXPECT_EQ(rec.Channel(2)[i], static_cast<float>(i)) << i;
    EXPECT_EQ(rec.Channel(3)[i], -5.0f) << i;
  }
  EXPECT_FLOAT_EQ(rec.Coef(1), 1.0f / 4096);
  EXPECT_EQ(rec.RecDate + " " + rec.RecTime, "2020/05/01 12:00:00");
  EXPECT_EQ(rec.SiteCode, "XX.STA");
  EXPECT_EQ(rec.SiteName, "Test Hill");
  EXPECT_EQ(rec.SiteLat + " " + rec.SiteLong, "35.51 139.26");
  EXPECT_EQ(rec.ReadNote, "");
  EXPECT_TRUE(ui.messages.empty());
}

TEST(Mseed, OneComponentFileOpensItsSiblingsAndTheEpochCoveringTheData) {
  TempDir dir;
  // An older epoch of HNN with another sensitivity, and the one covering the data.
  std::vector<XmlChannel> epochs = kTriple;
  epochs[1].end = "2020-05-01T00:00:00";
  epochs.push_back({.cha = "HNN", .start = "2020-05-01T00:00:00", .end = "", .sensitivity = "204800"});
  dir.Write("xx.sta.XML", test::StationXml(epochs));
  const std::string tail = "__20200501T120000Z__20200501T120010Z.mseed";
  dir.Write("XX.STA.00.HNE" + tail, test::Mseed({{.cha = "HNE", .counts = Gals(Ramp(1000, 1, 0))}}));
  dir.Write("XX.STA.00.HNN" + tail, test::Mseed({{.cha = "HNN", .counts = Gals(Ramp(1000, 2, 0))}}));
  const std::string z = dir.Write("XX.STA.00.HNZ" + tail, test::Mseed({{.cha = "HNZ", .counts = Gals(Ramp(1000, 3, 0))}}));
  dir.Write("XX.STA.00.HHE" + tail, test::Mseed({{.cha = "HHE", .counts = Ramp(1000, 0, 0)}}));  // not of the set
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadRecordFile(z, rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.Labels(), (std::vector<std::string>{"HNN", "HNE", "HNZ"}));
  EXPECT_EQ(rec.Channel(1)[0], 4.0f);  // 2 x 4096 counts at 204800 counts per m/s/s
  EXPECT_EQ(rec.Channel(2)[999], 1.0f);
  EXPECT_EQ(rec.Channel(3)[500], 3.0f);
}

TEST(Mseed, GapsBecomeNoMotionAndOverlapsKeepTheEarlierDataBothSaid) {
  TempDir dir;
  dir.Write("XX.STA.xml", test::StationXml(kTriple));
  const std::string path = dir.Write(
      "gap.mseed",
      test::Mseed({// HNE: 1 s, a gap of 0.5 s, then 1 s more.
                   {.cha = "HNE", .counts = Gals(Ramp(100, 1, 0))},
                   {.cha = "HNE", .start = "2020-05-01T12:00:01.5", .counts = Gals(Ramp(100, 2, 0))},
                   // HNN: a repeated stretch (identical) and one that differs over 0.2 s.
                   {.cha = "HNN", .counts = Gals(Ramp(200, 5, 0))},
                   {.cha = "HNN", .start = "2020-05-01T12:00:01", .counts = Gals(Ramp(100, 5, 0))},
                   {.cha = "HNN", .start = "2020-05-01T12:00:01.8", .counts = Gals(Ramp(70, 6, 0))},
                   {.cha = "HNZ", .counts = Gals(Ramp(300, 9, 0))}}));
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadMseed(path, rec, ui), ui)) << ui.OnlyMessage();
  ASSERT_EQ(rec.DataCount, 250);  // HNE ends at 2.5 s, the others later
  const std::vector<float> e = Samples(rec, 2), n = Samples(rec, 1);
  EXPECT_EQ(e[99], 1.0f);
  EXPECT_EQ(e[100], 1.5f);  // the channel's mean, where its offset is removed
  EXPECT_EQ(e[149], 1.5f);
  EXPECT_EQ(e[150], 2.0f);  // at its own time, not moved up into the gap
  EXPECT_EQ(n[199], 5.0f);
  EXPECT_EQ(n[200], 6.0f);
  EXPECT_EQ(rec.ReadNote,
            "HNN: overlapping data differed over 0.2 s; the earlier kept; HNE: 1 gap (0.5 s) filled as no motion; "
            "channels cut to the time all of them cover");
}

TEST(Mseed, ChannelsAreAlignedToTheLatestStartAndCutToTheEarliestEnd) {
  TempDir dir;
  dir.Write("XX.STA.xml", test::StationXml(kTriple));
  const std::string path =
      dir.Write("a.mseed", test::Mseed({{.cha = "HNN", .counts = Gals(Ramp(500, 0, 1))},
                                        {.cha = "HNE", .start = "2020-05-01T12:00:00.25", .counts = Gals(Ramp(500, 0, 1))},
                                        {.cha = "HNZ", .counts = Gals(Ramp(400, 0, 1))}}));
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadMseed(path, rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.DataCount, 375);  // 12:00:00.25 to HNZ's end at 12:00:04
  EXPECT_EQ(rec.Channel(1)[0], 25.0f);
  EXPECT_EQ(rec.Channel(2)[0], 0.0f);
  EXPECT_EQ(rec.Channel(3)[0], 25.0f);
  EXPECT_EQ(rec.RecTime, "12:00:00");
  EXPECT_EQ(rec.ReadNote, "channels cut to the time all of them cover");
}

TEST(Mseed, SeveralStationsAndBandsAskWhichOne) {
  TempDir dir;
  dir.Write("XX.STB.xml", test::StationXml(kTriple, "XX", "STB"));
  const std::string path =
      dir.Write("many.mseed", test::Mseed({{.sta = "STA", .cha = "HNE", .counts = Gals(Ramp(100, 1, 0))},
                                           {.sta = "STB", .cha = "HNE", .counts = Gals(Ramp(100, 2, 0))},
                                           {.sta = "STB", .cha = "HNZ", .counts = Gals(Ramp(100, 3, 0))},
                                           {.sta = "STA", .cha = "HHZ", .counts = Gals(Ramp(100, 4, 0))}}));
  StrongRecord rec;
  ScriptedUi ui;
  std::vector<std::string> offered;
  ui.onPickChan = [&](const std::vector<std::string>& labels, std::vector<int32_t>& chosen) {
    offered = labels;
    chosen = {3};
    return true;
  };
  ASSERT_TRUE(ReportRead(ReadMseed(path, rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(offered, (std::vector<std::string>{"XX.STA.00.HH: HHZ", "XX.STA.00.HN: HNE", "XX.STB.00.HN: HNE, HNZ"}));
  EXPECT_EQ(rec.SiteCode, "XX.STB");
  EXPECT_EQ(rec.Labels(), (std::vector<std::string>{"HNE", "HNZ"}));
  EXPECT_EQ(rec.Channel(2)[0], 3.0f);

  ScriptedUi cancel;
  EXPECT_FALSE(ReportRead(ReadMseed(path, rec, cancel), cancel));
  EXPECT_TRUE(cancel.messages.empty());
}

TEST(Mseed, VelocityChannelsAreRefusedOrDifferentiatedOnRequest) {
  TempDir dir;
  std::vector<XmlChannel> xml;
  for (const char* c : {"HHE", "HHN", "HHZ"}) xml.push_back({.cha = c, .sensitivity = "409600", .input = "m/s"});
  dir.Write("XX.STA.xml", test::StationXml(xml));
  // 4096 counts more each step: 1 cm/s per 0.01 s, 100 cm/s/s.
  const std::string path = dir.Write("v.mseed", test::Mseed({{.cha = "HHE", .counts = Ramp(200, 0, 4096)},
                                                              {.cha = "HHN", .counts = Ramp(200, 0, 4096)},
                                                              {.cha = "HHZ", .counts = Ramp(200, 0, -4096)}}));
  StrongRecord rec;
  ScriptedUi no;
  no.yesNoAnswers = {false};
  EXPECT_FALSE(ReportRead(ReadMseed(path, rec, no), no));
  ASSERT_EQ(no.messages.size(), 2u);  // the question, then the refusal
  EXPECT_EQ(no.messages[1].text,
            path + ": XX.STA.00.HH (HHN, HHE, HHZ) records velocity, not acceleration; it opens only when "
                   "differentiated into acceleration.");

  ScriptedUi yes;
  yes.onDifferentiate = [](const std::string&) { return true; };
  ASSERT_TRUE(ReportRead(ReadMseed(path, rec, yes), yes)) << yes.OnlyMessage();
  EXPECT_FLOAT_EQ(rec.Channel(1)[0], 100.0f);
  EXPECT_FLOAT_EQ(rec.Channel(1)[100], 100.0f);
  EXPECT_FLOAT_EQ(rec.Channel(3)[199], -100.0f);
  EXPECT_EQ(rec.ReadNote, "HHN, HHE, HHZ differentiated from velocity");
}

TEST(Mseed, WithoutAResponseTheCoefficientIsAsked) {
  TempDir dir;
  const std::string path = dir.Write("c.mseed", test::Mseed({{.cha = "HNE", .counts = Ramp(50, 10, 0)},
                                                              {.cha = "HNZ", .counts = Ramp(50, -4, 0)}}));
  StrongRecord rec;
  ScriptedUi ui;
  DataFileKind asked = DataFileKind::General;
  ui.onReadData = [&](DataFileKind kind, const std::string&, DataFileParams& p) {
    asked = kind;
    EXPECT_EQ(p.count, 50);
    EXPECT_EQ(p.freq, 100);
    EXPECT_EQ(p.channels, 2);
    p.coef = 0.5f;
    return true;
  };
  ASSERT_TRUE(ReportRead(ReadMseed(path, rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(asked, DataFileKind::Counts);
  EXPECT_NE(ui.lastPreview.find("XX.STA.xml beside the data"), std::string::npos) << ui.lastPreview;
  EXPECT_EQ(rec.Channel(1)[0], 5.0f);
  EXPECT_EQ(rec.Channel(2)[49], -2.0f);
  EXPECT_EQ(rec.SiteName, "XX.STA.00");

  // A response chosen elsewhere takes the place of the coefficient.
  const std::string xml = dir.Write("elsewhere.xml", test::StationXml(kTriple));
  ScriptedUi chooser;
  chooser.onResponseFile = [&](const std::string& what, const std::string& found) {
    EXPECT_EQ(what, "XX.STA.00.HN");
    EXPECT_EQ(found, "");
    return xml;
  };
  ASSERT_TRUE(ReportRead(ReadMseed(path, rec, chooser), chooser)) << chooser.OnlyMessage();
  EXPECT_EQ(chooser.readDataDialogs, 0);
  EXPECT_FLOAT_EQ(rec.Channel(1)[0], 10.0f / 4096);
}

TEST(Mseed, RatesAndResponsesThatMakeNoRecordEndInOneMessage) {
  struct Case {
    const char* what;
    std::vector<MseedStretch> data;
    std::vector<XmlChannel> xml;
    std::string message;  // after the file's path; "XML" marks the response file's
  };
  const std::vector<Case> cases = {
      {"rate not whole", {{.rate = 0.5, .counts = Ramp(10, 0, 1)}}, kTriple,
       ": XX.STA.00.HNE is sampled at 0.5 Hz; only a whole number of samples per second can be opened."},
      {"rates differ",
       {{.cha = "HNE", .rate = 100, .counts = Ramp(10, 0, 1)}, {.cha = "HNZ", .rate = 50, .counts = Ramp(10, 0, 1)}},
       kTriple, ": the channels of XX.STA.00.HN are sampled at different rates (HNE 100 Hz, HNZ 50 Hz)."},
      {"no common time",
       {{.cha = "HNE", .counts = Ramp(100, 0, 1)}, {.cha = "HNZ", .start = "2020-05-01T12:00:05", .counts = Ramp(100, 0, 1)}},
       kTriple, ": the channels of XX.STA.00.HN (HNE, HNZ) hold no common stretch of time."},
      {"gap of a day", {{.counts = Ramp(100, 0, 1)}, {.start = "2020-05-02T12:00:00", .counts = Ramp(100, 0, 1)}}, kTriple,
       ": the gaps in XX.STA.00.HNE (86399 s) are too long to be filled with zeros."},
      {"more gap than data at a high rate",
       {{.rate = 1000, .counts = Ramp(200, 0, 1)}, {.start = "2020-05-01T12:01:40", .rate = 1000, .counts = Ramp(200, 0, 1)}},
       kTriple, ": the gaps in XX.STA.00.HNE (99.8 s) are too long to be filled with zeros."},
      {"a year's span", {{.counts = Ramp(100, 0, 1)}, {.start = "2021-05-01T12:00:00", .counts = Ramp(100, 0, 1)}},
       kTriple, ": its data span more time than a record holds."},
      {"no epoch at the data's time", {{.counts = Ramp(10, 0, 1)}}, {{.cha = "HNE", .end = "2020-01-01T00:00:00"}},
       "XML describes no channel XX.STA.00.HNE at 2020/05/01 12:00:00.000 (the data's start)."},
      {"sensitivity to volts", {{.counts = Ramp(10, 0, 1)}}, {{.cha = "HNE", .output = "V"}},
       "XML gives the sensitivity of XX.STA.00.HNE in V, not in counts."},
      {"displacement", {{.counts = Ramp(10, 0, 1)}}, {{.cha = "HNE", .input = "M"}},
       ": XX.STA.00.HN records HNE (displacement), not acceleration."},
      {"units of nothing", {{.counts = Ramp(10, 0, 1)}}, {{.cha = "HNE", .input = "PA"}},
       "XML: the input units of XX.STA.00.HNE, \"PA\", are neither an acceleration nor a velocity."},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const std::string xml = dir.Write("XX.STA.xml", test::StationXml(c.xml));
    const std::string path = dir.Write("d.mseed", test::Mseed(c.data));
    StrongRecord rec;
    ScriptedUi ui;
    EXPECT_FALSE(ReportRead(ReadMseed(path, rec, ui), ui)) << c.what;
    const std::string expected = StartsWith(c.message, "XML") ? xml + c.message.substr(3) : path + c.message;
    EXPECT_EQ(ui.OnlyMessage(), expected) << c.what;
  }
  TempDir dir;
  const std::string xml = dir.Write("XX.STA.xml", "<html><body>not found</body></html>");
  const std::string path = dir.Write("x.mseed", test::Mseed({{.counts = Ramp(10, 0, 1)}}));
  StrongRecord rec;
  ScriptedUi ui;
  EXPECT_FALSE(ReportRead(ReadMseed(path, rec, ui), ui));
  EXPECT_EQ(ui.OnlyMessage(), xml + " is not a StationXML file: its root element is <html>.");
}

// Damaged copies are read with every question answered, so that they end in a record or a message.
void AnswerEverything(UserInterface& ui) {
  auto& s = static_cast<ScriptedUi&>(ui);
  s.onReadData = [](DataFileKind, const std::string&, DataFileParams&) { return true; };
  s.onPickChan = [](const std::vector<std::string>&, std::vector<int32_t>& c) {
    c = {1};
    return true;
  };
  s.onDifferentiate = [](const std::string&) { return false; };
}

ReadOutcome ReadMseedAnswering(const std::string& path, StrongRecord& rec, ReadQuestions& ask) {
  AnswerEverything(static_cast<UserInterface&>(ask));
  return ReadMseed(path, rec, ask);
}

ReadOutcome ReadSacAnswering(const std::string& path, StrongRecord& rec, ReadQuestions& ask) {
  AnswerEverything(static_cast<UserInterface&>(ask));
  return ReadSac(path, rec, ask);
}

TEST(Mseed, DamagedFilesEndInARecordOrOneMessage) {
  // Eleven records of 112 samples: no tenth of the file ends on a record's end.
  const std::string good = test::Mseed({{.cha = "HNE", .counts = Ramp(336, -300, 7), .encoding = 3},
                                        {.cha = "HNN", .counts = Ramp(448, 100, -3), .encoding = 3},
                                        {.cha = "HNZ", .counts = Ramp(448, 0, 1), .encoding = 3}});
  ASSERT_EQ(good.size(), 11u * 512);
  test::ExpectDamagedCopiesEndWell(ReadMseedAnswering, "d.mseed", good, 41);
  test::ExpectRefused(ReadMseed, "n.mseed",
                      {{"text", std::string(600, 'x'), " is not a miniSEED file (No SEED data detected)."},
                       {"half a record", good.substr(0, 700),
                        " ends inside a miniSEED record: the file is cut short."}});
}

TEST(Mseed, KnownByItsFixedHeaderWhateverItsName) {
  const std::string data = test::Mseed({{.counts = Ramp(10, 0, 1)}});
  test::ExpectDetected({{"a.dat", data, FormatMseed}, {"b.mseed", data, FormatMseed}, {"c.ms", "000001D text", FormatOther}});
}

SacFile Sac(const std::string& cha, std::vector<float> values) {
  SacFile f;
  f.cha = cha;
  f.values = std::move(values);
  return f;
}

TEST(Sac, TriplesOpenAsOneRecordInEitherByteOrderOrAsText) {
  for (int form = 0; form < 3; ++form) {
    TempDir dir;
    dir.Write("XX.STA.xml", test::StationXml(kTriple));
    auto write = [&](const std::string& name, const SacFile& f) {
      return dir.Write(name, form == 2 ? test::SacAlpha(f) : test::SacBinary(f, form == 1));
    };
    SacFile e = Sac("HNE", {4096, -8192, 2048, 0, 409.6f});
    e.b = 1.5f;  // the first sample 1.5 s after the reference time
    e.msec = 250;
    SacFile n = e, z = e;
    n.cha = "HNN";
    n.values = {1, 2, 3, 4, 5};
    z.cha = "HNZ";
    z.stla = 36.25f;
    z.stlo = -117.5f;
    write("2020.122.XX.STA.00.HNN.SAC", n);
    write("2020.122.XX.STA.00.HNZ.SAC", z);
    const std::string path = write("2020.122.XX.STA.00.HNE.SAC", e);
    StrongRecord rec;
    ScriptedUi ui;
    ASSERT_TRUE(ReportRead(ReadRecordFile(path, rec, ui), ui)) << form << ": " << ui.OnlyMessage();
    EXPECT_EQ(rec.FileFormat, FormatSac) << form;
    EXPECT_EQ(rec.Labels(), (std::vector<std::string>{"HNN", "HNE", "HNZ"})) << form;
    EXPECT_EQ(Samples(rec, 2), (std::vector<float>{1, -2, 0.5f, 0, 0.1f})) << form;
    EXPECT_EQ(rec.RecDate + " " + rec.RecTime, "2020/05/01 12:00:02") << form;  // 12:00:01.75
    EXPECT_EQ(rec.SiteCode, "XX.STA");
    EXPECT_EQ(rec.SiteLat + " " + rec.SiteLong, "35.51 139.26") << form;  // the response's over the file's
  }
}

TEST(Sac, AccelerationInNanometresNeedsNoResponseAndVelocityIsRefused) {
  TempDir dir;
  SacFile a = Sac("BHZ", {1e7f, -2e7f});
  a.idep = 8;
  a.stla = 36.25f;
  a.stlo = -117.5f;
  const std::string path = dir.Write("a.sac", test::SacBinary(a, true));
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadSac(path, rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(Samples(rec, 1), (std::vector<float>{1, -2}));
  EXPECT_EQ(ui.readDataDialogs, 0);
  EXPECT_EQ(rec.SiteLat + " " + rec.SiteLong, "36.25 -117.5");

  a.idep = 7;
  const std::string v = dir.Write("v.sac", test::SacBinary(a, false));
  ScriptedUi no;
  no.onDifferentiate = [](const std::string&) { return false; };
  EXPECT_FALSE(ReportRead(ReadSac(v, rec, no), no));
  EXPECT_EQ(no.OnlyMessage(), v + ": XX.STA.00.BH (BHZ) records velocity, not acceleration; it opens only when "
                                  "differentiated into acceleration.");
}

TEST(Sac, BrokenAndDamagedFilesEndInOneMessage) {
  SacFile f = Sac("HNE", std::vector<float>(200, 3.5f));
  f.idep = 8;
  SacFile noDelta = f, uneven = f;
  noDelta.delta = 0;
  const std::string short_ = test::SacBinary(f, false).substr(0, 700);
  test::ExpectRefused(ReadSac, "b.sac",
                      {{"cut short", short_, " ends before its 200 samples: the file is cut short."},
                       {"no interval", test::SacBinary(noDelta, false),
                        " gives no sampling interval (DELTA) above 0."},
                       {"not SAC", std::string(700, '\1'),
                        " is not a SAC file: its header gives no known version (NVHDR 6 or 7)."},
                       {"text cut", test::SacAlpha(f).substr(0, 2500), " (Err#62: Input past end of file)"}});
  test::ExpectDamagedCopiesEndWell(ReadSacAnswering, "d.sac", test::SacBinary(f, true), 43);
  test::ExpectDamagedCopiesEndWell(ReadSacAnswering, "t.sac", test::SacAlpha(f), 47);
}

TEST(Sac, KnownByItsHeaderVersionInAnyForm) {
  const SacFile f = Sac("HNE", {1, 2, 3});
  test::ExpectDetected({{"a.bin", test::SacBinary(f, false), FormatSac},
                        {"b.sac", test::SacBinary(f, true), FormatSac},
                        {"c.txt", test::SacAlpha(f), FormatSac}});
}

TEST(StationXml, UnitsAndTimes) {
  EXPECT_EQ(MeaningOfUnits("M/S**2").quantity, Quantity::Acceleration);
  EXPECT_EQ(MeaningOfUnits("m/s^2").toCm, 100);
  EXPECT_EQ(MeaningOfUnits("cm/s/s").toCm, 1);
  EXPECT_EQ(MeaningOfUnits("nm/s").quantity, Quantity::Velocity);
  EXPECT_EQ(MeaningOfUnits("M").quantity, Quantity::Displacement);
  EXPECT_EQ(MeaningOfUnits("COUNTS").quantity, Quantity::Unknown);
  int64_t us = 0;
  ASSERT_TRUE(ParseXmlTime("2014-08-24T10:20:14.0784Z", us));
  EXPECT_EQ(UtcText(us), "2014/08/24 10:20:14.078");
  EXPECT_FALSE(ParseXmlTime("2014-13-01T00:00:00", us));
  EXPECT_FALSE(ParseXmlTime("yesterday", us));
}

// The real station: three accelerometer files and the station's StationXML.
TEST(SeismicSamples, FdsnTripleOpensAsOneRecordInCmPerSecondSquared) {
  SKIP_WITHOUT_SAMPLES();
  const std::filesystem::path folder = test::SamplesDir() / "fdsn";
  const std::string tail = "__20140824T102014Z__20140824T102244Z.mseed";
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadRecordFile((folder / ("BK.CMB.00.HNZ" + tail)).string(), rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.FileFormat, FormatMseed);
  EXPECT_EQ(rec.Labels(), (std::vector<std::string>{"HNN", "HNE", "HNZ"}));
  EXPECT_EQ(rec.SampFreq, 100);
  EXPECT_EQ(rec.DataCount, 15000);
  EXPECT_EQ(rec.RecDate + " " + rec.RecTime, "2014/08/24 10:20:14");
  EXPECT_EQ(rec.SiteCode, "BK.CMB");
  EXPECT_EQ(rec.SiteName, "Columbia College, Columbia, CA, USA");
  EXPECT_EQ(rec.SiteLat + " " + rec.SiteLong, "38.03455 -120.386513");
  EXPECT_EQ(rec.ReadNote, "");
  // Each channel against its counts read straight from the file and the InstrumentSensitivity
  // the StationXML gives it (counts per m/s/s).
  const std::pair<const char*, double> sensitivity[] = {{"HNN", 4.27525e5}, {"HNE", 4.27819e5}, {"HNZ", 4.24673e5}};
  for (int32_t ch = 1; ch <= 3; ++ch) {
    const auto& [cha, value] = sensitivity[ch - 1];
    MSTraceList* list = nullptr;
    const std::string file = (folder / ("BK.CMB.00." + std::string(cha) + tail)).string();
    ASSERT_EQ(ms_readtracelist(&list, file.c_str(), 0, -1, -1, 0, 1, 1, 0), MS_NOERROR);
    const MSTraceSeg* seg = list->traces->first;
    ASSERT_EQ(seg->numsamples, 15000);
    const auto* counts = static_cast<const int32_t*>(seg->datasamples);
    for (int i : {0, 8380, 14999})
      EXPECT_FLOAT_EQ(rec.Channel(ch)[i], static_cast<float>(counts[i] * (100 / value))) << cha << " " << i;
    mstl_free(&list, 0);
  }
  // The peak of HNE in the record: 31722 counts against a mean near 29530.
  EXPECT_NEAR(rec.Peak(2), 31722 * 100 / 4.27819e5, 1e-4);
}

}  // namespace
}  // namespace sism
