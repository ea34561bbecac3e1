// COSMOS Strong-Motion Data Format v01.20, volume 1 (uncorrected) or 2 (corrected), one file
// per channel: 13 text lines, 100 integer and 100 real header values (-999 and -999.0 where
// unknown), comment lines, then the samples with nine significant digits, so that
// single-precision values come back exactly. A volume 2 file holds three such blocks, the
// corrected acceleration (cm/s/s), its velocity (cm/s) and its displacement (cm).
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "common/path.h"
#include "common/strings.h"
#include "common/text.h"
#include "record/trapezoid.h"
#include "record/formats.h"
#include "record/record_source.h"
#include "record/writers.h"

namespace sism {

namespace {

constexpr int32_t kNullInt = -999;
constexpr double kNullReal = -999.0;
// The real header's fields are F15.6: the sign and seven digits before the point.
constexpr double kLargestValue = 9999999.0;
// Filter codes of the integer header: a zero-phase (acausal) Butterworth; applied in the time domain.
constexpr int32_t kAcausalButterworth = 5;
constexpr int32_t kTimeDomain = 1;

std::string Printf(const char* format, double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, v);
  return buf;
}

std::string Int8(int32_t v) {
  return AlignRight(std::to_string(v), 8);
}

// What a block holds: the physical parameter (Int(2)) and its units (Int(3)).
enum class Quantity { Acceleration = 1, Velocity = 2, Displacement = 3 };

struct QuantityWords {
  const char* heading;  // text line 1 of a volume 2 block
  const char* name;     // of the data and end lines
  const char* units;
  int32_t unitsCode;
};

QuantityWords WordsOf(Quantity q) {
  switch (q) {
    case Quantity::Velocity:
      return {"Velocity data", "velocity", "cm/sec", 5};
    case Quantity::Displacement:
      return {"Displacement data", "displacement", "cm", 6};
    case Quantity::Acceleration:
      break;
  }
  return {"Corrected acceleration", "acceleration", "cm/sec2", 4};
}

// Orientation as the integer header codes it: degrees from north (360 for north), 400 up, 401 down.
int32_t OrientationCode(char o, const ChannelSource* src) {
  switch (o) {
    case 'N':
      return 360;
    case 'E':
      return 90;
    case 'Z':
      return 400;
    default:
      break;
  }
  if (src == nullptr || !std::isfinite(src->Dip)) return kNullInt;
  if (src->Dip <= -89.5) return 400;
  if (src->Dip >= 89.5) return 401;
  if (std::fabs(src->Dip) > 0.5 || !std::isfinite(src->Azimuth)) return kNullInt;
  const auto az = static_cast<int32_t>(std::lround(std::fmod(std::fmod(src->Azimuth, 360.0) + 360.0, 360.0)));
  return az == 0 ? 360 : az;
}

std::string OrientationText(int32_t code) {
  if (code == 400) return "Up  ";
  if (code == 401) return "Down";
  if (code >= 1 && code <= 360) return AlignRight(std::to_string(code), 4) + " deg";
  return "Other";
}

// Position of the magnitude in the real header by its type: 13 Mw, 14 Ms, 15 ML, 16 any other.
int MagnitudePosition(const std::string& type) {
  const std::string t = LCase(Trim(type));
  if (t.starts_with("mw")) return 13;
  if (t == "ms") return 14;
  if (t == "ml") return 15;
  return 16;
}

// The origin time in UTC as "yyyy/mm/dd hh:nn:ss UTC" (the zone left out when the file gave
// none); empty when the record gives none.
std::string OriginText(const std::string& iso) {
  if (iso.size() < 16 || iso[4] != '-' || iso[7] != '-' || iso[10] != 'T') return {};
  std::string time = iso.substr(11);
  std::string zone;
  double offset = 0;
  if (time.ends_with("Z")) {
    time.pop_back();
    zone = "Z";
  } else if (const std::size_t sign = time.find_last_of("+-"); sign != std::string::npos && sign >= 5) {
    const std::string z = time.substr(sign + 1);
    const std::vector<std::string> hm = Split(z, ":");
    if (hm.size() != 2 || !IsNumeric(hm[0]) || !IsNumeric(hm[1])) return {};
    offset = (time[sign] == '-' ? -1 : 1) * (ToLong(hm[0]) * 3600.0 + ToLong(hm[1]) * 60.0);
    time = time.substr(0, sign);
    zone = "Z";
  }
  const std::string utc = IsoTimeOf(iso.substr(0, 10), time, zone, -offset);
  if (utc.size() < 19) return {};
  std::string clock = utc.substr(11);
  if (clock.ends_with("Z")) clock.pop_back();
  return utc.substr(0, 4) + "/" + utc.substr(5, 2) + "/" + utc.substr(8, 2) + " " + clock +
         (zone.empty() ? "" : " UTC");
}

struct Channel {
  int32_t number;
  char orientation;
  std::string label;
  const ChannelSource* source;  // null when the header said nothing of it
};

// One block: the channel's samples as one quantity.
struct Series {
  Quantity quantity;
  const float* x;
  double peak;
  int32_t peakStep;  // 1-based
};

Series SeriesOf(Quantity q, const float* x, int32_t n) {
  Series s{q, x, 0, 1};
  for (int32_t i = 0; i < n; ++i)
    if (std::fabs(x[i]) > std::fabs(s.peak)) {
      s.peak = x[i];
      s.peakStep = i + 1;
    }
  return s;
}

bool Known(double v) {
  return std::isfinite(v);
}

// Seconds of the first sample within its minute: RecTime's and the fraction the reader kept.
double StartSeconds(const StrongRecord& rec, const StartTime& t) {
  const double s = std::round((t.second + rec.Source.StartFraction) * 1000) / 1000;
  return std::isfinite(s) && s >= 0 && s < 60 ? s : t.second;
}

std::vector<std::string> TextHeader(const StrongRecord& rec, int32_t volume, const Channel& c, const Series& s,
                                    const StartTime& t, bool timed) {
  const QuantityWords words = WordsOf(s.quantity);
  const double rate = rec.SampFreq;
  const double length = static_cast<double>(rec.DataCount) / rate;
  const double peakTime = (s.peakStep - 1) / rate;
  const std::string date = timed ? FormatNumber(t.year, "0000") + "/" + FormatNumber(t.month, "00") + "/" +
                                       FormatNumber(t.day, "00")
                                 : "unknown   ";
  const std::string clock = timed ? FormatNumber(t.hour, "00") + ":" + FormatNumber(t.minute, "00") + ":" +
                                        Printf("%06.3f", StartSeconds(rec, t))
                                  : "            ";
  SeedStation st = SeedStationOf(rec);
  if (st.net.empty()) st.net = Trim(rec.Source.Network);
  const RecordSource& src = rec.Source;
  double lat = 0, lon = 0;
  const bool placed = CoordinateOf(rec.SiteLat, 90, lat) && CoordinateOf(rec.SiteLong, 360, lon);
  std::vector<std::string> lines;
  lines.push_back(PadRight(volume == 1 ? "Uncorrected acceleration" : words.heading, 26) +
                  "(Format v01.20 with 13 text lines)");
  lines.push_back("Record of station " + Trim(rec.SiteCode) + " of " + Trim(date) + " " + Left(clock, 5) +
                  " UTC");
  std::string hypocentre = "Hypocenter: unknown";
  if (Known(src.EventLat) && Known(src.EventLon)) {
    hypocentre = "Hypocenter:" + AlignRight(Printf("%.4f", src.EventLat), 9) +
                 AlignRight(Printf("%.4f", src.EventLon), 10);
    if (Known(src.EventDepthKm)) hypocentre += " H=" + AlignRight(Printf("%.0f", src.EventDepthKm), 3) + "km";
  }
  if (Known(src.Magnitude))
    hypocentre += " " + (Trim(src.MagnitudeType).empty() ? std::string("M") : Trim(src.MagnitudeType)) + "=" +
                  Printf("%.1f", src.Magnitude);
  lines.push_back(hypocentre);
  const std::string origin = OriginText(src.OriginTime);
  lines.push_back("Origin: " + (origin.empty() ? std::string("unknown") : origin));
  // Station code in columns 29-35, its name from column 42; the network in 26-27.
  lines.push_back(PadRight("Statn No:", 20) + "Code:" + PadRight(st.net.size() <= 2 ? st.net : "", 2) + "-" +
                  PadRight(Trim(rec.SiteCode), 7) + "      " + rec.SiteName);
  lines.push_back("Coords: " +
                  (placed ? AlignRight(Printf("%.4f", lat), 9) + AlignRight(Printf("%.4f", lon), 10)
                          : std::string("  unknown           ")) +
                  "  Site geology: unknown");
  lines.push_back("Recorder: unknown      (" + AlignRight(std::to_string(rec.ChanCount), 3) + " Chns of " +
                  AlignRight(std::to_string(rec.ChanCount), 3) + " at Sta) Sensor: unknown");
  lines.push_back("Rcrd start time: " + date + " " + clock + " UTC (Q= ) RcrdId: unknown");
  lines.push_back("Sta Chan" + AlignRight(std::to_string(c.number), 4) + ":" +
                  OrientationText(OrientationCode(c.orientation, c.source)) + " (Rcrdr Chan" +
                  AlignRight(std::to_string(c.number), 3) + ") Location: unknown");
  const double rawPeak = s.quantity == Quantity::Acceleration ? s.peak : 0;
  lines.push_back("Raw record length = " + Printf("%8.3f", length) +
                  " sec, Uncor max = " + (volume == 1 ? Printf("%9.3f", rawPeak) : std::string("  unknown")) +
                  ", at " + (volume == 1 ? Printf("%8.3f", peakTime) : std::string(" unknown")) + " sec.");
  lines.push_back("Processed: unknown, Max = " + Printf("%9.3f", s.peak) + " " + PadRight(words.units, 7) + " at " +
                  Printf("%8.3f", peakTime) + " sec");
  const double hp = c.source ? c.source->HighPassHz : kUnknown, lp = c.source ? c.source->LowPassHz : kUnknown;
  std::string filtered = "Record filter corners unknown";
  if (volume == 1) {
    filtered = "Record not filtered";
  } else if (Known(hp) && hp > 0) {
    filtered = "Record filtered below" + Printf("%6.2f", hp) + " Hz (periods over" + Printf("%7.2f", 1 / hp) +
               " secs)" + (Known(lp) && lp > 0 ? ", and above" + Printf("%5.1f", lp) + " Hz" : std::string());
  } else if (Known(lp) && lp > 0) {
    filtered = "Record filtered above" + Printf("%5.1f", lp) + " Hz";
  }
  lines.push_back(filtered);
  lines.push_back("Values used when parameter or data value is unknown/unspecified:   -999, -999.00");
  return lines;
}

std::vector<int32_t> IntegerHeader(int32_t volume, const Channel& c, const Series& s, const StartTime& t,
                                   bool timed) {
  std::vector<int32_t> v(100, kNullInt);
  auto set = [&v](int index, int32_t value) { v[static_cast<std::size_t>(index - 1)] = value; };
  set(1, volume);                                        // processing stage: 1 uncorrected, 2 corrected
  set(2, static_cast<int32_t>(s.quantity));              // physical parameter: 1 acc., 2 vel., 3 displ.
  set(3, WordsOf(s.quantity).unitsCode);                 // units: 4 cm/s/s, 5 cm/s, 6 cm
  set(4, 120);                                           // format version 1.20
  if (timed) {
    set(40, t.year);  // record start, UTC: year, day of the year, month, day, hour, minute
    set(41, t.dayOfYear());
    set(42, t.month);
    set(43, t.day);
    set(44, t.hour);
    set(45, t.minute);
  }
  set(50, c.number);                                     // station channel number
  set(54, OrientationCode(c.orientation, c.source));     // sensor azimuth from true north
  if (volume == 2 && c.source && c.source->ZeroPhaseButterworth) {
    if (Known(c.source->HighPassHz)) set(61, kAcausalButterworth);  // low-frequency (high-pass) filter type
    if (Known(c.source->LowPassHz)) set(62, kAcausalButterworth);   // high-frequency (low-pass) filter type
    set(64, kTimeDomain);                                           // filter domain
  }
  return v;
}

std::vector<double> RealHeader(const StrongRecord& rec, int32_t volume, const Channel& c, const Series& s,
                               const StartTime& t, bool timed) {
  std::vector<double> v(100, kNullReal);
  auto set = [&v](int index, double value) {
    if (Known(value) && std::fabs(value) <= kLargestValue) v[static_cast<std::size_t>(index - 1)] = value;
  };
  const RecordSource& src = rec.Source;
  double lat = 0, lon = 0;
  if (CoordinateOf(rec.SiteLat, 90, lat) && CoordinateOf(rec.SiteLong, 360, lon)) {
    set(1, lat);  // station latitude, longitude (degrees), elevation (m)
    set(2, lon);
  }
  set(3, src.StationElevationM);
  set(10, src.EventLat);  // epicentre latitude, longitude (degrees), hypocentre depth (km)
  set(11, src.EventLon);
  set(12, src.EventDepthKm);
  set(MagnitudePosition(src.MagnitudeType), src.Magnitude);
  set(17, EpicentralDistanceKm(rec));        // epicentral distance, km
  set(18, EpicentreToStationAzimuth(rec));   // epicentre-to-station azimuth, degrees from north
  if (timed) set(30, StartSeconds(rec, t));  // record start: seconds
  if (volume == 2 && c.source) {
    set(54, c.source->HighPassHz);  // low-frequency (high-pass) filter corner, Hz
    set(57, c.source->LowPassHz);   // high-frequency (low-pass) filter corner, Hz
  }
  set(62, 1000.0 / rec.SampFreq);                              // sample interval, ms
  set(63, static_cast<double>(rec.DataCount) / rec.SampFreq);  // record length, s
  double sum = 0;
  for (int32_t i = 0; i < rec.DataCount; ++i) sum += s.x[i];
  set(64, s.peak);                                              // peak value
  set(65, (s.peakStep - 1) / static_cast<double>(rec.SampFreq));  // its time from the start, s
  set(66, sum / rec.DataCount);                                 // average value
  return v;
}

std::string BlockText(const StrongRecord& rec, int32_t volume, const Channel& c, const Series& s,
                      const StartTime& t, bool timed) {
  const QuantityWords words = WordsOf(s.quantity);
  std::string out;
  for (const std::string& line : TextHeader(rec, volume, c, s, t, timed)) out += line + "\r\n";
  out += " 100 Integer-header values follow on  10 lines, Format= (10I8)\r\n";
  const std::vector<int32_t> ints = IntegerHeader(volume, c, s, t, timed);
  for (std::size_t i = 0; i < ints.size(); ++i) out += Int8(ints[i]) + (i % 10 == 9 ? "\r\n" : "");
  out += " 100 Real-header values follow on  20 lines, Format= (5F15.6)\r\n";
  const std::vector<double> reals = RealHeader(rec, volume, c, s, t, timed);
  for (std::size_t i = 0; i < reals.size(); ++i)
    out += Printf("%15.6f", reals[i]) + (i % 5 == 4 ? "\r\n" : "");
  std::vector<std::string> comments;
  if (!Trim(c.label).empty()) comments.push_back("| Channel label: " + c.label);
  if (const RecordFormatRow* f = FindRecordFormat(rec.FileFormat); f != nullptr && !rec.FilePath.empty())
    comments.push_back("| Source: " + std::string(f->name) + " file " + FileNameOf(rec.FilePath));
  if (!Trim(rec.Source.EventId).empty()) comments.push_back("| Event: " + Trim(rec.Source.EventId));
  out += AlignRight(std::to_string(comments.size()), 4) +
         " Comment line(s) follow, each starting with a \"|\":\r\n";
  for (const std::string& line : comments) out += line + "\r\n";
  const double seconds = static_cast<double>(rec.DataCount) / rec.SampFreq;
  out += AlignRight(std::to_string(rec.DataCount), 8) + " " + words.name + " pts, approx " +
         AlignRight(std::to_string(static_cast<int64_t>(std::llround(seconds))), 4) + " secs, units=" +
         words.units + "(" + FormatNumber(words.unitsCode, "00") + "),Format=(5E16.8)\r\n";
  std::string line;
  for (int32_t i = 0; i < rec.DataCount; ++i) {
    line += Printf("%16.8E", s.x[i]);
    if (i % 5 == 4 || i + 1 == rec.DataCount) {
      out += line + "\r\n";
      line.clear();
    }
  }
  out += "End-of-data for Chan" + AlignRight(std::to_string(c.number), 4) + " " + words.name + "\r\n";
  return out;
}

std::string SeriesProblem(const StrongRecord& rec, int32_t ch, const std::vector<float>& x, const char* what) {
  for (std::size_t i = 0; i < x.size(); ++i)
    if (!std::isfinite(x[i]) || std::fabs(static_cast<double>(x[i])) > kLargestValue)
      return "the " + std::string(what) + " " + NumberText(x[i]) + " at step " + std::to_string(i + 1) + " of " +
             ChannelWord(rec, ch) + " is beyond what the header's peak field holds";
  return {};
}

std::string Problem(const StrongRecord& rec) {
  if (rec.SampFreq < 1)
    return "the sampling frequency " + std::to_string(rec.SampFreq) + " Hz gives no interval";
  if (Trim(rec.SiteCode).size() > 7)
    return "the station code \"" + Trim(rec.SiteCode) + "\" is longer than the 7 columns COSMOS gives it";
  for (int32_t ch = 1; ch <= rec.ChanCount; ++ch) {
    std::string p = SampleProblem(rec, ch, kLargestValue, "is beyond what the header's peak field holds");
    if (!p.empty()) return p;
  }
  return {};
}

}  // namespace

std::string WriteCosmosFiles(const std::string& path, const StrongRecord& rec, int32_t volume) {
  const std::string problem = Problem(rec);
  if (!problem.empty()) return "Cannot write " + path + " as COSMOS: " + problem + ".";
  // Volume 2 carries each channel's velocity and displacement; they must fit the fields too.
  std::vector<std::vector<float>> vel(static_cast<std::size_t>(rec.ChanCount)),
      dis(static_cast<std::size_t>(rec.ChanCount));
  if (volume == 2)
    for (int32_t ch = 1; ch <= rec.ChanCount; ++ch) {
      const auto k = static_cast<std::size_t>(ch - 1);
      IntegrateFromRest(rec.Channel(ch), rec.DataCount, 1.0 / rec.SampFreq, vel[k], dis[k]);
      std::string p = SeriesProblem(rec, ch, vel[k], "velocity");
      if (p.empty()) p = SeriesProblem(rec, ch, dis[k], "displacement");
      if (!p.empty()) return "Cannot write " + path + " as COSMOS: " + p + ".";
    }
  StartTime start;
  const bool timed = RecordStart(rec, start);
  const std::vector<SeedChannel> seed = SeedChannels(rec);
  const std::vector<std::string> files =
      WrittenFiles(*FindWriter(volume == 1 ? "cosmos-v1" : "cosmos-v2"), path, rec);
  return WriteFilesAtomically(files, [&](std::size_t i) {
    const auto ch = static_cast<int32_t>(i + 1);
    const Channel c{ch, seed[i].orientation, rec.Label(ch), rec.Source.Channel(rec.Label(ch))};
    std::string text = BlockText(rec, volume, c, SeriesOf(Quantity::Acceleration, rec.Channel(ch), rec.DataCount),
                                 start, timed);
    if (volume == 2) {
      text += BlockText(rec, volume, c, SeriesOf(Quantity::Velocity, vel[i].data(), rec.DataCount), start, timed);
      text += BlockText(rec, volume, c, SeriesOf(Quantity::Displacement, dis[i].data(), rec.DataCount), start, timed);
    }
    return text;
  });
}

}  // namespace sism
