// The residual check on the bi-linear and parabola baselines: a fit that leaves the record drifting
// at its end gives way to the linear baseline, and the status bar says why.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "analysis/drivers.h"
#include "sismcalc/binding/calc.h"
#include "tests/support/scripted_ui.h"

namespace sism {
namespace {

constexpr double kPi = 3.14159265358979;

// 60 s at 100 Hz of shaking from 10 s to 15 s, then from 40 s on a slow sway of the baseline that
// the rear window of the fit sees only in part.
AppState Drifting(double sway) {
  AppState s;
  StrongRecord& r = s.record;
  const int32_t n = 6000;
  r.SampFreq = 100;
  r.DataCount = n;
  r.ChanCount = 1;
  r.RedimHeader(1);
  r.RedimAcc(n, 1);
  r.Label(1) = "EW";
  for (int32_t i = 1; i <= n; ++i) {
    const double t = (i - 1) * 0.01;
    double a = 0;
    if (t >= 10 && t < 15) a += 50 * std::sin(2 * kPi * (t - 10) / 0.5) * std::sin(kPi * (t - 10) / 5);
    if (t >= 40) a += sway * std::sin(2 * kPi * (t - 40) / 40);
    r.Acc(i, 1) = static_cast<float>(a);
  }
  ComputePeaks(r);
  return s;
}

struct Result {
  std::vector<float> v, d;
  std::string note;
};

Result Integrate(AppState& s, int32_t method) {
  s.calc.IntegrationMethod = method;
  test::ScriptedUi ui;
  RunIntegrationDriver(s, ui);
  const MotionData& m = s.series.motion;
  return {std::vector<float>(m.V.Column(1), m.V.Column(1) + m.Count),
          std::vector<float>(m.D.Column(1), m.D.Column(1) + m.Count), m.BaselineNote};
}

double FinalOverPeak(const std::vector<float>& x) {
  double peak = 0;
  for (float v : x) peak = std::max(peak, std::fabs(double{v}));
  return std::fabs(x.back()) / peak;
}

TEST(BaselineResidual, DriftingFitGivesTheLinearBaseline) {
  AppState s = Drifting(0.4);
  const Result linear = Integrate(s, 1);
  for (int32_t method : {2, 3}) {
    SCOPED_TRACE(testing::Message() << "method " << method);
    // What the fit alone leaves: a drift at the end, though its peak stays within twice the linear's.
    const int32_t n = 6000, lib = method + 1;
    const float dt = 0.01f;
    std::vector<float> v(n), d(n);
    calc::INTEGTRA(&n, &dt, s.record.Channel(1), v.data(), d.data(), &lib, &s.calc.TimeFront,
                   &s.calc.TimeRear);
    const double fv = FinalOverPeak(v), fd = FinalOverPeak(d);
    ASSERT_TRUE(fv > 0.05 || fd > 0.1) << fv << " " << fd;
    ASSERT_LT(std::fabs(calc::GETPEAK(&n, d.data())), 2 * std::fabs(calc::GETPEAK(&n, linear.d.data())));

    const Result checked = Integrate(s, method);
    EXPECT_EQ(checked.d, linear.d);
    EXPECT_EQ(checked.v, linear.v);
    EXPECT_EQ(checked.note,
              "Linear baseline used for EW: the baseline fit left a drift (final velocity over 5 % or final "
              "displacement over 10 % of its peak)");
  }
}

TEST(BaselineResidual, QuietEndKeepsTheFit) {
  AppState s = Drifting(0);
  for (int32_t method : {2, 3}) {
    const Result kept = Integrate(s, method);
    EXPECT_TRUE(kept.note.empty()) << method << ": " << kept.note;
  }
}

}  // namespace
}  // namespace sism
