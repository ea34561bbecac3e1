// A read-only window for text reports (record properties, peaks). Created once and
// hidden, not destroyed, when closed; each Show replaces its text.
#pragma once

#include <QDialog>
#include <string>

class QPlainTextEdit;

namespace sism {

class FTextViewer : public QDialog {
  Q_OBJECT
 public:
  explicit FTextViewer(QWidget* parent = nullptr);
  void ShowTextViewer(const std::string& title, const std::string& text);
  std::string Text() const;

 private:
  QPlainTextEdit* doc_;
};

}  // namespace sism
