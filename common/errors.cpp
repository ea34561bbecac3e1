#include "common/errors.h"

#include <new>
#include <utility>

namespace sism {

std::string ErrorDescription(int number) {
  switch (number) {
    case ErrOverflow:
      return "Overflow";
    case ErrOutOfMemory:
      return "Out of memory";
    case ErrSubscriptOutOfRange:
      return "Subscript out of range";
    case ErrDivisionByZero:
      return "Division by zero";
    case ErrTypeMismatch:
      return "Type mismatch";
    case ErrFileNotFound:
      return "File not found";
    case ErrInputPastEnd:
      return "Input past end of file";
    case ErrPathFileAccess:
      return "Path/File access error";
    case ErrLibraryLoad:
      return "Error in loading DLL";
    case ErrEntryPointNotFound:
      return "Specified DLL function not found";
    case ErrInvalidCall:
      return "Invalid procedure call or argument";
    default:
      return "Application-defined or object-defined error";
  }
}

RuntimeError::RuntimeError(int number) : RuntimeError(number, ErrorDescription(number)) {}

RuntimeError::RuntimeError(int number, const std::string& description, std::string found)
    : std::runtime_error(description), number_(number), description_(description), found_(std::move(found)) {}

std::string RuntimeError::Where() const {
  if (place_.empty()) return found_;
  return "at " + place_ + (found_.empty() ? "" : ": " + found_);
}

void RaiseFound(int number, const std::string& found) {
  throw RuntimeError(number, ErrorDescription(number), found);
}

void Raise(int number) {
  throw RuntimeError(number);
}

ErrorInfo CurrentErrorInfo(const std::exception& e) {
  if (auto* r = dynamic_cast<const RuntimeError*>(&e)) return {r->Number(), r->Description(), r->Where()};
  if (dynamic_cast<const std::bad_alloc*>(&e)) return {ErrOutOfMemory, ErrorDescription(ErrOutOfMemory)};
  if (dynamic_cast<const std::out_of_range*>(&e))
    return {ErrSubscriptOutOfRange, ErrorDescription(ErrSubscriptOutOfRange)};
  if (dynamic_cast<const std::length_error*>(&e)) return {ErrOutOfMemory, ErrorDescription(ErrOutOfMemory)};
  if (dynamic_cast<const std::invalid_argument*>(&e))
    return {ErrTypeMismatch, ErrorDescription(ErrTypeMismatch)};
  return {ErrInvalidCall, ErrorDescription(ErrInvalidCall)};
}

}  // namespace sism
