// The platform half of the draw dispatcher's host on Qt: the screen picture, printers,
// and clipboard copies. The main window derives from it and only lays out and repaints
// its graph area.
#pragma once

#include <QPrinter>
#include <memory>

#include "draw/draw_graph.h"
#include "draw/qt/page_output.h"

namespace sism {

class QtDrawHost : public DrawHost {
 public:
  explicit QtDrawHost(int screenPixelsPerInch = 96);

  // The picture the screen drawing fills; the graph area shows Picture().Image().
  ScreenPicture& Picture() { return picture_; }
  // The printer the next printer drawing uses (from a print dialog); null: the default one.
  void SetPrinter(QPrinter* printer) { printer_ = printer; }

  void SetViewArea(int32_t widthTwips, int32_t heightTwips) override;
  int32_t ViewWidth() override { return picture_.Width(); }
  int32_t ViewHeight() override { return picture_.Height(); }
  DeviceContext* ViewDc() override { return &picture_.Dc(); }
  void RefreshView() override;
  std::unique_ptr<PrintDocument> StartPrintDocument(const std::string& name, DeviceContext* printer) override;
  int32_t ReferencePixelsPerInchX() override { return ReferencePixelsPerInch(false); }
  int32_t ReferencePixelsPerInchY() override { return ReferencePixelsPerInch(true); }
  int32_t ScreenTwipsPerPixelX() override { return twipsPerPixel_; }
  int32_t ScreenTwipsPerPixelY() override { return twipsPerPixel_; }
  std::unique_ptr<ClipboardPicture> StartClipboardPicture(ClipboardFormats formats, int32_t viewportWidth,
                                                          int32_t viewportHeight, int32_t pageWidth,
                                                          int32_t pageHeight) override;

 protected:
  // The graph area takes the picture's new size (pixels) ...
  virtual void ResizeGraphArea(int /*width*/, int /*height*/) {}
  // ... and shows the finished picture.
  virtual void RepaintGraphArea() {}

 private:
  ScreenPicture picture_;
  int32_t twipsPerPixel_;
  QPrinter* printer_ = nullptr;
};

}  // namespace sism
