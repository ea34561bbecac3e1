// The window-free half of opening a file: which pipeline runs, folder, caption and what
// the window is told to show.
#include "load/read_file.h"

#include <gtest/gtest.h>

#include "common/strings.h"
#include "tests/load/fake_records.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

class ReadFileTest : public ::testing::Test {
 protected:
  void SetUp() override { state.preproc.RemoveDC = false; }
  ReadFileResult Read(const std::string& path, bool append) {
    return ReadFile(state, files, path, append, ui, test::FakeReaders());
  }
  std::string File(const std::string& name, int32_t freq, int32_t chans) {
    return dir.Write(name, test::FakeFile(freq, 20, chans));
  }
  test::TempDir dir;
  test::ScriptedUi ui;
  AppState state;
  OpenFileState files;
};

TEST_F(ReadFileTest, OpenSetsFolderCaptionAndViews) {
  const std::string path = File("first.dat", 100, 1);
  ReadFileResult r = Read(path, false);
  EXPECT_EQ(files.LastFolder, dir.Path().string() + "/");
  EXPECT_EQ(r.chanCount, 1);
  EXPECT_TRUE(r.refresh);
  EXPECT_FALSE(r.noRecord);
  EXPECT_FALSE(r.twoChannelViews);  // one channel: no orbit, no relation
  EXPECT_EQ(files.CaptionFilePart, "first.dat");
}

TEST_F(ReadFileTest, AppendJoinsTheCaption) {
  Read(File("first.dat", 100, 1), false);
  ReadFileResult r = Read(File("second.dat", 100, 1), true);
  EXPECT_EQ(r.chanCount, 2);
  EXPECT_TRUE(r.refresh);
  EXPECT_TRUE(r.twoChannelViews);
  EXPECT_EQ(files.CaptionFilePart, "first.dat+second.dat");
  EXPECT_EQ(state.run.RecordFileCount, 2);
}

TEST_F(ReadFileTest, AppendWithoutRecordIsAnOpen) {
  ReadFileResult r = Read(File("only.dat", 100, 2), true);
  EXPECT_EQ(r.chanCount, 2);
  EXPECT_EQ(files.CaptionFilePart, "only.dat");
  EXPECT_EQ(state.run.RecordFileCount, 1);
}

TEST_F(ReadFileTest, RefusedAppendLeavesTheWindowAsItWas) {
  Read(File("first.dat", 60, 2), false);
  ReadFileResult r = Read(File("second.dat", 100, 1), true);
  EXPECT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(r.chanCount, 2);
  EXPECT_FALSE(r.refresh);
  EXPECT_EQ(files.CaptionFilePart, "first.dat");
  EXPECT_EQ(files.LastFolder, dir.Path().string() + "/");
}

TEST_F(ReadFileTest, FailedOpenKeepsTheWindow) {
  Read(File("first.dat", 100, 2), false);
  ReadFileResult r = Read(dir.Write("bad.dat", "junk\n"), false);
  EXPECT_EQ(r.chanCount, 2);
  EXPECT_FALSE(r.refresh);
  EXPECT_FALSE(r.noRecord);
  EXPECT_TRUE(r.twoChannelViews);
  EXPECT_EQ(files.CaptionFilePart, "first.dat");
  // The next append still appends.
  Read(File("third.dat", 100, 1), true);
  EXPECT_EQ(files.CaptionFilePart, "first.dat+third.dat");
}

TEST_F(ReadFileTest, FailedFirstOpenShowsTheEmptyWindow) {
  ReadFileResult r = Read(dir.Write("bad.dat", "junk\n"), false);
  EXPECT_EQ(r.chanCount, 0);
  EXPECT_TRUE(r.noRecord);
  EXPECT_EQ(files.CaptionFilePart, "");
}

TEST_F(ReadFileTest, OpeningAMissingFileKeepsTheRecordAndItsCount) {
  Read(File("first.dat", 100, 2), false);
  ReadFileResult r = Read(dir.File("gone.dat"), false);
  EXPECT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(r.chanCount, 2);
  EXPECT_FALSE(r.refresh);
  EXPECT_FALSE(r.noRecord);
  EXPECT_EQ(files.CaptionFilePart, "first.dat");
  // An append still appends.
  EXPECT_EQ(Read(File("second.dat", 100, 1), true).chanCount, 3);
}

}  // namespace
}  // namespace sism
