#include "app/shell/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <vector>

#include "common/errors.h"
#include "common/files.h"
#include "common/text.h"
#include "draw/templates.h"
#include "tests/shell/user_store.h"
#include "tests/support/recording_dc.h"

namespace sism {
namespace {

using test::UserStoreTest;

// Keys of one section in file order, with their values.
std::vector<std::pair<std::string, std::string>> SectionKeys(const std::string& text,
                                                             const std::string& section) {
  std::vector<std::pair<std::string, std::string>> keys;
  bool inside = false;
  for (const std::string& line : Split(ReplaceAll(text, "\r\n", "\n"), "\n")) {
    if (StartsWith(line, "[")) {
      inside = line == "[" + section + "]";
    } else if (inside && line.find('=') != std::string::npos) {
      auto eq = line.find('=');
      keys.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
  }
  return keys;
}

std::map<std::string, std::string> KeyMap(const std::string& text, const std::string& section) {
  auto keys = SectionKeys(text, section);
  return {keys.begin(), keys.end()};
}

bool StoresRange(int r) {
  return r == 2 || r == 3 || r == 7 || (r >= 10 && r <= 13);
}

// Every stored field of GraphSettings given a value other than its default.
GraphSettings ChangedGraph() {
  GraphSettings gs;
  ResizeWaveLines(gs, 12);
  for (int r = 1; r <= kAxisCount; ++r) {
    AxisSettings& a = gs.Axis[r];
    a.Max = 1000.5f + static_cast<float>(r);
    a.Specify = !a.Specify;
    a.Label = "Label " + std::to_string(r);
    a.Unit = "(u" + std::to_string(r) + ")";
    if (StoresRange(r)) {
      a.Min = 0.25f * static_cast<float>(r);
      a.Log = !a.Log;
    }
  }
  for (int i = 1; i <= kGraphTitleCount; ++i) gs.GraphTitle[i] = "Title " + std::to_string(i) + " (h=%h%%)";
  gs.WaveIncrement = 3;
  gs.OrbitTime = 2;
  gs.OrbitStart = 1.5f;
  gs.OrbitEnd = 42.25f;
  gs.OrbitInt = 2.5f;
  gs.OrbitCols = 4;
  gs.OrbitComp1 = 3;
  gs.OrbitComp2 = 5;
  for (int k = 1; k <= 12; ++k) gs.WaveLine[k] = {1000 + k, 0.125f * static_cast<float>(k), k % 5};
  for (int i = 1; i <= kFontCount; ++i) {
    FontSettings& f = gs.Font[i];
    f.Name = "Font Face " + std::to_string(i);
    f.Size = 8.5f + static_cast<float>(i);
    f.Bold = true;
    f.Italic = i % 2 == 1;
    f.Color = 100 + i;
  }
  for (int i = 1; i <= kLineCount; ++i) gs.Line[i] = {200 + i, 0.05f * static_cast<float>(i), i};
  for (int i = 1; i <= kBackColorCount; ++i) gs.BackColor[i] = 300 + i;
  gs.DrawGrid = true;
  gs.GridLine = 768;
  gs.LegendPosition = 9;
  gs.LegFixTime = false;
  gs.LineUnit = 0.75f;
  gs.WaveWidth = 151;
  gs.WaveHeight = 21;
  gs.WaveSpace = 5;
  gs.SpecWidth = 76;
  gs.SpecHeight = 77;
  gs.OrbitWidth = 41;
  gs.LeftMargin = 16;
  gs.RightMargin = 6;
  gs.TopMargin = 7;
  gs.BottomMargin = 11;
  gs.Header = "%a|%d %t|%f";
  gs.Footer = "  page of %v  ";
  gs.SpectraOnPeriod = true;
  gs.RepWidth = 170;
  gs.RepHeight = 250;
  ResizeReportGraphs(gs, 7);
  const int kinds[7] = {1, 5, 6, 19, 15, 10, 0};
  for (int i = 1; i <= 7; ++i) {
    gs.RepGraph[i] = {kinds[i - 1], 10 * i, 5 * i, i, 2 * i, "Text " + std::to_string(i) + "\r\nline\t2"};
  }
  return gs;
}

TEST_F(UserStoreTest, FreshUserGetsTheBuiltInDefaults) {
  AppState app;
  app.graph.Axis[1].Max = 5;  // whatever was there before
  app.calc.CutOffFreq = 9;
  app.preproc.RemoveDC = false;
  LoadStoredSettings(app);
  EXPECT_TRUE(app.graph == GraphSettings{});
  EXPECT_TRUE(app.calc == CalcParams{});
  EXPECT_TRUE(app.preproc == PreProcParams{});
  EXPECT_FALSE(FileExists(StorePath()));  // loading never writes

  // The defaults as they are stored, key by key.
  SaveGraphSettings(GraphSettings{}, "");
  SaveCalcParams(CalcParams{}, "");
  SavePreProcParams(PreProcParams{}, "");
  const std::string text = StoreText();
  auto graph = KeyMap(text, "Graph");
  const std::map<std::string, std::string> expected = {
      {"Axis1_Max", "80"},
      {"Axis1_Specify", "True"},
      {"Axis1_Label", "Time"},
      {"Axis1_Unit", "(sec)"},
      {"Axis2_Max", "20"},
      {"Axis2_Min", "0.05"},
      {"Axis2_Log", "True"},
      {"Axis3_Label", "Period"},
      {"Axis4_Unit", "(cm/s/s)"},
      {"Axis7_Min", "0.1"},
      {"Axis18_Max", "1000"},
      {"Axis18_Label", "Power Spectrum"},
      {"Axis18_Unit", "(cm^2/s^3)"},
      {"Axis16_Max", "1"},
      {"Axis16_Specify", "True"},
      {"Axis16_Label", "Correlation Coef."},
      {"Axis16_Unit", ""},
      {"Axis8_Max", "1000"},
      {"Axis8_Min", "1"},
      {"Axis8_Label", "Acceleration Response"},
      {"Axis10_Min", "0.01"},
      {"Axis11_Label", "Pseudo Velocity Response"},
      {"Axis20_Label", "Energy Spectrum: Ve"},
      {"Axis12_Unit", "(s)"},
      {"Axis13_Max", "50"},
      {"Axis14_Max", "180"},
      {"Axis14_Label", "Phase Lag."},
      {"Axis15_Label", "Cross Spectrum"},
      {"Axis17_Label", "Coherence"},
      {"Axis19_Label", "Response Spectral Ratio"},
      {"Axis24_Label", "Normalized pSv"},
      {"GraphTitle4", "Fourier Spectrum (Time:%ls, Parzen:%wHz)"},
      {"GraphTitle20", "Response Spectrum Ratio (h=%h%%)"},
      {"GraphTitle21", ""},
      {"GraphTitle25", "Normalized pSv (h=%h%%)"},
      {"OrbitEnd", "100"},
      {"OrbitComp1", "2"},
      {"WaveLine1Color", "255"},
      {"WaveLine1Width", "0.3"},
      {"WaveLine2Color", "16711680"},
      {"WaveLine3Color", "16711935"},
      {"WaveLine3Style", "2"},
      {"WaveLine7Color", "16512"},  // every component its own colour and dash
      {"WaveLine9Style", "3"},
      {"Font1Name", "Arial"},
      {"Font4Size", "10"},
      {"Font2Bold", "False"},
      {"Line3Width", "0.2"},
      {"BackColor4", "16777215"},
      {"GridLine", "256"},
      {"LegendPosition", "6"},
      {"LegFixTime", "True"},
      {"FixedTimeWindow", "False"},  // records open whole
      {"LineUnit", "0.5"},
      {"CompCountMax", "9"},
      {"WaveWidth", "150"},
      {"BottomMargin", "10"},
      {"Header", ""},
      {"RepGraphCount", "5"},
      {"RepHeight", "235"},
      {"RepGraph1Type", "1"},
      {"RepGraph2Top", "80"},
      {"RepGraph3Type", "4"},
      {"RepGraph4Type", "8"},
      {"RepGraph4Left", "95"},
      {"RepGraph5Type", "0"},
      {"RepGraph5Text", "%d %t, Site: %c, JMA Intensity: %i"},
  };
  for (const auto& [key, value] : expected) {
    ASSERT_TRUE(graph.count(key)) << key;
    EXPECT_EQ(graph[key], value) << key;
  }
  EXPECT_EQ(graph.size(), 258u);
  for (const char* absent :
       {"Axis1_Min", "Axis1_Log", "Axis18_Min", "Axis18_Log", "Axis24_Min", "SpectraOnPeriod"})
    EXPECT_FALSE(graph.count(absent)) << absent;
  EXPECT_EQ(KeyMap(text, "Calculation")["SpectraOnPeriod"], "False");
  EXPECT_EQ(KeyMap(text, "Calculation")["CutOffFreq"], "0.1");
  EXPECT_EQ(KeyMap(text, "Calculation")["FourLength"], "81.92");
  EXPECT_EQ(KeyMap(text, "PreProcess")["RemoveDC"], "True");
}

TEST_F(UserStoreTest, KeysAreWrittenInTheirOrder) {
  SavePreProcParams(PreProcParams{}, "");
  SaveCalcParams(CalcParams{}, "");
  SaveGraphSettings(GraphSettings{}, "");
  const std::string text = StoreText();
  std::vector<std::string> names;
  for (const auto& [k, v] : SectionKeys(text, "PreProcess")) names.push_back(k);
  EXPECT_EQ(names, (std::vector<std::string>{"HighCutFreq", "KeepDrawChan", "LowCutFreq", "Multipliers",
                                             "RefSensor", "RemoveDC", "RemoveDCSeconds", "RotateWave",
                                             "PickChannels", "RotateWaveAngle", "ShowEachTime", "SkipSeconds",
                                             "TimeLength", "FilterType", "FilterOrder", "FilterKeepPad"}));
  names.clear();
  for (const auto& [k, v] : SectionKeys(text, "Calculation")) names.push_back(k);
  EXPECT_EQ(names, (std::vector<std::string>{"IntegrationMethod", "CutOffFreq", "TimeFront", "TimeRear",
                                             "WindowWidth", "FourDurationType", "FourLength", "RespSteps",
                                             "RespDamping", "RespNormalize", "RespPeaksBetweenSamples",
                                             "FourierSmoothing", "KonnoOhmachiB", "Ductilities", "DuctilityAlpha",
                                             "DuctilityDamping", "DuctilityQuantity", "SpectraOnPeriod"}));
  std::map<std::string, std::size_t> position;
  auto graph = SectionKeys(text, "Graph");
  for (std::size_t i = 0; i < graph.size(); ++i) position[graph[i].first] = i;
  const char* landmarks[] = {
      "Axis1_Max",      "Axis1_Specify",  "Axis1_Unit",    "Axis2_Max",     "Axis2_Min",     "Axis7_Unit",
      "Axis18_Max",     "Axis16_Max",     "Axis8_Max",     "Axis11_Unit",   "Axis20_Max",    "Axis12_Max",
      "Axis24_Unit",    "GraphTitle1",    "GraphTitle25",  "WaveIncrement", "OrbitComp2",    "WaveLine1Color",
      "WaveLine1Style", "WaveLine9Style", "Font1Name",     "Font1Color",    "Font4Color",    "Line1Color",
      "Line4Style",     "BackColor1",     "BackColor4",    "DrawGrid",      "LineUnit",      "CompCountMax",
      "WaveWidth",      "BottomMargin",   "Header",        "Footer",        "RepGraphCount", "RepWidth",
      "RepHeight",      "RepGraph1Left",  "RepGraph1Type", "RepGraph1Text", "RepGraph5Text"};
  for (std::size_t i = 0; i < std::size(landmarks); ++i) {
    ASSERT_TRUE(position.count(landmarks[i])) << landmarks[i];
    if (i > 0) {
      EXPECT_LT(position[landmarks[i - 1]], position[landmarks[i]]) << landmarks[i];
    }
  }
  EXPECT_EQ(graph.back().first, "RepGraph5Text");
}

TEST_F(UserStoreTest, EachSectionRoundTripsThroughAnIniFile) {
  const std::string ini = dir.File("mine.ini");
  const GraphSettings changed = ChangedGraph();
  CalcParams calc;
  calc.IntegrationMethod = 2;
  calc.CutOffFreq = 0.05f;
  calc.TimeFront = 2.5f;
  calc.TimeRear = 30;
  calc.WindowWidth = 0;
  calc.FourDurationType = 2;
  calc.FourLength = 40.96f;
  calc.RespSteps = 200;
  calc.RespDamping = 2;
  calc.RespNormalize = true;
  calc.RespPeaksBetweenSamples = false;  // on by default
  calc.Ductilities = {1.25f, 3, 10};
  calc.DuctilityAlpha = 0.05f;
  calc.DuctilityDamping = 2;
  calc.DuctilityQuantity = DuctSdYield;
  PreProcParams pre;
  pre.KeepDrawChan = true;
  pre.RemoveDC = false;
  pre.RotateWave = true;
  pre.PickChannels = true;
  pre.ShowEachTime = true;
  pre.RemoveDCSeconds = 0;
  pre.RotateWaveAngle = -45;
  pre.RefSensor = 2;
  pre.LowCutFreq = 0.1f;
  pre.HighCutFreq = 20;
  pre.SkipSeconds = 1.5f;
  pre.TimeLength = 60;
  pre.Multipliers = "1:-1:0.5";
  SaveGraphSettings(changed, ini);
  SaveCalcParams(calc, ini);
  SavePreProcParams(pre, ini);
  EXPECT_FALSE(FileExists(StorePath()));

  GraphSettings gs;
  ResizeWaveLines(gs, 12);  // the table is sized before a load, never by it
  ASSERT_TRUE(LoadGraphSettings(gs, ini));
  EXPECT_TRUE(gs == changed);
  for (int r = 1; r <= kAxisCount; ++r) EXPECT_TRUE(gs.Axis[r] == changed.Axis[r]) << "axis " << r;
  for (int i = 1; i <= 7; ++i) EXPECT_TRUE(gs.RepGraph[i] == changed.RepGraph[i]) << "report graph " << i;

  CalcParams c2;
  ASSERT_TRUE(LoadCalcParams(c2, ini));
  EXPECT_TRUE(c2 == calc);
  PreProcParams p2;
  p2.ConvertToMeter = true;  // for the run only: left alone
  ASSERT_TRUE(LoadPreProcParams(p2, ini));
  p2.ConvertToMeter = false;
  EXPECT_TRUE(p2 == pre);

  // A file that is not there changes nothing.
  GraphSettings untouched;
  EXPECT_FALSE(LoadGraphSettings(untouched, dir.File("none.ini")));
  EXPECT_TRUE(untouched == GraphSettings{});
  EXPECT_FALSE(LoadCalcParams(c2, dir.File("none.ini")));
  EXPECT_TRUE(c2 == calc);
}

TEST_F(UserStoreTest, StoredDuctilitiesOutsideTheRulesLeaveTheSettingsAsTheyWere) {
  for (const char* bad : {"1 2 4", "2 2 4", "0.5", "", "2 x", "2 3 4 5 6 7 8 9 10 11 12"}) {
    const std::string ini = dir.Write("duct.ini", std::string("[Calculation]\nDuctilities=") + bad +
                                                      "\nDuctilityAlpha=1\nDuctilityDamping=-3\nDuctilityQuantity=4\n");
    CalcParams c;
    ASSERT_TRUE(LoadCalcParams(c, ini));
    EXPECT_EQ(c.Ductilities, CalcParams{}.Ductilities) << bad;
    EXPECT_EQ(c.DuctilityAlpha, 0) << bad;
    EXPECT_EQ(c.DuctilityDamping, 5) << bad;
    EXPECT_EQ(c.DuctilityQuantity, DuctR) << bad;
  }
  const std::string ini = dir.Write("duct.ini", "[Calculation]\nDuctilities=8, 2;4\n");
  CalcParams c;
  ASSERT_TRUE(LoadCalcParams(c, ini));
  EXPECT_EQ(c.Ductilities, (std::vector<float>{2, 4, 8}));
}

// The processing chain's section: every field under its own name, a hand-made file taking what
// it can, and the other fields left as they were.
TEST_F(UserStoreTest, ProcessingSectionRoundTripsAndLoadsByHand) {
  const std::string ini = dir.Write("proc.ini",
                                    "[Processing]\r\n"
                                    "SnrThreshold = 2.5\r\n"
                                    "RaiseHighPass = false\r\n"
                                    "FilterOrder = x\r\n"
                                    "RejectOnFlag=0\r\n");
  ProcessingParams p;
  ASSERT_TRUE(LoadProcessingParams(p, ini));
  ProcessingParams expected;
  expected.SnrThreshold = 2.5f;
  expected.RaiseHighPass = false;
  expected.RejectOnFlag = 0;
  EXPECT_TRUE(p == expected);
  p.MaxHighPass = 0.5f;
  p.BaselineDegree = 4;
  p.OutputFormats = "ac,cosmos-v2";
  const std::string out = dir.File("saved.ini");
  SaveProcessingParams(p, out);
  ProcessingParams back;
  ASSERT_TRUE(LoadProcessingParams(back, out));
  EXPECT_TRUE(back == p);
  EXPECT_NE(ReadWholeFile(out).find("MaxHighPass=0.5"), std::string::npos) << ReadWholeFile(out);
  EXPECT_FALSE(LoadProcessingParams(back, dir.File("none.ini")));
}

TEST_F(UserStoreTest, OnlyTheMarkedAxesStoreMinimumAndScale) {
  GraphSettings gs;
  gs.Axis[AxisPower].Min = 7;
  gs.Axis[AxisPower].Log = false;
  const std::string ini = dir.File("axes.ini");
  SaveGraphSettings(gs, ini);
  auto keys = KeyMap(ReadWholeFile(ini), "Graph");
  for (int n = 1; n <= kAxisCount; ++n) {
    const bool marked = n == 2 || n == 3 || n == 7 || (n >= 8 && n <= 11);  // key numbers
    EXPECT_EQ(keys.count("Axis" + std::to_string(n) + "_Min"), marked ? 1u : 0u) << n;
    EXPECT_EQ(keys.count("Axis" + std::to_string(n) + "_Log"), marked ? 1u : 0u) << n;
  }
  // Keys a hand may add for the power spectrum are not read either.
  WriteSetting("Graph", "Axis18_Min", "5", ini);
  WriteSetting("Graph", "Axis18_Log", "False", ini);
  GraphSettings back;
  LoadGraphSettings(back, ini);
  EXPECT_FLOAT_EQ(back.Axis[AxisPower].Min, 0.1f);
  EXPECT_TRUE(back.Axis[AxisPower].Log);
}

TEST_F(UserStoreTest, ReportGraphsOfKinds20And21ComeBackAsTextBoxes) {
  GraphSettings gs;
  ResizeReportGraphs(gs, 4);
  gs.RepGraph[1].Type = 20;
  gs.RepGraph[2].Type = 21;
  gs.RepGraph[3].Type = 5;
  gs.RepGraph[4].Type = 6;
  gs.RepGraph[4].Text = "first\r\nsecond\tcolumn";
  const std::string ini = dir.File("report.ini");
  SaveGraphSettings(gs, ini);
  auto keys = KeyMap(ReadWholeFile(ini), "Graph");
  EXPECT_EQ(keys["RepGraph1Type"], "0");
  EXPECT_EQ(keys["RepGraph2Type"], "0");
  EXPECT_EQ(keys["RepGraph3Type"], "19");
  EXPECT_EQ(keys["RepGraph4Type"], "13");
  EXPECT_EQ(keys["RepGraph4Text"], "first\\nsecond\\tcolumn");  // one line in the file
  GraphSettings back;
  LoadGraphSettings(back, ini);
  ASSERT_EQ(back.RepGraphCount, 4);
  EXPECT_EQ(back.RepGraph.size(), 5u);
  EXPECT_EQ(back.RepGraph[1].Type, 0);
  EXPECT_EQ(back.RepGraph[2].Type, 0);
  EXPECT_EQ(back.RepGraph[3].Type, 5);
  EXPECT_EQ(back.RepGraph[4].Type, 6);
  EXPECT_EQ(back.RepGraph[4].Text, "first\r\nsecond\tcolumn");  // as it was before saving
}

// The stored line of a report text, and what a load then holds in memory.
TEST_F(UserStoreTest, ReportTextsAreStoredEscapedAndHeldAsEdited) {
  GraphSettings gs;
  gs.RepGraph[1].Text = "C:\\data\r\nx\ty\rz\n";
  gs.RepGraph[2].Text = "one line, 50% \\ more";
  gs.RepGraph[3].Text = "";
  const std::string ini = dir.File("texts.ini");
  SaveGraphSettings(gs, ini);
  SaveGraphSettings(gs, ini);  // saving again writes the same line, never escapes twice
  auto keys = KeyMap(ReadWholeFile(ini), "Graph");
  EXPECT_EQ(keys["RepGraph1Text"], "C:\\data\\nx\\ty\\nz\\n");
  EXPECT_EQ(keys["RepGraph2Text"], "one line, 50% \\ more");
  EXPECT_EQ(keys["RepGraph3Text"], "");
  EXPECT_EQ(keys["RepGraph5Text"], "%d %t, Site: %c, JMA Intensity: %i");

  GraphSettings back;
  ASSERT_TRUE(LoadGraphSettings(back, ini));
  EXPECT_EQ(back.RepGraph[1].Text, "C:data\r\nx\ty\r\nz\r\n");  // line breaks come back as CR LF
  EXPECT_EQ(back.RepGraph[2].Text, "one line, 50%  more");
  EXPECT_EQ(back.RepGraph[3].Text, "");
  // Saving what was loaded gives the file back for texts of line breaks and tabs.
  SaveGraphSettings(back, ini);
  EXPECT_EQ(KeyMap(ReadWholeFile(ini), "Graph")["RepGraph1Text"], "C:data\\nx\\ty\\nz\\n");
}

TEST_F(UserStoreTest, AMissingReportTextKeyLeavesTheTextAsItIs) {
  const std::string ini = dir.Write("short.ini", "[Graph]\nRepGraph2Text=a\\tb\n");
  GraphSettings gs;
  gs.RepGraph[1].Text = "C:\\data\r\nnext";
  ASSERT_TRUE(LoadGraphSettings(gs, ini));
  EXPECT_EQ(gs.RepGraph[1].Text, "C:\\data\r\nnext");
  EXPECT_EQ(gs.RepGraph[2].Text, "a\tb");
  EXPECT_EQ(gs.RepGraph[5].Text, "%d %t, Site: %c, JMA Intensity: %i");
}

// A text box edited in a window breaks its lines with LF; once saved and loaded again
// it draws as the same text read from a settings file does, and as it did when edited.
TEST_F(UserStoreTest, EditedReportTextDrawsTheSameAfterSaveAndLoad) {
  TemplateFacts facts;
  facts.code = "TKY007";
  auto draw = [&](const GraphSettings& gs) {
    test::RecordingDc dc;
    cGraphicExtensions gx;
    gx.SetHdc(&dc);
    gx.SetWindow(2000, 1500, 20000, 15000);
    DrawReportText(gx, gs, gs.RepGraph[5], facts);
    return dc.Calls("DrawText");
  };

  const std::string hand = dir.Write("hand.ini", "[Graph]\nRepGraph5Text=Site %c\\nsecond line\\tend\n");
  GraphSettings loaded;
  ASSERT_TRUE(LoadGraphSettings(loaded, hand));
  const std::vector<std::string> asLoaded = draw(loaded);
  ASSERT_EQ(asLoaded.size(), 1u);
  EXPECT_TRUE(EndsWith(asLoaded[0], " Site TKY007\nsecond line\tend")) << asLoaded[0];

  GraphSettings edited;
  edited.RepGraph[5].Text = "Site %c\nsecond line\tend";
  EXPECT_EQ(draw(edited), asLoaded);
  const std::string saved = dir.File("saved.ini");
  SaveGraphSettings(edited, saved);
  EXPECT_EQ(KeyMap(ReadWholeFile(saved), "Graph")["RepGraph5Text"], "Site %c\\nsecond line\\tend");
  GraphSettings again;
  ASSERT_TRUE(LoadGraphSettings(again, saved));
  EXPECT_EQ(again.RepGraph[5].Text, loaded.RepGraph[5].Text);
  EXPECT_EQ(draw(again), asLoaded);
}

TEST_F(UserStoreTest, HandMadeFileLoadsWhatItCan) {
  const std::string ini = dir.Write("hand.ini",
                                    "; edited by hand\r\n"
                                    "\r\n"
                                    "[GRAPH]\r\n"
                                    "axis1_MAX = 60\r\n"
                                    "Axis1_Specify = false\r\n"
                                    "Axis2_Min=abc\r\n"
                                    "# the colour of the second component\r\n"
                                    "WaveLine2Color = 65280\r\n"
                                    "LegendPosition=oops\r\n"
                                    "Font1Name =  Times New Roman \r\n"
                                    "RepGraphCount = many\r\n"
                                    "RepGraph1Type = 8\r\n"
                                    "RepGraph5Type = 20\r\n"
                                    "CompCountMax = 4\r\n"
                                    "\r\n"
                                    "[calculation]\r\n"
                                    "RespDamping = 3,5\r\n"
                                    "SpectraOnPeriod = TRUE\r\n"
                                    "IntegrationMethod = 2.0\r\n"
                                    "FourLength = 1e99\r\n"
                                    "[PreProcess]\r\n"
                                    "Multipliers = 1:2:-1\r\n"
                                    "RemoveDC = no\r\n"
                                    "RotateWaveAngle = 30\r\n");
  GraphSettings gs;
  ASSERT_TRUE(LoadGraphSettings(gs, ini));
  EXPECT_FLOAT_EQ(gs.Axis[1].Max, 60);
  EXPECT_FALSE(gs.Axis[1].Specify);
  EXPECT_FLOAT_EQ(gs.Axis[2].Min, 0.05f);  // garbage keeps the default
  EXPECT_EQ(gs.WaveLine[2].Color, 65280);
  EXPECT_EQ(gs.LegendPosition, 6);
  EXPECT_EQ(gs.Font[1].Name, "Times New Roman");
  EXPECT_EQ(gs.RepGraphCount, 5);
  EXPECT_EQ(gs.RepGraph[1].Type, 10);
  EXPECT_EQ(gs.RepGraph[5].Type, 0);
  EXPECT_EQ(gs.CompCountMax, 9);  // read only at start-up
  EXPECT_TRUE(gs.SpectraOnPeriod);

  CalcParams calc;
  LoadCalcParams(calc, ini);
  EXPECT_FLOAT_EQ(calc.RespDamping, 3.5f);
  EXPECT_EQ(calc.IntegrationMethod, 2);
  EXPECT_FLOAT_EQ(calc.FourLength, 81.92f);

  PreProcParams pre;
  LoadPreProcParams(pre, ini);
  EXPECT_EQ(pre.Multipliers, "1:2:-1");
  EXPECT_TRUE(pre.RemoveDC);
  EXPECT_EQ(pre.RotateWaveAngle, 30);
}

TEST_F(UserStoreTest, SavingOneSectionKeepsTheRestOfTheFile) {
  const std::string original =
      "; my settings\n"
      "[Window]\n"
      "Left=1234\n"
      "\n"
      "[Calculation]\n"
      "; tuned for soft soil\n"
      "RespDamping=10\n"
      "Custom=keep\n"
      "\n"
      "[Other program]\n"
      "x=1\n";
  const std::string ini = dir.Write("shared.ini", original);
  CalcParams calc;
  calc.RespDamping = 3;
  SaveCalcParams(calc, ini);
  SaveCalcParams(calc, ini);  // twice: keys are replaced, never repeated
  const std::string text = ReadWholeFile(ini);
  EXPECT_TRUE(StartsWith(text,
                         "; my settings\n[Window]\nLeft=1234\n\n[Calculation]\n; tuned for soft soil\n"
                         "RespDamping=3\nCustom=keep\nIntegrationMethod=4\n"))
      << text;
  EXPECT_TRUE(EndsWith(
      text, "KonnoOhmachiB=40\nDuctilities=1.5 2 4 6 8\nDuctilityAlpha=0\nDuctilityDamping=5\n"
            "DuctilityQuantity=0\n\n[Other program]\nx=1\n"))
      << text;
  EXPECT_EQ(SectionKeys(text, "Calculation").size(), 18u);

  // The graph save adds its own section and one key of "Calculation".
  SaveGraphSettings(GraphSettings{}, ini);
  const std::string after = ReadWholeFile(ini);
  EXPECT_EQ(SectionKeys(after, "Calculation").size(), 19u);
  EXPECT_EQ(KeyMap(after, "Window")["Left"], "1234");
  EXPECT_EQ(KeyMap(after, "Other program")["x"], "1");
}

TEST_F(UserStoreTest, StartUpSizesTheComponentTableAndForcesTheSpectrumRanges) {
  GraphSettings stored = ChangedGraph();  // 12 components
  stored.Axis[AxisFrequency].Specify = false;
  stored.Axis[AxisPeriod].Specify = false;
  SaveGraphSettings(stored, "");
  AppState app;
  app.run.SwitchC = false;
  app.run.SwitchV = true;
  app.run.LengthUnit = 2;
  app.view.ViewChanCount = 4;
  LoadStoredSettings(app);
  EXPECT_EQ(app.graph.CompCountMax, 12);
  ASSERT_EQ(app.graph.WaveLine.size(), 13u);
  EXPECT_TRUE(app.graph.Axis[AxisFrequency].Specify);
  EXPECT_TRUE(app.graph.Axis[AxisPeriod].Specify);
  GraphSettings expected = stored;
  expected.Axis[AxisFrequency].Specify = true;
  expected.Axis[AxisPeriod].Specify = true;
  EXPECT_TRUE(app.graph == expected);
  EXPECT_TRUE(app.run.SwitchC);
  EXPECT_TRUE(app.run.SwitchE);
  EXPECT_FALSE(app.run.SwitchV);
  EXPECT_EQ(app.run.LengthUnit, 1);
  EXPECT_EQ(app.view.ViewChanCount, 0);

  // Stored counts that cannot size the table leave the default.
  for (const char* count : {"2", "abc", "100000", "-5", ""}) {
    WriteSetting("Graph", "CompCountMax", count, "");
    AppState fresh;
    LoadStoredSettings(fresh);
    EXPECT_EQ(fresh.graph.CompCountMax, 9) << count;
    EXPECT_EQ(fresh.graph.WaveLine.size(), 10u) << count;
    EXPECT_EQ(fresh.graph.WaveLine[9].Color, 1009) << count;  // the stored lines still load
  }
}

TEST_F(UserStoreTest, ReportTableFollowsTheStoredCount) {
  const std::string ini = dir.Write("count.ini",
                                    "[Graph]\nRepGraphCount=2\nRepGraph2Text=only two\n"
                                    "RepGraph3Text=ignored\n");
  GraphSettings gs;
  LoadGraphSettings(gs, ini);
  ASSERT_EQ(gs.RepGraphCount, 2);
  ASSERT_EQ(gs.RepGraph.size(), 3u);
  EXPECT_EQ(gs.RepGraph[1].Type, 1);  // the entries kept their values
  EXPECT_EQ(gs.RepGraph[2].Text, "only two");

  WriteSetting("Graph", "RepGraphCount", "100000", ini);  // too many to be a real layout
  GraphSettings big;
  LoadGraphSettings(big, ini);
  EXPECT_EQ(big.RepGraphCount, 5);
  EXPECT_EQ(big.RepGraph.size(), 6u);
}

TEST_F(UserStoreTest, DefaultsSettersRestoreEveryStoredField) {
  GraphSettings gs = ChangedGraph();
  SetGraphDefaults(gs);
  EXPECT_EQ(gs.CompCountMax, 12);  // the table keeps its size
  GraphSettings expected;
  ResizeWaveLines(expected, 12);
  EXPECT_TRUE(gs == expected);

  CalcParams calc;
  calc.RespSteps = 1;
  calc.RecalcFlags = 6;
  SetCalcDefaults(calc);
  EXPECT_TRUE(calc == CalcParams{});
  PreProcParams pre;
  pre.Multipliers = "2";
  pre.PrefixCode = true;
  SetPreProcDefaults(pre);
  EXPECT_EQ(pre.Multipliers, "");
  EXPECT_TRUE(pre.PrefixCode);  // for the run, not a stored default
}

TEST_F(UserStoreTest, WindowPlacementIsNeverStoredMinimised) {
  WindowPlacement w;
  EXPECT_FLOAT_EQ(w.Left, 1000);
  EXPECT_FLOAT_EQ(w.Width, 6500);
  LoadWindowPlacement(w);
  EXPECT_TRUE(w.ToolBar && w.StatusBar);
  w.Left = 120;
  w.Height = 9000.5f;
  w.State = 2;
  w.StatusBar = false;
  SaveWindowPlacement(w);
  WindowPlacement minimised = w;
  minimised.State = kWindowMinimized;
  minimised.Left = -32000;
  minimised.ToolBar = false;
  SaveWindowPlacement(minimised);
  WindowPlacement back;
  LoadWindowPlacement(back);
  EXPECT_FLOAT_EQ(back.Left, 120);
  EXPECT_FLOAT_EQ(back.Height, 9000.5f);
  EXPECT_EQ(back.State, 2);
  EXPECT_FALSE(back.ToolBar);  // the bars are still remembered
  EXPECT_FALSE(back.StatusBar);

  WriteSetting("Window", "State", "1", "");
  LoadWindowPlacement(back);
  EXPECT_EQ(back.State, 0);
}

TEST_F(UserStoreTest, PathsDefaultToTheUserFoldersAndRoundTrip) {
  std::filesystem::create_directories(dir.File("home/Documents"));
  std::filesystem::create_directories(dir.File("home/Pictures"));
  std::filesystem::create_directories(dir.File("config"));
  dir.Write("config/user-dirs.dirs",
            "XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\nXDG_PICTURES_DIR=\"$HOME/Pictures\"\n");
  PathSettings p;
  SetPathDefaults(p);
  LoadPathSettings(p);
  EXPECT_EQ(p.LastFolder, dir.File("home/Documents"));
  EXPECT_EQ(p.LastFolderSave, dir.File("home/Documents"));
  EXPECT_EQ(p.LastFolderSetting, dir.File("home/Documents"));
  EXPECT_EQ(p.LastFolderImage, dir.File("home/Pictures"));
  EXPECT_EQ(p.RecentFile[1], "");
  p.LastFolder =
      "/data/records with a long name that is longer than one hundred and twenty-seven characters "
      "so that nothing may cut it" +
      std::string(40, 'x');
  p.RecentFile[1] = "/data/a.acs";
  p.RecentFile[6] = "/data/f.acs";
  SavePathSettings(p);
  PathSettings back;
  LoadPathSettings(back);
  EXPECT_EQ(back.LastFolder, p.LastFolder);
  EXPECT_EQ(back.RecentFile[1], "/data/a.acs");
  EXPECT_EQ(back.RecentFile[6], "/data/f.acs");
  EXPECT_EQ(KeyMap(StoreText(), "Paths").count("RecentFile6"), 1u);

  TextViewerPlacement t{10, 20, 3000, 4000};
  LoadTextViewerPlacement(t);  // nothing stored: the window's own placement stays
  EXPECT_FLOAT_EQ(t.Width, 3000);
  t.Width = 5000;
  SaveTextViewerPlacement(t);
  TextViewerPlacement t2{1, 1, 1, 1};
  LoadTextViewerPlacement(t2);
  EXPECT_FLOAT_EQ(t2.Left, 10);
  EXPECT_FLOAT_EQ(t2.Width, 5000);
  EXPECT_EQ(KeyMap(StoreText(), "TextViewer")["Window Height"], "4000");
}

}  // namespace
}  // namespace sism
