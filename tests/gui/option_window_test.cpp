#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPdfWriter>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>
#include <filesystem>

#include "app/gui/main_window.h"
#include "app/gui/option_window.h"
#include "app/gui/text_viewer.h"
#include "common/files.h"
#include "common/strings.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

using Model = OptionDialogModel;

void EnsureApp() {
  static int argc = 1;
  static char name[] = "test_gui";
  static char* argv[] = {name, nullptr};
  if (QApplication::instance() == nullptr) new QApplication(argc, argv);
}

// A main window on the demo record, its settings in a temporary folder.
class OptionWindowTest : public ::testing::Test {
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
  // Types into a field and moves on.
  bool Type(FOption& d, Model::Field f, const char* text) {
    d.FieldEdit(f)->setText(QString::fromLatin1(text));
    return d.LeaveField(f);
  }

  test::TempDir dir;
  AppState state;
  std::unique_ptr<FSismora> window;
  std::vector<test::ShownMessage> messages;
};

TEST_F(OptionWindowTest, OpenedFromTheMenusAndTheToolbar) {
  // Without a record the toolbar key and the Tool menu still open the options.
  EXPECT_TRUE(window->ActionByKey("opt")->isEnabled());
  EXPECT_TRUE(window->ActionByKey("mnuToolOption")->isEnabled());
  EXPECT_FALSE(window->ActionByKey("mnuViewOption")->isEnabled());
  OpenDemo();
  EXPECT_TRUE(window->ActionByKey("mnuViewOption")->isEnabled());
  EXPECT_TRUE(window->ActionByKey("mnuViewPeak")->isEnabled());

  FOption& d = window->OptionDialog();
  d.Open(3);
  EXPECT_EQ(d.windowTitle().toStdString(), Str(6000));
  ASSERT_EQ(d.Tabs()->count(), 6);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(d.Tabs()->tabText(i).toStdString(), Str(6001 + i));
    EXPECT_EQ(d.Tabs()->tabToolTip(i).toStdString(), Str(6011 + i));
  }
  EXPECT_EQ(d.Tabs()->currentIndex(), 2);
  // The next opening shows the tab last used.
  d.Tabs()->setCurrentIndex(4);
  d.Open();
  EXPECT_EQ(d.Tabs()->currentIndex(), 4);
  EXPECT_EQ(d.findChild<QLabel*>("lblOrbitPair")->text().toStdString(), "E-W & N-S");
  EXPECT_EQ(d.findChild<QListWidget*>("lstRelation")->count(), 2);
}

TEST_F(OptionWindowTest, ApplyChangesAnAxisAndRedraws) {
  OpenDemo();
  const QImage before = window->Picture()->grab().toImage();
  FOption& d = window->OptionDialog();
  d.Open(1);
  EXPECT_FALSE(d.ApplyButton()->isEnabled());
  d.Model().SelectAxis(AxisAcc);
  d.Model().SetAxisSpecify(true);
  d.Fill();
  ASSERT_TRUE(Type(d, Model::FieldAxisMax, "50"));
  ASSERT_TRUE(Type(d, Model::FieldAxisMin, "-50"));
  EXPECT_TRUE(d.ApplyButton()->isEnabled());
  EXPECT_FLOAT_EQ(state.graph.Axis[AxisAcc].Max, 1000);  // not before Apply
  d.ApplyButton()->click();
  EXPECT_FLOAT_EQ(state.graph.Axis[AxisAcc].Max, 50);
  EXPECT_FALSE(d.ApplyButton()->isEnabled());
  EXPECT_FLOAT_EQ(window->Session().lastFrame.Y.Max, 50);  // drawn with the new range
  EXPECT_NE(window->Picture()->grab().toImage(), before);

  // A refused range: the message, the axis page with that axis, nothing applied.
  d.Tabs()->setCurrentIndex(3);
  ASSERT_TRUE(Type(d, Model::FieldAxisMin, "50"));
  EXPECT_FALSE(d.DoApply());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, Str(6902));
  EXPECT_EQ(d.Tabs()->currentIndex(), 0);
  EXPECT_FLOAT_EQ(state.graph.Axis[AxisAcc].Min, -50);
}

TEST_F(OptionWindowTest, FieldsRefuseAndCancelDropsTheWorkingCopy) {
  OpenDemo();
  FOption& d = window->OptionDialog();
  d.Open(4);
  EXPECT_FALSE(Type(d, Model::FieldMaxWaves, "2"));
  EXPECT_EQ(d.FieldEdit(Model::FieldMaxWaves)->text(), "2");  // left for correction
  EXPECT_TRUE(Type(d, Model::FieldMaxWaves, "12"));
  EXPECT_EQ(d.findChild<QListWidget*>("lstComp")->count(), 12);
  EXPECT_FALSE(Type(d, Model::FieldWaveLineWidth, "wide"));
  EXPECT_EQ(d.FieldEdit(Model::FieldWaveLineWidth)->text(), "0.3");  // restored
  // Each refusal names the field and what it takes.
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].text, "Max. waves takes a whole number from 3 to 1024; \"2\" is not one.");
  EXPECT_EQ(messages[1].text, Str(6903) + "\nWidth (mm) takes a number from 0 to 20; \"wide\" is not one.");
  d.reject();
  EXPECT_EQ(state.graph.CompCountMax, 9);
  d.Open();
  EXPECT_EQ(d.findChild<QListWidget*>("lstComp")->count(), 9);
  EXPECT_FALSE(d.ApplyButton()->isEnabled());
}

TEST_F(OptionWindowTest, SaveAndLoadFillThePages) {
  OpenDemo();
  FOption& d = window->OptionDialog();
  d.Open(6);
  ASSERT_TRUE(Type(d, Model::FieldRepWidth, "190"));
  const std::string ini = dir.File("mine.ini");
  ASSERT_TRUE(d.SaveTo(ini));
  EXPECT_EQ(window->Paths().LastFolderSetting, dir.File(""));
  d.reject();
  d.Open();
  EXPECT_EQ(d.FieldEdit(Model::FieldRepWidth)->text(), "160");
  ASSERT_TRUE(d.LoadFrom(ini));
  EXPECT_EQ(d.FieldEdit(Model::FieldRepWidth)->text(), "190");
  EXPECT_TRUE(d.ApplyButton()->isEnabled());
  EXPECT_FALSE(d.LoadFrom(dir.Write("junk.ini", "junk")));
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_EQ(d.FieldEdit(Model::FieldRepWidth)->text(), "190");
  d.DoOk();
  EXPECT_EQ(state.graph.RepWidth, 190);
  EXPECT_FALSE(d.isVisible());
}

// ---------------------------------------------------------------------------------------------
// Text viewer

TEST_F(OptionWindowTest, TextViewerKeysSaveAndFontSteps) {
  test::ScriptedUi ui;
  FTextViewer viewer(nullptr, &ui);
  EXPECT_EQ(viewer.Title(), Str(12000));
  const std::pair<const char*, int> keys[] = {{"Clear", 12011},     {"Save", 12012},      {"Print", 12013},
                                              {"LargeFont", 12014}, {"SmallFont", 12015}, {"Font", 12016},
                                              {"Close", 12017}};
  for (const auto& [key, tip] : keys) {
    ASSERT_NE(viewer.Key(key), nullptr) << key;
    EXPECT_EQ(viewer.Key(key)->toolTip().toStdString(), Str(tip)) << key;
  }
  viewer.ShowTextViewer("Report", "first\r\nsecond");
  EXPECT_EQ(viewer.Text(), "first\nsecond");
  EXPECT_TRUE(viewer.isVisible());

  const std::string path = dir.File("report.txt");
  ASSERT_TRUE(viewer.SaveTo(path));
  EXPECT_EQ(ReadWholeFile(path), "first\r\nsecond");
  // A failed save reports and leaves the file as it was.
  std::filesystem::create_directories(dir.File("taken.txt"));
  EXPECT_FALSE(viewer.SaveTo(dir.File("taken.txt")));
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("taken.txt")));
  EXPECT_FALSE(viewer.SaveTo(dir.File("missing/report.txt")));
  EXPECT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ReadWholeFile(path), "first\r\nsecond");

  QFont f = viewer.Font();
  f.setPointSize(10);
  viewer.SetFont(f);
  ASSERT_TRUE(viewer.LargerFont());
  EXPECT_EQ(viewer.Font().pointSize(), 11);
  viewer.Key("SmallFont")->trigger();
  viewer.Key("SmallFont")->trigger();
  EXPECT_EQ(viewer.Font().pointSize(), 9);
  while (viewer.SmallerFont()) {
  }
  EXPECT_EQ(viewer.Font().pointSize(), 6);
  while (viewer.LargerFont()) {
  }
  EXPECT_EQ(viewer.Font().pointSize(), 72);

  viewer.Key("Clear")->trigger();
  EXPECT_EQ(viewer.Text(), "");
  // Closing hides the window; it stays to be shown again.
  viewer.Key("Close")->trigger();
  EXPECT_FALSE(viewer.isVisible());
  viewer.ShowTextViewer("Again", "text");
  EXPECT_EQ(viewer.Title(), "Again");
}

TEST_F(OptionWindowTest, TextViewerPrintsHexAndKeepsItsPlace) {
  FTextViewer viewer;
  viewer.ShowHex(std::string("AB\0\x7f", 4), "bytes");
  EXPECT_EQ(viewer.Text().rfind(" addr | 00 01", 0), 0u);
  EXPECT_NE(viewer.Text().find(" 0000 | 41 42 00 7F"), std::string::npos);
  EXPECT_TRUE(QFontInfo(viewer.Font()).fixedPitch());

  const std::string pdf = dir.File("text.pdf");
  {
    QPdfWriter writer(QString::fromStdString(pdf));
    ASSERT_TRUE(viewer.PrintTo(writer));
  }
  EXPECT_EQ(ReadWholeFile(pdf).rfind("%PDF", 0), 0u);

  viewer.resize(500, 333);
  viewer.hide();  // placement stored on closing
  FTextViewer next;
  EXPECT_EQ(next.width(), 500);
  EXPECT_EQ(next.height(), 333);
}

TEST_F(OptionWindowTest, ReportsOfTheWindowGoToTheViewer) {
  OpenDemo();
  window->PropertiesCommand();
  FTextViewer& viewer = window->TextViewer();
  EXPECT_EQ(viewer.Title(), Str(8501));
  window->PeaksCommand();
  EXPECT_EQ(viewer.Title(), "Peaks");
  EXPECT_EQ(viewer.Text().rfind("Peaks of Acceleration\n", 0), 0u);
  // A double click on the record summary shows the head of the record's file.
  auto* summary = window->findChild<QLabel*>("panel2");
  ASSERT_NE(summary, nullptr);
  QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(summary, &click);
  EXPECT_EQ(viewer.Title(), "demo.ac");
  EXPECT_EQ(viewer.Text().rfind(" addr |", 0), 0u);
  EXPECT_EQ(&viewer, &window->TextViewer());  // one viewer for all
  EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace sism
