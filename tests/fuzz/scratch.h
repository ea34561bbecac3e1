// One folder for a whole fuzz run, emptied before every input so that no file of an
// earlier input is taken for a sibling.
#pragma once

#include "tests/support/temp_dir.h"

namespace sism::fuzz {

class ScratchFolder : public test::TempDir {
 public:
  void Clear() const;
};

const ScratchFolder& Scratch();

}  // namespace sism::fuzz
