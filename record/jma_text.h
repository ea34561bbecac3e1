// Text rules the JMA readers share: minute-file sequences, fields and columns of lines.
#pragma once

#include <bit>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "common/errors.h"
#include "common/files.h"
#include "common/path.h"
#include "common/text.h"
#include "record/jma_codes.h"
#include "record/reader.h"
#include "record/readers.h"
#include "record/sibling.h"

namespace sism::jma {

inline constexpr int32_t kMinuteSteps = 6000;  // 60 s at 100 Hz

// Steps of `files` minute files, refused when the record could not be held.
inline int32_t MinuteSteps(std::size_t files) {
  int64_t steps = static_cast<int64_t>(files) * kMinuteSteps;
  if (steps > std::numeric_limits<int32_t>::max()) Raise(ErrOverflow);
  return static_cast<int32_t>(steps);
}

// The existing files of a minute sequence, starting with the opened one.
template <typename Next>
std::vector<std::string> MinuteFiles(const std::string& path, Next next) {
  std::vector<std::string> files;
  std::string name = path;
  while (!name.empty()) {
    std::string found = FindFileNoCase(name);
    if (found.empty()) break;
    files.push_back(found);
    name = next(name);
  }
  if (files.empty()) Raise(ErrFileNotFound);
  return files;
}

inline std::vector<std::string> SplitLines(const std::string& text) {
  TextFile file = TextFile::FromText(text);
  std::vector<std::string> lines;
  std::string line;
  while (file.TryReadLine(line)) lines.push_back(line);
  return lines;
}

// Columns [start, start+length) (1-based) of a line that must be long enough to hold them.
inline std::string_view Columns(const std::string& line, std::size_t start, std::size_t length) {
  if (start < 1 || start - 1 + length > line.size()) Raise(ErrInputPastEnd);
  return std::string_view(line).substr(start - 1, length);
}

// Three channels with Offset 0 and Coef 1: the samples are already in cm/s/s.
inline void SizeThreeChannels(StrongRecord& rec) {
  rec.ChanCount = 3;
  rec.RedimHeader(3);
  for (int32_t ch = 1; ch <= 3; ++ch) rec.Coef(ch) = 1;
}

inline std::string WithoutBlanks(const std::string& s) {
  return ReplaceAll(s, " ", "");
}

// Text after the first "=" of a "caption=value" line.
inline std::string AfterEquals(const std::string& line) {
  std::string::size_type eq = line.find('=');
  if (eq == std::string::npos) Raise(ErrTypeMismatch);
  return line.substr(eq + 1);
}

}  // namespace sism::jma
