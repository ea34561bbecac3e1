// The stages that put a station's components into a record, in the order the reader
// runs them: group the channels by station and band, pick one group, align its channels
// on one time base, turn their values into cm/s/s, fill the record.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "common/read_questions.h"
#include "record/seismic_set.h"
#include "record/strong_record.h"

namespace sism {

// "NET.STA.LOC.CHA".
std::string IdOf(const SeisChannel& c);
// "HNE, HNN, HNZ".
std::string JoinCodes(const std::vector<const SeisChannel*>& chans);

// Group: the channels of the set, stretches of one channel from several files joined,
// then by station and band ("NET.STA.LOC.HN").
struct ChannelGroups {
  std::map<std::string, SeisChannel> byId;
  std::map<std::string, std::vector<const SeisChannel*>> groups;
};
void GroupChannels(const SeisSet& set, ChannelGroups& out);

// Pick: the one group, asked of the user when there are several; its channels in N-E-Z
// order. False when the user declined.
bool PickGroup(const ChannelGroups& grouped, ReadQuestions& ask, std::string& group,
               std::vector<const SeisChannel*>& chans);

// Align: one channel's stretches as one trace from its first sample to its last.
struct Trace {
  const SeisChannel* channel = nullptr;
  int64_t startUs = 0;
  std::vector<double> values;
};
// The traces of the channels at their one rate, cut to the stretch all of them cover:
// trace i's samples skip[i] .. skip[i] + count.
struct AlignedTraces {
  int32_t rate = 0;
  std::vector<Trace> traces;
  int64_t startUs = 0;
  std::vector<int64_t> skip;
  int64_t count = 0;
  bool absoluteTime = true;  // every channel's times have a known reference
};
AlignedTraces AlignChannels(const std::string& path, const std::string& group,
                            const std::vector<const SeisChannel*>& chans, std::vector<std::string>& notes);

// Units: how one channel's values become cm/s/s.
struct Conversion {
  Quantity quantity = Quantity::Unknown;
  double factor = 0;  // values to cm/s/s, or to cm/s before differentiation
};
// Every channel's conversion, from the StationXML response, the units the data give, or
// a coefficient the user gives; velocity is differentiated only when the user agrees.
// Sets the site's name and place from the response. False when the user declined.
bool ConvertUnits(const std::string& path, const std::string& group,
                  const std::vector<const SeisChannel*>& chans, const AlignedTraces& aligned,
                  StrongRecord& rec, ReadQuestions& ask, std::vector<std::string>& notes,
                  std::vector<Conversion>& conv);

// Fill: the record's channels, peaks and header texts; the notes become its read note.
void FillRecord(const std::vector<const SeisChannel*>& chans, const AlignedTraces& aligned,
                const std::vector<Conversion>& conv, const std::vector<std::string>& notes, StrongRecord& rec,
                ReadQuestions& ask);

}  // namespace sism
