#include "common/strings.h"

#include <unordered_map>

namespace sism {

namespace detail {
// Defined with the table itself.
const std::unordered_map<int, std::string>& StringTable();
}  // namespace detail

const std::string& Str(int id) {
  static const std::string empty;
  const auto& t = detail::StringTable();
  auto it = t.find(id);
  return it == t.end() ? empty : it->second;
}

bool HasStr(int id) {
  return detail::StringTable().count(id) > 0;
}

const std::string& ProgramTitle() {
  static const std::string title = "Sismora";
  return title;
}

}  // namespace sism
