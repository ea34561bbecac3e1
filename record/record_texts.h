// The six header texts of a record as the record-parameter dialog edits them.
#pragma once

#include <array>
#include <string>

#include "common/dialog_requests.h"
#include "record/strong_record.h"

namespace sism {

// Caption and box labels of the dialog, in the order of RecordTexts.
const std::string& RecordParamCaption();
const std::array<std::string, 6>& RecordParamLabels();

// RecDate, RecTime, SiteCode, SiteName, SiteLat, SiteLong as shown; applying them back
// leaves the bytes of every text the user did not change as they were.
RecordTexts TextsOfRecord(const StrongRecord& rec);
void ApplyRecordTexts(const RecordTexts& texts, StrongRecord& rec);

}  // namespace sism
