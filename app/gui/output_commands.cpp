#include "app/gui/output_commands.h"

#include <QBuffer>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QPrintDialog>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>
#include <algorithm>
#include <fstream>
#include <stdexcept>

#include "app/gui/localize.h"
#include "app/gui/qt_strings.h"
#include "app/gui/screen_host.h"
#include "app/gui/text_viewer.h"
#include "app/shell/export.h"
#include "app/shell/metrics_report.h"
#include "record/reader.h"
#include "record/writers.h"
#include "app/shell/peaks_report.h"
#include "app/shell/properties_report.h"
#include "app/shell/settings.h"
#include "common/errors.h"
#include "common/files.h"
#include "common/path.h"
#include "common/strings.h"
#include "common/text.h"
#include "draw/draw_graph.h"
#include "draw/image_output.h"
#include "draw/qt/page_output.h"
#include "load/statistics.h"
#include "state/app_state.h"

namespace sism {

OutputCommands::OutputCommands(QWidget& window, AppState& app, DrawSession& session, ScreenHost& host,
                               UserInterface& ui, PathSettings& paths)
    : window_(window), app_(app), session_(session), host_(host), ui_(ui), paths_(paths) {}

bool OutputCommands::PrintTo(QPagedPaintDevice& device, int32_t reportSelector) {
  const int32_t kind = app_.view.GraphKind;
  if (kind <= 0) return false;
  host_.SetPrintDevice(&device);
  bool ok = true;
  try {
    DrawGraph(app_, session_, host_, ui_, TargetPrinter, kind, reportSelector);
  } catch (const std::exception& e) {
    ok = false;
    ui_.MsgBox(CurrentErrorInfo(e).description, MsgIcon::Critical, "Print - " + ProgramTitle());
  }
  host_.SetPrintDevice(nullptr);
  return ok;
}

void OutputCommands::Print(int32_t reportSelector) {
  if (app_.view.GraphKind <= 0) return;
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, &window_);
  if (dialog.exec() != QDialog::Accepted) return;
  PrintTo(printer, reportSelector);
}

void OutputCommands::Copy(int32_t reportSelector) {
  const int32_t kind = app_.view.GraphKind;
  if (kind <= 0) return;
  try {
    DrawGraph(app_, session_, host_, ui_, TargetClipboard, kind, reportSelector);
  } catch (const std::exception& e) {
    ui_.MsgBox(CurrentErrorInfo(e).description, MsgIcon::Critical, "Copy - " + ProgramTitle());
  }
}

void OutputCommands::CopyBitmap() {
  if (host_.PictureShown() && !host_.Image().isNull()) QApplication::clipboard()->setImage(host_.Image());
}

void OutputCommands::SaveImageAs() {
  if (!host_.PictureShown()) return;
  const std::vector<std::string> parts = Split(kImageFilter, "|");
  QStringList filters;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) filters << Q(parts[i]).replace("(", " (");
  filters << QStringLiteral("SVG file (*.svg)") << QStringLiteral("PDF file (*.pdf)");
  QFileDialog dialog(&window_, QStr(1170).remove('&').remove("..."), Q(paths_.LastFolderImage));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters(filters);
  dialog.setDefaultSuffix(Q(std::string(kImageDefaultExt).substr(1)));
  // The overwrite question is our own.
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
    for (const char* ext : {"bmp", "svg", "pdf", "png"})
      if (filter.contains(QLatin1String(ext)) || std::string(ext) == "png") {
        dialog.setDefaultSuffix(QLatin1String(ext));
        break;
      }
  });
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const std::string path = PathOf(dialog.selectedFiles().first());
  paths_.LastFolderImage = SplitPath(path).folder;
  int32_t dpi = 0;
  if (LCase(SplitPath(path).ext) == ".png") {
    // The screen picture as it is, or the page drawn again at a chosen resolution.
    bool ok = false;
    const int chosen = QInputDialog::getInt(&window_, QStr(1170).remove('&').remove("..."),
                                            QStringLiteral("Resolution (pixels per inch, 0: as on screen):"), 0,
                                            0, 2400, 50, &ok);
    if (!ok) return;
    dpi = chosen;
  }
  SaveImage(path, dpi);
}

bool OutputCommands::SaveImage(const std::string& path, int32_t dpi) {
  if (!host_.PictureShown() || host_.Image().isNull()) return false;
  if (!ConfirmImageOverwrite(path, ui_)) return false;
  const std::string ext = LCase(SplitPath(path).ext);
  if (ext == ".svg" || ext == ".pdf") return SavePage(path, ext == ".pdf");
  QImage image = host_.Image();
  if (dpi > 0) {
    // The page drawn again at the resolution asked for, as a clipboard bitmap.
    const bool enhanced = app_.run.SwitchE;
    app_.run.SwitchE = true;
    host_.SetBitmapSink(&image, std::min(dpi, 2400));
    try {
      DrawGraph(app_, session_, host_, ui_, TargetClipboard, app_.view.GraphKind, session_.reportState);
    } catch (const std::exception&) {
      image = QImage();
    }
    host_.SetBitmapSink(nullptr, 0);
    app_.run.SwitchE = enhanced;
    if (image.isNull()) {
      ui_.MsgBox("Failed to write " + path + " (the page is too large at " + std::to_string(dpi) + " dpi)",
                 MsgIcon::Critical, "SaveImage - " + ProgramTitle());
      return false;
    }
  }
  std::string error;
  if (!WriteImageFile(image, path, ImageFormatFor(path), error)) {
    ui_.MsgBox("Failed to write " + path + " (" + error + ")", MsgIcon::Critical,
               "SaveImage - " + ProgramTitle());
    return false;
  }
  return true;
}

bool OutputCommands::SavePage(const std::string& path, bool pdf) {
  const int32_t kind = app_.view.GraphKind;
  bool ok = false;
  try {
    if (pdf) {
      // One page the size of the graph page with the printer's 10 mm offset on each side.
      const PageGeometry page =
          ComputePageGeometry(app_, kind, static_cast<int32_t>(ChannelsToDraw(app_).size()));
      QByteArray pdfBytes;
      {
        QBuffer buffer(&pdfBytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QSizeF(page.width / 100.0 + 20, page.height / 100.0 + 20), QPageSize::Millimeter));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setResolution(600);
        writer.setCreator(Q(ProgramTitle()));
        ok = PrintTo(writer, session_.reportState);
      }
      if (!ok || pdfBytes.isEmpty()) throw std::runtime_error("nothing was drawn");
      // Renamed over the old file, which stays whole until the new one is.
      AtomicFileWriter w(path);
      w.Write(std::string_view(pdfBytes.constData(), static_cast<std::size_t>(pdfBytes.size())));
      w.Commit();
      return true;
    } else {
      QByteArray svg;
      const bool enhanced = app_.run.SwitchE;
      app_.run.SwitchE = true;  // the vector picture at the reference resolution
      host_.SetPictureSink(&svg);
      DrawGraph(app_, session_, host_, ui_, TargetClipboard, kind, session_.reportState);
      host_.SetPictureSink(nullptr);
      app_.run.SwitchE = enhanced;
      if (svg.isEmpty()) throw std::runtime_error("nothing was drawn");
      AtomicFileWriter w(path);
      w.Write(std::string_view(svg.constData(), static_cast<std::size_t>(svg.size())));
      w.Commit();
      return true;
    }
  } catch (const std::exception& e) {
    host_.SetPictureSink(nullptr);
    ui_.MsgBox("Failed to write " + path + " (" + CurrentErrorInfo(e).description + ")", MsgIcon::Critical,
               "SaveImage - " + ProgramTitle());
    return false;
  }
}

bool OutputCommands::ConfirmOverwrite(const std::string& path) {
  return !FileExists(path) || ui_.AskYesNo(OverwriteQuestion(path), ProgramTitle());
}

void OutputCommands::SaveAcAs() {
  if (app_.record.ChanCount < 1) return;
  const std::vector<std::string> filter = Split(Str(8140), "|");
  QFileDialog dialog(&window_, QStr(8142), Q(paths_.LastFolderSave));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // .ac first, then the formats other programs read, in the writers' order.
  QStringList filters;
  filters << Q(filter.empty() ? std::string() : filter[0]);
  for (const WriterRow& w : RecordWriters())
    if (w.id != WriterId::Ac) filters << Q(WriterFilter(w));
  dialog.setNameFilters(filters);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);  // the question is our own
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  SaveRecordTo(PathOf(dialog.selectedFiles().first()),
               std::max(0, static_cast<int32_t>(filters.indexOf(dialog.selectedNameFilter()))));
}

bool OutputCommands::SaveAcTo(const std::string& chosen) {
  return SaveRecordTo(chosen, 0);
}

bool OutputCommands::SaveRecordTo(const std::string& chosen, int32_t filterIndex) {
  // The extension names the format; a name without one, or with one no writer has, takes
  // the filter's.
  const std::vector<WriterRow>& writers = RecordWriters();
  const WriterRow* w = WriterOfPath(chosen);
  if (w == nullptr)
    w = &writers[static_cast<std::size_t>(
        std::clamp<int32_t>(filterIndex, 0, static_cast<int32_t>(writers.size()) - 1))];
  const std::string path = SaveFileName(chosen, *w);
  TakeShownLabels(app_);
  for (const std::string& file : WrittenFiles(*w, path, app_.record))
    if (FileExists(file)) {
      if (!ConfirmOverwrite(file)) return false;
      break;
    }
  paths_.LastFolderSave = SplitPath(path).folder;
  return SaveRecordAs(app_, *w, path, ui_);
}

void OutputCommands::ExportAs(int32_t kind) {
  if (app_.record.ChanCount < 1) return;
  const std::vector<std::string> parts = Split(Str(8130), "|");
  QStringList filters;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) filters << Q(parts[i]);
  QFileDialog dialog(&window_, Q(ExportDialogTitle(kind)), Q(paths_.LastFolderSave));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters(filters);
  if (exportFilterIndex_ >= 1 && exportFilterIndex_ <= filters.size())
    dialog.selectNameFilter(filters[exportFilterIndex_ - 1]);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const int32_t index = static_cast<int32_t>(filters.indexOf(dialog.selectedNameFilter())) + 1;
  ExportTo(kind, PathOf(dialog.selectedFiles().first()), std::max(index, 1));
}

bool OutputCommands::ExportTo(int32_t kind, const std::string& chosen, int32_t filterIndex) {
  exportFilterIndex_ = filterIndex;
  const std::string path = ExportFileName(chosen, filterIndex);
  if (!ConfirmOverwrite(path)) return false;
  paths_.LastFolderSave = SplitPath(path).folder;
  try {
    return ExportSeries(app_, kind, path, filterIndex, ui_);
  } catch (const std::exception& e) {
    ui_.MsgBox(CurrentErrorInfo(e).description, MsgIcon::Critical, "Export - " + ProgramTitle());
    return false;
  }
}

FTextViewer& OutputCommands::TextViewer() {
  if (!textViewer_) textViewer_ = new FTextViewer(&window_, &ui_);
  return *textViewer_;
}

void OutputCommands::ShowProperties() {
  if (app_.record.ChanCount < 1) return;
  ui_.SetMousePointer(PointerHourglass);
  const std::string text = PropertiesReportText(app_);
  ui_.RestoreMousePointer();
  TextViewer().ShowTextViewer(PropertiesReportTitle(), text);
}

void OutputCommands::ShowMetrics() {
  if (app_.record.ChanCount < 1) return;
  ui_.SetMousePointer(PointerHourglass);
  const std::string text = MetricsReportText(app_, ui_);
  ui_.RestoreMousePointer();
  TextViewer().ShowTextViewer(MetricsReportTitle(), text);
}

void OutputCommands::ShowPeaks() {
  const int32_t kind = app_.view.GraphKind;
  if (app_.record.ChanCount < 1 || kind <= 0 || kind > 20) return;
  try {
    BringSeriesUpToDate(app_, kind, ui_);
    IndexWindow window = FullIndexWindow(app_, kind);
    const AxisSettings& time = app_.graph.Axis[AxisTime];
    if (kind <= 3 || (kind >= 12 && kind <= 14)) window = IndexWindowBetween(app_, kind, time.Min, time.Max);
    // The menu item's text without its access key and ellipsis.
    const std::string title = QStr(1620).remove('&').remove(QStringLiteral("...")).toStdString();
    TextViewer().ShowTextViewer(title, PeaksReportText(app_, kind, window));
  } catch (const std::exception& e) {
    ui_.MsgBox(CurrentErrorInfo(e).description, MsgIcon::Critical, "Peaks - " + ProgramTitle());
  }
}

void OutputCommands::ShowRecordFileHex() {
  if (app_.record.ChanCount < 1) return;
  // Enough of the file for its header; a dump's offsets have four digits.
  constexpr std::size_t kHexBytes = 4096;
  const std::string& path = app_.record.FilePath;
  std::ifstream in(path, std::ios::binary);
  std::string bytes(kHexBytes, '\0');
  if (in) in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!in && !in.eof()) {
    const int number = FileExists(path) ? ErrPathFileAccess : ErrFileNotFound;
    ui_.MsgBox(FailedToReadText(path, number, ErrorDescription(number)), MsgIcon::Critical, ProgramTitle());
    return;
  }
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  TextViewer().ShowHex(bytes, FileNameOf(path));
}

}  // namespace sism
