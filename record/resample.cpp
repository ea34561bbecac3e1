#include "record/resample.h"

#include <algorithm>

#include "common/errors.h"
#include "common/text.h"

namespace sism {

int32_t EvenRate(int64_t points, double seconds) {
  if (!(seconds > 0)) Raise(ErrDivisionByZero);
  int32_t rate = RoundToLong(static_cast<double>(points) / seconds);
  if (rate < 1) Raise(ErrInvalidCall);
  return rate;
}

bool TimesAscend(const std::vector<float>& times) {
  return std::is_sorted(times.begin(), times.end());
}

void ResampleLinear(const std::vector<float>& times, const std::vector<float>& values, int32_t rate, float* out,
                    int32_t steps) {
  std::size_t n = std::min(times.size(), values.size()), j = 0;
  if (n == 0 || rate < 1) return;
  for (int32_t i = 0; i < steps; ++i) {
    double t = static_cast<double>(i) / rate;
    while (j + 1 < n && times[j + 1] <= t) ++j;
    if (t <= times[0]) {
      out[i] = values[0];
    } else if (j + 1 >= n) {
      out[i] = values[n - 1];
    } else {
      double t0 = times[j], t1 = times[j + 1];
      double w = t1 > t0 ? (t - t0) / (t1 - t0) : 1.0;
      out[i] = static_cast<float>(values[j] + w * (values[j + 1] - values[j]));
    }
  }
}

}  // namespace sism
