// The review panel in the window: stepping through a folder of records, the decisions and
// corner edits, and the review file after each.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <chrono>
#include <cstdio>

#include "app/gui/main_window.h"
#include "app/gui/review_panel.h"
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
  std::size_t ReviewLines() const { return Split(ReadWholeFile(dir.File("records/review.csv")), "\n").size() - 2; }
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
  // Records processed here have their outcome in the list; the third was never shown.
  const ReviewStatus first = Panel().List().Row(0).status;
  ASSERT_NE(first, ReviewStatus::Unknown);
  EXPECT_EQ(Panel().List().Row(2).status, ReviewStatus::Unknown);
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

TEST_F(ReviewPanelTest, AFolderWithNoRecordsSaysSo) {
  std::filesystem::create_directories(dir.Path() / "empty");
  EXPECT_FALSE(window->OpenReview(dir.File("empty")));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].text.find("no records"), std::string::npos) << messages[0].text;
}

}  // namespace
}  // namespace sism
