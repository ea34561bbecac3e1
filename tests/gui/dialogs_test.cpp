#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "app/gui/calc_window.h"
#include "app/gui/dialogs.h"
#include "app/gui/splash.h"
#include "common/strings.h"
#include "common/version.h"
#include "tests/support/scripted_ui.h"

namespace sism {
namespace {

void EnsureApp() {
  static int argc = 1;
  static char name[] = "test_gui";
  static char* argv[] = {name, nullptr};
  if (QApplication::instance() == nullptr) new QApplication(argc, argv);
}

QPushButton* ButtonWithText(QWidget* dialog, int id) {
  for (auto* b : dialog->findChildren<QPushButton*>())
    if (b->text().toStdString() == Str(id)) return b;
  return nullptr;
}

TEST(FSelChan, NewChannelModeShowsValuesSwapsAndReturnsThem) {
  EnsureApp();
  SelChanValues in;
  in.channelX = 1;
  in.channelY = 3;
  in.multiplierX = 0.5f;
  FSelChan dialog(SelChanMode::NewChannel, {"N-S", "E-W", "U-D"}, in);
  EXPECT_EQ(dialog.windowTitle().toStdString(), "Create new channel");
  auto combos = dialog.findChildren<QComboBox*>();
  ASSERT_EQ(combos.size(), 2);
  EXPECT_EQ(combos[0]->currentText().toStdString(), "N-S");
  EXPECT_EQ(combos[1]->currentText().toStdString(), "U-D");
  QPushButton* swap = ButtonWithText(&dialog, 6230);
  ASSERT_NE(swap, nullptr);
  swap->click();
  auto edits = dialog.findChildren<QLineEdit*>();
  ASSERT_EQ(edits.size(), 3);
  edits[1]->setText("-1");
  edits[2]->setText("N-S minus U-D");
  SelChanValues out;
  ASSERT_TRUE(dialog.Values(out));
  EXPECT_EQ(out.channelX, 3);
  EXPECT_EQ(out.channelY, 1);
  EXPECT_FLOAT_EQ(out.multiplierX, 0.5f);
  EXPECT_FLOAT_EQ(out.multiplierY, -1.0f);
  EXPECT_EQ(out.label, "N-S minus U-D");
  // A multiplier that is not a number is refused.
  edits[0]->setText("half");
  EXPECT_FALSE(dialog.Values(out));
}

TEST(FPickChan, ListsFollowAddRemoveAndOk) {
  EnsureApp();
  FPickChan dialog({"N-S", "E-W", "U-D"});
  EXPECT_EQ(dialog.windowTitle().toStdString(), Str(17000));
  auto lists = dialog.findChildren<QListWidget*>();
  ASSERT_EQ(lists.size(), 2);
  EXPECT_EQ(lists[0]->count(), 3);
  EXPECT_EQ(lists[0]->item(2)->text().toStdString(), "CH03: U-D");
  QPushButton* ok = ButtonWithText(&dialog, 17220);
  ASSERT_NE(ok, nullptr);
  EXPECT_FALSE(ok->isEnabled());
  lists[0]->setCurrentRow(2);
  dialog.Lists().Add();
  dialog.Refresh();
  lists[0]->setCurrentRow(0);
  dialog.Lists().Add();
  dialog.Refresh();
  EXPECT_TRUE(ok->isEnabled());
  EXPECT_EQ(dialog.Chosen(), (std::vector<int32_t>{3, 1}));
}

TEST(FPreProc, ShowsParametersAndEnablesBoxesWithTheirChecks) {
  EnsureApp();
  PreProcParams p;
  p.LowCutFreq = 0.1f;
  p.RemoveDC = false;
  p.RotateWave = true;
  p.RotateWaveAngle = 30;
  test::ScriptedUi ui;
  FPreProc dialog(p, ui);
  EXPECT_EQ(dialog.windowTitle().toStdString(), "Settings for preprocessing");
  auto edits = dialog.findChildren<QLineEdit*>();
  ASSERT_EQ(edits.size(), 9);
  EXPECT_EQ(edits[0]->text().toStdString(), "0.1");
  // The filter order follows the filter list: the FFT filter has none.
  auto* filters = dialog.findChild<QComboBox*>("cboFilter");
  ASSERT_NE(filters, nullptr);
  EXPECT_EQ(filters->count(), 3);
  EXPECT_EQ(filters->itemText(0).toStdString(), "FFT filter (intensity weighting curves, zero phase)");
  EXPECT_EQ(edits[8]->text().toStdString(), "4");
  EXPECT_FALSE(edits[8]->isEnabled());
  filters->setCurrentIndex(2);
  emit filters->activated(2);
  EXPECT_TRUE(edits[8]->isEnabled());
  EXPECT_FALSE(edits[2]->isEnabled());  // offset seconds follow "Remove offset"
  EXPECT_TRUE(edits[3]->isEnabled());   // the angle follows "Rotate"
  edits[1]->setText("25");
  dialog.OkButton()->click();
  PreProcParams out;
  ASSERT_TRUE(dialog.Accepted(out));
  EXPECT_FLOAT_EQ(out.HighCutFreq, 25);
  EXPECT_EQ(out.RotateWaveAngle, 30);
  EXPECT_EQ(out.FilterType, kFilterButterworthAcausal);
}

TEST(FParam, EditsTheSixTextsInOrder) {
  EnsureApp();
  RecordTexts t{"2026/01/15", "10:30:00", "DEMO01", "Demo", "35.0", "135.0"};
  FParam dialog(t);
  EXPECT_EQ(dialog.windowTitle().toStdString(), "Parameter setting");
  auto labels = dialog.findChildren<QLabel*>();
  ASSERT_GE(labels.size(), 6);
  EXPECT_EQ(labels[0]->text().toStdString(), "Date");
  EXPECT_EQ(labels[5]->text().toStdString(), "Long.");
  auto edits = dialog.findChildren<QLineEdit*>();
  edits[3]->setText("Renamed");
  const RecordTexts out = dialog.Texts();
  EXPECT_EQ(out.station, "Renamed");
  EXPECT_EQ(out.lon, "135.0");
}

TEST(FReadData, CaptionAndFileLabel) {
  EnsureApp();
  DataFileParams params;
  FReadData dialog(DataFileKind::Csv, "/data/a&b.csv", "001:1,2", params);
  EXPECT_EQ(dialog.windowTitle().toStdString(), "Reading a CSV file");
  bool found = false;
  for (auto* l : dialog.findChildren<QLabel*>())
    if (l->text().toStdString() == "Filename: /data/a&&b.csv") found = true;
  EXPECT_TRUE(found);
  DataFileParams out;
  EXPECT_TRUE(dialog.Result(out));
  EXPECT_EQ(out.count, params.count);
}

TEST(FReadData, TheRowsTheGuessLeavesOutAreShown) {
  EnsureApp();
  DataFileParams params;
  {
    FReadData dialog(DataFileKind::General, "/data/a.txt", "001:1 2", params);
    EXPECT_EQ(dialog.findChild<QLabel*>("lblNote"), nullptr);
  }
  params.note = "490 rows from line 11 on not read: \"nan\" is not a number";
  FReadData dialog(DataFileKind::General, "/data/a.txt", "001:1 2", params);
  auto* note = dialog.findChild<QLabel*>("lblNote");
  ASSERT_NE(note, nullptr);
  EXPECT_EQ(note->text().toStdString(), params.note);
}

TEST(FReadData, CountsAskOnlyTheCoefficient) {
  EnsureApp();
  DataFileParams params;
  params.count = 1500;
  params.coef = 2;
  FReadData dialog(DataFileKind::Counts, "/data/a.mseed", "XX.STA.00.HNE", params);
  EXPECT_EQ(dialog.windowTitle().toStdString(), "Counts without a response");
  int enabled = 0;
  for (auto* e : dialog.findChildren<QLineEdit*>())
    if (e->isEnabled()) ++enabled;
  EXPECT_EQ(enabled, 1);  // the coefficient
  EXPECT_TRUE(dialog.findChildren<QCheckBox*>().empty());
  DataFileParams out;
  EXPECT_TRUE(dialog.Result(out));
  EXPECT_EQ(out.count, 1500);
  EXPECT_EQ(out.coef, 2.0f);
}

TEST(FCalc, BoxesFollowTheChoicesAndApplyCopiesTheParameters) {
  EnsureApp();
  CalcParams params;
  params.IntegrationMethod = 4;  // FFT: the cut-off box only
  params.FourDurationType = 1;
  CalcParams target = params;
  int applied = 0;
  std::string folder = "/tmp/";
  test::ScriptedUi ui;
  FCalc dialog(
      params,
      [&](CalcDialogModel& model) {
        model.Apply(target);
        ++applied;
      },
      folder, ui);
  EXPECT_EQ(dialog.windowTitle().toStdString(), "Calculation parameters");
  EXPECT_TRUE(dialog.Box(CalcDialogModel::BoxCutOffFreq)->isEnabled());
  EXPECT_FALSE(dialog.Box(CalcDialogModel::BoxTimeFront)->isEnabled());
  EXPECT_FALSE(dialog.Box(CalcDialogModel::BoxFourStart)->isEnabled());
  EXPECT_FALSE(dialog.ApplyButton()->isEnabled());

  dialog.FftList()->setCurrentIndex(2);
  emit dialog.FftList()->activated(2);
  EXPECT_TRUE(dialog.Box(CalcDialogModel::BoxFourStart)->isEnabled());
  EXPECT_TRUE(dialog.ApplyButton()->isEnabled());

  QLineEdit* damping = dialog.Box(CalcDialogModel::BoxRespDamping);
  const QString before = damping->text();
  damping->setText("much");
  dialog.LeaveBox(CalcDialogModel::BoxRespDamping);
  EXPECT_EQ(damping->text(), before);  // refused: the old text is back
  damping->setText("0.1");
  dialog.LeaveBox(CalcDialogModel::BoxRespDamping);
  dialog.ApplyButton()->click();
  EXPECT_EQ(applied, 1);
  EXPECT_EQ(target.FourDurationType, 2);
  EXPECT_FLOAT_EQ(target.RespDamping, 0.1f);
  EXPECT_NE(target.RecalcFlags & RecalcResponse, 0);
  EXPECT_FALSE(dialog.ApplyButton()->isEnabled());
}

TEST(FCalc, PeaksBetweenSamplesCheckBox) {
  EnsureApp();
  CalcParams target;
  std::string folder = "/tmp/";
  test::ScriptedUi ui;
  FCalc dialog(
      target, [&](CalcDialogModel& model) { model.Apply(target); }, folder, ui);
  QCheckBox* check = dialog.PeaksBetweenSamplesCheck();
  EXPECT_EQ(check->text().toStdString(), "Peaks &between samples");
  EXPECT_TRUE(check->isChecked());  // on by default
  EXPECT_FALSE(dialog.ApplyButton()->isEnabled());
  check->click();
  ASSERT_TRUE(dialog.ApplyButton()->isEnabled());
  dialog.ApplyButton()->click();
  EXPECT_FALSE(target.RespPeaksBetweenSamples);
  EXPECT_NE(target.RecalcFlags & RecalcResponse, 0);
}

TEST(FSplash, SplashAndAboutTexts) {
  EnsureApp();
  FSplash splash;
  splash.ShowAsSplash();
  EXPECT_EQ(splash.Message().toStdString(), "Please wait for loading...");
  // The version --version prints.
  EXPECT_TRUE(splash.Description().startsWith(QStringLiteral("Sismora (ver. %1)").arg(kVersionText)))
      << splash.Description().toStdString();
  EXPECT_FALSE(splash.AboutQtButton()->isVisible());
  splash.hide();
}

}  // namespace
}  // namespace sism
