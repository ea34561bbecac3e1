// Taiwan CWB strong-motion text: "#Key: value" header lines, then one line per step
// holding the time and the components (U, N, E) in the columns "#Data:" declares.
#include <cmath>
#include <string>
#include <vector>

#include "common/errors.h"
#include "common/files.h"
#include "common/text.h"
#include "record/fixed_text.h"
#include "record/reader.h"
#include "record/readers.h"
#include "record/record_source.h"
#include "record/text_header.h"

namespace sism {

namespace {

constexpr std::size_t kMaxComponents = 12;

// "#DataSequence: Time U(+); N(+); E(+)": the component names after the time.
std::vector<std::string> ComponentNames(const std::string& sequence) {
  std::string s = Trim(sequence);
  if (!StartsWith(UCase(s), "TIME")) return {"U", "N", "E"};
  std::vector<std::string> names;
  for (const std::string& part : Split(s.substr(4), ";")) {
    std::string name = Trim(part.substr(0, part.find('(')));
    if (name.empty()) return {"U", "N", "E"};
    names.push_back(name);
  }
  return names;
}

// "2018/02/06-23:50:29.000".
void TakeStartTime(const std::string& text, StrongRecord& rec) {
  if (text.size() < 19 || text[4] != '/' || text[7] != '/' || text[13] != ':' || text[16] != ':')
    Raise(ErrTypeMismatch);
  SetFirstSampleTime(rec, ToLong(text.substr(0, 4)), ToLong(text.substr(5, 2)), ToLong(text.substr(8, 2)),
                     ToLong(text.substr(11, 2)), ToLong(text.substr(14, 2)), ToDouble(text.substr(17)));
}

int32_t DataLines(const std::string& text) {
  TextFile in = TextFile::FromText(text);
  int32_t n = 0;
  std::string line;
  while (in.TryReadLine(line))
    if (!TrimSpace(line).empty()) ++n;
  return n;
}

// "#Origin Time(GMT+08): 2018/02/06-23:50:42", the epicentre, depth and "Magnitude(Ml)".
void TakeEvent(const KeyValueHeader& h, RecordSource& s) {
  const std::string* origin = h.FindStarting("Origin Time");
  if (origin && origin->size() >= 19)
    s.OriginTime = IsoTimeOf(origin->substr(0, 10), origin->substr(11), ZoneOf(h.KeyStarting("Origin Time")));
  if (const std::string* lat = h.FindStarting("EpicenterLatitude")) s.EventLat = DegreesOf(*lat);
  if (const std::string* lon = h.FindStarting("EpicenterLongitude")) s.EventLon = DegreesOf(*lon);
  if (const std::string* depth = h.FindStarting("Depth")) s.EventDepthKm = NumberOf(*depth);
  if (const std::string* m = h.FindStarting("Magnitude")) {
    s.Magnitude = NumberOf(*m);
    const std::string key = h.KeyStarting("Magnitude");
    const std::size_t open = key.find('('), close = key.find(')');
    if (std::isfinite(s.Magnitude) && open != std::string::npos && close > open + 1)
      s.MagnitudeType = key.substr(open + 1, close - open - 1);
  }
}

}  // namespace

ReadOutcome ReadCwb(const std::string& path, StrongRecord& rec, ReadQuestions&) {
  return TrapTextReadErrors(path, "ReadCwb", [&](TextFile& file) {
    KeyValueHeader h;
    std::size_t dataAt = ReadKeyLines(file.Contents(), h, "#");
    if (!h.Find("SampleRate(Hz)"))
      throw InvalidRecordFile(path + " is not a CWB text file: its header gives no #SampleRate(Hz).");
    const int32_t rate = ToLong(h.Text("SampleRate(Hz)"));
    std::string units = h.Text("AmplitudeUnit");
    double factor = units.empty() ? 1 : AccelerationFactor(units);
    if (factor == 0)
      throw InvalidRecordFile(path + " gives its samples in \"" + units + "\", not as an acceleration.");
    std::vector<std::string> names = ComponentNames(h.Text("DataSequence"));
    if (names.size() > kMaxComponents) Raise(ErrTypeMismatch);
    std::string layoutText = h.Text("Data");
    FieldLayout layout =
        layoutText.empty() ? FieldLayout{} : ParseFortranFormat("(" + layoutText + ")", true);
    if (layout.width > 0 && layout.perLine < 1 + static_cast<int32_t>(names.size())) Raise(ErrTypeMismatch);

    TextFile data = TextFile::FromText(file.Contents().substr(dataAt), LinesBefore(file.Contents(), dataAt));
    // The record length tells how many steps there are, so a cut file is found.
    const std::string* length = h.FindStarting("RecordLength");
    int32_t steps = length ? RoundToLong(ToDouble(*length) * rate) : DataLines(data.Contents());
    if (rate < 1 || steps < 1) throw InvalidRecordFile(path + " has no effective data.");

    std::vector<int32_t> columns;
    for (std::size_t c = 1; c <= names.size(); ++c) columns.push_back(static_cast<int32_t>(c));
    std::vector<std::vector<float>> samples = ReadColumnLines(data, steps, layout, columns, factor);
    TakeHorizontalsFirst(rec, samples, names);
    rec.SampFreq = rate;
    rec.SiteCode = h.Text("StationCode");
    rec.SiteName = h.Text("StationName");
    const std::string* lat = h.FindStarting("StationLatitude");
    const std::string* lon = h.FindStarting("StationLongitude");
    rec.SiteLat = lat ? *lat : std::string();
    rec.SiteLong = lon ? *lon : std::string();
    // Local time, as the header gives it ("StartTime(GMT+08)").
    const std::string* start = h.FindStarting("StartTime");
    if (start && !start->empty()) TakeStartTime(*start, rec);
    rec.Source.TimeZone = ZoneOf(h.KeyStarting("StartTime"));
    TakeEvent(h, rec.Source);
    return true;
  });
}

}  // namespace sism
