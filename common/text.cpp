#include "common/text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

#include "common/errors.h"

namespace sism {

namespace {

bool IsBlankOrControl(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

std::string LTrim(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  return std::string(s.substr(i));
}

std::string RTrim(std::string_view s) {
  std::size_t n = s.size();
  while (n > 0 && s[n - 1] == ' ') --n;
  return std::string(s.substr(0, n));
}

std::string Trim(std::string_view s) {
  return LTrim(RTrim(s));
}

std::string TrimSpace(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsBlankOrControl(s[b])) ++b;
  while (e > b && IsBlankOrControl(s[e - 1])) --e;
  return std::string(s.substr(b, e - b));
}

std::string UCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return r;
}

std::string LCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return r;
}

std::string Mid(std::string_view s, std::size_t start, std::size_t length) {
  if (start < 1 || start > s.size()) return {};
  return std::string(s.substr(start - 1, length));
}

std::string Left(std::string_view s, std::size_t n) {
  return std::string(s.substr(0, n));
}

std::string Right(std::string_view s, std::size_t n) {
  return n >= s.size() ? std::string(s) : std::string(s.substr(s.size() - n));
}

std::vector<std::string> Split(std::string_view s, std::string_view sep) {
  std::vector<std::string> parts;
  if (sep.empty()) {
    parts.emplace_back(s);
    return parts;
  }
  // One allocation for the list, as readers split every line of large files.
  std::size_t count = 1;
  for (std::size_t at = s.find(sep); at != std::string_view::npos; at = s.find(sep, at + sep.size())) ++count;
  parts.reserve(count);
  std::size_t pos = 0;
  while (true) {
    std::size_t next = s.find(sep, pos);
    if (next == std::string_view::npos) {
      parts.emplace_back(s.substr(pos));
      return parts;
    }
    parts.emplace_back(s.substr(pos, next - pos));
    pos = next + sep.size();
  }
}

std::vector<std::string> Words(std::string_view line) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) words.emplace_back(line.substr(start, i - start));
  }
  return words;
}

std::string ReplaceAll(std::string s, std::string_view from, std::string_view to) {
  if (from.empty()) return s;
  std::size_t pos = 0;
  while ((pos = s.find(from, pos)) != std::string::npos) {
    s.replace(pos, from.size(), to);
    pos += to.size();
  }
  return s;
}

namespace {

// A number checked against the grammar, as from_chars reads it: the sign is kept apart (from_chars
// takes no '+') and the text is copied only when its exponent letter is D.
struct NumberSpan {
  const char* begin = nullptr;
  const char* end = nullptr;
  bool negative = false;
  bool negativeExponent = false;
  bool exponentD = false;
};

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool ScanNumber(std::string_view s, NumberSpan& out) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsBlankOrControl(s[b])) ++b;
  while (e > b && IsBlankOrControl(s[e - 1])) --e;
  std::size_t i = b;
  if (i < e && (s[i] == '+' || s[i] == '-')) out.negative = s[i++] == '-';
  out.begin = s.data() + i;
  std::size_t digits = 0;
  while (i < e && IsDigit(s[i])) ++i, ++digits;
  if (i < e && s[i] == '.') {
    ++i;
    while (i < e && IsDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < e && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
    out.exponentD = s[i] == 'd' || s[i] == 'D';
    ++i;
    if (i < e && (s[i] == '+' || s[i] == '-')) out.negativeExponent = s[i++] == '-';
    std::size_t expDigits = 0;
    while (i < e && IsDigit(s[i])) ++i, ++expDigits;
    if (expDigits == 0) return false;
  }
  out.end = s.data() + i;
  return i == e;
}

double ParseScanned(const NumberSpan& n) {
  double v = 0;
  std::from_chars_result r;
  if (n.exponentD) {
    std::string t(n.begin, n.end);
    for (char& c : t)
      if (c == 'd' || c == 'D') c = 'e';
    r = std::from_chars(t.data(), t.data() + t.size(), v);
    r.ptr = r.ptr == t.data() + t.size() ? n.end : n.begin;
  } else {
    r = std::from_chars(n.begin, n.end, v);
  }
  if (r.ec == std::errc::result_out_of_range) {
    // Underflow reads as zero; overflow is an error.
    if (n.negativeExponent) return 0.0;
    Raise(ErrOverflow);
  }
  if (r.ec != std::errc() || r.ptr != n.end) Raise(ErrTypeMismatch);
  return n.negative ? -v : v;
}

}  // namespace

bool IsNumeric(std::string_view s) {
  NumberSpan n;
  return ScanNumber(s, n);
}

std::string QuotedField(std::string_view s) {
  std::string t = TrimSpace(s.substr(0, 40));
  for (char& c : t)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return "\"" + t + (s.size() > 40 ? "..." : "") + "\"";
}

double ToDouble(std::string_view s) {
  NumberSpan n;
  if (!ScanNumber(s, n)) RaiseFound(ErrTypeMismatch, QuotedField(s) + " is not a number");
  try {
    return ParseScanned(n);
  } catch (RuntimeError& e) {
    e.SetFound(QuotedField(s) + " is too large a number");
    throw;
  }
}

float ToSingle(std::string_view s) {
  double v = ToDouble(s);
  if (std::fabs(v) > std::numeric_limits<float>::max())
    RaiseFound(ErrOverflow, QuotedField(s) + " is too large a number");
  return static_cast<float>(v);
}

int32_t ToLong(std::string_view s) {
  return RoundToLong(ToDouble(s));
}

double Val(std::string_view s) {
  std::string t;
  for (char c : s)
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r') t += c;
  std::size_t i = 0;
  std::string n;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
    if (t[i] == '-') n += '-';
    ++i;
  }
  std::size_t digits = 0;
  while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) n += t[i++], ++digits;
  if (i < t.size() && t[i] == '.') {
    n += t[i++];
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) n += t[i++], ++digits;
  }
  if (digits == 0) return 0.0;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E' || t[i] == 'd' || t[i] == 'D')) {
    std::string e = "e";
    std::size_t j = i + 1;
    if (j < t.size() && (t[j] == '+' || t[j] == '-')) e += t[j++];
    std::size_t expDigits = 0;
    while (j < t.size() && std::isdigit(static_cast<unsigned char>(t[j]))) e += t[j++], ++expDigits;
    if (expDigits > 0) n += e;
  }
  double v = 0;
  auto [p, ec] = std::from_chars(n.data(), n.data() + n.size(), v);
  (void)p;
  if (ec == std::errc::result_out_of_range) return n.find("e-") != std::string::npos ? 0.0 : HUGE_VAL;
  return ec == std::errc() ? v : 0.0;
}

double RoundHalfEven(double v) {
  double r = std::round(v);
  if (std::fabs(v - std::trunc(v)) == 0.5) r = 2.0 * std::round(v / 2.0);
  return r;
}

int32_t RoundToLong(double v) {
  if (!std::isfinite(v)) Raise(ErrOverflow);
  double r = RoundHalfEven(v);
  if (r < static_cast<double>(std::numeric_limits<int32_t>::min()) ||
      r > static_cast<double>(std::numeric_limits<int32_t>::max()))
    Raise(ErrOverflow);
  return static_cast<int32_t>(r);
}

namespace {

struct ParsedFormat {
  std::string prefix, suffix;
  int intZeros = 0;   // '0' placeholders before the point
  int intHashes = 0;  // '#' placeholders before the point
  bool grouping = false;
  bool point = false;
  int decZeros = 0;   // '0' placeholders after the point
  int decHashes = 0;  // '#' placeholders after the point (after the zeros)
  bool exponent = false;
  char expLetter = 'e';
  bool expPlus = false;
  int expDigits = 1;
};

ParsedFormat ParseFormat(std::string_view f) {
  ParsedFormat p;
  std::size_t i = 0;
  auto isPlaceholder = [](char c) { return c == '0' || c == '#' || c == ',' || c == '.'; };
  while (i < f.size() && !isPlaceholder(f[i])) p.prefix += f[i++];
  while (i < f.size() && (f[i] == '0' || f[i] == '#' || f[i] == ',')) {
    if (f[i] == '0')
      ++p.intZeros;
    else if (f[i] == '#')
      ++p.intHashes;
    else
      p.grouping = true;
    ++i;
  }
  if (i < f.size() && f[i] == '.') {
    p.point = true;
    ++i;
    while (i < f.size() && (f[i] == '0' || f[i] == '#')) {
      if (f[i] == '0' && p.decHashes == 0)
        ++p.decZeros;
      else
        ++p.decHashes;
      ++i;
    }
  }
  if (i + 1 < f.size() && (f[i] == 'e' || f[i] == 'E') && (f[i + 1] == '+' || f[i + 1] == '-')) {
    p.exponent = true;
    p.expLetter = f[i];
    p.expPlus = f[i + 1] == '+';
    i += 2;
    p.expDigits = 0;
    while (i < f.size() && (f[i] == '0' || f[i] == '#')) {
      if (f[i] == '0') ++p.expDigits;
      ++i;
    }
  }
  p.suffix = std::string(f.substr(i));
  return p;
}

// A non-negative decimal number as its significant digits and the position of the
// point among them: value = 0.d1d2d3... x 10^pointPos.
struct Decimal {
  std::string digits;  // no leading zeros; empty means zero
  int pointPos = 0;
};

template <typename T>
Decimal ShortestDecimal(T v) {
  Decimal d;
  if (v == 0) return d;
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific);
  (void)ec;
  std::string_view s(buf, end - buf);
  std::size_t e = s.find('e');
  int exp10 = 0;
  std::from_chars(s.data() + e + 1 + (s[e + 1] == '+' ? 1 : 0), s.data() + s.size(), exp10);
  for (char c : s.substr(0, e))
    if (c >= '0' && c <= '9') d.digits += c;
  d.pointPos = exp10 + 1;
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

Decimal IntegerDecimal(int64_t v) {
  Decimal d;
  uint64_t u = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
  if (u == 0) return d;
  d.digits = std::to_string(u);
  d.pointPos = static_cast<int>(d.digits.size());
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

// Keeps `decimals` digits after the point, rounding halves away from zero.
void RoundDecimal(Decimal& d, int decimals) {
  if (d.digits.empty()) return;
  long keep = static_cast<long>(d.pointPos) + decimals;
  if (keep >= static_cast<long>(d.digits.size())) return;
  if (keep < 0) {
    d.digits.clear();
    return;
  }
  bool up = d.digits[keep] >= '5';
  d.digits.resize(keep);
  if (up) {
    long i = keep - 1;
    while (i >= 0 && d.digits[i] == '9') d.digits[i--] = '0';
    if (i < 0) {
      d.digits.insert(d.digits.begin(), '1');
      ++d.pointPos;
    } else {
      ++d.digits[i];
    }
  }
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  if (d.digits.empty()) d.pointPos = 0;
}

char DigitAt(const Decimal& d, long pos) {  // pos 0 = first digit after the point is pointPos
  return pos >= 0 && pos < static_cast<long>(d.digits.size()) ? d.digits[pos] : '0';
}

std::string Group(const std::string& digits) {
  std::string r;
  int n = static_cast<int>(digits.size());
  for (int i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) r += ',';
    r += digits[i];
  }
  return r;
}

std::string Render(Decimal d, bool negative, const ParsedFormat& f) {
  std::string body;
  int exp10 = 0;
  if (f.exponent) {
    int intDigits = std::max(1, f.intZeros + f.intHashes);
    if (!d.digits.empty()) {
      exp10 = d.pointPos - intDigits;
      d.pointPos = intDigits;
      RoundDecimal(d, f.decZeros + f.decHashes);
      if (d.pointPos > intDigits) {  // 9.999 rounded up to 10.00
        ++exp10;
        d.pointPos = intDigits;
      }
    }
  } else {
    RoundDecimal(d, f.decZeros + f.decHashes);
  }
  // Integer part.
  std::string intPart;
  for (long i = 0; i < d.pointPos; ++i) intPart += DigitAt(d, i);
  while (static_cast<int>(intPart.size()) < f.intZeros) intPart.insert(intPart.begin(), '0');
  if (f.grouping) intPart = Group(intPart);
  body += intPart;
  if (f.point) {
    body += '.';
    std::string frac;
    int total = f.decZeros + f.decHashes;
    for (int i = 0; i < total; ++i) frac += DigitAt(d, d.pointPos + i);
    while (static_cast<int>(frac.size()) > f.decZeros && frac.back() == '0') frac.pop_back();
    body += frac;
  }
  if (f.exponent) {
    body += f.expLetter;
    if (exp10 < 0)
      body += '-';
    else if (f.expPlus)
      body += '+';
    std::string e = std::to_string(exp10 < 0 ? -exp10 : exp10);
    while (static_cast<int>(e.size()) < f.expDigits) e.insert(e.begin(), '0');
    body += e;
  }
  bool zero = d.digits.empty();
  return f.prefix + (negative && !zero ? "-" : "") + body + f.suffix;
}

}  // namespace

std::string FormatNumber(double value, std::string_view format) {
  ParsedFormat f = ParseFormat(format);
  if (!std::isfinite(value)) return f.prefix + (std::isnan(value) ? "NaN" : value < 0 ? "-Inf" : "Inf");
  return Render(ShortestDecimal(std::fabs(value)), value < 0, f);
}

std::string FormatNumber(float value, std::string_view format) {
  ParsedFormat f = ParseFormat(format);
  if (!std::isfinite(value)) return f.prefix + (std::isnan(value) ? "NaN" : value < 0 ? "-Inf" : "Inf");
  return Render(ShortestDecimal(std::fabs(value)), value < 0, f);
}

std::string FormatNumber(int64_t value, std::string_view format) {
  return Render(IntegerDecimal(value), value < 0, ParseFormat(format));
}

std::string FormatNumber(int32_t value, std::string_view format) {
  return FormatNumber(static_cast<int64_t>(value), format);
}

namespace {
template <typename T>
std::string ShortestText(T v) {
  if (v == 0) return "0";
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  (void)ec;
  return std::string(buf, end);
}
}  // namespace

std::string NumberText(double value) {
  return ShortestText(value);
}
std::string NumberText(float value) {
  return ShortestText(value);
}

std::string AlignRight(std::string_view s, std::size_t width) {
  std::string t = std::string(width, ' ') + std::string(s);
  return t.substr(t.size() - width);
}

std::string PadRight(std::string_view s, std::size_t width) {
  std::string t(s);
  if (t.size() < width) t.append(width - t.size(), ' ');
  return t;
}

std::string EncodeEscapes(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else {
      out += c;
    }
  }
  return out;
}

std::string DecodeEscapes(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (++i >= text.size()) break;
    const char c = text[i];
    if (c == 'n' || c == 'N')
      out += "\r\n";
    else if (c == 't' || c == 'T')
      out += '\t';
    else
      out += c;
  }
  return out;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

}  // namespace sism
