// Start-up timing behind SISMORA_TIMING=1: Qt start, reading the first record, its JMA
// intensity and the first painted graph, written to standard error once the graph shows.
#pragma once

#include <QObject>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace sism {

class StartTiming : public QObject {
 public:
  // Enabled when the environment variable SISMORA_TIMING is set to a non-zero value.
  StartTiming();
  bool Enabled() const { return enabled_; }
  // Closes the named step begun at the previous mark (or at construction).
  void Mark(const std::string& step);
  // A step measured apart and shown with the others; its time is taken out of the next step
  // and of the totals, as it is spent only for this report.
  void Add(const std::string& step, double seconds);
  // Reports after the first paint of `view` following this call at which `showsGraph` holds.
  void WatchFirstPaint(QWidget* view, std::function<bool()> showsGraph);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Report();

  using Clock = std::chrono::steady_clock;
  bool enabled_ = false;
  Clock::time_point start_, last_;
  double beforeMain_ = -1;  // seconds from the process start to main, where the system tells
  double pending_ = 0, excluded_ = 0;
  std::vector<std::pair<std::string, double>> steps_;
  QWidget* view_ = nullptr;
  std::function<bool()> showsGraph_;
  bool reported_ = false;
};

}  // namespace sism
