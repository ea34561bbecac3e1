// An archive of many small records through the flatfile command: its memory does not
// grow with the number of records.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <string>
#include <vector>

#include "record/ac.h"
#include "tests/support/child_peak.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

// The peak resident memory of one run of the tool, in kB; -1 when it failed.
long PeakOfRun(const std::vector<std::string>& args) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    std::vector<char*> argv;
    std::string tool = SISMORA_BIN_DIR "/sismora-cli";
    argv.push_back(tool.data());
    std::vector<std::string> copy = args;
    for (std::string& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(tool.c_str(), argv.data());
    ::_exit(127);
  }
  int status = 0;
  struct rusage usage {};
  if (::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return usage.ru_maxrss;
}

void WriteRecords(const test::TempDir& dir, int from, int to) {
  StrongRecord rec;
  rec.SampFreq = 100;
  rec.DataCount = 500;
  rec.StartChannels(3);
  rec.RedimAcc(rec.DataCount, 3);
  rec.RecDate = "2024/01/01";
  rec.RecTime = "00:00:00";
  for (int32_t ch = 1; ch <= 3; ++ch) {
    rec.Label(ch) = "C" + std::to_string(ch);
    for (int32_t i = 1; i <= rec.DataCount; ++i) rec.Acc(i, ch) = static_cast<float>(10 * ch * std::sin(0.1 * i));
  }
  ComputePeaks(rec);
  for (int k = from; k < to; ++k) {
    rec.SiteCode = "S" + std::to_string(k);
    ASSERT_EQ(WriteAcFile(dir.File("r" + std::to_string(k) + ".ac"), rec, 0), "");
  }
}

TEST(MetricsArchive, PeakMemoryStaysFlatFrom100To2000Records) {
  test::TempDir dir, out;
  WriteRecords(dir, 0, 100);
  const std::vector<std::string> options = {"--periods", "0.1,1", "-j", "1", "-o"};
  auto run = [&](const std::string& name) {
    std::vector<std::string> args = {"metrics", dir.Path().string()};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(out.File(name));
    return PeakOfRun(args);
  };
  const long at100 = run("100.csv");
  WriteRecords(dir, 100, 2000);
  const long at2000 = run("2000.csv");
  ASSERT_GT(at100, 0);
  ASSERT_GT(at2000, 0);
  RecordProperty("peak_kb_100", static_cast<int>(at100));
  RecordProperty("peak_kb_2000", static_cast<int>(at2000));
  if (!test::kMemoryFiguresHold) GTEST_SKIP() << "memory is not measured under AddressSanitizer";
  // Twenty times the records: the rows and file names only, a few megabytes at most.
  EXPECT_LT(at2000, at100 + 16 * 1024) << "100 records: " << at100 << " kB, 2000 records: " << at2000 << " kB";
}

}  // namespace
}  // namespace sism
