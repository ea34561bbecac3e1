// BHRC (Iran) volume 1 text: one block per component, each 13 text lines, 7 lines of
// integers and 7 of reals, the samples, ten of 13 columns a line, and a "/&" end line.
// The points are counted on text line 11 and the rate is points over duration.
#include <string>
#include <utility>
#include <vector>

#include "common/errors.h"
#include "common/files.h"
#include "common/text.h"
#include "record/fixed_text.h"
#include "record/gravity.h"
#include "record/reader.h"
#include "record/readers.h"
#include "record/text_header.h"

namespace sism {

namespace {

constexpr const char* kEndTag = "/&";
constexpr const char* kTag = "* VOL1DS";
constexpr int kTextLines = 13;
constexpr int kNumberLines = 14;  // integer and real header lines, not used
constexpr FieldLayout kData{10, 13};

// The number after `key` and its "=" on the line; raises 13 when either is missing.
double NumberAfter(const std::string& line, const std::string& key) {
  std::size_t k = line.find(key);
  std::size_t eq = k == std::string::npos ? k : line.find('=', k);
  if (eq == std::string::npos) Raise(ErrTypeMismatch);
  std::vector<std::string> w = Words(line.substr(eq + 1));
  if (w.empty()) Raise(ErrTypeMismatch);
  return ToDouble(w[0]);
}

// "UNITS ARE SECONDS AND G/10": the factor to cm/s/s, standard gravity to the g; 0 for units
// that are no acceleration's.
double UnitsFactor(const std::string& units) {
  return UCase(units) == "G/10" ? kStandardGravity / 10 : AccelerationFactor(units);
}

// "Origin Time : 2012/08/11   12:23:16": the only time the file gives.
void TakeDate(const std::string& line, StrongRecord& rec) {
  std::size_t colon = line.find(':');
  if (colon == std::string::npos) return;
  std::vector<std::string> w = Words(line.substr(colon + 1));
  if (w.size() < 2) return;
  std::vector<std::string> d = Split(w[0], "/"), t = Split(w[1], ":");
  if (d.size() != 3 || t.size() != 3) return;
  for (const std::string& x : {d[0], d[1], d[2], t[0], t[1], t[2]})
    if (!IsNumeric(x)) return;
  SetFirstSampleTime(rec, ToLong(d[0]), ToLong(d[1]), ToLong(d[2]), ToLong(t[0]), ToLong(t[1]),
                     ToDouble(t[2]));
}

// "Ahar        Station   38.474 N 47.059 E   Altitude ...": name and position.
void TakeStation(const std::string& line, StrongRecord& rec) {
  std::size_t at = line.find("Station");
  rec.SiteName = Trim(line.substr(0, at));
  rec.SiteCode = rec.SiteName;  // the file names its station but gives no code
  if (at == std::string::npos) return;
  std::vector<std::string> w = Words(line.substr(at + 7));
  if (w.size() < 4 || !IsNumeric(w[0]) || !IsNumeric(w[2])) return;
  if ((w[1] != "N" && w[1] != "S") || (w[3] != "E" && w[3] != "W")) return;
  rec.SiteLat = (w[1] == "S" ? "-" : "") + w[0];
  rec.SiteLong = (w[3] == "W" ? "-" : "") + w[2];
}

}  // namespace

ReadOutcome ReadBhrc(const std::string& path, StrongRecord& rec, ReadQuestions& ask) {
  return TrapTextReadErrors(path, "ReadBhrc", [&](TextFile& in) {
    if (!StartsWith(in.Contents(), kTag)) throw InvalidRecordFile(path + " is invalid BHRC file.");
    std::vector<std::vector<float>> samples;
    std::vector<std::string> labels, letters;
    std::string line;
    while (in.TryReadLine(line)) {
      if (TrimSpace(line).empty()) continue;
      ask.Yield();
      std::vector<std::string> h{line};
      for (int i = 1; i < kTextLines; ++i) h.push_back(in.ReadLine());
      for (int i = 0; i < kNumberLines; ++i) in.ReadLine();
      if (!StartsWith(h[0], kTag)) throw InvalidRecordFile(path + " is invalid BHRC file.");
      int32_t points = RoundToLong(NumberAfter(h[10], "NO. OF POINTS"));
      if (samples.empty()) {
        double duration = NumberAfter(h[10], "DURATION");
        if (!(duration > 0)) Raise(ErrDivisionByZero);
        if (points < 1) Raise(ErrInputPastEnd);
        rec.SampFreq = RoundToLong(points / duration);
        if (rec.SampFreq < 1) Raise(ErrInvalidCall);
        TakeDate(h[2], rec);
        TakeStation(h[7], rec);
      }
      CheckCountFits(in, points);
      samples.emplace_back(static_cast<std::size_t>(points));
      std::vector<std::string> units = Words(h[11]);
      double factor = units.empty() ? 0 : UnitsFactor(units.back());
      if (factor == 0)
        throw InvalidRecordFile(path + " gives its samples in \"" + (units.empty() ? "" : units.back()) +
                                "\", not as an acceleration.");
      ReadFixedValues(in, kData, points, factor, samples.back().data(), points, kEndTag);
      // A block the file was cut in has no end line.
      bool ended = false;
      while (!ended && in.TryReadLine(line)) ended = StartsWith(line, kEndTag);
      if (!ended) Raise(ErrInputPastEnd);
      std::string comp = Trim(h[6]);
      labels.push_back(StartsWith(comp, "COMP") ? Trim(comp.substr(4)) : comp);
      letters.push_back(labels.back().substr(0, 1));
    }
    // Rotation takes channels 1 and 2 as the horizontal pair: the vertical ("V") goes last.
    std::vector<std::vector<float>> channels;
    std::vector<std::string> names;
    for (int32_t k : HorizontalsFirst(letters)) {
      channels.push_back(std::move(samples[static_cast<std::size_t>(k)]));
      names.push_back(labels[static_cast<std::size_t>(k)]);
    }
    TakeChannels(rec, channels, names);
    return true;
  });
}

}  // namespace sism
