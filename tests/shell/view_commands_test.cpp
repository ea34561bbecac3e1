#include <gtest/gtest.h>

#include <cmath>

#include "app/shell/view_commands.h"

namespace sism {
namespace {

using Window = std::optional<TimeWindow>;

struct ShiftCase {
  TimeWindow from;
  double f;
  int32_t seconds;
  Window expected;
};

TEST(ShiftTimeWindow, StepsAndRefusals) {
  const ShiftCase cases[] = {
      {{0, 80}, 0.5, 100, TimeWindow{40, 120}},    // Right arrow from the start
      {{40, 120}, 0.5, 100, TimeWindow{80, 160}},  // s = 80 is still inside a 100 s record
      {{80, 160}, 0.5, 100, std::nullopt},         // s = 120 is past the end
      {{40, 120}, 0, 100, TimeWindow{0, 80}},      // Home
      {{0, 80}, 0, 100, std::nullopt},             // Home at the start
      {{0, 80}, -0.5, 100, std::nullopt},          // backward at the start
      {{40, 120}, -0.5, 100, TimeWindow{0, 80}},
      {{10, 30}, -0.5, 100, TimeWindow{0, 20}},  // s = 0 exactly
      {{3, 23}, -5, 100, TimeWindow{0, 20}},     // below 1 becomes 0 (-2)
      {{0, 20}, 5, 100, TimeWindow{5, 25}},      // seconds, not a fraction
      {{0, 20}, 10, 10, std::nullopt},           // s = 10 equals the length
      {{0, 20}, 0.5, 0, std::nullopt},           // no record
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "[" << c.from.lo << ", " << c.from.hi << "] f=" << c.f);
    const Window got = ShiftTimeWindow(c.from, c.f, c.seconds);
    ASSERT_EQ(got.has_value(), c.expected.has_value());
    if (got) {
      EXPECT_EQ(*got, *c.expected);
    }
  }
}

TEST(ShiftTimeWindow, MovingForwardBySmallFractionThatRoundsToZeroStays) {
  // 0.5 * 1 = 0.5 rounds (half to even) to 0: the same window; accepted as a no-op move.
  const Window got = ShiftTimeWindow({0, 1}, 0.5, 100);
  ASSERT_TRUE(got.has_value());
  EXPECT_EQ(*got, (TimeWindow{0, 1}));
}

TEST(ZoomTimeWindow, LimitsBetweenFiveAnd599Seconds) {
  EXPECT_EQ(ZoomTimeWindow({0, 400}, 2), std::nullopt);  // 800 >= 600
  EXPECT_EQ(ZoomTimeWindow({0, 300}, 2), std::nullopt);  // 600 itself is refused
  EXPECT_EQ(ZoomTimeWindow({0, 8}, 0.5), std::nullopt);  // 4 < 5
  EXPECT_EQ(ZoomTimeWindow({10, 90}, 0.5), (TimeWindow{10, 50}));
  EXPECT_EQ(ZoomTimeWindow({10, 20}, 0.5), (TimeWindow{10, 15}));  // 5 itself is allowed
  EXPECT_EQ(ZoomTimeWindow({0, 80}, 1.5), (TimeWindow{0, 120}));
  EXPECT_EQ(ZoomTimeWindow({0, 80}, 0), std::nullopt);
  EXPECT_EQ(ZoomTimeWindow({0, 80}, -2), std::nullopt);
}

TEST(ZoomTimeWindow, LongRecordsMayBeSeenWhole) {
  EXPECT_EQ(ZoomTimeWindow({0, 400}, 2, 7200), (TimeWindow{0, 800}));
  EXPECT_EQ(ZoomTimeWindow({0, 4000}, 2, 7199.5), (TimeWindow{0, 7200}));  // not beyond the record
  EXPECT_EQ(ZoomTimeWindow({0, 7200}, 2, 7200), std::nullopt);
  EXPECT_EQ(ZoomTimeWindow({0, 400}, 2, 500), std::nullopt);  // a short record keeps the 599 s limit
}

TEST(MouseTimeWindow, ZoomKeepsThePointedTimeInPlace) {
  const TimeWindow w = ZoomTimeWindowAt({100, 200}, 0.5, 150, 1000);
  EXPECT_EQ(w, (TimeWindow{125, 175}));
  const TimeWindow left = ZoomTimeWindowAt({100, 200}, 0.5, 100, 1000);
  EXPECT_EQ(left, (TimeWindow{100, 150}));
  // Out again: clamped to the record's start and end, and to the longest window.
  EXPECT_EQ(ZoomTimeWindowAt({0, 100}, 4, 10, 300), (TimeWindow{0, 400}));
  EXPECT_EQ(ZoomTimeWindowAt({800, 1000}, 4, 1000, 1000), (TimeWindow{200, 1000}));
  EXPECT_EQ(ZoomTimeWindowAt({0, 7000}, 10, 3000, 7200.5), (TimeWindow{0, 7201}));
  // In: never below the shortest window.
  const TimeWindow in = ZoomTimeWindowAt({10, 20}, 0.1, 15, 100);
  EXPECT_DOUBLE_EQ(in.hi - in.lo, kShortestTimeWindow);
  EXPECT_DOUBLE_EQ(in.lo, 12.5);
  // Nonsense keeps a sane window.
  EXPECT_EQ(ZoomTimeWindowAt({10, 20}, std::nan(""), 15, 100), (TimeWindow{10, 20}));
}

TEST(MouseTimeWindow, PanStaysInsideTheRecord) {
  EXPECT_EQ(PanTimeWindow({100, 200}, 30, 1000), (TimeWindow{130, 230}));
  EXPECT_EQ(PanTimeWindow({100, 200}, -300, 1000), (TimeWindow{0, 100}));
  EXPECT_EQ(PanTimeWindow({100, 200}, 5000, 1000), (TimeWindow{900, 1000}));
  EXPECT_EQ(PanTimeWindow({0, 100}, 20, 60), (TimeWindow{0, 100}));  // longer than the record
}

TEST(MouseTimeWindow, ChosenSpanAndWholeRecord) {
  EXPECT_EQ(TimeWindowBetween(40, 20, 100), (TimeWindow{20, 40}));
  EXPECT_EQ(TimeWindowBetween(20, 21, 100), (TimeWindow{18, 23}));  // widened to 5 s
  EXPECT_EQ(TimeWindowBetween(20, 20.05, 100), std::nullopt);      // a click
  EXPECT_EQ(TimeWindowBetween(-50, 30, 100), (TimeWindow{0, 80}));
  EXPECT_EQ(WholeRecordWindow(7199.99), (TimeWindow{0, 7200}));
  EXPECT_EQ(WholeRecordWindow(0), (TimeWindow{0, 5}));
}

TEST(PlaceMainWindow, FirstRunFillsMostOfThePrimaryScreen) {
  const std::vector<ScreenRect> screens{{0, 0, 1600, 1000}, {1600, 0, 1920, 1080}};
  EXPECT_EQ(PlaceMainWindow(std::nullopt, screens, 0), (ScreenRect{160, 100, 1280, 800}));
  EXPECT_EQ(PlaceMainWindow(std::nullopt, screens, 1), (ScreenRect{1600 + 192, 108, 1536, 864}));
}

TEST(PlaceMainWindow, StoredPlacementIsBroughtBackOntoAScreen) {
  const std::vector<ScreenRect> screens{{0, 0, 1600, 1000}, {1600, 0, 1920, 1080}};
  const ScreenRect inside{100, 50, 800, 600};
  EXPECT_EQ(PlaceMainWindow(inside, screens, 0), inside);
  // Mostly on the second screen, hanging over its right edge.
  EXPECT_EQ(PlaceMainWindow(ScreenRect{3000, 100, 800, 600}, screens, 0), (ScreenRect{2720, 100, 800, 600}));
  // Off every screen: onto the primary one.
  EXPECT_EQ(PlaceMainWindow(ScreenRect{-5000, -4000, 800, 600}, screens, 0), (ScreenRect{0, 0, 800, 600}));
  // Larger than the screen that holds most of it: shrunk to it.
  EXPECT_EQ(PlaceMainWindow(ScreenRect{-10, -10, 4000, 3000}, screens, 0), (ScreenRect{1600, 0, 1920, 1080}));
  EXPECT_EQ(PlaceMainWindow(ScreenRect{10, 10, 0, 600}, screens, 0), (ScreenRect{160, 100, 1280, 800}));
  EXPECT_EQ(PlaceMainWindow(std::nullopt, {}, 0), (ScreenRect{0, 0, 1024, 768}));
}

TEST(MouseAxisRange, LogAxesZoomAndPanByRatios) {
  const TimeWindow z = ZoomAxisRange({0.1, 10}, 0.5, 1, true);
  EXPECT_NEAR(z.lo, std::sqrt(0.1), 1e-12);
  EXPECT_NEAR(z.hi, std::sqrt(10.0), 1e-12);
  const TimeWindow p = PanAxisRange({0.1, 10}, 0.5, true);
  EXPECT_NEAR(p.lo, 1, 1e-12);
  EXPECT_NEAR(p.hi, 100, 1e-9);
  // Linear: around the pointer, never below zero.
  EXPECT_EQ(ZoomAxisRange({0, 20}, 0.5, 10, false), (TimeWindow{5, 15}));
  EXPECT_EQ(PanAxisRange({0, 20}, -0.5, false), (TimeWindow{0, 20}));
  // Nonsense leaves the range; extremes are bounded.
  EXPECT_EQ(ZoomAxisRange({0, 20}, std::nan(""), 10, false), (TimeWindow{0, 20}));
  EXPECT_EQ(ZoomAxisRange({-1, 20}, 0.5, 10, true), (TimeWindow{-1, 20}));
  const TimeWindow wide = ZoomAxisRange({0.1, 10}, 1e9, 1, true);
  EXPECT_NEAR(std::log10(wide.hi / wide.lo), 8, 1e-9);
  const TimeWindow narrow = ZoomAxisRange({0.1, 10}, 1e-9, 1, true);
  EXPECT_NEAR(narrow.hi / narrow.lo, 1.01, 1e-9);
}

TEST(PreprocessingSummary, NamesWhatChangesTheRecord) {
  PreProcParams p;
  EXPECT_EQ(PreprocessingSummary(p), "");
  p.LowCutFreq = 0.1f;
  p.HighCutFreq = 20;
  p.RotateWave = true;
  p.RotateWaveAngle = 30;
  p.SkipSeconds = 5;
  p.TimeLength = 60;
  EXPECT_EQ(PreprocessingSummary(p),
            "Preprocessed: band-pass 0.1\u201320 Hz, rotated 30\u00B0, 5\u201365 s");
  p.TimeLength = 0;
  EXPECT_EQ(PreprocessingSummary(p), "Preprocessed: band-pass 0.1\u201320 Hz, rotated 30\u00B0, from 5 s");
  p = PreProcParams{};
  p.HighCutFreq = 10;
  p.RotateWaveAngle = 45;  // not switched on
  EXPECT_EQ(PreprocessingSummary(p), "Preprocessed: high-cut 10 Hz");
}

TEST(ZoomChoices, FitToWindowAndSteps) {
  EXPECT_EQ(ZoomImageName(kFitZoomIndex), "zoomfit");
  EXPECT_EQ(SteppedZoomIndex(kFitZoomIndex, 1), 3);
  EXPECT_EQ(SteppedZoomIndex(kFitZoomIndex, -1), 1);
  EXPECT_EQ(SteppedZoomIndex(4, 1), 4);
  EXPECT_EQ(SteppedZoomIndex(0, -1), 0);
}

TEST(RecordSeconds, WholeSecondsAndNoFrequency) {
  EXPECT_EQ(RecordSeconds(10050, 100), 100);
  EXPECT_EQ(RecordSeconds(99, 100), 0);
  EXPECT_EQ(RecordSeconds(1000, 0), 0);
}

TEST(ZoomImageName, ThreeDigitPercent) {
  EXPECT_EQ(ZoomImageName(0), "zoom050");
  EXPECT_EQ(ZoomImageName(1), "zoom075");
  EXPECT_EQ(ZoomImageName(2), "zoom100");
  EXPECT_EQ(ZoomImageName(4), "zoom200");
  EXPECT_EQ(ZoomImageName(6), "");
}

struct KeyCase {
  ViewKey key;
  bool shift, ctrl;
  KeyCommand expected;
};

TEST(KeyCommandFor, KeyboardTable) {
  using K = KeyCommandKind;
  const KeyCase cases[] = {
      {ViewKey::Space, false, false, {K::ShiftTime, 0.5}},
      {ViewKey::Right, true, false, {K::ShiftTime, 5}},
      {ViewKey::Right, false, true, {K::ShiftTime, 10}},
      {ViewKey::Right, true, true, {K::ShiftTime, 5}},  // Shift wins
      {ViewKey::Backspace, false, false, {K::ShiftTime, -0.5}},
      {ViewKey::Left, true, false, {K::ShiftTime, -5}},
      {ViewKey::Left, false, true, {K::ShiftTime, -10}},
      {ViewKey::Home, true, true, {K::ShiftTime, 0}},
      {ViewKey::Up, false, false, {K::ZoomTime, 0.5}},
      {ViewKey::Up, true, false, {K::ZoomTime, 0.75}},
      {ViewKey::Up, false, true, {K::ZoomTime, 0.5}},
      {ViewKey::Down, false, false, {K::ZoomTime, 2}},
      {ViewKey::Down, true, false, {K::ZoomTime, 1.5}},
      {ViewKey::Down, false, true, {K::ZoomTime, 2}},
      {ViewKey::PageUp, false, true, {K::ZoomStep, 1}},
      {ViewKey::PageDown, true, false, {K::ZoomStep, -1}},
      {ViewKey::C, false, false, {}},
      {ViewKey::C, true, false, {K::CopySummary, 0}},
      {ViewKey::C, false, true, {}},
      {ViewKey::G, false, true, {K::ToggleGrid, 0}},
      {ViewKey::G, true, true, {}},  // Shift is tested first: nothing
      {ViewKey::L, false, true, {K::StepLegend, 0}},
      {ViewKey::L, false, false, {}},
      {ViewKey::Other, false, false, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "key " << static_cast<int>(c.key) << " shift " << c.shift << " ctrl "
                                    << c.ctrl);
    EXPECT_EQ(KeyCommandFor(c.key, c.shift, c.ctrl), c.expected);
  }
}

TEST(NextLegendPosition, CycleAndOtherValuesStay) {
  int32_t p = 0;
  std::vector<int32_t> seen;
  for (int i = 0; i < 5; ++i) seen.push_back(p = NextLegendPosition(p));
  EXPECT_EQ(seen, (std::vector<int32_t>{6, 10, 9, 5, 0}));
  EXPECT_EQ(NextLegendPosition(7), 7);
}

TEST(AddRecentPath, NewGoesFirstListedStaysSeventhIsLost) {
  RecentList list{};
  for (const char* p : {"a", "b", "c", "d", "e", "f"}) EXPECT_TRUE(AddRecentPath(list, p));
  EXPECT_EQ(list[1], "f");
  EXPECT_EQ(list[6], "a");
  EXPECT_FALSE(AddRecentPath(list, "c"));  // not moved to the top
  EXPECT_EQ(list[1], "f");
  EXPECT_EQ(list[4], "c");
  EXPECT_TRUE(AddRecentPath(list, "g"));
  EXPECT_EQ(list[1], "g");
  EXPECT_EQ(list[6], "b");  // "a" is gone
  EXPECT_EQ(RecentShownCount(list), 6);
  EXPECT_FALSE(AddRecentPath(list, ""));
}

TEST(RecentShownCount, StopsAtFirstEmpty) {
  RecentList list{};
  EXPECT_EQ(RecentShownCount(list), 0);
  list[1] = "x";
  list[3] = "z";
  EXPECT_EQ(RecentShownCount(list), 1);
}

TEST(ChannelGroups, GroupsOfThreeLastEndsAtCount) {
  EXPECT_EQ(ChannelGroupCount(0), 0);
  EXPECT_EQ(ChannelGroupCount(3), 1);
  EXPECT_EQ(ChannelGroupCount(4), 2);
  EXPECT_EQ(ChannelGroupCaption(0, 7), "Channel #1-#3");
  EXPECT_EQ(ChannelGroupCaption(1, 7), "Channel #4-#6");
  EXPECT_EQ(ChannelGroupCaption(2, 7), "Channel #7-#7");
}

TEST(WindowCaption, TitleAndFilePart) {
  EXPECT_EQ(WindowCaption(""), "Sismora");
  EXPECT_EQ(WindowCaption("a.ac+b.ac"), "Sismora - a.ac+b.ac");
}

TEST(Twips, FifteenPerPixel) {
  EXPECT_EQ(PixelsFromTwips(6500), 433);
  EXPECT_EQ(PixelsFromTwips(1000), 67);
  EXPECT_EQ(TwipsFromPixels(100), 1500);
  EXPECT_EQ(PixelsFromTwips(1e30), 1000000);  // absurd stored values stay bounded
}

TEST(HelpFileOf, PartBeforeDoubleColon) {
  EXPECT_EQ(HelpFileOf("/opt/s/Sismora.chm::/smpopup.txt"), "/opt/s/Sismora.chm");
  EXPECT_EQ(HelpFileOf("::/x"), "");
  EXPECT_EQ(HelpFileOf("/a/index.html"), "/a/index.html");
}

}  // namespace
}  // namespace sism
