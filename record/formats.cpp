#include "record/formats.h"

#include <deque>
#include <initializer_list>
#include <iterator>

#include "common/files.h"
#include "common/text.h"
#include "record/readers.h"
#include "record/seismic_set.h"

namespace sism {

namespace {

bool HeadIsOneOf(const FileSniff& f, std::initializer_list<const char*> heads) {
  for (const char* h : heads)
    if (UCase(f.head) == h) return true;
  return false;
}

std::string SecondLine(const std::string& bytes) {
  TextFile lines = TextFile::FromText(bytes);
  std::string line;
  lines.TryReadLine(line);
  return lines.TryReadLine(line) ? line : std::string();
}

bool HasExtension(const RecordFormatRow& row, const std::string& ext) {
  for (const char* e : row.extensions)
    if (UCase(e) == ext) return true;
  return false;
}

}  // namespace

bool NoSniff(const FileSniff&) {
  return false;
}

// Names other files share too: the content decides.
bool JmaCsvSignature(const FileSniff& f) {
  return StartsWith(f.bytes, "SITE CODE=");
}
bool MseedSignature(const FileSniff& f) {
  return LooksLikeMseed(f.bytes);
}
bool SacSignature(const FileSniff& f) {
  return LooksLikeSac(f.bytes);
}
bool BhrcSignature(const FileSniff& f) {
  return StartsWith(f.firstLine, "* VOL1DS");
}
bool AfadSignature(const FileSniff& f) {
  return StartsWith(f.firstLine, "STRONG GROUND MOTION RECORDS OF TURKIYE");
}
bool UscSignature(const FileSniff& f) {
  return UCase(f.firstLine).find("ACCELEROGRAM") != std::string::npos &&
         f.bytes.find("STATION USC#") != std::string::npos;
}
bool EsmSignature(const FileSniff& f) {
  return StartsWith(f.firstLine, "EVENT_NAME:");
}
// ESM files whose first key is another; a plain column file called .asc stays general text.
bool EsmByName(const FileSniff& f) {
  return f.firstLine.find(':') != std::string::npos;
}
// The kind of accelerogram, then "Site <code>"; others' volumes start alike.
bool GeoNetSignature(const FileSniff& f) {
  const std::string up = UCase(f.firstLine);
  return (StartsWith(up, "UNCORRECTED ACCELEROGRAM") || StartsWith(up, "CORRECTED ACCELEROGRAM")) &&
         StartsWith(UCase(SecondLine(f.bytes)), "SITE ");
}
bool CwbSignature(const FileSniff& f) {
  return StartsWith(f.firstLine, "#") && f.bytes.find("#StationCode:") != std::string::npos;
}
// UNAM files open with their institution's banner; the title follows it.
bool UnamSignature(const FileSniff& f) {
  return UCase(f.bytes).find("ARCHIVO ESTANDAR DE ACELERACION") != std::string::npos;
}
bool AcByName(const FileSniff& f) {
  return IsNumeric(f.head);
}
bool KnetByName(const FileSniff& f) {
  return f.head == "Orig";
}
// A .V1 or .V2 volume: COSMOS names its format version on the first line; SMC and CSMIP
// volumes are known by their first word.
bool CosmosByName(const FileSniff& f) {
  if (f.ext == ".V1C" || f.ext == ".V2C") return true;
  return f.firstLine.find("(Format v") != std::string::npos;
}
bool SmcByName(const FileSniff& f) {
  if (f.ext == ".SMC") {
    const char c = f.head.empty() ? '\0' : f.head[0];
    return c == '0' || c == '1' || c == '2';
  }
  return HeadIsOneOf(f, {"0 UN", "1 UN", "2 CO"});
}
bool RawByName(const FileSniff& f) {
  return f.ext == ".RAW" || HeadIsOneOf(f, {"UNCO", "CORR"});
}
bool Jma95bContent(const FileSniff& f) {
  return f.head == "01/6";
}
bool TrhContent(const FileSniff& f) {
  return f.head == "TRH(";
}
bool JmaAcContent(const FileSniff& f) {
  return f.head == " SIT";
}
bool TurContent(const FileSniff& f) {
  return f.head == "STRO";
}

namespace {

// Stored codes must stay unique: a file or a setting names its format by its code.
constexpr bool CodesAreUnique() {
  for (std::size_t i = 0; i < std::size(format_codes::kAll); ++i)
    for (std::size_t j = i + 1; j < std::size(format_codes::kAll); ++j)
      if (format_codes::kAll[i] == format_codes::kAll[j]) return false;
  return true;
}
static_assert(CodesAreUnique(), "two rows of the table of formats have the same code");

SniffTest Test(SniffTest t) {
  return t == &NoSniff ? nullptr : t;
}

// The table's extensions, split at spaces; the texts live as long as the rows.
std::vector<const char*> Extensions(const char* list) {
  static std::deque<std::string> texts;
  std::vector<const char*> out;
  std::string word;
  for (const char* c = list;; ++c) {
    if (*c == ' ' || *c == '\0') {
      if (!word.empty()) out.push_back(texts.emplace_back(word).c_str());
      word.clear();
      if (*c == '\0') break;
    } else {
      word += *c;
    }
  }
  return out;
}

std::vector<RecordFormatRow> MakeRows() {
#define SISM_FORMAT_ROW(Id, code, reader, name, extensions, group, siblings, fileType, signature, byName, \
                        content)                                                                          \
  {code,     name,     Extensions(extensions), group,        reader,                                      \
   siblings, fileType, Test(signature),        Test(byName), Test(content)},
  return {SISM_RECORD_FORMATS(SISM_FORMAT_ROW)};
#undef SISM_FORMAT_ROW
}

}  // namespace

const std::vector<RecordFormatRow>& RecordFormats() {
  static const std::vector<RecordFormatRow> rows = MakeRows();
  return rows;
}

const RecordFormatRow* FindRecordFormat(int32_t code) {
  for (const RecordFormatRow& r : RecordFormats())
    if (r.code == code) return &r;
  return nullptr;
}

int32_t DetectFromSniff(const FileSniff& f) {
  const auto& rows = RecordFormats();
  for (const RecordFormatRow& r : rows)
    if (r.signature != nullptr && r.signature(f)) return r.code;
  for (const RecordFormatRow& r : rows)
    if (r.code != FormatOther && HasExtension(r, f.ext) && (r.byName == nullptr || r.byName(f)))
      return r.code;
  for (const RecordFormatRow& r : rows)
    if (r.content != nullptr && r.content(f)) return r.code;
  return FormatOther;
}

int64_t FileSizeLimit(int32_t code) {
  switch (code) {
    case FormatOther:
    case FormatCsv:
      return 0;
    // Seismometer data may run for a day in one file.
    case FormatMseed:
    case FormatSac:
      return kWholeReadLimit;
    default:
      // A day of 200 Hz samples on three channels, written as text, is smaller.
      return int64_t{64} << 20;
  }
}

std::string RecordFormatList() {
  std::string s = "Formats read (found from the first bytes, then the extension):\n";
  for (const RecordFormatRow& r : RecordFormats()) {
    std::string names;
    for (const char* e : r.extensions) names += (names.empty() ? "" : " ") + std::string(e);
    s += "  " + std::string(r.name) + " (" + (names.empty() ? "known by its content" : names) + ")\n";
  }
  return s +
         "  Response-spectrum (.V3, .V3c) and raw-count (.V0c) volumes, StationXML files, images and\n"
         "  other binary files are refused with a message.\n";
}

}  // namespace sism
