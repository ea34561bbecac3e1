#include "state/calc_params.h"

#include <algorithm>
#include <cmath>

#include "common/text.h"

namespace sism {

std::string DuctilityListText(const std::vector<float>& mu) {
  std::string s;
  for (float m : mu) s += (s.empty() ? "" : " ") + NumberText(m);
  return s;
}

std::optional<std::vector<float>> ParseDuctilityList(const std::string& text) {
  std::string spaced = text;
  std::replace_if(spaced.begin(), spaced.end(), [](char c) { return c == ',' || c == ';' || c == '\t'; }, ' ');
  std::vector<float> mu;
  for (const std::string& part : Split(spaced, " ")) {
    if (part.empty()) continue;
    if (!IsNumeric(part)) return std::nullopt;
    const double v = ToDouble(part);
    if (!std::isfinite(v) || !(v > 1) || v > kMaxDuctility) return std::nullopt;
    mu.push_back(static_cast<float>(v));
  }
  std::sort(mu.begin(), mu.end());
  if (mu.empty() || mu.size() > kMaxDuctilities || std::adjacent_find(mu.begin(), mu.end()) != mu.end())
    return std::nullopt;
  return mu;
}

}  // namespace sism
