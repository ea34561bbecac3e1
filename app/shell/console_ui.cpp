#include "app/shell/console_ui.h"

#include <ostream>

namespace sism {

ConsoleUi::ConsoleUi(std::ostream& err) : err_(err) {}

void ConsoleUi::MsgBox(const std::string& text, MsgIcon, const std::string& title) {
  ++messageCount;
  lastMessage = text;
  err_ << (title.empty() ? "" : title + ": ") << text << '\n';
}

bool ConsoleUi::AskYesNo(const std::string& text, const std::string& title) {
  err_ << (title.empty() ? "" : title + ": ") << text << (answerYes ? " [yes]" : " [no]") << '\n';
  return answerYes;
}

void ConsoleUi::ShowStatusMessage(const std::string& text) {
  saved_ = status_;
  status_ = text;
  if (verbose && !text.empty()) err_ << text << '\n';
}

void ConsoleUi::RestoreStatusMessage() {
  status_ = saved_;
}

bool ConsoleUi::ShowReadDataDialog(DataFileKind kind, const std::string& path, const std::string& preview,
                                   DataFileParams& params) {
  return onReadData ? onReadData(kind, path, preview, params) : false;
}

}  // namespace sism
