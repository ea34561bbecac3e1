#include "tests/fuzz/fuzz_ui.h"

#include <cstdio>
#include <cstdlib>

namespace sism::fuzz {

void FuzzUi::MsgBox(const std::string& text, MsgIcon, const std::string& title) {
  ++messages;
  static const bool verbose = std::getenv("SISMORA_FUZZ_VERBOSE") != nullptr;
  if (verbose) std::fprintf(stderr, "[%s] %s\n", title.c_str(), text.c_str());
}

bool FuzzUi::ShowDlgPickChan(const std::vector<std::string>& labels, std::vector<int32_t>& chosen) {
  if (pick.empty()) return false;
  // A little beyond both ends too: the pipeline must ignore what names no channel.
  const int32_t span = static_cast<int32_t>(labels.size()) + 3;
  chosen.clear();
  for (uint8_t p : pick) chosen.push_back(static_cast<int32_t>(p % span) - 1);
  return true;
}

int32_t FuzzUi::PickStation(const std::vector<std::string>& groups) {
  const int32_t pick = UserInterface::PickStation(groups);
  if (pick < 0) ++declined;
  return pick;
}

}  // namespace sism::fuzz
