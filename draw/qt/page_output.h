// Qt render targets for the draw dispatcher: the screen picture, pages recorded for
// the clipboard (SVG and PNG), print documents on printers and PDF files, and image
// files of the screen picture.
#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QMimeData>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrinter>
#include <QSvgGenerator>
#include <memory>
#include <optional>
#include <string>

#include "draw/draw_graph.h"
#include "draw/image_output.h"
#include "draw/qt/qpainter_dc.h"
#include "draw/tee_dc.h"

namespace sism {

// The main window's graph picture: a bitmap redrawn by each screen drawing. The same
// context object lives as long as the picture, so the drawing object may keep it as
// its reference for measuring text.
class ScreenPicture {
 public:
  explicit ScreenPicture(int pixelsPerInch = 96);
  ~ScreenPicture();
  // A fresh picture of this size filled with `background`, ready to draw on.
  void Begin(int width, int height, Rgb background = 0xFFFFFF);
  // Drawing finished: Image() shows it.
  void End();
  const QImage& Image() const { return image_; }
  DeviceContext& Dc() { return dc_; }
  int Width() const { return image_.width(); }
  int Height() const { return image_.height(); }

 private:
  QImage image_;
  QPainter painter_;
  QtPainterDc dc_;
};

// A page recorded for the clipboard, as a scalable SVG picture and/or a bitmap.
class QtClipboardPicture : public ClipboardPicture {
 public:
  QtClipboardPicture(ClipboardFormats formats, int viewportWidth, int viewportHeight, int32_t pageWidth,
                     int32_t pageHeight);
  ~QtClipboardPicture() override;
  DeviceContext& Dc() override;
  // Ends the recording and puts the formats on the system clipboard.
  void PutOnClipboard() override;
  // Ends the recording; the data the clipboard gets.
  std::unique_ptr<QMimeData> TakeMimeData();
  QByteArray Svg();
  QImage Bitmap();

 private:
  void Finish();
  ClipboardFormats formats_;
  QBuffer svgBuffer_;
  QSvgGenerator svg_;
  QImage image_;
  QPainter svgPainter_, imagePainter_;
  std::optional<QtPainterDc> svgDc_, imageDc_;
  std::optional<TeeDc> tee_;
  bool finished_ = false;
};

// A print document on a printer or a PDF writer; one page per DrawGraph call.
class QtPrintDocument : public PrintDocument {
 public:
  // Null when painting on the device could not start.
  static std::unique_ptr<QtPrintDocument> Start(QPagedPaintDevice& device);
  ~QtPrintDocument() override;
  DeviceContext& Dc() override { return *dc_; }
  int32_t HorzRes() const override;
  int32_t VertRes() const override;
  int32_t HorzSizeMm() const override;
  int32_t VertSizeMm() const override;
  void StartPage() override;
  void EndPage() override {}
  void EndDocument() override;

 private:
  explicit QtPrintDocument(QPagedPaintDevice& device);
  QPagedPaintDevice& device_;
  QPainter painter_;
  std::optional<QtPainterDc> dc_;
  int pages_ = 0;
};

// A print document on the default printer (or on `printer` when given), titled `name`;
// null when there is no printer or the document could not start.
std::unique_ptr<PrintDocument> StartPrinterDocument(const std::string& name, QPrinter* printer = nullptr);

// Pixels per inch of the reference device for clipboard copies: the default printer's
// when one is installed, else the screen's.
int32_t ReferencePixelsPerInch(bool vertical);

// Puts a bitmap (the screen picture) on the clipboard.
void CopyImageToClipboard(const QImage& image);

// Writes the image as PNG or BMP; replaces an existing file only when fully written.
// Returns false (with the reason in `error`) when the file could not be written.
bool WriteImageFile(const QImage& image, const std::string& path, ImageFormat format, std::string& error);

// Font faces the settings name, resolved once for the whole program (call after the
// application object exists): "Arial" and the other usual faces map to Liberation.
void InstallFontSubstitutes();

}  // namespace sism
