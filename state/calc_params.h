// Calculation parameters of the analysis drivers.
#pragma once

#include <cstdint>

namespace sism {

// Bits of CalcParams::RecalcFlags: series waiting to be recomputed.
enum RecalcBits : int32_t {
  RecalcTimeAxis = 1,
  RecalcIntegration = 2,
  RecalcFourier = 4,
  RecalcResponse = 16,
  RecalcRelations = 32,
};

struct CalcParams {
  int32_t IntegrationMethod = 4;  // 0 lattice, 1-3 trapezoid (linear, bi-linear, parabola), 4 FFT
  float CutOffFreq = 0.1f;
  float TimeFront = 5;
  float TimeRear = 20;
  float WindowWidth = 0.2f;
  // Fourier smoothing: 0 the Parzen window of WindowWidth Hz, 1 Konno-Ohmachi of KonnoB.
  int32_t FourierSmoothing = 0;
  float KonnoB = 40;
  int32_t FourDurationType = 1;  // 0 whole record, 1 time axis, 2 start and length
  float FourLength = 81.92f;
  float FourStart = 0;  // not stored
  int32_t RespSteps = 120;
  float RespDamping = 5;
  float RespLength = 0;  // not stored
  float RespStart = 0;   // not stored
  bool RespNormalize = false;
  // Response maxima also between the samples.
  bool RespPeaksBetweenSamples = true;
  int32_t RecalcFlags = 0;      // not stored
  float StartThreshold = 0.5f;  // not stored

  bool operator==(const CalcParams&) const = default;
};

inline constexpr int32_t kSmoothParzen = 0, kSmoothKonno = 1;
// The band width coefficients Konno-Ohmachi smoothing is used with.
inline constexpr float kKonnoMinB = 20, kKonnoMaxB = 188.5f;

}  // namespace sism
