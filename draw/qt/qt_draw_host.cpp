#include "draw/qt/qt_draw_host.h"

#include <algorithm>

namespace sism {

QtDrawHost::QtDrawHost(int ppi) : picture_(ppi), twipsPerPixel_(std::max(1, 1440 / std::max(ppi, 1))) {}

void QtDrawHost::SetViewArea(int32_t widthTwips, int32_t heightTwips) {
  const int w = std::max(1, widthTwips / twipsPerPixel_);
  const int h = std::max(1, heightTwips / twipsPerPixel_);
  picture_.Begin(w, h);
  ResizeGraphArea(picture_.Width(), picture_.Height());
}

void QtDrawHost::RefreshView() {
  picture_.End();
  RepaintGraphArea();
}

std::unique_ptr<PrintDocument> QtDrawHost::StartPrintDocument(const std::string& name, DeviceContext*) {
  return StartPrinterDocument(name, printer_);
}

std::unique_ptr<ClipboardPicture> QtDrawHost::StartClipboardPicture(ClipboardFormats formats, int32_t vw,
                                                                    int32_t vh, int32_t pw, int32_t ph) {
  return std::make_unique<QtClipboardPicture>(formats, vw, vh, pw, ph);
}

}  // namespace sism
