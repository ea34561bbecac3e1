#include "record/dispatch.h"

#include <cmath>
#include <fstream>
#include <vector>

#include "common/errors.h"
#include "common/files.h"
#include "common/path.h"
#include "common/text.h"
#include "record/readers.h"
#include "record/refusal.h"
#include "record/seismic_set.h"
#include "sismcalc/binding/calc.h"

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

bool CallReader(const ReaderTable& readers, int32_t code, const std::string& path, StrongRecord& rec,
                UserInterface& ui) {
  if (code < 0 || code > FormatLast || readers[static_cast<std::size_t>(code)] == nullptr) return false;
  return readers[static_cast<std::size_t>(code)](path, rec, ui);
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

bool ReadRecordFile(const std::string& path, StrongRecord& rec, UserInterface& ui) {
  return ReadRecordFile(path, rec, ui, DefaultReaders());
}

bool ReadRecordFile(const std::string& path, StrongRecord& rec, UserInterface& ui,
                    const ReaderTable& readers) {
  PathParts parts = SplitPath(path);
  std::string ext = UCase(parts.ext);
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

  const std::string refusal = RefusalText(path);
  if (!refusal.empty()) {
    ui.MsgBox(refusal, MsgIcon::Critical, ReaderTitle("ReadRecordFile"));
    rec.FileFormat = FormatNone;
    rec.FilePath.clear();
    return false;
  }
  rec.FileFormat = DetectFormat(path);
  bool ok = false;
  switch (rec.FileFormat) {
    case FormatKnet:
      ok = CallReader(readers, FormatKnet, path, rec, ui);
      workingPath = parts.folder + parts.name;
      if (ok && rec.ChanCount == 3) group = 1;
      if (ok && rec.ChanCount == 6) group = 2;
      break;
    case FormatJma95a:
      ok = CallReader(readers, FormatJma95a, path, rec, ui);
      workingPath = parts.folder + parts.name;
      break;
    case FormatJmaCsv:
      // One JMA sensor: its intensity from channels 1-3.
      ok = CallReader(readers, FormatJmaCsv, path, rec, ui);
      if (ok) group = 1;
      break;
    case FormatTur:
    case FormatJmaAc:
      ok = CallReader(readers, rec.FileFormat, path, rec, ui);
      if (!ok) {
        ok = CallReader(readers, FormatOther, path, rec, ui);
        rec.FileFormat = ok ? FormatOther : FormatNone;
      }
      break;
    case FormatOther:
      ok = CallReader(readers, FormatOther, path, rec, ui);
      rec.FileFormat = ok ? FormatOther : FormatNone;
      break;
    case FormatNone:
      break;
    default:
      ok = CallReader(readers, rec.FileFormat, path, rec, ui);
      break;
  }
  if (ok) {
    ok = TrapReadErrors(ui, path, "ReadRecordFile", [&] {
      FitArraysToCounts(rec);
      if (rec.ChanCount >= 3 && group == 0) group = 1;
      if (group >= 1) {
        float dt = 1.0f / static_cast<float>(rec.SampFreq);
        int32_t n = rec.DataCount;
        // The whole record at once: windowed values come out low when the strong part
        // crosses a window boundary.
        rec.JmaIntensity = calc::SIJMA(&n, &dt, rec.Channel(3 * group - 2), rec.Channel(3 * group - 1),
                                       rec.Channel(3 * group));
        int32_t three = 3;
        rec.PeakAcc = std::fabs(calc::GETPEAK(&three, &rec.Peak(3 * group - 2)));
      } else {
        rec.JmaIntensity = 0;
        int32_t c = rec.ChanCount;
        rec.PeakAcc = std::fabs(calc::GETPEAK(&c, &rec.Peak(1)));
      }
      rec.FilePath = workingPath;
      rec.FileSize = FileLength(path);
      rec.JmaGroup = group;
      return true;
    });
  }
  if (!ok) {
    rec.FileFormat = FormatNone;
    rec.FilePath.clear();
    return false;
  }
  return true;
}

}  // namespace sism
