#include "app/shell/open_dialog.h"

#include <algorithm>
#include <map>
#include <vector>

#include "common/strings.h"
#include "record/formats.h"

namespace sism {

namespace {

void AddPattern(std::vector<std::string>& list, const char* ext) {
  const std::string pattern = "*" + std::string(ext);
  if (std::find(list.begin(), list.end(), pattern) == list.end()) list.push_back(pattern);
}

std::string Joined(const std::vector<std::string>& patterns) {
  std::string s;
  for (const std::string& p : patterns) s += (s.empty() ? "" : ";") + p;
  return s;
}

}  // namespace

std::string OpenFileFilter() {
  // Names any file may have (.txt, .csv, .dat) are the general readers'; they know no format.
  std::vector<std::string> general;
  for (int32_t code : {FormatCsv, FormatOther})
    for (const char* e : FindRecordFormat(code)->extensions) AddPattern(general, e);
  std::map<int32_t, std::vector<std::string>> groups;
  std::vector<std::string> known, ungrouped;
  for (const RecordFormatRow& row : RecordFormats())
    for (const char* e : row.extensions)
      AddPattern(row.filterGroup > 0 ? groups[row.filterGroup] : ungrouped, e);
  for (const auto& [text, patterns] : groups)
    for (const std::string& p : patterns)
      if (std::find(general.begin(), general.end(), p) == general.end()) AddPattern(known, p.c_str() + 1);
  for (const std::string& p : ungrouped) AddPattern(known, p.c_str() + 1);

  std::string filter = Str(8101) + "|" + Joined(known);
  for (const auto& [text, patterns] : groups)
    filter += "|" + Str(text) + " (" + Joined(patterns) + ")|" + Joined(patterns);
  return filter + "|" + Str(8112);
}

OpenDialogSetup OpenRecordDialogSetup(const OpenFileState& files, bool append) {
  OpenDialogSetup s;
  s.filter = OpenFileFilter();
  s.filterIndex = files.FilterIndex;
  s.title = Str(append ? 8123 : 8122);
  s.initialFolder = files.LastFolder;
  return s;
}

ReadFileResult OpenRecordDialogAccepted(AppState& state, OpenFileState& files, const std::string& path,
                                        int32_t filterIndex, bool append, UserInterface& ui) {
  files.FilterIndex = filterIndex;
  return ReadFile(state, files, path, append, ui);
}

}  // namespace sism
