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

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace sism {

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
  // Fills every control from the working copy.
  void Fill();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* BuildAxisPage();
  QWidget* BuildComponentPage();
  QWidget* BuildAppearancePage();
  QWidget* BuildFormPage();
  QWidget* BuildOrbitPage();
  QWidget* BuildReportPage();
  QLineEdit* AddField(OptionDialogModel::Field f, QWidget* parent);
  QPushButton* ColorButton(int textId, QWidget* parent, std::function<int32_t()> get,
                           std::function<void(int32_t)> set);
  void UpdateApply();
  void FillPreview();
  void SaveAs();
  void LoadCommand();

  AppState& app_;
  std::function<void()> redraw_;
  std::string& settingFolder_;
  UserInterface& ui_;
  OptionDialogModel model_;
  bool filling_ = false;

  QTabWidget* tabs_ = nullptr;
  std::map<OptionDialogModel::Field, QLineEdit*> fields_;
  std::vector<std::function<void()>> colorSwatches_;  // refresh the colour buttons
  // Axis/Graph Title
  QComboBox *cboAxis_ = nullptr, *cboTitleKind_ = nullptr;
  QCheckBox *chkSpecify_ = nullptr, *chkLog_ = nullptr;
  QLineEdit *txtLabel_ = nullptr, *txtUnit_ = nullptr, *txtTitle_ = nullptr;
  // Components
  QListWidget* lstComp_ = nullptr;
  QSpinBox* updComp_ = nullptr;
  QComboBox* cboCompStyle_ = nullptr;
  QLineEdit* txtChanLabel_ = nullptr;
  QPushButton* cmdChanLabel_ = nullptr;
  // Graph appearance
  QComboBox *cboTarget_ = nullptr, *cboFont_ = nullptr, *cboLineStyle_ = nullptr;
  QCheckBox *chkBold_ = nullptr, *chkItalic_ = nullptr, *chkGrid_ = nullptr, *chkMinorGrid_ = nullptr,
            *chkLegFix_ = nullptr;
  QLabel* lblSample_ = nullptr;
  QButtonGroup* optLegend_ = nullptr;
  QLineEdit *txtHeader_ = nullptr, *txtFooter_ = nullptr;
  // Graph form
  QCheckBox* chkPeriod_ = nullptr;
  // Orbit/Relation
  QLabel* lblOrbitPair_ = nullptr;
  QComboBox* cboOrbitTime_ = nullptr;
  QListWidget* lstRelation_ = nullptr;
  // Report
  QSpinBox* updRepGraph_ = nullptr;
  QComboBox* cboRepType_ = nullptr;
  QPlainTextEdit* txtRepText_ = nullptr;
  QPushButton* cmdRepRemove_ = nullptr;
  QPushButton* cmdApply_ = nullptr;
};

}  // namespace sism
