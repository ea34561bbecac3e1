#include "draw/qt/page_output.h"

#include <QClipboard>
#include <QFont>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPrinterInfo>
#include <QScreen>
#include <QSize>

#include "common/errors.h"
#include "common/files.h"

namespace sism {

ScreenPicture::ScreenPicture(int ppi) : dc_(painter_, TechRasterDisplay, ppi, ppi) {}

ScreenPicture::~ScreenPicture() {
  if (painter_.isActive()) painter_.end();
}

void ScreenPicture::Begin(int width, int height, Rgb background) {
  if (painter_.isActive()) painter_.end();
  // The picture is bounded: a page larger than this is cut, never an allocation failure.
  width = std::clamp(width, 1, 16384);
  height = std::clamp(height, 1, 16384);
  if (image_.width() != width || image_.height() != height)
    image_ = QImage(width, height, QImage::Format_RGB32);
  image_.fill(QColor(RgbRed(background), RgbGreen(background), RgbBlue(background)));
  painter_.begin(&image_);
}

void ScreenPicture::End() {
  if (painter_.isActive()) painter_.end();
}

QtClipboardPicture::QtClipboardPicture(ClipboardFormats formats, int vw, int vh, int32_t pageW, int32_t pageH)
    : formats_(formats) {
  vw = std::clamp(vw, 1, 16384);
  vh = std::clamp(vh, 1, 16384);
  if (formats_.vector) {
    svgBuffer_.open(QIODevice::WriteOnly);
    svg_.setOutputDevice(&svgBuffer_);
    svg_.setSize(QSize(vw, vh));
    svg_.setViewBox(QRect(0, 0, vw, vh));
    // Resolution so that the picture's physical size is the page's.
    const double mmWide = pageW / 100.0;
    svg_.setResolution(mmWide > 0 ? static_cast<int>(std::lround(vw / (mmWide / 25.4))) : 96);
    svg_.setTitle(QStringLiteral("Sismora graph"));
    svgPainter_.begin(&svg_);
    svgDc_.emplace(svgPainter_, TechMetafile, svg_.resolution(), svg_.resolution());
  }
  (void)pageH;
  image_ = QImage(vw, vh, QImage::Format_RGB32);
  image_.fill(Qt::white);
  imagePainter_.begin(&image_);
  const int ppi = svg_.resolution() > 0 && formats_.vector ? svg_.resolution() : 96;
  imageDc_.emplace(imagePainter_, formats_.vector ? TechMetafile : TechRasterDisplay, ppi, ppi);
  if (formats_.vector) tee_.emplace(*svgDc_, *imageDc_);
}

QtClipboardPicture::~QtClipboardPicture() {
  Finish();
}

DeviceContext& QtClipboardPicture::Dc() {
  if (tee_) return *tee_;
  return *imageDc_;
}

void QtClipboardPicture::Finish() {
  if (finished_) return;
  finished_ = true;
  if (svgPainter_.isActive()) svgPainter_.end();
  if (imagePainter_.isActive()) imagePainter_.end();
}

QByteArray QtClipboardPicture::Svg() {
  Finish();
  return svgBuffer_.data();
}

QImage QtClipboardPicture::Bitmap() {
  Finish();
  return image_;
}

std::unique_ptr<QMimeData> QtClipboardPicture::TakeMimeData() {
  Finish();
  auto mime = std::make_unique<QMimeData>();
  if (formats_.vector) mime->setData(QStringLiteral("image/svg+xml"), svgBuffer_.data());
  if (formats_.bitmap) mime->setImageData(image_);
  return mime;
}

void QtClipboardPicture::PutOnClipboard() {
  auto mime = TakeMimeData();
  if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setMimeData(mime.release());
}

QtPrintDocument::QtPrintDocument(QPagedPaintDevice& device) : device_(device) {}

std::unique_ptr<QtPrintDocument> QtPrintDocument::Start(QPagedPaintDevice& device) {
  std::unique_ptr<QtPrintDocument> doc(new QtPrintDocument(device));
  if (!doc->painter_.begin(&device)) return nullptr;
  doc->dc_.emplace(doc->painter_, TechRasterPrinter, device.logicalDpiX(), device.logicalDpiY());
  return doc;
}

QtPrintDocument::~QtPrintDocument() {
  if (painter_.isActive()) painter_.end();
}

int32_t QtPrintDocument::HorzRes() const {
  return device_.width();
}
int32_t QtPrintDocument::VertRes() const {
  return device_.height();
}
int32_t QtPrintDocument::HorzSizeMm() const {
  return device_.widthMM();
}
int32_t QtPrintDocument::VertSizeMm() const {
  return device_.heightMM();
}

void QtPrintDocument::StartPage() {
  if (pages_++ > 0) device_.newPage();
}

void QtPrintDocument::EndDocument() {
  if (painter_.isActive()) painter_.end();
}

namespace {

// A document on a printer it owns.
class OwnedPrinterDocument : public PrintDocument {
 public:
  OwnedPrinterDocument(std::unique_ptr<QPrinter> printer, std::unique_ptr<QtPrintDocument> doc)
      : printer_(std::move(printer)), doc_(std::move(doc)) {}
  ~OwnedPrinterDocument() override { doc_.reset(); }
  DeviceContext& Dc() override { return doc_->Dc(); }
  int32_t HorzRes() const override { return doc_->HorzRes(); }
  int32_t VertRes() const override { return doc_->VertRes(); }
  int32_t HorzSizeMm() const override { return doc_->HorzSizeMm(); }
  int32_t VertSizeMm() const override { return doc_->VertSizeMm(); }
  void StartPage() override { doc_->StartPage(); }
  void EndPage() override { doc_->EndPage(); }
  void EndDocument() override { doc_->EndDocument(); }

 private:
  std::unique_ptr<QPrinter> printer_;
  std::unique_ptr<QtPrintDocument> doc_;
};

}  // namespace

std::unique_ptr<PrintDocument> StartPrinterDocument(const std::string& name, QPrinter* printer) {
  std::unique_ptr<QPrinter> owned;
  if (printer == nullptr) {
    if (QPrinterInfo::defaultPrinter().isNull()) return nullptr;
    owned = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer = owned.get();
  }
  printer->setDocName(QString::fromStdString(name));
  auto doc = QtPrintDocument::Start(*printer);
  if (!doc) return nullptr;
  return std::make_unique<OwnedPrinterDocument>(std::move(owned), std::move(doc));
}

int32_t ReferencePixelsPerInch(bool vertical) {
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (!info.isNull()) {
    QPrinter printer(info, QPrinter::HighResolution);
    return vertical ? printer.logicalDpiY() : printer.logicalDpiX();
  }
  if (QScreen* screen = QGuiApplication::primaryScreen())
    return static_cast<int32_t>(
        std::lround(vertical ? screen->logicalDotsPerInchY() : screen->logicalDotsPerInchX()));
  return 96;
}

void CopyImageToClipboard(const QImage& image) {
  if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setImage(image);
}

bool WriteImageFile(const QImage& image, const std::string& path, ImageFormat format, std::string& error) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, format == ImageFormat::Bmp ? "BMP" : "PNG")) {
    error = "the image could not be encoded";
    return false;
  }
  try {
    AtomicFileWriter out(path);
    out.Write(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    out.Commit();
  } catch (const RuntimeError& e) {
    error = e.what();
    return false;
  }
  return true;
}

void InstallFontSubstitutes() {
  QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
  QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
  QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
}

}  // namespace sism
