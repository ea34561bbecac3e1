// The graph picture in the main window: shows the last screen drawing and hands file
// drops and right clicks to the window.
#pragma once

#include <QImage>
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
  std::function<void(const QList<QUrl>&)> onDrop;
  std::function<void(const QPoint&)> onRightClick;

 protected:
  void paintEvent(QPaintEvent*) override;
  void dragEnterEvent(QDragEnterEvent*) override;
  void dragMoveEvent(QDragMoveEvent*) override;
  void dropEvent(QDropEvent*) override;
  void mousePressEvent(QMouseEvent*) override;

 private:
  QImage image_;
};

// File lists are taken as a copy; anything else is refused. True when accepted.
bool AcceptFileList(QDropEvent* event);

}  // namespace sism
