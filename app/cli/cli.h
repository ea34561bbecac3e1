// Pieces of sismora-cli shared by its source files.
#pragma once

#include <cstdint>
#include <string>

#include "state/app_state.h"
#include "common/ui.h"

namespace sism::cli {

// Image output of `plot`.
struct PlotOptions {
  int32_t width = 0;  // pixels; 0: from the resolution
  int32_t dpi = 96;
  int32_t reportSelector = 0;  // report page (kind 21), from 0
};

// Whether this build can draw graphs into files.
bool PlotAvailable();
// Releases what drawing set up, before the program ends.
void EndPlotting();
// Whether a painter exists for the kind.
bool HasPainter(int32_t kind);
// Draws the kind of the loaded record into a .png, .svg or .pdf file. False with the
// reason in `error`.
bool PlotToFile(AppState& app, int32_t kind, const std::string& path, const PlotOptions& options,
                UserInterface& ui, std::string& error);

}  // namespace sism::cli
