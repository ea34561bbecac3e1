// Start-up of the desktop program: help reference, windows, splash, stored settings,
// command line, main window, and the record named on the command line.
#include <QApplication>
#include <QImage>
#include <QScreen>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/gui/main_window.h"
#include "app/gui/splash.h"
#include "app/gui/start_timing.h"
#include "app/shell/cmdline.h"
#include "app/shell/settings.h"
#include "common/version.h"
#include "draw/qt/page_output.h"
#include "sismcalc/binding/calc.h"

namespace {

const char* kUsage =
    "Usage: sismora [switches] [FILE]\n"
    "Opens FILE, a strong-motion record, in the Sismora window.\n"
    "\n"
    "Switches override the stored preprocessing settings for this run (a switch may also\n"
    "start with / when the argument is not a path):\n"
    "  -hF   high-cut frequency F Hz          -lF   low-cut frequency F Hz\n"
    "        (filter as set in Tool > Preprocess: the FFT filter, or Butterworth)\n"
    "  -sS   skip the first S seconds         -tS   use S seconds from the (new) start\n"
    "  -rA   rotate horizontal pairs by A degrees (-r alone: to the labelled azimuths)\n"
    "  -iN   sensor N for the JMA intensity (0: the record's own)\n"
    "  -c-   do not clip curves to the plot area (-c clips, the default)\n"
    "  -e-   copy graphs as pictures only (-e also as vector drawings, the default)\n"
    "  -v    exported files start with three extra header lines\n"
    "  --review OUTDIR  review a folder written by sismora-cli process (or a folder of records)\n"
    "  --help     this text\n"
    "  --version  the program's version\n"
    "\n"
    "Settings are kept in $XDG_CONFIG_HOME/Sismora/Sismora.ini (~/.config/Sismora/).\n";

}  // namespace

int main(int argc, char** argv) {
  sism::StartTiming timing;
  // Answered before Qt starts, so that they work without a display.
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--version") {
      std::printf("sismora %s\n", sism::kVersionText);
      return 0;
    }
    if (arg == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    }
  }
  QApplication qapp(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Sismora"));
  QApplication::setApplicationVersion(QStringLiteral(SISMORA_VERSION));
  // Ties the windows to the installed menu entry (its icon and name on Wayland).
  QGuiApplication::setDesktopFileName(QStringLiteral(SISMORA_APP_ID));
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
  std::vector<std::string> args(argv + 1, argv + argc);
  const std::string reviewFolder = sism::TakeReviewFolder(args);
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
      // The whole screen as the display stacks the windows (what a user would see).
      if (QScreen* screen = QGuiApplication::primaryScreen())
        screen->grabWindow(0).save(QString(path).replace(QStringLiteral(".png"), QStringLiteral("-screen.png")));
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
  timing.Mark("Qt start");
  if (!reviewFolder.empty()) window.OpenReview(reviewFolder);
  if (!state.run.FileToOpen.empty()) {
    window.ReadFile(state.run.FileToOpen);
    timing.Mark("read");
    const sism::StrongRecord& rec = state.record;
    if (timing.Enabled() && rec.JmaGroup >= 1 && 3 * rec.JmaGroup <= rec.ChanCount && rec.SampFreq >= 1) {
      // The intensity again on its own, for the timing: the read computes it once, in the load statistics.
      const auto begin = std::chrono::steady_clock::now();
      const float dt = 1.0f / static_cast<float>(rec.SampFreq);
      const int32_t n = rec.DataCount, b = 3 * rec.JmaGroup - 2;
      sism::calc::SIJMA(&n, &dt, rec.Channel(b), rec.Channel(b + 1), rec.Channel(b + 2));
      timing.Add("of which one intensity", std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count());
    }
  }
  timing.WatchFirstPaint(window.Picture(), [&window] { return window.Picture()->HasImage(); });
  // SISMORA_VIEW=k shows graph kind k; SISMORA_DIALOG=name opens a dialog (for pictures).
  if (const char* view = std::getenv("SISMORA_VIEW"); view != nullptr && std::atoi(view) > 0)
    window.SetGraphKind(std::atoi(view), false);
  if (const char* dialog = std::getenv("SISMORA_DIALOG"); dialog != nullptr && *dialog != '\0') {
    const std::string name = dialog;
    QTimer::singleShot(300, &window, [&window, name] { window.OpenDialogByName(name); });
  }

  return QApplication::exec();
}
