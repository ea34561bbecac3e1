// AFAD (Turkey) strong-motion text: "KEY : value" header lines, a line of component
// names ("N-S  E-W  U-D"), then one step a line, a column per component.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "common/errors.h"
#include "common/files.h"
#include "common/text.h"
#include "record/fixed_text.h"
#include "record/gravity.h"
#include "record/reader.h"
#include "record/readers.h"
#include "record/record_source.h"
#include "record/text_header.h"

namespace sism {

namespace {

constexpr const char* kTag = "STRONG GROUND MOTION RECORDS OF TURKIYE";
constexpr std::size_t kMaxChannels = 16;

bool IsUtf8(const std::string& s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    auto c = static_cast<unsigned char>(s[i]);
    std::size_t more = c < 0x80                ? 0
                       : c >= 0xC2 && c < 0xE0 ? 1
                       : c >= 0xE0 && c < 0xF0 ? 2
                       : c >= 0xF0 && c < 0xF5 ? 3
                                               : 9;
    if (more == 9 || (more > 0 && i + more >= s.size())) return false;
    for (; more > 0; --more)
      if ((static_cast<unsigned char>(s[++i]) & 0xC0) != 0x80) return false;
  }
  return true;
}

// Place names come in the Turkish Windows code page; texts are held in UTF-8.
std::string TurkishToUtf8(const std::string& s) {
  if (IsUtf8(s)) return s;
  std::string out;
  for (char ch : s) {
    auto c = static_cast<unsigned char>(ch);
    unsigned code = c;
    switch (c) {
      case 0xD0:
        code = 0x011E;
        break;  // G breve
      case 0xDD:
        code = 0x0130;
        break;  // I with dot
      case 0xDE:
        code = 0x015E;
        break;  // S cedilla
      case 0xF0:
        code = 0x011F;
        break;
      case 0xFD:
        code = 0x0131;
        break;  // dotless i
      case 0xFE:
        code = 0x015F;
        break;
      default:
        break;
    }
    if (code < 0x80) {
      out += ch;
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return out;
}

// "N-S  E-W  U-D": every word a pair of direction letters.
bool IsLabelLine(const std::string& line) {
  std::vector<std::string> w = Words(line);
  return !w.empty() &&
         std::all_of(w.begin(), w.end(), [](const std::string& x) { return x.size() == 3 && x[1] == '-'; });
}

// "20/07/2017 22:30:58.000000 (GMT)".
void TakeRecordTime(const std::string& value, StrongRecord& rec) {
  std::vector<std::string> w = Words(value);
  if (w.size() < 2) return;
  std::vector<std::string> d = Split(w[0], "/"), t = Split(w[1], ":");
  if (d.size() != 3 || t.size() != 3) return;
  for (const std::string& x : {d[0], d[1], d[2], t[0], t[1], t[2]})
    if (!IsNumeric(x)) return;
  SetFirstSampleTime(rec, ToLong(d[2]), ToLong(d[1]), ToLong(d[0]), ToLong(t[0]), ToLong(t[1]),
                     ToDouble(t[2]));
  rec.Source.TimeZone = ZoneOf(value);
  rec.Source.StartFraction = ToDouble(t[2]) - RoundHalfEven(ToDouble(t[2]));
}

// "37.87470N-27.59223E": latitude, a separator, longitude, each with its hemisphere.
void TakePosition(const std::string& value, StrongRecord& rec) {
  std::string v = UCase(Trim(value));
  std::size_t ns = v.find_first_of("NS");
  if (ns == std::string::npos || ns + 2 > v.size()) return;
  std::string lat = Trim(v.substr(0, ns));
  std::string rest = Trim(v.substr(ns + 1));
  if (!rest.empty() && (rest[0] == '-' || rest[0] == ',')) rest = Trim(rest.substr(1));
  if (rest.empty() || (rest.back() != 'E' && rest.back() != 'W')) return;
  std::string lon = Trim(rest.substr(0, rest.size() - 1));
  if (!IsNumeric(lat) || !IsNumeric(lon)) return;
  rec.SiteLat = (v[ns] == 'S' ? "-" : "") + lat;
  rec.SiteLong = (rest.back() == 'W' ? "-" : "") + lon;
}

// "EARTHQUAKE DATE : 2017/07/20 22:31:09 (GMT)", the epicentre as the station's position is
// written, the depth, "6.5 Mw", the station's altitude.
void TakeEvent(const KeyValueHeader& h, StrongRecord& rec) {
  RecordSource& s = rec.Source;
  const std::vector<std::string> date = Words(h.Text("EARTHQUAKE DATE"));
  if (date.size() >= 2) s.OriginTime = IsoTimeOf(date[0], date[1], ZoneOf(h.Text("EARTHQUAKE DATE")));
  StrongRecord where;
  TakePosition(h.Text("EPICENTER COORDINATES"), where);
  s.EventLat = DegreesOf(where.SiteLat);
  s.EventLon = DegreesOf(where.SiteLong);
  s.EventDepthKm = NumberOf(h.Text("EARTHQUAKE DEPTH (km)"));
  const std::vector<std::string> m = Words(h.Text("EARTHQUAKE MAGNITUDE"));
  if (!m.empty()) s.Magnitude = NumberOf(m[0]);
  if (m.size() > 1 && std::isfinite(s.Magnitude)) s.MagnitudeType = m[1];
  s.StationElevationM = NumberOf(h.Text("STATION ALTITUDE (m)"));
  s.Network = "TK";
}

// The header's peaks are in gal, one for each column in turn; the samples are in gal, g
// or g/10, whichever brings the columns' largest magnitudes nearest to those peaks.
double UnitsFactor(const std::string& pgaLine, const std::vector<std::vector<float>>& columns) {
  std::vector<double> stated;
  for (const std::string& w : Words(pgaLine))
    if (IsNumeric(w) && stated.size() < columns.size()) stated.push_back(std::fabs(ToDouble(w)));
  double best = 1, bestMiss = -1;
  for (double f : {1.0, kStandardGravity / 10, kStandardGravity}) {
    double miss = 0;
    for (std::size_t k = 0; k < stated.size(); ++k) {
      double found = 0;
      for (float x : columns[k]) found = std::max(found, std::fabs(static_cast<double>(x)));
      if (stated[k] > 0 && found > 0) miss += std::fabs(std::log(found * f / stated[k]));
    }
    if (bestMiss < 0 || miss < bestMiss) {
      best = f;
      bestMiss = miss;
    }
  }
  return best;
}

}  // namespace

ReadOutcome ReadAfad(const std::string& path, StrongRecord& rec, ReadQuestions&) {
  return TrapTextReadErrors(path, "ReadAfad", [&](TextFile& in) {
    if (TrimSpace(in.ReadLine()) != kTag) throw InvalidRecordFile(path + " is invalid AFAD file.");
    KeyValueHeader header;
    std::string line = in.ReadLine();
    for (; !IsLabelLine(line); line = in.ReadLine()) header.AddLine(line);
    std::vector<std::string> labels = Words(line);
    if (labels.size() > kMaxChannels) labels.resize(kMaxChannels);
    for (const char* key : {"NUMBER OF DATA", "SAMPLING INTERVAL (sec)"})
      if (!header.Find(key))
        throw InvalidRecordFile(path + " is not an AFAD file: its header gives no " + key + ".");
    int32_t count = RoundToLong(header.Number("NUMBER OF DATA"));
    rec.SampFreq = RateFromInterval(header.Number("SAMPLING INTERVAL (sec)"));
    if (count < 1) Raise(ErrInputPastEnd);
    std::vector<int32_t> columns;
    for (std::size_t c = 0; c < labels.size(); ++c) columns.push_back(static_cast<int32_t>(c));
    std::vector<std::vector<float>> data = ReadColumnLines(in, count, FieldLayout{}, columns, 1.0);
    double factor = UnitsFactor(header.Text("RAW PGA VALUES (gal)"), data);
    for (auto& column : data)
      for (float& x : column) x = static_cast<float>(x * factor);
    TakeChannels(rec, data, labels);

    rec.SiteCode = header.Text("STATION ID");
    rec.SiteName = TurkishToUtf8(header.Text("PLACE"));
    TakePosition(header.Text("STATION COORDINATES"), rec);
    TakeRecordTime(header.Text("RECORD TIME"), rec);
    TakeEvent(header, rec);
    return true;
  });
}

}  // namespace sism
