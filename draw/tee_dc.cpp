#include "draw/tee_dc.h"

namespace sism {

int TeeDc::SaveState() {
  ids_.emplace_back(a_.SaveState(), b_.SaveState());
  return static_cast<int>(ids_.size());
}

void TeeDc::RestoreState(int id) {
  if (id < 1 || id > static_cast<int>(ids_.size())) return;
  const auto [a, b] = ids_[static_cast<size_t>(id - 1)];
  ids_.resize(static_cast<size_t>(id - 1));
  a_.RestoreState(a);
  b_.RestoreState(b);
}

}  // namespace sism
