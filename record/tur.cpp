// TUR text files: a 20-line header of "key: value" lines, a label line, then one
// step a line in three 13-column fields.
#include <cstdint>
#include <string>

#include "common/errors.h"
#include "common/files.h"
#include "common/path.h"
#include "common/text.h"
#include "record/reader.h"
#include "record/readers.h"

namespace sism {

namespace {

constexpr int kHeaderLines = 20;
constexpr std::size_t kField = 13;

std::string Field(const std::string& line, int j) {
  return Mid(line, 1 + kField * static_cast<std::size_t>(j), kField);
}

ReadOutcome ReadBody(const std::string& path, StrongRecord& rec, ReadQuestions& ask) {
  TextFile in(path);
  rec.SampFreq = 0;
  rec.DataCount = 0;
  double preEvent = 0;
  double count = 0;
  for (int n = 1; n <= kHeaderLines; ++n) {
    std::string line = in.ReadLine();
    std::size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::string key = Left(line, 10);
    std::string value = line.substr(colon + 1);
    if (key == "PLACE     ") {
      rec.SiteName = Trim(value);
    } else if (key == "COORDINATE") {
      rec.SiteLat = Trim(Left(value, 8));
      rec.SiteLong = Trim(Mid(value, 11));
    } else if (key == "TRIGGER DA") {
      rec.RecDate = Mid(value, 7, 4) + "/" + Mid(value, 4, 2) + "/" + Mid(value, 1, 2);
      rec.RecTime = Mid(value, 12, 8);
    } else if (key == "PRE-EVENT ") {
      preEvent = Val(value);
    } else if (key == "NO. OF DAT") {
      count = Val(value);
    } else if (key == "SAMPLE INT") {
      double interval = Val(value);
      rec.SampFreq = interval > 0 ? RoundToLong(1 / interval) : 0;
    }
  }
  if (count >= 1) rec.DataCount = RoundToLong(count);
  if (rec.SampFreq <= 0 || rec.DataCount <= 0) return false;
  // Each step takes a line: a count beyond the file's size is not believed.
  if (static_cast<std::size_t>(rec.DataCount) > in.Contents().size() - in.Position()) Raise(ErrInputPastEnd);

  const int32_t chans = 3;
  rec.ChanCount = chans;
  rec.SiteCode = UCase(SplitPath(path).name);
  rec.RedimHeader(chans);
  rec.RedimAcc(rec.DataCount, chans);
  for (int32_t c = 1; c <= chans; ++c) {
    rec.Offset(c) = 0;
    rec.Coef(c) = 1;
  }
  std::string labels = in.ReadLine();
  for (int32_t c = 1; c <= chans; ++c) rec.Label(c) = Trim(Field(labels, c - 1));
  for (int32_t i = 1; i <= rec.DataCount; ++i) {
    std::string line = in.ReadLine();
    for (int32_t c = 1; c <= chans; ++c) rec.Acc(i, c) = ToSingle(Field(line, c - 1));
    if (i % 4096 == 0) ask.Yield();
  }
  // The header gives the trigger time; the record starts the pre-event time earlier.
  NormalizeDateTime(rec.RecDate, rec.RecTime, -static_cast<int64_t>(RoundToLong(preEvent)));
  ComputePeaks(rec);
  return true;
}

}  // namespace

ReadOutcome ReadTur(const std::string& path, StrongRecord& rec, ReadQuestions& ask) {
  return TrapReadErrors(path, "ReadTur", [&] { return ReadBody(path, rec, ask); });
}

}  // namespace sism
