// A user interface without windows: messages go to standard error, dialogs take the
// answers set up beforehand (or are cancelled). Used by the command-line tool and the
// project's own small tools.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>

#include "common/ui.h"

namespace sism {

class ConsoleUi : public UserInterface {
 public:
  explicit ConsoleUi(std::ostream& err);

  // Answers for the dialogs; unset ones are cancelled.
  std::function<bool(DataFileKind, const std::string&, const std::string&, DataFileParams&)> onReadData;
  bool answerYes = false;  // to yes/no questions
  bool verbose = false;    // echo status messages
  int messageCount = 0;
  std::string lastMessage;  // text of the last message box
  // Written before a message box's text instead of its title ("sismora-cli: FILE: ").
  std::string messagePrefix;
  // Seismometer data: the station and band to open ("NET.STA.LOC.BAND"; among several
  // the files hold, none is guessed), the StationXML file to use instead of the one
  // beside the data, and whether velocity channels are differentiated.
  std::string station;
  std::string responseFile;
  bool differentiate = false;

  void MsgBox(const std::string& text, MsgIcon icon, const std::string& title) override;
  bool AskYesNo(const std::string& text, const std::string& title) override;
  void ShowStatusMessage(const std::string& text) override;
  void RestoreStatusMessage() override;
  void ShowStatusParams(const std::string&) override {}
  void SetMousePointer(int) override {}
  void RestoreMousePointer() override {}
  bool ShowReadDataDialog(DataFileKind kind, const std::string& path, const std::string& preview,
                          DataFileParams& params) override;
  bool ShowDlgPickChan(const std::vector<std::string>&, std::vector<int32_t>&) override { return false; }
  bool ShowPreProcDialog(PreProcParams&) override { return true; }
  bool ShowDlgSelChan(SelChanMode, const std::vector<std::string>&, SelChanValues&) override { return false; }
  bool SetRecordParam(RecordTexts&) override { return false; }
  int32_t PickStation(const std::vector<std::string>& groups) override;
  std::string ResponseFile(const std::string& dataPath, const std::string& what, const std::string& found) override;
  bool AskDifferentiate(const std::string& text, const std::string& title) override;

 private:
  std::ostream& err_;
  std::string status_, saved_;
};

}  // namespace sism
