#include <algorithm>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include "app/gui/localize.h"
#include "app/gui/option_pages.h"
#include "app/gui/option_window.h"
#include "app/gui/qt_strings.h"
#include "app/gui/widgets.h"

namespace sism {

AppearancePage::AppearancePage(FOption& dialog) : OptionPage(dialog) {
  QWidget* page = this;
  auto* fraTarget = new QGroupBox(page);
  cboTarget_ = new QComboBox(fraTarget);
  for (int id = 6081; id <= 6084; ++id) cboTarget_->addItem(QStr(id));
  cboFont_ = new QComboBox(fraTarget);
  cboFont_->setObjectName("cboFont");
  cboFont_->addItems(QFontDatabase::families());
  QLineEdit* txtSize = Field(Model::FieldFontSize, fraTarget);
  chkBold_ = new QCheckBox(fraTarget);
  SetTextId(chkBold_, 6135);
  chkItalic_ = new QCheckBox(fraTarget);
  SetTextId(chkItalic_, 6136);
  auto font = [this]() -> const FontSettings& {
    return model().Working().Font[static_cast<std::size_t>(model().SelectedTarget())];
  };
  QPushButton* cmdFontColor = ColorButton(
      6134, fraTarget, [font] { return font().Color; }, [this](int32_t c) { model().SetFontColor(c); });
  QPushButton* cmdBack = ColorButton(
      6125, fraTarget,
      [this] { return model().Working().BackColor[static_cast<std::size_t>(model().SelectedTarget())]; },
      [this](int32_t c) { model().SetBackColor(c); });
  lblSample_ = new QLabel(fraTarget);
  lblSample_->setObjectName("lblSample");
  SetTextId(lblSample_, 6137);
  lblSample_->setFrameShape(QFrame::StyledPanel);
  lblSample_->setAlignment(Qt::AlignCenter);
  lblSample_->setMinimumHeight(56);
  lblSample_->setAutoFillBackground(true);
  QLineEdit* txtLineWidth = Field(Model::FieldLineWidth, fraTarget);
  cboLineStyle_ = StyleList(fraTarget);
  QPushButton* cmdLineColor = ColorButton(
      6166, fraTarget,
      [this] { return model().Working().Line[static_cast<std::size_t>(model().SelectedTarget())].Color; },
      [this](int32_t c) { model().SetLineColor(c); });
  auto* g = new QGridLayout(fraTarget);
  g->addWidget(Label(6131, cboTarget_, fraTarget), 0, 0);
  g->addWidget(cboTarget_, 0, 1, 1, 3);
  g->addWidget(Label(6132, cboFont_, fraTarget), 1, 0);
  g->addWidget(cboFont_, 1, 1);
  g->addWidget(Label(6133, txtSize, fraTarget), 1, 2);
  g->addWidget(txtSize, 1, 3);
  g->addWidget(chkBold_, 2, 0);
  g->addWidget(chkItalic_, 2, 1);
  g->addWidget(cmdFontColor, 2, 2, 1, 2);
  g->addWidget(lblSample_, 3, 0, 1, 2);
  g->addWidget(cmdBack, 3, 2, 1, 2);
  g->addWidget(Label(6164, txtLineWidth, fraTarget), 4, 0);
  g->addWidget(txtLineWidth, 4, 1);
  g->addWidget(Label(6165, cboLineStyle_, fraTarget), 4, 2);
  g->addWidget(cboLineStyle_, 4, 3);
  g->addWidget(cmdLineColor, 5, 2, 1, 2);
  g->setColumnStretch(1, 1);

  chkGrid_ = new QCheckBox(page);
  SetTextId(chkGrid_, 6126);
  chkMinorGrid_ = new QCheckBox(page);
  SetTextId(chkMinorGrid_, 6167);
  auto* fraLegend = new QGroupBox(page);
  SetTextId(fraLegend, 6168);
  optLegend_ = new QButtonGroup(this);
  auto* legend = new QGridLayout(fraLegend);
  // Hidden first, then the corners as they lie on the graph.
  const int cells[5][2] = {{0, 0}, {1, 0}, {1, 1}, {2, 0}, {2, 1}};
  for (int i = 0; i < 5; ++i) {
    auto* opt = new QRadioButton(fraLegend);
    opt->setObjectName(QStringLiteral("optLegend%1").arg(i));
    SetTextId(opt, 6151 + i);
    optLegend_->addButton(opt, i);
    legend->addWidget(opt, cells[i][0], cells[i][1]);
  }
  chkLegFix_ = new QCheckBox(fraLegend);
  SetTextId(chkLegFix_, 6160);
  legend->addWidget(chkLegFix_, 0, 2);
  txtHeader_ = new QLineEdit(page);
  txtFooter_ = new QLineEdit(page);

  auto* v = new QGridLayout(page);
  v->addWidget(fraTarget, 0, 0, 1, 2);
  v->addWidget(chkGrid_, 1, 0);
  v->addWidget(chkMinorGrid_, 1, 1);
  v->addWidget(fraLegend, 2, 0, 1, 2);
  auto* hf = new QGridLayout;
  hf->addWidget(Label(6138, txtHeader_, page), 0, 0);
  hf->addWidget(txtHeader_, 0, 1);
  hf->addWidget(Label(6139, txtFooter_, page), 1, 0);
  hf->addWidget(txtFooter_, 1, 1);
  v->addLayout(hf, 3, 0, 1, 2);
  v->setRowStretch(4, 1);

  connect(cboTarget_, &QComboBox::activated, this, [this](int i) {
    model().SelectTarget(i + 1);
    FillAll();
  });
  connect(cboFont_, &QComboBox::activated, this, [this](int i) {
    model().SetFontName(S(cboFont_->itemText(i)));
    FillAll();
  });
  connect(chkBold_, &QCheckBox::toggled, this, [this](bool on) {
    model().SetFontBold(on);
    FillAll();
  });
  connect(chkItalic_, &QCheckBox::toggled, this, [this](bool on) {
    model().SetFontItalic(on);
    FillAll();
  });
  connect(cboLineStyle_, &QComboBox::activated, this, [this](int i) {
    model().SetLineStyle(i);
    Changed();
  });
  connect(chkGrid_, &QCheckBox::toggled, this, [this](bool on) {
    model().SetDrawGrid(on);
    Changed();
  });
  connect(chkMinorGrid_, &QCheckBox::toggled, this, [this](bool on) {
    model().SetMinorGrid(on);
    Changed();
  });
  connect(optLegend_, &QButtonGroup::idClicked, this, [this](int id) {
    model().SetLegendOption(id);
    Changed();
  });
  connect(chkLegFix_, &QCheckBox::toggled, this, [this](bool on) {
    model().SetLegFixTime(on);
    Changed();
  });
  connect(txtHeader_, &QLineEdit::textEdited, this, [this](const QString& s) {
    model().SetHeader(S(s));
    Changed();
  });
  connect(txtFooter_, &QLineEdit::textEdited, this, [this](const QString& s) {
    model().SetFooter(S(s));
    Changed();
  });
}

void AppearancePage::Fill() {
  const QSignalBlocker b1(chkBold_), b2(chkItalic_), b3(chkGrid_), b4(chkMinorGrid_), b5(chkLegFix_);
  const GraphSettings& w = model().Working();
  const auto target = static_cast<std::size_t>(model().SelectedTarget());
  const FontSettings& font = w.Font[target];
  cboTarget_->setCurrentIndex(model().SelectedTarget() - 1);
  int fontIndex = cboFont_->findText(Q(font.Name), Qt::MatchFixedString);
  if (fontIndex < 0) {
    // A face this computer lacks stays selectable as stored.
    cboFont_->insertItem(0, Q(font.Name));
    fontIndex = 0;
  }
  cboFont_->setCurrentIndex(fontIndex);
  chkBold_->setChecked(font.Bold);
  chkItalic_->setChecked(font.Italic);
  cboLineStyle_->setCurrentIndex(w.Line[target].Style);
  chkGrid_->setChecked(w.DrawGrid);
  chkMinorGrid_->setChecked(model().MinorGrid());
  const int legend = model().LegendOption();
  optLegend_->setExclusive(false);
  for (QAbstractButton* b : optLegend_->buttons()) b->setChecked(optLegend_->id(b) == legend);
  optLegend_->setExclusive(true);
  chkLegFix_->setChecked(w.LegFixTime);
  txtHeader_->setText(Q(w.Header));
  txtFooter_->setText(Q(w.Footer));
  FillPreview();
}

void AppearancePage::FillPreview() {
  const GraphSettings& w = model().Working();
  const auto target = static_cast<std::size_t>(model().SelectedTarget());
  const FontSettings& f = w.Font[target];
  QFont font(Q(f.Name));
  // The sample keeps to the page; larger sizes show at the largest that fits.
  font.setPointSizeF(std::clamp(static_cast<double>(f.Size), 4.0, 24.0));
  font.setBold(f.Bold);
  font.setItalic(f.Italic);
  lblSample_->setFont(font);
  QPalette p = lblSample_->palette();
  p.setColor(QPalette::WindowText, ColorOf(f.Color));
  const RgbColor back = w.BackColor[target];
  p.setColor(QPalette::Window,
             (static_cast<uint32_t>(back) & 0x1000000u) ? palette().color(QPalette::Window) : ColorOf(back));
  lblSample_->setPalette(p);
}

}  // namespace sism
