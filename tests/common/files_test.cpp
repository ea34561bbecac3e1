// Writing files so that an existing one is replaced whole or not at all.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>

#include "common/errors.h"
#include "common/files.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

namespace fs = std::filesystem;

// A disk that fills after 100 bytes.
long FullAfter100(int fd, const void* data, unsigned long size) {
  const off_t at = ::lseek(fd, 0, SEEK_CUR);
  if (at >= 100) {
    errno = ENOSPC;
    return -1;
  }
  return ::write(fd, data, std::min<unsigned long>(size, static_cast<unsigned long>(100 - at)));
}

std::vector<std::string> Temporaries(const test::TempDir& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir.Path()))
    if (e.path().filename().string().find(kTempMark) != std::string::npos) names.push_back(e.path().filename());
  return names;
}

TEST(AtomicFileWriter, AFullDiskKeepsTheOldFileAndSaysWhy) {
  test::TempDir dir;
  const std::string target = dir.Write("flat.csv", "old contents\n");
  try {
    AtomicFileWriter w(target, FullAfter100);
    for (int i = 0; i < 10000; ++i) w.Stream() << "row " << i << "\n";
    w.Commit();
    FAIL() << "a full disk was reported as success";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Number(), ErrPathFileAccess);
    EXPECT_EQ(e.Description(), "Path/File access error: No space left on device");
  }
  EXPECT_EQ(ReadWholeFile(target), "old contents\n");
  EXPECT_TRUE(Temporaries(dir).empty());
}

TEST(AtomicFileWriter, ReplacesWholeAndLeavesNothingBeside) {
  test::TempDir dir;
  const std::string target = dir.Write("a.txt", "old");
  {
    AtomicFileWriter w(target);
    EXPECT_EQ(fs::path(w.TempPath()).filename().string().rfind("a.txt.sismora-tmp-", 0), 0u) << w.TempPath();
    w.Write("new");
    w.Commit();
  }
  EXPECT_EQ(ReadWholeFile(target), "new");
  { AtomicFileWriter abandoned(target); }  // no Commit: the target stays, the temporary goes
  EXPECT_EQ(ReadWholeFile(target), "new");
  EXPECT_TRUE(Temporaries(dir).empty());
}

TEST(AtomicFileWriter, AReadOnlyFolderSaysSo) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  test::TempDir dir;
  fs::permissions(dir.Path(), fs::perms::owner_read | fs::perms::owner_exec);
  try {
    AtomicFileWriter w(dir.File("x.ac"));
    ADD_FAILURE() << "a read-only folder was written";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Number(), ErrPathFileAccess);
    EXPECT_NE(e.Description().find("Permission denied"), std::string::npos) << e.Description();
  }
  fs::permissions(dir.Path(), fs::perms::owner_all);
}

// A killed writer leaves its temporary file; the next write of the same target removes it
// once it is a day old, and never touches another target's or a fresh one.
TEST(AtomicFileWriter, KilledWriterLeavesARecognisableFileRemovedWhenStale) {
  test::TempDir dir;
  const std::string target = dir.Write("r.ac", "original");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    AtomicFileWriter w(target);
    w.Write(std::string(100000, 'x'));
    w.Stream().flush();
    ::raise(SIGKILL);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(ReadWholeFile(target), "original");
  const std::vector<std::string> left = Temporaries(dir);
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].rfind("r.ac.sismora-tmp-", 0), 0u);

  const std::string other = dir.Write("other.ac.sismora-tmp-abcdef", "");
  const auto twoDaysAgo = fs::file_time_type::clock::now() - std::chrono::hours(48);
  fs::last_write_time(other, twoDaysAgo);
  { AtomicFileWriter fresh(target); }  // the leftover is still young
  EXPECT_EQ(Temporaries(dir).size(), 2u);
  fs::last_write_time(dir.File(left[0]), twoDaysAgo);
  {
    AtomicFileWriter next(target);
    next.Write("new");
    next.Commit();
  }
  EXPECT_EQ(Temporaries(dir), std::vector<std::string>{"other.ac.sismora-tmp-abcdef"});
  EXPECT_EQ(ReadWholeFile(target), "new");
}

TEST(AtomicFileWriter, ACaughtSignalRemovesTheTemporaryFile) {
  test::TempDir dir;
  const std::string target = dir.File("s.csv");
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    RemoveTemporaryFilesOnSignals();
    AtomicFileWriter w(target);
    w.Write("partial");
    (void)!::write(ready[1], "x", 1);
    ::pause();
    ::_exit(0);
  }
  char c;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  ::kill(child, SIGTERM);
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
  EXPECT_TRUE(Temporaries(dir).empty());
  EXPECT_FALSE(fs::exists(target));
  ::close(ready[0]);
  ::close(ready[1]);
}

TEST(FileProblem, LinksThatLeadNowhereAreNamed) {
  test::TempDir dir;
  const std::string real = dir.Write("real.ac", "x");
  fs::create_symlink(real, dir.File("good"));
  fs::create_symlink(dir.File("gone.ac"), dir.File("dangling"));
  fs::create_symlink(dir.File("loop2"), dir.File("loop1"));
  fs::create_symlink(dir.File("loop1"), dir.File("loop2"));
  EXPECT_EQ(FileProblem(dir.File("good")), "");
  EXPECT_EQ(FileProblem(dir.File("dangling")), "dangling symbolic link to " + dir.File("gone.ac"));
  EXPECT_EQ(FileProblem(dir.File("loop1")), "Too many levels of symbolic links");
  EXPECT_EQ(FileProblem(dir.File("missing")), "No such file or directory");
  EXPECT_EQ(FileProblem(dir.Path().string()), "is a folder");
  try {
    ReadWholeFile(dir.File("loop1"));
    ADD_FAILURE() << "a loop of links was read";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Number(), ErrFileNotFound);
    EXPECT_EQ(e.Description(), "File not found: Too many levels of symbolic links");
  }
  EXPECT_TRUE(SameFile(real, dir.File("good")));
  fs::create_hard_link(real, dir.File("hard.ac"));
  EXPECT_TRUE(SameFile(dir.File("hard.ac"), dir.File("good")));
  EXPECT_FALSE(SameFile(real, dir.File("dangling")));
}

TEST(OverwriteQuestion, OneTextForEveryWriter) {
  EXPECT_EQ(OverwriteQuestion("/d/a.png"), "/d/a.png already exists.\nOverwrite?");
}

}  // namespace
}  // namespace sism
