// Ground-motion measures of a whole record, as record-selection and ground-motion-model work
// collects them: peaks, Arias intensity, cumulative absolute velocity, significant durations,
// pseudo-acceleration spectra of each channel and RotD50/RotD100 of each horizontal pair.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "analysis/motion_measures.h"
#include "record/strong_record.h"

namespace sism {

struct AppState;
class UserInterface;

// Periods (s) the measures are given at unless asked otherwise: 0.01 to 10 s.
const std::vector<float>& StandardMetricPeriods();

struct MetricsRequest {
  std::vector<float> periods = StandardMetricPeriods();
  float dampingPercent = 5;
  int32_t stepsPerPeriod = 0;  // 0: peaks at the samples only
  float durationLevel = 5;     // cm/s/s: the chosen level of the bracketed and uniform durations
  // Target ductilities of the strength reduction factors at the periods (none: not computed).
  std::vector<float> ductilities = {2.0f, 4.0f};
};

struct ChannelMetrics {
  int32_t ch = 0;
  float pga = 0, pgv = 0, pgd = 0;  // largest magnitudes: cm/s/s, cm/s, cm
  float arias = 0;                  // m/s
  float cav = 0;                    // cm/s
  float d575 = 0, d595 = 0;         // s
  std::vector<float> psa;           // pseudo-acceleration w^2 Sd at each period, cm/s/s
  ChannelMeasures more;             // the measures beyond the peaks
  DuctilitySpectra ductility;       // at the periods and the request's ductilities
};

struct PairMetrics {
  int32_t x = 0, y = 0;  // channels; angles turn from x toward y
  std::vector<float> rotd50, rotd100, angle100;
  PairMeasures more;  // RotD50 of PGA and PGV, the long-period ground-motion class
  std::vector<float> eas;  // effective amplitude spectrum at kEasFrequencies, cm/s; empty if not computed
};

// Frequencies (Hz) of the effective amplitude spectrum in the metrics (Konno-Ohmachi b = 40).
inline constexpr float kEasFrequencies[] = {0.1f, 0.2f, 0.5f, 1.0f, 2.0f, 5.0f, 10.0f};

struct RecordMetrics {
  std::vector<float> periods;
  std::vector<float> ductilities;  // of each channel's strength reduction factors
  float durationLevel = 5;
  float dampingPercent = 5;
  std::vector<ChannelMetrics> channels;  // in channel order
  std::vector<PairMetrics> pairs;
  // Set by ComputeMetrics when the velocity and displacement could not be computed.
  std::string motionError;

  const ChannelMetrics* Channel(int32_t ch) const;
  const PairMetrics* Pair(int32_t x, int32_t y) const;
};

// Whether a channel label names the vertical component (U-D, UP, Z, HNZ, V2 ...).
bool IsVerticalLabel(const std::string& label);

// The horizontal pairs of a record: in each sensor group of three channels, the two whose labels
// are not vertical (the first two when no label says which is vertical); in a record of two
// channels, those two unless one is vertical.
std::vector<std::pair<int32_t, int32_t>> HorizontalPairs(const StrongRecord& rec);

// The components one row of a flatfile describes: the record's intensity group (or its
// first channels), as two horizontals and a vertical; 0 where the record has none.
struct ComponentSet {
  int32_t h1 = 0, h2 = 0, v = 0;
};
ComponentSet FlatfileComponents(const StrongRecord& rec);

// The measures of the channels `chans` (1-based) and the pairs `pairs` of the loaded record.
// Velocity and displacement come from the record's integration settings; arithmetic failures of
// the integration leave PGV and PGD at 0 and say why in motionError.
RecordMetrics ComputeMetrics(AppState& app, const std::vector<int32_t>& chans,
                             const std::vector<std::pair<int32_t, int32_t>>& pairs, const MetricsRequest& request,
                             UserInterface& ui);

}  // namespace sism
