#include "app/shell/forms/field_check.h"

#include <cmath>

#include "common/errors.h"
#include "common/strings.h"
#include "common/text.h"

namespace sism {

std::string FieldName(std::string_view label) {
  std::string out;
  for (std::size_t i = 0; i < label.size(); ++i) {
    // "&&" is a literal ampersand, a single one marks the access key.
    if (label[i] == '&') {
      if (i + 1 < label.size() && label[i + 1] == '&') out += '&', ++i;
      continue;
    }
    out += label[i];
  }
  while (!out.empty() && (out.back() == ':' || out.back() == ' ')) out.pop_back();
  return out;
}

std::string FieldName(int labelId) {
  return FieldName(Str(labelId));
}

std::string RefusalText(const std::string& field, const std::string& allowed, std::string_view typed) {
  const std::string shown = Trim(std::string(typed));
  return field + " takes " + allowed + "; " + (shown.empty() ? std::string("an empty box") : "\"" + shown + "\"") +
         " is not one.";
}

bool NumberRange::Contains(double v) const {
  if (!std::isfinite(v)) return false;
  if (whole && v != std::round(v)) return false;
  if (lowIncluded ? v < low : v <= low) return false;
  if (highIncluded ? v > high : v >= high) return false;
  return true;
}

namespace {

// Limits as people write them: 100000, not 1e+05.
std::string LimitText(double v) {
  if (v == std::round(v) && std::fabs(v) < 1e15) return std::to_string(static_cast<long long>(v));
  return NumberText(v);
}

}  // namespace

std::string NumberRange::Text() const {
  const std::string kind = whole ? "a whole number" : "a number";
  const bool bounded = high < kNoLimit;
  if (!bounded) return kind + (lowIncluded ? " of at least " : " above ") + LimitText(low);
  if (lowIncluded && highIncluded) return kind + " from " + LimitText(low) + " to " + LimitText(high);
  return kind + (lowIncluded ? " of at least " : " above ") + LimitText(low) +
         (highIncluded ? " and at most " : " and below ") + LimitText(high);
}

std::optional<double> NumberIn(std::string_view text, const NumberRange& range) {
  const std::string t = Trim(std::string(text));
  if (!IsNumeric(t)) return std::nullopt;
  double v;
  try {
    v = ToDouble(t);
  } catch (const RuntimeError&) {
    return std::nullopt;
  }
  if (!range.Contains(v)) return std::nullopt;
  return v;
}

}  // namespace sism
