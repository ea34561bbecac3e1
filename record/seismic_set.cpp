#include "record/seismic_set.h"

#include <algorithm>
#include <cctype>

#include "common/path.h"
#include "common/text.h"
#include "record/reader.h"
#include "record/seismic_stages.h"
#include "record/sibling.h"

namespace sism {

std::vector<std::string> SiblingFiles(const std::string& path, const std::string& cha) {
  std::vector<std::string> out;
  if (cha.size() < 2) return out;
  const std::string name = FileNameOf(path);
  const std::string folder = path.substr(0, path.size() - name.size());
  const std::string upper = UCase(name), code = UCase(cha);
  auto wordChar = [](char ch) { return std::isalnum(static_cast<unsigned char>(ch)) != 0; };
  for (std::size_t at = upper.find(code); at != std::string::npos; at = upper.find(code, at + 1)) {
    const std::size_t end = at + code.size();
    if ((at > 0 && wordChar(upper[at - 1])) || (end < upper.size() && wordChar(upper[end]))) continue;
    for (char letter : std::string("NEZ123")) {
      if (letter == code.back()) continue;
      std::string sibling = name;
      // The letter in the case the name has it.
      sibling[end - 1] = std::islower(static_cast<unsigned char>(name[end - 1]))
                             ? static_cast<char>(std::tolower(static_cast<unsigned char>(letter)))
                             : letter;
      std::string found = FindFileNoCase(folder + sibling);
      if (!found.empty() && std::find(out.begin(), out.end(), found) == out.end()) out.push_back(found);
    }
    break;
  }
  return out;
}

bool AssembleSeismicRecord(const SeisSet& set, StrongRecord& rec, ReadQuestions& ask) {
  ChannelGroups grouped;
  GroupChannels(set, grouped);
  if (grouped.groups.empty()) throw InvalidRecordFile(set.path + " holds no samples.");
  std::string group;
  std::vector<const SeisChannel*> chans;
  if (!PickGroup(grouped, ask, group, chans)) return false;
  std::vector<std::string> notes;
  const AlignedTraces aligned = AlignChannels(set.path, group, chans, notes);
  std::vector<Conversion> conv;
  if (!ConvertUnits(set.path, group, chans, aligned, rec, ask, notes, conv)) return false;
  FillRecord(chans, aligned, conv, notes, rec, ask);
  return true;
}

}  // namespace sism
