// A channel made of two others.
#include "load/new_channel.h"

#include <gtest/gtest.h>

#include "tests/load/fake_records.h"
#include "tests/support/scripted_ui.h"

namespace sism {
namespace {

class NewChannelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state.record = test::MakeRecord(100, 50, 2);
    state.record.JmaIntensity = 3.3f;
    state.record.PeakAcc = 7;
    state.Durations = {1.5f, 2.5f};
    state.view.LabelCopies = {"L1", "L2"};
    state.graph.CompCountMax = 9;
    state.series.motionValid = state.series.responseValid = true;
  }
  bool Create(SelChanValues v) {
    ui.onSelChan = [&, v](SelChanMode mode, const std::vector<std::string>& labels, SelChanValues& values) {
      mode_ = mode;
      shownLabels = labels;
      entry = values;
      values = v;
      return true;
    };
    return CreateNewChannel(state, ui);
  }
  AppState state;
  test::ScriptedUi ui;
  SelChanMode mode_ = SelChanMode::Orbit;
  std::vector<std::string> shownLabels;
  SelChanValues entry;
};

TEST_F(NewChannelTest, SumOfAChannelWithItself) {
  ASSERT_TRUE(Create({2, 2, 1, 1, "twice"}));
  EXPECT_EQ(mode_, SelChanMode::NewChannel);
  EXPECT_EQ(shownLabels, (std::vector<std::string>{"L1", "L2"}));
  EXPECT_EQ(entry.channelX, 1);
  EXPECT_EQ(entry.channelY, 1);
  EXPECT_EQ(entry.multiplierX, 0.0f);
  EXPECT_EQ(entry.multiplierY, 0.0f);
  EXPECT_EQ(entry.label, "");
  const StrongRecord& r = state.record;
  ASSERT_EQ(r.ChanCount, 3);
  EXPECT_EQ(r.Acc(10, 3), 2 * 200010.0f);
  EXPECT_EQ(r.Label(3), "twice");
  EXPECT_EQ(r.Peak(3), 2 * 200050.0f);
  EXPECT_EQ(r.PeakStep(3), 50);
  EXPECT_EQ(r.Offset(3), 0.0f);
  EXPECT_EQ(r.Coef(3), 0.0f);
  EXPECT_EQ(r.JmaIntensity, 3.3f);
  EXPECT_EQ(r.PeakAcc, 7.0f);
  ASSERT_EQ(state.Durations.size(), 3u);
  EXPECT_EQ(state.Durations[0], 1.5f);
  EXPECT_EQ(state.view.LabelCopies, (std::vector<std::string>{"L1", "L2", "twice"}));
  EXPECT_EQ(state.view.DrawChan, (std::vector<bool>{true, true, true}));
  EXPECT_FALSE(state.series.motionValid || state.series.responseValid);
}

TEST_F(NewChannelTest, DifferenceOfEqualChannelsIsZero) {
  ASSERT_TRUE(Create({1, 1, 1, -1, "zero"}));
  EXPECT_EQ(state.record.Peak(3), 0.0f);
  EXPECT_EQ(state.record.PeakStep(3), 0);
  EXPECT_EQ(state.Durations[2], state.Durations[2]);  // computed, not garbage
}

TEST_F(NewChannelTest, UnchangedMultipliersGiveZeros) {
  ASSERT_TRUE(Create({1, 1, 0, 0, ""}));
  EXPECT_EQ(state.record.Acc(25, 3), 0.0f);
}

TEST_F(NewChannelTest, DrawnOnlyWithinTheMaximum) {
  state.graph.CompCountMax = 2;
  ASSERT_TRUE(Create({1, 2, 0.5f, 0.5f, "mean"}));
  EXPECT_EQ(state.view.DrawChan, (std::vector<bool>{true, true, false}));
  EXPECT_EQ(state.view.DrawnCount, 2);
  EXPECT_FLOAT_EQ(state.record.Acc(1, 3), 150001.0f);
}

TEST_F(NewChannelTest, CancelOrChannelsOutsideTheRecordChangeNothing) {
  EXPECT_FALSE(CreateNewChannel(state, ui));  // cancelled
  EXPECT_FALSE(Create({3, 1, 1, 1, "x"}));
  EXPECT_FALSE(Create({1, 0, 1, 1, "x"}));
  EXPECT_EQ(state.record.ChanCount, 2);
  EXPECT_TRUE(state.series.motionValid);
  state.record = StrongRecord();
  EXPECT_FALSE(Create({1, 1, 1, 1, "x"}));
}

}  // namespace
}  // namespace sism
