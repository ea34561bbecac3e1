// Start-up of the desktop program. Until the main window exists it reads the record
// named on the command line and prints its summary.
#include <iostream>

#include "app/shell/app_state.h"
#include "app/shell/cmdline.h"
#include "app/shell/console_ui.h"
#include "common/text.h"
#include "record/readers.h"

int main(int argc, char** argv) {
  sism::AppState state;
  std::vector<std::string> args(argv + 1, argv + argc);
  sism::ApplyArguments(args, state.preproc, state.run);
  if (state.run.FileToOpen.empty()) return 0;
  sism::ConsoleUi ui(std::cerr);
  sism::StrongRecord& rec = state.record;
  if (!sism::ReadAc(state.run.FileToOpen, rec, ui)) return 1;
  std::cout << rec.RecDate << " " << rec.RecTime << " at " << rec.SiteCode << ": " << rec.SiteName << " ["
            << rec.SampFreq << " Hz, " << sism::FormatNumber(rec.DataCount, "#,#") << " stps, "
            << rec.ChanCount << " chs]\n";
  return 0;
}
