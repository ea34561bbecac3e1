#include <gtest/gtest.h>

#include "load/user_side.h"
#include "app/shell/export.h"
#include "app/shell/peaks_report.h"
#include "app/shell/properties_report.h"
#include "common/files.h"
#include "common/text.h"
#include "record/readers.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"
#include "tests/support/text_lines.h"

namespace sism {
namespace {

// A record of `chans` channels at 100 Hz whose samples are ch * step / 100, with a
// spike of -500 on channel 1 at step 50.
AppState Record(int32_t chans, int32_t steps) {
  AppState app;
  StrongRecord& r = app.record;
  r.FileFormat = FormatAc;
  r.FilePath = "/data/rec.ac";
  r.FileSize = 1234567;
  r.SampFreq = 100;
  r.ChanCount = chans;
  r.DataCount = steps;
  r.RecDate = "2024/01/02";
  r.RecTime = "03:04:05";
  r.SiteCode = "ABC";
  r.SiteName = "Somewhere";
  r.PeakAcc = 500;
  r.RedimHeader(chans);
  r.RedimAcc(steps, chans);
  for (int32_t ch = 1; ch <= chans; ++ch) {
    r.Label(ch) = "C" + std::to_string(ch);
    for (int32_t i = 1; i <= steps; ++i) r.Acc(i, ch) = static_cast<float>(ch * i) / 100.0f;
  }
  if (steps >= 50) r.Acc(50, 1) = -500;
  ComputePeaks(r);
  app.view.DrawChan.assign(static_cast<std::size_t>(chans), true);
  for (int32_t ch = 1; ch <= chans; ++ch) app.view.LabelCopies.push_back(r.Label(ch));
  app.Durations.assign(static_cast<std::size_t>(chans), 1.5f);
  return app;
}

TEST(PropertiesReport, WholeText) {
  AppState app = Record(2, 100);
  app.record.JmaGroup = 1;
  app.record.JmaIntensity = 4.46f;
  app.view.LabelCopies[1] = "A label longer than ten";
  app.calc.StartThreshold = 0.5f;
  const std::string expected =
      "Strong Motion Record\r\n"
      "\r\n"
      "Record Information\r\n"
      " File path: /data/rec.ac\r\n"
      " File size: 1,234,567 bytes\r\n"
      " Date and time: 2024/01/02 03:04:05\r\n"
      " Sampling frequency: 100 Hz\r\n"
      " Number of channels: 2\r\n"
      " Number of steps: 100\r\n"
      " Peak acceleration: 500.0 cm/s/s\r\n"
      " JMA Seismic Intensity: 4.4, class 4 (using chs#1-#3)\r\n"
      "\r\n"
      "Site Information\r\n"
      " Code: ABC\r\n"
      " Name: Somewhere\r\n"
      "\r\n"
      "Channel Information\r\n"
      " #     Label   PeakAcc  Duration StartTime\r\n"
      "01        C1    -500.0      1.50      0.50\r\n"
      "02r than ten       2.0      1.50      0.25";
  EXPECT_EQ(PropertiesReportText(app), expected);
}

TEST(PropertiesReport, OptionalLinesAndSeveralFileFormats) {
  AppState app = Record(1, 10);
  app.record.FileFormat = FormatKnet;
  app.record.FilePath = "/k/AOM0011801241951";
  app.record.SiteLat = "40.1";
  app.record.SiteLong = "140.2";
  app.record.JmaGroup = 0;
  const std::vector<std::string> lines = test::TextLines(PropertiesReportText(app));
  EXPECT_EQ(lines[3], " File path: /k/AOM0011801241951.*");
  EXPECT_EQ(lines[4], " File size: 1,234,567 bytes/file");
  EXPECT_EQ(lines[10], "");  // no intensity line
  EXPECT_EQ(lines[14], " Latitude: 40.1");
  EXPECT_EQ(lines[15], " Longitude: 140.2");
  app.record.FileFormat = FormatJma95a;
  EXPECT_EQ(test::TextLines(PropertiesReportText(app))[3], " File path: /k/AOM0011801241951.*");
}

TEST(PropertiesReport, EventAndStationWhereTheHeaderGivesThem) {
  AppState app = Record(1, 10);
  app.record.SiteLat = "41.5";
  app.record.SiteLong = "141";
  RecordSource& s = app.record.Source;
  s.TimeZone = "+09:00";
  s.Network = "BO";
  s.StationElevationM = 39;
  s.OriginTime = "2024-01-02T03:04:00+09:00";
  s.EventLat = 41.5;
  s.EventLon = 142;
  s.EventDepthKm = 30;
  s.Magnitude = 6.2;
  s.MagnitudeType = "Mj";
  const std::string report = PropertiesReportText(app);
  for (const char* line :
       {"\r\n Start time: 2024-01-02T03:04:05+09:00\r\n", "\r\n Network: BO\r\n", "\r\n Elevation: 39 m\r\n",
        "\r\nEvent Information\r\n", "\r\n Origin time: 2024-01-02T03:04:00+09:00\r\n",
        "\r\n Depth: 30 km\r\n", "\r\n Magnitude: Mj 6.2\r\n", "\r\n Epicentral distance: 83.3 km\r\n",
        "\r\n Hypocentral distance: 88.5 km\r\n"})
    EXPECT_NE(report.find(line), std::string::npos) << line << report;
  // Nothing of it for a record whose header says nothing.
  EXPECT_EQ(PropertiesReportText(Record(1, 10)).find("Event"), std::string::npos);
}

TEST(PropertiesReport, StartTimeThresholds) {
  AppState app = Record(1, 100);  // samples 0.01 .. 1.00, -500 at step 50
  struct Case {
    float threshold;
    float start;
  } cases[] = {
      {0, 0},      {0.5f, 0.50f},  // first sample above 0.5 is step 51 (0.51 > 0.5)
      {2, 0},                      // none passes
      {-1, 0.49f},                 // first sample below -1 is the spike at step 50
      {-600, 0},
  };
  for (const Case& c : cases)
    EXPECT_FLOAT_EQ(ChannelStartTime(app.record, 1, c.threshold), c.start) << c.threshold;
}

TEST(HexDump, HeadingLinesAndCharacters) {
  std::string bytes = "ABCDEFGHIJKLMNOP";
  bytes += std::string("\x00\x1f\x7f\xff ~", 6);
  const std::vector<std::string> lines = test::TextLines(HexDumpText(bytes));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], " addr | 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F");
  EXPECT_EQ(lines[1], " ---- + -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- --");
  EXPECT_EQ(lines[2], " 0000 | 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50  ABCDEFGHIJKLMNOP");
  EXPECT_EQ(lines[3], " 0010 | 00 1F 7F FF 20 7E" + std::string(30, ' ') + "       ~");
}

TEST(FileNames, ExtensionsAndQuestion) {
  EXPECT_EQ(SaveAcFileName("/d/out"), "/d/out.ac");
  EXPECT_EQ(SaveAcFileName("/d/out.dat"), "/d/out.dat");
  EXPECT_EQ(ExportFileName("/d/out", 1), "/d/out.csv");
  EXPECT_EQ(ExportFileName("/d/out", 2), "/d/out.txt");
  EXPECT_EQ(ExportFileName("/d/out", 3), "/d/out.txt");
  EXPECT_EQ(ExportFileName("/d.x/out.csv", 3), "/d.x/out.csv");
  EXPECT_EQ(ExportFileName("/d.x/out", 1), "/d.x/out.csv");
  EXPECT_EQ(OverwriteQuestion("/d/a.ac"), "/d/a.ac already exists.\nOverwrite?");
  EXPECT_EQ(ExportDialogTitle(4), "Export - Fourier Spectrum");
}

TEST(Export, TimeHistoryCommaSeparated) {
  AppState app = Record(3, 5);
  const std::vector<std::string> lines = test::TextLines(ExportText(app, 1, ExportComma, false));
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0], "Acceleration - 2024/01/02 03:04:05 ABC: Somewhere");
  EXPECT_EQ(lines[1], "Time (sec), C1, C2, C3");
  EXPECT_EQ(lines[2], "0.000, 0.010, 0.020, 0.030");
  EXPECT_EQ(lines[3], "0.010, 0.020, 0.040, 0.060");
  EXPECT_EQ(lines[6], "0.040, 0.050, 0.100, 0.150");
  EXPECT_TRUE(EndsWith(ExportText(app, 1, ExportComma, false), "\r\n"));
}

TEST(Export, ShownChannelsOnlyAndFixedCells) {
  AppState app = Record(3, 60);
  app.view.DrawChan[1] = false;
  app.view.LabelCopies[2] = "Vertical component";
  const std::vector<std::string> lines = test::TextLines(ExportText(app, 1, ExportFixed, false));
  EXPECT_EQ(lines[1], "Time (sec)        C1 component");  // header cells cut to 10
  EXPECT_EQ(lines[2], "     0.000     0.010     0.030");
  EXPECT_EQ(lines[51], "     0.490  -500.000     1.500");  // step 50
}

TEST(Export, SwitchVHeaderLines) {
  AppState app = Record(2, 3);
  const std::vector<std::string> comma = test::TextLines(ExportText(app, 1, ExportComma, true));
  ASSERT_EQ(comma.size(), 8u);
  EXPECT_EQ(comma[1], "2, 3");
  EXPECT_EQ(comma[2], "Time (sec)");
  EXPECT_EQ(comma[3], "Acc. (cm/s/s)");
  EXPECT_EQ(comma[4], ", C1, C2");
  const std::vector<std::string> fixed = test::TextLines(ExportText(app, 1, ExportFixed, true));
  EXPECT_EQ(fixed[1], "         2         3");
  EXPECT_EQ(fixed[4], "                  C1        C2");
  const std::vector<std::string> tab = test::TextLines(ExportText(app, 1, ExportTab, true));
  EXPECT_EQ(tab[1], "2\t3");
  EXPECT_EQ(tab[5], "0.000\t0.010\t0.020");
}

// Fourier data of NH values DF apart: amplitude k of channel ch is ch * k.
void SetFourier(AppState& app, int32_t nh, float df) {
  FourierData& f = app.series.fourier;
  f.ChanCount = app.record.ChanCount;
  f.NH = nh;
  f.DF = df;
  f.A.Resize(nh, f.ChanCount);
  f.Pw.Resize(nh, f.ChanCount);
  f.Rc.Resize(nh / 2, f.ChanCount);
  for (int32_t ch = 1; ch <= f.ChanCount; ++ch)
    for (int32_t k = 1; k <= nh; ++k) f.A(k, ch) = static_cast<float>(ch * k);
  app.series.fourierValid = true;
}

TEST(Export, LinearFrequencyRowsAndLogarithmicStart) {
  AppState app = Record(1, 10);
  SetFourier(app, 512, 0.1f);
  AxisSettings& ax = app.graph.Axis[AxisFrequency];
  ax.Log = false;
  ax.Min = 0;
  ax.Max = 20;
  std::vector<std::string> lines = test::TextLines(ExportText(app, 4, ExportComma, false));
  ASSERT_EQ(lines.size(), 2u + 199u);
  EXPECT_EQ(lines[1], "Frequency (Hz), C1");
  EXPECT_EQ(lines[2], "0.00000, 1.0000e+00");
  EXPECT_EQ(lines.back(), "19.80000, 1.9900e+02");
  ax.Log = true;
  ax.Min = 0.5f;  // Int(0.5 / 0.1) + 2 = 7
  lines = test::TextLines(ExportText(app, 4, ExportComma, false));
  EXPECT_EQ(lines[2], "0.60000, 7.0000e+00");
  EXPECT_EQ(lines.size(), 2u + 193u);
  // An axis beyond the spectrum is cut to NH.
  ax.Max = 1000;
  EXPECT_EQ(test::TextLines(ExportText(app, 4, ExportComma, false)).back(), "51.10000, 5.1200e+02");
  // Fixed columns are 12 wide for spectra.
  ax.Max = 1;
  EXPECT_EQ(test::TextLines(ExportText(app, 4, ExportFixed, false))[2], "     0.60000  7.0000e+00");
}

TEST(Export, AutoCorrelationLagRows) {
  AppState app = Record(1, 10);
  SetFourier(app, 16, 0.1f);  // M = 8 lags
  for (int32_t i = 1; i <= 8; ++i) app.series.fourier.Rc(i, 1) = 1.0f / static_cast<float>(i);
  app.graph.Axis[AxisTimeLag].Max = 0.05f;  // Int(0.05 / 0.02) + 1 = 3 rows
  std::vector<std::string> lines = test::TextLines(ExportText(app, 6, ExportComma, true));
  ASSERT_EQ(lines.size(), 5u + 3u);
  EXPECT_EQ(lines[1], "1, 3");
  EXPECT_EQ(lines[3], "Correlation Coef.");  // label only
  EXPECT_EQ(lines[5], "0.000, 1.0000e+00");
  EXPECT_EQ(lines[7], "0.040, 3.33333e-01");  // six significant digits
  app.graph.Axis[AxisTimeLag].Max = 5;  // cut to M
  lines = test::TextLines(ExportText(app, 6, ExportComma, false));
  EXPECT_EQ(lines.size(), 2u + 8u);
  EXPECT_EQ(lines.back(), "0.140, 1.2500e-01");
}

TEST(Export, CrossCorrelationTwoSidedLags) {
  AppState app = Record(2, 10);
  SetFourier(app, 16, 0.1f);  // M = 8
  RelationPair p;
  p.X = 1;
  p.Y = 2;
  for (int i = 1; i <= 16; ++i) p.CrossCorr.push_back(static_cast<float>(i));
  app.series.relation.Pairs.push_back(p);
  app.graph.Axis[AxisTimeLag].Max = 0.05f;  // m = Int(0.05 / 0.02) = 2
  const std::vector<std::string> lines = test::TextLines(ExportText(app, 18, ExportComma, false));
  ASSERT_EQ(lines.size(), 2u + 5u);
  EXPECT_EQ(lines[1], "Time Lag (s), C1*C2");
  EXPECT_EQ(lines[2], "-0.040, 7.0000e+00");
  EXPECT_EQ(lines[4], "0.000, 9.0000e+00");  // zero lag is element M + 1
  EXPECT_EQ(lines[6], "0.040, 1.1000e+01");
}

TEST(Export, ResponseSpectraNormalisedHeadings) {
  AppState app = Record(2, 10);
  ResponseData& r = app.series.response;
  r.Resize(2, 3);
  r.NP = 3;
  r.T = {0.1f, 0.2f, 0.5f};
  for (int32_t k = 1; k <= 3; ++k) {
    r.R(RespSA, 1, k) = 100.0f * k;
    r.R(RespPSV, 2, k) = 0.5f * k;
  }
  app.calc.RespNormalize = true;
  app.calc.RespDamping = 5;
  std::vector<std::string> lines = test::TextLines(ExportText(app, 7, ExportComma, true));
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[0], "Normalized Sa (h=5%) - 2024/01/02 03:04:05 ABC: Somewhere; damping 5%");
  EXPECT_EQ(lines[1], "2, 3");
  EXPECT_EQ(lines[2], "Period (sec)");
  EXPECT_EQ(lines[3], "Normalized Sa ");  // label and (empty) unit joined by one blank
  EXPECT_EQ(lines[5], "0.10000, 1.0000e+02, 0.0000e+00");
  lines = test::TextLines(ExportText(app, 10, ExportFixed, false));
  EXPECT_EQ(lines[0], "Normalized pSv (h=5%) - 2024/01/02 03:04:05 ABC: Somewhere; damping 5%");
  EXPECT_EQ(lines[4], "     0.50000  0.0000e+00  1.5000e+00");
  app.calc.RespNormalize = false;
  EXPECT_EQ(test::TextLines(ExportText(app, 7, ExportComma, true))[3], "Acceleration Response (cm/s/s)");
}

TEST(Export, OrbitKindsWriteNothing) {
  AppState app = Record(2, 10);
  for (int32_t k : {12, 13, 14}) EXPECT_EQ(ExportText(app, k, ExportComma, false), "");
}

TEST(Export, WriteReplacesAndReportsFailure) {
  test::TempDir dir;
  test::ScriptedUi ui;
  AppState app = Record(1, 3);
  const std::string path = dir.Write("out.csv", "old");
  ASSERT_TRUE(WriteExport(app, 1, path, ExportComma, ui));
  EXPECT_EQ(ReadWholeFile(path), ExportText(app, 1, ExportComma, false));
  EXPECT_FALSE(WriteExport(app, 1, dir.File("missing/out.csv"), ExportComma, ui));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_TRUE(StartsWith(ui.messages[0].text, "Failed to write " + dir.File("missing/out.csv") + " (Err#"));
}

TEST(SaveAsAc, EditedLabelsAreWrittenWithTheStatusShown) {
  test::TempDir dir;
  test::ScriptedUi ui;
  AppState app = Record(2, 20);
  app.view.LabelCopies[1] = "Edited";
  const std::string path = dir.File("copy.ac");
  ASSERT_TRUE(SaveRecordAsAc(app, path, ui));
  EXPECT_EQ(app.record.Label(2), "Edited");
  ASSERT_FALSE(ui.statusLog.empty());
  EXPECT_EQ(ui.statusLog.front(), "Saving Acceleration to " + path);
  EXPECT_EQ(ui.pointer, PointerDefault);
  StrongRecord back;
  ASSERT_TRUE(ReportRead(ReadAc(path, back, ui), ui));
  EXPECT_EQ(back.Label(2), "Edited");
  EXPECT_EQ(back.DataCount, 20);
}

TEST(PeaksReport, TimeHistoryWholeAndWindow) {
  AppState app = Record(2, 100);
  const std::vector<std::string> whole = test::TextLines(PeaksReportText(app, 1, FullIndexWindow(app, 1)));
  ASSERT_EQ(whole.size(), 3u);
  EXPECT_EQ(whole[0], "Peaks of Acceleration");
  EXPECT_EQ(whole[1], "C1: -500.0(cm/s/s) at 0.49(sec)");
  EXPECT_EQ(whole[2], "C2: 2.0(cm/s/s) at 0.99(sec)");
  // A window after the spike reports the largest value inside it.
  const IndexWindow w = IndexWindowBetween(app, 1, 0.6, 0.7);
  EXPECT_EQ(w.first, 61);
  EXPECT_EQ(w.last, 71);
  const std::vector<std::string> part = test::TextLines(PeaksReportText(app, 1, w));
  EXPECT_EQ(part[1], "C1: 0.7(cm/s/s) at 0.7(sec)");
}

TEST(PeaksReport, OrbitAndResponseWindow) {
  AppState app = Record(2, 100);
  app.graph.OrbitComp1 = 2;
  app.graph.OrbitComp2 = 1;
  std::vector<std::string> lines = test::TextLines(PeaksReportText(app, 12, IndexWindowBetween(app, 12, 0.9, 1.0)));
  ASSERT_EQ(lines.size(), 2u);
  // Step 100: x = 2.0, y = 1.0, length sqrt(5).
  EXPECT_EQ(lines[1], "C2/C1: 2.2(cm/s/s) [x:2.0, y:1.0] at 0.99(sec)");
  ResponseData& r = app.series.response;
  r.Resize(2, 4);
  r.NP = 4;
  r.T = {0.1f, 0.2f, 0.5f, 1.0f};
  const float sa[] = {10, 40, 30, 20};
  for (int32_t k = 1; k <= 4; ++k) r.R(RespSA, 1, k) = sa[k - 1];
  lines = test::TextLines(PeaksReportText(app, 7, IndexWindowBetween(app, 7, 0.4, 2)));
  EXPECT_EQ(lines[0], "Peaks of Acc. Response Spectrum (h=5%)");
  EXPECT_EQ(lines[1], "C1: 30.0(cm/s/s) at 0.500(sec)");
}

TEST(PeaksReport, SpectraAndKindsWithoutEntries) {
  AppState app = Record(1, 10);
  SetFourier(app, 64, 0.25f);
  const std::vector<std::string> lines = test::TextLines(PeaksReportText(app, 4, IndexWindowBetween(app, 4, 0, 2)));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_TRUE(StartsWith(lines[0], "Peaks of Fourier Spectrum ("));
  EXPECT_EQ(lines[1], "C1: 9.00(cm/s) at 2.000(Hz)");
  for (int32_t k : {6, 16, 19})
    EXPECT_EQ(test::TextLines(PeaksReportText(app, k, FullIndexWindow(app, k))).size(), 1u) << k;
}

}  // namespace
}  // namespace sism
