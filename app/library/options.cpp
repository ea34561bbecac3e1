#include "app/library/options.h"

#include <algorithm>
#include <cmath>

#include "app/shell/settings.h"
#include "common/text.h"
#include "load/preprocess.h"

namespace sism::library {
namespace {

bool IsYes(const std::string& v) {
  const std::string s = LCase(Trim(v));
  return s == "yes" || s == "true" || s == "1" || s == "on";
}

bool IsYesOrNo(const std::string& v) {
  const std::string s = LCase(Trim(v));
  return IsYes(s) || s == "no" || s == "false" || s == "0" || s == "off";
}

// Reads the options of `keys` one by one; the first that does not read names itself.
class Values {
 public:
  Values(const OptionMap& options, std::string& error) : options_(options), error_(error) {}

  bool Number(const char* key, float& out) {
    const auto it = options_.find(key);
    if (it == options_.end()) return true;
    if (!IsNumeric(it->second) || !std::isfinite(ToDouble(it->second))) return Fail(key, it->second, "a number");
    out = static_cast<float>(ToDouble(it->second));
    return true;
  }
  bool Whole(const char* key, int32_t& out) {
    const auto it = options_.find(key);
    if (it == options_.end()) return true;
    const double v = IsNumeric(it->second) ? ToDouble(it->second) : NAN;
    if (!(std::fabs(v) < 2e9) || v != std::floor(v)) return Fail(key, it->second, "a whole number");
    out = static_cast<int32_t>(v);
    return true;
  }
  bool Flag(const char* key, bool& out) {
    const auto it = options_.find(key);
    if (it == options_.end()) return true;
    if (!IsYesOrNo(it->second)) return Fail(key, it->second, "yes or no");
    out = IsYes(it->second);
    return true;
  }
  bool List(const char* key, std::vector<float>& out) {
    const auto it = options_.find(key);
    if (it == options_.end()) return true;
    std::vector<float> values;
    for (const std::string& part : Split(it->second, ",")) {
      if (!IsNumeric(part)) return Fail(key, it->second, "numbers separated by commas");
      values.push_back(static_cast<float>(ToDouble(part)));
    }
    out = std::move(values);
    return true;
  }
  bool Fail(const char* key, const std::string& value, const char* what) {
    error_ = std::string("option ") + key + "=" + value + ": not " + what;
    return false;
  }

 private:
  const OptionMap& options_;
  std::string& error_;
};

bool KnownKeys(const OptionMap& options, std::initializer_list<const char*> keys, std::string& error) {
  for (const auto& [key, value] : options) {
    bool known = false;
    for (const char* k : keys) known = known || key == k;
    if (!known) {
      error = "unknown option " + key;
      return false;
    }
  }
  return true;
}

}  // namespace

bool ParseOptions(const char* text, OptionMap& options, std::string& error) {
  options.clear();
  if (text == nullptr) return true;
  for (std::string part : Split(ReplaceAll(ReplaceAll(text, "\r", ""), ";", "\n"), "\n")) {
    part = Trim(part);
    if (part.empty()) continue;
    const std::size_t eq = part.find('=');
    std::string key = LCase(Trim(part.substr(0, eq)));
    if (key.empty()) {
      error = "option without a name: " + part;
      return false;
    }
    for (char& c : key)
      if (c == '-') c = '_';
    options[key] = eq == std::string::npos ? "yes" : Trim(part.substr(eq + 1));
  }
  return true;
}

bool ReadSettingsOf(const OptionMap& options, ReadSettings& settings, std::string& error) {
  if (!KnownKeys(options, {"station", "band", "stationxml", "differentiate", "skip", "count", "rate", "channels",
                           "coef", "start", "width", "columns", "label_line", "neglect_first"},
                 error))
    return false;
  Values v(options, error);
  if (!v.Flag("differentiate", settings.differentiate)) return false;
  if (auto it = options.find("station"); it != options.end()) settings.station = it->second;
  if (auto it = options.find("band"); it != options.end())
    settings.station += (settings.station.empty() ? "" : ".") + it->second;
  if (auto it = options.find("stationxml"); it != options.end()) settings.responseFile = it->second;
  // The layout is checked now, so that a bad value is told before the file is read.
  DataFileParams p;
  bool flag = false;
  if (!v.Whole("skip", p.skip) || !v.Whole("count", p.count) || !v.Whole("rate", p.freq) ||
      !v.Whole("channels", p.channels) || !v.Number("coef", p.coef) || !v.Whole("start", p.start) ||
      !v.Whole("width", p.width) || !v.Whole("columns", p.columns) || !v.Flag("label_line", flag) ||
      !v.Flag("neglect_first", flag))
    return false;
  for (const char* key : {"skip", "count", "rate", "channels", "coef", "start", "width", "columns", "label_line",
                          "neglect_first"})
    if (auto it = options.find(key); it != options.end()) settings.layout[key] = it->second;
  return true;
}

bool PreprocessOf(const OptionMap& options, PreProcParams& p, std::string& error) {
  if (!KnownKeys(options, {"skip_seconds", "length", "rotate", "multipliers", "remove_offset", "meter", "low_cut",
                           "high_cut", "filter", "order", "keep_pad", "sensor"},
                 error))
    return false;
  SetPreProcDefaults(p);
  p.ShowEachTime = false;
  p.PickChannels = false;
  Values v(options, error);
  float offset = static_cast<float>(p.RemoveDCSeconds);
  if (!v.Number("skip_seconds", p.SkipSeconds) || !v.Number("length", p.TimeLength) ||
      !v.Number("remove_offset", offset) || !v.Flag("meter", p.ConvertToMeter) ||
      !v.Number("low_cut", p.LowCutFreq) || !v.Number("high_cut", p.HighCutFreq) ||
      !v.Whole("order", p.FilterOrder) || !v.Flag("keep_pad", p.FilterKeepPad) || !v.Whole("sensor", p.RefSensor))
    return false;
  if (offset < 0 || offset != std::floor(offset)) return v.Fail("remove_offset", options.at("remove_offset"),
                                                                "whole seconds (0: off)");
  p.RemoveDC = offset > 0;
  p.RemoveDCSeconds = p.RemoveDC ? static_cast<int32_t>(offset) : p.RemoveDCSeconds;
  if (auto it = options.find("rotate"); it != options.end()) {
    const std::string r = LCase(it->second);
    int32_t angle = 0;
    if (r == "none" || r == "no") {
      p.RotateWave = false;
    } else if (r == "north") {
      p.RotateWave = true;
      p.RotateWaveAngle = 0;
    } else if (v.Whole("rotate", angle) && angle != 0) {
      p.RotateWave = true;
      p.RotateWaveAngle = angle;
    } else {
      return v.Fail("rotate", it->second, "none, north or a whole number of degrees");
    }
  }
  if (auto it = options.find("multipliers"); it != options.end()) {
    std::vector<float> values;
    if (!ParseMultipliers(it->second, values)) return v.Fail("multipliers", it->second, "numbers such as 1:1:0.5");
    p.Multipliers = it->second;
  }
  if (auto it = options.find("filter"); it != options.end()) {
    const std::string f = LCase(it->second);
    if (f == "fft")
      p.FilterType = kFilterFft;
    else if (f == "butterworth")
      p.FilterType = kFilterButterworthCausal;
    else if (f == "butterworth_zero_phase")
      p.FilterType = kFilterButterworthAcausal;
    else
      return v.Fail("filter", it->second, "fft, butterworth or butterworth_zero_phase");
  }
  if (p.FilterOrder < 1 || p.FilterOrder > kMaxFilterOrder)
    return v.Fail("order", options.at("order"), "an order from 1 to 12");
  if (!FilterCornersValid(p)) {
    error = "the low-cut frequency must be below the high-cut frequency";
    return false;
  }
  return true;
}

namespace {

std::string Squeezed(const std::string& key) {
  std::string s;
  for (const char c : LCase(key))
    if (c != '_') s += c;
  return s;
}

}  // namespace

bool ProcessingOf(const OptionMap& options, ProcessingParams& p, std::string& error) {
  SetProcessingDefaults(p);
  std::vector<ProcessingField> fields = ProcessingFields(p);
  for (const auto& [key, value] : options) {
    const auto field = std::find_if(fields.begin(), fields.end(),
                                    [&](const ProcessingField& f) { return Squeezed(f.key) == Squeezed(key); });
    if (field == fields.end()) {
      error = "unknown option " + key;
      return false;
    }
    // One option at a time, under the name the caller gave.
    const OptionMap one{{key, value}};
    Values v(one, error);
    const bool read = field->single ? v.Number(key.c_str(), *field->single)
                      : field->whole ? v.Whole(key.c_str(), *field->whole)
                                     : v.Flag(key.c_str(), *field->flag);
    if (!read) return false;
  }
  return true;
}

bool MetricsRequestOf(const OptionMap& options, MetricsRequest& request, std::string& file, std::string& error) {
  if (!KnownKeys(options, {"periods", "damping", "steps", "level", "ductilities", "file"}, error)) return false;
  Values v(options, error);
  if (!v.List("periods", request.periods) || !v.Number("damping", request.dampingPercent) ||
      !v.Whole("steps", request.stepsPerPeriod) || !v.Number("level", request.durationLevel) ||
      !v.List("ductilities", request.ductilities))
    return false;
  for (float t : request.periods)
    if (!(t > 0)) return v.Fail("periods", options.at("periods"), "periods above 0 s");
  if (!(request.dampingPercent >= 0 && request.dampingPercent < 100))
    return v.Fail("damping", options.at("damping"), "a damping from 0 to 100 %");
  if (auto it = options.find("file"); it != options.end()) file = it->second;
  return true;
}

std::string LibraryUi::Error() const {
  std::string text;
  for (const std::string& m : messages) text += (text.empty() ? "" : "\n") + m;
  return text.empty() ? unanswered : text;
}

namespace {

// The guessed layout of a data file, with what the options give instead.
bool AnswerLayout(const OptionMap& o, DataFileKind kind, DataFileParams& p) {
  auto whole = [&](const char* key, int32_t& out) {
    if (auto it = o.find(key); it != o.end()) out = static_cast<int32_t>(ToDouble(it->second));
  };
  auto flag = [&](const char* key) { return o.count(key) > 0 && IsYes(o.at(key)); };
  if (auto it = o.find("coef"); it != o.end()) p.coef = static_cast<float>(ToDouble(it->second));
  if (kind == DataFileKind::Counts) return true;
  whole("skip", p.skip);
  whole("count", p.count);
  whole("rate", p.freq);
  if (kind == DataFileKind::Csv) {
    p.hasLabel = p.hasLabel || flag("label_line");
    p.neglectFirst = flag("neglect_first");
    // Neglecting the first column leaves one channel less than the guess.
    if (p.neglectFirst && o.count("channels") == 0 && p.channels > 1) --p.channels;
  } else if (o.count("start") || o.count("width") || o.count("columns")) {
    p.start = p.width = p.columns = 1;
    whole("start", p.start);
    whole("width", p.width);
    whole("columns", p.columns);
  }
  whole("channels", p.channels);
  return true;
}

}  // namespace

LibraryUi::LibraryUi(ReadSettings settings) : ConsoleUi(sink), layout_(std::move(settings.layout)) {
  station = settings.station;
  responseFile = settings.responseFile;
  differentiate = settings.differentiate;
  onReadData = [this](DataFileKind kind, const std::string&, const std::string&, DataFileParams& p) {
    return AnswerLayout(layout_, kind, p);
  };
}

int32_t LibraryUi::PickStation(const std::vector<std::string>& groups) {
  const int32_t chosen = ConsoleUi::PickStation(groups);
  if (chosen >= 0) return chosen;
  std::string text = station.empty() ? "The files hold several stations or bands"
                                     : "The files hold no station and band " + station + ", only";
  text += "; choose one with station=NET.STA.LOC.BAND:";
  for (const std::string& g : groups) text += "\n  " + g;
  unanswered = text;
  return -1;
}

bool LibraryUi::AskDifferentiate(const std::string& text, const std::string& title) {
  if (!differentiate) unanswered = text + " (differentiate=yes reads them)";
  return ConsoleUi::AskDifferentiate(text, title);
}

}  // namespace sism::library
