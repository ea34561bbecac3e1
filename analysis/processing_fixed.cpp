#include <algorithm>

#include "analysis/processing.h"
#include "analysis/processing_detail.h"

namespace sism {

void FixCorners(const std::vector<FixedCorners>& fixed, ProcessingResult& r) {
  ProcessingStep step{"fixed_corners", {}, {}};
  for (const FixedCorners& f : fixed) {
    auto c = std::find_if(r.channels.begin(), r.channels.end(), [&](const ChannelProcessing& x) { return x.ch == f.ch; });
    if (c == r.channels.end() || (f.highPass <= 0 && f.lowPass <= 0)) continue;
    const float hp = f.highPass > 0 ? f.highPass : c->highPass, lp = f.lowPass > 0 ? f.lowPass : c->lowPass;
    // One corner given and the other not found, or no band: the chain's corners stay.
    if (hp <= 0 || lp <= hp) continue;
    c->highPass = hp;
    c->lowPass = lp;
    c->cornersFixed = true;
    std::erase_if(r.flags, [&](const ProcessingFlag& g) {
      return g.ch == f.ch && (g.name == "low_snr" || g.name == "narrow_band");
    });
    step.results.emplace_back("corners_hz_ch" + std::to_string(f.ch),
                              processing_detail::Num(c->highPass) + "-" + processing_detail::Num(c->lowPass));
  }
  r.steps.push_back(std::move(step));
}

}  // namespace sism
