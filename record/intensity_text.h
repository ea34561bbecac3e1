// The JMA seismic intensity as the agency publishes it: rounded at the third decimal, then
// cut to one decimal, with its class. The record keeps the value as computed.
#pragma once

#include <cstdint>
#include <string>

#include "record/strong_record.h"

namespace sism {

// Shown in place of the intensity of a record without an intensity sensor (an en dash).
inline constexpr char kNoIntensity[] = "\xE2\x80\x93";

// The intensity in tenths by the agency's rule (4.6949 -> 46, 5.1996 -> 52).
int32_t IntensityTenths(float intensity);
// The published value ("4.6").
std::string IntensityValueText(float intensity);
// Its class, from the string table: "0" to "4", "5-", "5+", "6-", "6+", "7" (a Japanese table
// gives 5弱, 5強, 6弱, 6強).
std::string IntensityClassText(float intensity);
// Value and class, "4.6 (5-)".
std::string IntensityWithClass(float intensity);

// rec's intensity value and class as shown; "–" and "" when it has no intensity sensor.
std::string ShownIntensityValue(const StrongRecord& rec);
std::string ShownIntensityClass(const StrongRecord& rec);

}  // namespace sism
