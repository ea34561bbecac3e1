// The automatic processing chain of a record: checks, P-wave onset and the noise and signal
// windows, signal-to-noise ratio and corner frequencies, band-pass filter and polynomial
// baseline, checks after, and the provenance of every step. No user interface.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "record/strong_record.h"
#include "state/processing_params.h"
#include "state/processing_result.h"

namespace sism {

// Corners given for a channel (by an analyst), Hz; 0 leaves that corner to the chain.
struct FixedCorners {
  int32_t ch = 0;
  float highPass = 0, lowPass = 0;
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

// The provenance as one JSON document: the record, the outcome, the files the processed
// record was written to, and every step.
std::string ProvenanceJson(const StrongRecord& rec, const std::string& source, const ProcessingResult& r,
                           const std::vector<std::string>& files = {});

}  // namespace sism
