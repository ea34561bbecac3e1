// Parameters of the preprocessing chain applied to every file read.
#pragma once

#include <cstdint>
#include <string>

namespace sism {

struct PreProcParams {
  bool KeepDrawChan = false;
  bool RemoveDC = true;
  bool RotateWave = false;
  bool PickChannels = false;
  bool ShowEachTime = false;
  bool ConvertToMeter = false;  // for the run only, never stored
  bool PrefixCode = false;      // for the run only, never stored
  int32_t RemoveDCSeconds = 1;
  int32_t RotateWaveAngle = 0;
  int32_t RefSensor = 1;
  float LowCutFreq = 0;
  float HighCutFreq = 0;
  float SkipSeconds = 0;
  float TimeLength = 0;
  std::string Multipliers;

  bool operator==(const PreProcParams&) const = default;
};

}  // namespace sism
