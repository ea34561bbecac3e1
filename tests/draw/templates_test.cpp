#include "draw/templates.h"

#include <gtest/gtest.h>

#include "common/text.h"
#include "state/app_state.h"
#include "tests/support/recording_dc.h"

namespace sism {
namespace {

TemplateFacts SampleFacts() {
  TemplateFacts f;
  f.appTitle = "Sismora";
  f.code = "TKY007";
  f.date = "2011/03/11";
  f.path = "/data/records/TKY0071103111446.NS";
  f.station = "Shinjuku";
  f.time = "14:46:00";
  f.intensity = 5.04f;
  f.damping = 5;
  f.parzen = 0.2f;
  f.windowFirst = 101;
  f.windowCount = 1000;
  f.sampFreq = 100;
  return f;
}

TEST(Expand, EveryCode) {
  const TemplateFacts f = SampleFacts();
  const std::pair<const char*, const char*> cases[] = {
      {"%d %t, Site: %c, JMA Intensity: %i", "2011/03/11 14:46:00, Site: TKY007, JMA Intensity: 5.0 (5+)"},
      {"h=%h%%", "h=5%"},
      {"Fourier Spectrum (Time:%ls, Parzen:%wHz)", "Fourier Spectrum (Time:1-11s, Parzen:0.2Hz)"},
      {"%a %v", "Sismora 1.00"},
      {"%f", "TKY0071103111446.NS"},
      {"%F", "/data/records/TKY0071103111446.NS"},
      {"%s", "Shinjuku"},
      {"100%q", "100q"},
      {"ends in %", "ends in "},
      {"%%%", "%"},
      {"", ""},
      {"no codes", "no codes"},
  };
  for (auto [in, out] : cases) EXPECT_EQ(Expand(in, f), out) << in;
}

TEST(Expand, WindowNeedsASamplingFrequency) {
  TemplateFacts f = SampleFacts();
  f.windowFirst = 1;
  f.windowCount = 8192;
  EXPECT_EQ(Expand("%l", f), "0-81.92");
  f.sampFreq = 0;
  EXPECT_EQ(Expand("%l", f), "-");
  // Cut, not rounded, at the first decimal; the class from the value shown.
  f.intensity = 6.45f;
  EXPECT_EQ(Expand("%i", f), "6.4 (6+)");
  f.hasIntensity = false;
  EXPECT_EQ(Expand("I=%i", f), "I=\u2013");
}

TEST(Expand, FactsOfTheCurrentRecord) {
  AppState app;
  app.record.SampFreq = 100;
  app.record.DataCount = 5000;
  app.record.SiteCode = "X1";
  app.calc.FourDurationType = 1;
  app.graph.Axis[AxisTime].Min = 10;
  app.graph.Axis[AxisTime].Max = 20;
  TemplateFacts f = CurrentTemplateFacts(app);
  EXPECT_EQ(f.windowFirst, 1001);
  EXPECT_EQ(f.windowCount, 1000);
  EXPECT_EQ(Expand("%c %l", f), "X1 10-20");

  app.graph.Axis[AxisTime].Max = 80;  // beyond the record: cut at its end
  EXPECT_EQ(CurrentTemplateFacts(app).windowCount, 4000);
  app.calc.FourDurationType = 0;
  f = CurrentTemplateFacts(app);
  EXPECT_EQ(f.windowFirst, 1);
  EXPECT_EQ(f.windowCount, 5000);
  app.calc.FourDurationType = 2;
  app.calc.FourStart = 45;
  app.calc.FourLength = 0.1f;  // shorter than 16 samples: to the end
  f = CurrentTemplateFacts(app);
  EXPECT_EQ(f.windowFirst, 4501);
  EXPECT_EQ(f.windowCount, 500);
  app.record = StrongRecord{};  // no record at all
  EXPECT_EQ(Expand("%l", CurrentTemplateFacts(app)), "-");
}

struct HeaderFixture : ::testing::Test {
  test::RecordingDc dc;
  cGraphicExtensions gx;
  GraphSettings gs;
  void SetUp() override {
    gx.SetHdc(&dc);
    gx.SetWindow(2000, 1500, 20000, 15000);
    gs.Font[4].Size = 10;
    gs.Font[4].Bold = true;
  }
};

TEST_F(HeaderFixture, PartsAtLeftCentreAndRight) {
  gs.Header = "%c|centre|right";
  gs.Footer = "|page %a|";
  TemplateFacts f = SampleFacts();
  DrawHeaderFooter(gx, gs, f, 20000, 15000);
  ASSERT_EQ(dc.texts.size(), 4u);
  const struct {
    std::string text;
    int32_t x, y, align;
  } expected[] = {
      {"TKY007", 0, 0, TaLeft | TaTop},
      {"centre", 10000, 0, TaCenter | TaTop},
      {"right", 20000, 0, TaRight | TaTop},
      {"page Sismora", 10000, 15000, TaCenter | TaBottom},
  };
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(dc.texts[i].text, expected[i].text);
    EXPECT_EQ(dc.texts[i].x, expected[i].x);
    EXPECT_EQ(dc.texts[i].y, expected[i].y);
    EXPECT_EQ(dc.texts[i].align, expected[i].align);
    EXPECT_EQ(dc.texts[i].font.height, 353);  // 10 points x 35.28
    EXPECT_EQ(dc.texts[i].font.weight, 700);
  }
}

TEST_F(HeaderFixture, AFourthBarStaysInTheThirdPart) {
  gs.Header = "a|b|c|d";
  DrawHeaderFooter(gx, gs, SampleFacts(), 20000, 15000);
  ASSERT_EQ(dc.texts.size(), 3u);
  EXPECT_EQ(dc.texts[2].text, "c|d");
  dc.Clear();
  gs.Header = "";
  gs.Footer = "only left";
  DrawHeaderFooter(gx, gs, SampleFacts(), 20000, 15000);
  ASSERT_EQ(dc.texts.size(), 1u);
  EXPECT_EQ(dc.texts[0].align, TaLeft | TaBottom);
}

TEST_F(HeaderFixture, ReportTextInItsBoxWithItsLineBreaks) {
  ReportGraph box{0, 140, 10, 15, 230, "%d %t\tSite: %c\r\nsecond line"};
  gs.Font[1].Size = 12;
  DrawReportText(gx, gs, box, SampleFacts());
  ASSERT_EQ(dc.texts.size(), 1u);
  EXPECT_EQ(dc.texts[0].text, "2011/03/11 14:46:00\tSite: TKY007\nsecond line");
  EXPECT_EQ(dc.texts[0].font.height, 423);  // 12 points x 35.28
  const std::vector<std::string> calls = dc.Calls("DrawText");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_TRUE(StartsWith(calls[0], "DrawText 1500 23000 15500 24000 ")) << calls[0];
}

TEST_F(HeaderFixture, ReportTextBreaksLinesTheSameWhateverTheirEnds) {
  ReportGraph box{0, 100, 20, 10, 10, "one\r\ntwo"};
  DrawReportText(gx, gs, box, SampleFacts());
  for (const char* text : {"one\ntwo", "one\rtwo"}) {
    box.Text = text;
    DrawReportText(gx, gs, box, SampleFacts());
  }
  ASSERT_EQ(dc.texts.size(), 3u);
  for (const test::RecordedText& t : dc.texts) EXPECT_EQ(t.text, "one\ntwo");
  dc.Clear();
  box.Text.clear();
  DrawReportText(gx, gs, box, SampleFacts());
  EXPECT_TRUE(dc.texts.empty());
}

}  // namespace
}  // namespace sism

namespace sism {
namespace {

TEST(Expand, TitlesTellTheSmoothingInUse) {
  TemplateFacts f = SampleFacts();
  f.konnoB = 40;
  EXPECT_EQ(Expand("Fourier Spectrum (Time:%ls, Parzen:%wHz)", f),
            "Fourier Spectrum (Time:1-11s, Konno-Ohmachi b=40)");
  f.konnoB = 0;
  f.parzenArcsBelow = 0.3f;
  EXPECT_EQ(Expand("Coherence (Parzen:%wHz)", f), "Coherence (Parzen:0.2Hz, arcs below 0.3 Hz)");
  AppState app;
  app.graph.Axis[AxisFrequency].Log = true;
  EXPECT_FLOAT_EQ(CurrentTemplateFacts(app).parzenArcsBelow, 0.3f);
  app.graph.Axis[AxisFrequency].Log = false;  // a linear axis shows the smoothing as it is
  EXPECT_EQ(CurrentTemplateFacts(app).parzenArcsBelow, 0.0f);
  app.calc.FourierSmoothing = kSmoothKonno;
  EXPECT_EQ(CurrentTemplateFacts(app).konnoB, 40.0f);
}

}  // namespace
}  // namespace sism
