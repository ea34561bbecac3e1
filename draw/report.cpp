#include "draw/report.h"

#include <limits>

#include "draw/inelastic.h"
#include "draw/spectrum.h"
#include "draw/templates.h"
#include "draw/time_history.h"
#include "state/app_state.h"

namespace sism {

std::vector<int32_t> ReportChannels(int32_t selector, int32_t chanCount) {
  std::vector<int32_t> list;
  if (selector < 0 || selector > (std::numeric_limits<int32_t>::max() - 3) / 3) return list;
  for (int32_t i = 1; i <= 3; ++i)
    if (3 * selector + i <= chanCount) list.push_back(3 * selector + i);
  return list;
}

bool ReportEntryRect(const ReportGraph& entry, GraphFrame& frame) {
  if (entry.Width <= 0 || entry.Height <= 0) return false;
  // The page arithmetic works in 0.01 mm within 32 bits.
  constexpr int64_t kLimit = std::numeric_limits<int32_t>::max() / 100;
  const int64_t right = int64_t{entry.Left} + entry.Width, bottom = int64_t{entry.Top} + entry.Height;
  if (right > kLimit || bottom > kLimit || entry.Left < -kLimit || entry.Top < -kLimit) return false;
  frame.Left = entry.Left * 100;
  frame.Top = entry.Top * 100;
  frame.Width = entry.Width * 100;
  frame.Height = entry.Height * 100;
  return true;
}

void ReportPainter(PaintContext& c) {
  const AppState& app = c.app;
  const GraphSettings& gs = app.graph;
  const std::vector<int32_t> channels = ReportChannels(c.reportSelector, app.record.ChanCount);
  const int32_t count = std::min<int32_t>(gs.RepGraphCount, static_cast<int32_t>(gs.RepGraph.size()) - 1);
  for (int32_t e = 1; e <= count; ++e) {
    const ReportGraph& entry = gs.RepGraph[static_cast<size_t>(e)];
    GraphFrame frame = c.frame;  // every entry starts from the page's lines and fonts
    if (!ReportEntryRect(entry, frame)) continue;
    frame.TitleRight = frame.Left + frame.Width;
    const int32_t type = entry.Type;
    if (type == 0) {
      DrawReportText(c.gx, gs, entry, c.facts);
      continue;
    }
    // Orbits and relations need their own channels: their rectangle stays empty.
    const bool ownKind = type == KindDuctility || type == KindEas;
    if ((!ownKind && (type < KindAcc || type > KindEnergy)) || channels.empty()) continue;
    PaintContext sub{app, c.gx, frame, type, channels, c.reportSelector, c.ui, c.facts};
    if (type == KindDuctility)
      DuctilityPainter(sub);
    else if (type == KindEas)
      EasPainter(sub);
    else if (PageFormOf(type) == PageForm::Wave)
      TimeHistoryPainter(sub);
    else
      SpectrumPainter(sub);
  }
}

}  // namespace sism
