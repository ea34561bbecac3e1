#include "tests/fuzz/scratch.h"

namespace sism::fuzz {

void ScratchFolder::Clear() const {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(Path(), ec))
    std::filesystem::remove_all(entry.path(), ec);
}

const ScratchFolder& Scratch() {
  static const ScratchFolder folder;
  return folder;
}

}  // namespace sism::fuzz
