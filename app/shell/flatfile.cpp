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
#include "common/utf8.h"
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
      if (RecognisedRecord(f)) {
        candidates.push_back(f);
      } else {
        ++list.skipped;
        list.others.push_back(f);
      }
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
  std::string line = FlatfileHeaderLine(request);
  line.pop_back();
  return line;
}

namespace {

// The request whose columns the metrics were computed for.
MetricsRequest RequestOf(const RecordMetrics& m) {
  MetricsRequest r;
  r.periods = m.periods;
  r.ductilities = m.ductilities;
  r.durationLevel = m.durationLevel;
  r.dampingPercent = m.dampingPercent;
  return r;
}

// The metrics of the record set in `app`, filled into `in` with its components.
RecordMetrics RecordSetMetrics(AppState& app, const MetricsRequest& request, UserInterface& ui, FlatRowInput& in) {
  const ComponentSet set = FlatfileComponents(app.record);
  std::vector<int32_t> chans;
  for (int32_t ch : {set.h1, set.h2, set.v})
    if (ch > 0) chans.push_back(ch);
  std::vector<std::pair<int32_t, int32_t>> pairs;
  if (set.h1 > 0 && set.h2 > 0) pairs.emplace_back(set.h1, set.h2);
  RecordMetrics m = ComputeMetrics(app, chans, pairs, request, ui);
  in.app = &app;
  in.set = set;
  in.error = m.motionError;
  return m;
}

std::string FormatRow(const FlatRowInput& in, const FlatfileSettings& settings) {
  FlatRow row(in);
  BuildFlatfileRow(row, settings.request, settings.more);
  return settings.format == FlatFormat::Jsonl ? row.Json() : row.Csv();
}

}  // namespace

std::string FlatfileRow(const AppState& app, const std::string& file, const RecordMetrics& m, const ComponentSet& set) {
  FlatRowInput in;
  in.file = file;
  in.app = &app;
  in.metrics = &m;
  in.set = set;
  in.error = m.motionError;
  FlatRow row(in);
  BuildFlatfileRow(row, RequestOf(m));
  return row.Csv();
}

std::string FlatfileErrorRow(const std::string& file, const std::string& error, const MetricsRequest& request) {
  FlatRowInput in;
  in.file = file;
  in.error = error;
  in.errorCode = ReadErrorCode(file, error);
  FlatRow row(in);
  BuildFlatfileRow(row, request);
  return row.Csv();
}

std::string FlatfileRecordRow(AppState& app, const std::string& file, const MetricsRequest& request,
                              UserInterface& ui) {
  FlatRowInput in;
  in.file = file;
  const RecordMetrics m = RecordSetMetrics(app, request, ui, in);
  in.metrics = &m;
  FlatRow row(in);
  BuildFlatfileRow(row, request);
  return row.Csv();
}

bool FlatfileLine(const AppState& base, const std::string& file, const FlatfileSettings& settings, std::string& row,
                  std::ostream& log) {
  ConsoleUi ui(log);
  ui.station = settings.station;
  ui.responseFile = settings.responseFile;
  ui.differentiate = settings.differentiate;
  if (!settings.messagePrefix.empty())
    ui.messagePrefix = settings.messagePrefix + ReplaceInvalidUtf8(file) + ": ";
  ui.onReadData = settings.onReadData
                      ? settings.onReadData
                      : [](DataFileKind, const std::string&, const std::string&, DataFileParams&) { return true; };
  FlatRowInput in;
  in.file = file;
  try {
    AppState app = base;
    if (ReadAccFile(app, file, ui) <= 0) {
      in.error = ui.lastMessage.empty() ? "not read" : ui.lastMessage;
      in.errorCode = ReadErrorCode(file, ui.lastMessage);
      // A file refused without a message box still says why, once.
      if (ui.lastMessage.empty() && !settings.messagePrefix.empty())
        log << ui.messagePrefix << in.error << " (" << in.errorCode << ")\n";
      row = FormatRow(in, settings);
      return false;
    }
    ProcessingResult processed;
    if (settings.transform) {
      std::string reason;
      in.processing = &processed;
      if (!settings.transform(app, file, log, processed, reason)) {
        // Rejected by the chain: the record's own columns, no measures.
        in.app = &app;
        in.set = FlatfileComponents(app.record);
        in.error = reason;
        in.errorCode = "rejected";
        row = FormatRow(in, settings);
        return true;
      }
    }
    const RecordMetrics m = RecordSetMetrics(app, settings.request, ui, in);
    in.metrics = &m;
    row = FormatRow(in, settings);
    return true;
  } catch (const std::exception& e) {
    in = FlatRowInput{};
    in.file = file;
    in.error = e.what();
    in.errorCode = "failed";
    if (!settings.messagePrefix.empty()) log << ui.messagePrefix << in.error << "\n";
    row = FormatRow(in, settings);
    return false;
  }
}

int32_t WriteFlatfile(const AppState& base, const std::vector<std::string>& files, const FlatfileSettings& settings,
                      int32_t threads, bool header, std::ostream& out, std::ostream& log) {
  if (header && settings.format == FlatFormat::Csv)
    out << FlatfileHeaderLine(settings.request, settings.more);
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
    if (!r.messages.empty() && settings.beforeMessages) settings.beforeMessages();
    log << r.messages;
    out << r.row << "\n";
    out.flush();
    if (!r.ok) ++failed;
    if (settings.onRow) settings.onRow(static_cast<int32_t>(i + 1), failed);
  }
  for (std::thread& t : pool) t.join();
  return failed;
}

}  // namespace sism
