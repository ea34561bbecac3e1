#include "app/shell/console_ui.h"

#include <ostream>

#include "common/text.h"

namespace sism {

ConsoleUi::ConsoleUi(std::ostream& err) : err_(err) {}

void ConsoleUi::MsgBox(const std::string& text, MsgIcon, const std::string& title) {
  ++messageCount;
  lastMessage = text;
  if (!messagePrefix.empty())
    err_ << messagePrefix << text << '\n';
  else
    err_ << (title.empty() ? "" : title + ": ") << text << '\n';
}

bool ConsoleUi::AskYesNo(const std::string& text, const std::string& title) {
  err_ << (title.empty() ? "" : title + ": ") << text << (answerYes ? " [yes]" : " [no]") << '\n';
  return answerYes;
}

void ConsoleUi::ShowStatusMessage(const std::string& text) {
  saved_ = status_;
  status_ = text;
  if (verbose && !text.empty()) err_ << text << '\n';
}

void ConsoleUi::RestoreStatusMessage() {
  status_ = saved_;
}

bool ConsoleUi::ShowReadDataDialog(DataFileKind kind, const std::string& path, const std::string& preview,
                                   DataFileParams& params) {
  return onReadData ? onReadData(kind, path, preview, params) : false;
}

int32_t ConsoleUi::PickStation(const std::vector<std::string>& groups) {
  // Entries read "NET.STA.LOC.BAND: channels".
  for (std::size_t i = 0; i < groups.size(); ++i)
    if (!station.empty() && EqualsNoCase(groups[i].substr(0, groups[i].find(':')), station))
      return static_cast<int32_t>(i);
  ++messageCount;
  err_ << (station.empty() ? "The files hold several stations or bands"
                           : "The files hold no station and band " + station + ", only")
       << "; choose one with --station NET.STA.LOC.BAND:\n";
  for (const std::string& g : groups) err_ << "  " << g << '\n';
  return -1;
}

std::string ConsoleUi::ResponseFile(const std::string&, const std::string&, const std::string& found) {
  return responseFile.empty() ? found : responseFile;
}

bool ConsoleUi::AskDifferentiate(const std::string& text, const std::string& title) {
  if (differentiate) err_ << (title.empty() ? "" : title + ": ") << text << " [yes: --differentiate]\n";
  return differentiate;
}

}  // namespace sism
