// The parts of sismora-cli: its options, its table of commands, its JSON output and the
// checks on what it writes.
#pragma once

#include <cstdint>
#include <streambuf>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/cli/cli.h"
#include "app/shell/flatfile.h"
#include "common/files.h"
#include "state/app_state.h"

namespace sism::cli {

constexpr int kExitOk = 0, kExitUnread = 1, kExitUsage = 2;

struct Options {
  std::string command;
  int32_t kind = 0;
  std::vector<std::string> files;
  std::vector<std::string> switches;
  std::string settingsFile;
  std::string output;
  bool summary = false, json = false, help = false, version = false;
  bool quiet = false;
  std::string format;  // --format as given; its meaning depends on the command
  std::optional<double> from, to;
  // convert: the --to format name (record/writers.h); empty for the output's extension.
  std::string writeAs;
  int32_t filter = 1;  // ExportFilter
  std::vector<std::pair<int32_t, int32_t>> pairs;
  PlotOptions plot;
  std::optional<int32_t> reportPage;  // 1-based
  // General data and CSV files.
  std::optional<int32_t> skip, count, freq, channels, start, width, columns;
  // Seismometer data (miniSEED, SAC).
  std::string station, response;
  bool differentiate = false;
  std::optional<float> coef;
  bool labelLine = false, neglectFirst = false;
  std::optional<int32_t> filterType, filterOrder;  // over the PreProcess settings
  bool keepPad = false;
  // metrics
  std::optional<float> damping, level;
  std::vector<float> periods;
  int32_t jobs = 1;
  int32_t shardK = 1, shardN = 1;
  FlatFormat flatFormat = FlatFormat::Csv;
  std::string review;  // process: the analyst's decisions to apply
};

struct UsageError {
  std::string text;
};

// What a command writes besides messages.
enum class Output {
  Stdout,        // standard output only
  FileOrStdout,  // -o OUT, '-' for standard output
  File,          // -o OUT, a file or a folder
};

struct Command {
  const char* name;
  bool takesKind;  // KIND before the files
  Output output;
  // Runs the command over every file of the options; the exit status.
  int (*run)(const Options&, const AppState&);
  // The file written for one input (none for standard output).
  std::string (*outputOf)(const Options&, const std::string& input);
};

// The commands, in the order the help lists them.
const std::vector<Command>& Commands();
// Null when there is no such command.
const Command* FindCommand(const std::string& name);

// The options of a command line; raises UsageError.
Options Parse(const std::vector<std::string>& args);

// Why metrics refuses the name of its output (an extension of a format it does not write,
// or of the other format); empty when none.
std::string FlatOutputRefusal(const Options& o);

// The help of the tool and of one command (empty when there is no such command).
std::string ToolHelp();
std::string CommandHelp(const std::string& cmd);

// The input that `output` would overwrite: the same file (also through links), or a file of
// the same set (the components of a K-NET set, an ESM station ...). Empty when none.
std::string InputOverwrittenBy(const std::string& output, const std::vector<std::string>& inputs);

// Standard output of the commands, written through a buffer that keeps the reason of a
// failed write.
class StandardOutput {
 public:
  StandardOutput();
  ~StandardOutput();
  StandardOutput(const StandardOutput&) = delete;
  StandardOutput& operator=(const StandardOutput&) = delete;
  // Flushes and closes standard output at the end of a command; false with the system's
  // reason said when what was written did not all arrive.
  bool Finish();

 private:
  WriteBuffer buffer_;
  std::streambuf* previous_;
};

// One line of JSON describing the loaded record, as `info --json` prints it.
std::string InfoJson(const AppState& app);
// The line of `info --json` for a file it could not read.
std::string InfoErrorJson(const std::string& file, const std::string& code, const std::string& reason);
// What the values of a flatfile depend on: the program, the measures' settings and the
// preprocessing, so that two flatfiles can be compared.
std::string ProvenanceJson(const AppState& base, const Options& o, const FlatfileSettings& settings,
                           int32_t records);
// A file beside the flatfile OUT: OUT without its extension, then `suffix`.
std::string SidecarPath(const std::string& output, const std::string& suffix);

}  // namespace sism::cli
