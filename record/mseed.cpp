// miniSEED (SEED data records) through libmseed: every record of the opened file and of
// its sibling files (the same name with another component letter), put together by
// record/seismic_set.h.
#include <libmseed.h>

#include <climits>
#include <string>
#include <vector>

#include "common/files.h"
#include "common/text.h"
#include "record/reader.h"
#include "record/readers.h"
#include "record/seismic_set.h"

namespace sism {

namespace {

// libmseed reports to the terminal; the reader says what went wrong itself.
void Quiet(char*) {}

// Owns the record libmseed parses into; a copy would free it twice.
class ParsedRecord {
 public:
  ParsedRecord() = default;
  ParsedRecord(const ParsedRecord&) = delete;
  ParsedRecord& operator=(const ParsedRecord&) = delete;
  ~ParsedRecord() { msr_free(&msr_); }
  MSRecord*& Get() { return msr_; }

 private:
  MSRecord* msr_ = nullptr;
};

bool AllPadding(const std::string& bytes, std::size_t from) {
  for (std::size_t i = from; i < bytes.size(); ++i)
    if (bytes[i] != '\0' && bytes[i] != ' ') return false;
  return true;
}

// Whether the record's data section can hold the samples its header counts. The decoders
// of uncompressed data trust that count and would read past the record.
bool SamplesFit(const MSRecord& r) {
  if (r.fsdh == nullptr) return false;
  const int32_t offset = r.fsdh->data_offset;
  if (offset < 48 || offset >= r.reclen) return false;
  const int64_t bytes = r.reclen - offset;
  switch (r.encoding) {
    case DE_INT16: return r.samplecnt * 2 <= bytes;
    case DE_INT32:
    case DE_FLOAT32: return r.samplecnt * 4 <= bytes;
    case DE_FLOAT64: return r.samplecnt * 8 <= bytes;
    // At most 7 differences in each of a 64-byte frame's 15 data words.
    case DE_STEIM1:
    case DE_STEIM2: return r.samplecnt <= bytes / 64 * 105;
    default: return false;
  }
}

std::vector<double> SamplesOf(const MSRecord& msr) {
  std::vector<double> v(static_cast<std::size_t>(msr.numsamples));
  for (std::size_t i = 0; i < v.size(); ++i) {
    switch (msr.sampletype) {
      case 'i': v[i] = static_cast<const int32_t*>(msr.datasamples)[i]; break;
      case 'f': v[i] = static_cast<const float*>(msr.datasamples)[i]; break;
      case 'd': v[i] = static_cast<const double*>(msr.datasamples)[i]; break;
      default: return {};
    }
  }
  return v;
}

// Every data record of the file, one stretch each.
std::vector<SeisChannel> ReadMseedFile(const std::string& path) {
  ms_loginit(Quiet, nullptr, Quiet, nullptr);
  std::string bytes = ReadWholeFile(path);
  if (bytes.size() > static_cast<std::size_t>(INT_MAX))
    throw InvalidRecordFile(path + " is too large to be read as one miniSEED file.");
  std::vector<SeisChannel> out;
  ParsedRecord msr;
  std::size_t at = 0;
  while (at < bytes.size()) {
    const int left = static_cast<int>(bytes.size() - at);
    // The header first: the samples are decoded only when they fit the record.
    int rc = msr_parse(bytes.data() + at, left, &msr.Get(), 0, 0, 0);
    if (rc > 0 || (rc == MS_NOTSEED && !out.empty() && AllPadding(bytes, at))) {
      if (rc > 0) throw InvalidRecordFile(path + " ends inside a miniSEED record: the file is cut short.");
      break;
    }
    if (rc != MS_NOERROR || msr.Get() == nullptr || msr.Get()->reclen <= 0)
      throw InvalidRecordFile(path + (at == 0 ? " is not a miniSEED file (" : ": the miniSEED record at byte " +
                                                                                  std::to_string(at) + " is damaged (") +
                              ms_errorstr(rc) + ").");
    const MSRecord& head = *msr.Get();
    const std::size_t here = at;
    at += static_cast<std::size_t>(head.reclen);
    // Log and other text records, and records of no samples, hold no waveform.
    if (head.samplecnt <= 0 || head.encoding == DE_ASCII) continue;
    if (!SamplesFit(head))
      throw InvalidRecordFile(path + ": the miniSEED record at byte " + std::to_string(here) +
                              (head.encoding == DE_INT16 || head.encoding == DE_INT32 || head.encoding == DE_FLOAT32 ||
                                       head.encoding == DE_FLOAT64 || head.encoding == DE_STEIM1 ||
                                       head.encoding == DE_STEIM2
                                   ? " counts more samples than it holds."
                                   : " is in an encoding that cannot be read (" + std::to_string(head.encoding) + ")."));
    rc = msr_parse(bytes.data() + here, left, &msr.Get(), 0, 1, 0);
    if (rc != MS_NOERROR || msr.Get() == nullptr)
      throw InvalidRecordFile(path + ": the miniSEED record at byte " + std::to_string(here) + " is damaged (" +
                              ms_errorstr(rc) + ").");
    const MSRecord& r = *msr.Get();
    if (r.numsamples != r.samplecnt)
      throw InvalidRecordFile(path + ": the miniSEED record at byte " + std::to_string(here) +
                              " decodes to fewer samples than its header gives.");
    SeisChannel c;
    c.net = Trim(r.network);
    c.sta = Trim(r.station);
    c.loc = Trim(r.location);
    c.cha = Trim(r.channel);
    SeisSegment s;
    s.startUs = r.starttime;
    s.rate = r.samprate;
    s.values = SamplesOf(r);
    if (s.values.empty())
      throw InvalidRecordFile(path + ": the miniSEED record at byte " + std::to_string(here) +
                              " holds samples of an unknown type.");
    c.segments.push_back(std::move(s));
    out.push_back(std::move(c));
  }
  if (out.empty()) throw InvalidRecordFile(path + " holds no miniSEED waveform samples.");
  return out;
}

}  // namespace

bool LooksLikeMseed(const std::string& head) {
  if (head.size() < 48) return false;
  const char* h = head.data();
  return MS_ISVALIDHEADER(h);
}

ReadOutcome ReadMseed(const std::string& path, StrongRecord& rec, ReadQuestions& ask) {
  return TrapReadErrors(path, "ReadMseed", [&] {
    SeisSet set;
    set.path = path;
    set.channels = ReadMseedFile(path);
    for (const std::string& sibling : SiblingFiles(path, set.channels.front().cha)) {
      ask.Yield();
      std::vector<SeisChannel> more = ReadMseedFile(sibling);
      set.channels.insert(set.channels.end(), more.begin(), more.end());
    }
    return AssembleSeismicRecord(set, rec, ask) ? ReadStatus::Read : ReadStatus::Declined;
  });
}

}  // namespace sism
