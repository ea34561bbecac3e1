// What the general-data and CSV readers propose before asking the user how to read
// a file: values guessed from its first lines and the numbered preview of them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/ui.h"
#include "record/strong_record.h"

namespace sism {

// Lines the guess and the preview look at.
constexpr int32_t kPreviewLines = 100;

// One row per line, "001:" and the line, rows separated by "\n"; a last row
// "(continued)" when `continued`.
std::string PreviewText(const std::vector<std::string>& lines, bool continued);

// General files: from at most the first ten of `lines`, the header lines to skip,
// the step count and the sampling frequency that the header's numbers suggest.
// Only skip, count and freq are set; the rest of `params` stays.
void GuessDataFileLayout(const std::vector<std::string>& lines, DataFileParams& params);

// CSV files: skip, whether the line before the first all-numeric line holds labels,
// channels, and count from `totalLines`, the number of lines in the whole file.
void GuessCsvLayout(const std::vector<std::string>& lines, int32_t totalLines, DataFileParams& params);

// The guessed values (description := path, no fixed-width layout; channels and coef
// as they were) and the preview, then the question to the user. False when the file
// has no lines or the user cancelled. Raises when the file cannot be read.
bool GetDataFileParams(const std::string& path, DataFileParams& params, UserInterface& ui);
bool GetCsvFileParams(const std::string& path, DataFileParams& params, UserInterface& ui);

// Reading with the confirmed values (the bodies of ReadOther and ReadCsv after OK).
// Raise on a short file or a field that is not a number.
bool ReadGeneralData(const std::string& path, const DataFileParams& params, StrongRecord& rec,
                     UserInterface& ui);
bool ReadCsvData(const std::string& path, const DataFileParams& params, StrongRecord& rec, UserInterface& ui);

}  // namespace sism
