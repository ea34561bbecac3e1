#include "app/gui/graph_mouse.h"

#include <QLabel>
#include <cmath>

#include "app/gui/main_window.h"
#include "app/gui/qt_strings.h"
#include "draw/pointer.h"
#include "state/graph_kinds.h"

namespace sism {

namespace {

// One notch of the wheel (120 units) shows 80 % of the span.
double WheelFactor(int angleDelta) {
  return std::pow(0.8, angleDelta / 120.0);
}

double RecordLength(const AppState& app) {
  return app.record.SampFreq > 0 ? static_cast<double>(app.record.DataCount) / app.record.SampFreq : 0.0;
}

}  // namespace

GraphMouse::GraphMouse(FSismora& window, QLabel& readout) : window_(window), readout_(readout) {}

GraphMouse::Axis GraphMouse::AxisOfView() const {
  const AppState& app = window_.App();
  if (app.record.ChanCount <= 0 || !(window_.Session().screenUnitsPerPixel > 0)) return Axis::None;
  switch (PageFormOf(app.view.GraphKind)) {
    case PageForm::Wave:
      return Axis::Time;
    case PageForm::Spectrum:
      return SpectrumAxisType() > 0 ? Axis::Spectrum : Axis::None;
    default:
      return Axis::None;
  }
}

int GraphMouse::SpectrumAxisType() const {
  const AppState& app = window_.App();
  const int x = KindInfo(app.view.GraphKind).xAxis;
  return x == AxisFrequency && app.graph.SpectraOnPeriod ? AxisPeriod : x;
}

double GraphMouse::ValueAt(double x) const {
  return AxisValueAtPixel(window_.Session(), x);
}

TimeWindow GraphMouse::Shown() const {
  const GraphFrame& f = window_.Session().screenFrame;
  return {f.X.Min, f.X.Max};
}

void GraphMouse::Show(const TimeWindow& w) {
  AppState& app = window_.App();
  if (AxisOfView() == Axis::Time) {
    app.graph.Axis[AxisTime].Specify = true;
    SetTimeWindow(app, w);
  } else {
    const int type = SpectrumAxisType();
    AxisSettings& s = app.graph.Axis[static_cast<std::size_t>(type)];
    unzoomed_.try_emplace(type, s);
    s.Min = static_cast<float>(w.lo);
    s.Max = static_cast<float>(w.hi);
  }
  window_.Redraw();
}

bool GraphMouse::Wheel(QPointF at, int angleDelta) {
  const Axis axis = AxisOfView();
  if (axis == Axis::None) return false;
  if (angleDelta == 0) return true;
  const TimeWindow shown = Shown();
  double pivot = ValueAt(at.x());
  if (!std::isfinite(pivot)) pivot = (shown.lo + shown.hi) / 2;
  const double f = WheelFactor(angleDelta);
  if (axis == Axis::Time) {
    Show(ZoomTimeWindowAt(shown, f, pivot, RecordLength(window_.App())));
  } else {
    const bool log = window_.Session().screenFrame.X.Flags & AxisLog;
    Show(ZoomAxisRange(shown, f, pivot, log));
  }
  Readout(at);
  return true;
}

void GraphMouse::Press(QPointF at, Qt::KeyboardModifiers modifiers) {
  if (AxisOfView() == Axis::None || !std::isfinite(ValueAt(at.x()))) return;
  from_ = at;
  dragStart_ = Shown();
  banding_ = modifiers & Qt::ShiftModifier;
  dragging_ = !banding_;
  band_ = QRectF();
}

void GraphMouse::Move(QPointF at, Qt::MouseButtons buttons) {
  if (!(buttons & Qt::LeftButton)) {
    dragging_ = banding_ = false;
    Readout(at);
    return;
  }
  if (banding_) {
    band_ = QRectF(from_, at).normalized();
    window_.Picture()->update();
    return;
  }
  if (!dragging_ || AxisOfView() == Axis::None) return;
  const GraphFrame& frame = window_.Session().screenFrame;
  const double plotPixels = frame.Width / window_.Session().screenUnitsPerPixel;
  if (!(plotPixels > 0)) return;
  const double fraction = (from_.x() - at.x()) / plotPixels;  // dragging right shows earlier
  if (AxisOfView() == Axis::Time) {
    Show(PanTimeWindow(dragStart_, fraction * (dragStart_.hi - dragStart_.lo), RecordLength(window_.App())));
  } else {
    Show(PanAxisRange(dragStart_, fraction, frame.X.Flags & AxisLog));
  }
}

void GraphMouse::Release(QPointF at) {
  if (banding_) {
    banding_ = false;
    band_ = QRectF();
    window_.Picture()->update();
    const double a = ValueAt(from_.x()), b = ValueAt(at.x());
    if (AxisOfView() == Axis::Time) {
      if (const auto w = TimeWindowBetween(a, b, RecordLength(window_.App()))) Show(*w);
    } else if (std::isfinite(a) && std::isfinite(b) && a != b) {
      Show({std::min(a, b), std::max(a, b)});
    }
  }
  dragging_ = false;
}

void GraphMouse::DoubleClick(QPointF at) {
  const Axis axis = AxisOfView();
  if (axis == Axis::Time) {
    Show(WholeRecordWindow(RecordLength(window_.App())));
  } else if (axis == Axis::Spectrum) {
    const int type = SpectrumAxisType();
    const auto it = unzoomed_.find(type);
    if (it == unzoomed_.end()) return;
    window_.App().graph.Axis[static_cast<std::size_t>(type)] = it->second;
    unzoomed_.erase(it);
    window_.Redraw();
  }
  Readout(at);
}

void GraphMouse::Leave() {
  readout_.clear();
}

void GraphMouse::Readout(QPointF at) {
  readout_.setText(Q(PointerReadout(window_.App(), window_.Session(), at.x(), at.y())));
}

}  // namespace sism
