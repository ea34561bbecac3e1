// Graph settings: axes, titles, fonts, lines, colours and page layout.
#pragma once

#include <cstdint>

namespace sism {

struct GraphSettings {
  int32_t CompCountMax = 9;
  int32_t OrbitComp1 = 2;
  int32_t OrbitComp2 = 1;
};

}  // namespace sism
