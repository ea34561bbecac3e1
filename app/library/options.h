// What the flat interface's option texts say, and the user interface that answers the readers
// with it: nothing is shown, messages are kept for the caller.
#pragma once

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/ground_motion.h"
#include "app/shell/console_ui.h"
#include "common/dialog_requests.h"
#include "state/processing_params.h"

namespace sism::library {

// "key=value" lines or parts separated by ';', keys in lower case; a key without a value
// is "yes". False, with the offending part in `error`, when a part has no key.
using OptionMap = std::map<std::string, std::string>;
bool ParseOptions(const char* text, OptionMap& options, std::string& error);

// The options of a read. False with the reason when a value does not read.
struct ReadSettings {
  std::string station;       // NET.STA.LOC.BAND, empty: none chosen
  std::string responseFile;  // empty: the one beside the data
  bool differentiate = false;
  OptionMap layout;  // skip, count, rate, ... over the guessed layout
};
bool ReadSettingsOf(const OptionMap& options, ReadSettings& settings, std::string& error);

// The preprocessing parameters: the program's defaults, no dialog, then the options.
bool PreprocessOf(const OptionMap& options, PreProcParams& params, std::string& error);
// The automatic processing's parameters: the program's defaults, then the options, each named
// by its settings key of section "Processing" in any case, with or without '_' between the
// words (reject_on_flag=0, RejectOnFlag=0).
bool ProcessingOf(const OptionMap& options, ProcessingParams& params, std::string& error);
// The metrics request: the flatfile's defaults, then the options; `file` the file column.
bool MetricsRequestOf(const OptionMap& options, MetricsRequest& request, std::string& file, std::string& error);

// Where the console interface writes: kept apart, as nobody reads it.
struct Unread {
  std::ostringstream sink;
};

class LibraryUi : private Unread, public ConsoleUi {
 public:
  explicit LibraryUi(ReadSettings settings);

  // The messages the program would have shown, in order.
  std::vector<std::string> messages;
  // The last question the options left unanswered, which declines the read.
  std::string unanswered;
  // The messages, else the unanswered question.
  std::string Error() const;

  void MsgBox(const std::string& text, MsgIcon, const std::string&) override { messages.push_back(text); }
  int32_t PickStation(const std::vector<std::string>& groups) override;
  bool AskDifferentiate(const std::string& text, const std::string& title) override;

 private:
  OptionMap layout_;
};

}  // namespace sism::library
