// FDSN StationXML: the overall sensitivity of each channel epoch, which turns a
// seismometer's counts into physical units, and the station's coordinates and name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sism {

// What a channel's input units measure, and the factor from them to centimetres
// (cm/s/s for acceleration, cm/s for velocity, cm for displacement).
enum class Quantity { Unknown, Acceleration, Velocity, Displacement };
struct UnitMeaning {
  Quantity quantity = Quantity::Unknown;
  double toCm = 0;
};
// "m/s**2", "M/S**2", "m/s^2", "cm/s/s", "nm/s", "M/S", "m" …, in either case.
UnitMeaning MeaningOfUnits(const std::string& units);

// Microseconds since 1970-01-01 UTC of "2010-12-17T00:00:00[.ffff][Z]" (the time may be
// left out); false for a text that is no such date.
bool ParseXmlTime(const std::string& text, int64_t& us);

struct ChannelEpoch {
  std::string net, sta, loc, cha;
  int64_t startUs = INT64_MIN, endUs = INT64_MAX;  // open ends when not given
  bool hasSensitivity = false;
  double sensitivity = 0;  // output units per input unit
  double frequency = 0;    // Hz, where the sensitivity holds
  std::string inputUnits, outputUnits;
  std::string lat, lon;  // as written; the station's when the channel gives none
  std::string siteName;
};

// Every channel epoch of the file. Raises InvalidRecordFile (record/reader.h) for a file
// that cannot be read or is no StationXML.
std::vector<ChannelEpoch> ReadStationXml(const std::string& path);

// The epoch of NET.STA.LOC.CHA covering `timeUs`; null when there is none.
const ChannelEpoch* FindEpoch(const std::vector<ChannelEpoch>& epochs, const std::string& net,
                              const std::string& sta, const std::string& loc, const std::string& cha,
                              int64_t timeUs);

}  // namespace sism
