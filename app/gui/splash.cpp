#include "app/gui/splash.h"

#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "app/gui/localize.h"
#include "common/strings.h"
#include "common/version.h"
#include "common/text.h"

namespace sism {

FSplash::FSplash(QWidget* parent) : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
  InitResources();
  setObjectName("fSplash");
  picture_ = new QLabel(this);
  picture_->setPixmap(QIcon(QStringLiteral(":/icons/sismora.svg")).pixmap(96, 96));
  lblDescription_ = new QLabel(this);
  lblMessage_ = new QLabel(this);
  const std::string description = ProgramTitle() + " (ver. " + std::to_string(kVersionMajor) + "." +
                                  FormatNumber(int32_t{kVersionMinor}, "00") + ")\n" +
                                  "Strong-motion records: reading, processing, spectra and graphs.";
  lblDescription_->setText(QString::fromStdString(description));
  QFont big = lblDescription_->font();
  big.setPointSize(big.pointSize() + 3);
  lblDescription_->setFont(big);
  auto* text = new QVBoxLayout;
  text->addWidget(lblDescription_);
  text->addStretch();
  text->addWidget(lblMessage_);
  auto* top = new QHBoxLayout(this);
  top->setContentsMargins(24, 24, 24, 24);
  top->setSpacing(20);
  top->addWidget(picture_);
  top->addLayout(text);
  setStyleSheet(QStringLiteral("#fSplash { background: white; border: 1px solid #777; }"));
  for (QWidget* w : {static_cast<QWidget*>(picture_), static_cast<QWidget*>(lblDescription_),
                     static_cast<QWidget*>(lblMessage_)})
    w->installEventFilter(this);
  adjustSize();
  setFixedSize(std::max(width(), 460), std::max(height(), 160));
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
  }
}

void FSplash::ShowAsSplash() {
  lblMessage_->setText(QStringLiteral("Please wait for loading..."));
  show();
  repaint();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void FSplash::ShowAsAbout() {
  lblMessage_->setText(QStringLiteral("Click me to hide"));
  exec();
}

QString FSplash::Message() const {
  return lblMessage_->text();
}

QString FSplash::Description() const {
  return lblDescription_->text();
}

void FSplash::Hide() {
  if (isModal()) {
    accept();
  } else {
    hide();
  }
}

void FSplash::mousePressEvent(QMouseEvent*) {
  Hide();
}

void FSplash::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    Hide();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool FSplash::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress) {
    Hide();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

FHelp::FHelp(QWidget* parent) : QDialog(parent) {
  setObjectName("fHelp");
  setWindowTitle(QString::fromStdString(ProgramTitle()));
  auto* browser = new QTextBrowser(this);
  browser->setObjectName("browser");
  browser->setOpenExternalLinks(true);
  auto* top = new QVBoxLayout(this);
  top->setContentsMargins(0, 0, 0, 0);
  top->addWidget(browser);
  resize(640, 560);
}

bool FHelp::ShowPage(const QString& file) {
  if (!QFile::exists(file)) return false;
  auto* browser = findChild<QTextBrowser*>("browser");
  browser->setSource(QUrl::fromLocalFile(file).isValid() && !file.startsWith(':') ? QUrl::fromLocalFile(file)
                                                                                  : QUrl("qrc" + file));
  show();
  raise();
  return true;
}

}  // namespace sism
