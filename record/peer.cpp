// PEER AT2: four header lines, then one channel of samples, 5 values of 15 columns a line.
//
// Line 2 comes in two shapes: "EVENT mm/dd/yy hhmm, STATION, COMP" (older files) and
// "Event, mm/dd/yyyy, Station, Comp" (NGA-West2). The date is in the first field holding
// a "/", the station and component in the two fields after it. Line 4 is either the older
// "count step" in fixed columns or "NPTS=  7999, DT=   .0050 SEC," whose blanks vary, so
// that form is read by its keywords.
#include <cctype>
#include <vector>

#include "common/errors.h"
#include "common/files.h"
#include "common/path.h"
#include "common/text.h"
#include "record/fixed_text.h"
#include "record/gravity.h"
#include "record/reader.h"
#include "record/readers.h"

namespace sism {

namespace {

bool IsDigit(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// The number following `key` (blanks allowed around "="); raises 13 when absent.
double NumberAfter(const std::string& line, const std::string& key) {
  std::string up = UCase(line);
  std::size_t k = up.find(key);
  if (k == std::string::npos) Raise(ErrTypeMismatch);
  std::size_t i = k + key.size();
  while (i < up.size() && up[i] == ' ') ++i;
  if (i < up.size() && up[i] == '=') ++i;
  while (i < up.size() && up[i] == ' ') ++i;
  std::size_t e = i;
  while (e < up.size() && (IsDigit(up[e]) || up[e] == '.' || up[e] == '-' || up[e] == '+' || up[e] == 'E'))
    ++e;
  return ToDouble(up.substr(i, e - i));
}

// Digits ending just before 0-based `end` (at most `max` of them).
std::string DigitsBefore(const std::string& s, std::size_t end, std::size_t max) {
  std::size_t b = end;
  while (b > 0 && end - b < max && IsDigit(s[b - 1])) --b;
  return s.substr(b, end - b);
}

std::string DigitsFrom(const std::string& s, std::size_t from, std::size_t max) {
  std::size_t e = from;
  while (e < s.size() && e - from < max && IsDigit(s[e])) ++e;
  return from < s.size() ? s.substr(from, e - from) : std::string();
}

// Date "mm/dd/yy[yy]" and an optional "hhmm" after it; a two-digit year before 30 is in
// the 2000s.
void TakeDate(const std::string& field, StrongRecord& rec) {
  std::size_t p = field.find('/');
  std::string month = DigitsBefore(field, p, 2);
  std::string day = DigitsFrom(field, p + 1, 2);
  std::size_t q = p + 1 + day.size();
  std::string yearText = q < field.size() && field[q] == '/' ? DigitsFrom(field, q + 1, 4) : std::string();
  if (month.empty() || day.empty() || (yearText.size() != 2 && yearText.size() != 4)) return;
  int32_t year = ToLong(yearText);
  if (yearText.size() == 2) {
    year += 1900;
    if (year < 1930) year += 100;
  }
  std::string clock = Trim(field.substr(q + 1 + yearText.size()));
  double hour = 0, minute = 0;
  if (clock.size() >= 4) {
    hour = Val(Left(clock, 2));
    minute = Val(Mid(clock, 3, 2));
  }
  rec.RecDate = FormatNumber(year, "0000") + "/" + FormatNumber(ToLong(month), "00") + "/" +
                FormatNumber(ToLong(day), "00");
  rec.RecTime = FormatNumber(WholePart(hour), "00") + ":" + FormatNumber(WholePart(minute), "00");
}

void TakeHeaderTexts(const std::string& line, StrongRecord& rec) {
  std::vector<std::string> fields = Split(line, ",");
  std::size_t d = 0;
  while (d < fields.size() && fields[d].find('/') == std::string::npos) ++d;
  if (d < fields.size())
    TakeDate(fields[d], rec);
  else
    d = 0;  // no date: the older layout's positions
  rec.SiteName = fields.size() > d + 1 ? Trim(fields[d + 1]) : "unknown";
  if (fields.size() > d + 2) {
    std::string comp = Trim(fields[d + 2]);
    rec.Label(1) = comp.substr(0, comp.find(' '));
  } else {
    rec.Label(1) = "CH00";
  }
}

}  // namespace

ReadOutcome ReadPeer(const std::string& path, StrongRecord& rec, ReadQuestions&) {
  return TrapTextReadErrors(path, "ReadPeer", [&](TextFile& in) {
    std::string l1, l2, l3;
    bool readable = in.TryReadLine(l1) && StartsWith(l1, "PEER") && in.TryReadLine(l2) &&
                    in.TryReadLine(l3) && StartsWith(l3, "ACCE");
    if (!readable) throw InvalidRecordFile(path + " is not a readable PEER file.");
    double factor = l3.find("UNITS OF G") != std::string::npos ? kStandardGravity : 1.0;
    std::string l4 = in.ReadLine();
    int32_t count;
    double step;
    if (StartsWith(l4, "NPTS")) {
      count = RoundToLong(NumberAfter(l4, "NPTS"));
      step = NumberAfter(l4, "DT");
    } else {
      count = ToLong(Mid(l4, 1, 6));
      step = ToSingle(Mid(l4, 7, 8));
    }
    rec.SampFreq = RateFromInterval(static_cast<float>(step));
    if (count < 1) Raise(ErrInputPastEnd);
    CheckCountFits(in, count);
    rec.ChanCount = 1;
    rec.RedimHeader(1);
    rec.Offset(1) = 0;
    rec.Coef(1) = 1;
    rec.DataCount = count;
    rec.RedimAcc(count, 1);
    ReadFixedValues(in, {5, 15}, count, factor, rec.Channel(1), count, "");
    TakeHeaderTexts(l2, rec);
    rec.SiteCode = UCase(SplitPath(path).name);
    ComputePeaks(rec);
    return true;
  });
}

}  // namespace sism
