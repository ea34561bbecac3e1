#include "common/digits.h"

#include <cmath>

#include "common/text.h"

namespace sism {

namespace {

bool IsExponentFormat(std::string_view format) {
  return format.find_first_of("eE") != std::string_view::npos;
}

// "0.00…0e+00" with `decimals` decimals in the mantissa.
std::string ExponentFormat(int decimals) {
  return decimals > 0 ? "0." + std::string(static_cast<std::size_t>(decimals), '0') + "e+00" : "0e+00";
}

// Decimals a format or a formatted number has (of the mantissa in exponent form).
std::size_t DecimalsOf(std::string_view text) {
  const std::size_t point = text.find('.');
  if (point == std::string_view::npos) return 0;
  std::size_t end = text.find_first_of("eE", point);
  if (end == std::string_view::npos) end = text.size();
  return end - point - 1;
}

// Trailing zeros of the decimals dropped, down to `keep` decimals.
std::string TrimZeros(const std::string& text, std::size_t keep) {
  const std::size_t point = text.find('.');
  if (point == std::string::npos) return text;
  std::size_t end = text.find_first_of("eE", point);
  if (end == std::string::npos) end = text.size();
  std::size_t cut = end;
  while (cut - point - 1 > keep && text[cut - 1] == '0') --cut;
  if (cut == point + 1) --cut;  // no point without decimals
  return text.substr(0, cut) + text.substr(end);
}

// The text reads back as the value at the precision of `wider`.
bool SameNumber(const std::string& text, const std::string& wider) {
  return Val(text) == Val(wider);
}

}  // namespace

int SignificantDigits(std::string_view text) {
  int count = 0;
  bool started = false;
  for (char c : text) {
    if (c == 'e' || c == 'E') break;
    if (c < '0' || c > '9') continue;
    if (c != '0') started = true;
    if (started) ++count;
  }
  return count;
}

std::string FormatKeepingDigits(double value, std::string_view format, int digits) {
  std::string text = FormatNumber(value, format);
  if (value == 0 || !std::isfinite(value) || SignificantDigits(text) >= digits) return text;
  std::string wide;
  const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
  const int decimals = digits - 1 - exponent;
  if (IsExponentFormat(format) || decimals > 12) {
    wide = FormatNumber(value, ExponentFormat(digits - 1));
  } else {
    // Keep what the format puts before its digits (the blank of " #0.0").
    const std::size_t lead = format.find_first_of("0#");
    const std::string prefix(format.substr(0, lead == std::string_view::npos ? 0 : lead));
    wide = FormatNumber(value, prefix + "0." + std::string(static_cast<std::size_t>(decimals), '0'));
  }
  // A value the format already writes exactly (0.010) is written as before.
  if (SameNumber(text, wide)) return text;
  return TrimZeros(wide, IsExponentFormat(wide) == IsExponentFormat(format) ? DecimalsOf(format) : 0);
}

std::string FormatInField(double value, std::string_view format, std::size_t width, int digits) {
  std::string text = FormatNumber(value, format);
  if (value == 0 || !std::isfinite(value) || IsExponentFormat(format)) return text;
  const int shown = SignificantDigits(text);
  // One blank, the sign, a digit, the point and "e+00" leave this many mantissa decimals.
  const int decimals = static_cast<int>(width) - 8;
  if (shown >= digits || decimals < 1 || decimals + 1 <= shown) return text;
  const std::string exponent = FormatNumber(value, ExponentFormat(decimals));
  return SameNumber(text, exponent) ? text : exponent;
}

}  // namespace sism
