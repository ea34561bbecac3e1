#include "common/ui.h"

namespace sism {

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
