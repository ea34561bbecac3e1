// A user interface for tests: records every message and status change, and answers
// questions and dialogs from a script set up by the test.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "common/ui.h"
#include "state/preproc_params.h"

namespace sism::test {

struct ShownMessage {
  std::string text;
  MsgIcon icon;
  std::string title;
};

class ScriptedUi : public UserInterface {
 public:
  // What was shown, in order.
  std::vector<ShownMessage> messages;
  std::vector<std::string> statusLog;  // every text passed to ShowStatusMessage
  std::string status;                  // current status message
  std::string statusParams;
  int pointer = PointerDefault;
  int beeps = 0;
  int yields = 0;
  int readDataDialogs = 0;
  std::string lastPreview;

  // Answers. Yes/no questions pop from the front; an empty queue answers `defaultYes`.
  std::deque<bool> yesNoAnswers;
  bool defaultYes = true;
  // Dialogs: when unset, the dialog is cancelled.
  std::function<bool(DataFileKind, const std::string&, DataFileParams&)> onReadData;
  std::function<bool(const std::vector<std::string>&, std::vector<int32_t>&)> onPickChan;
  std::function<bool(PreProcParams&)> onPreProc;
  std::function<bool(SelChanMode, const std::vector<std::string>&, SelChanValues&)> onSelChan;
  std::function<bool(RecordTexts&)> onRecordParam;
  // Seismometer data: the StationXML file to use (given `found`), and whether velocity
  // channels are differentiated; unset, the base class's choices (a yes/no question).
  std::function<std::string(const std::string&, const std::string&)> onResponseFile;
  std::function<bool(const std::string&)> onDifferentiate;

  void MsgBox(const std::string& text, MsgIcon icon, const std::string& title) override;
  bool AskYesNo(const std::string& text, const std::string& title) override;
  void Beep() override { ++beeps; }
  void ShowStatusMessage(const std::string& text) override;
  void RestoreStatusMessage() override;
  void ShowStatusParams(const std::string& text) override { statusParams = text; }
  void SetMousePointer(int p) override;
  void RestoreMousePointer() override;
  void Yield() override { ++yields; }
  bool ShowReadDataDialog(DataFileKind kind, const std::string& path, const std::string& preview,
                          DataFileParams& params) override;
  bool ShowDlgPickChan(const std::vector<std::string>& labels, std::vector<int32_t>& chosen) override;
  bool ShowPreProcDialog(PreProcParams& params) override;
  bool ShowDlgSelChan(SelChanMode mode, const std::vector<std::string>& labels,
                      SelChanValues& values) override;
  bool SetRecordParam(RecordTexts& texts) override;
  std::string ResponseFile(const std::string& dataPath, const std::string& what, const std::string& found) override;
  bool AskDifferentiate(const std::string& text, const std::string& title) override;

  // The only message shown, or a failure description when there were none or several.
  std::string OnlyMessage() const;

 private:
  std::string savedStatus_;
  int savedPointer_ = PointerDefault;
};

}  // namespace sism::test
