// A device context for tests: logs every call as a line of text and keeps the drawn
// geometry, so drawing code can be checked without any platform.
#pragma once

#include <string>
#include <vector>

#include "draw/device_context.h"

namespace sism::test {

struct RecordedLine {
  int32_t x1, y1, x2, y2;
  DcPen pen;
};

struct RecordedText {
  int32_t x, y;
  std::string text;
  int32_t align;
  DcFont font;
  Rgb color;
};

class RecordingDc : public DeviceContext {
 public:
  explicit RecordingDc(int32_t technology = TechRasterDisplay, int32_t pixelsPerInch = 96)
      : technology_(technology), ppi_(pixelsPerInch) {}

  // Every call, e.g. "MoveTo 0 0", "LineTo 18 0", "Polyline 3: 0,0 10,0 10,10".
  std::vector<std::string> log;
  // Segments actually drawn (LineTo from the current position, polylines, polygon edges
  // are not included), texts drawn, polygons drawn.
  std::vector<RecordedLine> lines;
  std::vector<RecordedText> texts;
  std::vector<std::vector<DcPoint>> polygons;
  std::vector<std::vector<DcPoint>> polylines;
  int depth = 0;     // open SaveState levels
  int maxDepth = 0;  // deepest nesting seen
  // Width of one character for TextExtent: the font height / 2 (or 10 with no font).
  bool measurable = true;

  // Only the logged lines starting with `prefix`.
  std::vector<std::string> Calls(const std::string& prefix) const;
  void Clear();

  int32_t Technology() const override { return technology_; }
  int32_t LogPixelsX() const override { return ppi_; }
  int32_t LogPixelsY() const override { return ppi_; }
  bool CanMeasureText() const override { return measurable; }
  int SaveState() override;
  void RestoreState(int id) override;
  void SetMapping(int32_t wx, int32_t wy, int32_t ox, int32_t oy, int32_t vx, int32_t vy) override;
  void SetClipRect(int32_t l, int32_t t, int32_t r, int32_t b) override;
  void SelectPen(const DcPen& pen) override;
  void SelectBrush(const DcBrush& brush) override;
  void SelectFont(const DcFont& font) override;
  void DeselectFont() override;
  Rgb SetTextColor(Rgb color) override;
  int32_t SetTextAlign(int32_t flags) override;
  void SetBackgroundTransparent() override;
  void MoveTo(int32_t x, int32_t y) override;
  void LineTo(int32_t x, int32_t y) override;
  void Polyline(const DcPoint* p, int32_t n) override;
  void Polygon(const DcPoint* p, int32_t n) override;
  void Rectangle(int32_t l, int32_t t, int32_t r, int32_t b) override;
  void Ellipse(int32_t l, int32_t t, int32_t r, int32_t b) override;
  void TextOut(int32_t x, int32_t y, const std::string& text) override;
  void DrawText(int32_t l, int32_t t, int32_t r, int32_t b, const std::string& text, int32_t format) override;
  std::pair<int32_t, int32_t> TextExtent(const std::string& text) override;

  DcPen pen;
  DcBrush brush;
  DcFont font;
  Rgb textColor = 0;
  int32_t textAlign = 0;

 private:
  struct State {
    DcPen pen;
    DcBrush brush;
    DcFont font;
    std::vector<DcFont> fontStack;
    Rgb textColor;
    int32_t textAlign;
  };
  int32_t technology_;
  int32_t ppi_;
  int32_t curX_ = 0, curY_ = 0;
  std::vector<State> states_;
  std::vector<DcFont> fontStack_;
};

}  // namespace sism::test
