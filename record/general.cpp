// General text files of numbers and CSV files, read as the user says after the
// read-data dialog has proposed a layout.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/errors.h"
#include "common/files.h"
#include "common/path.h"
#include "common/text.h"
#include "record/data_file_guess.h"
#include "record/reader.h"
#include "record/readers.h"

namespace sism {

namespace {

// Header fields both readers share; `prefix` starts the default channel labels.
void SetUp(const std::string& path, const DataFileParams& p, const std::string& prefix, std::size_t bytes,
           StrongRecord& rec) {
  const int32_t chans = p.channels < 1 ? 1 : p.channels;
  if (p.count < 1 || p.freq < 1) Raise(ErrInvalidCall);
  // Every value takes at least a character: more values than bytes is no layout of this file.
  if (static_cast<uint64_t>(p.count) * static_cast<uint64_t>(chans) > bytes) Raise(ErrInputPastEnd);
  rec.ChanCount = chans;
  rec.SampFreq = p.freq;
  rec.DataCount = p.count;
  rec.SiteCode = UCase(SplitPath(path).name);
  rec.SiteName = p.description;
  rec.RecDate = "0000/00/00";
  rec.RecTime = "00:00";
  rec.RedimHeader(chans);
  rec.RedimAcc(p.count, chans);
  for (int32_t c = 1; c <= chans; ++c) {
    rec.Offset(c) = 0;
    rec.Coef(c) = p.coef;
    rec.Label(c) = prefix + FormatNumber(c, "00");
  }
}

void Finish(const DataFileParams& p, StrongRecord& rec) {
  for (int32_t c = 1; c <= rec.ChanCount; ++c) {
    float* x = rec.Channel(c);
    for (int32_t i = 0; i < rec.DataCount; ++i) x[i] *= p.coef;
  }
  ComputePeaks(rec);
}

// Step-major order: step 1 channel 1, step 1 channel 2, ..., step 2 channel 1 ...
class SampleSink {
 public:
  explicit SampleSink(StrongRecord& rec) : rec_(rec) {}
  bool Full() const { return step_ > rec_.DataCount; }
  void Put(float v) {
    rec_.Acc(step_, ch_) = v;
    if (++ch_ > rec_.ChanCount) {
      ch_ = 1;
      ++step_;
    }
  }

 private:
  StrongRecord& rec_;
  int32_t step_ = 1, ch_ = 1;
};

bool IsSeparator(char c) {
  return c == ' ' || c == '\t' || c == ',' || c == '\r' || c == '\n';
}

void ReadFree(std::string_view text, StrongRecord& rec, ReadQuestions& ask) {
  SampleSink sink(rec);
  std::size_t i = 0, values = 0;
  while (!sink.Full()) {
    while (i < text.size() && IsSeparator(text[i])) ++i;
    if (i >= text.size()) Raise(ErrInputPastEnd);
    std::size_t start = i;
    while (i < text.size() && !IsSeparator(text[i])) ++i;
    sink.Put(ToSingle(text.substr(start, i - start)));
    if (++values % 65536 == 0) ask.Yield();
  }
}

void ReadFixed(TextFile& in, const DataFileParams& p, StrongRecord& rec, ReadQuestions& ask) {
  if (p.columns < 1) Raise(ErrInvalidCall);
  // Fields start at the given position of each line.
  const std::size_t first = p.start < 1 ? 1 : static_cast<std::size_t>(p.start);
  const std::size_t width = static_cast<std::size_t>(p.width);
  SampleSink sink(rec);
  for (int32_t lines = 1; !sink.Full(); ++lines) {
    std::string line = in.ReadLine();
    for (int32_t j = 0; j < p.columns && !sink.Full(); ++j)
      sink.Put(ToSingle(Mid(line, first + static_cast<std::size_t>(j) * width, width)));
    if (lines % 4096 == 0) ask.Yield();
  }
}

}  // namespace

bool ReadGeneralData(const std::string& path, const DataFileParams& p, StrongRecord& rec, ReadQuestions& ask) {
  TextFile in(path);
  SetUp(path, p, "CH", in.Contents().size(), rec);
  for (int32_t i = 0; i < p.skip; ++i) in.ReadLine();
  if (p.width > 0)
    ReadFixed(in, p, rec, ask);
  else
    ReadFree(std::string_view(in.Contents()).substr(in.Position()), rec, ask);
  Finish(p, rec);
  return true;
}

bool ReadCsvData(const std::string& path, const DataFileParams& p, StrongRecord& rec, ReadQuestions& ask) {
  TextFile in(path);
  SetUp(path, p, "ch", in.Contents().size(), rec);
  const std::size_t shift = p.neglectFirst ? 1 : 0;
  for (int32_t i = 0; i < p.skip; ++i) in.ReadLine();
  if (p.hasLabel) {
    std::vector<std::string> names = Split(in.ReadLine(), ",");
    // A short label line keeps the default names of the channels it lacks.
    for (int32_t c = 1; c <= rec.ChanCount && c - 1 + shift < names.size(); ++c)
      rec.Label(c) = TrimSpace(names[c - 1 + shift]);
  }
  for (int32_t i = 1; i <= rec.DataCount; ++i) {
    std::vector<std::string> fields = Split(in.ReadLine(), ",");
    if (fields.size() < static_cast<std::size_t>(rec.ChanCount) + shift) Raise(ErrSubscriptOutOfRange);
    for (int32_t c = 1; c <= rec.ChanCount; ++c) rec.Acc(i, c) = ToSingle(fields[c - 1 + shift]);
    if (i % 4096 == 0) ask.Yield();
  }
  Finish(p, rec);
  return true;
}

ReadOutcome ReadOther(const std::string& path, StrongRecord& rec, ReadQuestions& ask) {
  return TrapReadErrors(path, "ReadOther", [&] {
    DataFileParams p;
    if (!GetDataFileParams(path, p, ask)) return ReadStatus::Declined;
    return ReadGeneralData(path, p, rec, ask) ? ReadStatus::Read : ReadStatus::NotThisFormat;
  });
}

ReadOutcome ReadCsv(const std::string& path, StrongRecord& rec, ReadQuestions& ask) {
  return TrapReadErrors(path, "ReadCsv", [&] {
    DataFileParams p;
    if (!GetCsvFileParams(path, p, ask)) return ReadStatus::Declined;
    return ReadCsvData(path, p, rec, ask) ? ReadStatus::Read : ReadStatus::NotThisFormat;
  });
}

}  // namespace sism
