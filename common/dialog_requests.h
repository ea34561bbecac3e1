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

// The six header texts the record-parameter dialog edits.
struct RecordTexts {
  std::string date, time, code, station, lat, lon;
};

}  // namespace sism
