// What the general-data and CSV readers propose before asking the user how to read
// a file: values guessed from its first lines and the numbered preview of them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/read_questions.h"
#include "record/strong_record.h"

namespace sism {

// Lines the guess and the preview look at.
constexpr int32_t kPreviewLines = 100;

// One row per line, "001:" and the line, rows separated by "\n"; a last row
// "(continued)" when `continued`.
std::string PreviewText(const std::vector<std::string>& lines, bool continued);

// General files: from at most the first ten of `lines`, the header lines to skip,
// the step count and the sampling frequency that the header's numbers suggest.
// Only skip, count and freq are set; the rest of `params` stays. True when a number of
// the header gave the count.
bool GuessDataFileLayout(const std::vector<std::string>& lines, DataFileParams& params);

// Plain column files: the blank-separated numbers on the first line after the skipped
// ones (empty lines passed over); nothing when that line holds anything else or none is left.
std::vector<std::string> FirstDataFields(const std::vector<std::string>& lines, int32_t skip);
// Whether every blank-separated field of the line is a number (an empty line has none).
bool IsDataLine(const std::string& line);

// After GuessDataFileLayout: one step a line, one channel a column. Channels := the
// numbers on the first data line and count := `dataLines`, the lines of numbers from
// there on, unless the header gave a larger count (then the values run on over the
// lines and both stay). Nothing changes without a data line among `lines`.
void ProposeColumnLayout(const std::vector<std::string>& lines, int32_t dataLines, bool countFromHeader,
                         DataFileParams& params);

// CSV files: skip, whether the line before the first all-numeric line holds labels,
// channels, and count from `totalLines`, the number of lines in the whole file; freq 100,
// unless the first column steps by a constant time interval: then it is left out
// (neglectFirst) and freq is the rate it gives.
void GuessCsvLayout(const std::vector<std::string>& lines, int32_t totalLines, DataFileParams& params);

// The guessed values (description := path, no fixed-width layout; channels and coef
// as they were), the note of rows the guess leaves out and the preview, then the
// question to the user. False when the file has no lines or the user cancelled. Raises
// when the file cannot be read or its first line of numbers is wider than a record.
bool GetDataFileParams(const std::string& path, DataFileParams& params, ReadQuestions& ask);
bool GetCsvFileParams(const std::string& path, DataFileParams& params, ReadQuestions& ask);

// Reading with the confirmed values (the bodies of ReadOther and ReadCsv after OK).
// Raise on a short file or a field that is not a number.
bool ReadGeneralData(const std::string& path, const DataFileParams& params, StrongRecord& rec,
                     ReadQuestions& ask);
bool ReadCsvData(const std::string& path, const DataFileParams& params, StrongRecord& rec, ReadQuestions& ask);

}  // namespace sism
