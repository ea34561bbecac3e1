// Opening and appending files: every refusal and failure, decimation, merging, the
// channel-drawing selection and the bookkeeping around them.
#include "load/pipeline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "common/strings.h"
#include "load/statistics.h"
#include "tests/load/fake_records.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

using test::FakeFile;
using test::FakeReaders;

class PipelineTest : public ::testing::Test {
 protected:
  void SetUp() override { state.preproc.RemoveDC = false; }
  std::string File(const std::string& name, int32_t freq, int32_t steps, int32_t chans,
                   const std::string& code = "SITE") {
    return dir.Write(name, FakeFile(freq, steps, chans, code));
  }
  int32_t Open(const std::string& path) { return ReadAccFile(state, path, ui, FakeReaders()); }
  int32_t Append(const std::string& path) { return AppendAccFile(state, path, ui, FakeReaders()); }
  void MarkSeriesValid() {
    state.series.motionValid = state.series.fourierValid = true;
    state.series.responseValid = state.series.relationValid = true;
  }
  bool AnySeriesValid() const {
    return state.series.motionValid || state.series.fourierValid || state.series.responseValid ||
           state.series.relationValid;
  }
  test::TempDir dir;
  test::ScriptedUi ui;
  AppState state;
};

TEST_F(PipelineTest, ARecordOpensWholeUnlessTheSettingsFixTheWindow) {
  state.graph.Axis[AxisTime].Min = 10;
  state.graph.Axis[AxisTime].Max = 20;
  ASSERT_EQ(Open(File("long.dat", 100, 15001, 1)), 1);  // 150.01 s
  EXPECT_EQ(state.graph.Axis[AxisTime].Min, 0);
  EXPECT_EQ(state.graph.Axis[AxisTime].Max, 151);
  ASSERT_EQ(Open(File("short.dat", 100, 200, 1)), 1);  // never below the shortest window
  EXPECT_EQ(state.graph.Axis[AxisTime].Max, 5);
  state.graph.FixedTimeWindow = true;
  state.graph.Axis[AxisTime].Min = 10;
  state.graph.Axis[AxisTime].Max = 20;
  ASSERT_EQ(Open(File("long.dat", 100, 15001, 1)), 1);
  EXPECT_EQ(state.graph.Axis[AxisTime].Min, 10);
  EXPECT_EQ(state.graph.Axis[AxisTime].Max, 20);
}

TEST_F(PipelineTest, OpenRemembersWhatThePreprocessingDid) {
  state.preproc.RotateWave = true;
  state.preproc.RotateWaveAngle = 30;
  state.preproc.HighCutFreq = 20;
  state.preproc.Multipliers = "x";  // refused: not done, not told as done
  ASSERT_EQ(Open(File("a.dat", 100, 300, 3)), 3);
  EXPECT_EQ(state.view.Preprocessing, "high-cut 20 Hz, rotated 30\u00B0");
  state.preproc = PreProcParams{};
  state.preproc.RemoveDC = false;
  ASSERT_EQ(Open(File("a.dat", 100, 300, 3)), 3);
  EXPECT_EQ(state.view.Preprocessing, "");
}

TEST_F(PipelineTest, OpenReadsAndFinishesTheRecord) {
  const std::string path = File("a.dat", 100, 300, 2);
  MarkSeriesValid();
  state.calc.FourStart = 3;
  state.calc.RespStart = 4;
  state.calc.RespLength = 5;
  EXPECT_EQ(Open(path), 2);
  EXPECT_EQ(state.record.ChanCount, 2);
  EXPECT_EQ(state.record.Acc(300, 2), 200300.0f);
  EXPECT_EQ(state.run.RecordFileCount, 1);
  EXPECT_FALSE(AnySeriesValid());
  EXPECT_EQ(state.Durations.size(), 2u);
  EXPECT_EQ(state.view.LabelCopies, (std::vector<std::string>{"L1", "L2"}));
  EXPECT_EQ(state.calc.FourStart + state.calc.RespStart + state.calc.RespLength, 0.0f);
  // Status: cleared, "Reading" shown while reading, then restored; pointer back.
  ASSERT_GE(ui.statusLog.size(), 2u);
  EXPECT_EQ(ui.statusLog[0], "");
  EXPECT_EQ(ui.statusLog[1], Str(9000) + " - " + path);
  EXPECT_EQ(ui.status, "");
  EXPECT_EQ(ui.pointer, PointerDefault);
  EXPECT_EQ(ui.statusParams, StatusParamsText(state.record));
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PipelineTest, OpenMissingFileKeepsThePreviousRecord) {
  ASSERT_EQ(Open(File("a.dat", 100, 50, 2)), 2);
  EXPECT_EQ(Open(dir.File("missing.dat")), 0);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "File does not exist.");
  EXPECT_EQ(ui.messages[0].title, "ReadAccFile - " + ProgramTitle());
  EXPECT_EQ(ui.messages[0].icon, MsgIcon::Critical);
  EXPECT_EQ(state.record.ChanCount, 2);
  EXPECT_EQ(state.view.ViewChanCount, 2);
}

TEST_F(PipelineTest, OpenThroughABrokenLinkNamesTheFileAndWhy) {
  ASSERT_EQ(Open(File("a.dat", 100, 50, 2)), 2);
  const std::string dangling = dir.File("dangling.dat"), loop = dir.File("loop.dat");
  std::filesystem::create_symlink(dir.File("gone.dat"), dangling);
  std::filesystem::create_symlink(loop, loop);
  const struct {
    std::string path, reason;
  } cases[] = {
      {dangling, "dangling symbolic link to " + dir.File("gone.dat") + "."},
      {loop, "Too many levels of symbolic links."},
  };
  for (const auto& c : cases) {
    ui.messages.clear();
    EXPECT_EQ(Open(c.path), 0);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "File does not exist.\n" + c.path + ": " + c.reason);
    EXPECT_EQ(ui.messages[0].title, "ReadAccFile - " + ProgramTitle());
    EXPECT_EQ(state.record.ChanCount, 2);
  }
}

TEST_F(PipelineTest, OpenDialogCancelKeepsThePreviousRecord) {
  ASSERT_EQ(Open(File("a.dat", 100, 50, 2)), 2);
  state.preproc.ShowEachTime = true;
  int shown = 0;
  ui.onPreProc = [&](PreProcParams&) { return ++shown, false; };
  const int before = test::FakeReaderCalls();
  EXPECT_EQ(Open(File("b.dat", 100, 50, 1)), 0);
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(test::FakeReaderCalls(), before);
  EXPECT_EQ(state.record.ChanCount, 2);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PipelineTest, OpenDialogAcceptedAppliesTheNewSettings) {
  state.preproc.ShowEachTime = true;
  ui.onPreProc = [](PreProcParams& p) {
    p.Multipliers = "2";
    return true;
  };
  EXPECT_EQ(Open(File("a.dat", 100, 50, 1)), 1);
  EXPECT_EQ(state.record.Acc(1, 1), 200002.0f);
}

TEST_F(PipelineTest, OpenUnreadableFileKeepsTheRecordAndAllDoneToIt) {
  ASSERT_EQ(Open(File("a.dat", 100, 50, 3)), 3);
  // What the user did to the record since: a new channel's worth of edits, texts, a view.
  state.record.SiteName = "edited";
  state.record.Acc(1, 3) = 42;
  state.view.GraphKind = 3;
  state.view.DrawChan[1] = false;
  MarkSeriesValid();
  const std::string params = StatusParamsText(state.record);
  struct Bad {
    const char* what;
    std::string path;
    std::size_t messages;
  };
  const std::vector<Bad> bad = {
      {"no record in it", dir.Write("bad.dat", "not a record\n"), 0},
      {"binary junk", dir.Write("junk.dat", std::string("\x01\x02\x00\xff\x10 junk", 10)), 1},
      {"StationXML", dir.Write("st.xml", "<?xml version=\"1.0\"?>\n<FDSNStationXML schemaVersion=\"1.1\">\n"), 1},
  };
  for (const Bad& b : bad) {
    const std::size_t said = ui.messages.size();
    EXPECT_EQ(Open(b.path), 0) << b.what;
    EXPECT_EQ(ui.messages.size(), said + b.messages) << b.what;
    EXPECT_EQ(state.record.ChanCount, 3) << b.what;
    EXPECT_EQ(state.record.SiteName, "edited") << b.what;
    EXPECT_EQ(state.record.Acc(1, 3), 42.0f) << b.what;
    EXPECT_EQ(state.record.FilePath, dir.File("a.dat")) << b.what;
    EXPECT_EQ(state.view.GraphKind, 3) << b.what;
    EXPECT_FALSE(state.view.DrawChan[1]) << b.what;
    EXPECT_EQ(state.view.ViewChanCount, 3) << b.what;
    EXPECT_EQ(state.Durations.size(), 3u) << b.what;
    EXPECT_TRUE(AnySeriesValid()) << b.what;
    EXPECT_EQ(ui.statusParams, params) << b.what;
    EXPECT_EQ(ui.pointer, PointerDefault);
  }
}

TEST_F(PipelineTest, DeclinedLayoutKeepsTheRecord) {
  ASSERT_EQ(Open(File("b.dat", 100, 50, 2)), 2);
  EXPECT_EQ(ReadAccFile(state, dir.Write("c.dat", "1 2\n3 4\n"), ui), 0);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(state.record.FilePath, dir.File("b.dat"));
  EXPECT_EQ(state.record.ChanCount, 2);
}

struct SelectionCase {
  int32_t chans;
  int32_t compMax;
  int32_t refSensor;
  int32_t drawn;
  std::vector<std::pair<int32_t, int32_t>> pairs;
};
class DrawSelectionTest : public PipelineTest, public ::testing::WithParamInterface<SelectionCase> {};

TEST_P(DrawSelectionTest, OpenDrawsTheFirstChannelsAndPairsThem) {
  const SelectionCase& c = GetParam();
  state.graph.CompCountMax = c.compMax;
  state.preproc.RefSensor = c.refSensor;
  state.graph.OrbitComp1 = 5;
  state.graph.OrbitComp2 = 6;
  ASSERT_EQ(Open(File("a.dat", 100, 40, c.chans)), c.chans);
  EXPECT_EQ(state.view.DrawnCount, c.drawn);
  ASSERT_EQ(state.view.DrawChan.size(), static_cast<std::size_t>(c.chans));
  for (int32_t ch = 1; ch <= c.chans; ++ch) EXPECT_EQ(state.view.DrawChan[ch - 1], ch <= c.drawn) << ch;
  EXPECT_EQ(state.view.RelationPairs, c.pairs);
  EXPECT_EQ(state.graph.OrbitComp1, 2);
  EXPECT_EQ(state.graph.OrbitComp2, 1);
}

using P = std::vector<std::pair<int32_t, int32_t>>;
INSTANTIATE_TEST_SUITE_P(
    Counts, DrawSelectionTest,
    ::testing::Values(SelectionCase{1, 9, 1, 1, P{}}, SelectionCase{2, 9, 1, 2, P{{1, 2}}},
                      SelectionCase{3, 9, 1, 3, P{{3, 1}, {3, 2}}}, SelectionCase{3, 2, 1, 2, P{{1, 2}}},
                      SelectionCase{4, 9, 1, 4, P{{1, 2}}}, SelectionCase{5, 9, 1, 5, P{{1, 2}}},
                      SelectionCase{6, 9, 1, 6, P{{1, 4}, {2, 5}, {3, 6}}},
                      SelectionCase{6, 9, 2, 6, P{{4, 1}, {5, 2}, {6, 3}}},
                      SelectionCase{12, 9, 3, 9, P{{7, 1}, {8, 2}, {9, 3}}}, SelectionCase{2, 0, 1, 0, P{}}));

TEST_F(PipelineTest, KeepDrawChanKeepsTheChoiceForTheSameChannelCount) {
  ASSERT_EQ(Open(File("a.dat", 100, 40, 2)), 2);
  state.view.DrawChan = {false, true};
  state.view.DrawnCount = 1;
  state.view.RelationPairs = {{2, 1}};
  state.preproc.KeepDrawChan = true;
  state.calc.FourStart = 7;
  ASSERT_EQ(Open(File("b.dat", 100, 40, 2, "OTHER")), 2);
  EXPECT_EQ(state.view.DrawChan, (std::vector<bool>{false, true}));
  EXPECT_EQ(state.view.DrawnCount, 1);
  EXPECT_EQ(state.view.RelationPairs, (P{{2, 1}}));
  EXPECT_EQ(state.view.ViewChanCount, 2);
  EXPECT_EQ(state.calc.FourStart, 0.0f);
  // Another count resets it.
  ASSERT_EQ(Open(File("c.dat", 100, 40, 1)), 1);
  EXPECT_EQ(state.view.DrawChan, std::vector<bool>{true});
}

TEST_F(PipelineTest, WithoutKeepDrawChanTheChoiceIsReset) {
  ASSERT_EQ(Open(File("a.dat", 100, 40, 2)), 2);
  state.view.DrawChan = {false, true};
  ASSERT_EQ(Open(File("b.dat", 100, 40, 2)), 2);
  EXPECT_EQ(state.view.DrawChan, (std::vector<bool>{true, true}));
}

TEST_F(PipelineTest, BadMultipliersFromSettingsAreReportedInTheStatusBar) {
  state.preproc.Multipliers = "1:two";
  EXPECT_EQ(Open(File("a.dat", 100, 40, 1)), 1);
  EXPECT_EQ(state.record.Acc(1, 1), 100001.0f);
  EXPECT_EQ(ui.status, Str(9040) + "1:two");
  EXPECT_EQ(ui.pointer, PointerDefault);
}

// Appending.

TEST_F(PipelineTest, AppendAddsChannelsAndCountsFiles) {
  ASSERT_EQ(Open(File("a.dat", 100, 50, 1)), 1);
  const float intensity = state.record.JmaIntensity = 4.2f;
  MarkSeriesValid();
  EXPECT_EQ(Append(File("b.dat", 100, 50, 1, "B")), 2);
  EXPECT_EQ(state.record.ChanCount, 2);
  EXPECT_EQ(state.record.Acc(50, 2), 100050.0f);
  EXPECT_EQ(state.record.Labels(), (std::vector<std::string>{"L1", "L1"}));
  EXPECT_EQ(state.run.RecordFileCount, 2);
  EXPECT_EQ(state.Durations.size(), 2u);
  EXPECT_EQ(state.record.JmaIntensity, intensity);
  EXPECT_FALSE(AnySeriesValid());
  EXPECT_EQ(state.view.LabelCopies.size(), 2u);
  EXPECT_EQ(state.view.DrawChan, (std::vector<bool>{true, true}));
  EXPECT_EQ(ui.statusParams, StatusParamsText(state.record));
  EXPECT_EQ(ui.pointer, PointerDefault);
  EXPECT_EQ(Append(File("c.dat", 100, 50, 1)), 3);
  EXPECT_EQ(state.run.RecordFileCount, 3);
}

TEST_F(PipelineTest, AppendAtHalfTheRateHalvesTheRecord) {
  ASSERT_EQ(Open(File("a.dat", 100, 101, 1)), 1);
  EXPECT_EQ(Append(File("b.dat", 50, 40, 1)), 2);
  EXPECT_EQ(state.record.SampFreq, 50);
  EXPECT_EQ(state.record.DataCount, 50);
  // Every second sample from the first, low-passed first: a slow ramp passes unchanged
  // away from the ends.
  EXPECT_NEAR(state.record.Acc(25, 1), 100049.0f, 0.5f);
  EXPECT_NEAR(state.record.Acc(30, 1), 100059.0f, 0.5f);
  EXPECT_NEAR(state.record.Peak(1), 100099.0f, 10.0f);
  EXPECT_EQ(state.record.Acc(40, 2), 100040.0f);
  EXPECT_NE(ui.status.find("channel 1 resampled from 100 Hz to 50 Hz"), std::string::npos) << ui.status;
  EXPECT_EQ(state.record.Acc(41, 2), 0.0f);  // shorter: zero tail
}

TEST_F(PipelineTest, AppendAtDoubleTheRateDecimatesTheNewFile) {
  ASSERT_EQ(Open(File("a.dat", 100, 30, 1)), 1);
  EXPECT_EQ(Append(File("b.dat", 200, 100, 1)), 2);
  EXPECT_EQ(state.record.SampFreq, 100);
  EXPECT_EQ(state.record.DataCount, 30);  // the new 50 steps are cut to 30
  EXPECT_NEAR(state.record.Acc(20, 2), 100039.0f, 0.5f);
  EXPECT_NEAR(state.record.Acc(30, 2), 100059.0f, 0.5f);
  EXPECT_NE(ui.status.find("channel 2 resampled from 200 Hz to 100 Hz"), std::string::npos) << ui.status;
}

TEST_F(PipelineTest, AppendWithoutWholeRatioIsRefused) {
  ASSERT_EQ(Open(File("a.dat", 60, 30, 1)), 1);
  state.preproc.PrefixCode = true;
  MarkSeriesValid();
  const StrongRecord before = state.record;
  EXPECT_EQ(Append(File("b.dat", 100, 30, 1)), 1);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, Str(9030));
  EXPECT_EQ(ui.messages[0].title, "AppendAccFile - " + ProgramTitle());
  EXPECT_EQ(ui.messages[0].icon, MsgIcon::Critical);
  EXPECT_EQ(state.record.ChanCount, 1);
  EXPECT_EQ(state.record.SampFreq, 60);
  // Not even the label prefix is left behind, so a later append prefixes once.
  EXPECT_EQ(state.record.Labels(), before.Labels());
  EXPECT_EQ(state.run.RecordFileCount, 1);
  EXPECT_FALSE(AnySeriesValid());
  // 60 onto 100 is no better.
  EXPECT_EQ(Append(File("c.dat", 40, 30, 1)), 1);
  EXPECT_EQ(ui.messages.size(), 2u);
}

TEST_F(PipelineTest, AppendMissingFileOrCancelledDialogKeepsTheRecord) {
  ASSERT_EQ(Open(File("a.dat", 100, 30, 2)), 2);
  MarkSeriesValid();
  EXPECT_EQ(Append(dir.File("none.dat")), 2);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, Str(9020));
  EXPECT_EQ(ui.messages[0].title, "AppendAccFile - " + ProgramTitle());
  state.preproc.ShowEachTime = true;
  EXPECT_EQ(Append(File("b.dat", 100, 30, 1)), 2);
  EXPECT_EQ(state.record.ChanCount, 2);
  EXPECT_TRUE(AnySeriesValid());  // neither reached the reading
}

TEST_F(PipelineTest, AppendUnreadableFileKeepsTheRecordButInvalidatesSeries) {
  ASSERT_EQ(Open(File("a.dat", 100, 30, 2)), 2);
  MarkSeriesValid();
  EXPECT_EQ(Append(dir.Write("bad.dat", "nothing\n")), 2);
  EXPECT_EQ(state.record.ChanCount, 2);
  EXPECT_EQ(state.record.Acc(30, 2), 200030.0f);
  EXPECT_FALSE(AnySeriesValid());
  EXPECT_EQ(ui.statusParams, StatusParamsText(state.record));
  EXPECT_EQ(ui.status, "");
  EXPECT_EQ(ui.pointer, PointerDefault);
}

TEST_F(PipelineTest, PrefixCodeMarksEveryFilesChannelsOnce) {
  ASSERT_EQ(Open(File("a.dat", 100, 30, 2, "AAA")), 2);
  state.preproc.PrefixCode = true;
  ASSERT_EQ(Append(File("b.dat", 100, 30, 1, "BBB")), 3);
  EXPECT_EQ(state.record.Labels(), (std::vector<std::string>{"AAA L1", "AAA L2", "BBB L1"}));
  EXPECT_EQ(state.view.LabelCopies, state.record.Labels());
  ASSERT_EQ(Append(File("c.dat", 100, 30, 1, "CCC")), 4);
  EXPECT_EQ(state.record.Labels(), (std::vector<std::string>{"AAA L1", "AAA L2", "BBB L1", "CCC L1"}));
}

TEST_F(PipelineTest, AppendPreprocessesOnlyTheNewFile) {
  ASSERT_EQ(Open(File("a.dat", 100, 30, 1)), 1);
  state.preproc.Multipliers = "3";
  ASSERT_EQ(Append(File("b.dat", 100, 30, 1)), 2);
  EXPECT_EQ(state.record.Acc(1, 1), 100001.0f);
  EXPECT_EQ(state.record.Acc(1, 2), 300003.0f);
  EXPECT_EQ(state.record.Peak(2), 300090.0f);
}

TEST_F(PipelineTest, AppendReselectsDrawnChannelsButKeepsTheOrbitPair) {
  state.graph.CompCountMax = 2;
  ASSERT_EQ(Open(File("a.dat", 100, 30, 1)), 1);
  state.graph.OrbitComp1 = 1;
  state.graph.OrbitComp2 = 2;
  state.view.DrawChan = {false};
  state.calc.RespStart = 3;
  ASSERT_EQ(Append(File("b.dat", 100, 30, 2)), 3);
  EXPECT_EQ(state.view.DrawChan, (std::vector<bool>{true, true, false}));
  EXPECT_EQ(state.view.DrawnCount, 2);
  EXPECT_EQ(state.graph.OrbitComp1, 1);
  EXPECT_EQ(state.calc.RespStart, 0.0f);
  EXPECT_EQ(state.view.ViewChanCount, 3);
}

TEST(DecimateRecord, KeepsEveryRthSampleFromTheFirst) {
  StrongRecord r = test::MakeRecord(100, 10, 2);
  DecimateRecord(r, 3);
  EXPECT_EQ(r.SampFreq, 33);
  EXPECT_EQ(r.DataCount, 3);
  EXPECT_EQ(r.Acc(1, 2), 200001.0f);
  EXPECT_EQ(r.Acc(2, 2), 200004.0f);
  EXPECT_EQ(r.Acc(3, 2), 200007.0f);
  EXPECT_EQ(r.Peak(2), 200007.0f);
  EXPECT_EQ(r.PeakStep(2), 3);
}

TEST(ResampleRecord, WhatLiesAboveTheNewNyquistFrequencyDoesNotFoldBack) {
  // 200 Hz: 5 Hz on channel 1, 80 Hz on channel 2, which thinning alone turns into 20 Hz.
  StrongRecord r = test::MakeRecord(200, 4000, 2);
  for (int32_t i = 1; i <= r.DataCount; ++i) {
    const double t = (i - 1) / 200.0;
    r.Acc(i, 1) = static_cast<float>(std::sin(2 * M_PI * 5 * t));
    r.Acc(i, 2) = static_cast<float>(std::sin(2 * M_PI * 80 * t));
  }
  ResampleRecord(r, 2);
  EXPECT_EQ(r.SampFreq, 100);
  EXPECT_EQ(r.DataCount, 2000);
  float kept = 0, folded = 0;
  for (int32_t i = 500; i <= 1500; ++i) {  // away from the ends
    kept = std::max(kept, std::fabs(r.Acc(i, 1)));
    folded = std::max(folded, std::fabs(r.Acc(i, 2)));
  }
  EXPECT_NEAR(kept, 1.0f, 0.01f);
  EXPECT_LT(folded, 0.05f);
}

TEST(MergeRecord, CopiesTheChannelHeaders) {
  StrongRecord a = test::MakeRecord(100, 5, 1), b = test::MakeRecord(100, 8, 1);
  b.Offset(1) = 1.5f;
  b.Coef(1) = 2.5f;
  b.SiteCode = "X";
  MergeRecord(a, b, true);
  ASSERT_EQ(a.ChanCount, 2);
  EXPECT_EQ(a.DataCapacity(), 5);
  EXPECT_EQ(a.Label(2), "X L1");
  EXPECT_EQ(a.Offset(2), 1.5f);
  EXPECT_EQ(a.Coef(2), 2.5f);
  EXPECT_EQ(a.Peak(2), b.Peak(1));  // copied as read, from the longer record
  EXPECT_EQ(a.Acc(5, 2), 100005.0f);
}

}  // namespace
}  // namespace sism
