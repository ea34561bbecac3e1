#include "tests/support/seismic_files.h"

#include <libmseed.h>

#include <bit>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "record/stationxml.h"

namespace sism::test {

namespace {

void Append(char* record, int length, void* out) {
  static_cast<std::string*>(out)->append(record, static_cast<std::size_t>(length));
}

void Put(std::string& b, std::size_t at, uint32_t w, bool big) {
  if (big) w = __builtin_bswap32(w);
  std::memcpy(b.data() + at, &w, 4);
}

std::string Text8(const std::string& s, std::size_t width) {
  std::string t = s.empty() ? "-12345" : s;
  t.resize(width, ' ');
  return t;
}

// The 70 floats, 40 integers and 192 characters of a header.
struct Header {
  float f[70];
  int32_t i[40];
  std::string k;
};

Header HeaderOf(const SacFile& s) {
  Header h;
  for (float& x : h.f) x = -12345.0f;
  for (int32_t& x : h.i) x = -12345;
  h.f[0] = s.delta;
  h.f[5] = s.b;
  h.f[6] = s.b + s.delta * static_cast<float>(s.values.size() - 1);
  h.f[31] = s.stla;
  h.f[32] = s.stlo;
  const int32_t time[6] = {s.year, s.jday, s.hour, s.minute, s.second, s.msec};
  for (int n = 0; n < 6; ++n) h.i[n] = time[n];
  h.i[6] = s.version;
  h.i[9] = static_cast<int32_t>(s.values.size());
  h.i[15] = 1;  // time series
  h.i[16] = s.idep;
  h.i[35] = 1;  // evenly spaced
  h.k = Text8(s.sta, 8) + Text8("", 16) + Text8(s.loc, 8);
  for (int n = 0; n < 16; ++n) h.k += Text8("", 8);  // ko … kuser2
  h.k += Text8(s.cha, 8) + Text8(s.net, 8) + Text8("", 8) + Text8("", 8);
  return h;
}

}  // namespace

int64_t UtcMicros(const std::string& iso) {
  int64_t us = 0;
  if (!ParseXmlTime(iso, us)) throw std::invalid_argument(iso);
  return us;
}

std::vector<int32_t> Ramp(int n, int32_t base, int32_t step) {
  std::vector<int32_t> v(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) v[static_cast<std::size_t>(i)] = base + step * i;
  return v;
}

std::string Mseed(const std::vector<MseedStretch>& stretches) {
  std::string out;
  for (const MseedStretch& s : stretches) {
    MSRecord* msr = msr_init(nullptr);
    std::snprintf(msr->network, sizeof msr->network, "%s", s.net.c_str());
    std::snprintf(msr->station, sizeof msr->station, "%s", s.sta.c_str());
    std::snprintf(msr->location, sizeof msr->location, "%s", s.loc.c_str());
    std::snprintf(msr->channel, sizeof msr->channel, "%s", s.cha.c_str());
    msr->dataquality = 'D';
    msr->starttime = UtcMicros(s.start);
    msr->samprate = s.rate;
    msr->reclen = s.reclen;
    msr->encoding = static_cast<int8_t>(s.encoding);
    msr->byteorder = static_cast<int8_t>(s.byteorder);
    std::vector<int32_t> counts = s.counts;
    msr->datasamples = counts.data();
    msr->numsamples = static_cast<int64_t>(counts.size());
    msr->sampletype = 'i';
    int64_t packed = 0;
    const int records = msr_pack(msr, Append, &out, &packed, 1, 0);
    msr->datasamples = nullptr;  // the vector's, not libmseed's to free
    msr_free(&msr);
    if (records < 1 || packed != static_cast<int64_t>(counts.size())) throw std::runtime_error("msr_pack failed");
  }
  return out;
}

std::string SacBinary(const SacFile& s, bool big) {
  const Header h = HeaderOf(s);
  std::string b(632 + 4 * s.values.size(), '\0');
  for (int n = 0; n < 70; ++n) Put(b, 4 * static_cast<std::size_t>(n), std::bit_cast<uint32_t>(h.f[n]), big);
  for (int n = 0; n < 40; ++n) Put(b, 4 * static_cast<std::size_t>(70 + n), static_cast<uint32_t>(h.i[n]), big);
  b.replace(440, 192, h.k);
  for (std::size_t n = 0; n < s.values.size(); ++n) Put(b, 632 + 4 * n, std::bit_cast<uint32_t>(s.values[n]), big);
  return b;
}

std::string SacAlpha(const SacFile& s) {
  const Header h = HeaderOf(s);
  std::string out;
  char field[64];
  for (int n = 0; n < 70; ++n) {
    std::snprintf(field, sizeof field, "%#15.7g", static_cast<double>(h.f[n]));
    out += field;
    if (n % 5 == 4) out += "\n";
  }
  for (int n = 0; n < 40; ++n) {
    std::snprintf(field, sizeof field, "%10d", h.i[n]);
    out += field;
    if (n % 5 == 4) out += "\n";
  }
  out += h.k.substr(0, 24) + "\n";
  for (std::size_t at = 24; at < 192; at += 24) out += h.k.substr(at, 24) + "\n";
  for (std::size_t n = 0; n < s.values.size(); ++n) {
    std::snprintf(field, sizeof field, "%#15.7g", static_cast<double>(s.values[n]));
    out += field;
    if (n % 5 == 4 || n + 1 == s.values.size()) out += "\n";
  }
  return out;
}

std::string StationXml(const std::vector<XmlChannel>& channels, const std::string& net, const std::string& sta) {
  std::string x =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<FDSNStationXML xmlns=\"http://www.fdsn.org/xml/station/1\" schemaVersion=\"1.1\">\n"
      " <Source>test</Source>\n"
      " <Network code=\"" + net + "\">\n"
      "  <Station code=\"" + sta + "\">\n"
      "   <Latitude>35.5</Latitude>\n   <Longitude>139.25</Longitude>\n"
      "   <Site><Name>Test Hill</Name></Site>\n";
  for (const XmlChannel& c : channels)
    x += "   <Channel code=\"" + c.cha + "\" locationCode=\"" + c.loc + "\" startDate=\"" + c.start +
         "\" endDate=\"" + c.end +
         "\">\n"
         "    <Latitude>35.51</Latitude>\n    <Longitude>139.26</Longitude>\n"
         "    <Response>\n     <InstrumentSensitivity>\n      <Value>" + c.sensitivity +
         "</Value>\n      <Frequency>1.0</Frequency>\n      <InputUnits><Name>" + c.input +
         "</Name></InputUnits>\n      <OutputUnits><Name>" + c.output +
         "</Name></OutputUnits>\n     </InstrumentSensitivity>\n    </Response>\n   </Channel>\n";
  x += "  </Station>\n </Network>\n</FDSNStationXML>\n";
  return x;
}

}  // namespace sism::test
