// The review panel: the list of a processed folder beside the graph, the decisions on the
// record shown, its corners typed per component, and the next record prepared on a worker
// thread so that stepping on does not wait for reading and processing.
#pragma once

#include <QDockWidget>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "analysis/processing.h"
#include "app/shell/forms/review_list.h"
#include "draw/snr.h"
#include "load/read_file.h"
#include "state/app_state.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;

namespace sism {

class FSismora;
class ReviewModel;
class SnrView;

// A record read (and processed) away from the window's state, ready to be shown.
struct PreparedRecord {
  std::string record;  // its name in the review
  AppState state;
  ReadFileResult read;
  std::optional<ProcessingResult> processing;  // none when shown as processed before
  StrongRecord before;  // as read, when processed here
  std::vector<float> durationsBefore;
  std::string path, messages;
  bool ok = false;
};

class ReviewPanel : public QDockWidget {
  Q_OBJECT
 public:
  explicit ReviewPanel(FSismora& window);
  ~ReviewPanel() override;

  // Opens the folder's list and shows its first record; false (with a message) when it has none.
  bool Open(const std::string& folder);
  ReviewList& List() { return list_; }
  QTableView* Table() const { return table_; }
  // Moves to a line of the list and shows its record.
  bool ShowLine(int32_t line);
  bool Next() { return ShowLine(list_.Current() + 1); }
  bool Previous() { return ShowLine(list_.Current() - 1); }
  void Accept();
  void Reject();
  void Reset();
  // The corners typed for a component (0 H1, 1 H2, 2 V; empty text: automatic): saved, and the
  // record processed again with them at once.
  bool SetCorners(int32_t component, const std::string& highPass, const std::string& lowPass);
  QComboBox* ReasonBox() const { return reason_; }
  QLineEdit* CornerField(int32_t component, bool lowPass) const;
  // The chain's result of the record shown; null when it was shown as processed before.
  const ProcessingResult* Processing() const { return shown_.processing ? &*shown_.processing : nullptr; }
  // How long the last move took to show the record, and whether it had been prepared.
  double LastShowMs() const { return lastShowMs_; }
  bool LastWasPrepared() const { return lastPrepared_; }
  // Waits for the worker (tests and the harness).
  void WaitForPrepared();
  // The signal-to-noise graph beside the time histories.
  SnrView* Snr() const { return snr_; }
  // The window ran or undid the processing of the record shown: the graph follows.
  void ProcessingChanged();
  // A corner line moved on the graph: both corners of its component fixed where they are
  // seen, the moved one at `frequency`, saved and the record processed again.
  bool MoveCorner(const SnrCornerLine& line, float frequency);
  // Records of the list whose line lacks its status (or date and PGA) are read, and processed
  // when they never were, one after the other in the background; their lines fill in as each
  // is done. The records still to do, and a wait for all of them (tests).
  int32_t SurveyLeft() const { return surveyLeft_; }
  void WaitForSurvey();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Reads (and processes, with the corners of `review`) a record on settings copied from the
  // window's state.
  static PreparedRecord Prepare(const AppState& settings, const ReviewRow& row, const ReviewEntry& review,
                                bool process = true);
  AppState Settings() const;
  void Show(PreparedRecord p);
  void PrepareNext();
  void Decided();
  // Runs a decision of the list; its failure to save is said, and false.
  bool Saved(const std::function<void()>& decide);
  void FillFields();
  void Message(const std::string& text);
  void StartSurvey();
  void StopSurvey();
  void Surveyed(uint64_t generation, const std::string& record, const RowFacts& facts);
  // The list after a fill: the line changed, or all of them when lines moved.
  void Filled(int32_t line);
  void ShowSurveyLeft();

  FSismora& window_;
  ReviewList list_;
  ReviewModel* model_ = nullptr;
  QTableView* table_ = nullptr;
  QComboBox* filter_ = nullptr;
  QComboBox* reason_ = nullptr;
  QLineEdit* corners_[kReviewComponents][2] = {};
  QLabel* info_ = nullptr;
  QLabel* survey_ = nullptr;
  SnrView* snr_ = nullptr;
  struct {
    std::optional<ProcessingResult> processing;
  } shown_;
  // The worker: one record at a time, the library called by it or by the window, never both.
  mutable std::mutex library_;
  std::thread worker_;
  std::unique_ptr<PreparedRecord> prepared_;
  std::thread surveyor_;
  std::atomic<bool> stopSurvey_{false};
  uint64_t generation_ = 0;  // of the list: results of a folder no longer open are dropped
  int32_t surveyLeft_ = 0;
  double lastShowMs_ = 0;
  bool lastPrepared_ = false;
  bool filling_ = false;
};

}  // namespace sism
