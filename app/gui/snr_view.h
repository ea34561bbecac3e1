// The signal-to-noise graph of the record under review, beside its time histories on a
// picture of its own: the analyst sees the onset and noise window and the spectra the corners
// came from at once. A corner line taken with the mouse moves along the frequency axis; on
// release the corner is handed on.
#pragma once

#include <QDockWidget>
#include <QPointF>
#include <QRectF>
#include <functional>
#include <memory>
#include <optional>

#include "draw/draw_graph.h"
#include "draw/snr.h"

class QLabel;
class QScrollArea;
class QTimer;

namespace sism {

class FSismora;
class PicView;
class ScreenHost;

class SnrView : public QDockWidget {
  Q_OBJECT
 public:
  explicit SnrView(FSismora& window);
  ~SnrView() override;

  // The graph of the window's record and processing run drawn anew to fill the view.
  void Redraw();
  PicView* Picture() const { return pic_; }
  const DrawSession& Session() const { return session_; }
  // The pixel of a corner's line in the last drawing; NaN when it has none.
  QPointF PixelOf(int32_t ch, bool lowPass) const;
  // A corner moved with the mouse, to the frequency given (Hz).
  std::function<void(const SnrCornerLine& line, float frequency)> onCornerMoved;

  // The mouse on the picture, in its pixels.
  void Press(QPointF at);
  void Move(QPointF at, Qt::MouseButtons buttons);
  void Release(QPointF at);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::vector<SnrCornerLine> Lines() const;
  std::optional<SnrCornerLine> LineAt(QPointF at) const;
  // The corner the grabbed line stands for with the pointer at `at`; NaN when none.
  float DraggedTo(QPointF at) const;
  std::string CornerText(const SnrCornerLine& line, float frequency) const;

  FSismora& window_;
  QScrollArea* back_ = nullptr;
  PicView* pic_ = nullptr;
  QLabel* readout_ = nullptr;
  QTimer* resizeTimer_ = nullptr;
  DrawSession session_;
  std::unique_ptr<ScreenHost> host_;
  std::optional<SnrCornerLine> grabbed_;
  QPointF pressedAt_;
  QRectF marker_;  // the grabbed line where it would go, drawn over the picture
};

}  // namespace sism
