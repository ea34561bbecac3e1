// What the automatic processing found on a record: its checks, onset and windows, the
// spectra and corners of every channel, and the steps as run. Plain data, kept in the
// program state while the record it describes is shown.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "record/strong_record.h"

namespace sism {

// A failed check: its name, the channel (0: the record), and its numbers as "key=value" text.
struct ProcessingFlag {
  std::string name;
  int32_t ch = 0;
  std::string detail;
  // Whether the chain could not go on past it (the record is then rejected whatever the setting).
  bool stops = false;
};

// One step as run: its name, the parameters it used and what it found, as key and value texts.
struct ProcessingStep {
  std::string name;
  std::vector<std::pair<std::string, std::string>> params, results;
};

struct ChannelProcessing {
  int32_t ch = 0;
  int32_t aicPick = 0, energyPick = 0;  // 1-based samples, 0 none
  bool pickReliable = false;
  // The signal-to-noise ratio on the log grid: signal and scaled noise spectra (cm/s).
  std::vector<float> freqs, signal, noise, snr;
  float snrHighPass = 0, snrLowPass = 0;  // corners from the ratio alone, Hz
  float highPass = 0, lowPass = 0;        // corners used, Hz
  float residualRatio = 0;                // of the displacement at the corners used
  float finalVelocity = 0, finalDisplacement = 0;  // cm/s, cm after processing
  float tailVelocity = 0, tailDisplacement = 0;    // ratios of the tail's peak to the peak
  bool processed = false;
  bool cornersFixed = false;  // the corners were given, not searched for
};

struct ProcessingResult {
  int32_t onset = 0;             // 1-based sample of the record's P-wave onset; 0 none
  bool onsetReliable = false;
  int32_t noiseFirst = 0, noiseLast = 0, signalFirst = 0, signalLast = 0;  // 1-based samples
  std::vector<ChannelProcessing> channels;
  std::vector<ProcessingFlag> flags;
  std::vector<ProcessingStep> steps;
  bool processed = false;  // the record was filtered and corrected
  bool rejected = false;

  float OnsetSeconds(int32_t rate) const { return rate > 0 && onset > 0 ? static_cast<float>(onset - 1) / rate : 0; }
  const ChannelProcessing* Channel(int32_t ch) const {
    for (const ChannelProcessing& c : channels)
      if (c.ch == ch) return &c;
    return nullptr;
  }
  // The flag names joined with ';' (empty when none).
  std::string FlagList() const {
    std::string s;
    for (const ProcessingFlag& f : flags) {
      const std::string name = f.ch > 0 ? f.name + "@" + std::to_string(f.ch) : f.name;
      s += (s.empty() ? "" : ";") + name;
    }
    return s;
  }
};

// A processing run on the record shown: what it found, and the record as it was before,
// which undoing the run puts back.
struct ProcessingRun {
  ProcessingResult result;
  StrongRecord before;
  std::vector<float> durationsBefore;
};

}  // namespace sism
