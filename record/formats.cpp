#include "record/formats.h"

#include <initializer_list>

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

std::vector<RecordFormatRow> MakeRows() {
  std::vector<RecordFormatRow> rows;
  auto add = [&](RecordFormatRow r) { rows.push_back(std::move(r)); };
  // Formats known by their first lines first: a renamed file still opens.
  add({FormatJmaCsv, "JMA CSV", {".csv"}, ReadJmaCsv, "", "application/x-accelerogram-jma-csv",
       JmaCsvSignature, JmaCsvSignature, nullptr});
  add({FormatMseed, "miniSEED", {".mseed", ".miniseed", ".ms"}, ReadMseed,
       "the station's other components (channel code ending N E Z or 1 2 3) in the same folder",
       "application/vnd.fdsn.mseed", MseedSignature, MseedSignature, nullptr});
  add({FormatSac, "SAC", {".sac"}, ReadSac, "the station's other components, as for miniSEED", "application/x-sac",
       SacSignature, SacSignature, nullptr});
  add({FormatBhrc, "BHRC", {}, ReadBhrc, "", "application/x-accelerogram-bhrc",
       [](const FileSniff& f) { return StartsWith(f.firstLine, "* VOL1DS"); }, nullptr, nullptr});
  add({FormatAfad, "AFAD", {}, ReadAfad, "", "application/x-accelerogram-afad",
       [](const FileSniff& f) { return StartsWith(f.firstLine, "STRONG GROUND MOTION RECORDS OF TURKIYE"); }, nullptr,
       nullptr});
  add({FormatUsc, "USC", {}, ReadUsc,
       "volume 1: the other components, by the extension's last letter (.s0a .s0b .s0c)",
       "application/x-accelerogram-usc",
       [](const FileSniff& f) {
         return UCase(f.firstLine).find("ACCELEROGRAM") != std::string::npos &&
                f.bytes.find("STATION USC#") != std::string::npos;
       },
       nullptr, nullptr});
  add({FormatEsm, "ESM", {".asc"}, ReadEsm, "the other two components (HNE HNN HNZ) in the same folder",
       "application/x-accelerogram-esm", [](const FileSniff& f) { return StartsWith(f.firstLine, "EVENT_NAME:"); },
       // ESM files whose first key is another; a plain column file called .asc stays general text.
       [](const FileSniff& f) { return f.firstLine.find(':') != std::string::npos; }, nullptr});
  add({FormatGeoNet, "GeoNet", {".v1a", ".v2a"}, ReadGeoNet, "", "application/x-accelerogram-geonet",
       // The kind of accelerogram, then "Site <code>"; others' volumes start alike.
       [](const FileSniff& f) {
         const std::string up = UCase(f.firstLine);
         return (StartsWith(up, "UNCORRECTED ACCELEROGRAM") || StartsWith(up, "CORRECTED ACCELEROGRAM")) &&
                StartsWith(UCase(SecondLine(f.bytes)), "SITE ");
       },
       nullptr, nullptr});
  add({FormatCwb, "CWB", {}, ReadCwb, "", "application/x-accelerogram-cwb",
       [](const FileSniff& f) {
         return StartsWith(f.firstLine, "#") && f.bytes.find("#StationCode:") != std::string::npos;
       },
       nullptr, nullptr});
  // UNAM files open with their institution's banner; the title follows it.
  add({FormatUnam, "UNAM", {}, ReadUnam, "", "application/x-accelerogram-unam",
       [](const FileSniff& f) { return UCase(f.bytes).find("ARCHIVO ESTANDAR DE ACELERACION") != std::string::npos; },
       nullptr, nullptr});
  // Formats known by their names, confirmed by their first characters where others share the name.
  add({FormatAc, "AC", {".ac"}, ReadAc, "", "application/x-accelerogram-ac", nullptr,
       [](const FileSniff& f) { return IsNumeric(f.head); }, nullptr});
  add({FormatAcs, "ACS", {".acs"}, ReadAcs, "", "application/x-accelerogram-ac", nullptr, nullptr, nullptr});
  add({FormatKnet, "K-NET/KiK-net",
       {".1", ".2", ".3", ".ns", ".ew", ".ud", ".ns1", ".ew1", ".ud1", ".ns2", ".ew2", ".ud2"}, ReadKNET,
       "the other components (.NS .EW .UD, the same digit for KiK-net) beside it", "application/x-accelerogram-knet",
       nullptr, [](const FileSniff& f) { return f.head == "Orig"; }, nullptr});
  add({FormatJma95a, "JMA95", {".ans", ".aew", ".aud"}, ReadJMA95a, "the other components (.ANS .AEW .AUD) beside it",
       "application/x-accelerogram-jma", nullptr, nullptr, nullptr});
  add({FormatCosmos, "COSMOS", {".v1c", ".v2c", ".v1", ".v2"}, ReadCosmos, "", "application/x-accelerogram-cosmos",
       nullptr, CosmosByName, nullptr});
  add({FormatSmc, "USGS SMC", {".smc", ".v1", ".v2"}, ReadSmc, "", "application/x-accelerogram-smc", nullptr,
       SmcByName, nullptr});
  add({FormatMd, "SMAC-MD", {".md", ".smc"}, ReadMD, "", "", nullptr, nullptr, nullptr});
  add({FormatPeer, "PEER AT2", {".at2"}, ReadPeer, "", "application/x-accelerogram-peer", nullptr, nullptr, nullptr});
  add({FormatAltus, "Altus EVT", {".evt"}, ReadAltus, "", "application/x-accelerogram-evt", nullptr, nullptr,
       nullptr});
  add({FormatCsv, "CSV", {".csv"}, ReadCsv, "", "", nullptr, nullptr, nullptr});
  add({FormatPariOrg, "PARI", {".org"}, ReadPARIOrg, "", "", nullptr, nullptr, nullptr});
  add({FormatRaw, "CSMIP", {".raw", ".v1", ".v2"}, ReadRaw, "", "application/x-accelerogram-csmip", nullptr,
       RawByName, nullptr});
  // Formats known by their first characters alone, when the name said nothing.
  add({FormatJma95b, "JMA one-minute", {}, ReadJMA95b, "the following one-minute files beside it",
       "application/x-accelerogram-jma", nullptr, nullptr, [](const FileSniff& f) { return f.head == "01/6"; }});
  add({FormatTrh, "JMA TRH", {}, ReadTRH, "", "application/x-accelerogram-jma-trh", nullptr, nullptr,
       [](const FileSniff& f) { return f.head == "TRH("; }});
  add({FormatJmaAc, "JMA keyword text", {}, ReadJmaAc, "", "application/x-accelerogram-jma", nullptr, nullptr,
       [](const FileSniff& f) { return f.head == " SIT"; }});
  add({FormatTur, "TUR", {}, ReadTur, "", "", nullptr, nullptr, [](const FileSniff& f) { return f.head == "STRO"; }});
  // Anything else is offered to the general reader, which asks how to read it.
  add({FormatOther, "general data", {".txt", ".dat"}, ReadOther, "", "", nullptr, nullptr, nullptr});
  return rows;
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
    if (r.code != FormatOther && HasExtension(r, f.ext) && (r.byName == nullptr || r.byName(f))) return r.code;
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
