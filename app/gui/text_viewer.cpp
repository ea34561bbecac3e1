#include "app/gui/text_viewer.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace sism {

FTextViewer::FTextViewer(QWidget* parent) : QDialog(parent), doc_(new QPlainTextEdit(this)) {
  setObjectName("fTextViewer");
  doc_->setReadOnly(true);
  doc_->setLineWrapMode(QPlainTextEdit::NoWrap);
  // Reports line their columns up with blanks.
  doc_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(doc_);
  resize(560, 480);
}

void FTextViewer::ShowTextViewer(const std::string& title, const std::string& text) {
  setWindowTitle(QString::fromStdString(title));
  QString t = QString::fromStdString(text);
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  doc_->setPlainText(t);
  show();
  raise();
  activateWindow();
}

std::string FTextViewer::Text() const {
  return doc_->toPlainText().toStdString();
}

}  // namespace sism
