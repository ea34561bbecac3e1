#include "app/shell/flatfile_row.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

#include <nlohmann/json.hpp>

#include "common/files.h"
#include "common/text.h"
#include "common/utf8.h"
#include "record/dispatch.h"
#include "record/display_text.h"
#include "record/format_names.h"
#include "record/record_source.h"
#include "record/refusal.h"

namespace sism {
namespace {

const char* const kComponents[] = {"H1", "H2", "V"};
const char* const kComponentNames[] = {"first horizontal", "second horizontal", "vertical"};

std::string Num(float v) {
  return NumberText(v);
}

// Unknown header numbers are empty cells.
std::string Known(double v, int decimals = -1) {
  if (!std::isfinite(v)) return {};
  if (decimals < 0) return NumberText(v);
  const double scale = std::pow(10.0, decimals);
  return NumberText(std::round(v * scale) / scale);
}

// What the measures beyond the peaks are; their keys and units are in ChannelMeasureFields.
std::string MeasureDescription(std::string_view key) {
  static const std::pair<const char*, const char*> texts[] = {
      {"PGA_time", "time of the peak acceleration from the record's start"},
      {"PGV_time", "time of the peak velocity from the record's start"},
      {"PGD_time", "time of the peak displacement from the record's start"},
      {"Arms", "root mean square of acceleration over the record"},
      {"Vrms", "root mean square of velocity over the record"},
      {"Drms", "root mean square of displacement over the record"},
      {"Arms_5-95", "root mean square of acceleration over the 5-95 % Husid window"},
      {"Vrms_5-95", "root mean square of velocity over the 5-95 % Husid window"},
      {"Drms_5-95", "root mean square of displacement over the 5-95 % Husid window"},
      {"Ic", "characteristic intensity"},
      {"SED", "specific energy density"},
      {"CAV5", "cumulative absolute velocity over |a| >= 5 cm/s/s"},
      {"CAVstd", "standardised cumulative absolute velocity"},
      {"ASI", "acceleration spectrum intensity"},
      {"VSI", "velocity spectrum intensity"},
      {"HI", "Housner spectrum intensity"},
      {"SMA", "sustained maximum acceleration"},
      {"SMV", "sustained maximum velocity"},
      {"EDA", "effective design acceleration"},
      {"A95", "acceleration level exceeded by 5 % of the Arias intensity"},
      {"Tp", "predominant period"},
      {"Tm", "mean period"},
  };
  for (const auto& [k, text] : texts)
    if (key == k) return text;
  if (key.starts_with("Db(")) return "bracketed duration above the level in brackets";
  if (key.starts_with("Du(")) return "uniform duration above the level in brackets";
  return std::string(key);
}

// The corner a band-pass filter left: the provider's and the preprocessing's together keep
// the narrower band. `high` picks the high-pass corner (the larger), else the low-pass one.
double Corner(double stated, float preproc, bool high) {
  // The setting as written (0.2), not the double its float widens to.
  const double p = preproc > 0 ? ToDouble(NumberText(preproc)) : kUnknown;
  if (!std::isfinite(stated)) return p;
  if (!std::isfinite(p)) return stated;
  return high ? std::max(stated, p) : std::min(stated, p);
}

// The station code without the network that some readers prefix ("BK.CMB").
std::string StationCode(const std::string& code, const std::string& network) {
  if (!network.empty() && code.size() > network.size() + 1 && code.compare(0, network.size(), network) == 0 &&
      code[network.size()] == '.')
    return code.substr(network.size() + 1);
  return code;
}

void RecordColumns(FlatRow& row) {
  const FlatRowInput& in = row.Input();
  const StrongRecord* r = in.app ? &in.app->record : nullptr;
  auto text = [&](const std::string& t) { return r ? DisplayText(*r, t) : std::string(); };
  row.Text("file", "the file named or found in a folder", ReplaceInvalidUtf8(in.file));
  row.Text("format", "record format", r ? RecordFormatName(r->FileFormat) : "");
  row.Text("station", "station code as the file writes it", r ? text(r->SiteCode) : "");
  row.Text("station_name", "station name", r ? text(r->SiteName) : "");
  row.Text("latitude", "station latitude as the file writes it", r ? text(r->SiteLat) : "");
  row.Text("longitude", "station longitude as the file writes it", r ? text(r->SiteLong) : "");
  row.Text("date", "start date of the record, yyyy/mm/dd", r ? text(r->RecDate) : "");
  row.Text("time", "start time of the record, hh:nn:ss, in the record's zone", r ? text(r->RecTime) : "");
  row.Number("rate_hz", "Hz", "sampling frequency", r ? std::to_string(r->SampFreq) : "");
  row.Number(
      "duration_s", "s", "length of the record",
      r ? Num(r->SampFreq > 0 ? static_cast<float>(static_cast<double>(r->DataCount) / r->SampFreq) : 0.0f)
        : "");
  row.Number("jma_intensity", "JMA scale", "JMA seismic intensity of the intensity group",
             r && r->JmaGroup > 0 ? Num(r->JmaIntensity) : "");
}

void MeasureColumns(FlatRow& row, const MetricsRequest& request) {
  const FlatRowInput& in = row.Input();
  const RecordMetrics* m = in.metrics;
  const StrongRecord* r = in.app ? &in.app->record : nullptr;
  const int32_t chans[] = {in.set.h1, in.set.h2, in.set.v};
  auto channel = [&](int c) -> const ChannelMetrics* {
    return m && chans[c] > 0 ? m->Channel(chans[c]) : nullptr;
  };
  const std::vector<float>& periods = request.periods;
  for (int c = 0; c < 3; ++c) {
    const ChannelMetrics* x = channel(c);
    const std::string k = kComponents[c], of = std::string(" of the ") + kComponentNames[c];
    auto value = [&](float ChannelMetrics::*f) { return x ? Num(x->*f) : std::string(); };
    row.Text(k + "_channel", "label of the channel taken as the " + std::string(kComponentNames[c]),
             x && r ? DisplayLabelOf(*r, chans[c]) : "");
    row.Number(k + "_PGA", "cm/s/s", "peak ground acceleration" + of, value(&ChannelMetrics::pga));
    row.Number(k + "_PGV", "cm/s", "peak ground velocity" + of, value(&ChannelMetrics::pgv));
    row.Number(k + "_PGD", "cm", "peak ground displacement" + of, value(&ChannelMetrics::pgd));
    row.Number(k + "_Arias", "m/s", "Arias intensity" + of, value(&ChannelMetrics::arias));
    row.Number(k + "_CAV", "cm/s", "cumulative absolute velocity" + of, value(&ChannelMetrics::cav));
    row.Number(k + "_D5-75", "s", "5-75 % significant duration" + of, value(&ChannelMetrics::d575));
    row.Number(k + "_D5-95", "s", "5-95 % significant duration" + of, value(&ChannelMetrics::d595));
  }
  const std::string damping = NumberText(request.dampingPercent) + " %-damped";
  for (int c = 0; c < 3; ++c) {
    const ChannelMetrics* x = channel(c);
    for (std::size_t p = 0; p < periods.size(); ++p)
      row.Number(std::string(kComponents[c]) + "_Sa(" + NumberText(periods[p]) + ")", "cm/s/s",
                 damping + " pseudo-spectral acceleration of the " + kComponentNames[c] +
                     " at the period in brackets (s)",
                 x && p < x->psa.size() ? Num(x->psa[p]) : "");
  }
  const PairMetrics* pair = m && in.set.h1 > 0 && in.set.h2 > 0 ? m->Pair(in.set.h1, in.set.h2) : nullptr;
  for (const char* rot : {"RotD50", "RotD100"}) {
    const std::vector<float>* v = pair ? (rot[4] == '5' ? &pair->rotd50 : &pair->rotd100) : nullptr;
    for (std::size_t p = 0; p < periods.size(); ++p)
      row.Number(std::string(rot) + "_Sa(" + NumberText(periods[p]) + ")", "cm/s/s",
                 std::string(rot[4] == '5' ? "median" : "largest") + " over the rotation angles of the " +
                     damping +
                     " pseudo-spectral acceleration of the horizontal pair at the period in brackets (s)",
                 v && p < v->size() ? Num((*v)[p]) : "");
  }
  // Added measures follow, so that the columns above keep their places.
  for (int c = 0; c < 3; ++c) {
    const ChannelMetrics* x = channel(c);
    for (const MeasureField& f : ChannelMeasureFields())
      row.Number(std::string(kComponents[c]) + "_" + MeasureKey(f, request.durationLevel), f.unit,
                 MeasureDescription(f.key) + " of the " + kComponentNames[c], x ? Num(x->more.*f.field) : "");
  }
  const bool velocity = m && m->motionError.empty();
  row.Number("RotD50_PGA", "cm/s/s",
             "median over the rotation angles of the horizontal pair's peak acceleration",
             pair ? Num(pair->more.rotd50Pga) : "");
  row.Number("RotD50_PGV", "cm/s", "median over the rotation angles of the horizontal pair's peak velocity",
             pair && velocity ? Num(pair->more.rotd50Pgv) : "");
  row.Number("Sva_max", "cm/s", "largest 5 %-damped absolute velocity response of the horizontal pair",
             pair ? Num(pair->more.svaMax) : "");
  row.Number("LPGM_class", "class", "JMA long-period ground-motion class (0 below class 1)",
             pair ? std::to_string(pair->more.lpgmClass) : "");
  const bool eas = pair && !pair->eas.empty();
  for (std::size_t k = 0; k < std::size(kEasFrequencies); ++k)
    row.Number("EAS(" + NumberText(kEasFrequencies[k]) + ")", "cm/s",
               "effective amplitude spectrum of the horizontal pair (Konno-Ohmachi smoothed) at the frequency in "
               "brackets (Hz)",
               eas ? Num(pair->eas[k]) : "");
  for (std::size_t j = 0; j < request.ductilities.size(); ++j)
    for (int c = 0; c < 3; ++c) {
      const ChannelMetrics* x = channel(c);
      const bool ok = x && x->ductility.valid && j < x->ductility.ductilities.size();
      const std::string mu = NumberText(request.ductilities[j]);
      for (std::size_t p = 0; p < periods.size(); ++p)
        row.Number(std::string(kComponents[c]) + "_Rmu" + mu + "(" + NumberText(periods[p]) + ")", "ratio",
                   "strength reduction factor for ductility " + mu + " of the " + kComponentNames[c] +
                       " at the period in brackets (s)",
                   ok ? Num(x->ductility.R(p, j)) : "");
    }
}

// The event and the station as the record's header gives them.
void SourceColumns(FlatRow& row) {
  const FlatRowInput& in = row.Input();
  const StrongRecord* r = in.app ? &in.app->record : nullptr;
  const RecordSource none;
  const RecordSource& s = r ? r->Source : none;
  auto text = [&](const std::string& t) { return r ? DisplayText(*r, t) : std::string(); };
  row.Text("start_time", "time of the first sample, ISO 8601, with the zone where the file states one",
           r ? StartTimeIso(*r) : "");
  row.Text("event_id", "event identifier of the header", text(s.EventId));
  row.Text("origin_time", "origin time of the event, ISO 8601, with the zone where the file states one",
           text(s.OriginTime));
  row.Number("ev_lat", "degrees", "epicentre latitude, north positive", Known(s.EventLat));
  row.Number("ev_lon", "degrees", "epicentre longitude, east positive", Known(s.EventLon));
  row.Number("ev_depth_km", "km", "hypocentre depth", Known(s.EventDepthKm));
  row.Number("magnitude", "magnitude", "magnitude of the event", Known(s.Magnitude));
  row.Text("magnitude_type", "kind of the magnitude (Mw, Mj, ML ...)", text(s.MagnitudeType));
  row.Text("network", "network code", text(s.Network));
  row.Text("station_code", "station code without the network",
           r ? StationCode(text(r->SiteCode), text(s.Network)) : "");
  row.Text("location", "location code", text(s.Location));
  row.Number("station_lat", "degrees", "station latitude, north positive",
             r ? Known(DegreesOf(text(r->SiteLat))) : "");
  row.Number("station_lon", "degrees", "station longitude, east positive",
             r ? Known(DegreesOf(text(r->SiteLong))) : "");
  row.Number("station_elevation_m", "m", "station elevation", Known(s.StationElevationM));
  row.Number("epicentral_distance_km", "km", "great-circle distance from the epicentre to the station",
             r ? Known(EpicentralDistanceKm(*r), 3) : "");
  row.Number("hypocentral_distance_km", "km", "distance from the hypocentre to the station",
             r ? Known(HypocentralDistanceKm(*r), 3) : "");
}

// Each component's code and orientation and the filter corners applied to it, by the
// provider and by the preprocessing together.
void ComponentColumns(FlatRow& row) {
  const FlatRowInput& in = row.Input();
  const StrongRecord* r = in.app ? &in.app->record : nullptr;
  const int32_t chans[] = {in.set.h1, in.set.h2, in.set.v};
  for (int c = 0; c < 3; ++c) {
    const bool has = r && chans[c] > 0 && chans[c] <= r->ChanCount;
    const ChannelSource none;
    const ChannelSource* found = has ? r->Source.Channel(r->Label(chans[c])) : nullptr;
    const ChannelSource& x = found ? *found : none;
    const std::string k = kComponents[c], of = std::string(" of the ") + kComponentNames[c];
    row.Text(k + "_channel_code", "channel code" + of, has ? DisplayText(*r, x.Code) : "");
    row.Number(k + "_azimuth", "degrees", "azimuth" + of + ", clockwise from north", Known(x.Azimuth));
    row.Number(k + "_dip", "degrees", "dip" + of + ", down from the horizontal (-90: up)", Known(x.Dip));
    const float low = in.app ? in.app->preproc.LowCutFreq : 0,
                high = in.app ? in.app->preproc.HighCutFreq : 0;
    row.Number(k + "_hp_hz", "Hz",
               "high-pass corner applied to the" + std::string(" ") + kComponentNames[c] +
                   " (the file's processing and the preprocessing)",
               has ? Known(Corner(x.HighPassHz, low, true)) : "");
    row.Number(k + "_lp_hz", "Hz",
               "low-pass corner applied to the " + std::string(kComponentNames[c]) +
                   " (the file's processing and the preprocessing)",
               has ? Known(Corner(x.LowPassHz, high, false)) : "");
  }
}

}  // namespace

void BuildFlatfileRow(FlatRow& row, const MetricsRequest& request, const FlatColumnsHook& more) {
  RecordColumns(row);
  MeasureColumns(row, request);
  SourceColumns(row);
  ComponentColumns(row);
  if (more) more(row);
  const FlatRowInput& in = row.Input();
  const std::string error = in.error.empty() && !row.HasRecord() ? "not read" : in.error;
  row.Text("error_code",
           "kind of the error: not_a_record, unreadable, damaged, refused_units, declined, refused, rejected, "
           "failed (a measure could not be computed)",
           !error.empty() ? (in.errorCode.empty() ? "failed" : in.errorCode) : "");
  row.Text("error", "why the file or a measure failed, as the program says it", error);
}

std::string FlatfileHeaderLine(const MetricsRequest& request, const FlatColumnsHook& more) {
  const FlatRowInput none;
  FlatRow row(none);
  BuildFlatfileRow(row, request, more);
  std::string line;
  for (const FlatColumn& c : row.Columns()) line += (line.empty() ? "" : ",") + CsvField(c.name);
  return line + "\n";
}

std::string FlatfileColumnsText(const MetricsRequest& request, const FlatColumnsHook& more) {
  const FlatRowInput none;
  FlatRow row(none);
  BuildFlatfileRow(row, request, more);
  std::string text = "name,unit,description\n";
  for (const FlatColumn& c : row.Columns())
    text += CsvField(c.name) + "," + CsvField(c.unit) + "," + CsvField(c.description) + "\n";
  return text;
}

std::string ReadErrorCode(const std::string& path, const std::string& reason) {
  if (!FileProblem(path).empty()) return "unreadable";
  if (!RefusalText(path).empty()) return "not_a_record";
  const std::string r = LCase(reason);
  if (r.find("not as an acceleration") != std::string::npos ||
      r.find("not acceleration") != std::string::npos || r.find("units") != std::string::npos)
    return "refused_units";
  if (reason.empty()) return "declined";
  if (r.find("failed to read") != std::string::npos || r.find("err#") != std::string::npos) return "damaged";
  if (DetectFormat(path) == FormatNone || r.find("is not a") != std::string::npos ||
      r.find("invalid") != std::string::npos)
    return "not_a_record";
  return "refused";
}

void FlatRow::Number(std::string name, std::string unit, std::string description, std::string value) {
  columns_.push_back({std::move(name), std::move(unit), std::move(description), true});
  values_.push_back(std::move(value));
}

void FlatRow::Text(std::string name, std::string description, std::string value) {
  columns_.push_back({std::move(name), "text", std::move(description), false});
  values_.push_back(AsUtf8(value));
}

std::string CsvField(const std::string& text) {
  std::string s = AsUtf8(text);
  for (char& c : s)
    if (c == '\r' || c == '\n') c = ' ';
  if (s.find_first_of(",\"") == std::string::npos) return s;
  return "\"" + ReplaceAll(s, "\"", "\"\"") + "\"";
}

std::string FlatRow::Csv() const {
  std::string line;
  for (std::size_t i = 0; i < values_.size(); ++i) line += (i ? "," : "") + CsvField(values_[i]);
  return line;
}

std::string FlatRow::Json() const {
  nlohmann::ordered_json j;
  for (std::size_t i = 0; i < values_.size(); ++i) {
    const std::string& v = values_[i];
    if (!columns_[i].number) {
      j[columns_[i].name] = v;
      continue;
    }
    // Whole numbers stay whole (100, not 100.0).
    int64_t whole = 0;
    if (!v.empty() && v.find_first_of(".eE") == std::string::npos) {
      const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), whole);
      if (ec == std::errc{} && end == v.data() + v.size()) {
        j[columns_[i].name] = whole;
        continue;
      }
    }
    double d = 0;
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), d);
    if (v.empty() || ec != std::errc{} || end != v.data() + v.size() || !std::isfinite(d))
      j[columns_[i].name] = nullptr;
    else
      j[columns_[i].name] = d;
  }
  return j.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace sism
