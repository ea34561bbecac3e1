#include "common/path.h"

namespace sism {

PathParts SplitPath(const std::string& path) {
  PathParts p;
  if (path.empty()) return p;
  std::string rest = path;
  std::size_t dot = rest.rfind('.');
  std::size_t slash = rest.rfind('/');
  // A dot inside the folder part, or at the very start, is no extension.
  if (dot != std::string::npos && dot > 0 && (slash == std::string::npos || dot > slash)) {
    p.ext = rest.substr(dot);
    rest.resize(dot);
  }
  if (slash != std::string::npos) {
    p.folder = rest.substr(0, slash + 1);
    p.name = rest.substr(slash + 1);
  } else {
    p.name = rest;
  }
  return p;
}

std::string FileNameOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace sism
