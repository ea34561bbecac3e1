// Every record reader, each with the signature of ReaderFunction (record/reader.h), and
// the parsing cores the fuzz targets call.
#pragma once

#include <cstddef>
#include <string>

#include "record/reader.h"
#include "record/strong_record.h"

namespace sism {

// One declaration a row of the table of formats (record/format_table.h).
#define SISM_DECLARE_READER(Id, code, reader, ...) \
  ReadOutcome reader(const std::string& path, StrongRecord& rec, ReadQuestions& ask);
SISM_RECORD_FORMATS(SISM_DECLARE_READER)
#undef SISM_DECLARE_READER

// The binary readers' parsing cores, on the bytes of one file: everything the reader does
// after reading the file, raising as the reader's body does (InvalidRecordFile or a
// numbered error). The fuzz targets call them directly.
bool ParseAltusEvent(const std::string& data, StrongRecord& rec);
bool ParseMdRecorder(const std::string& data, StrongRecord& rec);
// TRH: all but the site code, which comes from the file's extension.
bool ParseTrh(const std::string& bytes, StrongRecord& rec);
// One minute file of the JMA difference-coded text into steps minute * 6000 onwards of
// channels 1-3 (sized by the caller); the first minute also gives the date and time.
void DecodeJma95bMinute(const std::string& text, std::size_t minute, StrongRecord& rec);

}  // namespace sism
