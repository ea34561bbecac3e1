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
  RuntimeError(int number, const std::string& description, std::string found = {});
  int Number() const { return number_; }
  const std::string& Description() const { return description_; }
  // Where in the input it happened and what was found there: "at line 5: "abc" is not a
  // number", "at byte 1024"; empty when neither is known.
  std::string Where() const;
  // The place ("line 5, field 2", "byte 1024") and the finding; the innermost one given stays.
  void SetPlace(const std::string& place) {
    if (place_.empty()) place_ = place;
  }
  void SetFound(const std::string& found) {
    if (found_.empty()) found_ = found;
  }

 private:
  int number_;
  std::string description_;
  std::string found_;
  std::string place_;
};

// Raises `number` with what was found ("\"abc\" is not a number").
[[noreturn]] void RaiseFound(int number, const std::string& found);

[[noreturn]] void Raise(int number);

// "(Err#53: File not found)" for any exception caught by a reporting procedure;
// foreign exceptions are mapped to the nearest conventional number.
struct ErrorInfo {
  int number;
  std::string description;
  std::string where = {};
};
ErrorInfo CurrentErrorInfo(const std::exception& e);

}  // namespace sism
