// The drawing object every graph is painted through. It keeps a complete drawing
// state and applies it to the target context at the start of each operation, taking
// it away again at the end, so the context is always left as it was found.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "draw/device_context.h"

namespace sism {

// Nearest integer, halves to even; NaN gives 0 and values beyond the 32-bit range are
// clamped, so no coordinate arithmetic can trap.
int32_t RoundCoord(double v);

// Dash patterns by pen style 1..4, element lengths in dash units (odd elements drawn).
struct LinePattern {
  int32_t count;
  std::array<int32_t, 6> elements;
};
extern const std::array<LinePattern, 5> LinePatterns;  // [0] unused

// Mark polygons by mark style 1..6, vertices in thousandths of the mark height.
struct MarkShape {
  int32_t count;
  std::array<int32_t, 12> x;
  std::array<int32_t, 12> y;
};
extern const std::array<MarkShape, 7> MarkShapes;  // [0] unused

class cGraphicExtensions {
 public:
  cGraphicExtensions();

  // Target context. Only raster displays, raster printers, plotters and metafiles are
  // accepted; anything else leaves the previous target in place.
  DeviceContext* hdc() const { return accepted_ ? target_ : nullptr; }
  void SetHdc(DeviceContext* dc);
  // Forgets a context that is about to go away (target or measuring reference).
  void Forget(const DeviceContext* dc);
  int32_t Technology() const { return technology_; }

  int32_t PenStyle() const { return pen_.style; }
  void SetPenStyle(int32_t v) { pen_.style = v; }
  int32_t PenWidth() const { return pen_.width; }
  void SetPenWidth(int32_t v) { pen_.width = v; }
  Rgb PenColor() const { return pen_.color; }
  void SetPenColor(Rgb v) { pen_.color = v; }
  int32_t PenPixel() const;
  void SetPenPixel(int32_t pixels);
  int32_t BrushStyle() const { return brush_.style; }
  void SetBrushStyle(int32_t v) { brush_.style = v; }
  Rgb BrushColor() const { return brush_.color; }
  void SetBrushColor(Rgb v) { brush_.color = v; }
  int32_t BrushHatch() const { return brush_.hatch; }
  void SetBrushHatch(int32_t v) { brush_.hatch = v; }
  int32_t MarkStyle() const { return markStyle_; }
  void SetMarkStyle(int32_t v) { markStyle_ = v; }
  int32_t MarkHeight() const { return markHeight_; }
  void SetMarkHeight(int32_t v) { markHeight_ = v; }
  int32_t LineUnit() const { return lineUnit_; }
  void SetLineUnit(int32_t v) { lineUnit_ = v; }
  Rgb FontColor() const { return fontColor_; }
  void SetFontColor(Rgb v) { fontColor_ = v; }
  int32_t TextAlign() const { return textAlign_; }
  void SetTextAlign(int32_t v) { textAlign_ = v; }

  const std::string& FontName() const { return fontName_; }
  void SetFontName(const std::string& name);
  int32_t FontSize() const { return font_.height; }
  void SetFontSize(int32_t height) { font_.height = height; }
  int32_t FontPoint() const;
  void SetFontPoint(int32_t points);
  bool FontBold() const { return font_.weight >= 451; }
  void SetFontBold(bool v) { font_.weight = v ? 700 : 400; }
  bool FontItalic() const { return font_.italic != 0; }
  void SetFontItalic(bool v) { font_.italic = v ? 1 : 0; }
  bool FontUnderline() const { return font_.underline != 0; }
  void SetFontUnderline(bool v) { font_.underline = v ? 1 : 0; }
  int32_t FontAngle() const;
  void SetFontAngle(int32_t degrees);
  const DcFont& FontRecord() const { return font_; }
  bool FontDefined() const { return fontDefined_; }

  // Mapping and clipping.
  void SetWindow(int32_t viewportWidth, int32_t viewportHeight, int32_t windowWidth, int32_t windowHeight);
  void SetOrigin(int32_t x, int32_t y);
  void ClipRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  void ClipRectSoft(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  bool WindowSet() const { return windowSet_; }
  float DeviceScale() const { return scale_; }
  int32_t WindowWidth() const { return windowW_; }
  int32_t WindowHeight() const { return windowH_; }
  int32_t ViewportWidth() const { return viewW_; }
  int32_t ViewportHeight() const { return viewH_; }
  bool SoftClipOn() const { return softOn_; }

  // Text.
  void TextOut(int32_t x, int32_t y, const std::string& text);
  void DrawText(int32_t left, int32_t top, int32_t right, int32_t bottom, const std::string& text);
  int32_t GetTextWidth(const std::string& text);

  // Lines and shapes; point lists are X[0..n-1], Y[0..n-1].
  void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  void DrawPolygon(const int32_t* X, const int32_t* Y, int32_t n);
  void DrawPolyline(const int32_t* X, const int32_t* Y, int32_t n);
  void DrawPolylineEx(const int32_t* X, const int32_t* Y, int32_t n);
  void DrawPolylineClipped(const int32_t* X, const int32_t* Y, int32_t n);
  void DrawPolyMark(const int32_t* X, const int32_t* Y, int32_t n);
  void DrawPolyMarkClipped(const int32_t* X, const int32_t* Y, int32_t n);
  void DrawRectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  void DrawEllipse(int32_t x1, int32_t y1, int32_t x2, int32_t y2);

  void DrawPolygon(const std::vector<int32_t>& X, const std::vector<int32_t>& Y);
  void DrawPolylineEx(const std::vector<int32_t>& X, const std::vector<int32_t>& Y);
  void DrawPolylineClipped(const std::vector<int32_t>& X, const std::vector<int32_t>& Y);
  void DrawPolyMark(const std::vector<int32_t>& X, const std::vector<int32_t>& Y);
  void DrawPolyMarkClipped(const std::vector<int32_t>& X, const std::vector<int32_t>& Y);

  // One level of saved style.
  void SaveProperties();
  void RestoreProperties();

 private:
  struct Saved {
    DcPen pen;
    DcBrush brush;
    DcFont font;
    Rgb fontColor = 0;
    int32_t textAlign = 0;
    std::string fontName;
    int32_t lineUnit = 0;
  };

  bool BeginDraw();
  void EndDraw();
  void ApplyMapping(DeviceContext& dc) const;
  bool Ready() const { return accepted_ && target_ != nullptr; }
  bool InsideSoft(int32_t x, int32_t y) const;
  DcPoint EdgePoint(int32_t px, int32_t py, int32_t x, int32_t y, bool byFirst) const;

  DeviceContext* target_ = nullptr;
  bool accepted_ = false;
  int32_t technology_ = 0;
  int32_t pixelsPerInchY_ = 0;
  DeviceContext* reference_ = nullptr;

  DcPen pen_;
  DcBrush brush_;
  DcFont font_;
  std::string fontName_;
  bool fontDefined_ = false;
  Rgb fontColor_ = 0;
  int32_t textAlign_ = 0;
  int32_t lineUnit_ = 5;
  int32_t markStyle_ = 0;
  int32_t markHeight_ = 0;

  int32_t viewW_ = 0, viewH_ = 0, windowW_ = 0, windowH_ = 0;
  int32_t originX_ = 0, originY_ = 0;
  bool windowSet_ = false;
  float scale_ = 0;

  int32_t hx1_ = 0, hy1_ = 0, hx2_ = 0, hy2_ = 0;
  bool hardOn_ = false;
  int32_t sx1_ = 0, sy1_ = 0, sx2_ = 0, sy2_ = 0;
  bool softOn_ = false;

  Saved saved_;
  bool savedFull_ = false;

  bool bracketOpen_ = false;
  int savedId_ = 0;
};

}  // namespace sism
