// The contract every record reader keeps: it reads, asks what the file leaves open through
// ReadQuestions, and returns its outcome; the caller tells the user.
#pragma once

#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "common/files.h"
#include "common/read_questions.h"
#include "record/strong_record.h"

namespace sism {

enum class ReadStatus {
  Read,           // the record is filled
  NotThisFormat,  // nothing read, nothing to say: another reader may try
  Refused,        // the file cannot be read; the messages say why
  Declined,       // the user declined a question
};

// A text the user is to be shown (with the critical icon), and its box's title.
struct ReadMessage {
  std::string text;
  std::string title;
};

struct ReadOutcome {
  ReadStatus status = ReadStatus::NotThisFormat;
  std::vector<ReadMessage> messages;

  ReadOutcome() = default;
  // A reader's plain answer: read, or not this format.
  ReadOutcome(bool read) : status(read ? ReadStatus::Read : ReadStatus::NotThisFormat) {}  // NOLINT
  ReadOutcome(ReadStatus s) : status(s) {}                                                  // NOLINT
  static ReadOutcome Refusal(std::string text, std::string title) {
    ReadOutcome o(ReadStatus::Refused);
    o.messages.push_back({std::move(text), std::move(title)});
    return o;
  }
  bool Ok() const { return status == ReadStatus::Read; }
  explicit operator bool() const { return Ok(); }
};

// A reader fills `rec` from the file and returns Read, or returns why not. It sets
// SampFreq, DataCount, ChanCount, the five per-channel arrays and Acc (in cm/s/s), and the
// header texts its format carries.
using ReaderFunction = ReadOutcome (*)(const std::string& path, StrongRecord& rec, ReadQuestions& ask);

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

// "Failed to read " + what + " (Err#" + number + ": " + description + ")", `what` being a
// path or a longer description of what was being read.
std::string FailedToReadText(const std::string& what, int number, const std::string& description);
// The same for a run-time error trapped while reading.
std::string ReadFailureText(const std::string& path, const std::exception& e);
// Title of a reader's message boxes: program title + ": " + reader name.
std::string ReaderTitle(const std::string& readerName);

// Runs a reader body under the error trap, its messages titled `title`: an invalid file
// gives its own message, any other exception the failure text above; the file is then
// refused. The body returns a bool (read, or not this format) or a ReadStatus.
template <typename Body>
ReadOutcome TrapReadErrorsTitled(const std::string& path, const std::string& title, Body&& body) {
  try {
    return ReadOutcome(body());
  } catch (const InvalidRecordFile& e) {
    return ReadOutcome::Refusal(e.Message(), title);
  } catch (const std::exception& e) {
    return ReadOutcome::Refusal(ReadFailureText(path, e), title);
  }
}

// The same, titled ReaderTitle(readerName).
template <typename Body>
ReadOutcome TrapReadErrors(const std::string& path, const std::string& readerName, Body&& body) {
  return TrapReadErrorsTitled(path, ReaderTitle(readerName), std::forward<Body>(body));
}

// The same for a reader of a text file: `body` reads the file through the TextFile it is
// given, and an error it raises without a place is placed at the line last read.
template <typename Body>
ReadOutcome TrapTextReadErrors(const std::string& path, const std::string& readerName, Body&& body) {
  return TrapReadErrors(path, readerName, [&] {
    TextFile in(path);
    return AtLineOf(in, [&] { return body(in); });
  });
}

}  // namespace sism
