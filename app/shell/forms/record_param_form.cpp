#include "app/shell/forms/record_param_form.h"

#include <cctype>
#include <cmath>
#include <vector>

#include "app/shell/forms/field_check.h"
#include "common/errors.h"
#include "common/strings.h"
#include "common/text.h"

namespace sism {

namespace {

// The pieces of `text` between separators.
void SplitAt(std::string_view text, char sep, std::vector<std::string>& parts) {
  parts.clear();
  std::string cur;
  for (char c : text) {
    if (c == sep) {
      parts.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  parts.push_back(cur);
}

bool Digits(const std::string& s, std::size_t least, std::size_t most) {
  if (s.size() < least || s.size() > most) return false;
  for (char c : s)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

}  // namespace

bool IsRealDate(std::string_view text) {
  std::vector<std::string> p;
  SplitAt(Trim(text), '/', p);
  if (p.size() != 3 || !Digits(p[0], 4, 4) || !Digits(p[1], 1, 2) || !Digits(p[2], 1, 2)) return false;
  const int y = std::stoi(p[0]), m = std::stoi(p[1]), d = std::stoi(p[2]);
  if (m < 1 || m > 12 || d < 1) return false;
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return d <= kDays[m - 1] + (m == 2 && leap ? 1 : 0);
}

bool IsTimeOfDay(std::string_view text) {
  std::vector<std::string> p;
  SplitAt(Trim(text), ':', p);
  if (p.size() != 2 && p.size() != 3) return false;
  if (!Digits(p[0], 1, 2) || !Digits(p[1], 1, 2)) return false;
  if (std::stoi(p[0]) > 23 || std::stoi(p[1]) > 59) return false;
  if (p.size() == 2) return true;
  const std::string& s = p[2];
  const std::size_t dot = s.find('.');
  if (!Digits(s.substr(0, dot), 1, 2)) return false;
  if (dot != std::string::npos && !Digits(s.substr(dot + 1), 1, 9)) return false;
  return std::stoi(s.substr(0, dot)) <= 59;
}

bool IsCoordinate(std::string_view text, double limit, char positive, char negative) {
  std::string t = Trim(text);
  char hemisphere = 0;
  auto take = [&](char c) {
    const char u = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return u == positive || u == negative ? u : 0;
  };
  if (!t.empty() && take(t.back()) != 0) {
    hemisphere = take(t.back());
    t.pop_back();
  } else if (!t.empty() && take(t.front()) != 0) {
    hemisphere = take(t.front());
    t.erase(0, 1);
  }
  t = Trim(t);
  if (!IsNumeric(t)) return false;
  double v;
  try {
    v = ToDouble(t);
  } catch (const RuntimeError&) {
    return false;
  }
  if (!std::isfinite(v) || std::fabs(v) > limit) return false;
  return !(hemisphere != 0 && v < 0);
}

std::string RecordParamForm::Refusal(const RecordTexts& e) const {
  auto changed = [](const std::string& now, const std::string& before) {
    return !Trim(now).empty() && now != before;
  };
  if (changed(e.date, initial_.date) && !IsRealDate(e.date))
    return RefusalText(FieldName(15010), "a date that exists, as yyyy/mm/dd", e.date);
  if (changed(e.time, initial_.time) && !IsTimeOfDay(e.time))
    return RefusalText(FieldName(15020), "a time of day, as hh:nn:ss", e.time);
  if (changed(e.lat, initial_.lat) && !IsCoordinate(e.lat, 90, 'N', 'S'))
    return RefusalText(FieldName(15050), "a latitude from -90 to 90 degrees (N or S may follow)", e.lat);
  if (changed(e.lon, initial_.lon) && !IsCoordinate(e.lon, 180, 'E', 'W'))
    return RefusalText(FieldName(15060), "a longitude from -180 to 180 degrees (E or W may follow)", e.lon);
  return {};
}

}  // namespace sism
