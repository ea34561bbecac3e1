// What the seismometer readers fill in or cut reaches the status bar after loading.
#include <gtest/gtest.h>

#include "common/strings.h"
#include "load/pipeline.h"
#include "load/preprocess.h"
#include "state/graph_kinds.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/seismic_files.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

TEST(SeismicLoad, GapsAndCutsAreSaidInTheStatusBarAfterOpeningAndAppending) {
  test::TempDir dir;
  dir.Write("XX.STA.xml", test::StationXml({{.cha = "HNE"}, {.cha = "HNZ"}}));
  const std::string path =
      dir.Write("g.mseed", test::Mseed({{.cha = "HNE", .counts = test::Ramp(100, 4096, 0)},
                                        {.cha = "HNE", .start = "2020-05-01T12:00:02", .counts = test::Ramp(100, 4096, 0)},
                                        {.cha = "HNZ", .counts = test::Ramp(300, 0, 0)}}));
  AppState state;
  test::ScriptedUi ui;
  state.preproc.RemoveDC = false;
  state.preproc.Multipliers = "1:two";
  ASSERT_EQ(ReadAccFile(state, path, ui), 2) << ui.OnlyMessage();
  EXPECT_EQ(ui.status, "HNE: 1 gap (1 s) filled as no motion; " + MultipliersRejectedText("1:two"));
  EXPECT_EQ(state.record.Channel(1)[150], 1.0f);  // the mean of the data around it
  EXPECT_EQ(KindStatusText(state, KindAcc), "Acceleration - HNE: 1 gap (1 s) filled as no motion");

  state.preproc.Multipliers.clear();
  ASSERT_EQ(AppendAccFile(state, path, ui), 4) << ui.OnlyMessage();
  EXPECT_EQ(ui.status, "HNE: 1 gap (1 s) filled as no motion");
  EXPECT_EQ(state.record.ReadNote,
            "HNE: 1 gap (1 s) filled as no motion; HNE: 1 gap (1 s) filled as no motion");
}

}  // namespace
}  // namespace sism
