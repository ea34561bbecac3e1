#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "load/user_side.h"
#include "load/statistics.h"
#include "common/files.h"
#include "common/text.h"
#include "record/dispatch.h"
#include "record/readers.h"
#include "record/sibling.h"
#include "record/strong_record.h"
#include "tests/load/calc_probe.h"
#include "tests/support/samples.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

using test::ScriptedUi;
using test::TempDir;

struct KnetFile {
  std::string dir = "E-W";
  std::string scale = "3920(gal)/6182761";
  std::string duration = "1";
  std::string freq = "16Hz";
  std::string recordTime = "2018/01/24 19:51:43";
  std::string code = "AOM001";
  std::vector<long> counts;  // samples in counts
  bool crlf = false;
};

std::string Header(const std::string& caption, const std::string& value) {
  return PadRight(caption, 18) + value;
}

std::string KnetText(const KnetFile& f) {
  std::vector<std::string> lines = {
      Header("Origin Time", "2018/01/24 19:51:00"),
      Header("Lat.", "41.0"),
      Header("Long.", "142.5"),
      Header("Depth. (km)", "30"),
      Header("Mag.", "6.2"),
      Header("Station Code", f.code),
      Header("Station Lat.", "41.5267"),
      Header("Station Long.", "140.9244"),
      Header("Station Height(m)", "39"),
      Header("Record Time", f.recordTime),
      Header("Sampling Freq(Hz)", f.freq),
      Header("Duration Time(s)", f.duration),
      Header("Dir.", f.dir),
      Header("Scale Factor", f.scale),
      Header("Max. Acc. (gal)", "4.078"),
      Header("Last Correction", "2018/01/24 19:51:43"),
      Header("Memo.", ""),
  };
  std::string line;
  for (std::size_t i = 0; i < f.counts.size(); ++i) {
    char field[16];
    std::snprintf(field, sizeof field, "%8ld ", f.counts[i]);
    line += field;
    if (i % 8 == 7 || i + 1 == f.counts.size()) {
      lines.push_back(line);
      line.clear();
    }
  }
  std::string text;
  for (const auto& l : lines) text += l + (f.crlf ? "\r\n" : "\n");
  return text;
}

std::vector<long> Ramp(int n, long start) {
  std::vector<long> v;
  for (int i = 0; i < n; ++i) v.push_back(start + i);
  return v;
}

// ---- Real records ----

struct SampleChannel {
  std::string label;
  double scaleNum, scaleDen;
  double headerMax;
};

void ExpectHeaderMaxima(StrongRecord rec, const std::vector<SampleChannel>& expected) {
  // The header's maximum is taken after the mean has been removed.
  RemoveMeanOffset(rec, 0);
  for (int32_t ch = 1; ch <= rec.ChanCount; ++ch)
    EXPECT_NEAR(std::fabs(rec.Peak(ch)), expected[ch - 1].headerMax, 0.0006) << rec.Label(ch);
}

TEST(KnetSamples, KnetSetOpenedThroughUpperCaseEwFindsItsSiblings) {
  SKIP_WITHOUT_SAMPLES();
  std::string path = (test::SamplesDir() / "knet" / "AOM0011801241951.EW").string();
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadKNET(path, rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(rec.ChanCount, 3);
  EXPECT_EQ(rec.SampFreq, 100);
  EXPECT_EQ(rec.DataCount, 10200);
  EXPECT_EQ(rec.DataCapacity(), 10200);
  EXPECT_EQ(rec.SiteCode, "AOM001");
  EXPECT_EQ(rec.SiteName, "AOM001 in K-NET");
  EXPECT_EQ(rec.SiteLat, "41.5267");
  EXPECT_EQ(rec.SiteLong, "140.9244");
  EXPECT_EQ(rec.RecDate, "2018/01/24");
  EXPECT_EQ(rec.RecTime, "19:51:28");  // 15 s before the file's record time
  std::vector<SampleChannel> expected = {
      {"N-S", 3920, 6182761, 4.954}, {"E-W", 3920, 6182761, 4.078}, {"U-D", 3920, 6182761, 2.240}};
  for (int32_t ch = 1; ch <= 3; ++ch) {
    EXPECT_EQ(rec.Label(ch), expected[ch - 1].label);
    EXPECT_FLOAT_EQ(rec.Coef(ch), static_cast<float>(3920.0 / 6182761.0));
    EXPECT_EQ(rec.Offset(ch), 0);
  }
  // First sample of the E-W file is -12085 counts.
  EXPECT_FLOAT_EQ(rec.Acc(1, 2), static_cast<float>(-12085 * 3920.0 / 6182761.0));
  ExpectHeaderMaxima(rec, expected);
}

std::vector<SampleChannel> KiknetExpected() {
  return {{"N-S(B)", 2940, 6170270, 0.141}, {"E-W(B)", 2940, 6170270, 0.192},
          {"U-D(B)", 2940, 6170270, 0.119}, {"N-S(S)", 3920, 6170801, 0.618},
          {"E-W(S)", 3920, 6170801, 0.708}, {"U-D(S)", 3920, 6170801, 0.672}};
}

class KiknetThroughEachFile : public ::testing::TestWithParam<const char*> {};

TEST_P(KiknetThroughEachFile, LoadsAllSixChannelsInFileOrder) {
  SKIP_WITHOUT_SAMPLES();
  std::string path =
      (test::SamplesDir() / "kiknet" / (std::string("NGNH311106302345.") + GetParam())).string();
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadKNET(path, rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.ChanCount, 6);
  EXPECT_EQ(rec.SampFreq, 100);
  EXPECT_EQ(rec.DataCount, 12000);
  EXPECT_EQ(rec.SiteCode, "NGNH31");
  EXPECT_EQ(rec.SiteName, "NGNH31 in KiK-net");
  EXPECT_EQ(rec.SiteLat, "36.1184");
  EXPECT_EQ(rec.SiteLong, "137.9389");
  EXPECT_EQ(rec.RecDate, "2011/06/30");
  EXPECT_EQ(rec.RecTime, "23:45:33");
  auto expected = KiknetExpected();
  for (int32_t ch = 1; ch <= 6; ++ch) {
    EXPECT_EQ(rec.Label(ch), expected[ch - 1].label);
    EXPECT_FLOAT_EQ(rec.Coef(ch), static_cast<float>(expected[ch - 1].scaleNum / expected[ch - 1].scaleDen));
  }
  // Surface N-S starts with 902 counts.
  EXPECT_FLOAT_EQ(rec.Acc(1, 4), static_cast<float>(902 * 3920.0 / 6170801.0));
  ExpectHeaderMaxima(rec, expected);
}

TEST(KnetSamples, DispatchGroupsTheSurfaceTripleAndDropsTheExtension) {
  SKIP_WITHOUT_SAMPLES();
  SKIP_WITHOUT_CALC("SIJMA10");
  SKIP_WITHOUT_CALC("GETPEAK");
  struct Case {
    std::string path;
    int32_t chans, group;
  } cases[] = {
      {(test::SamplesDir() / "knet" / "AOM0011801241951.UD").string(), 3, 1},
      {(test::SamplesDir() / "kiknet" / "NGNH311106302345.EW2").string(), 6, 2},
  };
  for (const auto& c : cases) {
    StrongRecord rec;
    ScriptedUi ui;
    ASSERT_TRUE(ReportRead(ReadFinishedRecord(c.path, rec, ui), ui)) << ui.OnlyMessage();
    EXPECT_EQ(rec.FileFormat, FormatKnet);
    EXPECT_EQ(rec.ChanCount, c.chans);
    EXPECT_EQ(rec.JmaGroup, c.group);
    EXPECT_EQ(rec.FilePath, c.path.substr(0, c.path.rfind('.')));
    EXPECT_EQ(rec.FileSize, static_cast<int64_t>(std::filesystem::file_size(c.path)));
    float peak = 0;
    for (int32_t ch = 3 * c.group - 2; ch <= 3 * c.group; ++ch)
      peak = std::max(peak, std::fabs(rec.Peak(ch)));
    EXPECT_FLOAT_EQ(rec.PeakAcc, peak);
    EXPECT_GT(rec.JmaIntensity, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Files, KiknetThroughEachFile,
                         ::testing::Values("NS1", "EW1", "UD1", "NS2", "EW2", "UD2"));

// ---- Synthetic sets ----

TEST(Knet, MissingSiblingIsSkippedAndChannelsStayPacked) {
  TempDir dir;
  KnetFile ns{.dir = "N-S", .counts = Ramp(16, 0)};
  KnetFile ew{.dir = "E-W", .counts = Ramp(16, 100)};
  dir.Write("S.ns", KnetText(ns));
  std::string path = dir.Write("S.ew", KnetText(ew));
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadKNET(path, rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.ChanCount, 2);
  ASSERT_EQ(rec.Labels().size(), 2u);
  EXPECT_EQ(rec.AccChannels(), 2);
  EXPECT_EQ(rec.Label(1), "N-S");
  EXPECT_EQ(rec.Label(2), "E-W");
  EXPECT_FLOAT_EQ(rec.Acc(16, 2), static_cast<float>(115 * 3920.0 / 6182761.0));
}

TEST(Knet, TwoComponentSetHasNoJmaGroupAfterDispatch) {
  SKIP_WITHOUT_CALC("SIJMA10");
  SKIP_WITHOUT_CALC("GETPEAK");
  TempDir dir;
  dir.Write("S.ns", KnetText({.dir = "N-S", .counts = Ramp(16, 0)}));
  std::string path = dir.Write("S.ew", KnetText({.dir = "E-W", .counts = Ramp(16, -30)}));
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadFinishedRecord(path, rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.FileFormat, FormatKnet);
  EXPECT_EQ(rec.ChanCount, 2);
  EXPECT_EQ(rec.JmaGroup, 0);
  EXPECT_EQ(rec.JmaIntensity, 0);
  EXPECT_FLOAT_EQ(rec.PeakAcc, static_cast<float>(30 * 3920.0 / 6182761.0));
  EXPECT_EQ(rec.FilePath, dir.File("S"));
}

TEST(Knet, FirstFileMissingTakesHeaderFromTheNextOne) {
  TempDir dir;
  KnetFile ew{.dir = "E-W", .code = "FIRST", .counts = Ramp(16, 1)};
  KnetFile ud{.dir = "U-D", .code = "SECOND", .counts = Ramp(16, 2)};
  std::string path = dir.Write("S.ew", KnetText(ew));
  dir.Write("S.ud", KnetText(ud));
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadKNET(path, rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.ChanCount, 2);
  EXPECT_EQ(rec.SiteCode, "FIRST");
  EXPECT_EQ(rec.Label(1), "E-W");
  EXPECT_EQ(rec.Label(2), "U-D");
}

TEST(Knet, NumberedSetIsRelabelledAndMixedCaseSiblingsAreFound) {
  TempDir dir;
  dir.Write("R.1", KnetText({.dir = "1", .counts = Ramp(16, 0)}));
  dir.Write("R.2", KnetText({.dir = "2", .counts = Ramp(16, 0)}));
  dir.Write("R.3", KnetText({.dir = "Up", .counts = Ramp(16, 0), .crlf = true}));
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadKNET(dir.File("R.2"), rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.Label(1), "N-S");
  EXPECT_EQ(rec.Label(2), "E-W");
  EXPECT_EQ(rec.Label(3), "Up");  // no rule for it: kept as written
  EXPECT_EQ(rec.SiteName, "AOM001 in K-NET");

  // A K-NET set keeps its directions even when they are digits.
  TempDir mixed;
  mixed.Write("M.Ns", KnetText({.dir = "1", .counts = Ramp(16, 0)}));
  mixed.Write("M.ew", KnetText({.dir = "2", .counts = Ramp(16, 0)}));
  mixed.Write("M.UD", KnetText({.dir = "3", .counts = Ramp(16, 0)}));
  ASSERT_TRUE(ReportRead(ReadKNET(mixed.File("M.ew"), rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.ChanCount, 3);
  EXPECT_EQ(rec.Label(1), "1");
  EXPECT_EQ(rec.Label(3), "3");
}

TEST(Knet, DurationIsCutToWholeDataLines) {
  struct Case {
    const char* duration;
    const char* freq;
    int32_t steps;
  } cases[] = {{"1", "16Hz", 16},  {"1.005", "16Hz", 16},     {"1.3", "16Hz", 16},  {"1.5", "16Hz", 24},
               {"0.5", "16Hz", 8}, {"60.005", "100Hz", 6000}, {"60", "100Hz", 6000}};
  for (const auto& c : cases) {
    TempDir dir;
    std::string path =
        dir.Write("D.ns", KnetText({.duration = c.duration, .freq = c.freq, .counts = Ramp(6008, 0)}));
    StrongRecord rec;
    ScriptedUi ui;
    ASSERT_TRUE(ReportRead(ReadKNET(path, rec, ui), ui)) << c.duration << " " << ui.OnlyMessage();
    EXPECT_EQ(rec.DataCount, c.steps) << c.duration << " at " << c.freq;
    EXPECT_EQ(rec.ChanCount, 1);
  }
}

TEST(Knet, StartShiftCrossesMidnightBackwards) {
  TempDir dir;
  std::string path =
      dir.Write("T.ud", KnetText({.recordTime = "2000/01/01 00:00:10", .counts = Ramp(16, 0)}));
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadKNET(path, rec, ui), ui));
  EXPECT_EQ(rec.RecDate, "1999/12/31");
  EXPECT_EQ(rec.RecTime, "23:59:55");
}

TEST(Knet, ScaleFactorIsNumeratorOverDenominatorAndPeaksComeFromSamples) {
  TempDir dir;
  std::string path = dir.Write(
      "F.ns", KnetText({.scale = "2000(gal)/8000", .duration = "0.5", .counts = {0, 4, -8, 2, 0, 0, 0, 0}}));
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadKNET(path, rec, ui), ui));
  EXPECT_FLOAT_EQ(rec.Coef(1), 0.25f);
  EXPECT_FLOAT_EQ(rec.Acc(2, 1), 1.0f);
  EXPECT_FLOAT_EQ(rec.Peak(1), -2.0f);  // not the header's 4.078
  EXPECT_EQ(rec.PeakStep(1), 3);
}

TEST(Knet, ExtensionOutsideTheSetsIsNotRead) {
  TempDir dir;
  std::string path = dir.Write("X.txt", KnetText({.counts = Ramp(16, 0)}));
  StrongRecord rec;
  ScriptedUi ui;
  EXPECT_FALSE(ReportRead(ReadKNET(path, rec, ui), ui));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_FALSE(ReportRead(ReadKNET(dir.File("Nothing.ew"), rec, ui), ui));  // no file of the set at all
  EXPECT_TRUE(ui.messages.empty());
}

TEST(Knet, NoEffectiveDataIsReported) {
  for (KnetFile f :
       {KnetFile{.duration = "0.2", .counts = Ramp(8, 0)}, KnetFile{.freq = "0Hz", .counts = Ramp(8, 0)},
        KnetFile{.freq = "Hz", .counts = Ramp(8, 0)}}) {
    TempDir dir;
    std::string path = dir.Write("E.ew", KnetText(f));
    StrongRecord rec;
    ScriptedUi ui;
    EXPECT_FALSE(ReportRead(ReadKNET(path, rec, ui), ui));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, path + " has no effective data.");
    EXPECT_EQ(ui.messages[0].title, "Sismora: ReadKNET");
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Critical);
  }
}

TEST(Knet, MalformedFilesEndInTheReadErrorBox) {
  struct Case {
    const char* what;
    std::string text;
    int err;
  };
  std::string shortLine = KnetText({.counts = Ramp(16, 0)});
  shortLine.erase(shortLine.rfind("       8 "));  // second data line cut after 0 fields
  std::string badNumber = KnetText({.counts = Ramp(16, 0)});
  badNumber.replace(badNumber.rfind("      10"), 8, "    1x10");
  std::string headerOnly = KnetText({});
  std::string fewLines = headerOnly.substr(0, headerOnly.find("Dir."));
  Case cases[] = {
      {"no parenthesis in the scale", KnetText({.scale = "3920 gal/6182761", .counts = Ramp(16, 0)}), 13},
      {"no slash in the scale", KnetText({.scale = "3920(gal)", .counts = Ramp(16, 0)}), 13},
      {"zero denominator", KnetText({.scale = "3920(gal)/0", .counts = Ramp(16, 0)}), 11},
      {"duration not a number", KnetText({.duration = "long", .counts = Ramp(16, 0)}), 13},
      {"duration beyond the data lines", KnetText({.duration = "3", .counts = Ramp(16, 0)}), 62},
      {"absurd duration", KnetText({.duration = "1e30", .counts = Ramp(16, 0)}), 62},
      {"data line missing its fields", shortLine, 62},
      {"sample not a number", badNumber, 13},
      {"header cut short", fewLines, 62},
  };
  for (const auto& c : cases) {
    TempDir dir;
    std::string path = dir.Write("B.ns", c.text);
    StrongRecord rec;
    ScriptedUi ui;
    EXPECT_FALSE(ReportRead(ReadKNET(path, rec, ui), ui)) << c.what;
    ASSERT_EQ(ui.messages.size(), 1u) << c.what;
    EXPECT_TRUE(
        StartsWith(ui.messages[0].text, "Failed to read " + path + " (Err#" + std::to_string(c.err) + ": "))
        << c.what << ": " << ui.messages[0].text;
    EXPECT_EQ(ui.messages[0].title, "Sismora: ReadKNET") << c.what;
  }
}

TEST(Knet, ShorterSecondFileIsAnErrorNotAReadPastItsEnd) {
  TempDir dir;
  dir.Write("S.ns", KnetText({.duration = "2", .counts = Ramp(32, 0)}));
  std::string path = dir.Write("S.ew", KnetText({.duration = "2", .counts = Ramp(16, 0)}));
  StrongRecord rec;
  ScriptedUi ui;
  EXPECT_FALSE(ReportRead(ReadKNET(path, rec, ui), ui));
  EXPECT_TRUE(StartsWith(ui.OnlyMessage(), "Failed to read " + path + " (Err#62"));
}

TEST(Knet, CutAnywhereTheReadEndsInOneMessageOrSucceeds) {
  std::string whole = KnetText({.counts = Ramp(16, 0)});
  TempDir dir;
  dir.Write("C.ns", KnetText({.counts = Ramp(16, 0)}));
  for (std::size_t n = 0; n < whole.size(); n += 3) {
    std::string path = dir.Write("C.ew", whole.substr(0, n));
    StrongRecord rec;
    ScriptedUi ui;
    bool ok = ReportRead(ReadKNET(path, rec, ui), ui);
    EXPECT_EQ(ui.messages.size(), ok ? 0u : 1u) << n;
    if (ok) {
      EXPECT_EQ(rec.ChanCount, 2) << n;
    }
  }
}

// ---- Sibling lookup ----

TEST(Sibling, OpenedCaseFirstThenWrittenThenAnyCase) {
  TempDir dir;
  dir.Write("A.NS", "x");
  dir.Write("A.ns", "y");
  dir.Write("B.Ud", "z");
  std::string base = dir.File("A");
  EXPECT_EQ(FindSibling(base, ".ns", ".EW"), base + ".NS");
  EXPECT_EQ(FindSibling(base, ".ns", ".ew"), base + ".ns");
  EXPECT_EQ(FindSibling(base, ".ns", ".Ew"), base + ".ns");
  EXPECT_EQ(FindSibling(dir.File("B"), ".ud", ".EW"), dir.File("B.Ud"));
  EXPECT_EQ(FindSibling(dir.File("B"), ".ns", ".EW"), "");
  EXPECT_EQ(FindFileNoCase(dir.File("b.ud")), dir.File("B.Ud"));
  EXPECT_EQ(FindFileNoCase(dir.File("missing")), "");
  EXPECT_EQ(FindFileNoCase(""), "");
  std::filesystem::create_directory(dir.Path() / "C.NS");
  EXPECT_EQ(FindSibling(dir.File("C"), ".ns", ".ew"), "");  // a folder is not a file
}

}  // namespace
}  // namespace sism
