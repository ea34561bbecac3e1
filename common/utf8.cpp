#include "common/utf8.h"

#include <cstddef>
#include <cstdint>

namespace sism {

namespace {

// Bytes of the well-formed character at s[i]; 0 when none starts there.
std::size_t CharLength(std::string_view s, std::size_t i) {
  const auto b = static_cast<uint8_t>(s[i]);
  if (b < 0x80) return 1;
  std::size_t n = 0;
  uint32_t code = 0, least = 0;
  if ((b & 0xE0) == 0xC0) {
    n = 1, code = b & 0x1Fu, least = 0x80;
  } else if ((b & 0xF0) == 0xE0) {
    n = 2, code = b & 0x0Fu, least = 0x800;
  } else if ((b & 0xF8) == 0xF0) {
    n = 3, code = b & 0x07u, least = 0x10000;
  } else {
    return 0;
  }
  if (i + n >= s.size()) return 0;
  for (std::size_t k = 1; k <= n; ++k) {
    const auto c = static_cast<uint8_t>(s[i + k]);
    if ((c & 0xC0) != 0x80) return 0;
    code = (code << 6) | (c & 0x3Fu);
  }
  if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return n + 1;
}

}  // namespace

bool IsUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t n = CharLength(s, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

std::string ReplaceInvalidUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t n = CharLength(s, i);
    if (n == 0) {
      out += "\xEF\xBF\xBD";
      ++i;
    } else {
      out.append(s.substr(i, n));
      i += n;
    }
  }
  return out;
}

std::string Latin1ToUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size() + s.size() / 4);
  for (char ch : s) {
    const auto b = static_cast<uint8_t>(ch);
    if (b < 0x80) {
      out += ch;
    } else {
      out += static_cast<char>(0xC0 | (b >> 6));
      out += static_cast<char>(0x80 | (b & 0x3F));
    }
  }
  return out;
}

std::string AsUtf8(std::string_view s) {
  return IsUtf8(s) ? std::string(s) : Latin1ToUtf8(s);
}

}  // namespace sism
