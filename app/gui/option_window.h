// The options dialog (fOption) on the rules of OptionDialogModel: six pages of graph
// settings, Apply / OK / Cancel, and the settings files.
#pragma once

#include <QDialog>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/shell/forms/option_dialog.h"
#include "common/ui.h"
#include "state/app_state.h"

class QLineEdit;
class QPushButton;
class QTabWidget;

namespace sism {

class OptionPage;

class FOption : public QDialog {
  Q_OBJECT
 public:
  // Apply copies into `app` and calls `redraw`; `settingFolder` is the folder of the
  // last settings file, updated by Save... and Load....
  FOption(AppState& app, std::function<void()> redraw, std::string& settingFolder, UserInterface& ui,
          QWidget* parent = nullptr);

  // Copies the program's settings, fills the pages and shows the dialog modally on the
  // tab last used (or on `tab`, 1 to 6, when given).
  void ShowDialog(int tab = 0);
  // The same without waiting: for tests and pictures.
  void Open(int tab = 0);

  OptionDialogModel& Model() { return model_; }
  UserInterface& Ui() { return ui_; }
  QTabWidget* Tabs() const { return tabs_; }
  QPushButton* ApplyButton() const { return cmdApply_; }
  QLineEdit* FieldEdit(OptionDialogModel::Field f) const;
  // Leaving a field, as when the focus moves on; false when it was refused.
  bool LeaveField(OptionDialogModel::Field f);
  // Apply and OK as the buttons run them; false when Apply was refused.
  bool DoApply();
  void DoOk();
  // Save... and Load... once the file is chosen.
  bool SaveTo(const std::string& path);
  bool LoadFrom(const std::string& path);
  // A numeric field of a page; the dialog checks it when it is left.
  QLineEdit* AddField(OptionDialogModel::Field f, QWidget* parent);
  void UpdateApply();
  // Fills every control from the working copy.
  void Fill();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SaveAs();
  void LoadCommand();

  AppState& app_;
  std::function<void()> redraw_;
  std::string& settingFolder_;
  UserInterface& ui_;
  OptionDialogModel model_;

  QTabWidget* tabs_ = nullptr;
  std::vector<OptionPage*> pages_;
  std::map<OptionDialogModel::Field, QLineEdit*> fields_;
  QPushButton* cmdApply_ = nullptr;
};

}  // namespace sism
