// The drawing surface the drawing object paints on: a small device-context interface
// that the screen picture, image files, vector pictures and printer pages implement.
// Coordinates are logical units mapped to device pixels by the window/viewport pair.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace sism {

// Colours as 0x00BBGGRR (red in the low byte), the form stored in the settings.
using Rgb = uint32_t;
constexpr int RgbRed(Rgb c) {
  return static_cast<int>(c & 0xFF);
}
constexpr int RgbGreen(Rgb c) {
  return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int RgbBlue(Rgb c) {
  return static_cast<int>((c >> 16) & 0xFF);
}
constexpr Rgb MakeRgb(int r, int g, int b) {
  return static_cast<Rgb>(r & 0xFF) | (static_cast<Rgb>(g & 0xFF) << 8) | (static_cast<Rgb>(b & 0xFF) << 16);
}

// What kind of target a context draws on.
enum DcTechnology : int32_t {
  TechPlotter = 0,
  TechRasterDisplay = 1,
  TechRasterPrinter = 2,
  TechRasterCamera = 3,
  TechCharStream = 4,
  TechMetafile = 5,
  TechDisplayFile = 6,
};

// Pen styles: 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 none.
enum PenStyleCode : int32_t {
  PenSolid = 0,
  PenDash = 1,
  PenDot = 2,
  PenDashDot = 3,
  PenDashDotDot = 4,
  PenNull = 5
};
// Brush styles: 0 solid, 1 hollow, 2 hatched.
enum BrushStyleCode : int32_t { BrushSolid = 0, BrushHollow = 1, BrushHatched = 2 };

// Text alignment flags for TextOut.
enum TextAlignFlags : int32_t {
  TaLeft = 0,
  TaRight = 2,
  TaCenter = 6,
  TaTop = 0,
  TaBottom = 8,
  TaBaseline = 24,
};

// Formatting flags for DrawText.
enum DrawTextFlags : int32_t {
  DtLeft = 0,
  DtCenter = 1,
  DtRight = 2,
  DtBottom = 8,
  DtWordBreak = 16,
  DtSingleLine = 32,
  DtExpandTabs = 64,
  DtNoPrefix = 2048,
};

struct DcPen {
  int32_t style = PenSolid;
  int32_t width = 1;  // logical units
  Rgb color = 0;
  bool operator==(const DcPen&) const = default;
};

struct DcBrush {
  int32_t style = BrushSolid;
  Rgb color = 0xFFFFFF;
  int32_t hatch = 0;
  bool operator==(const DcBrush&) const = default;
};

// A font description. A positive height is the character cell height, a negative one
// the em height, both in logical units; escapement is in tenths of a degree,
// counter-clockwise as seen on the target.
struct DcFont {
  int32_t height = 0;
  int32_t width = 0;
  int32_t escapement = 0;
  int32_t orientation = 0;
  int32_t weight = 400;
  uint8_t italic = 0;
  uint8_t underline = 0;
  uint8_t strikeOut = 0;
  uint8_t charSet = 1;
  uint8_t outPrecision = 2;
  uint8_t clipPrecision = 0;
  uint8_t quality = 2;
  uint8_t pitchAndFamily = 0;
  std::string faceName;  // at most 31 characters
  bool operator==(const DcFont&) const = default;
};

struct DcPoint {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const DcPoint&) const = default;
};

class DeviceContext {
 public:
  virtual ~DeviceContext() = default;

  virtual int32_t Technology() const = 0;
  virtual int32_t LogPixelsX() const = 0;
  virtual int32_t LogPixelsY() const = 0;
  // Whether text can be measured on this context itself (a vector picture recorded
  // in memory usually can, unlike a classic metafile).
  virtual bool CanMeasureText() const { return Technology() != TechMetafile && Technology() != TechPlotter; }

  // Saves everything below (mapping, clip, pen, brush, font, colours, alignment) and
  // returns an id for RestoreState.
  virtual int SaveState() = 0;
  virtual void RestoreState(int id) = 0;

  // Isotropic mapping: logical (windowOrg) maps to device (0, 0); a window extent of
  // the opposite sign to the viewport's flips that axis.
  virtual void SetMapping(int32_t windowExtX, int32_t windowExtY, int32_t windowOrgX, int32_t windowOrgY,
                          int32_t viewportExtX, int32_t viewportExtY) = 0;
  // Clip to a rectangle in device pixels.
  virtual void SetClipRect(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;

  virtual void SelectPen(const DcPen& pen) = 0;
  virtual void SelectBrush(const DcBrush& brush) = 0;
  virtual void SelectFont(const DcFont& font) = 0;
  // Puts back the font that was selected before the last SelectFont.
  virtual void DeselectFont() = 0;
  // Each setter returns the previous value.
  virtual Rgb SetTextColor(Rgb color) = 0;
  virtual int32_t SetTextAlign(int32_t flags) = 0;
  virtual void SetBackgroundTransparent() = 0;

  virtual void MoveTo(int32_t x, int32_t y) = 0;
  virtual void LineTo(int32_t x, int32_t y) = 0;
  virtual void Polyline(const DcPoint* points, int32_t count) = 0;
  virtual void Polygon(const DcPoint* points, int32_t count) = 0;
  virtual void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
  virtual void Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;

  virtual void TextOut(int32_t x, int32_t y, const std::string& text) = 0;
  virtual void DrawText(int32_t left, int32_t top, int32_t right, int32_t bottom, const std::string& text,
                        int32_t format) = 0;
  // Width and height of the text in the current font, in logical units.
  virtual std::pair<int32_t, int32_t> TextExtent(const std::string& text) = 0;
};

}  // namespace sism
