// The part of opening a file that does not need the window: which pipeline runs, the
// folder and the files the record came from, and what the window is to show afterwards.
#pragma once

#include <cstdint>
#include <string>

#include "state/app_state.h"
#include "common/ui.h"
#include "record/dispatch.h"

namespace sism {

// Kept by the main window between uses.
struct OpenFileState {
  std::string LastFolder;       // folder of the last opened file, with its trailing "/"
  std::string CaptionFilePart;  // the record's file names for the caption ("a.ac+b.ac"); empty with no record
  int32_t FilterIndex = 1;      // open dialog's filter, for this run only
};

// What the window does after ReadFile.
struct ReadFileResult {
  int32_t chanCount = 0;  // the current channel count
  // Channels were read: clear the picture, show the acceleration view, add the path to
  // the recent files, rebuild the channel menu, set the caption.
  bool refresh = false;
  // No record is loaded (a failed open): show the empty window.
  bool noRecord = false;
  // Orbit and relation views (menus and toolbar buttons "orbit" and "rel") need two channels.
  bool twoChannelViews = false;
};

// Opens `path`, or appends it when `append` and a record is loaded.
ReadFileResult ReadFile(AppState& state, OpenFileState& files, const std::string& path, bool append,
                        UserInterface& ui);
ReadFileResult ReadFile(AppState& state, OpenFileState& files, const std::string& path, bool append,
                        UserInterface& ui, const ReaderTable& readers);

}  // namespace sism
