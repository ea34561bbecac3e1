// The exported text of the constant-ductility spectra and the effective amplitude spectrum.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "analysis/drivers.h"
#include "analysis/ensure_series.h"
#include "app/shell/export.h"
#include "common/text.h"
#include "sismcalc/binding/calc.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"
#include "tests/support/text_lines.h"

namespace sism {
namespace {

std::vector<double> Numbers(const std::string& line) {
  std::vector<double> v;
  for (const std::string& cell : Split(line, ", ")) v.push_back(Val(cell));
  return v;
}

// Decaying sines of a few periods on each channel, 20 s at 100 Hz; `same` gives the second
// channel the first one's samples.
AppState Quake(const std::vector<std::string>& labels, bool same = false) {
  AppState app;
  StrongRecord& r = app.record;
  const auto chans = static_cast<int32_t>(labels.size());
  const int32_t n = 2000;
  r.SampFreq = 100;
  r.ChanCount = chans;
  r.DataCount = n;
  r.RedimHeader(chans);
  r.RedimAcc(n, chans);
  for (int32_t ch = 1; ch <= chans; ++ch) {
    r.Label(ch) = labels[static_cast<std::size_t>(ch - 1)];
    app.view.LabelCopies.push_back(r.Label(ch));
    const int32_t c = same && ch == 2 ? 1 : ch;
    for (int32_t i = 1; i <= n; ++i) {
      const double t = (i - 1) * 0.01;
      r.Acc(i, ch) = static_cast<float>(std::exp(-0.3 * t) * (120 * std::sin(2 * M_PI * 1.3 * t + c) +
                                                            60 * c * std::sin(2 * M_PI * 4.7 * t) +
                                                            30 * std::sin(2 * M_PI * 0.4 * t * c)));
    }
  }
  ComputePeaks(r);
  app.view.DrawChan.assign(static_cast<std::size_t>(chans), true);
  app.calc.RespSteps = 24;
  app.calc.FourDurationType = 0;  // the whole record
  return app;
}

TEST(DuctilityExport, PeriodThenOneColumnPerChannelAndDuctilityWithRBeingOneWhenElastic) {
  AppState app = Quake({"N-S", "E-W"});
  app.calc.Ductilities = {1, 2, 6};
  test::ScriptedUi ui;
  BringSeriesUpToDate(app, KindDuctility, ui);
  const std::vector<std::string> lines = test::TextLines(ExportText(app, KindDuctility, ExportComma, false));
  ASSERT_EQ(lines.size(), 2u + 24u);
  EXPECT_NE(lines[0].find("Constant-ductility spectra"), std::string::npos) << lines[0];
  EXPECT_NE(lines[0].find("damping 5%, alpha 0"), std::string::npos) << lines[0];
  EXPECT_EQ(lines[1], "Period (sec), N-S mu=1, N-S mu=2, N-S mu=6, E-W mu=1, E-W mu=2, E-W mu=6");
  double longR6 = 0;
  for (std::size_t i = 2; i < lines.size(); ++i) {
    const std::vector<double> v = Numbers(lines[i]);
    ASSERT_EQ(v.size(), 7u);
    EXPECT_NEAR(v[0], app.series.ductility.T[i - 2], 1e-4 * v[0]);
    EXPECT_NEAR(v[1], 1, 1e-4) << lines[i];
    EXPECT_NEAR(v[4], 1, 1e-4) << lines[i];
    // More ductility, less strength needed.
    EXPECT_GE(v[2], 0.999) << lines[i];
    EXPECT_GE(v[3], v[2] * 0.999) << lines[i];
    longR6 = v[3];
  }
  // The equal-displacement rule at the longest period: R near mu.
  EXPECT_GT(longR6, 3);
}

TEST(DuctilityExport, TheHeadingNamesTheQuantityAndTheValuesFollowIt) {
  AppState app = Quake({"N-S"});
  app.calc.Ductilities = {1, 4};
  test::ScriptedUi ui;
  BringSeriesUpToDate(app, KindDuctility, ui);
  const DuctilityData& d = app.series.ductility;
  for (int32_t q = DuctR; q < kDuctilityQuantities; ++q) {
    app.calc.DuctilityQuantity = q;
    const std::vector<std::string> lines = test::TextLines(ExportText(app, KindDuctility, ExportComma, true));
    // Count lines, then the axis and value headings, then the column headings.
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[3].rfind(DuctilityQuantityName(q), 0), 0u) << lines[3];
    const std::vector<double> row = Numbers(lines[5]);
    ASSERT_EQ(row.size(), 3u);
    EXPECT_NEAR(row[2], d.Series(q, 1, 1)[0], 1e-5 * std::fabs(row[2]) + 1e-12) << q;
  }
  // Displacements: the peak is mu times the yield displacement.
  for (std::size_t k = 0; k < d.T.size(); ++k)
    EXPECT_NEAR(d.Series(DuctSd, 1, 1)[k], 4 * d.Series(DuctSdYield, 1, 1)[k], 1e-4 * d.Series(DuctSd, 1, 1)[k]);
}

TEST(EasExport, TwoIdenticalHorizontalsGiveTheirOwnSmoothedSpectrum) {
  AppState app = Quake({"N-S", "E-W", "U-D"}, true);
  test::ScriptedUi ui;
  BringSeriesUpToDate(app, KindEas, ui);
  const EasData& e = app.series.eas;
  ASSERT_EQ(e.X, 1);
  ASSERT_EQ(e.Y, 2);
  // Independently: the continuous-transform amplitude of N-S, smoothed at the same frequencies.
  int32_t n = app.record.DataCount, p = 2048, nh = p / 2;
  std::vector<float> re(nh), im(nh), amp(nh), own(e.F.size());
  calc::FFTRI(&n, app.record.Channel(1), re.data(), im.data());
  const double tp = p * 0.01;
  for (int32_t k = 0; k < nh; ++k) amp[k] = static_cast<float>(std::hypot(re[k], im[k]) * tp);
  const float df = static_cast<float>(1 / tp), b = 40;
  const auto no = static_cast<int32_t>(e.F.size());
  ASSERT_EQ(calc::KONNO(&nh, &df, amp.data(), &b, &no, e.F.data(), own.data()), 1);

  const std::vector<std::string> lines = test::TextLines(ExportText(app, KindEas, ExportComma, false));
  ASSERT_EQ(lines.size(), e.F.size() + 2);
  EXPECT_NE(lines[0].find("Konno-Ohmachi b=40"), std::string::npos) << lines[0];
  EXPECT_EQ(lines[1].substr(lines[1].find(',')), ", EAS N-S,E-W");
  for (std::size_t i = 0; i < e.F.size(); ++i) {
    const std::vector<double> v = Numbers(lines[i + 2]);
    ASSERT_EQ(v.size(), 2u);
    EXPECT_NEAR(v[0], e.F[i], 5e-6);  // five decimals
    EXPECT_NEAR(v[1], own[i], 1e-4 * own[i]) << e.F[i];
  }
  // The common grid, from the frequency step to the Nyquist frequency.
  EXPECT_GE(e.F.front(), df);
  EXPECT_LE(e.F.back(), 50);
  EXPECT_NEAR(e.F[1] / e.F[0], std::pow(10.0, 0.01), 1e-4);
}

TEST(EasExport, ARecordWithoutTwoHorizontalsIsRefusedAndNothingIsWritten) {
  AppState app = Quake({"U-D"});
  test::ScriptedUi ui;
  BringSeriesUpToDate(app, KindEas, ui);
  EXPECT_EQ(app.series.eas.X, 0);
  EXPECT_FALSE(ExportRefusal(app, KindEas).empty());
  test::TempDir dir;
  const std::string path = dir.File("eas.csv");
  EXPECT_FALSE(ExportSeries(app, KindEas, path, ExportComma, ui));
  EXPECT_FALSE(std::filesystem::exists(path));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_NE(ui.messages[0].text.find("no two horizontal components"), std::string::npos);
  EXPECT_TRUE(ExportRefusal(app, KindDuctility).empty());
}

}  // namespace
}  // namespace sism
