// JMA's public strong-motion CSV: six "caption= value" lines, a label line, then one line
// of three comma-separated values in gal per step, as many steps as the file holds:
//   SITE CODE= 9D2<station name in Shift-JIS>   ,<epicentre and magnitude fields>
//    LAT.=   32.5874
//    LON.=  130.4304
//    SAMPLING RATE= 100Hz
//    UNIT  = gal(cm/s/s)
//   INITIAL TIME = 2016 04 16 01 45 50
//    NS,EW,UD
#include <cmath>
#include <string>
#include <vector>

#include "common/files.h"
#include "common/text.h"
#include "record/reader.h"
#include "record/readers.h"

namespace sism {

namespace {

constexpr const char* kSiteCaption = "SITE CODE=";
constexpr std::size_t kCaptionLines = 6;
constexpr double kHighestRate = 100000;

bool IsAsciiAlnum(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Text after the "=" of the caption line starting with `caption` (blanks ignored, any
// case), trimmed; false when no line of the header has it.
bool CaptionValue(const std::vector<std::string>& lines, const std::string& caption, std::string& value) {
  for (std::size_t n = 1; n < kCaptionLines && n < lines.size(); ++n) {
    const std::string& line = lines[n];
    std::string::size_type eq = line.find('=');
    if (eq == std::string::npos) continue;
    if (UCase(ReplaceAll(line.substr(0, eq), " ", "")) != caption) continue;
    value = TrimSpace(line.substr(eq + 1));
    return true;
  }
  return false;
}

// Code: the letters and digits after the caption; name: the rest up to the first comma,
// its bytes kept as written (Shift-JIS).
void TakeSite(const std::string& first, StrongRecord& rec) {
  std::size_t p = std::string(kSiteCaption).size();
  while (p < first.size() && first[p] == ' ') ++p;
  std::size_t start = p;
  while (p < first.size() && IsAsciiAlnum(first[p])) ++p;
  rec.SiteCode = first.substr(start, p - start);
  std::string::size_type comma = first.find(',', p);
  rec.SiteName = Trim(first.substr(p, comma == std::string::npos ? std::string::npos : comma - p));
}

int32_t TakeRate(const std::string& path, const std::string& text) {
  std::string number = text;
  if (EndsWith(UCase(number), "HZ")) number = TrimSpace(number.substr(0, number.size() - 2));
  double rate = IsNumeric(number) ? Val(number) : 0;
  if (!(rate >= 1 && rate <= kHighestRate) || rate != std::floor(rate))
    throw InvalidRecordFile(path + " gives the sampling rate \"" + text +
                            "\", which is not a whole number of hertz.");
  return static_cast<int32_t>(rate);
}

void CheckUnit(const std::string& path, const std::string& text) {
  std::string u = LCase(ReplaceAll(text, " ", ""));
  if (u == "gal" || StartsWith(u, "gal(") || u == "cm/s/s" || u == "cm/s^2" || u == "cm/s2") return;
  throw InvalidRecordFile(path + " gives its values in \"" + text + "\"; only gal (cm/s/s) is read.");
}

// "2016 04 16 01 45 50" (or with / and : between the parts); left empty otherwise.
void TakeStart(const std::string& text, StrongRecord& rec) {
  std::string t = text;
  for (char& c : t)
    if (c == '/' || c == ':' || c == '-') c = ' ';
  std::vector<std::string> parts;
  for (const std::string& p : Split(t, " "))
    if (!p.empty()) parts.push_back(p);
  if (parts.size() != 6) return;
  for (const std::string& p : parts)
    if (!IsNumeric(p) || p.size() > 4 || p.find_first_not_of("0123456789") != std::string::npos) return;
  auto two = [&](std::size_t i) { return FormatNumber(ToLong(parts[i]), "00"); };
  rec.RecDate = FormatNumber(ToLong(parts[0]), "0000") + "/" + two(1) + "/" + two(2);
  rec.RecTime = two(3) + ":" + two(4) + ":" + two(5);
}

// Fields of a data line between commas, trimmed; empty fields after the last value dropped.
std::vector<std::string> CommaFields(const std::string& line) {
  std::vector<std::string> fields;
  for (const std::string& f : Split(line, ",")) fields.push_back(TrimSpace(f));
  while (!fields.empty() && fields.back().empty()) fields.pop_back();
  return fields;
}

}  // namespace

ReadOutcome ReadJmaCsv(const std::string& path, StrongRecord& rec, ReadQuestions& ask) {
  return TrapTextReadErrors(path, "ReadJmaCsv", [&](TextFile& file) {
    std::vector<std::string> lines;
    std::string line;
    while (file.TryReadLine(line)) lines.push_back(line);
    // Blank lines (and an end-of-file mark) after the last step are no steps.
    while (!lines.empty() && TrimSpace(ReplaceAll(lines.back(), "\x1A", "")).empty()) lines.pop_back();
    // Every line ends in a line break; a last one without is where the file was cut.
    const std::string& text = file.Contents();
    const std::size_t last = text.find_last_not_of(" \t\x1A");
    const bool lastLineEnded = last != std::string::npos && (text[last] == '\n' || text[last] == '\r');
    if (lines.empty() || !StartsWith(lines[0], kSiteCaption))
      throw InvalidRecordFile(path + " is invalid JMA CSV file.");
    if (lines.size() <= kCaptionLines) throw InvalidRecordFile(path + " ends before its data.");

    TakeSite(lines[0], rec);
    std::string value;
    if (CaptionValue(lines, "LAT.", value)) rec.SiteLat = value;
    if (CaptionValue(lines, "LON.", value)) rec.SiteLong = value;
    if (!CaptionValue(lines, "SAMPLINGRATE", value))
      throw InvalidRecordFile(path + " gives no sampling rate.");
    rec.SampFreq = TakeRate(path, value);
    if (!CaptionValue(lines, "UNIT", value)) throw InvalidRecordFile(path + " gives no unit.");
    CheckUnit(path, value);
    if (CaptionValue(lines, "INITIALTIME", value)) TakeStart(value, rec);

    const std::size_t first = kCaptionLines + 1;
    if (lines.size() <= first) throw InvalidRecordFile(path + " holds no samples.");
    rec.StartChannels(3);
    std::vector<std::string> labels = CommaFields(lines[kCaptionLines]);
    for (std::size_t ch = 0; ch < labels.size() && ch < 3; ++ch)
      rec.Label(static_cast<int32_t>(ch + 1)) = labels[ch];

    // One step per line, so the count can never exceed what the file holds.
    rec.DataCount = static_cast<int32_t>(lines.size() - first);
    rec.RedimAcc(rec.DataCount, 3);
    for (int32_t i = 1; i <= rec.DataCount; ++i) {
      const std::size_t n = first + static_cast<std::size_t>(i) - 1;
      std::vector<std::string> fields = CommaFields(lines[n]);
      const std::string where = "line " + std::to_string(n + 1) + " (step " + std::to_string(i) + ")";
      if (n + 1 == lines.size() && !lastLineEnded)
        throw InvalidRecordFile(path + " is cut short: it ends inside " + where + ".");
      if (fields.size() != 3) throw InvalidRecordFile(path + ": " + where + " is not three values.");
      for (int32_t ch = 1; ch <= 3; ++ch) {
        const std::string& f = fields[static_cast<std::size_t>(ch - 1)];
        if (!IsNumeric(f)) throw InvalidRecordFile(path + ": " + where + " holds \"" + f + "\", not a number.");
        rec.Acc(i, ch) = ToSingle(f);
      }
      if (i % 10000 == 0) ask.Yield();
    }
    // The station name is Shift-JIS.
    rec.Encoding = TextEncoding::ShiftJis;
    ComputePeaks(rec);
    return true;
  });
}

}  // namespace sism
