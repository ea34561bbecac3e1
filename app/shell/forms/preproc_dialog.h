// What the preprocessing dialog does, without the window: the controls' contents, which
// boxes are enabled, and the three buttons.
#pragma once

#include <functional>
#include <string>

#include "common/ui.h"
#include "state/preproc_params.h"

namespace sism {

// Writes the stored fields of the parameters; may raise a run-time error.
using PreProcSaver = std::function<void(const PreProcParams&)>;
// Section "PreProcess" of the per-user settings store.
void SavePreProcDefaults(const PreProcParams& params);

class PreProcDialog {
 public:
  // Text boxes as typed and check boxes as ticked.
  struct Controls {
    std::string LowCutFreq, HighCutFreq, RemoveDCSeconds, RotateWaveAngle, SkipSeconds, TimeLength,
        Multipliers, RefSensor;
    bool RemoveDC = false, RotateWave = false, KeepDrawChan = false, PickChannels = false,
         ConvertToMeter = false, PrefixCode = false, ShowEachTime = false;
    // The filter list (texts 16141-16143 in FilterType's order), the order box, the pads box.
    int32_t FilterType = 0;
    std::string FilterOrder;
    bool FilterKeepPad = false;
  };

  // The controls show `params`: numbers in their plain text form, ticks for true.
  // `nyquist` (Hz) is half the sampling frequency of the record on screen, 0 when there is
  // none: the filter corners must stay below it.
  PreProcDialog(const PreProcParams& params, PreProcSaver saver = SavePreProcDefaults, float nyquist = 0);

  Controls controls;

  // The offset-seconds box follows the offset check box, the angle box the rotate one.
  bool OffsetSecondsEnabled() const { return controls.RemoveDC; }
  bool AngleEnabled() const { return controls.RotateWave; }
  // The order and the pads belong to the Butterworth filters only.
  bool FilterOrderEnabled() const { return controls.FilterType != kFilterFft; }

  // The sentence that refuses the first enabled number box outside its range (the filter
  // corners 0 for none or above 0 and below the Nyquist frequency, when `againstRecord`);
  // empty when every box is fine.
  std::string Refusal(bool againstRecord) const;
  // OK: a box outside its range, multipliers that do not read as numbers or crossed filter
  // corners are refused with a message and the dialog stays open (false); otherwise
  // `params` gets the values and the dialog closes (true). A disabled box that is not a
  // number keeps the field's previous value.
  bool Ok(PreProcParams& params, UserInterface& ui) const;
  // Set as default: the values over a record of zeros, false and empty texts, written
  // through the saver. `params` stays as it is and the dialog stays open. False, with a
  // message, for a box outside its range (corners are not held to the record on screen, the
  // defaults serve other records), multipliers that are not numbers, or when the store
  // cannot be written.
  bool SetAsDefault(UserInterface& ui) const;
  // Cancel or closing the window: nothing changes.
  static bool Cancel() { return false; }

 private:
  PreProcParams ReadControls(const PreProcParams& base) const;
  bool MultipliersAcceptable(UserInterface& ui) const;
  bool CornersAcceptable(const PreProcParams& next, UserInterface& ui) const;
  bool OrderAcceptable(UserInterface& ui) const;
  bool BoxesAcceptable(bool againstRecord, UserInterface& ui) const;
  PreProcSaver saver_;
  float nyquist_ = 0;
};

}  // namespace sism
