// The progress line of the batch commands on standard error: files done of the total,
// records per second, the time left and the errors so far, redrawn in place. It is drawn
// only on a terminal, never into a file or a pipe.
#pragma once

#include <chrono>
#include <cstdint>
#include <iosfwd>
#include <string>

namespace sism::cli {

class ProgressLine {
 public:
  // Draws on `err` when `shown`; see ProgressShown.
  ProgressLine(std::ostream& err, int32_t total, bool shown);
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  // After each file; redrawn at most five times a second, and for the last file.
  void Update(int32_t done, int32_t errors);
  // Takes the line away before other messages are written; the next Update draws it again.
  void Clear();
  // The line's text: "3/40 files, 2.5 records/s, 0:14 left, 1 error".
  static std::string Text(int32_t done, int32_t total, double seconds, int32_t errors);

 private:
  std::ostream& err_;
  int32_t total_;
  bool shown_, drawn_ = false;
  std::chrono::steady_clock::time_point start_, last_;
};

// Whether standard error is a terminal and the user did not ask for quiet.
bool ProgressShown(bool quiet);

}  // namespace sism::cli
