#include "app/shell/forms/preproc_dialog.h"

#include <cmath>
#include <cstdlib>
#include <optional>
#include <vector>

#include "app/shell/forms/field_check.h"
#include "app/shell/settings.h"
#include "common/errors.h"
#include "common/strings.h"
#include "common/text.h"
#include "load/preprocess.h"

namespace sism {

namespace {

void ReadSingle(const std::string& text, float& field) {
  if (!IsNumeric(text)) return;
  try {
    field = ToSingle(text);
  } catch (const std::exception&) {
  }
}

void ReadLong(const std::string& text, int32_t& field) {
  if (!IsNumeric(text)) return;
  try {
    field = ToLong(text);
  } catch (const std::exception&) {
  }
}

}  // namespace

void SavePreProcDefaults(const PreProcParams& params) {
  SavePreProcParams(params, "");
}

PreProcDialog::PreProcDialog(const PreProcParams& p, PreProcSaver saver, float nyquist)
    : saver_(std::move(saver)), nyquist_(std::isfinite(nyquist) && nyquist > 0 ? nyquist : 0) {
  controls.LowCutFreq = NumberText(p.LowCutFreq);
  controls.HighCutFreq = NumberText(p.HighCutFreq);
  controls.RemoveDCSeconds = std::to_string(p.RemoveDCSeconds);
  controls.RotateWaveAngle = std::to_string(p.RotateWaveAngle);
  controls.SkipSeconds = NumberText(p.SkipSeconds);
  controls.TimeLength = NumberText(p.TimeLength);
  controls.Multipliers = p.Multipliers;
  controls.RefSensor = std::to_string(p.RefSensor);
  controls.RemoveDC = p.RemoveDC;
  controls.RotateWave = p.RotateWave;
  controls.KeepDrawChan = p.KeepDrawChan;
  controls.PickChannels = p.PickChannels;
  controls.ConvertToMeter = p.ConvertToMeter;
  controls.PrefixCode = p.PrefixCode;
  controls.ShowEachTime = p.ShowEachTime;
  controls.FilterType =
      p.FilterType >= kFilterFft && p.FilterType <= kFilterButterworthAcausal ? p.FilterType : kFilterFft;
  controls.FilterOrder = std::to_string(p.FilterOrder);
  controls.FilterKeepPad = p.FilterKeepPad;
}

PreProcParams PreProcDialog::ReadControls(const PreProcParams& base) const {
  PreProcParams p = base;
  ReadSingle(controls.LowCutFreq, p.LowCutFreq);
  ReadSingle(controls.HighCutFreq, p.HighCutFreq);
  ReadLong(controls.RemoveDCSeconds, p.RemoveDCSeconds);
  ReadLong(controls.RotateWaveAngle, p.RotateWaveAngle);
  ReadSingle(controls.SkipSeconds, p.SkipSeconds);
  ReadSingle(controls.TimeLength, p.TimeLength);
  ReadLong(controls.RefSensor, p.RefSensor);
  p.Multipliers = controls.Multipliers;
  p.RemoveDC = controls.RemoveDC;
  p.RotateWave = controls.RotateWave;
  p.KeepDrawChan = controls.KeepDrawChan;
  p.PickChannels = controls.PickChannels;
  p.ConvertToMeter = controls.ConvertToMeter;
  p.PrefixCode = controls.PrefixCode;
  p.ShowEachTime = controls.ShowEachTime;
  p.FilterType = controls.FilterType;
  ReadLong(controls.FilterOrder, p.FilterOrder);
  p.FilterKeepPad = controls.FilterKeepPad;
  return p;
}

bool PreProcDialog::MultipliersAcceptable(UserInterface& ui) const {
  std::vector<float> values;
  if (controls.Multipliers.empty() || ParseMultipliers(controls.Multipliers, values)) return true;
  ui.MsgBox(Str(16120), MsgIcon::Exclamation, Str(16000));
  return false;
}

// A filter whose corners cross would pass nothing: refused before it is taken.
bool PreProcDialog::CornersAcceptable(const PreProcParams& next, UserInterface& ui) const {
  if (FilterCornersValid(next)) return true;
  ui.MsgBox(Str(16130), MsgIcon::Exclamation, Str(16000));
  return false;
}

// An order the filter cannot have is refused rather than quietly changed.
bool PreProcDialog::OrderAcceptable(UserInterface& ui) const {
  if (controls.FilterType == kFilterFft) return true;
  if (IsNumeric(controls.FilterOrder)) {
    const double order = std::atof(controls.FilterOrder.c_str());
    if (order >= 1 && order <= kMaxFilterOrder && order == static_cast<int32_t>(order)) return true;
  }
  ui.MsgBox(Str(16135), MsgIcon::Exclamation, Str(16000));
  return false;
}

std::string PreProcDialog::Refusal(bool againstRecord) const {
  constexpr double kMaxSeconds = 1e6;
  // A corner is 0 for none, else a frequency the record can hold.
  auto corner = [&](int label, const std::string& text) -> std::string {
    const NumberRange above{0, againstRecord && nyquist_ > 0 ? nyquist_ : kNoLimit, false, false};
    const std::optional<double> v = NumberIn(text, NumberRange{0, kNoLimit});
    if (v && (*v == 0 || above.Contains(*v))) return {};
    std::string allowed = "0 for none or " + above.Text();
    if (above.high < kNoLimit) allowed += " Hz (the Nyquist frequency of the record)";
    return RefusalText(FieldName(label), allowed, text);
  };
  auto number = [](int label, const std::string& text, const NumberRange& range) -> std::string {
    if (NumberIn(text, range)) return {};
    return RefusalText(FieldName(label), range.Text(), text);
  };
  const Controls& c = controls;
  for (const std::string& refusal :
       {corner(16010, c.LowCutFreq), corner(16020, c.HighCutFreq),
        c.RemoveDC ? number(16040, c.RemoveDCSeconds, {0, kMaxSeconds}) : std::string(),
        c.RotateWave ? number(16060, c.RotateWaveAngle, {-360, 360}) : std::string(),
        number(16070, c.SkipSeconds, {0, kMaxSeconds}), number(16080, c.TimeLength, {0, kMaxSeconds}),
        number(16090, c.RefSensor, {0, 1e6, true, true, true})})
    if (!refusal.empty()) return refusal;
  return {};
}

bool PreProcDialog::BoxesAcceptable(bool againstRecord, UserInterface& ui) const {
  const std::string refusal = Refusal(againstRecord);
  if (refusal.empty()) return true;
  ui.Beep();
  ui.MsgBox(refusal, MsgIcon::Exclamation, Str(16000));
  return false;
}

bool PreProcDialog::Ok(PreProcParams& params, UserInterface& ui) const {
  if (!BoxesAcceptable(true, ui)) return false;
  if (!MultipliersAcceptable(ui) || !OrderAcceptable(ui)) return false;
  const PreProcParams next = ReadControls(params);
  if (!CornersAcceptable(next, ui)) return false;
  params = next;
  return true;
}

bool PreProcDialog::SetAsDefault(UserInterface& ui) const {
  if (!BoxesAcceptable(false, ui)) return false;
  if (!MultipliersAcceptable(ui) || !OrderAcceptable(ui)) return false;
  PreProcParams zero;
  zero.KeepDrawChan = zero.RemoveDC = zero.RotateWave = zero.PickChannels = zero.ShowEachTime = false;
  zero.ConvertToMeter = zero.PrefixCode = false;
  zero.RemoveDCSeconds = zero.RotateWaveAngle = zero.RefSensor = 0;
  zero.LowCutFreq = zero.HighCutFreq = zero.SkipSeconds = zero.TimeLength = 0;
  zero.Multipliers.clear();
  if (!CornersAcceptable(ReadControls(zero), ui)) return false;
  if (!saver_) return true;
  try {
    saver_(ReadControls(zero));
  } catch (const std::exception& e) {
    ErrorInfo info = CurrentErrorInfo(e);
    ui.MsgBox("Err#" + std::to_string(info.number) + ": " + info.description, MsgIcon::Critical, Str(16000));
    return false;
  }
  return true;
}

}  // namespace sism
