#include "app/shell/flatfile.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <condition_variable>
#include <exception>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <ostream>
#include <set>
#include <sstream>
#include <thread>

#include "app/shell/console_ui.h"
#include "common/path.h"
#include "common/text.h"
#include "load/pipeline.h"
#include "record/display_text.h"
#include "record/dispatch.h"
#include "record/format_names.h"

namespace sism {
namespace {

namespace fs = std::filesystem;

bool OneOf(const std::string& s, std::initializer_list<const char*> list) {
  return std::any_of(list.begin(), list.end(), [&](const char* x) { return s == x; });
}

// The stream code of a SEED-style name (NET.STA.LOC.HNE…, …HNE__2014…) with its component
// letter made '?'; empty when the name holds none.
std::string StreamPattern(const std::string& name) {
  std::vector<std::string> parts = Split(UCase(name), ".");
  for (std::string& p : parts) {
    if (p.size() >= 3 && std::isalpha(static_cast<unsigned char>(p[0])) &&
        std::isalpha(static_cast<unsigned char>(p[1])) && std::string("NEZ123").find(p[2]) != std::string::npos &&
        (p.size() == 3 || p[3] == '_')) {
      p[2] = '?';
      std::string joined;
      for (const std::string& q : parts) joined += (joined.empty() ? "" : ".") + q;
      return joined;
    }
  }
  return {};
}

std::string NormalPath(const std::string& path) {
  std::error_code ec;
  const fs::path abs = fs::absolute(path, ec);
  return (ec ? fs::path(path) : abs).lexically_normal().string();
}

// Whether the head of the file holds text only (no control bytes but tab and line ends).
bool LooksLikeText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  char buf[4096];
  in.read(buf, sizeof buf);
  const std::streamsize got = in.gcount();
  for (std::streamsize i = 0; i < got; ++i) {
    const auto b = static_cast<unsigned char>(buf[i]);
    if (b < 0x20 && b != '\t' && b != '\n' && b != '\r') return false;
  }
  return got > 0;
}

// Formats found by content or a name of their own; the general reader takes any text. SMAC-MD
// records are binary and known by their extension only, which notes in Markdown share.
bool RecognisedRecord(const std::string& path) {
  const int32_t format = DetectFormat(path);
  if (format == FormatMd) return !LooksLikeText(path);
  return format != FormatNone && format != FormatCsv && format != FormatOther;
}

std::string CsvField(std::string s) {
  for (char& c : s)
    if (c == '\r' || c == '\n') c = ' ';
  if (s.find_first_of(",\"") == std::string::npos) return s;
  return "\"" + ReplaceAll(s, "\"", "\"\"") + "\"";
}

std::string Num(float v) {
  return NumberText(v);
}

const char* const kComponents[] = {"H1", "H2", "V"};

}  // namespace

std::string RecordSetKey(const std::string& path) {
  const std::string normal = NormalPath(path);
  const PathParts parts = SplitPath(normal);
  const std::string ext = LCase(parts.ext);
  if (OneOf(ext, {".ns", ".ew", ".ud", ".ns1", ".ew1", ".ud1", ".ns2", ".ew2", ".ud2", ".1", ".2", ".3"}))
    return parts.folder + LCase(parts.name) + "|knet";
  if (OneOf(ext, {".ans", ".aew", ".aud"})) return parts.folder + LCase(parts.name) + "|jma95";
  if (OneOf(ext, {".asc", ".mseed", ".miniseed", ".ms", ".sac"})) {
    const std::string pattern = StreamPattern(FileNameOf(normal));
    if (!pattern.empty()) return parts.folder + pattern + "|stream";
  }
  return normal;
}

RecordList CollectRecords(const std::vector<std::string>& args) {
  RecordList list;
  std::vector<std::string> candidates;
  for (const std::string& arg : args) {
    std::error_code ec;
    if (!fs::is_directory(arg, ec)) {
      candidates.push_back(arg);  // a file that cannot be read still gets its row
      continue;
    }
    std::vector<std::string> found;
    fs::recursive_directory_iterator it(arg, fs::directory_options::skip_permission_denied, ec), end;
    if (ec) {
      list.problems.push_back(arg + ": " + ec.message());
      continue;
    }
    for (; it != end; it.increment(ec)) {
      if (ec) {
        list.problems.push_back(arg + ": " + ec.message());
        break;
      }
      std::error_code fileEc;
      if (it->is_regular_file(fileEc)) found.push_back(it->path().string());
    }
    std::sort(found.begin(), found.end());
    for (const std::string& f : found) {
      if (RecognisedRecord(f))
        candidates.push_back(f);
      else
        ++list.skipped;
    }
  }
  std::set<std::string> seen;
  for (const std::string& f : candidates)
    if (seen.insert(RecordSetKey(f)).second) list.files.push_back(f);
  return list;
}

std::vector<std::string> ShardOf(const std::vector<std::string>& files, int32_t k, int32_t n) {
  std::vector<std::string> part;
  if (n < 1 || k < 1 || k > n) return part;
  for (std::size_t i = static_cast<std::size_t>(k - 1); i < files.size(); i += static_cast<std::size_t>(n))
    part.push_back(files[i]);
  return part;
}

std::string FlatfileHeader(const MetricsRequest& request) {
  const std::vector<float>& periods = request.periods;
  std::string h =
      "file,format,station,station_name,latitude,longitude,date,time,rate_hz,duration_s,jma_intensity";
  for (const char* c : kComponents)
    for (const char* m : {"channel", "PGA", "PGV", "PGD", "Arias", "CAV", "D5-75", "D5-95"})
      h += std::string(",") + c + "_" + m;
  for (const char* c : kComponents)
    for (float t : periods) h += std::string(",") + c + "_Sa(" + NumberText(t) + ")";
  for (const char* c : {"RotD50", "RotD100"})
    for (float t : periods) h += std::string(",") + c + "_Sa(" + NumberText(t) + ")";
  // Added measures follow, so that the columns above keep their places.
  for (const char* c : kComponents)
    for (const MeasureField& f : ChannelMeasureFields())
      h += std::string(",") + c + "_" + MeasureKey(f, request.durationLevel);
  h += ",RotD50_PGA,RotD50_PGV,Sva_max,LPGM_class";
  for (float mu : request.ductilities)
    for (const char* c : kComponents)
      for (float t : periods) h += std::string(",") + c + "_Rmu" + NumberText(mu) + "(" + NumberText(t) + ")";
  return h + ",error";
}

std::string FlatfileRow(const AppState& app, const std::string& file, const RecordMetrics& m, const ComponentSet& set) {
  const StrongRecord& r = app.record;
  auto text = [&](const std::string& t) { return CsvField(DisplayText(r, t)); };
  std::string row = CsvField(file) + "," + CsvField(RecordFormatName(r.FileFormat)) + "," + text(r.SiteCode) + "," +
                    text(r.SiteName) + "," + text(r.SiteLat) + "," + text(r.SiteLong) + "," + text(r.RecDate) + "," +
                    text(r.RecTime) + "," + std::to_string(r.SampFreq) + "," +
                    Num(r.SampFreq > 0 ? static_cast<float>(static_cast<double>(r.DataCount) / r.SampFreq) : 0.0f) +
                    "," + (r.JmaGroup > 0 ? Num(r.JmaIntensity) : "");
  const int32_t chans[] = {set.h1, set.h2, set.v};
  for (int32_t ch : chans) {
    const ChannelMetrics* c = ch > 0 ? m.Channel(ch) : nullptr;
    if (!c) {
      row += std::string(8, ',');
      continue;
    }
    row += "," + CsvField(DisplayLabelOf(r, ch)) + "," + Num(c->pga) + "," + Num(c->pgv) + "," + Num(c->pgd) + "," +
           Num(c->arias) + "," + Num(c->cav) + "," + Num(c->d575) + "," + Num(c->d595);
  }
  for (int32_t ch : chans) {
    const ChannelMetrics* c = ch > 0 ? m.Channel(ch) : nullptr;
    for (std::size_t k = 0; k < m.periods.size(); ++k) row += "," + (c ? Num(c->psa[k]) : "");
  }
  const PairMetrics* p = set.h1 > 0 && set.h2 > 0 ? m.Pair(set.h1, set.h2) : nullptr;
  for (std::size_t k = 0; k < m.periods.size(); ++k) row += "," + (p ? Num(p->rotd50[k]) : "");
  for (std::size_t k = 0; k < m.periods.size(); ++k) row += "," + (p ? Num(p->rotd100[k]) : "");
  for (int32_t ch : chans) {
    const ChannelMetrics* c = ch > 0 ? m.Channel(ch) : nullptr;
    for (const MeasureField& f : ChannelMeasureFields()) row += "," + (c ? Num(c->more.*f.field) : "");
  }
  const bool velocity = m.motionError.empty();
  row += "," + (p ? Num(p->more.rotd50Pga) : "") + "," + (p && velocity ? Num(p->more.rotd50Pgv) : "") + "," +
         (p ? Num(p->more.svaMax) : "") + "," + (p ? std::to_string(p->more.lpgmClass) : "");
  for (std::size_t j = 0; j < m.ductilities.size(); ++j)
    for (int32_t ch : chans) {
      const ChannelMetrics* c = ch > 0 ? m.Channel(ch) : nullptr;
      const bool ok = c && c->ductility.valid && j < c->ductility.ductilities.size();
      for (std::size_t k = 0; k < m.periods.size(); ++k) row += "," + (ok ? Num(c->ductility.R(k, j)) : "");
    }
  return row + "," + CsvField(m.motionError);
}

std::string FlatfileErrorRow(const std::string& file, const std::string& error, const MetricsRequest& request) {
  // Every column but the first and the last is empty.
  const std::string header = FlatfileHeader(request);
  const auto columns = static_cast<std::size_t>(std::count(header.begin(), header.end(), ',')) + 1;
  return CsvField(file) + std::string(columns - 1, ',') + CsvField(error.empty() ? "not read" : error);
}

namespace {

// The columns `transform` would append, all empty.
std::string EmptyExtra(const FlatfileSettings& settings) {
  return std::string(static_cast<std::size_t>(std::count(settings.extraHeader.begin(), settings.extraHeader.end(), ',')),
                     ',');
}

}  // namespace

bool FlatfileLine(const AppState& base, const std::string& file, const FlatfileSettings& settings, std::string& row,
                  std::ostream& log) {
  ConsoleUi ui(log);
  ui.station = settings.station;
  ui.responseFile = settings.responseFile;
  ui.differentiate = settings.differentiate;
  ui.onReadData = settings.onReadData
                      ? settings.onReadData
                      : [](DataFileKind, const std::string&, const std::string&, DataFileParams&) { return true; };
  const MetricsRequest& request = settings.request;
  try {
    AppState app = base;
    if (ReadAccFile(app, file, ui) <= 0) {
      row = FlatfileErrorRow(file, ui.lastMessage, request) + EmptyExtra(settings);
      return false;
    }
    std::string extra, reason;
    if (settings.transform && !settings.transform(app, file, log, extra, reason)) {
      row = FlatfileErrorRow(file, reason, request) + extra;
      return true;
    }
    const ComponentSet set = FlatfileComponents(app.record);
    std::vector<int32_t> chans;
    for (int32_t ch : {set.h1, set.h2, set.v})
      if (ch > 0) chans.push_back(ch);
    std::vector<std::pair<int32_t, int32_t>> pairs;
    if (set.h1 > 0 && set.h2 > 0) pairs.emplace_back(set.h1, set.h2);
    const RecordMetrics m = ComputeMetrics(app, chans, pairs, settings.request, ui);
    row = FlatfileRow(app, file, m, set) + extra;
    return true;
  } catch (const std::exception& e) {
    row = FlatfileErrorRow(file, e.what(), request) + EmptyExtra(settings);
    return false;
  }
}

int32_t WriteFlatfile(const AppState& base, const std::vector<std::string>& files, const FlatfileSettings& settings,
                      int32_t threads, bool header, std::ostream& out, std::ostream& log) {
  if (header) out << FlatfileHeader(settings.request) << settings.extraHeader << "\n";
  struct Result {
    std::string row, messages;
    bool ok = false;
  };
  const std::size_t count = files.size();
  std::vector<std::optional<Result>> results(count);
  std::mutex mutex;
  std::condition_variable ready;
  std::atomic<std::size_t> next{0};
  auto work = [&] {
    for (std::size_t i = next++; i < count; i = next++) {
      Result r;
      std::ostringstream messages;
      r.ok = FlatfileLine(base, files[i], settings, r.row, messages);
      r.messages = messages.str();
      std::lock_guard lock(mutex);
      results[i] = std::move(r);
      ready.notify_all();
    }
  };
  const auto workers = static_cast<std::size_t>(std::clamp<int32_t>(threads, 1, 256));
  std::vector<std::thread> pool;
  for (std::size_t t = 0; t < std::min(workers, count); ++t) pool.emplace_back(work);
  // Rows go out in the files' order as soon as each and those before it are done.
  int32_t failed = 0;
  for (std::size_t i = 0; i < count; ++i) {
    Result r;
    {
      std::unique_lock lock(mutex);
      ready.wait(lock, [&] { return results[i].has_value(); });
      r = std::move(*results[i]);
      results[i].reset();
    }
    log << r.messages;
    out << r.row << "\n";
    out.flush();
    if (!r.ok) ++failed;
  }
  for (std::thread& t : pool) t.join();
  return failed;
}

}  // namespace sism
