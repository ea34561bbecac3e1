// The values the dialogs that headless code asks for take and give back. The rules of
// each dialog live in its form class (app/shell/forms/); these plain values are what
// crosses the UserInterface.
#pragma once

#include <cstdint>
#include <string>

namespace sism {

// What the general-data and CSV dialogs show and return. Counts: seismometer data
// without a response, where only the coefficient to cm/s/s is asked.
enum class DataFileKind { General, Csv, Counts };
struct DataFileParams {
  int32_t skip = 1;
  int32_t count = 4096;
  int32_t freq = 100;
  int32_t channels = 1;
  std::string description = "explanation on records";
  float coef = 1;
  // Fixed-width layout (general files); all 0 unless the user specified it.
  int32_t start = 0;
  int32_t width = 0;
  int32_t columns = 0;
  // CSV files.
  bool hasLabel = false;
  bool neglectFirst = false;
  // What the guess left out and why ("490 rows from line 11 on not read: "nan" is not a
  // number"); empty when the proposed count takes every row of numbers.
  std::string note;
};

// Values of the channel-selection dialog (orbit, relation, new channel).
enum class SelChanMode : int { Orbit = 1, Relation = 2, NewChannel = 3 };
struct SelChanValues {
  int32_t channelX = 1;
  int32_t channelY = 1;
  float multiplierX = 0;
  float multiplierY = 0;
  std::string label;
};

// Parameters of the preprocessing chain applied to every file read, as the preprocessing
// dialog edits them.
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

inline constexpr int32_t kFilterFft = 0, kFilterButterworthCausal = 1, kFilterButterworthAcausal = 2;
inline constexpr int32_t kMaxFilterOrder = 12;

// A band-pass needs its low-cut below its high-cut; either alone (the other 0) is fine.
inline bool FilterCornersValid(const PreProcParams& p) {
  return !(p.LowCutFreq > 0 && p.HighCutFreq > 0 && p.LowCutFreq >= p.HighCutFreq);
}

// The six header texts the record-parameter dialog edits.
struct RecordTexts {
  std::string date, time, code, station, lat, lon;
};

}  // namespace sism
