#include "app/gui/splash.h"

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QWindow>

#include "app/gui/localize.h"
#include "common/strings.h"
#include "common/version.h"

namespace sism {

AboutFacts ProgramAboutFacts() {
  return {kVersionText, SISMORA_LICENSE, SISMORA_HOMEPAGE};
}

FSplash::FSplash(QWidget* parent, const AboutFacts& facts)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
  InitResources();
  setObjectName("fSplash");
  picture_ = new QLabel(this);
  picture_->setPixmap(QIcon(QStringLiteral(":/icons/sismora.svg")).pixmap(96, 96));
  lblDescription_ = new QLabel(this);
  lblMessage_ = new QLabel(this);
  // The version as --version prints it, so that the two never disagree.
  const std::string description = ProgramTitle() + " (ver. " + facts.version + ")\n" +
                                  "Strong-motion records: reading, processing, spectra and graphs.";
  lblDescription_->setText(QString::fromStdString(description));
  QFont big = lblDescription_->font();
  big.setPointSize(big.pointSize() + 3);
  lblDescription_->setFont(big);
  lblDetails_ = new QLabel(this);
  lblDetails_->setObjectName("lblDetails");
  QStringList details;
  if (!facts.licence.empty())
    details << QStringLiteral("Licence: %1").arg(QString::fromStdString(facts.licence).toHtmlEscaped());
  if (!facts.homepage.empty()) {
    const QString url = QString::fromStdString(facts.homepage).toHtmlEscaped();
    details << QStringLiteral("Home page: <a href=\"%1\">%1</a>").arg(url);
  }
  lblDetails_->setText(details.join(QStringLiteral("<br>")));
  lblDetails_->setTextFormat(Qt::RichText);
  lblDetails_->setOpenExternalLinks(true);
  lblDetails_->setTextInteractionFlags(Qt::TextBrowserInteraction);
  lblDetails_->hide();
  cmdAboutQt_ = new QPushButton(QStringLiteral("About &Qt"), this);
  cmdAboutQt_->setObjectName("cmdAboutQt");
  cmdAboutQt_->setAutoDefault(false);
  cmdAboutQt_->hide();
  connect(cmdAboutQt_, &QPushButton::clicked, this, [this] { QMessageBox::aboutQt(this); });
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(lblMessage_, 1);
  bottom->addWidget(cmdAboutQt_);
  auto* text = new QVBoxLayout;
  text->addWidget(lblDescription_);
  text->addWidget(lblDetails_);
  text->addStretch();
  text->addLayout(bottom);
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

void FSplash::OpenAsAbout(QWidget* window) {
  lblMessage_->setText(QStringLiteral("Click me to hide"));
  lblDetails_->setVisible(!lblDetails_->text().isEmpty());
  cmdAboutQt_->show();
  setFixedSize(QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
  setMinimumSize(0, 0);
  adjustSize();
  setFixedSize(std::max(width(), 460), std::max(height(), 160));
  setWindowModality(Qt::ApplicationModal);
  if (window != nullptr) {
    // Over the window, and tied to it: without a window manager nothing else keeps a
    // modal box from opening behind it.
    const QRect area = window->frameGeometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    winId();
    if (QWindow* own = windowHandle(); own != nullptr && window->window()->windowHandle() != nullptr)
      own->setTransientParent(window->window()->windowHandle());
  }
  show();
  raise();
  activateWindow();
}

void FSplash::ShowAsAbout(QWidget* window) {
  // Modal without a loop of its own: the caller returns at once and the box closes itself
  // on a click, Esc or Enter, so nothing waits on it (a test or a picture neither).
  OpenAsAbout(window);
}

QString FSplash::Details() const {
  return lblDetails_->text();
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
