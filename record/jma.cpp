// The rules every JMA format shares: leading numbers, signed hexadecimal, the next minute file.
#include "record/jma_text.h"

namespace sism {

using namespace jma;

double JmaLeadingNumber(std::string_view text) {
  std::size_t p = 0;
  while (p < text.size() && (text[p] < '0' || text[p] > '9')) ++p;
  if (p == text.size()) return 0;
  std::size_t e = p;
  while (e < text.size() && text[e] >= '0' && text[e] <= '9') ++e;
  if (e + 1 < text.size() && text[e] == '.' && text[e + 1] >= '0' && text[e + 1] <= '9') {
    ++e;
    while (e < text.size() && text[e] >= '0' && text[e] <= '9') ++e;
  }
  return Val(text.substr(p, e - p));
}

int64_t SignedHex(std::string_view digits) {
  if (digits.empty() || digits.size() > 15) Raise(ErrTypeMismatch);
  int64_t v = 0;
  for (char c : digits) {
    int d;
    if (c >= '0' && c <= '9')
      d = c - '0';
    else if (c >= 'A' && c <= 'F')
      d = c - 'A' + 10;
    else
      Raise(ErrTypeMismatch);
    v = v * 16 + d;
  }
  if (digits[0] >= '8') v -= int64_t{1} << (4 * digits.size());
  return v;
}

std::string NextJma95aMinute(const std::string& path) {
  PathParts parts = SplitPath(path);
  std::string name = parts.name;
  if (name.empty()) return {};
  char& c = name.back();
  if ((c >= '0' && c <= '8') || (c >= 'A' && c <= 'Y') || (c >= 'a' && c <= 'y'))
    ++c;
  else if (c == '9')
    c = 'A';
  else
    name.pop_back();
  if (name.empty()) return {};
  return parts.folder + name + parts.ext;
}

std::string NextJma95bMinute(const std::string& path) {
  PathParts parts = SplitPath(path);
  const std::string& name = parts.name;
  if (name.size() < 4) return {};
  for (std::size_t i = name.size() - 4; i < name.size(); ++i)
    if (name[i] < '0' || name[i] > '9') return {};
  int hh = (name[name.size() - 4] - '0') * 10 + (name[name.size() - 3] - '0');
  int mm = (name[name.size() - 2] - '0') * 10 + (name[name.size() - 1] - '0');
  if (++mm == 60) {
    mm = 0;
    ++hh;
  }
  return parts.folder + name.substr(0, name.size() - 4) + FormatNumber(int32_t{hh}, "00") +
         FormatNumber(int32_t{mm}, "00") + parts.ext;
}

}  // namespace sism
