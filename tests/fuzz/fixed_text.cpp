// Fortran edit descriptors and the fixed-column value reader of the US formats.
#include <algorithm>
#include <exception>
#include <string>
#include <vector>

#include "record/fixed_text.h"
#include "tests/fuzz/entries.h"
#include "tests/fuzz/fuzz_input.h"

namespace sism::fuzz {

namespace {

constexpr double kFactors[] = {1, 0.001, -1, 980.665, 1e30, 1e-30, 0, 1e300};
constexpr double kIntervals[] = {0.01, 0.005, 0, -0.01, 1e-300, 1e300, 2, 0.02000001, 1.0 / 3, 2.5e-9};
constexpr const char* kEndTags[] = {"", "/&", "END", "-999", " "};

}  // namespace

void FixedTextInput(const uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  const uint8_t flags = in.BackByte();
  const int32_t count = static_cast<int32_t>(in.BackU16()) - 4;
  const int32_t keep = std::clamp<int32_t>(static_cast<int32_t>(in.BackU16()) - 4, -4, 0x10000);
  const double factor = in.BackPick(kFactors);
  const char* endTag = in.BackPick(kEndTags);
  const double interval = in.BackPick(kIntervals);
  const std::string text = in.Rest();
  // The first line holds the edit descriptor, the rest the values.
  const std::size_t eol = std::min(text.find('\n'), text.size());
  const std::string format = text.substr(0, eol);

  try {
    RateFromInterval(interval);
  } catch (const std::exception&) {
  }
  WholePart(interval * 1e9);
  CountLinesBeginning(text, endTag);

  FieldLayout layout;
  try {
    layout = ParseFortranFormat(format, flags & 1);
  } catch (const std::exception&) {
    return;
  }
  Require(layout.perLine > 0 && layout.width > 0, "an edit descriptor gave an empty layout");
  for (int32_t i : {0, 1, layout.perLine - 1, layout.perLine, -1}) FixedField(format, layout, i);

  TextFile body = TextFile::FromText(text.substr(std::min(eol + 1, text.size())));
  try {
    if (flags & 2) SkipPastEndLine(body, endTag);
    CheckCountFits(body, count);
    std::vector<float> out(static_cast<std::size_t>(std::max(keep, 0)));
    ReadFixedValues(body, layout, count, factor, out.data(), std::max(keep, 0), endTag);
  } catch (const std::exception&) {
  }
}

}  // namespace sism::fuzz
