#include "draw/templates.h"

#include <algorithm>
#include <cmath>

#include "state/app_state.h"
#include "common/path.h"
#include "common/strings.h"
#include "common/version.h"
#include "common/text.h"
#include "draw/axes.h"
#include "record/display_text.h"
#include "record/intensity_text.h"

namespace sism {

namespace {

std::string WindowText(const TemplateFacts& f) {
  if (f.sampFreq < 1) return "-";
  const float start = static_cast<float>(f.windowFirst - 1) / static_cast<float>(f.sampFreq);
  const float end = start + static_cast<float>(f.windowCount) / static_cast<float>(f.sampFreq);
  return NumberText(start) + "-" + NumberText(end);
}

int32_t SafeRound(double v) {
  return RoundCoord(v);
}

// Font of page texts: size in points to 0.01 mm, upright.
void SelectFont(cGraphicExtensions& gx, const FontSettings& font) {
  gx.SetFontName(font.Name);
  gx.SetFontSize(SafeRound(static_cast<double>(font.Size) * 35.28));
  gx.SetFontBold(font.Bold);
  gx.SetFontItalic(font.Italic);
  gx.SetFontUnderline(font.Underline);
  gx.SetFontColor(static_cast<Rgb>(font.Color));
  gx.SetFontAngle(0);
}

// A text edited in a window may break its lines with LF, one read from settings with
// CR LF; the device contexts break lines at LF only.
std::string LfLineBreaks(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') {
      out += text[i];
    } else {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    }
  }
  return out;
}

}  // namespace

TemplateFacts CurrentTemplateFacts(const AppState& app) {
  TemplateFacts f;
  const StrongRecord& r = app.record;
  f.appTitle = ProgramTitle();
  f.code = DisplayText(r, r.SiteCode);
  f.date = ShownDate(r);
  f.path = r.FilePath;
  f.station = DisplayText(r, r.SiteName);
  f.time = ShownTime(r);
  f.intensity = r.JmaIntensity;
  f.hasIntensity = r.JmaGroup > 0;
  f.damping = app.calc.RespDamping;
  f.parzen = app.calc.WindowWidth;
  if (app.calc.FourierSmoothing == kSmoothKonno)
    f.konnoB = app.calc.KonnoB;
  else if (app.calc.WindowWidth > 0 && app.graph.Axis[AxisFrequency].Log)
    f.parzenArcsBelow = 1.5f * app.calc.WindowWidth;
  f.sampFreq = r.SampFreq;
  if (r.ChanCount > 0) f.preprocessing = app.view.Preprocessing;
  const int32_t n = r.DataCount;
  const double fs = r.SampFreq;
  int32_t s = 1, len = n;
  switch (app.calc.FourDurationType) {
    case 1: {
      const AxisSettings& t = app.graph.Axis[AxisTime];
      s = SafeRound(t.Min * fs + 1);
      len = SafeRound((static_cast<double>(t.Max) - t.Min) * fs);
      len = std::min(len, n - s + 1);
      break;
    }
    case 2:
      s = SafeRound(app.calc.FourStart * fs + 1);
      len = SafeRound(app.calc.FourLength * fs);
      if (len > n - s + 1 || len < 16) len = n - s + 1;
      break;
    default:
      break;
  }
  if (s < 1 || s > n) s = 1;
  if (len <= 1) len = n - s + 1;
  f.windowFirst = s;
  f.windowCount = std::max(len, 0);
  return f;
}

std::string Expand(const std::string& given, const TemplateFacts& f) {
  // The smoothing the spectra really have, in the stored titles' own wording.
  std::string tmpl = given;
  if (f.konnoB > 0)
    tmpl = ReplaceAll(tmpl, "Parzen:%wHz", "Konno-Ohmachi b=" + NumberText(f.konnoB));
  else if (f.parzenArcsBelow > 0)
    tmpl =
        ReplaceAll(tmpl, "Parzen:%wHz", "Parzen:%wHz, arcs below " + NumberText(f.parzenArcsBelow) + " Hz");
  std::string out;
  for (size_t i = 0; i < tmpl.size(); ++i) {
    const char c = tmpl[i];
    if (c != '%') {
      out += c;
      continue;
    }
    if (++i >= tmpl.size()) break;
    switch (tmpl[i]) {
      case 'a':
        out += f.appTitle;
        break;
      case 'c':
        out += f.code;
        break;
      case 'd':
        out += f.date;
        break;
      case 'f':
        out += FileNameOf(f.path);
        break;
      case 'F':
        out += f.path;
        break;
      case 'h':
        out += NumberText(f.damping);
        break;
      case 'i':
        out += f.hasIntensity && std::isfinite(f.intensity) ? IntensityWithClass(f.intensity)
                                                            : kNoIntensity;
        break;
      case 'l':
        out += WindowText(f);
        break;
      case 's':
        out += f.station;
        break;
      case 't':
        out += f.time;
        break;
      case 'v':
        out += std::to_string(kVersionMajor) + "." + FormatNumber(int32_t{kVersionMinor}, "00");
        break;
      case 'w':
        out += NumberText(f.parzen);
        break;
      default:
        out += tmpl[i];
        break;  // "%%" and unknown codes
    }
  }
  return out;
}

void DrawHeaderFooter(cGraphicExtensions& gx, const GraphSettings& gs, const TemplateFacts& facts,
                      int32_t pageWidth, int32_t pageHeight) {
  SelectFont(gx, gs.Font[4]);
  const std::string* rows[2] = {&gs.Header, &gs.Footer};
  for (int row = 0; row < 2; ++row) {
    const std::string& text = *rows[row];
    if (text.empty()) continue;
    const int32_t y = row == 0 ? 0 : pageHeight;
    const int32_t vflag = row == 0 ? TaTop : TaBottom;
    std::string parts[3];
    size_t start = 0;
    for (int k = 0; k < 3; ++k) {
      const size_t bar = k < 2 ? text.find('|', start) : std::string::npos;
      if (bar == std::string::npos) {
        parts[k] = text.substr(start);
        break;
      }
      parts[k] = text.substr(start, bar - start);
      start = bar + 1;
    }
    static constexpr int32_t kAlign[3] = {TaLeft, TaCenter, TaRight};
    for (int k = 0; k < 3; ++k) {
      if (parts[k].empty()) continue;
      gx.SetTextAlign(vflag + kAlign[k]);
      gx.TextOut(SafeRound(static_cast<double>(pageWidth) * k / 2), y, Expand(parts[k], facts));
    }
  }
  if (!facts.preprocessing.empty()) {
    const int32_t lineHeight = SafeRound(0.3528 * gs.Font[4].Size) * 100;
    gx.SetTextAlign(TaBottom + TaLeft);
    gx.TextOut(0, pageHeight - (gs.Footer.empty() ? 0 : lineHeight), facts.preprocessing);
  }
}

void DrawReportText(cGraphicExtensions& gx, const GraphSettings& gs, const ReportGraph& box,
                    const TemplateFacts& facts) {
  if (box.Text.empty()) return;
  SelectFont(gx, gs.Font[1]);
  gx.SetTextAlign(TaLeft | TaTop);
  const double left = box.Left, top = box.Top;
  gx.DrawText(SafeRound(left * 100), SafeRound(top * 100), SafeRound((left + box.Width) * 100),
              SafeRound((top + box.Height) * 100), LfLineBreaks(Expand(box.Text, facts)));
}

}  // namespace sism
