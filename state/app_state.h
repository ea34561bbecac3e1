// The program-wide state: one instance, owned by main and passed by reference.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "state/calc_params.h"
#include "state/computed_series.h"
#include "state/graph_settings.h"
#include "state/preproc_params.h"
#include "state/processing_params.h"
#include "state/processing_result.h"
#include "record/strong_record.h"

namespace sism {

// Which channels the views draw, and the channel pairs of the orbit and relation views.
struct ViewState {
  int32_t GraphKind = 0;       // graph shown; 0 none
  int32_t ViewChanCount = 0;   // channel count known to the view; 0 with no record
  std::vector<bool> DrawChan;  // 1-based: DrawChan[ch - 1]
  std::vector<std::string> LabelCopies;
  int32_t DrawnCount = 0;
  std::vector<std::pair<int32_t, int32_t>> RelationPairs;  // (X, Y)
  // RecalcBits the view itself adds (RecalcTimeAxis: the time window moved); folded into
  // the pending set when series are next brought up to date.
  int32_t Changes = 0;
  // What the open did to the record, one line ("band-pass 0.1–20 Hz, rotated 30°, 10–90 s");
  // empty when nothing was done. Printed, copied, saved and exported with the graphs.
  std::string Preprocessing;
};

// Values that hold for one run and are never stored.
struct RunState {
  bool SwitchC = true;     // clip series to the plot rectangle
  bool SwitchE = true;     // enhanced (vector) clipboard copies
  bool SwitchV = false;    // three extra header lines in exports
  int32_t LengthUnit = 1;  // 1 centimetres, 2 metres
  int32_t RecordFileCount = 0;
  std::string FileToOpen;  // named on the command line
  bool OwnScales = false;  // time histories: each channel on its own amplitude axis
};

struct AppState {
  StrongRecord record;
  std::vector<float> Durations;  // 1-based: Durations[ch - 1]
  ComputedSeries series;
  GraphSettings graph;
  CalcParams calc;
  PreProcParams preproc;
  ProcessingParams processing;
  // The processing run on the record shown; none once the record changes.
  std::optional<ProcessingRun> processed;
  ViewState view;
  RunState run;
};

}  // namespace sism
