#include "app/gui/pic_view.h"

#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QUrl>
#include <QWheelEvent>

namespace sism {

bool AcceptFileList(QDropEvent* event) {
  if (!event->mimeData()->hasUrls()) return false;
  event->setDropAction(Qt::CopyAction);
  event->accept();
  return true;
}

PicView::PicView(QWidget* parent) : QWidget(parent) {
  setObjectName("picView");
  setAcceptDrops(true);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  setPalette(pal);
  setMouseTracking(true);  // the readout follows the pointer without a button held
}

void PicView::paintEvent(QPaintEvent*) {
  if (image_.isNull()) return;
  QPainter p(this);
  p.drawImage(0, 0, image_);
  const QRectF b = band ? band() : QRectF();
  if (!b.isEmpty()) {
    QColor fill = palette().color(QPalette::Highlight);
    fill.setAlpha(50);
    p.fillRect(b, fill);
    p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DashLine));
    p.drawRect(b);
  }
}

void PicView::dragEnterEvent(QDragEnterEvent* event) {
  AcceptFileList(event);
}

void PicView::dragMoveEvent(QDragMoveEvent* event) {
  AcceptFileList(event);
}

void PicView::dropEvent(QDropEvent* event) {
  if (!AcceptFileList(event)) return;
  if (onDrop) onDrop(event->mimeData()->urls());
}

void PicView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton && onRightClick) onRightClick(event->globalPosition().toPoint());
  if (event->button() == Qt::LeftButton && onPress) onPress(event->position(), event->modifiers());
}

void PicView::mouseMoveEvent(QMouseEvent* event) {
  if (onMove) onMove(event->position(), event->buttons());
}

void PicView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && onRelease) onRelease(event->position());
}

void PicView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && onDoubleClick) onDoubleClick(event->position());
}

void PicView::wheelEvent(QWheelEvent* event) {
  // Without a handler (or with Ctrl) the wheel scrolls the view as usual.
  if (!onWheel || event->modifiers() & Qt::ControlModifier || !onWheel(event->position(), event->angleDelta().y())) {
    event->ignore();
    return;
  }
  event->accept();
}

void PicView::leaveEvent(QEvent*) {
  if (onLeave) onLeave();
}

}  // namespace sism
