// The Butterworth band-pass of the preprocessing chain: the filter type chooses it, the pads can stay
// in the record with the start time moved back, and corners that make no filter are reported.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "load/preprocess.h"
#include "sismcalc/binding/calc.h"
#include "tests/support/scripted_ui.h"

namespace sism {
namespace {

constexpr double kPi = 3.14159265358979;

// 40 s at 100 Hz of a 0.05 Hz and a 2 Hz sine on two channels.
StrongRecord TwoSines() {
  StrongRecord r;
  r.SampFreq = 100;
  r.DataCount = 4000;
  r.ChanCount = 2;
  r.RedimHeader(2);
  r.RedimAcc(4000, 2);
  r.RecDate = "2024/01/01";
  r.RecTime = "00:00:30";
  for (int32_t ch = 1; ch <= 2; ++ch)
    for (int32_t i = 1; i <= 4000; ++i) {
      const double t = (i - 1) * 0.01;
      r.Acc(i, ch) =
          static_cast<float>(ch * (50 * std::sin(2 * kPi * 0.05 * t) + 10 * std::sin(2 * kPi * 2 * t)));
    }
  return r;
}

TEST(ButterworthPreprocess, ChosenFilterTypeRunsTheLibraryFilter) {
  for (int32_t type : {kFilterButterworthCausal, kFilterButterworthAcausal}) {
    SCOPED_TRACE(type);
    AppState s;
    s.preproc.LowCutFreq = 0.5f;
    s.preproc.RemoveDC = false;
    s.preproc.FilterType = type;
    s.preproc.FilterOrder = 3;
    StrongRecord r = TwoSines();
    const StrongRecord before = r;
    test::ScriptedUi ui;
    EXPECT_FALSE(Preprocess(s, r, ui, true).filterRejected);
    // What the library gives the channel alone.
    std::vector<float> want(before.Channel(2), before.Channel(2) + 4000);
    int32_t n = 4000, order = 3, passes = type == kFilterButterworthAcausal ? 2 : 1, keep = 0;
    float dt = 0.01f, fl = 0.5f, fh = 0;
    ASSERT_EQ(calc::BUTTER(&n, &dt, &fl, &fh, &order, &passes, &keep, want.data()), 4000);
    EXPECT_EQ(std::vector<float>(r.Channel(2), r.Channel(2) + 4000), want);
    EXPECT_EQ(r.DataCount, 4000);
    EXPECT_EQ(r.RecTime, "00:00:30");
    EXPECT_EQ(r.Peak(2), calc::GETPEAK(&n, want.data()));
  }
}

TEST(ButterworthPreprocess, KeptPadsLengthenTheRecordAndMoveItsStart) {
  StrongRecord r = TwoSines();
  // 1.5 * 4 / 0.5 = 12 s of pads, 6 s at each end.
  ASSERT_TRUE(ButterworthBandPass(r, 0.5f, 0, 4, true, true));
  EXPECT_EQ(r.DataCount, 4000 + 2 * 600);
  EXPECT_EQ(r.RecTime, "00:00:24");
  // The pads hold the filter's response only: small beside the 2 Hz sine that passes.
  EXPECT_LT(std::fabs(r.Acc(1, 1)), 0.5f);
  float peak = 0;
  for (int32_t i = 1500; i <= 4000; ++i) peak = std::fmax(peak, std::fabs(r.Acc(i, 1)));
  EXPECT_NEAR(peak, 10.0f, 0.3f);  // the 0.05 Hz sine is gone
}

TEST(ButterworthPreprocess, CornersWithoutAFilterAreReportedAndLeaveTheRecord) {
  AppState s;
  s.preproc.LowCutFreq = 80;  // above half the sampling rate
  s.preproc.RemoveDC = false;
  s.preproc.FilterType = kFilterButterworthAcausal;
  StrongRecord r = TwoSines();
  const StrongRecord before = r;
  test::ScriptedUi ui;
  EXPECT_TRUE(Preprocess(s, r, ui, true).filterRejected);
  EXPECT_EQ(r.Acc(100, 1), before.Acc(100, 1));
}

TEST(ButterworthPreprocess, FftFilterStaysTheDefault) {
  AppState s;
  EXPECT_EQ(s.preproc.FilterType, kFilterFft);
  EXPECT_EQ(s.preproc.FilterOrder, 4);
  s.preproc.LowCutFreq = 0.5f;
  s.preproc.RemoveDC = false;
  StrongRecord r = TwoSines(), fft = TwoSines();
  test::ScriptedUi ui;
  Preprocess(s, r, ui, true);
  BandPass(fft, 0.5f, 0);
  EXPECT_EQ(std::vector<float>(r.Channel(1), r.Channel(1) + 4000),
            std::vector<float>(fft.Channel(1), fft.Channel(1) + 4000));
}

}  // namespace
}  // namespace sism
