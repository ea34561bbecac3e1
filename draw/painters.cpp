#include "draw/draw_graph.h"

namespace sism {

// Each graph kind's painter is added here as it is written.
std::map<int32_t, Painter> DefaultPainters() {
  return {};
}

}  // namespace sism
