#include "record/seismic_set.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <climits>
#include <cmath>
#include <map>

#include "common/path.h"
#include "common/text.h"
#include "record/reader.h"
#include "record/sibling.h"
#include "record/text_header.h"

namespace sism {

namespace {

// A record holds one whole-number rate; rates within this share of a whole number are it.
constexpr double kRateTolerance = 1e-4;

std::string IdOf(const SeisChannel& c) {
  return c.net + "." + c.sta + "." + c.loc + "." + c.cha;
}

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
    case 'N': case '1': return 0;
    case 'E': case '2': return 1;
    case 'Z': case '3': return 3;
    default: return 2;
  }
}

std::string Seconds(double s) {
  return NumberText(std::round(s * 1000) / 1000) + " s";
}

std::string JoinCodes(const std::vector<const SeisChannel*>& chans) {
  std::string s;
  for (const SeisChannel* c : chans) s += (s.empty() ? "" : ", ") + c->cha;
  return s;
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

// One channel's stretches as one trace from its first sample to its last.
struct Trace {
  const SeisChannel* channel = nullptr;
  int64_t startUs = 0;
  std::vector<double> values;
};

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
Trace MergeSegments(const std::string& path, const SeisChannel& c, int32_t rate, std::vector<std::string>& notes) {
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
    throw InvalidRecordFile(path + ": the gaps in " + IdOf(c) + " (" + Seconds(static_cast<double>(gapSteps) / rate) +
                            ") are too long to be filled with zeros.");
  t.values.reserve(static_cast<std::size_t>(length));
  for (const SeisSegment* s : segs) {
    const int64_t at = StepsBetween(t.startUs, s->startUs, rate, path);
    const auto n = static_cast<int64_t>(s->values.size());
    if (at > static_cast<int64_t>(t.values.size()))
      t.values.resize(static_cast<std::size_t>(at), sum / static_cast<double>(real));
    const int64_t from = std::max<int64_t>(0, static_cast<int64_t>(t.values.size()) - at);
    for (int64_t i = 0; i < std::min(from, n); ++i)
      if (t.values[static_cast<std::size_t>(at + i)] != s->values[static_cast<std::size_t>(i)]) ++overlapSteps;
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

// The first channel letter of a group says what its sensor measures when no response does.
Quantity QuantityByCode(const std::string& cha) {
  const char instrument = cha.size() >= 2 ? static_cast<char>(std::toupper(static_cast<unsigned char>(cha[1]))) : ' ';
  return instrument == 'H' || instrument == 'L' ? Quantity::Velocity : Quantity::Acceleration;
}

std::string QuantityName(Quantity q) {
  switch (q) {
    case Quantity::Acceleration: return "acceleration";
    case Quantity::Velocity: return "velocity";
    case Quantity::Displacement: return "displacement";
    default: return "an unknown quantity";
  }
}

bool IsCounts(const std::string& units) {
  return UCase(units).find("COUNT") != std::string::npos;
}

// How one channel's values become cm/s/s.
struct Conversion {
  Quantity quantity = Quantity::Unknown;
  double factor = 0;  // values to cm/s/s, or to cm/s before differentiation
};

// Every channel's conversion from the response file, or a message.
std::vector<Conversion> FromResponse(const std::string& xml, const std::vector<Trace>& traces, int64_t atUs,
                                     bool absolute, StrongRecord& rec) {
  const std::vector<ChannelEpoch> epochs = ReadStationXml(xml);
  std::vector<Conversion> out;
  for (const Trace& t : traces) {
    const SeisChannel& c = *t.channel;
    if (c.units.quantity != Quantity::Unknown) {
      out.push_back({c.units.quantity, c.units.toCm});
      continue;
    }
    const ChannelEpoch* e = FindEpoch(epochs, c.net, c.sta, c.loc, c.cha, absolute ? atUs : INT64_MIN);
    if (e == nullptr && !absolute) {
      // Without a date, the one epoch of the channel, if it has only one.
      const ChannelEpoch* only = nullptr;
      int found = 0;
      for (const ChannelEpoch& x : epochs)
        if (EqualsNoCase(x.net, c.net) && EqualsNoCase(x.sta, c.sta) && EqualsNoCase(x.cha, c.cha) &&
            (x.loc == c.loc || (x.loc.empty() && c.loc == "--")))
          only = &x, ++found;
      if (found == 1) e = only;
    }
    if (e == nullptr)
      throw InvalidRecordFile(xml + " describes no channel " + IdOf(c) +
                              (absolute ? " at " + UtcText(atUs) + " (the data's start)." : "."));
    if (!e->hasSensitivity || !std::isfinite(e->sensitivity) || e->sensitivity == 0)
      throw InvalidRecordFile(xml + " gives no overall sensitivity (InstrumentSensitivity) of " + IdOf(c) + ".");
    if (!IsCounts(e->outputUnits))
      throw InvalidRecordFile(xml + " gives the sensitivity of " + IdOf(c) + " in " + e->outputUnits +
                              ", not in counts.");
    const UnitMeaning m = MeaningOfUnits(e->inputUnits);
    if (m.quantity == Quantity::Unknown)
      throw InvalidRecordFile(xml + ": the input units of " + IdOf(c) + ", \"" + e->inputUnits +
                              "\", are neither an acceleration nor a velocity.");
    out.push_back({m.quantity, m.toCm / e->sensitivity});
    if (rec.SiteLat.empty() && !e->lat.empty()) {
      rec.SiteLat = e->lat;
      rec.SiteLong = e->lon;
    }
    if (rec.SiteName.empty()) rec.SiteName = e->siteName;
  }
  return out;
}

std::string ResponseBeside(const std::string& path, const SeisChannel& c) {
  const PathParts parts = SplitPath(path);
  const std::string& folder = parts.folder;
  // The data file's own name first: the one written with the data.
  for (const std::string& name : {parts.name + ".xml", c.net + "." + c.sta + ".xml",
                                  c.net + "." + c.sta + "." + c.loc + ".xml", c.net + "_" + c.sta + ".xml"}) {
    std::string found = FindFileNoCase(folder + name);
    if (!found.empty()) return found;
  }
  return {};
}

// Derivative by central differences (one-sided at the ends), times `factor`.
void Differentiate(const double* v, int64_t n, int32_t rate, double factor, float* out) {
  if (n == 1) {
    out[0] = 0;
    return;
  }
  for (int64_t i = 0; i < n; ++i) {
    const int64_t a = i == 0 ? 0 : i - 1, b = i == n - 1 ? n - 1 : i + 1;
    out[i] = static_cast<float>((v[b] - v[a]) * rate / static_cast<double>(b - a) * factor);
  }
}

}  // namespace

std::string UtcText(int64_t us) {
  using namespace std::chrono;
  const int64_t dayUs = 86'400'000'000LL;
  int64_t days = us / dayUs, rest = us % dayUs;
  if (rest < 0) rest += dayUs, --days;
  const year_month_day ymd{sys_days{std::chrono::days{days}}};
  const int64_t ms = (rest + 500) / 1000;
  return FormatNumber(static_cast<int32_t>(ymd.year()), "0000") + "/" +
         FormatNumber(static_cast<int32_t>(static_cast<unsigned>(ymd.month())), "00") + "/" +
         FormatNumber(static_cast<int32_t>(static_cast<unsigned>(ymd.day())), "00") + " " +
         FormatNumber(static_cast<int32_t>(ms / 3'600'000), "00") + ":" +
         FormatNumber(static_cast<int32_t>(ms / 60'000 % 60), "00") + ":" +
         FormatNumber(static_cast<int32_t>(ms / 1000 % 60), "00") + "." +
         FormatNumber(static_cast<int32_t>(ms % 1000), "000");
}

std::vector<std::string> SiblingFiles(const std::string& path, const std::string& cha) {
  std::vector<std::string> out;
  if (cha.size() < 2) return out;
  const std::string name = FileNameOf(path);
  const std::string folder = path.substr(0, path.size() - name.size());
  const std::string upper = UCase(name), code = UCase(cha);
  auto wordChar = [](char ch) { return std::isalnum(static_cast<unsigned char>(ch)) != 0; };
  for (std::size_t at = upper.find(code); at != std::string::npos; at = upper.find(code, at + 1)) {
    const std::size_t end = at + code.size();
    if ((at > 0 && wordChar(upper[at - 1])) || (end < upper.size() && wordChar(upper[end]))) continue;
    for (char letter : std::string("NEZ123")) {
      if (letter == code.back()) continue;
      std::string sibling = name;
      // The letter in the case the name has it.
      sibling[end - 1] = std::islower(static_cast<unsigned char>(name[end - 1]))
                             ? static_cast<char>(std::tolower(static_cast<unsigned char>(letter)))
                             : letter;
      std::string found = FindFileNoCase(folder + sibling);
      if (!found.empty() && std::find(out.begin(), out.end(), found) == out.end()) out.push_back(found);
    }
    break;
  }
  return out;
}

bool AssembleSeismicRecord(const SeisSet& set, StrongRecord& rec, ReadQuestions& ask) {
  const std::string& path = set.path;
  // Stretches of one channel from several files or records join.
  std::map<std::string, SeisChannel> byId;
  for (const SeisChannel& c : set.channels) {
    auto [it, added] = byId.try_emplace(IdOf(c), c);
    if (!added)
      it->second.segments.insert(it->second.segments.end(), c.segments.begin(), c.segments.end());
  }
  std::map<std::string, std::vector<const SeisChannel*>> groups;
  for (const auto& [id, c] : byId)
    if (!c.segments.empty()) groups[GroupOf(c)].push_back(&c);
  if (groups.empty()) throw InvalidRecordFile(path + " holds no samples.");

  auto chosen = groups.begin();
  if (groups.size() > 1) {
    std::vector<std::string> names;
    for (const auto& [name, chans] : groups) names.push_back(name + ": " + JoinCodes(chans));
    const int32_t pick = ask.PickStation(names);
    if (pick < 0 || pick >= static_cast<int32_t>(groups.size())) return false;
    std::advance(chosen, pick);
  }
  const std::string group = chosen->first;
  std::vector<const SeisChannel*> chans = chosen->second;
  std::stable_sort(chans.begin(), chans.end(), [](const SeisChannel* a, const SeisChannel* b) {
    return ComponentRank(a->cha) < ComponentRank(b->cha);
  });

  const int32_t rate = WholeRate(path, *chans.front());
  for (const SeisChannel* c : chans)
    if (WholeRate(path, *c) != rate)
      throw InvalidRecordFile(path + ": the channels of " + group + " are sampled at different rates (" +
                              chans.front()->cha + " " + std::to_string(rate) + " Hz, " + c->cha + " " +
                              std::to_string(WholeRate(path, *c)) + " Hz).");

  std::vector<std::string> notes;
  std::vector<Trace> traces;
  for (const SeisChannel* c : chans) traces.push_back(MergeSegments(path, *c, rate, notes));

  // The span every channel covers.
  int64_t start = INT64_MIN, end = INT64_MAX;
  for (const Trace& t : traces) {
    start = std::max(start, t.startUs);
    end = std::min(end, t.startUs + static_cast<int64_t>(std::llround(static_cast<double>(t.values.size()) * 1e6 / rate)));
  }
  if (end <= start)
    throw InvalidRecordFile(path + ": the channels of " + group + " (" + JoinCodes(chans) +
                            ") hold no common stretch of time.");
  std::vector<int64_t> skip;
  int64_t count = INT64_MAX;
  bool cut = false;
  for (const Trace& t : traces) {
    const int64_t k = std::clamp<int64_t>(StepsBetween(t.startUs, start, rate, path), 0,
                                          static_cast<int64_t>(t.values.size()));
    skip.push_back(k);
    count = std::min(count, static_cast<int64_t>(t.values.size()) - k);
  }
  if (count < 1)
    throw InvalidRecordFile(path + ": the channels of " + group + " hold no common stretch of time.");
  for (std::size_t i = 0; i < traces.size(); ++i)
    if (skip[i] > 0 || static_cast<int64_t>(traces[i].values.size()) - skip[i] > count) cut = true;
  if (cut) notes.push_back("channels cut to the time all of them cover");

  bool absolute = true;
  for (const SeisChannel* c : chans) absolute = absolute && c->absoluteTime;

  rec.SiteName.clear();
  rec.SiteLat.clear();
  rec.SiteLong.clear();
  std::vector<Conversion> conv;
  bool needResponse = false;
  for (const SeisChannel* c : chans) needResponse = needResponse || c->units.quantity == Quantity::Unknown;
  std::string xml;
  if (needResponse) xml = ask.ResponseFile(path, group, ResponseBeside(path, *chans.front()));
  if (!xml.empty()) {
    conv = FromResponse(xml, traces, start, absolute, rec);
  } else {
    for (const SeisChannel* c : chans)
      conv.push_back(c->units.quantity != Quantity::Unknown ? Conversion{c->units.quantity, c->units.toCm}
                                                             : Conversion{QuantityByCode(c->cha), 0});
  }

  std::vector<std::string> velocity, other;
  for (std::size_t i = 0; i < chans.size(); ++i) {
    if (conv[i].quantity == Quantity::Velocity) velocity.push_back(chans[i]->cha);
    if (conv[i].quantity != Quantity::Velocity && conv[i].quantity != Quantity::Acceleration)
      other.push_back(chans[i]->cha + " (" + QuantityName(conv[i].quantity) + ")");
  }
  if (!other.empty()) {
    std::string list;
    for (const std::string& o : other) list += (list.empty() ? "" : ", ") + o;
    throw InvalidRecordFile(path + ": " + group + " records " + list + ", not acceleration.");
  }
  if (!velocity.empty()) {
    std::string list;
    for (const std::string& v : velocity) list += (list.empty() ? "" : ", ") + v;
    const std::string what = group + " (" + list + ") records velocity, not acceleration";
    if (!ask.AskDifferentiate(what + ". Differentiate it into acceleration?", ReaderTitle("Velocity channels")))
      throw InvalidRecordFile(path + ": " + what + "; it opens only when differentiated into acceleration.");
    notes.push_back(list + " differentiated from velocity");
  }

  if (needResponse && xml.empty()) {
    DataFileParams p;
    p.skip = 0;
    p.count = static_cast<int32_t>(count);
    p.freq = rate;
    p.channels = static_cast<int32_t>(chans.size());
    p.description = group;
    p.coef = 1;
    std::string preview = "No StationXML response (" + chans.front()->net + "." + chans.front()->sta +
                          ".xml beside the data): the coefficient turns counts into " +
                          (velocity.empty() ? "cm/s/s." : "cm/s, then differentiated into cm/s/s.");
    for (const SeisChannel* c : chans)
      preview += "\n" + IdOf(*c) + "  " + std::to_string(rate) + " Hz  " + std::to_string(count) + " samples" +
                 (absolute ? "  from " + UtcText(start) : "");
    if (!ask.ShowReadDataDialog(DataFileKind::Counts, path, preview, p)) return false;
    for (std::size_t i = 0; i < chans.size(); ++i)
      if (chans[i]->units.quantity == Quantity::Unknown) conv[i].factor = p.coef;
    notes.push_back("counts times " + NumberText(p.coef) + " (no response)");
  }

  const auto k = static_cast<int32_t>(chans.size());
  rec.StartChannels(k);
  rec.SampFreq = rate;
  rec.DataCount = static_cast<int32_t>(count);
  rec.RedimAcc(rec.DataCount, k);
  for (int32_t ch = 1; ch <= k; ++ch) {
    const auto i = static_cast<std::size_t>(ch - 1);
    const double* v = traces[i].values.data() + skip[i];
    float* x = rec.Channel(ch);
    if (conv[i].quantity == Quantity::Velocity) {
      Differentiate(v, count, rate, conv[i].factor, x);
    } else {
      for (int64_t j = 0; j < count; ++j) x[j] = static_cast<float>(v[j] * conv[i].factor);
    }
    rec.Coef(ch) = static_cast<float>(conv[i].factor);
    rec.Label(ch) = chans[i]->cha;
    ChannelSource source;
    source.Label = source.Code = chans[i]->cha;
    rec.Source.Channels.push_back(source);
    ask.Yield();
  }
  ComputePeaks(rec);

  const SeisChannel& first = *chans.front();
  rec.SiteCode = first.net.empty() ? first.sta : first.net + "." + first.sta;
  if (rec.SiteName.empty()) rec.SiteName = first.net + "." + first.sta + "." + first.loc;
  if (rec.SiteLat.empty() && !first.lat.empty()) {
    rec.SiteLat = first.lat;
    rec.SiteLong = first.lon;
  }
  rec.Source.Network = first.net;
  rec.Source.Location = first.loc;
  if (absolute) {
    rec.Source.TimeZone = "Z";
    const int64_t dayUs = 86'400'000'000LL;
    int64_t days = start / dayUs, rest = start % dayUs;
    if (rest < 0) rest += dayUs, --days;
    using namespace std::chrono;
    const year_month_day ymd{sys_days{std::chrono::days{days}}};
    const int64_t minutes = rest / 60'000'000;
    SetFirstSampleTime(rec, static_cast<int32_t>(ymd.year()), static_cast<int32_t>(static_cast<unsigned>(ymd.month())),
                       static_cast<int32_t>(static_cast<unsigned>(ymd.day())), static_cast<int32_t>(minutes / 60),
                       static_cast<int32_t>(minutes % 60), static_cast<double>(rest % 60'000'000) / 1e6);
    const double seconds = static_cast<double>(rest % 60'000'000) / 1e6;
    rec.Source.StartFraction = seconds - RoundHalfEven(seconds);
  }
  std::string note;
  for (const std::string& n : notes) note += (note.empty() ? "" : "; ") + n;
  rec.ReadNote = note;
  return true;
}

}  // namespace sism
