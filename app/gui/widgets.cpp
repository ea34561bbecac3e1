#include "app/gui/widgets.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "app/gui/localize.h"

namespace sism {

namespace {

// Selects the whole text once the edit has the focus (after Qt placed the cursor).
class SelectAllFilter : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::FocusIn) {
      auto* edit = qobject_cast<QLineEdit*>(watched);
      if (edit) QTimer::singleShot(0, edit, &QLineEdit::selectAll);
    }
    return false;
  }
};

}  // namespace

QLabel* Label(int textId, QWidget* buddy, QWidget* parent) {
  auto* label = new QLabel(parent);
  SetTextId(label, textId);
  label->setBuddy(buddy);
  return label;
}

QCheckBox* Check(int textId, QWidget* parent) {
  auto* box = new QCheckBox(parent);
  SetTextId(box, textId);
  return box;
}

QPushButton* Button(int textId, QWidget* parent) {
  auto* button = new QPushButton(parent);
  SetTextId(button, textId);
  return button;
}

void SelectAllOnFocus(QLineEdit* edit) {
  edit->installEventFilter(new SelectAllFilter(edit));
}

}  // namespace sism
