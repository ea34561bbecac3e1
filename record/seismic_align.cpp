#include <algorithm>
#include <climits>
#include <cmath>

#include "common/text.h"
#include "record/reader.h"
#include "record/seismic_stages.h"
#include "record/text_header.h"

namespace sism {

namespace {

// A record holds one whole-number rate; rates within this share of a whole number are it.
constexpr double kRateTolerance = 1e-4;

std::string Seconds(double s) {
  return NumberText(std::round(s * 1000) / 1000) + " s";
}

// A whole-number rate, or a message.
int32_t WholeRate(const std::string& path, const SeisChannel& c) {
  const double rate = c.segments.front().rate;
  for (const SeisSegment& s : c.segments)
    if (!(std::fabs(s.rate - rate) <= kRateTolerance * rate))
      throw InvalidRecordFile(path + ": the sampling rate of " + IdOf(c) + " changes within the data (" +
                              NumberText(rate) + " and " + NumberText(s.rate) + " Hz).");
  const double whole = std::round(rate);
  if (!(rate > 0) || whole < 1 || whole > 1e6 || std::fabs(rate - whole) > kRateTolerance * whole)
    throw InvalidRecordFile(path + ": " + IdOf(c) + " is sampled at " + NumberText(rate) +
                            " Hz; only a whole number of samples per second can be opened.");
  return static_cast<int32_t>(whole);
}

// Samples between two times at `rate`, to the nearest sample.
int64_t StepsBetween(int64_t fromUs, int64_t toUs, int32_t rate, const std::string& path) {
  const double steps = std::round(static_cast<double>(toUs - fromUs) * rate / 1e6);
  if (!(std::fabs(steps) < static_cast<double>(INT32_MAX)))
    throw InvalidRecordFile(path + ": its data span more time than a record holds.");
  return static_cast<int64_t>(steps);
}

// Stretches in time order; an overlap keeps the earlier data (said when the later
// differs). A gap is filled with the channel's mean: counts of zero would be a step of
// the sensor's whole offset, where no motion is what the gap shows. The notes say what
// was done.
Trace MergeSegments(const std::string& path, const SeisChannel& c, int32_t rate,
                    std::vector<std::string>& notes) {
  std::vector<const SeisSegment*> segs;
  int64_t real = 0;
  double sum = 0;
  for (const SeisSegment& s : c.segments)
    if (!s.values.empty()) {
      segs.push_back(&s);
      real += static_cast<int64_t>(s.values.size());
      for (double v : s.values) sum += v;
    }
  if (segs.empty()) throw InvalidRecordFile(path + ": " + IdOf(c) + " holds no samples.");
  std::stable_sort(segs.begin(), segs.end(),
                   [](const SeisSegment* a, const SeisSegment* b) { return a->startUs < b->startUs; });
  Trace t;
  t.channel = &c;
  t.startUs = segs.front()->startUs;
  // The trace's length and its gaps, before anything is filled. Fill beyond the data's own
  // length (and a fixed stretch) would make a record mostly of no motion, no one event's;
  // it would also let a time stamp, not the file's size, decide how much memory is taken.
  constexpr int64_t kGapAllowance = int64_t{1} << 16;
  int64_t gapSteps = 0, overlapSteps = 0, gaps = 0, length = 0;
  for (const SeisSegment* s : segs) {
    const int64_t at = StepsBetween(t.startUs, s->startUs, rate, path);
    const auto n = static_cast<int64_t>(s->values.size());
    if (at + n > INT32_MAX) throw InvalidRecordFile(path + ": its data span more time than a record holds.");
    if (at > length) {
      gapSteps += at - length;
      ++gaps;
    }
    length = std::max(length, at + n);
  }
  if (gapSteps > real + kGapAllowance)
    throw InvalidRecordFile(path + ": the gaps in " + IdOf(c) + " (" +
                            Seconds(static_cast<double>(gapSteps) / rate) +
                            ") are too long to be filled with zeros.");
  t.values.reserve(static_cast<std::size_t>(length));
  for (const SeisSegment* s : segs) {
    const int64_t at = StepsBetween(t.startUs, s->startUs, rate, path);
    const auto n = static_cast<int64_t>(s->values.size());
    if (at > static_cast<int64_t>(t.values.size()))
      t.values.resize(static_cast<std::size_t>(at), sum / static_cast<double>(real));
    const int64_t from = std::max<int64_t>(0, static_cast<int64_t>(t.values.size()) - at);
    for (int64_t i = 0; i < std::min(from, n); ++i)
      if (t.values[static_cast<std::size_t>(at + i)] != s->values[static_cast<std::size_t>(i)])
        ++overlapSteps;
    if (from < n) t.values.insert(t.values.end(), s->values.begin() + from, s->values.end());
  }
  if (gaps > 0)
    notes.push_back(c.cha + ": " + std::to_string(gaps) + (gaps == 1 ? " gap" : " gaps") + " (" +
                    Seconds(static_cast<double>(gapSteps) / rate) + ") filled as no motion");
  if (overlapSteps > 0)
    notes.push_back(c.cha + ": overlapping data differed over " +
                    Seconds(static_cast<double>(overlapSteps) / rate) + "; the earlier kept");
  return t;
}

}  // namespace

AlignedTraces AlignChannels(const std::string& path, const std::string& group,
                            const std::vector<const SeisChannel*>& chans, std::vector<std::string>& notes) {
  AlignedTraces a;
  const int32_t rate = WholeRate(path, *chans.front());
  for (const SeisChannel* c : chans)
    if (WholeRate(path, *c) != rate)
      throw InvalidRecordFile(path + ": the channels of " + group + " are sampled at different rates (" +
                              chans.front()->cha + " " + std::to_string(rate) + " Hz, " + c->cha + " " +
                              std::to_string(WholeRate(path, *c)) + " Hz).");
  a.rate = rate;
  for (const SeisChannel* c : chans) a.traces.push_back(MergeSegments(path, *c, rate, notes));

  // The span every channel covers.
  int64_t start = INT64_MIN, end = INT64_MAX;
  for (const Trace& t : a.traces) {
    start = std::max(start, t.startUs);
    end = std::min(end, t.startUs + static_cast<int64_t>(
                                        std::llround(static_cast<double>(t.values.size()) * 1e6 / rate)));
  }
  if (end <= start)
    throw InvalidRecordFile(path + ": the channels of " + group + " (" + JoinCodes(chans) +
                            ") hold no common stretch of time.");
  a.startUs = start;
  int64_t count = INT64_MAX;
  bool cut = false;
  for (const Trace& t : a.traces) {
    const int64_t k = std::clamp<int64_t>(StepsBetween(t.startUs, start, rate, path), 0,
                                          static_cast<int64_t>(t.values.size()));
    a.skip.push_back(k);
    count = std::min(count, static_cast<int64_t>(t.values.size()) - k);
  }
  if (count < 1)
    throw InvalidRecordFile(path + ": the channels of " + group + " hold no common stretch of time.");
  for (std::size_t i = 0; i < a.traces.size(); ++i)
    if (a.skip[i] > 0 || static_cast<int64_t>(a.traces[i].values.size()) - a.skip[i] > count) cut = true;
  if (cut) notes.push_back("channels cut to the time all of them cover");
  a.count = count;
  for (const SeisChannel* c : chans) a.absoluteTime = a.absoluteTime && c->absoluteTime;
  return a;
}

}  // namespace sism
