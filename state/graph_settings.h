// Graph settings: axes, titles, fonts, lines, colours and page layout.
//
// A default-constructed GraphSettings holds the built-in defaults with CompCountMax
// component lines. Every table is 1-based like the stored keys: entry 0 is unused,
// so Axis[1] is the time axis, WaveLine[1] the first component, Font[4] the header font.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace sism {

// Colour as stored: 0x00BBGGRR, red in the low byte (255 is red, 16711680 blue).
using RgbColor = int32_t;

// One axis type's settings (keys "Axis" & n & "_Max", "_Min", "_Log", "_Specify", "_Label", "_Unit").
struct AxisSettings {
  float Max = 0;
  float Min = 0;
  bool Log = false;
  bool Specify = false;  // use Min and Max instead of automatic scaling
  std::string Label;
  std::string Unit;
  bool operator==(const AxisSettings&) const = default;
};

// A line style: component lines ("WaveLine" i), frame and axis lines ("Line" i).
struct LineSettings {
  RgbColor Color = 0;
  float Width = 0.2f;  // millimetres; a component line of width 0 or less is not drawn
  int32_t Style = 0;   // pen style: 0 solid, 1 dashed, 2 dotted, 3 dash-dot, 4 dash-dot-dot
  bool operator==(const LineSettings&) const = default;
};

// A font target ("Font" i). Height and Underline belong to the font record the painters
// pass around; they are never stored.
struct FontSettings {
  RgbColor Color = 0;
  float Height = 0;  // size in 0.01 mm; 0 = not given (painters derive it from Size)
  float Size = 10;   // points
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  std::string Name = "Arial";
  bool operator==(const FontSettings&) const = default;
};

// One graph or text box of the report page ("RepGraph" i).
struct ReportGraph {
  int32_t Type = 0;    // GraphKind; 0 = text box (stored with its own type numbers)
  int32_t Width = 0;   // millimetres
  int32_t Height = 0;  // millimetres
  int32_t Left = 0;    // millimetres from the page's left edge
  int32_t Top = 0;     // millimetres from the page's top edge
  // Held as the user typed it (real line breaks and tabs); escaped only in stored files.
  std::string Text;
  bool operator==(const ReportGraph&) const = default;
};

constexpr int kAxisCount = 24;
constexpr int kGraphTitleCount = 25;
constexpr int kFontCount = 4;  // 1 graph area and title, 2 axes and labels, 3 legend, 4 header and footer
constexpr int kLineCount = 4;  // line styles 1 to 4
constexpr int kBackColorCount = 4;  // back colours 1 to 4
constexpr int kDefaultCompCount = 9;

// Axis record numbers (index of GraphSettings::Axis).
enum AxisType : int {
  AxisTime = 1,
  AxisFrequency = 2,
  AxisPeriod = 3,
  AxisAcc = 4,
  AxisVel = 5,
  AxisDisp = 6,
  AxisFourier = 7,
  AxisPower = 8,
  AxisCorrelation = 9,
  AxisAccResponse = 10,
  AxisVelResponse = 11,
  AxisDispResponse = 12,
  AxisPseudoVelResponse = 13,
  AxisEnergy = 14,
  AxisTimeLag = 15,
  AxisSpectralRatio = 16,
  AxisPhase = 17,
  AxisCrossSpectrum = 18,
  AxisCoherence = 19,
  AxisResponseRatio = 20,
  AxisNormalizedSa = 21,
  AxisNormalizedSv = 22,
  AxisNormalizedSd = 23,
  AxisNormalizedPSv = 24,
};

// Built-in defaults of the tables; entry 0 of each is unused.
std::array<AxisSettings, kAxisCount + 1> DefaultAxes();
std::array<std::string, kGraphTitleCount + 1> DefaultGraphTitles();
// Default style of component k (1-based): red, blue, magenta, dark green, orange, teal ...
// with styles 0 to 4 in turn, no two components alike up to 60.
LineSettings DefaultWaveLine(int32_t k);
// Component table of `count` components (count + 1 entries, entry 0 unused).
std::vector<LineSettings> DefaultWaveLines(int32_t count);
// The five default report entries; entry 0 unused.
std::vector<ReportGraph> DefaultReportGraphs();

struct GraphSettings {
  // 1-based: Axis[1] .. Axis[24]; Axis[0] is unused.
  std::array<AxisSettings, kAxisCount + 1> Axis = DefaultAxes();
  // Title templates: entry k (1 to 20) for GraphKind k; 22 to 25 replace 7 to 10 when
  // response spectra are normalised; 21 is empty.
  std::array<std::string, kGraphTitleCount + 1> GraphTitle = DefaultGraphTitles();

  int32_t WaveIncrement = 1;
  int32_t OrbitTime = 0;  // 0 whole record, 1 synchronised with the time history, 2 specified windows
  float OrbitStart = 0;   // seconds
  float OrbitEnd = 100;   // seconds
  float OrbitInt = 10;    // seconds
  int32_t OrbitCols = 3;
  int32_t OrbitComp1 = 2;
  int32_t OrbitComp2 = 1;

  // Component line styles: WaveLine[1] .. WaveLine[CompCountMax], so the vector holds
  // CompCountMax + 1 entries. Resize with ResizeWaveLines.
  int32_t CompCountMax = kDefaultCompCount;
  std::vector<LineSettings> WaveLine = DefaultWaveLines(kDefaultCompCount);

  std::array<FontSettings, kFontCount + 1> Font{};
  std::array<LineSettings, kLineCount + 1> Line{};
  std::array<RgbColor, kBackColorCount + 1> BackColor{0, 16777215, 16777215, 16777215, 16777215};

  bool DrawGrid = false;
  int32_t GridLine = 256;      // axis grid bits added when DrawGrid is on
  int32_t LegendPosition = 6;  // 0 hidden, 5 left-upper, 6 right-upper, 9 left-lower, 10 right-lower
  bool LegFixTime = true;      // legend of time histories fixed at the right-upper corner
  bool FixedTimeWindow = false;  // an opened record keeps the time window; else it shows whole
  float LineUnit = 0.5f;       // millimetres
  int32_t WaveWidth = 150;     // millimetres, as every size below
  int32_t WaveHeight = 20;
  int32_t WaveSpace = 4;
  int32_t SpecWidth = 75;
  int32_t SpecHeight = 75;
  int32_t OrbitWidth = 40;
  int32_t LeftMargin = 15;
  int32_t RightMargin = 5;
  int32_t TopMargin = 5;
  int32_t BottomMargin = 10;
  std::string Header;  // templates; "|" separates the left, centre and right parts
  std::string Footer;
  bool SpectraOnPeriod = false;  // stored in section "Calculation"

  // Report page: RepGraph[1] .. RepGraph[RepGraphCount] (RepGraphCount + 1 entries).
  int32_t RepGraphCount = 5;
  int32_t RepWidth = 160;   // millimetres
  int32_t RepHeight = 235;  // millimetres
  std::vector<ReportGraph> RepGraph = DefaultReportGraphs();

  bool operator==(const GraphSettings&) const = default;
};

// Sets CompCountMax and sizes WaveLine to it, keeping existing entries and giving new
// ones their default style. Counts below 1 are taken as 1.
void ResizeWaveLines(GraphSettings& gs, int32_t count);
// Sets RepGraphCount and sizes RepGraph to it, keeping existing entries; new entries are
// empty text boxes. Counts below 0 are taken as 0.
void ResizeReportGraphs(GraphSettings& gs, int32_t count);

// Report graph types: the stored numbering differs from GraphKind.
int32_t StoredTypeToGraphKind(int32_t stored);
int32_t GraphKindToStoredType(int32_t kind);

}  // namespace sism
