// One line of JSON per record for `info --json`.
#include <charconv>
#include <cmath>
#include <string>

#include <nlohmann/json.hpp>

#include "app/cli/tool.h"
#include "app/shell/flatfile.h"
#include "common/text.h"
#include "common/version.h"
#include "app/shell/properties_report.h"
#include "record/display_text.h"
#include "record/record_source.h"

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

nlohmann::ordered_json JsonKnown(double v) {
  if (!std::isfinite(v)) return nullptr;
  return v;
}

// The event and station of the header as the flatfile gives them, named as RecordSource's
// fields, with the start time, the station's position in degrees and the distances.
nlohmann::ordered_json SourceJson(const StrongRecord& r) {
  const RecordSource& s = r.Source;
  auto shown = [&](const std::string& text) { return DisplayText(r, text); };
  nlohmann::ordered_json j;
  j["StartTime"] = StartTimeIso(r);
  j["TimeZone"] = s.TimeZone;
  j["EventId"] = shown(s.EventId);
  j["OriginTime"] = shown(s.OriginTime);
  j["EventLat"] = JsonKnown(s.EventLat);
  j["EventLon"] = JsonKnown(s.EventLon);
  j["EventDepthKm"] = JsonKnown(s.EventDepthKm);
  j["Magnitude"] = JsonKnown(s.Magnitude);
  j["MagnitudeType"] = shown(s.MagnitudeType);
  j["Network"] = shown(s.Network);
  j["Location"] = shown(s.Location);
  j["StationLat"] = JsonKnown(DegreesOf(shown(r.SiteLat)));
  j["StationLon"] = JsonKnown(DegreesOf(shown(r.SiteLong)));
  j["StationElevationM"] = JsonKnown(s.StationElevationM);
  j["EpicentralDistanceKm"] = JsonKnown(EpicentralDistanceKm(r));
  j["HypocentralDistanceKm"] = JsonKnown(HypocentralDistanceKm(r));
  nlohmann::ordered_json chans = nlohmann::ordered_json::array();
  for (const ChannelSource& c : s.Channels) {
    nlohmann::ordered_json x;
    x["Label"] = shown(c.Label);
    x["Code"] = shown(c.Code);
    x["Azimuth"] = JsonKnown(c.Azimuth);
    x["Dip"] = JsonKnown(c.Dip);
    x["HighPassHz"] = JsonKnown(c.HighPassHz);
    x["LowPassHz"] = JsonKnown(c.LowPassHz);
    chans.push_back(std::move(x));
  }
  j["Components"] = std::move(chans);
  return j;
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
  j["Source"] = SourceJson(r);
  j["Channels"] = std::move(chans);
  return j.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

std::string InfoErrorJson(const std::string& file, const std::string& code, const std::string& reason) {
  nlohmann::ordered_json j;
  j["FilePath"] = file;
  j["ErrorCode"] = code;
  j["Error"] = reason;
  return j.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

std::string ProvenanceJson(const AppState& base, const Options& o, const FlatfileSettings& settings,
                           int32_t records) {
  const MetricsRequest& q = settings.request;
  const PreProcParams& p = base.preproc;
  nlohmann::ordered_json j;
  j["program"] = "sismora-cli";
  j["version"] = kVersionText;
  j["format"] = settings.format == FlatFormat::Jsonl ? "jsonl" : "csv";
  j["records"] = records;
  j["shard"] = std::to_string(o.shardK) + "/" + std::to_string(o.shardN);
  nlohmann::ordered_json m;
  m["damping_percent"] = JsonNumber(q.dampingPercent);
  nlohmann::ordered_json periods = nlohmann::ordered_json::array();
  for (float t : q.periods) periods.push_back(JsonNumber(t));
  m["periods_s"] = std::move(periods);
  nlohmann::ordered_json mu = nlohmann::ordered_json::array();
  for (float d : q.ductilities) mu.push_back(JsonNumber(d));
  m["ductilities"] = std::move(mu);
  m["duration_level_cm_s2"] = JsonNumber(q.durationLevel);
  // Response peaks searched between the samples, at this many steps per period (0: at the
  // samples only).
  m["peaks_between_samples"] = q.stepsPerPeriod > 0;
  m["steps_per_period"] = q.stepsPerPeriod;
  j["measures"] = std::move(m);
  nlohmann::ordered_json f;
  f["low_cut_hz"] = JsonNumber(p.LowCutFreq);
  f["high_cut_hz"] = JsonNumber(p.HighCutFreq);
  f["filter"] = p.FilterType == kFilterFft                 ? "fft"
                : p.FilterType == kFilterButterworthCausal ? "butter-causal"
                                                           : "butter";
  f["order"] = p.FilterOrder;
  f["keep_pad"] = p.FilterKeepPad;
  f["remove_offset_s"] = p.RemoveDC ? p.RemoveDCSeconds : -1;
  f["rotation_deg"] = p.RotateWave ? p.RotateWaveAngle : 0;
  f["skip_s"] = JsonNumber(p.SkipSeconds);
  f["length_s"] = JsonNumber(p.TimeLength);
  f["multipliers"] = p.Multipliers;
  j["preprocessing"] = std::move(f);
  return j.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace sism::cli
