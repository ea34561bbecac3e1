#include "app/shell/forms/calc_dialog.h"

#include "app/shell/forms/field_check.h"
#include "common/errors.h"
#include "common/text.h"

namespace sism {

CalcDialogModel::CalcDialogModel(const CalcParams& params) : work_(params) {
  work_.RecalcFlags = 0;
}

void CalcDialogModel::Replace(const CalcParams& params) {
  int32_t flags = work_.RecalcFlags;
  work_ = params;
  work_.RecalcFlags = flags | RecalcIntegration | RecalcFourier | RecalcResponse | RecalcDuctility;
  changed_ = true;
}

std::string CalcDialogModel::BoxText(int box) const {
  switch (box) {
    case BoxTimeFront:
      return NumberText(work_.TimeFront);
    case BoxTimeRear:
      return NumberText(work_.TimeRear);
    case BoxFourLength:
      return NumberText(work_.FourLength);
    case BoxFourStart:
      return NumberText(work_.FourStart);
    case BoxWindowWidth:
      return NumberText(work_.WindowWidth);
    case BoxRespDamping:
      return NumberText(work_.RespDamping);
    case BoxRespSteps:
      return std::to_string(work_.RespSteps);
    case BoxCutOffFreq:
      return NumberText(work_.CutOffFreq);
    case BoxStartThreshold:
      return NumberText(work_.StartThreshold);
    case BoxKonnoB:
      return NumberText(work_.KonnoB);
    case BoxDuctilities:
      return DuctilityListText(work_.Ductilities);
    case BoxDuctilityAlpha:
      return NumberText(work_.DuctilityAlpha);
    case BoxDuctilityDamping:
      return NumberText(work_.DuctilityDamping);
    default:
      return {};
  }
}

void CalcDialogModel::ChooseIntegrationMethod(int32_t method) {
  changed_ = true;
  work_.IntegrationMethod = method;
  work_.RecalcFlags |= RecalcIntegration;
}

void CalcDialogModel::ChooseFourDurationType(int32_t type) {
  changed_ = true;
  work_.FourDurationType = type;
  work_.RecalcFlags |= RecalcFourier;
}

void CalcDialogModel::SetRespNormalize(bool on) {
  changed_ = true;
  work_.RespNormalize = on;
  work_.RecalcFlags |= RecalcResponse;
}

void CalcDialogModel::ChooseSmoothing(int32_t smoothing) {
  changed_ = true;
  work_.FourierSmoothing = smoothing;
  work_.RecalcFlags |= RecalcFourier;
}

void CalcDialogModel::ChooseDuctilityQuantity(int32_t quantity) {
  if (quantity < 0 || quantity >= kDuctilityQuantities || quantity == work_.DuctilityQuantity) return;
  changed_ = redraw_ = true;
  work_.DuctilityQuantity = quantity;
}

void CalcDialogModel::SetRespPeaksBetweenSamples(bool on) {
  changed_ = true;
  work_.RespPeaksBetweenSamples = on;
  work_.RecalcFlags |= RecalcResponse;
}

bool CalcDialogModel::LeaveDuctilities(const std::string& text) {
  refusal_.clear();
  const std::optional<std::vector<float>> mu = ParseDuctilityList(text);
  if (!mu) {
    refusal_ = RefusalText(FieldName(kBoxLabels[BoxDuctilities]),
                           "1 to " + std::to_string(kMaxDuctilities) +
                               " different numbers above 1 and at most " + NumberText(kMaxDuctility) +
                               " (1 is the elastic spectrum)",
                           text) +
               " It keeps " + BoxText(BoxDuctilities) + ".";
    return false;
  }
  if (*mu != work_.Ductilities) work_.Ductilities = *mu, work_.RecalcFlags |= RecalcDuctility;
  changed_ = true;
  return true;
}

bool CalcDialogModel::LeaveBox(int box, const std::string& text) {
  if (box < 0 || box >= kBoxCount) return false;
  if (box == BoxDuctilities) return LeaveDuctilities(text);
  // A damping outside 0-100 % has no oscillator; a spectrum needs a period.
  NumberRange range{0, 1e30};
  if (box == BoxRespDamping) range = {0, 100};
  if (box == BoxRespSteps) range = {1, 100000};
  // A post-yield stiffness of 1 is an elastic oscillator; the damping must leave it oscillating.
  if (box == BoxDuctilityAlpha) range = {0, 1, true, false};
  if (box == BoxDuctilityDamping) range = {0, 100, true, false};
  refusal_.clear();
  float value = 0;
  int32_t steps = 0;
  bool read = NumberIn(text, range).has_value();
  if (read) {
    try {
      value = ToSingle(text);
      if (box == BoxRespSteps) steps = ToLong(text);
    } catch (const RuntimeError&) {
      read = false;
    }
  }
  if (!read) {
    refusal_ = RefusalText(FieldName(kBoxLabels[static_cast<std::size_t>(box)]), range.Text(), text) +
               " It keeps " + BoxText(box) + ".";
    return false;
  }
  switch (box) {
    case BoxTimeFront:
      work_.TimeFront = value, work_.RecalcFlags |= RecalcIntegration;
      break;
    case BoxTimeRear:
      work_.TimeRear = value, work_.RecalcFlags |= RecalcIntegration;
      break;
    case BoxCutOffFreq:
      work_.CutOffFreq = value, work_.RecalcFlags |= RecalcIntegration;
      break;
    case BoxFourLength:
      work_.FourLength = value, work_.RecalcFlags |= RecalcFourier;
      break;
    case BoxFourStart:
      work_.FourStart = value, work_.RecalcFlags |= RecalcFourier;
      break;
    case BoxWindowWidth:
      work_.WindowWidth = value, work_.RecalcFlags |= RecalcFourier;
      break;
    case BoxRespDamping:
      work_.RespDamping = value, work_.RecalcFlags |= RecalcResponse;
      break;
    case BoxRespSteps:
      // The constant-ductility spectra share the response periods.
      work_.RespSteps = steps, work_.RecalcFlags |= RecalcResponse | RecalcDuctility;
      break;
    case BoxDuctilityAlpha:
      work_.DuctilityAlpha = value, work_.RecalcFlags |= RecalcDuctility;
      break;
    case BoxDuctilityDamping:
      work_.DuctilityDamping = value, work_.RecalcFlags |= RecalcDuctility;
      break;
    case BoxStartThreshold:
      work_.StartThreshold = value;
      break;
    case BoxKonnoB:
      // Outside the coefficients in use the window is either one bin wide or the whole record.
      if (!(value >= kKonnoMinB && value <= kKonnoMaxB)) return false;
      work_.KonnoB = value, work_.RecalcFlags |= RecalcFourier;
      break;
    default:
      return false;
  }
  changed_ = true;
  return true;
}

bool CalcDialogModel::CutOffEnabled() const {
  return work_.IntegrationMethod == 0 || work_.IntegrationMethod == 4;
}
bool CalcDialogModel::FrontRearEnabled() const {
  return work_.IntegrationMethod == 2;
}
bool CalcDialogModel::LengthStartEnabled() const {
  return work_.FourDurationType == 2;
}

bool CalcDialogModel::Apply(CalcParams& target) {
  if (work_.RecalcFlags & (RecalcFourier | RecalcResponse)) work_.RecalcFlags |= RecalcRelations;
  const bool redraw = work_.RecalcFlags != 0 || redraw_;
  const int32_t pendingBefore = target.RecalcFlags;
  target = work_;
  target.RecalcFlags |= pendingBefore;
  work_.RecalcFlags = 0;
  changed_ = redraw_ = false;
  return redraw;
}

}  // namespace sism
