#include "app/gui/text_viewer.h"

#include <QAction>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QHideEvent>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextDocument>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

#include "app/gui/localize.h"
#include "app/gui/qt_strings.h"
#include "app/shell/properties_report.h"
#include "app/shell/settings.h"
#include "app/shell/view_commands.h"
#include "common/errors.h"
#include "common/files.h"
#include "common/strings.h"
#include "common/text.h"
#include "common/ui.h"

namespace sism {

namespace {

constexpr std::array<int, 18> kFontSteps = {6,  7,  8,  9,  10, 11, 12, 14, 16,
                                            18, 20, 22, 24, 28, 32, 36, 48, 72};

QStringList FilterList(const std::string& filter) {
  const std::vector<std::string> parts = Split(filter, "|");
  QStringList out;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) out << Q(parts[i]);
  return out;
}

}  // namespace

FTextViewer::FTextViewer(QWidget* parent, UserInterface* ui)
    : QDialog(parent), ui_(ui), doc_(new QPlainTextEdit(this)), toolBar_(new QToolBar(this)) {
  setObjectName("fTextViewer");
  SetTextId(this, 12000);
  doc_->setObjectName("txtDoc");
  doc_->setReadOnly(true);
  doc_->setLineWrapMode(QPlainTextEdit::NoWrap);
  // Reports line their columns up with blanks.
  font_ = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font_.setPointSize(10);
  doc_->setFont(font_);

  toolBar_->setObjectName("Toolbar");
  toolBar_->setIconSize(QSize(20, 20));
  struct KeyDef {
    const char* key;
    int tip;
    void (FTextViewer::*run)();
  };
  const KeyDef keys[] = {{"Clear", 12011, &FTextViewer::ClearDoc},
                         {"Save", 12012, &FTextViewer::SaveCommand},
                         {"Print", 12013, &FTextViewer::PrintCommand},
                         {"Font", 12016, &FTextViewer::FontCommand},
                         {"LargeFont", 12014, nullptr},
                         {"SmallFont", 12015, nullptr},
                         {"Close", 12017, &FTextViewer::HideTextViewer}};
  for (const KeyDef& k : keys) {
    QAction* a =
        toolBar_->addAction(QIcon(QStringLiteral(":/icons/viewer/%1.svg").arg(QString::fromLatin1(k.key))),
                            QString::fromLatin1(k.key));
    a->setObjectName(k.key);
    SetTipId(a, k.tip);
    if (k.run != nullptr) connect(a, &QAction::triggered, this, [this, run = k.run] { (this->*run)(); });
    // Text and file keys, then the font keys, then Close.
    if (std::string(k.key) == "Print" || std::string(k.key) == "SmallFont") toolBar_->addSeparator();
  }
  connect(Key("LargeFont"), &QAction::triggered, this, [this] { LargerFont(); });
  connect(Key("SmallFont"), &QAction::triggered, this, [this] { SmallerFont(); });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(toolBar_);
  layout->addWidget(doc_);
  LocalizeForm(this);
  // The form font does not suit the document's columns.
  doc_->setFont(font_);
  resize(640, 480);
  RestorePosition();
}

QAction* FTextViewer::Key(const char* key) const {
  return toolBar_->findChild<QAction*>(QString::fromLatin1(key));
}

void FTextViewer::ShowTextViewer(const std::string& title, const std::string& text) {
  SetTitle(title);
  QString t = Q(text);
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  doc_->setPlainText(t);
  show();
  raise();
  activateWindow();
}

void FTextViewer::ShowHex(std::string_view bytes, const std::string& title) {
  QFont hex(QStringLiteral("Courier New"), font_.pointSize());
  hex.setStyleHint(QFont::TypeWriter);
  hex.setFixedPitch(true);
  SetFont(hex);
  ShowTextViewer(title.empty() ? Title() : title, HexDumpText(bytes));
}

void FTextViewer::ClearDoc() {
  doc_->clear();
}

void FTextViewer::SetFont(const QFont& font) {
  font_ = font;
  doc_->setFont(font_);
}

std::string FTextViewer::Title() const {
  return windowTitle().toStdString();
}

void FTextViewer::SetTitle(const std::string& title) {
  setWindowTitle(Q(title));
}

std::string FTextViewer::Text() const {
  return doc_->toPlainText().toStdString();
}

bool FTextViewer::LargerFont() {
  const int size = font_.pointSize();
  const auto next = std::upper_bound(kFontSteps.begin(), kFontSteps.end(), size);
  if (next == kFontSteps.end()) return false;
  QFont f = font_;
  f.setPointSize(*next);
  SetFont(f);
  return true;
}

bool FTextViewer::SmallerFont() {
  const int size = font_.pointSize();
  const auto below = std::lower_bound(kFontSteps.begin(), kFontSteps.end(), size);
  if (below == kFontSteps.begin()) return false;
  QFont f = font_;
  f.setPointSize(*std::prev(below));
  SetFont(f);
  return true;
}

void FTextViewer::Report(const std::string& text) {
  if (ui_ != nullptr)
    ui_->MsgBox(text, MsgIcon::Critical, ProgramTitle());
  else
    QMessageBox::critical(this, Q(ProgramTitle()), Q(text));
}

bool FTextViewer::SaveTo(const std::string& path) {
  try {
    QString text = doc_->toPlainText();
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    AtomicFileWriter out(path);
    out.Write(text.toStdString());
    out.Commit();
    return true;
  } catch (const std::exception& e) {
    const ErrorInfo info = CurrentErrorInfo(e);
    Report("Failed to write " + path + " (Err#" + std::to_string(info.number) + ": " + info.description +
           ")");
    return false;
  }
}

bool FTextViewer::PrintTo(QPagedPaintDevice& device) {
  QTextDocument doc;
  doc.setDefaultFont(font_);
  doc.setPlainText(doc_->toPlainText());
  doc.print(&device);
  return true;
}

void FTextViewer::SaveCommand() {
  QFileDialog dialog(this, QStr(12003));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters(FilterList(Str(12004)));
  dialog.setDefaultSuffix(QStr(12002));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  SaveTo(PathOf(dialog.selectedFiles().first()));
}

void FTextViewer::PrintCommand() {
  QPrinter printer(QPrinter::HighResolution);
  const QPrinterInfo defaultPrinter = QPrinterInfo::defaultPrinter();
  if (!defaultPrinter.isNull()) {
    printer.setPrinterName(defaultPrinter.printerName());
  } else {
    // Without a printer the pages go to a PDF file.
    QFileDialog dialog(this, QStr(12006));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(FilterList(Str(12005)));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dialog.selectedFiles().first());
  }
  PrintTo(printer);
}

void FTextViewer::FontCommand() {
  bool ok = false;
  const QFont chosen = QFontDialog::getFont(&ok, font_, this);
  if (ok) SetFont(chosen);
}

void FTextViewer::RestorePosition() {
  // Each key defaults to the window's own placement.
  TextViewerPlacement t;
  t.Left = static_cast<float>(TwipsFromPixels(x()));
  t.Top = static_cast<float>(TwipsFromPixels(y()));
  t.Width = static_cast<float>(TwipsFromPixels(width()));
  t.Height = static_cast<float>(TwipsFromPixels(height()));
  const TextViewerPlacement built = t;
  LoadTextViewerPlacement(t);
  // Absurd stored sizes fall back to sizes that fit a screen.
  const int w = std::clamp(PixelsFromTwips(t.Width), 200, 10000);
  const int h = std::clamp(PixelsFromTwips(t.Height), 150, 10000);
  resize(w, h);
  if (t.Left != built.Left || t.Top != built.Top)
    move(std::clamp(PixelsFromTwips(t.Left), -w + 50, 20000), std::clamp(PixelsFromTwips(t.Top), 0, 20000));
}

void FTextViewer::SavePosition() {
  TextViewerPlacement t;
  const QRect f = frameGeometry();
  t.Left = static_cast<float>(TwipsFromPixels(f.x()));
  t.Top = static_cast<float>(TwipsFromPixels(f.y()));
  t.Width = static_cast<float>(TwipsFromPixels(width()));
  t.Height = static_cast<float>(TwipsFromPixels(height()));
  try {
    SaveTextViewerPlacement(t);
  } catch (const std::exception&) {
    // The placement is a convenience: an unwritable store only costs it.
  }
}

void FTextViewer::hideEvent(QHideEvent* event) {
  // Minimising with the main window is no closing.
  if (!event->spontaneous()) SavePosition();
  QDialog::hideEvent(event);
}

}  // namespace sism
