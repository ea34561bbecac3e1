// Reading and writing records where the user is told the outcome: the readers and the
// writer return what happened, these show it.
#pragma once

#include <cstdint>
#include <string>

#include "common/ui.h"
#include "record/reader.h"
#include "record/strong_record.h"

namespace sism {

// Shows the outcome's messages in order, with the critical icon; true when it read.
bool ReportRead(const ReadOutcome& outcome, UserInterface& ui);

// WriteAcFile, its failure shown to the user.
bool WriteAc(const std::string& path, const StrongRecord& rec, int32_t group, UserInterface& ui);

// Shows the record-parameter dialog on the record's texts; on OK the record takes the
// edited texts and true is returned (the caller then shows the summary again and redraws).
bool EditRecordTexts(StrongRecord& rec, UserInterface& ui);

}  // namespace sism
