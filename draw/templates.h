// Title and legend templates: %-codes for facts of the record and the analysis, the
// page header and footer, and the text boxes of the report page.
#pragma once

#include <cstdint>
#include <string>

#include "state/graph_settings.h"
#include "draw/graphic_extensions.h"

namespace sism {

struct AppState;

// The facts the %-codes stand for.
struct TemplateFacts {
  std::string appTitle;  // %a
  std::string code;      // %c
  std::string date;      // %d
  std::string path;      // %F (and %f without its folder)
  std::string station;   // %s
  std::string time;      // %t
  float intensity = 0;   // %i, as computed; shown by the agency's rule with its class
  bool hasIntensity = true;  // false: %i is a dash
  float damping = 0;     // %h, percent
  float parzen = 0;      // %w, Hz
  // Konno-Ohmachi's b when that smooths the spectra (0: Parzen), shown in place of "Parzen:%wHz";
  // with Parzen on a log frequency axis, the frequency below which its band spreads the spectrum
  // into arcs that are not in the data (0: none), told after it.
  float konnoB = 0;
  float parzenArcsBelow = 0;
  // %l: the spectra's analysis window in samples (1-based first sample and count).
  int32_t windowFirst = 1;
  int32_t windowCount = 0;
  int32_t sampFreq = 0;
  // What was done to the record, drawn as a line of its own at the foot of the page.
  std::string preprocessing;
};

// Facts of the current record and calculation parameters; the analysis window is the
// stretch the Fourier analysis takes (whole record, time axis, or start and length).
TemplateFacts CurrentTemplateFacts(const AppState& app);

// Replaces every %-code, left to right; "%%" gives "%", an unknown code its character,
// and a final lone "%" nothing.
std::string Expand(const std::string& tmpl, const TemplateFacts& facts);

// Draws the header at the top and the footer at the bottom of a page of the given size
// (0.01 mm), each split at "|" into left, centre and right parts; the preprocessing line
// of `facts`, when there is one, at the left above the footer.
void DrawHeaderFooter(cGraphicExtensions& gx, const GraphSettings& gs, const TemplateFacts& facts,
                      int32_t pageWidth, int32_t pageHeight);

// Draws a text box of the report page: its text (as edited, with real line breaks and
// tabs) with the %-codes replaced, in the title font, wrapped inside the box. The box is
// in millimetres from the page's top left corner; drawing units are 0.01 mm.
void DrawReportText(cGraphicExtensions& gx, const GraphSettings& gs, const ReportGraph& box,
                    const TemplateFacts& facts);

}  // namespace sism
