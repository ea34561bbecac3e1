#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/gui/localize.h"
#include "app/gui/option_pages.h"
#include "app/gui/option_window.h"
#include "app/gui/qt_strings.h"
#include "app/gui/widgets.h"
#include "state/graph_kinds.h"

namespace sism {

AxisPage::AxisPage(FOption& dialog) : OptionPage(dialog) {
  QWidget* page = this;
  auto* fraAxis = new QGroupBox(page);
  SetTextId(fraAxis, 6107);
  cboAxis_ = new QComboBox(fraAxis);
  for (int id = 6701; id <= 6724; ++id) cboAxis_->addItem(QStr(id));
  chkSpecify_ = new QCheckBox(fraAxis);
  SetTextId(chkSpecify_, 6101);
  chkLog_ = new QCheckBox(fraAxis);
  SetTextId(chkLog_, 6102);
  QLineEdit* txtMin = Field(Model::FieldAxisMin, fraAxis);
  QLineEdit* txtMax = Field(Model::FieldAxisMax, fraAxis);
  txtLabel_ = new QLineEdit(fraAxis);
  txtUnit_ = new QLineEdit(fraAxis);
  auto* g = new QGridLayout(fraAxis);
  g->addWidget(cboAxis_, 0, 0, 1, 4);
  g->addWidget(chkSpecify_, 1, 0, 1, 2);
  g->addWidget(chkLog_, 1, 2, 1, 2);
  g->addWidget(Label(6103, txtMin, fraAxis), 2, 0);
  g->addWidget(txtMin, 2, 1);
  g->addWidget(Label(6104, txtMax, fraAxis), 2, 2);
  g->addWidget(txtMax, 2, 3);
  g->addWidget(Label(6105, txtLabel_, fraAxis), 3, 0);
  g->addWidget(txtLabel_, 3, 1);
  g->addWidget(Label(6106, txtUnit_, fraAxis), 3, 2);
  g->addWidget(txtUnit_, 3, 3);

  auto* fraTitle = new QGroupBox(page);
  SetTextId(fraTitle, 6108);
  cboTitleKind_ = new QComboBox(fraTitle);
  for (int entry = 1; entry <= kGraphTitleCount; ++entry)
    if (entry != KindReport) cboTitleKind_->addItem(Q(Model::TitleName(entry)), entry);
  txtTitle_ = new QLineEdit(fraTitle);
  auto* t = new QGridLayout(fraTitle);
  t->addWidget(cboTitleKind_, 0, 0, 1, 2);
  t->addWidget(Label(6109, txtTitle_, fraTitle), 1, 0);
  t->addWidget(txtTitle_, 1, 1);
  t->setColumnStretch(1, 1);

  auto* v = new QVBoxLayout(page);
  v->addWidget(fraAxis);
  v->addWidget(fraTitle);
  v->addStretch();

  connect(cboAxis_, &QComboBox::activated, this, [this](int i) {
    model().SelectAxis(i + 1);
    FillAll();
  });
  connect(chkSpecify_, &QCheckBox::toggled, this, [this](bool on) {
    model().SetAxisSpecify(on);
    Changed();
  });
  connect(chkLog_, &QCheckBox::toggled, this, [this](bool on) {
    model().SetAxisLog(on);
    Changed();
  });
  connect(txtLabel_, &QLineEdit::textEdited, this, [this](const QString& s) {
    model().SetAxisLabel(S(s));
    Changed();
  });
  connect(txtUnit_, &QLineEdit::textEdited, this, [this](const QString& s) {
    model().SetAxisUnit(S(s));
    Changed();
  });
  connect(cboTitleKind_, &QComboBox::activated, this, [this](int i) {
    model().SelectTitle(cboTitleKind_->itemData(i).toInt());
    FillAll();
  });
  connect(txtTitle_, &QLineEdit::textEdited, this, [this](const QString& s) {
    model().SetTitle(S(s));
    Changed();
  });
}

void AxisPage::Fill() {
  const QSignalBlocker b1(chkSpecify_), b2(chkLog_);
  const GraphSettings& w = model().Working();
  const AxisSettings& axis = w.Axis[static_cast<std::size_t>(model().SelectedAxis())];
  cboAxis_->setCurrentIndex(model().SelectedAxis() - 1);
  chkSpecify_->setChecked(axis.Specify);
  chkLog_->setChecked(axis.Log);
  txtLabel_->setText(Q(axis.Label));
  txtUnit_->setText(Q(axis.Unit));
  cboTitleKind_->setCurrentIndex(cboTitleKind_->findData(model().SelectedTitle()));
  txtTitle_->setText(Q(w.GraphTitle[static_cast<std::size_t>(model().SelectedTitle())]));
}

}  // namespace sism
