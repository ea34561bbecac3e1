// USGS SMC text: per channel 11 text lines, 48 integers (8 of 10 columns), 50 reals
// (5 of 15 columns), the comment lines the integer header counts, then the samples in
// cm/s/s, 8 of 10 columns, and a "/&" end line. Records digitised from film give no
// sampling rate (the format's "unknown", 1.7E+38) and hold time and acceleration pairs at
// uneven times instead, which are resampled onto round(pairs / last time) Hz from time 0.
#include <algorithm>
#include <cmath>
#include <vector>

#include "common/errors.h"
#include "common/files.h"
#include "common/text.h"
#include "record/fixed_text.h"
#include "record/reader.h"
#include "record/readers.h"
#include "record/record_source.h"
#include "record/resample.h"

namespace sism {

namespace {

constexpr const char* kEndTag = "/&";
// Real header values from here up are the format's "unknown" (written as 1.7E+38).
constexpr double kUnknownReal = 1e38;

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

// Line 5 "Moment Mag=      7.1 Ms=      7.1 Ml=      7.0": the first magnitude given; the
// component written as an azimuth in degrees ("360") or "Up".
void TakeSource(const Block& b, StrongRecord& rec) {
  static const std::pair<const char*, const char*> kinds[] = {
      {"Moment Mag=", "Mw"}, {"Ms=", "Ms"}, {"Ml=", "Ml"}};
  for (const auto& [key, type] : kinds) {
    const std::size_t at = b.text[4].find(key);
    if (at == std::string::npos) continue;
    const std::string rest = Trim(b.text[4].substr(at + std::string(key).size()));
    const double m = NumberOf(rest.substr(0, rest.find(' ')));
    if (std::isfinite(m) && m > 0) {
      rec.Source.Magnitude = m;
      rec.Source.MagnitudeType = type;
      break;
    }
  }
  ChannelSource c;
  c.Label = rec.Label(1);
  const double azimuth = NumberOf(c.Label);
  if (std::isfinite(azimuth) && azimuth >= 0 && azimuth <= 360) {
    c.Azimuth = std::fmod(azimuth, 360.0);
    c.Dip = 0;
  }
  rec.Source.Channels.push_back(c);
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
  TakeSource(b, rec);
  rec.DataCount = b.Long(17);
  // 0: not given, the data are to be time and acceleration pairs.
  double rate = ToDouble(b.reals.at(1));
  rec.SampFreq = rate >= kUnknownReal ? 0 : RoundToLong(rate);
  if (rec.SampFreq < 1 && rate < kUnknownReal) Raise(ErrInvalidCall);
}

std::string NotPairsText(const std::string& path) {
  return path + " gives no sampling rate, and its data are not time and acceleration pairs.";
}

// `count` values alternating time and acceleration, resampled into channel ch; the first
// channel's pairs set the rate.
void ReadTimePairs(TextFile& in, const std::string& path, int32_t count, StrongRecord& rec, int32_t ch) {
  if (count < 4 || count % 2 != 0) throw InvalidRecordFile(NotPairsText(path));
  CheckCountFits(in, count);
  std::vector<float> fields(static_cast<std::size_t>(count));
  ReadFixedValues(in, {8, 10}, count, 1.0f, fields.data(), count, kEndTag);
  std::vector<float> times, values;
  for (std::size_t k = 0; k + 1 < fields.size(); k += 2) {
    times.push_back(fields[k]);
    values.push_back(fields[k + 1]);
  }
  if (!TimesAscend(times) || !(times.back() > 0)) throw InvalidRecordFile(NotPairsText(path));
  if (ch == 1) rec.SampFreq = EvenRate(static_cast<int64_t>(times.size()), times.back());
  ResampleLinear(times, values, rec.SampFreq, rec.Channel(ch), rec.DataCount);
}

}  // namespace

ReadOutcome ReadSmc(const std::string& path, StrongRecord& rec, ReadQuestions& ask) {
  return TrapTextReadErrors(path, "ReadSmc", [&](TextFile& file) {
    const std::string& text = file.Contents();
    std::string kind = UCase(Left(file.ReadLine(), 4));
    if (kind != "0 UN" && kind != "1 UN" && kind != "2 CO")
      throw InvalidRecordFile(path + " is invalid SMC file.");
    int32_t chans = std::max(CountLinesBeginning(text, kEndTag), 1);
    rec.StartChannels(chans);

    TextFile in = TextFile::FromText(text);
    bool pairs = false;
    for (int32_t ch = 1; ch <= chans; ++ch) {
      ask.Yield();
      Block b = ReadBlockHeader(in);
      if (ch == 1) {
        TakeRecordValues(b, rec);
        pairs = rec.SampFreq == 0;
        if (pairs) rec.DataCount /= 2;
        if (rec.DataCount < 0 ||
            static_cast<int64_t>(rec.DataCount) * chans > static_cast<int64_t>(text.size()))
          Raise(ErrInputPastEnd);
        rec.RedimAcc(rec.DataCount, chans);
      }
      // Each channel holds as many samples as its own header says.
      int32_t points = b.Long(17);
      if (pairs) {
        ReadTimePairs(in, path, points, rec, ch);
        SkipPastEndLine(in, kEndTag);
        continue;
      }
      ReadFixedValues(in, {8, 10}, points, 1.0f, rec.Channel(ch), std::min(points, rec.DataCount), kEndTag);
      SkipPastEndLine(in, kEndTag);
    }
    ComputePeaks(rec);
    return true;
  });
}

}  // namespace sism
