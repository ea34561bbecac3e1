// SAC binary, little-endian, one file per channel: header version 6 with the station,
// channel code and orientation, the start as the reference time with B = 0, and the
// samples as acceleration (IDEP = IACC) in nm/s/s as the format defines its units.
#include <algorithm>
#include <bit>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "common/text.h"
#include "record/writers.h"

namespace sism {

namespace {

constexpr float kUndefFloat = -12345.0f;
constexpr int32_t kUndefInt = -12345;
constexpr double kNanometresPerCm = 1e7;

// Header words as the format numbers them: floats 0-69, integers 70-109 (here 0-39), then
// 192 characters.
enum : int {
  F_DELTA = 0,
  F_DEPMIN = 1,
  F_DEPMAX = 2,
  F_B = 5,
  F_E = 6,
  F_STLA = 31,
  F_STLO = 32,
  F_STEL = 33,
  F_EVLA = 35,
  F_EVLO = 36,
  F_EVDP = 38,
  F_MAG = 39,
  F_DEPMEN = 56,
  F_CMPAZ = 57,
  F_CMPINC = 58
};
enum : int {
  I_NZYEAR = 0,
  I_NZJDAY,
  I_NZHOUR,
  I_NZMIN,
  I_NZSEC,
  I_NZMSEC,
  I_NVHDR,
  I_NPTS = 9,
  I_IFTYPE = 15,
  I_IDEP = 16,
  I_IZTYPE = 17,
  I_LEVEN = 35,
  I_LPSPOL,
  I_LOVROK,
  I_LCALDA
};
enum : int32_t { ITIME = 1, IACC = 8, IB = 9 };
// Character fields: byte offset within the 192 and width.
struct CharField {
  int at, width;
};
constexpr CharField K_STNM{0, 8}, K_EVNM{8, 16}, K_HOLE{24, 8}, K_CMPNM{160, 8}, K_NETWK{168, 8};

struct Header {
  float f[70];
  int32_t i[40];
  std::string k;
};

Header BlankHeader() {
  Header h;
  for (float& v : h.f) v = kUndefFloat;
  for (int32_t& v : h.i) v = kUndefInt;
  // Every character field reads "-12345" when unset.
  h.k.clear();
  h.k += PadRight("-12345", 8);
  h.k += PadRight("-12345", 16);  // KEVNM
  while (h.k.size() < 192) h.k += PadRight("-12345", 8);
  return h;
}

void SetText(Header& h, CharField f, const std::string& text) {
  if (text.empty()) return;
  h.k.replace(static_cast<std::size_t>(f.at), static_cast<std::size_t>(f.width),
              PadRight(text, static_cast<std::size_t>(f.width)));
}

void PutWord(std::string& out, uint32_t w) {
  for (int b = 0; b < 4; ++b) out += static_cast<char>((w >> (8 * b)) & 0xFF);
}

std::string Bytes(const Header& h, const float* x, int32_t n) {
  std::string out;
  out.reserve(632 + 4 * static_cast<std::size_t>(n));
  for (float v : h.f) PutWord(out, std::bit_cast<uint32_t>(v));
  for (int32_t v : h.i) PutWord(out, static_cast<uint32_t>(v));
  out += h.k;
  for (int32_t j = 0; j < n; ++j)
    PutWord(out, std::bit_cast<uint32_t>(static_cast<float>(static_cast<double>(x[j]) * kNanometresPerCm)));
  return out;
}

// Why the record cannot be written as SAC; empty when it can.
std::string Problem(const StrongRecord& rec, const SeedStation& st, const std::vector<SeedChannel>& codes) {
  if (rec.SampFreq < 1)
    return "the sampling frequency " + std::to_string(rec.SampFreq) + " Hz gives no interval";
  if (st.sta.size() > 8)
    return "the station code \"" + st.sta + "\" is longer than the 8 characters SAC holds";
  if (st.net.size() > 8) return "the network code \"" + st.net + "\" is longer than 8 characters";
  for (int32_t ch = 1; ch <= rec.ChanCount; ++ch) {
    if (codes[static_cast<std::size_t>(ch - 1)].cha.size() > 8)
      return "the channel code of " + ChannelWord(rec, ch) + " is longer than 8 characters";
    // Larger values overflow single precision once in nm/s/s.
    std::string p =
        SampleProblem(rec, ch, 3e31, "cannot be held in nm/s/s by SAC's single-precision samples");
    if (!p.empty()) return p;
  }
  return {};
}

// The file of channel `ch` (its code `seed`), header and samples.
std::string ChannelFile(const StrongRecord& rec, int32_t ch, const SeedStation& st, const SeedChannel& seed,
                        const StartTime& start, bool timed) {
  Header h = BlankHeader();
  const double delta = 1.0 / rec.SampFreq;
  const float* x = rec.Channel(ch);
  double lo = x[0], hi = x[0], sum = 0;
  for (int32_t j = 0; j < rec.DataCount; ++j) {
    lo = std::min(lo, static_cast<double>(x[j]));
    hi = std::max(hi, static_cast<double>(x[j]));
    sum += x[j];
  }
  h.f[F_DELTA] = static_cast<float>(delta);
  h.f[F_DEPMIN] = static_cast<float>(lo * kNanometresPerCm);
  h.f[F_DEPMAX] = static_cast<float>(hi * kNanometresPerCm);
  h.f[F_DEPMEN] = static_cast<float>(sum / rec.DataCount * kNanometresPerCm);
  h.f[F_B] = 0;
  h.f[F_E] = static_cast<float>((rec.DataCount - 1) * delta);
  double lat = 0, lon = 0;
  if (CoordinateOf(rec.SiteLat, 90, lat) && CoordinateOf(rec.SiteLong, 360, lon)) {
    h.f[F_STLA] = static_cast<float>(lat);
    h.f[F_STLO] = static_cast<float>(lon);
  }
  // The event and the station's height where the header gave them; depth in km.
  const RecordSource& src = rec.Source;
  for (const auto& [word, value] : {std::pair{F_STEL, src.StationElevationM}, std::pair{F_EVLA, src.EventLat},
                                    std::pair{F_EVLO, src.EventLon}, std::pair{F_EVDP, src.EventDepthKm},
                                    std::pair{F_MAG, src.Magnitude}})
    if (std::isfinite(value)) h.f[word] = static_cast<float>(value);
  if (src.EventId.size() <= static_cast<std::size_t>(K_EVNM.width)) SetText(h, K_EVNM, src.EventId);
  // Azimuth from north and incidence from the vertical, as the format measures them.
  switch (seed.orientation) {
    case 'N':
      h.f[F_CMPAZ] = 0, h.f[F_CMPINC] = 90;
      break;
    case 'E':
      h.f[F_CMPAZ] = 90, h.f[F_CMPINC] = 90;
      break;
    case 'Z':
      h.f[F_CMPAZ] = 0, h.f[F_CMPINC] = 0;
      break;
    default:
      break;
  }
  if (timed) {
    h.i[I_NZYEAR] = start.year;
    h.i[I_NZJDAY] = start.dayOfYear();
    h.i[I_NZHOUR] = start.hour;
    h.i[I_NZMIN] = start.minute;
    h.i[I_NZSEC] = start.second;
    h.i[I_NZMSEC] = 0;
    h.i[I_IZTYPE] = IB;
  }
  h.i[I_NVHDR] = 6;
  h.i[I_NPTS] = rec.DataCount;
  h.i[I_IFTYPE] = ITIME;
  h.i[I_IDEP] = IACC;
  h.i[I_LEVEN] = 1;
  h.i[I_LPSPOL] = 1;
  h.i[I_LOVROK] = 1;
  h.i[I_LCALDA] = 1;
  SetText(h, K_STNM, st.sta);
  SetText(h, K_NETWK, st.net);
  SetText(h, K_HOLE, seed.loc);
  SetText(h, K_CMPNM, seed.cha);
  return Bytes(h, x, rec.DataCount);
}

}  // namespace

std::string WriteSacFiles(const std::string& path, const StrongRecord& rec) {
  const SeedStation st = SeedStationOf(rec);
  const std::vector<SeedChannel> codes = SeedChannels(rec);
  const std::string problem = Problem(rec, st, codes);
  if (!problem.empty()) return "Cannot write " + path + " as SAC: " + problem + ".";
  StartTime start;
  const bool timed = RecordStart(rec, start);
  return WriteFilesAtomically(WrittenFiles(*FindWriter("sac"), path, rec), [&](std::size_t i) {
    return ChannelFile(rec, static_cast<int32_t>(i + 1), st, codes[i], start, timed);
  });
}

}  // namespace sism
