#include "app/gui/start_timing.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <utility>

#include <unistd.h>

namespace sism {

namespace {

// Seconds since the process started, from the kernel's clock ticks; negative when unknown.
double SecondsSinceProcessStart() {
  std::ifstream stat("/proc/self/stat"), up("/proc/uptime");
  std::string line;
  double uptime = 0;
  if (!std::getline(stat, line) || !(up >> uptime)) return -1;
  // Field 22 (starttime) counts after the command name, which may hold blanks: start after ')'.
  const std::size_t close = line.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(line.substr(close + 2));
  std::string field;
  for (int i = 3; i < 22 && fields >> field; ++i) {
  }
  unsigned long long ticks = 0;
  if (!(fields >> ticks)) return -1;
  const long hz = sysconf(_SC_CLK_TCK);
  return hz > 0 ? uptime - static_cast<double>(ticks) / static_cast<double>(hz) : -1;
}

}  // namespace

StartTiming::StartTiming() : start_(Clock::now()), last_(start_) {
  const char* v = std::getenv("SISMORA_TIMING");
  enabled_ = v != nullptr && *v != '\0' && std::string(v) != "0";
  if (enabled_) beforeMain_ = SecondsSinceProcessStart();
}

void StartTiming::Mark(const std::string& step) {
  if (!enabled_) return;
  const Clock::time_point now = Clock::now();
  steps_.emplace_back(step, std::chrono::duration<double>(now - last_).count() - pending_);
  pending_ = 0;
  last_ = now;
}

void StartTiming::Add(const std::string& step, double seconds) {
  if (!enabled_) return;
  steps_.emplace_back(step, seconds);
  pending_ += seconds;
  excluded_ += seconds;
}

void StartTiming::WatchFirstPaint(QWidget* view, std::function<bool()> showsGraph) {
  if (!enabled_ || view == nullptr) return;
  view_ = view;
  showsGraph_ = std::move(showsGraph);
  view->installEventFilter(this);
}

bool StartTiming::eventFilter(QObject* watched, QEvent* event) {
  if (watched == view_ && event->type() == QEvent::Paint && !reported_ && (!showsGraph_ || showsGraph_())) {
    reported_ = true;
    view_->removeEventFilter(this);
    // The paint itself runs after this filter: the report waits for the event loop's next turn.
    QTimer::singleShot(0, this, [this] {
      Mark("first paint");
      Report();
    });
  }
  return false;
}

void StartTiming::Report() {
  std::string text = "start-up timing (s):";
  char buf[96];
  if (beforeMain_ >= 0) {
    std::snprintf(buf, sizeof buf, " before main %.3f;", beforeMain_);
    text += buf;
  }
  for (const auto& [step, seconds] : steps_) {
    std::snprintf(buf, sizeof buf, " %s %.3f;", step.c_str(), seconds);
    text += buf;
  }
  const double sinceMain = std::chrono::duration<double>(Clock::now() - start_).count() - excluded_;
  std::snprintf(buf, sizeof buf, " main to first paint %.3f", sinceMain);
  text += buf;
  if (beforeMain_ >= 0) {
    std::snprintf(buf, sizeof buf, ", launch to first paint %.3f", beforeMain_ + sinceMain);
    text += buf;
  }
  std::fprintf(stderr, "%s\n", text.c_str());
}

}  // namespace sism
