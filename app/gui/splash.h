// The splash window shown while the program loads, reused as the about box.
#pragma once

#include <QDialog>

class QLabel;

namespace sism {

class FSplash : public QDialog {
  Q_OBJECT
 public:
  explicit FSplash(QWidget* parent = nullptr);
  void ShowAsSplash();
  void ShowAsAbout();
  QString Message() const;
  QString Description() const;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Hide();
  QLabel *picture_, *lblDescription_, *lblMessage_;
};

// Help pages shipped with the program, in a small browser window.
class FHelp : public QDialog {
  Q_OBJECT
 public:
  explicit FHelp(QWidget* parent = nullptr);
  // False when the page cannot be shown.
  bool ShowPage(const QString& file);
};

}  // namespace sism
