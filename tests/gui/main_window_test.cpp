#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QScrollArea>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QMimeData>
#include <QPdfWriter>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "load/user_side.h"
#include "app/gui/main_window.h"
#include "app/gui/splash.h"
#include "app/gui/text_viewer.h"
#include "common/files.h"
#include "common/text.h"
#include "common/strings.h"
#include "load/statistics.h"
#include "record/ac.h"
#include "record/readers.h"
#include "record/strong_record.h"
#include "tests/support/samples.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"
#include "tests/gui/window_fixture.h"

namespace sism {
namespace {

// A window on a fresh state, its settings in a temporary folder, messages recorded.
class WindowTest : public test::WindowFixture {
 protected:

  // A one-channel record at 100 Hz of the given length, written as an .ac file.
  std::string WriteRecord(const std::string& name, int32_t seconds, int32_t freq = 100) {
    StrongRecord rec;
    rec.SampFreq = freq;
    rec.DataCount = seconds * freq;
    rec.ChanCount = 1;
    rec.RedimHeader(1);
    rec.RedimAcc(rec.DataCount, 1);
    for (int32_t i = 1; i <= rec.DataCount; ++i) rec.Acc(i, 1) = static_cast<float>(50 * std::sin(i * 0.05));
    rec.Label(1) = "UD";
    rec.RecDate = "2026/01/15";
    rec.RecTime = "10:30:00";
    rec.SiteCode = "TEST01";
    rec.SiteName = "Test station";
    ComputePeaks(rec);
    const std::string path = dir.File(name);
    test::ScriptedUi ui;
    EXPECT_TRUE(WriteAc(path, rec, 0, ui)) << ui.OnlyMessage();
    return path;
  }

  static std::string Demo() { return SISMORA_SOURCE_DIR "/samples/demo.ac"; }
  std::string Caption() const { return window->windowTitle().toStdString(); }
  bool Enabled(const char* key) const { return window->ActionByKey(key)->isEnabled(); }
  void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, mods);
    QApplication::sendEvent(window.get(), &press);
  }
  void Drop(QWidget* target, const std::vector<std::string>& paths) {
    QList<QUrl> urls;
    for (const auto& p : paths) urls << QUrl::fromLocalFile(QString::fromStdString(p));
    QMimeData mime;
    mime.setUrls(urls);
    // Qt delivers a drop to the widget that accepted the drag's entry.
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
  }

};

TEST_F(WindowTest, StartsEmptyWithRecordCommandsDisabled) {
  EXPECT_EQ(Caption(), "Sismora");
  EXPECT_EQ(window->CurrentKind(), 0);
  EXPECT_TRUE(Enabled("open"));
  EXPECT_TRUE(Enabled("close"));
  for (const char* key : {"append", "print", "copy", "acc", "left", "zoom", "mnuFileAppend", "mnuFilePrint"})
    EXPECT_FALSE(Enabled(key)) << key;
  EXPECT_FALSE(window->ActionByKey("mnuToolEvent")->isVisible());
  EXPECT_FALSE(window->ActionByKey("mnuToolDatabase")->isVisible());
  EXPECT_EQ(window->ZoomIndex(), kFitZoomIndex);  // a new window fits the graph to the view
  // Texts come from the string table.
  EXPECT_EQ(window->ActionByKey("mnuFileOpen")->text().toStdString(), Str(1110));
  EXPECT_EQ(window->ActionByKey("open")->toolTip().toStdString(), Str(5102));
}

TEST_F(WindowTest, OpeningTheDemoShowsItsAcceleration) {
  window->ReadFile(Demo());
  ASSERT_TRUE(messages.empty()) << messages.front().text;
  EXPECT_EQ(Caption(), "Sismora - demo.ac");
  EXPECT_EQ(window->CurrentKind(), 1);
  EXPECT_EQ(state.view.GraphKind, 1);
  EXPECT_EQ(window->StatusMessageText(), "Acceleration");
  EXPECT_EQ(window->StatusParamsText(), StatusParamsText(state.record));
  EXPECT_NE(window->StatusParamsText().find("DEMO01"), std::string::npos);
  EXPECT_TRUE(window->ActionByKey("mnuViewAcc")->isChecked());
  EXPECT_TRUE(window->ActionByKey("acc")->isChecked());
  EXPECT_TRUE(Enabled("append"));
  EXPECT_TRUE(Enabled("mnuFilePrint"));
  EXPECT_EQ(window->RecentFiles()[1], Demo());
  EXPECT_TRUE(window->RecentActions()[0]->isVisible());
  EXPECT_FALSE(window->RecentActions()[1]->isVisible());
  // Three channels: one report group.
  ASSERT_EQ(window->ChannelMenu()->actions().size(), 1);
  EXPECT_EQ(window->ChannelMenu()->actions()[0]->text().toStdString(), "Channel #1-#3");
  // Views whose painters exist are offered; the others stay disabled.
  for (const auto& [key, kind] :
       std::vector<std::pair<const char*, int32_t>>{{"acc", 1}, {"four", 4}, {"rep", 21}})
    EXPECT_EQ(Enabled(key), window->KindDrawable(kind)) << key;
  EXPECT_TRUE(window->KindDrawable(1));
  // The picture has the page's size at 100 %, in the middle of a larger window.
  EXPECT_GT(window->Picture()->width(), 100);
  EXPECT_EQ(window->findChild<QScrollArea*>("picBack")->alignment(), Qt::AlignCenter);
}

TEST_F(WindowTest, CloseReturnsToTheEmptyWindow) {
  window->ReadFile(Demo());
  window->ActionByKey("mnuFileClose")->trigger();
  EXPECT_EQ(Caption(), "Sismora");
  EXPECT_EQ(state.record.ChanCount, 0);
  EXPECT_EQ(window->CurrentKind(), 0);
  EXPECT_FALSE(Enabled("append"));
  EXPECT_EQ(window->StatusParamsText(), "");
}

TEST_F(WindowTest, TimeAxisKeysMoveAndRefuse) {
  window->ReadFile(WriteRecord("hundred.ac", 100));
  ASSERT_TRUE(messages.empty()) << messages.front().text;
  EXPECT_EQ(window->CurrentTimeWindow(), (TimeWindow{0, 100}));  // a record opens whole
  // Settings that fix the window keep it: 0-80 s from here on.
  state.graph.FixedTimeWindow = true;
  state.graph.Axis[AxisTime].Max = 80;
  window->ReadFile(WriteRecord("hundred.ac", 100));
  ASSERT_EQ(window->CurrentTimeWindow(), (TimeWindow{0, 80}));
  Key(Qt::Key_Right);
  EXPECT_EQ(window->CurrentTimeWindow(), (TimeWindow{40, 120}));
  Key(Qt::Key_Home);
  EXPECT_EQ(window->CurrentTimeWindow(), (TimeWindow{0, 80}));
  Key(Qt::Key_Space);
  Key(Qt::Key_Right);  // s = 80 is still inside the 100 s record
  EXPECT_EQ(window->CurrentTimeWindow(), (TimeWindow{80, 160}));
  Key(Qt::Key_Right);  // s = 120 is not
  EXPECT_EQ(window->CurrentTimeWindow(), (TimeWindow{80, 160}));
  Key(Qt::Key_Left, Qt::ShiftModifier);
  EXPECT_EQ(window->CurrentTimeWindow(), (TimeWindow{75, 155}));
  Key(Qt::Key_Home);

  state.graph.Axis[AxisTime].Max = 400;
  Key(Qt::Key_Down);  // 800 s is too long
  EXPECT_EQ(window->CurrentTimeWindow(), (TimeWindow{0, 400}));
  state.graph.Axis[AxisTime].Max = 8;
  Key(Qt::Key_Up);  // 4 s is too short
  EXPECT_EQ(window->CurrentTimeWindow(), (TimeWindow{0, 8}));
  Key(Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(window->CurrentTimeWindow(), (TimeWindow{0, 12}));
  // The toolbar buttons run the same commands.
  window->ActionByKey("reduce")->trigger();
  EXPECT_EQ(window->CurrentTimeWindow(), (TimeWindow{0, 24}));
  window->ActionByKey("right")->trigger();
  EXPECT_EQ(window->CurrentTimeWindow(), (TimeWindow{12, 36}));
}

TEST_F(WindowTest, ZoomStepsStopAtFiftyAndTwoHundredPercent) {
  window->ReadFile(Demo());
  window->SetZoom(kDefaultZoomIndex);
  Key(Qt::Key_PageUp);
  EXPECT_EQ(window->ZoomIndex(), 3);
  window->SetZoom(kDefaultZoomIndex);
  const int width100 = window->Picture()->width();
  Key(Qt::Key_PageDown);
  Key(Qt::Key_PageDown);
  EXPECT_EQ(window->ZoomIndex(), 0);
  EXPECT_FLOAT_EQ(window->Session().zoom, 0.5f);
  EXPECT_NEAR(window->Picture()->width(), width100 / 2, 2);
  Key(Qt::Key_PageDown);  // already at 50 %
  EXPECT_EQ(window->ZoomIndex(), 0);
  for (int i = 0; i < 6; ++i) Key(Qt::Key_PageUp);
  EXPECT_EQ(window->ZoomIndex(), 4);
  EXPECT_FLOAT_EQ(window->Session().zoom, 2.0f);
  EXPECT_TRUE(window->findChild<QAction*>("mnuViewZoom4")->isChecked());
  EXPECT_FALSE(window->findChild<QAction*>("mnuViewZoom0")->isChecked());
}

TEST_F(WindowTest, FittedGraphFollowsTheViewAndTheMouseMovesTheTimeWindow) {
  window->resize(1000, 700);
  window->show();
  window->ReadFile(Demo());
  QApplication::processEvents();
  const QSize view = window->Background()->size();
  QTest::qWait(80);
  EXPECT_LE(window->Picture()->width(), view.width());
  EXPECT_GE(window->Picture()->width(), view.width() - 8);
  window->resize(1300, 900);
  QApplication::processEvents();
  QTest::qWait(80);
  QApplication::processEvents();
  const QSize bigger = window->Background()->size();
  EXPECT_GT(bigger.width(), view.width());
  EXPECT_GE(window->Picture()->width(), bigger.width() - 8);

  // The wheel over the middle of the strips halves the window around the pointer.
  const GraphFrame& f = window->Session().screenFrame;
  const double upp = window->Session().screenUnitsPerPixel;
  const QPointF middle((f.Left + f.Width / 2.0) / upp, (f.Top + f.Height / 2.0) / upp);
  const TimeWindow before{f.X.Min, f.X.Max};
  QWheelEvent wheel(middle, window->Picture()->mapToGlobal(middle), QPoint(), QPoint(0, 120 * 3), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(window->Picture(), &wheel);
  const TimeWindow after = window->CurrentTimeWindow();
  EXPECT_NEAR(after.hi - after.lo, (before.hi - before.lo) * 0.512, 0.01);
  EXPECT_NEAR((after.lo + after.hi) / 2, (before.lo + before.hi) / 2, 0.5);
  // The readout names the strip under the pointer.
  QMouseEvent move(QEvent::MouseMove, middle, window->Picture()->mapToGlobal(middle), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(window->Picture(), &move);
  auto* readout = window->findChild<QLabel*>("panelPointer");
  ASSERT_NE(readout, nullptr);
  EXPECT_TRUE(readout->text().startsWith(QString::fromStdString(state.record.Label(1)))) << readout->text().toStdString();
  // A double click shows the whole record again.
  QMouseEvent dbl(QEvent::MouseButtonDblClick, middle, window->Picture()->mapToGlobal(middle), Qt::LeftButton,
                  Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window->Picture(), &dbl);
  EXPECT_EQ(window->CurrentTimeWindow().lo, 0);
  EXPECT_GE(window->CurrentTimeWindow().hi, static_cast<double>(state.record.DataCount) / state.record.SampFreq);
}

TEST_F(WindowTest, WheelOnASpectrumZoomsItsAxisAndDoubleClickRestoresIt) {
  window->ReadFile(Demo());
  window->SetGraphKind(KindFourier, false);
  const int axis = state.graph.SpectraOnPeriod ? AxisPeriod : AxisFrequency;
  const AxisSettings before = state.graph.Axis[axis];
  const GraphFrame& f = window->Session().screenFrame;
  const double upp = window->Session().screenUnitsPerPixel;
  const QPointF middle((f.Left + f.Width / 2.0) / upp, (f.Top + f.Height / 2.0) / upp);
  QWheelEvent wheel(middle, window->Picture()->mapToGlobal(middle), QPoint(), QPoint(0, 240), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(window->Picture(), &wheel);
  const AxisSettings& after = state.graph.Axis[axis];
  EXPECT_LT(after.Max / after.Min, before.Max / before.Min);  // fewer decades shown
  EXPECT_GT(after.Min, before.Min);
  QMouseEvent dbl(QEvent::MouseButtonDblClick, middle, window->Picture()->mapToGlobal(middle), Qt::LeftButton,
                  Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window->Picture(), &dbl);
  EXPECT_EQ(state.graph.Axis[axis], before);
}

TEST_F(WindowTest, TimeItemsNameTheirKeysAndOwnScalesToggle) {
  EXPECT_TRUE(window->ActionByKey("mnuViewTimeBack")->text().endsWith("\tLeft"));
  EXPECT_TRUE(window->ActionByKey("mnuViewTimeReduce")->text().endsWith("\tDown"));
  window->ReadFile(Demo());
  QAction* own = window->ActionByKey("mnuViewOwnScales");
  ASSERT_NE(own, nullptr);
  EXPECT_FALSE(own->isChecked());
  own->trigger();
  EXPECT_TRUE(state.run.OwnScales);
  own->trigger();
  EXPECT_FALSE(state.run.OwnScales);
}

TEST_F(WindowTest, ReloadReadsTheFileAgainInTheSameView) {
  window->ReadFile(Demo());
  window->SetGraphKind(4, false);
  const float peak = state.record.Peak(1);
  state.preproc.HighCutFreq = 5;  // as the preprocessing dialog would set it
  window->ReloadCommand();
  EXPECT_EQ(window->CurrentKind(), 4);
  EXPECT_NE(state.record.Peak(1), peak);  // filtered this time
  EXPECT_NE(window->StatusMessageText().find("Preprocessed: high-cut 5 Hz"), std::string::npos)
      << window->StatusMessageText();
  window->CloseRecord();
  window->ReloadCommand();  // nothing loaded: nothing happens
  EXPECT_EQ(state.record.ChanCount, 0);
}

TEST_F(WindowTest, OverwriteQuestionDefaultsToNo) {
  window->questionSink = nullptr;
  QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    defaultButton = box->standardButton(box->defaultButton());
    box->done(QMessageBox::No);
  });
  EXPECT_FALSE(window->AskYesNo("Replace it?", "Sismora"));
  EXPECT_EQ(defaultButton, QMessageBox::No);
}

TEST_F(WindowTest, CtrlKeysToggleGridAndStepLegend) {
  window->ReadFile(Demo());
  const bool grid = state.graph.DrawGrid;
  state.graph.LegendPosition = 0;
  Key(Qt::Key_G, Qt::ControlModifier);
  EXPECT_EQ(state.graph.DrawGrid, !grid);
  Key(Qt::Key_L, Qt::ControlModifier);
  Key(Qt::Key_L, Qt::ControlModifier);
  EXPECT_EQ(state.graph.LegendPosition, 10);
  Key(Qt::Key_C, Qt::ShiftModifier);
  EXPECT_EQ(QApplication::clipboard()->text().toStdString(), window->StatusParamsText());
}

TEST_F(WindowTest, RecentListKeepsItsOrder) {
  const std::string a = WriteRecord("a.ac", 10), b = WriteRecord("b.ac", 10);
  window->ReadFile(a);
  window->ReadFile(b);
  window->ReadFile(a);
  EXPECT_EQ(window->RecentFiles()[1], b);
  EXPECT_EQ(window->RecentFiles()[2], a);
  EXPECT_EQ(window->RecentActions()[0]->data().toString().toStdString(), b);
  // Stored at unload, read back by the next window.
  window->SaveWindowState();
  AppState other;
  FSismora next(other);
  next.Load();
  EXPECT_EQ(next.RecentFiles()[1], b);
  EXPECT_EQ(next.RecentFiles()[2], a);
  // A recent item opens its file.
  next.RecentActions()[1]->trigger();
  EXPECT_EQ(next.windowTitle().toStdString(), "Sismora - a.ac");
}

TEST_F(WindowTest, DropOnGraphAppendsOnlyTheFirstFile) {
  window->ReadFile(Demo());
  const std::string one = WriteRecord("one.ac", 60), two = WriteRecord("two.ac", 60),
                    three = WriteRecord("three.ac", 60);
  Drop(window->Picture(), {one, two, three});
  ASSERT_TRUE(messages.empty()) << messages.front().text;
  EXPECT_EQ(state.record.ChanCount, 4);
  EXPECT_EQ(Caption(), "Sismora - demo.ac+one.ac");
  // On the background the first file is opened instead.
  Drop(window->Background(), {two, three});
  EXPECT_EQ(state.record.ChanCount, 1);
  EXPECT_EQ(Caption(), "Sismora - two.ac");
}

TEST_F(WindowTest, MissingOrUnreadableFileKeepsTheRecord) {
  window->ReadFile(Demo());
  window->ReadFile(dir.File("missing.ac"));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "File does not exist.");
  EXPECT_EQ(messages[0].title, "ReadAccFile - Sismora");
  EXPECT_EQ(messages[0].icon, MsgIcon::Critical);
  EXPECT_EQ(state.record.ChanCount, 3);
  EXPECT_EQ(Caption(), "Sismora - demo.ac");
  EXPECT_TRUE(Enabled("append"));

  // Appending a missing file keeps the record too.
  window->ReadFile(dir.File("missing.ac"), true);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[1].title, "AppendAccFile - Sismora");
  EXPECT_EQ(state.record.ChanCount, 3);

  // A file its reader cannot read: the record stays as it was.
  std::ofstream(dir.File("cut.ac")) << "2026/01/15 10:30:00   1 100  6000 CUT: Cut short\n";
  window->ReadFile(dir.File("cut.ac"));
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[2].text.rfind("Failed to read ", 0), 0u) << messages[2].text;
  EXPECT_EQ(state.record.ChanCount, 3);
  EXPECT_EQ(Caption(), "Sismora - demo.ac");
  EXPECT_TRUE(Enabled("append"));
  EXPECT_EQ(window->CurrentKind(), 1);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the hourglass is gone
  EXPECT_EQ(window->RecentFiles()[1], Demo());
}

// A K-NET record with work done on it survives every Open that does not load.
TEST_F(WindowTest, FailedOpensKeepTheRecordAndItsEdits) {
  SKIP_WITHOUT_SAMPLES();
  const std::string knet = (test::SamplesDir() / "knet/AOM0011801241951.EW").string();
  window->ReadFile(knet);
  ASSERT_EQ(state.record.ChanCount, 3) << (messages.empty() ? "" : messages[0].text);
  state.record.SiteName = "edited by hand";
  const float first = state.record.Acc(1, 1);
  const std::string caption = Caption();

  const std::string whole = ReadWholeFile(knet);
  const std::vector<std::pair<std::string, std::string>> bad = {
      {"junk.dat", std::string("\x00\x01\x02\xfe\xff binary junk", 17)},
      {"CUT0011801241951.EW", whole.substr(0, whole.size() / 3)},
      {"BK.CMB.xml", "<?xml version=\"1.0\"?>\n<FDSNStationXML schemaVersion=\"1.1\">\n</FDSNStationXML>\n"},
  };
  for (const auto& [name, bytes] : bad) {
    const std::string path = dir.File(name);
    std::ofstream(path, std::ios::binary) << bytes;
    const std::size_t said = messages.size();
    window->ReadFile(path);
    EXPECT_EQ(messages.size(), said + 1) << name;
    EXPECT_EQ(state.record.ChanCount, 3) << name;
    EXPECT_EQ(state.record.SiteName, "edited by hand") << name;
    EXPECT_EQ(state.record.Acc(1, 1), first) << name;
    EXPECT_EQ(Caption(), caption) << name;
    EXPECT_EQ(window->CurrentKind(), 1) << name;
    EXPECT_TRUE(Enabled("append")) << name;
  }
  EXPECT_NE(messages.back().text.find("StationXML"), std::string::npos) << messages.back().text;
}

TEST_F(WindowTest, NewChannelJoinsTheRecordAndTheChannelMenu) {
  window->ReadFile(Demo());
  window->selChanSink = [](SelChanMode mode, const std::vector<std::string>& labels, SelChanValues& v) {
    EXPECT_EQ(mode, SelChanMode::NewChannel);
    EXPECT_EQ(labels.size(), 3u);
    EXPECT_EQ(v.channelX, 1);
    EXPECT_EQ(v.multiplierX, 0);
    v.channelX = 1;
    v.channelY = 2;
    v.multiplierX = 1;
    v.multiplierY = -1;
    v.label = "N-S minus E-W";
    return true;
  };
  window->ActionByKey("mnuEditNewChannel")->trigger();
  ASSERT_EQ(state.record.ChanCount, 4);
  EXPECT_EQ(state.record.Label(4), "N-S minus E-W");
  EXPECT_FLOAT_EQ(state.record.Acc(1000, 4), state.record.Acc(1000, 1) - state.record.Acc(1000, 2));
  ASSERT_EQ(window->ChannelMenu()->actions().size(), 2);
  EXPECT_EQ(window->ChannelMenu()->actions()[1]->text().toStdString(), "Channel #4-#4");
  EXPECT_EQ(window->CurrentKind(), 1);
  // The second item shows the report page of channel 4.
  ASSERT_TRUE(window->ChannelMenu()->actions()[1]->isEnabled());
  window->ChannelMenu()->actions()[1]->trigger();
  EXPECT_EQ(window->CurrentKind(), 21);
  EXPECT_EQ(window->StatusMessageText(), "Report");
  EXPECT_EQ(window->CurrentReportPage(), 1);
  window->SetGraphKind(1, false);
  // Cancelled: nothing changes.
  window->selChanSink = [](SelChanMode, const std::vector<std::string>&, SelChanValues&) { return false; };
  window->ActionByKey("mnuEditNewChannel")->trigger();
  EXPECT_EQ(state.record.ChanCount, 4);
}

TEST_F(WindowTest, ParameterEditsTheHeaderTextsAndTheSummary) {
  window->ReadFile(Demo());
  window->recordParamSink = [](RecordTexts& t) {
    EXPECT_EQ(t.code, "DEMO01");
    t.station = "Renamed station";
    return true;
  };
  window->ActionByKey("mnuToolParam")->trigger();
  EXPECT_EQ(state.record.SiteName, "Renamed station");
  EXPECT_NE(window->StatusParamsText().find("Renamed station"), std::string::npos);
}

TEST_F(WindowTest, RelativePathsAreRememberedAbsolute) {
  const std::string path = WriteRecord("rel.ac", 10);
  const std::string cwd = std::filesystem::current_path().string();
  std::filesystem::current_path(dir.Path());
  window->ReadFile("rel.ac");
  std::filesystem::current_path(cwd);
  EXPECT_EQ(window->RecentFiles()[1], path);
  EXPECT_EQ(Caption(), "Sismora - rel.ac");
}

TEST_F(WindowTest, HelpTopicsOpensTheShippedPages) {
  window->SetHelpReference("");
  window->HelpTopics();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "HelpFile is not available yet.");
  window->SetHelpReference(":/help/index.html::/popup.txt");
  window->HelpTopics();
  EXPECT_EQ(messages.size(), 1u);
  auto* help = window->findChild<FHelp*>("fHelp");
  ASSERT_NE(help, nullptr);
  auto* browser = help->findChild<QTextBrowser*>();
  ASSERT_NE(browser, nullptr);
  EXPECT_EQ(browser->documentTitle().toStdString(), "Sismora help");
  help->close();
}

TEST_F(WindowTest, OneChannelDisablesOrbitAndRelationViews) {
  window->ReadFile(WriteRecord("single.ac", 20));
  EXPECT_FALSE(Enabled("orbit"));
  EXPECT_FALSE(Enabled("rel"));
  EXPECT_FALSE(window->ActionByKey("mnuViewOrbit")->isEnabled());
}

TEST_F(WindowTest, PrintsToPdfAndSavesImages) {
  window->ReadFile(Demo());
  const std::string pdf = dir.File("page.pdf");
  {
    QPdfWriter writer(QString::fromStdString(pdf));
    EXPECT_TRUE(window->PrintTo(writer));
  }
  std::string head = ReadWholeFile(pdf).substr(0, 5);
  EXPECT_EQ(head, "%PDF-");

  const std::string png = dir.File("view.png"), bmp = dir.File("view.bmp");
  EXPECT_TRUE(window->SaveImage(png));
  EXPECT_TRUE(window->SaveImage(bmp));
  QImage image(QString::fromStdString(png));
  EXPECT_EQ(image.width(), window->Picture()->width());
  EXPECT_EQ(ReadWholeFile(bmp).substr(0, 2), "BM");
  // Vector files at the page size.
  const std::string svg = dir.File("view.svg"), pagePdf = dir.File("view.pdf");
  EXPECT_TRUE(window->SaveImage(svg));
  EXPECT_NE(ReadWholeFile(svg).find("<svg"), std::string::npos);
  EXPECT_TRUE(window->SaveImage(pagePdf));
  EXPECT_EQ(ReadWholeFile(pagePdf).substr(0, 5), "%PDF-");
  EXPECT_FALSE(FileExists(pagePdf + ".part"));
  // A PNG at a chosen resolution: the page drawn again, 300 / 96 times as wide as at 96 dpi.
  const std::string at96 = dir.File("at96.png"), at300 = dir.File("at300.png");
  EXPECT_TRUE(window->SaveImage(at96, 96));
  EXPECT_TRUE(window->SaveImage(at300, 300));
  EXPECT_NEAR(QImage(QString::fromStdString(at300)).width(), QImage(QString::fromStdString(at96)).width() * 300.0 / 96,
              3);
  // An existing file is replaced only when the user agrees.
  window->questionSink = [](const std::string& text, const std::string&) {
    EXPECT_NE(text.find(" already exists."), std::string::npos);
    return false;
  };
  std::ofstream(png, std::ios::trunc) << "old";
  EXPECT_FALSE(window->SaveImage(png));
  EXPECT_EQ(ReadWholeFile(png), "old");
}

TEST_F(WindowTest, SaveAsWritesTheChosenFormatAndAsksBeforeAcDropsDigits) {
  window->ReadFile(Demo());
  // A name without extension takes the filter's format: COSMOS V2, one file per channel.
  ASSERT_TRUE(window->SaveRecordTo(dir.File("copy"), 2));
  EXPECT_TRUE(StartsWith(ReadWholeFile(dir.File("copy.N-S.v2")), "Corrected acceleration"));
  ASSERT_TRUE(window->SaveRecordTo(dir.File("copy.sac"), 0));  // the extension wins
  EXPECT_TRUE(FileExists(dir.File("copy.HNZ.sac")));
  for (int32_t i = 1; i <= state.record.DataCount; ++i) state.record.Acc(i, 2) *= 1e-4f;
  ComputePeaks(state.record);
  std::vector<std::string> asked;
  window->questionSink = [&asked](const std::string& text, const std::string&) {
    asked.push_back(text);
    return false;
  };
  EXPECT_FALSE(window->SaveRecordTo(dir.File("small.ac"), 0));
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_NE(asked[0].find("COSMOS V2 (.v2) or SAC (.sac) keeps every digit"), std::string::npos) << asked[0];
  EXPECT_FALSE(FileExists(dir.File("small.ac")));
  window->questionSink = [](const std::string&, const std::string&) { return true; };
  EXPECT_TRUE(window->SaveRecordTo(dir.File("small.ac"), 0));
  EXPECT_TRUE(FileExists(dir.File("small.ac")));
}

TEST_F(WindowTest, SavesExportsAndReports) {
  window->ReadFile(Demo());
  ASSERT_TRUE(Enabled("mnuFileSaveAc"));
  ASSERT_TRUE(window->SaveAcTo(dir.File("copy")));  // ".ac" appended
  StrongRecord back;
  test::ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadAc(dir.File("copy.ac"), back, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(back.ChanCount, 3);
  EXPECT_EQ(back.DataCount, 6000);

  ASSERT_TRUE(window->ExportTo(2, dir.File("vel"), 3));  // tab separated, ".txt"
  const std::string exported = ReadWholeFile(dir.File("vel.txt"));
  EXPECT_EQ(exported.substr(0, 8), "Velocity");
  EXPECT_NE(exported.find("\t"), std::string::npos);

  window->PropertiesCommand();
  EXPECT_EQ(window->TextViewer().Text().rfind("Strong Motion Record", 0), 0u);
  window->PeaksCommand();
  EXPECT_NE(window->TextViewer().Text().find("Peaks of "), std::string::npos);
  ASSERT_TRUE(Enabled("mnuViewMetrics"));
  window->ActionByKey("mnuViewMetrics")->trigger();
  const std::string metrics = window->TextViewer().Text();
  EXPECT_EQ(metrics.rfind("Ground-Motion Metrics", 0), 0u);
  EXPECT_NE(metrics.find("RotD50(1,2)"), std::string::npos) << metrics;
  EXPECT_TRUE(messages.empty());
}

TEST_F(WindowTest, CopyPutsAPictureOnTheClipboard) {
  window->ReadFile(Demo());
  QApplication::clipboard()->clear();
  window->CopyCommand();
  const QMimeData* data = QApplication::clipboard()->mimeData();
  ASSERT_NE(data, nullptr);
  EXPECT_TRUE(data->hasImage());
  EXPECT_TRUE(data->hasFormat("image/svg+xml"));
  // Enhanced copies switched off: the bitmap alone.
  state.run.SwitchE = false;
  window->CopyCommand();
  data = QApplication::clipboard()->mimeData();
  EXPECT_TRUE(data->hasImage());
  EXPECT_FALSE(data->hasFormat("image/svg+xml"));
}

TEST_F(WindowTest, PlacementAndBarsAreStored) {
  window->ReadFile(Demo());  // the View menu needs a record
  window->resize(700, 500);
  window->ActionByKey("mnuViewToolBar")->trigger();  // hide the toolbar
  window->SaveWindowState();
  WindowPlacement w;
  LoadWindowPlacement(w);
  EXPECT_FLOAT_EQ(w.Width, 700 * 15);
  EXPECT_FLOAT_EQ(w.Height, 500 * 15);
  EXPECT_FALSE(w.ToolBar);
  EXPECT_TRUE(w.StatusBar);
  AppState other;
  FSismora next(other);
  next.Load();
  EXPECT_EQ(next.width(), 700);
  EXPECT_FALSE(next.ActionByKey("mnuViewToolBar")->isChecked());
}

}  // namespace
}  // namespace sism
