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
void SetUp(const std::string& path, const DataFileParams& p, const std::string& prefix, int64_t bytes,
           StrongRecord& rec) {
  const int32_t chans = p.channels < 1 ? 1 : p.channels;
  if (p.count < 1 || p.freq < 1) Raise(ErrInvalidCall);
  if (chans > kMaxRecordChannels)
    RaiseFound(ErrSubscriptOutOfRange, std::to_string(chans) + " channels asked for, more than the " +
                                           std::to_string(kMaxRecordChannels) + " a record holds");
  // Every value takes at least a character: more values than bytes is no layout of this file.
  if (static_cast<int64_t>(p.count) * chans > bytes)
    RaiseFound(ErrInputPastEnd, std::to_string(static_cast<int64_t>(p.count) * chans) +
                                    " values asked for, more than the file's " + std::to_string(bytes) + " bytes hold");
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
  int64_t Taken() const { return static_cast<int64_t>(step_ - 1) * rec_.ChanCount + ch_ - 1; }

 private:
  StrongRecord& rec_;
  int32_t step_ = 1, ch_ = 1;
};

bool IsSeparator(char c) {
  return c == ' ' || c == '\t' || c == ',' || c == '\r' || c == '\n';
}

// The file ends before the values the layout asks for.
[[noreturn]] void RaiseShort(int64_t line, int64_t taken, const StrongRecord& rec) {
  throw RuntimeError(ErrInputPastEnd, ErrorDescription(ErrInputPastEnd),
                     "at line " + std::to_string(line) + ": the file ends after " + std::to_string(taken) + " of its " +
                         std::to_string(static_cast<int64_t>(rec.DataCount) * rec.ChanCount) + " values");
}

// Runs `body`, naming the line and field of a value that cannot be read.
template <typename Body>
void AtField(int64_t line, std::size_t field, Body&& body) {
  try {
    body();
  } catch (RuntimeError& e) {
    e.SetPlace("line " + std::to_string(line) + ", field " + std::to_string(field));
    throw;
  }
}

void ReadFree(LineReader& in, StrongRecord& rec, ReadQuestions& ask) {
  SampleSink sink(rec);
  std::string line;
  while (!sink.Full()) {
    if (!in.TryReadLine(line)) RaiseShort(in.LineNumber() + 1, sink.Taken(), rec);
    std::size_t i = 0, field = 0;
    while (!sink.Full()) {
      while (i < line.size() && IsSeparator(line[i])) ++i;
      if (i >= line.size()) break;
      const std::size_t start = i;
      while (i < line.size() && !IsSeparator(line[i])) ++i;
      AtField(in.LineNumber(), ++field, [&] { sink.Put(ToSingle(std::string_view(line).substr(start, i - start))); });
    }
    if (in.LineNumber() % 4096 == 0) ask.Yield();
  }
}

void ReadFixed(LineReader& in, const DataFileParams& p, StrongRecord& rec, ReadQuestions& ask) {
  if (p.columns < 1) Raise(ErrInvalidCall);
  // Fields start at the given position of each line.
  const std::size_t first = p.start < 1 ? 1 : static_cast<std::size_t>(p.start);
  const std::size_t width = static_cast<std::size_t>(p.width);
  SampleSink sink(rec);
  std::string line;
  while (!sink.Full()) {
    if (!in.TryReadLine(line)) RaiseShort(in.LineNumber() + 1, sink.Taken(), rec);
    for (int32_t j = 0; j < p.columns && !sink.Full(); ++j)
      AtField(in.LineNumber(), static_cast<std::size_t>(j) + 1, [&] {
        sink.Put(ToSingle(Mid(line, first + static_cast<std::size_t>(j) * width, width)));
      });
    if (in.LineNumber() % 4096 == 0) ask.Yield();
  }
}

void SkipLines(LineReader& in, int32_t skip) {
  for (int32_t i = 0; i < skip; ++i) in.ReadLine();
}

}  // namespace

bool ReadGeneralData(const std::string& path, const DataFileParams& p, StrongRecord& rec, ReadQuestions& ask) {
  LineReader in(path);
  SetUp(path, p, "CH", in.Size(), rec);
  SkipLines(in, p.skip);
  if (p.width > 0)
    ReadFixed(in, p, rec, ask);
  else
    ReadFree(in, rec, ask);
  Finish(p, rec);
  return true;
}

bool ReadCsvData(const std::string& path, const DataFileParams& p, StrongRecord& rec, ReadQuestions& ask) {
  LineReader in(path);
  SetUp(path, p, "ch", in.Size(), rec);
  const std::size_t shift = p.neglectFirst ? 1 : 0;
  SkipLines(in, p.skip);
  if (p.hasLabel) {
    std::vector<std::string> names = Split(in.ReadLine(), ",");
    // A short label line keeps the default names of the channels it lacks.
    for (int32_t c = 1; c <= rec.ChanCount && c - 1 + shift < names.size(); ++c)
      rec.Label(c) = TrimSpace(names[c - 1 + shift]);
  }
  for (int32_t i = 1; i <= rec.DataCount; ++i) {
    std::vector<std::string> fields = Split(in.ReadLine(), ",");
    if (fields.size() < static_cast<std::size_t>(rec.ChanCount) + shift)
      throw RuntimeError(ErrSubscriptOutOfRange, ErrorDescription(ErrSubscriptOutOfRange),
                         "at line " + std::to_string(in.LineNumber()) + ": " + std::to_string(fields.size()) +
                             " fields, fewer than the " + std::to_string(rec.ChanCount + shift) + " asked for");
    for (int32_t c = 1; c <= rec.ChanCount; ++c)
      AtField(in.LineNumber(), static_cast<std::size_t>(c) + shift,
              [&] { rec.Acc(i, c) = ToSingle(fields[static_cast<std::size_t>(c - 1) + shift]); });
    if (i % 4096 == 0) ask.Yield();
  }
  Finish(p, rec);
  return true;
}

ReadOutcome ReadOther(const std::string& path, StrongRecord& rec, ReadQuestions& ask) {
  return TrapReadErrors(path, "ReadOther", [&] {
    DataFileParams p;
    if (!GetDataFileParams(path, p, ask)) return ReadStatus::Declined;
    if (!ReadGeneralData(path, p, rec, ask)) return ReadStatus::NotThisFormat;
    rec.ReadNote = p.note.empty() ? std::string()
                                  : std::to_string(rec.DataCount) + (rec.DataCount == 1 ? " row" : " rows") +
                                        " read; " + p.note;
    return ReadStatus::Read;
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
