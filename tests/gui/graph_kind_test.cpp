// The window shows the graph kind of the program state: reading, appending and closing
// keep the two and the checked View items in step.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <cmath>
#include <cstdlib>

#include "load/user_side.h"
#include "app/gui/main_window.h"
#include "record/ac.h"
#include "record/strong_record.h"
#include "state/graph_kinds.h"
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

class GraphKindTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
    setenv("HOME", dir.File("home").c_str(), 1);
    EnsureApp();
    window = std::make_unique<FSismora>(state);
    window->messageSink = [this](const std::string& text, MsgIcon, const std::string&) {
      messages.push_back(text);
    };
    window->questionSink = [](const std::string&, const std::string&) { return true; };
    window->Load();
  }

  // A one-channel record of 20 s at 100 Hz.
  std::string WriteRecord(const std::string& name, const std::string& label) {
    StrongRecord rec;
    rec.SampFreq = 100;
    rec.DataCount = 2000;
    rec.ChanCount = 1;
    rec.RedimHeader(1);
    rec.RedimAcc(rec.DataCount, 1);
    for (int32_t i = 1; i <= rec.DataCount; ++i) rec.Acc(i, 1) = static_cast<float>(20 * std::sin(i * 0.1));
    rec.Label(1) = label;
    rec.RecDate = "2026/01/15";
    rec.RecTime = "10:30:00";
    rec.SiteCode = "KIND01";
    rec.SiteName = "Kind station";
    const std::string path = dir.File(name);
    test::ScriptedUi ui;
    EXPECT_TRUE(WriteAc(path, rec, 0, ui)) << ui.OnlyMessage();
    return path;
  }

  bool Checked(const char* key) const { return window->ActionByKey(key)->isChecked(); }

  test::TempDir dir;
  AppState state;
  std::unique_ptr<FSismora> window;
  std::vector<std::string> messages;
};

TEST_F(GraphKindTest, OpeningAnotherFileLeavesOnlyAccelerationChecked) {
  window->ReadFile(SISMORA_SOURCE_DIR "/samples/demo.ac");
  window->ActionByKey("vel")->trigger();
  EXPECT_EQ(state.view.GraphKind, 2);
  EXPECT_TRUE(Checked("vel"));
  EXPECT_TRUE(Checked("mnuViewVel"));
  EXPECT_FALSE(Checked("acc"));

  window->ReadFile(WriteRecord("other.ac", "UD"));
  ASSERT_TRUE(messages.empty()) << messages.front();
  EXPECT_EQ(window->CurrentKind(), 1);
  EXPECT_EQ(state.view.GraphKind, 1);
  EXPECT_TRUE(Checked("acc"));
  EXPECT_TRUE(Checked("mnuViewAcc"));
  EXPECT_FALSE(Checked("vel"));
  EXPECT_FALSE(Checked("mnuViewVel"));
  EXPECT_EQ(window->StatusMessageText(), "Acceleration");
}

TEST_F(GraphKindTest, TheViewMenuShowsTheConstantDuctilityAndEffectiveAmplitudeSpectra) {
  window->ReadFile(SISMORA_SOURCE_DIR "/samples/demo.ac");
  ASSERT_TRUE(messages.empty()) << messages.front();
  window->ActionByKey("mnuViewRespDuct")->trigger();
  EXPECT_EQ(state.view.GraphKind, KindDuctility);
  EXPECT_TRUE(Checked("mnuViewRespDuct"));
  EXPECT_FALSE(Checked("acc"));
  EXPECT_EQ(window->StatusMessageText(), "Constant-ductility spectra");
  ASSERT_TRUE(state.series.ductilityValid);
  EXPECT_EQ(state.series.ductility.Mu, (std::vector<float>{1.5f, 2, 4, 6, 8}));
  ASSERT_NE(state.series.ductility.Series(DuctR, 1, 4), nullptr);

  window->ActionByKey("mnuViewEas")->trigger();
  EXPECT_EQ(state.view.GraphKind, KindEas);
  EXPECT_TRUE(Checked("mnuViewEas"));
  EXPECT_FALSE(Checked("mnuViewRespDuct"));
  EXPECT_GE(state.series.eas.X, 1);
  EXPECT_FALSE(state.series.eas.A.empty());

  // One vertical channel: the plot says there is no pair, and nothing is shown as an error.
  window->ReadFile(WriteRecord("vertical.ac", "UD"));
  window->ActionByKey("mnuViewEas")->trigger();
  EXPECT_EQ(state.view.GraphKind, KindEas);
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(state.series.eas.X, 0);
}

TEST_F(GraphKindTest, AppendingRedrawsTheAccelerationShown) {
  window->ReadFile(WriteRecord("first.ac", "UD"));
  ASSERT_EQ(window->CurrentKind(), 1);
  const int oneChannel = window->Picture()->height();
  window->ReadFile(WriteRecord("second.ac", "NS"), true);
  ASSERT_TRUE(messages.empty()) << messages.front();
  ASSERT_EQ(state.record.ChanCount, 2);
  EXPECT_EQ(window->CurrentKind(), 1);
  EXPECT_TRUE(Checked("acc"));
  // Two channels make a taller page: the view was drawn again.
  EXPECT_GT(window->Picture()->height(), oneChannel);
}

TEST_F(GraphKindTest, ClosingShowsNoKind) {
  window->ReadFile(SISMORA_SOURCE_DIR "/samples/demo.ac");
  window->ActionByKey("vel")->trigger();
  ASSERT_EQ(window->CurrentKind(), 2);
  window->CloseRecord();
  EXPECT_EQ(window->CurrentKind(), 0);
  EXPECT_EQ(state.view.GraphKind, 0);
  EXPECT_FALSE(Checked("vel"));
  EXPECT_FALSE(Checked("mnuViewVel"));
}

}  // namespace
}  // namespace sism
