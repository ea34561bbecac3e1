// Numbers written so that small values keep their digits: a fixed format is kept when it
// already shows enough significant digits, and widened (or turned to exponent form) when not.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sism {

// Digits a peak label shows at least.
inline constexpr int kPeakDigits = 3;

// Significant digits a formatted number shows ("-0.140" 3, "0.000" 0, "1.2346e-02" 5).
int SignificantDigits(std::string_view text);

// `value` in `format` (see FormatNumber) when that shows at least `digits` significant
// digits; else with as many more decimals as it takes, or in exponent form for values too
// small for plain decimals. Zero and non-finite values keep `format`.
std::string FormatKeepingDigits(double value, std::string_view format, int digits);

// `value` in `format` for a field of `width` characters: when `format` shows fewer than
// `digits` significant digits and an exponent form that leaves one blank in the field shows
// more, that form.
std::string FormatInField(double value, std::string_view format, std::size_t width, int digits);

}  // namespace sism
