// What the drawing code draws on from the main window: the screen picture the graph view
// shows, the printer a print command chose, and clipboard pictures.
#pragma once

#include <QByteArray>
#include <QImage>
#include <memory>
#include <string>

#include "app/shell/view_commands.h"
#include "draw/draw_graph.h"

class QPagedPaintDevice;

namespace sism {

class PicView;
class ScreenPicture;

class ScreenHost : public DrawHost {
 public:
  explicit ScreenHost(PicView& view);
  ~ScreenHost() override;

  // A screen drawing is over, finished or not: the view shows what it holds.
  void EndPicture();
  // The view shows nothing until the next drawing.
  void ClearPicture();
  // A drawing has been shown since the last clear.
  bool PictureShown() const { return shown_; }
  const QImage& Image() const;
  // Where the next printer drawing goes; null outside a print command.
  void SetPrintDevice(QPagedPaintDevice* device) { printDevice_ = device; }
  // Where the next clipboard picture goes instead of the clipboard (its SVG); null: the
  // clipboard.
  void SetPictureSink(QByteArray* svg) { pictureSink_ = svg; }
  // ... and its bitmap, drawn at `dpi` pixels per inch (0: the screen's).
  void SetBitmapSink(QImage* bitmap, int32_t dpi) {
    bitmapSink_ = bitmap;
    sinkDpi_ = dpi;
  }

  void SetViewArea(int32_t widthTwips, int32_t heightTwips) override;
  int32_t ViewWidth() override;
  int32_t ViewHeight() override;
  DeviceContext* ViewDc() override;
  void RefreshView() override;
  std::unique_ptr<PrintDocument> StartPrintDocument(const std::string& name, DeviceContext* printer) override;
  int32_t ReferencePixelsPerInchX() override;
  int32_t ReferencePixelsPerInchY() override;
  int32_t ScreenTwipsPerPixelX() override { return kTwipsPerPixel; }
  int32_t ScreenTwipsPerPixelY() override { return kTwipsPerPixel; }
  std::unique_ptr<ClipboardPicture> StartClipboardPicture(ClipboardFormats formats, int32_t viewportWidth,
                                                          int32_t viewportHeight, int32_t pageWidth,
                                                          int32_t pageHeight) override;

 private:
  PicView& view_;
  std::unique_ptr<ScreenPicture> picture_;
  bool active_ = false;  // a drawing is under way
  bool shown_ = false;
  QPagedPaintDevice* printDevice_ = nullptr;
  QByteArray* pictureSink_ = nullptr;
  QImage* bitmapSink_ = nullptr;
  int32_t sinkDpi_ = 0;
};

}  // namespace sism
