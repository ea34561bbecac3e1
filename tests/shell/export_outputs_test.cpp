// What exported files say about their columns, their digits and the record's treatment.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "app/shell/export.h"
#include "app/shell/process_view.h"
#include "record/writers.h"
#include "common/files.h"
#include "common/text.h"
#include "load/pipeline.h"
#include "tests/support/samples.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/synthetic_quake.h"
#include "tests/support/temp_dir.h"
#include "tests/support/text_lines.h"

namespace sism {
namespace {

// Channels labelled N-S, E-W, U-D ... at 100 Hz, every sample `value` times the channel.
AppState Record(int32_t chans, int32_t steps, float value = 1) {
  AppState app;
  StrongRecord& r = app.record;
  r.SampFreq = 100;
  r.ChanCount = chans;
  r.DataCount = steps;
  r.RedimHeader(chans);
  r.RedimAcc(steps, chans);
  const char* labels[] = {"N-S", "E-W", "U-D", "N-S2", "E-W2", "U-D2"};
  for (int32_t ch = 1; ch <= chans; ++ch) {
    r.Label(ch) = labels[(ch - 1) % 6];
    app.view.LabelCopies.push_back(r.Label(ch));
    for (int32_t i = 1; i <= steps; ++i) r.Acc(i, ch) = value * static_cast<float>(ch);
  }
  ComputePeaks(r);
  app.view.DrawChan.assign(static_cast<std::size_t>(chans), true);
  return app;
}

TEST(ExportHeadings, RatiosNameTheirNumeratorFirst) {
  AppState app = Record(3, 10);
  FourierData& f = app.series.fourier;
  f.NH = 8;
  f.DF = 0.5f;
  app.series.fourierValid = true;
  app.graph.Axis[AxisFrequency].Log = false;
  app.graph.Axis[AxisFrequency].Max = 2;
  ResponseData& r = app.series.response;
  r.NP = 2;
  r.T = {0.1f, 1.0f};
  RelationPair p;
  p.X = 3;  // U-D
  p.Y = 1;  // N-S
  p.Ratio.assign(8, 4.18f);
  p.Phase.assign(8, 10.0f);
  p.RespRatio.assign(2, 4.18f);
  app.series.relation.Pairs.push_back(p);
  EXPECT_EQ(test::TextLines(ExportText(app, KindSpectralRatio, ExportComma, false))[1], "Frequency (Hz), N-S/U-D");
  EXPECT_EQ(test::TextLines(ExportText(app, KindResponseRatio, ExportComma, false))[1], "Period (sec), N-S/U-D");
  EXPECT_EQ(test::TextLines(ExportText(app, KindPhaseDifference, ExportComma, false))[1], "Frequency (Hz), U-D-N-S");
}

TEST(ExportHeadings, TheTitleLineSaysHowTheSeriesWereComputedAndWhatWasDone) {
  AppState app = Record(1, 10);
  app.record.RecDate = "2024/01/02";
  app.record.RecTime = "03:04:05";
  app.record.SiteCode = "ABC";
  EXPECT_EQ(test::TextLines(ExportText(app, KindAcc, ExportComma, false))[0], "Acceleration - 2024/01/02 03:04:05 ABC");
  app.view.Preprocessing = "band-pass 0.1\u201320 Hz, rotated 30\u00B0";
  EXPECT_EQ(test::TextLines(ExportText(app, KindAcc, ExportComma, false))[0],
            "Acceleration - 2024/01/02 03:04:05 ABC; band-pass 0.1\u201320 Hz, rotated 30\u00B0");
  app.calc.RespDamping = 2;
  app.series.response.NP = 1;
  app.series.response.T = {1};
  const std::string sa = test::TextLines(ExportText(app, KindSa, ExportComma, false))[0];
  EXPECT_TRUE(EndsWith(sa, "ABC; damping 2%; band-pass 0.1\u201320 Hz, rotated 30\u00B0")) << sa;
  app.calc.WindowWidth = 0.4f;
  app.series.fourier.NH = 4;
  app.series.fourier.DF = 1;
  const std::string fourier = test::TextLines(ExportText(app, KindFourier, ExportComma, false))[0];
  EXPECT_NE(fourier.find("ABC; Parzen 0.4 Hz, window 0-0.1 s; band-pass"), std::string::npos) << fourier;
}

TEST(ExportDigits, WeakMotionKeepsItsDigitsAndOrdinaryMotionItsLook) {
  AppState app = Record(2, 3, 0.0141234f);
  app.record.Acc(2, 2) = 123.456f;
  std::vector<std::string> lines = test::TextLines(ExportText(app, KindAcc, ExportComma, false));
  EXPECT_EQ(lines[2], "0.000, 0.0141234, 0.0282468");
  EXPECT_EQ(lines[3], "0.010, 0.0141234, 123.456");
  lines = test::TextLines(ExportText(app, KindAcc, ExportTab, false));
  EXPECT_EQ(lines[2], "0.000\t0.0141234\t0.0282468");
  // Fixed columns keep their ten characters and go to exponent form.
  lines = test::TextLines(ExportText(app, KindAcc, ExportFixed, false));
  EXPECT_EQ(lines[3], "     0.010  1.41e-02   123.456");
}

TEST(ExportDigits, KiknetBoreholeChannelReadsBackAsInMemory) {
  SKIP_WITHOUT_SAMPLES();
  AppState app;
  test::ScriptedUi ui;
  ASSERT_EQ(ReadAccFile(app, (test::SamplesDir() / "kiknet/NGNH311106302345.EW1").string(), ui), 6)
      << ui.OnlyMessage();
  app.view.DrawChan.assign(6, false);
  app.view.DrawChan[1] = true;  // E-W of the borehole, a fraction of a gal
  ASSERT_LT(std::fabs(app.record.Peak(2)), 1.0f);
  for (int32_t filter : {ExportComma, ExportTab}) {
    const std::vector<std::string> lines = test::TextLines(ExportText(app, KindAcc, filter, false));
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(app.record.DataCount) + 2);
    double worst = 0;
    for (int32_t i = 1; i <= app.record.DataCount; ++i) {
      const std::string& line = lines[static_cast<std::size_t>(i + 1)];
      const double read = Val(line.substr(line.find_first_of(",\t") + 1));
      const double kept = app.record.Acc(i, 2);
      if (kept != 0) worst = std::max(worst, std::fabs(read - kept) / std::fabs(kept));
      else EXPECT_EQ(read, 0) << i;
    }
    EXPECT_LT(worst, 1e-5) << filter;
  }
}

TEST(SaveAsAcDigits, WeakChannelsAreNamedBeforeWritingAndTheUserMayStop) {
  test::TempDir dir;
  const std::string path = dir.File("weak.ac");
  AppState app = Record(2, 10, 0.004f);  // peaks 0.004 and 0.008: one digit in three decimals
  test::ScriptedUi ui;
  ui.yesNoAnswers = {false};
  EXPECT_FALSE(SaveRecordAsAc(app, path, ui));
  EXPECT_FALSE(std::filesystem::exists(path));
  ASSERT_EQ(ui.messages.size(), 1u);
  const std::string& text = ui.messages[0].text;
  EXPECT_NE(text.find("1 N-S 0.004,"), std::string::npos) << text;
  EXPECT_NE(text.find("2 E-W 0.008\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("COSMOS V2 (.v2) or SAC (.sac)"), std::string::npos) << text;
  EXPECT_TRUE(SaveRecordAsAc(app, path, ui));  // yes: written as asked
  EXPECT_TRUE(std::filesystem::exists(path));

  AppState strong = Record(2, 10, 0.5f);
  EXPECT_EQ(AcPrecisionQuestion(strong), "");
}

// Save as COSMOS V2 after Tool > Process record: the file says the chain's corners; undone, it
// says none.
TEST(ExportOutputs, SavedV2OfAProcessedRecordSaysItsCorners) {
  AppState app;
  app.record = test::Quake(120, 20.0f, 200, 7);
  app.record.SiteCode = "SYN";
  ASSERT_EQ(ProcessShownRecord(app), "Processed: passed");
  const ChannelProcessing* c = app.processed->result.Channel(1);
  ASSERT_NE(c, nullptr);
  test::TempDir dir;
  test::ScriptedUi ui;
  const WriterRow& v2 = *FindWriter("cosmos-v2");
  ASSERT_TRUE(SaveRecordAs(app, v2, dir.File("p.v2"), ui)) << ui.OnlyMessage();
  const std::string first = WrittenFiles(v2, dir.File("p.v2"), app.record).front();
  std::vector<std::string> lines = test::TextLines(ReadWholeFile(first));
  ASSERT_GT(lines.size(), 45u);
  EXPECT_TRUE(StartsWith(lines[11], "Record filtered below")) << lines[11];
  EXPECT_NEAR(ToDouble(Mid(lines[25 + 53 / 5], 1 + 15 * (53 % 5), 15)), c->highPass, 1e-6);  // Real(54)
  EXPECT_EQ(ToLong(Mid(lines[14 + 6], 1, 8)), 5);  // Int(61): acausal Butterworth
  ASSERT_TRUE(UndoProcessing(app));
  ASSERT_TRUE(SaveRecordAs(app, v2, dir.File("p.v2"), ui)) << ui.OnlyMessage();
  lines = test::TextLines(ReadWholeFile(first));
  EXPECT_EQ(lines[11], "Record filter corners unknown");
}

}  // namespace
}  // namespace sism
