// The lines of a written text file, its CR LF line ends and a final empty line dropped.
#pragma once

#include <string>
#include <vector>

#include "common/text.h"

namespace sism::test {

inline std::vector<std::string> TextLines(const std::string& text) {
  std::vector<std::string> lines = Split(text, "\r\n");
  if (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

}  // namespace sism::test
