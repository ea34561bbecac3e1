#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>

#include "load/user_side.h"
#include "common/files.h"
#include "common/text.h"
#include "record/ac.h"
#include "record/readers.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

using test::ScriptedUi;
using test::TempDir;

StrongRecord MakeRecord(int32_t chans, int32_t count) {
  StrongRecord r;
  r.RecDate = "2024/01/01";
  r.RecTime = "16:10:09";
  r.SiteCode = "ISK005";
  r.SiteName = "Anamizu";
  r.SampFreq = 100;
  r.ChanCount = chans;
  r.DataCount = count;
  r.RedimHeader(chans);
  r.RedimAcc(count, chans);
  for (int32_t ch = 1; ch <= chans; ++ch) {
    r.Label(ch) = "Channel-" + std::to_string(ch) + "-with-a-long-name";
    r.Offset(ch) = 1.5f;
    r.Coef(ch) = 2.5f;
    for (int32_t i = 1; i <= count; ++i)
      r.Acc(i, ch) = 0.001f * static_cast<float>((i * 37 + ch * 11) % 2001 - 1000);
  }
  ComputePeaks(r);
  return r;
}

TEST(AcFormat, RoundTripKeepsHeaderSamplesAndZeroesOffsetAndCoef) {
  TempDir dir;
  ScriptedUi ui;
  StrongRecord in = MakeRecord(3, 21);
  std::string path = dir.File("rt.ac");
  ASSERT_TRUE(WriteAc(path, in, 0, ui)) << ui.OnlyMessage();
  StrongRecord out;
  ASSERT_TRUE(ReportRead(ReadAc(path, out, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(out.RecDate, in.RecDate);
  EXPECT_EQ(out.RecTime, in.RecTime);
  EXPECT_EQ(out.SiteCode, "ISK005");
  EXPECT_EQ(out.SiteName, "Anamizu");
  EXPECT_EQ(out.ChanCount, 3);
  EXPECT_EQ(out.SampFreq, 100);
  EXPECT_EQ(out.DataCount, 21);
  for (int32_t ch = 1; ch <= 3; ++ch) {
    EXPECT_EQ(out.Label(ch), in.Label(ch).substr(0, 10));
    EXPECT_FLOAT_EQ(out.Peak(ch), in.Peak(ch));
    EXPECT_EQ(out.PeakStep(ch), in.PeakStep(ch));
    EXPECT_EQ(out.Offset(ch), 0.0f);
    EXPECT_EQ(out.Coef(ch), 0.0f);
    for (int32_t i = 1; i <= 21; ++i) EXPECT_FLOAT_EQ(out.Acc(i, ch), in.Acc(i, ch)) << i;
  }
  EXPECT_TRUE(ui.messages.empty());
}

TEST(AcFormat, WritesTheDocumentedColumns) {
  TempDir dir;
  ScriptedUi ui;
  StrongRecord r = MakeRecord(1, 9);
  r.Label(1) = "N-S";
  r.Acc(1, 1) = -287.0625f;  // rounds half away from zero
  ComputePeaks(r);
  std::string path = dir.File("cols.ac");
  ASSERT_TRUE(WriteAc(path, r, 0, ui));
  TextFile f(path);
  EXPECT_EQ(f.ReadLine(), "2024/01/01 16:10:09   1 100     9 ISK005: Anamizu");
  EXPECT_EQ(f.ReadLine(), "N-S         -287.063         1     0.000   0.00e+0");
  std::string first = f.ReadLine();
  EXPECT_EQ(first.size(), 80u);
  EXPECT_EQ(first.substr(0, 10), "  -287.063");
  EXPECT_EQ(f.ReadLine().size(), 10u);  // the ninth value alone
  EXPECT_TRUE(f.AtEnd());
  EXPECT_NE(ReadWholeFile(path).find("\r\n"), std::string::npos);
}

TEST(AcFormat, SampleLineCounts) {
  TempDir dir;
  ScriptedUi ui;
  for (int32_t count : {1, 8, 16, 17}) {
    StrongRecord r = MakeRecord(2, count);
    std::string path = dir.File("n" + std::to_string(count) + ".ac");
    ASSERT_TRUE(WriteAc(path, r, 0, ui));
    TextFile f(path);
    int lines = 0;
    std::string l;
    while (f.TryReadLine(l)) ++lines;
    EXPECT_EQ(lines, 1 + 2 * (1 + (count - 1) / 8 + 1)) << count;
    StrongRecord back;
    ASSERT_TRUE(ReportRead(ReadAc(path, back, ui), ui));
    EXPECT_FLOAT_EQ(back.Acc(count, 2), r.Acc(count, 2));
  }
}

TEST(AcFormat, GroupSelectsOneSensor) {
  TempDir dir;
  ScriptedUi ui;
  StrongRecord r = MakeRecord(6, 10);
  ASSERT_TRUE(WriteAc(dir.File("g2.ac"), r, 2, ui));
  StrongRecord back;
  ASSERT_TRUE(ReportRead(ReadAc(dir.File("g2.ac"), back, ui), ui));
  ASSERT_EQ(back.ChanCount, 3);
  EXPECT_FLOAT_EQ(back.Acc(5, 1), r.Acc(5, 4));
  EXPECT_FLOAT_EQ(back.Acc(5, 3), r.Acc(5, 6));
  ASSERT_TRUE(WriteAc(dir.File("g3.ac"), r, 3, ui));
  ASSERT_TRUE(ReportRead(ReadAc(dir.File("g3.ac"), back, ui), ui));
  EXPECT_EQ(back.ChanCount, 6);
}

TEST(AcFormat, ShortChannelHeaderAndStationWithoutColon) {
  TempDir dir;
  ScriptedUi ui;
  std::string path = dir.Write("short.ac",
                               "1995/01/17 05:46:00   1 100     2 KOBE  \n"
                               "EW          -817.800\n"
                               "     1.000     2.000\n");
  StrongRecord r;
  ASSERT_TRUE(ReportRead(ReadAc(path, r, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(r.SiteCode, "KOBE  ");  // not trimmed without ":"
  EXPECT_EQ(r.Label(1), "EW");
  EXPECT_FLOAT_EQ(r.Peak(1), -817.8f);
  EXPECT_EQ(r.PeakStep(1), 0);
  EXPECT_EQ(r.Offset(1), 0.0f);
  EXPECT_FLOAT_EQ(r.Acc(2, 1), 2.0f);
}

TEST(AcFormat, BadFilesEndInTheReadMessage) {
  TempDir dir;
  struct Case {
    const char* name;
    const char* text;
    const char* error;
  } cases[] = {
      {"truncated", "1995/01/17 05:46:00   1 100    20 X\nEW   1.0\n     1.000\n",
       "(Err#62: Input past end of file)"},
      {"letters", "1995/01/17 05:46:00   1 100     1 X\nEW   1.0\n     abcde\n", "(Err#13: Type mismatch)"},
      {"huge", "1995/01/17 05:46:00   9 100999999 X\n", "(Err#62: Input past end of file)"},
  };
  for (const auto& c : cases) {
    ScriptedUi ui;
    StrongRecord r;
    std::string path = dir.Write(std::string(c.name) + ".ac", c.text);
    EXPECT_FALSE(ReportRead(ReadAc(path, r, ui), ui)) << c.name;
    ASSERT_EQ(ui.messages.size(), 1u) << c.name;
    EXPECT_TRUE(StartsWith(ui.messages[0].text, "Failed to read " + path + " " + c.error)) << ui.messages[0].text;
    EXPECT_EQ(ui.messages[0].title, "ReadAc - Sismora");
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Critical);
  }
  ScriptedUi ui;
  StrongRecord r;
  EXPECT_FALSE(ReportRead(ReadAc(dir.File("missing.ac"), r, ui), ui));
  EXPECT_NE(ui.OnlyMessage().find("(Err#53: File not found)"), std::string::npos);
}

TEST(AcFormat, RefusesValuesWiderThanTheirColumns) {
  TempDir dir;
  ScriptedUi ui;
  StrongRecord r = MakeRecord(1, 4);
  r.RecTime = "16:10:09.25";
  std::string path = dir.File("wide.ac");
  EXPECT_FALSE(WriteAc(path, r, 0, ui));
  EXPECT_FALSE(std::filesystem::exists(path));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].title, "WriteAc - Sismora");
}

TEST(AcFormat, RefusesSampleWiderThanItsColumn) {
  TempDir dir;
  ScriptedUi ui;
  StrongRecord r = MakeRecord(2, 20);
  r.Label(2) = "U-D";
  r.Acc(7, 2) = -8401002.0f;  // twelve characters as written
  ComputePeaks(r);
  std::string path = dir.File("wide.ac");
  EXPECT_FALSE(WriteAc(path, r, 0, ui));
  EXPECT_FALSE(std::filesystem::exists(path));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Cannot write " + path +
                                     " as an .ac file: the sample -8401002.000 at step 7 of channel 2 (U-D) "
                                     "is wider than its 10 columns.");
  EXPECT_EQ(ui.messages[0].title, "WriteAc - Sismora");
  EXPECT_EQ(ui.messages[0].icon, MsgIcon::Critical);
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.Path())) (void)e, ++files;
  EXPECT_EQ(files, 0) << "nothing may be left behind";

  // An existing file stays as it was.
  std::string kept = dir.Write("kept.ac", "precious contents\n");
  EXPECT_FALSE(WriteAc(kept, r, 0, ui));
  EXPECT_EQ(ReadWholeFile(kept), "precious contents\n");

  // The widest values that fit still go through and read back.
  r.Acc(7, 2) = -99999.992f;
  r.Acc(8, 2) = 999999.938f;
  ComputePeaks(r);
  ScriptedUi fine;
  ASSERT_TRUE(WriteAc(path, r, 0, fine)) << fine.OnlyMessage();
  StrongRecord back;
  ASSERT_TRUE(ReportRead(ReadAc(path, back, fine), fine)) << fine.OnlyMessage();
  EXPECT_FLOAT_EQ(back.Acc(7, 2), -99999.992f);
  EXPECT_FLOAT_EQ(back.Acc(8, 2), 999999.938f);
  EXPECT_FLOAT_EQ(back.Acc(3, 1), r.Acc(3, 1));
}

TEST(AcFormat, ChecksOnlyTheChannelsItWrites) {
  TempDir dir;
  ScriptedUi ui;
  StrongRecord r = MakeRecord(6, 10);
  r.Acc(2, 1) = 12345678.0f;
  ComputePeaks(r);
  ASSERT_TRUE(WriteAc(dir.File("g2.ac"), r, 2, ui)) << ui.OnlyMessage();
  EXPECT_FALSE(WriteAc(dir.File("g1.ac"), r, 1, ui));
  EXPECT_NE(ui.OnlyMessage().find("at step 2 of channel 1 "), std::string::npos) << ui.OnlyMessage();
}

TEST(AcFormat, RefusesPeakWiderThanItsColumn) {
  TempDir dir;
  ScriptedUi ui;
  StrongRecord r = MakeRecord(1, 10);
  r.Label(1) = "N-S";
  r.Peak(1) = -1234567.0f;  // a peak the samples no longer hold
  std::string path = dir.File("peak.ac");
  EXPECT_FALSE(WriteAc(path, r, 0, ui));
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(ui.OnlyMessage(),
            "Cannot write " + path +
                " as an .ac file: the peak -1234567.000 of channel 1 (N-S) is wider than its 10 columns.");
}

TEST(AcFormat, RecordWithoutDateIsStillKnownAsAc) {
  TempDir dir;
  ScriptedUi ui;
  StrongRecord r = MakeRecord(1, 4);
  r.RecDate.clear();
  std::string path = dir.File("nodate.ac");
  ASSERT_TRUE(WriteAc(path, r, 0, ui));
  EXPECT_EQ(ReadWholeFile(path).substr(0, 10), "0000/00/00");
  StrongRecord back;
  ASSERT_TRUE(ReportRead(ReadAc(path, back, ui), ui));
  EXPECT_EQ(back.RecDate, "0000/00/00");
  r.RecDate = "Jan 2 1990";
  EXPECT_FALSE(WriteAc(dir.File("text.ac"), r, 0, ui));
  EXPECT_NE(ui.OnlyMessage().find("does not begin with a year"), std::string::npos);
}

TEST(AcFormat, FailedWriteLeavesTheExistingFileIntact) {
  TempDir dir;
  ScriptedUi ui;
  std::string path = dir.Write("keep.ac", "precious contents\n");
  StrongRecord big = MakeRecord(3, 20000);  // well over the size limit below
  signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 64 * 1024;
  setrlimit(RLIMIT_FSIZE, &small);
  bool ok = WriteAc(path, big, 0, ui);
  setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_FALSE(ok);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text.rfind("Failed to write " + path + " (Err#75", 0), 0u) << ui.messages[0].text;
  EXPECT_EQ(ReadWholeFile(path), "precious contents\n");
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.Path())) (void)e, ++files;
  EXPECT_EQ(files, 1) << "the temporary file must be removed";
}

std::string AcsHeader(const std::string& label, int freq, int n, const std::string& peak) {
  std::string h = "STN1" + label + std::string(8, ' ') + "95/01/17" + " " + "05:46:00" + std::string(7, ' ');
  h += AlignRight(std::to_string(freq), 8) + AlignRight(std::to_string(n), 8) + AlignRight(peak, 8);
  return h;
}

TEST(AcsFormat, ThinsByTwoAndRecomputesPeaks) {
  TempDir dir;
  std::string text;
  const int n = 21;  // odd: the last stored sample is dropped
  for (int ch = 1; ch <= 9; ++ch) {
    text += AcsHeader(" NS" + std::to_string(ch), 201, n, "999.0") + "\n";
    std::string line;
    for (int i = 1; i <= n; ++i) {
      line += AlignRight(std::to_string(i * ch), 8);
      if (i % 10 == 0 || i == n) text += line + "\n", line.clear();
    }
  }
  std::string path = dir.Write("r.acs", text);
  ScriptedUi ui;
  StrongRecord r;
  ASSERT_TRUE(ReportRead(ReadAcs(path, r, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(r.ChanCount, 9);
  EXPECT_EQ(r.DataCount, 10);
  EXPECT_EQ(r.SampFreq, 100);
  EXPECT_EQ(r.SiteCode, "STN1");
  EXPECT_EQ(r.RecDate, "1995/01/17");
  EXPECT_EQ(r.RecTime, "05:46:00");
  EXPECT_EQ(r.Label(3), " NS3");
  EXPECT_FLOAT_EQ(r.Acc(1, 3), 3.0f);  // stored sample 1
  EXPECT_FLOAT_EQ(r.Acc(2, 3), 9.0f);  // stored sample 3
  EXPECT_FLOAT_EQ(r.Peak(3), 57.0f);   // stored sample 19, not the header's 999
  EXPECT_EQ(r.PeakStep(3), 10);
  EXPECT_EQ(r.Coef(9), 1.0f);
}

}  // namespace
}  // namespace sism
