// What the draw dispatcher hands to a painter and the painter hands to the axis and
// series routines: the plot rectangle, both axes, the series and the styles, all
// lengths in 0.01 mm of the page.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "state/graph_settings.h"

namespace sism {

// Axis flag bits.
enum AxisFlagBits : int32_t {
  AxisTitleAtStart = 1,  // left end of x, top end of y
  AxisTitleAtEnd = 2,    // right end of x, bottom end of y; neither: centred
  AxisByPainter = 4,
  AxisTicks = 16,
  AxisNumbers = 32,  // tick numbers and the axis title
  AxisGridMajor = 256,
  AxisGridMinor = 512,  // only together with AxisGridMajor
  AxisLog = 4096,
};

struct AxisRecord {
  float Max = 1;        // right (x) or top (y) edge
  float Min = 0;        // left or bottom edge; > 0 on a logarithmic axis
  float LabelStep = 1;  // between numbered ticks (linear)
  float TickStep = 1;   // between ticks (linear); LabelStep is a whole multiple of it
  int32_t Flags = 0;
  std::string Title;
  std::string Format;  // empty: "#0.####"
};

// A pen for the page: width in 0.01 mm (negative: nothing drawn where that is meaningful).
struct LineRecord {
  RgbColor Color = 0;
  float Width = 0;
  int32_t Style = 0;
};

// Font records are the settings' own: colour, size in 0.01 mm (0 = use the points),
// size in points, bold, italic, underline, face name.
using FontRecord = FontSettings;

struct GraphFrame {
  int32_t Left = 0, Top = 0, Width = 0, Height = 0;  // the (first) plot rectangle
  AxisRecord X, Y;
  // Series, 1-based: element i is XData[i - 1].
  std::vector<float> XData, YData;
  int32_t First = 1, Last = 0, Step = 1;  // elements plotted
  bool ClipToPlot = true;
  LineRecord SeriesLine;  // width < 0: no line
  LineRecord AxisLine;    // ticks and grid lines
  LineRecord FrameLine;   // the plot frame
  FontRecord AxisFont;
  LineRecord MarkOutline;
  RgbColor MarkFill = 0;
  float MarkSize = -1;  // < 0: no marks
  int32_t MarkStyle = 0;
  RgbColor BackColor = 0xFFFFFF;  // bit 24 set: none
  std::string Title;              // expanded graph title
  int32_t TitleRight = 0;         // where the title must end, broken into lines; 0 no limit
  int32_t TextAlign = 0;          // report text boxes
  FontRecord TitleFont;
};

// Legend flags: low byte = corner (1 left, 2 right, 4 upper, 8 lower; 0 no legend).
enum LegendFlagBits : int32_t {
  LegendLeft = 1,
  LegendRight = 2,
  LegendUpper = 4,
  LegendLower = 8,
  LegendNoBox = 512,
  LegendNoSample = 1024,
};

struct LegendEntry {
  LineRecord Line;
  LineRecord MarkOutline;
  RgbColor MarkFill = 0;
  float MarkSize = -1;
  int32_t MarkStyle = 0;
  std::string Text;
};

struct LegendSpec {
  int32_t Flags = 0;
  std::vector<LegendEntry> Entries;
};

}  // namespace sism
