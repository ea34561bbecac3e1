// Start-up of the desktop program: help reference, windows, splash, stored settings,
// command line, main window, and the record named on the command line.
#include <QApplication>
#include <QImage>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/gui/main_window.h"
#include "app/gui/splash.h"
#include "app/shell/cmdline.h"
#include "app/shell/settings.h"
#include "draw/qt/page_output.h"

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Sismora"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/sismora.svg")));
  sism::InstallFontSubstitutes();

  // The help shipped with the program: its contents page, then the pop-up texts.
  const std::string helpReference = ":/help/index.html::/popup.txt";

  sism::AppState state;
  sism::FSplash splash;
  splash.ShowAsSplash();
  sism::FSismora window(state);
  window.SetHelpReference(helpReference);
  window.SetSplash(&splash);
  window.Load();

  sism::LoadStoredSettings(state);
  // Qt has taken its own options out of argv by now.
  const std::vector<std::string> args(argv + 1, argv + argc);
  sism::ApplyArguments(args, state.preproc, state.run);

  splash.hide();
  window.show();
  // The keyboard table works on the window itself, not on one of its controls.
  window.activateWindow();
  window.setFocus();
  // SISMORA_SCREENSHOT=file.png: once shown, save a picture of the window, print its caption
  // and status panels, and quit (set before the first read, whose messages may be modal).
  if (const char* shot = std::getenv("SISMORA_SCREENSHOT"); shot != nullptr && *shot != '\0') {
    const QString path = QString::fromLocal8Bit(shot);
    QTimer::singleShot(1500, &window, [&window, path] {
      for (QWidget* w : QApplication::topLevelWidgets())
        if (w != &window && w->isVisible() && w->isModal()) {
          w->grab().save(QString(path).replace(QStringLiteral(".png"), QStringLiteral("-dialog.png")));
          w->close();
        } else if (w != &window && w->isVisible() && w->objectName() == QLatin1String("fTextViewer")) {
          w->grab().save(QString(path).replace(QStringLiteral(".png"), QStringLiteral("-viewer.png")));
        }
      window.grab().save(path);
      std::fprintf(stderr, "%s | %s | %s\n", window.windowTitle().toLocal8Bit().constData(),
                   window.StatusMessageText().c_str(), window.StatusParamsText().c_str());
      window.close();
    });
  }
  if (!state.run.FileToOpen.empty()) window.ReadFile(state.run.FileToOpen);
  // SISMORA_VIEW=k shows graph kind k; SISMORA_DIALOG=name opens a dialog (for pictures).
  if (const char* view = std::getenv("SISMORA_VIEW"); view != nullptr && std::atoi(view) > 0)
    window.SetGraphKind(std::atoi(view), false);
  if (const char* dialog = std::getenv("SISMORA_DIALOG"); dialog != nullptr && *dialog != '\0') {
    const std::string name = dialog;
    QTimer::singleShot(300, &window, [&window, name] { window.OpenDialogByName(name); });
  }

  return QApplication::exec();
}
