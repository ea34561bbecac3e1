// The preprocessing dialog's buttons and the channel pick lists.
#include <gtest/gtest.h>

#include "common/errors.h"
#include "common/strings.h"
#include "app/shell/forms/pick_chan_dialog.h"
#include "app/shell/forms/preproc_dialog.h"
#include "tests/support/scripted_ui.h"

namespace sism {
namespace {

PreProcParams Sample() {
  PreProcParams p;
  p.LowCutFreq = 0.1f;
  p.HighCutFreq = 25;
  p.RemoveDCSeconds = 3;
  p.RotateWaveAngle = 45;
  p.SkipSeconds = 1.5f;
  p.TimeLength = 60;
  p.Multipliers = "1:1:0.5";
  p.RefSensor = 2;
  p.RotateWave = true;
  p.RemoveDC = false;
  p.PrefixCode = true;
  return p;
}

TEST(PreProcDialog, ShowsTheParameters) {
  std::vector<PreProcParams> saved;
  PreProcDialog d(Sample(), [&](const PreProcParams& p) { saved.push_back(p); });
  EXPECT_EQ(d.controls.LowCutFreq, "0.1");
  EXPECT_EQ(d.controls.HighCutFreq, "25");
  EXPECT_EQ(d.controls.RemoveDCSeconds, "3");
  EXPECT_EQ(d.controls.RotateWaveAngle, "45");
  EXPECT_EQ(d.controls.SkipSeconds, "1.5");
  EXPECT_EQ(d.controls.TimeLength, "60");
  EXPECT_EQ(d.controls.Multipliers, "1:1:0.5");
  EXPECT_EQ(d.controls.RefSensor, "2");
  EXPECT_TRUE(d.controls.RotateWave);
  EXPECT_FALSE(d.controls.RemoveDC);
  EXPECT_TRUE(d.controls.PrefixCode);
  EXPECT_FALSE(d.OffsetSecondsEnabled());
  EXPECT_TRUE(d.AngleEnabled());
  d.controls.RemoveDC = true;
  d.controls.RotateWave = false;
  EXPECT_TRUE(d.OffsetSecondsEnabled());
  EXPECT_FALSE(d.AngleEnabled());
}

TEST(PreProcDialog, OkTakesTheBoxesAsNumbers) {
  PreProcParams p = Sample();
  PreProcDialog d(p, nullptr);
  d.controls.HighCutFreq = "12.5";
  d.controls.SkipSeconds = " 2 ";
  d.controls.RemoveDCSeconds = "abc";  // its box is disabled: the field keeps its value
  d.controls.KeepDrawChan = true;
  d.controls.Multipliers = "2:3";
  test::ScriptedUi ui;
  EXPECT_TRUE(d.Ok(p, ui));
  EXPECT_EQ(p.HighCutFreq, 12.5f);
  EXPECT_EQ(p.RemoveDCSeconds, 3);
  EXPECT_EQ(p.SkipSeconds, 2.0f);
  EXPECT_TRUE(p.KeepDrawChan);
  EXPECT_EQ(p.Multipliers, "2:3");
  EXPECT_TRUE(ui.messages.empty());
}

TEST(PreProcDialog, OkRefusesABoxOutsideItsRangeNamingIt) {
  struct Case {
    std::string PreProcDialog::Controls::*box;
    const char* text;
    const char* named;
  } cases[] = {
      {&PreProcDialog::Controls::LowCutFreq, "abc", "Low-cut frequency (Hz) takes 0 for none or a number above 0"},
      {&PreProcDialog::Controls::LowCutFreq, "-1", "Low-cut frequency (Hz)"},
      {&PreProcDialog::Controls::HighCutFreq, "1e9", "High-cut frequency (Hz)"},
      {&PreProcDialog::Controls::HighCutFreq, "50", "below 50 Hz (the Nyquist frequency of the record)"},
      {&PreProcDialog::Controls::RotateWaveAngle, "x", "Angle (deg.) takes a number from -360 to 360"},
      {&PreProcDialog::Controls::SkipSeconds, "-2", "Time to be skipped (s)"},
      {&PreProcDialog::Controls::TimeLength, "", "an empty box is not one"},
      {&PreProcDialog::Controls::RefSensor, "-1", "Sensor # for intensity (0: record's own) takes a whole number from 0"},
  };
  for (const Case& c : cases) {
    PreProcParams p = Sample();
    PreProcDialog d(p, nullptr, 50);  // a 100 Hz record on screen
    d.controls.*c.box = c.text;
    test::ScriptedUi ui;
    EXPECT_FALSE(d.Ok(p, ui)) << c.text;
    EXPECT_EQ(p.LowCutFreq, 0.1f);  // nothing taken: the dialog stays open
    ASSERT_EQ(ui.messages.size(), 1u) << c.text;
    EXPECT_NE(ui.messages[0].text.find(c.named), std::string::npos) << ui.messages[0].text;
    EXPECT_EQ(ui.messages[0].title, Str(16000));
    EXPECT_EQ(ui.beeps, 1);
  }
}

TEST(PreProcDialog, CornersBelowTheNyquistFrequencyAndZeroForNone) {
  PreProcParams p = Sample();
  PreProcDialog d(p, nullptr, 50);
  d.controls.HighCutFreq = "49.5";
  test::ScriptedUi ui;
  EXPECT_TRUE(d.Ok(p, ui));
  d.controls.LowCutFreq = "0";
  d.controls.HighCutFreq = "0";
  EXPECT_TRUE(d.Ok(p, ui));
  EXPECT_EQ(p.HighCutFreq, 0.0f);
  // Without a record the corners need only be above 0; defaults serve other records too.
  PreProcDialog none(p, [](const PreProcParams&) {});
  none.controls.HighCutFreq = "80";
  EXPECT_TRUE(none.Ok(p, ui));
  PreProcDialog onScreen(p, [](const PreProcParams&) {}, 25);
  onScreen.controls.HighCutFreq = "40";
  EXPECT_TRUE(onScreen.SetAsDefault(ui));
  EXPECT_EQ(onScreen.Refusal(false), "");
  EXPECT_NE(onScreen.Refusal(true), "");
  EXPECT_TRUE(ui.messages.empty());
}

TEST(PreProcDialog, OkRefusesMultipliersThatAreNotNumbers) {
  for (const char* text : {"1:x", "1::2", ":", "0.5;2"}) {
    PreProcParams p = Sample();
    PreProcDialog d(p, nullptr);
    d.controls.Multipliers = text;
    d.controls.HighCutFreq = "5";
    test::ScriptedUi ui;
    EXPECT_FALSE(d.Ok(p, ui)) << text;
    EXPECT_EQ(p.Multipliers, "1:1:0.5") << text;
    EXPECT_EQ(p.HighCutFreq, 25.0f) << text;  // nothing taken: the dialog stays open
    ASSERT_EQ(ui.messages.size(), 1u) << text;
    EXPECT_EQ(ui.messages[0].text, Str(16120));
  }
}

TEST(PreProcDialog, CrossedFilterCornersAreRefused) {
  PreProcParams p = Sample();
  PreProcDialog d(p, [](const PreProcParams&) { ADD_FAILURE() << "stored"; });
  d.controls.LowCutFreq = "10";
  d.controls.HighCutFreq = "10";
  test::ScriptedUi ui;
  EXPECT_FALSE(d.Ok(p, ui));
  EXPECT_FALSE(d.SetAsDefault(ui));
  EXPECT_EQ(p.HighCutFreq, 25.0f);  // nothing taken
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text, "The low-cut frequency must be lower than the high-cut frequency.");
  // Either corner alone is a plain low- or high-cut.
  d.controls.HighCutFreq = "0";
  EXPECT_TRUE(d.Ok(p, ui));
  EXPECT_EQ(p.LowCutFreq, 10.0f);
}

TEST(PreProcDialog, EmptyMultipliersAreAccepted) {
  PreProcParams p = Sample();
  PreProcDialog d(p, nullptr);
  d.controls.Multipliers = "";
  test::ScriptedUi ui;
  EXPECT_TRUE(d.Ok(p, ui));
  EXPECT_EQ(p.Multipliers, "");
}

TEST(PreProcDialog, SetAsDefaultStoresTheBoxesAndLeavesParams) {
  std::vector<PreProcParams> saved;
  const PreProcParams p = Sample();
  PreProcDialog d(p, [&](const PreProcParams& s) { saved.push_back(s); });
  d.controls.LowCutFreq = "0";
  d.controls.RefSensor = "3";
  d.controls.ShowEachTime = true;
  test::ScriptedUi ui;
  EXPECT_TRUE(d.SetAsDefault(ui));
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_EQ(saved[0].LowCutFreq, 0.0f);
  EXPECT_EQ(saved[0].HighCutFreq, 25.0f);
  EXPECT_EQ(saved[0].RefSensor, 3);
  EXPECT_TRUE(saved[0].ShowEachTime);
  EXPECT_EQ(saved[0].Multipliers, "1:1:0.5");
  d.controls.LowCutFreq = "x";
  EXPECT_FALSE(d.SetAsDefault(ui));
  d.controls.LowCutFreq = "0";
  d.controls.Multipliers = "a";
  EXPECT_FALSE(d.SetAsDefault(ui));
  EXPECT_EQ(saved.size(), 1u);
  EXPECT_EQ(ui.messages.size(), 2u);
  EXPECT_FALSE(PreProcDialog::Cancel());
}

TEST(PreProcDialog, SetAsDefaultThatCannotWriteSaysSo) {
  PreProcDialog d(Sample(), [](const PreProcParams&) { Raise(ErrPathFileAccess); });
  test::ScriptedUi ui;
  EXPECT_FALSE(d.SetAsDefault(ui));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].icon, MsgIcon::Critical);
  EXPECT_NE(ui.messages[0].text.find("75"), std::string::npos);
}

TEST(PickChanLists, EntriesStartIgnored) {
  PickChanLists l({"NS", "EW", "UD"});
  ASSERT_EQ(l.Ignoring().size(), 3u);
  EXPECT_EQ(l.Ignoring()[2].text, "CH03: UD");
  EXPECT_TRUE(l.Using().empty());
  EXPECT_FALSE(l.AddEnabled());
  EXPECT_FALSE(l.RemoveEnabled());
  EXPECT_FALSE(l.OkEnabled());
}

TEST(PickChanLists, AddAndRemoveMoveTheSelectionAlong) {
  PickChanLists l({"A", "B", "C"});
  l.SelectIgnoring(1);
  EXPECT_TRUE(l.AddEnabled());
  l.Add();                              // B
  EXPECT_EQ(l.IgnoringSelection(), 1);  // now C
  EXPECT_TRUE(l.OkEnabled());
  l.Add();  // C, the last: the selection goes back one
  EXPECT_EQ(l.IgnoringSelection(), 0);
  l.Add();  // A
  EXPECT_EQ(l.IgnoringSelection(), -1);
  EXPECT_FALSE(l.AddEnabled());
  EXPECT_EQ(l.Chosen(), (std::vector<int32_t>{2, 3, 1}));
  l.SelectUsing(0);
  l.Remove();  // B back to the end of the ignoring list
  EXPECT_EQ(l.UsingSelection(), 0);
  EXPECT_EQ(l.Ignoring()[0].text, "CH02: B");
  l.DoubleClickUsing(1);  // A
  EXPECT_EQ(l.Chosen(), std::vector<int32_t>{3});
  l.DoubleClickIgnoring(0);  // B
  EXPECT_EQ(l.Chosen(), (std::vector<int32_t>{3, 2}));
  l.SelectUsing(7);  // no such entry
  EXPECT_FALSE(l.RemoveEnabled());
}

TEST(PickChanLists, ChannelNumbersBeyondTwoDigits) {
  std::vector<std::string> labels(120, "X");
  PickChanLists l(labels);
  EXPECT_EQ(l.Ignoring()[8].text, "CH09: X");
  EXPECT_EQ(l.Ignoring()[109].text, "CH110: X");
  l.DoubleClickIgnoring(109);
  EXPECT_EQ(l.Chosen(), std::vector<int32_t>{110});
}

}  // namespace
}  // namespace sism

namespace sism {
namespace {

TEST(PreProcDialog, FilterTypeOrderAndPads) {
  PreProcParams p = Sample();
  p.FilterType = kFilterButterworthAcausal;
  p.FilterOrder = 6;
  PreProcDialog d(p, nullptr);
  EXPECT_EQ(d.controls.FilterType, kFilterButterworthAcausal);
  EXPECT_EQ(d.controls.FilterOrder, "6");
  EXPECT_TRUE(d.FilterOrderEnabled());
  d.controls.FilterKeepPad = true;
  d.controls.FilterOrder = "2";
  test::ScriptedUi ui;
  ASSERT_TRUE(d.Ok(p, ui));
  EXPECT_EQ(p.FilterOrder, 2);
  EXPECT_TRUE(p.FilterKeepPad);
  // Orders the filter cannot have are refused, for Butterworth only.
  for (const char* bad : {"0", "13", "2.5", "four"}) {
    d.controls.FilterOrder = bad;
    EXPECT_FALSE(d.Ok(p, ui)) << bad;
  }
  EXPECT_EQ(ui.messages.back().text, "The filter order must be a whole number from 1 to 12.");
  d.controls.FilterType = kFilterFft;
  EXPECT_FALSE(d.FilterOrderEnabled());
  EXPECT_TRUE(d.Ok(p, ui));
  EXPECT_EQ(p.FilterType, kFilterFft);
  // A stored type the list does not hold shows as the FFT filter.
  p.FilterType = 9;
  EXPECT_EQ(PreProcDialog(p, nullptr).controls.FilterType, kFilterFft);
}

}  // namespace
}  // namespace sism
