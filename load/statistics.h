// The numbers that describe the whole record, computed once after it is read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "record/dispatch.h"
#include "record/strong_record.h"

namespace sism {

// Intensity sensor from `refSensor` (0 or less: the one the record was read with, else
// the first), JMA intensity, peak ground acceleration and the duration of every channel
// (durations[ch - 1]).
// The finishing step of every read: the JMA intensity of the record's sensor (JmaGroup,
// whole record at once) and PeakAcc, the largest peak magnitude of that sensor, or of all
// channels without one.
void FinishRecord(StrongRecord& rec);
// ReadRecordFile, then FinishRecord when it read.
ReadOutcome ReadFinishedRecord(const std::string& path, StrongRecord& rec, ReadQuestions& ask,
                               const ReaderTable& readers = DefaultReaders());
void ComputeLoadStatistics(StrongRecord& rec, std::vector<float>& durations, int32_t refSensor);
// The durations alone (after an append).
void ComputeDurations(const StrongRecord& rec, std::vector<float>& durations);
// Duration of one channel in seconds; 0 for a record without samples.
float ChannelDuration(const StrongRecord& rec, int32_t ch);
// "2024/01/01 12:00:00 at CODE: Name (I=5.1) [100 Hz, 30,000 stps, 3 chs]".
std::string StatusParamsText(const StrongRecord& rec);

}  // namespace sism
