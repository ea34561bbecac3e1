// One line of JSON per record for `info --json`.
#include <charconv>
#include <cmath>
#include <string>

#include <nlohmann/json.hpp>

#include "app/cli/tool.h"
#include "common/text.h"
#include "app/shell/properties_report.h"
#include "record/display_text.h"

namespace sism::cli {
namespace {

// A float in the shortest decimal form that reads back to it (0.1, not the double
// 0.10000000149011612 it widens to), whole values without a point; null when not finite.
nlohmann::ordered_json JsonNumber(float v) {
  if (!std::isfinite(v)) return nullptr;
  const std::string text = NumberText(v);
  const char* first = text.data();
  const char* last = first + text.size();
  if (text.find_first_of(".eE") == std::string::npos) {
    int64_t whole = 0;
    if (std::from_chars(first, last, whole).ec == std::errc{}) return whole;
  }
  double d = v;
  std::from_chars(first, last, d);
  return d;
}

}  // namespace

// One line of JSON. Header texts are shown as the window shows them (Japanese records'
// Shift-JIS as UTF-8); names and texts may still hold any bytes, and what is not UTF-8
// becomes U+FFFD, so the line is always valid JSON.
std::string InfoJson(const AppState& app) {
  const StrongRecord& r = app.record;
  auto shown = [&](const std::string& text) { return DisplayText(r, text); };
  nlohmann::ordered_json j;
  j["FileFormat"] = r.FileFormat;
  j["FilePath"] = r.FilePath;
  j["FileSize"] = r.FileSize;
  j["RecDate"] = shown(r.RecDate);
  j["RecTime"] = shown(r.RecTime);
  j["SampFreq"] = r.SampFreq;
  j["ChanCount"] = r.ChanCount;
  j["DataCount"] = r.DataCount;
  j["PeakAcc"] = JsonNumber(r.PeakAcc);
  j["JmaGroup"] = r.JmaGroup;
  // No sensor, no intensity: null rather than a zero that reads as a measured one.
  if (r.JmaGroup > 0)
    j["JmaIntensity"] = JsonNumber(r.JmaIntensity);
  else
    j["JmaIntensity"] = nullptr;
  j["SiteCode"] = shown(r.SiteCode);
  j["SiteName"] = shown(r.SiteName);
  j["SiteLat"] = shown(r.SiteLat);
  j["SiteLong"] = shown(r.SiteLong);
  nlohmann::ordered_json chans = nlohmann::ordered_json::array();
  for (int32_t ch = 1; ch <= r.ChanCount; ++ch) {
    const auto i = static_cast<std::size_t>(ch - 1);
    const float duration = i < app.Durations.size() ? app.Durations[i] : 0.0f;
    nlohmann::ordered_json c;
    c["Label"] = DisplayLabel(app, ch);
    c["Peak"] = JsonNumber(r.Peak(ch));
    c["PeakStep"] = r.PeakStep(ch);
    c["Offset"] = JsonNumber(r.Offset(ch));
    c["Coef"] = JsonNumber(r.Coef(ch));
    c["Duration"] = JsonNumber(duration);
    c["StartTime"] = JsonNumber(ChannelStartTime(r, ch, app.calc.StartThreshold));
    chans.push_back(std::move(c));
  }
  j["Channels"] = std::move(chans);
  return j.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace sism::cli
