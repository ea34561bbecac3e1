#include "draw/graphic_extensions.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace sism {

namespace {
constexpr float kMaxDashesPerSegment = 100000;
}  // namespace

int32_t RoundCoord(double v) {
  if (std::isnan(v)) return 0;
  constexpr double lo = std::numeric_limits<int32_t>::min();
  constexpr double hi = std::numeric_limits<int32_t>::max();
  const double r = std::nearbyint(v);  // default rounding mode: halves to even
  if (r <= lo) return std::numeric_limits<int32_t>::min();
  if (r >= hi) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(r);
}

const std::array<LinePattern, 5> LinePatterns = {{
    {0, {}},
    {2, {3, 1}},
    {2, {1, 1}},
    {4, {5, 1, 1, 1}},
    {6, {5, 1, 1, 1, 1, 1}},
}};

const std::array<MarkShape, 7> MarkShapes = {{
    {0, {}, {}},
    {12,
     {0, 282, 488, 564, 488, 282, 0, -282, -488, -564, -488, -282},
     {564, 488, 282, 0, -282, -488, -564, -488, -282, 0, 282, 488}},
    {3, {0, 760, -760}, {877, -439, -439}},
    {3, {0, -760, 760}, {-877, 439, 439}},
    {4, {500, 500, -500, -500}, {500, -500, -500, 500}},
    {4, {0, 707, 0, -707}, {707, 0, -707, 0}},
    {10,
     {0, 200, 843, 323, 523, 0, -523, -323, -843, -200},
     {891, 275, 275, -102, -721, -340, -721, -102, 275, 275}},
}};

cGraphicExtensions::cGraphicExtensions() {
  pen_ = DcPen{PenSolid, 1, 0};
  brush_ = DcBrush{BrushSolid, 0xFFFFFF, 0};
  font_ = DcFont{};
}

void cGraphicExtensions::SetHdc(DeviceContext* dc) {
  if (dc == nullptr) return;
  const int32_t tech = dc->Technology();
  if (tech != TechRasterDisplay && tech != TechRasterPrinter && tech != TechPlotter && tech != TechMetafile)
    return;
  target_ = dc;
  accepted_ = true;
  technology_ = tech;
  if (tech != TechPlotter) pixelsPerInchY_ = dc->LogPixelsY();
  if (tech == TechRasterDisplay) reference_ = dc;
}

void cGraphicExtensions::Forget(const DeviceContext* dc) {
  if (dc == nullptr) return;
  if (reference_ == dc) reference_ = nullptr;
  if (target_ == dc) {
    target_ = nullptr;
    accepted_ = false;
  }
}

int32_t cGraphicExtensions::PenPixel() const {
  if (windowW_ == 0) return pen_.width;
  return RoundCoord(static_cast<double>(viewW_) * pen_.width / windowW_);
}

void cGraphicExtensions::SetPenPixel(int32_t pixels) {
  int32_t w = viewW_ == 0 ? pixels : RoundCoord(static_cast<double>(windowW_) * pixels / viewW_);
  pen_.width = w < pixels ? pixels : w;
}

void cGraphicExtensions::SetFontName(const std::string& name) {
  fontName_ = name;
  font_.faceName = name.substr(0, 31);
  fontDefined_ = true;
}

int32_t cGraphicExtensions::FontPoint() const {
  const double den = static_cast<double>(pixelsPerInchY_) * windowH_;
  if (den == 0) return 0;
  return RoundCoord(std::fabs(static_cast<double>(font_.height) * 72.0 * viewH_ / den));
}

void cGraphicExtensions::SetFontPoint(int32_t points) {
  const double den = static_cast<double>(viewH_) * 72.0;
  if (den == 0) return;  // no window yet: a point size cannot be turned into logical units
  font_.height = RoundCoord(std::fabs(static_cast<double>(pixelsPerInchY_) * points * windowH_ / den));
}

int32_t cGraphicExtensions::FontAngle() const {
  const int32_t a = RoundCoord(font_.escapement / 10.0);
  return windowH_ < 0 ? -a : a;
}

void cGraphicExtensions::SetFontAngle(int32_t degrees) {
  int64_t e = static_cast<int64_t>(degrees) * 10;
  if (windowH_ < 0) e = -e;
  e %= 3600;  // the same direction, kept within range
  font_.escapement = static_cast<int32_t>(e);
  font_.orientation = font_.escapement;
}

void cGraphicExtensions::SetWindow(int32_t vw, int32_t vh, int32_t ww, int32_t wh) {
  if (vw >= 1 && vh >= 1 && ww >= 1 && wh != 0) {
    viewW_ = vw;
    viewH_ = vh;
    windowW_ = ww;
    windowH_ = wh;
    originX_ = originY_ = 0;
    scale_ = std::fabs(static_cast<float>(vw) / static_cast<float>(ww));
    windowSet_ = true;
  } else {
    windowSet_ = false;
  }
}

void cGraphicExtensions::SetOrigin(int32_t x, int32_t y) {
  originX_ = x;
  originY_ = y;
}

void cGraphicExtensions::ClipRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  hardOn_ = x2 > x1 && y2 > y1;
  if (hardOn_) {
    hx1_ = x1;
    hy1_ = y1;
    hx2_ = x2;
    hy2_ = y2;
  }
}

void cGraphicExtensions::ClipRectSoft(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  softOn_ = x2 > x1 && y2 > y1;
  if (softOn_) {
    sx1_ = x1;
    sy1_ = y1;
    sx2_ = x2;
    sy2_ = y2;
  }
}

void cGraphicExtensions::ApplyMapping(DeviceContext& dc) const {
  if (!windowSet_) return;
  const int32_t orgY = windowH_ >= 0 ? -originY_ : -(originY_ + windowH_);
  dc.SetMapping(windowW_, windowH_, -originX_, orgY, viewW_, viewH_);
}

bool cGraphicExtensions::BeginDraw() {
  if (!Ready()) return false;
  if (bracketOpen_) return true;
  DeviceContext& dc = *target_;
  savedId_ = dc.SaveState();
  bracketOpen_ = true;
  ApplyMapping(dc);
  if (hardOn_) {
    const double s = scale_;
    const double ox = originX_, oy = originY_;
    const int32_t left = RoundCoord(s * (hx1_ + ox));
    const int32_t right = RoundCoord(s * (hx2_ + ox));
    int32_t top, bottom;
    if (windowH_ >= 0 || !windowSet_) {
      top = RoundCoord(s * (hy1_ + oy));
      bottom = RoundCoord(s * (hy2_ + oy));
    } else {
      top = RoundCoord(s * (-(static_cast<double>(hy1_) + windowH_) - oy));
      bottom = RoundCoord(s * (-(static_cast<double>(hy2_) + windowH_) - oy));
    }
    dc.SetClipRect(left, top, right, bottom);
  }
  dc.SelectPen(pen_);
  dc.SelectBrush(brush_);
  return true;
}

void cGraphicExtensions::EndDraw() {
  if (!bracketOpen_) return;
  if (target_ != nullptr) target_->RestoreState(savedId_);
  bracketOpen_ = false;
}

void cGraphicExtensions::TextOut(int32_t x, int32_t y, const std::string& text) {
  if (!BeginDraw()) return;
  DeviceContext& dc = *target_;
  dc.SetBackgroundTransparent();
  Rgb oldColor = 0;
  if (fontDefined_) {
    dc.SelectFont(font_);
    oldColor = dc.SetTextColor(fontColor_);
  }
  const int32_t oldAlign = dc.SetTextAlign(textAlign_);
  dc.TextOut(x, y, text);
  dc.SetTextAlign(oldAlign);
  if (fontDefined_) {
    dc.DeselectFont();
    dc.SetTextColor(oldColor);
  }
  EndDraw();
}

void cGraphicExtensions::DrawText(int32_t left, int32_t top, int32_t right, int32_t bottom,
                                  const std::string& text) {
  if (!BeginDraw()) return;
  DeviceContext& dc = *target_;
  dc.SetBackgroundTransparent();
  Rgb oldColor = 0;
  if (fontDefined_) {
    dc.SelectFont(font_);
    oldColor = dc.SetTextColor(fontColor_);
  }
  int32_t format = DtNoPrefix | DtExpandTabs | DtWordBreak;
  if ((textAlign_ & 6) == 6)
    format |= DtCenter;
  else if (textAlign_ & 2)
    format |= DtRight;
  if (textAlign_ & 8) format |= DtSingleLine | DtBottom;
  dc.DrawText(left, top, right, bottom, text, format);
  if (fontDefined_) {
    dc.DeselectFont();
    dc.SetTextColor(oldColor);
  }
  EndDraw();
}

int32_t cGraphicExtensions::GetTextWidth(const std::string& text) {
  if (!Ready()) return 0;
  DeviceContext* measure = nullptr;
  if (technology_ == TechRasterDisplay || technology_ == TechRasterPrinter || target_->CanMeasureText())
    measure = target_;
  else
    measure = reference_;
  if (measure == nullptr) return 0;
  if (!BeginDraw()) return 0;
  int refState = 0;
  if (measure != target_) {
    // Measure in the target's logical units, not the reference picture's own.
    refState = measure->SaveState();
    ApplyMapping(*measure);
  }
  if (fontDefined_) measure->SelectFont(font_);
  const int32_t width = measure->TextExtent(text).first;
  if (fontDefined_) measure->DeselectFont();
  if (measure != target_) measure->RestoreState(refState);
  EndDraw();
  return width;
}

void cGraphicExtensions::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (!BeginDraw()) return;
  target_->MoveTo(x1, y1);
  target_->LineTo(x2, y2);
  EndDraw();
}

static std::vector<DcPoint> ToPoints(const int32_t* X, const int32_t* Y, int32_t n) {
  std::vector<DcPoint> pts(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) pts[i] = DcPoint{X[i], Y[i]};
  return pts;
}

void cGraphicExtensions::DrawPolygon(const int32_t* X, const int32_t* Y, int32_t n) {
  if (n < 1 || X == nullptr || Y == nullptr || !Ready()) return;
  const auto pts = ToPoints(X, Y, n);
  if (!BeginDraw()) return;
  target_->Polygon(pts.data(), n);
  EndDraw();
}

void cGraphicExtensions::DrawPolyline(const int32_t* X, const int32_t* Y, int32_t n) {
  if (n < 1 || X == nullptr || Y == nullptr || !Ready()) return;
  const auto pts = ToPoints(X, Y, n);
  if (!BeginDraw()) return;
  target_->Polyline(pts.data(), n);
  EndDraw();
}

void cGraphicExtensions::DrawPolylineEx(const int32_t* X, const int32_t* Y, int32_t n) {
  if (n < 1 || X == nullptr || Y == nullptr || !Ready()) return;
  const float u = static_cast<float>(pen_.width) + static_cast<float>(lineUnit_);
  // A dash unit below one (a negative pen width) would never advance along the line.
  if (lineUnit_ < 1 || pen_.style < 1 || pen_.style > 4 || !(u >= 1)) {
    DrawPolyline(X, Y, n);
    return;
  }
  const int32_t style = pen_.style;
  const LinePattern& pat = LinePatterns[style];
  pen_.style = PenSolid;
  if (!BeginDraw()) {
    pen_.style = style;
    return;
  }
  DeviceContext& dc = *target_;
  int32_t k = 1;
  float p = 0;
  int32_t x0 = X[0], y0 = Y[0];
  dc.MoveTo(x0, y0);
  for (int32_t i = 1; i < n; ++i) {
    const double dx = static_cast<double>(X[i]) - x0;
    const double dy = static_cast<double>(Y[i]) - y0;
    const int32_t L = RoundCoord(std::sqrt(dx * dx + dy * dy));
    if (L < 1) continue;
    if (L / u > kMaxDashesPerSegment) {
      // Far beyond any page: drawn solid rather than as millions of dashes.
      dc.LineTo(X[i], Y[i]);
      x0 = X[i];
      y0 = Y[i];
      continue;
    }
    const float ux = static_cast<float>(dx / L);
    const float uy = static_cast<float>(dy / L);
    while (p < L) {
      if (k > pat.count) k = 1;
      p += static_cast<float>(pat.elements[k - 1]) * u;
      if (p < L) {
        const int32_t qx = RoundCoord(static_cast<double>(ux * p) + x0);
        const int32_t qy = RoundCoord(static_cast<double>(uy * p) + y0);
        if (k % 2 == 1)
          dc.LineTo(qx, qy);
        else
          dc.MoveTo(qx, qy);
        ++k;
        continue;
      }
      if (k % 2 == 1) {
        dc.LineTo(X[i], Y[i]);
        dc.MoveTo(X[i], Y[i]);
      }
      break;
    }
    p = p - static_cast<float>(L) - static_cast<float>(pat.elements[k - 1]) * u;
    x0 = X[i];
    y0 = Y[i];
  }
  EndDraw();
  pen_.style = style;
}

bool cGraphicExtensions::InsideSoft(int32_t x, int32_t y) const {
  return !(x > sx2_ || x < sx1_ || y < sy1_ || y > sy2_);
}

// The crossing of the segment P-Q with the edge that the outside end lies beyond; the
// outside end is P when `byFirst`, else Q.
DcPoint cGraphicExtensions::EdgePoint(int32_t px, int32_t py, int32_t x, int32_t y, bool byFirst) const {
  const int32_t ox = byFirst ? px : x;
  const int32_t oy = byFirst ? py : y;
  const double Px = px, Py = py, Qx = x, Qy = y;
  if (ox < sx1_) return {sx1_, RoundCoord((sx1_ - Px) * (Qy - Py) / (Qx - Px) + Py)};
  if (ox > sx2_) return {sx2_, RoundCoord((Qy - Py) * (sx2_ - Px) / (Qx - Px) + Py)};
  if (oy > sy2_) return {RoundCoord((sy2_ - Py) * (Qx - Px) / (Qy - Py) + Px), sy2_};
  return {RoundCoord((sy1_ - Py) * (Qx - Px) / (Qy - Py) + Px), sy1_};
}

void cGraphicExtensions::DrawPolylineClipped(const int32_t* X, const int32_t* Y, int32_t n) {
  if (n < 1 || X == nullptr || Y == nullptr || !Ready()) return;
  if (!softOn_) {
    DrawPolylineEx(X, Y, n);
    return;
  }
  std::vector<int32_t> rx, ry;
  rx.reserve(static_cast<size_t>(n) + 2);
  ry.reserve(static_cast<size_t>(n) + 2);
  for (int32_t i = 0; i < n; ++i) {
    const int32_t x = X[i], y = Y[i];
    if (InsideSoft(x, y)) {
      if (rx.empty() && i >= 1) {
        const DcPoint e = EdgePoint(X[i - 1], Y[i - 1], x, y, true);
        rx.push_back(e.x);
        ry.push_back(e.y);
      }
      rx.push_back(x);
      ry.push_back(y);
    } else if (!rx.empty()) {
      const DcPoint e = EdgePoint(X[i - 1], Y[i - 1], x, y, false);
      rx.push_back(e.x);
      ry.push_back(e.y);
      DrawPolylineEx(rx.data(), ry.data(), static_cast<int32_t>(rx.size()));
      rx.clear();
      ry.clear();
    }
  }
  if (rx.size() > 1) DrawPolylineEx(rx.data(), ry.data(), static_cast<int32_t>(rx.size()));
}

void cGraphicExtensions::DrawPolyMark(const int32_t* X, const int32_t* Y, int32_t n) {
  if (n < 1 || X == nullptr || Y == nullptr || !Ready()) return;
  if (markHeight_ <= 0 || markStyle_ < 1 || markStyle_ > 6) return;
  pen_.style = PenSolid;
  if (!BeginDraw()) return;
  const MarkShape& shape = MarkShapes[markStyle_];
  std::array<DcPoint, 12> poly{};
  for (int32_t j = 0; j < shape.count; ++j) {
    // Integer division truncating towards zero, as C++ does.
    const int64_t mx = static_cast<int64_t>(shape.x[j]) * markHeight_ / 1000;
    const int64_t my = static_cast<int64_t>(shape.y[j]) * markHeight_ / 1000;
    poly[j] = DcPoint{RoundCoord(static_cast<double>(X[0] + mx)), RoundCoord(static_cast<double>(Y[0] + my))};
  }
  target_->Polygon(poly.data(), shape.count);
  for (int32_t i = 1; i < n; ++i) {
    const int64_t ddx = static_cast<int64_t>(X[i]) - X[i - 1];
    const int64_t ddy = static_cast<int64_t>(Y[i]) - Y[i - 1];
    for (int32_t j = 0; j < shape.count; ++j) {
      poly[j].x = RoundCoord(static_cast<double>(poly[j].x + ddx));
      poly[j].y = RoundCoord(static_cast<double>(poly[j].y + ddy));
    }
    target_->Polygon(poly.data(), shape.count);
  }
  EndDraw();
}

void cGraphicExtensions::DrawPolyMarkClipped(const int32_t* X, const int32_t* Y, int32_t n) {
  if (n < 1 || X == nullptr || Y == nullptr || !Ready()) return;
  if (!softOn_) {
    DrawPolyMark(X, Y, n);
    return;
  }
  std::vector<int32_t> bx, by;
  for (int32_t i = 0; i < n; ++i) {
    if (InsideSoft(X[i], Y[i])) {
      bx.push_back(X[i]);
      by.push_back(Y[i]);
    } else if (bx.size() > 1) {
      DrawPolyMark(bx.data(), by.data(), static_cast<int32_t>(bx.size()));
      bx.clear();
      by.clear();
    }
  }
  if (!bx.empty()) DrawPolyMark(bx.data(), by.data(), static_cast<int32_t>(bx.size()));
}

void cGraphicExtensions::DrawRectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (!BeginDraw()) return;
  target_->Rectangle(x1, y1, x2, y2);
  EndDraw();
}

void cGraphicExtensions::DrawEllipse(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (!BeginDraw()) return;
  target_->Ellipse(x1, y1, x2, y2);
  EndDraw();
}

static int32_t CommonCount(const std::vector<int32_t>& X, const std::vector<int32_t>& Y) {
  return static_cast<int32_t>(std::min(X.size(), Y.size()));
}

void cGraphicExtensions::DrawPolygon(const std::vector<int32_t>& X, const std::vector<int32_t>& Y) {
  DrawPolygon(X.data(), Y.data(), CommonCount(X, Y));
}
void cGraphicExtensions::DrawPolylineEx(const std::vector<int32_t>& X, const std::vector<int32_t>& Y) {
  DrawPolylineEx(X.data(), Y.data(), CommonCount(X, Y));
}
void cGraphicExtensions::DrawPolylineClipped(const std::vector<int32_t>& X, const std::vector<int32_t>& Y) {
  DrawPolylineClipped(X.data(), Y.data(), CommonCount(X, Y));
}
void cGraphicExtensions::DrawPolyMark(const std::vector<int32_t>& X, const std::vector<int32_t>& Y) {
  DrawPolyMark(X.data(), Y.data(), CommonCount(X, Y));
}
void cGraphicExtensions::DrawPolyMarkClipped(const std::vector<int32_t>& X, const std::vector<int32_t>& Y) {
  DrawPolyMarkClipped(X.data(), Y.data(), CommonCount(X, Y));
}

void cGraphicExtensions::SaveProperties() {
  saved_ = Saved{pen_, brush_, font_, fontColor_, textAlign_, fontName_, lineUnit_};
  savedFull_ = true;
}

void cGraphicExtensions::RestoreProperties() {
  if (!savedFull_) return;
  pen_ = saved_.pen;
  brush_ = saved_.brush;
  font_ = saved_.font;
  fontColor_ = saved_.fontColor;
  textAlign_ = saved_.textAlign;
  fontName_ = saved_.fontName;
  lineUnit_ = saved_.lineUnit;
}

}  // namespace sism
