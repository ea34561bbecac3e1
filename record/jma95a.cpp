// JMA95 ascii minute files.
#include "record/jma_text.h"

namespace sism {

using namespace jma;

namespace {

// Shift-JIS kanji that follow each part of the start time: year, month, day, hour, minute.
constexpr std::string_view kTimeMarkers[] = {"\x94\x4E", "\x8C\x8E", "\x93\xFA", "\x8E\x9E", "\x95\xAA"};

void ParseJma95StartTime(const std::string& rawLine, std::string& date, std::string& time) {
  std::string line = WithoutBlanks(rawLine);
  double parts[6];
  parts[0] = JmaLeadingNumber(line);
  std::string::size_type from = 0;
  for (int i = 0; i < 5; ++i) {
    std::string::size_type at = line.find(kTimeMarkers[i], from);
    if (at == std::string::npos) Raise(ErrTypeMismatch);
    from = at + kTimeMarkers[i].size();
    parts[i + 1] = JmaLeadingNumber(std::string_view(line).substr(from));
  }
  int32_t year = RoundToLong(parts[0]);
  if (year < 6)
    year += 2000;
  else if (year <= 8)
    year += 1990;
  date = FormatNumber(year, "0000") + "/" + FormatNumber(parts[1], "00") + "/" + FormatNumber(parts[2], "00");
  time =
      FormatNumber(parts[3], "00") + ":" + FormatNumber(parts[4], "00") + ":" + FormatNumber(parts[5], "00");
  date = ReplaceAll(date, " ", "0");
  time = ReplaceAll(time, " ", "0");
}

// Reads `count` numbers separated by blanks, commas or line ends from `text` at `pos`.
void ReadFreeValues(const std::string& text, std::size_t pos, float* out, int32_t count) {
  auto separator = [](char c) { return c == ' ' || c == ',' || c == '\t' || c == '\r' || c == '\n'; };
  for (int32_t n = 0; n < count; ++n) {
    while (pos < text.size() && separator(text[pos])) ++pos;
    if (pos >= text.size()) Raise(ErrInputPastEnd);
    std::size_t start = pos;
    while (pos < text.size() && !separator(text[pos])) ++pos;
    out[n] = ToSingle(std::string_view(text).substr(start, pos - start));
  }
}

}  // namespace

ReadOutcome ReadJMA95a(const std::string& path, StrongRecord& rec, ReadQuestions& ask) {
  return TrapReadErrors(path, "ReadJMA95a", [&] {
    std::vector<std::string> files = MinuteFiles(path, NextJma95aMinute);
    SizeThreeChannels(rec);
    rec.SampFreq = 100;
    rec.DataCount = MinuteSteps(files.size());
    rec.RedimAcc(rec.DataCount, 3);
    static const char* const components[] = {".ans", ".aew", ".aud"};
    for (std::size_t f = 0; f < files.size(); ++f) {
      PathParts parts = SplitPath(files[f]);
      for (int32_t ch = 1; ch <= 3; ++ch) {
        std::string component = FindSibling(parts.folder + parts.name, components[ch - 1], parts.ext);
        if (component.empty()) Raise(ErrFileNotFound);
        TextFile file(component);
        std::string codeLine = file.ReadLine();
        std::string labelLine = file.ReadLine();
        std::string timeLine = file.ReadLine();
        if (f == 0) {
          if (ch == 1) {
            rec.SiteCode = Left(AfterEquals(WithoutBlanks(codeLine)), 3);
            ParseJma95StartTime(timeLine, rec.RecDate, rec.RecTime);
          }
          rec.Label(ch) = Left(AfterEquals(WithoutBlanks(labelLine)), 2);
        }
        ReadFreeValues(file.Contents(), file.Position(), rec.Channel(ch) + f * kMinuteSteps, kMinuteSteps);
        ask.Yield();
      }
    }
    rec.SiteName = rec.SiteCode + " (JMA95)";
    // JMA's texts are Shift-JIS, as are those of the other readers here.
    rec.Encoding = TextEncoding::ShiftJis;
    ComputePeaks(rec);
    return true;
  });
}

}  // namespace sism
