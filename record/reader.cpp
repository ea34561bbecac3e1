#include "record/reader.h"

#include "common/errors.h"
#include "common/strings.h"

namespace sism {

std::string FailedToReadText(const std::string& what, int number, const std::string& description) {
  return "Failed to read " + what + " (Err#" + std::to_string(number) + ": " + description + ")";
}

std::string ReadFailureText(const std::string& path, const std::exception& e) {
  ErrorInfo info = CurrentErrorInfo(e);
  // "… (Err#13: Type mismatch) at line 5: "abc" is not a number"; without a place, ": …".
  const std::string joint = info.where.rfind("at ", 0) == 0 ? " " : ": ";
  return FailedToReadText(path, info.number, info.description) + (info.where.empty() ? "" : joint + info.where);
}

std::string ReaderTitle(const std::string& readerName) {
  return ProgramTitle() + ": " + readerName;
}

}  // namespace sism
