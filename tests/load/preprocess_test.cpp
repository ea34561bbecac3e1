// Each preprocessing step on its own, and the chain's order.
#include "load/preprocess.h"

#include <gtest/gtest.h>

#include "common/strings.h"
#include "sismcalc/binding/calc.h"
#include "tests/load/fake_records.h"
#include "tests/support/scripted_ui.h"

namespace sism {
namespace {

using test::MakeRecord;

struct SkipCase {
  float seconds;
  int32_t skipped;  // 0: unchanged
};
class SkipStartTest : public ::testing::TestWithParam<SkipCase> {};

TEST_P(SkipStartTest, DropsWholeStepsFromTwoOn) {
  StrongRecord r = MakeRecord(100, 50, 2);
  SkipStart(r, GetParam().seconds);
  const int32_t n = GetParam().skipped;
  EXPECT_EQ(r.DataCount, 50 - n);
  EXPECT_EQ(r.Acc(1, 2), 200001.0f + n);
  EXPECT_EQ(r.DataCapacity(), 50);
}

INSTANTIATE_TEST_SUITE_P(Steps, SkipStartTest,
                         ::testing::Values(SkipCase{0.01f, 0},   // one step is not skipped
                                           SkipCase{0.014f, 0},  // rounds to 1
                                           SkipCase{0.02f, 2}, SkipCase{0.125f, 12},  // halves to even
                                           SkipCase{0.375f, 38}, SkipCase{0.49f, 49},
                                           SkipCase{0.5f, 0},  // the whole record
                                           SkipCase{1e30f, 0}));

TEST(SkipStart, StartTimeAdvancesByWholeSeconds) {
  StrongRecord r = MakeRecord(10, 100, 1);
  r.RecDate = "2024/12/31";
  r.RecTime = "23:59:59";
  SkipStart(r, 1.5f);  // 15 steps; 1.5 s is taken as 2
  EXPECT_EQ(r.DataCount, 85);
  EXPECT_EQ(r.RecDate, "2025/01/01");
  EXPECT_EQ(r.RecTime, "00:00:01");
}

struct LengthCase {
  int32_t steps;
  float seconds;
  int32_t kept;
};
class LimitLengthTest : public ::testing::TestWithParam<LengthCase> {};

TEST_P(LimitLengthTest, KeepsTheLeadingSeconds) {
  StrongRecord r = MakeRecord(100, GetParam().steps, 1);
  LimitLength(r, GetParam().seconds);
  EXPECT_EQ(r.DataCount, GetParam().kept);
  EXPECT_EQ(r.DataCapacity(), GetParam().steps);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, LimitLengthTest,
    ::testing::Values(LengthCase{6000, 80, 6000}, LengthCase{6000, 30, 3000}, LengthCase{6000, 60, 6000},
                      LengthCase{6000, 45.5f, 4550}, LengthCase{6040, 60.3f, 6040},  // 60.4 s counts as 60
                      LengthCase{6060, 60.9f, 6060},  // 60.6 s counts as 61: never past the end
                      LengthCase{6000, 0.001f, 1}));  // never empty

StrongRecord Labelled(std::vector<std::string> labels, int32_t steps = 200) {
  StrongRecord r = MakeRecord(100, steps, static_cast<int32_t>(labels.size()));
  for (std::size_t i = 0; i < labels.size(); ++i) {
    r.Label(static_cast<int32_t>(i) + 1) = labels[i];
    for (int32_t k = 1; k <= steps; ++k)  // distinct, signed shapes per channel
      r.Acc(k, static_cast<int32_t>(i) + 1) = static_cast<float>((k % 17) - 8) * static_cast<float>(i + 1);
  }
  ComputePeaks(r);
  return r;
}

void ExpectRotatedBy(const StrongRecord& before, const StrongRecord& after, int32_t i, float angle) {
  std::vector<float> x(before.Channel(i), before.Channel(i) + before.DataCount);
  std::vector<float> y(before.Channel(i + 1), before.Channel(i + 1) + before.DataCount);
  int32_t n = before.DataCount;
  calc::ROTATE(&n, &angle, x.data(), y.data());
  for (int32_t k = 0; k < n; ++k) {
    ASSERT_FLOAT_EQ(after.Channel(i)[k], x[k]);
    ASSERT_FLOAT_EQ(after.Channel(i + 1)[k], y[k]);
  }
  for (int32_t ch : {i, i + 1}) {
    EXPECT_EQ(after.Peak(ch), calc::GETPEAK(&n, after.Channel(ch)));
    EXPECT_EQ(after.Acc(after.PeakStep(ch), ch), after.Peak(ch));
  }
}

TEST(RotateHorizontal, ToLabelledAzimuths) {
  StrongRecord r = Labelled({"045 N45E", "135 S45E", "UD"});
  const StrongRecord before = r;
  RotateHorizontal(r, 0);
  ExpectRotatedBy(before, r, 1, 45);
  EXPECT_EQ(r.Label(1), "000 N45E");
  EXPECT_EQ(r.Label(2), "090 S45E");
  EXPECT_EQ(r.Label(3), "UD");
  EXPECT_EQ(std::vector<float>(r.Channel(3), r.Channel(3) + 200),
            std::vector<float>(before.Channel(3), before.Channel(3) + 200));
}

TEST(RotateHorizontal, AzimuthsAcrossNorth) {
  StrongRecord r = Labelled({"300", "030", "UD"});  // 30 - 300 + 360 = 90
  const StrongRecord before = r;
  RotateHorizontal(r, 0);
  ExpectRotatedBy(before, r, 1, 300);
  EXPECT_EQ(r.Label(1), "000");
  EXPECT_EQ(r.Label(2), "090");
}

TEST(RotateHorizontal, PairsThatDoNotQualifyAreLeftAlone) {
  for (auto labels : std::vector<std::vector<std::string>>{
           {"000", "045", "UD"}, {"NS", "EW", "UD"}, {"090", "000", "UD"}, {"045", "135"}}) {
    StrongRecord r = Labelled(labels);
    const StrongRecord before = r;
    RotateHorizontal(r, 0);
    EXPECT_EQ(r.Labels(), before.Labels()) << labels[0];
    EXPECT_EQ(r.Acc(5, 1), before.Acc(5, 1)) << labels[0];
  }
}

TEST(RotateHorizontal, NorthEastPairRotatesByZero) {
  StrongRecord r = Labelled({"000", "090", "UD"});
  const StrongRecord before = r;
  RotateHorizontal(r, 0);
  ExpectRotatedBy(before, r, 1, 0);
  EXPECT_EQ(r.Labels(), before.Labels());
}

TEST(RotateHorizontal, ByAnAngleEveryFirstPairOfThree) {
  StrongRecord r = Labelled({"NS", "EW", "UD", "NS2", "EW2", "UD2", "X"});
  const StrongRecord before = r;
  RotateHorizontal(r, 45);
  ExpectRotatedBy(before, r, 1, -45);
  ExpectRotatedBy(before, r, 4, -45);
  EXPECT_EQ(r.Labels(),
            (std::vector<std::string>{"NS+045", "EW+045", "UD", "NS2+045", "EW2+045", "UD2", "X"}));
}

TEST(RotateHorizontal, ByAnAngleNeedsTwoChannels) {
  StrongRecord one = Labelled({"NS"});
  RotateHorizontal(one, 30);
  EXPECT_EQ(one.Label(1), "NS");
  StrongRecord two = Labelled({"NS", "EW"});
  const StrongRecord before = two;
  RotateHorizontal(two, 30);
  ExpectRotatedBy(before, two, 1, -30);
  EXPECT_EQ(two.Label(2), "EW+030");
}

struct MultCase {
  std::string text;
  int32_t chans;
  std::vector<float> factors;  // empty: refused, record unchanged
};
class ApplyMultipliersTest : public ::testing::TestWithParam<MultCase> {};

TEST_P(ApplyMultipliersTest, ScalesChannelsInTurn) {
  const MultCase& c = GetParam();
  StrongRecord r = MakeRecord(100, 10, c.chans);
  const StrongRecord before = r;
  EXPECT_EQ(ApplyMultipliers(r, c.text), !c.factors.empty()) << c.text;
  for (int32_t ch = 1; ch <= c.chans; ++ch) {
    float k = c.factors.empty() ? 1.0f : c.factors[static_cast<std::size_t>(ch - 1)];
    EXPECT_FLOAT_EQ(r.Acc(7, ch), before.Acc(7, ch) * k) << c.text << " ch " << ch;
    EXPECT_FLOAT_EQ(r.Peak(ch), before.Peak(ch) * k) << c.text << " ch " << ch;
  }
}

INSTANTIATE_TEST_SUITE_P(Texts, ApplyMultipliersTest,
                         ::testing::Values(MultCase{"1:1:0.5", 6, {1, 1, 0.5f, 1, 1, 0.5f}},
                                           MultCase{"2", 4, {2, 2, 2, 2}}, MultCase{"0", 3, {1, 1, 1}},
                                           MultCase{"-1:3", 3, {-1, 3, -1}},
                                           MultCase{" 2 : 1e1 ", 2, {2, 10}}, MultCase{"1:x", 2, {}},
                                           MultCase{"1::2", 3, {}}, MultCase{":", 2, {}},
                                           MultCase{"1,5", 2, {}}));

TEST(PickChannels, KeepsThePickedChannelsInOrder) {
  StrongRecord r = MakeRecord(100, 20, 4);
  r.JmaGroup = 1;
  for (int32_t ch = 1; ch <= 4; ++ch) {
    r.Offset(ch) = static_cast<float>(ch);
    r.Coef(ch) = static_cast<float>(10 * ch);
  }
  test::ScriptedUi ui;
  std::vector<std::string> shown;
  ui.onPickChan = [&](const std::vector<std::string>& labels, std::vector<int32_t>& chosen) {
    shown = labels;
    chosen = {4, 2, 4, 9, 0};  // repeats and numbers that are no channel are dropped
    return true;
  };
  EXPECT_TRUE(PickChannels(r, ui));
  EXPECT_EQ(shown, (std::vector<std::string>{"L1", "L2", "L3", "L4"}));
  ASSERT_EQ(r.ChanCount, 2);
  EXPECT_EQ(r.Labels(), (std::vector<std::string>{"L4", "L2"}));
  EXPECT_EQ(r.Acc(20, 1), 400020.0f);
  EXPECT_EQ(r.Acc(3, 2), 200003.0f);
  EXPECT_EQ(r.Peak(1), 400020.0f);
  EXPECT_EQ(r.PeakStep(2), 20);
  EXPECT_EQ(r.Offset(1), 4.0f);
  EXPECT_EQ(r.Coef(2), 20.0f);
  EXPECT_EQ(r.JmaGroup, 0);
}

TEST(PickChannels, CancelChangesNothing) {
  StrongRecord r = MakeRecord(100, 20, 3);
  r.JmaGroup = 1;
  test::ScriptedUi ui;  // cancels
  EXPECT_FALSE(PickChannels(r, ui));
  EXPECT_EQ(r.ChanCount, 3);
  EXPECT_EQ(r.JmaGroup, 1);
}

TEST(ConvertToMeter, SamplesAndPeaksInMetres) {
  StrongRecord r = MakeRecord(100, 10, 2);
  ConvertToMeter(r);
  EXPECT_FLOAT_EQ(r.Acc(10, 2), 2000.10f);
  EXPECT_FLOAT_EQ(r.Peak(1), 1000.10f);
}

TEST(BandPass, FiltersEveryChannelAndUpdatesItsPeak) {
  StrongRecord r = Labelled({"A", "B"}, 512);
  const StrongRecord before = r;
  BandPass(r, 0.5f, 10);
  for (int32_t ch = 1; ch <= 2; ++ch) {
    std::vector<float> x(before.Channel(ch), before.Channel(ch) + 512);
    int32_t n = 512;
    float dt = 0.01f, lo = 0.5f, hi = 10;
    calc::FILTER(&n, &dt, &lo, &hi, x.data());
    EXPECT_EQ(std::vector<float>(r.Channel(ch), r.Channel(ch) + 512), x);
    EXPECT_EQ(r.Peak(ch), calc::GETPEAK(&n, x.data()));
    EXPECT_EQ(r.Acc(r.PeakStep(ch), ch), r.Peak(ch));
  }
}

TEST(SetLengthUnit, RelabelsEveryAxisAndBack) {
  AppState s;
  for (int a = 1; a <= kAxisCount; ++a) s.graph.Axis[static_cast<std::size_t>(a)].Unit = "(s)";
  s.graph.Axis[4].Unit = "(cm/s/s)";
  s.graph.Axis[5].Unit = "(cm/s)";
  s.graph.Axis[6].Unit = "(cm)";
  s.graph.Axis[8].Unit = "(cm*cm/s)";
  s.graph.Axis[24].Unit = "(mm)";
  s.graph.Axis[2].Unit = "(Hz)";
  const GraphSettings original = s.graph;
  SetLengthUnit(s, 2);
  EXPECT_EQ(s.run.LengthUnit, 2);
  EXPECT_EQ(s.graph.Axis[4].Unit, "(m/s/s)");
  EXPECT_EQ(s.graph.Axis[5].Unit, "(m/s)");
  EXPECT_EQ(s.graph.Axis[6].Unit, "(m)");
  EXPECT_EQ(s.graph.Axis[8].Unit, "(m*m/s)");
  SetLengthUnit(s, 2);  // already metres
  EXPECT_EQ(s.graph.Axis[6].Unit, "(m)");
  SetLengthUnit(s, 1);
  EXPECT_EQ(s.run.LengthUnit, 1);
  for (int a = 1; a <= kAxisCount; ++a)
    EXPECT_EQ(s.graph.Axis[static_cast<std::size_t>(a)].Unit, original.Axis[static_cast<std::size_t>(a)].Unit)
        << a;
}

TEST(Preprocess, StepsRunInTheirOrder) {
  AppState s;
  s.preproc.SkipSeconds = 1;  // 100 steps first ...
  s.preproc.TimeLength = 5;   // ... then 500 of what is left
  s.preproc.Multipliers = "1:3";
  s.preproc.PickChannels = true;
  s.preproc.RemoveDC = true;
  s.preproc.RemoveDCSeconds = 0;
  s.preproc.ConvertToMeter = true;
  test::ScriptedUi ui;
  ui.onPickChan = [](const std::vector<std::string>&, std::vector<int32_t>& chosen) {
    chosen = {2};  // picked after scaling: keeps its factor 3
    return true;
  };
  StrongRecord r = MakeRecord(100, 1000, 2);
  PreprocessNotes notes = Preprocess(s, r, ui, true);
  EXPECT_FALSE(notes.multipliersRejected);
  SetLengthUnit(s, notes.lengthUnit);
  ASSERT_EQ(r.ChanCount, 1);
  EXPECT_EQ(r.DataCount, 500);
  // Samples 101..600 of channel 2, times 3; mean removed in centimetres, then metres.
  const float mean = 3.0f * (200000 + 350.5f);
  EXPECT_NEAR(r.Offset(1), mean, 0.5f);
  EXPECT_NEAR(r.Acc(1, 1), (3.0f * 200101 - mean) * 0.01f, 0.01f);
  EXPECT_NEAR(r.Acc(500, 1), (3.0f * 200600 - mean) * 0.01f, 0.01f);
  EXPECT_EQ(s.run.LengthUnit, 2);
}

TEST(Preprocess, OpenWithoutConversionShowsCentimetres) {
  AppState s;
  s.graph.Axis[6].Unit = "(cm)";
  s.preproc.ConvertToMeter = true;
  test::ScriptedUi ui;
  StrongRecord r = MakeRecord(100, 10, 1);
  SetLengthUnit(s, Preprocess(s, r, ui, true).lengthUnit);
  EXPECT_EQ(s.graph.Axis[6].Unit, "(m)");
  s.preproc.ConvertToMeter = false;
  StrongRecord next = MakeRecord(100, 10, 1);
  PreprocessNotes notes = Preprocess(s, next, ui, true);
  EXPECT_EQ(s.graph.Axis[6].Unit, "(m)");  // the caller applies the unit
  SetLengthUnit(s, notes.lengthUnit);
  EXPECT_EQ(s.graph.Axis[6].Unit, "(cm)");
  EXPECT_EQ(s.run.LengthUnit, 1);
}

TEST(Preprocess, AppendedChannelsTakeTheRecordsUnit) {
  AppState s;
  s.run.LengthUnit = 2;  // the open converted
  s.preproc.RemoveDC = false;
  test::ScriptedUi ui;
  StrongRecord r = MakeRecord(100, 10, 1);
  Preprocess(s, r, ui, false);
  EXPECT_FLOAT_EQ(r.Acc(1, 1), 1000.01f);
  s.run.LengthUnit = 1;
  s.preproc.ConvertToMeter = true;  // switched on after a centimetre open
  StrongRecord again = MakeRecord(100, 10, 1);
  EXPECT_EQ(Preprocess(s, again, ui, false).lengthUnit, 0);
  EXPECT_FLOAT_EQ(again.Acc(1, 1), 100001.0f);
  EXPECT_EQ(s.run.LengthUnit, 1);
}

TEST(Preprocess, BadMultipliersAreNotApplied) {
  AppState s;
  s.preproc.Multipliers = "2:abc";
  s.preproc.RemoveDC = false;
  test::ScriptedUi ui;
  StrongRecord r = MakeRecord(100, 10, 2);
  EXPECT_TRUE(Preprocess(s, r, ui, true).multipliersRejected);
  EXPECT_EQ(r.Acc(1, 1), 100001.0f);
  EXPECT_EQ(MultipliersRejectedText("2:abc"), Str(9040) + "2:abc");
}

TEST(Preprocess, PickingNeedsTwoChannels) {
  AppState s;
  s.preproc.PickChannels = true;
  test::ScriptedUi ui;
  int asked = 0;
  ui.onPickChan = [&](const std::vector<std::string>&, std::vector<int32_t>&) { return ++asked, false; };
  StrongRecord r = MakeRecord(100, 10, 1);
  Preprocess(s, r, ui, true);
  EXPECT_EQ(asked, 0);
}

}  // namespace
}  // namespace sism
