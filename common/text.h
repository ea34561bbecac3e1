// Text helpers shared by readers, reports and settings: trimming, fixed columns,
// text-to-number conversion, number formatting and the escapes of multi-line texts.
// Each rule lives here once.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sism {

// Blanks only (not tabs), as fixed-column fields are padded with blanks.
std::string Trim(std::string_view s);
std::string LTrim(std::string_view s);
std::string RTrim(std::string_view s);
// Blanks, tabs, CR and LF.
std::string TrimSpace(std::string_view s);

std::string UCase(std::string_view s);
std::string LCase(std::string_view s);

// 1-based substring of at most `length` characters; out-of-range parts are empty.
std::string Mid(std::string_view s, std::size_t start, std::size_t length = std::string_view::npos);
std::string Left(std::string_view s, std::size_t n);
std::string Right(std::string_view s, std::size_t n);

// Parts between separators; an empty text gives one empty part.
std::vector<std::string> Split(std::string_view s, std::string_view sep);
// The words of a line: the runs between blanks and tabs.
std::vector<std::string> Words(std::string_view line);
std::string ReplaceAll(std::string s, std::string_view from, std::string_view to);

// Text to number in the usual sense: blanks around the number allowed, optional sign,
// digits with an optional point and exponent (E or D). Anything else is not a number.
bool IsNumeric(std::string_view s);
// Raise type mismatch (13) when the text is not a number, overflow (6) when out of range.
// Raise 13 (not a number) or 6 (too large) with the field quoted.
double ToDouble(std::string_view s);
// The field as messages quote it: trimmed, at most 40 characters, control bytes as "?".
std::string QuotedField(std::string_view s);
float ToSingle(std::string_view s);
// Rounded to the nearest integer, halves to even.
int32_t ToLong(std::string_view s);
// Leading number of the text, 0 when there is none; never raises. Blanks inside are skipped.
double Val(std::string_view s);

// Round to nearest, halves to even; raises overflow (6) outside the 32-bit range or for NaN.
int32_t RoundToLong(double v);
double RoundHalfEven(double v);

// Number formatting with the format strings the program uses: "0", "00", "0.000",
// "#0.####", " #0.0", "#,#", "0.00e+0", "0.0000e+00" …  Digits '0' (always shown) and
// '#' (shown when significant), ',' for digit grouping, '.' for the point, an exponent
// part "e+0"/"E-00", and literal text before and after. Halves round away from zero on
// the value's shortest decimal form, so a float prints as the number it was written from.
std::string FormatNumber(double value, std::string_view format);
std::string FormatNumber(float value, std::string_view format);
std::string FormatNumber(int32_t value, std::string_view format);
std::string FormatNumber(int64_t value, std::string_view format);

// Shortest text that reads back to the same value ("0.1", "25", "1E-05" style avoided:
// plain decimal when reasonable). Used where a number is stored as text.
std::string NumberText(double value);
std::string NumberText(float value);

// The text prefixed with `width` blanks, of which the last `width` characters are kept.
std::string AlignRight(std::string_view s, std::size_t width);
// The text padded with blanks on the right to `width`; a longer text is kept whole.
std::string PadRight(std::string_view s, std::size_t width);

// Multi-line texts kept on one line of a settings file. Encoding turns each line break
// (CR LF, or a lone LF or CR) into "\n" and each tab into "\t", and leaves backslashes
// alone, so that a one-line text is stored as it reads. Decoding turns "\n" and "\N" into
// CR LF and "\t" and "\T" into a tab; any other escaped character stands for itself,
// and a final lone "\" is dropped.
std::string EncodeEscapes(std::string_view text);
std::string DecodeEscapes(std::string_view text);

bool StartsWith(std::string_view s, std::string_view prefix);
bool EndsWith(std::string_view s, std::string_view suffix);
bool EqualsNoCase(std::string_view a, std::string_view b);

}  // namespace sism
