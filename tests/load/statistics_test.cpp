// Intensity sensor, intensity, peak ground acceleration, durations and the status text.
#include "load/statistics.h"

#include <gtest/gtest.h>

#include <cmath>

#include "sismcalc/binding/calc.h"
#include "tests/load/fake_records.h"

namespace sism {
namespace {

// Channel ch: a 2 Hz wave of amplitude 10 * ch gal over the whole record.
StrongRecord Waves(int32_t chans, int32_t steps = 1500) {
  StrongRecord r = test::MakeRecord(100, steps, chans);
  for (int32_t ch = 1; ch <= chans; ++ch)
    for (int32_t i = 1; i <= steps; ++i)
      r.Acc(i, ch) = static_cast<float>(10.0 * ch * std::sin(2 * M_PI * 2 * (i - 1) / 100.0 + ch));
  ComputePeaks(r);
  return r;
}

float Sijma(StrongRecord& r, int32_t first) {
  int32_t n = r.DataCount;
  float dt = 1.0f / r.SampFreq;
  return calc::SIJMA(&n, &dt, r.Channel(first), r.Channel(first + 1), r.Channel(first + 2));
}

struct SensorCase {
  int32_t chans;
  int32_t readerGroup;  // as the dispatcher left it
  int32_t refSensor;
  int32_t group;
};
class SensorTest : public ::testing::TestWithParam<SensorCase> {};

TEST_P(SensorTest, ChoosesTheSensorAndItsValues) {
  const SensorCase& c = GetParam();
  StrongRecord r = Waves(c.chans);
  r.JmaGroup = c.readerGroup;
  std::vector<float> durations;
  ComputeLoadStatistics(r, durations, c.refSensor);
  EXPECT_EQ(r.JmaGroup, c.group);
  if (c.group == 0) {
    EXPECT_EQ(r.JmaIntensity, 0.0f);
    float most = 0;
    for (int32_t ch = 1; ch <= c.chans; ++ch) most = std::max(most, std::fabs(r.Peak(ch)));
    EXPECT_EQ(r.PeakAcc, most);
  } else {
    const int32_t b = 3 * c.group - 2;
    EXPECT_FLOAT_EQ(r.JmaIntensity, Sijma(r, b));
    EXPECT_GT(r.JmaIntensity, 0.0f);
    EXPECT_EQ(r.PeakAcc,
              std::max({std::fabs(r.Peak(b)), std::fabs(r.Peak(b + 1)), std::fabs(r.Peak(b + 2))}));
  }
  ASSERT_EQ(durations.size(), static_cast<std::size_t>(c.chans));
}

INSTANTIATE_TEST_SUITE_P(Sensors, SensorTest,
                         ::testing::Values(SensorCase{3, 0, 1, 1},  // RefSensor 1 uses channels 1-3
                                           SensorCase{3, 0, 2, 0},  // 2 > 3 / 3: the reader's 0 stays
                                           SensorCase{3, 1, 2, 1},  // ... or the reader's 1
                                           SensorCase{6, 1, 2, 2},  // the second sensor: channels 4-6
                                           SensorCase{6, 2, 0, 2},  // 0: the reader's sensor
                                           SensorCase{6, 0, 0, 1},  // ... else the first
                                           SensorCase{2, 0, 0, 0},  // no sensor with two channels
                                           SensorCase{2, 0, 1, 0}, SensorCase{4, 0, -1, 1},
                                           SensorCase{3, 2, 5, 0}));  // a group past the channels is none

TEST(LoadStatistics, DurationsForEveryChannelAlsoWithoutSensor) {
  StrongRecord r = Waves(2);
  std::vector<float> durations{9, 9, 9, 9};
  ComputeLoadStatistics(r, durations, 1);
  ASSERT_EQ(durations.size(), 2u);
  int32_t n = r.DataCount;
  float dt = 0.01f;
  for (int32_t ch = 1; ch <= 2; ++ch) EXPECT_EQ(durations[ch - 1], calc::DURATION(&n, &dt, r.Channel(ch)));
}

TEST(LoadStatistics, AppendRecomputesDurationsOnly) {
  StrongRecord r = Waves(2);
  r.JmaGroup = 3;
  r.JmaIntensity = 4.5f;
  r.PeakAcc = 1;
  std::vector<float> durations;
  ComputeDurations(r, durations);
  EXPECT_EQ(durations.size(), 2u);
  EXPECT_EQ(r.JmaGroup, 3);
  EXPECT_EQ(r.JmaIntensity, 4.5f);
  EXPECT_EQ(r.PeakAcc, 1.0f);
}

// Strong motion from 9.5 to 10.5 s, the same on all three components: the 10-second
// windows each see half of it.
TEST(LoadStatistics, IntensityOfStrongMotionAcrossTenSeconds) {
  StrongRecord r = test::MakeRecord(100, 3000, 3);
  for (int32_t ch = 1; ch <= 3; ++ch)
    for (int32_t i = 1; i <= 3000; ++i) {
      double t = (i - 1) / 100.0;
      r.Acc(i, ch) = (t > 9.5 && t < 10.5) ? static_cast<float>(200 * std::sin(2 * M_PI * 2 * t)) : 0.0f;
    }
  ComputePeaks(r);
  std::vector<float> durations;
  ComputeLoadStatistics(r, durations, 1);
  int32_t n = 3000;
  float dt = 0.01f;
  const float windowed = calc::SIJMA10(&n, &dt, r.Channel(1), r.Channel(2), r.Channel(3));
  EXPECT_FLOAT_EQ(r.JmaIntensity, Sijma(r, 1));
  EXPECT_GT(r.JmaIntensity, windowed + 0.05f);
}

TEST(StatusParamsText, SummarisesTheRecord) {
  StrongRecord r = test::MakeRecord(100, 30000, 3);
  r.RecDate = "2011/03/11";
  r.RecTime = "14:46:18";
  r.SiteCode = "MYG004";
  r.SiteName = "Tsukidate";
  r.JmaGroup = 1;
  r.JmaIntensity = 6.64f;
  EXPECT_EQ(StatusParamsText(r),
            "2011/03/11 14:46:18 at MYG004: Tsukidate (I=6.6, 7) [100 Hz, 30,000 stps, 3 chs]");
  // The agency's rule: 4.6949 rounds to 4.695 and is cut to 4.6, in class 5-.
  r.JmaIntensity = 4.6949f;
  EXPECT_NE(StatusParamsText(r).find("(I=4.6, 5-)"), std::string::npos) << StatusParamsText(r);
  // No intensity sensor: no intensity, not a zero one.
  StrongRecord small = test::MakeRecord(50, 999, 1);
  EXPECT_EQ(StatusParamsText(small), " (I=\u2013) [50 Hz, 999 stps, 1 chs]");
}

}  // namespace
}  // namespace sism
