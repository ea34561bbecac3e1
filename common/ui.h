// The one interface through which headless code reaches the user: messages, questions,
// status, pointer and yield, and the dialogs a reader or the pipeline asks for (their
// values are in common/dialog_requests.h). The Qt program, the command-line tool and the
// tests each implement it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/dialog_requests.h"
#include "common/read_questions.h"

namespace sism {

enum class MsgIcon { None, Critical, Question, Exclamation, Information };

// Mouse pointer codes as the program uses them.
enum : int { PointerDefault = 0, PointerHourglass = 11 };

class UserInterface : public ReadQuestions {
 public:

  virtual void MsgBox(const std::string& text, MsgIcon icon, const std::string& title) = 0;
  // Yes/no question; true for yes.
  virtual bool AskYesNo(const std::string& text, const std::string& title) = 0;
  virtual void Beep() {}

  // Each pair remembers exactly one previous value.
  virtual void ShowStatusMessage(const std::string& text) = 0;
  virtual void RestoreStatusMessage() = 0;
  virtual void ShowStatusParams(const std::string& text) = 0;
  virtual void SetMousePointer(int pointer) = 0;
  virtual void RestoreMousePointer() = 0;

  // Dialogs. Each returns true when the user accepted; on false the values are unchanged.
  // General-data or CSV dialog: `params` holds the guessed values on entry.
  bool ShowReadDataDialog(DataFileKind kind, const std::string& path, const std::string& preview,
                          DataFileParams& params) override = 0;
  // Channel pick dialog: fills `chosen` with 1-based channel numbers in the user's order.
  virtual bool ShowDlgPickChan(const std::vector<std::string>& labels, std::vector<int32_t>& chosen) = 0;
  // Preprocessing dialog, editing the program-wide parameters.
  virtual bool ShowPreProcDialog(PreProcParams& params) = 0;
  // Channel selection dialog; `labels` are the view's label copies.
  virtual bool ShowDlgSelChan(SelChanMode mode, const std::vector<std::string>& labels,
                              SelChanValues& values) = 0;
  // Record parameter dialog.
  virtual bool SetRecordParam(RecordTexts& texts) = 0;

  // Seismometer data (miniSEED, SAC). Which of several stations or bands to open: one of
  // `groups` ("NET.STA.LOC.BAND: channels"), 0-based, or -1 when the user declined. By
  // default the channel pick dialog, its first chosen entry.
  int32_t PickStation(const std::vector<std::string>& groups) override;
  // The StationXML file whose sensitivities turn the counts of `what` (NET.STA.LOC.BAND,
  // read from `dataPath`) into physical units; `found` is the one beside the data, empty
  // when there is none. Empty for no response (a coefficient is asked then). By default
  // `found`.
  std::string ResponseFile(const std::string& dataPath, const std::string& what, const std::string& found) override;
  // Whether channels that record velocity are to be differentiated into acceleration
  // (otherwise they are refused). By default the yes/no question.
  bool AskDifferentiate(const std::string& text, const std::string& title) override;
};

// Status message and pointer that restore themselves on every path out of a scope.
class StatusScope {
 public:
  StatusScope(UserInterface& ui, const std::string& text, bool hourglass = true);
  ~StatusScope();
  StatusScope(const StatusScope&) = delete;
  StatusScope& operator=(const StatusScope&) = delete;

 private:
  UserInterface& ui_;
  bool hourglass_;
};

}  // namespace sism
