#include "tests/fuzz/scratch.h"

#include <stdlib.h>

#include <fstream>

#include "tests/fuzz/fuzz_input.h"

namespace sism::fuzz {

ScratchFolder::ScratchFolder() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "sismora-fuzz-XXXXXX").string();
  if (!mkdtemp(tmpl.data())) Broken("cannot make a temporary folder");
  path_ = tmpl;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void ScratchFolder::Clear() const {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(path_, ec))
    std::filesystem::remove_all(entry.path(), ec);
}

std::string ScratchFolder::Write(const std::string& name, const std::string& contents) const {
  std::string file = File(name);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  return file;
}

const ScratchFolder& Scratch() {
  static const ScratchFolder folder;
  return folder;
}

}  // namespace sism::fuzz
