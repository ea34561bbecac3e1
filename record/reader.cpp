#include "record/reader.h"

#include "common/errors.h"
#include "common/strings.h"

namespace sism {

std::string ReadFailureText(const std::string& path, const std::exception& e) {
  ErrorInfo info = CurrentErrorInfo(e);
  return "Failed to read " + path + " (Err#" + std::to_string(info.number) + ": " + info.description + ")";
}

void ReportReadFailure(UserInterface& ui, const std::string& path, const std::string& title,
                       const std::exception& e) {
  ui.MsgBox(ReadFailureText(path, e), MsgIcon::Critical, title);
}

std::string ReaderTitle(const std::string& readerName) {
  return ProgramTitle() + ": " + readerName;
}

}  // namespace sism
