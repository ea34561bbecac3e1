// Format detection from extension and head, and the finishing of every record read.
#include "load/user_side.h"
#include "load/statistics.h"
#include "record/dispatch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "common/strings.h"
#include "record/ac.h"
#include "sismcalc/binding/calc.h"
#include "tests/support/samples.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

using test::ScriptedUi;
using test::TempDir;

struct DetectCase {
  const char* name;
  std::string contents;
  int32_t code;
};

class DetectFormatTest : public ::testing::TestWithParam<DetectCase> {};

TEST_P(DetectFormatTest, GivesTheFormatCode) {
  TempDir dir;
  const DetectCase& c = GetParam();
  EXPECT_EQ(DetectFormat(dir.Write(c.name, c.contents)), c.code) << c.name << " [" << c.contents << "]";
}

INSTANTIATE_TEST_SUITE_P(
    Rules, DetectFormatTest,
    ::testing::Values(
        // .ac needs a numeric head; otherwise the content rules decide.
        DetectCase{"a.ac", "2003/09/26 04:50:07\n", FormatAc}, DetectCase{"b.ac", "2003 09 26\n", FormatAc},
        DetectCase{"c.AC", " 199 rest\n", FormatAc}, DetectCase{"d.ac", "Text header\n", FormatOther},
        DetectCase{"e.ac", "01/6 jma\n", FormatJma95b}, DetectCase{"f.acs", "anything\n", FormatAcs},
        // K-NET extensions need "Orig", case-sensitive; the extension's case does not matter.
        DetectCase{"g.ns", "Origin Time 2003/09/26\n", FormatKnet},
        DetectCase{"h.EW2", "Origin Time\n", FormatKnet}, DetectCase{"h2.ew2", "Origin Time\n", FormatKnet},
        DetectCase{"i.1", "Origin\n", FormatKnet}, DetectCase{"j.ud1", "Orig\n", FormatKnet},
        DetectCase{"k.ns", "origin time\n", FormatOther}, DetectCase{"l.ns", "STRONG\n", FormatTur},
        DetectCase{"m.aew", "x\n", FormatJma95a}, DetectCase{"n.ANS", "x\n", FormatJma95a},
        DetectCase{"o.aud", "x\n", FormatJma95a},
        // .smc: text when it starts with 0, 1 or 2, SMAC binary otherwise.
        DetectCase{"p.smc", "2 CORRECTED ACCELEROGRAM\n", FormatSmc},
        DetectCase{"q.smc", "0 UNC\n", FormatSmc}, DetectCase{"r.SMC", "1 UN\n", FormatSmc},
        DetectCase{"s.smc", "3 x\n", FormatMd},
        DetectCase{"t.smc", std::string("\x01\x00\xff\x10", 4), FormatMd}, DetectCase{"u.md", "x", FormatMd},
        DetectCase{"v.at2", "PEER\n", FormatPeer}, DetectCase{"w.evt", "x", FormatAltus},
        DetectCase{"x.csv", "a,b\n", FormatCsv}, DetectCase{"y.org", "x\n", FormatPariOrg},
        DetectCase{"z.v1c", "x\n", FormatCosmos}, DetectCase{"z.V2C", "x\n", FormatCosmos},
        // .V1/.V2 probes are upper-cased.
        DetectCase{"a1.v1", "0 un corrected\n", FormatSmc}, DetectCase{"a2.V2", "2 Co\n", FormatSmc},
        DetectCase{"a3.v1", "Uncorrected\n", FormatRaw}, DetectCase{"a4.v2", "CORRECTED\n", FormatRaw},
        DetectCase{"a5.v2", "1 CO\n", FormatOther}, DetectCase{"a6.v1", " SIT\n", FormatJmaAc},
        // COSMOS volumes under .V1/.V2 carry their format tag on the first line.
        DetectCase{"a7.V2", "Corrected accelerogram   (Format v01.20 with 13 text lines) Src: x\n",
                   FormatCosmos},
        DetectCase{"a8.v1", "Uncorrected accelerogram (Format v01.20 with 13 text lines)\r\nmore\n",
                   FormatCosmos},
        DetectCase{"a9.v2", "CORRECTED\n(Format v01.20 on line two)\n", FormatRaw},
        DetectCase{"b1.raw", "anything\n", FormatRaw}, DetectCase{"b2.RAW", "", FormatRaw},
        // Content rules, case-sensitive.
        DetectCase{"c1.txt", "01/6 x\n", FormatJma95b}, DetectCase{"c2.dat", "TRH(1)", FormatTrh},
        DetectCase{"c3", " SIT 1\n", FormatJmaAc}, DetectCase{"c4.txt", "STRONG\n", FormatTur},
        DetectCase{"c5.txt", "stro\n", FormatOther}, DetectCase{"c6.txt", "SIT \n", FormatOther},
        // Short and empty files still reach a reader that can say what is wrong.
        DetectCase{"d1.txt", "ab", FormatOther}, DetectCase{"d2.txt", "", FormatOther},
        DetectCase{"d3.ac", "12", FormatAc}));

TEST(DetectFormat, MissingFileOrFolderGivesZero) {
  TempDir dir;
  EXPECT_EQ(DetectFormat(dir.File("none.ac")), FormatNone);
  EXPECT_EQ(DetectFormat(dir.Path().string()), FormatNone);
  EXPECT_EQ(DetectFormat(""), FormatNone);
}

// Readers for the dispatch tests: they build records of a set shape and say which ran.
struct Shape {
  int32_t chans = 3;
  int32_t steps = 100;
  int32_t freq = 100;
  int32_t extraRows = 0;  // capacity beyond DataCount
  bool ok = true;
};
Shape shape;
std::vector<std::string> ran;

bool Build(const char* name, StrongRecord& rec) {
  ran.push_back(name);
  if (!shape.ok) {
    rec.ChanCount = 1;  // partly filled
    return false;
  }
  rec.SampFreq = shape.freq;
  rec.DataCount = shape.steps;
  rec.ChanCount = shape.chans;
  rec.RedimHeader(shape.chans);
  rec.RedimAcc(shape.steps + shape.extraRows, shape.chans);
  for (int32_t ch = 1; ch <= shape.chans; ++ch) {
    rec.Label(ch) = "C" + std::to_string(ch);
    for (int32_t i = 1; i <= shape.steps + shape.extraRows; ++i) rec.Acc(i, ch) = static_cast<float>(ch * 10);
    rec.Acc(1, ch) = -static_cast<float>(ch * 10 + 1);  // channel ch peaks at -(10ch + 1)
  }
  ComputePeaks(rec);
  rec.SiteCode = "NEW";
  return true;
}

ReadOutcome Knet(const std::string&, StrongRecord& r, ReadQuestions&) {
  return Build("knet", r);
}
ReadOutcome Jma95a(const std::string&, StrongRecord& r, ReadQuestions&) {
  return Build("jma95a", r);
}
ReadOutcome Tur(const std::string&, StrongRecord& r, ReadQuestions&) {
  ran.push_back("tur");
  r.ChanCount = 0;
  return false;
}
ReadOutcome Other(const std::string&, StrongRecord& r, ReadQuestions&) {
  return Build("other", r);
}
ReadOutcome Generic(const std::string&, StrongRecord& r, ReadQuestions&) {
  return Build("generic", r);
}

ReaderTable Table() {
  ReaderTable t{};
  t.fill(&Generic);
  t[FormatKnet] = &Knet;
  t[FormatJma95a] = &Jma95a;
  t[FormatTur] = &Tur;
  t[FormatJmaAc] = nullptr;  // no reader of its own yet: the general reader stands in
  t[FormatOther] = &Other;
  t[FormatAcs] = nullptr;
  return t;
}

class ReadRecordFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    shape = Shape{};
    ran.clear();
  }
  bool Read(const std::string& name, const std::string& contents = "data\n") {
    path = dir.Write(name, contents);
    return ReportRead(ReadFinishedRecord(path, rec, ui, Table()), ui);
  }
  TempDir dir;
  ScriptedUi ui;
  StrongRecord rec;
  std::string path;
};

TEST_F(ReadRecordFileTest, TwoChannelsHaveNoSensorAndThePeakOfBoth) {
  shape.chans = 2;
  ASSERT_TRUE(Read("two.dat"));
  EXPECT_EQ(ran, std::vector<std::string>{"other"});
  EXPECT_EQ(rec.FileFormat, FormatOther);
  EXPECT_EQ(rec.JmaGroup, 0);
  EXPECT_EQ(rec.JmaIntensity, 0.0f);
  EXPECT_EQ(rec.PeakAcc, 21.0f);  // a magnitude, never negative
  EXPECT_EQ(rec.FilePath, path);
  EXPECT_EQ(rec.FileSize, 5);
}

TEST_F(ReadRecordFileTest, FourChannelsUseTheFirstThree) {
  shape.chans = 4;
  ASSERT_TRUE(Read("four.at2"));
  EXPECT_EQ(ran, std::vector<std::string>{"generic"});
  EXPECT_EQ(rec.FileFormat, FormatPeer);
  EXPECT_EQ(rec.JmaGroup, 1);
  EXPECT_EQ(rec.PeakAcc, 31.0f);  // channel 4's 41 is not part of the sensor
}

TEST_F(ReadRecordFileTest, SixChannelKnetUsesTheSecondSensorAndDropsTheExtension) {
  shape.chans = 6;
  ASSERT_TRUE(Read("SITE0001.EW2", "Origin Time\n"));
  EXPECT_EQ(rec.FileFormat, FormatKnet);
  EXPECT_EQ(rec.JmaGroup, 2);
  EXPECT_EQ(rec.PeakAcc, 61.0f);
  EXPECT_EQ(rec.FilePath, dir.File("SITE0001"));
  EXPECT_EQ(rec.FileSize, 12);  // of the file named, not of the set
}

TEST_F(ReadRecordFileTest, ThreeChannelKnetIsTheFirstSensor) {
  ASSERT_TRUE(Read("SITE.ns", "Origin\n"));
  EXPECT_EQ(rec.JmaGroup, 1);
  EXPECT_EQ(rec.PeakAcc, 31.0f);
}

TEST_F(ReadRecordFileTest, Jma95PathLosesItsExtension) {
  ASSERT_TRUE(Read("quake.aew"));
  EXPECT_EQ(ran, std::vector<std::string>{"jma95a"});
  EXPECT_EQ(rec.FilePath, dir.File("quake"));
}

TEST_F(ReadRecordFileTest, RejectedTurTextGoesToTheGeneralReader) {
  ASSERT_TRUE(Read("x.txt", "STRONG MOTION\n"));
  EXPECT_EQ(ran, (std::vector<std::string>{"tur", "other"}));
  EXPECT_EQ(rec.FileFormat, FormatOther);
}

TEST_F(ReadRecordFileTest, SitTextWithoutItsReaderGoesToTheGeneralReader) {
  ASSERT_TRUE(Read("x.txt", " SIT 1\n"));
  EXPECT_EQ(ran, std::vector<std::string>{"other"});
  EXPECT_EQ(rec.FileFormat, FormatOther);
}

TEST_F(ReadRecordFileTest, FailureMarksTheRecordNotLoaded) {
  shape.ok = false;
  rec.FilePath = "old";
  EXPECT_FALSE(Read("x.txt", "STRONG\n"));
  EXPECT_EQ(ran, (std::vector<std::string>{"tur", "other"}));
  EXPECT_EQ(rec.FileFormat, FormatNone);
  EXPECT_EQ(rec.FilePath, "");
}

TEST_F(ReadRecordFileTest, FormatWithoutReaderReadsNothing) {
  EXPECT_FALSE(Read("x.acs"));
  EXPECT_TRUE(ran.empty());
  EXPECT_EQ(rec.FileFormat, FormatNone);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ReadRecordFileTest, MissingFileFailsWithoutMessage) {
  EXPECT_FALSE(ReportRead(ReadFinishedRecord(dir.File("gone.ac"), rec, ui, Table()), ui));
  EXPECT_TRUE(ran.empty());
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ReadRecordFileTest, HeaderTextsOfAnEarlierFileDoNotRemain) {
  rec.RecDate = "1999/01/01";
  rec.RecTime = "00:00:00";
  rec.SiteName = "Old";
  rec.SiteLat = "35";
  rec.SiteLong = "139";
  rec.SiteCode = "OLD";
  ASSERT_TRUE(Read("x.dat"));
  EXPECT_EQ(rec.RecDate + rec.RecTime + rec.SiteName + rec.SiteLat + rec.SiteLong, "");
  EXPECT_EQ(rec.SiteCode, "NEW");
}

TEST_F(ReadRecordFileTest, CapacityBeyondTheCountIsGivenBack) {
  shape.extraRows = 50;
  ASSERT_TRUE(Read("x.dat"));
  EXPECT_EQ(rec.DataCapacity(), rec.DataCount);
  EXPECT_EQ(rec.Acc(1, 2), -21.0f);
  EXPECT_EQ(rec.Acc(100, 3), 30.0f);
}

TEST_F(ReadRecordFileTest, CountsBeyondTheArraysAreAReadFailure) {
  shape.extraRows = -10;  // DataCount claims 10 steps more than the matrix holds
  EXPECT_FALSE(Read("x.dat"));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].title, ProgramTitle() + ": ReadRecordFile");
  EXPECT_EQ(ui.messages[0].icon, MsgIcon::Critical);
  EXPECT_EQ(rec.FileFormat, FormatNone);
}

TEST_F(ReadRecordFileTest, ZeroFrequencyIsAReadFailure) {
  shape.freq = 0;
  EXPECT_FALSE(Read("x.dat"));
  EXPECT_EQ(ui.messages.size(), 1u);
}

// Three components whose strong part (1 s of 200 gal at 2 Hz) sits across t = 10 s.
TEST_F(ReadRecordFileTest, IntensityIsThatOfTheWholeRecord) {
  shape.chans = 3;
  shape.steps = 2000;
  ASSERT_TRUE(Read("x.dat"));
  // Rebuild the samples as they were read, then finish again through a reader that keeps them.
  static StrongRecord strong;
  strong = rec;
  for (int32_t ch = 1; ch <= 3; ++ch)
    for (int32_t i = 1; i <= 2000; ++i) {
      double t = (i - 1) / 100.0;
      strong.Acc(i, ch) = (t > 9.5 && t < 10.5) ? static_cast<float>(200 * std::sin(2 * M_PI * 2 * t)) : 0.0f;
    }
  ComputePeaks(strong);
  ReaderTable t{};
  t.fill(+[](const std::string&, StrongRecord& r, ReadQuestions&) -> ReadOutcome {
    r = strong;
    return true;
  });
  ASSERT_TRUE(ReportRead(ReadFinishedRecord(path, rec, ui, t), ui));
  int32_t n = 2000;
  float dt = 0.01f;
  float whole = calc::SIJMA(&n, &dt, strong.Channel(1), strong.Channel(2), strong.Channel(3));
  float windowed = calc::SIJMA10(&n, &dt, strong.Channel(1), strong.Channel(2), strong.Channel(3));
  EXPECT_FLOAT_EQ(rec.JmaIntensity, whole);
  EXPECT_GT(whole, windowed + 0.05f);
}

TEST(DetectFormat, RealRecords) {
  SKIP_WITHOUT_SAMPLES();
  const std::filesystem::path d = test::SamplesDir();
  const std::pair<const char*, int32_t> cases[] = {
      {"knet/AOM0011801241951.EW", FormatKnet},
      {"kiknet/NGNH311106302345.EW2", FormatKnet},
      {"peer/RSN763_LOMAP_GIL067.AT2", FormatPeer},
      {"smc/0111a.smc", FormatSmc},
      {"cosmos/us1000hyfh_akbmrp_AKBMR--n.1000hyfh.BNZ.--.acc.V2c", FormatCosmos},
      {"dmg/NEWPORT.RAW", FormatRaw},
      {"dmg/CE89146.V1", FormatRaw},
      {"dmg/CE89146.V2", FormatRaw},
      {"evt/BI008_MEMA-04823.evt", FormatAltus},
  };
  for (const auto& [name, code] : cases) EXPECT_EQ(DetectFormat((d / name).string()), code) << name;
}

// Records written in the program's own format and read back through the dispatcher.
class AcGroupTest : public ::testing::TestWithParam<int32_t> {};

TEST_P(AcGroupTest, SensorGroupFollowsTheChannelCount) {
  const int32_t chans = GetParam();
  StrongRecord r;
  r.SampFreq = 100;
  r.DataCount = 1200;
  r.ChanCount = chans;
  r.RecDate = "2024/01/01";
  r.RecTime = "12:00:00";
  r.RedimHeader(chans);
  r.RedimAcc(1200, chans);
  for (int32_t ch = 1; ch <= chans; ++ch) {
    r.Label(ch) = "C" + std::to_string(ch);
    for (int32_t i = 1; i <= 1200; ++i)
      r.Acc(i, ch) = static_cast<float>(std::round(50 * ch * std::sin(0.07 * i * ch)));
  }
  ComputePeaks(r);
  TempDir dir;
  ScriptedUi ui;
  const std::string path = dir.File("rec.ac");
  ASSERT_TRUE(WriteAc(path, r, 0, ui)) << ui.OnlyMessage();
  StrongRecord back;
  ASSERT_TRUE(ReportRead(ReadFinishedRecord(path, back, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(back.FileFormat, FormatAc);
  EXPECT_EQ(back.ChanCount, chans);
  EXPECT_EQ(back.DataCapacity(), back.DataCount);
  const int32_t group = chans >= 3 ? 1 : 0;
  EXPECT_EQ(back.JmaGroup, group);
  int32_t n = back.DataCount;
  float dt = 0.01f;
  if (group == 0) {
    EXPECT_EQ(back.JmaIntensity, 0.0f);
    EXPECT_EQ(back.PeakAcc, std::max(std::fabs(back.Peak(1)), chans > 1 ? std::fabs(back.Peak(2)) : 0.0f));
  } else {
    EXPECT_FLOAT_EQ(back.JmaIntensity,
                    calc::SIJMA(&n, &dt, back.Channel(1), back.Channel(2), back.Channel(3)));
    EXPECT_EQ(back.PeakAcc,
              std::max({std::fabs(back.Peak(1)), std::fabs(back.Peak(2)), std::fabs(back.Peak(3))}));
  }
  EXPECT_EQ(back.FilePath, path);
  EXPECT_EQ(back.FileSize, static_cast<int64_t>(std::filesystem::file_size(path)));
}

INSTANTIATE_TEST_SUITE_P(Channels, AcGroupTest, ::testing::Values(1, 2, 3, 4, 6));

}  // namespace
}  // namespace sism
