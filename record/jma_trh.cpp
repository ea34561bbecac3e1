// The TRH binary recorder file.
#include "record/jma_text.h"

namespace sism {

using namespace jma;

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
