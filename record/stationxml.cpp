#include "record/stationxml.h"

#include <pugixml.hpp>

#include <chrono>
#include <cmath>
#include <cstring>

#include "common/text.h"
#include "record/reader.h"

namespace sism {

namespace {

// Element names without a namespace prefix, so "fsx:Channel" is a Channel too.
const char* LocalName(const pugi::xml_node& n) {
  const char* name = n.name();
  const char* colon = std::strrchr(name, ':');
  return colon ? colon + 1 : name;
}

pugi::xml_node Child(const pugi::xml_node& parent, const char* name) {
  for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling())
    if (c.type() == pugi::node_element && std::strcmp(LocalName(c), name) == 0) return c;
  return {};
}

std::string ChildText(const pugi::xml_node& parent, const char* name) {
  return Trim(Child(parent, name).child_value());
}

template <typename F>
void EachChild(const pugi::xml_node& parent, const char* name, F&& f) {
  for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling())
    if (c.type() == pugi::node_element && std::strcmp(LocalName(c), name) == 0) f(c);
}

// A number of the file; NaN when the text is none.
double NumberOf(const std::string& text) {
  return IsNumeric(text) ? Val(text) : std::nan("");
}

void EpochTimes(const pugi::xml_node& n, int64_t& start, int64_t& end) {
  int64_t t;
  if (ParseXmlTime(n.attribute("startDate").value(), t)) start = t;
  if (ParseXmlTime(n.attribute("endDate").value(), t)) end = t;
}

}  // namespace

UnitMeaning MeaningOfUnits(const std::string& units) {
  std::string u;
  for (char c : UCase(Trim(units)))
    if (c != ' ' && c != '*' && c != '^' && c != '(' && c != ')') u += c;
  static const std::pair<const char*, double> lengths[] = {
      {"M", 100}, {"CM", 1}, {"MM", 0.1}, {"UM", 1e-4}, {"NM", 1e-7}, {"METER", 100}, {"METERS", 100}};
  const std::string::size_type slash = u.find('/');
  const std::string length = u.substr(0, slash);
  double factor = 0;
  for (const auto& [name, f] : lengths)
    if (length == name) factor = f;
  if (factor == 0) return {};
  if (slash == std::string::npos) return {Quantity::Displacement, factor};
  const std::string per = u.substr(slash + 1);
  if (per == "S" || per == "SEC") return {Quantity::Velocity, factor};
  if (per == "S2" || per == "SEC2" || per == "S/S" || per == "SEC/SEC") return {Quantity::Acceleration, factor};
  return {};
}

bool ParseXmlTime(const std::string& text, int64_t& us) {
  const std::string t = Trim(text);
  int y = 0, mo = 0, d = 0, h = 0, mi = 0;
  double s = 0;
  if (t.size() < 10 || t[4] != '-' || t[7] != '-') return false;
  auto digits = [&](std::size_t at, std::size_t n, int& v) {
    v = 0;
    for (std::size_t i = at; i < at + n; ++i) {
      if (i >= t.size() || t[i] < '0' || t[i] > '9') return false;
      v = v * 10 + (t[i] - '0');
    }
    return true;
  };
  if (!digits(0, 4, y) || !digits(5, 2, mo) || !digits(8, 2, d)) return false;
  if (t.size() > 10) {
    if ((t[10] != 'T' && t[10] != ' ') || t.size() < 19 || t[13] != ':' || t[16] != ':') return false;
    if (!digits(11, 2, h) || !digits(14, 2, mi)) return false;
    std::string sec = t.substr(17);
    if (!sec.empty() && (sec.back() == 'Z' || sec.back() == 'z')) sec.pop_back();
    if (!IsNumeric(sec)) return false;
    s = Val(sec);
  }
  using namespace std::chrono;
  const year_month_day ymd{year{y}, month{static_cast<unsigned>(mo)}, day{static_cast<unsigned>(d)}};
  if (!ymd.ok() || h > 23 || mi > 59 || !(s >= 0 && s < 61)) return false;
  const int64_t days = sys_days(ymd).time_since_epoch().count();
  us = ((days * 24 + h) * 60 + mi) * 60'000'000LL + static_cast<int64_t>(std::llround(s * 1e6));
  return true;
}

std::vector<ChannelEpoch> ReadStationXml(const std::string& path) {
  pugi::xml_document doc;
  const pugi::xml_parse_result parsed = doc.load_file(path.c_str());
  if (!parsed)
    throw InvalidRecordFile(path + " cannot be read as StationXML (" + parsed.description() + " at byte " +
                            std::to_string(parsed.offset) + ").");
  pugi::xml_node root = doc.document_element();
  if (std::strcmp(LocalName(root), "FDSNStationXML") != 0)
    throw InvalidRecordFile(path + " is not a StationXML file: its root element is <" +
                            std::string(root.name()) + ">.");
  std::vector<ChannelEpoch> out;
  EachChild(root, "Network", [&](const pugi::xml_node& net) {
    EachChild(net, "Station", [&](const pugi::xml_node& sta) {
      const std::string staLat = ChildText(sta, "Latitude"), staLon = ChildText(sta, "Longitude");
      const std::string site = ChildText(Child(sta, "Site"), "Name");
      EachChild(sta, "Channel", [&](const pugi::xml_node& cha) {
        ChannelEpoch e;
        e.net = Trim(net.attribute("code").value());
        e.sta = Trim(sta.attribute("code").value());
        e.loc = Trim(cha.attribute("locationCode").value());
        e.cha = Trim(cha.attribute("code").value());
        EpochTimes(cha, e.startUs, e.endUs);
        e.lat = ChildText(cha, "Latitude");
        e.lon = ChildText(cha, "Longitude");
        if (e.lat.empty() || e.lon.empty()) {
          e.lat = staLat;
          e.lon = staLon;
        }
        e.siteName = site;
        const pugi::xml_node sens = Child(Child(cha, "Response"), "InstrumentSensitivity");
        if (sens) {
          e.sensitivity = NumberOf(ChildText(sens, "Value"));
          e.frequency = NumberOf(ChildText(sens, "Frequency"));
          e.inputUnits = ChildText(Child(sens, "InputUnits"), "Name");
          e.outputUnits = ChildText(Child(sens, "OutputUnits"), "Name");
          e.hasSensitivity = true;
        }
        out.push_back(std::move(e));
      });
    });
  });
  return out;
}

const ChannelEpoch* FindEpoch(const std::vector<ChannelEpoch>& epochs, const std::string& net,
                              const std::string& sta, const std::string& loc, const std::string& cha,
                              int64_t timeUs) {
  // Location "--" in requests and some files means the empty location.
  auto sameLoc = [](const std::string& a, const std::string& b) {
    return a == b || ((a == "--" || a.empty()) && (b == "--" || b.empty()));
  };
  for (const ChannelEpoch& e : epochs)
    if (EqualsNoCase(e.net, net) && EqualsNoCase(e.sta, sta) && sameLoc(e.loc, loc) && EqualsNoCase(e.cha, cha) &&
        e.startUs <= timeUs && timeUs < e.endUs)
      return &e;
  return nullptr;
}

}  // namespace sism
