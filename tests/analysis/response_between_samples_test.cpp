// The response driver with and without the peaks between samples, on a resonant sine and on the
// real CSMIP records, against an oscillator stepped finely by Runge-Kutta.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "analysis/drivers.h"
#include "load/pipeline.h"
#include "sismcalc/binding/calc.h"
#include "tests/support/fine_oscillator.h"
#include "tests/support/samples.h"
#include "tests/support/scripted_ui.h"

namespace sism {
namespace {

// The period the library's oscillator has: w is rounded to single precision.
double LibraryPeriod(float t) {
  return 2 * 3.14159265358979323846 / static_cast<float>(6.2831855f / t);
}

// Periods from t1 on, logarithmic up to 5 s.
void PeriodAxis(AppState& s, float t1) {
  s.graph.Axis[AxisPeriod].Log = true;
  s.graph.Axis[AxisPeriod].Min = t1;
  s.graph.Axis[AxisPeriod].Max = 5;
}

TEST(ResponseDriver, PeaksBetweenSamplesOnlyWhenAskedFor) {
  // 50 samples per second, a 0.08-second oscillator at resonance: four samples per cycle, the
  // response peaking midway between them.
  AppState s;
  StrongRecord& r = s.record;
  const int32_t n = 200;
  r.SampFreq = 50;
  r.DataCount = n;
  r.ChanCount = 1;
  r.RedimHeader(1);
  r.RedimAcc(n, 1);
  for (int32_t i = 1; i <= n; ++i)
    r.Acc(i, 1) =
        static_cast<float>(100 * std::sin(2 * 3.14159265358979323846 * ((i - 1) * 0.02 / 0.08 + 0.125)));
  ComputePeaks(r);
  PeriodAxis(s, 0.08f);
  test::ScriptedUi ui;
  const auto truth = test::SolveOscillatorFinely(LibraryPeriod(0.08f), 0.05, 0.02, r.Channel(1), n, 4000);

  ASSERT_TRUE(s.calc.RespPeaksBetweenSamples);
  RunResponseDriver(s, ui);
  const float between = s.series.response.R(RespSA, 1, 1);
  EXPECT_NEAR(between, truth.sa, 0.005 * truth.sa);
  EXPECT_NEAR(s.series.response.R(RespPSV, 1, 1), between * 0.08f / 6.2831855f, 1e-6 * between);

  // Off: the samples only, as RESPEC2 gives them, and far below the peak.
  s.calc.RespPeaksBetweenSamples = false;
  RunResponseDriver(s, ui);
  const float atSamples = s.series.response.R(RespSA, 1, 1);
  const std::vector<float>& t = s.series.response.T;
  const int32_t np = static_cast<int32_t>(t.size());
  std::vector<float> sd(t.size()), sv(t.size()), sa(t.size()), ve(t.size());
  const float h = s.calc.RespDamping * 0.01f, dt = 0.02f;
  ASSERT_EQ(
      calc::RESPEC2(&np, t.data(), &h, &n, &dt, r.Channel(1), sd.data(), sv.data(), sa.data(), ve.data()), 1);
  for (int32_t k = 1; k <= np; ++k) EXPECT_EQ(s.series.response.R(RespSA, 1, k), sa[k - 1]) << k;
  EXPECT_LT(atSamples, 0.85f * between);
}

// Worst relative miss of SA at periods up to 0.3 s against the fine solution.
double WorstShortPeriodMiss(AppState& s, test::ScriptedUi& ui) {
  RunResponseDriver(s, ui);
  const ResponseData& resp = s.series.response;
  const double dt = 1.0 / s.record.SampFreq;
  double worst = 0;
  for (int32_t ch = 1; ch <= s.record.ChanCount; ++ch)
    for (int32_t k = 1; k <= resp.NP && resp.T[k - 1] <= 0.3f; k += 3) {
      const auto truth = test::SolveOscillatorFinely(LibraryPeriod(resp.T[k - 1]), 0.05, dt,
                                                     s.record.Channel(ch), s.record.DataCount, 200);
      worst = std::max(worst, std::fabs(resp.R(RespSA, ch, k) / truth.sa - 1));
    }
  return worst;
}

TEST(ResponseDriver, CsmipRecordsAgreeWithTheFineSolutionAtShortPeriods) {
  SKIP_WITHOUT_SAMPLES();
  for (const char* name : {"dmg/CE89146.V2", "dmg/CE89146.V1", "dmg/NEWPORT.RAW"}) {
    for (int32_t ratio : {1, 4}) {  // as recorded (200 Hz) and every fourth sample (50 Hz)
      SCOPED_TRACE(testing::Message() << name << " decimated by " << ratio);
      AppState s;
      test::ScriptedUi ui;
      ASSERT_EQ(ReadAccFile(s, (test::SamplesDir() / name).string(), ui), 3) << ui.OnlyMessage();
      if (ratio > 1) DecimateRecord(s.record, ratio);
      PeriodAxis(s, 0.04f);
      s.calc.RespSteps = 60;
      EXPECT_LT(WorstShortPeriodMiss(s, ui), 0.01);
      if (ratio > 1) {
        // Between the samples is where the short-period peaks of these records lie.
        s.calc.RespPeaksBetweenSamples = false;
        EXPECT_GT(WorstShortPeriodMiss(s, ui), 0.05);
      }
    }
  }
}

}  // namespace
}  // namespace sism
