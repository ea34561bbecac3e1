// The key/value texts of the flat interface: the header of a loaded record, and the flatfile
// row of its metrics under the header's column names.
#pragma once

#include <string>

#include "state/app_state.h"

namespace sism::library {

// "key=value" lines of the record's header, channels and provenance; values never hold a line
// break.
std::string MetadataText(const AppState& app, const std::string& preprocessing);
// The row's fields under the header's names, one "column=value" line each.
std::string ColumnsText(const std::string& header, const std::string& row);
// ISO 8601 form of a "yyyy/mm/dd" date and "hh:nn:ss[.fff]" time; empty when either does not
// read so.
std::string IsoDateTime(const std::string& date, const std::string& time);
// The azimuth (degrees from north) a channel label gives, as text; empty when it gives none.
std::string LabelAzimuth(const std::string& label);

}  // namespace sism::library
