// The provenance of a processed record as JSON.
#include <sstream>

#include "analysis/processing.h"
#include "analysis/processing_detail.h"

namespace sism {

using processing_detail::Num;

namespace {

std::string Quoted(const std::string& s) {
  std::string out = "\"";
  for (const char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 0x20) {
      static const char* hex = "0123456789abcdef";
      out += "\\u00";
      out += hex[c >> 4];
      out += hex[c & 15];
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

std::string Pairs(const std::vector<std::pair<std::string, std::string>>& kv) {
  std::string s = "{";
  for (std::size_t i = 0; i < kv.size(); ++i) s += (i ? ", " : "") + Quoted(kv[i].first) + ": " + Quoted(kv[i].second);
  return s + "}";
}

}  // namespace

std::string ProvenanceJson(const StrongRecord& rec, const std::string& source, const ProcessingResult& r,
                           const std::vector<std::string>& files) {
  std::ostringstream o;
  o << "{\n  \"source\": " << Quoted(source) << ",\n  \"station\": " << Quoted(rec.SiteCode)
    << ",\n  \"rate_hz\": " << rec.SampFreq << ",\n  \"samples\": " << rec.DataCount
    << ",\n  \"status\": " << Quoted(r.rejected ? "rejected" : (r.flags.empty() ? "passed" : "passed_with_warnings"))
    << ",\n  \"onset_s\": " << (r.onset > 0 ? Num(r.OnsetSeconds(rec.SampFreq)) : "null")
    << ",\n  \"onset_reliable\": " << (r.onsetReliable ? "true" : "false") << ",\n  \"files\": [";
  for (std::size_t i = 0; i < files.size(); ++i) o << (i ? ", " : "") << Quoted(files[i]);
  o << "],\n  \"channels\": [";
  for (std::size_t i = 0; i < r.channels.size(); ++i) {
    const ChannelProcessing& c = r.channels[i];
    const std::string label = c.ch <= rec.ChanCount ? rec.Label(c.ch) : "";
    o << (i ? "," : "") << "\n    {\"channel\": " << c.ch << ", \"label\": " << Quoted(label)
      << ", \"high_pass_hz\": " << Num(c.highPass) << ", \"low_pass_hz\": " << Num(c.lowPass)
      << ", \"snr_high_pass_hz\": " << Num(c.snrHighPass) << ", \"residual_ratio\": " << Num(c.residualRatio)
      << ", \"processed\": " << (c.processed ? "true" : "false") << "}";
  }
  o << "\n  ],\n  \"flags\": [";
  for (std::size_t i = 0; i < r.flags.size(); ++i) {
    const ProcessingFlag& f = r.flags[i];
    o << (i ? "," : "") << "\n    {\"name\": " << Quoted(f.name) << ", \"channel\": " << f.ch
      << ", \"detail\": " << Quoted(f.detail) << ", \"stops\": " << (f.stops ? "true" : "false") << "}";
  }
  o << "\n  ],\n  \"steps\": [";
  for (std::size_t i = 0; i < r.steps.size(); ++i) {
    const ProcessingStep& s = r.steps[i];
    o << (i ? "," : "") << "\n    {\"name\": " << Quoted(s.name) << ", \"parameters\": " << Pairs(s.params)
      << ", \"results\": " << Pairs(s.results) << "}";
  }
  o << "\n  ]\n}\n";
  return o.str();
}

}  // namespace sism
