// Tool > Process record in the window: the chain runs on the record shown, the status bar
// and the properties report say what it found, and undo puts the record back sample for sample.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <cstdlib>
#include <memory>

#include "app/gui/main_window.h"
#include "app/shell/properties_report.h"
#include "load/user_side.h"
#include "tests/support/noise_record.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/synthetic_quake.h"
#include "tests/support/temp_dir.h"
#include "tests/gui/window_fixture.h"

namespace sism {
namespace {

class ProcessRecordTest : public test::WindowFixture {
 protected:
  void Open(const StrongRecord& rec) {
    const std::string path = dir.File("quake.ac");
    test::ScriptedUi ui;
    ASSERT_TRUE(WriteAc(path, rec, 0, ui)) << ui.OnlyMessage();
    window->ReadFile(path);
    ASSERT_GT(state.record.ChanCount, 0);
  }
  void Run(const char* item) { window->ActionByKey(item)->trigger(); }
  std::string Status() const { return window->StatusMessageText(); }

  static bool SameSamples(const StrongRecord& a, const StrongRecord& b) {
    if (a.ChanCount != b.ChanCount || a.DataCount != b.DataCount) return false;
    for (int32_t ch = 1; ch <= a.ChanCount; ++ch)
      for (int32_t i = 1; i <= a.DataCount; ++i)
        if (a.Acc(i, ch) != b.Acc(i, ch)) return false;
    return true;
  }
};

TEST_F(ProcessRecordTest, ProcessingIsReportedAndUndoRestoresTheRecordExactly) {
  Open(test::Quake(60, 15.0f, 200, 3));
  const StrongRecord read = state.record;
  ASSERT_TRUE(window->ActionByKey("mnuToolProcess")->isEnabled());

  Run("mnuToolProcess");
  ASSERT_TRUE(state.processed.has_value());
  EXPECT_EQ(Status().rfind("Processed", 0), 0u) << Status();
  EXPECT_TRUE(state.processed->result.processed);
  EXPECT_NEAR(state.processed->result.OnsetSeconds(state.record.SampFreq), 15.0f, 0.1f);
  EXPECT_FALSE(SameSamples(state.record, read));
  const std::string report = PropertiesReportText(state);
  EXPECT_NE(report.find(" Outcome: Processed"), std::string::npos) << report;
  EXPECT_NE(report.find("High-pass"), std::string::npos);
  EXPECT_NE(report.find(state.processed->result.steps.front().name), std::string::npos);

  // A second run starts from the record as read, so one undo still reaches it.
  Run("mnuToolProcess");
  Run("mnuToolUndoProcess");
  EXPECT_FALSE(state.processed.has_value());
  EXPECT_TRUE(SameSamples(state.record, read));
  EXPECT_FLOAT_EQ(state.record.PeakAcc, read.PeakAcc);
  EXPECT_EQ(Status(), "Processing undone");
  EXPECT_EQ(PropertiesReportText(state).find("Processing"), std::string::npos);

  Run("mnuToolUndoProcess");
  EXPECT_EQ(Status(), "The record has not been processed.");
  EXPECT_TRUE(SameSamples(state.record, read));
  EXPECT_TRUE(messages.empty());
}

TEST_F(ProcessRecordTest, RejectionNamesItsFlagsAndANewRecordForgetsTheRun) {
  AppState noise;
  test::NoiseRecord(noise, {"UD"}, 500, 5, 1.0f);  // too short for the chain
  Open(noise.record);
  const StrongRecord read = state.record;
  Run("mnuToolProcess");
  ASSERT_TRUE(state.processed.has_value());
  EXPECT_TRUE(state.processed->result.rejected);
  EXPECT_EQ(Status(), "Rejected: " + state.processed->result.FlagList());
  EXPECT_FALSE(state.processed->result.FlagList().empty());
  EXPECT_TRUE(SameSamples(state.record, read));

  Open(test::Quake(60, 15.0f, 200, 4));
  EXPECT_FALSE(state.processed.has_value());
  Run("mnuToolProcess");
  window->CloseRecord();
  EXPECT_FALSE(state.processed.has_value());
}

}  // namespace
}  // namespace sism
