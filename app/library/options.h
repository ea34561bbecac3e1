// What the flat interface's option texts say, and the user interface that answers the readers
// with it: nothing is shown, messages are kept for the caller.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "analysis/ground_motion.h"
#include "common/dialog_requests.h"
#include "common/ui.h"

namespace sism::library {

// "key=value" lines or parts separated by ';', keys in lower case; a key without a value
// is "yes". False, with the offending part in `error`, when a part has no key.
using OptionMap = std::map<std::string, std::string>;
bool ParseOptions(const char* text, OptionMap& options, std::string& error);

// The options of a read. False with the reason when a value does not read.
struct ReadSettings {
  std::string station;  // NET.STA.LOC.BAND, empty: none chosen
  std::optional<std::string> responseFile;
  bool differentiate = false;
  OptionMap layout;  // skip, count, rate, ... over the guessed layout
};
bool ReadSettingsOf(const OptionMap& options, ReadSettings& settings, std::string& error);

// The preprocessing parameters: the program's defaults, no dialog, then the options.
bool PreprocessOf(const OptionMap& options, PreProcParams& params, std::string& error);
// The metrics request: the flatfile's defaults, then the options; `file` the file column.
bool MetricsRequestOf(const OptionMap& options, MetricsRequest& request, std::string& file, std::string& error);

class LibraryUi : public UserInterface {
 public:
  explicit LibraryUi(ReadSettings settings) : settings_(std::move(settings)) {}

  // The messages the program would have shown, in order.
  std::vector<std::string> messages;
  // The last question the options left unanswered, which declines the read.
  std::string unanswered;
  // The messages, else the unanswered question.
  std::string Error() const;

  void MsgBox(const std::string& text, MsgIcon, const std::string&) override { messages.push_back(text); }
  bool AskYesNo(const std::string&, const std::string&) override { return false; }
  void ShowStatusMessage(const std::string&) override {}
  void RestoreStatusMessage() override {}
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
  ReadSettings settings_;
};

}  // namespace sism::library
