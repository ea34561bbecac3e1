// One row per record format: its code, name, how its files are known (by content, by
// name), its reader, how it finds the other files of its set, and its file type. Format
// detection, the names in listings, the reader table and the tool's list of formats all
// come from here; adding a format is its reader and one row.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "record/reader.h"

namespace sism {

// What detection looks at: the first bytes of the file (up to 2 KB), its first four
// characters, its first line and its extension in upper case (".EW").
struct FileSniff {
  std::string bytes;
  std::string head;
  std::string firstLine;
  std::string ext;
};

struct RecordFormatRow {
  int32_t code = 0;
  const char* name = "";
  // Extensions, lower case with the dot, that name the format's files ("*.ac" in filters).
  std::vector<const char*> extensions;
  ReaderFunction reader = nullptr;
  // How the other files of a set are found; empty for one file a record.
  const char* siblings = "";
  // The registered or private file type (MIME); empty when the format has none of its own.
  const char* fileType = "";
  // Detection, in three passes over the rows in order: content only this format writes,
  // whatever the file's name; then the name (one of `extensions`), confirmed by `byName`
  // when set; then content that is likely enough when the name said nothing.
  bool (*signature)(const FileSniff&) = nullptr;
  bool (*byName)(const FileSniff&) = nullptr;
  bool (*content)(const FileSniff&) = nullptr;
};

// Every format with a code, in detection order (the general reader last).
const std::vector<RecordFormatRow>& RecordFormats();
// The row of a code; null for none.
const RecordFormatRow* FindRecordFormat(int32_t code);
// The format the sniffed file is in: FormatOther when nothing else knows it.
int32_t DetectFromSniff(const FileSniff& sniff);

// The largest file of a format that its reader reads at once, in bytes; 0 for the
// formats read line by line, which may be of any size. No record of these formats comes
// near its limit, and a larger file is refused before it is read.
int64_t FileSizeLimit(int32_t code);

// The tool's help on formats: a heading, then "  NAME (.ext .ext)" a format.
std::string RecordFormatList();

}  // namespace sism
