// Checks every reader of untrusted files passes: a real sample gives what its header
// says, under its own name and another; broken files end in exactly one message; damaged
// copies end in a record or in one message, never in a read past the data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "record/reader.h"

namespace sism::test {

// What a sample's header states; peaks are magnitudes in cm/s/s, checked within 0.1 %.
struct SampleFacts {
  std::string file;  // under the samples folder
  int32_t format = 0, chans = 0, count = 0, rate = 0;
  std::string date, time, code, name, lat, lon;
  std::vector<std::string> labels;
  std::vector<double> peaks;
};

// Reads the sample through the dispatcher and checks every fact, then a copy called
// "renamed.txt" elsewhere, which must be known as the same format with the same rate.
void ExpectSampleFacts(const SampleFacts& facts);

// A file the reader refuses: `message` is what follows the path in the one message
// shown, after "Failed to read " when it begins " (".
struct RefusedFile {
  const char* what;
  std::string text;
  std::string message;
};
void ExpectRefused(ReaderFunction reader, const std::string& name, const std::vector<RefusedFile>& cases);

// Both runs of tests/support/damaged_files.h on the good file.
void ExpectDamagedCopiesEndWell(ReaderFunction reader, const std::string& name, const std::string& good,
                                unsigned seed);

struct DetectCase {
  const char* name;
  std::string text;
  int32_t format;
};
void ExpectDetected(const std::vector<DetectCase>& cases);

}  // namespace sism::test
