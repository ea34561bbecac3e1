#include "state/graph_kinds.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace sism {
namespace {

TEST(GraphKinds, EveryRowSitsAtItsOwnNumber) {
  int32_t expected = 1;
  for (const GraphKindInfo& k : GraphKinds()) EXPECT_EQ(k.id, expected++);
  EXPECT_EQ(expected, kGraphKindCount + 1);
}

TEST(GraphKinds, NumbersOutsideTheTableAreNoKind) {
  for (int32_t kind : {-1, 0, kGraphKindCount + 1, 1000}) {
    EXPECT_FALSE(IsGraphKind(kind));
    EXPECT_EQ(KindInfo(kind).id, KindNone);
    EXPECT_FALSE(ExportableKind(kind));
    EXPECT_EQ(SeriesNeeds(kind), 0);
  }
}

TEST(GraphKinds, MenuItemsAndToolKeysAreUnique) {
  std::set<std::string> menus, keys;
  for (const GraphKindInfo& k : GraphKinds()) {
    if (k.id != KindReport) {
      EXPECT_TRUE(menus.insert(k.menuName).second) << k.menuName;
    }
    if (k.toolKey != nullptr) {
      EXPECT_TRUE(keys.insert(k.toolKey).second) << k.toolKey;
    }
  }
}

TEST(GraphKinds, ExportableKindsHaveAnAxisToCountRowsOn) {
  for (const GraphKindInfo& k : GraphKinds()) {
    if (!k.exports) continue;
    EXPECT_NE(k.domain, IndexDomain::None) << k.id;
    EXPECT_NE(k.xAxis, 0) << k.id;
    EXPECT_NE(k.valueAxis, 0) << k.id;
  }
  EXPECT_FALSE(ExportableKind(KindAccOrbit));
  EXPECT_FALSE(ExportableKind(KindReport));
}

TEST(GraphKinds, NormalisedResponseSpectraUseTheirOwnAxesAndTitles) {
  AppState app;
  app.graph.GraphTitle[KindSa] = "Sa";
  app.graph.GraphTitle[22] = "Sa normalised";
  EXPECT_EQ(ValueAxisOf(app, KindSa), AxisAccResponse);
  EXPECT_EQ(KindTitleTemplate(app, KindSa), "Sa");
  app.calc.RespNormalize = true;
  EXPECT_EQ(ValueAxisOf(app, KindSa), AxisNormalizedSa);
  EXPECT_EQ(ValueAxisOf(app, KindPSv), AxisNormalizedPSv);
  EXPECT_EQ(ValueAxisOf(app, KindSv), AxisVelResponse);  // no normalised axis of its own
  EXPECT_EQ(KindTitleTemplate(app, KindSa), "Sa normalised");
  EXPECT_EQ(KindTitleTemplate(app, KindEnergy), app.graph.GraphTitle[KindEnergy]);
}

TEST(GraphKinds, TimeAxisFollowsTheSettingsOfEachForm) {
  AppState app;
  EXPECT_TRUE(FollowsTimeAxis(app, KindVel));
  app.calc.FourDurationType = 1;
  EXPECT_TRUE(FollowsTimeAxis(app, KindFourier));
  EXPECT_TRUE(FollowsTimeAxis(app, KindCoherence));
  EXPECT_FALSE(FollowsTimeAxis(app, KindResponseRatio));
  app.calc.FourDurationType = 0;
  EXPECT_FALSE(FollowsTimeAxis(app, KindFourier));
  app.graph.OrbitTime = 1;
  EXPECT_TRUE(FollowsTimeAxis(app, KindDispOrbit));
  app.graph.OrbitTime = 2;
  EXPECT_FALSE(FollowsTimeAxis(app, KindDispOrbit));
  EXPECT_FALSE(FollowsTimeAxis(app, KindReport));
}

TEST(GraphKinds, OrbitSeriesNeedBothChannelsOfTheRecord) {
  AppState app;
  app.record.ChanCount = 2;
  app.record.DataCount = 4;
  app.record.RedimAcc(4, 2);
  app.graph.OrbitComp1 = 1;
  app.graph.OrbitComp2 = 3;
  EXPECT_TRUE(SeriesOfKind(app, KindAccOrbit, {}).empty());
  app.graph.OrbitComp2 = 2;
  const std::vector<KindSeries> s = SeriesOfKind(app, KindAccOrbit, {});
  ASSERT_EQ(s.size(), 1u);
  EXPECT_EQ(s[0].count, 4);
  EXPECT_EQ(s[0].otherData, app.record.Channel(2));
  // Velocity not computed yet: no data, never a dangling pointer.
  EXPECT_EQ(SeriesOfKind(app, KindVelOrbit, {})[0].data, nullptr);
}

}  // namespace
}  // namespace sism
