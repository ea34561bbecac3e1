// miniSEED (SEED 2.4 data records of 4096 bytes, big-endian) through libmseed, all
// channels in one file, with a StationXML file beside it (NAME.xml) giving each channel's
// overall sensitivity so that the counts turn back into the record's cm/s/s. Channels
// that are whole counts times their coefficient (as read from a seismometer's data) are
// written as those counts, Steim-2 compressed; the others as float32 in cm/s/s, one
// count per cm/s/s.
#include <libmseed.h>

#include <pugixml.hpp>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <sstream>
#include <string>
#include <vector>

#include "common/files.h"
#include "common/path.h"
#include "common/strings.h"
#include "common/text.h"
#include "record/writers.h"

namespace sism {

namespace {

constexpr int kRecordLength = 4096;
// Steim-2 holds differences of up to 30 bits; counts this small keep every one inside.
constexpr double kLargestCount = 268435456.0;  // 2^28
// m/s/s in cm/s/s.
constexpr double kCmPerMetre = 100.0;

void Quiet(char*) {}

struct Packed {
  std::string bytes;
};

void Collect(char* record, int length, void* data) {
  static_cast<Packed*>(data)->bytes.append(record, static_cast<std::size_t>(length));
}

// The counts of a channel whose samples are whole counts times its coefficient; empty
// when they are not.
std::vector<int32_t> CountsOf(const StrongRecord& rec, int32_t ch) {
  const double coef = rec.Coef(ch);
  if (!(coef != 0) || !std::isfinite(coef)) return {};
  const float* x = rec.Channel(ch);
  std::vector<int32_t> counts(static_cast<std::size_t>(rec.DataCount));
  for (int32_t i = 0; i < rec.DataCount; ++i) {
    const double c = static_cast<double>(x[i]) / coef;
    const double r = std::nearbyint(c);
    if (!(std::fabs(r) <= kLargestCount)) return {};
    // The count times the coefficient must give the sample again, to its last digit or two.
    const double back = r * coef;
    if (std::fabs(back - x[i]) > 2.5e-7 * std::fabs(static_cast<double>(x[i])) + 1e-30) return {};
    counts[static_cast<std::size_t>(i)] = static_cast<int32_t>(r);
  }
  return counts;
}

std::string Number(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.10g", v);
  return buf;
}

std::string IsoTime(const StartTime& t) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
  return buf;
}

std::string NowText() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char buf[40];
  std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return buf;
}

bool WrittenHere(const std::string& xml) {
  try {
    return ReadWholeFile(xml).find("<Source>" + ProgramTitle() + "</Source>") != std::string::npos;
  } catch (const std::exception&) {
    return false;
  }
}

struct ChannelPlan {
  SeedChannel seed;
  std::vector<int32_t> counts;  // empty: float32
  double sensitivity = 0;       // counts per m/s/s
};

std::string StationXml(const StrongRecord& rec, const SeedStation& st, const std::vector<ChannelPlan>& plans,
                       const StartTime& start) {
  pugi::xml_document doc;
  pugi::xml_node decl = doc.append_child(pugi::node_declaration);
  decl.append_attribute("version") = "1.0";
  decl.append_attribute("encoding") = "UTF-8";
  pugi::xml_node root = doc.append_child("FDSNStationXML");
  root.append_attribute("xmlns") = "http://www.fdsn.org/xml/station/1";
  root.append_attribute("schemaVersion") = "1.1";
  root.append_child("Source").text() = ProgramTitle().c_str();
  root.append_child("Created").text() = NowText().c_str();
  pugi::xml_node net = root.append_child("Network");
  net.append_attribute("code") = st.net.c_str();
  pugi::xml_node sta = net.append_child("Station");
  sta.append_attribute("code") = st.sta.c_str();
  sta.append_attribute("startDate") = IsoTime(start).c_str();
  const bool placed = IsNumeric(rec.SiteLat) && IsNumeric(rec.SiteLong);
  if (placed) {
    sta.append_child("Latitude").text() = Trim(rec.SiteLat).c_str();
    sta.append_child("Longitude").text() = Trim(rec.SiteLong).c_str();
    sta.append_child("Elevation").text() = "0";
  }
  if (!rec.SiteName.empty()) sta.append_child("Site").append_child("Name").text() = rec.SiteName.c_str();
  for (const ChannelPlan& p : plans) {
    pugi::xml_node cha = sta.append_child("Channel");
    cha.append_attribute("code") = p.seed.cha.c_str();
    cha.append_attribute("locationCode") = p.seed.loc.c_str();
    cha.append_attribute("startDate") = IsoTime(start).c_str();
    if (placed) {
      cha.append_child("Latitude").text() = Trim(rec.SiteLat).c_str();
      cha.append_child("Longitude").text() = Trim(rec.SiteLong).c_str();
      cha.append_child("Elevation").text() = "0";
      cha.append_child("Depth").text() = "0";
    }
    if (p.seed.orientation != 0) {
      cha.append_child("Azimuth").text() = p.seed.orientation == 'E' ? "90" : "0";
      cha.append_child("Dip").text() = p.seed.orientation == 'Z' ? "-90" : "0";
    }
    cha.append_child("SampleRate").text() = std::to_string(rec.SampFreq).c_str();
    pugi::xml_node sens = cha.append_child("Response").append_child("InstrumentSensitivity");
    sens.append_child("Value").text() = Number(p.sensitivity).c_str();
    sens.append_child("Frequency").text() = "1";
    sens.append_child("InputUnits").append_child("Name").text() = "M/S**2";
    sens.append_child("OutputUnits").append_child("Name").text() = "COUNTS";
  }
  std::ostringstream out;
  doc.save(out, "  ");
  return out.str();
}

// Owns the record being packed; the samples stay the caller's.
class PackRecord {
 public:
  PackRecord() : msr_(msr_init(nullptr)) {}
  ~PackRecord() {
    if (msr_ != nullptr) msr_->datasamples = nullptr;
    msr_free(&msr_);
  }
  PackRecord(const PackRecord&) = delete;
  PackRecord& operator=(const PackRecord&) = delete;
  MSRecord* operator->() { return msr_; }
  MSRecord* Get() { return msr_; }

 private:
  MSRecord* msr_;
};

std::string Problem(const StrongRecord& rec, const SeedStation& st, const std::vector<SeedChannel>& seed,
                    bool timed) {
  if (std::string p = RecordProblem(rec); !p.empty()) return p;
  if (!timed)
    return "the record gives no start date and time (" + rec.RecDate + " " + rec.RecTime +
           "), which miniSEED needs";
  if (st.sta.size() > 5)
    return "the station code \"" + st.sta + "\" is longer than the 5 characters miniSEED holds";
  if (st.net.size() > 2)
    return "the network code \"" + st.net + "\" is longer than the 2 characters miniSEED holds";
  if (seed.size() > 99) return "more channels than location codes can tell apart";
  for (int32_t ch = 1; ch <= rec.ChanCount; ++ch) {
    if (seed[static_cast<std::size_t>(ch - 1)].cha.size() > 3)
      return "the channel code of " + ChannelWord(rec, ch) + " is longer than 3 characters";
    std::string p = SampleProblem(rec, ch, 3e38, "is not a single-precision number");
    if (!p.empty()) return p;
  }
  return {};
}

}  // namespace

std::string WriteMseedFile(const std::string& path, const StrongRecord& rec) {
  const SeedStation st = SeedStationOf(rec);
  const std::vector<SeedChannel> seed = SeedChannels(rec);
  StartTime start;
  const bool timed = RecordStart(rec, start);
  const std::string problem = Problem(rec, st, seed, timed);
  if (!problem.empty()) return "Cannot write " + path + " as miniSEED: " + problem + ".";
  const std::vector<std::string> files = WrittenFiles(*FindWriter("mseed"), path, rec);
  // A response file of the user's (perhaps the one the record was read with) is not replaced.
  if (FileExists(files[1]) && !WrittenHere(files[1]))
    return "Cannot write " + path + " as miniSEED: its StationXML file " + files[1] +
           " exists and was not written by " + ProgramTitle() + "; choose another name.";

  ms_loginit(Quiet, nullptr, Quiet, nullptr);
  const hptime_t begin =
      ms_time2hptime(start.year, start.dayOfYear(), start.hour, start.minute, start.second, 0);
  std::vector<ChannelPlan> plans;
  Packed packed;
  int32_t sequence = 1;
  for (int32_t ch = 1; ch <= rec.ChanCount; ++ch) {
    ChannelPlan plan{seed[static_cast<std::size_t>(ch - 1)], CountsOf(rec, ch), 0};
    std::vector<float> floats;
    PackRecord msr;
    std::snprintf(msr->network, sizeof msr->network, "%s", st.net.c_str());
    std::snprintf(msr->station, sizeof msr->station, "%s", st.sta.c_str());
    std::snprintf(msr->location, sizeof msr->location, "%s", plan.seed.loc.c_str());
    std::snprintf(msr->channel, sizeof msr->channel, "%s", plan.seed.cha.c_str());
    msr->dataquality = 'D';
    msr->starttime = begin;
    msr->samprate = rec.SampFreq;
    msr->reclen = kRecordLength;
    msr->byteorder = 1;
    msr->sequence_number = sequence;
    msr->numsamples = rec.DataCount;
    if (!plan.counts.empty()) {
      msr->encoding = DE_STEIM2;
      msr->sampletype = 'i';
      msr->datasamples = plan.counts.data();
      plan.sensitivity = kCmPerMetre / static_cast<double>(rec.Coef(ch));
    } else {
      floats.assign(rec.Channel(ch), rec.Channel(ch) + rec.DataCount);
      msr->encoding = DE_FLOAT32;
      msr->sampletype = 'f';
      msr->datasamples = floats.data();
      plan.sensitivity = kCmPerMetre;
    }
    int64_t done = 0;
    const int records = msr_pack(msr.Get(), Collect, &packed, &done, 1, 0);
    if (records < 0 || done != rec.DataCount)
      return "Failed to write " + path + " (libmseed could not pack " + ChannelWord(rec, ch) + ")";
    sequence = msr->sequence_number;
    plans.push_back(std::move(plan));
  }
  const std::string xml = StationXml(rec, st, plans, start);
  return WriteFilesAtomically(files, [&](std::size_t i) { return i == 0 ? packed.bytes : xml; });
}

}  // namespace sism
