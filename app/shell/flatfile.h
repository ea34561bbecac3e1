// A flatfile of ground-motion measures: one CSV row per record of an archive, computed on
// several threads with rows in a fixed order, and split into shards that concatenate.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "analysis/ground_motion.h"
#include "app/shell/flatfile_row.h"
#include "common/dialog_requests.h"
#include "common/ui.h"
#include "state/app_state.h"

namespace sism {

// Files with the same key open as one record (the components of a K-NET or KiK-net set, of a
// JMA95 set, of an ESM or SEED-named station); other files are their own key.
std::string RecordSetKey(const std::string& path);

struct RecordList {
  std::vector<std::string> files;     // one per record, in path order
  std::vector<std::string> problems;  // arguments that are neither files nor folders
  int32_t skipped = 0;                // files in folders that no format reader recognises
  std::vector<std::string> others;    // those files, in path order
};

// The records named by `args`: a file is taken as it is; a folder is walked recursively and
// gives the files a format reader recognises by name or content (not general text). The
// other files of a set already listed are left out.
RecordList CollectRecords(const std::vector<std::string>& args);

// Shard k of n (1 <= k <= n): every n-th record starting at the k-th.
std::vector<std::string> ShardOf(const std::vector<std::string>& files, int32_t k, int32_t n);

enum class FlatFormat { Csv, Jsonl };

struct FlatfileSettings {
  MetricsRequest request;
  FlatFormat format = FlatFormat::Csv;
  // Columns of other commands, after the measures.
  FlatColumnsHook more;
  // Messages about a file read "PREFIX FILE: reason"; empty: the readers' own form.
  std::string messagePrefix;
  // Called after each row is written: rows written so far and how many of them failed.
  std::function<void(int32_t done, int32_t failed)> onRow;
  // Called before a record's messages are written to the log.
  std::function<void()> beforeMessages;
  // Answers the layout of a general data or CSV file named explicitly; unset: the guess.
  std::function<bool(DataFileKind, const std::string&, const std::string&, DataFileParams&)> onReadData;
  // Seismometer data: the station and band, the StationXML file and the differentiation of
  // velocity channels, as ConsoleUi (app/shell/console_ui.h) takes them.
  std::string station, responseFile;
  bool differentiate = false;
  // Work on a record between reading and measuring (the processing chain): false with the
  // reason when the record is not to be measured. Its result reaches the row's columns as
  // FlatRowInput::processing.
  std::function<bool(AppState&, const std::string& file, std::ostream& log, ProcessingResult& result,
                     std::string& reason)>
      transform;
};

// The header line (no line break).
std::string FlatfileHeader(const MetricsRequest& request);
// One row (no line break) of a record that was read; `file` as given.
std::string FlatfileRow(const AppState& app, const std::string& file, const RecordMetrics& m, const ComponentSet& set);
// The row of a file that could not be read: its name and the reason, the measures empty.
std::string FlatfileErrorRow(const std::string& file, const std::string& error, const MetricsRequest& request);

// The row of the loaded record of `app`: its components measured as `request` asks.
std::string FlatfileRecordRow(AppState& app, const std::string& file, const MetricsRequest& request,
                              UserInterface& ui);

// Reads and measures one file as the settings `base` say; the row, and false when the file
// could not be read. Messages of the readers go to `log`.
bool FlatfileLine(const AppState& base, const std::string& file, const FlatfileSettings& settings,
                  std::string& row, std::ostream& log);

// Writes the rows of `files` in their order, the header first when `header`, computing up to
// `threads` records at a time. Each record's messages go to `log` together, in the same order.
// Returns the number of files that could not be read.
int32_t WriteFlatfile(const AppState& base, const std::vector<std::string>& files,
                      const FlatfileSettings& settings, int32_t threads, bool header, std::ostream& out,
                      std::ostream& log);

}  // namespace sism
