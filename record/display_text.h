// The header texts and labels of a record as people read them: one rule for the window,
// the status bar, the title templates, the reports and the command-line tool.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "record/strong_record.h"

namespace sism {

// `text`, one of rec's texts (or built from them), as shown, always UTF-8: decoded from
// Shift-JIS when rec's texts are Shift-JIS, else kept when it is UTF-8 and read as
// Latin-1 when it is not.
std::string DisplayText(const StrongRecord& rec, std::string_view text);
// Label of channel ch as shown.
std::string DisplayLabelOf(const StrongRecord& rec, int32_t ch);
// Labels of channels 1..ChanCount as shown.
std::vector<std::string> DisplayLabels(const StrongRecord& rec);

// Every header text and label turned into its shown form, and the record marked as
// holding shown texts. For texts that cannot stay in the record's encoding, and before
// channels of records in another encoding join it.
void DecodeRecordTexts(StrongRecord& rec);

// Makes `shown` (as shown, UTF-8) the value of `text`, one of rec's own texts: nothing
// changes when it is what `text` already shows, so untouched bytes stay as read; else it
// is stored in rec's encoding, and when that encoding has no form of it, all of rec's
// texts are decoded first.
void StoreShownText(StrongRecord& rec, std::string& text, std::string_view shown);

// Date and time as shown, blank when the file gave none: the placeholder date some readers
// set ("0000/00/00", and the midnight that comes with it) is no date to show.
std::string ShownDate(const StrongRecord& rec);
std::string ShownTime(const StrongRecord& rec);
// Code and station name as shown, "CODE: name", the code once when the name starts with it
// (AOM001 in K-NET) and either alone when the other is blank.
std::string ShownStation(const StrongRecord& rec);

}  // namespace sism
