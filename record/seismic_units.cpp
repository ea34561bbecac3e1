#include <climits>
#include <cmath>

#include "common/path.h"
#include "common/text.h"
#include "record/reader.h"
#include "record/seismic_stages.h"
#include "record/sibling.h"
#include "record/text_header.h"

namespace sism {

namespace {

// The first channel letter of a group says what its sensor measures when no response does.
Quantity QuantityByCode(const std::string& cha) {
  const char instrument =
      cha.size() >= 2 ? static_cast<char>(std::toupper(static_cast<unsigned char>(cha[1]))) : ' ';
  return instrument == 'H' || instrument == 'L' ? Quantity::Velocity : Quantity::Acceleration;
}

std::string QuantityName(Quantity q) {
  switch (q) {
    case Quantity::Acceleration:
      return "acceleration";
    case Quantity::Velocity:
      return "velocity";
    case Quantity::Displacement:
      return "displacement";
    default:
      return "an unknown quantity";
  }
}

bool IsCounts(const std::string& units) {
  return UCase(units).find("COUNT") != std::string::npos;
}

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
      throw InvalidRecordFile(xml + " gives no overall sensitivity (InstrumentSensitivity) of " + IdOf(c) +
                              ".");
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

}  // namespace

bool ConvertUnits(const std::string& path, const std::string& group,
                  const std::vector<const SeisChannel*>& chans, const AlignedTraces& aligned,
                  StrongRecord& rec, ReadQuestions& ask, std::vector<std::string>& notes,
                  std::vector<Conversion>& conv) {
  rec.SiteName.clear();
  rec.SiteLat.clear();
  rec.SiteLong.clear();
  conv.clear();
  bool needResponse = false;
  for (const SeisChannel* c : chans) needResponse = needResponse || c->units.quantity == Quantity::Unknown;
  std::string xml;
  if (needResponse) xml = ask.ResponseFile(path, group, ResponseBeside(path, *chans.front()));
  if (!xml.empty()) {
    conv = FromResponse(xml, aligned.traces, aligned.startUs, aligned.absoluteTime, rec);
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
    if (!ask.AskDifferentiate(what + ". Differentiate it into acceleration?",
                              ReaderTitle("Velocity channels")))
      throw InvalidRecordFile(path + ": " + what + "; it opens only when differentiated into acceleration.");
    notes.push_back(list + " differentiated from velocity");
  }

  if (needResponse && xml.empty()) {
    DataFileParams p;
    p.skip = 0;
    p.count = static_cast<int32_t>(aligned.count);
    p.freq = aligned.rate;
    p.channels = static_cast<int32_t>(chans.size());
    p.description = group;
    p.coef = 1;
    std::string preview = "No StationXML response (" + chans.front()->net + "." + chans.front()->sta +
                          ".xml beside the data): the coefficient turns counts into " +
                          (velocity.empty() ? "cm/s/s." : "cm/s, then differentiated into cm/s/s.");
    for (const SeisChannel* c : chans)
      preview += "\n" + IdOf(*c) + "  " + std::to_string(aligned.rate) + " Hz  " +
                 std::to_string(aligned.count) + " samples" +
                 (aligned.absoluteTime ? "  from " + UtcText(aligned.startUs) : "");
    if (!ask.ShowReadDataDialog(DataFileKind::Counts, path, preview, p)) return false;
    for (std::size_t i = 0; i < chans.size(); ++i)
      if (chans[i]->units.quantity == Quantity::Unknown) conv[i].factor = p.coef;
    notes.push_back("counts times " + NumberText(p.coef) + " (no response)");
  }
  return true;
}

}  // namespace sism
