#include "record/intensity_text.h"

#include <cmath>
#include <cstdlib>

#include "common/strings.h"

namespace sism {

namespace {

constexpr int kFirstClassText = 8170;

bool HasIntensity(const StrongRecord& rec) {
  return rec.JmaGroup > 0 && std::isfinite(rec.JmaIntensity);
}

}  // namespace

int32_t IntensityTenths(float intensity) {
  if (!std::isfinite(intensity)) return 0;
  // Whole thousandths first, so that 4.695 stored as 4.69499... still rounds up.
  const long long thousandths = std::llround(static_cast<double>(intensity) * 1000.0);
  return static_cast<int32_t>(thousandths / 100);
}

std::string IntensityValueText(float intensity) {
  const int32_t t = IntensityTenths(intensity);
  const int32_t a = std::abs(t);
  return (t < 0 ? "-" : "") + std::to_string(a / 10) + "." + std::to_string(a % 10);
}

std::string IntensityClassText(float intensity) {
  // Lower limits in tenths of the classes 1 to 7 (5-, 5+, 6-, 6+ halve 5 and 6).
  static constexpr int32_t kLimits[] = {5, 15, 25, 35, 45, 50, 55, 60, 65};
  const int32_t t = IntensityTenths(intensity);
  int index = 0;
  for (int32_t limit : kLimits)
    if (t >= limit) ++index;
  return Str(kFirstClassText + index);
}

std::string IntensityWithClass(float intensity) {
  return IntensityValueText(intensity) + " (" + IntensityClassText(intensity) + ")";
}

std::string ShownIntensityValue(const StrongRecord& rec) {
  return HasIntensity(rec) ? IntensityValueText(rec.JmaIntensity) : kNoIntensity;
}

std::string ShownIntensityClass(const StrongRecord& rec) {
  return HasIntensity(rec) ? IntensityClassText(rec.JmaIntensity) : "";
}

}  // namespace sism
