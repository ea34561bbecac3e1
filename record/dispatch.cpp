#include "record/dispatch.h"

#include <fstream>
#include <vector>

#include "common/errors.h"
#include "common/files.h"
#include "common/path.h"
#include "common/text.h"
#include "record/readers.h"
#include "record/refusal.h"
#include "record/seismic_set.h"

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

std::string SecondLine(const std::string& bytes) {
  TextFile lines = TextFile::FromText(bytes);
  std::string line;
  lines.TryReadLine(line);
  return lines.TryReadLine(line) ? line : std::string();
}

bool IsOneOf(const std::string& s, std::initializer_list<const char*> list) {
  for (const char* x : list)
    if (s == x) return true;
  return false;
}

// Formats whose first lines only they write, whatever the file's name; these go before
// the extension rules, so a renamed file still opens.
int32_t SignatureRule(const std::string& bytes) {
  if (LooksLikeMseed(bytes)) return FormatMseed;
  if (LooksLikeSac(bytes)) return FormatSac;
  std::string first = FirstLine(bytes);
  if (StartsWith(first, "* VOL1DS")) return FormatBhrc;
  if (StartsWith(first, "STRONG GROUND MOTION RECORDS OF TURKIYE")) return FormatAfad;
  if (UCase(first).find("ACCELEROGRAM") != std::string::npos && bytes.find("STATION USC#") != std::string::npos)
    return FormatUsc;
  if (StartsWith(first, "EVENT_NAME:")) return FormatEsm;
  // GeoNet: the kind of accelerogram, then "Site <code>"; others' volumes start alike.
  std::string up = UCase(first);
  if ((StartsWith(up, "UNCORRECTED ACCELEROGRAM") || StartsWith(up, "CORRECTED ACCELEROGRAM")) &&
      StartsWith(UCase(SecondLine(bytes)), "SITE "))
    return FormatGeoNet;
  if (StartsWith(first, "#") && bytes.find("#StationCode:") != std::string::npos) return FormatCwb;
  // UNAM files open with their institution's banner; the title follows it.
  if (UCase(bytes).find("ARCHIVO ESTANDAR DE ACELERACION") != std::string::npos) return FormatUnam;
  return FormatNone;
}

int32_t ContentRule(const std::string& head) {
  if (head == "01/6") return FormatJma95b;
  if (head == "TRH(") return FormatTrh;
  if (head == " SIT") return FormatJmaAc;
  if (head == "STRO") return FormatTur;
  return FormatOther;
}

int32_t ExtensionRule(const std::string& ext, const std::string& head, const std::string& firstLine) {
  if (ext == ".AC") return IsNumeric(head) ? FormatAc : FormatNone;
  if (ext == ".ACS") return FormatAcs;
  if (IsOneOf(ext, {".1", ".2", ".3", ".NS", ".EW", ".UD", ".NS1", ".EW1", ".UD1", ".NS2", ".EW2", ".UD2"}))
    return head == "Orig" ? FormatKnet : FormatNone;
  if (IsOneOf(ext, {".ANS", ".AEW", ".AUD"})) return FormatJma95a;
  if (ext == ".SMC") {
    char c = head.empty() ? '\0' : head[0];
    return (c == '0' || c == '1' || c == '2') ? FormatSmc : FormatMd;
  }
  if (ext == ".MD") return FormatMd;
  if (ext == ".AT2") return FormatPeer;
  // ESM files whose first key is another; a plain column file called .asc stays general text.
  if (ext == ".ASC") return firstLine.find(':') != std::string::npos ? FormatEsm : FormatNone;
  if (ext == ".V1A" || ext == ".V2A") return FormatGeoNet;
  if (ext == ".EVT") return FormatAltus;
  if (ext == ".CSV") return FormatCsv;
  if (ext == ".ORG") return FormatPariOrg;
  if (ext == ".V1C" || ext == ".V2C") return FormatCosmos;
  if (ext == ".V1" || ext == ".V2") {
    // COSMOS volumes often carry these extensions; their first line names the format version.
    if (firstLine.find("(Format v") != std::string::npos) return FormatCosmos;
    std::string h = UCase(head);
    if (h == "0 UN" || h == "1 UN" || h == "2 CO") return FormatSmc;
    if (h == "UNCO" || h == "CORR") return FormatRaw;
    return FormatNone;
  }
  if (ext == ".RAW") return FormatRaw;
  return FormatNone;
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
  if (rec.DataCapacity() == rec.DataCount) return;
  std::vector<float> keep(static_cast<std::size_t>(rec.DataCount) * static_cast<std::size_t>(rec.ChanCount));
  for (int32_t ch = 1; ch <= rec.ChanCount; ++ch) {
    const float* x = rec.Channel(ch);
    std::copy(x, x + rec.DataCount, keep.begin() + static_cast<std::ptrdiff_t>(ch - 1) * rec.DataCount);
  }
  rec.RedimAcc(rec.DataCount, rec.ChanCount);
  for (int32_t ch = 1; ch <= rec.ChanCount; ++ch) {
    auto from = keep.begin() + static_cast<std::ptrdiff_t>(ch - 1) * rec.DataCount;
    std::copy(from, from + rec.DataCount, rec.Channel(ch));
  }
}

}  // namespace

int32_t DetectFormat(const std::string& path) {
  std::string bytes;
  if (!ReadHead(path, bytes)) return FormatNone;
  // JMA's CSV is known by its first line whatever the file is called (often .csv).
  if (StartsWith(bytes, "SITE CODE=")) return FormatJmaCsv;
  std::string ext = UCase(SplitPath(path).ext);
  // A file shorter than four characters keeps what it has, so that its reader can say what is wrong.
  std::string head = bytes.substr(0, 4);
  int32_t code = SignatureRule(bytes);
  if (code != FormatNone) return code;
  code = ExtensionRule(ext, head, FirstLine(bytes));
  return code != FormatNone ? code : ContentRule(head);
}

const ReaderTable& DefaultReaders() {
  static const ReaderTable table = [] {
    ReaderTable t{};
    t[FormatAc] = ReadAc;
    t[FormatAcs] = ReadAcs;
    t[FormatKnet] = ReadKNET;
    t[FormatTrh] = ReadTRH;
    t[FormatJma95a] = ReadJMA95a;
    t[FormatJma95b] = ReadJMA95b;
    t[FormatPeer] = ReadPeer;
    t[FormatMd] = ReadMD;
    t[FormatAltus] = ReadAltus;
    t[FormatPariOrg] = ReadPARIOrg;
    t[FormatCsv] = ReadCsv;
    t[FormatTur] = ReadTur;
    t[FormatJmaAc] = ReadJmaAc;
    t[FormatJmaCsv] = ReadJmaCsv;
    t[FormatSmc] = ReadSmc;
    t[FormatRaw] = ReadRaw;
    t[FormatCosmos] = ReadCosmos;
    t[FormatBhrc] = ReadBhrc;
    t[FormatAfad] = ReadAfad;
    t[FormatUsc] = ReadUsc;
    t[FormatEsm] = ReadEsm;
    t[FormatGeoNet] = ReadGeoNet;
    t[FormatCwb] = ReadCwb;
    t[FormatUnam] = ReadUnam;
    t[FormatMseed] = ReadMseed;
    t[FormatSac] = ReadSac;
    t[FormatOther] = ReadOther;
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
  rec.FileFormat = FormatNone;
  rec.FilePath.clear();

  const std::string refusal = RefusalText(path);
  if (!refusal.empty()) return ReadOutcome::Refusal(refusal, ReaderTitle("ReadRecordFile"));
  rec.FileFormat = DetectFormat(path);
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
      if (rec.ChanCount >= 3 && group == 0) group = 1;
      rec.FilePath = workingPath;
      rec.FileSize = FileLength(path);
      rec.JmaGroup = group;
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
