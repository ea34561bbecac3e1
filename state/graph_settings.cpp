#include "state/graph_settings.h"

#include <algorithm>

#include "state/graph_kinds.h"

namespace sism {

std::array<AxisSettings, kAxisCount + 1> DefaultAxes() {
  // max, min, log, specify, label, unit; in record order.
  return {{
      {},
      {80, 0, false, true, "Time", "(sec)"},
      {20, 0.05f, true, true, "Frequency", "(Hz)"},
      {20, 0.05f, true, true, "Period", "(sec)"},
      {1000, 0, false, false, "Acc.", "(cm/s/s)"},
      {100, 0, false, false, "Vel.", "(cm/s)"},
      {10, 0, false, false, "Disp.", "(cm)"},
      {100, 0.1f, true, false, "Fourier Amplitude", "(cm/s)"},
      {1000, 0.1f, true, false, "Power Spectrum", "(cm^2/s^3)"},
      {1, -1, false, true, "Correlation Coef.", ""},
      {1000, 1, true, false, "Acceleration Response", "(cm/s/s)"},
      {100, 0.1f, true, false, "Velocity Response", "(cm/s)"},
      {10, 0.01f, true, false, "Displacement Response", "(cm)"},
      {100, 0.1f, true, false, "Pseudo Velocity Response", "(cm/s)"},
      {100, 0.1f, true, false, "Energy Spectrum: Ve", "(cm/s)"},
      {5, 0, false, true, "Time Lag", "(s)"},
      {50, 0.02f, true, false, "Spectral Ratio", ""},
      {180, -180, false, true, "Phase Lag.", "(deg)"},
      {1000, 0.1f, true, false, "Cross Spectrum", "(cm^2/s^3)"},
      {1, 0, false, true, "Coherence", ""},
      {20, 0.05f, true, false, "Response Spectral Ratio", ""},
      {50, 0.5f, true, false, "Normalized Sa", ""},
      {50, 0.5f, true, false, "Normalized Sv", ""},
      {50, 0.5f, true, false, "Normalized Sd", ""},
      {50, 0.5f, true, false, "Normalized pSv", ""},
  }};
}

std::array<std::string, kGraphTitleCount + 1> DefaultGraphTitles() {
  return {
      "",
      "Acceleration",
      "Velocity",
      "Displacement",
      "Fourier Spectrum (Time:%ls, Parzen:%wHz)",
      "Power Spectrum (Time:%ls, Parzen:%wHz)",
      "Auto-correlation Coef. (Time:%ls, Parzen:%wHz)",
      "Acc. Response Spectrum (h=%h%%)",
      "Vel. Response Spectrum (h=%h%%)",
      "Disp. Response Spectrum (h=%h%%)",
      "Pseudo Vel. Response Spectrum (h=%h%%)",
      "Energy Spectrum (h=%h%%)",
      "Acc. Orbit",
      "Vel. Orbit",
      "Disp. Orbit",
      "Fourier Spectral Ratio (Time:%ls, Parzen:%wHz)",
      "Phase Difference (Time:%ls, Parzen:%wHz)",
      "Cross Spectrum (Time:%ls, Parzen:%wHz)",
      "Cross-correlation Coef. (Time:%ls, Parzen:%wHz)",
      "Coherence (Time:%ls, Parzen:%wHz)",
      "Response Spectrum Ratio (h=%h%%)",
      "",
      "Normalized Sa (h=%h%%)",
      "Normalized Sv (h=%h%%)",
      "Normalized Sd (h=%h%%)",
      "Normalized pSv (h=%h%%)",
  };
}

LineSettings DefaultWaveLine(int32_t k) {
  // Red, blue, magenta, dark green, orange, teal, brown, purple, dark grey, olive, navy,
  // dark red (0xBBGGRR), and the five line styles: every component up to 60 its own pair,
  // so that a second sensor's curves are told from the first's.
  static constexpr RgbColor kColors[] = {255,     16711680, 16711935, 32768,   33023,   8421376,
                                         16512,   8388736,  4210752,  32896,   8388608, 128};
  constexpr int32_t kColorCount = sizeof kColors / sizeof kColors[0], kStyleCount = 5;
  const int32_t i = k >= 1 ? k - 1 : 0;
  return LineSettings{kColors[i % kColorCount], 0.3f, i % kStyleCount};
}

std::vector<LineSettings> DefaultWaveLines(int32_t count) {
  std::vector<LineSettings> lines(static_cast<std::size_t>(std::max(count, 0)) + 1);
  for (std::size_t k = 1; k < lines.size(); ++k) lines[k] = DefaultWaveLine(static_cast<int32_t>(k));
  return lines;
}

std::vector<ReportGraph> DefaultReportGraphs() {
  // type, width, height, left, top, text
  return {
      {},
      {1, 140, 18, 15, 5, ""},
      {2, 140, 18, 15, 80, ""},
      {4, 60, 60, 15, 160, ""},
      {10, 60, 60, 95, 160, ""},
      {0, 140, 10, 15, 230, "%d %t, Site: %c, JMA Intensity: %i"},
  };
}

void ResizeWaveLines(GraphSettings& gs, int32_t count) {
  count = std::max(count, 1);
  const std::size_t old = gs.WaveLine.empty() ? 1 : gs.WaveLine.size();
  gs.WaveLine.resize(static_cast<std::size_t>(count) + 1);
  for (std::size_t k = old; k < gs.WaveLine.size(); ++k)
    gs.WaveLine[k] = DefaultWaveLine(static_cast<int32_t>(k));
  gs.CompCountMax = count;
}

void ResizeReportGraphs(GraphSettings& gs, int32_t count) {
  count = std::max(count, 0);
  gs.RepGraph.resize(static_cast<std::size_t>(count) + 1);
  gs.RepGraphCount = count;
}

int32_t StoredTypeToGraphKind(int32_t stored) {
  if (stored >= 0 && stored <= 4) return stored;
  if (stored >= 5 && stored <= 12) return stored + 2;
  if (stored == 13) return 6;
  if (stored >= 14 && stored <= 18) return stored + 1;
  if (stored == 19) return 5;
  // Kinds added later keep their own numbers, which the older stored types never reach.
  if (stored == KindDuctility || stored == KindEas) return stored;
  return 0;
}

int32_t GraphKindToStoredType(int32_t kind) {
  if (kind >= 0 && kind <= 4) return kind;
  if (kind == 5) return 19;
  if (kind == 6) return 13;
  if (kind >= 7 && kind <= 14) return kind - 2;
  if (kind >= 15 && kind <= 19) return kind - 1;
  if (kind == KindDuctility || kind == KindEas) return kind;
  return 0;
}

}  // namespace sism
