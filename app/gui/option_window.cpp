#include "app/gui/option_window.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "app/gui/localize.h"
#include "app/gui/main_window.h"
#include "app/gui/qt_strings.h"
#include "common/path.h"
#include "common/strings.h"
#include "common/text.h"
#include "state/graph_kinds.h"

namespace sism {

namespace {

using Model = OptionDialogModel;

QColor ToQColor(RgbColor c) {
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

RgbColor FromQColor(const QColor& c) {
  return c.red() | (c.green() << 8) | (c.blue() << 16);
}

QIcon Swatch(RgbColor c) {
  QPixmap p(20, 14);
  p.fill(ToQColor(c));
  QPainter painter(&p);
  painter.setPen(Qt::darkGray);
  painter.drawRect(0, 0, p.width() - 1, p.height() - 1);
  return QIcon(p);
}

QStringList FilterList(const std::string& filter) {
  const std::vector<std::string> parts = Split(filter, "|");
  QStringList out;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) out << Q(parts[i]);
  return out;
}

QLabel* Label(int id, QWidget* buddy, QWidget* parent) {
  auto* l = new QLabel(parent);
  SetTextId(l, id);
  l->setBuddy(buddy);
  return l;
}

QPushButton* Button(int id, QWidget* parent) {
  auto* b = new QPushButton(parent);
  SetTextId(b, id);
  b->setAutoDefault(false);
  return b;
}

QComboBox* StyleList(QWidget* parent) {
  auto* c = new QComboBox(parent);
  for (int id = 6091; id <= 6095; ++id) c->addItem(QStr(id));
  return c;
}

std::string S(const QString& s) {
  return s.toStdString();
}

}  // namespace

FOption::FOption(AppState& app, std::function<void()> redraw, std::string& settingFolder, UserInterface& ui,
                 QWidget* parent)
    : QDialog(parent),
      app_(app),
      redraw_(std::move(redraw)),
      settingFolder_(settingFolder),
      ui_(ui),
      model_(app) {
  setObjectName("fOption");
  SetTextId(this, 6000);
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName("tabOption");
  // Every tab stays in sight.
  tabs_->setUsesScrollButtons(false);
  QWidget* pages[] = {BuildAxisPage(), BuildComponentPage(), BuildAppearancePage(),
                      BuildFormPage(), BuildOrbitPage(),     BuildReportPage()};
  for (int i = 0; i < Model::kTabCount; ++i) {
    SetTextId(pages[i], 6001 + i);
    SetTipId(pages[i], 6011 + i);
    tabs_->addTab(pages[i], QString());
  }

  auto* cmdDefault = Button(6064, this);
  auto* cmdSave = Button(6065, this);
  auto* cmdLoad = Button(6066, this);
  auto* cmdOk = Button(6061, this);
  auto* cmdCancel = Button(6062, this);
  cmdApply_ = Button(6063, this);
  cmdOk->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmdDefault);
  buttons->addWidget(cmdSave);
  buttons->addWidget(cmdLoad);
  buttons->addStretch();
  buttons->addWidget(cmdOk);
  buttons->addWidget(cmdCancel);
  buttons->addWidget(cmdApply_);
  auto* top = new QVBoxLayout(this);
  top->addWidget(tabs_);
  top->addLayout(buttons);

  connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
    if (filling_) return;
    model_.tab = index + 1;
    Fill();
  });
  connect(cmdApply_, &QPushButton::clicked, this, [this] { DoApply(); });
  connect(cmdOk, &QPushButton::clicked, this, [this] { DoOk(); });
  connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(cmdDefault, &QPushButton::clicked, this, [this] { model_.SaveTo(std::string(), ui_); });
  connect(cmdSave, &QPushButton::clicked, this, [this] { SaveAs(); });
  connect(cmdLoad, &QPushButton::clicked, this, [this] { LoadCommand(); });
  LocalizeForm(this);
  Fill();
}

QLineEdit* FOption::AddField(Model::Field f, QWidget* parent) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(QStringLiteral("txtField%1").arg(static_cast<int>(f)));
  e->installEventFilter(this);
  fields_[f] = e;
  return e;
}

QLineEdit* FOption::FieldEdit(Model::Field f) const {
  auto it = fields_.find(f);
  return it == fields_.end() ? nullptr : it->second;
}

QPushButton* FOption::ColorButton(int textId, QWidget* parent, std::function<int32_t()> get,
                                  std::function<void(int32_t)> set) {
  QPushButton* b = Button(textId, parent);
  colorSwatches_.push_back([b, get] { b->setIcon(Swatch(get())); });
  connect(b, &QPushButton::clicked, this, [this, b, get, set] {
    const QColor c =
        QColorDialog::getColor(ToQColor(get()), this, b->text().remove('&').remove(QStringLiteral("...")));
    if (!c.isValid()) return;
    set(FromQColor(c));
    Fill();
  });
  return b;
}

// ---------------------------------------------------------------------------------------------
// Pages

QWidget* FOption::BuildAxisPage() {
  auto* page = new QWidget(this);
  auto* fraAxis = new QGroupBox(page);
  SetTextId(fraAxis, 6107);
  cboAxis_ = new QComboBox(fraAxis);
  for (int id = 6701; id <= 6724; ++id) cboAxis_->addItem(QStr(id));
  chkSpecify_ = new QCheckBox(fraAxis);
  SetTextId(chkSpecify_, 6101);
  chkLog_ = new QCheckBox(fraAxis);
  SetTextId(chkLog_, 6102);
  QLineEdit* txtMin = AddField(Model::FieldAxisMin, fraAxis);
  QLineEdit* txtMax = AddField(Model::FieldAxisMax, fraAxis);
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
    model_.SelectAxis(i + 1);
    Fill();
  });
  connect(chkSpecify_, &QCheckBox::toggled, this, [this](bool on) {
    if (!filling_) model_.SetAxisSpecify(on), UpdateApply();
  });
  connect(chkLog_, &QCheckBox::toggled, this, [this](bool on) {
    if (!filling_) model_.SetAxisLog(on), UpdateApply();
  });
  connect(txtLabel_, &QLineEdit::textEdited, this, [this](const QString& s) {
    model_.SetAxisLabel(S(s));
    UpdateApply();
  });
  connect(txtUnit_, &QLineEdit::textEdited, this, [this](const QString& s) {
    model_.SetAxisUnit(S(s));
    UpdateApply();
  });
  connect(cboTitleKind_, &QComboBox::activated, this, [this](int i) {
    model_.SelectTitle(cboTitleKind_->itemData(i).toInt());
    Fill();
  });
  connect(txtTitle_, &QLineEdit::textEdited, this, [this](const QString& s) {
    model_.SetTitle(S(s));
    UpdateApply();
  });
  return page;
}

QWidget* FOption::BuildComponentPage() {
  auto* page = new QWidget(this);
  lstComp_ = new QListWidget(page);
  lstComp_->setObjectName("lstComp");
  lstComp_->setMinimumWidth(260);
  updComp_ = new QSpinBox(page);
  updComp_->setObjectName("updComp");
  QLineEdit* txtWidth = AddField(Model::FieldWaveLineWidth, page);
  cboCompStyle_ = StyleList(page);
  QPushButton* cmdColor = ColorButton(
      6124, page,
      [this] {
        return model_.Working().WaveLine[static_cast<std::size_t>(model_.SelectedComponent())].Color;
      },
      [this](int32_t c) { model_.SetWaveLineColor(c); });
  auto* fraLabel = new QGroupBox(page);
  SetTextId(fraLabel, 6161);
  txtChanLabel_ = new QLineEdit(fraLabel);
  cmdChanLabel_ = Button(6162, fraLabel);
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
    if (filling_ || row < 0) return;
    model_.SelectComponent(row + 1);
    Fill();
  });
  connect(updComp_, &QSpinBox::valueChanged, this, [this](int k) {
    if (filling_) return;
    model_.SelectComponent(k);
    Fill();
  });
  connect(cboCompStyle_, &QComboBox::activated, this, [this](int i) {
    model_.SetWaveLineStyle(i);
    Fill();
  });
  connect(cmdChanLabel_, &QPushButton::clicked, this, [this] {
    model_.ChangeChannelLabel(S(txtChanLabel_->text()));
    Fill();
  });
  return page;
}

QWidget* FOption::BuildAppearancePage() {
  auto* page = new QWidget(this);
  auto* fraTarget = new QGroupBox(page);
  cboTarget_ = new QComboBox(fraTarget);
  for (int id = 6081; id <= 6084; ++id) cboTarget_->addItem(QStr(id));
  cboFont_ = new QComboBox(fraTarget);
  cboFont_->setObjectName("cboFont");
  cboFont_->addItems(QFontDatabase::families());
  QLineEdit* txtSize = AddField(Model::FieldFontSize, fraTarget);
  chkBold_ = new QCheckBox(fraTarget);
  SetTextId(chkBold_, 6135);
  chkItalic_ = new QCheckBox(fraTarget);
  SetTextId(chkItalic_, 6136);
  auto font = [this]() -> const FontSettings& {
    return model_.Working().Font[static_cast<std::size_t>(model_.SelectedTarget())];
  };
  QPushButton* cmdFontColor = ColorButton(
      6134, fraTarget, [font] { return font().Color; }, [this](int32_t c) { model_.SetFontColor(c); });
  QPushButton* cmdBack = ColorButton(
      6125, fraTarget,
      [this] { return model_.Working().BackColor[static_cast<std::size_t>(model_.SelectedTarget())]; },
      [this](int32_t c) { model_.SetBackColor(c); });
  lblSample_ = new QLabel(fraTarget);
  lblSample_->setObjectName("lblSample");
  SetTextId(lblSample_, 6137);
  lblSample_->setFrameShape(QFrame::StyledPanel);
  lblSample_->setAlignment(Qt::AlignCenter);
  lblSample_->setMinimumHeight(56);
  lblSample_->setAutoFillBackground(true);
  QLineEdit* txtLineWidth = AddField(Model::FieldLineWidth, fraTarget);
  cboLineStyle_ = StyleList(fraTarget);
  QPushButton* cmdLineColor = ColorButton(
      6166, fraTarget,
      [this] { return model_.Working().Line[static_cast<std::size_t>(model_.SelectedTarget())].Color; },
      [this](int32_t c) { model_.SetLineColor(c); });
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
    model_.SelectTarget(i + 1);
    Fill();
  });
  connect(cboFont_, &QComboBox::activated, this, [this](int i) {
    model_.SetFontName(S(cboFont_->itemText(i)));
    Fill();
  });
  connect(chkBold_, &QCheckBox::toggled, this, [this](bool on) {
    if (!filling_) model_.SetFontBold(on), Fill();
  });
  connect(chkItalic_, &QCheckBox::toggled, this, [this](bool on) {
    if (!filling_) model_.SetFontItalic(on), Fill();
  });
  connect(cboLineStyle_, &QComboBox::activated, this, [this](int i) {
    model_.SetLineStyle(i);
    UpdateApply();
  });
  connect(chkGrid_, &QCheckBox::toggled, this, [this](bool on) {
    if (!filling_) model_.SetDrawGrid(on), UpdateApply();
  });
  connect(chkMinorGrid_, &QCheckBox::toggled, this, [this](bool on) {
    if (!filling_) model_.SetMinorGrid(on), UpdateApply();
  });
  connect(optLegend_, &QButtonGroup::idClicked, this, [this](int id) {
    model_.SetLegendOption(id);
    UpdateApply();
  });
  connect(chkLegFix_, &QCheckBox::toggled, this, [this](bool on) {
    if (!filling_) model_.SetLegFixTime(on), UpdateApply();
  });
  connect(txtHeader_, &QLineEdit::textEdited, this, [this](const QString& s) {
    model_.SetHeader(S(s));
    UpdateApply();
  });
  connect(txtFooter_, &QLineEdit::textEdited, this, [this](const QString& s) {
    model_.SetFooter(S(s));
    UpdateApply();
  });
  return page;
}

QWidget* FOption::BuildFormPage() {
  auto* page = new QWidget(this);
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
      QLineEdit* e = AddField(f, page);
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
    if (!filling_) model_.SetSpectraOnPeriod(on), UpdateApply();
  });
  return page;
}

QWidget* FOption::BuildOrbitPage() {
  auto* page = new QWidget(this);
  auto* fraOrbit = new QGroupBox(page);
  SetTextId(fraOrbit, 6169);
  lblOrbitPair_ = new QLabel(fraOrbit);
  lblOrbitPair_->setObjectName("lblOrbitPair");
  lblOrbitPair_->setFrameShape(QFrame::StyledPanel);
  auto* cmdOrbitPair = Button(6162, fraOrbit);
  cboOrbitTime_ = new QComboBox(fraOrbit);
  for (int id = 6201; id <= 6203; ++id) cboOrbitTime_->addItem(QStr(id));
  QLineEdit* txtStart = AddField(Model::FieldOrbitStart, fraOrbit);
  QLineEdit* txtEnd = AddField(Model::FieldOrbitEnd, fraOrbit);
  QLineEdit* txtInt = AddField(Model::FieldOrbitInt, fraOrbit);
  QLineEdit* txtCols = AddField(Model::FieldOrbitCols, fraOrbit);
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
  const RelButton relButtons[] = {{6190, [this] { return model_.AddRelation(ui_); }},
                                  {6162, [this] { return model_.ChangeRelation(ui_); }},
                                  {6191, [this] { return model_.RemoveRelation(); }},
                                  {6194, [this] { return model_.MoveRelation(-1); }},
                                  {6195, [this] { return model_.MoveRelation(1); }}};
  for (const RelButton& rb : relButtons) {
    QPushButton* button = Button(rb.id, fraRel);
    button->setObjectName(QStringLiteral("cmdRelation%1").arg(rb.id));
    connect(button, &QPushButton::clicked, this, [this, run = rb.run] {
      if (!run()) ui_.Beep();
      Fill();
    });
    b->addWidget(button);
  }
  b->addStretch();
  r->addLayout(b);

  auto* v = new QVBoxLayout(page);
  v->addWidget(fraOrbit);
  v->addWidget(fraRel, 1);

  connect(cmdOrbitPair, &QPushButton::clicked, this, [this] {
    if (!model_.ChangeOrbitPair(ui_)) return;
    Fill();
  });
  connect(cboOrbitTime_, &QComboBox::activated, this, [this](int i) {
    model_.SetOrbitTime(i);
    Fill();
  });
  connect(lstRelation_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (!filling_) model_.SelectRelation(row);
  });
  return page;
}

QWidget* FOption::BuildReportPage() {
  auto* page = new QWidget(this);
  QLineEdit* txtPageWidth = AddField(Model::FieldRepWidth, page);
  QLineEdit* txtPageHeight = AddField(Model::FieldRepHeight, page);
  auto* fraGraph = new QGroupBox(page);
  updRepGraph_ = new QSpinBox(fraGraph);
  updRepGraph_->setObjectName("updRepGraph");
  auto* cmdAdd = Button(6190, fraGraph);
  cmdRepRemove_ = Button(6191, fraGraph);
  cboRepType_ = new QComboBox(fraGraph);
  for (int k = 0; k <= kGraphKindCount; ++k) cboRepType_->addItem(QStr(7100 + k));
  QLineEdit* txtLeft = AddField(Model::FieldRepLeft, fraGraph);
  QLineEdit* txtTop = AddField(Model::FieldRepTop, fraGraph);
  QLineEdit* txtWidth = AddField(Model::FieldRepGraphWidth, fraGraph);
  QLineEdit* txtHeight = AddField(Model::FieldRepGraphHeight, fraGraph);
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
    if (filling_) return;
    model_.SelectReportGraph(n);
    Fill();
  });
  connect(cmdAdd, &QPushButton::clicked, this, [this] {
    model_.AddReportGraph();
    Fill();
  });
  connect(cmdRepRemove_, &QPushButton::clicked, this, [this] {
    if (!model_.RemoveReportGraph()) ui_.Beep();
    Fill();
  });
  connect(cboRepType_, &QComboBox::activated, this, [this](int i) {
    model_.SetReportType(i);
    UpdateApply();
  });
  connect(txtRepText_, &QPlainTextEdit::textChanged, this, [this] {
    if (filling_) return;
    model_.SetReportText(S(txtRepText_->toPlainText()));
    UpdateApply();
  });
  return page;
}

// ---------------------------------------------------------------------------------------------
// Filling

void FOption::Fill() {
  filling_ = true;
  const GraphSettings& w = model_.Working();
  for (auto& [f, e] : fields_) e->setText(Q(model_.FieldText(f)));

  const AxisSettings& axis = w.Axis[static_cast<std::size_t>(model_.SelectedAxis())];
  cboAxis_->setCurrentIndex(model_.SelectedAxis() - 1);
  chkSpecify_->setChecked(axis.Specify);
  chkLog_->setChecked(axis.Log);
  txtLabel_->setText(Q(axis.Label));
  txtUnit_->setText(Q(axis.Unit));
  cboTitleKind_->setCurrentIndex(cboTitleKind_->findData(model_.SelectedTitle()));
  txtTitle_->setText(Q(w.GraphTitle[static_cast<std::size_t>(model_.SelectedTitle())]));

  lstComp_->clear();
  for (int k = 1; k <= w.CompCountMax; ++k) {
    const LineSettings& l = w.WaveLine[static_cast<std::size_t>(k)];
    QString text =
        QStringLiteral("%1   %2 mm   %3").arg(k).arg(Q(NumberText(l.Width))).arg(QStr(6091 + l.Style));
    const std::string label = model_.LabelOf(k);
    if (!label.empty()) text += QStringLiteral("   (%1)").arg(Q(label));
    lstComp_->addItem(new QListWidgetItem(Swatch(l.Color), text));
  }
  lstComp_->setCurrentRow(model_.SelectedComponent() - 1);
  updComp_->setRange(1, w.CompCountMax);
  updComp_->setValue(model_.SelectedComponent());
  cboCompStyle_->setCurrentIndex(w.WaveLine[static_cast<std::size_t>(model_.SelectedComponent())].Style);
  txtChanLabel_->setText(Q(model_.ChannelLabel()));
  txtChanLabel_->setEnabled(model_.HasChannelLabel());
  cmdChanLabel_->setEnabled(model_.HasChannelLabel());

  const auto target = static_cast<std::size_t>(model_.SelectedTarget());
  const FontSettings& font = w.Font[target];
  cboTarget_->setCurrentIndex(model_.SelectedTarget() - 1);
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
  chkMinorGrid_->setChecked(model_.MinorGrid());
  const int legend = model_.LegendOption();
  optLegend_->setExclusive(false);
  for (QAbstractButton* b : optLegend_->buttons()) b->setChecked(optLegend_->id(b) == legend);
  optLegend_->setExclusive(true);
  chkLegFix_->setChecked(w.LegFixTime);
  txtHeader_->setText(Q(w.Header));
  txtFooter_->setText(Q(w.Footer));
  FillPreview();

  chkPeriod_->setChecked(w.SpectraOnPeriod);

  lblOrbitPair_->setText(Q(model_.OrbitPairText()));
  cboOrbitTime_->setCurrentIndex(w.OrbitTime);
  // Start, end, interval and columns lay out the specified-time windows only.
  for (Model::Field f :
       {Model::FieldOrbitStart, Model::FieldOrbitEnd, Model::FieldOrbitInt, Model::FieldOrbitCols})
    FieldEdit(f)->setEnabled(w.OrbitTime == 2);
  lstRelation_->clear();
  for (const std::string& r : model_.RelationTexts()) lstRelation_->addItem(Q(r));
  lstRelation_->setCurrentRow(model_.SelectedRelation());

  updRepGraph_->setRange(1, std::max(w.RepGraphCount, 1));
  updRepGraph_->setValue(model_.SelectedReportGraph());
  cmdRepRemove_->setEnabled(w.RepGraphCount > 1);
  if (w.RepGraphCount >= 1) {
    const ReportGraph& rg = w.RepGraph[static_cast<std::size_t>(model_.SelectedReportGraph())];
    cboRepType_->setCurrentIndex(rg.Type);
    txtRepText_->setPlainText(Q(rg.Text));
  }

  for (auto& refresh : colorSwatches_) refresh();
  filling_ = false;
  UpdateApply();
}

void FOption::FillPreview() {
  const GraphSettings& w = model_.Working();
  const auto target = static_cast<std::size_t>(model_.SelectedTarget());
  const FontSettings& f = w.Font[target];
  QFont font(Q(f.Name));
  // The sample keeps to the page; larger sizes show at the largest that fits.
  font.setPointSizeF(std::clamp(static_cast<double>(f.Size), 4.0, 24.0));
  font.setBold(f.Bold);
  font.setItalic(f.Italic);
  lblSample_->setFont(font);
  QPalette p = lblSample_->palette();
  p.setColor(QPalette::WindowText, ToQColor(f.Color));
  const RgbColor back = w.BackColor[target];
  p.setColor(QPalette::Window,
             (static_cast<uint32_t>(back) & 0x1000000u) ? palette().color(QPalette::Window) : ToQColor(back));
  lblSample_->setPalette(p);
}

void FOption::UpdateApply() {
  cmdApply_->setEnabled(model_.ApplyEnabled());
}

// ---------------------------------------------------------------------------------------------
// Fields, Apply, OK

bool FOption::LeaveField(Model::Field f) {
  QLineEdit* e = FieldEdit(f);
  if (e == nullptr) return false;
  const Model::FieldResult r = model_.LeaveField(f, S(e->text()));
  switch (r) {
    case Model::FieldResult::Accepted:
      break;
    case Model::FieldResult::Adjusted:
      ui_.Beep();
      break;
    case Model::FieldResult::NotNumeral:
      e->setText(Q(model_.FieldText(f)));
      ui_.MsgBox(Str(6903), MsgIcon::Exclamation, ProgramTitle());
      return false;
    case Model::FieldResult::Refused:
      ui_.Beep();
      if (Model::RestoresOnRefusal(f)) {
        e->setText(Q(model_.FieldText(f)));
      } else {
        // The focus goes back to the field, once the move that left it is over.
        QTimer::singleShot(0, e, [e] {
          if (!e->isVisible()) return;
          e->setFocus();
          e->selectAll();
        });
      }
      return false;
  }
  // A new component count or style changes the lists of other pages too.
  Fill();
  return true;
}

bool FOption::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
    for (auto& [f, e] : fields_) {
      if (e != watched) continue;
      if (event->type() == QEvent::FocusIn) {
        QTimer::singleShot(0, e, &QLineEdit::selectAll);
      } else {
        // A pop-up or another window taking the focus is no leaving.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (isVisible() && reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
          LeaveField(f);
      }
      break;
    }
  }
  return QDialog::eventFilter(watched, event);
}

bool FOption::DoApply() {
  // The field being edited counts as left.
  for (auto& [f, e] : fields_)
    if (e->hasFocus() && !LeaveField(f)) return false;
  const Model::ApplyError error = model_.Apply(app_);
  if (error.message != 0) {
    ui_.MsgBox(Str(error.message), MsgIcon::Critical, ProgramTitle());
    filling_ = true;
    tabs_->setCurrentIndex(Model::TabAxis - 1);
    filling_ = false;
    Fill();
    FieldEdit(Model::FieldAxisMin)->setFocus();
    return false;
  }
  if (redraw_) redraw_();
  UpdateApply();
  return true;
}

void FOption::DoOk() {
  QCoreApplication::processEvents();
  for (auto& [f, e] : fields_)
    if (e->hasFocus() && !LeaveField(f)) return;
  if (model_.ApplyEnabled() && !DoApply()) return;
  accept();
}

void FOption::Open(int tab) {
  model_.Reset(app_);
  if (tab >= 1 && tab <= Model::kTabCount) model_.tab = tab;
  filling_ = true;
  tabs_->setCurrentIndex(model_.tab - 1);
  filling_ = false;
  Fill();
}

void FOption::ShowDialog(int tab) {
  Open(tab);
  exec();
}

// ---------------------------------------------------------------------------------------------
// Settings files

bool FOption::SaveTo(const std::string& path) {
  settingFolder_ = SplitPath(path).folder;
  return model_.SaveTo(path, ui_);
}

bool FOption::LoadFrom(const std::string& path) {
  settingFolder_ = SplitPath(path).folder;
  const bool loaded = model_.LoadFrom(path, ui_);
  Fill();
  return loaded;
}

void FOption::SaveAs() {
  QFileDialog dialog(this, QStr(6803), Q(settingFolder_));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters(FilterList(Str(6801)));
  dialog.setDefaultSuffix(QStr(6802).remove('.'));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  SaveTo(PathOf(dialog.selectedFiles().first()));
}

void FOption::LoadCommand() {
  QFileDialog dialog(this, QStr(6804), Q(settingFolder_));
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters(FilterList(Str(6801)));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  LoadFrom(PathOf(dialog.selectedFiles().first()));
}

// ---------------------------------------------------------------------------------------------
// The window's command

FOption& FSismora::OptionDialog() {
  if (options_ == nullptr)
    options_ = new FOption(
        app_, [this] { Redraw(); }, paths_.LastFolderSetting, *this, this);
  return *options_;
}

void FSismora::OptionsCommand(int tab) {
  OptionDialog().ShowDialog(tab);
}

}  // namespace sism
