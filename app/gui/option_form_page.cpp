#include <algorithm>

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include "app/gui/localize.h"
#include "app/gui/option_pages.h"
#include "app/gui/option_window.h"
#include "app/gui/qt_strings.h"
#include "app/gui/widgets.h"

namespace sism {

FormPage::FormPage(FOption& dialog) : OptionPage(dialog) {
  QWidget* page = this;
  auto* g = new QGridLayout(page);
  // Sizes of the graphs on the left, the page's margins and steps on the right.
  const std::vector<std::vector<Model::Field>> columns = {
      {Model::FieldWaveWidth, Model::FieldWaveHeight, Model::FieldWaveSpace, Model::FieldMaxWaves,
       Model::FieldSpecWidth, Model::FieldSpecHeight, Model::FieldOrbitWidth},
      {Model::FieldLeftMargin, Model::FieldRightMargin, Model::FieldTopMargin, Model::FieldBottomMargin,
       Model::FieldWaveIncrement, Model::FieldLineUnit}};
  int half = 0;
  for (int col = 0; col < 2; ++col) {
    const auto& fields = columns[static_cast<std::size_t>(col)];
    for (int row = 0; row < static_cast<int>(fields.size()); ++row) {
      const Model::Field f = fields[static_cast<std::size_t>(row)];
      QLineEdit* e = Field(f, page);
      e->setMaximumWidth(90);
      const int label = Model::kFormLabels[static_cast<std::size_t>(f - Model::kFirstFormField)];
      g->addWidget(Label(label, e, page), row, col * 3);
      g->addWidget(e, row, col * 3 + 1);
      half = std::max(half, row + 1);
    }
  }
  g->setColumnMinimumWidth(2, 24);
  chkPeriod_ = new QCheckBox(page);
  SetTextId(chkPeriod_, 6159);
  g->addWidget(chkPeriod_, half, 0, 1, 5);
  g->setRowStretch(half + 1, 1);
  g->setColumnStretch(5, 1);
  connect(chkPeriod_, &QCheckBox::toggled, this, [this](bool on) {
    model().SetSpectraOnPeriod(on);
    Changed();
  });
}

void FormPage::Fill() {
  const QSignalBlocker b(chkPeriod_);
  chkPeriod_->setChecked(model().Working().SpectraOnPeriod);
}

}  // namespace sism
