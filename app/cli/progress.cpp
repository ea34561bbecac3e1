#include "app/cli/progress.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <ostream>

namespace sism::cli {
namespace {

std::string Clock(double seconds) {
  const auto s = static_cast<long long>(std::llround(seconds));
  char buf[32];
  if (s >= 3600)
    std::snprintf(buf, sizeof buf, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
  else
    std::snprintf(buf, sizeof buf, "%lld:%02lld", s / 60, s % 60);
  return buf;
}

}  // namespace

ProgressLine::ProgressLine(std::ostream& err, int32_t total, bool shown)
    : err_(err), total_(total), shown_(shown && total > 0), start_(std::chrono::steady_clock::now()) {}

ProgressLine::~ProgressLine() {
  Clear();
}

std::string ProgressLine::Text(int32_t done, int32_t total, double seconds, int32_t errors) {
  std::string t = std::to_string(done) + "/" + std::to_string(total) + " files";
  if (seconds > 0 && done > 0) {
    const double rate = done / seconds;
    char buf[32];
    std::snprintf(buf, sizeof buf, rate < 10 ? "%.1f" : "%.0f", rate);
    t += std::string(", ") + buf + " records/s";
    if (done < total) t += ", " + Clock((total - done) / rate) + " left";
  }
  if (errors > 0) t += ", " + std::to_string(errors) + (errors == 1 ? " error" : " errors");
  return t;
}

void ProgressLine::Update(int32_t done, int32_t errors) {
  if (!shown_) return;
  const auto now = std::chrono::steady_clock::now();
  if (drawn_ && done < total_ && now - last_ < std::chrono::milliseconds(200)) return;
  last_ = now;
  const double seconds = std::chrono::duration<double>(now - start_).count();
  // Carriage return, the text, and the rest of the old line erased.
  err_ << "\rsismora-cli: " << Text(done, total_, seconds, errors) << "\x1b[K" << std::flush;
  drawn_ = true;
}

void ProgressLine::Clear() {
  if (!drawn_) return;
  err_ << "\r\x1b[K" << std::flush;
  drawn_ = false;
}

bool ProgressShown(bool quiet) {
  return !quiet && ::isatty(STDERR_FILENO) == 1;
}

}  // namespace sism::cli
