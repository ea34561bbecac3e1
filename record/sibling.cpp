#include "record/sibling.h"

#include <cctype>
#include <filesystem>
#include <system_error>

#include "common/files.h"
#include "common/path.h"
#include "common/text.h"

namespace sism {

std::string FindFileNoCase(const std::string& path) {
  if (path.empty()) return {};
  if (FileExists(path)) return path;
  std::string::size_type slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty()) return {};
  std::error_code ec;
  std::filesystem::directory_iterator it(std::filesystem::path(folder.empty() ? std::string(".") : folder),
                                         ec),
      end;
  std::string best;
  for (; !ec && it != end; it.increment(ec)) {
    std::string entry = it->path().filename().string();
    if (!EqualsNoCase(entry, name)) continue;
    std::error_code typeEc;
    if (!it->is_regular_file(typeEc)) continue;
    if (best.empty() || entry < best) best = entry;
  }
  return best.empty() ? std::string() : folder + best;
}

namespace {

// The extension re-cased like `like`: upper when all its letters are upper, lower when
// all are lower, unchanged otherwise.
std::string CasedLike(const std::string& ext, const std::string& like) {
  bool upper = false, lower = false;
  for (unsigned char c : like) {
    if (std::isupper(c)) upper = true;
    if (std::islower(c)) lower = true;
  }
  if (upper && !lower) return UCase(ext);
  if (lower && !upper) return LCase(ext);
  return ext;
}

}  // namespace

std::string FindSibling(const std::string& base, const std::string& ext, const std::string& openedExt) {
  std::string cased = base + CasedLike(ext, openedExt);
  if (FileExists(cased)) return cased;
  if (FileExists(base + ext)) return base + ext;
  return FindFileNoCase(base + ext);
}

}  // namespace sism
