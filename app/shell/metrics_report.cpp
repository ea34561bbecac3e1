#include "app/shell/metrics_report.h"

#include <cstdio>

#include "analysis/drivers.h"
#include "app/shell/properties_report.h"
#include "common/strings.h"
#include "common/text.h"
#include "record/display_text.h"

namespace sism {
namespace {

void Line(std::string& out, const std::string& text) {
  out += kCrLf;
  out += text;
}

// Four significant digits, right-aligned in `width`: the measures span many decades.
std::string Cell(float v, std::size_t width = 10) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.4g", static_cast<double>(v));
  return AlignRight(buf, width);
}

std::string ChannelName(const AppState& app, int32_t ch) {
  return std::to_string(ch) + " " + DisplayLabel(app, ch);
}

}  // namespace

MetricsRequest WindowMetricsRequest(const CalcParams& calc) {
  MetricsRequest r;
  r.dampingPercent = calc.RespDamping;
  r.stepsPerPeriod = ResponseStepsPerPeriod(calc);
  return r;
}

std::string MetricsReportText(AppState& app, UserInterface& ui) {
  std::vector<int32_t> chans;
  for (int32_t ch = 1; ch <= app.record.ChanCount; ++ch) chans.push_back(ch);
  const RecordMetrics m =
      ComputeMetrics(app, chans, HorizontalPairs(app.record), WindowMetricsRequest(app.calc), ui);
  return MetricsReportText(app, m);
}

std::string MetricsReportText(const AppState& app, const RecordMetrics& m) {
  const StrongRecord& r = app.record;
  std::string out = "Ground-Motion Metrics";
  Line(out, "");
  Line(out, " File path: " + r.FilePath);
  Line(out, " Date and time: " + Trim(ShownDate(r) + " " + ShownTime(r)));
  Line(out, " Site: " + ShownStation(r));
  Line(out, " Sampling frequency: " + std::to_string(r.SampFreq) + " Hz, " + std::to_string(r.DataCount) +
                " steps (" + FormatNumber(r.SampFreq > 0 ? static_cast<double>(r.DataCount) / r.SampFreq : 0.0, "0.00") +
                " s)");
  if (r.JmaGroup > 0)
    Line(out, " JMA Seismic Intensity: " + FormatNumber(r.JmaIntensity, "0.0") + " (using chs#" +
                  std::to_string(3 * (r.JmaGroup - 1) + 1) + "-#" + std::to_string(3 * r.JmaGroup) + ")");
  if (!m.motionError.empty()) Line(out, " Velocity and displacement not computed: " + m.motionError);

  Line(out, "");
  Line(out, "Peaks and Cumulative Measures");
  Line(out, " Channel            PGA       PGV       PGD     Arias       CAV     D5-75     D5-95");
  Line(out, "                 cm/s/s      cm/s        cm       m/s      cm/s         s         s");
  for (const ChannelMetrics& c : m.channels)
    Line(out, " " + PadRight(ChannelName(app, c.ch), 12) + Cell(c.pga) + Cell(c.pgv) + Cell(c.pgd) + Cell(c.arias) +
                  Cell(c.cav) + Cell(c.d575) + Cell(c.d595));

  Line(out, "");
  Line(out, "Pseudo-Acceleration Spectra Sa = w^2 Sd (cm/s/s), damping " + NumberText(m.dampingPercent) + " %");
  std::string head = " Period(s)";
  for (const ChannelMetrics& c : m.channels) head += AlignRight(ChannelName(app, c.ch), 12);
  for (const PairMetrics& p : m.pairs) {
    const std::string pair = "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")";
    head += AlignRight("RotD50" + pair, 14) + AlignRight("RotD100" + pair, 15) + AlignRight("Angle", 7);
  }
  Line(out, head);
  for (std::size_t k = 0; k < m.periods.size(); ++k) {
    std::string row = AlignRight(FormatNumber(m.periods[k], "0.000"), 10);
    for (const ChannelMetrics& c : m.channels) row += Cell(c.psa[k], 12);
    for (const PairMetrics& p : m.pairs)
      row += Cell(p.rotd50[k], 14) + Cell(p.rotd100[k], 15) + AlignRight(FormatNumber(p.angle100[k], "0"), 7);
    Line(out, row);
  }
  if (!m.pairs.empty()) {
    Line(out, "");
    Line(out, " RotD: percentile over the angles 0-179 degrees of the peak response along each; Angle:");
    Line(out, " the direction of RotD100 in degrees from the first channel of the pair toward the second.");
  }
  return out;
}

std::string MetricsReportTitle() {
  return Str(8502);
}

}  // namespace sism
