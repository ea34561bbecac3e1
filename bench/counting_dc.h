// A device context for benchmarks that draws nothing and only counts the points it is given.
#pragma once

#include <string>
#include <utility>

#include "draw/device_context.h"

namespace sism::bench {

class CountingDc : public DeviceContext {
 public:
  long calls = 0;
  int32_t Technology() const override { return TechRasterDisplay; }
  int32_t LogPixelsX() const override { return 96; }
  int32_t LogPixelsY() const override { return 96; }
  int SaveState() override { return 1; }
  void RestoreState(int) override {}
  void SetMapping(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) override {}
  void SetClipRect(int32_t, int32_t, int32_t, int32_t) override {}
  void SelectPen(const DcPen&) override {}
  void SelectBrush(const DcBrush&) override {}
  void SelectFont(const DcFont&) override {}
  void DeselectFont() override {}
  Rgb SetTextColor(Rgb) override { return 0; }
  int32_t SetTextAlign(int32_t) override { return 0; }
  void SetBackgroundTransparent() override {}
  void MoveTo(int32_t, int32_t) override { ++calls; }
  void LineTo(int32_t, int32_t) override { ++calls; }
  void Polyline(const DcPoint*, int32_t n) override { calls += n; }
  void Polygon(const DcPoint*, int32_t n) override { calls += n; }
  void Rectangle(int32_t, int32_t, int32_t, int32_t) override {}
  void Ellipse(int32_t, int32_t, int32_t, int32_t) override {}
  void TextOut(int32_t, int32_t, const std::string&) override {}
  void DrawText(int32_t, int32_t, int32_t, int32_t, const std::string&, int32_t) override {}
  std::pair<int32_t, int32_t> TextExtent(const std::string& s) override {
    return {static_cast<int32_t>(s.size()) * 100, 300};
  }
};

}  // namespace sism::bench
