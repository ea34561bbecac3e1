// The columns of the flatfile and the values of one row, built by one function so that the
// header, the columns file, the CSV and JSON lines and the rows of files not read cannot
// part. Commands that add measures append their columns through FlatfileSettings::more.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "analysis/ground_motion.h"
#include "analysis/processing.h"
#include "state/app_state.h"

namespace sism {

// One column as the columns file describes it.
struct FlatColumn {
  std::string name, unit, description;
  bool number = true;  // a number (null when empty in JSON), else a text
};

// What one row is made of. Without `app` (a file not read) every value but the file's
// name and the error is empty.
struct FlatRowInput {
  std::string file;
  const AppState* app = nullptr;
  const RecordMetrics* metrics = nullptr;
  ComponentSet set;
  const ProcessingResult* processing = nullptr;  // when the record went through the chain
  std::string errorCode, error;
};

// The columns of a row with their values, in order.
class FlatRow {
 public:
  explicit FlatRow(const FlatRowInput& in) : in_(in) {}
  const FlatRowInput& Input() const { return in_; }
  bool HasRecord() const { return in_.app != nullptr; }

  void Number(std::string name, std::string unit, std::string description, std::string value);
  void Text(std::string name, std::string description, std::string value);

  const std::vector<FlatColumn>& Columns() const { return columns_; }
  const std::vector<std::string>& Values() const { return values_; }

  // The row as a CSV line and as one JSON object, without a line break.
  std::string Csv() const;
  std::string Json() const;

 private:
  const FlatRowInput& in_;
  std::vector<FlatColumn> columns_;
  std::vector<std::string> values_;
};

// Columns appended after the flatfile's own, before the error columns.
using FlatColumnsHook = std::function<void(FlatRow&)>;

// Every column of the flatfile, with the values of `row.Input()`.
void BuildFlatfileRow(FlatRow& row, const MetricsRequest& request, const FlatColumnsHook& more = {});

// The header line of the CSV flatfile and the text of its columns file (name, unit,
// description), each line ending in a line break.
std::string FlatfileHeaderLine(const MetricsRequest& request, const FlatColumnsHook& more = {});
std::string FlatfileColumnsText(const MetricsRequest& request, const FlatColumnsHook& more = {});

// The code of the error column for a file the readers did not take, from its path and the
// reason they gave: "unreadable", "not_a_record", "refused_units", "declined", "damaged" or
// "refused".
std::string ReadErrorCode(const std::string& path, const std::string& reason);

// A CSV field, quoted where it must be, always UTF-8.
std::string CsvField(const std::string& s);

}  // namespace sism
