#include "app/gui/dialogs.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app/gui/localize.h"
#include "app/gui/qt_strings.h"
#include "app/gui/widgets.h"
#include "app/shell/settings.h"
#include "common/errors.h"
#include "common/strings.h"
#include "common/text.h"

namespace sism {

// ---------------------------------------------------------------------------------------------
// Preprocessing settings

FPreProc::FPreProc(const PreProcParams& params, UserInterface& ui, QWidget* parent, float nyquist)
    : QDialog(parent),
      params_(params),
      ui_(ui),
      logic_(
          params, [](const PreProcParams& p) { SavePreProcParams(p, std::string()); }, nyquist) {
  setObjectName("fPreProc");
  SetTextId(this, 16000);
  auto* grid = new QGridLayout;
  int row = 0;
  auto addEdit = [&](int textId, QLineEdit*& edit, int column) {
    edit = new QLineEdit(this);
    SelectAllOnFocus(edit);
    grid->addWidget(Label(textId, edit, this), row, column);
    grid->addWidget(edit, row, column + 1);
  };
  addEdit(16010, txtLow_, 0);
  addEdit(16020, txtHigh_, 2);
  ++row;
  // Two rows for the filter's type, order and pads, filled after the other controls so that those
  // keep their order among the dialog's children.
  const int filterRow = row;
  row += 2;
  chkDC_ = Check(16030, this);
  grid->addWidget(chkDC_, row, 0);
  addEdit(16040, txtDCSec_, 2);
  ++row;
  chkRotate_ = Check(16050, this);
  grid->addWidget(chkRotate_, row, 0);
  addEdit(16060, txtAngle_, 2);
  ++row;
  addEdit(16070, txtSkip_, 0);
  addEdit(16080, txtLength_, 2);
  ++row;
  addEdit(16085, txtMult_, 0);
  addEdit(16090, txtSensor_, 2);
  ++row;
  chkKeep_ = Check(16095, this);
  chkPick_ = Check(16097, this);
  grid->addWidget(chkKeep_, row, 0, 1, 2);
  grid->addWidget(chkPick_, row, 2, 1, 2);
  ++row;
  chkMeter_ = Check(16098, this);
  chkPrefix_ = Check(16099, this);
  grid->addWidget(chkMeter_, row, 0, 1, 2);
  grid->addWidget(chkPrefix_, row, 2, 1, 2);
  ++row;
  auto* note = new QLabel(this);
  SetTextId(note, 16100);
  note->setWordWrap(true);
  grid->addWidget(note, row, 0, 1, 4);
  ++row;
  chkEach_ = Check(16110, this);
  grid->addWidget(chkEach_, row, 0, 1, 4);

  const int lastRow = row;
  row = filterRow;
  cboFilter_ = new QComboBox(this);
  cboFilter_->setObjectName("cboFilter");
  for (int id = 16141; id <= 16143; ++id) cboFilter_->addItem(QStr(id));
  grid->addWidget(Label(16140, cboFilter_, this), row, 0);
  grid->addWidget(cboFilter_, row, 1, 1, 3);
  ++row;
  addEdit(16150, txtOrder_, 0);
  chkPad_ = Check(16160, this);
  grid->addWidget(chkPad_, row, 2, 1, 2);
  row = lastRow;

  cmdDefault_ = Button(16210, this);
  cmdOk_ = Button(16220, this);
  cmdCancel_ = Button(16230, this);
  cmdOk_->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmdDefault_);
  buttons->addStretch();
  buttons->addWidget(cmdOk_);
  buttons->addWidget(cmdCancel_);
  auto* top = new QVBoxLayout(this);
  top->addLayout(grid);
  top->addLayout(buttons);

  ToControls();
  connect(chkDC_, &QCheckBox::clicked, this, [this] { UpdateEnabled(); });
  connect(chkRotate_, &QCheckBox::clicked, this, [this] { UpdateEnabled(); });
  connect(cboFilter_, &QComboBox::activated, this, [this] { UpdateEnabled(); });
  connect(cmdOk_, &QPushButton::clicked, this, [this] {
    FromControls();
    if (logic_.Ok(params_, ui_)) {
      ok_ = true;
      accept();
    }
  });
  connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);
  connect(cmdDefault_, &QPushButton::clicked, this, [this] {
    FromControls();
    try {
      logic_.SetAsDefault(ui_);
    } catch (const std::exception& e) {
      ui_.MsgBox(CurrentErrorInfo(e).description, MsgIcon::Critical, ProgramTitle());
    }
  });
  LocalizeForm(this);
}

void FPreProc::ToControls() {
  const auto& c = logic_.controls;
  txtLow_->setText(Q(c.LowCutFreq));
  txtHigh_->setText(Q(c.HighCutFreq));
  txtDCSec_->setText(Q(c.RemoveDCSeconds));
  txtAngle_->setText(Q(c.RotateWaveAngle));
  txtSkip_->setText(Q(c.SkipSeconds));
  txtLength_->setText(Q(c.TimeLength));
  txtMult_->setText(Q(c.Multipliers));
  txtSensor_->setText(Q(c.RefSensor));
  chkDC_->setChecked(c.RemoveDC);
  chkRotate_->setChecked(c.RotateWave);
  chkKeep_->setChecked(c.KeepDrawChan);
  chkPick_->setChecked(c.PickChannels);
  chkMeter_->setChecked(c.ConvertToMeter);
  chkPrefix_->setChecked(c.PrefixCode);
  chkEach_->setChecked(c.ShowEachTime);
  cboFilter_->setCurrentIndex(c.FilterType);
  txtOrder_->setText(Q(c.FilterOrder));
  chkPad_->setChecked(c.FilterKeepPad);
  UpdateEnabled();
}

void FPreProc::FromControls() {
  auto& c = logic_.controls;
  c.LowCutFreq = S(txtLow_->text());
  c.HighCutFreq = S(txtHigh_->text());
  c.RemoveDCSeconds = S(txtDCSec_->text());
  c.RotateWaveAngle = S(txtAngle_->text());
  c.SkipSeconds = S(txtSkip_->text());
  c.TimeLength = S(txtLength_->text());
  c.Multipliers = S(txtMult_->text());
  c.RefSensor = S(txtSensor_->text());
  c.RemoveDC = chkDC_->isChecked();
  c.RotateWave = chkRotate_->isChecked();
  c.KeepDrawChan = chkKeep_->isChecked();
  c.PickChannels = chkPick_->isChecked();
  c.ConvertToMeter = chkMeter_->isChecked();
  c.PrefixCode = chkPrefix_->isChecked();
  c.FilterType = cboFilter_->currentIndex();
  c.FilterOrder = S(txtOrder_->text());
  c.FilterKeepPad = chkPad_->isChecked();
  c.ShowEachTime = chkEach_->isChecked();
}

void FPreProc::UpdateEnabled() {
  logic_.controls.RemoveDC = chkDC_->isChecked();
  logic_.controls.RotateWave = chkRotate_->isChecked();
  txtDCSec_->setEnabled(logic_.OffsetSecondsEnabled());
  txtAngle_->setEnabled(logic_.AngleEnabled());
  logic_.controls.FilterType = cboFilter_->currentIndex();
  txtOrder_->setEnabled(logic_.FilterOrderEnabled());
  chkPad_->setEnabled(logic_.FilterOrderEnabled());
}

bool FPreProc::Accepted(PreProcParams& params) {
  if (!ok_) return false;
  params = params_;
  return true;
}

// ---------------------------------------------------------------------------------------------
// Channel pick

FPickChan::FPickChan(const std::vector<std::string>& labels, QWidget* parent)
    : QDialog(parent), lists_(labels) {
  setObjectName("fPickChan");
  SetTextId(this, 17000);
  lstIgnore_ = new QListWidget(this);
  lstUse_ = new QListWidget(this);
  cmdAdd_ = new QPushButton(QStringLiteral(">>"), this);
  cmdRemove_ = new QPushButton(QStringLiteral("<<"), this);
  cmdOk_ = Button(17220, this);
  auto* cmdCancel = Button(17230, this);
  cmdOk_->setDefault(true);

  auto* grid = new QGridLayout(this);
  grid->addWidget(Label(17010, lstIgnore_, this), 0, 0);
  grid->addWidget(Label(17020, lstUse_, this), 0, 2);
  grid->addWidget(lstIgnore_, 1, 0);
  auto* middle = new QVBoxLayout;
  middle->addStretch();
  middle->addWidget(cmdAdd_);
  middle->addWidget(cmdRemove_);
  middle->addStretch();
  grid->addLayout(middle, 1, 1);
  grid->addWidget(lstUse_, 1, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cmdOk_);
  buttons->addWidget(cmdCancel);
  grid->addLayout(buttons, 2, 0, 1, 3);

  connect(lstIgnore_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (!refreshing_) {
      lists_.SelectIgnoring(row);
      Refresh();
    }
  });
  connect(lstUse_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (!refreshing_) {
      lists_.SelectUsing(row);
      Refresh();
    }
  });
  connect(lstIgnore_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    lists_.DoubleClickIgnoring(lstIgnore_->row(item));
    Refresh();
  });
  connect(lstUse_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    lists_.DoubleClickUsing(lstUse_->row(item));
    Refresh();
  });
  connect(cmdAdd_, &QPushButton::clicked, this, [this] {
    lists_.Add();
    Refresh();
  });
  connect(cmdRemove_, &QPushButton::clicked, this, [this] {
    lists_.Remove();
    Refresh();
  });
  connect(cmdOk_, &QPushButton::clicked, this, [this] {
    if (lists_.OkEnabled()) accept();
  });
  connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
  LocalizeForm(this);
  Refresh();
}

void FPickChan::Refresh() {
  refreshing_ = true;
  auto fill = [](QListWidget* list, const std::vector<PickChanLists::Entry>& entries, int selected) {
    list->clear();
    for (const auto& e : entries) list->addItem(QString::fromStdString(e.text));
    list->setCurrentRow(selected);
  };
  fill(lstIgnore_, lists_.Ignoring(), lists_.IgnoringSelection());
  fill(lstUse_, lists_.Using(), lists_.UsingSelection());
  cmdAdd_->setEnabled(lists_.AddEnabled());
  cmdRemove_->setEnabled(lists_.RemoveEnabled());
  cmdOk_->setEnabled(lists_.OkEnabled());
  refreshing_ = false;
}

// ---------------------------------------------------------------------------------------------
// General data and CSV files

FReadData::FReadData(DataFileKind kind, const std::string& path, const std::string& preview,
                     const DataFileParams& params, QWidget* parent)
    : QDialog(parent), form_(kind, params) {
  setObjectName("fReadData");
  showRefusal = [this](const std::string& text) { QMessageBox::warning(this, windowTitle(), Q(text)); };
  SetTextId(this, kind == DataFileKind::Csv ? 14002 : kind == DataFileKind::Counts ? 14003 : 14001);
  auto* top = new QVBoxLayout(this);
  auto* lblFile = new QLabel(Q(FileNameCaption(path)), this);
  lblFile->setTextFormat(Qt::PlainText);
  top->addWidget(lblFile);
  auto* txtData = new QPlainTextEdit(Q(preview), this);
  txtData->setReadOnly(true);
  txtData->setLineWrapMode(QPlainTextEdit::NoWrap);
  txtData->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  txtData->setMinimumSize(520, 200);
  top->addWidget(txtData, 1);
  if (!params.note.empty()) {
    auto* lblNote = new QLabel(Q(params.note), this);
    lblNote->setObjectName("lblNote");
    lblNote->setTextFormat(Qt::PlainText);
    lblNote->setWordWrap(true);
    top->addWidget(lblNote);
  }

  auto* fraParam = new QGroupBox(this);
  SetTextId(fraParam, 14010);
  auto* grid = new QGridLayout(fraParam);
  auto addBox = [&](DataBox box, int textId, QGridLayout* into, int row, int column, QWidget* owner) {
    auto* edit = new QLineEdit(Q(form_.Text(box)), owner);
    edit->installEventFilter(this);
    into->addWidget(Label(textId, edit, owner), row, column);
    into->addWidget(edit, row, column + 1);
    boxes_.emplace_back(box, edit);
  };
  addBox(DataBox::Skip, 14011, grid, 0, 0, fraParam);
  addBox(DataBox::Step, 14012, grid, 0, 2, fraParam);
  addBox(DataBox::Freq, 14013, grid, 1, 0, fraParam);
  addBox(DataBox::Coef, 14014, grid, 1, 2, fraParam);
  txtDesc_ = new QLineEdit(Q(form_.description), fraParam);
  SelectAllOnFocus(txtDesc_);
  grid->addWidget(Label(14015, txtDesc_, fraParam), 2, 0);
  grid->addWidget(txtDesc_, 2, 1, 1, 3);
  addBox(DataBox::Chan, 14016, grid, 3, 0, fraParam);
  top->addWidget(fraParam);

  if (kind == DataFileKind::Csv) {
    auto* chkHasLabel = Check(14020, this);
    auto* chkNegFirst = Check(14021, this);
    chkHasLabel->setChecked(form_.HasLabel());
    chkNegFirst->setChecked(form_.NeglectFirst());
    grid->addWidget(chkHasLabel, 4, 0, 1, 2);
    grid->addWidget(chkNegFirst, 4, 2, 1, 2);
    connect(chkHasLabel, &QCheckBox::toggled, this, [this](bool on) { form_.SetHasLabel(on); });
    connect(chkNegFirst, &QCheckBox::toggled, this, [this](bool on) {
      form_.SetNeglectFirst(on);
      for (auto& [box, edit] : boxes_)
        if (box == DataBox::Chan) edit->setText(Q(form_.Text(box)));
    });
  } else if (kind == DataFileKind::Counts) {
    // The data give their layout: only the coefficient is the user's.
    for (auto& [box, edit] : boxes_)
      if (box != DataBox::Coef) edit->setEnabled(false);
    txtDesc_->setEnabled(false);
  } else {
    auto* chkFix = Check(14030, this);
    top->addWidget(chkFix);
    fraFix_ = new QGroupBox(this);
    SetTextId(fraFix_, 14031);
    auto* fix = new QGridLayout(fraFix_);
    addBox(DataBox::Start, 14032, fix, 0, 0, fraFix_);
    addBox(DataBox::Width, 14033, fix, 0, 2, fraFix_);
    addBox(DataBox::Cols, 14034, fix, 1, 0, fraFix_);
    fraFix_->setEnabled(false);
    top->addWidget(fraFix_);
    connect(chkFix, &QCheckBox::toggled, this, [this](bool on) {
      form_.SetFixed(on);
      fraFix_->setEnabled(on);
    });
  }

  auto* cmdOk = Button(14045, this);
  auto* cmdCancel = Button(14046, this);
  cmdOk->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cmdOk);
  buttons->addWidget(cmdCancel);
  top->addLayout(buttons);
  connect(cmdOk, &QPushButton::clicked, this, [this] { TryAccept(); });
  connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
  LocalizeForm(this);
  txtData->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

bool FReadData::eventFilter(QObject* watched, QEvent* event) {
  for (auto& [box, edit] : boxes_) {
    if (edit != watched) continue;
    if (event->type() == QEvent::FocusIn) {
      form_.Enter(box);
      QTimer::singleShot(0, edit, &QLineEdit::selectAll);
    } else if (event->type() == QEvent::FocusOut) {
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      // The warning itself taking the focus is no leaving.
      if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && !LeaveBox(box, edit->text()))
        QTimer::singleShot(0, edit, [edit] { edit->setFocus(); });
    }
    break;
  }
  return QDialog::eventFilter(watched, event);
}

QLineEdit* FReadData::BoxEdit(DataBox box) const {
  for (const auto& [b, edit] : boxes_)
    if (b == box) return edit;
  return nullptr;
}

bool FReadData::LeaveBox(DataBox box, const QString& text) {
  QLineEdit* edit = BoxEdit(box);
  form_.SetText(box, S(text));
  const bool accepted = form_.Leave(box);
  if (edit != nullptr) edit->setText(Q(form_.Text(box)));
  if (!accepted) {
    QApplication::beep();
    if (showRefusal) showRefusal(form_.Refusal());
  }
  return accepted;
}

void FReadData::TryAccept() {
  // The box being edited has not been left yet: check it as if it were.
  for (auto& [box, edit] : boxes_) {
    if (edit->hasFocus() && !LeaveBox(box, edit->text())) return;
  }
  form_.description = S(txtDesc_->text());
  DataFileParams probe;
  if (!form_.Result(probe)) {
    QApplication::beep();
    return;
  }
  accept();
}

// ---------------------------------------------------------------------------------------------
// Record header texts

FParam::FParam(const RecordTexts& texts, QWidget* parent) : QDialog(parent), form_(texts) {
  setObjectName("fParam");
  showRefusal = [this](const std::string& text) { QMessageBox::warning(this, windowTitle(), Q(text)); };
  SetTextId(this, 15000);
  auto* grid = new QGridLayout(this);
  const std::string initial[6] = {texts.date, texts.time, texts.code, texts.station, texts.lat, texts.lon};
  for (int i = 0; i < 6; ++i) {
    txtParam_[i] = new QLineEdit(Q(initial[i]), this);
    txtParam_[i]->setMinimumWidth(260);
    SelectAllOnFocus(txtParam_[i]);
    grid->addWidget(Label(15010 + 10 * i, txtParam_[i], this), i, 0);
    grid->addWidget(txtParam_[i], i, 1);
  }
  auto* cmdOk = Button(15110, this);
  auto* cmdCancel = Button(15120, this);
  cmdOk->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cmdOk);
  buttons->addWidget(cmdCancel);
  grid->addLayout(buttons, 6, 0, 1, 2);
  connect(cmdOk, &QPushButton::clicked, this, &FParam::TryAccept);
  connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
  LocalizeForm(this);
}

void FParam::TryAccept() {
  const std::string refusal = form_.Refusal(Texts());
  if (refusal.empty()) {
    accept();
    return;
  }
  QApplication::beep();
  if (showRefusal) showRefusal(refusal);
}

RecordTexts FParam::Texts() const {
  RecordTexts t;
  std::string* out[6] = {&t.date, &t.time, &t.code, &t.station, &t.lat, &t.lon};
  for (int i = 0; i < 6; ++i) *out[i] = S(txtParam_[i]->text());
  return t;
}

// ---------------------------------------------------------------------------------------------
// Channel selection

FSelChan::FSelChan(SelChanMode mode, const std::vector<std::string>& labels, const SelChanValues& values,
                   QWidget* parent)
    : QDialog(parent) {
  setObjectName("fSelChan");
  // Orbit and relation modes have their own captions; the new channel is the one used here.
  SetTextId(this, mode == SelChanMode::NewChannel ? 6213 : mode == SelChanMode::Orbit ? 6211 : 6212);
  auto* top = new QVBoxLayout(this);
  auto* description = new QLabel(this);
  if (mode == SelChanMode::NewChannel) SetTextId(description, 6233);
  description->setWordWrap(true);
  top->addWidget(description);

  cboX_ = new QComboBox(this);
  cboY_ = new QComboBox(this);
  for (const auto& l : labels) {
    cboX_->addItem(Q(l));
    cboY_->addItem(Q(l));
  }
  auto clampIndex = [&](int32_t ch) {
    return labels.empty() ? -1 : std::clamp<int>(ch - 1, 0, static_cast<int>(labels.size()) - 1);
  };
  cboX_->setCurrentIndex(clampIndex(values.channelX));
  cboY_->setCurrentIndex(clampIndex(values.channelY));
  txtMultX_ = new QLineEdit(Q(NumberText(values.multiplierX)), this);
  txtMultY_ = new QLineEdit(Q(NumberText(values.multiplierY)), this);
  txtLabel_ = new QLineEdit(Q(values.label), this);
  for (QLineEdit* e : {txtMultX_, txtMultY_, txtLabel_}) SelectAllOnFocus(e);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("X"), this), 0, 0);
  grid->addWidget(cboX_, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("\u00d7"), this), 0, 2);
  grid->addWidget(txtMultX_, 0, 3);
  grid->addWidget(new QLabel(QStringLiteral("Y"), this), 1, 0);
  grid->addWidget(cboY_, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("\u00d7"), this), 1, 2);
  grid->addWidget(txtMultY_, 1, 3);
  auto* cmdSwap = Button(6230, this);
  grid->addWidget(cmdSwap, 0, 4, 2, 1);
  if (mode == SelChanMode::NewChannel) {
    grid->addWidget(Label(6229, txtLabel_, this), 2, 0, 1, 2);
    grid->addWidget(txtLabel_, 2, 2, 1, 3);
  } else {
    txtLabel_->hide();
    txtMultX_->hide();
    txtMultY_->hide();
  }
  top->addLayout(grid);
  auto* cmdOk = Button(6061, this);
  auto* cmdCancel = Button(6062, this);
  cmdOk->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cmdOk);
  buttons->addWidget(cmdCancel);
  top->addLayout(buttons);

  connect(cmdSwap, &QPushButton::clicked, this, [this] {
    const int x = cboX_->currentIndex();
    cboX_->setCurrentIndex(cboY_->currentIndex());
    cboY_->setCurrentIndex(x);
  });
  connect(cmdOk, &QPushButton::clicked, this, [this] {
    SelChanValues probe;
    if (Values(probe)) {
      accept();
    } else {
      QApplication::beep();
    }
  });
  connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
  LocalizeForm(this);
}

bool FSelChan::Values(SelChanValues& out) const {
  const std::string mx = Trim(S(txtMultX_->text())), my = Trim(S(txtMultY_->text()));
  if (!IsNumeric(mx) || !IsNumeric(my)) return false;
  out.channelX = cboX_->currentIndex() + 1;
  out.channelY = cboY_->currentIndex() + 1;
  out.multiplierX = ToSingle(mx);
  out.multiplierY = ToSingle(my);
  out.label = S(txtLabel_->text());
  return true;
}

}  // namespace sism
