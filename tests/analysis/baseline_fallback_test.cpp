// The trapezoid rule's bi-linear and parabola baselines give way to the linear one, and say so,
// where they would let the displacement run away; elsewhere they stay as they are.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "analysis/drivers.h"
#include "load/pipeline.h"
#include "sismcalc/binding/calc.h"
#include "state/graph_kinds.h"
#include "tests/support/samples.h"
#include "tests/support/scripted_ui.h"

namespace sism {
namespace {

constexpr double kPi = 3.14159265358979;

// 60 s at 100 Hz: an offset of 0.3 gal, 5 s of shaking from 10 s on that leaves the ground
// moving at `velocityStep` cm/s, and a baseline shift of `shift` gal from 15 s on.
AppState ShakenRecord(double velocityStep, double shift) {
  AppState s;
  StrongRecord& r = s.record;
  const int32_t n = 6000;
  r.SampFreq = 100;
  r.DataCount = n;
  r.ChanCount = 1;
  r.RedimHeader(1);
  r.RedimAcc(n, 1);
  r.Label(1) = "NS";
  for (int32_t i = 1; i <= n; ++i) {
    const double t = (i - 1) * 0.01;
    double a = 0.3;
    if (t >= 10 && t < 15)
      a += 50 * std::sin(2 * kPi * (t - 10) / 0.5) * std::sin(kPi * (t - 10) / 5) + velocityStep / 5;
    if (t >= 15) a += shift;
    r.Acc(i, 1) = static_cast<float>(a);
  }
  ComputePeaks(r);
  return s;
}

// Where the two lines of the bi-linear fit meet, in samples, found here from the trapezoid
// velocity: the line through the origin and the centroid of the first nf samples, and the
// least-squares line through the last nr.
double BilinearBreak(const float* acc, int32_t n, double dt, int32_t nf, int32_t nr) {
  std::vector<double> v(static_cast<std::size_t>(n));
  double sum = acc[0] * dt / 2;
  for (int32_t i = 0; i < n; ++i) {
    if (i > 0) sum += (double{acc[i - 1]} + acc[i]) * dt / 2;
    v[i] = sum;
  }
  for (int32_t i = n - 1; i >= 0; --i) v[i] -= v[0];
  double sv = 0, sm = 0;
  for (int32_t m = 0; m < nf; ++m) sv += v[m], sm += m;
  const double s1 = sv / sm;
  double mm = 0, mv = 0, mmv = 0, mm2 = 0;
  for (int32_t m = n - nr; m < n; ++m)
    mm += m, mv += v[m], mmv += m * v[m], mm2 += static_cast<double>(m) * m;
  mm /= nr, mv /= nr, mmv /= nr, mm2 /= nr;
  const double b = (mmv - mm * mv) / (mm2 - mm * mm), a = mv - b * mm;
  return a / (s1 - b);
}

struct Integrated {
  std::vector<float> v, d;
  float peak = 0;
  std::string note, status;
};

Integrated Integrate(AppState& s, int32_t method) {
  s.calc.IntegrationMethod = method;
  test::ScriptedUi ui;
  RunIntegrationDriver(s, ui);
  const MotionData& m = s.series.motion;
  return {std::vector<float>(m.V.Column(1), m.V.Column(1) + m.Count),
          std::vector<float>(m.D.Column(1), m.D.Column(1) + m.Count), m.PeakDisp[0], m.BaselineNote, ui.status};
}

TEST(BaselineFallback, BilinearBreakBeforeTheStartGivesTheLinearBaseline) {
  AppState s = ShakenRecord(5, 0.01);
  // The lines meet tens of seconds before the record starts.
  EXPECT_LT(BilinearBreak(s.record.Channel(1), 6000, 0.01, 500, 2000), -1000);

  // Left to itself the fit is reset to the record's end and the displacement runs away.
  const int32_t n = 6000, bilinear = 3;
  const float dt = 0.01f;
  std::vector<float> v(n), d(n);
  EXPECT_EQ(calc::INTEGTRA(&n, &dt, s.record.Channel(1), v.data(), d.data(), &bilinear, &s.calc.TimeFront,
                           &s.calc.TimeRear),
            n);
  const Integrated linear = Integrate(s, 1);
  EXPECT_GT(std::fabs(calc::GETPEAK(&n, d.data())), 5 * std::fabs(linear.peak));

  const Integrated fallback = Integrate(s, 2);
  EXPECT_EQ(fallback.d, linear.d);
  EXPECT_EQ(fallback.note, "Linear baseline used for NS: the bi-linear break point falls outside the record");
  EXPECT_EQ(fallback.status, fallback.note);  // left in the status bar
  EXPECT_TRUE(linear.note.empty());
}

TEST(BaselineFallback, BilinearBreakInsideTheRecordIsKept) {
  // A baseline shift at 15 s and no lasting velocity: the lines meet at the shift.
  AppState s = ShakenRecord(0, 0.05);
  EXPECT_NEAR(BilinearBreak(s.record.Channel(1), 6000, 0.01, 500, 2000), 1500, 5);
  const int32_t n = 6000, bilinear = 3;
  const float dt = 0.01f;
  std::vector<float> v(n), d(n);
  calc::INTEGTRA(&n, &dt, s.record.Channel(1), v.data(), d.data(), &bilinear, &s.calc.TimeFront,
                 &s.calc.TimeRear);
  const Integrated kept = Integrate(s, 2);
  EXPECT_EQ(kept.d, d);
  EXPECT_TRUE(kept.note.empty());
  EXPECT_TRUE(kept.status.empty());
  // Here the bi-linear baseline does better than the straight line.
  EXPECT_LT(std::fabs(kept.peak), std::fabs(Integrate(s, 1).peak));
}

TEST(BaselineFallback, ParabolaThatRunsAwayGivesTheLinearBaseline) {
  AppState s = ShakenRecord(5, 0);
  const Integrated linear = Integrate(s, 1);
  const int32_t n = 6000, parabola = 4;
  const float dt = 0.01f;
  std::vector<float> v(n), d(n);
  calc::INTEGTRA(&n, &dt, s.record.Channel(1), v.data(), d.data(), &parabola, &s.calc.TimeFront,
                 &s.calc.TimeRear);
  ASSERT_GT(std::fabs(calc::GETPEAK(&n, d.data())), 2 * std::fabs(linear.peak));
  const Integrated fallback = Integrate(s, 3);
  EXPECT_EQ(fallback.d, linear.d);
  EXPECT_EQ(
      fallback.note,
      "Linear baseline used for NS: the baseline fit ran away (displacement over twice the linear one's)");

  // A parabola that stays near the line is kept.
  AppState quiet = ShakenRecord(0, 0.01);
  calc::INTEGTRA(&n, &dt, quiet.record.Channel(1), v.data(), d.data(), &parabola, &quiet.calc.TimeFront,
                 &quiet.calc.TimeRear);
  const Integrated kept = Integrate(quiet, 3);
  EXPECT_EQ(kept.d, d);
  EXPECT_TRUE(kept.note.empty());
}

TEST(BaselineFallback, ParabolaThatLeavesADriftGivesTheLinearBaseline) {
  // A wave of 8 s and 1 gal from 20 s on: the parabola's displacement stays below twice the line's
  // but is still moving at the end, the line's has come back.
  AppState s = ShakenRecord(0, 0);
  for (int32_t i = 2001; i <= 6000; ++i)
    s.record.Acc(i, 1) += static_cast<float>(std::sin(2 * kPi * ((i - 1) * 0.01 - 20) / 8));
  ComputePeaks(s.record);
  const Integrated linear = Integrate(s, 1);
  const int32_t n = 6000, parabola = 4;
  const float dt = 0.01f;
  std::vector<float> v(n), d(n);
  calc::INTEGTRA(&n, &dt, s.record.Channel(1), v.data(), d.data(), &parabola, &s.calc.TimeFront,
                 &s.calc.TimeRear);
  ASSERT_LT(std::fabs(calc::GETPEAK(&n, d.data())), 2 * std::fabs(linear.peak));
  auto endMean = [&](const std::vector<float>& x) {
    double sum = 0;
    for (int32_t i = n - 600; i < n; ++i) sum += x[i];
    return std::fabs(sum / 600);
  };
  ASSERT_GT(endMean(v), 0.1);
  ASSERT_GT(endMean(d), 0.5 * std::fabs(calc::GETPEAK(&n, d.data())));
  ASSERT_LT(endMean(linear.v), 0.1);
  const Integrated fallback = Integrate(s, 3);
  EXPECT_EQ(fallback.d, linear.d);
  EXPECT_EQ(fallback.note, "Linear baseline used for NS: the baseline leaves the displacement or velocity "
                           "drifting at the record's end");
  EXPECT_EQ(fallback.status, fallback.note);
}

TEST(BaselineFallback, StatusTextOfKindsDrawnFromTheMotion) {
  AppState s = ShakenRecord(5, 0.01);
  Integrate(s, 2);
  s.series.motionValid = true;
  const std::string note = s.series.motion.BaselineNote;
  EXPECT_EQ(KindStatusText(s, KindDisp), KindName(KindDisp) + " - " + note);
  EXPECT_EQ(KindStatusText(s, KindVelOrbit), KindName(KindVelOrbit) + " - " + note);
  EXPECT_EQ(KindStatusText(s, KindAcc), KindName(KindAcc));
  EXPECT_EQ(KindStatusText(s, KindSa), KindName(KindSa));
  s.series.motionValid = false;  // stale: the note may no longer hold
  EXPECT_EQ(KindStatusText(s, KindDisp), KindName(KindDisp));
}

TEST(BaselineFallback, NoBaselineRunsAwayOnTheSampleRecords) {
  SKIP_WITHOUT_SAMPLES();
  const char* names[] = {"knet/AOM0011801241951.NS",
                         "kiknet/NGNH311106302345.NS1",
                         "peer/RSN763_LOMAP_GIL067.AT2",
                         "smc/0111a.smc",
                         "smc/891018_1.sma-1.0444a.smc",
                         "cosmos/us1000hyfh_akbmrp_AKBMR--n.1000hyfh.BNZ.--.acc.V2c",
                         "dmg/CE89146.V1",
                         "dmg/CE89146.V2",
                         "dmg/NEWPORT.RAW",
                         "evt/BI008_MEMA-04823.evt",
                         "jma/Q4169D2004.csv",
                         "esm/HI.ARS1..HNE.D.20190728.160908.C.ACC.ASC",
                         "geonet/20161113_110259_WTMC_20.V1A",
                         "geonet/20161113_110259_WTMC_20.V2A",
                         "cwb/1-EAS.dat",
                         "unam/ACAC1709.191",
                         "bhrc/5520-1.V1",
                         "afad/20170720223109_0921.txt",
                         "usc/017m30bt.s0a"};
  for (const char* name : names) {
    SCOPED_TRACE(name);
    AppState s;
    test::ScriptedUi ui;
    ASSERT_GE(ReadAccFile(s, (test::SamplesDir() / name).string(), ui), 1) << ui.OnlyMessage();
    s.calc.IntegrationMethod = 1;
    RunIntegrationDriver(s, ui);
    const std::vector<float> linear = s.series.motion.PeakDisp;
    for (int32_t method : {2, 3}) {
      s.calc.IntegrationMethod = method;
      RunIntegrationDriver(s, ui);
      for (int32_t ch = 1; ch <= s.record.ChanCount; ++ch)
        EXPECT_LE(std::fabs(s.series.motion.PeakDisp[ch - 1]), 2 * std::fabs(linear[ch - 1]))
            << "method " << method << " channel " << ch;
      // Nor is any left drifting: the residual check keeps their baselines.
      EXPECT_EQ(s.series.motion.BaselineNote.find("drifting"), std::string::npos)
          << "method " << method << ": " << s.series.motion.BaselineNote;
    }
  }
}

}  // namespace
}  // namespace sism
