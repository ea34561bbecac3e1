// University of Southern California accelerogram text, one component a file: 25 text
// lines (columns 73 on of lines 3 to 14 hold their lengths), integer and real header
// blocks, then for each of acceleration, velocity and displacement a line
// "1887 POINTS OF ACC DATA EQUALLY SPACED AT .020 SEC. IN UNITS CM/SEC/SEC" and the
// values, eight of 10 columns a line. Only the acceleration is read. Volume 1 files
// (uncorrected film data) go to ReadUscVolume1Set.
#include <cmath>
#include <string>
#include <vector>

#include "common/errors.h"
#include "common/files.h"
#include "common/text.h"
#include "record/fixed_text.h"
#include "record/gravity.h"
#include "record/reader.h"
#include "record/readers.h"
#include "record/text_header.h"
#include "record/usc_volume1.h"

namespace sism {

namespace {

constexpr int kTextLines = 25;
constexpr std::size_t kTextWidth = 72;
constexpr FieldLayout kData{8, 10};

// Text of a header line without the length written after it.
std::string TextPart(const std::string& line) {
  return Trim(Left(line, kTextWidth));
}

// The first number after `key`; raises 13 when the key or the number is missing.
double NumberAfter(const std::string& line, const std::string& key) {
  std::size_t k = line.find(key);
  if (k == std::string::npos) Raise(ErrTypeMismatch);
  std::vector<std::string> w = Words(line.substr(k + key.size()));
  if (w.empty()) Raise(ErrTypeMismatch);
  return ToDouble(w[0]);
}

// The factor to cm/s/s, standard gravity to the g; 0 for units that are no acceleration's.
double UnitsFactor(const std::string& units) {
  return UCase(units) == "G/10" ? kStandardGravity / 10 : AccelerationFactor(units);
}

// Degrees, minutes and seconds from three words, the last ending in its hemisphere.
bool Degrees(const std::vector<std::string>& w, std::size_t at, const char* hemispheres, std::string& out) {
  if (at + 3 > w.size() || w[at + 2].size() < 2) return false;
  std::string sec = w[at + 2].substr(0, w[at + 2].size() - 1);
  char h = w[at + 2].back();
  if (!IsNumeric(w[at]) || !IsNumeric(w[at + 1]) || !IsNumeric(sec)) return false;
  if (h != hemispheres[0] && h != hemispheres[1]) return false;
  double v = ToDouble(w[at]) + ToDouble(w[at + 1]) / 60 + ToDouble(sec) / 3600;
  out = FormatNumber(h == hemispheres[1] ? -v : v, "0.0000");
  return true;
}

}  // namespace

// "JAN 17, 1994 -1230 GMT": the event's date and minute, the only time the file gives.
void UscTakeDate(const std::string& line, StrongRecord& rec) {
  static const char* const months[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                       "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
  std::vector<std::string> w = Words(ReplaceAll(UCase(TextPart(line)), ",", " "));
  if (w.size() < 4) return;
  int month = 0;
  for (int m = 0; m < 12; ++m)
    if (StartsWith(w[0], months[m])) month = m + 1;
  std::string clock = w[3][0] == '-' ? w[3].substr(1) : w[3];
  if (month == 0 || !IsNumeric(w[1]) || !IsNumeric(w[2]) || clock.size() != 4 || !IsNumeric(clock)) return;
  rec.RecDate = FormatNumber(WholePart(Val(w[2])), "0000") + "/" + FormatNumber(month, "00") + "/" +
                FormatNumber(WholePart(Val(w[1])), "00");
  rec.RecTime = clock.substr(0, 2) + ":" + clock.substr(2, 2) + ":00";
}

// "STATION USC# 0061   34 17 11N, 118 13 31W": code and position.
void UscTakeStation(const std::string& line, StrongRecord& rec) {
  std::vector<std::string> w = Words(ReplaceAll(UCase(TextPart(line)), ",", " "));
  std::size_t code = 0;
  while (code < w.size() && w[code] != "USC#") ++code;
  if (++code >= w.size()) return;
  rec.SiteCode = w[code];
  std::string lat, lon;
  if (Degrees(w, code + 1, "NS", lat) && Degrees(w, code + 4, "EW", lon)) {
    rec.SiteLat = lat;
    rec.SiteLong = lon;
  }
}

ReadOutcome ReadUsc(const std::string& path, StrongRecord& rec, ReadQuestions& ask) {
  return TrapTextReadErrors(path, "ReadUsc", [&](TextFile& in) {
    if (IsUscVolume1(in.Contents())) return ReadUscVolume1Set(path, in.Contents(), rec, ask);
    std::vector<std::string> h;
    for (int i = 0; i < kTextLines; ++i) h.push_back(in.ReadLine());
    if (UCase(h[0]).find("ACCELEROGRAM") == std::string::npos ||
        UCase(h[5]).find("USC#") == std::string::npos)
      throw InvalidRecordFile(path + " is invalid USC file.");
    std::string line;
    do {
      if (!in.TryReadLine(line)) throw InvalidRecordFile(path + " is invalid USC file.");
    } while (UCase(line).find("POINTS OF ACC DATA") == std::string::npos);
    std::string up = UCase(line);
    int32_t count = ToLong(Words(up).at(0));
    rec.SampFreq = RateFromInterval(NumberAfter(up, "SPACED AT"));
    std::size_t at = up.find("IN UNITS");
    std::vector<std::string> units = Words(at == std::string::npos ? std::string() : line.substr(at + 8));
    double factor = units.empty() ? 0 : UnitsFactor(units[0]);
    if (factor == 0)
      throw InvalidRecordFile(path + " gives its samples in \"" + (units.empty() ? "" : units[0]) +
                              "\", not as an acceleration.");
    if (count < 1) Raise(ErrInputPastEnd);
    CheckCountFits(in, count);
    rec.StartChannels(1);
    rec.DataCount = count;
    rec.RedimAcc(count, 1);
    ReadFixedValues(in, kData, count, factor, rec.Channel(1), count, "");

    UscTakeDate(h[3], rec);
    UscTakeStation(h[5], rec);
    rec.SiteName = TextPart(h[6]);
    std::string comp = TextPart(h[7]);
    rec.Label(1) = StartsWith(comp, "COMP") ? Trim(comp.substr(4)) : comp;
    ComputePeaks(rec);
    return true;
  });
}

}  // namespace sism
