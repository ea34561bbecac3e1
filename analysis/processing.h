// The automatic processing chain of a record: checks, P-wave onset and the noise and signal
// windows, signal-to-noise ratio and corner frequencies, band-pass filter and polynomial
// baseline, checks after, and the provenance of every step. No user interface.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "record/strong_record.h"
#include "state/processing_params.h"

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

// Corners given for a channel (by an analyst), Hz; 0 leaves that corner to the chain.
struct FixedCorners {
  int32_t ch = 0;
  float highPass = 0, lowPass = 0;
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
  const ChannelProcessing* Channel(int32_t ch) const;
  // The flag names joined with ';' (empty when none).
  std::string FlagList() const;
};

// The channels the chain works on: every channel of the record.
std::vector<int32_t> ProcessingChannels(const StrongRecord& rec);

// Each step on its own; every one adds its step (and its flags) to `r`.
// Sample count, rate, dead and constant channels, absurd amplitudes, clipping.
void CheckBeforeProcessing(const StrongRecord& rec, const ProcessingParams& p, ProcessingResult& r);
// Picks of each channel, the record's onset, the noise and signal windows.
void PickOnset(const StrongRecord& rec, const ProcessingParams& p, ProcessingResult& r);
// Signal and noise spectra, their ratio and the corners it gives, for every channel.
void ComputeSnrCorners(const StrongRecord& rec, const ProcessingParams& p, ProcessingResult& r);
// The high-pass corner raised until the displacement meets the residual criterion.
void RaiseHighPassCorners(const StrongRecord& rec, const ProcessingParams& p, ProcessingResult& r);
// Demean, taper, zero-phase band-pass at the corners and the polynomial baseline, in place.
void FilterAndCorrect(StrongRecord& rec, const ProcessingParams& p, ProcessingResult& r);
// Final velocity and displacement, tail amplitudes and the ratio over the check band.
void CheckAfterProcessing(const StrongRecord& rec, const ProcessingParams& p, ProcessingResult& r);

// The given corners in place of those of the signal-to-noise ratio: the ratio's flags of
// those channels are dropped and the high-pass corner is not raised.
void FixCorners(const std::vector<FixedCorners>& fixed, ProcessingResult& r);

// The whole chain in order, on the record in place (left as read when rejected before the
// filter); stops at the first step that cannot go on.
ProcessingResult ProcessRecord(StrongRecord& rec, const ProcessingParams& p,
                               const std::vector<FixedCorners>& fixed = {});

// The provenance as one JSON document: the record, the outcome, and every step.
std::string ProvenanceJson(const StrongRecord& rec, const std::string& source, const ProcessingResult& r);

}  // namespace sism
