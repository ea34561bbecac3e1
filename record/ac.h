// Writer of the program's own .ac format (the readers are in record/readers.h).
#pragma once

#include <cstdint>
#include <string>

#include "record/strong_record.h"

namespace sism {

// Writes the record (all channels, or only sensor `group`'s three when group > 0 and the
// record has them). The file is replaced only once everything was written; on failure
// an existing file is left as it was and the text the user is to be told is returned
// (empty when written), for a box titled AcWriteTitle().
std::string WriteAcFile(const std::string& path, const StrongRecord& rec, int32_t group);
std::string AcWriteTitle();

// Why channels first .. first + chans - 1 of the record cannot be written so that they
// read back (a header field, sample or peak wider than its column, a date that does not
// begin with a year); empty when they can. An empty date is written as "0000/00/00".
std::string AcWriteProblem(const StrongRecord& rec, int32_t first, int32_t chans);

}  // namespace sism
