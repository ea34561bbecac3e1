// The mouse on the graph: the wheel zooms the horizontal axis around the pointer, a drag
// pans it, a drag with Shift zooms to the span chosen, a double click shows everything
// again; the status bar reads out the series under the pointer. Time histories move the
// time window; spectra and relations their frequency, period or lag axis.
#pragma once

#include <QPointF>
#include <QRectF>
#include <Qt>
#include <map>

#include "app/shell/view_commands.h"
#include "state/graph_settings.h"

class QLabel;

namespace sism {

class FSismora;

class GraphMouse {
 public:
  GraphMouse(FSismora& window, QLabel& readout);

  // False when the view has no axis to zoom (orbits, reports): the wheel scrolls.
  bool Wheel(QPointF at, int angleDelta);
  void Press(QPointF at, Qt::KeyboardModifiers modifiers);
  void Move(QPointF at, Qt::MouseButtons buttons);
  void Release(QPointF at);
  void DoubleClick(QPointF at);
  void Leave();
  // The band being chosen with Shift, in pixels; empty when none.
  QRectF Band() const { return band_; }

 private:
  enum class Axis { None, Time, Spectrum };
  Axis AxisOfView() const;
  int SpectrumAxisType() const;
  double ValueAt(double x) const;
  // The range the horizontal axis shows now.
  TimeWindow Shown() const;
  void Show(const TimeWindow& w);
  void Readout(QPointF at);

  FSismora& window_;
  QLabel& readout_;
  bool dragging_ = false, banding_ = false;
  QPointF from_;
  TimeWindow dragStart_;
  QRectF band_;
  std::map<int, AxisSettings> unzoomed_;  // spectrum axes as they were before the mouse
};

}  // namespace sism
