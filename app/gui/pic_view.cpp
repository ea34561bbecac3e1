#include "app/gui/pic_view.h"

#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QUrl>

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
}

void PicView::paintEvent(QPaintEvent*) {
  if (image_.isNull()) return;
  QPainter p(this);
  p.drawImage(0, 0, image_);
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
}

}  // namespace sism
