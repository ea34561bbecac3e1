// Commands that take the record or the graph out of the window: printing, saving the
// record as an .ac file, exporting a series, copying to the clipboard, saving the picture
// as an image file, and the two text reports (properties and peaks).
#pragma once

#include <cstdint>
#include <string>

class QPagedPaintDevice;
class QWidget;

namespace sism {

struct AppState;
struct DrawSession;
struct PathSettings;
class FTextViewer;
class ScreenHost;
class UserInterface;

class OutputCommands {
 public:
  // File dialogs and the text viewer open over `window`; the graph drawn is the state's
  // current one, on page `reportSelector` for a report (below 0: the current page).
  OutputCommands(QWidget& window, AppState& app, DrawSession& session, ScreenHost& host, UserInterface& ui,
                 PathSettings& paths);

  // The current graph on one page of `device`; false when drawing failed.
  bool PrintTo(QPagedPaintDevice& device, int32_t reportSelector);
  // Asks for a printer, then prints.
  void Print(int32_t reportSelector);
  // The current graph as a picture (and a bitmap) on the clipboard.
  void Copy(int32_t reportSelector);
  // The screen picture as a bitmap on the clipboard.
  void CopyBitmap();

  // Asks for a file name, then saves the screen picture.
  void SaveImageAs();
  // A .svg or .pdf name gets the graph at its page size as a vector file (the clipboard's
  // picture, a printed page); any other the screen picture as PNG or BMP.
  // A PNG or BMP at `dpi` > 0 is the graph drawn again at that resolution.
  bool SaveImage(const std::string& path, int32_t dpi = 0);
  // Asks for a file name and a format (.ac, COSMOS, SAC, miniSEED), then saves the record.
  void SaveAcAs();
  // The record as an .ac file ("chosen" completed with ".ac"), or in the format of its
  // extension.
  bool SaveAcTo(const std::string& chosen);
  // The record in the format of the extension, else of the filter (its index among .ac
  // and RecordWriters' others, from 0). Losing digits in .ac is a question first.
  bool SaveRecordTo(const std::string& chosen, int32_t filterIndex);
  // Asks for a file name and a format, then exports the series of `kind`.
  void ExportAs(int32_t kind);
  bool ExportTo(int32_t kind, const std::string& chosen, int32_t filterIndex);

  void ShowProperties();
  // The ground-motion metrics report of the record in the text viewer.
  void ShowMetrics();
  void ShowPeaks();
  // The first bytes of the record's file, in hexadecimal.
  void ShowRecordFileHex();
  FTextViewer& TextViewer();

 private:
  bool ConfirmOverwrite(const std::string& path);
  bool SavePage(const std::string& path, bool pdf);

  QWidget& window_;
  AppState& app_;
  DrawSession& session_;
  ScreenHost& host_;
  UserInterface& ui_;
  PathSettings& paths_;
  int32_t exportFilterIndex_ = 1;      // remembered between exports, never stored
  FTextViewer* textViewer_ = nullptr;  // created on first use, owned by the window
};

}  // namespace sism
