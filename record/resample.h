// Accelerograms digitised from film come as time and acceleration pairs at uneven times;
// the program holds evenly spaced samples, so the pairs are put onto an even grid.
#pragma once

#include <cstdint>
#include <vector>

namespace sism {

// Whole rate round(points / seconds) of `points` samples spread over `seconds`, halves to
// even; raises 11 for a length that is not positive and 5 for a rate below 1 Hz.
int32_t EvenRate(int64_t points, double seconds);

// True when no time is smaller than the one before it: the values alternate time and
// acceleration rather than being samples read two at a time.
bool TimesAscend(const std::vector<float>& times);

// Linear interpolation of (times, values) at i / rate for i = 0..steps-1; before the first
// time and after the last the nearest value holds.
void ResampleLinear(const std::vector<float>& times, const std::vector<float>& values, int32_t rate, float* out,
                    int32_t steps);

}  // namespace sism
