// Opening a record file as the current record, and appending another file's channels to it.
#pragma once

#include <cstdint>
#include <string>

#include "state/app_state.h"
#include "common/ui.h"
#include "record/dispatch.h"

namespace sism {

// Opens `path` as the current record: channel count, 0 on failure (a failed read leaves no
// record; a missing file or a cancelled preprocessing dialog leaves the previous one).
int32_t ReadAccFile(AppState& state, const std::string& path, UserInterface& ui);
int32_t ReadAccFile(AppState& state, const std::string& path, UserInterface& ui, const ReaderTable& readers);

// Adds the channels of `path` to the current record: the new channel count, or the
// unchanged one when the file is refused or cannot be read (the record is then unchanged).
int32_t AppendAccFile(AppState& state, const std::string& path, UserInterface& ui);
int32_t AppendAccFile(AppState& state, const std::string& path, UserInterface& ui,
                      const ReaderTable& readers);

// Keeps every ratio-th sample (the first one first): SampFreq and DataCount divided by ratio.
void DecimateRecord(StrongRecord& rec, int32_t ratio);
// The same after a zero-phase low-pass at the new Nyquist frequency, so that nothing above
// it folds back onto the samples kept.
void ResampleRecord(StrongRecord& rec, int32_t ratio);
// Adds the channels of `add` after those of `rec`, cut or padded with zeros to rec's DataCount.
// `prefixCode` puts add's SiteCode and a blank before each new label.
void MergeRecord(StrongRecord& rec, const StrongRecord& add, bool prefixCode);

// Channels 1..min(count, CompCountMax) drawn, the rest not; resets the Fourier and response
// start and length. Earlier entries are kept in size only; labels are not copied.
void ResetDrawSelection(AppState& state);
// Default relation pairs for the number of channels drawn.
void SetDefaultRelationPairs(AppState& state);

}  // namespace sism
