// The graph picture in the main window: shows the last screen drawing and hands file
// drops and right clicks to the window.
#pragma once

#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QList>
#include <QWidget>
#include <functional>

class QDropEvent;
class QUrl;

namespace sism {

class PicView : public QWidget {
  Q_OBJECT
 public:
  explicit PicView(QWidget* parent = nullptr);
  // The picture shown; a shared copy, so a drawing in progress never shows half done.
  void SetImage(const QImage& image) { image_ = image; }
  void ClearImage() { image_ = QImage(); }
  bool HasImage() const { return !image_.isNull(); }
  std::function<void(const QList<QUrl>&)> onDrop;
  std::function<void(const QPoint&)> onRightClick;
  // The left button, the wheel and the pointer on the picture, in picture pixels.
  std::function<bool(QPointF, int)> onWheel;  // false: not taken, the view scrolls
  std::function<void(QPointF, Qt::KeyboardModifiers)> onPress;
  std::function<void(QPointF, Qt::MouseButtons)> onMove;
  std::function<void(QPointF)> onRelease;
  std::function<void(QPointF)> onDoubleClick;
  std::function<void()> onLeave;
  // A span being chosen, drawn over the picture; empty when none.
  std::function<QRectF()> band;

 protected:
  void paintEvent(QPaintEvent*) override;
  void dragEnterEvent(QDragEnterEvent*) override;
  void dragMoveEvent(QDragMoveEvent*) override;
  void dropEvent(QDropEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;
  void mouseDoubleClickEvent(QMouseEvent*) override;
  void wheelEvent(QWheelEvent*) override;
  void leaveEvent(QEvent*) override;

 private:
  QImage image_;
};

// File lists are taken as a copy; anything else is refused. True when accepted.
bool AcceptFileList(QDropEvent* event);

}  // namespace sism
