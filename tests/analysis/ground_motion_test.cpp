// Which channels make the horizontal pairs and a flatfile row, and the record measures against
// the single-component kernel on a real record turned to every angle.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "analysis/drivers.h"
#include "analysis/ground_motion.h"
#include "load/pipeline.h"
#include "sismcalc/binding/calc.h"
#include "state/app_state.h"
#include "tests/support/noise_record.h"
#include "tests/support/samples.h"
#include "tests/support/scripted_ui.h"

namespace sism {
namespace {

TEST(GroundMotion, VerticalLabelsOfTheNetworks) {
  for (const char* v : {"U-D", "UD", "U-D(S)", "UD2", "UP", "Up", "Z", "HNZ", "BHZ", "00.HNZ", "V", "V2", "Vert",
                        "VERTICAL", "U"})
    EXPECT_TRUE(IsVerticalLabel(v)) << v;
  for (const char* h : {"N-S", "E-W(B)", "NS", "EW", "HNE", "HN1", "360", "90 D", "N28W", "S62W", "L1", "T3",
                        "CH3", "N", "E", "", "N90E", "HNZ2X"})
    EXPECT_FALSE(IsVerticalLabel(h)) << h;
}

StrongRecord Labelled(const std::vector<std::string>& labels, int32_t jmaGroup = 0) {
  StrongRecord r;
  r.ChanCount = static_cast<int32_t>(labels.size());
  r.RedimHeader(r.ChanCount);
  for (int32_t ch = 1; ch <= r.ChanCount; ++ch) r.Label(ch) = labels[static_cast<std::size_t>(ch - 1)];
  r.JmaGroup = jmaGroup;
  return r;
}

TEST(GroundMotion, PairsAndFlatfileComponentsFollowTheLabels) {
  using Pairs = std::vector<std::pair<int32_t, int32_t>>;
  struct Case {
    std::vector<std::string> labels;
    int32_t group;
    Pairs pairs;
    int32_t h1, h2, v;
  } cases[] = {
      {{"N-S", "E-W", "U-D"}, 1, {{1, 2}}, 1, 2, 3},
      // CSMIP puts the vertical between the horizontals; CWB and BHRC order theirs as they like.
      {{"90", "UP", "360"}, 1, {{1, 3}}, 1, 3, 2},
      {{"U", "N", "E"}, 1, {{2, 3}}, 2, 3, 1},
      {{"L1", "T3", "V2"}, 1, {{1, 2}}, 1, 2, 3},
      // Unnamed channels: the third is taken for the vertical.
      {{"CH1", "CH2", "CH3"}, 1, {{1, 2}}, 1, 2, 3},
      // KiK-net: a pair per sensor; the row shows the intensity sensor (the surface).
      {{"N-S(B)", "E-W(B)", "U-D(B)", "N-S(S)", "E-W(S)", "U-D(S)"}, 2, {{1, 2}, {4, 5}}, 4, 5, 6},
      {{"N", "E"}, 0, {{1, 2}}, 1, 2, 0},
      {{"N", "UD"}, 0, {}, 1, 0, 2},
      {{"67"}, 0, {}, 1, 0, 0},
      {{"HNZ"}, 0, {}, 0, 0, 1},
      // Two verticals in one group: no pair there, and the row takes what the labels say.
      {{"UD", "UP", "N"}, 1, {}, 3, 0, 1},
      // A group beyond the channels falls back to the first.
      {{"N-S", "E-W", "U-D", "X"}, 5, {{1, 2}}, 1, 2, 3},
  };
  for (const Case& c : cases) {
    const StrongRecord r = Labelled(c.labels, c.group);
    SCOPED_TRACE(c.labels.front() + "/" + std::to_string(c.labels.size()));
    EXPECT_EQ(HorizontalPairs(r), c.pairs);
    const ComponentSet set = FlatfileComponents(r);
    EXPECT_EQ(set.h1, c.h1);
    EXPECT_EQ(set.h2, c.h2);
    EXPECT_EQ(set.v, c.v);
  }
}

// RotD50 and RotD100 of a record's pair against the pseudo-acceleration of the pair turned to
// each of the 180 angles, one component at a time.
void ExpectRotDByTurning(AppState& app, int32_t x, int32_t y, const std::vector<float>& periods) {
  test::ScriptedUi ui;
  MetricsRequest request;
  request.periods = periods;
  request.stepsPerPeriod = ResponseStepsPerPeriod(app.calc);
  const RecordMetrics m = ComputeMetrics(app, {x, y}, {{x, y}}, request, ui);
  const PairMetrics* pair = m.Pair(x, y);
  ASSERT_NE(pair, nullptr);
  const StrongRecord& r = app.record;
  int32_t n = r.DataCount, np = static_cast<int32_t>(periods.size()), nstep = request.stepsPerPeriod;
  float dt = 1.0f / static_cast<float>(r.SampFreq), h = 0.05f;
  std::vector<float> turned(static_cast<std::size_t>(n)), sd(np), sv(np), sa(np), ve(np);
  std::vector<std::vector<double>> byAngle(periods.size());
  for (int t = 0; t < 180; ++t) {
    const double c = std::cos(t * std::numbers::pi / 180), s = std::sin(t * std::numbers::pi / 180);
    for (int32_t i = 1; i <= n; ++i)
      turned[static_cast<std::size_t>(i - 1)] = static_cast<float>(r.Acc(i, x) * c + r.Acc(i, y) * s);
    ASSERT_EQ(calc::RESPECSUB(&np, periods.data(), &h, &n, &dt, turned.data(), sd.data(), sv.data(), sa.data(),
                              ve.data(), &nstep),
              1);
    for (int32_t k = 0; k < np; ++k) {
      const double w = 2 * std::numbers::pi / periods[static_cast<std::size_t>(k)];
      byAngle[static_cast<std::size_t>(k)].push_back(w * w * sd[static_cast<std::size_t>(k)]);
    }
  }
  for (std::size_t k = 0; k < periods.size(); ++k) {
    SCOPED_TRACE(periods[k]);
    std::vector<double> v = byAngle[k];
    std::sort(v.begin(), v.end());
    // RotD's sub-steps of T/NSTEP miss up to 1 - cos(pi/NSTEP) of a peak that RESPECSUB finds exactly.
    const double tol = nstep > 0 ? 1 - std::cos(std::numbers::pi / nstep) + 2e-5 : 2e-5;
    EXPECT_NEAR(pair->rotd50[k], (v[89] + v[90]) / 2, tol * v.back());
    EXPECT_NEAR(pair->rotd100[k], v.back(), tol * v.back());
    // The components themselves lie between the two.
    EXPECT_LE(m.Channel(x)->psa[k], pair->rotd100[k] * (1 + 1e-6));
    EXPECT_LE(m.Channel(y)->psa[k], pair->rotd100[k] * (1 + 1e-6));
  }
}

TEST(GroundMotion, RotDOfARealRecordMatchesTheTurnedRecord) {
  SKIP_WITHOUT_SAMPLES();
  AppState app;
  test::ScriptedUi ui;
  ASSERT_GT(ReadAccFile(app, (test::SamplesDir() / "knet/AOM0011801241951.NS").string(), ui), 0);
  // At the samples only, and with the peaks between them as the program has it by default.
  app.calc.RespPeaksBetweenSamples = false;
  ExpectRotDByTurning(app, 1, 2, {0.05f, 0.2f, 1.0f, 3.0f});
  app.calc.RespPeaksBetweenSamples = true;
  ExpectRotDByTurning(app, 1, 2, {0.02f, 0.3f});
}

// RotD50 of a ground motion by brute force: the peak of the pair turned to each whole degree,
// the median of the 180 peaks.
double RotD50ByTurning(const float* x, const float* y, int32_t n) {
  std::vector<double> peaks;
  for (int t = 0; t < 180; ++t) {
    const double c = std::cos(t * std::numbers::pi / 180), s = std::sin(t * std::numbers::pi / 180);
    double peak = 0;
    for (int32_t i = 0; i < n; ++i) peak = std::max(peak, std::fabs(c * x[i] + s * y[i]));
    peaks.push_back(peak);
  }
  std::sort(peaks.begin(), peaks.end());
  return (peaks[89] + peaks[90]) / 2;
}

TEST(GroundMotion, FurtherMeasuresComeFromTheRecordAndItsIntegration) {
  AppState app;
  test::NoiseRecord(app, {"N", "E", "Z"}, 3000, 11, 30.0f);
  test::ScriptedUi ui;
  MetricsRequest request;
  request.durationLevel = 20;
  request.periods = {0.05f, 0.5f, 8.0f};
  const RecordMetrics m = ComputeMetrics(app, {1, 2, 3}, {{1, 2}}, request, ui);
  ASSERT_EQ(m.channels.size(), 3u);
  ASSERT_EQ(m.pairs.size(), 1u);
  const int32_t n = app.record.DataCount;
  const float dt = 1.0f / static_cast<float>(app.record.SampFreq);
  const MotionData& motion = app.series.motion;
  for (const ChannelMetrics& c : m.channels) {
    SCOPED_TRACE(c.ch);
    const float* acc = app.record.Channel(c.ch);
    const float* vel = motion.V.Column(c.ch);
    const ChannelMeasures direct = MeasureChannel(acc, vel, motion.D.Column(c.ch), n, dt, 20);
    for (const MeasureField& f : ChannelMeasureFields()) EXPECT_EQ(c.more.*f.field, direct.*f.field) << f.key;
    // The peak times point at the peaks the measures report.
    EXPECT_FLOAT_EQ(std::fabs(acc[static_cast<int32_t>(std::lround(c.more.tPga / dt))]), c.pga);
    EXPECT_FLOAT_EQ(std::fabs(vel[static_cast<int32_t>(std::lround(c.more.tPgv / dt))]), c.pgv);
    EXPECT_LE(c.more.uniformLevel, c.more.bracketedLevel + dt);
    EXPECT_GT(c.more.bracketedLevel, 0);
    // Strength reduction factors at every period for mu = 2 and 4, more for 4.
    ASSERT_TRUE(c.ductility.valid);
    ASSERT_EQ(c.ductility.ductilities, (std::vector<float>{2.0f, 4.0f}));
    for (std::size_t k = 0; k < 3; ++k) {
      EXPECT_GE(c.ductility.R(k, 0), 1.0f);
      EXPECT_GE(c.ductility.R(k, 1), c.ductility.R(k, 0) * 0.99f);
    }
  }
  const PairMeasures& p = m.pairs[0].more;
  EXPECT_NEAR(p.rotd50Pga, RotD50ByTurning(app.record.Channel(1), app.record.Channel(2), n), 1e-3 * p.rotd50Pga);
  EXPECT_NEAR(p.rotd50Pgv, RotD50ByTurning(motion.V.Column(1), motion.V.Column(2), n), 1e-3 * p.rotd50Pgv);
  const int32_t expected = p.svaMax >= 100 ? 4 : p.svaMax >= 50 ? 3 : p.svaMax >= 15 ? 2 : p.svaMax >= 5 ? 1 : 0;
  EXPECT_EQ(p.lpgmClass, expected);
  EXPECT_GT(p.svaMax, 0);
  // The effective amplitude spectrum of the pair, as the library gives it.
  const int32_t nf = std::size(kEasFrequencies);
  const float b = 40.0f;
  std::vector<float> eas(std::size(kEasFrequencies));
  ASSERT_EQ(calc::EAS(&n, &dt, app.record.Channel(1), app.record.Channel(2), &b, &nf, kEasFrequencies, eas.data()), 1);
  EXPECT_EQ(m.pairs[0].eas, eas);
  EXPECT_GT(eas[4], 0.0f);
}

TEST(GroundMotion, MeasuresOfASyntheticRecord) {
  AppState app;
  test::NoiseRecord(app, {"N", "E", "Z"}, 2000, 7, 30.0f);
  test::ScriptedUi ui;
  const RecordMetrics m = ComputeMetrics(app, {1, 2, 3, 9}, {{1, 2}, {2, 9}}, MetricsRequest{}, ui);
  ASSERT_EQ(m.channels.size(), 3u);  // channel 9 does not exist
  ASSERT_EQ(m.pairs.size(), 1u);
  EXPECT_TRUE(m.motionError.empty());
  for (const ChannelMetrics& c : m.channels) {
    EXPECT_FLOAT_EQ(c.pga, std::fabs(app.record.Peak(c.ch)));
    EXPECT_GT(c.pgv, 0);
    EXPECT_GT(c.pgd, 0);
    EXPECT_GT(c.arias, 0);
    EXPECT_GT(c.cav, 0);
    EXPECT_GT(c.d575, 0);
    EXPECT_GT(c.d595, c.d575);
    EXPECT_LT(c.d595, 20.0f);
    ASSERT_EQ(c.psa.size(), StandardMetricPeriods().size());
  }
  for (std::size_t k = 0; k < m.periods.size(); ++k) {
    const PairMetrics& p = m.pairs[0];
    EXPECT_LE(p.rotd50[k], p.rotd100[k]);
    EXPECT_GE(p.angle100[k], 0.0f);
    EXPECT_LT(p.angle100[k], 180.0f);
  }

  // A record too short to measure gives nothing rather than failing.
  AppState one;
  test::NoiseRecord(one, {"N"}, 1, 7, 30.0f);
  EXPECT_TRUE(ComputeMetrics(one, {1}, {}, MetricsRequest{}, ui).channels.empty());
}

}  // namespace
}  // namespace sism
