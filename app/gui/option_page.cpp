#include <QColorDialog>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include "app/gui/localize.h"
#include "app/gui/option_pages.h"
#include "app/gui/option_window.h"
#include "app/gui/widgets.h"

namespace sism {

namespace {

QColor ToQColor(RgbColor c) {
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

RgbColor FromQColor(const QColor& c) {
  return c.red() | (c.green() << 8) | (c.blue() << 16);
}

}  // namespace

QIcon ColorSwatch(RgbColor c) {
  QPixmap p(20, 14);
  p.fill(ColorOf(c));
  QPainter painter(&p);
  painter.setPen(Qt::darkGray);
  painter.drawRect(0, 0, p.width() - 1, p.height() - 1);
  return QIcon(p);
}

QColor ColorOf(RgbColor c) {
  return ToQColor(c);
}

QComboBox* StyleList(QWidget* parent) {
  auto* c = new QComboBox(parent);
  for (int id = 6091; id <= 6095; ++id) c->addItem(QStr(id));
  return c;
}

OptionPage::OptionPage(FOption& dialog) : QWidget(&dialog), dialog_(dialog) {}

OptionDialogModel& OptionPage::model() {
  return dialog_.Model();
}

UserInterface& OptionPage::ui() {
  return dialog_.Ui();
}

void OptionPage::FillAll() {
  dialog_.Fill();
}

void OptionPage::Changed() {
  dialog_.UpdateApply();
}

void OptionPage::Refresh() {
  Fill();
  for (auto& refresh : swatches_) refresh();
}

QLineEdit* OptionPage::Field(Model::Field f, QWidget* parent) {
  return dialog_.AddField(f, parent);
}

QPushButton* OptionPage::PageButton(int textId, QWidget* parent) {
  QPushButton* b = Button(textId, parent);
  b->setAutoDefault(false);
  return b;
}

QPushButton* OptionPage::ColorButton(int textId, QWidget* parent, std::function<RgbColor()> get,
                                     std::function<void(RgbColor)> set) {
  QPushButton* b = PageButton(textId, parent);
  swatches_.push_back([b, get] { b->setIcon(ColorSwatch(get())); });
  connect(b, &QPushButton::clicked, this, [this, b, get, set] {
    const QColor c =
        QColorDialog::getColor(ToQColor(get()), this, b->text().remove('&').remove(QStringLiteral("...")));
    if (!c.isValid()) return;
    set(FromQColor(c));
    FillAll();
  });
  return b;
}

}  // namespace sism
