// One folder for a whole fuzz run, emptied before every input so that no file of an
// earlier input is taken for a sibling.
#pragma once

#include <filesystem>
#include <string>

namespace sism::fuzz {

class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  void Clear() const;
  // Writes the file and returns its full path.
  std::string Write(const std::string& name, const std::string& contents) const;
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

const ScratchFolder& Scratch();

}  // namespace sism::fuzz
