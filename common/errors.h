// Run-time errors with the conventional error numbers that messages quote.
#pragma once

#include <stdexcept>
#include <string>

namespace sism {

enum ErrorNumber : int {
  ErrInvalidCall = 5,
  ErrOverflow = 6,
  ErrOutOfMemory = 7,
  ErrSubscriptOutOfRange = 9,
  ErrDivisionByZero = 11,
  ErrTypeMismatch = 13,
  ErrFileNotFound = 53,
  ErrInputPastEnd = 62,
  ErrPathFileAccess = 75,
  ErrLibraryLoad = 48,
  ErrEntryPointNotFound = 453,
};

// The description that goes with a conventional number ("File not found" …).
std::string ErrorDescription(int number);

class RuntimeError : public std::runtime_error {
 public:
  explicit RuntimeError(int number);
  RuntimeError(int number, const std::string& description);
  int Number() const { return number_; }
  const std::string& Description() const { return description_; }

 private:
  int number_;
  std::string description_;
};

[[noreturn]] void Raise(int number);

// "(Err#53: File not found)" for any exception caught by a reporting procedure;
// foreign exceptions are mapped to the nearest conventional number.
struct ErrorInfo {
  int number;
  std::string description;
};
ErrorInfo CurrentErrorInfo(const std::exception& e);

}  // namespace sism
