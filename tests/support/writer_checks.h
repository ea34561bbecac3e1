// Writes a record in one of the written formats and checks that every file reads back
// through the dispatcher with the same samples (within the format's precision), start,
// rate, station and labels. A date the record does not give is not compared.
#pragma once

#include "record/strong_record.h"
#include "record/writers.h"

namespace sism::test {

// Returns the writer's refusal when it refused the record (nothing is checked then).
std::string ExpectWrittenReadsBack(const StrongRecord& rec, const WriterRow& w);

}  // namespace sism::test
