// The rows of the table of formats (record/format_table.h) as the program uses them:
// detection, the names in listings, the reader table and the tool's list of formats.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "record/format_table.h"
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

// A detection test of the table; NoSniff is "none".
using SniffTest = bool (*)(const FileSniff&);
bool NoSniff(const FileSniff&);
#define SISM_DECLARE_SNIFFS(Id, code, reader, name, extensions, group, siblings, fileType, signature, \
                            byName, content)                                                          \
  bool signature(const FileSniff&);                                                                   \
  bool byName(const FileSniff&);                                                                      \
  bool content(const FileSniff&);
SISM_RECORD_FORMATS(SISM_DECLARE_SNIFFS)
#undef SISM_DECLARE_SNIFFS

struct RecordFormatRow {
  int32_t code = 0;
  const char* name = "";
  // Extensions, lower case with the dot, that name the format's files ("*.ac" in filters).
  std::vector<const char*> extensions;
  // The open-file filter's group (the number of its text); 0 for none.
  int32_t filterGroup = 0;
  ReaderFunction reader = nullptr;
  const char* siblings = "";
  const char* fileType = "";
  // The detection tests (record/format_table.h); null for none.
  SniffTest signature = nullptr;
  SniffTest byName = nullptr;
  SniffTest content = nullptr;
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
