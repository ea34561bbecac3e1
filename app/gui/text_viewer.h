// A read-only window for text reports (record properties, peaks, hexadecimal dumps).
// Created once and hidden, not destroyed, when closed; each Show replaces its text. Its
// toolbar clears, saves, prints and resizes the text; its placement is kept per user.
#pragma once

#include <QDialog>
#include <QFont>
#include <string>
#include <string_view>

class QPagedPaintDevice;
class QPlainTextEdit;
class QToolBar;

namespace sism {

class UserInterface;

class FTextViewer : public QDialog {
  Q_OBJECT
 public:
  // Messages (a failed save or print) go through `ui` when given.
  explicit FTextViewer(QWidget* parent = nullptr, UserInterface* ui = nullptr);

  void ShowTextViewer(const std::string& title, const std::string& text);
  // A dump of `bytes`, 16 a line, in a fixed-pitch font.
  void ShowHex(std::string_view bytes, const std::string& title = {});
  void HideTextViewer() { hide(); }
  void ClearDoc();
  void SetFont(const QFont& font);
  // Stores the window's placement (section "TextViewer").
  void SavePosition();
  std::string Title() const;
  void SetTitle(const std::string& title);

  std::string Text() const;
  QFont Font() const { return font_; }
  QToolBar* ToolBar() const { return toolBar_; }
  // The toolbar keys: Clear, Save, Print, Font, LargeFont, SmallFont, Close.
  QAction* Key(const char* key) const;

  // One step up or down the font sizes; false at either end.
  bool LargerFont();
  bool SmallerFont();
  // The text into a file (lines end with CR LF), replacing it only when all was written.
  bool SaveTo(const std::string& path);
  // The text on the pages of `device` in the viewer's font.
  bool PrintTo(QPagedPaintDevice& device);

  // The commands behind the keys that ask the user first.
  void SaveCommand();
  void PrintCommand();
  void FontCommand();

 protected:
  void hideEvent(QHideEvent* event) override;

 private:
  void RestorePosition();
  void Report(const std::string& text);

  UserInterface* ui_;
  QPlainTextEdit* doc_;
  QToolBar* toolBar_;
  QFont font_;
};

}  // namespace sism
