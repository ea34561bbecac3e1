// The splash window shown while the program loads, reused as the about box.
#pragma once

#include <QDialog>

#include <string>

class QLabel;
class QPushButton;

namespace sism {

// What the about box tells besides the title: the version --version prints, the
// licence and the home page (each left out when empty).
struct AboutFacts {
  std::string version, licence, homepage;
};
// The program's own, from the build.
AboutFacts ProgramAboutFacts();

class FSplash : public QDialog {
  Q_OBJECT
 public:
  explicit FSplash(QWidget* parent = nullptr, const AboutFacts& facts = ProgramAboutFacts());
  void ShowAsSplash();
  // Modal over `window` (its transient child, so that it stays above it without a window
  // manager too), with the licence, the home page and "About Qt". Returns at once: the box
  // is shown, not waited for.
  void ShowAsAbout(QWidget* window = nullptr);
  void OpenAsAbout(QWidget* window = nullptr);
  QString Message() const;
  QString Description() const;
  QString Details() const;
  QPushButton* AboutQtButton() const { return cmdAboutQt_; }

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Hide();
  QLabel *picture_, *lblDescription_, *lblMessage_, *lblDetails_;
  QPushButton* cmdAboutQt_;
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
