#include "app/shell/properties_report.h"

#include <cmath>
#include <cstdio>

#include "app/shell/process_view.h"
#include "common/path.h"
#include "common/strings.h"
#include "common/text.h"
#include "draw/templates.h"
#include "record/display_text.h"
#include "record/record_source.h"
#include "record/intensity_text.h"

namespace sism {

namespace {

void Line(std::string& out, std::string_view text) {
  if (!out.empty()) out += kCrLf;
  out += text;
}

std::string Hex(unsigned value, int digits) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*X", digits, value);
  return buf;
}

bool SeveralFiles(int32_t format) {
  return format == FormatKnet || format == FormatJma95a;
}

std::string Known(double v, const char* unit = "") {
  return std::isfinite(v) ? NumberText(v) + unit : std::string();
}

// The station's network and elevation and the event, where the header gives them.
void SourceLines(std::string& out, const StrongRecord& r) {
  const RecordSource& s = r.Source;
  auto shown = [&](const std::string& text) { return DisplayText(r, text); };
  auto optional = [&](const std::string& caption, const std::string& value) {
    if (!value.empty()) Line(out, " " + caption + ": " + value);
  };
  optional("Network", shown(s.Network));
  optional("Location", shown(s.Location));
  optional("Elevation", Known(s.StationElevationM, " m"));
  const std::string magnitude =
      std::isfinite(s.Magnitude) ? Trim(shown(s.MagnitudeType) + " " + NumberText(s.Magnitude)) : "";
  if (s.EventId.empty() && s.OriginTime.empty() && !std::isfinite(s.EventLat) && magnitude.empty()) return;
  Line(out, "");
  Line(out, "Event Information");
  optional("Event ID", shown(s.EventId));
  optional("Origin time", shown(s.OriginTime));
  optional("Latitude", Known(s.EventLat));
  optional("Longitude", Known(s.EventLon));
  optional("Depth", Known(s.EventDepthKm, " km"));
  optional("Magnitude", magnitude);
  const double epi = EpicentralDistanceKm(r), hypo = HypocentralDistanceKm(r);
  optional("Epicentral distance", std::isfinite(epi) ? FormatNumber(epi, "0.0") + " km" : "");
  optional("Hypocentral distance", std::isfinite(hypo) ? FormatNumber(hypo, "0.0") + " km" : "");
}

}  // namespace

float ChannelStartTime(const StrongRecord& rec, int32_t ch, float threshold) {
  if (threshold == 0 || rec.SampFreq <= 0) return 0;
  const int32_t n = std::min(rec.DataCount, rec.DataCapacity());
  for (int32_t i = 1; i <= n; ++i) {
    const float a = rec.Acc(i, ch);
    if (threshold > 0 ? a > threshold : a < threshold)
      return static_cast<float>(i - 1) / static_cast<float>(rec.SampFreq);
  }
  return 0;
}

std::string DisplayLabel(const AppState& app, int32_t ch) {
  const auto i = static_cast<std::size_t>(ch - 1);
  if (ch >= 1 && i < app.view.LabelCopies.size()) return app.view.LabelCopies[i];
  return DisplayLabelOf(app.record, ch);
}

std::string PropertiesReportText(const AppState& app) {
  const StrongRecord& r = app.record;
  const bool several = SeveralFiles(r.FileFormat);
  std::string out = "Strong Motion Record";
  Line(out, "");
  Line(out, "Record Information");
  Line(out, " File path: " + r.FilePath + (several ? ".*" : ""));
  Line(out, " File size: " + FormatNumber(r.FileSize, "#,#") + (several ? " bytes/file" : " bytes"));
  auto shown = [&](const std::string& text) { return DisplayText(r, text); };
  Line(out, " Date and time: " + Trim(ShownDate(r) + " " + ShownTime(r)));
  // The ISO form where the file states the zone or a fraction of a second.
  if (!r.Source.TimeZone.empty() || r.Source.StartFraction != 0) {
    const std::string iso = StartTimeIso(r);
    if (!iso.empty()) Line(out, " Start time: " + iso);
  }
  Line(out, " Sampling frequency: " + std::to_string(r.SampFreq) + " Hz");
  Line(out, " Number of channels: " + std::to_string(r.ChanCount));
  Line(out, " Number of steps: " + std::to_string(r.DataCount));
  Line(out, " Peak acceleration: " + FormatNumber(r.PeakAcc, "0.0") + " cm/s/s");
  if (r.JmaGroup > 0)
    Line(out, " JMA Seismic Intensity: " + ShownIntensityValue(r) + ", class " + ShownIntensityClass(r) + " (using chs#" +
                  std::to_string(3 * (r.JmaGroup - 1) + 1) + "-#" + std::to_string(3 * r.JmaGroup) + ")");
  Line(out, "");
  Line(out, "Site Information");
  Line(out, " Code: " + shown(r.SiteCode));
  Line(out, " Name: " + shown(r.SiteName));
  if (!r.SiteLat.empty()) {
    Line(out, " Latitude: " + shown(r.SiteLat));
    Line(out, " Longitude: " + shown(r.SiteLong));
  }
  SourceLines(out, r);
  Line(out, "");
  Line(out, "Channel Information");
  Line(out, " #     Label   PeakAcc  Duration StartTime");
  const float threshold = app.calc.StartThreshold;
  for (int32_t ch = 1; ch <= r.ChanCount; ++ch) {
    const auto i = static_cast<std::size_t>(ch - 1);
    const float duration = i < app.Durations.size() ? app.Durations[i] : 0.0f;
    Line(out, FormatNumber(ch, "00") + AlignRight(DisplayLabel(app, ch), 10) +
                  AlignRight(FormatNumber(r.Peak(ch), "#0.0"), 10) +
                  AlignRight(FormatNumber(duration, "#0.00"), 10) +
                  AlignRight(FormatNumber(ChannelStartTime(r, ch, threshold), "#0.00"), 10));
  }
  if (app.processed) {
    Line(out, "");
    Line(out, ProcessingReportText(app));
  }
  return out;
}

std::string PropertiesReportTitle() {
  return Str(8501);
}

std::string HexDumpText(std::string_view bytes) {
  std::string out = " addr |";
  for (unsigned i = 0; i < 16; ++i) out += " " + Hex(i, 2);
  out += kCrLf;
  out += " ---- +";
  for (int i = 0; i < 16; ++i) out += " --";
  for (std::size_t start = 0; start < bytes.size(); start += 16) {
    out += kCrLf;
    out += " " + Hex(static_cast<unsigned>(start), 4) + " |";
    std::string chars;
    for (std::size_t k = start; k < start + 16; ++k) {
      if (k < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[k]);
        out += " " + Hex(b, 2);
        chars += (b >= 32 && b <= 126) ? static_cast<char>(b) : ' ';
      } else {
        out += "   ";  // keeps the characters of a short last line in their column
      }
    }
    out += "  " + chars;
  }
  return out;
}

std::string SaveAcFileName(const std::string& chosen) {
  return SplitPath(chosen).ext.empty() ? chosen + ".ac" : chosen;
}

std::string ExportFileName(const std::string& chosen, int32_t filterIndex) {
  if (!SplitPath(chosen).ext.empty()) return chosen;
  return chosen + (filterIndex == 1 ? ".csv" : ".txt");
}

std::string ExportDialogTitle(int32_t kind) {
  return Str(8132) + " - " + KindName(kind);
}

std::string ExpandedKindTitle(const AppState& app, int32_t kind) {
  return Expand(KindTitleTemplate(app, kind), CurrentTemplateFacts(app));
}

std::string SavingStatusText(const AppState& app, const std::string& path) {
  return Str(8148) + " " + ExpandedKindTitle(app, KindAcc) + " to " + path;
}

std::string ExportingStatusText(const AppState& app, int32_t kind, const std::string& path) {
  return Str(8138) + " " + ExpandedKindTitle(app, kind) + " to " + path;
}

}  // namespace sism
