// K-NET and KiK-net ASCII records: one file per component, the whole set read at once.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "common/errors.h"
#include "common/files.h"
#include "common/path.h"
#include "common/text.h"
#include "record/reader.h"
#include "record/readers.h"
#include "record/record_source.h"
#include "record/sibling.h"

namespace sism {

namespace {

enum class KnetSet { Numbered, Knet, Kiknet };

constexpr std::size_t kValueColumn = 19;  // header values start here (1-based)
constexpr std::size_t kFirstDataLine = 17;
constexpr int kValuesPerLine = 8;
constexpr std::size_t kFieldWidth = 9;

std::vector<std::string> ReadLines(const std::string& path) {
  TextFile file(path);
  std::vector<std::string> lines;
  std::string line;
  while (file.TryReadLine(line)) lines.push_back(line);
  return lines;
}

// Runs `body`, placing an error it raises at line n + 1 of the file.
template <typename Body>
auto AtLine(std::size_t n, Body&& body) {
  try {
    return body();
  } catch (RuntimeError& e) {
    e.SetPlace("line " + std::to_string(n + 1));
    throw;
  }
}

const std::string& HeaderLine(const std::vector<std::string>& lines, std::size_t n) {
  if (n >= lines.size())
    throw RuntimeError(ErrInputPastEnd, ErrorDescription(ErrInputPastEnd),
                       "at line " + std::to_string(n + 1) + ": the file ends after " + std::to_string(lines.size()) +
                           " lines of its header");
  return lines[n];
}

std::string HeaderValue(const std::vector<std::string>& lines, std::size_t n) {
  return Mid(HeaderLine(lines, n), kValueColumn);
}

// "3920(gal)/6182761": counts to cm/s/s.
double ScaleFactor(const std::string& text) {
  std::string::size_type paren = text.find('(');
  std::string::size_type slash = text.find('/');
  if (paren == std::string::npos || slash == std::string::npos) Raise(ErrTypeMismatch);
  double numerator = ToDouble(text.substr(0, paren));
  double denominator = ToDouble(text.substr(slash + 1));
  if (denominator == 0) Raise(ErrDivisionByZero);
  return numerator / denominator;
}

std::string Relabel(KnetSet set, const std::string& dir) {
  static const char* const numbered[] = {"N-S", "E-W", "U-D"};
  static const char* const kiknet[] = {"N-S(B)", "E-W(B)", "U-D(B)", "N-S(S)", "E-W(S)", "U-D(S)"};
  if (dir.size() == 1 && dir[0] >= '1') {
    int n = dir[0] - '0';
    if (set == KnetSet::Numbered && n <= 3) return numbered[n - 1];
    if (set == KnetSet::Kiknet && n <= 6) return kiknet[n - 1];
  }
  return dir;
}

// The hypocentre and magnitude of the header's first lines; the network's times are
// Japan Standard Time and its magnitudes JMA's.
void TakeEvent(const std::vector<std::string>& lines, RecordSource& s) {
  s.TimeZone = "+09:00";
  s.Network = "BO";
  const std::string origin = Trim(HeaderValue(lines, 0));
  s.OriginTime = IsoTimeOf(Mid(origin, 1, 10), Mid(origin, 12), s.TimeZone);
  s.EventLat = NumberOf(HeaderValue(lines, 1));
  s.EventLon = NumberOf(HeaderValue(lines, 2));
  s.EventDepthKm = NumberOf(HeaderValue(lines, 3));
  s.Magnitude = NumberOf(HeaderValue(lines, 4));
  if (std::isfinite(s.Magnitude)) s.MagnitudeType = "Mj";
  s.StationElevationM = NumberOf(HeaderValue(lines, 8));
}

}  // namespace

ReadOutcome ReadKNET(const std::string& path, StrongRecord& rec, ReadQuestions& ask) {
  return TrapReadErrors(path, "ReadKNET", [&] {
    PathParts parts = SplitPath(path);
    std::string base = parts.folder + parts.name;
    std::string ext = LCase(parts.ext);
    KnetSet set;
    std::vector<std::string> exts;
    if (ext == ".1" || ext == ".2" || ext == ".3") {
      set = KnetSet::Numbered;
      exts = {".1", ".2", ".3"};
    } else if (ext == ".ns" || ext == ".ew" || ext == ".ud") {
      set = KnetSet::Knet;
      exts = {".ns", ".ew", ".ud"};
    } else if (ext == ".ns1" || ext == ".ew1" || ext == ".ud1" || ext == ".ns2" || ext == ".ew2" ||
               ext == ".ud2") {
      set = KnetSet::Kiknet;
      exts = {".ns1", ".ew1", ".ud1", ".ns2", ".ew2", ".ud2"};
    } else {
      return false;
    }

    const int32_t sets = static_cast<int32_t>(exts.size());
    rec.ChanCount = sets;
    rec.RedimHeader(sets);
    for (int32_t ch = 1; ch <= sets; ++ch) rec.Coef(ch) = 1;

    int32_t k = 0;
    for (const std::string& siblingExt : exts) {
      std::string file = FindSibling(base, siblingExt, parts.ext);
      if (file.empty()) continue;  // a missing component leaves no gap
      std::vector<std::string> lines = ReadLines(file);
      ++k;
      ask.Yield();

      if (k == 1) {
        rec.SiteCode = Trim(HeaderValue(lines, 5));
        rec.SiteLat = Trim(HeaderValue(lines, 6));
        rec.SiteLong = Trim(HeaderValue(lines, 7));
        const std::string& timeLine = HeaderLine(lines, 9);
        rec.RecDate = Mid(timeLine, kValueColumn, 10);
        rec.RecTime = Mid(timeLine, 30, 8);
        TakeEvent(lines, rec.Source);
        // "100Hz": the number, whatever follows it.
        rec.SampFreq = static_cast<int32_t>(Val(Mid(HeaderLine(lines, 10), kValueColumn, 3)));
        double duration = AtLine(11, [&] { return ToSingle(HeaderValue(lines, 11)); });
        double steps = RoundHalfEven(duration * rec.SampFreq);
        if (!(steps > 0)) steps = 0;  // negative or not a number
        // Whole data lines only.
        int64_t count = steps > 1e15 ? std::numeric_limits<int64_t>::max()
                                     : static_cast<int64_t>(steps) / kValuesPerLine * kValuesPerLine;
        // A duration that promises more values than the data lines hold is a truncated file;
        // a line holds one value per field it reaches into, so blank lines hold none.
        int64_t available = 0;
        for (std::size_t n = kFirstDataLine; n < lines.size(); ++n)
          available += std::min<int64_t>(kValuesPerLine, (lines[n].size() + kFieldWidth - 1) / kFieldWidth);
        if (count > available)
          throw RuntimeError(ErrInputPastEnd, ErrorDescription(ErrInputPastEnd),
                             "at line " + std::to_string(lines.size() + 1) + ": the duration gives " +
                                 std::to_string(count) + " values, the data lines hold " + std::to_string(available));
        rec.DataCount = static_cast<int32_t>(count);
        if (rec.DataCount >= 1 && rec.SampFreq >= 1) rec.RedimAcc(rec.DataCount, sets);
      }

      rec.Label(k) = Trim(HeaderValue(lines, 12));
      double factor = AtLine(13, [&] { return ScaleFactor(HeaderValue(lines, 13)); });
      rec.Peak(k) = AtLine(14, [&] { return ToSingle(HeaderValue(lines, 14)); });

      if (rec.DataCount < 1 || rec.SampFreq < 1) throw InvalidRecordFile(file + " has no effective data.");

      float* acc = rec.Channel(k);
      int64_t i = 0;
      for (std::size_t n = kFirstDataLine; i < rec.DataCount; ++n) {
        if (n >= lines.size())
          throw RuntimeError(ErrInputPastEnd, ErrorDescription(ErrInputPastEnd),
                             "at line " + std::to_string(n + 1) + ": the file ends after " + std::to_string(i) +
                                 " of its " + std::to_string(rec.DataCount) + " values");
        const std::string& line = lines[n];
        for (int field = 0; field < kValuesPerLine && i < rec.DataCount; ++field, ++i) {
          std::string text = Mid(line, 1 + field * kFieldWidth, kFieldWidth);
          AtLine(n, [&] {
            if (text.empty()) RaiseFound(ErrInputPastEnd, "field " + std::to_string(field + 1) + " is missing");
            acc[i] = static_cast<float>(ToDouble(text) * factor);
          });
        }
      }
      rec.Coef(k) = static_cast<float>(factor);
      rec.Label(k) = Relabel(set, rec.Label(k));
    }

    if (k == 0) return false;
    if (k < sets) rec.PreserveChannels(k);
    rec.ChanCount = k;
    rec.SiteName = rec.SiteCode + (set == KnetSet::Kiknet ? " in KiK-net" : " in K-NET");
    NormalizeDateTime(rec.RecDate, rec.RecTime, -15);
    ComputePeaks(rec);
    return true;
  });
}

}  // namespace sism
