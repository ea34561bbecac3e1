// USC volume 1 files: one film-digitised component a file, the acceleration as (time,
// value) pairs at uneven times in g/10. A station's components share the file name and
// differ in the last letter of the extension (".s0a", ".s0b", ".s0c").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/read_questions.h"
#include "record/reader.h"
#include "record/strong_record.h"

namespace sism {

// One component as its file gives it.
struct UscFilmComponent {
  std::string dateLine;     // "JAN 17, 1994 -1230 GMT"
  std::string stationLine;  // "STATION USC# 0057   34 25 09N, 118 25 34W"
  std::string site;
  std::string label;  // "N00W", from "COMP N00W"
  int32_t points = 0;
  double duration = 0;        // seconds
  std::vector<float> times;   // seconds, ascending
  std::vector<float> values;  // cm/s/s
};

// True for the text of a volume 1 file (uncorrected data, not the corrected volume 2).
bool IsUscVolume1(const std::string& text);

// Parses the text of one volume 1 file; `name` starts the messages. Throws
// InvalidRecordFile, saying where, for a file it cannot take whole.
UscFilmComponent ParseUscVolume1(const std::string& text, const std::string& name);

// Reads the component at `path` (whose text is `text`) with its sibling files, resampled
// to one even rate; components that are missing or unreadable are named in ReadNote.
bool ReadUscVolume1Set(const std::string& path, const std::string& text, StrongRecord& rec, ReadQuestions& ask);

// Date and station from the text lines both volumes share.
void UscTakeDate(const std::string& line, StrongRecord& rec);
void UscTakeStation(const std::string& line, StrongRecord& rec);

}  // namespace sism
