// The way the headless code reaches the user in the desktop program: message boxes and
// questions over the window, the two status panels, the mouse pointer, events processed
// during long work, and the dialogs that reading and editing a record ask for.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/ui.h"

class QLabel;
class QStatusBar;
class QWidget;

namespace sism {

class QtUserInterface : public UserInterface {
 public:
  // Boxes and dialogs open over `owner`.
  explicit QtUserInterface(QWidget& owner);

  // The message panel and the wider record summary panel, added to `bar`.
  void BuildStatusPanels(QStatusBar& bar);
  std::string StatusMessageText() const;
  std::string StatusParamsText() const;
  // Both panels empty and no message left to restore.
  void ClearStatus();

  // Tests answer messages and questions here instead of modal boxes.
  std::function<void(const std::string&, MsgIcon, const std::string&)> messageSink;
  std::function<bool(const std::string&, const std::string&)> questionSink;
  // ... and the channel-selection and record-parameter dialogs.
  std::function<bool(SelChanMode, const std::vector<std::string>&, SelChanValues&)> selChanSink;
  std::function<bool(RecordTexts&)> recordParamSink;
  // ... and the choice of a StationXML file.
  std::function<std::string(const std::string&, const std::string&)> responseSink;

  void MsgBox(const std::string& text, MsgIcon icon, const std::string& title) override;
  bool AskYesNo(const std::string& text, const std::string& title) override;
  void Beep() override;
  void ShowStatusMessage(const std::string& text) override;
  void RestoreStatusMessage() override;
  void ShowStatusParams(const std::string& text) override;
  void SetMousePointer(int pointer) override;
  void RestoreMousePointer() override;
  void Yield() override;
  bool ShowReadDataDialog(DataFileKind kind, const std::string& path, const std::string& preview,
                          DataFileParams& params) override;
  bool ShowDlgPickChan(const std::vector<std::string>& labels, std::vector<int32_t>& chosen) override;
  bool ShowPreProcDialog(PreProcParams& params) override;
  bool ShowDlgSelChan(SelChanMode mode, const std::vector<std::string>& labels,
                      SelChanValues& values) override;
  bool SetRecordParam(RecordTexts& texts) override;
  std::string ResponseFile(const std::string& dataPath, const std::string& what, const std::string& found) override;

 private:
  void ApplyPointer(int pointer);

  QWidget& owner_;
  QLabel* panelMessage_ = nullptr;
  QLabel* panelParams_ = nullptr;
  std::string savedStatus_;
  int pointer_ = PointerDefault, savedPointer_ = PointerDefault;
};

}  // namespace sism
