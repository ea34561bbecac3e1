// USGS SMC text: per channel 11 text lines, 48 integers (8 of 10 columns), 50 reals
// (5 of 15 columns), the comment lines the integer header counts, then the samples in
// cm/s/s, 8 of 10 columns, and a "/&" end line.
#include <algorithm>
#include <vector>

#include "common/errors.h"
#include "common/files.h"
#include "common/text.h"
#include "record/fixed_text.h"
#include "record/reader.h"
#include "record/readers.h"

namespace sism {

namespace {

constexpr const char* kEndTag = "/&";

struct Block {
  std::vector<std::string> text;   // lines 1..11 at [0..10]
  std::vector<std::string> ints;   // 48
  std::vector<std::string> reals;  // 50
  int32_t Long(int32_t k) const { return ToLong(ints.at(static_cast<std::size_t>(k - 1))); }
  float Single(int32_t k) const { return ToSingle(reals.at(static_cast<std::size_t>(k - 1))); }
};

std::vector<std::string> ReadFields(TextFile& in, int lines, FieldLayout layout) {
  std::vector<std::string> values;
  for (int l = 0; l < lines; ++l) {
    std::string line = in.ReadLine();
    for (int32_t j = 0; j < layout.perLine; ++j) values.push_back(FixedField(line, layout, j));
  }
  return values;
}

Block ReadBlockHeader(TextFile& in) {
  Block b;
  for (int i = 0; i < 11; ++i) b.text.push_back(in.ReadLine());
  b.ints = ReadFields(in, 6, {8, 10});
  b.reals = ReadFields(in, 10, {5, 15});
  // The comment count; a negative one is the format's "unknown" (-32768).
  int32_t comments = std::max(b.Long(16), 0);
  CheckCountFits(in, comments);
  for (int32_t i = 0; i < comments; ++i) in.ReadLine();
  return b;
}

bool AllNumeric(std::initializer_list<std::string> fields) {
  return std::all_of(fields.begin(), fields.end(), [](const std::string& f) { return IsNumeric(f); });
}

void TakeRecordValues(const Block& b, StrongRecord& rec) {
  if (!StartsWith(b.text[2], "*")) rec.SiteCode = Left(b.text[2], 4);
  const std::string& when = b.text[3];
  std::string year = Mid(when, 6, 4), month = Mid(when, 12, 2), day = Mid(when, 16, 2);
  std::string hour = Mid(when, 22, 2), minute = Mid(when, 24, 2);
  // A date line left blank means the date is unknown, not that the file is broken.
  if (AllNumeric({year, month, day, hour, minute})) {
    rec.RecDate = FormatNumber(ToLong(year), "0000") + "/" + FormatNumber(ToLong(month), "00") + "/" +
                  FormatNumber(ToLong(day), "00");
    int32_t seconds = IsNumeric(b.ints[5]) ? b.Long(6) : 0;
    if (seconds < 0) seconds = 0;  // -32768: unknown
    rec.RecTime = FormatNumber(ToLong(hour), "00") + ":" + FormatNumber(ToLong(minute), "00") + ":" +
                  FormatNumber(seconds, "00");
  }
  rec.SiteName = Trim(Mid(b.text[5], 11, 30));
  // The component is written after "component=", whose column varies between writers.
  std::size_t comp = b.text[5].find("component=");
  rec.Label(1) = comp == std::string::npos ? Trim(Mid(b.text[5], 53, 5)) : Trim(b.text[5].substr(comp + 10));
  rec.DataCount = b.Long(17);
  rec.SampFreq = RoundToLong(b.Single(2));
  if (rec.SampFreq < 1) Raise(ErrInvalidCall);
}

}  // namespace

bool ReadSmc(const std::string& path, StrongRecord& rec, UserInterface& ui) {
  return TrapReadErrors(ui, path, "ReadSmc", [&] {
    TextFile file(path);
    const std::string& text = file.Contents();
    std::string kind = UCase(Left(file.ReadLine(), 4));
    if (kind != "0 UN" && kind != "1 UN" && kind != "2 CO")
      throw InvalidRecordFile(path + " is invalid SMC file.");
    int32_t chans = std::max(CountLinesBeginning(text, kEndTag), 1);
    rec.StartChannels(chans);

    TextFile in = TextFile::FromText(text);
    for (int32_t ch = 1; ch <= chans; ++ch) {
      ui.Yield();
      Block b = ReadBlockHeader(in);
      if (ch == 1) {
        TakeRecordValues(b, rec);
        if (rec.DataCount < 0 ||
            static_cast<int64_t>(rec.DataCount) * chans > static_cast<int64_t>(text.size()))
          Raise(ErrInputPastEnd);
        rec.RedimAcc(rec.DataCount, chans);
      }
      // Each channel holds as many samples as its own header says.
      int32_t points = b.Long(17);
      ReadFixedValues(in, {8, 10}, points, 1.0f, rec.Channel(ch), std::min(points, rec.DataCount), kEndTag);
      SkipPastEndLine(in, kEndTag);
    }
    ComputePeaks(rec);
    return true;
  });
}

}  // namespace sism
