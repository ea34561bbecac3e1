// A fresh folder for files a test writes, removed with everything in it at the end.
#pragma once

#include <filesystem>
#include <string>

namespace sism::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // Full path of a file in the folder.
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  // Writes `contents` as the file's bytes and returns its full path.
  std::string Write(const std::string& name, const std::string& contents) const;

 private:
  std::filesystem::path path_;
};

}  // namespace sism::test
