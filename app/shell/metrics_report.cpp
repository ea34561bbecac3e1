#include "app/shell/metrics_report.h"

#include <cstdio>

#include "analysis/drivers.h"
#include "app/shell/properties_report.h"
#include "common/strings.h"
#include "common/text.h"
#include "record/display_text.h"
#include "record/intensity_text.h"

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
    Line(out, " JMA Seismic Intensity: " + ShownIntensityValue(r) + ", class " + ShownIntensityClass(r) + " (using chs#" +
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

  Line(out, "");
  Line(out, "Further Measures (chosen level L = " + NumberText(m.durationLevel) + " cm/s/s)");
  std::string names = PadRight(" Measure", 30);
  for (const ChannelMetrics& c : m.channels) names += AlignRight(ChannelName(app, c.ch), 12);
  Line(out, names);
  for (const MeasureField& f : ChannelMeasureFields()) {
    std::string row = PadRight(" " + MeasureKey(f, m.durationLevel) + " " + f.unit, 30);
    for (const ChannelMetrics& c : m.channels) row += Cell(c.more.*f.field, 12);
    Line(out, row);
  }
  for (const PairMetrics& p : m.pairs) {
    const std::string pair = "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")";
    Line(out, " Pair " + pair + ": RotD50 of PGA " + Cell(p.more.rotd50Pga, 0) + " cm/s/s, of PGV " +
                  (m.motionError.empty() ? Cell(p.more.rotd50Pgv, 0) : std::string("-")) + " cm/s");
    Line(out, "   JMA long-period ground-motion class " + std::to_string(p.more.lpgmClass) + " (largest Sva " +
                  Cell(p.more.svaMax, 0) + " cm/s over 1.6-7.8 s)");
  }

  if (!m.ductilities.empty() && !m.channels.empty()) {
    Line(out, "");
    Line(out, "Strength Reduction Factors R_mu of a Bilinear Oscillator (damping " + NumberText(m.dampingPercent) +
                  " %, no post-yield stiffness)");
    std::string head2 = " Period(s)";
    for (const ChannelMetrics& c : m.channels)
      for (float mu : m.ductilities) head2 += AlignRight(std::to_string(c.ch) + " mu=" + NumberText(mu), 12);
    Line(out, head2);
    for (std::size_t k = 0; k < m.periods.size(); ++k) {
      std::string row = AlignRight(FormatNumber(m.periods[k], "0.000"), 10);
      for (const ChannelMetrics& c : m.channels)
        for (std::size_t j = 0; j < m.ductilities.size(); ++j)
          row += c.ductility.valid ? Cell(c.ductility.R(k, j), 12) : AlignRight("-", 12);
      Line(out, row);
    }
  }
  return out;
}

std::string MetricsReportTitle() {
  return Str(8502);
}

}  // namespace sism
