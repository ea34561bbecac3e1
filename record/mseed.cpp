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

class ParsedRecord {
 public:
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
    const int rc = msr_parse(bytes.data() + at, left, &msr.Get(), 0, 1, 0);
    if (rc > 0 || (rc == MS_NOTSEED && !out.empty() && AllPadding(bytes, at))) {
      if (rc > 0) throw InvalidRecordFile(path + " ends inside a miniSEED record: the file is cut short.");
      break;
    }
    if (rc != MS_NOERROR || msr.Get() == nullptr || msr.Get()->reclen <= 0)
      throw InvalidRecordFile(path + (at == 0 ? " is not a miniSEED file (" : ": the miniSEED record at byte " +
                                                                                  std::to_string(at) + " is damaged (") +
                              ms_errorstr(rc) + ").");
    const MSRecord& r = *msr.Get();
    at += static_cast<std::size_t>(r.reclen);
    // Log and other text records, and records of no samples, hold no waveform.
    if (r.numsamples <= 0 || r.sampletype == 'a') continue;
    if (r.numsamples != r.samplecnt)
      throw InvalidRecordFile(path + ": the miniSEED record at byte " + std::to_string(at - r.reclen) +
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
      throw InvalidRecordFile(path + ": the miniSEED record at byte " + std::to_string(at - r.reclen) +
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

bool ReadMseed(const std::string& path, StrongRecord& rec, UserInterface& ui) {
  return TrapReadErrors(ui, path, "ReadMseed", [&] {
    SeisSet set;
    set.path = path;
    set.channels = ReadMseedFile(path);
    for (const std::string& sibling : SiblingFiles(path, set.channels.front().cha)) {
      ui.Yield();
      std::vector<SeisChannel> more = ReadMseedFile(sibling);
      set.channels.insert(set.channels.end(), more.begin(), more.end());
    }
    return AssembleSeismicRecord(set, rec, ui);
  });
}

}  // namespace sism
