// European strong-motion database ASCII files: "KEY: value" header lines, then the
// samples, one component per file. The file names of a station's components differ only
// in the stream code (HNE, HNN, HNZ …), so opening one opens the others found beside it.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "common/errors.h"
#include "common/files.h"
#include "common/path.h"
#include "common/text.h"
#include "record/fixed_text.h"
#include "record/reader.h"
#include "record/readers.h"
#include "record/record_source.h"
#include "record/sibling.h"
#include "record/text_header.h"

namespace sism {

namespace {

struct EsmComponent {
  std::string path;
  KeyValueHeader header;
  int32_t rate = 0;
  std::vector<float> samples;
};

EsmComponent ReadEsmComponent(const std::string& path) {
  EsmComponent c;
  c.path = path;
  TextFile file(path);
  std::size_t dataAt = ReadKeyLines(file.Contents(), c.header);
  if (!c.header.Find("NDATA") || !c.header.Find("SAMPLING_INTERVAL_S"))
    throw InvalidRecordFile(path +
                            " is not an ESM ASCII file: its header gives no NDATA or SAMPLING_INTERVAL_S.");
  std::string type = c.header.Text("DATA_TYPE");
  if (!type.empty() && !EqualsNoCase(type, "ACCELERATION"))
    throw InvalidRecordFile(path + " holds " + LCase(type) + ", not acceleration.");
  std::string units = c.header.Text("UNITS");
  double factor = AccelerationFactor(units);
  if (factor == 0)
    throw InvalidRecordFile(path + " gives its samples in \"" + units + "\", not as an acceleration.");
  int32_t count = 0;
  try {
    count = ToLong(c.header.Text("NDATA"));
    c.rate = RateFromInterval(c.header.Number("SAMPLING_INTERVAL_S"));
  } catch (RuntimeError& e) {
    e.SetPlace("lines 1-" + std::to_string(LinesBefore(file.Contents(), dataAt)) + " (the header)");
    throw;
  }
  if (count < 1) throw InvalidRecordFile(path + " has no effective data.");
  TextFile data = TextFile::FromText(file.Contents().substr(dataAt), LinesBefore(file.Contents(), dataAt));
  c.samples = ReadNumberRun(data, count, factor);
  return c;
}

// "20190728_160919.870", in UTC.
void TakeStartTime(const std::string& text, StrongRecord& rec) {
  if (text.size() < 15 || text[8] != '_') Raise(ErrTypeMismatch);
  const double seconds = ToDouble(text.substr(13));
  SetFirstSampleTime(rec, ToLong(text.substr(0, 4)), ToLong(text.substr(4, 2)), ToLong(text.substr(6, 2)),
                     ToLong(text.substr(9, 2)), ToLong(text.substr(11, 2)), seconds);
  rec.Source.TimeZone = "Z";
  // The record's time keeps whole seconds (rounded); the first sample's rest beside it.
  rec.Source.StartFraction = seconds - RoundHalfEven(seconds);
}

// The event (in UTC) and the station's network, location and elevation; the moment
// magnitude where the header gives one, else the local.
void TakeSource(const KeyValueHeader& h, RecordSource& s) {
  s.EventId = h.Text("EVENT_ID");
  const std::string date = h.Text("EVENT_DATE_YYYYMMDD"), time = h.Text("EVENT_TIME_HHMMSS");
  if (date.size() == 8 && time.size() >= 6)
    s.OriginTime =
        IsoTime(ToLong(date.substr(0, 4)), ToLong(date.substr(4, 2)), ToLong(date.substr(6, 2)),
                ToLong(time.substr(0, 2)), ToLong(time.substr(2, 2)), ToDouble(time.substr(4)), "Z");
  s.EventLat = NumberOf(h.Text("EVENT_LATITUDE_DEGREE"));
  s.EventLon = NumberOf(h.Text("EVENT_LONGITUDE_DEGREE"));
  s.EventDepthKm = NumberOf(h.Text("EVENT_DEPTH_KM"));
  for (const char* type : {"W", "L", "S", "B"}) {
    const double m = NumberOf(h.Text(std::string("MAGNITUDE_") + type));
    if (std::isfinite(m)) {
      s.Magnitude = m;
      s.MagnitudeType = std::string("M") + LCase(type);
      break;
    }
  }
  s.Network = h.Text("NETWORK");
  s.Location = h.Text("LOCATION");
  s.StationElevationM = NumberOf(h.Text("STATION_ELEVATION_M"));
}

// The files of the opened one's set, horizontals first: its name with the stream code's
// last letter made N (or 1), E (or 2) and Z (or 3). Just the opened file when its name
// does not hold its stream code or that code ends in no such letter.
std::vector<std::string> SetFiles(const std::string& path, const std::string& stream) {
  static const std::string slots[] = {"N1", "E2", "Z3"};
  const std::string name = FileNameOf(path);
  const std::string folder = path.substr(0, path.size() - name.size());
  std::vector<std::string> parts = Split(name, ".");
  auto code =
      std::find_if(parts.begin(), parts.end(), [&](const std::string& p) { return EqualsNoCase(p, stream); });
  if (stream.size() < 2 || code == parts.end()) return {path};
  const char own = UCase(stream).back();
  if (std::none_of(std::begin(slots), std::end(slots),
                   [&](const std::string& s) { return s.find(own) != s.npos; }))
    return {path};
  std::vector<std::string> files;
  for (const std::string& slot : slots) {
    if (slot.find(own) != std::string::npos) {
      files.push_back(path);
      continue;
    }
    for (char letter : slot) {
      std::string sibling = folder;
      for (auto p = parts.begin(); p != parts.end(); ++p)
        sibling += (p == parts.begin() ? "" : ".") + (p == code ? p->substr(0, p->size() - 1) + letter : *p);
      std::string found = FindFileNoCase(sibling);
      if (!found.empty()) {
        files.push_back(found);
        break;
      }
    }
  }
  return files;
}

}  // namespace

ReadOutcome ReadEsm(const std::string& path, StrongRecord& rec, ReadQuestions& ask) {
  return TrapReadErrors(path, "ReadEsm", [&] {
    EsmComponent opened = ReadEsmComponent(path);
    std::vector<EsmComponent> components;
    for (const std::string& file : SetFiles(path, opened.header.Text("STREAM"))) {
      ask.Yield();
      components.push_back(file == path ? opened : ReadEsmComponent(file));
      if (components.back().rate != opened.rate)
        throw InvalidRecordFile(file + " has another sampling interval than " + path + ".");
    }

    std::vector<std::vector<float>> channels;
    std::vector<std::string> labels;
    for (EsmComponent& c : components) {
      channels.push_back(std::move(c.samples));
      std::string stream = c.header.Text("STREAM");
      labels.push_back(stream.empty() ? "CH" + FormatNumber(static_cast<int32_t>(labels.size() + 1), "00")
                                      : stream);
    }
    TakeChannels(rec, channels, labels);
    rec.SampFreq = opened.rate;
    const KeyValueHeader& h = opened.header;
    rec.SiteCode = h.Text("STATION_CODE");
    rec.SiteName = h.Text("STATION_NAME");
    rec.SiteLat = h.Text("STATION_LATITUDE_DEGREE");
    rec.SiteLong = h.Text("STATION_LONGITUDE_DEGREE");
    std::string start = h.Text("DATE_TIME_FIRST_SAMPLE_YYYYMMDD_HHMMSS");
    if (!start.empty()) TakeStartTime(start, rec);
    TakeSource(h, rec.Source);
    for (std::size_t k = 0; k < components.size(); ++k) {
      const KeyValueHeader& ch = components[k].header;
      ChannelSource c;
      c.Label = labels[k];
      c.Code = ch.Text("STREAM");
      c.HighPassHz = NumberOf(ch.Text("LOW_CUT_FREQUENCY_HZ"));
      c.LowPassHz = NumberOf(ch.Text("HIGH_CUT_FREQUENCY_HZ"));
      rec.Source.Channels.push_back(c);
    }
    return true;
  });
}

}  // namespace sism
