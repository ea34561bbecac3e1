#include "app/gui/snr_view.h"

#include <QBoxLayout>
#include <QEvent>
#include <QLabel>
#include <QScrollArea>
#include <QTimer>
#include <cmath>

#include "app/gui/main_window.h"
#include "app/gui/pic_view.h"
#include "app/gui/qt_strings.h"
#include "app/gui/screen_host.h"
#include "common/errors.h"
#include "common/strings.h"
#include "common/text.h"
#include "draw/pointer.h"
#include "record/display_text.h"

namespace sism {

namespace {

constexpr double kReachPixels = 4;  // how near the pointer must come to take a line

}  // namespace

SnrView::SnrView(FSismora& window) : QDockWidget(&window), window_(window) {
  setObjectName("dockSnr");
  setWindowTitle("Signal and noise");
  auto* body = new QWidget(this);
  auto* v = new QVBoxLayout(body);
  v->setContentsMargins(0, 0, 0, 0);
  v->setSpacing(2);
  back_ = new QScrollArea(body);
  back_->setObjectName("picSnrBack");
  back_->setAlignment(Qt::AlignCenter);
  back_->setWidgetResizable(false);
  back_->setFrameShape(QFrame::NoFrame);
  back_->viewport()->installEventFilter(this);
  pic_ = new PicView;
  pic_->setObjectName("picSnr");
  pic_->setAcceptDrops(false);
  pic_->resize(1, 1);
  back_->setWidget(pic_);
  v->addWidget(back_, 1);
  readout_ = new QLabel(body);
  readout_->setObjectName("lblSnrPointer");
  readout_->setContentsMargins(6, 0, 6, 2);
  readout_->setText("Drag a corner line to move it; the record is processed again on release.");
  v->addWidget(readout_);
  setWidget(body);
  host_ = std::make_unique<ScreenHost>(*pic_);

  pic_->onPress = [this](QPointF at, Qt::KeyboardModifiers) { Press(at); };
  pic_->onMove = [this](QPointF at, Qt::MouseButtons b) { Move(at, b); };
  pic_->onRelease = [this](QPointF at) { Release(at); };
  pic_->band = [this] { return marker_; };
  resizeTimer_ = new QTimer(this);
  resizeTimer_->setSingleShot(true);
  resizeTimer_->setInterval(30);
  connect(resizeTimer_, &QTimer::timeout, this, [this] { Redraw(); });
}

SnrView::~SnrView() = default;

bool SnrView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == back_->viewport() && event->type() == QEvent::Resize) resizeTimer_->start();
  return QDockWidget::eventFilter(watched, event);
}

void SnrView::Redraw() {
  AppState& app = window_.App();
  grabbed_.reset();
  marker_ = QRectF();
  if (app.record.ChanCount <= 0) {
    host_->ClearPicture();
    session_.screenUnitsPerPixel = 0;
    return;
  }
  const QSize area = back_->viewport()->size();
  session_.fit = ScreenFit{std::max(area.width(), 1), std::max(area.height(), 1)};
  try {
    DrawGraph(app, session_, *host_, window_, TargetScreen, KindSnr);
  } catch (const std::exception& e) {
    const ErrorInfo info = CurrentErrorInfo(e);
    window_.ShowStatusMessage("Signal and noise: Err#" + std::to_string(info.number) + ": " + info.description);
  }
  host_->EndPicture();
}

std::vector<SnrCornerLine> SnrView::Lines() const {
  const AppState& app = window_.App();
  if (!app.processed || !(session_.screenUnitsPerPixel > 0)) return {};
  return SnrCornerLines(app.graph, app.processed->result, session_.screenChannels);
}

QPointF SnrView::PixelOf(int32_t ch, bool lowPass) const {
  const double upp = session_.screenUnitsPerPixel;
  const GraphFrame& f = session_.screenFrame;
  for (const SnrCornerLine& line : Lines())
    if (line.ch == ch && line.lowPass == lowPass)
      return {SnrPageX(f, line.frequency) / upp, (f.Top + f.Height / 2.0) / upp};
  return {std::nan(""), std::nan("")};
}

std::optional<SnrCornerLine> SnrView::LineAt(QPointF at) const {
  const double upp = session_.screenUnitsPerPixel;
  if (!(upp > 0)) return std::nullopt;
  return SnrCornerNear(session_.screenFrame, Lines(), PageFromPixel(session_, at.x()), PageFromPixel(session_, at.y()),
                       kReachPixels * upp);
}

float SnrView::DraggedTo(QPointF at) const {
  const AppState& app = window_.App();
  if (!grabbed_ || !app.processed) return std::nanf("");
  const ChannelProcessing* c = app.processed->result.Channel(grabbed_->ch);
  if (c == nullptr) return std::nanf("");
  return SnrDraggedCorner(session_.screenFrame, *grabbed_, *c, PageFromPixel(session_, at.x()));
}

std::string SnrView::CornerText(const SnrCornerLine& line, float frequency) const {
  return DisplayLabelOf(window_.App().record, line.ch) + (line.lowPass ? " low-pass " : " high-pass ") +
         NumberText(frequency) + " Hz";
}

void SnrView::Press(QPointF at) {
  grabbed_ = LineAt(at);
  pressedAt_ = at;
  if (grabbed_) readout_->setText(Q(CornerText(*grabbed_, grabbed_->frequency)));
}

void SnrView::Move(QPointF at, Qt::MouseButtons buttons) {
  if (!grabbed_ || !(buttons & Qt::LeftButton)) {
    grabbed_.reset();
    const std::optional<SnrCornerLine> near = LineAt(at);
    pic_->setCursor(near ? Qt::SizeHorCursor : Qt::ArrowCursor);
    if (near) readout_->setText(Q(CornerText(*near, near->frequency) + ": drag to move"));
    return;
  }
  const float f = DraggedTo(at);
  if (!std::isfinite(f)) return;
  const double upp = session_.screenUnitsPerPixel;
  const GraphFrame& frame = session_.screenFrame;
  const double x = SnrPageX(frame, f) / upp;
  marker_ = QRectF(x - 1, frame.Top / upp, 2, frame.Height / upp);
  readout_->setText(Q(CornerText(*grabbed_, f)));
  pic_->update();
}

void SnrView::Release(QPointF at) {
  if (!grabbed_) return;
  const SnrCornerLine line = *grabbed_;
  const float f = DraggedTo(at);
  grabbed_.reset();
  marker_ = QRectF();
  pic_->update();
  // A click without a drag leaves the corner alone, unrounded.
  if (std::abs(at.x() - pressedAt_.x()) < 1) return;
  if (std::isfinite(f) && f != line.frequency && onCornerMoved) onCornerMoved(line, f);
}

}  // namespace sism
