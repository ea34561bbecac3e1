#include "record/fixed_text.h"

#include <cctype>
#include <cmath>

#include "common/errors.h"
#include "common/text.h"

namespace sism {

namespace {

bool IsDigit(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Digits at `i` as a number, advancing `i`; -1 when there are none. Large enough
// counts are refused rather than overflowing.
int32_t TakeNumber(std::string_view s, std::size_t& i) {
  if (i >= s.size() || !IsDigit(s[i])) return -1;
  int64_t v = 0;
  while (i < s.size() && IsDigit(s[i])) {
    v = v * 10 + (s[i] - '0');
    if (v > 100000) Raise(ErrTypeMismatch);
    ++i;
  }
  return static_cast<int32_t>(v);
}

void SkipBlanks(std::string_view s, std::size_t& i) {
  while (i < s.size() && s[i] == ' ') ++i;
}

}  // namespace

FieldLayout ParseFortranFormat(std::string_view text, bool realOnly) {
  std::size_t open = text.find('(');
  if (open == std::string_view::npos) Raise(ErrTypeMismatch);
  std::string s = UCase(text.substr(open + 1));
  std::size_t i = 0;
  SkipBlanks(s, i);
  int32_t count = TakeNumber(s, i);
  // A scale factor ("1P") may precede the descriptor, with or without a comma.
  if (count >= 0 && i < s.size() && s[i] == 'P') {
    ++i;
    SkipBlanks(s, i);
    if (i < s.size() && s[i] == ',') ++i;
    SkipBlanks(s, i);
    count = TakeNumber(s, i);
  }
  if (count < 0) count = 1;
  SkipBlanks(s, i);
  if (i >= s.size()) Raise(ErrTypeMismatch);
  char kind = s[i++];
  bool real = kind == 'F' || kind == 'E' || kind == 'G' || kind == 'D';
  if (!real && (realOnly || kind != 'I')) Raise(ErrTypeMismatch);
  int32_t width = TakeNumber(s, i);
  if (count < 1 || width < 1) Raise(ErrTypeMismatch);
  return {count, width};
}

std::string FixedField(std::string_view line, FieldLayout layout, int32_t index) {
  std::size_t start = static_cast<std::size_t>(index) * static_cast<std::size_t>(layout.width);
  if (start >= line.size()) return {};
  return std::string(line.substr(start, static_cast<std::size_t>(layout.width)));
}

void ReadFixedValues(TextFile& in, FieldLayout layout, int32_t count, double factor, float* out, int32_t keep,
                     std::string_view endTag) {
  if (layout.perLine < 1 || layout.width < 1) Raise(ErrTypeMismatch);
  CheckCountFits(in, count);
  int32_t done = 0;
  while (done < count) {
    const std::string line = in.ReadLine();
    if (!endTag.empty() && StartsWith(line, endTag))
      throw RuntimeError(ErrInputPastEnd, ErrorDescription(ErrInputPastEnd),
                         "at line " + std::to_string(in.LineNumber()) + ": the values end after " +
                             std::to_string(done) + " of " + std::to_string(count));
    for (int32_t j = 0; j < layout.perLine && done < count; ++j, ++done) {
      // A product of two singles is exact in double: factors that are singles give the single
      // product, and a factor such as standard gravity is not rounded first.
      float v = AtLineOf(in, [&] { return static_cast<float>(ToSingle(FixedField(line, layout, j)) * factor); });
      if (done < keep) out[done] = v;
    }
  }
}

void CheckCountFits(const TextFile& in, int64_t count) {
  int64_t left = static_cast<int64_t>(in.Contents().size() - in.Position());
  if (count < 0 || count > left)
    throw RuntimeError(ErrInputPastEnd, ErrorDescription(ErrInputPastEnd),
                       "at line " + std::to_string(in.LineNumber() + 1) + ": " + std::to_string(count) +
                           " values announced, more than the " + std::to_string(left) + " bytes left hold");
}

void SkipPastEndLine(TextFile& in, std::string_view endTag) {
  std::string line;
  while (in.TryReadLine(line))
    if (StartsWith(line, endTag)) return;
}

int32_t CountLinesBeginning(const std::string& text, std::string_view tag) {
  TextFile f = TextFile::FromText(text);
  int32_t n = 0;
  std::string line;
  while (f.TryReadLine(line))
    if (StartsWith(line, tag)) ++n;
  return n;
}

int32_t RateFromInterval(double seconds) {
  if (!(seconds > 0)) Raise(ErrDivisionByZero);
  int32_t rate = RoundToLong(1.0 / seconds);
  if (rate < 1) Raise(ErrInvalidCall);
  return rate;
}

int32_t WholePart(double v) {
  if (!std::isfinite(v) || std::fabs(v) > 1e9) return 0;
  return static_cast<int32_t>(v);
}

}  // namespace sism
