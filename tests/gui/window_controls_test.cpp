// What the window offers with and without a record, its menus' access keys, Page Up/Down
// from "Fit to window", the about box, and the dialogs refusing values out of range.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QWindow>
#include <map>
#include <set>

#include "app/gui/calc_window.h"
#include "app/gui/dialogs.h"
#include "app/gui/main_window.h"
#include "app/gui/splash.h"
#include "common/strings.h"
#include "common/version.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

void EnsureApp() {
  static int argc = 1;
  static char name[] = "test_gui";
  static char* argv[] = {name, nullptr};
  if (QApplication::instance() == nullptr) new QApplication(argc, argv);
}

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
    setenv("HOME", dir.File("home").c_str(), 1);
    EnsureApp();
    window = std::make_unique<FSismora>(state);
    window->messageSink = [this](const std::string& text, MsgIcon icon, const std::string& title) {
      messages.push_back({text, icon, title});
    };
    window->Load();
  }
  void OpenDemo() {
    window->ReadFile(SISMORA_SOURCE_DIR "/samples/demo.ac");
    ASSERT_TRUE(messages.empty()) << messages.front().text;
  }
  bool Enabled(const char* key) const { return window->ActionByKey(key)->isEnabled(); }
  void Key(int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &press);
  }

  test::TempDir dir;
  AppState state;
  std::unique_ptr<FSismora> window;
  std::vector<test::ShownMessage> messages;
};

constexpr const char* kRecordControls[] = {"append",        "print",         "copy",   "left",
                                           "right",         "enlarge",       "reduce", "zoom",
                                           "mnuFileReload", "mnuFileClose", "mnuFileAppend"};

TEST_F(ControlsTest, WithoutARecordTheToolbarOffersWhatTheMenusOffer) {
  for (const char* key : kRecordControls) EXPECT_FALSE(Enabled(key)) << key;
  EXPECT_TRUE(Enabled("open"));
  EXPECT_TRUE(Enabled("close"));  // leaves the program
  OpenDemo();
  for (const char* key : kRecordControls) EXPECT_TRUE(Enabled(key)) << key;
  window->CloseRecord();
  for (const char* key : kRecordControls) EXPECT_FALSE(Enabled(key)) << key;
  // Redrawing or a key after the close does not bring them back.
  window->RefreshGraph();
  Key(Qt::Key_Right);
  for (const char* key : kRecordControls) EXPECT_FALSE(Enabled(key)) << key;
}

// The access key of a menu text, 0 without one.
QChar AccessKey(const QString& text) {
  for (int i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] != '&') return text[i + 1].toUpper();
    ++i;
  }
  return QChar();
}

void ExpectUniqueKeys(QMenu* menu) {
  std::map<QChar, QString> seen;
  for (QAction* a : menu->actions()) {
    if (a->isSeparator() || !a->isVisible()) continue;
    const QString text = a->menu() != nullptr ? a->menu()->title() : a->text().section('\t', 0, 0);
    const QChar key = AccessKey(text);
    if (!key.isNull()) {
      auto [it, added] = seen.emplace(key, text);
      EXPECT_TRUE(added) << menu->title().toStdString() << ": " << text.toStdString() << " and "
                         << it->second.toStdString() << " share " << QString(key).toStdString();
    }
    if (a->menu() != nullptr) ExpectUniqueKeys(a->menu());
  }
}

TEST_F(ControlsTest, EveryMenuGivesEachAccessKeyOnce) {
  OpenDemo();
  std::set<QChar> bar;
  for (QAction* a : window->menuBar()->actions()) {
    ASSERT_NE(a->menu(), nullptr);
    EXPECT_TRUE(bar.insert(AccessKey(a->menu()->title())).second) << a->menu()->title().toStdString();
    ExpectUniqueKeys(a->menu());
  }
}

TEST(ZoomAfterFit, PageUpNeverShrinksAndPageDownNeverGrows) {
  // Indexes of 50, 75, 100, 150 and 200 %.
  EXPECT_EQ(ZoomIndexAfterFit(0.9, 1.2, +1), 3);
  EXPECT_EQ(ZoomIndexAfterFit(0.9, 1.2, -1), 1);
  EXPECT_EQ(ZoomIndexAfterFit(1.0, 1.0, +1), 3);
  EXPECT_EQ(ZoomIndexAfterFit(1.0, 1.0, -1), 1);
  EXPECT_EQ(ZoomIndexAfterFit(1.6, 1.8, +1), 4);
  EXPECT_EQ(ZoomIndexAfterFit(2.1, 2.5, +1), -1);  // already above every step
  EXPECT_EQ(ZoomIndexAfterFit(0.4, 0.45, -1), -1);
  EXPECT_EQ(ZoomIndexAfterFit(0.3, 0.4, +1), 0);
}

TEST_F(ControlsTest, PageUpFromFitEnlargesTheGraphAsShown) {
  window->resize(800, 600);
  window->show();
  OpenDemo();
  QApplication::processEvents();
  QTest::qWait(80);
  QApplication::processEvents();
  ASSERT_EQ(window->ZoomIndex(), kFitZoomIndex);
  const QSize fitted = window->Picture()->size();
  Key(Qt::Key_PageUp);
  ASSERT_NE(window->ZoomIndex(), kFitZoomIndex);
  EXPECT_GE(window->Picture()->width(), fitted.width());
  EXPECT_GE(window->Picture()->height(), fitted.height());
  window->SetZoom(kFitZoomIndex);
  QApplication::processEvents();
  Key(Qt::Key_PageDown);
  if (window->ZoomIndex() != kFitZoomIndex) {
    EXPECT_LE(window->Picture()->width(), fitted.width());
    EXPECT_LE(window->Picture()->height(), fitted.height());
  }
}

TEST_F(ControlsTest, AboutBoxOpensOverTheWindowWithVersionLicenceAndQt) {
  window->resize(900, 600);
  window->show();
  QApplication::processEvents();
  FSplash splash(nullptr, AboutFacts{kVersionText, "GPL-3.0-or-later", "https://sismora.example/"});
  window->SetSplash(&splash);
  window->AboutCommand();  // shows the box and returns
  QApplication::processEvents();
  EXPECT_EQ(QApplication::activeModalWidget(), &splash);
  EXPECT_TRUE(splash.isVisible());
  ASSERT_NE(splash.windowHandle(), nullptr);
  EXPECT_EQ(splash.windowHandle()->transientParent(), window->windowHandle());
  EXPECT_TRUE(window->frameGeometry().contains(splash.geometry().center()));
  EXPECT_TRUE(splash.Description().startsWith(QStringLiteral("Sismora (ver. %1)").arg(kVersionText)))
      << splash.Description().toStdString();
  EXPECT_TRUE(splash.Details().contains("GPL-3.0-or-later"));
  EXPECT_TRUE(splash.Details().contains("https://sismora.example/"));
  EXPECT_TRUE(splash.AboutQtButton()->isVisible());
  EXPECT_EQ(splash.Message().toStdString(), "Click me to hide");
  QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(&splash, &esc);
  QApplication::processEvents();
  EXPECT_FALSE(splash.isVisible()) << "Esc left the box open";
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  // Opened again, it comes back over the window.
  window->AboutCommand();
  QApplication::processEvents();
  EXPECT_TRUE(splash.isVisible());
  splash.hide();
  // Without a licence or home page the box leaves those lines out.
  FSplash bare(nullptr, AboutFacts{"1.0", "", ""});
  EXPECT_TRUE(bare.Details().isEmpty());
}

TEST(Dialogs, CalculationBoxesRefuseWithAMessage) {
  EnsureApp();
  test::ScriptedUi ui;
  std::string folder;
  FCalc dialog(CalcParams{}, nullptr, folder, ui);
  QLineEdit* damping = dialog.Box(CalcDialogModel::BoxRespDamping);
  damping->setText("abc");
  EXPECT_FALSE(dialog.LeaveBox(CalcDialogModel::BoxRespDamping));
  EXPECT_EQ(damping->text(), "5");
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_NE(ui.messages[0].text.find("Damping"), std::string::npos) << ui.messages[0].text;
  EXPECT_EQ(ui.messages[0].title, Str(7500));
  dialog.Box(CalcDialogModel::BoxRespSteps)->setText("0");
  EXPECT_FALSE(dialog.LeaveBox(CalcDialogModel::BoxRespSteps));
  EXPECT_EQ(ui.messages.size(), 2u);
}

TEST(Dialogs, ReadDataAndParameterRefuseWithAMessage) {
  EnsureApp();
  std::vector<std::string> shown;
  DataFileParams params;
  FReadData read(DataFileKind::General, "/data/a.txt", "1 2 3", params);
  read.showRefusal = [&](const std::string& text) { shown.push_back(text); };
  EXPECT_FALSE(read.LeaveBox(DataBox::Freq, "0"));
  EXPECT_EQ(read.BoxEdit(DataBox::Freq)->text(), "100");
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].find("Sampling frequency (Hz)"), std::string::npos) << shown[0];
  EXPECT_TRUE(read.LeaveBox(DataBox::Freq, "250"));

  FParam param(RecordTexts{"2018/01/02", "03:04:05", "ABC", "Site", "35.0", "139.0"});
  param.showRefusal = [&](const std::string& text) { shown.push_back(text); };
  param.Edit(0)->setText("2018/13/45");
  param.TryAccept();
  EXPECT_NE(param.result(), QDialog::Accepted);
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_NE(shown[1].find("2018/13/45"), std::string::npos);
  param.Edit(0)->setText("2018/12/31");
  param.Edit(4)->setText("999");
  param.TryAccept();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_NE(shown[2].find("Lat."), std::string::npos);
  param.Edit(4)->setText("-45");
  param.TryAccept();
  EXPECT_EQ(param.result(), QDialog::Accepted);
  EXPECT_EQ(param.Texts().lat, "-45");
}

}  // namespace
}  // namespace sism
