// Altus event files (K2/Etna family): a 2056-byte header followed by frames of
// big-endian samples, one sample of every channel per step.
#include <cmath>
#include <cstdint>
#include <string>

#include "common/errors.h"
#include "common/files.h"
#include "common/text.h"
#include "record/gravity.h"
#include "record/reader.h"
#include "record/readers.h"

namespace sism {

namespace {

constexpr std::size_t kHeaderSize = 2056;     // 16-byte tag and 2040-byte header
constexpr std::size_t kFrameHeaderSize = 48;  // 16-byte frame tag and 32-byte frame header
constexpr std::size_t kChannelBlock = 76;
constexpr std::size_t kFirstChannel = 728;
// The channel table ends where the header ends.
constexpr int32_t kMaxChannels = static_cast<int32_t>((kHeaderSize - kFirstChannel - 40) / kChannelBlock + 1);

// The one message for a file that is not an event file this reader knows.
constexpr const char* kInvalidEvt = "Invalid EVT File";

// Text fields are NUL-terminated; what follows the NUL is leftover memory.
std::string HeaderText(ByteReader& r, std::size_t at, std::size_t width) {
  r.Seek(at);
  std::string s = r.Text(width);
  std::size_t nul = s.find('\0');
  if (nul != std::string::npos) s.resize(nul);
  return Trim(s);
}

float HeaderSingle(ByteReader& r, std::size_t at) {
  r.Seek(at);
  return r.F32BE();
}

std::string Position(float v) {
  return FormatNumber(v, "0.0000");
}

int32_t Sample(ByteReader& r, int bytes) {
  switch (bytes) {
    case 2:
      return r.I16BE();
    case 3:
      return r.I24BE();
    default:
      return r.I32BE();
  }
}

}  // namespace

bool ParseAltusEvent(const std::string& data, StrongRecord& rec) {
  if (data.empty() || data[0] != 'K') throw InvalidRecordFile(kInvalidEvt);
  if (data.size() < kHeaderSize) Raise(ErrInputPastEnd);
  ByteReader h(std::string_view(data).substr(0, kHeaderSize));

  h.Seek(24);
  int bits = h.U8();
  int bytes = h.U8();
  h.Seek(572);
  int32_t start = h.I32BE();
  h.Seek(592);
  int32_t samples = h.I32BE();
  h.Seek(606);
  int32_t channels = h.U16BE();
  h.Seek(1650);
  int32_t freq = h.U16BE();

  // Check every count against the bytes present before sizing anything by it.
  std::string_view body = std::string_view(data).substr(kHeaderSize);
  if (bytes < 2 || bytes > 4 || bits < 1 || bits > 32 || channels < 1 || channels > kMaxChannels ||
      samples < 1 || freq < 1)
    throw InvalidRecordFile(kInvalidEvt);
  if (static_cast<uint64_t>(samples) * static_cast<uint64_t>(channels) * static_cast<uint64_t>(bytes) >
      body.size())
    throw InvalidRecordFile(kInvalidEvt);

  rec.ChanCount = channels;
  rec.DataCount = samples;
  rec.SampFreq = freq;
  rec.SiteCode = HeaderText(h, 608, 5);
  rec.SiteName = HeaderText(h, 613, 33);
  float lat = HeaderSingle(h, 648), lon = HeaderSingle(h, 652);
  if ((lat == 0 && lon == 0) || !std::isfinite(lat) || !std::isfinite(lon)) {
    rec.SiteLat.clear();
    rec.SiteLong.clear();
  } else {
    rec.SiteLat = Position(lat);
    rec.SiteLong = Position(lon);
  }
  rec.RecDate = "1980/01/01";
  rec.RecTime = "00:00:00";
  NormalizeDateTime(rec.RecDate, rec.RecTime, start);

  rec.RedimHeader(channels);
  rec.RedimAcc(samples, channels);
  const double counts = std::ldexp(1.0, bits - 1);
  for (int32_t c = 1; c <= channels; ++c) {
    std::size_t base = kFirstChannel + kChannelBlock * static_cast<std::size_t>(c - 1);
    rec.Label(c) = HeaderText(h, base, 5);
    // Recorders often leave the identifier empty; legends and reports still need a name.
    if (rec.Label(c).empty()) rec.Label(c) = "CH" + std::to_string(c);
    float fullScale = HeaderSingle(h, base + 32);
    float sensitivity = HeaderSingle(h, base + 36);
    float fullAcc = static_cast<float>(fullScale / sensitivity * kStandardGravity);
    if (!std::isfinite(fullAcc)) throw InvalidRecordFile(kInvalidEvt);
    rec.Coef(c) = static_cast<float>(fullAcc / counts);
    rec.Offset(c) = 0;
  }

  ByteReader r(body);
  const std::size_t stepBytes = static_cast<std::size_t>(channels) * static_cast<std::size_t>(bytes);
  int32_t step = 0;
  while (step < samples && r.Remaining() >= kFrameHeaderSize) {
    std::size_t p = r.Position();
    r.Seek(p + 10);
    std::size_t k = r.U16BE() / static_cast<std::size_t>(bytes) / static_cast<std::size_t>(channels);
    r.Seek(p + kFrameHeaderSize);
    // A frame cut short by the end of the file ends the data.
    for (std::size_t j = 0; j < k && step < samples && r.Remaining() >= stepBytes; ++j) {
      ++step;
      for (int32_t c = 1; c <= channels; ++c)
        rec.Acc(step, c) = static_cast<float>(static_cast<double>(Sample(r, bytes)) * rec.Coef(c));
    }
    if (r.Remaining() < stepBytes && step < samples) break;
  }
  ComputePeaks(rec);
  return true;
}

ReadOutcome ReadAltus(const std::string& path, StrongRecord& rec, ReadQuestions&) {
  return TrapReadErrors(path, "ReadAltus", [&] { return ParseAltusEvent(ReadWholeFile(path), rec); });
}

}  // namespace sism
