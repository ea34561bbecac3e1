// The processing chain over an archive: each record processed and written with its provenance
// beside it, and the columns the chain adds to the record's flatfile row.
#pragma once

#include <iosfwd>
#include <string>

#include "analysis/processing.h"
#include "app/shell/flatfile.h"
#include "state/app_state.h"

namespace sism {

// The columns appended to a flatfile row (",H1_fhp,..."): corners of each component, the onset,
// the outcome and the flags.
std::string ProcessingHeader();
std::string ProcessingColumns(const StrongRecord& rec, const ProcessingResult& r);

// Writes a processed record as NAME.ac in `folder`, NAME the file name of `source`; the reason
// when it could not be written (empty when it was). Writers of other formats join here.
std::string WriteProcessedRecord(const StrongRecord& rec, const std::string& source, const std::string& folder);
// Where the record's provenance goes: `folder`/NAME.processing.json.
std::string ProvenancePath(const std::string& source, const std::string& folder);

// Runs the chain on the record read from `file`, writes the processed record (unless rejected)
// and its provenance into `folder`, and gives the row's columns; false with the reason when
// the record is not to be measured. Integration is set to the plain trapezoid rule for the
// measures, the record being corrected already.
bool ProcessForArchive(AppState& app, const std::string& file, const std::string& folder, std::ostream& log,
                       std::string& columns, std::string& reason);

// Flatfile settings whose rows are those of the processed records.
void SetProcessing(FlatfileSettings& settings, const std::string& folder);

}  // namespace sism
