#include "common/ui.h"

namespace sism {

int32_t UserInterface::PickStation(const std::vector<std::string>& groups) {
  std::vector<int32_t> chosen;
  if (!ShowDlgPickChan(groups, chosen)) return -1;
  for (int32_t c : chosen)
    if (c >= 1 && c <= static_cast<int32_t>(groups.size())) return c - 1;
  return -1;
}

std::string UserInterface::ResponseFile(const std::string&, const std::string&, const std::string& found) {
  return found;
}

bool UserInterface::AskDifferentiate(const std::string& text, const std::string& title) {
  return AskYesNo(text, title);
}

StatusScope::StatusScope(UserInterface& ui, const std::string& text, bool hourglass)
    : ui_(ui), hourglass_(hourglass) {
  if (hourglass_) ui_.SetMousePointer(PointerHourglass);
  ui_.ShowStatusMessage(text);
}

StatusScope::~StatusScope() {
  ui_.RestoreStatusMessage();
  if (hourglass_) ui_.RestoreMousePointer();
}

}  // namespace sism
