// The contract every record reader keeps, and the one place its errors are reported.
#pragma once

#include <exception>
#include <string>
#include <utility>

#include "common/ui.h"
#include "record/strong_record.h"

namespace sism {

// A reader fills `rec` from the file and returns true, or reports what went wrong to the
// user through the trap below and returns false. It sets SampFreq, DataCount, ChanCount,
// the five per-channel arrays and Acc (in cm/s/s), and the header texts its format carries.
using ReaderFunction = bool (*)(const std::string& path, StrongRecord& rec, UserInterface& ui);

// A file its reader cannot take (not its format, no usable data). The message is the
// whole text the user is shown.
class InvalidRecordFile : public std::exception {
 public:
  explicit InvalidRecordFile(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& Message() const noexcept { return message_; }

 private:
  std::string message_;
};

// The message for a run-time error trapped while reading:
// "Failed to read " + path + " (Err#" + number + ": " + description + ")".
std::string ReadFailureText(const std::string& path, const std::exception& e);
// Shows it with the critical icon and the given title.
void ReportReadFailure(UserInterface& ui, const std::string& path, const std::string& title,
                       const std::exception& e);
// Title of a reader's message boxes: program title + ": " + reader name.
std::string ReaderTitle(const std::string& readerName);

// Runs a reader body under the error trap, its message boxes titled `title`: an invalid
// file shows its own message, any other exception the failure text above; both with the
// critical icon, and the reader returns false.
template <typename Body>
bool TrapReadErrorsTitled(UserInterface& ui, const std::string& path, const std::string& title, Body&& body) {
  try {
    return body();
  } catch (const InvalidRecordFile& e) {
    ui.MsgBox(e.Message(), MsgIcon::Critical, title);
    return false;
  } catch (const std::exception& e) {
    ReportReadFailure(ui, path, title, e);
    return false;
  }
}

// The same, titled ReaderTitle(readerName).
template <typename Body>
bool TrapReadErrors(UserInterface& ui, const std::string& path, const std::string& readerName, Body&& body) {
  return TrapReadErrorsTitled(ui, path, ReaderTitle(readerName), std::forward<Body>(body));
}

}  // namespace sism
