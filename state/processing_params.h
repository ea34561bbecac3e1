// Parameters of the automatic processing chain (section "Processing" of the settings): the
// checks before and after, the onset pickers, the signal-to-noise band, the filter and the
// baseline. Frequencies in Hz, times in s, accelerations in cm/s/s.
#pragma once

#include <cstdint>
#include <string>

namespace sism {

struct ProcessingParams {
  // Checks before processing.
  int32_t MinSamples = 1000;
  int32_t MinRate = 20;           // samples per second
  float MaxPga = 9806.65f;        // 10 g: above it the amplitudes are absurd
  int32_t ClipRunLength = 5;      // equal samples that make a flat top
  float ClipNear = 0.98f;         // a flat top lies at or above this fraction of the peak
  int32_t ClipRuns = 3;           // flat tops that flag a channel as clipped
  int32_t ClipBins = 201;         // bins of the amplitude histogram
  float ClipHistRatio = 8;        // outermost bin over its neighbour that flags clipping
  // Onset.
  float PickerPeriod = 0;         // oscillator period of the energy picker; 0: from the rate
  float PickerDamping = 0.6f;
  float PickAgreement = 1.0f;     // the two pickers agree within this many seconds
  float NoiseMargin = 0.5f;       // left out of the noise window before the onset
  float MinNoiseSeconds = 2.0f;   // a shorter noise window fails
  int32_t SignalEnd = 0;          // 0: to the record's end; 1: to the Husid fraction below
  float SignalHusid = 0.99f;
  // Signal-to-noise ratio and corners.
  float KonnoB = 20;
  int32_t SnrPoints = 100;        // log grid from SnrFmin to the Nyquist frequency
  float SnrFmin = 0.01f;
  float SnrThreshold = 3;
  float BandMin = 0.02f;          // where the corners are looked for
  float BandMax = 50;
  float LowPassCap = 0.75f;       // of the Nyquist frequency
  float MinBandRatio = 3;         // low-pass over high-pass corner below it fails
  // Residual criterion of the high-pass corner.
  bool RaiseHighPass = true;
  float ResidualTarget = 0.02f;   // largest polynomial fit over the largest displacement
  float MaxHighPass = 1.0f;
  float RidderTolerance = 0.001f;
  int32_t RidderIterations = 30;
  // Filter and baseline.
  float Taper = 0.05f;            // fraction at each end
  int32_t FilterOrder = 5;
  int32_t BaselineDegree = 6;
  // Checks after processing.
  // The end stretch the final values are averaged over (s); 0: the longer of the time to the
  // onset and the high-pass corner's period, as USGS PRISM. Limits are PRISM's defaults.
  float ResidualSeconds = 0;
  float MaxFinalVelocity = 0.1f;      // cm/s
  float MaxFinalDisplacement = 0.1f;  // cm
  float TailSeconds = 5;
  float MaxTailVelocity = 0.3f;   // of the peak velocity
  float MaxTailDisplacement = 0.9f;
  float SnrCheckMin = 0;          // the SNR must stay at the threshold over this band (0: no check)
  float SnrCheckMax = 0;
  // 0 keep records with warnings, 1 reject a record with any failed check.
  int32_t RejectOnFlag = 1;
  // Formats process writes each record in, by writer name ("ac", "cosmos-v2", "sac", "mseed").
  std::string OutputFormats = "ac";

  bool operator==(const ProcessingParams&) const = default;
};

}  // namespace sism
