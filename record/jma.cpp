// Readers of the JMA formats: JMA95 ascii minute files, the difference-coded one-minute
// text, the keyword text, and the TRH binary recorder file.
#include <bit>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "common/errors.h"
#include "common/files.h"
#include "common/path.h"
#include "common/text.h"
#include "record/jma_codes.h"
#include "record/reader.h"
#include "record/readers.h"
#include "record/sibling.h"

namespace sism {

// ---- Shared rules ----

double JmaLeadingNumber(std::string_view text) {
  std::size_t p = 0;
  while (p < text.size() && (text[p] < '0' || text[p] > '9')) ++p;
  if (p == text.size()) return 0;
  std::size_t e = p;
  while (e < text.size() && text[e] >= '0' && text[e] <= '9') ++e;
  if (e + 1 < text.size() && text[e] == '.' && text[e + 1] >= '0' && text[e + 1] <= '9') {
    ++e;
    while (e < text.size() && text[e] >= '0' && text[e] <= '9') ++e;
  }
  return Val(text.substr(p, e - p));
}

int64_t SignedHex(std::string_view digits) {
  if (digits.empty() || digits.size() > 15) Raise(ErrTypeMismatch);
  int64_t v = 0;
  for (char c : digits) {
    int d;
    if (c >= '0' && c <= '9')
      d = c - '0';
    else if (c >= 'A' && c <= 'F')
      d = c - 'A' + 10;
    else
      Raise(ErrTypeMismatch);
    v = v * 16 + d;
  }
  if (digits[0] >= '8') v -= int64_t{1} << (4 * digits.size());
  return v;
}

std::string NextJma95aMinute(const std::string& path) {
  PathParts parts = SplitPath(path);
  std::string name = parts.name;
  if (name.empty()) return {};
  char& c = name.back();
  if ((c >= '0' && c <= '8') || (c >= 'A' && c <= 'Y') || (c >= 'a' && c <= 'y'))
    ++c;
  else if (c == '9')
    c = 'A';
  else
    name.pop_back();
  if (name.empty()) return {};
  return parts.folder + name + parts.ext;
}

std::string NextJma95bMinute(const std::string& path) {
  PathParts parts = SplitPath(path);
  const std::string& name = parts.name;
  if (name.size() < 4) return {};
  for (std::size_t i = name.size() - 4; i < name.size(); ++i)
    if (name[i] < '0' || name[i] > '9') return {};
  int hh = (name[name.size() - 4] - '0') * 10 + (name[name.size() - 3] - '0');
  int mm = (name[name.size() - 2] - '0') * 10 + (name[name.size() - 1] - '0');
  if (++mm == 60) {
    mm = 0;
    ++hh;
  }
  return parts.folder + name.substr(0, name.size() - 4) + FormatNumber(int32_t{hh}, "00") +
         FormatNumber(int32_t{mm}, "00") + parts.ext;
}

namespace {

constexpr int32_t kMinuteSteps = 6000;  // 60 s at 100 Hz

// Steps of `files` minute files, refused when the record could not be held.
int32_t MinuteSteps(std::size_t files) {
  int64_t steps = static_cast<int64_t>(files) * kMinuteSteps;
  if (steps > std::numeric_limits<int32_t>::max()) Raise(ErrOverflow);
  return static_cast<int32_t>(steps);
}

// The existing files of a minute sequence, starting with the opened one.
template <typename Next>
std::vector<std::string> MinuteFiles(const std::string& path, Next next) {
  std::vector<std::string> files;
  std::string name = path;
  while (!name.empty()) {
    std::string found = FindFileNoCase(name);
    if (found.empty()) break;
    files.push_back(found);
    name = next(name);
  }
  if (files.empty()) Raise(ErrFileNotFound);
  return files;
}

std::vector<std::string> SplitLines(const std::string& text) {
  TextFile file = TextFile::FromText(text);
  std::vector<std::string> lines;
  std::string line;
  while (file.TryReadLine(line)) lines.push_back(line);
  return lines;
}

// Fields of a line cut at runs of blanks.
std::vector<std::string> BlankFields(std::string_view line) {
  std::vector<std::string> fields;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && line[i] == ' ') ++i;
    std::size_t start = i;
    while (i < line.size() && line[i] != ' ') ++i;
    if (i > start) fields.emplace_back(line.substr(start, i - start));
  }
  return fields;
}

// Columns [start, start+length) (1-based) of a line that must be long enough to hold them.
std::string_view Columns(const std::string& line, std::size_t start, std::size_t length) {
  if (start < 1 || start - 1 + length > line.size()) Raise(ErrInputPastEnd);
  return std::string_view(line).substr(start - 1, length);
}

// Three channels with Offset 0 and Coef 1: the samples are already in cm/s/s.
void SizeThreeChannels(StrongRecord& rec) {
  rec.ChanCount = 3;
  rec.RedimHeader(3);
  for (int32_t ch = 1; ch <= 3; ++ch) rec.Coef(ch) = 1;
}

std::string WithoutBlanks(const std::string& s) {
  return ReplaceAll(s, " ", "");
}

// Text after the first "=" of a "caption=value" line.
std::string AfterEquals(const std::string& line) {
  std::string::size_type eq = line.find('=');
  if (eq == std::string::npos) Raise(ErrTypeMismatch);
  return line.substr(eq + 1);
}

// ---- JMA95 ascii ----

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

// ---- JMA one-minute difference-coded text ----

namespace {

// Samples are counts of about 1/2560 cm/s/s.
const float kJma95bScale = std::bit_cast<float>(uint32_t{0x39CCCCCF});

// Decodes one channel block of a second at column `c` (1-based) into 100 samples and
// returns the column where the next block begins.
std::size_t DecodeSecondBlock(const std::string& line, std::size_t c, float* out) {
  static const std::size_t digitsOfCode[] = {1, 2, 4, 6, 8};
  char code = Columns(line, c + 4, 1)[0];
  if (code < '0' || code > '9') Raise(ErrTypeMismatch);
  if (code > '4') Raise(ErrSubscriptOutOfRange);
  std::size_t d = digitsOfCode[code - '0'];
  int64_t sample = SignedHex(Columns(line, c + 10, 6));
  out[0] = static_cast<float>(sample);
  std::string_view diffs = Columns(line, c + 16, 99 * d);
  for (std::size_t j = 1; j < 100; ++j) {
    sample += SignedHex(diffs.substr((j - 1) * d, d));
    out[j] = static_cast<float>(sample);
  }
  return c + 16 + 99 * d;
}

}  // namespace

void DecodeJma95bMinute(const std::string& text, std::size_t minute, StrongRecord& rec) {
  if (rec.AccChannels() < 3 || rec.DataCapacity() < MinuteSteps(minute + 1)) Raise(ErrSubscriptOutOfRange);
  std::vector<std::string> lines = Split(text, "\n");
  auto line = [&](std::size_t n) -> const std::string& {
    if (n >= lines.size()) Raise(ErrInputPastEnd);
    return lines[n];
  };
  if (minute == 0) {
    const std::string& first = line(0);
    std::string_view yy = Columns(first, 7, 2);
    int32_t year = ToLong(yy);
    rec.RecDate = std::string(year >= 96 ? "19" : "20") + std::string(yy) + "/" +
                  std::string(Columns(first, 9, 2)) + "/" + std::string(Columns(first, 11, 2));
    const std::string& start = line(32);
    rec.RecTime = std::string(Columns(start, 15, 2)) + ":" + std::string(Columns(start, 17, 2)) + ":" +
                  std::string(Columns(start, 19, 2));
  }
  for (std::size_t s = 0; s < 60; ++s) {
    const std::string& second = line(32 + 2 * s);
    std::size_t c = 21;
    std::size_t step = (minute * 60 + s) * 100;
    for (int32_t ch = 1; ch <= 3; ++ch) c = DecodeSecondBlock(second, c, rec.Channel(ch) + step);
  }
}

ReadOutcome ReadJMA95b(const std::string& path, StrongRecord& rec, ReadQuestions& ask) {
  return TrapReadErrors(path, "ReadJMA95b", [&] {
    std::vector<std::string> files = MinuteFiles(path, NextJma95bMinute);
    SizeThreeChannels(rec);
    rec.SampFreq = 100;
    rec.DataCount = MinuteSteps(files.size());
    rec.RedimAcc(rec.DataCount, 3);
    for (std::size_t f = 0; f < files.size(); ++f) {
      DecodeJma95bMinute(ReadWholeFile(files[f]), f, rec);
      if (f == 0) {
        rec.SiteCode = UCase(Mid(SplitPath(path).ext, 2));
        rec.SiteName = rec.SiteCode + " (JMA)";
      }
      ask.Yield();
    }
    rec.Label(1) = "NS";
    rec.Label(2) = "EW";
    rec.Label(3) = "UD";
    for (int32_t ch = 1; ch <= 3; ++ch) {
      float* x = rec.Channel(ch);
      for (int32_t i = 0; i < rec.DataCount; ++i) x[i] *= kJma95bScale;
    }
    rec.Encoding = TextEncoding::ShiftJis;
    ComputePeaks(rec);
    return true;
  });
}

// ---- JMA keyword text ----

ReadOutcome ReadJmaAc(const std::string& path, StrongRecord& rec, ReadQuestions&) {
  return TrapReadErrors(path, "ReadJmaAc", [&] {
    std::vector<std::string> lines = SplitLines(ReadWholeFile(path));
    int64_t count = static_cast<int64_t>(lines.size()) - 7;
    rec.SampFreq = 0;
    rec.SiteCode.clear();  // filled from the file, or from its name below
    for (std::size_t n = 0; n < 6 && n < lines.size(); ++n) {
      std::string line = Trim(lines[n]);
      std::string key = Left(line, 4);
      std::string::size_type eq = line.find('=');
      std::string value = eq == std::string::npos ? std::string() : Trim(line.substr(eq + 1));
      if (key == "SITE") {
        std::size_t len = 0;
        while (len < value.size() &&
               std::string_view("0123456789ABCDEF").find(value[len]) != std::string_view::npos)
          ++len;
        std::string code = value.substr(0, len);
        rec.SiteCode = code.size() > 3 ? code : "JMA" + code;
        rec.SiteName = "JMA" + code;
      } else if (key == "LAT.") {
        rec.SiteLat = Left(value, 8);
      } else if (key == "LON.") {
        rec.SiteLong = Left(value, 8);
      } else if (key == "SAMP") {
        rec.SampFreq = ToLong(ReplaceAll(value, "Hz", ""));
      } else if (key == "INIT") {
        rec.RecDate = Mid(value, 1, 4) + "/" + Mid(value, 6, 2) + "/" + Mid(value, 9, 2);
        rec.RecTime = Mid(value, 12, 2) + ":" + Mid(value, 15, 2) + ":" + Mid(value, 18, 2);
      }
    }
    // Not this format after all: the general reader gets its turn.
    if (rec.SampFreq <= 0 || count <= 0) return false;
    if (count > std::numeric_limits<int32_t>::max()) Raise(ErrOverflow);

    rec.DataCount = static_cast<int32_t>(count);
    SizeThreeChannels(rec);
    rec.RedimAcc(rec.DataCount, 3);
    if (rec.SiteCode.empty()) rec.SiteCode = UCase(SplitPath(path).name);
    bool commas = lines[6].find(',') != std::string::npos;
    auto fields = [&](std::size_t n) {
      return BlankFields(commas ? ReplaceAll(lines[n], ",", " ") : lines[n]);
    };
    std::vector<std::string> labels = fields(6);
    for (std::size_t ch = 0; ch < labels.size() && ch < 3; ++ch)
      rec.Label(static_cast<int32_t>(ch + 1)) = labels[ch];
    for (int32_t i = 1; i <= rec.DataCount; ++i) {
      std::vector<std::string> values = fields(static_cast<std::size_t>(i) + 6);
      for (std::size_t ch = 0; ch < values.size() && ch < 3; ++ch)
        rec.Acc(i, static_cast<int32_t>(ch + 1)) = ToSingle(values[ch]);
    }
    rec.Encoding = TextEncoding::ShiftJis;
    ComputePeaks(rec);
    return true;
  });
}

// ---- TRH binary recorder file ----

namespace {

constexpr std::size_t kTrhHeader = 259;
constexpr float kTrhCoef = 0.0299f;

// A header text field: up to its first NUL, without surrounding blanks.
std::string HeaderText(std::string_view bytes, std::size_t at, std::size_t length) {
  std::string s(bytes.substr(at, length));
  std::string::size_type nul = s.find('\0');
  if (nul != std::string::npos) s.erase(nul);
  return Trim(s);
}

// A coordinate re-written as a number; empty when the field is blank.
std::string Coordinate(std::string_view bytes, std::size_t at) {
  std::string s = HeaderText(bytes, at, 6);
  return s.empty() ? s : NumberText(ToSingle(s));
}

}  // namespace

bool ParseTrh(const std::string& bytes, StrongRecord& rec) {
  if (bytes.size() < kTrhHeader) Raise(ErrInputPastEnd);
  std::string_view all(bytes);
  rec.RecDate = "19" + std::string(all.substr(9, 2)) + "/" + std::string(all.substr(11, 2)) + "/" +
                std::string(all.substr(13, 2));
  rec.RecTime = std::string(all.substr(25, 2)) + ":" + std::string(all.substr(27, 2)) + ":" +
                std::string(all.substr(29, 2));
  rec.SiteName = HeaderText(all, 121, 6);
  rec.SiteLat = Coordinate(all, 137);
  rec.SiteLong = Coordinate(all, 153);
  rec.ChanCount = 3;
  rec.SampFreq = 50;
  rec.RedimHeader(3);
  rec.Label(1) = "E-W";
  rec.Label(2) = "N-S";
  rec.Label(3) = "U-D";
  for (int32_t ch = 1; ch <= 3; ++ch) rec.Coef(ch) = kTrhCoef;

  ByteReader header(all);
  header.Seek(256);
  int64_t total = header.I24BE() & 0xFFFFFF;
  // The length field must describe this file, not promise more than it holds.
  if (total < static_cast<int64_t>(kTrhHeader) || total > static_cast<int64_t>(bytes.size()))
    Raise(ErrInputPastEnd);
  int64_t s = (total - static_cast<int64_t>(kTrhHeader)) / 6;
  int64_t steps = s - 6 * (s / 500 + 1);
  if (steps < 1) Raise(ErrInputPastEnd);
  rec.DataCount = static_cast<int32_t>(steps);
  rec.RedimAcc(rec.DataCount, 3);

  ByteReader samples(all.substr(kTrhHeader, static_cast<std::size_t>(total) - kTrhHeader));
  float* x[3] = {rec.Channel(1), rec.Channel(2), rec.Channel(3)};
  for (int32_t i = 0; i < rec.DataCount; ++i) {
    // The recorder interrupts the sample stream with 12-byte blocks of its own.
    if (samples.Remaining() >= 4 && all.substr(kTrhHeader + samples.Position(), 4) == "\x7F\xFF\x7F\xFF")
      samples.Skip(12);
    for (int ch = 0; ch < 3; ++ch) x[ch][i] = static_cast<float>(samples.I16BE()) * kTrhCoef;
  }
  rec.Encoding = TextEncoding::ShiftJis;
  ComputePeaks(rec);
  return true;
}

ReadOutcome ReadTRH(const std::string& path, StrongRecord& rec, ReadQuestions&) {
  return TrapReadErrors(path, "ReadTRH", [&] {
    if (!ParseTrh(ReadWholeFile(path), rec)) return false;
    rec.SiteCode = UCase(Mid(SplitPath(path).ext, 2));
    return true;
  });
}

}  // namespace sism
