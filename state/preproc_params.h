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
  // Sensor (three channels from 3 * RefSensor - 2) whose intensity is computed; 0: the
  // record's own, as its reader chose it (KiK-net: the surface), else the first.
  int32_t RefSensor = 0;
  float LowCutFreq = 0;
  float HighCutFreq = 0;
  float SkipSeconds = 0;
  float TimeLength = 0;
  std::string Multipliers;
  // The band-pass filter: 0 the FFT filter of the library (the seismic-intensity weighting's
  // curves, zero phase), 1 Butterworth causal, 2 Butterworth forward and backward (zero phase).
  int32_t FilterType = 0;
  int32_t FilterOrder = 4;     // of each Butterworth corner, 1 to 12
  bool FilterKeepPad = false;  // keep the Butterworth filter's zero pads as part of the record

  bool operator==(const PreProcParams&) const = default;
};

// A band-pass needs its low-cut below its high-cut; either alone (the other 0) is fine.
inline bool FilterCornersValid(const PreProcParams& p) {
  return !(p.LowCutFreq > 0 && p.HighCutFreq > 0 && p.LowCutFreq >= p.HighCutFreq);
}

inline constexpr int32_t kFilterFft = 0, kFilterButterworthCausal = 1, kFilterButterworthAcausal = 2;
inline constexpr int32_t kMaxFilterOrder = 12;

}  // namespace sism
