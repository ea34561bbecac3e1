// The %-code expander of titles and legends, and the escapes of multi-line texts.
#include <limits>
#include <string>

#include "common/text.h"
#include "draw/templates.h"
#include "tests/fuzz/entries.h"
#include "tests/fuzz/fuzz_input.h"

namespace sism::fuzz {

namespace {

constexpr float kValues[] = {0, 5.5f, -1, 1e-30f, 3e38f, -3e38f, 0.05f, 7, 100, 1e10f, 6.49999f, 2.5f};

// Line breaks as DecodeEscapes gives them back: CR LF.
std::string CrLfBreaks(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r' || s[i] == '\n') {
      out += "\r\n";
      if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
    } else {
      out += s[i];
    }
  }
  return out;
}

}  // namespace

void TemplatesInput(const uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  TemplateFacts facts;
  facts.intensity = in.BackPick(kValues);
  facts.damping = in.BackPick(kValues);
  facts.parzen = in.BackPick(kValues);
  // The window as CurrentTemplateFacts gives it: a first sample from 1, a count from 0.
  facts.windowFirst = static_cast<int32_t>(in.BackU32() % std::numeric_limits<int32_t>::max()) + 1;
  facts.windowCount = static_cast<int32_t>(in.BackU32() % std::numeric_limits<int32_t>::max());
  facts.sampFreq = static_cast<int32_t>(in.BackU16()) - 8;
  // The template, then the texts of the record: parts cut at NUL bytes.
  std::vector<std::string> parts = SplitParts(in.Rest(), std::string_view("\0", 1));
  parts.resize(7);
  facts.appTitle = parts[1];
  facts.code = parts[2];
  facts.date = parts[3];
  facts.path = parts[4];
  facts.station = parts[5];
  facts.time = parts[6];
  const std::string& tmpl = parts[0];

  Expand(tmpl, facts);
  const std::string decoded = DecodeEscapes(tmpl);
  Expand(decoded, facts);
  const std::string encoded = EncodeEscapes(tmpl);
  // A stored text without backslashes of its own comes back as edited, line breaks as CR LF.
  if (tmpl.find('\\') == std::string::npos) {
    Require(encoded.find_first_of("\r\n\t") == std::string::npos, "an encoded text keeps a line break");
    Require(DecodeEscapes(encoded) == CrLfBreaks(tmpl), "a text does not survive its escapes");
  }
}

}  // namespace sism::fuzz
