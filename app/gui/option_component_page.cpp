#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>

#include "app/gui/localize.h"
#include "app/gui/option_pages.h"
#include "app/gui/option_window.h"
#include "app/gui/qt_strings.h"
#include "app/gui/widgets.h"
#include "common/text.h"

namespace sism {

ComponentPage::ComponentPage(FOption& dialog) : OptionPage(dialog) {
  QWidget* page = this;
  lstComp_ = new QListWidget(page);
  lstComp_->setObjectName("lstComp");
  lstComp_->setMinimumWidth(260);
  updComp_ = new QSpinBox(page);
  updComp_->setObjectName("updComp");
  QLineEdit* txtWidth = Field(Model::FieldWaveLineWidth, page);
  cboCompStyle_ = StyleList(page);
  QPushButton* cmdColor = ColorButton(
      6124, page,
      [this] {
        return model().Working().WaveLine[static_cast<std::size_t>(model().SelectedComponent())].Color;
      },
      [this](int32_t c) { model().SetWaveLineColor(c); });
  auto* fraLabel = new QGroupBox(page);
  SetTextId(fraLabel, 6161);
  txtChanLabel_ = new QLineEdit(fraLabel);
  cmdChanLabel_ = PageButton(6162, fraLabel);
  auto* l = new QHBoxLayout(fraLabel);
  l->addWidget(txtChanLabel_, 1);
  l->addWidget(cmdChanLabel_);

  auto* form = new QGridLayout;
  form->addWidget(Label(6121, updComp_, page), 0, 0);
  form->addWidget(updComp_, 0, 1);
  form->addWidget(Label(6122, txtWidth, page), 1, 0);
  form->addWidget(txtWidth, 1, 1);
  form->addWidget(Label(6123, cboCompStyle_, page), 2, 0);
  form->addWidget(cboCompStyle_, 2, 1);
  form->addWidget(cmdColor, 3, 0, 1, 2);
  form->addWidget(fraLabel, 4, 0, 1, 2);
  form->setRowStretch(5, 1);
  auto* h = new QHBoxLayout(page);
  h->addWidget(lstComp_, 1);
  h->addLayout(form);

  connect(lstComp_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row < 0) return;
    model().SelectComponent(row + 1);
    FillAll();
  });
  connect(updComp_, &QSpinBox::valueChanged, this, [this](int k) {
    model().SelectComponent(k);
    FillAll();
  });
  connect(cboCompStyle_, &QComboBox::activated, this, [this](int i) {
    model().SetWaveLineStyle(i);
    FillAll();
  });
  connect(cmdChanLabel_, &QPushButton::clicked, this, [this] {
    model().ChangeChannelLabel(S(txtChanLabel_->text()));
    FillAll();
  });
}

void ComponentPage::Fill() {
  const QSignalBlocker b1(lstComp_), b2(updComp_);
  const GraphSettings& w = model().Working();
  lstComp_->clear();
  for (int k = 1; k <= w.CompCountMax; ++k) {
    const LineSettings& l = w.WaveLine[static_cast<std::size_t>(k)];
    QString text =
        QStringLiteral("%1   %2 mm   %3").arg(k).arg(Q(NumberText(l.Width))).arg(QStr(6091 + l.Style));
    const std::string label = model().LabelOf(k);
    if (!label.empty()) text += QStringLiteral("   (%1)").arg(Q(label));
    lstComp_->addItem(new QListWidgetItem(ColorSwatch(l.Color), text));
  }
  lstComp_->setCurrentRow(model().SelectedComponent() - 1);
  updComp_->setRange(1, w.CompCountMax);
  updComp_->setValue(model().SelectedComponent());
  cboCompStyle_->setCurrentIndex(w.WaveLine[static_cast<std::size_t>(model().SelectedComponent())].Style);
  txtChanLabel_->setText(Q(model().ChannelLabel()));
  txtChanLabel_->setEnabled(model().HasChannelLabel());
  cmdChanLabel_->setEnabled(model().HasChannelLabel());
}

}  // namespace sism
