// UNAM (Mexico) standard acceleration files, version 2.0: a Spanish "KEY : value" header
// whose per-channel values are lists ("/0.005/0.005/0.005"), then, after the line
// "DATOS DE ACELERACION:" and the column captions between dashed lines, one line per
// step with the channels in the columns the header's FORTRAN format gives.
#include <algorithm>
#include <cctype>
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

constexpr int32_t kMaxChannels = 12;

// The values of a per-channel list, channels 1-6 from the key's "C1-C6" line and 7-12
// from its "C7-C12" line.
std::vector<std::string> ChannelList(const KeyValueHeader& h, const std::string& key) {
  std::vector<std::string> values;
  for (const char* part : {"C1-C6", "C7-C12"}) {
    const std::string* v = h.FindStarting(key + ", " + part);
    if (!v) v = h.FindStarting(key + " " + part);
    if (!v) continue;
    std::vector<std::string> items = Split(*v, "/");
    for (std::size_t i = 1; i < items.size(); ++i) values.push_back(Trim(items[i]));
  }
  return values;
}

// "16.84851 LAT. N" or "99.85157 LONG. W": signed decimal degrees.
std::string Coordinate(const std::string& text) {
  std::string t = Trim(text);
  std::string number = t.substr(0, t.find(' '));
  if (!IsNumeric(number)) return {};
  char side = t.empty() ? ' ' : static_cast<char>(std::toupper(static_cast<unsigned char>(t.back())));
  return side == 'S' || side == 'W' ? "-" + number : number;
}

// "hh:mm:ss[.s]" as seconds of the day.
double ClockSeconds(const std::string& text) {
  std::vector<std::string> parts = Split(Trim(text), ":");
  if (parts.size() != 3) Raise(ErrTypeMismatch);
  return ToLong(parts[0]) * 3600.0 + ToLong(parts[1]) * 60.0 + ToDouble(parts[2]);
}

// The date given is the earthquake's; a first sample many hours from its origin lies on
// the day before or after.
void TakeStartTime(const KeyValueHeader& h, StrongRecord& rec) {
  const std::string* date = h.FindStarting("FECHA DEL SISMO");
  const std::string* first = h.FindStarting("HORA DE LA PRIMERA MUESTRA");
  if (!date || !first || date->empty() || first->empty()) return;
  std::vector<std::string> ymd = Split(*date, "/");
  if (ymd.size() != 3) Raise(ErrTypeMismatch);
  double start = ClockSeconds(*first);
  const std::string* origin = h.FindStarting("HORA EPICENTRO");
  if (origin && !origin->empty()) {
    double apart = start - ClockSeconds(*origin);
    if (apart > 43200) start -= 86400;
    if (apart < -43200) start += 86400;
  }
  SetFirstSampleTime(rec, ToLong(ymd[0]), ToLong(ymd[1]), ToLong(ymd[2]), 0, 0, start);
  rec.Source.TimeZone = ZoneOf(h.KeyStarting("HORA DE LA PRIMERA MUESTRA"));
  rec.Source.StartFraction = start - RoundHalfEven(start);
}

// The earthquake of "DATOS DEL SISMO": its date and time (GMT), the first of its magnitudes
// ("/M=7.1", "/Mw=7.1/Ms=6.9"), epicentre and depth; the station's altitude.
void TakeEvent(const KeyValueHeader& h, RecordSource& s) {
  const std::string* date = h.FindStarting("FECHA DEL SISMO");
  const std::string* time = h.FindStarting("HORA EPICENTRO");
  if (date && time) s.OriginTime = IsoTimeOf(*date, *time, ZoneOf(h.KeyStarting("HORA EPICENTRO")));
  for (const std::string& m : Split(h.Text("MAGNITUD(ES)"), "/")) {
    const std::size_t eq = m.find('=');
    if (eq == std::string::npos || !std::isfinite(NumberOf(m.substr(eq + 1)))) continue;
    s.Magnitude = NumberOf(m.substr(eq + 1));
    s.MagnitudeType = Trim(m.substr(0, eq));
    break;
  }
  const std::vector<std::string> epicentre = Split(h.Text("COORDENADAS DEL EPICENTRO"), "\n");
  if (epicentre.size() >= 2) {
    s.EventLat = NumberOf(Coordinate(epicentre[0]));
    s.EventLon = NumberOf(Coordinate(epicentre[1]));
  }
  if (const std::string* depth = h.FindStarting("PROFUNDIDAD FOCAL")) s.EventDepthKm = NumberOf(*depth);
  if (const std::string* altitude = h.FindStarting("ALTITUD")) s.StationElevationM = NumberOf(*altitude);
}

// Passes the captions between the two dashed lines after "DATOS DE ACELERACION:" and
// returns the last caption line (the orientations).
std::string SkipCaptions(TextFile& in) {
  std::string line, caption;
  for (int dashes = 0; dashes < 2;) {
    line = in.ReadLine();
    if (StartsWith(Trim(line), "---"))
      ++dashes;
    else if (dashes == 1)
      caption = line;
  }
  return caption;
}

}  // namespace

ReadOutcome ReadUnam(const std::string& path, StrongRecord& rec, ReadQuestions&) {
  return TrapTextReadErrors(path, "ReadUnam", [&](TextFile& in) {
    KeyValueHeader h;
    std::string line;
    bool dataFollow = false;
    while (!dataFollow && in.TryReadLine(line)) {
      dataFollow = StartsWith(UCase(Trim(line)), "DATOS DE ACELERACION");
      if (!dataFollow) h.AddLine(line);
    }
    if (!dataFollow || !h.FindStarting("NUMERO DE CANALES"))
      throw InvalidRecordFile(path +
                              " is not a UNAM acceleration file: it has no NUMERO DE CANALES or DATOS DE "
                              "ACELERACION line.");
    const int32_t chans = ToLong(*h.FindStarting("NUMERO DE CANALES"));
    if (chans < 1 || chans > kMaxChannels) throw InvalidRecordFile(path + " has no effective data.");

    std::vector<std::string> intervals = ChannelList(h, "INTERVALO DE MUESTREO");
    std::vector<std::string> counts = ChannelList(h, "NUM. TOTAL DE MUESTRAS");
    if (static_cast<int32_t>(intervals.size()) < chans || static_cast<int32_t>(counts.size()) < chans)
      Raise(ErrTypeMismatch);
    const int32_t rate = RateFromInterval(ToDouble(intervals[0]));
    int32_t steps = ToLong(counts[0]);
    for (int32_t c = 1; c < chans; ++c) {
      if (RateFromInterval(ToDouble(intervals[static_cast<std::size_t>(c)])) != rate)
        throw InvalidRecordFile(path + " has channels sampled at different rates.");
      steps = std::min(steps, ToLong(counts[static_cast<std::size_t>(c)]));
    }
    if (steps < 1) throw InvalidRecordFile(path + " has no effective data.");
    std::string units = h.Text("UNIDADES DE LOS DATOS");
    double factor = units.empty() ? 1 : AccelerationFactor(units);
    if (factor == 0)
      throw InvalidRecordFile(path + " gives its samples in \"" + units + "\", not as an acceleration.");
    const std::string* format = h.FindStarting("FORMATO DATOS");
    FieldLayout layout = format ? ParseFortranFormat("(" + *format + ")", true) : FieldLayout{};
    if (layout.width > 0 && layout.perLine < chans) Raise(ErrTypeMismatch);

    std::vector<std::string> captions = Split(Trim(SkipCaptions(in)), " ");
    captions.erase(std::remove(captions.begin(), captions.end(), ""), captions.end());
    std::vector<std::string> names = ChannelList(h, "ORIENTACION");
    std::vector<int32_t> columns;
    for (int32_t c = 0; c < chans; ++c) {
      columns.push_back(c);
      auto i = static_cast<std::size_t>(c);
      if (names.size() <= i) names.push_back("");
      if (names[i].empty()) names[i] = i < captions.size() ? captions[i] : "C" + std::to_string(c + 1);
    }
    names.resize(static_cast<std::size_t>(chans));
    std::vector<std::vector<float>> samples = ReadColumnLines(in, steps, layout, columns, factor);
    TakeHorizontalsFirst(rec, samples, names);
    rec.SampFreq = rate;
    rec.SiteCode = h.Text("CLAVE DE LA ESTACION");
    rec.SiteName = h.Text("NOMBRE DE LA ESTACION");
    std::vector<std::string> position = Split(h.Text("COORDENADAS DE LA ESTACION"), "\n");
    if (position.size() >= 2) {
      rec.SiteLat = Coordinate(position[0]);
      rec.SiteLong = Coordinate(position[1]);
    }
    TakeStartTime(h, rec);
    TakeEvent(h, rec.Source);
    return true;
  });
}

}  // namespace sism
