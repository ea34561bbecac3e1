// Seismometer data as miniSEED and SAC files hold it: channels of counts in stretches
// with their own start times, a station's components often in files of their own. This
// puts one station's components together into a record in cm/s/s: the user picks the
// station when the files hold several, gaps are filled as no motion and overlaps resolved
// (both said in the record's note), the channels are aligned in time, and the counts
// are turned into acceleration by the StationXML sensitivity or a coefficient the user
// gives.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/read_questions.h"
#include "record/stationxml.h"
#include "record/strong_record.h"

namespace sism {

// One stretch of evenly sampled values.
struct SeisSegment {
  int64_t startUs = 0;  // time of the first sample, microseconds since 1970-01-01 UTC
  double rate = 0;      // samples per second
  std::vector<double> values;
};

struct SeisChannel {
  std::string net, sta, loc, cha;
  // The units the file gives its values in; Unknown for counts.
  UnitMeaning units;
  // False when the times count from an unknown reference (a SAC file without one).
  bool absoluteTime = true;
  std::string lat, lon;  // as the file gives them; empty when it does not
  std::vector<SeisSegment> segments;
};

// The channels read from the opened file and its siblings. `path` is the opened file,
// named in messages; `folder` where a StationXML file is looked for.
struct SeisSet {
  std::string path;
  std::vector<SeisChannel> channels;
};

// Puts one station's components into `rec` (ChanCount, SampFreq, DataCount, the
// per-channel arrays, samples in cm/s/s and the header texts the data give), asking the
// user what the data leave open. False when the user declined a question; raises
// InvalidRecordFile for data that make no record.
bool AssembleSeismicRecord(const SeisSet& set, StrongRecord& rec, ReadQuestions& ask);

// The other files of the set the opened one belongs to: its name with the channel code
// `cha` (a word of the name, found without regard to case) ending in each other component
// letter (N E Z, 1 2 3). Existing files only.
std::vector<std::string> SiblingFiles(const std::string& path, const std::string& cha);

// Whether the first bytes of a file are those of a miniSEED data record (the fixed
// header's sequence number, quality letter and time fields), and of a SAC file (binary,
// either byte order, or alphanumeric; known by its header version).
bool LooksLikeMseed(const std::string& head);
bool LooksLikeSac(const std::string& head);

// "2014/08/24 10:20:14.020" of a time in microseconds since 1970 UTC.
std::string UtcText(int64_t us);

}  // namespace sism
