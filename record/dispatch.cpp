#include "record/dispatch.h"

#include <cmath>
#include <fstream>
#include <vector>

#include "common/errors.h"
#include "common/files.h"
#include "common/path.h"
#include "common/text.h"
#include "record/formats.h"
#include "record/record_source.h"
#include "record/refusal.h"

namespace sism {

namespace {

// First bytes of the file, enough for the four-character head, the first line and the
// title lines that follow a banner.
bool ReadHead(const std::string& path, std::string& head) {
  if (!FileExists(path)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  head.assign(2048, '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  if (in.bad()) return false;
  head.resize(static_cast<std::size_t>(in.gcount()));
  return true;
}

std::string FirstLine(const std::string& bytes) {
  return bytes.substr(0, bytes.find_first_of("\r\n"));
}

ReadOutcome CallReader(const ReaderTable& readers, int32_t code, const std::string& path, StrongRecord& rec,
                       ReadQuestions& ask) {
  if (code < 0 || code > FormatLast || readers[static_cast<std::size_t>(code)] == nullptr) return false;
  return readers[static_cast<std::size_t>(code)](path, rec, ask);
}

// Makes the arrays agree with the counts the reader set: the sample matrix holds exactly
// DataCount steps and every per-channel array ChanCount entries. A record whose counts
// claim more than its arrays hold is not usable.
void FitArraysToCounts(StrongRecord& rec) {
  if (rec.ChanCount < 1 || rec.DataCount < 1) Raise(ErrSubscriptOutOfRange);
  if (rec.SampFreq < 1) Raise(ErrDivisionByZero);
  if (rec.AccChannels() < rec.ChanCount || rec.DataCapacity() < rec.DataCount) Raise(ErrSubscriptOutOfRange);
  rec.PreserveChannels(rec.ChanCount);
  if (rec.DataCapacity() != rec.DataCount) rec.ShrinkSteps(rec.DataCount);
}

// About 10,000 g: no accelerogram comes near it, and the analysis of larger values
// overflows single precision.
constexpr double kMaxAcceleration = 1e7;

// Refuses a sample no accelerometer records, naming its step and channel.
void CheckMagnitudes(const StrongRecord& rec) {
  for (int32_t ch = 1; ch <= rec.ChanCount; ++ch) {
    const float* x = rec.Channel(ch);
    for (int32_t i = 0; i < rec.DataCount; ++i) {
      if (std::isfinite(x[i]) && std::fabs(x[i]) <= kMaxAcceleration) continue;
      throw RuntimeError(ErrOverflow, ErrorDescription(ErrOverflow),
                         "at step " + std::to_string(i + 1) + " of channel " + std::to_string(ch) + ": " +
                             NumberText(x[i]) + " cm/s/s, beyond the 1e7 cm/s/s (about 10,000 g) of any record");
    }
  }
}

}  // namespace

int32_t DetectFormat(const std::string& path) {
  FileSniff sniff;
  if (!ReadHead(path, sniff.bytes)) return FormatNone;
  // A file shorter than four characters keeps what it has, so that its reader can say what is wrong.
  sniff.head = sniff.bytes.substr(0, 4);
  sniff.firstLine = FirstLine(sniff.bytes);
  sniff.ext = UCase(SplitPath(path).ext);
  return DetectFromSniff(sniff);
}

const ReaderTable& DefaultReaders() {
  static const ReaderTable table = [] {
    ReaderTable t{};
    for (const RecordFormatRow& row : RecordFormats()) t[static_cast<std::size_t>(row.code)] = row.reader;
    return t;
  }();
  return table;
}

ReadOutcome ReadRecordFile(const std::string& path, StrongRecord& rec, ReadQuestions& ask) {
  return ReadRecordFile(path, rec, ask, DefaultReaders());
}

ReadOutcome ReadRecordFile(const std::string& path, StrongRecord& rec, ReadQuestions& ask,
                           const ReaderTable& readers) {
  PathParts parts = SplitPath(path);
  std::string workingPath = path;
  int32_t group = 0;
  // Readers set only the texts their format carries; nothing of an earlier file may remain.
  rec.RecDate.clear();
  rec.RecTime.clear();
  rec.SiteCode.clear();
  rec.SiteName.clear();
  rec.SiteLat.clear();
  rec.SiteLong.clear();
  rec.ReadNote.clear();
  rec.Encoding = TextEncoding::AsRead;
  rec.Source = RecordSource{};
  rec.FileFormat = FormatNone;
  rec.FilePath.clear();

  const std::string refusal = RefusalText(path);
  if (!refusal.empty()) return ReadOutcome::Refusal(refusal, ReaderTitle("ReadRecordFile"));
  rec.FileFormat = DetectFormat(path);
  if (const int64_t limit = FileSizeLimit(rec.FileFormat), size = FileLength(path); limit > 0 && size > limit) {
    // Text that only begins like these formats may be long general data.
    if (rec.FileFormat == FormatTur || rec.FileFormat == FormatJmaAc) {
      rec.FileFormat = FormatOther;
    } else {
      const RecordFormatRow* row = FindRecordFormat(rec.FileFormat);
      return ReadOutcome::Refusal(path + " is " + ByteSizeText(size) + ", larger than a " +
                                      (row != nullptr ? row->name : "record") + " file can be (" +
                                      ByteSizeText(limit) + "): it is not a record file of that format.",
                                  ReaderTitle("ReadRecordFile"));
    }
  }
  ReadOutcome outcome;
  switch (rec.FileFormat) {
    case FormatKnet:
      outcome = CallReader(readers, FormatKnet, path, rec, ask);
      workingPath = parts.folder + parts.name;
      if (outcome && rec.ChanCount == 3) group = 1;
      if (outcome && rec.ChanCount == 6) group = 2;
      break;
    case FormatJma95a:
      outcome = CallReader(readers, FormatJma95a, path, rec, ask);
      workingPath = parts.folder + parts.name;
      break;
    case FormatJmaCsv:
      // One JMA sensor: channels 1-3.
      outcome = CallReader(readers, FormatJmaCsv, path, rec, ask);
      if (outcome) group = 1;
      break;
    case FormatTur:
    case FormatJmaAc:
      // Text that only begins like these formats is general data; one that is theirs but
      // damaged is refused with the reason.
      outcome = CallReader(readers, rec.FileFormat, path, rec, ask);
      if (outcome.status == ReadStatus::NotThisFormat) {
        outcome = CallReader(readers, FormatOther, path, rec, ask);
        rec.FileFormat = FormatOther;
      }
      break;
    case FormatNone:
      break;
    default:
      outcome = CallReader(readers, rec.FileFormat, path, rec, ask);
      break;
  }
  if (outcome) {
    outcome = TrapReadErrors(path, "ReadRecordFile", [&] {
      FitArraysToCounts(rec);
      CheckMagnitudes(rec);
      if (rec.ChanCount >= 3 && group == 0) group = 1;
      rec.FilePath = workingPath;
      rec.FileSize = FileLength(path);
      rec.JmaGroup = group;
      CompleteChannelSources(rec);
      return true;
    });
  }
  if (!outcome) {
    rec.FileFormat = FormatNone;
    rec.FilePath.clear();
  }
  return outcome;
}

}  // namespace sism
