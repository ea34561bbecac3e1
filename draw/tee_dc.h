// A device context that repeats every call on two others, so one drawing pass fills a
// vector picture and a bitmap of the same page. Questions are answered by the first.
#pragma once

#include <vector>

#include "draw/device_context.h"

namespace sism {

class TeeDc : public DeviceContext {
 public:
  TeeDc(DeviceContext& first, DeviceContext& second) : a_(first), b_(second) {}

  int32_t Technology() const override { return a_.Technology(); }
  int32_t LogPixelsX() const override { return a_.LogPixelsX(); }
  int32_t LogPixelsY() const override { return a_.LogPixelsY(); }
  bool CanMeasureText() const override { return a_.CanMeasureText(); }
  int SaveState() override;
  void RestoreState(int id) override;
  void SetMapping(int32_t wx, int32_t wy, int32_t ox, int32_t oy, int32_t vx, int32_t vy) override {
    a_.SetMapping(wx, wy, ox, oy, vx, vy);
    b_.SetMapping(wx, wy, ox, oy, vx, vy);
  }
  void SetClipRect(int32_t l, int32_t t, int32_t r, int32_t b) override {
    a_.SetClipRect(l, t, r, b);
    b_.SetClipRect(l, t, r, b);
  }
  void SelectPen(const DcPen& p) override {
    a_.SelectPen(p);
    b_.SelectPen(p);
  }
  void SelectBrush(const DcBrush& br) override {
    a_.SelectBrush(br);
    b_.SelectBrush(br);
  }
  void SelectFont(const DcFont& f) override {
    a_.SelectFont(f);
    b_.SelectFont(f);
  }
  void DeselectFont() override {
    a_.DeselectFont();
    b_.DeselectFont();
  }
  Rgb SetTextColor(Rgb c) override {
    b_.SetTextColor(c);
    return a_.SetTextColor(c);
  }
  int32_t SetTextAlign(int32_t f) override {
    b_.SetTextAlign(f);
    return a_.SetTextAlign(f);
  }
  void SetBackgroundTransparent() override {
    a_.SetBackgroundTransparent();
    b_.SetBackgroundTransparent();
  }
  void MoveTo(int32_t x, int32_t y) override {
    a_.MoveTo(x, y);
    b_.MoveTo(x, y);
  }
  void LineTo(int32_t x, int32_t y) override {
    a_.LineTo(x, y);
    b_.LineTo(x, y);
  }
  void Polyline(const DcPoint* p, int32_t n) override {
    a_.Polyline(p, n);
    b_.Polyline(p, n);
  }
  void Polygon(const DcPoint* p, int32_t n) override {
    a_.Polygon(p, n);
    b_.Polygon(p, n);
  }
  void Rectangle(int32_t l, int32_t t, int32_t r, int32_t b) override {
    a_.Rectangle(l, t, r, b);
    b_.Rectangle(l, t, r, b);
  }
  void Ellipse(int32_t l, int32_t t, int32_t r, int32_t b) override {
    a_.Ellipse(l, t, r, b);
    b_.Ellipse(l, t, r, b);
  }
  void TextOut(int32_t x, int32_t y, const std::string& s) override {
    a_.TextOut(x, y, s);
    b_.TextOut(x, y, s);
  }
  void DrawText(int32_t l, int32_t t, int32_t r, int32_t b, const std::string& s, int32_t f) override {
    a_.DrawText(l, t, r, b, s, f);
    b_.DrawText(l, t, r, b, s, f);
  }
  std::pair<int32_t, int32_t> TextExtent(const std::string& s) override { return a_.TextExtent(s); }

 private:
  DeviceContext& a_;
  DeviceContext& b_;
  std::vector<std::pair<int, int>> ids_;
};

}  // namespace sism
