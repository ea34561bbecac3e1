// The JMA one-minute difference-coded text.
#include "record/jma_text.h"

namespace sism {

using namespace jma;

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

}  // namespace sism
