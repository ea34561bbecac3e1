// Japanese records in the pipeline: the view and the dialogs get their texts as shown,
// records of two encodings join, and typed labels fit the record they go into.
#include <gtest/gtest.h>

#include "load/user_side.h"
#include "load/new_channel.h"
#include "load/pipeline.h"
#include "load/statistics.h"
#include "record/ac.h"
#include "record/display_text.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

// 熊本市中央区 and 東西 in Shift-JIS.
const std::string kKumamoto = "\x8C\x46\x96\x7B\x8E\x73\x92\x86\x89\x9B\x8B\xE6";
const std::string kEastWest = "\x93\x8C\x90\xBC";

class JapaneseTextsTest : public ::testing::Test {
 protected:
  void SetUp() override { state.preproc.RemoveDC = false; }

  std::string JmaFile() {
    std::string t = "SITE CODE= 47A" + kKumamoto + "  ,32.86,130.90\r\n LAT.= 32.5\r\n LON.= 130.4\r\n" +
                    " SAMPLING RATE= 100Hz\r\n UNIT = gal\r\nINITIAL TIME = 2016 04 16 01 45 50\r\n NS," +
                    kEastWest + ",UD\r\n";
    for (int i = 1; i <= 200; ++i) t += std::to_string(i % 7) + ",1,-2\r\n";
    return dir.Write("k.csv", t);
  }

  std::string AcFile() {
    StrongRecord rec;
    rec.SampFreq = 100;
    rec.DataCount = 200;
    rec.StartChannels(1);
    rec.RedimAcc(200, 1);
    for (int32_t i = 1; i <= 200; ++i) rec.Acc(i, 1) = static_cast<float>(i % 5);
    rec.Label(1) = "Up";
    rec.SiteCode = "AC1";
    rec.SiteName = "Plain station";
    rec.RecDate = "2016/04/16";
    rec.RecTime = "01:45:50";
    ComputePeaks(rec);
    const std::string path = dir.File("p.ac");
    EXPECT_TRUE(WriteAc(path, rec, 0, ui)) << ui.OnlyMessage();
    return path;
  }

  test::TempDir dir;
  test::ScriptedUi ui;
  AppState state;
};

TEST_F(JapaneseTextsTest, OpenedRecordShowsItsTextsInJapanese) {
  std::vector<std::string> offered;
  state.preproc.PickChannels = true;
  ui.onPickChan = [&](const std::vector<std::string>& labels, std::vector<int32_t>& chosen) {
    offered = labels;
    chosen = {1, 2, 3};
    return true;
  };
  ASSERT_EQ(ReadAccFile(state, JmaFile(), ui), 3) << ui.OnlyMessage();
  EXPECT_EQ(offered, (std::vector<std::string>{"NS", "東西", "UD"}));
  EXPECT_EQ(state.record.Encoding, TextEncoding::ShiftJis);
  EXPECT_EQ(state.record.Label(2), kEastWest);
  EXPECT_EQ(state.view.LabelCopies, (std::vector<std::string>{"NS", "東西", "UD"}));
  EXPECT_EQ(ui.statusParams, StatusParamsText(state.record));
  EXPECT_EQ(ui.statusParams.rfind("2016/04/16 01:45:50 at 47A: 熊本市中央区 (I=", 0), 0u) << ui.statusParams;
}

TEST_F(JapaneseTextsTest, RecordsOfTwoEncodingsJoinAsShown) {
  ASSERT_EQ(ReadAccFile(state, JmaFile(), ui), 3) << ui.OnlyMessage();
  ASSERT_EQ(AppendAccFile(state, AcFile(), ui), 4) << ui.OnlyMessage();
  EXPECT_EQ(state.record.Encoding, TextEncoding::AsRead);
  EXPECT_EQ(state.record.SiteName, "熊本市中央区");
  EXPECT_EQ(state.record.Labels(), (std::vector<std::string>{"NS", "東西", "UD", "Up"}));
  EXPECT_EQ(state.view.LabelCopies, state.record.Labels());

  // The other way round, each file's code before its labels.
  AppState other;
  other.preproc.RemoveDC = false;
  other.preproc.PrefixCode = true;
  ASSERT_EQ(ReadAccFile(other, AcFile(), ui), 1);
  ASSERT_EQ(AppendAccFile(other, JmaFile(), ui), 4) << ui.OnlyMessage();
  EXPECT_EQ(other.record.Labels(), (std::vector<std::string>{"AC1 Up", "47A NS", "47A 東西", "47A UD"}));
  EXPECT_EQ(other.view.LabelCopies, other.record.Labels());
  EXPECT_EQ(other.record.SiteName, "Plain station");

  // Two Japanese records keep their bytes.
  AppState both;
  both.preproc.RemoveDC = false;
  ASSERT_EQ(ReadAccFile(both, JmaFile(), ui), 3);
  ASSERT_EQ(AppendAccFile(both, JmaFile(), ui), 6);
  EXPECT_EQ(both.record.Encoding, TextEncoding::ShiftJis);
  EXPECT_EQ(both.record.Label(5), kEastWest);
  EXPECT_EQ(both.view.LabelCopies[4], "東西");
}

TEST_F(JapaneseTextsTest, TypedLabelsOfNewChannelsFitTheRecord) {
  ASSERT_EQ(ReadAccFile(state, JmaFile(), ui), 3) << ui.OnlyMessage();
  SelChanValues v;
  v.channelX = 1;
  v.channelY = 2;
  v.multiplierX = 1;
  v.multiplierY = 1;
  v.label = "合成";
  ASSERT_TRUE(AddCombinedChannel(state, v));
  EXPECT_EQ(state.record.Label(4), "\x8D\x87\x90\xAC");
  EXPECT_EQ(state.view.LabelCopies[3], "合成");

  // A label Shift-JIS cannot hold turns the record's texts to their shown form.
  v.label = "Tōkyō";
  ASSERT_TRUE(AddCombinedChannel(state, v));
  EXPECT_EQ(state.record.Encoding, TextEncoding::AsRead);
  EXPECT_EQ(state.record.Labels(), (std::vector<std::string>{"NS", "東西", "UD", "合成", "Tōkyō"}));
  EXPECT_EQ(state.view.LabelCopies, state.record.Labels());
  EXPECT_EQ(state.record.SiteName, "熊本市中央区");
}

}  // namespace
}  // namespace sism
