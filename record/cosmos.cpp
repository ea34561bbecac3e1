// COSMOS Strong-Motion Data Format v01.20 (V1 and V2 files), one block per channel.
// Each block declares its own header layout on descriptor lines ("100 Integer-header
// values follow on  10 lines, Format= (10I8)"), so counts, line counts and field widths
// are read from there; the classic layout (10I8 on 10 lines, 6F13 on 17 lines) is the
// fallback when a descriptor cannot be read.
#include <algorithm>
#include <cmath>
#include <sstream>
#include <vector>

#include "common/errors.h"
#include "common/files.h"
#include "common/text.h"
#include "record/fixed_text.h"
#include "record/gravity.h"
#include "record/reader.h"
#include "record/readers.h"
#include "record/record_source.h"

namespace sism {

namespace {

constexpr const char* kEndTag = "End-";
constexpr int kTextLines = 13;

struct HeaderBlock {
  int32_t count;
  int32_t lines;
  FieldLayout layout;
};

// "<count> <kind>-header values follow on <lines> lines, Format= (<layout>)".
HeaderBlock ParseDescriptor(const std::string& line, HeaderBlock block) {
  std::string up = UCase(line);
  std::string first = Trim(up).substr(0, Trim(up).find(' '));
  if (IsNumeric(first)) block.count = ToLong(first);
  std::size_t fmt = up.find("FORMAT");
  if (fmt != std::string::npos) block.layout = ParseFortranFormat(up.substr(fmt));
  std::size_t follow = up.find("FOLLOW");
  std::size_t on = follow == std::string::npos ? std::string::npos : up.find(" ON ", follow);
  int32_t lines = on == std::string::npos ? 0 : WholePart(Val(Left(Mid(up, on + 5), 6)));
  if (lines > 0)
    block.lines = lines;
  else if (IsNumeric(first) || fmt != std::string::npos)
    block.lines = (block.count + block.layout.perLine - 1) / block.layout.perLine;
  if (block.count < 0 || block.count > 10000 || block.lines < 0) Raise(ErrTypeMismatch);
  return block;
}

// The values of one header block, as texts; value k (1-based) converts on use.
class HeaderValues {
 public:
  void Read(TextFile& in, const HeaderBlock& b) {
    CheckCountFits(in, b.lines);
    for (int32_t l = 0; l < b.lines; ++l) {
      std::string line = in.ReadLine();
      for (int32_t j = 0; j < b.layout.perLine && static_cast<int32_t>(values_.size()) < b.count; ++j)
        values_.push_back(FixedField(line, b.layout, j));
    }
  }
  const std::string& Text(int32_t k) const {
    if (k < 1 || k > static_cast<int32_t>(values_.size())) Raise(ErrSubscriptOutOfRange);
    return values_[static_cast<std::size_t>(k - 1)];
  }
  int32_t Long(int32_t k) const { return ToLong(Text(k)); }
  float Single(int32_t k) const { return ToSingle(Text(k)); }

 private:
  std::vector<std::string> values_;
};

struct Block {
  std::vector<std::string> text;  // text header lines 1..13, at [0..12]
  HeaderValues ints, reals;
  std::string dataLine;  // upper case
};

// Line 1 of a block names what it holds; V2 files follow each acceleration block with
// its velocity and displacement, which are not channels of the record.
bool IsAccelerationBlock(const std::string& firstLine) {
  std::string up = UCase(firstLine);
  return up.find("VELOCITY") == std::string::npos && up.find("DISPLACEMENT") == std::string::npos;
}

// Acceleration blocks closed by an end line.
int32_t CountChannels(const std::string& text) {
  TextFile f = TextFile::FromText(text);
  int32_t n = 0;
  bool atStart = true, acceleration = true;
  std::string line;
  while (f.TryReadLine(line)) {
    if (atStart && !Trim(line).empty()) {
      acceleration = IsAccelerationBlock(line);
      atStart = false;
    }
    if (StartsWith(line, kEndTag)) {
      if (acceleration) ++n;
      atStart = true;
    }
  }
  return n;
}

// Line 1 of the next block; blank lines between blocks are passed over.
std::string NextBlockStart(TextFile& in) {
  std::string line;
  do {
    line = in.ReadLine();
  } while (Trim(line).empty());
  return line;
}

Block ReadBlockHeader(TextFile& in, const std::string& firstLine) {
  Block b;
  b.text.push_back(firstLine);
  for (int i = 1; i < kTextLines; ++i) b.text.push_back(in.ReadLine());
  b.ints.Read(in, ParseDescriptor(in.ReadLine(), {100, 10, {10, 8}}));
  b.reals.Read(in, ParseDescriptor(in.ReadLine(), {100, 17, {6, 13}}));
  // Comment lines: as many as the descriptor says, and any further line beginning "|".
  std::string line = in.ReadLine();
  std::string first = Trim(line).substr(0, Trim(line).find(' '));
  int32_t comments = IsNumeric(first) ? std::max(ToLong(first), 0) : 0;
  CheckCountFits(in, comments);
  for (int32_t i = 0; i < comments; ++i) in.ReadLine();
  do {
    line = in.ReadLine();
  } while (StartsWith(line, "|"));
  b.dataLine = UCase(line);
  return b;
}

// Conversion factor from the units code, the 2-character number after the first "(" of
// the text from "UNITS=" on.
double UnitsFactor(const std::string& dataLine) {
  std::size_t units = dataLine.find("UNITS=");
  if (units == std::string::npos) return 1;
  std::size_t open = dataLine.find('(', units);
  if (open == std::string::npos) return 1;
  std::string code = Mid(dataLine, open + 2, 2);
  if (!IsNumeric(code)) return 1;
  switch (ToLong(code)) {
    case 2:  // g
      return kStandardGravity;
    case 11:  // milli-g
      return kStandardGravity / 1000;
    default:
      return 1;
  }
}

FieldLayout DataLayout(const std::string& dataLine) {
  std::size_t fmt = dataLine.find("FORMAT=");
  if (fmt == std::string::npos) Raise(ErrTypeMismatch);
  return ParseFortranFormat(dataLine.substr(fmt + 7), true);
}

// Points this block holds: the number that opens the data line ("42000 acceleration
// pts"), else record length times rate.
int32_t BlockPoints(const Block& b, int32_t sampFreq) {
  std::string first = Trim(b.dataLine).substr(0, Trim(b.dataLine).find(' '));
  if (IsNumeric(first)) return ToLong(first);
  return RoundToLong(static_cast<double>(b.reals.Single(63)) * sampFreq);
}

std::string ChannelLabel(const Block& b, int32_t ch) {
  std::string num = Trim(Mid(b.text[8], 10, 2));
  bool digits =
      !num.empty() && std::all_of(num.begin(), num.end(), [](char c) { return c >= '0' && c <= '9'; });
  return "CH" + FormatNumber(digits ? ToLong(num) : ch, "00");
}

void TakeRecordValues(const Block& b, StrongRecord& rec) {
  rec.RecDate = FormatNumber(b.ints.Long(40), "0000") + "/" + FormatNumber(b.ints.Long(42), "00") + "/" +
                FormatNumber(b.ints.Long(43), "00");
  int32_t seconds = std::max(RoundToLong(b.reals.Single(30)), 0);  // -999: unknown
  std::string clock = FormatNumber(b.ints.Long(44), "00") + ":" + FormatNumber(b.ints.Long(45), "00") + ":";
  rec.RecTime = clock + FormatNumber(seconds, "00");
  if (seconds == 60) {
    // 59.5 s and above round up into the next minute.
    rec.RecTime = clock + "00";
    NormalizeDateTime(rec.RecDate, rec.RecTime, 60);
  }
  const std::string& station = b.text[4];
  rec.SiteCode = Trim(Mid(station, 29, 7));
  if (rec.SiteCode.empty()) rec.SiteCode = Trim(Mid(station, 14, 6));
  rec.SiteName = Trim(Mid(station, 41));

  double intervalMs = b.reals.Single(62);
  if (!(intervalMs > 0)) Raise(ErrDivisionByZero);
  rec.SampFreq = RoundToLong(1000.0 / intervalMs);
  if (rec.SampFreq < 1) Raise(ErrInvalidCall);
  rec.DataCount = RoundToLong(static_cast<double>(b.reals.Single(63)) * rec.SampFreq);
  // An unknown record length (-999) leaves the block's own point count.
  if (rec.DataCount < 1) rec.DataCount = BlockPoints(b, rec.SampFreq);
}

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

// A real header value; NaN for the -999 of unknown values.
double Known(const Block& b, int32_t k) {
  const double v = NumberOf(b.reals.Text(k));
  return std::isfinite(v) && v > -998.5 ? v : kUnknown;
}

// The event and the station of the text header (line 3 "Hypocenter: LAT LON H= 46km Mw=7.0",
// line 4 "Origin: 2018/11/30 17:29:29 UTC", line 5 "Code:AK-BMR", line 8 the start's zone)
// and of the real header (station 1-3, epicentre 10-12, magnitudes 13-16, start seconds 30).
void TakeSource(const Block& b, StrongRecord& rec) {
  if (b.text.size() < 9) return;
  RecordSource& s = rec.Source;
  s.TimeZone = ZoneOf(b.text[7]);
  const double seconds = Known(b, 30);
  if (std::isfinite(seconds) && seconds >= 0 && seconds < 60)
    s.StartFraction = seconds - RoundHalfEven(seconds);
  const std::vector<std::string> origin = Words(Mid(b.text[3], 8));
  if (origin.size() >= 2)
    s.OriginTime = IsoTimeOf(origin[0], origin[1], origin.size() > 2 ? ZoneOf(origin[2]) : "");
  s.EventLat = Known(b, 10);
  s.EventLon = Known(b, 11);
  s.EventDepthKm = Known(b, 12);
  s.Magnitude = Known(b, 13);
  for (const std::string& w : Words(b.text[2]))
    if (const std::size_t eq = w.find('=');
        eq != std::string::npos && eq >= 2 && w[0] == 'M' && std::isfinite(NumberOf(w.substr(eq + 1)))) {
      s.MagnitudeType = w.substr(0, eq);
      if (!std::isfinite(s.Magnitude)) s.Magnitude = NumberOf(w.substr(eq + 1));
    }
  // Ms, ML and other magnitudes have positions of their own.
  const char* const types[] = {"Ms", "ML", ""};
  for (int32_t k = 14; k <= 16 && !std::isfinite(s.Magnitude); ++k) {
    s.Magnitude = Known(b, k);
    if (std::isfinite(s.Magnitude) && s.MagnitudeType.empty()) s.MagnitudeType = types[k - 14];
  }
  s.StationElevationM = Known(b, 3);
  if (rec.SiteLat.empty() && std::isfinite(Known(b, 1))) {
    rec.SiteLat = NumberText(Known(b, 1));
    rec.SiteLong = NumberText(Known(b, 2));
  }
  const std::string& station = b.text[4];
  const std::size_t code = station.find("Code:");
  if (code != std::string::npos) {
    const std::string netSta = Trim(Mid(station, static_cast<int32_t>(code) + 6, 7));
    const std::size_t dash = netSta.find('-');
    if (dash != std::string::npos && dash > 0) s.Network = netSta.substr(0, dash);
  }
}

// Line 9 "Sta Chan   1: 360 deg (Rcrdr Chan  1)" or "...: Up": the component's direction.
ChannelSource ChannelOf(const Block& b, const std::string& label) {
  ChannelSource c;
  c.Label = label;
  if (b.text.size() < 9) return c;
  const std::string& line = b.text[8];
  const std::size_t colon = line.find(':');
  if (colon == std::string::npos) return c;
  const std::vector<std::string> w = Words(line.substr(colon + 1));
  if (w.empty()) return c;
  if (w.size() >= 2 && LCase(w[1]) == "deg" && std::isfinite(NumberOf(w[0]))) {
    c.Azimuth = std::fmod(NumberOf(w[0]), 360.0);
    c.Dip = 0;
  } else if (EqualsNoCase(w[0], "Up")) {
    c.Azimuth = 0, c.Dip = -90;
  } else if (EqualsNoCase(w[0], "Down")) {
    c.Azimuth = 0, c.Dip = 90;
  }
  return c;
}

}  // namespace

ReadOutcome ReadCosmos(const std::string& path, StrongRecord& rec, ReadQuestions& ask) {
  return TrapTextReadErrors(path, "ReadCosmos", [&](TextFile& file) {
    const std::string& text = file.Contents();
    std::string first = file.ReadLine();
    std::string kind = UCase(Left(first, 4));
    if (kind != "CORR" && kind != "UNCO")
      throw InvalidRecordFile(path + " is not a corrected or uncorrected acceleration file.");
    if (Mid(first, 36, 5) != "01.20") throw InvalidRecordFile(path + " is not Ver.01.20 COSMOS format.");
    int32_t chans = std::max(CountChannels(text), 1);
    rec.StartChannels(chans);

    TextFile in = TextFile::FromText(text);
    for (int32_t ch = 1; ch <= chans; ++ch) {
      ask.Yield();
      std::string line1 = NextBlockStart(in);
      while (!IsAccelerationBlock(line1)) {
        SkipPastEndLine(in, kEndTag);
        line1 = NextBlockStart(in);
      }
      Block b = ReadBlockHeader(in, line1);
      if (ch == 1) {
        TakeRecordValues(b, rec);
        if (static_cast<int64_t>(rec.DataCount) * chans > static_cast<int64_t>(text.size()))
          Raise(ErrInputPastEnd);
        rec.RedimAcc(rec.DataCount, chans);
      }
      rec.Label(ch) = ChannelLabel(b, ch);
      if (ch == 1) TakeSource(b, rec);
      rec.Source.Channels.push_back(ChannelOf(b, rec.Label(ch)));
      int32_t points = BlockPoints(b, rec.SampFreq);
      ReadFixedValues(in, DataLayout(b.dataLine), points, UnitsFactor(b.dataLine), rec.Channel(ch),
                      std::min(points, rec.DataCount), kEndTag);
      SkipPastEndLine(in, kEndTag);
    }
    ComputePeaks(rec);
    return true;
  });
}

}  // namespace sism
