// sismora-cli COMMAND [options] FILE...: the program's core without its window, for
// scripts that process many records: reports, peaks, exports, graphs and .ac copies.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/cli/tool.h"
#include "app/shell/cmdline.h"
#include "app/shell/settings.h"
#include "common/errors.h"
#include "common/files.h"
#include "common/text.h"
#include "common/version.h"
#include "load/pipeline.h"
#include "state/app_state.h"
#include "state/graph_kinds.h"

namespace sism::cli {
namespace {

int Run(const std::vector<std::string>& args) {
  Options o;
  try {
    o = Parse(args);
  } catch (const UsageError& e) {
    std::cerr << "sismora-cli: " << e.text << "\n";
    std::string cmd;
    for (const std::string& a : args)
      if (cmd.empty() && FindCommand(a) != nullptr) cmd = a;
    std::cerr << (cmd.empty() ? std::string("Try 'sismora-cli --help'.\n")
                              : "Try 'sismora-cli " + cmd + " --help'.\n");
    return kExitUsage;
  }
  if (o.version) {
    std::cout << "sismora-cli " << kVersionText << "\n";
    return kExitOk;
  }
  if (o.help) {
    std::cout << (o.command.empty() ? ToolHelp() : CommandHelp(o.command));
    return kExitOk;
  }
  AppState base;
  try {
    LoadStoredSettings(base);
    if (!o.settingsFile.empty()) {
      if (!FileExists(o.settingsFile)) {
        std::cerr << "sismora-cli: settings file " << o.settingsFile << " not found\n";
        return kExitUsage;
      }
      if (!LoadGraphSettings(base.graph, o.settingsFile) || !LoadCalcParams(base.calc, o.settingsFile) ||
          !LoadPreProcParams(base.preproc, o.settingsFile) ||
          !LoadProcessingParams(base.processing, o.settingsFile)) {
        std::cerr << "sismora-cli: settings file " << o.settingsFile << " cannot be read\n";
        return kExitUsage;
      }
      // As at start-up, the spectra's axes keep their given ranges.
      base.graph.Axis[AxisFrequency].Specify = true;
      base.graph.Axis[AxisPeriod].Specify = true;
    }
  } catch (const std::exception& e) {
    const ErrorInfo info = CurrentErrorInfo(e);
    std::cerr << "sismora-cli: settings: Err#" << info.number << ": " << info.description << "\n";
    return kExitUsage;
  }
  ApplyArguments(o.switches, base.preproc, base.run);
  if (o.filterType) base.preproc.FilterType = *o.filterType;
  if (o.filterOrder) base.preproc.FilterOrder = *o.filterOrder;
  if (o.keepPad) base.preproc.FilterKeepPad = true;
  if (!FilterCornersValid(base.preproc)) {
    std::cerr << "sismora-cli: the low-cut frequency (" << NumberText(base.preproc.LowCutFreq)
              << " Hz) must be below the high-cut frequency (" << NumberText(base.preproc.HighCutFreq) << " Hz)\n";
    return kExitUsage;
  }
  // No dialogs here: the preprocessing dialog and the channel pick are not shown.
  base.preproc.ShowEachTime = false;
  base.preproc.PickChannels = false;
  const Command& command = *FindCommand(o.command);
  // An output that is one of the inputs is refused before anything is written.
  if (command.outputOf != nullptr && o.output != "-") {
    for (const std::string& file : o.files) {
      const std::string out = command.outputOf(o, file);
      if (const std::string input = InputOverwrittenBy(out, o.files); !input.empty()) {
        std::cerr << "sismora-cli: " << out << ": is the input " << input << "; nothing written\n";
        return kExitUsage;
      }
    }
  }
  return command.run(o, base);
}

int Main(int argc, char** argv) {
  RemoveTemporaryFilesOnSignals();
  StandardOutput out;
  const int status = Run(std::vector<std::string>(argv + 1, argv + argc));
  return out.Finish() ? status : std::max(status, kExitUnread);
}

}  // namespace
}  // namespace sism::cli

int main(int argc, char** argv) {
  return sism::cli::Main(argc, argv);
}
