#include "draw/inelastic.h"

#include <gtest/gtest.h>

#include <cmath>

#include "draw/axes.h"
#include "draw/page_styles.h"
#include "state/graph_kinds.h"
#include "tests/support/fake_draw_host.h"
#include "tests/support/noise_record.h"
#include "tests/support/scripted_ui.h"

namespace sism {
namespace {

struct InelasticPage : ::testing::Test {
  AppState app;
  DrawSession session;
  test::FakeHost host;
  test::ScriptedUi ui;

  void Record(const std::vector<std::string>& labels) {
    test::NoiseRecord(app, labels, 1500, 7, 50.0f);
    app.calc.RespSteps = 16;
    app.calc.FourDurationType = 0;
  }
  bool Drew(const std::string& text) const {
    for (const test::RecordedText& t : host.screen.texts)
      if (t.text == text) return true;
    return false;
  }
  // Solid series are drawn as polylines, the others as short segments in their colour.
  int SolidSeries() const {
    int n = 0;
    for (const auto& p : host.screen.polylines) n += p.size() > 10;
    return n;
  }
  int Segments(Rgb color) const {
    int n = 0;
    for (const test::RecordedLine& l : host.screen.lines) n += l.pen.color == color;
    return n;
  }
};

TEST_F(InelasticPage, OneCurvePerDuctilityAndChannelOverLogPeriodWithTheQuantityInTheAxisTitle) {
  Record({"NS", "EW"});
  app.calc.Ductilities = {2, 4, 8};
  DrawGraph(app, session, host, ui, TargetScreen, KindDuctility);
  EXPECT_TRUE(ui.messages.empty());
  for (const char* t : {"NS mu=2", "NS mu=4", "NS mu=8", "EW mu=2", "EW mu=4", "EW mu=8"}) EXPECT_TRUE(Drew(t)) << t;
  const GraphFrame& f = session.lastFrame;
  EXPECT_TRUE(f.X.Flags & AxisLog);
  EXPECT_EQ(f.Y.Title, DuctilityQuantityName(DuctR));
  EXPECT_GE(f.Y.Max, 1);
  EXPECT_NE(f.Title.find("5%, alpha 0"), std::string::npos) << f.Title;
  // Colours go with the ductility and pen styles with the channel: the first channel's three
  // curves solid, the second's dashed in the same three colours.
  EXPECT_EQ(SolidSeries(), 3);
  for (int32_t j = 1; j <= 3; ++j) {
    EXPECT_EQ(DuctilityLine(app.graph, j, 1).Style, PenSolid);
    EXPECT_EQ(DuctilityLine(app.graph, j, 2).Style, PenDash);
    EXPECT_EQ(DuctilityLine(app.graph, j, 2).Color, DuctilityLine(app.graph, j, 1).Color);
    EXPECT_GT(Segments(static_cast<Rgb>(DuctilityLine(app.graph, j, 2).Color)), 5) << j;
  }
  EXPECT_NE(DuctilityLine(app.graph, 1, 1).Color, DuctilityLine(app.graph, 2, 1).Color);

  app.calc.DuctilityQuantity = DuctSdYield;
  DrawGraph(app, session, host, ui, TargetScreen, KindDuctility);
  EXPECT_EQ(session.lastFrame.Y.Title,
            DuctilityQuantityName(DuctSdYield) + " " + app.graph.Axis[AxisDispResponse].Unit);
}

TEST_F(InelasticPage, EasIsOneCurveOnLogAxes) {
  Record({"NS", "EW", "UD"});
  DrawGraph(app, session, host, ui, TargetScreen, KindEas);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(Drew("EAS NS,EW"));
  EXPECT_FALSE(Drew(EasEmptyText()));
  const GraphFrame& f = session.lastFrame;
  EXPECT_TRUE(f.X.Flags & AxisLog);
  EXPECT_TRUE(f.Y.Flags & AxisLog);
  EXPECT_NE(f.Title.find("Konno-Ohmachi b=40"), std::string::npos) << f.Title;
  EXPECT_EQ(SolidSeries(), 1);


}

TEST_F(InelasticPage, EasOfARecordWithoutHorizontalsSaysSoAndDrawsNoCurve) {
  Record({"UD"});
  DrawGraph(app, session, host, ui, TargetScreen, KindEas);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(Drew(EasEmptyText()));
  EXPECT_EQ(SolidSeries(), 0);
}

TEST(InelasticKinds, RowsNamesAndReportEntries) {
  for (int32_t kind : {KindDuctility, KindEas}) {
    const GraphKindInfo& k = KindInfo(kind);
    EXPECT_EQ(k.id, kind);
    EXPECT_TRUE(k.exports);
    EXPECT_EQ(k.domain, IndexDomain::Listed);
    EXPECT_EQ(k.page, PageForm::Spectrum);
    AppState app;
    EXPECT_EQ(KindTitleTemplate(app, kind), KindName(kind));
    // A report entry of the kind asks for its series.
    ResizeReportGraphs(app.graph, 1);
    app.graph.RepGraph[1].Type = kind;
    EXPECT_EQ(SeriesNeeds(app, KindReport), k.needs);
    EXPECT_EQ(StoredTypeToGraphKind(GraphKindToStoredType(kind)), kind);
  }
  EXPECT_EQ(KindName(KindDuctility), "Constant-ductility spectra");
  EXPECT_EQ(KindName(KindEas), "Effective Amplitude Spectrum");
}

}  // namespace
}  // namespace sism
