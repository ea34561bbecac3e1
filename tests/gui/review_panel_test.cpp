// The review panel in the window: stepping through a folder of records, the decisions and
// corner edits, and the review file after each.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "app/gui/main_window.h"
#include "app/gui/review_panel.h"
#include "app/gui/snr_view.h"
#include "analysis/ground_motion.h"
#include "draw/pointer.h"
#include "draw/time_history.h"
#include "common/files.h"
#include "common/text.h"
#include "load/user_side.h"
#include "tests/support/samples.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/synthetic_quake.h"
#include "tests/support/temp_dir.h"
#include "tests/gui/window_fixture.h"

namespace sism {
namespace {

class ReviewPanelTest : public test::WindowFixture {
 protected:
  void SetUp() override {
    setenv("USER", "analyst", 1);
    WindowFixture::SetUp();
    std::filesystem::create_directories(dir.Path() / "records");
    for (unsigned k = 1; k <= 3; ++k) {
      StrongRecord rec = test::Quake(60, 10, 100.0f * static_cast<float>(k), k);
      rec.SiteCode = "ST" + std::to_string(k);
      rec.RecDate = "2026/01/1" + std::to_string(k);
      rec.RecTime = "10:30:00";
      test::ScriptedUi ui;
      ASSERT_TRUE(WriteAc(dir.File("records/q" + std::to_string(k) + ".ac"), rec, 0, ui));
    }
  }

  ReviewPanel& Panel() { return *window->Review(); }
  std::string LastReviewLine() const {
    std::vector<std::string> lines = Split(ReadWholeFile(dir.File("records/review.csv")), "\n");
    return lines.size() >= 2 ? lines[lines.size() - 2] : "";
  }
  std::size_t ReviewLines() const {
    if (!FileExists(dir.File("records/review.csv"))) return 0;
    return Split(ReadWholeFile(dir.File("records/review.csv")), "\n").size() - 2;
  }
  void Click(const char* name) { Panel().findChild<QPushButton*>(name)->click(); }
};

TEST_F(ReviewPanelTest, StepDecideAndEditCorners) {
  ASSERT_TRUE(window->OpenReview(dir.File("records"))) << (messages.empty() ? "" : messages[0].text);
  ASSERT_EQ(Panel().List().Count(), 3);
  EXPECT_EQ(Panel().List().Current(), 0);
  EXPECT_EQ(state.record.SiteCode, "ST1");
  EXPECT_TRUE(window->RecentFiles()[1].empty());
  EXPECT_TRUE(window->Picture()->isEnabled());  // the views of the record at hand
  ASSERT_NE(Panel().Processing(), nullptr);  // processed on the fly
  EXPECT_TRUE(Panel().Processing()->processed);

  // Next: the record prepared in the background.
  Panel().WaitForPrepared();
  QTest::keyClick(Panel().Table(), Qt::Key_PageDown);
  EXPECT_EQ(Panel().List().Current(), 1);
  EXPECT_TRUE(Panel().LastWasPrepared());
  EXPECT_EQ(state.record.SiteCode, "ST2");
  Panel().ReasonBox()->setCurrentText("clipped, near the peak");
  Click("cmdReviewReject");
  EXPECT_TRUE(StartsWith(LastReviewLine(), "q2.ac,rejected,\"clipped, near the peak\",,,,,,,analyst,")) << LastReviewLine();
  EXPECT_EQ(Panel().List().Text(1, ReviewList::ColDecision), "rejected");

  QTest::keyClick(Panel().Table(), Qt::Key_PageUp);
  EXPECT_EQ(Panel().List().Current(), 0);
  EXPECT_EQ(state.record.SiteCode, "ST1");
  Panel().ReasonBox()->setCurrentText("");
  Click("cmdReviewAccept");
  EXPECT_TRUE(StartsWith(LastReviewLine(), "q1.ac,accepted,,,,,,,,analyst,")) << LastReviewLine();

  // Corners typed: saved at once, and the record processed again with them.
  QLineEdit* hp = Panel().CornerField(0, false);
  QLineEdit* lp = Panel().CornerField(0, true);
  hp->setText("0.4");
  lp->setText("12");
  QMetaObject::invokeMethod(lp, "editingFinished");
  EXPECT_TRUE(StartsWith(LastReviewLine(), "q1.ac,accepted,,0.4,12,,,,,analyst,")) << LastReviewLine();
  ASSERT_NE(Panel().Processing(), nullptr);
  const ChannelProcessing* c = Panel().Processing()->Channel(1);
  EXPECT_FLOAT_EQ(c->highPass, 0.4f);
  EXPECT_FLOAT_EQ(c->lowPass, 12.0f);
  EXPECT_EQ(hp->text(), "0.4");
  // Refused corners write nothing.
  const std::size_t before = ReviewLines();
  EXPECT_FALSE(Panel().SetCorners(1, "5", "2"));
  EXPECT_FALSE(Panel().SetCorners(1, "x", ""));
  EXPECT_EQ(ReviewLines(), before);
  EXPECT_EQ(messages.size(), 2u);

  Click("cmdReviewReset");
  EXPECT_TRUE(StartsWith(LastReviewLine(), "q1.ac,reset,,,,,,,,analyst,"));
  EXPECT_EQ(hp->text(), "");
  EXPECT_NE(hp->placeholderText(), "");  // the chain's corner

  // N and P anywhere in the window.
  window->show();
  window->activateWindow();
  QApplication::setActiveWindow(window.get());
  QTest::keyClick(window.get(), Qt::Key_N);
  EXPECT_EQ(Panel().List().Current(), 1);
  QTest::keyClick(window.get(), Qt::Key_P);
  EXPECT_EQ(Panel().List().Current(), 0);

  // The filter shows the rejected line alone; the list keeps its decisions when opened again.
  const ReviewStatus first = Panel().List().Row(0).status;
  ASSERT_NE(first, ReviewStatus::Unknown);
  Panel().findChild<QComboBox*>("cboReviewFilter")->setCurrentIndex(static_cast<int>(first));
  EXPECT_GE(Panel().List().Count(), 1);
  for (int32_t i = 0; i < Panel().List().Count(); ++i) EXPECT_EQ(Panel().List().Row(i).status, first);
  EXPECT_EQ(Panel().List().Current(), 0);  // still the record shown
  ASSERT_TRUE(window->OpenReview(dir.File("records")));
  EXPECT_EQ(Panel().List().Text(1, ReviewList::ColDecision), "rejected");
  EXPECT_EQ(Panel().List().Text(0, ReviewList::ColDecision), "");
}

// Not a timed test: the figure is printed for the record, the bound is the benchmark's.
TEST_F(ReviewPanelTest, NextShowsThePreparedRecordHarness) {
  window->resize(1600, 1000);
  window->show();  // drawn at the size an analyst would use
  ASSERT_TRUE(window->OpenReview(dir.File("records")));
  double prepared = 0, cold = 0;
  Panel().WaitForPrepared();
  ASSERT_TRUE(Panel().Next());
  prepared = Panel().LastShowMs();
  EXPECT_TRUE(Panel().LastWasPrepared());
  ASSERT_TRUE(Panel().ShowLine(0));  // a line that was not prepared
  cold = Panel().LastShowMs();
  EXPECT_FALSE(Panel().LastWasPrepared());
  std::printf("review: next record shown in %.1f ms prepared, %.1f ms read and processed on the spot\n", prepared,
              cold);
  EXPECT_FALSE(Panel().ShowLine(3));

  // The real records, read and processed as a folder of records (nothing is written there).
  if (!test::HaveSamples()) return;
  ASSERT_TRUE(window->OpenReview(test::SamplesDir().string()));
  std::printf("review: %d sample records; first shown in %.1f ms\n", Panel().List().Count(), Panel().LastShowMs());
  for (int k = 0; k < 4 && Panel().List().Current() + 1 < Panel().List().Count(); ++k) {
    Panel().WaitForPrepared();
    QApplication::processEvents();
    const auto begin = std::chrono::steady_clock::now();
    ASSERT_TRUE(Panel().Next());
    QApplication::processEvents();  // the window painted
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
    std::printf("review: next (%s) shown in %.1f ms, painted after %.1f ms%s\n",
                Panel().List().Row(Panel().List().Current()).record.c_str(), Panel().LastShowMs(), ms,
                Panel().LastWasPrepared() ? ", prepared" : "");
  }
}

TEST_F(ReviewPanelTest, TheRunOnTheTimeHistoriesWithTheSpectraUnderThem) {
  window->resize(1600, 1000);
  window->show();
  ASSERT_TRUE(window->OpenReview(dir.File("records")));
  QApplication::processEvents();  // the docks laid out
  ASSERT_TRUE(state.processed);  // what the window's own processing leaves
  ASSERT_NE(Panel().Processing(), nullptr);
  EXPECT_EQ(state.processed->result.onset, Panel().Processing()->onset);
  EXPECT_EQ(window->CurrentKind(), KindAcc);
  const TimeMarks marks = ProcessingMarks(state);
  EXPECT_NEAR(marks.onset, 10, 0.5);  // the synthetic onset, on the time histories
  EXPECT_LT(marks.noiseFrom, marks.noiseTo);

  // The spectra beside, under the time histories, with each corner where the run put it.
  SnrView* snr = Panel().Snr();
  EXPECT_TRUE(snr->isVisible());
  EXPECT_TRUE(snr->Picture()->HasImage());
  EXPECT_GT(snr->mapTo(window.get(), QPoint(0, 0)).y(), window->Background()->mapTo(window.get(), QPoint(0, 0)).y());
  EXPECT_GT(snr->width(), 600);
  const double hp = AxisValueAtPixel(snr->Session(), snr->PixelOf(1, false).x());
  EXPECT_NEAR(hp, Panel().Processing()->Channel(1)->highPass, 0.01 * hp);

  // The window's own commands on the record: the graph follows them.
  window->UndoProcessCommand();
  EXPECT_FALSE(state.processed);
  EXPECT_TRUE(std::isnan(snr->PixelOf(1, false).x()));
  window->ProcessCommand();
  EXPECT_TRUE(std::isfinite(snr->PixelOf(1, false).x()));
  QApplication::processEvents();

  // S puts the graph away and brings it back.
  window->activateWindow();
  QApplication::setActiveWindow(window.get());
  QTest::keyClick(window.get(), Qt::Key_S);
  QApplication::processEvents();
  EXPECT_FALSE(snr->isVisible());
  QTest::keyClick(window.get(), Qt::Key_S);
  QApplication::processEvents();
  EXPECT_TRUE(snr->isVisible());
}

TEST_F(ReviewPanelTest, CornersDraggedOnTheGraphAreSavedAndTheRecordProcessedAgain) {
  window->resize(1600, 1000);
  window->show();
  ASSERT_TRUE(window->OpenReview(dir.File("records")));
  QApplication::processEvents();
  SnrView* snr = Panel().Snr();
  snr->Redraw();  // at the size laid out
  QWidget* pic = snr->Picture();
  const int32_t ch = FlatfileComponents(state.record).h1;
  ASSERT_GT(ch, 0);
  const ChannelProcessing automatic = *Panel().Processing()->Channel(ch);
  const QPoint line = snr->PixelOf(ch, false).toPoint();
  ASSERT_GT(line.x(), 0);
  const std::size_t none = ReviewLines();

  // A click on the line, and a drag from where no line is, change nothing.
  QTest::mouseClick(pic, Qt::LeftButton, {}, line);
  QTest::mousePress(pic, Qt::LeftButton, {}, line + QPoint(-40, 0));
  QTest::mouseMove(pic, line + QPoint(30, 0));
  QTest::mouseRelease(pic, Qt::LeftButton, {}, line + QPoint(30, 0));
  EXPECT_EQ(ReviewLines(), none);

  // The high-pass corner taken two pixels off its line and dragged 60 pixels up the axis.
  const GraphFrame frame = snr->Session().screenFrame;
  const QPoint to = line + QPoint(60, 0);
  const float expected = SnrDraggedCorner(frame, {ch, false, automatic.highPass}, automatic,
                                          PageFromPixel(snr->Session(), to.x()));
  ASSERT_GT(expected, automatic.highPass);
  QTest::mousePress(pic, Qt::LeftButton, {}, line + QPoint(2, 0));
  QTest::mouseMove(pic, line + QPoint(30, 0));
  QTest::mouseMove(pic, to);
  QTest::mouseRelease(pic, Qt::LeftButton, {}, to);
  // Saved at once with the low-pass corner where it was seen, and processed with both.
  const std::string both = NumberText(expected) + "," + NumberText(automatic.lowPass);
  EXPECT_TRUE(StartsWith(LastReviewLine(), "q1.ac,accepted,corners edited," + both + ",,,,,analyst,"))
      << LastReviewLine();
  ASSERT_NE(Panel().Processing(), nullptr);
  EXPECT_FLOAT_EQ(Panel().Processing()->Channel(ch)->highPass, expected);
  EXPECT_FLOAT_EQ(Panel().Processing()->Channel(ch)->lowPass, ToSingle(NumberText(automatic.lowPass)));
  EXPECT_EQ(Panel().CornerField(0, false)->text().toStdString(), NumberText(expected));
  EXPECT_NEAR(snr->PixelOf(ch, false).x(), to.x(), 1.5);  // drawn again where it was let go

  // The low-pass corner dragged far below the high-pass one stops short of it.
  const QPoint low = snr->PixelOf(ch, true).toPoint();
  QTest::mousePress(pic, Qt::LeftButton, {}, low);
  QTest::mouseMove(pic, QPoint(5, low.y()));
  QTest::mouseRelease(pic, Qt::LeftButton, {}, QPoint(5, low.y()));
  const float floor = Panel().Processing()->Channel(ch)->lowPass;
  EXPECT_GT(floor, expected * 1.4f);
  EXPECT_LT(floor, expected * 1.5f);
  EXPECT_TRUE(StartsWith(LastReviewLine(), "q1.ac,accepted,corners edited," + NumberText(expected) + "," +
                                               NumberText(floor) + ",,,,,analyst,"))
      << LastReviewLine();
  const std::size_t edits = ReviewLines();
  EXPECT_EQ(edits, none + 2);

  // Next and back: nothing more is written, and the corners are those dragged.
  ASSERT_TRUE(Panel().Next());
  ASSERT_TRUE(Panel().Previous());
  EXPECT_EQ(ReviewLines(), edits);
  EXPECT_FLOAT_EQ(Panel().Processing()->Channel(ch)->highPass, expected);
  EXPECT_EQ(Panel().CornerField(0, true)->text().toStdString(), NumberText(floor));
  // Rejected after all: the corners go with the decision.
  Click("cmdReviewReject");
  EXPECT_TRUE(StartsWith(LastReviewLine(), "q1.ac,rejected,,"  + NumberText(expected))) << LastReviewLine();
}

TEST_F(ReviewPanelTest, AFolderOfRecordsFillsItsLinesInTheBackground) {
  ASSERT_TRUE(window->OpenReview(dir.File("records")));
  Panel().WaitForSurvey();
  EXPECT_EQ(Panel().SurveyLeft(), 0);
  EXPECT_EQ(Panel().List().Current(), 0);
  EXPECT_EQ(state.record.SiteCode, "ST1");  // still the record shown
  for (int32_t k = 0; k < 3; ++k) {
    const std::string n = std::to_string(k + 1);
    EXPECT_NE(Panel().List().Row(k).status, ReviewStatus::Unknown) << k;
    EXPECT_EQ(Panel().List().Text(k, ReviewList::ColStation), "ST" + n);
    EXPECT_EQ(Panel().List().Text(k, ReviewList::ColDate), "2026/01/1" + n + " 10:30:00");
    EXPECT_NEAR(Panel().List().Row(k).pga, 100.0f * static_cast<float>(k + 1), 30.0f * static_cast<float>(k + 1));
  }
  EXPECT_TRUE(FileExists(dir.File("records/q3.ac")));
  EXPECT_FALSE(FileExists(dir.File("records/review.csv")));  // nothing decided, nothing written
}

TEST_F(ReviewPanelTest, RejectedLinesOfAProcessedFolderShowTheirDateAndPga) {
  // A processed folder whose flatfile, as the tool writes it, has no measures of the record
  // the chain rejected.
  std::filesystem::create_directories(dir.Path() / "out");
  const std::string src = dir.File("records/");
  dir.Write("out/flatfile.csv",
                 "file,format,station,date,time,H1_PGA,H2_PGA,V_PGA,processing,qa_flags\n" + src +
                     "q1.ac,ac,ST1,2026/01/11,10:30:00,95,90,30,passed,\n" + src +
                     "q2.ac,ac,ST2,,,,,,rejected,low_snr@1\n");
  ASSERT_TRUE(window->OpenReview(dir.File("out")));
  Panel().WaitForSurvey();
  const ReviewList& list = Panel().List();
  EXPECT_EQ(list.Text(1, ReviewList::ColStatus), "rejected");  // the tool's outcome stays
  EXPECT_EQ(list.Text(1, ReviewList::ColDate), "2026/01/12 10:30:00");
  EXPECT_NEAR(list.Row(1).pga, 200.0f, 60.0f);
  EXPECT_GT(list.Row(0).pga, 0);
}

// The figure asked of the review, on the real records as the tool processes them: moving to the
// next line of a processed folder, from the key to the window painted. Printed, not asserted.
TEST_F(ReviewPanelTest, NextOnAProcessedFolderOfTheSamplesHarness) {
  const std::string cli = SISMORA_BIN_DIR "/sismora-cli";
  if (!test::HaveSamples() || !FileExists(cli)) GTEST_SKIP() << "needs the sample records and sismora-cli";
  const std::string out = dir.File("processed");
  const std::string cmd = "'" + cli + "' process '" + test::SamplesDir().string() + "' -o '" + out + "' -q >/dev/null 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()) >= 0, true);
  ASSERT_TRUE(FileExists(out + "/flatfile.csv"));
  window->resize(1600, 1000);
  window->show();
  ASSERT_TRUE(window->OpenReview(out));
  Panel().WaitForSurvey();
  std::vector<double> shown, painted;
  std::string slowest;
  while (Panel().List().Current() + 1 < Panel().List().Count()) {
    Panel().WaitForPrepared();
    QApplication::processEvents();
    const auto begin = std::chrono::steady_clock::now();
    QTest::keyClick(Panel().Table(), Qt::Key_PageDown);
    QApplication::processEvents();
    painted.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count());
    shown.push_back(Panel().LastShowMs());
    if (shown.back() >= *std::max_element(shown.begin(), shown.end()))
      slowest = Panel().List().Row(Panel().List().Current()).record;
    EXPECT_TRUE(Panel().LastWasPrepared());
  }
  ASSERT_FALSE(shown.empty());
  std::sort(shown.begin(), shown.end());
  std::sort(painted.begin(), painted.end());
  std::printf("review of a processed folder: %zu moves; shown in %.1f ms median, %.1f ms at most; painted after "
              "%.1f ms median, %.1f ms at most; slowest %s\n",
              shown.size(), shown[shown.size() / 2], shown.back(), painted[painted.size() / 2], painted.back(),
              slowest.c_str());
}

TEST_F(ReviewPanelTest, AFolderWithNoRecordsSaysSo) {
  std::filesystem::create_directories(dir.Path() / "empty");
  EXPECT_FALSE(window->OpenReview(dir.File("empty")));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].text.find("no records"), std::string::npos) << messages[0].text;
}

}  // namespace
}  // namespace sism
