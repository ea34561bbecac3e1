// Peak scans and significant duration: tie rules, index ranges, empty input and edge records.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "sismcalc.h"

namespace {

int32_t Len(const std::vector<float>& v) {
  return static_cast<int32_t>(v.size());
}

TEST(Peaks, WholeRecordScans) {
  struct Case {
    std::vector<float> x;
    float max, peak;
  };
  const Case cases[] = {
      {{1, -3, 3}, 3, -3},  // equal magnitudes: the first wins, with its sign
      {{1, 3, -3}, 3, 3},  {{-5, -2, -9}, -2, -9}, {{4}, 4, 4}, {{0, 0, 0}, 0, 0}, {{2, 7, 7, -1}, 7, 7},
  };
  for (const Case& c : cases) {
    const int32_t n = Len(c.x);
    EXPECT_EQ(GETMAX(&n, c.x.data()), c.max);
    EXPECT_EQ(GETPEAK(&n, c.x.data()), c.peak);
  }
}

TEST(Peaks, VectorLengths) {
  const std::vector<float> x = {3, 0, -1}, y = {4, -6, 1}, z = {0, 0, 12};
  int32_t n = 2;
  EXPECT_FLOAT_EQ(GETVECPEAK2(&n, x.data(), y.data()), 6.0f);
  EXPECT_FLOAT_EQ(GETVECPEAK3(&n, x.data(), y.data(), z.data()), 6.0f);
  n = 3;
  EXPECT_FLOAT_EQ(GETVECPEAK3(&n, x.data(), y.data(), z.data()), std::sqrt(146.0f));
  const std::vector<float> neg = {-3}, neg2 = {-4};
  n = 1;
  EXPECT_FLOAT_EQ(GETVECPEAK2(&n, neg.data(), neg2.data()), 5.0f);  // never negative
}

TEST(Peaks, RangeScans) {
  struct Case {
    std::vector<float> x;
    int32_t i1, i2;
    float peak;
    int32_t peakPos;
    float max;
    int32_t maxPos;
  };
  const Case cases[] = {
      {{9, 1, -2, 2, 8}, 2, 4, -2, 3, 2, 4},
      {{9, 5, 1, 2, 8}, 2, 4, 5, 2, 5, 2},  // the first element of the range stands
      {{9, 5, 1, 2, 8}, 5, 5, 8, 5, 8, 5},
      {{-4, 4, 4}, 1, 3, -4, 1, 4, 2},
  };
  for (const Case& c : cases) {
    float value = -99;
    int32_t pos = -99;
    FINDPEAKAT(&c.i1, &c.i2, c.x.data(), &value, &pos);
    EXPECT_EQ(value, c.peak);
    EXPECT_EQ(pos, c.peakPos);
    FINDMAXAT(&c.i1, &c.i2, c.x.data(), &value, &pos);
    EXPECT_EQ(value, c.max);
    EXPECT_EQ(pos, c.maxPos);
  }
}

TEST(Peaks, EmptyInputReadsNothing) {
  // A null array shows that nothing is read.
  for (int32_t n : {0, -1}) {
    EXPECT_EQ(GETMAX(&n, nullptr), 0.0f);
    EXPECT_EQ(GETPEAK(&n, nullptr), 0.0f);
    EXPECT_EQ(GETVECPEAK2(&n, nullptr, nullptr), 0.0f);
    EXPECT_EQ(GETVECPEAK3(&n, nullptr, nullptr, nullptr), 0.0f);
  }
  struct Range {
    int32_t i1, i2;
  };
  for (const Range r : {Range{0, 3}, Range{-2, 1}, Range{4, 3}, Range{0, 0}}) {
    float value = -99;
    int32_t pos = -99;
    FINDPEAKAT(&r.i1, &r.i2, nullptr, &value, &pos);
    EXPECT_EQ(value, 0.0f);
    EXPECT_EQ(pos, 0);
    value = -99;
    pos = -99;
    FINDMAXAT(&r.i1, &r.i2, nullptr, &value, &pos);
    EXPECT_EQ(value, 0.0f);
    EXPECT_EQ(pos, 0);
  }
}

float Duration(const std::vector<float>& x, float dt) {
  const int32_t n = Len(x);
  return DURATION(&n, &dt, x.data());
}

TEST(Duration, SignificantDurationOfEdgeRecords) {
  const float dt = 0.01f;
  std::vector<float> spike(50, 0.0f);
  spike[19] = 3.0f;  // sample 20: i1 = 20, i2 = 19
  EXPECT_FLOAT_EQ(Duration(spike, dt), -dt);
  std::vector<float> first(50, 0.0f);
  first[0] = -2.0f;  // nothing before it stays below 95 %
  EXPECT_FLOAT_EQ(Duration(first, dt), -dt);

  // Constant records: i1 = INT(0.05 N) + 1, i2 = the last i below 0.95 N.
  struct Case {
    int32_t n, i1, i2;
  };
  for (const Case c : {Case{100, 6, 94}, Case{1000, 51, 949}, Case{333, 17, 316}, Case{1, 1, 0}}) {
    EXPECT_NEAR(Duration(std::vector<float>(c.n, 2.5f), dt), (c.i2 - c.i1) * dt, 1e-6) << c.n;
  }

  // Two equal bursts far apart: the duration spans from the first to the second.
  std::vector<float> bursts(1000, 0.0f);
  for (int i = 100; i < 110; ++i) bursts[i] = bursts[i + 700] = 1.0f;
  // E passes 5 % within the first burst (sample 102) and stays below 95 % up to sample 808.
  EXPECT_NEAR(Duration(bursts, dt), (808 - 102) * dt, 1e-5);
}

TEST(Duration, NoCrossingGivesZeroWhateverCameBefore) {
  const float dt = 0.01f;
  std::vector<float> record(400);
  for (size_t i = 0; i < record.size(); ++i) record[i] = static_cast<float>(i % 7) - 3.0f;
  ASSERT_GT(Duration(record, dt), 1.0f);
  EXPECT_EQ(Duration(std::vector<float>(400, 0.0f), dt), 0.0f);
  ASSERT_GT(Duration(record, dt), 1.0f);
  int32_t n = 0;
  EXPECT_EQ(DURATION(&n, &dt, nullptr), 0.0f);
  n = -5;
  EXPECT_EQ(DURATION(&n, &dt, nullptr), 0.0f);
}

}  // namespace
