// Small miniSEED, SAC and StationXML files written by the tests themselves: miniSEED
// packed by libmseed, SAC header and samples laid out as the format defines them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sism::test {

// Microseconds since 1970 UTC of "2020-05-01T12:00:00[.ffffff]".
int64_t UtcMicros(const std::string& iso);

// One stretch of one channel.
struct MseedStretch {
  std::string net = "XX", sta = "STA", loc = "00", cha = "HNE";
  std::string start = "2020-05-01T12:00:00";
  double rate = 100;
  std::vector<int32_t> counts;
  int reclen = 512;
  int encoding = 11;  // Steim-2; 3 for 32-bit integers
  int byteorder = 1;  // big-endian; 0 little-endian
};
// The stretches packed one after the other into records of their length.
std::string Mseed(const std::vector<MseedStretch>& stretches);

// `n` counts: value(i) = base + step * i.
std::vector<int32_t> Ramp(int n, int32_t base, int32_t step);

struct SacFile {
  std::string net = "XX", sta = "STA", loc = "00", cha = "HNE";
  float delta = 0.01f;
  float b = 0;
  int32_t year = 2020, jday = 122, hour = 12, minute = 0, second = 0, msec = 0;  // 2020-05-01
  int32_t idep = 5;  // 5 unknown (counts), 7 velocity, 8 acceleration (nm)
  int32_t version = 6;
  float stla = -12345.0f, stlo = -12345.0f;
  std::vector<float> values;
};
std::string SacBinary(const SacFile& f, bool bigEndian);
std::string SacAlpha(const SacFile& f);

// A channel epoch of a StationXML file.
struct XmlChannel {
  std::string cha = "HNE", loc = "00";
  std::string start = "2019-01-01T00:00:00", end = "2021-01-01T00:00:00";
  std::string sensitivity = "409600";  // counts per m/s/s: 4096 counts make 1 cm/s/s
  std::string input = "M/S**2", output = "COUNTS";
};
std::string StationXml(const std::vector<XmlChannel>& channels, const std::string& net = "XX",
                       const std::string& sta = "STA");

}  // namespace sism::test
