#include "draw/qt/qpainter_dc.h"

#include <QFontMetricsF>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace sism {

namespace {

QColor ToColor(Rgb c) {
  return QColor(RgbRed(c), RgbGreen(c), RgbBlue(c));
}

QString FromText(const std::string& text) {
  QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return s;
}

// Font sizes beyond this (in logical units) are taken as this; a font cannot be built
// for any size a setting may hold.
constexpr double kMaxFontUnits = 1e6;

}  // namespace

QString ResolveFontFamily(const std::string& faceName) {
  const QString name = QString::fromStdString(faceName).trimmed();
  const QString lower = name.toLower();
  if (lower.isEmpty() || lower == "arial" || lower == "helvetica" || lower == "ms sans serif" ||
      lower == "ms pgothic" || lower == "ms gothic")
    return QStringLiteral("Liberation Sans");
  if (lower == "times new roman" || lower == "times" || lower == "ms mincho")
    return QStringLiteral("Liberation Serif");
  if (lower == "courier new" || lower == "courier") return QStringLiteral("Liberation Mono");
  return name;
}

QtPainterDc::QtPainterDc(QPainter& painter, int32_t technology, int32_t ppiX, int32_t ppiY)
    : p_(painter),
      base_(painter.isActive() ? painter.transform() : QTransform()),
      technology_(technology),
      ppiX_(ppiX),
      ppiY_(ppiY) {}

int QtPainterDc::SaveState() {
  saved_.push_back(state_);
  return static_cast<int>(saved_.size());
}

void QtPainterDc::RestoreState(int id) {
  if (id < 1 || id > static_cast<int>(saved_.size())) return;
  state_ = saved_[static_cast<size_t>(id - 1)];
  saved_.resize(static_cast<size_t>(id - 1));
}

void QtPainterDc::SetMapping(int32_t wx, int32_t wy, int32_t ox, int32_t oy, int32_t vx, int32_t vy) {
  if (wx == 0 || wy == 0 || vx == 0 || vy == 0) {
    state_.mapped = false;
    return;
  }
  double sx = static_cast<double>(vx) / wx;
  double sy = static_cast<double>(vy) / wy;
  // Isotropic: the smaller scale on both axes, each keeping its direction.
  const double m = std::min(std::fabs(sx), std::fabs(sy));
  sx = std::copysign(m, sx);
  sy = std::copysign(m, sy);
  state_.mapped = true;
  state_.sx = sx;
  state_.sy = sy;
  state_.orgX = ox;
  state_.orgY = oy;
}

void QtPainterDc::SetClipRect(int32_t l, int32_t t, int32_t r, int32_t b) {
  state_.clipOn = true;
  state_.clip = QRect(QPoint(std::min(l, r), std::min(t, b)), QPoint(std::max(l, r) - 1, std::max(t, b) - 1));
}

void QtPainterDc::SelectFont(const DcFont& font) {
  state_.fontStack.emplace_back(state_.fontSet, state_.font);
  state_.font = font;
  state_.fontSet = true;
}

void QtPainterDc::DeselectFont() {
  if (state_.fontStack.empty()) return;
  state_.fontSet = state_.fontStack.back().first;
  state_.font = state_.fontStack.back().second;
  state_.fontStack.pop_back();
}

Rgb QtPainterDc::SetTextColor(Rgb color) {
  const Rgb old = state_.textColor;
  state_.textColor = color;
  return old;
}

int32_t QtPainterDc::SetTextAlign(int32_t flags) {
  const int32_t old = state_.align;
  state_.align = flags;
  return old;
}

QTransform QtPainterDc::Mapping() const {
  if (!state_.mapped) return QTransform();
  return QTransform(state_.sx, 0, 0, state_.sy, -state_.orgX * state_.sx, -state_.orgY * state_.sy);
}

QPointF QtPainterDc::ToDevice(double x, double y) const {
  return Mapping().map(QPointF(x, y));
}

bool QtPainterDc::Prepare(bool forText) {
  if (!p_.isActive()) return false;
  p_.setTransform(base_);
  if (state_.clipOn)
    p_.setClipRect(state_.clip, Qt::ReplaceClip);
  else
    p_.setClipping(false);
  p_.setRenderHint(QPainter::Antialiasing, false);
  if (forText) {
    p_.setPen(QPen(ToColor(state_.textColor)));
    p_.setBrush(Qt::NoBrush);
    p_.setRenderHint(QPainter::TextAntialiasing, true);
    return true;
  }
  const DcPen& pen = state_.pen;
  if (pen.style == PenNull) {
    p_.setPen(Qt::NoPen);
  } else {
    QPen q(ToColor(pen.color));
    const double scale = state_.mapped ? std::fabs(state_.sx) : 1.0;
    const double deviceWidth = std::max(0, pen.width) * scale;
    if (deviceWidth <= 1.0 || !std::isfinite(deviceWidth)) {
      q.setWidthF(1.0);
      q.setCosmetic(true);
    } else {
      q.setWidthF(std::min(deviceWidth, 1e4));
      q.setCapStyle(Qt::RoundCap);
      q.setJoinStyle(Qt::RoundJoin);
    }
    switch (pen.style) {
      case PenDash:
        q.setStyle(Qt::DashLine);
        break;
      case PenDot:
        q.setStyle(Qt::DotLine);
        break;
      case PenDashDot:
        q.setStyle(Qt::DashDotLine);
        break;
      case PenDashDotDot:
        q.setStyle(Qt::DashDotDotLine);
        break;
      default:
        q.setStyle(Qt::SolidLine);
        break;
    }
    p_.setPen(q);
  }
  const DcBrush& b = state_.brush;
  switch (b.style) {
    case BrushHollow:
      p_.setBrush(Qt::NoBrush);
      break;
    case BrushHatched: {
      static constexpr Qt::BrushStyle kHatch[6] = {Qt::HorPattern,   Qt::VerPattern,   Qt::FDiagPattern,
                                                   Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
      p_.setBrush(QBrush(ToColor(b.color), kHatch[std::clamp(b.hatch, 0, 5)]));
      break;
    }
    default:
      p_.setBrush(QBrush(ToColor(b.color)));
      break;
  }
  return true;
}

void QtPainterDc::MoveTo(int32_t x, int32_t y) {
  state_.current = QPointF(x, y);
}

void QtPainterDc::LineTo(int32_t x, int32_t y) {
  const QPointF to(x, y);
  if (!Prepare(false)) {
    state_.current = to;
    return;
  }
  p_.drawLine(ToDevice(state_.current.x(), state_.current.y()), ToDevice(to.x(), to.y()));
  state_.current = to;
}

void QtPainterDc::Polyline(const DcPoint* points, int32_t count) {
  if (points == nullptr || count < 1) return;
  if (!Prepare(false)) return;
  QPolygonF poly;
  poly.reserve(count);
  for (int32_t i = 0; i < count; ++i) poly.append(ToDevice(points[i].x, points[i].y));
  if (count == 1) {
    p_.drawPoint(poly[0]);
    return;
  }
  // On a bitmap a wide pen is stroked into one outline that is then filled: for a long,
  // dense line (a long record on screen) that fill costs seconds. Short pieces cost
  // milliseconds and look the same, their round ends overlapping; a dash pattern carries
  // on across them. Vector pages keep one path.
  constexpr int32_t kPiece = 32;
  QPen pen = p_.pen();
  if (technology_ != TechRasterDisplay || pen.isCosmetic() || pen.widthF() <= 1.0 || count <= 4 * kPiece) {
    p_.drawPolyline(poly);
    return;
  }
  const double width = pen.widthF();
  double offset = pen.dashOffset();
  for (int32_t start = 0; start < count - 1; start += kPiece) {
    const int32_t n = std::min(kPiece + 1, count - start);
    pen.setDashOffset(offset);
    p_.setPen(pen);
    p_.drawPolyline(poly.constData() + start, n);
    for (int32_t i = start + 1; i < start + n; ++i) offset += QLineF(poly[i - 1], poly[i]).length() / width;
  }
}

void QtPainterDc::Polygon(const DcPoint* points, int32_t count) {
  if (points == nullptr || count < 2) return;
  if (!Prepare(false)) return;
  QPolygonF poly;
  poly.reserve(count);
  for (int32_t i = 0; i < count; ++i) poly.append(ToDevice(points[i].x, points[i].y));
  p_.drawPolygon(poly, Qt::OddEvenFill);
}

void QtPainterDc::Rectangle(int32_t l, int32_t t, int32_t r, int32_t b) {
  if (!Prepare(false)) return;
  p_.drawRect(QRectF(ToDevice(l, t), ToDevice(r, b)).normalized());
}

void QtPainterDc::Ellipse(int32_t l, int32_t t, int32_t r, int32_t b) {
  if (!Prepare(false)) return;
  p_.drawEllipse(QRectF(ToDevice(l, t), ToDevice(r, b)).normalized());
}

// The font sized in logical units; `unitsToDevice` gets the device pixels per unit.
QFont QtPainterDc::MakeFont(double& unitsToDevice) const {
  unitsToDevice = state_.mapped ? std::fabs(state_.sy) : 1.0;
  static const DcFont kDefaultFont{};
  const DcFont& f = state_.fontSet ? state_.font : kDefaultFont;
  QFont font(ResolveFontFamily(f.faceName));
  font.setStyleStrategy(QFont::PreferOutline);
  font.setHintingPreference(QFont::PreferNoHinting);
  double units = std::fabs(static_cast<double>(f.height));
  if (units == 0) units = 12.0 / 72.0 * ppiY_ / unitsToDevice;  // the platform's default size
  if (f.height > 0) {
    // A positive height is the whole cell: turn it into an em size.
    QFont probe = font;
    probe.setPixelSize(1000);
    const QFontMetricsF m(probe);
    const double cell = m.ascent() + m.descent();
    if (cell > 0) units = units * 1000 / cell;
  }
  units = std::clamp(units, 1.0, kMaxFontUnits);
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(units))));
  font.setWeight(static_cast<QFont::Weight>(std::clamp(f.weight == 0 ? 400 : f.weight, 1, 1000)));
  font.setItalic(f.italic != 0);
  font.setUnderline(f.underline != 0);
  font.setStrikeOut(f.strikeOut != 0);
  return font;
}

void QtPainterDc::TextOut(int32_t x, int32_t y, const std::string& text) {
  if (text.empty()) return;
  double unit = 1;
  const QFont font = MakeFont(unit);
  if (!Prepare(true)) return;
  const QString s = FromText(text);
  const QFontMetricsF m(font);
  const double w = m.horizontalAdvance(s);
  double dx = 0, dy = m.ascent();
  const int32_t a = state_.align;
  if ((a & 6) == 6)
    dx = -w / 2;
  else if (a & 2)
    dx = -w;
  if ((a & 24) == 24)
    dy = 0;
  else if (a & 8)
    dy = -m.descent();
  double angle = state_.fontSet ? state_.font.escapement / 10.0 : 0;
  if (state_.mapped && state_.sy < 0) angle = -angle;  // escapement reads the same on a flipped page
  const QPointF at = ToDevice(x, y);
  QTransform t = base_;
  t.translate(at.x(), at.y());
  t.rotate(-angle);
  t.scale(unit, unit);
  p_.setTransform(t);
  p_.setFont(font);
  p_.drawText(QPointF(dx, dy), s);
  p_.setTransform(base_);
}

void QtPainterDc::DrawText(int32_t l, int32_t t, int32_t r, int32_t b, const std::string& text,
                           int32_t format) {
  if (text.empty()) return;
  double unit = 1;
  const QFont font = MakeFont(unit);
  if (!Prepare(true)) return;
  const QRectF device = QRectF(ToDevice(l, t), ToDevice(r, b)).normalized();
  QString s = FromText(text);
  int flags = 0;
  if (format & DtCenter)
    flags |= Qt::AlignHCenter;
  else if (format & DtRight)
    flags |= Qt::AlignRight;
  else
    flags |= Qt::AlignLeft;
  flags |= (format & DtBottom) ? Qt::AlignBottom : Qt::AlignTop;
  if (format & DtSingleLine)
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
  else if (format & DtWordBreak)
    flags |= Qt::TextWordWrap;
  if (format & DtExpandTabs) flags |= Qt::TextExpandTabs;
  QTransform tr = base_;
  tr.translate(device.left(), device.top());
  tr.scale(unit, unit);
  p_.setTransform(tr);
  p_.setFont(font);
  p_.drawText(QRectF(0, 0, device.width() / unit, device.height() / unit), flags, s);
  p_.setTransform(base_);
}

std::pair<int32_t, int32_t> QtPainterDc::TextExtent(const std::string& text) {
  double unit = 1;
  const QFont font = MakeFont(unit);
  const QFontMetricsF m(font);
  const double w = m.horizontalAdvance(FromText(text));
  return {static_cast<int32_t>(std::lround(w)), static_cast<int32_t>(std::lround(m.height()))};
}

}  // namespace sism
