// The rules of the calculation-parameter dialog, without the window: which boxes each
// choice enables, which recalculation bit each change sets, and what Apply does.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "state/calc_params.h"

namespace sism {

class CalcDialogModel {
 public:
  // The nine text boxes, in their control-array order.
  enum Box : int {
    BoxTimeFront = 0,
    BoxTimeRear = 1,
    BoxFourLength = 2,
    BoxFourStart = 3,
    BoxWindowWidth = 4,
    BoxRespDamping = 5,
    BoxRespSteps = 6,
    BoxCutOffFreq = 7,
    BoxStartThreshold = 8,
    BoxKonnoB = 9,
    BoxDuctilities = 10,
    BoxDuctilityAlpha = 11,
    BoxDuctilityDamping = 12,
  };
  static constexpr int kBoxCount = 13;
  // String numbers of the box labels.
  static constexpr std::array<int, kBoxCount> kBoxLabels = {7530, 7540, 7560, 7565, 7570, 7580, 7590,
                                                            7520, 7610, 7575, 7630, 7631, 7632};

  // Takes a working copy of the parameters; nothing is pending.
  explicit CalcDialogModel(const CalcParams& params);

  const CalcParams& Working() const { return work_; }
  int32_t Flags() const { return work_.RecalcFlags; }
  // Any accepted change enables Apply, also one that needs no recalculation.
  bool ApplyEnabled() const { return changed_ || work_.RecalcFlags != 0; }

  // The text a box shows for its field.
  std::string BoxText(int box) const;

  void ChooseIntegrationMethod(int32_t method);  // list index 0..4
  void ChooseFourDurationType(int32_t type);     // list index 0..2
  void SetRespNormalize(bool on);
  void SetRespPeaksBetweenSamples(bool on);
  void ChooseSmoothing(int32_t smoothing);  // list index: 0 Parzen, 1 Konno-Ohmachi
  // What the constant-ductility kind draws (DuctilityQuantity); only a redraw.
  void ChooseDuctilityQuantity(int32_t quantity);
  // Leaving a box: a number in the box's range is stored and sets its bit; anything else is
  // refused (false: the box gets its previous text back, the program beeps and shows
  // Refusal()). Damping takes 0 to 100 %, the number of periods a whole number of at least 1
  // (rounded), the others numbers of at least 0. The ductilities are 1 to 10 different
  // numbers above 1 and at most 100 (stored in rising order), the post-yield stiffness ratio
  // 0 to below 1, the ductility damping 0 to below 100 %.
  bool LeaveBox(int box, const std::string& text);
  // The sentences that refused the last box: its name, its range and the value it keeps.
  const std::string& Refusal() const { return refusal_; }

  bool CutOffEnabled() const;       // lattice filter and FFT
  bool FrontRearEnabled() const;    // bi-linear only
  bool LengthStartEnabled() const;  // "Specify start time and time length"
  bool WindowWidthEnabled() const { return work_.FourierSmoothing != kSmoothKonno; }
  bool KonnoEnabled() const { return work_.FourierSmoothing == kSmoothKonno; }

  // Copies the working copy into `target`, flags included (relations are added when
  // spectra changed), and clears the dialog's flags. Returns whether anything is to be
  // recalculated and redrawn.
  bool Apply(CalcParams& target);
  // After loading a settings file into the working copy.
  void Replace(const CalcParams& params);

 private:
  bool LeaveDuctilities(const std::string& text);

  CalcParams work_;
  bool changed_ = false;
  bool redraw_ = false;  // a change that needs a redraw but no recalculation
  std::string refusal_;
};

}  // namespace sism
