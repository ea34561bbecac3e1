// Format detection and the read dispatcher: one file name in, one finished record out.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "record/reader.h"
#include "record/strong_record.h"

namespace sism {

// RecordFormat code of the file, from its extension and its first characters;
// 0 when the file cannot be opened or read.
int32_t DetectFormat(const std::string& path);

// The reader of every format code (index = RecordFormat code); a null entry is "no reader".
// Codes 12 and 13 fall back to the general reader (entry FormatOther).
using ReaderTable = std::array<ReaderFunction, FormatLast + 1>;
const ReaderTable& DefaultReaders();

// Fills `rec` from the file: arrays fitted to the counts, JMA group, FilePath, FileSize.
// When nothing usable was read the outcome says why (for the caller to tell the user),
// and the record is marked as not loaded (FileFormat 0, FilePath empty).
ReadOutcome ReadRecordFile(const std::string& path, StrongRecord& rec, ReadQuestions& ask);
ReadOutcome ReadRecordFile(const std::string& path, StrongRecord& rec, ReadQuestions& ask,
                           const ReaderTable& readers);

}  // namespace sism
