// The preprocessing chain applied to every file read, one function per step, and the
// chain itself in its fixed order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "state/app_state.h"
#include "common/ui.h"
#include "record/strong_record.h"

namespace sism {

// Drops the first round(SampFreq * seconds) steps (nothing below 2 steps or from the
// whole record on) and advances the start time.
void SkipStart(StrongRecord& rec, float seconds);
// Keeps the first `seconds` of the record when it is longer than that.
void LimitLength(StrongRecord& rec, float seconds);
// Rotates the horizontal pairs (1,2), (4,5), ...: by -angle degrees, or for angle 0 onto
// north and east using the azimuths the labels begin with.
void RotateHorizontal(StrongRecord& rec, int32_t angle);

// The multipliers of a text such as "1:1:0.5" (0 stands for 1). False, with `values`
// empty, when a part is not a number.
bool ParseMultipliers(const std::string& text, std::vector<float>& values);
// Scales channel c by multiplier ((c - 1) mod n) + 1. False when the text does not read as
// multipliers; the record is then unchanged.
bool ApplyMultipliers(StrongRecord& rec, const std::string& text);
// Keeps the channels the user picks, in the order picked. False when cancelled (unchanged).
bool PickChannels(StrongRecord& rec, UserInterface& ui);
// Centimetres to metres: samples and peaks times 0.01.
void ConvertToMeter(StrongRecord& rec);
// Band-pass filter of every channel; a corner of 0 or less is off.
void BandPass(StrongRecord& rec, float lowCut, float highCut);
// Butterworth band-pass of every channel (a corner of 0 or less is off, the other one then alone),
// causal or forward and backward, the record padded with zeros first. With keepPad the pads, in
// whole seconds, stay in the record and the start time moves back by them. False, the record
// unfiltered, when the corners make no filter for its sampling rate.
bool ButterworthBandPass(StrongRecord& rec, float lowCut, float highCut, int32_t order, bool acausal,
                         bool keepPad);
// Axis length unit: 1 centimetres, 2 metres. Rewrites the unit text of every axis.
void SetLengthUnit(AppState& state, int32_t unit);

// What the chain could not do, for the status bar, and the length unit the opened record
// is in (1 centimetres, 2 metres; 0 for an append, which takes the record's), for the
// caller to apply with SetLengthUnit once the record is taken.
struct PreprocessNotes {
  bool multipliersRejected = false;
  int32_t lengthUnit = 0;
  bool filterRejected = false;  // the Butterworth corners make no filter for the sampling rate
  std::string done;             // PreprocessingLine of what was applied
};
// What the settings do to a record read, one line: "band-pass 0.1–20 Hz, rotated 30°,
// 10–90 s, multipliers 1 1 2, channels picked"; empty when they change nothing but the
// offset or the unit.
std::string PreprocessingLine(const PreProcParams& p);
// The chain on `rec`: the record just opened (open = true) or a file to be appended
// (open = false). Nothing of `state` changes.
PreprocessNotes Preprocess(const AppState& state, StrongRecord& rec, UserInterface& ui, bool open);
// Status text telling that the stored multipliers were not applied.
std::string MultipliersRejectedText(const std::string& text);

// Peak and PeakStep of one channel after its samples changed.
void UpdateChannelPeak(StrongRecord& rec, int32_t ch);

}  // namespace sism
