// The measures of one channel beyond its peaks, of a horizontal pair, and the constant-ductility
// spectra, computed from sample arrays through the numeric library.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace sism {

// Standard gravity, cm/s/s.
inline constexpr float kGravityGal = 980.665f;

struct ChannelMeasures {
  // Root mean square of acceleration (cm/s/s), velocity (cm/s), displacement (cm): over the
  // whole record and over the 5-95 % Husid window.
  float aRms = 0, vRms = 0, dRms = 0, aRms595 = 0, vRms595 = 0, dRms595 = 0;
  float ic = 0;        // characteristic intensity, (cm/s/s)^1.5 s^0.5
  float sed = 0;       // specific energy density, cm^2/s
  float cav5 = 0;      // CAV over |a| >= 5 cm/s/s, cm/s
  float cavStd = 0;    // standardised CAV, cm/s
  float asi = 0;       // acceleration spectrum intensity, cm/s
  float vsi = 0;       // velocity spectrum intensity, cm
  float housner = 0;   // Housner intensity, cm
  float sma = 0, smv = 0;  // sustained maximum acceleration and velocity
  float eda = 0;       // effective design acceleration, cm/s/s
  float a95 = 0;       // cm/s/s
  float tp = 0, tm = 0;   // predominant and mean periods, s
  float bracketed = 0;    // bracketed duration at 0.05 g, s
  float bracketedLevel = 0;  // at the chosen level, s
  float uniform = 0;         // uniform duration at 0.05 g, s
  float uniformLevel = 0;    // at the chosen level, s
  float tPga = 0, tPgv = 0, tPgd = 0;  // s from the record's start
};

// The channel measures in the order reports and flatfiles give them: the column key (a level in
// the key's brackets when `atLevel`, "(L)" standing for the chosen one), the unit, the field.
struct MeasureField {
  const char* key;
  const char* unit;
  float ChannelMeasures::*field;
  bool atLevel = false;
};
std::span<const MeasureField> ChannelMeasureFields();
// The key of a field with the chosen level (cm/s/s) written in.
std::string MeasureKey(const MeasureField& f, float level);

// The measures of acceleration `acc` with its velocity and displacement (null: those measures
// stay 0), n samples at step dt, `level` the chosen level of the durations in cm/s/s.
ChannelMeasures MeasureChannel(const float* acc, const float* vel, const float* disp, int32_t n, float dt,
                               float level);

struct PairMeasures {
  float rotd50Pga = 0, rotd50Pgv = 0;  // cm/s/s, cm/s
  float svaMax = 0;                    // largest 5 %-damped absolute velocity response, cm/s
  int32_t lpgmClass = 0;               // JMA long-period ground-motion class, 0 below class 1
};

// The measures of the horizontal pair x, y (velocities vx, vy may be null: no RotD50 of PGV, and
// the ground velocity of the long-period class from the accelerations).
PairMeasures MeasurePair(const float* x, const float* y, const float* vx, const float* vy, int32_t n, float dt);

// The ductilities computed unless asked otherwise.
const std::vector<float>& StandardDuctilities();

struct DuctilitySpectra {
  std::vector<float> periods, ductilities;
  float dampingPercent = 5, alpha = 0;
  // Element k + NP * j for period k and ductility j: the strength reduction factor R, the yield
  // strength per unit mass (cm/s/s), the peak inelastic and the yield displacements (cm).
  std::vector<float> r, say, sdm, sdy;
  bool valid = false;

  float R(std::size_t k, std::size_t j) const { return r[k + periods.size() * j]; }
};

DuctilitySpectra ComputeDuctilitySpectra(const float* acc, int32_t n, float dt, const std::vector<float>& periods,
                                         const std::vector<float>& ductilities, float dampingPercent, float alpha);
// The same for several channels at once (their searches share the library's work), one per channel.
std::vector<DuctilitySpectra> ComputeDuctilitySpectra(const std::vector<const float*>& accs, int32_t n, float dt,
                                                      const std::vector<float>& periods,
                                                      const std::vector<float>& ductilities, float dampingPercent,
                                                      float alpha);

}  // namespace sism
