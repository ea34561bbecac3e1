#include <gtest/gtest.h>

#include <filesystem>

#include "app/shell/forms/option_dialog.h"
#include "app/shell/settings.h"
#include "common/files.h"
#include "common/strings.h"
#include "state/graph_kinds.h"
#include "tests/shell/user_store.h"
#include "tests/support/scripted_ui.h"

namespace sism {
namespace {

using Model = OptionDialogModel;
using Result = Model::FieldResult;

// A program state with a three-channel record's labels and relation pairs.
AppState ThreeChannels() {
  AppState app;
  app.record.ChanCount = 3;
  app.record.RedimHeader(3);
  app.view.LabelCopies = {"N-S", "E-W", "U-D"};
  app.view.RelationPairs = {{3, 1}, {3, 2}};
  return app;
}

TEST(OptionDialog, ApplyRefusesSpecifiedAxesWithoutARange) {
  AppState app = ThreeChannels();
  Model m(app);
  m.tab = Model::TabReport;
  m.SelectAxis(AxisAcc);
  m.SetAxisSpecify(true);
  ASSERT_EQ(m.LeaveField(Model::FieldAxisMin, "200"), Result::Accepted);
  ASSERT_EQ(m.LeaveField(Model::FieldAxisMax, "200"), Result::Accepted);
  m.SelectAxis(AxisTime);
  Model::ApplyError e = m.Apply(app);
  EXPECT_EQ(e.message, 6902);
  EXPECT_EQ(e.axis, AxisAcc);
  EXPECT_EQ(m.tab, Model::TabAxis);  // the axis page shows the offending axis
  EXPECT_EQ(m.SelectedAxis(), AxisAcc);
  EXPECT_FALSE(app.graph.Axis[AxisAcc].Specify);  // nothing applied
  EXPECT_TRUE(m.ApplyEnabled());

  // A logarithmic axis from 0 is refused while specified, accepted otherwise.
  m.LeaveField(Model::FieldAxisMax, "1000");
  m.SelectAxis(AxisFourier);
  m.SetAxisSpecify(true);
  m.LeaveField(Model::FieldAxisMin, "0");
  e = m.Apply(app);
  EXPECT_EQ(e.message, 6901);
  EXPECT_EQ(e.axis, AxisFourier);
  m.SetAxisSpecify(false);
  EXPECT_EQ(m.Apply(app).message, 0);
  EXPECT_FLOAT_EQ(app.graph.Axis[AxisFourier].Min, 0);
  EXPECT_TRUE(app.graph.Axis[AxisAcc].Specify);
  EXPECT_FALSE(m.ApplyEnabled());

  // Only axes 1 to 13 are checked.
  m.SelectAxis(AxisEnergy);
  m.SetAxisSpecify(true);
  m.LeaveField(Model::FieldAxisMin, "5");
  m.LeaveField(Model::FieldAxisMax, "5");
  EXPECT_EQ(m.Apply(app).message, 0);
}

TEST(OptionDialog, FieldsRefuseWhatTheyCannotHold) {
  AppState app = ThreeChannels();
  Model m(app);
  m.SelectAxis(AxisPhase);
  EXPECT_EQ(m.LeaveField(Model::FieldAxisMax, "400"), Result::Adjusted);
  EXPECT_EQ(m.FieldText(Model::FieldAxisMax), "360");
  EXPECT_EQ(m.LeaveField(Model::FieldAxisMax, "-5"), Result::Adjusted);
  EXPECT_EQ(m.FieldText(Model::FieldAxisMax), "0");
  EXPECT_EQ(m.LeaveField(Model::FieldAxisMin, "-400"), Result::Accepted);  // only the maximum is bounded
  m.SelectAxis(AxisAcc);
  EXPECT_EQ(m.LeaveField(Model::FieldAxisMax, "400"), Result::Accepted);
  EXPECT_EQ(m.LeaveField(Model::FieldAxisMax, "lots"), Result::Refused);
  EXPECT_EQ(m.FieldText(Model::FieldAxisMax), "400");

  // Widths and font sizes say "Numerals only." and keep their value; a negative width is 0.
  EXPECT_EQ(m.LeaveField(Model::FieldWaveLineWidth, "thin"), Result::NotNumeral);
  EXPECT_TRUE(Model::RestoresOnRefusal(Model::FieldWaveLineWidth));
  EXPECT_EQ(m.LeaveField(Model::FieldWaveLineWidth, "-1"), Result::Adjusted);
  EXPECT_FLOAT_EQ(m.Working().WaveLine[1].Width, 0);
  EXPECT_EQ(m.LeaveField(Model::FieldFontSize, "big"), Result::NotNumeral);
  EXPECT_EQ(m.LeaveField(Model::FieldFontSize, "12.5"), Result::Accepted);
  EXPECT_FLOAT_EQ(m.Working().Font[1].Size, 12.5f);

  // Graph form sizes are whole millimetres within a metre; the line unit keeps its decimals.
  EXPECT_EQ(m.LeaveField(Model::FieldWaveWidth, "120.6"), Result::Accepted);
  EXPECT_EQ(m.Working().WaveWidth, 121);
  EXPECT_EQ(m.LeaveField(Model::FieldWaveHeight, "1e9"), Result::Refused);
  EXPECT_EQ(m.LeaveField(Model::FieldWaveHeight, "1e999"), Result::Refused);
  EXPECT_EQ(m.LeaveField(Model::FieldLeftMargin, "-3"), Result::Refused);
  EXPECT_EQ(m.LeaveField(Model::FieldLineUnit, "0.25"), Result::Accepted);
  EXPECT_FLOAT_EQ(m.Working().LineUnit, 0.25f);
  EXPECT_EQ(m.LeaveField(Model::FieldOrbitInt, "0"), Result::Refused);
  EXPECT_EQ(m.Working().WaveHeight, 20);
  EXPECT_EQ(m.Working().LeftMargin, 15);
}

TEST(OptionDialog, MaxWavesResizesTheComponentTable) {
  AppState app = ThreeChannels();
  Model m(app);
  EXPECT_EQ(m.LeaveField(Model::FieldMaxWaves, "2"), Result::Refused);
  EXPECT_EQ(m.Working().CompCountMax, 9);
  m.SelectComponent(2);
  m.SetWaveLineColor(65280);
  m.SelectComponent(9);
  ASSERT_EQ(m.LeaveField(Model::FieldMaxWaves, "12"), Result::Accepted);
  ASSERT_EQ(m.Working().CompCountMax, 12);
  ASSERT_EQ(m.Working().WaveLine.size(), 13u);
  EXPECT_EQ(m.Working().WaveLine[2].Color, 65280);  // kept
  for (int k = 10; k <= 12; ++k) EXPECT_TRUE(m.Working().WaveLine[k] == DefaultWaveLine(k)) << k;
  ASSERT_EQ(m.LeaveField(Model::FieldMaxWaves, "4"), Result::Accepted);
  EXPECT_EQ(m.SelectedComponent(), 4);  // the selection stays in the table
  EXPECT_EQ(m.Apply(app).message, 0);
  EXPECT_EQ(app.graph.CompCountMax, 4);
}

TEST(OptionDialog, ComponentsLabelsAndAppearance) {
  AppState app = ThreeChannels();
  Model m(app);
  m.SelectComponent(2);
  EXPECT_EQ(m.ChannelLabel(), "E-W");
  m.ChangeChannelLabel("East");
  m.SetWaveLineStyle(4);
  m.SetWaveLineStyle(7);  // no such style
  m.SelectComponent(5);
  EXPECT_FALSE(m.HasChannelLabel());  // the record has three channels
  m.SelectTarget(3);
  m.SetFontName("DejaVu Serif");
  m.SetFontName("  ");  // a face needs a name
  m.SetBackColor(0xABCDEF);
  m.SetLineStyle(2);
  EXPECT_EQ(m.LegendOption(), 2);  // right-upper, the default 6
  m.SetLegendOption(3);
  m.SetMinorGrid(true);
  EXPECT_EQ(m.Apply(app).message, 0);
  EXPECT_EQ(app.view.LabelCopies[1], "East");
  EXPECT_EQ(app.graph.WaveLine[2].Style, 4);
  EXPECT_EQ(app.graph.Font[3].Name, "DejaVu Serif");
  EXPECT_EQ(app.graph.BackColor[3], 0xABCDEF);
  EXPECT_EQ(app.graph.Line[3].Style, 2);
  EXPECT_EQ(app.graph.LegendPosition, 9);
  EXPECT_EQ(app.graph.GridLine, 768);
}

TEST(OptionDialog, RelationListEditsSetTheRelationsFlag) {
  AppState app = ThreeChannels();
  test::ScriptedUi ui;
  Model m(app);
  EXPECT_EQ(m.RelationTexts(), (std::vector<std::string>{"U-D & N-S", "U-D & E-W"}));
  EXPECT_EQ(m.OrbitPairText(), "E-W & N-S");
  EXPECT_FALSE(m.RemoveRelation());  // nothing selected
  EXPECT_FALSE(m.AddRelation(ui));   // cancelled
  EXPECT_FALSE(m.RelationsChanged());

  ui.onSelChan = [](SelChanMode mode, const std::vector<std::string>& labels, SelChanValues& v) {
    EXPECT_EQ(labels.size(), 3u);
    v.channelX = mode == SelChanMode::Orbit ? 3 : 1;
    v.channelY = 2;
    return true;
  };
  EXPECT_TRUE(m.ChangeOrbitPair(ui));
  EXPECT_EQ(m.OrbitPairText(), "U-D & E-W");
  EXPECT_FALSE(m.RelationsChanged());
  ASSERT_TRUE(m.AddRelation(ui));
  EXPECT_EQ(m.SelectedRelation(), 2);
  EXPECT_TRUE(m.RelationsChanged());
  EXPECT_TRUE(m.MoveRelation(-1));
  EXPECT_FALSE(m.MoveRelation(-5));
  m.SelectRelation(0);
  EXPECT_TRUE(m.RemoveRelation());
  EXPECT_FALSE(m.MoveRelation(-1));  // already first
  EXPECT_EQ(m.RelationTexts(), (std::vector<std::string>{"N-S & E-W", "U-D & E-W"}));

  app.calc.RecalcFlags = 0;
  EXPECT_EQ(m.Apply(app).message, 0);
  EXPECT_EQ(app.view.RelationPairs, (std::vector<std::pair<int32_t, int32_t>>{{1, 2}, {3, 2}}));
  EXPECT_EQ(app.calc.RecalcFlags & RecalcRelations, RecalcRelations);
  EXPECT_EQ(app.graph.OrbitComp1, 3);
  EXPECT_FALSE(m.RelationsChanged());

  // Without a record there are no channels to choose from.
  AppState empty;
  Model none(empty);
  EXPECT_FALSE(none.AddRelation(ui));
  EXPECT_EQ(none.OrbitPairText(), "2 & 1");
}

TEST(OptionDialog, ReportGraphsNeverFallBelowOne) {
  AppState app;
  Model m(app);
  m.SelectReportGraph(2);
  m.AddReportGraph();
  EXPECT_EQ(m.Working().RepGraphCount, 6);
  EXPECT_EQ(m.SelectedReportGraph(), 3);  // after the current one, and selected
  EXPECT_EQ(m.Working().RepGraph[3].Type, 0);
  EXPECT_EQ(m.Working().RepGraph[4].Type, 4);  // the later ones moved down
  m.SetReportType(KindSa);
  m.SetReportText("two\r\nlines");
  ASSERT_EQ(m.LeaveField(Model::FieldRepGraphHeight, "33"), Result::Accepted);
  m.SelectReportGraph(6);
  for (int n = 6; n > 1; --n) EXPECT_TRUE(m.RemoveReportGraph()) << n;
  EXPECT_EQ(m.Working().RepGraphCount, 1);
  EXPECT_EQ(m.SelectedReportGraph(), 1);
  EXPECT_FALSE(m.RemoveReportGraph());
  EXPECT_EQ(m.Working().RepGraph.size(), 2u);
}

TEST(OptionDialog, ApplyMovesTheTimeWindowAndCancelDropsTheCopy) {
  AppState app = ThreeChannels();
  app.view.Changes = 0;
  Model m(app);
  m.SelectAxis(AxisTime);
  m.LeaveField(Model::FieldAxisMax, "40");
  // A new opening copies the program's settings again.
  m.Reset(app);
  EXPECT_FALSE(m.ApplyEnabled());
  EXPECT_EQ(m.FieldText(Model::FieldAxisMax), "80");
  EXPECT_EQ(m.SelectedAxis(), AxisTime);  // the selection stays
  m.LeaveField(Model::FieldAxisMax, "40");
  EXPECT_EQ(m.Apply(app).message, 0);
  EXPECT_FLOAT_EQ(app.graph.Axis[AxisTime].Max, 40);
  EXPECT_EQ(app.view.Changes & RecalcTimeAxis, RecalcTimeAxis);
}

class OptionFiles : public test::UserStoreTest {};

TEST_F(OptionFiles, EveryPageRoundTripsThroughAnIniFile) {
  AppState app = ThreeChannels();
  test::ScriptedUi ui;
  ui.onSelChan = [](SelChanMode, const std::vector<std::string>&, SelChanValues& v) {
    v.channelX = 1;
    v.channelY = 3;
    return true;
  };
  Model m(app);
  // Axis/Graph Title
  m.SelectAxis(AxisPeriod);
  m.SetAxisLog(false);
  m.LeaveField(Model::FieldAxisMin, "0.02");
  m.LeaveField(Model::FieldAxisMax, "10");
  m.SetAxisLabel("T");
  m.SetAxisUnit("(s)");
  m.SelectTitle(23);
  m.SetTitle("Sv normalised (h=%h%%)");
  // Components
  m.LeaveField(Model::FieldMaxWaves, "12");
  m.SelectComponent(11);
  m.LeaveField(Model::FieldWaveLineWidth, "0.7");
  m.SetWaveLineStyle(3);
  m.SetWaveLineColor(0x123456);
  // Graph appearance
  m.SelectTarget(4);
  m.SetFontName("Liberation Serif");
  m.LeaveField(Model::FieldFontSize, "14");
  m.SetFontBold(true);
  m.SetFontItalic(true);
  m.SetFontColor(0x00FF00);
  m.SetBackColor(0xEEEEEE);
  m.LeaveField(Model::FieldLineWidth, "0.4");
  m.SetLineStyle(1);
  m.SetLineColor(0x0000FF);
  m.SetDrawGrid(true);
  m.SetMinorGrid(true);
  m.SetLegendOption(4);
  m.SetLegFixTime(false);
  m.SetHeader("%a|%d|%f");
  m.SetFooter("footer");
  // Graph form
  const std::pair<Model::Field, const char*> form[] = {
      {Model::FieldWaveWidth, "160"},    {Model::FieldWaveHeight, "25"},   {Model::FieldWaveSpace, "3"},
      {Model::FieldSpecWidth, "80"},     {Model::FieldSpecHeight, "70"},   {Model::FieldLeftMargin, "20"},
      {Model::FieldRightMargin, "8"},    {Model::FieldTopMargin, "9"},     {Model::FieldBottomMargin, "12"},
      {Model::FieldOrbitWidth, "45"},    {Model::FieldWaveIncrement, "2"}, {Model::FieldLineUnit, "0.3"},
      {Model::FieldOrbitStart, "2.5"},   {Model::FieldOrbitEnd, "30"},     {Model::FieldOrbitInt, "5"},
      {Model::FieldOrbitCols, "4"},      {Model::FieldRepWidth, "180"},    {Model::FieldRepHeight, "260"},
      {Model::FieldRepLeft, "11"},       {Model::FieldRepTop, "12"},       {Model::FieldRepGraphWidth, "130"},
      {Model::FieldRepGraphHeight, "22"}};
  for (const auto& [f, text] : form) ASSERT_EQ(m.LeaveField(f, text), Result::Accepted) << f;
  m.SetSpectraOnPeriod(true);
  // Orbit/Relation and report
  ASSERT_TRUE(m.ChangeOrbitPair(ui));
  m.SetOrbitTime(2);
  m.AddReportGraph();
  m.SetReportType(KindSpectralRatio);
  m.SetReportText("ratio\r\nof %c");

  const std::string ini = dir.File("graph.ini");
  ASSERT_TRUE(m.SaveTo(ini, ui)) << ui.OnlyMessage();
  EXPECT_FALSE(FileExists(StorePath()));

  AppState fresh = ThreeChannels();
  Model back(fresh);
  ASSERT_TRUE(back.LoadFrom(ini, ui)) << ui.OnlyMessage();
  EXPECT_TRUE(back.ApplyEnabled());
  EXPECT_TRUE(ui.messages.empty());
  const GraphSettings& a = m.Working();
  const GraphSettings& b = back.Working();
  for (int r = 1; r <= kAxisCount; ++r) EXPECT_TRUE(a.Axis[r] == b.Axis[r]) << "axis " << r;
  EXPECT_TRUE(a.GraphTitle == b.GraphTitle);
  EXPECT_EQ(b.CompCountMax, 12);
  EXPECT_TRUE(a.WaveLine == b.WaveLine);
  for (int i = 1; i <= kFontCount; ++i) EXPECT_TRUE(a.Font[i] == b.Font[i]) << "font " << i;
  EXPECT_TRUE(a.Line == b.Line);
  EXPECT_TRUE(a.BackColor == b.BackColor);
  EXPECT_EQ(b.RepGraphCount, 6);
  for (int i = 1; i <= 6; ++i) EXPECT_TRUE(a.RepGraph[i] == b.RepGraph[i]) << "report graph " << i;
  EXPECT_TRUE(a == b);  // and every scalar

  // As default goes to the per-user store, where start-up finds it.
  ASSERT_TRUE(m.SaveTo(std::string(), ui));
  AppState started;
  LoadStoredSettings(started);
  EXPECT_EQ(started.graph.WaveWidth, 160);
  EXPECT_EQ(started.graph.CompCountMax, 12);
}

TEST_F(OptionFiles, DamagedFilesLoadWhatTheyCanAndNeverHalfApply) {
  AppState app = ThreeChannels();
  test::ScriptedUi ui;
  Model m(app);
  m.SetHeader("kept header");
  const GraphSettings before = m.Working();

  const std::string ini = dir.Write("damaged.ini",
                                    "[Graph]\n"
                                    "Axis4_Max = 750\n"
                                    "Axis5_Max = not a number\n"
                                    "NoSuchKey = 1\n"
                                    "WaveWidth = 99999999\n"
                                    "WaveHeight = -20\n"
                                    "SpecWidth = 1e30\n"
                                    "LineUnit = 0\n"
                                    "OrbitTime = 7\n"
                                    "OrbitCols = 100000\n"
                                    "Font2Size = 0\n"
                                    "Font2Name =\n"
                                    "WaveLine1Width = 1e6\n"
                                    "WaveLine1Style = 99\n"
                                    "Line1Width = -50\n"
                                    "RepGraphCount = 1000000\n"
                                    "RepGraph1Width = -5\n"
                                    "RepGraph1Top = 40\n"
                                    "CompCountMax = 2\n"
                                    "Footer = new footer\n"
                                    "\x01\x02\xff garbage line without equals\n");
  ASSERT_TRUE(m.LoadFrom(ini, ui)) << ui.OnlyMessage();
  const GraphSettings& w = m.Working();
  EXPECT_FLOAT_EQ(w.Axis[AxisAcc].Max, 750);
  EXPECT_FLOAT_EQ(w.Axis[AxisVel].Max, before.Axis[AxisVel].Max);
  EXPECT_EQ(w.WaveWidth, before.WaveWidth);
  EXPECT_EQ(w.WaveHeight, before.WaveHeight);
  EXPECT_EQ(w.SpecWidth, before.SpecWidth);
  EXPECT_FLOAT_EQ(w.LineUnit, before.LineUnit);
  EXPECT_EQ(w.OrbitTime, before.OrbitTime);
  EXPECT_EQ(w.OrbitCols, before.OrbitCols);
  EXPECT_FLOAT_EQ(w.Font[2].Size, before.Font[2].Size);
  EXPECT_EQ(w.Font[2].Name, before.Font[2].Name);
  EXPECT_TRUE(w.WaveLine[1] == before.WaveLine[1]);
  EXPECT_FLOAT_EQ(w.Line[1].Width, before.Line[1].Width);
  EXPECT_EQ(w.CompCountMax, before.CompCountMax);
  EXPECT_EQ(w.RepGraphCount, before.RepGraphCount);
  EXPECT_EQ(w.RepGraph[1].Width, before.RepGraph[1].Width);
  EXPECT_EQ(w.RepGraph[1].Top, 40);
  EXPECT_EQ(w.Header, "kept header");
  EXPECT_EQ(w.Footer, "new footer");
  EXPECT_TRUE(ui.messages.empty());

  // Nothing to load: the user is told and the working copy stays as it was.
  const GraphSettings loaded = m.Working();
  const std::string files[] = {dir.Write("other.ini", "[Calculation]\nRespDamping=3\n[Graph]\nUnknown=1\n"),
                               dir.Write("binary.ini", std::string("\0\xff\xfe\x01\x02", 5)),
                               dir.Write("empty.ini", ""), dir.File("missing.ini")};
  for (const std::string& file : files) {
    ui.messages.clear();
    EXPECT_FALSE(m.LoadFrom(file, ui)) << file;
    ASSERT_EQ(ui.messages.size(), 1u) << file;
    EXPECT_TRUE(m.Working() == loaded) << file;
  }
  EXPECT_EQ(ui.messages[0].text.rfind("Failed to read ", 0), 0u);
  ui.messages.clear();
  m.LoadFrom(files[0], ui);
  EXPECT_EQ(ui.messages[0].text.rfind(Str(6904), 0), 0u);

  // A file without report graphs keeps those of the working copy.
  ASSERT_TRUE(m.LoadFrom(dir.Write("norep.ini", "[Graph]\nRepGraphCount=0\n"), ui));
  EXPECT_EQ(m.Working().RepGraphCount, before.RepGraphCount);
}

TEST_F(OptionFiles, AFailedSaveLeavesTheFileAlone) {
  AppState app;
  test::ScriptedUi ui;
  Model m(app);
  std::filesystem::create_directories(dir.File("taken.ini"));
  EXPECT_FALSE(m.SaveTo(dir.File("taken.ini"), ui));
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("taken.ini")));
  EXPECT_FALSE(m.SaveTo(dir.File("missing/graph.ini"), ui));
  EXPECT_FALSE(std::filesystem::exists(dir.File("missing")));
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[1].text.rfind("Failed to write ", 0), 0u);
  EXPECT_EQ(ui.messages[1].icon, MsgIcon::Critical);
}

}  // namespace
}  // namespace sism
