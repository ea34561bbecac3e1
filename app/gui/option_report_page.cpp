#include <algorithm>

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>

#include "app/gui/localize.h"
#include "app/gui/option_pages.h"
#include "app/gui/option_window.h"
#include "app/gui/qt_strings.h"
#include "app/gui/widgets.h"
#include "state/graph_kinds.h"

namespace sism {

ReportPage::ReportPage(FOption& dialog) : OptionPage(dialog) {
  QWidget* page = this;
  QLineEdit* txtPageWidth = Field(Model::FieldRepWidth, page);
  QLineEdit* txtPageHeight = Field(Model::FieldRepHeight, page);
  auto* fraGraph = new QGroupBox(page);
  updRepGraph_ = new QSpinBox(fraGraph);
  updRepGraph_->setObjectName("updRepGraph");
  auto* cmdAdd = PageButton(6190, fraGraph);
  cmdRepRemove_ = PageButton(6191, fraGraph);
  cboRepType_ = new QComboBox(fraGraph);
  for (int k = 0; k <= kGraphKindCount; ++k) cboRepType_->addItem(QStr(7100 + k));
  QLineEdit* txtLeft = Field(Model::FieldRepLeft, fraGraph);
  QLineEdit* txtTop = Field(Model::FieldRepTop, fraGraph);
  QLineEdit* txtWidth = Field(Model::FieldRepGraphWidth, fraGraph);
  QLineEdit* txtHeight = Field(Model::FieldRepGraphHeight, fraGraph);
  txtRepText_ = new QPlainTextEdit(fraGraph);
  txtRepText_->setObjectName("txtRepText");
  txtRepText_->setTabChangesFocus(true);
  auto* g = new QGridLayout(fraGraph);
  g->addWidget(Label(6183, updRepGraph_, fraGraph), 0, 0);
  g->addWidget(updRepGraph_, 0, 1);
  g->addWidget(cmdAdd, 0, 2);
  g->addWidget(cmdRepRemove_, 0, 3);
  g->addWidget(Label(6184, cboRepType_, fraGraph), 1, 0);
  g->addWidget(cboRepType_, 1, 1, 1, 3);
  g->addWidget(Label(6185, txtLeft, fraGraph), 2, 0);
  g->addWidget(txtLeft, 2, 1);
  g->addWidget(Label(6186, txtTop, fraGraph), 2, 2);
  g->addWidget(txtTop, 2, 3);
  g->addWidget(Label(6187, txtWidth, fraGraph), 3, 0);
  g->addWidget(txtWidth, 3, 1);
  g->addWidget(Label(6188, txtHeight, fraGraph), 3, 2);
  g->addWidget(txtHeight, 3, 3);
  g->addWidget(Label(6189, txtRepText_, fraGraph), 4, 0, Qt::AlignTop);
  g->addWidget(txtRepText_, 4, 1, 1, 3);

  auto* v = new QGridLayout(page);
  v->addWidget(Label(6181, txtPageWidth, page), 0, 0);
  v->addWidget(txtPageWidth, 0, 1);
  v->addWidget(Label(6182, txtPageHeight, page), 0, 2);
  v->addWidget(txtPageHeight, 0, 3);
  v->addWidget(fraGraph, 1, 0, 1, 5);
  v->setColumnStretch(4, 1);

  connect(updRepGraph_, &QSpinBox::valueChanged, this, [this](int n) {
    model().SelectReportGraph(n);
    FillAll();
  });
  connect(cmdAdd, &QPushButton::clicked, this, [this] {
    model().AddReportGraph();
    FillAll();
  });
  connect(cmdRepRemove_, &QPushButton::clicked, this, [this] {
    if (!model().RemoveReportGraph()) ui().Beep();
    FillAll();
  });
  connect(cboRepType_, &QComboBox::activated, this, [this](int i) {
    model().SetReportType(i);
    Changed();
  });
  connect(txtRepText_, &QPlainTextEdit::textChanged, this, [this] {
    model().SetReportText(S(txtRepText_->toPlainText()));
    Changed();
  });
}

void ReportPage::Fill() {
  const QSignalBlocker b1(updRepGraph_), b2(txtRepText_);
  const GraphSettings& w = model().Working();
  updRepGraph_->setRange(1, std::max(w.RepGraphCount, 1));
  updRepGraph_->setValue(model().SelectedReportGraph());
  cmdRepRemove_->setEnabled(w.RepGraphCount > 1);
  if (w.RepGraphCount >= 1) {
    const ReportGraph& rg = w.RepGraph[static_cast<std::size_t>(model().SelectedReportGraph())];
    cboRepType_->setCurrentIndex(rg.Type);
    txtRepText_->setPlainText(Q(rg.Text));
  }
}

}  // namespace sism
