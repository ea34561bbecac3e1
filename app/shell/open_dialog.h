// The open and append dialogs: the file filter made from the table of formats, the
// titles, the folder and the filter chosen last.
#pragma once

#include <cstdint>
#include <string>

#include "common/ui.h"
#include "load/read_file.h"
#include "state/app_state.h"

namespace sism {

// "description|patterns|...": "Known files" with every extension a format claims for
// itself, one group a filter text of the table, then "All files (*.*)".
std::string OpenFileFilter();

struct OpenDialogSetup {
  std::string filter;  // "description|patterns|..."
  int32_t filterIndex = 1;
  std::string title;
  std::string initialFolder;
};
OpenDialogSetup OpenRecordDialogSetup(const OpenFileState& files, bool append);

// The dialog was accepted with this path and filter: remember the filter, read the file.
ReadFileResult OpenRecordDialogAccepted(AppState& state, OpenFileState& files, const std::string& path,
                                        int32_t filterIndex, bool append, UserInterface& ui);

}  // namespace sism
