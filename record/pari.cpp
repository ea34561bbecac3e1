// PARI .org text files: a line of three labels, then one step a line of three
// comma-separated values, at 100 Hz.
#include <cstdint>
#include <string>
#include <vector>

#include "common/errors.h"
#include "common/files.h"
#include "common/path.h"
#include "common/text.h"
#include "record/reader.h"
#include "record/readers.h"

namespace sism {

namespace {

ReadOutcome ReadBody(const std::string& path, StrongRecord& rec, ReadQuestions& ask) {
  TextFile in(path);
  int32_t lines = 0;
  {
    TextFile counter = TextFile::FromText(in.Contents());
    std::string line;
    while (counter.TryReadLine(line)) ++lines;
  }
  // A label line alone holds no record.
  if (lines < 2) Raise(ErrInputPastEnd);

  const int32_t chans = 3;
  rec.ChanCount = chans;
  rec.RedimHeader(chans);
  for (int32_t c = 1; c <= chans; ++c) {
    rec.Offset(c) = 0;
    rec.Coef(c) = 1;
  }
  rec.SiteCode.clear();
  rec.SiteLat.clear();
  rec.SiteLong.clear();
  rec.SampFreq = 100;
  rec.RecDate = "0000/00/00";
  rec.RecTime = "00:00:00";
  rec.DataCount = lines - 1;
  rec.RedimAcc(rec.DataCount, chans);

  std::vector<std::string> labels = Split(in.ReadLine(), ",");
  for (int32_t c = 1; c <= chans && c <= static_cast<int32_t>(labels.size()); ++c)
    rec.Label(c) = TrimSpace(labels[c - 1]);
  for (int32_t i = 1; i <= rec.DataCount; ++i) {
    std::vector<std::string> fields = Split(in.ReadLine(), ",");
    if (fields.size() < static_cast<std::size_t>(chans)) Raise(ErrSubscriptOutOfRange);
    for (int32_t c = 1; c <= chans; ++c) rec.Acc(i, c) = ToSingle(fields[c - 1]);
    if (i % 4096 == 0) ask.Yield();
  }
  rec.SiteName = SplitPath(path).name;
  ComputePeaks(rec);
  return true;
}

}  // namespace

ReadOutcome ReadPARIOrg(const std::string& path, StrongRecord& rec, ReadQuestions& ask) {
  return TrapReadErrors(path, "ReadPARIOrg", [&] { return ReadBody(path, rec, ask); });
}

}  // namespace sism
