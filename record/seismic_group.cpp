#include <algorithm>
#include <cctype>

#include "record/seismic_stages.h"

namespace sism {

namespace {

// The band and instrument letters of a channel code ("HN" of "HNE").
std::string BandOf(const std::string& cha) {
  return cha.size() >= 2 ? cha.substr(0, cha.size() - 1) : cha;
}

std::string GroupOf(const SeisChannel& c) {
  return c.net + "." + c.sta + "." + c.loc + "." + BandOf(c.cha);
}

// N-E-Z (or 1-2-Z) order: rotation takes channels 1 and 2 as the horizontal pair.
int ComponentRank(const std::string& cha) {
  const char o = cha.empty() ? ' ' : static_cast<char>(std::toupper(static_cast<unsigned char>(cha.back())));
  switch (o) {
    case 'N':
    case '1':
      return 0;
    case 'E':
    case '2':
      return 1;
    case 'Z':
    case '3':
      return 3;
    default:
      return 2;
  }
}

}  // namespace

std::string IdOf(const SeisChannel& c) {
  return c.net + "." + c.sta + "." + c.loc + "." + c.cha;
}

std::string JoinCodes(const std::vector<const SeisChannel*>& chans) {
  std::string s;
  for (const SeisChannel* c : chans) s += (s.empty() ? "" : ", ") + c->cha;
  return s;
}

void GroupChannels(const SeisSet& set, ChannelGroups& out) {
  for (const SeisChannel& c : set.channels) {
    auto [it, added] = out.byId.try_emplace(IdOf(c), c);
    if (!added) it->second.segments.insert(it->second.segments.end(), c.segments.begin(), c.segments.end());
  }
  for (const auto& [id, c] : out.byId)
    if (!c.segments.empty()) out.groups[GroupOf(c)].push_back(&c);
}

bool PickGroup(const ChannelGroups& grouped, ReadQuestions& ask, std::string& group,
               std::vector<const SeisChannel*>& chans) {
  auto chosen = grouped.groups.begin();
  if (grouped.groups.size() > 1) {
    std::vector<std::string> names;
    for (const auto& [name, list] : grouped.groups) names.push_back(name + ": " + JoinCodes(list));
    const int32_t pick = ask.PickStation(names);
    if (pick < 0 || pick >= static_cast<int32_t>(grouped.groups.size())) return false;
    std::advance(chosen, pick);
  }
  group = chosen->first;
  chans = chosen->second;
  std::stable_sort(chans.begin(), chans.end(), [](const SeisChannel* a, const SeisChannel* b) {
    return ComponentRank(a->cha) < ComponentRank(b->cha);
  });
  return true;
}

}  // namespace sism
