// Text headers as several networks write them: "KEY: value" lines, fixed blocks of
// integers and reals, and the data that follow them (a run of numbers, or columns).
// Every reader of such a file checks the counts it was given against the bytes present
// before sizing anything by them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/files.h"
#include "record/fixed_text.h"
#include "record/strong_record.h"

namespace sism {

// "KEY: value" lines. The key is the text before the first separator, the value the
// text after it, both trimmed of blanks and tabs. A line whose key is blank continues
// the value of the line before (UNAM writes the second coordinate so); the parts are
// then joined by a line feed.
class KeyValueHeader {
 public:
  // Takes the line when it holds the separator; false (the header unchanged) otherwise.
  bool AddLine(std::string_view line, char separator = ':');

  // Value of the first key equal to `key` without regard to case; null when absent.
  const std::string* Find(std::string_view key) const;
  // Value of the first key beginning with `prefix` without regard to case.
  const std::string* FindStarting(std::string_view prefix) const;
  // The whole key of FindStarting ("StartTime(GMT+08)"), empty when absent.
  std::string KeyStarting(std::string_view prefix) const;
  // The value of Find, empty when absent.
  std::string Text(std::string_view key) const;
  // The value of Find as a number; raises 13 when absent or not a number.
  double Number(std::string_view key) const;
  bool Empty() const { return entries_.empty(); }

 private:
  std::vector<std::pair<std::string, std::string>> entries_;
};

// Reads the header at the start of `text` into `header` and returns the offset of the
// first line after it. With `mark` empty the header is the run of lines holding the
// separator; else it is the run of lines beginning with `mark`, and blank lines, each
// added with its mark taken off.
std::size_t ReadKeyLines(const std::string& text, KeyValueHeader& header, std::string_view mark = {},
                         char separator = ':');

// A block of numbers in fixed columns over a known number of lines, such as the 10I8
// integer and 10F8 real blocks of the older network formats. Value k is 1-based.
class NumberBlock {
 public:
  // Reads `lines` lines of `layout` from `in`: raises 62 when the file ends first. Fields
  // past the end of a short line are kept as empty texts.
  void Read(TextFile& in, int32_t lines, FieldLayout layout);
  int32_t Count() const { return static_cast<int32_t>(values_.size()); }
  // Raises 9 for k outside 1..Count.
  const std::string& Text(int32_t k) const;
  // Raises 13 when the field is no number.
  double Number(int32_t k) const;
  // Number(k) rounded; 13 for no number, 6 beyond the 32-bit range.
  int32_t Whole(int32_t k) const;

 private:
  std::vector<std::string> values_;
};

// Factor from the acceleration units a header names to cm/s/s: "cm/s^2", "cm/s/s",
// "cm/s2", "cm/sec2", "gal" give 1, "mm/s/s" 0.1, "m/s/s" 100, "g" standard gravity, in either case,
// with anything after a blank or "(" ignored ("gal. DCoffset(corr)", "Gal (cm/s/s)").
// 0 for units that are not those of an acceleration.
double AccelerationFactor(std::string_view units);

// Reads `count` numbers separated by blanks, tabs or line ends from the next lines of
// `in`, each times `factor`. Raises 62 when the file ends first (and before allocating,
// when the rest of the file cannot hold that many) and 13 for a word that is no number.
std::vector<float> ReadNumberRun(TextFile& in, int32_t count, double factor);

// The fields of one data line: those of `layout` when its width is above 0, else the
// words between blanks and tabs.
std::vector<std::string> LineFields(std::string_view line, FieldLayout layout);

// Reads `steps` lines of columns from `in` (blank lines are passed over): result[c] holds
// field columns[c] (0-based) of each line times `factor`. Raises 62 when the file ends
// first (and before allocating, when the rest of the file cannot hold that many values)
// and 13 for a field that is no number or missing.
std::vector<std::vector<float>> ReadColumnLines(TextFile& in, int32_t steps, FieldLayout layout,
                                                const std::vector<int32_t>& columns, double factor);

// Order in which to keep components named `names`: the horizontals as they come, then
// the verticals ("U", "UD", "U-D", "UP", "V", "VERT", "Z", names ending in Z), since
// rotation takes channels 1 and 2 as a horizontal pair.
std::vector<int32_t> HorizontalsFirst(const std::vector<std::string>& names);

// Puts `channels` (in cm/s/s, in this order, labelled `labels`) into `rec`: ChanCount, the
// per-channel arrays, DataCount the length of the shortest, the samples, and the peaks.
void TakeChannels(StrongRecord& rec, const std::vector<std::vector<float>>& channels,
                  const std::vector<std::string>& labels);
// The same for columns named `names`, put in the order HorizontalsFirst gives.
void TakeHorizontalsFirst(StrongRecord& rec, std::vector<std::vector<float>>& columns,
                          const std::vector<std::string>& names);

// RecDate "yyyy/mm/dd" and RecTime "hh:nn:ss" of a first sample `seconds` after the
// given minute; they round to the nearest whole second and may be negative or past 60,
// carrying into the minute, hour and date. Values that make no date (month 13,
// minute 75 …) raise 13.
void SetFirstSampleTime(StrongRecord& rec, int32_t year, int32_t month, int32_t day, int32_t hour,
                        int32_t minute, double seconds);

}  // namespace sism
