#include "app/library/record_text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <regex>

#include "analysis/ground_motion.h"
#include "app/shell/properties_report.h"
#include "app/shell/review_file.h"
#include "common/text.h"
#include "common/version.h"
#include "record/display_text.h"
#include "record/format_names.h"

namespace sism::library {
namespace {

std::string OneLine(std::string s) {
  for (char& c : s)
    if (c == '\r' || c == '\n') c = ' ';
  return s;
}

// The offset from UTC of the times a format's files give, where the format defines it.
std::string UtcOffset(int32_t format) {
  switch (format) {
    case FormatMseed:
    case FormatSac:
    case FormatEsm:
    case FormatCosmos:
    case FormatGeoNet:
      return "+00:00";
    case FormatKnet:
    case FormatTrh:
    case FormatJma95a:
    case FormatJma95b:
    case FormatJmaAc:
    case FormatJmaCsv:
      return "+09:00";
    default:
      return {};
  }
}

// Fields of one CSV line, quotes taken off.
std::vector<std::string> CsvFields(const std::string& line) {
  std::vector<std::string> fields;
  SplitCsvLine(line, fields);
  return fields;
}

// A header number as text, shortest form; empty when the header said nothing.
std::string SourceNumber(double v) {
  if (!std::isfinite(v)) return {};
  char buf[32];
  const auto end = std::to_chars(buf, buf + sizeof buf, v).ptr;
  return std::string(buf, end);
}

}  // namespace

std::string IsoDateTime(const std::string& date, const std::string& time) {
  static const std::regex d(R"(\s*(\d{4})/(\d{1,2})/(\d{1,2})\s*)");
  static const std::regex t(R"(\s*(\d{1,2}):(\d{2}):(\d{2})(\.\d+)?\s*)");
  std::smatch dm, tm;
  if (!std::regex_match(date, dm, d) || !std::regex_match(time, tm, t)) return {};
  auto two = [](const std::string& s) { return s.size() < 2 ? "0" + s : s; };
  return dm[1].str() + "-" + two(dm[2].str()) + "-" + two(dm[3].str()) + "T" + two(tm[1].str()) + ":" + tm[2].str() +
         ":" + tm[3].str() + tm[4].str();
}

std::string LabelAzimuth(const std::string& label) {
  const std::string l = UCase(Trim(label));
  if (l.empty() || IsVerticalLabel(l)) return {};
  const std::string head = Left(l, 3);
  if (head.size() == 3 && std::isdigit(static_cast<unsigned char>(head[0])) && IsNumeric(head)) {
    const double az = ToDouble(head);
    return az <= 360 ? NumberText(static_cast<float>(az)) : std::string();
  }
  // SEED channel codes (HNN, HNE) name the component by their last letter.
  const bool seed =
      l.size() == 3 && std::all_of(l.begin(), l.end(), [](char x) { return std::isalpha(static_cast<unsigned char>(x)); });
  const char c = seed ? l[2] : l[0];
  switch (c) {
    case 'N': return "0";
    case 'E': return "90";
    case 'S': return "180";
    case 'W': return "270";
    default: return {};
  }
}

std::string MetadataText(const AppState& app, const std::string& preprocessing) {
  const StrongRecord& r = app.record;
  std::string out;
  auto put = [&](const std::string& key, const std::string& value) {
    if (!Trim(value).empty()) out += key + "=" + OneLine(Trim(value)) + "\n";
  };
  auto shown = [&](const std::string& text) { return DisplayText(r, text); };
  put("format", RecordFormatName(r.FileFormat));
  put("format_code", std::to_string(r.FileFormat));
  put("path", r.FilePath);
  put("file_size", std::to_string(r.FileSize));
  put("date", ShownDate(r));
  put("time", ShownTime(r));
  const std::string start = IsoDateTime(ShownDate(r), ShownTime(r));
  put("start", start);
  if (!start.empty()) put("utc_offset", UtcOffset(r.FileFormat));
  put("rate", std::to_string(r.SampFreq));
  put("samples", std::to_string(r.DataCount));
  put("channels", std::to_string(r.ChanCount));
  put("peak_acc", NumberText(r.PeakAcc));
  put("jma_group", std::to_string(r.JmaGroup));
  if (r.JmaGroup > 0) put("jma_intensity", NumberText(r.JmaIntensity));
  put("station.code", shown(r.SiteCode));
  put("station.name", shown(r.SiteName));
  put("station.latitude", shown(r.SiteLat));
  put("station.longitude", shown(r.SiteLong));
  const RecordSource& src = r.Source;
  put("station.network", src.Network);
  put("station.location", src.Location);
  put("station.elevation", SourceNumber(src.StationElevationM));
  put("event.id", src.EventId);
  put("event.origin_time", src.OriginTime);
  put("event.latitude", SourceNumber(src.EventLat));
  put("event.longitude", SourceNumber(src.EventLon));
  put("event.depth_km", SourceNumber(src.EventDepthKm));
  put("event.magnitude", SourceNumber(src.Magnitude));
  put("event.magnitude_type", src.MagnitudeType);
  for (int32_t ch = 1; ch <= r.ChanCount; ++ch) {
    const std::string k = "channel." + std::to_string(ch) + ".";
    const std::string label = DisplayLabelOf(r, ch);
    put(k + "label", label);
    const ChannelSource* header = src.Channel(r.Label(ch));
    // A vertical's azimuth says nothing.
    const std::string stated =
        header && !IsVerticalLabel(label) ? SourceNumber(header->Azimuth) : std::string();
    put(k + "azimuth", stated.empty() ? LabelAzimuth(label) : stated);
    if (header) put(k + "code", header->Code);
    put(k + "vertical", IsVerticalLabel(label) ? "yes" : "no");
    put(k + "peak", NumberText(r.Peak(ch)));
    put(k + "peak_step", std::to_string(r.PeakStep(ch)));
    put(k + "offset", NumberText(r.Offset(ch)));
    put(k + "coef", NumberText(r.Coef(ch)));
    const auto i = static_cast<std::size_t>(ch - 1);
    if (i < app.Durations.size()) put(k + "duration", NumberText(app.Durations[i]));
    put(k + "start_time", NumberText(ChannelStartTime(r, ch, app.calc.StartThreshold)));
  }
  put("provenance.reader", RecordFormatName(r.FileFormat));
  put("provenance.note", r.ReadNote);
  put("provenance.preprocessing", preprocessing);
  put("provenance.library", std::string("sismora ") + SISMORA_VERSION);
  return out;
}

std::string ColumnsText(const std::string& header, const std::string& row) {
  const std::vector<std::string> names = CsvFields(header), values = CsvFields(row);
  std::string out;
  for (std::size_t i = 0; i < names.size(); ++i)
    out += names[i] + "=" + OneLine(i < values.size() ? values[i] : std::string()) + "\n";
  return out;
}

}  // namespace sism::library
