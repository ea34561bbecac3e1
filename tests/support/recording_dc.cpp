#include "tests/support/recording_dc.h"

#include <algorithm>

namespace sism::test {

namespace {
std::string Pts(const DcPoint* p, int32_t n) {
  std::string s = std::to_string(n) + ":";
  for (int32_t i = 0; i < n; ++i) s += " " + std::to_string(p[i].x) + "," + std::to_string(p[i].y);
  return s;
}
}  // namespace

std::vector<std::string> RecordingDc::Calls(const std::string& prefix) const {
  std::vector<std::string> out;
  for (const auto& l : log)
    if (l.compare(0, prefix.size(), prefix) == 0) out.push_back(l);
  return out;
}

void RecordingDc::Clear() {
  log.clear();
  lines.clear();
  texts.clear();
  polygons.clear();
  polylines.clear();
}

int RecordingDc::SaveState() {
  states_.push_back(State{pen, brush, font, fontStack_, textColor, textAlign});
  ++depth;
  maxDepth = std::max(maxDepth, depth);
  log.push_back("SaveState " + std::to_string(depth));
  return depth;
}

void RecordingDc::RestoreState(int id) {
  log.push_back("RestoreState " + std::to_string(id));
  if (id < 1 || id > static_cast<int>(states_.size())) return;
  const State s = states_[static_cast<size_t>(id - 1)];
  states_.resize(static_cast<size_t>(id - 1));
  depth = id - 1;
  pen = s.pen;
  brush = s.brush;
  font = s.font;
  fontStack_ = s.fontStack;
  textColor = s.textColor;
  textAlign = s.textAlign;
}

void RecordingDc::SetMapping(int32_t wx, int32_t wy, int32_t ox, int32_t oy, int32_t vx, int32_t vy) {
  log.push_back("SetMapping " + std::to_string(wx) + " " + std::to_string(wy) + " " + std::to_string(ox) +
                " " + std::to_string(oy) + " " + std::to_string(vx) + " " + std::to_string(vy));
}

void RecordingDc::SetClipRect(int32_t l, int32_t t, int32_t r, int32_t b) {
  log.push_back("SetClipRect " + std::to_string(l) + " " + std::to_string(t) + " " + std::to_string(r) + " " +
                std::to_string(b));
}

void RecordingDc::SelectPen(const DcPen& p) {
  pen = p;
  log.push_back("SelectPen " + std::to_string(p.style) + " " + std::to_string(p.width) + " " +
                std::to_string(p.color));
}

void RecordingDc::SelectBrush(const DcBrush& b) {
  brush = b;
  log.push_back("SelectBrush " + std::to_string(b.style) + " " + std::to_string(b.color));
}

void RecordingDc::SelectFont(const DcFont& f) {
  fontStack_.push_back(font);
  font = f;
  log.push_back("SelectFont " + f.faceName + " " + std::to_string(f.height) + " " +
                std::to_string(f.escapement));
}

void RecordingDc::DeselectFont() {
  log.push_back("DeselectFont");
  if (!fontStack_.empty()) {
    font = fontStack_.back();
    fontStack_.pop_back();
  }
}

Rgb RecordingDc::SetTextColor(Rgb c) {
  const Rgb old = textColor;
  textColor = c;
  log.push_back("SetTextColor " + std::to_string(c));
  return old;
}

int32_t RecordingDc::SetTextAlign(int32_t flags) {
  const int32_t old = textAlign;
  textAlign = flags;
  log.push_back("SetTextAlign " + std::to_string(flags));
  return old;
}

void RecordingDc::SetBackgroundTransparent() {
  log.push_back("SetBackgroundTransparent");
}

void RecordingDc::MoveTo(int32_t x, int32_t y) {
  curX_ = x;
  curY_ = y;
  log.push_back("MoveTo " + std::to_string(x) + " " + std::to_string(y));
}

void RecordingDc::LineTo(int32_t x, int32_t y) {
  lines.push_back(RecordedLine{curX_, curY_, x, y, pen});
  curX_ = x;
  curY_ = y;
  log.push_back("LineTo " + std::to_string(x) + " " + std::to_string(y));
}

void RecordingDc::Polyline(const DcPoint* p, int32_t n) {
  polylines.emplace_back(p, p + n);
  log.push_back("Polyline " + Pts(p, n));
}

void RecordingDc::Polygon(const DcPoint* p, int32_t n) {
  polygons.emplace_back(p, p + n);
  log.push_back("Polygon " + Pts(p, n));
}

void RecordingDc::Rectangle(int32_t l, int32_t t, int32_t r, int32_t b) {
  log.push_back("Rectangle " + std::to_string(l) + " " + std::to_string(t) + " " + std::to_string(r) + " " +
                std::to_string(b));
}

void RecordingDc::Ellipse(int32_t l, int32_t t, int32_t r, int32_t b) {
  log.push_back("Ellipse " + std::to_string(l) + " " + std::to_string(t) + " " + std::to_string(r) + " " +
                std::to_string(b));
}

void RecordingDc::TextOut(int32_t x, int32_t y, const std::string& text) {
  texts.push_back(RecordedText{x, y, text, textAlign, font, textColor});
  log.push_back("TextOut " + std::to_string(x) + " " + std::to_string(y) + " " + text);
}

void RecordingDc::DrawText(int32_t l, int32_t t, int32_t r, int32_t b, const std::string& text,
                           int32_t format) {
  texts.push_back(RecordedText{l, t, text, format, font, textColor});
  log.push_back("DrawText " + std::to_string(l) + " " + std::to_string(t) + " " + std::to_string(r) + " " +
                std::to_string(b) + " " + std::to_string(format) + " " + text);
}

std::pair<int32_t, int32_t> RecordingDc::TextExtent(const std::string& text) {
  const int32_t h = font.height != 0 ? std::abs(font.height) : 20;
  log.push_back("TextExtent " + text);
  return {static_cast<int32_t>(text.size()) * (h / 2), h};
}

}  // namespace sism::test
