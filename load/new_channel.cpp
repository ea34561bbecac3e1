#include "load/new_channel.h"

#include <cmath>

#include "load/pipeline.h"
#include "load/statistics.h"
#include "record/display_text.h"

namespace sism {

bool AddCombinedChannel(AppState& state, const SelChanValues& v) {
  StrongRecord& rec = state.record;
  const int32_t c = rec.ChanCount;
  if (c < 1 || v.channelX < 1 || v.channelX > c || v.channelY < 1 || v.channelY > c) return false;
  const int32_t n = c + 1;
  rec.PreserveChannels(n);
  rec.ChanCount = n;
  float* out = rec.Channel(n);
  const float* x = rec.Channel(v.channelX);
  const float* y = rec.Channel(v.channelY);
  float best = 0;
  int32_t bestStep = 0;
  for (int32_t k = 0; k < rec.DataCount && k < rec.DataCapacity(); ++k) {
    out[k] = v.multiplierX * x[k] + v.multiplierY * y[k];
    if (std::fabs(out[k]) > std::fabs(best)) {
      best = out[k];
      bestStep = k + 1;
    }
  }
  StoreShownText(rec, rec.Label(n), v.label);
  rec.Peak(n) = best;
  rec.PeakStep(n) = bestStep;
  rec.Offset(n) = 0;
  rec.Coef(n) = 0;

  state.Durations.resize(static_cast<std::size_t>(n), 0.0f);
  state.Durations[static_cast<std::size_t>(n - 1)] = ChannelDuration(rec, n);

  ResetDrawSelection(state);
  state.view.LabelCopies = DisplayLabels(rec);
  state.series.Invalidate();
  return true;
}

bool CreateNewChannel(AppState& state, UserInterface& ui) {
  if (state.record.ChanCount < 1) return false;
  SelChanValues v;
  v.channelX = 1;
  v.channelY = 1;
  v.multiplierX = 0;
  v.multiplierY = 0;
  v.label.clear();
  if (!ui.ShowDlgSelChan(SelChanMode::NewChannel, state.view.LabelCopies, v)) return false;
  return AddCombinedChannel(state, v);
}

}  // namespace sism
