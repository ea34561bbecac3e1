#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/gui/localize.h"
#include "app/gui/option_pages.h"
#include "app/gui/option_window.h"
#include "app/gui/qt_strings.h"
#include "app/gui/widgets.h"

namespace sism {

OrbitPage::OrbitPage(FOption& dialog) : OptionPage(dialog) {
  QWidget* page = this;
  auto* fraOrbit = new QGroupBox(page);
  SetTextId(fraOrbit, 6169);
  lblOrbitPair_ = new QLabel(fraOrbit);
  lblOrbitPair_->setObjectName("lblOrbitPair");
  lblOrbitPair_->setFrameShape(QFrame::StyledPanel);
  auto* cmdOrbitPair = PageButton(6162, fraOrbit);
  cboOrbitTime_ = new QComboBox(fraOrbit);
  for (int id = 6201; id <= 6203; ++id) cboOrbitTime_->addItem(QStr(id));
  QLineEdit* txtStart = Field(Model::FieldOrbitStart, fraOrbit);
  QLineEdit* txtEnd = Field(Model::FieldOrbitEnd, fraOrbit);
  QLineEdit* txtInt = Field(Model::FieldOrbitInt, fraOrbit);
  QLineEdit* txtCols = Field(Model::FieldOrbitCols, fraOrbit);
  windowFields_ = {txtStart, txtEnd, txtInt, txtCols};
  auto* o = new QGridLayout(fraOrbit);
  o->addWidget(lblOrbitPair_, 0, 0, 1, 3);
  o->addWidget(cmdOrbitPair, 0, 3);
  o->addWidget(Label(6175, cboOrbitTime_, fraOrbit), 1, 0);
  o->addWidget(cboOrbitTime_, 1, 1, 1, 3);
  o->addWidget(Label(6176, txtStart, fraOrbit), 2, 0);
  o->addWidget(txtStart, 2, 1);
  o->addWidget(Label(6177, txtEnd, fraOrbit), 2, 2);
  o->addWidget(txtEnd, 2, 3);
  o->addWidget(Label(6178, txtInt, fraOrbit), 3, 0);
  o->addWidget(txtInt, 3, 1);
  o->addWidget(Label(6179, txtCols, fraOrbit), 3, 2);
  o->addWidget(txtCols, 3, 3);

  auto* fraRel = new QGroupBox(page);
  SetTextId(fraRel, 6170);
  lstRelation_ = new QListWidget(fraRel);
  lstRelation_->setObjectName("lstRelation");
  auto* r = new QHBoxLayout(fraRel);
  r->addWidget(lstRelation_, 1);
  auto* b = new QVBoxLayout;
  struct RelButton {
    int id;
    std::function<bool()> run;
  };
  const RelButton relButtons[] = {{6190, [this] { return model().AddRelation(ui()); }},
                                  {6162, [this] { return model().ChangeRelation(ui()); }},
                                  {6191, [this] { return model().RemoveRelation(); }},
                                  {6194, [this] { return model().MoveRelation(-1); }},
                                  {6195, [this] { return model().MoveRelation(1); }}};
  for (const RelButton& rb : relButtons) {
    QPushButton* button = PageButton(rb.id, fraRel);
    button->setObjectName(QStringLiteral("cmdRelation%1").arg(rb.id));
    connect(button, &QPushButton::clicked, this, [this, run = rb.run] {
      if (!run()) ui().Beep();
      FillAll();
    });
    b->addWidget(button);
  }
  b->addStretch();
  r->addLayout(b);

  auto* v = new QVBoxLayout(page);
  v->addWidget(fraOrbit);
  v->addWidget(fraRel, 1);

  connect(cmdOrbitPair, &QPushButton::clicked, this, [this] {
    if (!model().ChangeOrbitPair(ui())) return;
    FillAll();
  });
  connect(cboOrbitTime_, &QComboBox::activated, this, [this](int i) {
    model().SetOrbitTime(i);
    FillAll();
  });
  connect(lstRelation_, &QListWidget::currentRowChanged, this, [this](int row) {
    model().SelectRelation(row);
  });
}

void OrbitPage::Fill() {
  const QSignalBlocker b(lstRelation_);
  const GraphSettings& w = model().Working();
  lblOrbitPair_->setText(Q(model().OrbitPairText()));
  cboOrbitTime_->setCurrentIndex(w.OrbitTime);
  // Start, end, interval and columns lay out the specified-time windows only.
  for (QLineEdit* e : windowFields_) e->setEnabled(w.OrbitTime == 2);
  lstRelation_->clear();
  for (const std::string& r : model().RelationTexts()) lstRelation_->addItem(Q(r));
  lstRelation_->setCurrentRow(model().SelectedRelation());
}

}  // namespace sism
