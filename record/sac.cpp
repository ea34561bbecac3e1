// SAC files, one component each: binary (a 632-byte header of 70 floats, 40 integers and
// 192 characters, then the samples; either byte order) or alphanumeric (the same header
// as 30 text lines, then the samples five to a line). The other components are the files
// named alike with another component letter; record/seismic_set.h puts them together.
#include <bit>
#include <chrono>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "common/files.h"
#include "common/path.h"
#include "common/text.h"
#include "record/reader.h"
#include "record/readers.h"
#include "record/seismic_set.h"
#include "record/text_header.h"

namespace sism {

namespace {

constexpr std::size_t kHeaderBytes = 632;
constexpr float kUndefFloat = -12345.0f;
constexpr int32_t kUndefInt = -12345;

// Header words used here (float and integer indices as the format numbers them).
enum : int { F_DELTA = 0, F_B = 5, F_STLA = 31, F_STLO = 32 };
enum : int { I_NZYEAR = 0, I_NZJDAY, I_NZHOUR, I_NZMIN, I_NZSEC, I_NZMSEC, I_NVHDR, I_NPTS = 9,
             I_IFTYPE = 15, I_IDEP = 16, I_LEVEN = 35 };
enum : int { ITIME = 1, IDISP = 6, IVEL = 7, IACC = 8 };
// Character fields: offset within the 192 bytes and width.
struct CharField {
  int at, width;
};
constexpr CharField K_STNM{0, 8}, K_HOLE{24, 8}, K_CMPNM{160, 8}, K_NETWK{168, 8};

struct SacHeader {
  float f[70] = {};
  int32_t i[40] = {};
  std::string k;  // the 192 characters
};

uint32_t Word(const std::string& b, std::size_t at, bool swap) {
  uint32_t w;
  std::memcpy(&w, b.data() + at, 4);
  return swap ? __builtin_bswap32(w) : w;
}

int32_t VersionAt(const std::string& b, bool swap) {
  return static_cast<int32_t>(Word(b, 4 * (70 + I_NVHDR), swap));
}

bool IsVersion(int32_t v) {
  return v == 6 || v == 7;
}

// Byte order of a binary header: swapped when the version reads right only so.
bool BinaryOrder(const std::string& b, bool& swap) {
  if (b.size() < kHeaderBytes) return false;
  if (IsVersion(VersionAt(b, false))) {
    swap = false;
    return true;
  }
  if (IsVersion(VersionAt(b, true))) {
    swap = true;
    return true;
  }
  return false;
}

std::vector<std::string> HeadLines(const std::string& text, std::size_t count) {
  TextFile f = TextFile::FromText(text);
  std::vector<std::string> lines;
  std::string line;
  while (lines.size() < count && f.TryReadLine(line)) lines.push_back(line);
  return lines;
}

// Alphanumeric header: 14 lines of 5G15.7, 8 of 5I10, 8 of character fields.
bool AlphaVersion(const std::string& text) {
  std::vector<std::string> lines = HeadLines(text.substr(0, 4096), 16);
  if (lines.size() < 16) return false;
  for (int j = 0; j < 5; ++j)
    if (!IsNumeric(Mid(lines[0], 1 + 15 * j, 15))) return false;
  const std::string v = Trim(Mid(lines[15], 11, 10));
  if (!IsNumeric(v)) return false;
  const double version = Val(v);
  return std::fabs(version) < 1e6 && IsVersion(static_cast<int32_t>(version));
}

std::string Field(const SacHeader& h, CharField f) {
  std::string s = Trim(h.k.substr(static_cast<std::size_t>(f.at), static_cast<std::size_t>(f.width)));
  std::string::size_type nul = s.find('\0');
  if (nul != std::string::npos) s = Trim(s.substr(0, nul));
  return s == "-12345" ? std::string() : s;
}

SacHeader BinaryHeader(const std::string& b, bool swap) {
  SacHeader h;
  for (int n = 0; n < 70; ++n) h.f[n] = std::bit_cast<float>(Word(b, 4 * static_cast<std::size_t>(n), swap));
  for (int n = 0; n < 40; ++n) h.i[n] = static_cast<int32_t>(Word(b, 4 * static_cast<std::size_t>(70 + n), swap));
  h.k = b.substr(440, 192);
  return h;
}

// The alphanumeric header; `in` is left at the first line of samples.
SacHeader AlphaHeader(TextFile& in) {
  SacHeader h;
  for (int line = 0; line < 14; ++line) {
    std::string text = in.ReadLine();
    for (int j = 0; j < 5; ++j) h.f[line * 5 + j] = ToSingle(Mid(text, static_cast<std::size_t>(1 + 15 * j), 15));
  }
  for (int line = 0; line < 8; ++line) {
    std::string text = in.ReadLine();
    for (int j = 0; j < 5; ++j) h.i[line * 5 + j] = ToLong(Mid(text, static_cast<std::size_t>(1 + 10 * j), 10));
  }
  // Line 1 holds an 8- and a 16-character field, the others three of 8.
  std::string first = in.ReadLine();
  h.k = PadRight(Left(first, 24), 24);
  for (int line = 1; line < 8; ++line) h.k += PadRight(Left(in.ReadLine(), 24), 24);
  return h;
}

// Time of the reference (nz…) plus b; false when the header gives no reference.
bool StartTime(const SacHeader& h, int64_t& us) {
  const double b = h.f[F_B] == kUndefFloat ? 0.0 : h.f[F_B];
  if (!(std::fabs(b) < 1e9)) return false;
  const int64_t bUs = std::llround(b * 1e6);
  us = bUs;
  const int32_t y = h.i[I_NZYEAR], jd = h.i[I_NZJDAY], hh = h.i[I_NZHOUR], mi = h.i[I_NZMIN], ss = h.i[I_NZSEC],
                ms = h.i[I_NZMSEC];
  if (y < 1 || y > 9999 || jd < 1 || jd > 366 || hh < 0 || hh > 23 || mi < 0 || mi > 59 || ss < 0 || ss > 60 ||
      ms < 0 || ms > 999)
    return false;
  using namespace std::chrono;
  const int64_t days = (sys_days{year{y} / January / 1} + std::chrono::days{jd - 1}).time_since_epoch().count();
  us += (((days * 24 + hh) * 60 + mi) * 60 + ss) * 1'000'000LL + ms * 1000LL;
  return true;
}

SeisChannel ChannelOf(const std::string& path, const SacHeader& h, const std::string& code) {
  const float delta = h.f[F_DELTA];
  if (!(delta > 0) || !std::isfinite(delta) || delta == kUndefFloat)
    throw InvalidRecordFile(path + " gives no sampling interval (DELTA) above 0.");
  if (h.i[I_LEVEN] == 0) throw InvalidRecordFile(path + " holds unevenly sampled data, not a time series.");
  if (h.i[I_IFTYPE] != ITIME && h.i[I_IFTYPE] != kUndefInt)
    throw InvalidRecordFile(path + " holds a spectrum or other data (IFTYPE " + std::to_string(h.i[I_IFTYPE]) +
                            "), not a time series.");
  SeisChannel c;
  c.net = Field(h, K_NETWK);
  c.sta = Field(h, K_STNM);
  c.loc = Field(h, K_HOLE);
  c.cha = Field(h, K_CMPNM);
  if (c.sta.empty()) c.sta = code;
  if (c.cha.empty()) c.cha = "CH";
  // The format gives physical data in nanometres.
  switch (h.i[I_IDEP]) {
    case IACC: c.units = {Quantity::Acceleration, 1e-7}; break;
    case IVEL: c.units = {Quantity::Velocity, 1e-7}; break;
    case IDISP: c.units = {Quantity::Displacement, 1e-7}; break;
    default: break;
  }
  SeisSegment s;
  s.rate = 1.0 / static_cast<double>(delta);
  c.absoluteTime = StartTime(h, s.startUs);
  if (h.f[F_STLA] != kUndefFloat && h.f[F_STLO] != kUndefFloat && std::isfinite(h.f[F_STLA]) &&
      std::isfinite(h.f[F_STLO])) {
    c.lat = NumberText(h.f[F_STLA]);
    c.lon = NumberText(h.f[F_STLO]);
  }
  c.segments.push_back(std::move(s));
  return c;
}

int32_t SampleCount(const std::string& path, const SacHeader& h) {
  const int32_t n = h.i[I_NPTS];
  if (n < 1) throw InvalidRecordFile(path + " has no effective data (NPTS " + std::to_string(n) + ").");
  return n;
}

SeisChannel ReadSacFile(const std::string& path) {
  std::string bytes = ReadWholeFile(path);
  const std::string code = UCase(FileNameOf(path).substr(0, FileNameOf(path).find('.')));
  bool swap = false;
  if (BinaryOrder(bytes, swap)) {
    const SacHeader h = BinaryHeader(bytes, swap);
    SeisChannel c = ChannelOf(path, h, code);
    const int32_t n = SampleCount(path, h);
    if (bytes.size() < kHeaderBytes + 4 * static_cast<std::size_t>(n))
      throw InvalidRecordFile(path + " ends before its " + std::to_string(n) + " samples: the file is cut short.");
    std::vector<double>& v = c.segments.front().values;
    v.resize(static_cast<std::size_t>(n));
    for (std::size_t k = 0; k < v.size(); ++k) {
      const float x = std::bit_cast<float>(Word(bytes, kHeaderBytes + 4 * k, swap));
      if (!std::isfinite(x)) throw InvalidRecordFile(path + ": sample " + std::to_string(k + 1) + " is not a number.");
      v[k] = x;
    }
    return c;
  }
  if (!AlphaVersion(bytes))
    throw InvalidRecordFile(path + " is not a SAC file: its header gives no known version (NVHDR 6 or 7).");
  TextFile in = TextFile::FromText(std::move(bytes));
  const SacHeader h = AtLineOf(in, [&] { return AlphaHeader(in); });
  SeisChannel c = ChannelOf(path, h, code);
  const int32_t n = SampleCount(path, h);
  const std::vector<float> values = ReadNumberRun(in, n, 1.0);
  c.segments.front().values.assign(values.begin(), values.end());
  return c;
}

}  // namespace

bool LooksLikeSac(const std::string& head) {
  bool swap;
  if (BinaryOrder(head, swap)) {
    const SacHeader h = BinaryHeader(head, swap);
    return h.f[F_DELTA] > 0 && std::isfinite(h.f[F_DELTA]) && h.i[I_NPTS] >= 0;
  }
  return AlphaVersion(head);
}

ReadOutcome ReadSac(const std::string& path, StrongRecord& rec, ReadQuestions& ask) {
  return TrapReadErrors(path, "ReadSac", [&] {
    SeisSet set;
    set.path = path;
    set.channels.push_back(ReadSacFile(path));
    for (const std::string& sibling : SiblingFiles(path, set.channels.front().cha)) {
      ask.Yield();
      set.channels.push_back(ReadSacFile(sibling));
    }
    return AssembleSeismicRecord(set, rec, ask) ? ReadStatus::Read : ReadStatus::Declined;
  });
}

}  // namespace sism
