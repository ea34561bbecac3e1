// The user of a fuzz run: accepts every dialog with the values it is offered (the
// guessed layout of a general file), picks channels as the input says, and counts the
// messages.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/ui.h"

namespace sism::fuzz {

class FuzzUi : public UserInterface {
 public:
  int messages = 0;
  // Choices of a station the user declined (cancelled, or named none): what was not opened
  // then needs no message.
  int declined = 0;
  // Channels picked: entry k chooses channel (pick[k] mod count) + 1; empty cancels.
  std::vector<uint8_t> pick;

  // With SISMORA_FUZZ_VERBOSE set, messages also go to standard error (to see why an input is refused).
  void MsgBox(const std::string& text, MsgIcon, const std::string& title) override;
  bool AskYesNo(const std::string&, const std::string&) override { return true; }
  void ShowStatusMessage(const std::string& text) override { saved_ = status_, status_ = text; }
  void RestoreStatusMessage() override { status_ = saved_; }
  void ShowStatusParams(const std::string&) override {}
  void SetMousePointer(int) override {}
  void RestoreMousePointer() override {}
  bool ShowReadDataDialog(DataFileKind, const std::string&, const std::string&, DataFileParams&) override {
    return true;
  }
  bool ShowDlgPickChan(const std::vector<std::string>& labels, std::vector<int32_t>& chosen) override;
  int32_t PickStation(const std::vector<std::string>& groups) override;
  bool ShowPreProcDialog(PreProcParams&) override { return true; }
  bool ShowDlgSelChan(SelChanMode, const std::vector<std::string>&, SelChanValues&) override { return false; }
  bool SetRecordParam(RecordTexts&) override { return false; }

 private:
  std::string status_, saved_;
};

}  // namespace sism::fuzz
