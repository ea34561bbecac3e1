#include "record/data_file_guess.h"

#include <algorithm>
#include <cmath>
#include <limits>

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
}

bool GetDataFileParams(const std::string& path, DataFileParams& params, ReadQuestions& ask) {
  TextFile in(path);
  std::vector<std::string> lines;
  std::string line;
  while (static_cast<int32_t>(lines.size()) < kPreviewLines && in.TryReadLine(line)) lines.push_back(line);
  if (lines.empty()) return false;
  const bool countFromHeader = GuessDataFileLayout(lines, params);
  // The lines of numbers after the header, up to the first line of anything else.
  int32_t dataLines = 0;
  bool more = true;
  auto take = [&](const std::string& l) {
    if (IsBlankLine(l)) return;
    if (!IsDataLine(l)) {
      more = false;
      return;
    }
    if (dataLines < std::numeric_limits<int32_t>::max()) ++dataLines;
  };
  for (std::size_t i = static_cast<std::size_t>(params.skip); i < lines.size() && more; ++i) take(lines[i]);
  while (more && in.TryReadLine(line)) take(line);
  ProposeColumnLayout(lines, dataLines, countFromHeader, params);
  params.description = path;
  params.start = params.width = params.columns = 0;
  params.hasLabel = params.neglectFirst = false;
  std::string preview = PreviewText(lines, static_cast<int32_t>(lines.size()) == kPreviewLines);
  return ask.ShowReadDataDialog(DataFileKind::General, path, preview, params);
}

bool GetCsvFileParams(const std::string& path, DataFileParams& params, ReadQuestions& ask) {
  TextFile in(path);
  std::vector<std::string> lines;
  std::string line;
  int32_t total = 0;
  while (in.TryReadLine(line)) {
    if (total < kPreviewLines) lines.push_back(line);
    if (total < std::numeric_limits<int32_t>::max()) ++total;
  }
  if (total == 0) return false;
  GuessCsvLayout(lines, total, params);
  params.freq = 100;
  params.description = path;
  params.start = params.width = params.columns = 0;
  params.neglectFirst = false;
  std::string preview = PreviewText(lines, total > kPreviewLines);
  return ask.ShowReadDataDialog(DataFileKind::Csv, path, preview, params);
}

}  // namespace sism
