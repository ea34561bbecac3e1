#include "app/gui/localize.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QToolBar>
#include <QWidget>

#include "common/strings.h"
#include "common/text.h"

// Resources of a static library are registered by name.
static void RegisterSismoraResources() {
  Q_INIT_RESOURCE(sismora);
}

namespace sism {

void InitResources() {
  static const bool done = (RegisterSismoraResources(), true);
  (void)done;
}

namespace {
constexpr const char* kTextId = "textId";
constexpr const char* kTipId = "tipId";
constexpr const char* kKeyHint = "keyHint";

// The number an object carries, 0 when it carries none.
int IdOf(const QObject* object, const char* name) {
  const QVariant v = object->property(name);
  return v.isValid() ? v.toInt() : 0;
}

bool Lookup(int id, QString& text) {
  if (id <= 0 || !HasStr(id)) return false;
  text = QString::fromStdString(Str(id));
  return true;
}

void LocalizeAction(QAction* action) {
  QString text;
  if (Lookup(IdOf(action, kTextId), text)) {
    const QString hint = action->property(kKeyHint).toString();
    action->setText(hint.isEmpty() ? text : text + QLatin1Char('\t') + hint);
  }
  if (Lookup(IdOf(action, kTipId), text)) action->setToolTip(text);
  if (QMenu* sub = action->menu()) {
    if (Lookup(IdOf(sub, kTextId), text)) sub->setTitle(text);
    for (QAction* a : sub->actions()) LocalizeAction(a);
  }
}
}  // namespace

void SetTextId(QObject* object, int id) {
  object->setProperty(kTextId, id);
}

void SetTipId(QObject* object, int id) {
  object->setProperty(kTipId, id);
}

void SetKeyHint(QAction* action, const char* key) {
  action->setProperty(kKeyHint, QString::fromLatin1(key));
}

QString QStr(int id) {
  return QString::fromStdString(Str(id));
}

void LocalizeForm(QWidget* form) {
  if (form == nullptr) return;
  QFont font(QString::fromStdString(Str(1001)));
  const int size = static_cast<int>(Val(Str(1002)));
  if (size > 0) font.setPointSize(size);
  font.setBold(false);
  font.setItalic(false);
  form->setFont(font);
  QString text;
  if (Lookup(IdOf(form, kTextId), text)) form->setWindowTitle(text);

  for (QWidget* w : form->findChildren<QWidget*>()) {
    if (auto* label = qobject_cast<QLabel*>(w)) {
      if (Lookup(IdOf(w, kTextId), text)) label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
      if (Lookup(IdOf(w, kTextId), text)) button->setText(text);
    } else if (auto* frame = qobject_cast<QGroupBox*>(w)) {
      if (Lookup(IdOf(w, kTextId), text)) frame->setTitle(text);
    } else if (auto* menu = qobject_cast<QMenu*>(w)) {
      if (Lookup(IdOf(w, kTextId), text)) menu->setTitle(text);
    } else if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
      for (int i = 0; i < tabs->count(); ++i) {
        QWidget* page = tabs->widget(i);
        if (Lookup(IdOf(page, kTextId), text)) tabs->setTabText(i, text);
        if (Lookup(IdOf(page, kTipId), text)) tabs->setTabToolTip(i, text);
      }
    }
    if (Lookup(IdOf(w, kTipId), text)) w->setToolTip(text);
  }
  // Menu items and toolbar buttons are actions, not widgets.
  for (QAction* a : form->findChildren<QAction*>()) LocalizeAction(a);
}

}  // namespace sism
