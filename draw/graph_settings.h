// Graph settings: axes, titles, fonts, lines, colours and page layout.
// (The settings engineer completes this record; the axis table's shape is fixed here.)
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace sism {

// One axis type's settings (keys "Axis" & n & "_Max", "_Min", "_Log", "_Specify", "_Label", "_Unit").
struct AxisSettings {
  float Max = 0;
  float Min = 0;
  bool Log = false;
  bool Specify = false;  // use Min and Max instead of automatic scaling
  std::string Label;
  std::string Unit;
};

constexpr int kAxisCount = 24;

struct GraphSettings {
  // 1-based: Axis[1] .. Axis[24]; Axis[0] is unused.
  std::array<AxisSettings, kAxisCount + 1> Axis;
  int32_t CompCountMax = 9;
  int32_t OrbitComp1 = 2;
  int32_t OrbitComp2 = 1;
};

}  // namespace sism
