#include "record/data_file_guess.h"

#include <cmath>
#include <limits>

#include "common/files.h"
#include "common/text.h"

namespace sism {

namespace {

std::vector<std::string> BlankFields(const std::string& line) {
  std::vector<std::string> out;
  std::string cur;
  for (char c : line) {
    if (c == ' ' || c == '\t') {
      if (!cur.empty()) out.push_back(std::move(cur));
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) out.push_back(std::move(cur));
  return out;
}

bool FitsLong(double v) {
  return std::fabs(v) < 2147483647.0;
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

void GuessDataFileLayout(const std::vector<std::string>& lines, DataFileParams& params) {
  int32_t freq = 100, count = 1000;
  int32_t scanned = static_cast<int32_t>(std::min<std::size_t>(lines.size(), 10));
  int32_t skip = scanned;
  for (int32_t i = 1; i <= scanned; ++i) {
    bool header = false;
    for (const auto& field : BlankFields(lines[i - 1])) {
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
      else if (v >= count && FitsLong(v))
        count = RoundToLong(v);
    }
    if (!header) {
      skip = i - 1;
      break;
    }
  }
  params.skip = skip;
  params.count = count;
  params.freq = freq;
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

bool GetDataFileParams(const std::string& path, DataFileParams& params, UserInterface& ui) {
  TextFile in(path);
  std::vector<std::string> lines;
  std::string line;
  while (static_cast<int32_t>(lines.size()) < kPreviewLines && in.TryReadLine(line)) lines.push_back(line);
  if (lines.empty()) return false;
  GuessDataFileLayout(lines, params);
  params.description = path;
  params.start = params.width = params.columns = 0;
  params.hasLabel = params.neglectFirst = false;
  std::string preview = PreviewText(lines, static_cast<int32_t>(lines.size()) == kPreviewLines);
  return ui.ShowReadDataDialog(DataFileKind::General, path, preview, params);
}

bool GetCsvFileParams(const std::string& path, DataFileParams& params, UserInterface& ui) {
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
  return ui.ShowReadDataDialog(DataFileKind::Csv, path, preview, params);
}

}  // namespace sism
