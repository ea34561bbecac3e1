#include "app/gui/calc_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app/gui/localize.h"
#include "app/shell/settings.h"
#include "common/errors.h"
#include "common/path.h"
#include "common/strings.h"
#include "common/text.h"

namespace sism {

namespace {
QStringList FilterList(const std::string& filter) {
  const std::vector<std::string> parts = Split(filter, "|");
  QStringList out;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = QString::fromStdString(parts[i + 1]);
    QString name = QString::fromStdString(parts[i]);
    out << (name.contains('(') ? name : name + " (" + patterns.replace(';', ' ') + ")");
  }
  return out;
}
}  // namespace

FCalc::FCalc(const CalcParams& params, std::function<void(CalcDialogModel&)> apply,
             std::string& settingFolder, UserInterface& ui, QWidget* parent)
    : QDialog(parent), model_(params), apply_(std::move(apply)), settingFolder_(settingFolder), ui_(ui) {
  setObjectName("fCalc");
  SetTextId(this, 7500);
  auto* grid = new QGridLayout;
  cboInteg_ = new QComboBox(this);
  for (int id = 7511; id <= 7515; ++id) cboInteg_->addItem(QStr(id));
  cboFFT_ = new QComboBox(this);
  for (int id = 7551; id <= 7553; ++id) cboFFT_->addItem(QStr(id));
  auto label = [this](int id, QWidget* buddy) {
    auto* l = new QLabel(this);
    SetTextId(l, id);
    l->setBuddy(buddy);
    return l;
  };
  for (int b = 0; b < CalcDialogModel::kBoxCount; ++b) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QStringLiteral("txtCalc%1").arg(b));
    edit->installEventFilter(this);
    txtCalc_[static_cast<size_t>(b)] = edit;
  }
  auto box = [this](int b) { return txtCalc_[static_cast<size_t>(b)]; };
  auto boxLabel = [&](int b) { return label(CalcDialogModel::kBoxLabels[static_cast<size_t>(b)], box(b)); };
  int row = 0;
  grid->addWidget(label(7510, cboInteg_), row, 0);
  grid->addWidget(cboInteg_, row++, 1, 1, 3);
  grid->addWidget(boxLabel(CalcDialogModel::BoxCutOffFreq), row, 0);
  grid->addWidget(box(CalcDialogModel::BoxCutOffFreq), row++, 1);
  grid->addWidget(boxLabel(CalcDialogModel::BoxTimeFront), row, 0);
  grid->addWidget(box(CalcDialogModel::BoxTimeFront), row, 1);
  grid->addWidget(boxLabel(CalcDialogModel::BoxTimeRear), row, 2);
  grid->addWidget(box(CalcDialogModel::BoxTimeRear), row++, 3);
  grid->addWidget(label(7550, cboFFT_), row, 0);
  grid->addWidget(cboFFT_, row++, 1, 1, 3);
  grid->addWidget(boxLabel(CalcDialogModel::BoxFourLength), row, 0);
  grid->addWidget(box(CalcDialogModel::BoxFourLength), row, 1);
  grid->addWidget(boxLabel(CalcDialogModel::BoxFourStart), row, 2);
  grid->addWidget(box(CalcDialogModel::BoxFourStart), row++, 3);
  cboSmooth_ = new QComboBox(this);
  cboSmooth_->setObjectName("cboSmooth");
  for (int id = 7571; id <= 7572; ++id) cboSmooth_->addItem(QStr(id));
  grid->addWidget(label(7573, cboSmooth_), row, 0);
  grid->addWidget(cboSmooth_, row++, 1, 1, 3);
  grid->addWidget(boxLabel(CalcDialogModel::BoxWindowWidth), row, 0);
  grid->addWidget(box(CalcDialogModel::BoxWindowWidth), row, 1);
  grid->addWidget(boxLabel(CalcDialogModel::BoxKonnoB), row, 2);
  grid->addWidget(box(CalcDialogModel::BoxKonnoB), row++, 3);
  grid->addWidget(boxLabel(CalcDialogModel::BoxRespDamping), row, 0);
  grid->addWidget(box(CalcDialogModel::BoxRespDamping), row, 1);
  grid->addWidget(boxLabel(CalcDialogModel::BoxRespSteps), row, 2);
  grid->addWidget(box(CalcDialogModel::BoxRespSteps), row++, 3);
  chkRespNorm_ = new QCheckBox(this);
  SetTextId(chkRespNorm_, 7600);
  grid->addWidget(chkRespNorm_, row++, 0, 1, 4);
  chkRespBetween_ = new QCheckBox(this);
  SetTextId(chkRespBetween_, 7620);
  grid->addWidget(chkRespBetween_, row++, 0, 1, 4);
  grid->addWidget(boxLabel(CalcDialogModel::BoxDuctilities), row, 0);
  grid->addWidget(box(CalcDialogModel::BoxDuctilities), row++, 1, 1, 3);
  grid->addWidget(boxLabel(CalcDialogModel::BoxDuctilityAlpha), row, 0);
  grid->addWidget(box(CalcDialogModel::BoxDuctilityAlpha), row, 1);
  grid->addWidget(boxLabel(CalcDialogModel::BoxDuctilityDamping), row, 2);
  grid->addWidget(box(CalcDialogModel::BoxDuctilityDamping), row++, 3);
  cboDuctQuantity_ = new QComboBox(this);
  cboDuctQuantity_->setObjectName("cboDuctQuantity");
  for (int id = 7640; id < 7640 + kDuctilityQuantities; ++id) cboDuctQuantity_->addItem(QStr(id));
  grid->addWidget(label(7633, cboDuctQuantity_), row, 0);
  grid->addWidget(cboDuctQuantity_, row++, 1, 1, 3);
  grid->addWidget(boxLabel(CalcDialogModel::BoxStartThreshold), row, 0);
  grid->addWidget(box(CalcDialogModel::BoxStartThreshold), row++, 1);

  auto* cmdDefault = new QPushButton(QStringLiteral("As default"), this);
  auto* cmdSave = new QPushButton(QStringLiteral("Save..."), this);
  auto* cmdLoad = new QPushButton(QStringLiteral("Load..."), this);
  auto* cmdOk = new QPushButton(this);
  SetTextId(cmdOk, 6061);
  auto* cmdCancel = new QPushButton(this);
  SetTextId(cmdCancel, 6062);
  cmdApply_ = new QPushButton(this);
  SetTextId(cmdApply_, 6063);
  cmdOk->setDefault(true);
  auto* settings = new QHBoxLayout;
  settings->addWidget(cmdDefault);
  settings->addWidget(cmdSave);
  settings->addWidget(cmdLoad);
  settings->addStretch();
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cmdOk);
  buttons->addWidget(cmdCancel);
  buttons->addWidget(cmdApply_);
  auto* top = new QVBoxLayout(this);
  top->addLayout(grid);
  top->addLayout(settings);
  top->addLayout(buttons);

  connect(cboInteg_, &QComboBox::activated, this, [this](int index) {
    model_.ChooseIntegrationMethod(index);
    UpdateEnabled();
  });
  connect(cboSmooth_, &QComboBox::activated, this, [this](int index) {
    model_.ChooseSmoothing(index);
    UpdateEnabled();
  });
  connect(cboDuctQuantity_, &QComboBox::activated, this, [this](int index) {
    model_.ChooseDuctilityQuantity(index);
    UpdateEnabled();
  });
  connect(cboFFT_, &QComboBox::activated, this, [this](int index) {
    model_.ChooseFourDurationType(index);
    UpdateEnabled();
  });
  connect(chkRespNorm_, &QCheckBox::toggled, this, [this](bool on) {
    if (filling_) return;
    model_.SetRespNormalize(on);
    UpdateEnabled();
  });
  connect(chkRespBetween_, &QCheckBox::toggled, this, [this](bool on) {
    if (filling_) return;
    model_.SetRespPeaksBetweenSamples(on);
    UpdateEnabled();
  });
  connect(cmdApply_, &QPushButton::clicked, this, [this] { DoApply(); });
  connect(cmdOk, &QPushButton::clicked, this, [this] {
    // The box being edited counts as left.
    for (int b = 0; b < CalcDialogModel::kBoxCount; ++b)
      if (txtCalc_[static_cast<size_t>(b)]->hasFocus() && !LeaveBox(b)) return;
    if (model_.ApplyEnabled()) DoApply();
    accept();
  });
  connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(cmdDefault, &QPushButton::clicked, this, [this] {
    try {
      SaveCalcParams(model_.Working(), std::string());
    } catch (const std::exception& e) {
      ui_.MsgBox(CurrentErrorInfo(e).description, MsgIcon::Critical, ProgramTitle());
    }
  });
  connect(cmdSave, &QPushButton::clicked, this, [this] { SaveAs(); });
  connect(cmdLoad, &QPushButton::clicked, this, [this] { LoadFrom(); });
  LocalizeForm(this);
  Fill();
}

void FCalc::Fill() {
  filling_ = true;
  const CalcParams& p = model_.Working();
  cboInteg_->setCurrentIndex(p.IntegrationMethod);
  cboFFT_->setCurrentIndex(p.FourDurationType);
  cboSmooth_->setCurrentIndex(p.FourierSmoothing == kSmoothKonno ? 1 : 0);
  cboDuctQuantity_->setCurrentIndex(p.DuctilityQuantity);
  chkRespNorm_->setChecked(p.RespNormalize);
  chkRespBetween_->setChecked(p.RespPeaksBetweenSamples);
  for (int b = 0; b < CalcDialogModel::kBoxCount; ++b)
    txtCalc_[static_cast<size_t>(b)]->setText(QString::fromStdString(model_.BoxText(b)));
  filling_ = false;
  UpdateEnabled();
}

void FCalc::UpdateEnabled() {
  Box(CalcDialogModel::BoxCutOffFreq)->setEnabled(model_.CutOffEnabled());
  Box(CalcDialogModel::BoxTimeFront)->setEnabled(model_.FrontRearEnabled());
  Box(CalcDialogModel::BoxTimeRear)->setEnabled(model_.FrontRearEnabled());
  Box(CalcDialogModel::BoxFourLength)->setEnabled(model_.LengthStartEnabled());
  Box(CalcDialogModel::BoxFourStart)->setEnabled(model_.LengthStartEnabled());
  Box(CalcDialogModel::BoxWindowWidth)->setEnabled(model_.WindowWidthEnabled());
  Box(CalcDialogModel::BoxKonnoB)->setEnabled(model_.KonnoEnabled());
  cmdApply_->setEnabled(model_.ApplyEnabled());
}

bool FCalc::LeaveBox(int box) {
  QLineEdit* edit = Box(box);
  const bool accepted = model_.LeaveBox(box, edit->text().toStdString());
  edit->setText(QString::fromStdString(model_.BoxText(box)));
  UpdateEnabled();
  if (!accepted) {
    QApplication::beep();
    ui_.MsgBox(model_.Refusal(), MsgIcon::Exclamation, Str(7500));
  }
  return accepted;
}

bool FCalc::eventFilter(QObject* watched, QEvent* event) {
  for (int b = 0; b < CalcDialogModel::kBoxCount; ++b) {
    QLineEdit* edit = txtCalc_[static_cast<size_t>(b)];
    if (edit != watched) continue;
    if (event->type() == QEvent::FocusIn) QTimer::singleShot(0, edit, &QLineEdit::selectAll);
    if (event->type() == QEvent::FocusOut) LeaveBox(b);
    break;
  }
  return QDialog::eventFilter(watched, event);
}

void FCalc::DoApply() {
  if (apply_) apply_(model_);
  UpdateEnabled();
}

void FCalc::SaveAs() {
  QFileDialog dialog(this, QStr(6803), QString::fromStdString(settingFolder_));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters(FilterList(Str(6801)));
  dialog.setDefaultSuffix(QStr(6802).remove('.'));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const std::string path = dialog.selectedFiles().first().toStdString();
  settingFolder_ = SplitPath(path).folder;
  try {
    SaveCalcParams(model_.Working(), path);
  } catch (const std::exception& e) {
    ui_.MsgBox(CurrentErrorInfo(e).description, MsgIcon::Critical, ProgramTitle());
  }
}

void FCalc::LoadFrom() {
  QFileDialog dialog(this, QStr(6804), QString::fromStdString(settingFolder_));
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters(FilterList(Str(6801)));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const std::string path = dialog.selectedFiles().first().toStdString();
  settingFolder_ = SplitPath(path).folder;
  CalcParams p = model_.Working();
  if (!LoadCalcParams(p, path)) return;
  model_.Replace(p);
  Fill();
}

}  // namespace sism
