// COSMOS Strong-Motion Data Format v01.20, volume 1 (uncorrected) or 2 (corrected)
// acceleration, one file per channel: 13 text lines, 100 integer and 100 real header
// values (-999 and -999.0 where unknown), comment lines, then the samples in cm/s/s with
// nine significant digits, so that single-precision values come back exactly.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "common/path.h"
#include "common/text.h"
#include "record/formats.h"
#include "record/writers.h"

namespace sism {

namespace {

constexpr int32_t kNullInt = -999;
constexpr double kNullReal = -999.0;
// The real header's fields are F15.6: the sign and seven digits before the point.
constexpr double kLargestValue = 9999999.0;

std::string Printf(const char* format, double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, v);
  return buf;
}

std::string Int8(int32_t v) {
  return AlignRight(std::to_string(v), 8);
}

// Orientation as the integer header codes it: degrees from north, 400 up.
int32_t OrientationCode(char o) {
  switch (o) {
    case 'N':
      return 360;
    case 'E':
      return 90;
    case 'Z':
      return 400;
    default:
      return kNullInt;
  }
}

std::string OrientationText(char o) {
  switch (o) {
    case 'N':
      return " 360";
    case 'E':
      return "  90";
    case 'Z':
      return "Up  ";
    default:
      return "Other";
  }
}

struct Channel {
  int32_t number;
  char orientation;
  std::string label;
};

std::vector<std::string> TextHeader(const StrongRecord& rec, int32_t volume, const Channel& c,
                                    const StartTime& t, bool timed) {
  const double length = static_cast<double>(rec.DataCount) / rec.SampFreq;
  const double peak = rec.Peak(c.number);
  const double peakTime = std::max(rec.PeakStep(c.number) - 1, 0) / static_cast<double>(rec.SampFreq);
  const std::string date = timed ? FormatNumber(t.year, "0000") + "/" + FormatNumber(t.month, "00") + "/" +
                                       FormatNumber(t.day, "00")
                                 : "unknown   ";
  const std::string clock = timed ? FormatNumber(t.hour, "00") + ":" + FormatNumber(t.minute, "00") + ":" +
                                        FormatNumber(t.second, "00") + ".000"
                                  : "            ";
  const SeedStation st = SeedStationOf(rec);
  double lat = 0, lon = 0;
  const bool placed = CoordinateOf(rec.SiteLat, 90, lat) && CoordinateOf(rec.SiteLong, 360, lon);
  std::vector<std::string> lines;
  lines.push_back(PadRight(volume == 1 ? "Uncorrected acceleration" : "Corrected acceleration", 26) +
                  "(Format v01.20 with 13 text lines)");
  lines.push_back("Record of station " + Trim(rec.SiteCode) + " of " + Trim(date) + " " + Left(clock, 5) +
                  " UTC");
  lines.push_back("Hypocenter: unknown");
  lines.push_back("Origin: unknown");
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
                  OrientationText(c.orientation) + " (Rcrdr Chan" + AlignRight(std::to_string(c.number), 3) +
                  ") Location: unknown");
  lines.push_back("Raw record length = " + Printf("%8.3f", length) +
                  " sec, Uncor max = " + (volume == 1 ? Printf("%9.3f", peak) : std::string("  unknown")) +
                  ", at " + (volume == 1 ? Printf("%8.3f", peakTime) : std::string(" unknown")) + " sec.");
  lines.push_back("Processed: unknown, Max = " + Printf("%9.3f", peak) + " cm/sec2 at " +
                  Printf("%8.3f", peakTime) + " sec");
  lines.push_back(volume == 1 ? "Record not filtered" : "Record filter corners unknown");
  lines.push_back("Values used when parameter or data value is unknown/unspecified:   -999, -999.00");
  return lines;
}

std::vector<int32_t> IntegerHeader(int32_t volume, const Channel& c, const StartTime& t, bool timed) {
  std::vector<int32_t> v(100, kNullInt);
  auto set = [&v](int index, int32_t value) { v[static_cast<std::size_t>(index - 1)] = value; };
  set(1, volume);  // processing stage: 1 uncorrected, 2 corrected
  set(2, 1);       // acceleration
  set(3, 4);       // units code: cm/s/s
  set(4, 120);     // format version 1.20
  if (timed) {
    set(40, t.year);
    set(41, t.dayOfYear());
    set(42, t.month);
    set(43, t.day);
    set(44, t.hour);
    set(45, t.minute);
  }
  set(49, c.number);
  set(54, OrientationCode(c.orientation));
  return v;
}

std::vector<double> RealHeader(const StrongRecord& rec, const Channel& c, const StartTime& t, bool timed) {
  std::vector<double> v(100, kNullReal);
  auto set = [&v](int index, double value) { v[static_cast<std::size_t>(index - 1)] = value; };
  double lat = 0, lon = 0;
  if (CoordinateOf(rec.SiteLat, 90, lat) && CoordinateOf(rec.SiteLong, 360, lon)) {
    set(1, lat);
    set(2, lon);
  }
  if (timed) set(30, t.second);
  set(62, 1000.0 / rec.SampFreq);                              // sample interval, ms
  set(63, static_cast<double>(rec.DataCount) / rec.SampFreq);  // record length, s
  const float* x = rec.Channel(c.number);
  double sum = 0;
  for (int32_t i = 0; i < rec.DataCount; ++i) sum += x[i];
  set(64, rec.Peak(c.number));
  set(65, std::max(rec.PeakStep(c.number) - 1, 0) / static_cast<double>(rec.SampFreq));
  set(66, sum / rec.DataCount);
  return v;
}

std::string ChannelText(const StrongRecord& rec, int32_t volume, const Channel& c, const StartTime& t,
                        bool timed) {
  std::string out;
  for (const std::string& line : TextHeader(rec, volume, c, t, timed)) out += line + "\r\n";
  out += " 100 Integer-header values follow on  10 lines, Format= (10I8)\r\n";
  const std::vector<int32_t> ints = IntegerHeader(volume, c, t, timed);
  for (std::size_t i = 0; i < ints.size(); ++i) out += Int8(ints[i]) + (i % 10 == 9 ? "\r\n" : "");
  out += " 100 Real-header values follow on  20 lines, Format= (5F15.6)\r\n";
  const std::vector<double> reals = RealHeader(rec, c, t, timed);
  for (std::size_t i = 0; i < reals.size(); ++i)
    out += Printf("%15.6f", reals[i]) + (i % 5 == 4 ? "\r\n" : "");
  std::vector<std::string> comments;
  if (!Trim(c.label).empty()) comments.push_back("| Channel label: " + c.label);
  if (const RecordFormatRow* f = FindRecordFormat(rec.FileFormat); f != nullptr && !rec.FilePath.empty())
    comments.push_back("| Source: " + std::string(f->name) + " file " + FileNameOf(rec.FilePath));
  out += AlignRight(std::to_string(comments.size()), 4) +
         " Comment line(s) follow, each starting with a \"|\":\r\n";
  for (const std::string& line : comments) out += line + "\r\n";
  const double seconds = static_cast<double>(rec.DataCount) / rec.SampFreq;
  out += AlignRight(std::to_string(rec.DataCount), 8) + " acceleration pts, approx " +
         AlignRight(std::to_string(static_cast<int64_t>(std::llround(seconds))), 4) +
         " secs, units=cm/sec2(04),Format=(5E16.8)\r\n";
  const float* x = rec.Channel(c.number);
  std::string line;
  for (int32_t i = 0; i < rec.DataCount; ++i) {
    line += Printf("%16.8E", x[i]);
    if (i % 5 == 4 || i + 1 == rec.DataCount) {
      out += line + "\r\n";
      line.clear();
    }
  }
  out += "End-of-data for Chan" + AlignRight(std::to_string(c.number), 4) + " acceleration\r\n";
  return out;
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
  StartTime start;
  const bool timed = RecordStart(rec, start);
  const std::vector<SeedChannel> seed = SeedChannels(rec);
  const std::vector<std::string> files =
      WrittenFiles(*FindWriter(volume == 1 ? "cosmos-v1" : "cosmos-v2"), path, rec);
  return WriteFilesAtomically(files, [&](std::size_t i) {
    const auto ch = static_cast<int32_t>(i + 1);
    return ChannelText(rec, volume, {ch, seed[i].orientation, rec.Label(ch)}, start, timed);
  });
}

}  // namespace sism
