// Three channels of decaying sines for the time-history benchmarks.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "draw/time_history.h"

namespace sism::bench {

struct DecayingChannels {
  std::vector<std::vector<float>> data;
  std::vector<sism::TimeHistoryChannel> channels;
};

// n samples a channel, the amplitude falling by e every `decay` samples.
inline DecayingChannels MakeDecayingChannels(int n, float decay) {
  DecayingChannels d;
  d.data.assign(3, std::vector<float>(static_cast<std::size_t>(n)));
  for (int c = 0; c < 3; ++c) {
    for (int i = 0; i < n; ++i) d.data[c][i] = 300 * std::sin(i * 0.07f + c) * std::exp(-i / decay);
    d.channels.push_back({"C" + std::to_string(c + 1), 300, d.data[c].data(), n});
  }
  return d;
}

}  // namespace sism::bench
