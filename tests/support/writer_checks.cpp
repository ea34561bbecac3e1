#include "tests/support/writer_checks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "common/files.h"
#include "common/text.h"
#include "load/user_side.h"
#include "record/dispatch.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism::test {

namespace {

// Relative difference a format's samples may have: COSMOS writes nine digits, enough for
// every single-precision value; SAC scales to nm/s/s and back, counts are multiplied by
// a sensitivity once more.
double Tolerance(WriterId id) {
  return id == WriterId::CosmosV1 || id == WriterId::CosmosV2 ? 0 : 3e-7;
}

StrongRecord ReadBack(const std::string& path) {
  StrongRecord back;
  ScriptedUi ui;
  // A second sensor's channels make a second group; the first is the one compared.
  ui.onPickChan = [](const std::vector<std::string>&, std::vector<int32_t>& chosen) {
    chosen = {1};
    return true;
  };
  EXPECT_TRUE(ReportRead(ReadRecordFile(path, back, ui), ui)) << path << ": " << ui.OnlyMessage();
  return back;
}

void ExpectChannel(const StrongRecord& rec, int32_t ch, const StrongRecord& back, int32_t k, double tol) {
  SCOPED_TRACE("channel " + std::to_string(ch));
  int bad = 0;
  for (int32_t i = 1; i <= rec.DataCount && bad < 3; ++i) {
    const double a = rec.Acc(i, ch), b = back.Acc(i, k);
    if (std::fabs(a - b) > tol * std::fabs(a) + 1e-30) {
      ADD_FAILURE() << "step " << i << ": " << a << " written, " << b << " read";
      ++bad;
    }
  }
}

}  // namespace

std::string ExpectWrittenReadsBack(const StrongRecord& rec, const WriterRow& w) {
  TempDir dir;
  const std::string path = dir.File("out" + std::string(w.extensions.front()));
  const std::string failure = WriteRecordAs(w, path, rec);
  if (StartsWith(failure, "Cannot write ")) return failure;
  EXPECT_EQ(failure, "");
  const std::vector<std::string> files = WrittenFiles(w, path, rec);
  for (const std::string& f : files) EXPECT_TRUE(std::filesystem::exists(f)) << f;
  const double tol = Tolerance(w.id);
  auto expectHeader = [&](const StrongRecord& back) {
    EXPECT_EQ(back.SampFreq, rec.SampFreq);
    EXPECT_EQ(back.DataCount, rec.DataCount);
    StartTime t;
    if (RecordStart(rec, t)) {
      EXPECT_EQ(back.RecDate, rec.RecDate);
      EXPECT_EQ(back.RecTime, rec.RecTime);
    }
    EXPECT_EQ(back.SiteCode, Trim(rec.SiteCode));
  };
  if (w.id == WriterId::CosmosV1 || w.id == WriterId::CosmosV2) {
    for (int32_t ch = 1; ch <= rec.ChanCount; ++ch) {
      const StrongRecord back = ReadBack(files[static_cast<std::size_t>(ch - 1)]);
      if (back.ChanCount != 1) {
        ADD_FAILURE() << files[static_cast<std::size_t>(ch - 1)] << " reads as " << back.ChanCount
                      << " channels";
        return {};
      }
      expectHeader(back);
      EXPECT_EQ(back.SiteName, Trim(rec.SiteName));
      EXPECT_EQ(back.Label(1), "CH01");  // the format numbers the channels of a file
      ExpectChannel(rec, ch, back, 1, tol);
    }
    return {};
  }
  // SAC and miniSEED: the first sensor's channels, named by their codes.
  const StrongRecord back = ReadBack(w.id == WriterId::Sac ? files.front() : path);
  expectHeader(back);
  const std::vector<SeedChannel> codes = SeedChannels(rec);
  int32_t first = 0;
  for (int32_t ch = 1; ch <= rec.ChanCount; ++ch)
    if (codes[static_cast<std::size_t>(ch - 1)].loc == codes.front().loc) ++first;
  if (back.ChanCount != first) {
    ADD_FAILURE() << path << " reads back " << back.ChanCount << " channels, not " << first;
    return {};
  }
  // SAC holds no station name; the StationXML beside miniSEED does.
  if (w.id == WriterId::Mseed && !rec.SiteName.empty()) {
    EXPECT_EQ(back.SiteName, rec.SiteName);
  }
  for (int32_t k = 1; k <= back.ChanCount; ++k) {
    int32_t ch = 0;
    for (int32_t c = 1; c <= rec.ChanCount && ch == 0; ++c)
      if (codes[static_cast<std::size_t>(c - 1)].loc == codes.front().loc &&
          codes[static_cast<std::size_t>(c - 1)].cha == back.Label(k))
        ch = c;
    if (ch == 0) {
      ADD_FAILURE() << "no channel written as " << back.Label(k);
      continue;
    }
    ExpectChannel(rec, ch, back, k, tol);
  }
  return {};
}

}  // namespace sism::test
