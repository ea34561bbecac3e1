#include "app/gui/screen_host.h"

#include <QPrinter>
#include <QScreen>
#include <algorithm>
#include <cmath>

#include "app/gui/pic_view.h"
#include "app/gui/qt_strings.h"
#include "draw/qt/page_output.h"

namespace sism {

namespace {

// The screen's resolution: a printer's would make clipboard bitmaps of hundreds of megabytes.
int32_t ScreenPixelsPerInch(const QWidget& view, bool vertical) {
  const QScreen* s = view.window()->screen();
  if (s == nullptr) return 96;
  const double dpi = vertical ? s->logicalDotsPerInchY() : s->logicalDotsPerInchX();
  return std::max(1, static_cast<int32_t>(std::lround(dpi)));
}

}  // namespace

ScreenHost::ScreenHost(PicView& view) : view_(view), picture_(std::make_unique<ScreenPicture>(96)) {}

ScreenHost::~ScreenHost() = default;

const QImage& ScreenHost::Image() const {
  return picture_->Image();
}

void ScreenHost::EndPicture() {
  if (!active_) return;
  picture_->End();
  active_ = false;
  shown_ = true;
  view_.SetImage(picture_->Image());
  view_.update();
}

void ScreenHost::ClearPicture() {
  EndPicture();
  shown_ = false;
  view_.ClearImage();
  view_.update();
}

void ScreenHost::SetViewArea(int32_t widthTwips, int32_t heightTwips) {
  const int w = std::clamp(PixelsFromTwips(widthTwips), 1, 20000);
  const int h = std::clamp(PixelsFromTwips(heightTwips), 1, 20000);
  view_.resize(w, h);
}

int32_t ScreenHost::ViewWidth() {
  return view_.width();
}

int32_t ScreenHost::ViewHeight() {
  return view_.height();
}

DeviceContext* ScreenHost::ViewDc() {
  EndPicture();
  picture_->Begin(view_.width(), view_.height(), 0xFFFFFF);
  active_ = true;
  return &picture_->Dc();
}

void ScreenHost::RefreshView() {
  EndPicture();
  view_.update();
}

std::unique_ptr<PrintDocument> ScreenHost::StartPrintDocument(const std::string& name, DeviceContext*) {
  if (printDevice_ != nullptr) {
    if (auto* printer = dynamic_cast<QPrinter*>(printDevice_)) printer->setDocName(Q(name));
    return QtPrintDocument::Start(*printDevice_);
  }
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(Q(name));
  if (!printer.isValid()) return nullptr;
  // The document must outlive this call: only a chosen device is used.
  return nullptr;
}

int32_t ScreenHost::ReferencePixelsPerInchX() {
  return bitmapSink_ != nullptr && sinkDpi_ > 0 ? sinkDpi_ : ScreenPixelsPerInch(view_, false);
}

int32_t ScreenHost::ReferencePixelsPerInchY() {
  return bitmapSink_ != nullptr && sinkDpi_ > 0 ? sinkDpi_ : ScreenPixelsPerInch(view_, true);
}

std::unique_ptr<ClipboardPicture> ScreenHost::StartClipboardPicture(ClipboardFormats formats,
                                                                    int32_t viewportWidth,
                                                                    int32_t viewportHeight, int32_t pageWidth,
                                                                    int32_t pageHeight) {
  // Pages too large for a bitmap are refused instead of exhausting memory.
  if (viewportWidth <= 0 || viewportHeight <= 0 || int64_t{viewportWidth} * viewportHeight > 100'000'000)
    return nullptr;
  if (pictureSink_ != nullptr || bitmapSink_ != nullptr) {
    class ToSink : public QtClipboardPicture {
     public:
      ToSink(QByteArray* svg, QImage* bitmap, int vw, int vh, int32_t pw, int32_t ph)
          : QtClipboardPicture(ClipboardFormats{svg != nullptr, bitmap != nullptr}, vw, vh, pw, ph),
            svg_(svg),
            bitmap_(bitmap) {}
      void PutOnClipboard() override {
        if (svg_ != nullptr) *svg_ = Svg();
        if (bitmap_ != nullptr) *bitmap_ = Bitmap();
      }

     private:
      QByteArray* svg_;
      QImage* bitmap_;
    };
    return std::make_unique<ToSink>(pictureSink_, bitmapSink_, viewportWidth, viewportHeight, pageWidth,
                                    pageHeight);
  }
  return std::make_unique<QtClipboardPicture>(formats, viewportWidth, viewportHeight, pageWidth, pageHeight);
}

}  // namespace sism
