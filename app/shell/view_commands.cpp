#include "app/shell/view_commands.h"

#include <algorithm>
#include <cmath>

#include "common/strings.h"
#include "common/text.h"
#include "load/preprocess.h"

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

std::optional<TimeWindow> ZoomTimeWindow(const TimeWindow& w, double f, double recordSeconds) {
  if (!(f > 0) || !std::isfinite(f)) return std::nullopt;
  double len = RoundHalfEven((w.hi - w.lo) * f);
  if (!(len >= 5)) return std::nullopt;
  if (len >= 600) {
    // A long record may be seen whole, not beyond.
    const double whole = std::isfinite(recordSeconds) ? std::ceil(recordSeconds) : 0;
    if (whole < 600 || w.hi - w.lo >= whole) return std::nullopt;
    len = std::min(len, whole);
  }
  return TimeWindow{w.lo, w.lo + len};
}

double LongestTimeWindow(double recordSeconds) {
  return std::isfinite(recordSeconds) ? std::max(600.0, std::ceil(recordSeconds)) : 600.0;
}

namespace {

// A window of length `len` starting near `lo`, kept inside the record.
TimeWindow PlaceWindow(double lo, double len, double recordSeconds) {
  const double end = std::max(std::isfinite(recordSeconds) ? recordSeconds : 0.0, len);
  lo = std::clamp(std::isfinite(lo) ? lo : 0.0, 0.0, end - len);
  return {lo, lo + len};
}

double ClampedLength(double len, double recordSeconds) {
  if (!std::isfinite(len)) return LongestTimeWindow(recordSeconds);
  return std::clamp(len, kShortestTimeWindow, LongestTimeWindow(recordSeconds));
}

}  // namespace

TimeWindow ZoomTimeWindowAt(const TimeWindow& w, double f, double pivot, double recordSeconds) {
  const double len = w.hi - w.lo;
  if (!(f > 0) || !std::isfinite(f) || !(len > 0) || !std::isfinite(pivot))
    return PlaceWindow(w.lo, ClampedLength(len, recordSeconds), recordSeconds);
  const double next = ClampedLength(len * f, recordSeconds);
  return PlaceWindow(pivot - (pivot - w.lo) * next / len, next, recordSeconds);
}

TimeWindow PanTimeWindow(const TimeWindow& w, double seconds, double recordSeconds) {
  const double len = ClampedLength(w.hi - w.lo, recordSeconds);
  return PlaceWindow(w.lo + (std::isfinite(seconds) ? seconds : 0.0), len, recordSeconds);
}

std::optional<TimeWindow> TimeWindowBetween(double a, double b, double recordSeconds) {
  if (!std::isfinite(a) || !std::isfinite(b) || std::fabs(b - a) < 0.1) return std::nullopt;
  const double len = ClampedLength(std::fabs(b - a), recordSeconds);
  return PlaceWindow((a + b) / 2 - len / 2, len, recordSeconds);
}

TimeWindow WholeRecordWindow(double recordSeconds) {
  const double end = std::isfinite(recordSeconds) && recordSeconds > 0 ? std::ceil(recordSeconds) : 0;
  return {0, std::max(end, kShortestTimeWindow)};
}

std::string ZoomImageName(int index) {
  if (index == kFitZoomIndex) return "zoomfit";
  if (index < 0 || index >= kZoomSteps) return {};
  return "zoom" + FormatNumber(int32_t{kZoomPercent[static_cast<size_t>(index)]}, "000");
}

std::string PreprocessingSummary(const PreProcParams& p) {
  const std::string line = PreprocessingLine(p);
  return line.empty() ? line : "Preprocessed: " + line;
}

namespace {

int64_t Overlap(const ScreenRect& a, const ScreenRect& b) {
  const int64_t w = std::min<int64_t>(int64_t{a.x} + a.width, int64_t{b.x} + b.width) - std::max(a.x, b.x);
  const int64_t h = std::min<int64_t>(int64_t{a.y} + a.height, int64_t{b.y} + b.height) - std::max(a.y, b.y);
  return w > 0 && h > 0 ? w * h : 0;
}

}  // namespace

ScreenRect PlaceMainWindow(const std::optional<ScreenRect>& stored, const std::vector<ScreenRect>& screens,
                           std::size_t primary) {
  if (screens.empty()) return stored.value_or(ScreenRect{0, 0, 1024, 768});
  const ScreenRect& main = screens[std::min(primary, screens.size() - 1)];
  if (!stored || stored->width <= 0 || stored->height <= 0) {
    const int w = main.width * 4 / 5, h = main.height * 4 / 5;
    return {main.x + (main.width - w) / 2, main.y + (main.height - h) / 2, w, h};
  }
  const ScreenRect& r = *stored;
  const ScreenRect* best = &main;
  int64_t most = 0;
  for (const ScreenRect& s : screens) {
    const int64_t o = Overlap(r, s);
    if (o == int64_t{r.width} * r.height && r.width <= s.width && r.height <= s.height) return r;
    if (o > most) {
      most = o;
      best = &s;
    }
  }
  const ScreenRect& s = *best;
  ScreenRect placed{r.x, r.y, std::min(r.width, s.width), std::min(r.height, s.height)};
  placed.x = std::clamp(placed.x, s.x, s.x + s.width - placed.width);
  placed.y = std::clamp(placed.y, s.y, s.y + s.height - placed.height);
  return placed;
}

namespace {

// Log axes in decades: work on log10 of the limits.
TimeWindow ToAxis(const TimeWindow& r, bool log) {
  return log ? TimeWindow{std::log10(r.lo), std::log10(r.hi)} : r;
}

TimeWindow FromAxis(TimeWindow r, bool log) {
  double span = r.hi - r.lo;
  const double least = log ? std::log10(1.01) : 0.01 * std::max(std::fabs(r.hi), 1e-6);
  const double most = log ? 8.0 : 1e6;
  if (!std::isfinite(span) || span < least) span = least;
  if (span > most) span = most;
  const double mid = (r.lo + r.hi) / 2;
  r = {mid - span / 2, mid + span / 2};
  if (log) return {std::pow(10.0, r.lo), std::pow(10.0, r.hi)};
  if (r.lo < 0) r = {0, span};
  return r;
}

bool Usable(const TimeWindow& r, bool log) {
  return std::isfinite(r.lo) && std::isfinite(r.hi) && r.hi > r.lo && (!log || r.lo > 0);
}

}  // namespace

TimeWindow ZoomAxisRange(const TimeWindow& r, double f, double pivot, bool log) {
  if (!Usable(r, log) || !(f > 0) || !std::isfinite(f)) return r;
  const TimeWindow a = ToAxis(r, log);
  double p = log ? (pivot > 0 ? std::log10(pivot) : std::nan("")) : pivot;
  if (!std::isfinite(p)) p = (a.lo + a.hi) / 2;
  p = std::clamp(p, a.lo, a.hi);
  return FromAxis({p - (p - a.lo) * f, p + (a.hi - p) * f}, log);
}

TimeWindow PanAxisRange(const TimeWindow& r, double fraction, bool log) {
  if (!Usable(r, log) || !std::isfinite(fraction)) return r;
  const TimeWindow a = ToAxis(r, log);
  const double d = fraction * (a.hi - a.lo);
  return FromAxis({a.lo + d, a.hi + d}, log);
}

int SteppedZoomIndex(int index, int step) {
  const int from = index >= 0 && index < kZoomSteps ? index : kDefaultZoomIndex;
  return std::clamp(from + step, 0, kZoomSteps - 1);
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
