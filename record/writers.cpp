#include "record/writers.h"

#include <cctype>
#include <chrono>
#include <cmath>
#include <memory>
#include <set>

#include "common/errors.h"
#include "common/files.h"
#include "common/path.h"
#include "common/strings.h"
#include "common/text.h"
#include "record/ac.h"

namespace sism {

const std::vector<WriterRow>& RecordWriters() {
  static const std::vector<WriterRow> rows = {
      {WriterId::Ac, "ac", "ac file", {".ac"}, false, "WriteAc"},
      {WriterId::CosmosV1, "cosmos-v1", "COSMOS V1 (uncorrected)", {".v1", ".v1c"}, true, "WriteCosmos"},
      {WriterId::CosmosV2, "cosmos-v2", "COSMOS V2 (corrected)", {".v2", ".v2c"}, true, "WriteCosmos"},
      {WriterId::Sac, "sac", "SAC binary", {".sac"}, true, "WriteSac"},
      {WriterId::Mseed, "mseed", "miniSEED", {".mseed", ".miniseed", ".ms"}, false, "WriteMseed"},
  };
  return rows;
}

const WriterRow* FindWriter(const std::string& name) {
  for (const WriterRow& w : RecordWriters())
    if (EqualsNoCase(w.name, name)) return &w;
  return nullptr;
}

const WriterRow* WriterOfPath(const std::string& path) {
  const std::string ext = LCase(SplitPath(path).ext);
  if (ext.empty()) return nullptr;
  for (const WriterRow& w : RecordWriters())
    for (const char* e : w.extensions)
      if (ext == e) return &w;
  return nullptr;
}

std::string WriterFilter(const WriterRow& w) {
  std::string patterns;
  for (const char* e : w.extensions) patterns += (patterns.empty() ? "*" : " *") + std::string(e);
  return std::string(w.description) + " (" + patterns + ")";
}

std::string WriterTitle(const WriterRow& w) {
  return w.id == WriterId::Ac ? AcWriteTitle() : std::string(w.procedure) + " - " + ProgramTitle();
}

std::string PathWithCode(const std::string& path, const std::string& code) {
  const PathParts p = SplitPath(path);
  return p.folder + p.name + "." + code + p.ext;
}

std::vector<std::string> WrittenFiles(const WriterRow& w, const std::string& path, const StrongRecord& rec) {
  if (w.id == WriterId::Mseed) {
    const PathParts p = SplitPath(path);
    return {path, p.folder + p.name + ".xml"};
  }
  if (!w.perChannel) return {path};
  std::vector<std::string> out;
  for (const std::string& code : ChannelFileCodes(w.id, rec)) out.push_back(PathWithCode(path, code));
  return out;
}

std::string WriteRecordAs(const WriterRow& w, const std::string& path, const StrongRecord& rec) {
  switch (w.id) {
    case WriterId::Ac:
      return WriteAcFile(path, rec, 0);
    case WriterId::CosmosV1:
      return WriteCosmosFiles(path, rec, 1);
    case WriterId::CosmosV2:
      return WriteCosmosFiles(path, rec, 2);
    case WriterId::Sac:
      return WriteSacFiles(path, rec);
    case WriterId::Mseed:
      return WriteMseedFile(path, rec);
  }
  return {};
}

std::string AcPrecisionWarning(const StrongRecord& rec) {
  std::string out;
  for (int32_t ch = 1; ch <= rec.ChanCount; ++ch) {
    const double peak = std::fabs(static_cast<double>(rec.Peak(ch)));
    if (!(peak > 0) || !std::isfinite(peak)) continue;
    // Digits the three decimals keep of the peak: those of the peak in thousandths.
    const double kept = std::round(peak * 1000);
    if (kept >= 100) continue;
    const int digits = kept >= 10 ? 2 : kept >= 1 ? 1 : 0;
    out += ChannelWord(rec, ch) + ": .ac keeps " + std::to_string(digits) +
           (digits == 1 ? " significant digit" : " significant digits") + " of the peak " +
           NumberText(rec.Peak(ch)) + " cm/s/s; use .v2 or .sac to keep every digit\n";
  }
  return out;
}

namespace {

bool IsCodeChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// The orientation a label names: "NS", "N-S", "N", "NS1" … north; "UD", "Z", "UP" … up.
char OrientationOf(const std::string& label) {
  const std::string u = UCase(Trim(label));
  if (u.empty()) return 0;
  for (const char* n : {"NS", "N-S", "N", "NORTH", "NS1", "NS2", "N00E", "360"})
    if (u == n) return 'N';
  for (const char* e : {"EW", "E-W", "E", "EAST", "EW1", "EW2", "N90E", "90"})
    if (u == e) return 'E';
  for (const char* z : {"UD", "U-D", "U", "UP", "Z", "V", "VERT", "VERTICAL", "UD1", "UD2"})
    if (u == z) return 'Z';
  // SEED codes: the last letter.
  if (u.size() == 3 && IsCodeChar(u[0]) && IsCodeChar(u[1])) {
    if (u[2] == 'N') return 'N';
    if (u[2] == 'E') return 'E';
    if (u[2] == 'Z') return 'Z';
  }
  return 0;
}

std::string BandFor(int32_t rate) {
  // Band letter by sampling rate as SEED assigns it; N: accelerometer.
  if (rate >= 250) return "CN";
  if (rate >= 80) return "HN";
  if (rate >= 10) return "BN";
  return "LN";
}

}  // namespace

std::vector<SeedChannel> SeedChannels(const StrongRecord& rec) {
  std::vector<SeedChannel> out;
  std::set<std::string> labels;
  bool codes = true;
  for (int32_t ch = 1; ch <= rec.ChanCount; ++ch) {
    const std::string u = UCase(Trim(rec.Label(ch)));
    bool ok = u.size() == 3 && labels.insert(u).second;
    for (char c : u) ok = ok && IsCodeChar(c);
    codes = codes && ok;
  }
  if (codes) {
    for (int32_t ch = 1; ch <= rec.ChanCount; ++ch)
      out.push_back({"", UCase(Trim(rec.Label(ch))), OrientationOf(rec.Label(ch))});
    return out;
  }
  const std::string band = BandFor(rec.SampFreq);
  std::vector<std::set<char>> used;
  for (int32_t ch = 1; ch <= rec.ChanCount; ++ch) {
    const char o = OrientationOf(rec.Label(ch));
    std::size_t sensor = 0;
    char letter = 0;
    for (;; ++sensor) {
      if (sensor == used.size()) used.emplace_back();
      if (o != 0) {
        if (used[sensor].count(o) == 0) letter = o;
      } else {
        for (char d : std::string("123"))
          if (used[sensor].count(d) == 0) {
            letter = d;
            break;
          }
      }
      if (letter != 0) break;
    }
    used[sensor].insert(letter);
    out.push_back({sensor == 0 ? "" : FormatNumber(static_cast<int32_t>(sensor), "00"), band + letter, o});
  }
  return out;
}

SeedStation SeedStationOf(const StrongRecord& rec) {
  const std::string code = Trim(rec.SiteCode);
  const std::size_t dot = code.find('.');
  if (dot != std::string::npos && code.find('.', dot + 1) == std::string::npos)
    return {code.substr(0, dot), code.substr(dot + 1)};
  return {"", code};
}

std::vector<std::string> ChannelFileCodes(WriterId id, const StrongRecord& rec) {
  std::vector<std::string> out;
  if (id == WriterId::Sac) {
    for (const SeedChannel& c : SeedChannels(rec)) out.push_back(c.loc.empty() ? c.cha : c.loc + "." + c.cha);
    return out;
  }
  // COSMOS: the label in letters, digits, '-' and '_', else the channel's number.
  std::set<std::string> taken;
  for (int32_t ch = 1; ch <= rec.ChanCount; ++ch) {
    std::string code;
    for (char c : Trim(rec.Label(ch)))
      if (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_') code += c;
    if (code.empty() || !taken.insert(UCase(code)).second) code = "CH" + FormatNumber(ch, "00");
    out.push_back(code);
  }
  return out;
}

int32_t StartTime::dayOfYear() const {
  using namespace std::chrono;
  const sys_days d{std::chrono::year{year} / std::chrono::month{static_cast<unsigned>(month)} /
                   std::chrono::day{static_cast<unsigned>(day)}};
  const sys_days first{std::chrono::year{year} / January / 1};
  return static_cast<int32_t>((d - first).count()) + 1;
}

bool RecordStart(const StrongRecord& rec, StartTime& t) {
  const std::string date = Trim(rec.RecDate), time = Trim(rec.RecTime);
  if (date.size() != 10 || date[4] != '/' || date[7] != '/') return false;
  if (!IsNumeric(date.substr(0, 4)) || !IsNumeric(date.substr(5, 2)) || !IsNumeric(date.substr(8, 2)))
    return false;
  t = {};
  t.year = ToLong(date.substr(0, 4));
  t.month = ToLong(date.substr(5, 2));
  t.day = ToLong(date.substr(8, 2));
  using namespace std::chrono;
  const year_month_day ymd{std::chrono::year{t.year}, std::chrono::month{static_cast<unsigned>(t.month)},
                           std::chrono::day{static_cast<unsigned>(t.day)}};
  if (t.year < 1 || !ymd.ok()) return false;
  const std::vector<std::string> parts = Split(time, ":");
  if (time.empty()) return true;
  if (parts.size() < 2 || parts.size() > 3) return false;
  for (const std::string& p : parts)
    if (!IsNumeric(p)) return false;
  t.hour = ToLong(parts[0]);
  t.minute = ToLong(parts[1]);
  t.second = parts.size() == 3 ? ToLong(parts[2]) : 0;
  return t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 && t.second >= 0 && t.second <= 60;
}

std::string WriteFilesAtomically(const std::vector<std::string>& files,
                                 const std::function<std::string(std::size_t)>& text) {
  std::string current;
  try {
    std::vector<std::unique_ptr<AtomicFileWriter>> outs;
    for (std::size_t i = 0; i < files.size(); ++i) {
      current = files[i];
      outs.push_back(std::make_unique<AtomicFileWriter>(current));
      outs.back()->Write(text(i));
    }
    for (std::size_t i = 0; i < outs.size(); ++i) {
      current = files[i];
      outs[i]->Commit();
    }
    return {};
  } catch (const std::exception& e) {
    const ErrorInfo info = CurrentErrorInfo(e);
    return "Failed to write " + current + " (Err#" + std::to_string(info.number) + ": " + info.description +
           ")";
  }
}

std::string RecordProblem(const StrongRecord& rec) {
  if (rec.ChanCount < 1 || rec.DataCount < 1) return "the record holds no samples";
  if (rec.SampFreq < 1)
    return "the sampling frequency " + std::to_string(rec.SampFreq) + " Hz gives no interval";
  return {};
}

bool CoordinateOf(const std::string& text, double limit, double& v) {
  if (!IsNumeric(text)) return false;
  v = Val(text);
  return std::fabs(v) <= limit;
}

std::string ChannelWord(const StrongRecord& rec, int32_t ch) {
  const std::string label = Trim(rec.Label(ch));
  return "channel " + std::to_string(ch) + (label.empty() ? "" : " (" + label + ")");
}

std::string SampleProblem(const StrongRecord& rec, int32_t ch, double limit, const std::string& what) {
  const float* x = rec.Channel(ch);
  for (int32_t i = 0; i < rec.DataCount; ++i)
    if (!std::isfinite(x[i]) || std::fabs(static_cast<double>(x[i])) > limit)
      return "the sample " + NumberText(x[i]) + " at step " + std::to_string(i + 1) + " of " +
             ChannelWord(rec, ch) + " " + what;
  return {};
}

}  // namespace sism
