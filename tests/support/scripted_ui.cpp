#include "tests/support/scripted_ui.h"

namespace sism::test {

void ScriptedUi::MsgBox(const std::string& text, MsgIcon icon, const std::string& title) {
  messages.push_back({text, icon, title});
}

bool ScriptedUi::AskYesNo(const std::string& text, const std::string& title) {
  messages.push_back({text, MsgIcon::Question, title});
  if (yesNoAnswers.empty()) return defaultYes;
  bool a = yesNoAnswers.front();
  yesNoAnswers.pop_front();
  return a;
}

void ScriptedUi::ShowStatusMessage(const std::string& text) {
  savedStatus_ = status;
  status = text;
  statusLog.push_back(text);
}

void ScriptedUi::RestoreStatusMessage() {
  status = savedStatus_;
}

void ScriptedUi::SetMousePointer(int p) {
  savedPointer_ = pointer;
  pointer = p;
}

void ScriptedUi::RestoreMousePointer() {
  pointer = savedPointer_;
}

bool ScriptedUi::ShowReadDataDialog(DataFileKind kind, const std::string& path, const std::string& preview,
                                    DataFileParams& params) {
  ++readDataDialogs;
  lastPreview = preview;
  return onReadData ? onReadData(kind, path, params) : false;
}

bool ScriptedUi::ShowDlgPickChan(const std::vector<std::string>& labels, std::vector<int32_t>& chosen) {
  return onPickChan ? onPickChan(labels, chosen) : false;
}

bool ScriptedUi::ShowPreProcDialog(PreProcParams& params) {
  return onPreProc ? onPreProc(params) : false;
}

bool ScriptedUi::ShowDlgSelChan(SelChanMode mode, const std::vector<std::string>& labels,
                                SelChanValues& values) {
  return onSelChan ? onSelChan(mode, labels, values) : false;
}

bool ScriptedUi::SetRecordParam(RecordTexts& texts) {
  return onRecordParam ? onRecordParam(texts) : false;
}

std::string ScriptedUi::ResponseFile(const std::string& dataPath, const std::string& what,
                                     const std::string& found) {
  return onResponseFile ? onResponseFile(what, found) : UserInterface::ResponseFile(dataPath, what, found);
}

bool ScriptedUi::AskDifferentiate(const std::string& text, const std::string& title) {
  return onDifferentiate ? onDifferentiate(text) : UserInterface::AskDifferentiate(text, title);
}

std::string ScriptedUi::OnlyMessage() const {
  if (messages.size() == 1) return messages[0].text;
  return "<" + std::to_string(messages.size()) + " messages>";
}

}  // namespace sism::test
