// USC volume 1: 12 or 13 text lines, an integer header of 100 values (16 a line), a real header
// of 50 values (8 a line), then the pairs, ten numbers a line in 1X,10F7.3: time in
// seconds, acceleration in g/10. The film was digitised at uneven times (about 0.004 s
// apart), so the pairs are resampled linearly onto round(points / duration) Hz, as the
// other film records are.
#include "record/usc_volume1.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "common/files.h"
#include "common/path.h"
#include "common/text.h"
#include "record/gravity.h"
#include "record/resample.h"
#include "record/sibling.h"

namespace sism {

namespace {

constexpr int kTextLines = 12;
constexpr int kMostTextLines = 20;
constexpr int kIntegers = 100;
constexpr int kIntegersPerLine = 16;
constexpr int kReals = 50;
constexpr int kRealsPerLine = 8;
constexpr int kPointsInteger = 28;  // 1-based place of the number of points
constexpr int kPairFields = 10;
constexpr std::size_t kPairWidth = 7;
constexpr std::size_t kTextWidth = 72;
constexpr int64_t kMostSteps = 10000000;  // far beyond any film record

std::string TextPart(const std::string& line) {
  return Trim(Left(line, kTextWidth));
}

// The first word after `key` in `line`, empty when there is none.
std::string WordAfter(const std::string& line, const std::string& key) {
  std::size_t k = UCase(line).find(key);
  if (k == std::string::npos) return {};
  std::vector<std::string> w = Words(line.substr(k + key.size()));
  return w.empty() ? std::string() : w[0];
}

std::string Where(const std::string& name, int line) {
  return name + ", line " + std::to_string(line);
}

// The numbers of a data line: the fixed columns when they all read, else the words (for
// files rewritten with other spacing).
bool PairFields(const std::string& line, std::vector<double>& out) {
  out.clear();
  bool fixed = true;
  for (int j = 0; j < kPairFields && fixed; ++j) {
    std::size_t at = 1 + static_cast<std::size_t>(j) * kPairWidth;
    std::string f = at < line.size() ? Trim(line.substr(at, kPairWidth)) : std::string();
    if (f.empty()) {
      fixed = Trim(at < line.size() ? line.substr(at) : std::string()).empty();
      break;
    }
    if (!IsNumeric(f)) fixed = false;
    else out.push_back(ToDouble(f));
  }
  if (fixed && !Trim(line.size() > 1 + kPairFields * kPairWidth ? line.substr(1 + kPairFields * kPairWidth)
                                                                   : std::string())
                    .empty())
    fixed = false;
  if (fixed) return true;
  out.clear();
  for (const std::string& w : Words(line)) {
    if (!IsNumeric(w)) return false;
    out.push_back(ToDouble(w));
  }
  return true;
}

}  // namespace

bool IsUscVolume1(const std::string& text) {
  std::string first = UCase(Left(text, std::min(text.find_first_of("\r\n"), text.size())));
  return first.find("UNCORRECTED ACCELEROGRAM") != std::string::npos &&
         first.find("VOLUME I") != std::string::npos && first.find("VOLUME II") == std::string::npos;
}

UscFilmComponent ParseUscVolume1(const std::string& text, const std::string& name) {
  TextFile in = TextFile::FromText(text);
  UscFilmComponent c;
  std::string line, pointsLine, unitsLine;
  int n = 0;
  // The text lines (12 or 13: some files add the record's RMS) run to the first line of
  // whole numbers only.
  bool numbers = false;
  while (!numbers) {
    if (!in.TryReadLine(line) || n >= kMostTextLines)
      throw InvalidRecordFile(name + " ends within its text header (line " + std::to_string(n + 1) + ").");
    ++n;
    std::vector<std::string> w = Words(line);
    numbers = !w.empty() && std::all_of(w.begin(), w.end(), [](const std::string& v) {
      return IsNumeric(v) && v.find('.') == std::string::npos;
    });
    if (numbers) break;
    std::string up = UCase(TextPart(line));
    if (n == 3) c.dateLine = line;
    if (up.find("STATION USC#") != std::string::npos) c.stationLine = line;
    else if (!c.stationLine.empty() && c.site.empty()) c.site = TextPart(line);
    if (StartsWith(up, "COMP ")) c.label = Trim(TextPart(line).substr(5));
    if (up.find("NO. OF POINTS") != std::string::npos) pointsLine = up;
    if (StartsWith(up, "UNITS ARE")) unitsLine = up;
  }
  if (n - 1 < kTextLines)
    throw InvalidRecordFile(Where(name, n) + ": numbers where the text header has its line " + std::to_string(n) +
                            ".");
  if (c.stationLine.empty() || pointsLine.empty())
    throw InvalidRecordFile(name + " has no station or no number of points in its text header.");
  std::string unit = Trim(unitsLine.substr(std::min(unitsLine.size(), unitsLine.find(" AND ") + 5)));
  if (unitsLine.empty() || unit != "G/10")
    throw InvalidRecordFile(name + " gives its accelerations in \"" + unit + "\", not in G/10.");
  std::string points = WordAfter(pointsLine, "NO. OF POINTS ="), duration = WordAfter(pointsLine, "DURATION =");
  if (!IsNumeric(points) || !IsNumeric(duration) || ToDouble(points) < 1 || ToDouble(points) > 1e8)
    throw InvalidRecordFile(name + " gives no usable number of points or duration in \"" + TextPart(pointsLine) +
                            "\".");
  c.points = ToLong(points);
  c.duration = ToDouble(duration);

  // The two number blocks: whole numbers, then reals.
  std::vector<double> ints, reals;
  for (int block = 0; block < 2; ++block) {
    std::vector<double>& into = block == 0 ? ints : reals;
    const int want = block == 0 ? kIntegers : kReals, perLine = block == 0 ? kIntegersPerLine : kRealsPerLine;
    bool first = block == 0;  // its first line is read already
    while (static_cast<int>(into.size()) < want) {
      if (!first) ++n;
      if (!first && !in.TryReadLine(line))
        throw InvalidRecordFile(Where(name, n) + ": the file ends within its " +
                                (block == 0 ? "integer" : "real") + " header.");
      std::vector<std::string> w = Words(line);
      if (static_cast<int>(w.size()) > std::min(perLine, want - static_cast<int>(into.size())))
        throw InvalidRecordFile(Where(name, n) + ": " + std::to_string(w.size()) + " values where the " +
                                (block == 0 ? "integer" : "real") + " header has room for " +
                                std::to_string(perLine) + " a line.");
      for (const std::string& v : w) {
        if (!IsNumeric(v) || (block == 0 && v.find('.') != std::string::npos))
          throw InvalidRecordFile(Where(name, n) + ": \"" + v + "\" is no " +
                                  (block == 0 ? "whole number" : "number") + ".");
        into.push_back(ToDouble(v));
      }
      first = false;
    }
  }
  const double headerPoints = ints[kPointsInteger - 1];
  if (headerPoints != c.points)
    throw InvalidRecordFile(name + " says NO. OF POINTS = " + std::to_string(c.points) +
                            " but its integer header says " + FormatNumber(headerPoints, "0") + ".");

  // The pairs.
  const std::size_t want = static_cast<std::size_t>(c.points) * 2;
  std::vector<double> fields, all;
  all.reserve(std::min(want, text.size() / 2));  // a lying count cannot make it allocate
  while (in.TryReadLine(line)) {
    ++n;
    if (!PairFields(line, fields)) throw InvalidRecordFile(Where(name, n) + " holds a field that is no number.");
    if (all.size() + fields.size() > want)
      throw InvalidRecordFile(Where(name, n) + ": more data than the " + std::to_string(c.points) +
                              " points its header gives.");
    all.insert(all.end(), fields.begin(), fields.end());
  }
  if (all.size() < want)
    throw InvalidRecordFile(name + " ends at line " + std::to_string(n) + " after " +
                            std::to_string(all.size() / 2) + " of its " + std::to_string(c.points) +
                            " (time, value) pairs.");
  c.times.resize(static_cast<std::size_t>(c.points));
  c.values.resize(static_cast<std::size_t>(c.points));
  for (std::size_t k = 0; k < c.times.size(); ++k) {
    c.times[k] = static_cast<float>(all[2 * k]);
    c.values[k] = static_cast<float>(all[2 * k + 1] * (kStandardGravity / 10));
    if (k > 0 && c.times[k] < c.times[k - 1])
      throw InvalidRecordFile(name + ": the time of pair " + std::to_string(k + 1) + " (" +
                              FormatNumber(c.times[k], "0.000") + " s) is before the one ahead of it.");
  }
  if (!(c.duration > 0)) c.duration = c.times.back();
  if (!(c.duration > 0) || static_cast<double>(c.points) / c.duration < 0.5)
    throw InvalidRecordFile(name + " gives a duration of " + FormatNumber(c.duration, "0.000") + " s for " +
                            std::to_string(c.points) + " points.");
  return c;
}

bool ReadUscVolume1Set(const std::string& path, const std::string& text, StrongRecord& rec, ReadQuestions& ask) {
  PathParts parts = SplitPath(path);
  const std::string base = parts.folder + parts.name;
  const std::string ext = LCase(parts.ext);
  std::vector<std::string> files;
  if (ext.size() == 4 && ext[3] >= 'a' && ext[3] <= 'c') {
    for (char letter : {'a', 'b', 'c'}) {
      if (letter == ext[3]) {
        files.push_back(path);
        continue;
      }
      std::string sibling = FindSibling(base, ext.substr(0, 3) + letter, parts.ext);
      files.push_back(sibling.empty() ? std::string() : sibling);
    }
  } else {
    files.push_back(path);
  }

  std::vector<UscFilmComponent> comps;
  std::vector<std::string> missing, leftOut;
  for (std::size_t i = 0; i < files.size(); ++i) {
    ask.Yield();
    if (files[i].empty()) {
      char letter = static_cast<char>('a' + i);
      missing.push_back(FileNameOf(base) + parts.ext.substr(0, 3) + letter);
      continue;
    }
    if (files[i] == path) {
      comps.push_back(ParseUscVolume1(text, path));  // the opened file refuses the read
      continue;
    }
    try {
      std::string other = TextFile(files[i]).Contents();
      if (!IsUscVolume1(other)) {
        leftOut.push_back(FileNameOf(files[i]) + " is not a volume 1 file");
        continue;
      }
      comps.push_back(ParseUscVolume1(other, FileNameOf(files[i])));
    } catch (const InvalidRecordFile& e) {
      leftOut.push_back(e.Message());
    } catch (const std::exception& e) {
      leftOut.push_back(ReadFailureText(FileNameOf(files[i]), e));
    }
  }

  int32_t rate = 0;
  for (const UscFilmComponent& c : comps) rate = std::max(rate, EvenRate(c.points, c.duration));
  std::vector<int32_t> steps;
  int64_t most = 0;
  for (const UscFilmComponent& c : comps) {
    int64_t s = std::max<int64_t>(1, static_cast<int64_t>(RoundHalfEven(c.duration * rate)));
    if (s > kMostSteps) throw InvalidRecordFile(path + " is longer than the program can hold.");
    steps.push_back(static_cast<int32_t>(s));
    most = std::max(most, s);
  }
  const int32_t chans = static_cast<int32_t>(comps.size());
  rec.StartChannels(chans);
  rec.SampFreq = rate;
  rec.DataCount = static_cast<int32_t>(most);
  rec.RedimAcc(rec.DataCount, chans);
  std::vector<std::string> notes;
  for (int32_t ch = 1; ch <= chans; ++ch) {
    const UscFilmComponent& c = comps[static_cast<std::size_t>(ch - 1)];
    const int32_t s = steps[static_cast<std::size_t>(ch - 1)];
    float* out = rec.Channel(ch);
    ResampleLinear(c.times, c.values, rate, out, s);
    std::fill(out + s, out + rec.DataCount, 0.0f);  // a shorter component ends in zeros
    rec.Label(ch) = c.label;
    if (s < rec.DataCount)
      notes.push_back(c.label + " ends at " + FormatNumber(static_cast<double>(s) / rate, "0.000") +
                      " s; zeros fill it to the end");
  }
  const UscFilmComponent& first = comps.front();
  UscTakeDate(first.dateLine, rec);
  UscTakeStation(first.stationLine, rec);
  rec.SiteName = first.site;
  if (!missing.empty()) {
    std::string list;
    for (const std::string& m : missing) list += (list.empty() ? "" : ", ") + m;
    notes.insert(notes.begin(), "Component files not found: " + list);
  }
  for (const std::string& l : leftOut) notes.push_back("left out: " + l);
  for (const std::string& t : notes) rec.ReadNote += (rec.ReadNote.empty() ? "" : "; ") + t;
  if (!rec.ReadNote.empty()) rec.ReadNote += ".";
  ComputePeaks(rec);
  return true;
}

}  // namespace sism
