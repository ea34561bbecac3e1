// What a number box accepts, and the sentence that refuses a text: it names the box as its
// label reads and the values it takes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sism {

// A box's label without its access-key "&" and a trailing colon ("&Low-cut frequency (Hz)"
// gives "Low-cut frequency (Hz)").
std::string FieldName(int labelId);
std::string FieldName(std::string_view label);

// "<field> takes <allowed>; "<typed>" is not one." (an empty text is called empty).
std::string RefusalText(const std::string& field, const std::string& allowed, std::string_view typed);

// A number between limits, each open or closed, and whether it must be whole.
struct NumberRange {
  double low = 0, high = 0;
  bool lowIncluded = true, highIncluded = true;
  bool whole = false;
  bool Contains(double v) const;
  // "a number from 0 to 100", "a number above 0 and below 50", "a whole number of at least 1".
  std::string Text() const;
};
constexpr double kNoLimit = 1e300;

// The value of `text` when it is a finite number inside `range`.
std::optional<double> NumberIn(std::string_view text, const NumberRange& range);

}  // namespace sism
