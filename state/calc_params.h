// Calculation parameters of the analysis drivers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sism {

// Bits of CalcParams::RecalcFlags: series waiting to be recomputed.
enum RecalcBits : int32_t {
  RecalcTimeAxis = 1,
  RecalcIntegration = 2,
  RecalcFourier = 4,
  RecalcResponse = 16,
  RecalcRelations = 32,
  RecalcDuctility = 64,
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
  // Constant-ductility spectra: the target ductilities, the post-yield stiffness ratio, the
  // damping (%) and the quantity drawn (DuctilityQuantity).
  std::vector<float> Ductilities = {1.5f, 2, 4, 6, 8};
  float DuctilityAlpha = 0;
  float DuctilityDamping = 5;
  int32_t DuctilityQuantity = 0;
  int32_t RecalcFlags = 0;      // not stored
  float StartThreshold = 0.5f;  // not stored

  bool operator==(const CalcParams&) const = default;
};

inline constexpr int32_t kSmoothParzen = 0, kSmoothKonno = 1;
// What the constant-ductility kind draws: the strength reduction factor R_mu, the yield strength
// per unit mass (inelastic Sa), the peak inelastic displacement mu*uy, the yield displacement uy.
enum DuctilityQuantity : int32_t { DuctR = 0, DuctSa = 1, DuctSd = 2, DuctSdYield = 3 };
inline constexpr int32_t kDuctilityQuantities = 4;
// At most this many ductilities, each above 1 (1 is the elastic spectrum) and at most 100.
inline constexpr std::size_t kMaxDuctilities = 10;
inline constexpr float kMaxDuctility = 100;

// The ductilities as stored and typed: "1.5 2 4 6 8".
std::string DuctilityListText(const std::vector<float>& mu);
// A list typed or stored (numbers separated by spaces, commas or semicolons) in rising order
// without repeats, or nothing when it breaks the rules above.
std::optional<std::vector<float>> ParseDuctilityList(const std::string& text);
// The band width coefficients Konno-Ohmachi smoothing is used with.
inline constexpr float kKonnoMinB = 20, kKonnoMaxB = 188.5f;

}  // namespace sism
