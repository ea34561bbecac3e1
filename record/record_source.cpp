#include "record/record_source.h"

#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "common/text.h"

namespace sism {
namespace {

std::string Upper(std::string_view s) {
  std::string u(s);
  for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return u;
}

// The leading number of `s` (after blanks), and where it ends.
bool LeadingNumber(std::string_view s, double& value, std::size_t& end) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  std::size_t j = i;
  if (j < s.size() && (s[j] == '-' || s[j] == '+')) ++j;
  bool digits = false;
  while (j < s.size() && (std::isdigit(static_cast<unsigned char>(s[j])) || s[j] == '.')) {
    digits = digits || s[j] != '.';
    ++j;
  }
  if (!digits) return false;
  value = ToDouble(std::string(s.substr(i, j - i)));
  end = j;
  return std::isfinite(value);
}

}  // namespace

double DegreesOf(std::string_view text) {
  double v = 0;
  std::size_t end = 0;
  if (!LeadingNumber(text, v, end)) return kUnknown;
  const std::string rest = Upper(text.substr(end));
  const std::size_t letter = rest.find_last_of("NSEW");
  if (letter != std::string::npos && (rest[letter] == 'S' || rest[letter] == 'W')) v = -std::fabs(v);
  return v;
}

double NumberOf(std::string_view text) {
  const std::string t = Trim(std::string(text));
  if (t.empty() || !IsNumeric(t)) return kUnknown;
  const double v = ToDouble(t);
  return std::isfinite(v) ? v : kUnknown;
}

std::string ZoneOf(std::string_view text) {
  const std::string t = Upper(text);
  std::size_t at = t.find("GMT");
  if (at == std::string::npos) at = t.find("UTC");
  if (at == std::string::npos) return {};
  std::size_t i = at + 3;
  if (i >= t.size() || (t[i] != '+' && t[i] != '-')) return "Z";
  const char sign = t[i++];
  int hours = 0, minutes = 0, digits = 0;
  while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i])) && digits < 2)
    hours = hours * 10 + (t[i++] - '0'), ++digits;
  if (digits == 0 || hours > 14) return {};
  if (i < t.size() && t[i] == ':') ++i;
  digits = 0;
  while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i])) && digits < 2)
    minutes = minutes * 10 + (t[i++] - '0'), ++digits;
  if (minutes > 59) return {};
  if (hours == 0 && minutes == 0) return "Z";
  char buf[16];
  std::snprintf(buf, sizeof buf, "%c%02d:%02d", sign, hours, minutes);
  return buf;
}

std::string IsoTime(int year, int month, int day, int hour, int minute, double seconds,
                    const std::string& zone) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 ||
      minute < 0 || minute > 59 || !(seconds >= 0 && seconds < 61))
    return {};
  char buf[64];
  const double whole = std::floor(seconds);
  const int ms = static_cast<int>(std::lround((seconds - whole) * 1000));
  if (ms == 0 || ms == 1000)
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", year, month, day, hour, minute,
                  static_cast<int>(whole) + (ms == 1000 ? 1 : 0));
  else
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", year, month, day, hour, minute,
                  static_cast<int>(whole), ms);
  return buf + zone;
}

std::string IsoTimeOf(std::string_view date, std::string_view time, const std::string& zone,
                      double addSeconds) {
  std::string d = ReplaceAll(Trim(std::string(date)), "-", "/");
  const std::vector<std::string> ymd = Split(d, "/");
  const std::vector<std::string> hms = Split(Trim(std::string(time)), ":");
  if (ymd.size() != 3 || hms.size() < 2) return {};
  for (const std::string& p : ymd)
    if (!IsNumeric(p)) return {};
  for (const std::string& p : hms)
    if (!IsNumeric(p)) return {};
  const double s = hms.size() > 2 ? ToDouble(hms[2]) : 0.0;
  const int h = ToLong(hms[0]), mi = ToLong(hms[1]);
  if (addSeconds == 0 || !std::isfinite(addSeconds) || std::fabs(addSeconds) > 86400)
    return IsoTime(ToLong(ymd[0]), ToLong(ymd[1]), ToLong(ymd[2]), h, mi, s, zone);
  // A shift may cross midnight, the end of a month or of a year.
  namespace c = std::chrono;
  const c::year_month_day day{c::year{ToLong(ymd[0])}, c::month{static_cast<unsigned>(ToLong(ymd[1]))},
                              c::day{static_cast<unsigned>(ToLong(ymd[2]))}};
  if (!day.ok() || h < 0 || h > 23 || mi < 0 || mi > 59 || !(s >= 0 && s < 61)) return {};
  const auto ms = c::milliseconds(std::llround((h * 3600.0 + mi * 60.0 + s + addSeconds) * 1000));
  const c::sys_time<c::milliseconds> t = c::sys_days(day) + ms;
  const auto midnight = c::floor<c::days>(t);
  const c::year_month_day out{midnight};
  const c::hh_mm_ss<c::milliseconds> clock{t - midnight};
  return IsoTime(
      static_cast<int>(out.year()), static_cast<int>(static_cast<unsigned>(out.month())),
      static_cast<int>(static_cast<unsigned>(out.day())), static_cast<int>(clock.hours().count()),
      static_cast<int>(clock.minutes().count()),
      static_cast<double>(clock.seconds().count()) + static_cast<double>(clock.subseconds().count()) / 1000,
      zone);
}

std::string StartTimeIso(const StrongRecord& rec) {
  const std::string date = Trim(rec.RecDate);
  if (date.find_first_not_of("0/- ") == std::string::npos) return {};
  const std::string time = Trim(rec.RecTime);
  return IsoTimeOf(date, time.empty() ? "00:00:00" : time, rec.Source.TimeZone, rec.Source.StartFraction);
}

// The epicentre and the station in degrees; false when either is not known.
static bool EventAndSite(const StrongRecord& rec, double& lat1, double& lon1, double& lat2, double& lon2) {
  lat1 = rec.Source.EventLat, lon1 = rec.Source.EventLon;
  lat2 = DegreesOf(rec.SiteLat), lon2 = DegreesOf(rec.SiteLong);
  return std::isfinite(lat1) && std::isfinite(lon1) && std::isfinite(lat2) && std::isfinite(lon2);
}

double EpicentralDistanceKm(const StrongRecord& rec) {
  double lat1, lon1, lat2, lon2;
  if (!EventAndSite(rec, lat1, lon1, lat2, lon2)) return kUnknown;
  constexpr double rad = std::numbers::pi / 180;
  const double dlat = (lat2 - lat1) * rad, dlon = (lon2 - lon1) * rad;
  const double h = std::sin(dlat / 2) * std::sin(dlat / 2) +
                   std::cos(lat1 * rad) * std::cos(lat2 * rad) * std::sin(dlon / 2) * std::sin(dlon / 2);
  return 2 * 6371.0 * std::asin(std::min(1.0, std::sqrt(h)));
}

double HypocentralDistanceKm(const StrongRecord& rec) {
  const double epi = EpicentralDistanceKm(rec), depth = rec.Source.EventDepthKm;
  if (!std::isfinite(epi) || !std::isfinite(depth)) return kUnknown;
  return std::hypot(epi, depth);
}

double EpicentreToStationAzimuth(const StrongRecord& rec) {
  double lat1, lon1, lat2, lon2;
  if (!EventAndSite(rec, lat1, lon1, lat2, lon2)) return kUnknown;
  constexpr double rad = std::numbers::pi / 180;
  const double dlon = (lon2 - lon1) * rad;
  const double y = std::sin(dlon) * std::cos(lat2 * rad);
  const double x = std::cos(lat1 * rad) * std::sin(lat2 * rad) - std::sin(lat1 * rad) * std::cos(lat2 * rad) * std::cos(dlon);
  if (std::fabs(x) < 1e-12 && std::fabs(y) < 1e-12) return kUnknown;
  const double az = std::atan2(y, x) / rad;
  return az < 0 ? az + 360 : az;
}

void OrientByLabel(ChannelSource& c) {
  std::string l = Upper(Trim(c.Code.empty() ? c.Label : c.Code));
  // KiK-net's "(B)" and "(S)", borehole and surface.
  if (const std::size_t paren = l.find('('); paren != std::string::npos) l = Trim(l.substr(0, paren));
  auto set = [&](double az, double dip) {
    if (!std::isfinite(c.Azimuth)) c.Azimuth = az;
    if (!std::isfinite(c.Dip)) c.Dip = dip;
  };
  if (l == "N-S" || l == "NS" || l == "N" || l == "NORTH" || l == "L") return set(0, 0);
  if (l == "E-W" || l == "EW" || l == "E" || l == "EAST" || l == "T") return set(90, 0);
  if (l == "U-D" || l == "UD" || l == "U" || l == "V" || l == "Z" || l == "UP" || l == "VERT")
    return set(0, -90);
  // SEED codes: band, instrument, orientation.
  if (l.size() == 3 && std::isalpha(static_cast<unsigned char>(l[0])) &&
      (l[1] == 'N' || l[1] == 'L' || l[1] == 'G')) {
    if (l[2] == 'N') return set(0, 0);
    if (l[2] == 'E') return set(90, 0);
    if (l[2] == 'Z') return set(0, -90);
    return;
  }
  // Bearings: N30E, S45W, N00W, S90E.
  if (l.size() >= 3 && (l[0] == 'N' || l[0] == 'S') && (l.back() == 'E' || l.back() == 'W')) {
    const std::string deg = l.substr(1, l.size() - 2);
    if (!IsNumeric(deg)) return;
    const double a = ToDouble(deg);
    if (!(a >= 0 && a <= 90)) return;
    double az = l[0] == 'N' ? (l.back() == 'E' ? a : 360 - a) : (l.back() == 'E' ? 180 - a : 180 + a);
    if (az >= 360) az -= 360;
    set(az, 0);
  }
}

void CompleteChannelSources(StrongRecord& rec) {
  std::vector<ChannelSource> all;
  for (int32_t ch = 1; ch <= rec.ChanCount; ++ch) {
    const ChannelSource* known = rec.Source.Channel(rec.Label(ch));
    ChannelSource c = known ? *known : ChannelSource{};
    c.Label = rec.Label(ch);
    OrientByLabel(c);
    all.push_back(std::move(c));
  }
  rec.Source.Channels = std::move(all);
}

}  // namespace sism
