// SMAC-MD/MDU binary recorder files: a 512-byte header block, then 512-byte data
// blocks of frames (one big-endian sample of every channel per step) up to an
// end-marker block.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "common/errors.h"
#include "common/files.h"
#include "common/text.h"
#include "record/reader.h"
#include "record/readers.h"

namespace sism {

namespace {

constexpr std::size_t kBlock = 512;
// The version-4 channel table (two bytes a channel from 270) must end before the
// sample count at 480.
constexpr int32_t kMaxChannels4 = (480 - 270) / 2;

// The one message for a file that is not a recorder file this reader knows.
constexpr const char* kInvalidMd = "Invalid MD File";

enum class SampleKind { Bits16, Bits14Gain, Bits24 };

int Bcd(uint8_t b) {
  return (b >> 4) * 10 + (b & 0x0F);
}

std::string BcdDate(const uint8_t* p) {
  int yy = Bcd(p[0]);
  char buf[48];
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", yy >= 80 ? 1900 + yy : 2000 + yy, Bcd(p[1]), Bcd(p[2]));
  return buf;
}

std::string BcdTime(const uint8_t* p) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", Bcd(p[0]), Bcd(p[1]), Bcd(p[2]));
  return buf;
}

// A half of a block made only of the byte pair 0, 3 marks the end of the data.
bool IsEndMarker(std::string_view block) {
  auto allPairs = [](std::string_view half) {
    for (std::size_t i = 0; i + 1 < half.size(); i += 2)
      if (half[i] != 0 || half[i + 1] != 3) return false;
    return true;
  };
  return allPairs(block.substr(0, kBlock / 2)) || allPairs(block.substr(kBlock / 2));
}

}  // namespace

bool ParseMdRecorder(const std::string& data, StrongRecord& rec) {
  std::size_t h;
  if (data.size() >= 4 && data.compare(0, 4, "****") == 0)
    h = 4;
  else if (data.size() >= 2 && data[0] == 0 && data[1] == 1)
    h = 0;
  else
    throw InvalidRecordFile(kInvalidMd);
  if (data.size() < kBlock) Raise(ErrInputPastEnd);
  const auto* hd = reinterpret_cast<const uint8_t*>(data.data());
  const int version = hd[h + 1];

  int32_t channels, freq, headerCount = 0;
  int32_t preEvent;
  int extraBytes = 0, sampleBytes;
  SampleKind kind;
  if (version == 1) {
    channels = hd[h + 2];
    rec.SiteCode = FormatNumber(static_cast<int32_t>(Bcd(hd[h + 3])), "00");
    rec.RecDate = BcdDate(hd + h + 10);
    rec.RecTime = BcdTime(hd + h + 13);
    freq = Bcd(hd[h + 16]) * 100 + Bcd(hd[h + 17]);
    unsigned flags = (static_cast<unsigned>(hd[h + 18]) << 8) | hd[h + 19];
    kind = (flags & 0x8000u) ? SampleKind::Bits14Gain : SampleKind::Bits16;
    if (flags & 0x4000u) extraBytes = 2;
    preEvent = 10;
    sampleBytes = 2;
    if (channels < 1) throw InvalidRecordFile(kInvalidMd);
  } else if (version == 4) {
    channels = hd[6];
    std::string code = data.substr(8, 6);
    if (auto nul = code.find('\0'); nul != std::string::npos) code.resize(nul);
    rec.SiteCode = Trim(code);
    rec.RecDate = BcdDate(hd + 22);
    rec.RecTime = BcdTime(hd + 25);
    freq = Bcd(hd[28]) * 100 + Bcd(hd[29]);
    preEvent = static_cast<int32_t>(Val(Mid(data.substr(73, 6), 5, 2)));
    ByteReader r(std::string_view(data).substr(0, kBlock));
    r.Seek(480);
    uint32_t n = r.U32BE();
    headerCount = n > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int32_t>(n);
    kind = SampleKind::Bits24;
    sampleBytes = 3;
    if (channels < 1 || channels > kMaxChannels4) throw InvalidRecordFile(kInvalidMd);
  } else {
    throw InvalidRecordFile(kInvalidMd);
  }
  if (freq < 1) throw InvalidRecordFile(kInvalidMd);

  // Data blocks up to the end marker or the end of the file; a short last block
  // reads as if padded with zeros.
  std::string stream;
  std::size_t blocks = 0;
  for (std::size_t at = kBlock; at < data.size(); at += kBlock) {
    std::string block = data.substr(at, kBlock);
    block.resize(kBlock, '\0');
    if (IsEndMarker(block)) break;
    stream += block;
    ++blocks;
  }
  const std::size_t frameSize = static_cast<std::size_t>(channels) * sampleBytes + extraBytes;
  const std::size_t counted = blocks > 0 ? (blocks - 1) * kBlock : 0;
  int64_t count = static_cast<int64_t>(counted / frameSize / static_cast<std::size_t>(freq)) * freq;
  if (headerCount > 0 && headerCount <= count) count = headerCount;
  if (count < 1) throw InvalidRecordFile(kInvalidMd);

  rec.ChanCount = channels;
  rec.SiteName.clear();  // the format names no site
  rec.SampFreq = freq;
  rec.DataCount = static_cast<int32_t>(count);
  rec.RedimHeader(channels);
  rec.RedimAcc(rec.DataCount, channels);
  for (int32_t c = 1; c <= channels; ++c) {
    if (kind == SampleKind::Bits24) {
      unsigned fullScale = (static_cast<unsigned>(hd[270 + 2 * (c - 1)]) << 8) | hd[271 + 2 * (c - 1)];
      float coef = static_cast<float>(fullScale / 8388607.0);
      if (fullScale > 10000) coef = static_cast<float>(coef * 0.001);
      rec.Coef(c) = coef;
    } else {
      rec.Coef(c) = kind == SampleKind::Bits14Gain ? 0.12f : 0.03f;
    }
    rec.Offset(c) = 0;
  }

  ByteReader r(stream);
  for (int32_t i = 1; i <= rec.DataCount; ++i) {
    for (int32_t c = 1; c <= channels; ++c) {
      double v;
      switch (kind) {
        case SampleKind::Bits16:
          v = (static_cast<double>(r.U16BE()) - 32768) * 0.03;
          break;
        case SampleKind::Bits14Gain: {
          int b1 = r.U8(), b2 = r.U8();
          int g = b2 % 4 == 0 ? 16 : b2 % 4 == 1 ? 4 : 1;
          v = static_cast<double>(b1 * 64 + b2 / 4 - 8192) / g * 0.12;
          break;
        }
        case SampleKind::Bits24: {
          uint32_t u = static_cast<uint32_t>(r.U8()) << 16;
          u |= static_cast<uint32_t>(r.U8()) << 8;
          u |= r.U8();
          v = (static_cast<double>(u) - 8388608) * rec.Coef(c);
          break;
        }
      }
      rec.Acc(i, c) = static_cast<float>(v);
    }
    r.Skip(static_cast<std::size_t>(extraBytes));
  }

  // Frames of zeros the recorder wrote after the event are not data.
  while (rec.DataCount > 0) {
    bool zero = true;
    for (int32_t c = 1; c <= channels && zero; ++c) zero = rec.Acc(rec.DataCount, c) == 0;
    if (!zero) break;
    --rec.DataCount;
  }
  if (rec.DataCount < 1) throw InvalidRecordFile(kInvalidMd);
  if (rec.DataCount < rec.DataCapacity()) {
    // Keep the matrix exactly as long as the data.
    std::vector<float> kept;
    kept.reserve(static_cast<std::size_t>(rec.DataCount) * channels);
    for (int32_t c = 1; c <= channels; ++c)
      kept.insert(kept.end(), rec.Channel(c), rec.Channel(c) + rec.DataCount);
    rec.RedimAcc(rec.DataCount, channels);
    for (int32_t c = 1; c <= channels; ++c)
      std::copy(kept.begin() + static_cast<std::ptrdiff_t>(c - 1) * rec.DataCount,
                kept.begin() + static_cast<std::ptrdiff_t>(c) * rec.DataCount, rec.Channel(c));
  }

  NormalizeDateTime(rec.RecDate, rec.RecTime, -static_cast<int64_t>(preEvent));
  ComputePeaks(rec);
  return true;
}

ReadOutcome ReadMD(const std::string& path, StrongRecord& rec, ReadQuestions&) {
  return TrapReadErrors(path, "ReadMD", [&] { return ParseMdRecorder(ReadWholeFile(path), rec); });
}

}  // namespace sism
