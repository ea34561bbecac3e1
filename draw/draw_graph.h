// The one entry point through which a graph reaches the screen, a printer page or the
// clipboard: graph kind, channel list, page geometry, the drawing object attached to
// the target, header and footer, the painter of the kind, and the target completed.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "draw/device_context.h"
#include "draw/graph_frame.h"
#include "draw/graphic_extensions.h"
#include "draw/templates.h"
#include "state/graph_kinds.h"

namespace sism {

struct AppState;
class UserInterface;

enum DrawTarget : int32_t { TargetScreen = 1, TargetPrinter = 2, TargetClipboard = 5 };

constexpr int32_t kReportKind = KindReport;

// Page size in 0.01 mm and the first plot's rectangle.
struct PageGeometry {
  int32_t width = 0, height = 0;  // whole page
  int32_t plotLeft = 0, plotTop = 0, plotWidth = 0, plotHeight = 0;
  int32_t columns = 1, rows = 1;  // orbit grid
  int32_t headerLine = 0;         // mm
};
// Raises overflow (6) when a size does not fit the page arithmetic.
PageGeometry ComputePageGeometry(const AppState& app, int32_t kind, int32_t channelCount);
// The same with the plot sizes and margins of `gs` instead of the settings'.
PageGeometry ComputePageGeometry(const GraphSettings& gs, const AppState& app, int32_t kind,
                                 int32_t channelCount);

// A screen page sized from the view instead of the settings: the plots stretched so that
// the page fills widthPx x heightPx at the drawing scale 1 (fonts and margins as printed),
// never below a legible size; a report page, whose layout is fixed, is scaled whole.
// Off while either size is 0.
struct ScreenFit {
  int32_t widthPx = 0, heightPx = 0;
  bool On() const { return widthPx > 0 && heightPx > 0; }
};
// Pixels per millimetre of the screen picture at drawing scale 1.
constexpr double kScreenPixelsPerMm = 100 * 0.56693 / 15;
// `gs` with the plot sizes of `kind` (n channels) that fill the view.
void FitPlotsToView(GraphSettings& gs, const AppState& app, int32_t kind, int32_t n, const ScreenFit& fit);
// Drawing scale at which a page of width x height (0.01 mm) fits the view whole.
double FitZoom(int32_t width, int32_t height, const ScreenFit& fit);

// Number of orbit windows for the specified-time orbit layout (at least 1, at most the
// kMaxOrbitWindows the orbit painter draws).
int32_t OrbitWindowCount(const AppState& app);

// Channels to draw: those with their draw flag set, at most CompCountMax.
std::vector<int32_t> ChannelsToDraw(const AppState& app);

// Everything a painter gets.
struct PaintContext {
  const AppState& app;  // painters only read the state
  cGraphicExtensions& gx;
  GraphFrame& frame;
  int32_t kind;
  const std::vector<int32_t>& channels;
  int32_t reportSelector;
  UserInterface& ui;
  const TemplateFacts& facts;
};
using Painter = std::function<void(PaintContext&)>;
// The painters of every graph kind written so far.
std::map<int32_t, Painter> DefaultPainters();

// A started print document (one page is drawn per call).
class PrintDocument {
 public:
  virtual ~PrintDocument() = default;
  virtual DeviceContext& Dc() = 0;
  virtual int32_t HorzRes() const = 0;  // printable area in pixels
  virtual int32_t VertRes() const = 0;
  virtual int32_t HorzSizeMm() const = 0;  // printable area in millimetres
  virtual int32_t VertSizeMm() const = 0;
  virtual void StartPage() = 0;
  virtual void EndPage() = 0;
  virtual void EndDocument() = 0;
};

// Formats a clipboard copy is made in: a scalable picture and/or a bitmap.
struct ClipboardFormats {
  bool vector = true;
  bool bitmap = true;
};
// Which formats a copy carries: the vector picture and a bitmap normally, the bitmap
// alone when enhanced copies are switched off.
ClipboardFormats ClipboardFormatsFor(bool enhanced);

// A page being recorded for the clipboard.
class ClipboardPicture {
 public:
  virtual ~ClipboardPicture() = default;
  virtual DeviceContext& Dc() = 0;
  virtual void PutOnClipboard() = 0;
};

// The main window and the platform, as the dispatcher needs them.
class DrawHost {
 public:
  virtual ~DrawHost() = default;
  // Screen picture: resize it (twips), then report its size (pixels) and context.
  virtual void SetViewArea(int32_t widthTwips, int32_t heightTwips) = 0;
  virtual int32_t ViewWidth() = 0;
  virtual int32_t ViewHeight() = 0;
  virtual DeviceContext* ViewDc() = 0;
  virtual void RefreshView() = 0;
  // Printer: a document on the given printer context (or the default printer when
  // null); null when it could not be started.
  virtual std::unique_ptr<PrintDocument> StartPrintDocument(const std::string& name,
                                                            DeviceContext* printer) = 0;
  // Clipboard: pixels per inch of the reference device (default printer, else screen)
  // and the screen's twips per pixel.
  virtual int32_t ReferencePixelsPerInchX() = 0;
  virtual int32_t ReferencePixelsPerInchY() = 0;
  virtual int32_t ScreenTwipsPerPixelX() = 0;
  virtual int32_t ScreenTwipsPerPixelY() = 0;
  // A picture of viewport pixels for a page of pageWidth x pageHeight (0.01 mm); null on failure.
  virtual std::unique_ptr<ClipboardPicture> StartClipboardPicture(ClipboardFormats formats,
                                                                  int32_t viewportWidth,
                                                                  int32_t viewportHeight, int32_t pageWidth,
                                                                  int32_t pageHeight) = 0;
};

// What persists between calls: the drawing object, the report state, and what the last
// drawing tells the main window.
struct DrawSession {
  cGraphicExtensions Gx;
  std::map<int32_t, Painter> painters = DefaultPainters();
  int32_t reportState = 0;
  float zoom = 1;           // drawing scale of the screen picture
  ScreenFit fit;            // when on, the screen page follows the view and zoom is ignored
  double screenUnitsPerPixel = 0;  // of the last screen drawing: 0.01 mm per pixel
  GraphFrame screenFrame;          // and its frame as the painter left it
  std::vector<int32_t> screenChannels;
  bool timeAxisActive = false;
  int32_t drawnFirst = 0, drawnLast = 0;  // samples shown
  GraphFrame lastFrame;                   // as the painter left it
};

// Draws the graph of `kind` (0 or less: the current one, app.view.GraphKind) on the
// target; the caller sets the current kind, which drawing leaves alone. A report selector
// below 0 keeps the current report page.
void DrawGraph(AppState& app, DrawSession& session, DrawHost& host, UserInterface& ui, int32_t target,
               int32_t kind, int32_t reportSelector = -1, DeviceContext* printer = nullptr);

}  // namespace sism
