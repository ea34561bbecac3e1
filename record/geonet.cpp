// GeoNet (New Zealand) volume 1 and 2 accelerograms (.V1A, .V2A): three components in one
// file, each a 16-line text heading, 40 integers (10I8), 60 reals (10F8), then its
// acceleration, and in volume 2 its velocity and displacement, ten values to a line.
#include <cmath>
#include <string>
#include <vector>

#include "common/errors.h"
#include "common/files.h"
#include "common/text.h"
#include "record/fixed_text.h"
#include "record/reader.h"
#include "record/readers.h"
#include "record/record_source.h"
#include "record/text_header.h"

namespace sism {

namespace {

constexpr int kTextLines = 16;
constexpr int kComponents = 3;
constexpr FieldLayout kBlockLayout{10, 8};  // integer, real and data lines alike

struct GeoNetComponent {
  std::vector<std::string> text;
  NumberBlock ints, reals;
  int32_t rate = 0;
  std::vector<float> acc;
};

// Data are in mm/s/s; volume 1 names its reading unit ("Raw readings in units of 1.00 mm/s/s").
double CentimetreFactor(const std::vector<std::string>& text) {
  for (const std::string& line : text) {
    std::size_t at = LCase(line).find("units of ");
    if (at == std::string::npos) continue;
    std::vector<std::string> words = Split(Trim(line.substr(at + 9)), " ");
    if (words.empty() || !IsNumeric(words[0])) continue;
    double unit = words.size() > 1 ? AccelerationFactor(words[1]) : 0;
    return ToDouble(words[0]) * (unit > 0 ? unit : 0.1);
  }
  return 0.1;
}

// Values of a run that is not kept (velocity, displacement) are still read, so a broken
// one is found.
void SkipRun(TextFile& in, int32_t count) {
  if (count > 0) ReadFixedValues(in, kBlockLayout, count, 1, nullptr, 0, {});
}

GeoNetComponent ReadComponent(TextFile& in, const std::string& path) {
  GeoNetComponent c;
  std::string line = in.ReadLine();
  while (Trim(line).empty()) line = in.ReadLine();  // blank lines between components
  c.text.push_back(line);
  for (int i = 1; i < kTextLines; ++i) c.text.push_back(in.ReadLine());
  c.ints.Read(in, 4, kBlockLayout);
  c.reals.Read(in, 6, kBlockLayout);
  const int32_t acc = c.ints.Whole(34), vel = c.ints.Whole(35), disp = c.ints.Whole(36);
  if (vel < 0 || disp < 0) Raise(ErrTypeMismatch);
  c.rate = RateFromInterval(c.reals.Number(26));
  if (acc < 1) throw InvalidRecordFile(path + " has no effective data.");
  CheckCountFits(in, acc);
  c.acc.resize(static_cast<std::size_t>(acc));
  ReadFixedValues(in, kBlockLayout, acc, static_cast<float>(CentimetreFactor(c.text)), c.acc.data(), acc, {});
  SkipRun(in, vel);
  SkipRun(in, disp);
  return c;
}

// "Component N28W  Longitudinal Accelerometer Axis": the word after "Component".
std::string ComponentName(const GeoNetComponent& c, std::size_t index) {
  for (const std::string& line : c.text) {
    if (!StartsWith(line, "Component")) continue;
    std::vector<std::string> words = Split(Trim(line.substr(9)), " ");
    if (!words.empty() && !words[0].empty()) return words[0];
  }
  return "CH" + FormatNumber(static_cast<int32_t>(index + 1), "00");
}

// Degrees, minutes and seconds at integers k..k+2 as decimal degrees; empty when all are 0.
std::string Degrees(const NumberBlock& ints, int32_t k, double sign) {
  double d = ints.Number(k), m = ints.Number(k + 1), s = ints.Number(k + 2);
  if (d == 0 && m == 0 && s == 0) return {};
  return FormatNumber(sign * (d + m / 60 + s / 3600), "0.0000");
}

// The times are universal ("11:02:56 UT"); integers 1-5 the origin, 11-16 the epicentre in
// degrees, minutes and seconds (south), 17 the depth; text line 9 ends in the magnitude.
void TakeEvent(const GeoNetComponent& c, RecordSource& s) {
  if (c.text.size() < 9) return;
  const std::string when = UCase(Trim(c.text[7]));
  if (when.ends_with(" UT") || when.ends_with(" UTC")) s.TimeZone = "Z";
  const NumberBlock& n = c.ints;
  const std::string lat = Degrees(n, 11, -1), lon = Degrees(n, 14, 1);
  if (lat.empty() && lon.empty()) return;
  s.EventLat = NumberOf(lat);
  s.EventLon = NumberOf(lon);
  s.EventDepthKm = n.Number(17);
  s.OriginTime =
      IsoTime(n.Whole(1), n.Whole(2), n.Whole(3), n.Whole(4), n.Whole(5), n.Number(6) / 10.0, s.TimeZone);
  std::vector<std::string> words;
  for (const std::string& w : Split(Trim(c.text[8]), " "))
    if (!w.empty()) words.push_back(w);
  if (words.size() >= 2 && std::isfinite(NumberOf(words.back())) &&
      StartsWith(words[words.size() - 2], "M")) {
    s.Magnitude = NumberOf(words.back());
    s.MagnitudeType = words[words.size() - 2];
  }
  s.Network = "NZ";
}

void TakeRecordValues(const GeoNetComponent& c, StrongRecord& rec) {
  rec.SampFreq = c.rate;
  // Site line: "Site WTMC      42 37 10S  173 03 13E".
  std::vector<std::string> site = Split(Trim(c.text[1]), " ");
  rec.SiteCode = site.size() > 1 && EqualsNoCase(site[0], "Site") ? site[1] : std::string();
  rec.SiteName = Trim(c.text[2]);
  rec.SiteLat = Degrees(c.ints, 21, -1);  // written as degrees south
  rec.SiteLong = Degrees(c.ints, 24, 1);
  // The buffer start; volume 2 prepends samples before it.
  const NumberBlock& n = c.ints;
  double seconds = n.Number(40) / 1000.0 - n.Number(32) / c.rate;
  SetFirstSampleTime(rec, n.Whole(9), n.Whole(10), n.Whole(19), n.Whole(20), n.Whole(39), seconds);
  TakeEvent(c, rec.Source);
}

}  // namespace

ReadOutcome ReadGeoNet(const std::string& path, StrongRecord& rec, ReadQuestions& ask) {
  return TrapTextReadErrors(path, "ReadGeoNet", [&](TextFile& in) {
    std::vector<GeoNetComponent> components;
    for (int i = 0; i < kComponents; ++i) {
      ask.Yield();
      components.push_back(ReadComponent(in, path));
      if (components.back().rate != components.front().rate)
        throw InvalidRecordFile(path + " has components sampled at different rates.");
    }
    std::vector<std::string> names;
    for (std::size_t i = 0; i < components.size(); ++i) names.push_back(ComponentName(components[i], i));
    std::vector<std::vector<float>> channels;
    std::vector<std::string> labels;
    for (int32_t i : HorizontalsFirst(names)) {
      channels.push_back(std::move(components[static_cast<std::size_t>(i)].acc));
      labels.push_back(names[static_cast<std::size_t>(i)]);
    }
    TakeChannels(rec, channels, labels);
    TakeRecordValues(components.front(), rec);
    return true;
  });
}

}  // namespace sism
