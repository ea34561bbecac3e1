// Start-up of the desktop program: help reference, windows, splash, stored settings,
// command line, main window, and the record named on the command line.
#include <QApplication>
#include <QImage>
#include <QTimer>
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
  if (!state.run.FileToOpen.empty()) window.ReadFile(state.run.FileToOpen);

  // SISMORA_SCREENSHOT=file.png: save a picture of the window once it is shown, then quit.
  if (const char* shot = std::getenv("SISMORA_SCREENSHOT"); shot != nullptr && *shot != '\0') {
    const QString path = QString::fromLocal8Bit(shot);
    QTimer::singleShot(800, &window, [&window, path] {
      window.grab().save(path);
      window.close();
    });
  }
  return QApplication::exec();
}
