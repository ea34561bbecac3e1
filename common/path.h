// Path splitting as readers and dialogs use it.
#pragma once

#include <string>

namespace sism {

struct PathParts {
  std::string folder;  // with its trailing "/"; empty when the path has none
  std::string name;    // base name without extension
  std::string ext;     // with its leading dot; empty when there is none
};

// The extension starts at the last "." (one in the first position is not taken);
// the folder ends at the last "/".
PathParts SplitPath(const std::string& path);

// File name with its extension (the path without its folder part).
std::string FileNameOf(const std::string& path);

}  // namespace sism
