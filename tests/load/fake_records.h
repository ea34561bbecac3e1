// Small synthetic records for the loading tests, and a reader for a throw-away text form
// of them, so that the pipeline can be driven without any real record format.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "record/dispatch.h"
#include "record/strong_record.h"

namespace sism::test {

// A record of `chans` channels and `steps` steps at `freq` Hz; sample i of channel ch is
// ch * 100000 + i (so every value tells where it came from). Labels "L1", "L2", ...
StrongRecord MakeRecord(int32_t freq, int32_t steps, int32_t chans);

// Text form read by FakeReader: first line "freq steps chans code [date time]", then one
// label per line. Samples are those of MakeRecord.
std::string FakeFile(int32_t freq, int32_t steps, int32_t chans, const std::string& code = "SITE",
                     const std::vector<std::string>& labels = {});
// A reader table whose general reader (and every other entry) is FakeReader.
const ReaderTable& FakeReaders();
// Number of times FakeReader ran.
int FakeReaderCalls();

}  // namespace sism::test
