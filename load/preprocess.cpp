#include "load/preprocess.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "common/strings.h"
#include "common/text.h"
#include "record/display_text.h"
#include "sismcalc/binding/calc.h"

namespace sism {

void UpdateChannelPeak(StrongRecord& rec, int32_t ch) {
  if (rec.DataCount < 1) {
    rec.Peak(ch) = 0;
    rec.PeakStep(ch) = 0;
    return;
  }
  int32_t n = rec.DataCount;
  const float* x = rec.Channel(ch);
  float peak = calc::GETPEAK(&n, x);
  rec.Peak(ch) = peak;
  // The step goes with the peak, so that both describe the same sample.
  int32_t step = 0;
  for (int32_t i = 0; i < n; ++i) {
    if (std::fabs(x[i]) == std::fabs(peak)) {
      step = i + 1;
      break;
    }
  }
  rec.PeakStep(ch) = peak == 0 ? 0 : step;
}

void SkipStart(StrongRecord& rec, float seconds) {
  double steps = static_cast<double>(rec.SampFreq) * static_cast<double>(seconds);
  if (!(steps < static_cast<double>(rec.DataCount))) return;  // also NaN
  int32_t n = static_cast<int32_t>(RoundHalfEven(steps));
  if (n < 2 || n >= rec.DataCount) return;
  for (int32_t ch = 1; ch <= rec.ChanCount; ++ch) {
    float* x = rec.Channel(ch);
    std::copy(x + n, x + rec.DataCount, x);
  }
  rec.DataCount -= n;
  NormalizeDateTime(rec.RecDate, rec.RecTime, static_cast<int64_t>(RoundHalfEven(seconds)));
}

void LimitLength(StrongRecord& rec, float seconds) {
  if (rec.SampFreq < 1) return;
  double d = RoundHalfEven(static_cast<double>(rec.DataCount) / rec.SampFreq);
  if (!(seconds < d)) return;
  double steps = RoundHalfEven(static_cast<double>(rec.SampFreq) * seconds);
  // Never beyond the samples the record has, and never empty.
  if (steps > rec.DataCount) steps = rec.DataCount;
  if (steps < 1) steps = 1;
  rec.DataCount = static_cast<int32_t>(steps);
}

void RotateHorizontal(StrongRecord& rec, int32_t angle) {
  if (rec.DataCount < 1) return;
  int32_t n = rec.DataCount;
  if (angle == 0) {
    if (rec.ChanCount < 3) return;
    for (int32_t i = 1; i + 1 <= rec.ChanCount; i += 3) {
      std::string a = Left(rec.Label(i), 3), b = Left(rec.Label(i + 1), 3);
      if (!IsNumeric(a) || !IsNumeric(b)) continue;
      double az1 = ToDouble(a), az2 = ToDouble(b);
      double diff = az2 - az1;
      if (diff < 0) diff += 360;
      if (diff != 90) continue;
      float ang = static_cast<float>(az1);
      calc::ROTATE(&n, &ang, rec.Channel(i), rec.Channel(i + 1));
      rec.Label(i) = "000" + Mid(rec.Label(i), 4);
      rec.Label(i + 1) = "090" + Mid(rec.Label(i + 1), 4);
      UpdateChannelPeak(rec, i);
      UpdateChannelPeak(rec, i + 1);
    }
  } else {
    if (rec.ChanCount < 2) return;
    float ang = -static_cast<float>(angle);
    std::string suffix = "+" + FormatNumber(angle, "000");
    for (int32_t i = 1; i + 1 <= rec.ChanCount; i += 3) {
      calc::ROTATE(&n, &ang, rec.Channel(i), rec.Channel(i + 1));
      rec.Label(i) += suffix;
      rec.Label(i + 1) += suffix;
      UpdateChannelPeak(rec, i);
      UpdateChannelPeak(rec, i + 1);
    }
  }
}

bool ParseMultipliers(const std::string& text, std::vector<float>& values) {
  values.clear();
  for (const std::string& part : Split(text, ":")) {
    if (!IsNumeric(part)) {
      values.clear();
      return false;
    }
    float v;
    try {
      v = ToSingle(part);
    } catch (const std::exception&) {
      values.clear();
      return false;
    }
    values.push_back(v == 0 ? 1.0f : v);
  }
  return !values.empty();
}

bool ApplyMultipliers(StrongRecord& rec, const std::string& text) {
  std::vector<float> m;
  if (!ParseMultipliers(text, m)) return false;
  for (int32_t ch = 1; ch <= rec.ChanCount; ++ch) {
    float k = m[static_cast<std::size_t>(ch - 1) % m.size()];
    if (rec.DataCount >= 1) {
      float* x = rec.Channel(ch);
      for (int32_t i = 0; i < rec.DataCount; ++i) x[i] *= k;
    }
    rec.Peak(ch) *= k;
  }
  return true;
}

bool PickChannels(StrongRecord& rec, UserInterface& ui) {
  std::vector<std::string> labels = DisplayLabels(rec);
  std::vector<int32_t> chosen;
  if (!ui.ShowDlgPickChan(labels, chosen)) return false;
  // Each existing channel once, in the order given.
  std::vector<int32_t> keep;
  std::set<int32_t> seen;
  for (int32_t c : chosen)
    if (c >= 1 && c <= rec.ChanCount && seen.insert(c).second) keep.push_back(c);
  if (keep.empty()) return false;

  StrongRecord old = rec;
  int32_t m = static_cast<int32_t>(keep.size());
  rec.RedimHeader(m);
  rec.RedimAcc(old.DataCapacity(), m);
  for (int32_t j = 1; j <= m; ++j) {
    int32_t from = keep[static_cast<std::size_t>(j - 1)];
    rec.Label(j) = old.Label(from);
    rec.Peak(j) = old.Peak(from);
    rec.PeakStep(j) = old.PeakStep(from);
    rec.Offset(j) = old.Offset(from);
    rec.Coef(j) = old.Coef(from);
    if (old.DataCapacity() > 0)
      std::copy(old.Channel(from), old.Channel(from) + old.DataCapacity(), rec.Channel(j));
  }
  rec.ChanCount = m;
  rec.JmaGroup = 0;
  return true;
}

void ConvertToMeter(StrongRecord& rec) {
  for (int32_t ch = 1; ch <= rec.ChanCount; ++ch) {
    if (rec.DataCount >= 1) {
      float* x = rec.Channel(ch);
      for (int32_t i = 0; i < rec.DataCount; ++i) x[i] *= 0.01f;
    }
    rec.Peak(ch) *= 0.01f;
  }
}

void BandPass(StrongRecord& rec, float lowCut, float highCut) {
  if (rec.DataCount < 1 || rec.SampFreq < 1) return;
  float dt = 1.0f / static_cast<float>(rec.SampFreq);
  int32_t n = rec.DataCount;
  for (int32_t ch = 1; ch <= rec.ChanCount; ++ch) {
    calc::FILTER(&n, &dt, &lowCut, &highCut, rec.Channel(ch));
    UpdateChannelPeak(rec, ch);
  }
}

bool ButterworthBandPass(StrongRecord& rec, float lowCut, float highCut, int32_t order, bool acausal,
                         bool keepPad) {
  if (rec.DataCount < 1 || rec.SampFreq < 1) return false;
  float dt = 1.0f / static_cast<float>(rec.SampFreq);
  const int32_t pad = calc::BUTTERPAD(&dt, &lowCut, &highCut, &order);
  if (pad < 0) return false;
  // Kept pads are whole seconds, so that the start time moves back by whole seconds too; they are
  // at least as long as the filter's own, which it then pads no further than needed.
  const int64_t seconds = keepPad ? (pad + rec.SampFreq - 1) / rec.SampFreq : 0;
  const int64_t extra = seconds * rec.SampFreq, total = rec.DataCount + 2 * extra;
  if (total > (int64_t{1} << 30)) return false;
  if (extra > 0) {
    const int32_t chans = rec.AccChannels(), n = rec.DataCount;
    std::vector<float> old(static_cast<std::size_t>(n) * static_cast<std::size_t>(chans));
    for (int32_t ch = 1; ch <= chans; ++ch)
      std::copy(rec.Channel(ch), rec.Channel(ch) + n, old.begin() + (ch - 1) * n);
    rec.RedimAcc(static_cast<int32_t>(total), chans);
    for (int32_t ch = 1; ch <= chans; ++ch)
      std::copy(old.begin() + (ch - 1) * n, old.begin() + ch * n, rec.Channel(ch) + extra);
    rec.DataCount = static_cast<int32_t>(total);
    NormalizeDateTime(rec.RecDate, rec.RecTime, -seconds);
  }
  int32_t n = rec.DataCount, passes = acausal ? 2 : 1, inside = 0;
  for (int32_t ch = 1; ch <= rec.ChanCount; ++ch) {
    if (calc::BUTTER(&n, &dt, &lowCut, &highCut, &order, &passes, &inside, rec.Channel(ch)) == 0)
      return false;
    UpdateChannelPeak(rec, ch);
  }
  return true;
}

namespace {

bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Every "m" that stands as a unit of its own (not inside a word such as "cm" or "mm")
// becomes "cm", so that units written in other ways survive a round trip.
std::string MetresToCentimetres(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    bool alone = s[i] == 'm' && (i == 0 || !IsLetter(s[i - 1])) && (i + 1 == s.size() || !IsLetter(s[i + 1]));
    out += alone ? std::string("cm") : std::string(1, s[i]);
  }
  return out;
}

}  // namespace

void SetLengthUnit(AppState& state, int32_t unit) {
  if (unit != 1 && unit != 2) return;
  if (unit == state.run.LengthUnit) return;
  for (int a = 1; a <= kAxisCount; ++a) {
    std::string& u = state.graph.Axis[static_cast<std::size_t>(a)].Unit;
    u = unit == 2 ? ReplaceAll(u, "cm", "m") : MetresToCentimetres(u);
  }
  state.run.LengthUnit = unit;
}

std::string MultipliersRejectedText(const std::string& text) {
  return Str(9040) + text;
}

std::string PreprocessingLine(const PreProcParams& p) {
  std::vector<std::string> parts;
  auto number = [](float v) { return NumberText(v); };
  const std::string dash = "\xE2\x80\x93";  // en dash
  const bool low = p.LowCutFreq > 0, high = p.HighCutFreq > 0;
  if (low && high)
    parts.push_back("band-pass " + number(p.LowCutFreq) + dash + number(p.HighCutFreq) + " Hz");
  else if (low)
    parts.push_back("low-cut " + number(p.LowCutFreq) + " Hz");
  else if (high)
    parts.push_back("high-cut " + number(p.HighCutFreq) + " Hz");
  if ((low || high) &&
      (p.FilterType == kFilterButterworthCausal || p.FilterType == kFilterButterworthAcausal))
    parts.back() += " (Butterworth order " + std::to_string(p.FilterOrder) +
                    (p.FilterType == kFilterButterworthAcausal ? ", zero phase)" : ", causal)");
  if (p.RotateWave && p.RotateWaveAngle % 360 != 0)
    parts.push_back("rotated " + std::to_string(p.RotateWaveAngle) + "\xC2\xB0");
  // The stretch kept, in seconds of the file.
  const float from = std::max(p.SkipSeconds, 0.0f);
  if (p.TimeLength > 0)
    parts.push_back(number(from) + dash + number(from + p.TimeLength) + " s");
  else if (from > 0)
    parts.push_back("from " + number(from) + " s");
  if (!Trim(p.Multipliers).empty()) parts.push_back("multipliers " + Trim(p.Multipliers));
  if (p.PickChannels) parts.push_back("channels picked");
  std::string text;
  for (std::size_t i = 0; i < parts.size(); ++i) text += (i ? ", " : "") + parts[i];
  return text;
}

PreprocessNotes Preprocess(const AppState& state, StrongRecord& rec, UserInterface& ui, bool open) {
  const PreProcParams& p = state.preproc;
  PreprocessNotes notes;
  if (p.SkipSeconds > 0) SkipStart(rec, p.SkipSeconds);
  if (p.TimeLength > 0) LimitLength(rec, p.TimeLength);
  if (p.RotateWave) RotateHorizontal(rec, p.RotateWaveAngle);
  if (!p.Multipliers.empty() && !ApplyMultipliers(rec, p.Multipliers)) notes.multipliersRejected = true;
  if (p.PickChannels && rec.ChanCount > 1) PickChannels(rec, ui);
  if (p.RemoveDC) RemoveMeanOffset(rec, p.RemoveDCSeconds);
  if (open) {
    if (p.ConvertToMeter) ConvertToMeter(rec);
    notes.lengthUnit = p.ConvertToMeter ? 2 : 1;
  } else if (state.run.LengthUnit == 2) {
    // Appended channels take the unit of the record they join, whatever the switch says
    // now: one record, one unit.
    ConvertToMeter(rec);
  }
  if (p.LowCutFreq > 0 || p.HighCutFreq > 0) {
    if (p.FilterType == kFilterButterworthCausal || p.FilterType == kFilterButterworthAcausal) {
      const int32_t order = std::clamp(p.FilterOrder, int32_t{1}, kMaxFilterOrder);
      if (!ButterworthBandPass(rec, p.LowCutFreq, p.HighCutFreq, order,
                               p.FilterType == kFilterButterworthAcausal, p.FilterKeepPad))
        notes.filterRejected = true;
    } else {
      BandPass(rec, p.LowCutFreq, p.HighCutFreq);
    }
  }
  // What was refused was not done.
  PreProcParams applied = p;
  if (notes.multipliersRejected) applied.Multipliers.clear();
  if (notes.filterRejected) applied.LowCutFreq = applied.HighCutFreq = 0;
  if (applied.PickChannels && rec.ChanCount <= 1) applied.PickChannels = false;
  notes.done = PreprocessingLine(applied);
  return notes;
}

}  // namespace sism
