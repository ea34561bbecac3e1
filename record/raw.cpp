// CSMIP-style accelerogram text (".RAW", and ".V1"/".V2" of the same family): one block
// per channel, each a header of text, integer (16 of 5 columns) and real (8 of 10 columns)
// lines, the samples, and a "/&" end line. Three layouts, told apart by line 1.
//
// Layout C ("UNCORRECTED ACCELEROGRAM DATA", units "SEC AND G/10") comes from digitised
// analogue film: every data line holds five pairs of time and acceleration, and the times
// are not evenly spaced. The accelerations (g/10, to cm/s/s) are resampled linearly onto a
// uniform grid of round(points / duration) Hz starting at time 0, DataCount steps. Files of
// the same layout from digital instruments hold equally spaced samples instead, announced
// after the header by a line such as
//   "12001 POINTS OF ACCEL DATA EQUALLY SPACED AT .005 SEC. (UNITS: G)".
#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "common/errors.h"
#include "common/files.h"
#include "common/text.h"
#include "record/fixed_text.h"
#include "record/gravity.h"
#include "record/reader.h"
#include "record/readers.h"
#include "record/resample.h"

namespace sism {

namespace {

constexpr const char* kEndTag = "/&";

struct Layout {
  int textLines;
  int intLines;
  int realLines;
  int commentLines;
  int dateLine;
  FieldLayout data;
  double factor;
  int labelWidth;
  bool pairs;
  bool intervalLine;  // count on line 16 and interval on line 17, else both on line 11
};

constexpr Layout kLayoutA{13, 7, 7, 1, 3, {8, 9}, kStandardGravity, 4, false, false};
constexpr Layout kLayoutB{25, 7, 13, 1, 4, {8, 10}, 1.0, 5, false, true};
constexpr Layout kLayoutC{13, 7, 7, 0, 3, {10, 7}, kStandardGravity / 10, 4, true, false};

// Header lines of one block, numbered from 1.
class Header {
 public:
  Header(TextFile& in, const Layout& l) {
    int n = l.textLines + l.intLines + l.realLines + l.commentLines;
    for (int i = 0; i < n; ++i) lines_.push_back(in.ReadLine());
  }
  const std::string& Line(int n) const { return lines_.at(static_cast<std::size_t>(n - 1)); }

 private:
  std::vector<std::string> lines_;
};

bool IsDigits(const std::string& s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string DateText(double year, double month, double day) {
  return FormatNumber(WholePart(year), "0000") + "/" + FormatNumber(WholePart(month), "00") + "/" +
         FormatNumber(WholePart(day), "00");
}

// "hh:nn:ss"; fractional seconds round to the nearest, carrying into the minute.
void SetClock(StrongRecord& rec, double hour, double minute, double second) {
  int32_t s = WholePart(RoundHalfEven(second));
  rec.RecTime = FormatNumber(WholePart(hour), "00") + ":" + FormatNumber(WholePart(minute), "00") + ":" +
                FormatNumber(s >= 60 ? 0 : s, "00");
  if (s >= 60) NormalizeDateTime(rec.RecDate, rec.RecTime, s);
}

// Form 1: "mm/dd/yyyy hh:nn:ss" at the start of the line.
bool TakeDateForm1(const std::string& line, StrongRecord& rec) {
  std::string month = Mid(line, 1, 2), day = Mid(line, 4, 2), year = Mid(line, 7, 4);
  char s1 = line.size() > 2 ? line[2] : ' ', s2 = line.size() > 5 ? line[5] : ' ';
  bool sep = (s1 == '/' || s1 == '-') && s1 == s2;
  if (!sep || !IsDigits(Trim(month)) || !IsDigits(Trim(day)) || !IsDigits(year)) return false;
  double m = Val(month), d = Val(day);
  if (m < 1 || m > 12 || d < 1 || d > 31) return false;
  rec.RecDate = DateText(Val(year), m, d);
  SetClock(rec, Val(Mid(line, 12, 2)), Val(Mid(line, 15, 2)), Val(Mid(line, 18, 2)));
  return true;
}

// The blank-delimited word around 0-based position p.
std::string WordAt(const std::string& line, std::size_t p, std::size_t& start) {
  std::size_t b = line.rfind(' ', p);
  start = b == std::string::npos ? 0 : b + 1;
  std::size_t e = line.find(' ', p);
  return line.substr(start, (e == std::string::npos ? line.size() : e) - start);
}

// Form 2: "... 2/13/12, 21:06:45.0 ..." anywhere on the line.
void TakeDateForm2(const std::string& line, StrongRecord& rec) {
  std::size_t slash = line.find('/');
  if (slash == std::string::npos) return;
  std::size_t start = 0;
  std::string word = WordAt(line, slash, start);
  if (EndsWith(word, ",")) word.pop_back();
  std::vector<std::string> date = Split(word, "/");
  if (date.size() == 3) {
    double year = Val(date[2]);
    if (year < 30)
      year += 2000;
    else if (year < 100)
      year += 1900;
    rec.RecDate = DateText(year, Val(date[0]), Val(date[1]));
  }
  std::size_t colon = line.find(':', start);
  if (colon == std::string::npos) return;
  std::vector<std::string> clock = Split(WordAt(line, colon, start), ":");
  if (clock.size() == 3) SetClock(rec, Val(clock[0]), Val(clock[1]), Val(clock[2]));
}

// Form 3, of film records: "JUNE 28, 1992 08:05 PDT" at the start of the date line, the minute
// of the trigger in the zone named; used when the other two forms give no date.
bool TakeDateForm3(const std::string& line, StrongRecord& rec) {
  static const char* const months[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                       "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
  static const std::pair<const char*, const char*> zones[] = {
      {"UTC", "Z"},         {"GMT", "Z"},         {"PST", "-08:00"}, {"PDT", "-07:00"}, {"MST", "-07:00"},
      {"MDT", "-06:00"},    {"CST", "-06:00"},    {"CDT", "-05:00"}, {"EST", "-05:00"}, {"EDT", "-04:00"},
      {"AKST", "-09:00"},   {"HST", "-10:00"}};
  const std::vector<std::string> w = Words(ReplaceAll(UCase(line), ",", " "));
  if (w.size() < 4 || w[0].size() < 3) return false;
  int month = 0;
  for (int m = 0; m < 12; ++m)
    if (StartsWith(w[0], months[m])) month = m + 1;
  const std::vector<std::string> clock = Split(w[3], ":");
  if (month == 0 || !IsDigits(w[1]) || !IsDigits(w[2]) || w[2].size() != 4 || clock.size() < 2 ||
      clock.size() > 3 || !std::all_of(clock.begin(), clock.end(), IsDigits))
    return false;
  const double day = Val(w[1]), hour = Val(clock[0]), minute = Val(clock[1]);
  if (day < 1 || day > 31 || hour > 23 || minute > 59) return false;
  rec.RecDate = DateText(Val(w[2]), month, day);
  SetClock(rec, hour, minute, clock.size() == 3 ? Val(clock[2]) : 0);
  if (w.size() > 4)
    for (const auto& [name, offset] : zones)
      if (w[4] == name) rec.Source.TimeZone = offset;
  return true;
}

// Points of the block and, for the first channel, the sampling rate.
int32_t BlockPoints(const Header& h, const Layout& l, int32_t* sampFreq) {
  if (l.intervalLine) {
    int32_t points = ToLong(Mid(h.Line(16), 1, 6));
    if (sampFreq) *sampFreq = RateFromInterval(ToSingle(Mid(h.Line(17), 31, 8)));
    return points;
  }
  int32_t points = ToLong(Mid(h.Line(11), 17, 6));
  if (sampFreq) {
    *sampFreq = EvenRate(points, ToSingle(Mid(h.Line(11), 40, 7)));
  }
  return points;
}

void ReadPairs(TextFile& in, const Layout& l, int32_t points, StrongRecord& rec, int32_t ch) {
  CheckCountFits(in, 2 * static_cast<int64_t>(points));
  std::vector<float> fields(static_cast<std::size_t>(points) * 2);
  ReadFixedValues(in, l.data, points * 2, 1.0f, fields.data(), points * 2, kEndTag);
  std::vector<float> times(static_cast<std::size_t>(points)), values(static_cast<std::size_t>(points));
  for (std::size_t k = 0; k < times.size(); ++k) {
    times[k] = fields[2 * k];
    values[k] = static_cast<float>(fields[2 * k + 1] * l.factor);
  }
  ResampleLinear(times, values, rec.SampFreq, rec.Channel(ch), rec.DataCount);
}

// ---- Layout C from digital instruments ----

constexpr std::string_view kEvenlySpaced = "POINTS OF ACCEL DATA EQUALLY SPACED AT";

struct EvenSamples {
  int32_t points = 0;
  double interval = 0;
  double factor = 1;
};

// The line at the cursor, leaving the cursor where it is.
std::string LineAhead(const TextFile& in) {
  const std::string& text = in.Contents();
  std::size_t from = std::min(in.Position(), text.size());
  std::size_t end = text.find_first_of("\r\n", from);
  return text.substr(from, end == std::string::npos ? std::string::npos : end - from);
}

bool AnnouncesEvenSamples(const std::string& line) {
  return UCase(line).find(kEvenlySpaced) != std::string::npos;
}

// Multiplier to cm/s/s of the unit named in "(UNITS: ...)".
double UnitFactor(const std::string& path, const std::string& line) {
  std::string upper = UCase(line);
  std::size_t at = upper.find("UNITS:");
  if (at == std::string::npos)
    throw InvalidRecordFile(path + " does not say in which unit its equally spaced samples are.");
  std::size_t end = upper.find(')', at);
  std::string unit = ReplaceAll(upper.substr(at + 6, end == std::string::npos ? end : end - at - 6), " ", "");
  if (unit == "G") return kStandardGravity;
  if (unit == "G/10") return kStandardGravity / 10;
  if (unit == "CM/SEC/SEC" || unit == "CM/SEC2" || unit == "CM/S/S" || unit == "CM/S2" || unit == "GAL")
    return 1;
  throw InvalidRecordFile(path + " gives its samples in \"" + unit +
                          "\", a unit the program does not read (G, G/10 or CM/SEC/SEC).");
}

EvenSamples ParseEvenSamples(const std::string& path, const std::string& line) {
  EvenSamples s;
  std::string first = Trim(line);
  s.points = ToLong(first.substr(0, first.find(' ')));
  s.interval = Val(line.substr(UCase(line).find(kEvenlySpaced) + kEvenlySpaced.size()));
  s.factor = UnitFactor(path, line);
  return s;
}

// `count` numbers separated by blanks from the next lines, each times `factor`; the first
// `keep` go to `out`. Raises 62 when the block ends first and 13 for a field that is no number.
void ReadSpacedValues(TextFile& in, int32_t count, double factor, float* out, int32_t keep) {
  CheckCountFits(in, count);
  int32_t done = 0;
  std::string line;
  while (done < count) {
    if (!in.TryReadLine(line) || StartsWith(line, kEndTag)) Raise(ErrInputPastEnd);
    for (std::size_t i = line.find_first_not_of(" \t"); i != std::string::npos && done < count;
         i = line.find_first_not_of(" \t", i)) {
      std::size_t end = line.find_first_of(" \t", i);
      float v =
          static_cast<float>(ToSingle(line.substr(i, end == std::string::npos ? end : end - i)) * factor);
      if (done < keep) out[done] = v;
      ++done;
      i = end;
    }
  }
}

}  // namespace

ReadOutcome ReadRaw(const std::string& path, StrongRecord& rec, ReadQuestions& ask) {
  return TrapTextReadErrors(path, "ReadRaw", [&](TextFile& file) {
    const std::string& text = file.Contents();
    std::string kind = Left(file.ReadLine(), 4);
    const Layout* layout = nullptr;
    if (kind == "Unco")
      layout = &kLayoutA;
    else if (kind == "Corr" || kind == "CORR")
      layout = &kLayoutB;
    else if (kind == "UNCO")
      layout = &kLayoutC;
    if (!layout) throw InvalidRecordFile(path + " is invalid RAW file.");
    const Layout& l = *layout;
    int32_t chans = std::max(CountLinesBeginning(text, kEndTag), 1);
    rec.StartChannels(chans);

    TextFile in = TextFile::FromText(text);
    std::string dateLine, dateLine2;
    for (int32_t ch = 1; ch <= chans; ++ch) {
      ask.Yield();
      Header h(in, l);
      int32_t points = 0;
      const bool even = l.pairs && AnnouncesEvenSamples(LineAhead(in));
      EvenSamples spaced;
      if (even) {
        spaced = ParseEvenSamples(path, in.ReadLine());
        points = spaced.points;
        if (ch == 1) rec.SampFreq = RateFromInterval(spaced.interval);
      }
      if (ch == 1) {
        if (!even) points = BlockPoints(h, l, &rec.SampFreq);
        rec.DataCount = points;
        if (points < 1 || static_cast<int64_t>(points) * chans > static_cast<int64_t>(text.size()))
          Raise(ErrInputPastEnd);
        rec.RedimAcc(points, chans);
        dateLine = h.Line(l.dateLine);
        dateLine2 = h.Line(l.dateLine + 1);
        rec.SiteCode = Trim(Mid(h.Line(l.dateLine + 2), 13, 5));
        rec.SiteName = Trim(h.Line(l.dateLine + 3));
      } else if (!even) {
        points = BlockPoints(h, l, nullptr);
      }
      rec.Label(ch) = Trim(Mid(h.Line(l.dateLine + 4), 10, static_cast<std::size_t>(l.labelWidth)));
      if (even)
        ReadSpacedValues(in, points, spaced.factor, rec.Channel(ch), std::min(points, rec.DataCount));
      else if (l.pairs)
        ReadPairs(in, l, points, rec, ch);
      else
        ReadFixedValues(in, l.data, points, l.factor, rec.Channel(ch), std::min(points, rec.DataCount),
                        kEndTag);
      SkipPastEndLine(in, kEndTag);
    }
    if (!TakeDateForm1(dateLine, rec)) TakeDateForm2(dateLine2, rec);
    if (rec.RecDate.empty()) TakeDateForm3(dateLine, rec);
    ComputePeaks(rec);
    return true;
  });
}

}  // namespace sism
