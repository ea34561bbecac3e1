#include <gtest/gtest.h>

#include "common/errors.h"
#include "record/strong_record.h"

namespace sism {
namespace {

StrongRecord Record(std::initializer_list<std::initializer_list<float>> channels, int32_t freq = 1) {
  StrongRecord r;
  r.SampFreq = freq;
  r.ChanCount = static_cast<int32_t>(channels.size());
  r.DataCount = static_cast<int32_t>(channels.begin()->size());
  r.RedimHeader(r.ChanCount);
  r.RedimAcc(r.DataCount, r.ChanCount);
  int32_t ch = 1;
  for (auto& c : channels) {
    int32_t i = 1;
    for (float v : c) r.Acc(i++, ch) = v;
    ++ch;
  }
  return r;
}

TEST(ComputePeaks, KeepsTheEarliestSampleWithItsSign) {
  StrongRecord r = Record({{1, -5, 5, 2}, {0, 0, 0, 0}, {3, 4, -4.5f, 0}});
  ComputePeaks(r);
  EXPECT_EQ(r.Peak(1), -5.0f);
  EXPECT_EQ(r.PeakStep(1), 2);
  EXPECT_EQ(r.Peak(2), 0.0f);
  EXPECT_EQ(r.PeakStep(2), 0);
  EXPECT_EQ(r.Peak(3), -4.5f);
  EXPECT_EQ(r.PeakStep(3), 3);
}

TEST(ComputePeaks, LooksOnlyAtStepsInUse) {
  StrongRecord r = Record({{1, 2, 9}});
  r.DataCount = 2;
  ComputePeaks(r);
  EXPECT_EQ(r.Peak(1), 2.0f);
}

TEST(RemoveMeanOffset, WindowAndAccumulation) {
  StrongRecord r = Record({{1, 3, 11, 13}}, 2);
  RemoveMeanOffset(r, 1);  // the first 2 steps: mean 2
  EXPECT_EQ(r.Offset(1), 2.0f);
  EXPECT_EQ(r.Acc(4, 1), 11.0f);
  EXPECT_EQ(r.Peak(1), 11.0f);
  for (int32_t seconds : {0, 10}) {  // whole record
    StrongRecord w = Record({{1, 3, 11, 13}}, 2);
    RemoveMeanOffset(w, seconds);
    EXPECT_EQ(w.Offset(1), 7.0f) << seconds;
    RemoveMeanOffset(w, seconds);  // nothing left to remove, nothing lost
    EXPECT_EQ(w.Offset(1), 7.0f);
    EXPECT_EQ(w.Acc(1, 1), -6.0f);
  }
  StrongRecord twice = Record({{1, 3, 11, 13}}, 2);
  RemoveMeanOffset(twice, 1);
  RemoveMeanOffset(twice, 0);  // remaining mean 5
  EXPECT_EQ(twice.Offset(1), 7.0f);
}

TEST(RemoveMeanOffset, OverflowIsAnError) {
  StrongRecord r = Record({{3e38f, 3e38f}});
  EXPECT_NO_THROW(RemoveMeanOffset(r, 0));  // the sum is kept in double precision
  StrongRecord inf = Record({{std::numeric_limits<float>::infinity(), 1}});
  EXPECT_THROW(RemoveMeanOffset(inf, 0), RuntimeError);
}

TEST(ClearRecord, KeepsOffsetAndCoef) {
  StrongRecord r = Record({{1, 2}, {3, 4}});
  r.Offset(2) = 5;
  r.Coef(1) = 6;
  ClearRecord(r);
  EXPECT_EQ(r.ChanCount, 0);
  EXPECT_EQ(r.DataCount, 0);
  EXPECT_EQ(r.DataCapacity(), 0);
  EXPECT_EQ(r.Offset(2), 5.0f);
  EXPECT_EQ(r.Coef(1), 6.0f);
  EXPECT_THROW(r.Label(1), RuntimeError);
}

TEST(StrongRecord, ChannelsAreContiguousAndGrowKeepingContents) {
  StrongRecord r = Record({{1, 2, 3}, {4, 5, 6}});
  EXPECT_EQ(r.Channel(2)[2], 6.0f);
  EXPECT_EQ(r.Channel(1) + 3, r.Channel(2));
  r.Label(2) = "EW";
  r.PreserveChannels(3);
  EXPECT_EQ(r.Acc(3, 2), 6.0f);
  EXPECT_EQ(r.Acc(3, 3), 0.0f);
  EXPECT_EQ(r.Label(2), "EW");
  try {
    r.Acc(4, 1);
    ADD_FAILURE();
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Number(), ErrSubscriptOutOfRange);
  }
  EXPECT_THROW(r.RedimAcc(2000000000, 9), RuntimeError);
}

TEST(NormalizeDateTime, AdvancesPastMidnightAndLeavesOtherTextAlone) {
  struct Case {
    const char* date;
    const char* time;
    int64_t add;
    const char* outDate;
    const char* outTime;
  } cases[] = {
      {"2018/01/24", "19:51:28", 15, "2018/01/24", "19:51:43"},
      {"1999/12/31", "23:59:50", 15, "2000/01/01", "00:00:05"},
      {"2024/02/28", "23:00:00", 3600, "2024/02/29", "00:00:00"},
      {"2024/03/01", "00:00:10", -20, "2024/02/29", "23:59:50"},
      {"2024/1/5", "1:02", 0, "2024/01/05", "01:02:00"},
      {"0000/00/00", "00:00", 15, "0000/00/00", "00:00"},  // not a date
      {"", "12:00:00", 5, "", "12:00:00"},
  };
  for (const auto& c : cases) {
    std::string d = c.date, t = c.time;
    NormalizeDateTime(d, t, c.add);
    EXPECT_EQ(d, c.outDate) << c.date << " " << c.time;
    EXPECT_EQ(t, c.outTime) << c.date << " " << c.time;
  }
}

}  // namespace
}  // namespace sism
