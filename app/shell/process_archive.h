// The processing chain over an archive: each record processed and written with its provenance
// beside it, and the columns the chain adds to the record's flatfile row.
#pragma once

#include <iosfwd>
#include <map>
#include <string>
#include <vector>

#include "analysis/processing.h"
#include "app/shell/flatfile.h"
#include "app/shell/review_file.h"
#include "record/writers.h"
#include "state/app_state.h"

namespace sism {

// The columns the chain adds to a flatfile row: corners of each component, the onset, the
// outcome and the flags (empty without `row.Input().processing`).
void ProcessingColumns(FlatRow& row);

// The writers a list of names gives ("ac,cosmos-v2"); false with the reason for a name no
// writer has, or an empty list.
bool OutputWriters(const std::string& names, std::vector<const WriterRow*>& writers, std::string& reason);

// The record with the corners of `r` in its channels' facts (the narrower band where the file's
// provider had filtered already), for the writers whose formats say them.
StrongRecord WithChainCorners(const StrongRecord& rec, const ProcessingResult& r);

// Writes a processed record into `folder` in each format of `writers`, as NAME.EXT (NAME the
// file name of `source`; per-channel formats NAME.CODE.EXT), every file saying the corners of
// `r` where its format holds them; `written` gets the files. The reason when one could not be
// written (empty when all were).
std::string WriteProcessedRecord(const StrongRecord& rec, const ProcessingResult& r, const std::string& source,
                                 const std::string& folder, const std::vector<const WriterRow*>& writers,
                                 std::vector<std::string>& written);
// Where the record's provenance goes: `folder`/NAME.processing.json.
std::string ProvenancePath(const std::string& source, const std::string& folder);

// Runs the chain on the record read from `file`, writes the processed record (unless rejected)
// and its provenance into `folder`, and gives the chain's result; false with the reason when
// the record is not to be measured. Integration is set to the plain trapezoid rule for the
// measures, the record being corrected already.
bool ProcessForArchive(AppState& app, const std::string& file, const std::string& folder, std::ostream& log,
                       ProcessingResult& result, std::string& reason, const ReviewEntry* review = nullptr,
                       const std::vector<const WriterRow*>& writers = {});

// The analyst's standing decision on `file`: the one whose record is the file's path or ends
// it after a "/"; null when none.
const ReviewEntry* ReviewOf(const std::map<std::string, ReviewEntry>& decisions, const std::string& file);
// The corners an analyst gave, on the record's channels of each component.
std::vector<FixedCorners> ReviewedCorners(const StrongRecord& rec, const ReviewEntry& review);

// Flatfile settings whose rows are those of the processed records; with `review` (the
// standing decisions) a column "reviewed" follows: accepted, edited or empty.
void SetProcessing(FlatfileSettings& settings, const std::string& folder,
                   const std::map<std::string, ReviewEntry>* review = nullptr,
                   const std::vector<const WriterRow*>& writers = {});

}  // namespace sism
