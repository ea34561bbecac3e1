// Builds without Qt draw no graphs.
#include "app/cli/cli.h"

namespace sism::cli {

void EndPlotting() {}

bool PlotAvailable() {
  return false;
}
bool HasPainter(int32_t) {
  return false;
}
bool PlotToFile(AppState&, int32_t, const std::string&, const PlotOptions&, UserInterface&,
                std::string& error) {
  error = "this build of sismora-cli draws no graphs (built without Qt)";
  return false;
}

}  // namespace sism::cli
