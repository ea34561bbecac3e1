// The device-context interface on a QPainter: the screen picture, image files, SVG
// pictures and PDF or printer pages all draw through it.
#pragma once

#include <QFont>
#include <QPainter>
#include <QPointF>
#include <QRect>
#include <QTransform>
#include <vector>

#include "draw/device_context.h"

namespace sism {

// Face names of the settings resolved to installed, metric-compatible faces.
QString ResolveFontFamily(const std::string& faceName);

class QtPainterDc : public DeviceContext {
 public:
  // `painter` is active on its device; what it shows is painted in device pixels with
  // the painter's current transform as the device space.
  QtPainterDc(QPainter& painter, int32_t technology, int32_t pixelsPerInchX, int32_t pixelsPerInchY);

  int32_t Technology() const override { return technology_; }
  int32_t LogPixelsX() const override { return ppiX_; }
  int32_t LogPixelsY() const override { return ppiY_; }
  bool CanMeasureText() const override { return true; }

  int SaveState() override;
  void RestoreState(int id) override;
  void SetMapping(int32_t windowExtX, int32_t windowExtY, int32_t windowOrgX, int32_t windowOrgY,
                  int32_t viewportExtX, int32_t viewportExtY) override;
  void SetClipRect(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
  void SelectPen(const DcPen& pen) override { state_.pen = pen; }
  void SelectBrush(const DcBrush& brush) override { state_.brush = brush; }
  void SelectFont(const DcFont& font) override;
  void DeselectFont() override;
  Rgb SetTextColor(Rgb color) override;
  int32_t SetTextAlign(int32_t flags) override;
  void SetBackgroundTransparent() override {}

  void MoveTo(int32_t x, int32_t y) override;
  void LineTo(int32_t x, int32_t y) override;
  void Polyline(const DcPoint* points, int32_t count) override;
  void Polygon(const DcPoint* points, int32_t count) override;
  void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
  void Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
  void TextOut(int32_t x, int32_t y, const std::string& text) override;
  void DrawText(int32_t left, int32_t top, int32_t right, int32_t bottom, const std::string& text,
                int32_t format) override;
  std::pair<int32_t, int32_t> TextExtent(const std::string& text) override;

 private:
  struct State {
    bool mapped = false;
    double sx = 1, sy = 1;  // device pixels per logical unit (signed)
    double orgX = 0, orgY = 0;
    bool clipOn = false;
    QRect clip;
    DcPen pen;
    DcBrush brush;
    bool fontSet = false;
    DcFont font;
    std::vector<std::pair<bool, DcFont>> fontStack;
    Rgb textColor = 0;
    int32_t align = 0;
    QPointF current;
  };

  QTransform Mapping() const;
  QPointF ToDevice(double x, double y) const;
  bool Prepare(bool forText);  // false while the painter is not active
  QFont MakeFont(double& unitsToDevice) const;

  QPainter& p_;
  QTransform base_;
  int32_t technology_;
  int32_t ppiX_, ppiY_;
  State state_;
  std::vector<State> saved_;
};

}  // namespace sism
