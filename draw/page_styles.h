// Settings turned into the page units the painters draw in: pens in 0.01 mm, fonts with
// their height in 0.01 mm, the component line of a series and the axis grid bits.
#pragma once

#include <cstdint>

#include "draw/graph_frame.h"
#include "state/graph_settings.h"

namespace sism {

inline LineRecord PageLine(const LineSettings& l) {
  return LineRecord{l.Color, static_cast<float>(static_cast<double>(l.Width) * 100), l.Style};
}

inline FontRecord PageFont(const FontSettings& f) {
  FontRecord r = f;
  r.Height = static_cast<float>(static_cast<double>(f.Size) * 35.28);
  return r;
}

// The component line of series j (1-based), taken round the table when there are more
// series than entries.
inline LineSettings WaveLineOf(const GraphSettings& gs, int32_t j) {
  const int32_t entries = static_cast<int32_t>(gs.WaveLine.size()) - 1;
  if (entries < 1) return DefaultWaveLine(j);
  return gs.WaveLine[static_cast<std::size_t>((j - 1) % entries + 1)];
}

// Only the grid bits of the GridLine setting belong on an axis.
inline int32_t GridBits(const GraphSettings& gs) {
  return gs.DrawGrid ? (gs.GridLine & (AxisGridMajor | AxisGridMinor)) : 0;
}

}  // namespace sism
