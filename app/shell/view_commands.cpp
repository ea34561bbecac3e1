#include "app/shell/view_commands.h"

#include <algorithm>
#include <cmath>

#include "common/strings.h"
#include "common/text.h"

namespace sism {

void SetTimeWindow(AppState& app, const TimeWindow& w) {
  AxisSettings& t = app.graph.Axis[AxisTime];
  t.Min = static_cast<float>(w.lo);
  t.Max = static_cast<float>(w.hi);
  app.view.Changes |= RecalcTimeAxis;
}

TimeWindow CurrentTimeWindow(const AppState& app) {
  const AxisSettings& t = app.graph.Axis[AxisTime];
  return {t.Min, t.Max};
}

int32_t RecordSeconds(int32_t dataCount, int32_t sampFreq) {
  if (sampFreq <= 0 || dataCount <= 0) return 0;
  return dataCount / sampFreq;
}

std::optional<TimeWindow> ShiftTimeWindow(const TimeWindow& w, double f, int32_t recordSeconds) {
  if (!std::isfinite(f) || !std::isfinite(w.lo) || !std::isfinite(w.hi)) return std::nullopt;
  double s;
  if (f == 0) {
    if (w.lo == 0) return std::nullopt;
    s = 0;
  } else {
    s = std::fabs(f) <= 1 ? w.lo + f * (w.hi - w.lo) : w.lo + f;
    s = RoundHalfEven(s);
    if (s < 1) s = 0;
    if (f > 0 && s >= recordSeconds) return std::nullopt;
    if (f < 0 && w.lo == 0) return std::nullopt;
  }
  return TimeWindow{s, w.hi + s - w.lo};
}

std::optional<TimeWindow> ZoomTimeWindow(const TimeWindow& w, double f) {
  if (!(f > 0) || !std::isfinite(f)) return std::nullopt;
  const double len = RoundHalfEven((w.hi - w.lo) * f);
  if (!(len >= 5) || len >= 600) return std::nullopt;
  return TimeWindow{w.lo, w.lo + len};
}

std::string ZoomImageName(int index) {
  if (index < 0 || index >= kZoomSteps) return {};
  return "zoom" + FormatNumber(int32_t{kZoomPercent[static_cast<size_t>(index)]}, "000");
}

KeyCommand KeyCommandFor(ViewKey key, bool shift, bool ctrl) {
  using K = KeyCommandKind;
  // Columns: plain, shift, ctrl.
  auto pick = [&](KeyCommand plain, KeyCommand withShift, KeyCommand withCtrl) {
    return shift ? withShift : ctrl ? withCtrl : plain;
  };
  const KeyCommand none{};
  switch (key) {
    case ViewKey::Space:
    case ViewKey::Right:
      return pick({K::ShiftTime, 0.5}, {K::ShiftTime, 5}, {K::ShiftTime, 10});
    case ViewKey::Backspace:
    case ViewKey::Left:
      return pick({K::ShiftTime, -0.5}, {K::ShiftTime, -5}, {K::ShiftTime, -10});
    case ViewKey::Home:
      return {K::ShiftTime, 0};
    case ViewKey::Up:
      return pick({K::ZoomTime, 0.5}, {K::ZoomTime, 0.75}, {K::ZoomTime, 0.5});
    case ViewKey::Down:
      return pick({K::ZoomTime, 2}, {K::ZoomTime, 1.5}, {K::ZoomTime, 2});
    case ViewKey::PageUp:
      return {K::ZoomStep, 1};
    case ViewKey::PageDown:
      return {K::ZoomStep, -1};
    case ViewKey::C:
      return pick(none, {K::CopySummary, 0}, none);
    case ViewKey::G:
      return pick(none, none, {K::ToggleGrid, 0});
    case ViewKey::L:
      return pick(none, none, {K::StepLegend, 0});
    case ViewKey::Other:
      break;
  }
  return none;
}

int32_t NextLegendPosition(int32_t position) {
  switch (position) {
    case 0:
      return 6;
    case 6:
      return 10;
    case 10:
      return 9;
    case 9:
      return 5;
    case 5:
      return 0;
    default:
      return position;
  }
}

bool AddRecentPath(RecentList& list, const std::string& path) {
  if (path.empty()) return false;
  for (int i = 1; i <= kRecentCount; ++i)
    if (list[static_cast<size_t>(i)] == path) return false;
  for (int i = kRecentCount; i >= 2; --i) list[static_cast<size_t>(i)] = list[static_cast<size_t>(i - 1)];
  list[1] = path;
  return true;
}

int RecentShownCount(const RecentList& list) {
  int n = 0;
  while (n < kRecentCount && !list[static_cast<size_t>(n + 1)].empty()) ++n;
  return n;
}

int ChannelGroupCount(int32_t chanCount) {
  return chanCount <= 0 ? 0 : (chanCount + 2) / 3;
}

std::string ChannelGroupCaption(int group, int32_t chanCount) {
  const int32_t first = 3 * group + 1;
  const int32_t last = std::min<int32_t>(first + 2, chanCount);
  return Str(1592) + " #" + std::to_string(first) + "-#" + std::to_string(last);
}

std::string WindowCaption(const std::string& filePart) {
  return filePart.empty() ? ProgramTitle() : ProgramTitle() + " - " + filePart;
}

int32_t PixelsFromTwips(double twips) {
  if (!std::isfinite(twips)) return 0;
  const double px = twips / kTwipsPerPixel;
  if (px > 1e6) return 1000000;
  if (px < -1e6) return -1000000;
  return static_cast<int32_t>(std::lround(px));
}

double TwipsFromPixels(int32_t pixels) {
  return static_cast<double>(pixels) * kTwipsPerPixel;
}

std::string HelpFileOf(const std::string& reference) {
  const auto pos = reference.find("::");
  return pos == std::string::npos ? reference : reference.substr(0, pos);
}

}  // namespace sism
