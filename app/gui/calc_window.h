// The calculation-parameter dialog (fCalc) on the rules of CalcDialogModel.
#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <string>

#include "app/shell/forms/calc_dialog.h"
#include "common/ui.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace sism {

class FCalc : public QDialog {
  Q_OBJECT
 public:
  // `apply` copies the accepted parameters into the program and redraws; `settingFolder`
  // is the folder of the last settings file, updated by Save... and Load....
  FCalc(const CalcParams& params, std::function<void(CalcDialogModel&)> apply, std::string& settingFolder,
        UserInterface& ui, QWidget* parent = nullptr);

  CalcDialogModel& Model() { return model_; }
  QPushButton* ApplyButton() const { return cmdApply_; }
  QLineEdit* Box(int box) const { return txtCalc_[static_cast<size_t>(box)]; }
  QComboBox* IntegrationList() const { return cboInteg_; }
  QComboBox* FftList() const { return cboFFT_; }
  QCheckBox* PeaksBetweenSamplesCheck() const { return chkRespBetween_; }
  QComboBox* DuctilityQuantityList() const { return cboDuctQuantity_; }
  // Leaving a box, as when the focus moves on; false when the box refused its text (and
  // said so).
  bool LeaveBox(int box);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Fill();
  void UpdateEnabled();
  void DoApply();
  void SaveAs();
  void LoadFrom();

  CalcDialogModel model_;
  std::function<void(CalcDialogModel&)> apply_;
  std::string& settingFolder_;
  UserInterface& ui_;
  QComboBox *cboInteg_, *cboFFT_, *cboSmooth_;
  QComboBox* cboDuctQuantity_ = nullptr;
  QCheckBox *chkRespNorm_, *chkRespBetween_;
  std::array<QLineEdit*, CalcDialogModel::kBoxCount> txtCalc_{};
  QPushButton* cmdApply_;
  bool filling_ = false;
};

}  // namespace sism
