#include "record/data_file_guess.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/errors.h"
#include "common/files.h"
#include "common/text.h"

namespace sism {

namespace {

bool FitsLong(double v) {
  return std::fabs(v) < 2147483647.0;
}

// Blanks, tabs and the end-of-file mark some editors leave.
bool IsBlankLine(const std::string& line) {
  return line.find_first_not_of(" \t\x1A") == std::string::npos;
}

// The sampling rate a first column of times gives: the lines from `first` on (at least
// three of numbers, up to the first other line) step by one constant interval whose
// inverse is a whole number of hertz; 0 when they do not.
int32_t TimeColumnRate(const std::vector<std::string>& lines, int32_t first) {
  std::vector<double> t;
  for (std::size_t i = static_cast<std::size_t>(std::max(first, 0)); i < lines.size(); ++i) {
    const std::vector<std::string> parts = Split(lines[i], ",");
    if (parts.size() < 2 || !IsNumeric(parts[0])) break;
    t.push_back(ToDouble(parts[0]));
  }
  if (t.size() < 3) return 0;
  const double step = (t.back() - t.front()) / static_cast<double>(t.size() - 1);
  if (!(step > 0) || !std::isfinite(step)) return 0;
  for (std::size_t i = 1; i < t.size(); ++i)
    if (std::fabs(t[i] - t[i - 1] - step) > 1e-3 * step) return 0;
  const double rate = 1.0 / step;
  if (rate < 0.5 || rate > 1e6 || std::fabs(rate - std::round(rate)) > 1e-3 * rate) return 0;
  return static_cast<int32_t>(std::lround(rate));
}

}  // namespace

std::string PreviewText(const std::vector<std::string>& lines, bool continued) {
  std::string out;
  int32_t n = 0;
  for (const auto& line : lines) {
    if (n > 0) out += '\n';
    out += FormatNumber(++n, "000") + ":" + line;
  }
  if (continued) out += (n > 0 ? "\n" : "") + std::string("(continued)");
  return out;
}

bool GuessDataFileLayout(const std::vector<std::string>& lines, DataFileParams& params) {
  int32_t freq = 100, count = 1000;
  bool countFromHeader = false;
  int32_t scanned = static_cast<int32_t>(std::min<std::size_t>(lines.size(), 10));
  int32_t skip = scanned;
  for (int32_t i = 1; i <= scanned; ++i) {
    bool header = false;
    for (const auto& field : Words(lines[i - 1])) {
      if (!IsNumeric(field)) {
        header = true;
        continue;
      }
      if (!header) continue;
      // A number after a word: a time step, a frequency or a count.
      double v = ToDouble(field);
      if (v >= 0.005 && v <= 0.02)
        freq = RoundToLong(1 / v);
      else if (v == 50 || v == 100 || v == 200)
        freq = static_cast<int32_t>(v);
      else if (v >= count && FitsLong(v)) {
        count = RoundToLong(v);
        countFromHeader = true;
      }
    }
    if (!header) {
      skip = i - 1;
      break;
    }
  }
  params.skip = skip;
  params.count = count;
  params.freq = freq;
  return countFromHeader;
}

bool IsDataLine(const std::string& line) {
  std::vector<std::string> fields = Words(line);
  if (fields.empty()) return false;
  for (const auto& f : fields)
    if (!IsNumeric(f)) return false;
  return true;
}

std::vector<std::string> FirstDataFields(const std::vector<std::string>& lines, int32_t skip) {
  for (std::size_t i = static_cast<std::size_t>(std::max(skip, 0)); i < lines.size(); ++i) {
    if (IsBlankLine(lines[i])) continue;
    if (!IsDataLine(lines[i])) break;
    return Words(lines[i]);
  }
  return {};
}

void ProposeColumnLayout(const std::vector<std::string>& lines, int32_t dataLines, bool countFromHeader,
                         DataFileParams& params) {
  const std::size_t fields = FirstDataFields(lines, params.skip).size();
  if (fields == 0 || dataLines < 1) return;
  if (countFromHeader && params.count > dataLines) return;
  params.channels = static_cast<int32_t>(std::min<std::size_t>(fields, std::numeric_limits<int32_t>::max()));
  params.count = dataLines;
}

void GuessCsvLayout(const std::vector<std::string>& lines, int32_t totalLines, DataFileParams& params) {
  int32_t skip = 0;
  int32_t fields = 0, previous = 0;
  bool hasLabel = false;
  int32_t scanned = static_cast<int32_t>(std::min<std::size_t>(lines.size(), 10));
  for (int32_t i = 1; i <= scanned; ++i) {
    std::vector<std::string> parts = Split(lines[i - 1], ",");
    fields = static_cast<int32_t>(parts.size());
    bool numeric = true;
    for (const auto& p : parts) numeric = numeric && IsNumeric(p);
    if (!numeric) {
      previous = fields;
      continue;
    }
    // The line before a first line of numbers, with as many fields, names the columns.
    if (fields == previous) {
      hasLabel = true;
      skip = i - 2;
    } else {
      skip = i - 1;
    }
    break;
  }
  params.skip = skip;
  params.hasLabel = hasLabel;
  params.count = totalLines - skip - (hasLabel ? 1 : 0);
  params.channels = fields;
  params.freq = 100;
  params.neglectFirst = false;
  // A first column that grows by one step a line is time: left out, and the rate from it.
  if (const int32_t rate = TimeColumnRate(lines, skip + (hasLabel ? 1 : 0)); rate > 0 && fields > 1) {
    params.freq = rate;
    params.neglectFirst = true;
    params.channels = fields - 1;
  }
}

namespace {

// The user's answer, with the note of the guess kept when the proposed count stands.
bool Ask(DataFileKind kind, const std::string& path, const std::vector<std::string>& lines, bool continued,
         DataFileParams& params, ReadQuestions& ask) {
  const std::string note = params.note;
  const int32_t count = params.count;
  if (!ask.ShowReadDataDialog(kind, path, PreviewText(lines, continued), params)) return false;
  params.note = params.count == count ? note : std::string();
  return true;
}

// The first field of the line that is not a number, quoted.
std::string FirstNonNumber(const std::string& line) {
  for (const auto& f : Words(line))
    if (!IsNumeric(f)) return QuotedField(f);
  return "\"\"";
}

}  // namespace

bool GetDataFileParams(const std::string& path, DataFileParams& params, ReadQuestions& ask) {
  LineReader in(path);
  std::vector<std::string> lines;
  std::string line;
  while (static_cast<int32_t>(lines.size()) < kPreviewLines && in.TryReadLine(line)) lines.push_back(line);
  if (lines.empty()) return false;
  const bool countFromHeader = GuessDataFileLayout(lines, params);
  // The lines of numbers after the header, up to the first line of anything else; the
  // rows from there on are counted to tell the user what the guess leaves out.
  int32_t dataLines = 0;
  int64_t lineNo = params.skip, stopLine = 0, rowsLeft = 0;
  std::string stopField;
  auto take = [&](const std::string& l) {
    ++lineNo;
    if (IsBlankLine(l)) return;
    if (stopLine > 0) {
      ++rowsLeft;
      return;
    }
    if (!IsDataLine(l)) {
      stopLine = lineNo;
      stopField = FirstNonNumber(l);
      rowsLeft = 1;
      return;
    }
    if (dataLines < std::numeric_limits<int32_t>::max()) ++dataLines;
  };
  for (std::size_t i = static_cast<std::size_t>(params.skip); i < lines.size(); ++i) take(lines[i]);
  while (in.TryReadLine(line)) take(line);
  const std::size_t width = FirstDataFields(lines, params.skip).size();
  if (width > static_cast<std::size_t>(kMaxRecordChannels))
    throw RuntimeError(ErrSubscriptOutOfRange, ErrorDescription(ErrSubscriptOutOfRange),
                       "the first line of numbers holds " + std::to_string(width) + ", more than the " +
                           std::to_string(kMaxRecordChannels) + " channels a record holds");
  ProposeColumnLayout(lines, dataLines, countFromHeader, params);
  params.note.clear();
  if (stopLine > 0 && dataLines > 0 && params.count == dataLines)
    params.note = std::to_string(rowsLeft) + (rowsLeft == 1 ? " row" : " rows") + " from line " +
                  std::to_string(stopLine) + " on not read: " + stopField + " is not a number";
  params.description = path;
  params.start = params.width = params.columns = 0;
  params.hasLabel = params.neglectFirst = false;
  return Ask(DataFileKind::General, path, lines, static_cast<int32_t>(lines.size()) == kPreviewLines, params, ask);
}

bool GetCsvFileParams(const std::string& path, DataFileParams& params, ReadQuestions& ask) {
  LineReader in(path);
  std::vector<std::string> lines;
  std::string line;
  int32_t total = 0;
  while (in.TryReadLine(line)) {
    if (total < kPreviewLines) lines.push_back(line);
    if (total < std::numeric_limits<int32_t>::max()) ++total;
  }
  if (total == 0) return false;
  GuessCsvLayout(lines, total, params);
  if (params.channels > kMaxRecordChannels)
    throw RuntimeError(ErrSubscriptOutOfRange, ErrorDescription(ErrSubscriptOutOfRange),
                       "at line " + std::to_string(params.skip + (params.hasLabel ? 2 : 1)) + ": " +
                           std::to_string(params.channels) + " fields, more than the " +
                           std::to_string(kMaxRecordChannels) + " channels a record holds");
  params.description = path;
  params.start = params.width = params.columns = 0;
  params.note.clear();
  return Ask(DataFileKind::Csv, path, lines, total > kPreviewLines, params, ask);
}

}  // namespace sism
