// The contract every record reader keeps, and the one place its errors are reported.
#pragma once

#include <exception>
#include <string>

#include "common/ui.h"
#include "record/strong_record.h"

namespace sism {

// A reader fills `rec` from the file and returns true, or reports what went wrong to the
// user and returns false. It sets SampFreq, DataCount, ChanCount, the five per-channel
// arrays and Acc (in cm/s/s), and the header texts its format carries.
using ReaderFunction = bool (*)(const std::string& path, StrongRecord& rec, UserInterface& ui);

// The message for a run-time error trapped while reading:
// "Failed to read " + path + " (Err#" + number + ": " + description + ")".
std::string ReadFailureText(const std::string& path, const std::exception& e);
// Shows it with the critical icon and the given title.
void ReportReadFailure(UserInterface& ui, const std::string& path, const std::string& title,
                       const std::exception& e);
// Title of a reader's message boxes: program title + ": " + reader name.
std::string ReaderTitle(const std::string& readerName);

// Runs a reader body under the error trap: any exception becomes the message box above
// (titled ReaderTitle(name)) and false.
template <typename Body>
bool TrapReadErrors(UserInterface& ui, const std::string& path, const std::string& readerName, Body&& body) {
  try {
    return body();
  } catch (const std::exception& e) {
    ReportReadFailure(ui, path, ReaderTitle(readerName), e);
    return false;
  }
}

}  // namespace sism
