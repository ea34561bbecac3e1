#include "app/gui/qt_user_interface.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QStatusBar>

#include "app/gui/dialogs.h"
#include "app/gui/qt_strings.h"

namespace sism {

QtUserInterface::QtUserInterface(QWidget& owner) : owner_(owner) {}

void QtUserInterface::BuildStatusPanels(QStatusBar& bar) {
  panelMessage_ = new QLabel(&owner_);
  panelMessage_->setObjectName("panel1");
  panelParams_ = new QLabel(&owner_);
  panelParams_->setObjectName("panel2");
  panelParams_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  bar.addWidget(panelMessage_, 1);
  bar.addPermanentWidget(panelParams_, 2);
}

std::string QtUserInterface::StatusMessageText() const {
  return panelMessage_->text().toStdString();
}

std::string QtUserInterface::StatusParamsText() const {
  return panelParams_->text().toStdString();
}

void QtUserInterface::ClearStatus() {
  panelMessage_->clear();
  panelParams_->clear();
  savedStatus_.clear();
}

void QtUserInterface::MsgBox(const std::string& text, MsgIcon icon, const std::string& title) {
  if (messageSink) {
    messageSink(text, icon, title);
    return;
  }
  QMessageBox::Icon qicon = QMessageBox::NoIcon;
  switch (icon) {
    case MsgIcon::Critical:
      qicon = QMessageBox::Critical;
      break;
    case MsgIcon::Question:
      qicon = QMessageBox::Question;
      break;
    case MsgIcon::Exclamation:
      qicon = QMessageBox::Warning;
      break;
    case MsgIcon::Information:
      qicon = QMessageBox::Information;
      break;
    case MsgIcon::None:
      break;
  }
  // A box opened while the hourglass shows gets the normal pointer.
  const bool busy = QApplication::overrideCursor() != nullptr;
  if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
  QMessageBox box(qicon, Q(title), Q(text), QMessageBox::Ok, &owner_);
  box.exec();
  if (busy) QApplication::restoreOverrideCursor();
}

bool QtUserInterface::AskYesNo(const std::string& text, const std::string& title) {
  if (questionSink) return questionSink(text, title);
  // No is the default: Enter must never replace a file.
  return QMessageBox::question(&owner_, Q(title), Q(text), QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

void QtUserInterface::Beep() {
  QApplication::beep();
}

void QtUserInterface::ShowStatusMessage(const std::string& text) {
  savedStatus_ = panelMessage_->text().toStdString();
  panelMessage_->setText(Q(text));
}

void QtUserInterface::RestoreStatusMessage() {
  panelMessage_->setText(Q(savedStatus_));
  savedStatus_.clear();
}

void QtUserInterface::ShowStatusParams(const std::string& text) {
  panelParams_->setText(Q(text));
}

void QtUserInterface::ApplyPointer(int pointer) {
  while (QApplication::overrideCursor() != nullptr) QApplication::restoreOverrideCursor();
  if (pointer == PointerHourglass) QApplication::setOverrideCursor(Qt::WaitCursor);
  pointer_ = pointer;
}

void QtUserInterface::SetMousePointer(int pointer) {
  savedPointer_ = pointer_;
  ApplyPointer(pointer);
}

void QtUserInterface::RestoreMousePointer() {
  ApplyPointer(savedPointer_);
}

void QtUserInterface::Yield() {
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool QtUserInterface::ShowReadDataDialog(DataFileKind kind, const std::string& path,
                                         const std::string& preview, DataFileParams& params) {
  FReadData dialog(kind, path, preview, params, &owner_);
  if (dialog.exec() != QDialog::Accepted) return false;
  DataFileParams out;
  if (!dialog.Result(out)) return false;
  params = out;
  return true;
}

bool QtUserInterface::ShowDlgPickChan(const std::vector<std::string>& labels, std::vector<int32_t>& chosen) {
  FPickChan dialog(labels, &owner_);
  if (dialog.exec() != QDialog::Accepted) return false;
  chosen = dialog.Chosen();
  return !chosen.empty();
}

bool QtUserInterface::ShowPreProcDialog(PreProcParams& params) {
  FPreProc dialog(params, *this, &owner_);
  dialog.exec();
  return dialog.Accepted(params);
}

bool QtUserInterface::ShowDlgSelChan(SelChanMode mode, const std::vector<std::string>& labels,
                                     SelChanValues& values) {
  if (selChanSink) return selChanSink(mode, labels, values);
  FSelChan dialog(mode, labels, values, &owner_);
  if (dialog.exec() != QDialog::Accepted) return false;
  return dialog.Values(values);
}

bool QtUserInterface::SetRecordParam(RecordTexts& texts) {
  if (recordParamSink) return recordParamSink(texts);
  FParam dialog(texts, &owner_);
  if (dialog.exec() != QDialog::Accepted) return false;
  texts = dialog.Texts();
  return true;
}

// With no StationXML beside the data the user may pick one; cancelling leaves the counts
// to a coefficient.
std::string QtUserInterface::ResponseFile(const std::string& dataPath, const std::string& what,
                                          const std::string& found) {
  if (responseSink) return responseSink(what, found);
  if (!found.empty()) return found;
  QFileDialog dialog(&owner_, Q("StationXML response of " + what + " (Cancel: give a coefficient)"),
                     QFileInfo(Q(dataPath)).absolutePath());
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters({"StationXML files (*.xml)", "All files (*)"});
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return PathOf(dialog.selectedFiles().first());
}

}  // namespace sism
