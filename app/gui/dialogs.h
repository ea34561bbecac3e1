// The dialogs that opening and editing a record need: preprocessing settings (fPreProc),
// channel picking (fPickChan), general data and CSV files (fReadData), the record's
// header texts (fParam) and the channel selection (fSelChan).
#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "app/gui/widgets.h"
#include "common/ui.h"
#include "app/shell/forms/pick_chan_dialog.h"
#include "app/shell/forms/preproc_dialog.h"
#include "state/preproc_params.h"
#include "app/shell/forms/read_data_form.h"
#include "app/shell/forms/record_param_form.h"

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace sism {

class FPreProc : public QDialog {
  Q_OBJECT
 public:
  // `nyquist`: half the sampling frequency of the record on screen (0: none), which the
  // filter corners must stay below.
  FPreProc(const PreProcParams& params, UserInterface& ui, QWidget* parent = nullptr, float nyquist = 0);
  // OK pressed and accepted: the parameters as edited.
  bool Accepted(PreProcParams& params);
  QPushButton* DefaultButton() const { return cmdDefault_; }
  QPushButton* OkButton() const { return cmdOk_; }

 private:
  void ToControls();
  void FromControls();
  void UpdateEnabled();
  PreProcParams params_;
  UserInterface& ui_;
  PreProcDialog logic_;
  QLineEdit *txtLow_, *txtHigh_, *txtDCSec_, *txtAngle_, *txtSkip_, *txtLength_, *txtMult_, *txtSensor_;
  QCheckBox *chkDC_, *chkRotate_, *chkKeep_, *chkPick_, *chkMeter_, *chkPrefix_, *chkEach_;
  QComboBox* cboFilter_;
  QLineEdit* txtOrder_;
  QCheckBox* chkPad_;
  QPushButton *cmdDefault_, *cmdOk_, *cmdCancel_;
  bool ok_ = false;
};

class FPickChan : public QDialog {
  Q_OBJECT
 public:
  FPickChan(const std::vector<std::string>& labels, QWidget* parent = nullptr);
  std::vector<int32_t> Chosen() const { return lists_.Chosen(); }
  PickChanLists& Lists() { return lists_; }
  void Refresh();

 private:
  PickChanLists lists_;
  QListWidget *lstIgnore_, *lstUse_;
  QPushButton *cmdAdd_, *cmdRemove_, *cmdOk_;
  bool refreshing_ = false;
};

class FReadData : public QDialog {
  Q_OBJECT
 public:
  FReadData(DataFileKind kind, const std::string& path, const std::string& preview,
            const DataFileParams& params, QWidget* parent = nullptr);
  bool Result(DataFileParams& out) const { return form_.Result(out); }
  // Shows why a box refused its text (a warning box unless replaced, as the tests do).
  std::function<void(const std::string&)> showRefusal;
  // Leaving a box with `text` typed, as when the focus moves on; false when refused.
  bool LeaveBox(DataBox box, const QString& text);
  QLineEdit* BoxEdit(DataBox box) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void TryAccept();
  ReadDataForm form_;
  std::vector<std::pair<DataBox, QLineEdit*>> boxes_;
  QLineEdit* txtDesc_ = nullptr;
  QGroupBox* fraFix_ = nullptr;
};

class FParam : public QDialog {
  Q_OBJECT
 public:
  FParam(const RecordTexts& texts, QWidget* parent = nullptr);
  RecordTexts Texts() const;
  // OK: closes unless a changed text breaks its rule, which is then shown.
  void TryAccept();
  std::function<void(const std::string&)> showRefusal;
  QLineEdit* Edit(int i) const { return txtParam_[i]; }

 private:
  RecordParamForm form_;
  QLineEdit* txtParam_[6];
};

class FSelChan : public QDialog {
  Q_OBJECT
 public:
  FSelChan(SelChanMode mode, const std::vector<std::string>& labels, const SelChanValues& values,
           QWidget* parent = nullptr);
  // False when a multiplier is not a number (OK is refused then).
  bool Values(SelChanValues& out) const;

 private:
  QComboBox *cboX_, *cboY_;
  QLineEdit *txtMultX_, *txtMultY_, *txtLabel_;
};

}  // namespace sism
