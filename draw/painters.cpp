#include "draw/draw_graph.h"
#include "draw/time_history.h"

namespace sism {

// Each graph kind's painter is added here as it is written.
std::map<int32_t, Painter> DefaultPainters() {
  return {
      {KindAcc, TimeHistoryPainter},
      {KindVel, TimeHistoryPainter},
      {KindDisp, TimeHistoryPainter},
  };
}

}  // namespace sism
