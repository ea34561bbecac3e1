#include "record/text_header.h"

#include <algorithm>
#include <cmath>

#include "common/errors.h"
#include "common/text.h"
#include "record/gravity.h"

namespace sism {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string TrimBlanks(std::string_view s) {
  std::size_t a = 0, b = s.size();
  while (a < b && IsBlank(s[a])) ++a;
  while (b > a && IsBlank(s[b - 1])) --b;
  return std::string(s.substr(a, b - a));
}

}  // namespace

bool KeyValueHeader::AddLine(std::string_view line, char separator) {
  std::size_t at = line.find(separator);
  if (at == std::string_view::npos) return false;
  std::string key = TrimBlanks(line.substr(0, at));
  std::string value = TrimBlanks(line.substr(at + 1));
  if (key.empty() && !entries_.empty())
    entries_.back().second += "\n" + value;
  else
    entries_.emplace_back(std::move(key), std::move(value));
  return true;
}

const std::string* KeyValueHeader::Find(std::string_view key) const {
  for (const auto& [k, v] : entries_)
    if (EqualsNoCase(k, key)) return &v;
  return nullptr;
}

const std::string* KeyValueHeader::FindStarting(std::string_view prefix) const {
  for (const auto& [k, v] : entries_)
    if (k.size() >= prefix.size() && EqualsNoCase(std::string_view(k).substr(0, prefix.size()), prefix))
      return &v;
  return nullptr;
}

std::string KeyValueHeader::KeyStarting(std::string_view prefix) const {
  for (const auto& [k, v] : entries_)
    if (k.size() >= prefix.size() && EqualsNoCase(std::string_view(k).substr(0, prefix.size()), prefix))
      return k;
  return {};
}

std::string KeyValueHeader::Text(std::string_view key) const {
  const std::string* v = Find(key);
  return v ? *v : std::string();
}

double KeyValueHeader::Number(std::string_view key) const {
  const std::string* v = Find(key);
  if (!v) Raise(ErrTypeMismatch);
  return ToDouble(*v);
}

std::size_t ReadKeyLines(const std::string& text, KeyValueHeader& header, std::string_view mark,
                         char separator) {
  TextFile in = TextFile::FromText(text);
  std::string line;
  std::size_t start = 0;
  while (in.TryReadLine(line)) {
    if (mark.empty()) {
      if (!header.AddLine(line, separator)) return start;
    } else if (StartsWith(line, mark)) {
      header.AddLine(std::string_view(line).substr(mark.size()), separator);
    } else if (!TrimSpace(line).empty()) {
      return start;
    }
    start = in.Position();
  }
  return text.size();
}

void NumberBlock::Read(TextFile& in, int32_t lines, FieldLayout layout) {
  if (lines < 0 || layout.perLine < 1 || layout.width < 1) Raise(ErrTypeMismatch);
  CheckCountFits(in, lines);
  for (int32_t l = 0; l < lines; ++l) {
    std::string line = in.ReadLine();
    for (int32_t j = 0; j < layout.perLine; ++j) values_.push_back(FixedField(line, layout, j));
  }
}

const std::string& NumberBlock::Text(int32_t k) const {
  if (k < 1 || k > Count()) Raise(ErrSubscriptOutOfRange);
  return values_[static_cast<std::size_t>(k - 1)];
}

double NumberBlock::Number(int32_t k) const {
  return ToDouble(Text(k));
}

int32_t NumberBlock::Whole(int32_t k) const {
  return RoundToLong(Number(k));
}

double AccelerationFactor(std::string_view units) {
  std::string u = LCase(TrimSpace(units));
  std::size_t end = u.find_first_of(" (");
  if (end != std::string::npos) u.resize(end);
  while (!u.empty() && u.back() == '.') u.pop_back();
  for (const char* cm : {"cm/s^2", "cm/s/s", "cm/s2", "cm/sec2", "cm/sec^2", "cm/sec/sec", "gal"})
    if (u == cm) return 1;
  for (const char* mm : {"mm/s^2", "mm/s/s", "mm/s2"})
    if (u == mm) return 0.1;
  for (const char* m : {"m/s^2", "m/s/s", "m/s2"})
    if (u == m) return 100;
  if (u == "g") return kStandardGravity;
  return 0;
}

std::vector<float> ReadNumberRun(TextFile& in, int32_t count, double factor) {
  // Each number takes at least one character and one separator.
  CheckCountFits(in, count > 0 ? (static_cast<int64_t>(count) * 2 - 1) : count);
  std::vector<float> out(static_cast<std::size_t>(count));
  std::size_t done = 0;
  std::string line;
  while (done < out.size()) {
    line = in.ReadLine();
    for (const std::string& w : Words(line)) {
      if (done == out.size()) break;
      out[done++] = AtLineOf(in, [&] { return static_cast<float>(ToDouble(w) * factor); });
    }
  }
  return out;
}

std::vector<std::string> LineFields(std::string_view line, FieldLayout layout) {
  if (layout.width < 1) return Words(line);
  std::vector<std::string> fields;
  for (int32_t j = 0; j < layout.perLine; ++j) fields.push_back(FixedField(line, layout, j));
  return fields;
}

std::vector<std::vector<float>> ReadColumnLines(TextFile& in, int32_t steps, FieldLayout layout,
                                                const std::vector<int32_t>& columns, double factor) {
  // Each line holds at least a character for every column read.
  CheckCountFits(in, steps < 1 ? steps
                               : static_cast<int64_t>(steps) *
                                     static_cast<int64_t>(std::max<std::size_t>(columns.size(), 1)));
  std::vector<std::vector<float>> out(columns.size(), std::vector<float>(static_cast<std::size_t>(steps)));
  std::string line;
  for (int32_t step = 0; step < steps;) {
    line = in.ReadLine();
    if (TrimSpace(line).empty()) continue;
    std::vector<std::string> fields = LineFields(line, layout);
    AtLineOf(in, [&] {
      for (std::size_t c = 0; c < columns.size(); ++c) {
        std::size_t at = static_cast<std::size_t>(columns[c]);
        if (columns[c] < 0 || at >= fields.size())
          RaiseFound(ErrTypeMismatch, std::to_string(fields.size()) + " fields, no column " + std::to_string(at + 1));
        out[c][static_cast<std::size_t>(step)] = static_cast<float>(ToDouble(fields[at]) * factor);
      }
    });
    ++step;
  }
  return out;
}

std::vector<int32_t> HorizontalsFirst(const std::vector<std::string>& names) {
  auto vertical = [](const std::string& name) {
    std::string n = UCase(TrimSpace(name));
    for (const char* v : {"U", "UD", "U-D", "UP", "V", "VER", "VERT", "VERTICAL", "Z"})
      if (n == v) return true;
    return n.size() > 1 && n.back() == 'Z';
  };
  std::vector<int32_t> order;
  for (int pass = 0; pass < 2; ++pass)
    for (std::size_t i = 0; i < names.size(); ++i)
      if (vertical(names[i]) == (pass == 1)) order.push_back(static_cast<int32_t>(i));
  return order;
}

void TakeHorizontalsFirst(StrongRecord& rec, std::vector<std::vector<float>>& columns,
                          const std::vector<std::string>& names) {
  if (columns.size() < names.size()) Raise(ErrInvalidCall);
  std::vector<std::vector<float>> channels;
  std::vector<std::string> labels;
  for (int32_t i : HorizontalsFirst(names)) {
    channels.push_back(std::move(columns[static_cast<std::size_t>(i)]));
    labels.push_back(names[static_cast<std::size_t>(i)]);
  }
  TakeChannels(rec, channels, labels);
}

void TakeChannels(StrongRecord& rec, const std::vector<std::vector<float>>& channels,
                  const std::vector<std::string>& labels) {
  if (channels.empty() || labels.size() != channels.size()) Raise(ErrInvalidCall);
  std::size_t steps = channels[0].size();
  for (const auto& c : channels) steps = std::min(steps, c.size());
  if (steps == 0) Raise(ErrInputPastEnd);
  const auto chans = static_cast<int32_t>(channels.size());
  rec.StartChannels(chans);
  rec.DataCount = static_cast<int32_t>(steps);
  rec.RedimAcc(rec.DataCount, chans);
  for (int32_t ch = 1; ch <= chans; ++ch) {
    const auto& c = channels[static_cast<std::size_t>(ch - 1)];
    std::copy(c.begin(), c.begin() + static_cast<std::ptrdiff_t>(steps), rec.Channel(ch));
    rec.Label(ch) = labels[static_cast<std::size_t>(ch - 1)];
  }
  ComputePeaks(rec);
}

void SetFirstSampleTime(StrongRecord& rec, int32_t year, int32_t month, int32_t day, int32_t hour,
                        int32_t minute, double seconds) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 ||
      minute < 0 || minute > 59 || !(std::fabs(seconds) < 1e8))
    Raise(ErrTypeMismatch);
  rec.RecDate = FormatNumber(year, "0000") + "/" + FormatNumber(month, "00") + "/" + FormatNumber(day, "00");
  rec.RecTime = FormatNumber(hour, "00") + ":" + FormatNumber(minute, "00") + ":00";
  NormalizeDateTime(rec.RecDate, rec.RecTime, static_cast<int64_t>(RoundHalfEven(seconds)));
}

}  // namespace sism
