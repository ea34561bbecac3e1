#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "analysis/drivers.h"
#include "analysis/ensure_series.h"
#include "tests/support/scripted_ui.h"

namespace sism {
namespace {

constexpr double kPi = 3.14159265358979;

// A record of band-limited noise on channel 1 and copies or variants on the others.
AppState NoiseState(int32_t chans, int32_t n, int32_t fs = 100) {
  AppState s;
  StrongRecord& r = s.record;
  r.SampFreq = fs;
  r.DataCount = n;
  r.ChanCount = chans;
  r.RedimHeader(chans);
  r.RedimAcc(n, chans);
  std::mt19937 gen(7);
  std::normal_distribution<float> noise(0, 1);
  float prev = 0;
  for (int32_t i = 1; i <= n; ++i) {
    prev = 0.8f * prev + noise(gen);  // reddish, like ground motion
    for (int32_t ch = 1; ch <= chans; ++ch) r.Acc(i, ch) = prev * static_cast<float>(ch);
  }
  ComputePeaks(r);
  return s;
}

TEST(FourierStretch, FollowsTheChosenTimeRange) {
  AppState s = NoiseState(1, 6000);
  s.calc.FourDurationType = 1;
  s.graph.Axis[AxisTime].Min = 10;
  s.graph.Axis[AxisTime].Max = 20;
  Stretch st = FourierStretch(s.record, s.calc, s.graph);
  EXPECT_EQ(st.start, 1001);
  EXPECT_EQ(st.length, 1000);
  s.graph.Axis[AxisTime].Max = 200;  // beyond the record: cut to its end
  st = FourierStretch(s.record, s.calc, s.graph);
  EXPECT_EQ(st.length, 5000);
  s.calc.FourDurationType = 2;
  s.calc.FourStart = 30;
  s.calc.FourLength = 0.1f;  // 10 samples, below 16: to the end of the record
  st = FourierStretch(s.record, s.calc, s.graph);
  EXPECT_EQ(st.start, 3001);
  EXPECT_EQ(st.length, 3000);
  s.calc.FourDurationType = 0;
  st = FourierStretch(s.record, s.calc, s.graph);
  EXPECT_EQ(st.start, 1);
  EXPECT_EQ(st.length, 6000);
}

TEST(ResponsePeriods, CountAndSpacing) {
  CalcParams c;
  GraphSettings g;
  g.Axis[AxisPeriod].Log = false;
  g.Axis[AxisPeriod].Min = 0;
  g.Axis[AxisPeriod].Max = 5;
  c.RespSteps = 1;  // too few: 100 periods
  std::vector<float> t = ResponsePeriods(c, g);
  ASSERT_EQ(t.size(), 100u);
  EXPECT_FLOAT_EQ(t[0], 0.05f);
  EXPECT_FLOAT_EQ(t[1], 0.10f);
  EXPECT_FLOAT_EQ(t[99], 5.00f);
  g.Axis[AxisPeriod].Log = true;
  g.Axis[AxisPeriod].Min = 0.02f;
  c.RespSteps = 120;
  t = ResponsePeriods(c, g);
  ASSERT_EQ(t.size(), 120u);
  EXPECT_NEAR(t.front(), 0.02f, 1e-6);
  EXPECT_NEAR(t.back(), 5.0f, 1e-5);
  EXPECT_NEAR(t[1] / t[0], t[119] / t[118], 1e-4);  // even in logarithm
}

TEST(ResponseDriver, NormalisedAccelerationTendsToOneAtShortPeriods) {
  AppState s = NoiseState(2, 3000);
  s.calc.RespNormalize = true;
  s.graph.Axis[AxisPeriod].Log = true;
  s.graph.Axis[AxisPeriod].Min = 0.005f;
  s.graph.Axis[AxisPeriod].Max = 5;
  test::ScriptedUi ui;
  RunResponseDriver(s, ui);
  const ResponseData& r = s.series.response;
  ASSERT_EQ(r.NP, 120);
  for (int32_t ch = 1; ch <= 2; ++ch) EXPECT_NEAR(r.R(RespSA, ch, 1), 1.0f, 0.05f) << ch;
  EXPECT_NEAR(r.R(RespPSV, 1, 60), r.R(RespSA, 1, 60) * r.T[59] / 6.2831855f, 1e-6);
  EXPECT_EQ(ui.statusLog, std::vector<std::string>{"Computing response spectra..."});
  EXPECT_TRUE(ui.status.empty());
}

TEST(RelationDriver, DelayedCopyLagsAndCorrelatesAtItsDelay) {
  const int32_t n = 4096, delay = 20;  // 0.2 s at 100 Hz
  AppState s = NoiseState(2, n);
  for (int32_t i = n; i >= 1; --i) s.record.Acc(i, 2) = i > delay ? s.record.Acc(i - delay, 1) : 0.0f;
  ComputePeaks(s.record);
  s.calc.FourDurationType = 0;
  s.view.RelationPairs = {{1, 2}, {1, 1}};
  test::ScriptedUi ui;
  int32_t pending = RecalcFourier | RecalcResponse | RecalcRelations;
  RunAnalysisDrivers(s, pending, ui);
  EXPECT_EQ(pending & (RecalcFourier | RecalcResponse | RecalcRelations), 0);
  const FourierData& f = s.series.fourier;
  const RelationPair& p = s.series.relation.Pairs.at(0);
  // Phase of X minus phase of Y: 360 * f * delay, positive and growing below the first wrap.
  for (float hz : {0.5f, 1.0f, 2.0f}) {
    int32_t k = static_cast<int32_t>(std::lround(hz / f.DF)) + 1;
    EXPECT_NEAR(p.Phase[k - 1], 360.0 * f.Freq(k) * delay / 100.0, 8.0) << hz;
  }
  const int32_t M = f.NH / 2;
  int32_t best = 0;
  for (int32_t i = 1; i < 2 * M; ++i)
    if (p.CrossCorr[i] > p.CrossCorr[best]) best = i;
  EXPECT_EQ(std::abs(best - M), delay / 2) << "lag step is 2/fs";
  // A channel with itself: coherence 1, ratio 1, phase 0, zero-lag correlation 1.
  const RelationPair& self = s.series.relation.Pairs.at(1);
  for (int32_t k = 2; k < f.NH; k += 97) {
    EXPECT_NEAR(self.Coherence[k - 1], 1.0f, 1e-4) << k;
    EXPECT_NEAR(self.Ratio[k - 1], 1.0f, 1e-5);
    EXPECT_NEAR(self.Phase[k - 1], 0.0f, 1e-3);
  }
  EXPECT_NEAR(self.CrossCorr[M], 1.0f, 1e-4);
  EXPECT_FLOAT_EQ(self.RespRatio[10], 1.0f);
}

TEST(RelationDriver, ZeroDenominatorsGiveZero) {
  AppState s = NoiseState(2, 512);
  for (int32_t i = 1; i <= 512; ++i) s.record.Acc(i, 1) = 0;
  ComputePeaks(s.record);
  s.calc.FourDurationType = 0;
  s.view.RelationPairs = {{1, 2}};
  test::ScriptedUi ui;
  int32_t pending = RecalcRelations;
  ASSERT_NO_THROW(RunAnalysisDrivers(s, pending, ui));
  const RelationPair& p = s.series.relation.Pairs.at(0);
  for (float v : p.Ratio) ASSERT_EQ(v, 0.0f);
  for (float v : p.Coherence) ASSERT_EQ(v, 0.0f);
  for (float v : p.RespRatio) ASSERT_EQ(v, 0.0f);
  for (float v : p.CrossCorr) ASSERT_TRUE(std::isfinite(v));
}

TEST(FourierDriver, SineAmplitudeAndAutoCorrelation) {
  const int32_t n = 2048;
  AppState s = NoiseState(1, n);
  const double hz = 100.0 * 64 / n;  // exactly on a bin
  for (int32_t i = 1; i <= n; ++i)
    s.record.Acc(i, 1) = static_cast<float>(10 * std::sin(2 * kPi * hz * (i - 1) / 100));
  s.calc.FourDurationType = 0;
  s.calc.WindowWidth = 0;
  test::ScriptedUi ui;
  RunFourierDriver(s, ui);
  const FourierData& f = s.series.fourier;
  EXPECT_EQ(f.NH, 1024);
  EXPECT_FLOAT_EQ(f.Tp, 20.48f);
  // One-sided coefficient of amplitude 10 is 5, times Tp.
  EXPECT_NEAR(f.A(65, 1), 5 * 20.48, 1e-2);
  EXPECT_NEAR(f.A(10, 1), 0, 1e-2);
  EXPECT_FLOAT_EQ(f.Rc(1, 1), 1.0f);
  EXPECT_EQ(f.Rc.Rows(), 512);
}

TEST(IntegrationDriver, EveryMethodGivesFiniteMotion) {
  for (int32_t method : {0, 1, 2, 3, 4}) {
    AppState s = NoiseState(1, 1000);
    s.calc.IntegrationMethod = method;
    test::ScriptedUi ui;
    RunIntegrationDriver(s, ui);
    const MotionData& m = s.series.motion;
    ASSERT_EQ(m.V.Rows(), 1000) << method;
    EXPECT_TRUE(std::isfinite(m.PeakVel[0])) << method;
    EXPECT_TRUE(std::isfinite(m.PeakDisp[0])) << method;
    EXPECT_NE(m.PeakVel[0], 0.0f) << method;
    EXPECT_EQ(ui.statusLog.front(), "Integrating accelerations...");
  }
}

TEST(AnalysisDrivers, RunOnlyWhatIsPendingOrStale) {
  AppState s = NoiseState(1, 256);
  test::ScriptedUi ui;
  int32_t pending = 0;
  RunAnalysisDrivers(s, pending, ui);  // everything stale after a load
  EXPECT_EQ(ui.statusLog.size(), 4u);
  ui.statusLog.clear();
  pending = 0;
  RunAnalysisDrivers(s, pending, ui);
  EXPECT_TRUE(ui.statusLog.empty());
  pending = RecalcResponse;
  s.calc.RecalcFlags = RecalcResponse;
  RunAnalysisDrivers(s, pending, ui);
  EXPECT_EQ(ui.statusLog,
            (std::vector<std::string>{"Computing response spectra...", "Computing relations..."}));
  EXPECT_EQ(s.calc.RecalcFlags, 0);
}

TEST(AnalysisDrivers, KindsComputeOnlyWhatTheyShow) {
  AppState s = NoiseState(1, 256);
  test::ScriptedUi ui;
  int32_t pending = RecalcIntegration | RecalcFourier;
  s.calc.RecalcFlags = pending;
  EnsureSeries(s, 1, pending, ui);  // acceleration needs nothing computed
  EXPECT_TRUE(ui.statusLog.empty());
  EnsureSeries(s, 4, pending, ui);
  EXPECT_EQ(ui.statusLog, std::vector<std::string>{"Computing Fourier spectra..."});
  EXPECT_EQ(pending, RecalcIntegration);  // still waiting for a view that shows it
  EXPECT_EQ(s.calc.RecalcFlags, RecalcIntegration);
  EXPECT_FALSE(s.series.motionValid);
}

}  // namespace
}  // namespace sism

namespace sism {
namespace {

TEST(AnalysisDrivers, IncompleteRecordGivesEmptySeries) {
  AppState s;
  s.record.ChanCount = 3;  // counts without samples
  s.record.SampFreq = 100;
  s.record.DataCount = 4000;
  test::ScriptedUi ui;
  int32_t pending = kAllSeries;
  ASSERT_NO_THROW(RunAnalysisDrivers(s, pending, ui));
  EXPECT_EQ(s.series.motion.Count, 0);
  EXPECT_EQ(s.series.fourier.NH, 0);
  EXPECT_EQ(s.series.response.ChanCount, 0);
  EXPECT_TRUE(s.series.relation.Pairs.empty());
}

}  // namespace
}  // namespace sism
