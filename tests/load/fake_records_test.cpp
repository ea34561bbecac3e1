// The synthetic records and the throw-away reader used by the other loading tests.
#include "tests/load/fake_records.h"

#include <gtest/gtest.h>

#include <sstream>

#include "common/files.h"
#include "common/text.h"
#include "record/reader.h"

namespace sism::test {

namespace {
int calls = 0;

ReadOutcome FakeReader(const std::string& path, StrongRecord& rec, ReadQuestions&) {
  ++calls;
  return TrapReadErrors(path, "FakeReader", [&] {
    TextFile f(path);
    std::istringstream head(f.ReadLine());
    int32_t freq = 0, steps = 0, chans = 0;
    std::string code, date, time;
    head >> freq >> steps >> chans >> code >> date >> time;
    if (chans < 1) return false;
    StrongRecord made = MakeRecord(freq, steps, chans);
    for (int32_t ch = 1; ch <= chans; ++ch) {
      std::string label;
      if (f.TryReadLine(label)) made.Label(ch) = label;
    }
    made.SiteCode = code;
    made.RecDate = date;
    made.RecTime = time;
    rec = made;
    return true;
  });
}
}  // namespace

StrongRecord MakeRecord(int32_t freq, int32_t steps, int32_t chans) {
  StrongRecord r;
  r.SampFreq = freq;
  r.DataCount = steps;
  r.ChanCount = chans;
  r.RedimHeader(chans);
  r.RedimAcc(steps, chans);
  for (int32_t ch = 1; ch <= chans; ++ch) {
    r.Label(ch) = "L" + std::to_string(ch);
    for (int32_t i = 1; i <= steps; ++i) r.Acc(i, ch) = static_cast<float>(ch * 100000 + i);
  }
  ComputePeaks(r);
  return r;
}

std::string FakeFile(int32_t freq, int32_t steps, int32_t chans, const std::string& code,
                     const std::vector<std::string>& labels) {
  std::string s = std::to_string(freq) + " " + std::to_string(steps) + " " + std::to_string(chans) + " " +
                  code + " 2024/01/01 12:00:00\n";
  for (const std::string& l : labels) s += l + "\n";
  return s;
}

const ReaderTable& FakeReaders() {
  static const ReaderTable t = [] {
    ReaderTable table{};
    table.fill(&FakeReader);
    return table;
  }();
  return t;
}

int FakeReaderCalls() {
  return calls;
}

TEST(FakeRecords, SamplesTellTheirChannelAndStep) {
  StrongRecord r = MakeRecord(100, 5, 2);
  EXPECT_EQ(r.Acc(3, 2), 200003.0f);
  EXPECT_EQ(r.Peak(1), 100005.0f);
  EXPECT_EQ(r.PeakStep(2), 5);
}

}  // namespace sism::test
