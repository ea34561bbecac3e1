// Real records through the whole open and append path.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "load/user_side.h"
#include "load/pipeline.h"
#include "load/statistics.h"
#include "sismcalc/binding/calc.h"
#include "tests/support/samples.h"
#include "tests/support/scripted_ui.h"

namespace sism {
namespace {

std::string Sample(const char* name) {
  return (test::SamplesDir() / name).string();
}

float Sijma(StrongRecord& r, int32_t first) {
  int32_t n = r.DataCount;
  float dt = 1.0f / static_cast<float>(r.SampFreq);
  return calc::SIJMA(&n, &dt, r.Channel(first), r.Channel(first + 1), r.Channel(first + 2));
}

TEST(RealRecords, KnetSetOpensAsOneSensor) {
  SKIP_WITHOUT_SAMPLES();
  AppState state;
  test::ScriptedUi ui;
  const std::string path = Sample("knet/AOM0011801241951.EW");
  ASSERT_EQ(ReadAccFile(state, path, ui), 3) << ui.OnlyMessage();
  StrongRecord& r = state.record;
  EXPECT_EQ(r.FileFormat, FormatKnet);
  EXPECT_EQ(r.SampFreq, 100);
  EXPECT_EQ(r.JmaGroup, 1);
  EXPECT_EQ(r.FilePath, Sample("knet/AOM0011801241951"));
  EXPECT_EQ(r.FileSize, static_cast<int64_t>(std::filesystem::file_size(path)));
  EXPECT_FLOAT_EQ(r.JmaIntensity, Sijma(r, 1));
  EXPECT_GT(r.PeakAcc, 1.0f);
  EXPECT_LT(r.PeakAcc, 10.0f);
  EXPECT_EQ(state.Durations.size(), 3u);
  EXPECT_NE(ui.statusParams.find("AOM001"), std::string::npos) << ui.statusParams;
  EXPECT_NE(ui.statusParams.find("[100 Hz, "), std::string::npos) << ui.statusParams;
}

TEST(RealRecords, KiknetOpensWithTheSurfaceSensorAndTakesAnAppend) {
  SKIP_WITHOUT_SAMPLES();
  AppState state;
  test::ScriptedUi ui;
  state.preproc.RefSensor = 2;
  ASSERT_EQ(ReadAccFile(state, Sample("kiknet/NGNH311106302345.EW2"), ui), 6) << ui.OnlyMessage();
  EXPECT_EQ(state.record.JmaGroup, 2);
  EXPECT_FLOAT_EQ(state.record.JmaIntensity, Sijma(state.record, 4));
  EXPECT_EQ(state.view.RelationPairs, (std::vector<std::pair<int32_t, int32_t>>{{4, 1}, {5, 2}, {6, 3}}));
  const float intensity = state.record.JmaIntensity;
  const int32_t steps = state.record.DataCount;

  state.preproc.PrefixCode = true;
  ASSERT_EQ(AppendAccFile(state, Sample("knet/AOM0011801241951.NS"), ui), 9) << ui.OnlyMessage();
  EXPECT_EQ(state.record.DataCount, steps);
  EXPECT_EQ(state.record.JmaIntensity, intensity);
  EXPECT_EQ(state.Durations.size(), 9u);
  EXPECT_EQ(state.record.Label(1).rfind("NGNH31 ", 0), 0u) << state.record.Label(1);
  EXPECT_EQ(state.record.Label(7).rfind("AOM001 ", 0), 0u) << state.record.Label(7);
  EXPECT_EQ(state.run.RecordFileCount, 2);
}

TEST(RealRecords, KiknetIntensityAndPeakAreTheSurfaceOnesUnlessTheBoreholeIsAskedFor) {
  SKIP_WITHOUT_SAMPLES();
  const struct {
    int32_t refSensor, group;
  } cases[] = {{PreProcParams{}.RefSensor, 2}, {1, 1}, {2, 2}};
  float peakAcc[3];
  for (int k = 0; k < 3; ++k) {
    AppState state;
    test::ScriptedUi ui;
    state.preproc.RefSensor = cases[k].refSensor;
    ASSERT_EQ(ReadAccFile(state, Sample("kiknet/NGNH311106302345.NS1"), ui), 6) << ui.OnlyMessage();
    StrongRecord& r = state.record;
    const int32_t b = 3 * cases[k].group - 2;
    EXPECT_EQ(r.JmaGroup, cases[k].group) << cases[k].refSensor;
    EXPECT_FLOAT_EQ(r.JmaIntensity, Sijma(r, b));
    EXPECT_EQ(r.PeakAcc, std::max({std::fabs(r.Peak(b)), std::fabs(r.Peak(b + 1)), std::fabs(r.Peak(b + 2))}));
    peakAcc[k] = r.PeakAcc;
  }
  EXPECT_GT(peakAcc[0], 3 * peakAcc[1]);  // 0.7 gal at the surface, 0.2 in the borehole
}

TEST(RealRecords, JmaCsvOpensWithoutADialogAndTheIntensityItHadAsGeneralCsv) {
  SKIP_WITHOUT_SAMPLES();
  AppState state;
  test::ScriptedUi ui;
  ASSERT_EQ(ReadAccFile(state, Sample("jma/Q4169D2004.csv"), ui), 3) << ui.OnlyMessage();
  EXPECT_EQ(ui.readDataDialogs, 0);
  EXPECT_EQ(state.record.FileFormat, FormatJmaCsv);
  EXPECT_EQ(state.record.JmaGroup, 1);
  // The same samples read through the CSV layout dialog (6 lines skipped, label line) gave 4.6659036.
  EXPECT_NEAR(state.record.JmaIntensity, 4.6659036f, 1e-5f);
  // As the agency publishes it: 4.6, class 5-.
  EXPECT_NE(ui.statusParams.find("(I=4.6, 5-)"), std::string::npos) << ui.statusParams;
}

TEST(RealRecords, PeerAtTwoHundredHertzIsDecimatedOntoAHundred) {
  SKIP_WITHOUT_SAMPLES();
  AppState state;
  test::ScriptedUi ui;
  ASSERT_EQ(ReadAccFile(state, Sample("knet/AOM0011801241951.UD"), ui), 3) << ui.OnlyMessage();
  StrongRecord peer;
  ASSERT_TRUE(ReportRead(ReadRecordFile(Sample("peer/RSN763_LOMAP_GIL067.AT2"), peer, ui), ui)) << ui.OnlyMessage();
  ASSERT_EQ(peer.SampFreq, 200);
  ASSERT_EQ(AppendAccFile(state, Sample("peer/RSN763_LOMAP_GIL067.AT2"), ui), 4) << ui.OnlyMessage();
  EXPECT_EQ(state.record.SampFreq, 100);
  // Low-passed at 50 Hz before every second sample is kept, and the status bar says so.
  EXPECT_NEAR(std::fabs(state.record.Peak(4)), std::fabs(peer.Peak(1)), 0.02f * std::fabs(peer.Peak(1)));
  EXPECT_NE(ui.status.find("channel 4 resampled from 200 Hz to 100 Hz"), std::string::npos) << ui.status;
  // 1989 and 2018: side by side, not aligned.
  EXPECT_NE(ui.status.find("not aligned in time"), std::string::npos) << ui.status;
}

}  // namespace
}  // namespace sism
