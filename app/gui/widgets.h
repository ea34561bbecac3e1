// Small builders of captioned controls that every dialog uses.
#pragma once

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace sism {

// A label with the string `textId` that gives its access key to `buddy`.
QLabel* Label(int textId, QWidget* buddy, QWidget* parent);
QCheckBox* Check(int textId, QWidget* parent);
QPushButton* Button(int textId, QWidget* parent);
// Line edits that select their whole text when entered.
void SelectAllOnFocus(QLineEdit* edit);

}  // namespace sism
