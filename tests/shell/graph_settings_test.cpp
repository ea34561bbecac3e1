#include "state/graph_settings.h"

#include <gtest/gtest.h>

namespace sism {
namespace {

TEST(GraphSettingsDefaults, EveryComponentHasItsOwnColourAndDash) {
  GraphSettings gs;
  ASSERT_EQ(gs.CompCountMax, 9);
  ASSERT_EQ(gs.WaveLine.size(), 10u);
  // The first three as they always were: red solid, blue dashed, magenta dotted.
  const RgbColor colors[3] = {255, 16711680, 16711935};
  for (int k = 1; k <= 3; ++k) {
    EXPECT_EQ(gs.WaveLine[k].Color, colors[k - 1]) << k;
    EXPECT_EQ(gs.WaveLine[k].Style, k - 1) << k;
  }
  for (int k = 1; k <= 9; ++k) {
    EXPECT_FLOAT_EQ(gs.WaveLine[k].Width, 0.3f) << k;
    // A KiK-net set's borehole (1-3) and surface (4-6) curves differ in both colour and dash.
    for (int j = 1; j < k; ++j) EXPECT_NE(gs.WaveLine[k].Color, gs.WaveLine[j].Color) << j << " " << k;
  }
  for (int k = 4; k <= 6; ++k) EXPECT_NE(gs.WaveLine[k].Style, gs.WaveLine[k - 3].Style) << k;
  ResizeWaveLines(gs, 60);
  for (int k = 2; k <= 60; ++k)
    for (int j = 1; j < k; ++j)
      EXPECT_FALSE(gs.WaveLine[k].Color == gs.WaveLine[j].Color && gs.WaveLine[k].Style == gs.WaveLine[j].Style)
          << j << " " << k;
}

TEST(GraphSettingsDefaults, ResizeKeepsEntriesAndGivesNewOnesDefaults) {
  GraphSettings gs;
  gs.WaveLine[2].Color = 12345;
  ResizeWaveLines(gs, 12);
  EXPECT_EQ(gs.CompCountMax, 12);
  ASSERT_EQ(gs.WaveLine.size(), 13u);
  EXPECT_EQ(gs.WaveLine[2].Color, 12345);
  for (int k = 10; k <= 12; ++k) EXPECT_TRUE(gs.WaveLine[k] == DefaultWaveLine(k)) << k;
  ResizeWaveLines(gs, 3);
  EXPECT_EQ(gs.WaveLine.size(), 4u);
  EXPECT_EQ(gs.WaveLine[2].Color, 12345);

  ResizeReportGraphs(gs, 7);
  ASSERT_EQ(gs.RepGraph.size(), 8u);
  EXPECT_EQ(gs.RepGraph[5].Text, "%d %t, Site: %c, JMA Intensity: %i");
  EXPECT_EQ(gs.RepGraph[7].Type, 0);
  ResizeReportGraphs(gs, -3);
  EXPECT_EQ(gs.RepGraphCount, 0);
  EXPECT_EQ(gs.RepGraph.size(), 1u);
}

TEST(GraphSettingsDefaults, ReportTypeMappingRoundTripsEveryKindButTheLastTwo) {
  for (int kind = 0; kind <= 21; ++kind) {
    SCOPED_TRACE(kind);
    const int stored = GraphKindToStoredType(kind);
    EXPECT_EQ(StoredTypeToGraphKind(stored), kind <= 19 ? kind : 0);
  }
  // A few fixed points of the stored numbering.
  struct Case {
    int stored, kind;
  } cases[] = {{0, 0},   {4, 4},   {5, 7},  {8, 10}, {12, 14}, {13, 6},
               {14, 15}, {18, 19}, {19, 5}, {20, 0}, {-1, 0}};
  for (const auto& c : cases) EXPECT_EQ(StoredTypeToGraphKind(c.stored), c.kind) << c.stored;
  EXPECT_EQ(GraphKindToStoredType(20), 0);
  EXPECT_EQ(GraphKindToStoredType(21), 0);
}

}  // namespace
}  // namespace sism
