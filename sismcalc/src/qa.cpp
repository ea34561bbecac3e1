// Quality checks of a channel: flat tops and a crowded amplitude histogram that clipping leaves,
// and the share of the motion left in the record's tail.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>
#include <vector>

#include "sismcalc.h"

extern "C" {

SISMCALC_API int32_t CLIPTEST(const int32_t* N, const float* X, const int32_t* RUNLEN, const float* NEAR,
                              const int32_t* NBINS, int32_t* NRUNS, float* HRATIO) {
  const int32_t n = *N, runLen = *RUNLEN, nbins = *NBINS;
  const float near = *NEAR;
  if (n < 2 || runLen < 2 || nbins < 3 || !(near > 0) || !(near <= 1)) return 0;
  const auto [mnIt, mxIt] = std::minmax_element(X, X + n);
  const double mn = *mnIt, mx = *mxIt;
  if (!std::isfinite(mn) || !std::isfinite(mx)) return 0;
  const double peak = std::max(std::fabs(mn), std::fabs(mx));
  int32_t runs = 0;
  if (peak > 0) {
    const double level = near * peak;
    for (int32_t i = 0; i < n;) {
      int32_t j = i;
      while (j + 1 < n && X[j + 1] == X[i]) ++j;
      if (j - i + 1 >= runLen && std::fabs(X[i]) >= level) ++runs;
      i = j + 1;
    }
  }
  *NRUNS = runs;
  // A clipped channel piles samples into the outermost bins, well above their inner neighbours.
  double ratio = 0;
  if (mx > mn) {
    try {
      std::vector<int64_t> h(static_cast<size_t>(nbins), 0);
      const double width = (mx - mn) / nbins;
      for (int32_t i = 0; i < n; ++i) {
        const auto b = static_cast<int64_t>((X[i] - mn) / width);
        h[static_cast<size_t>(std::clamp<int64_t>(b, 0, nbins - 1))] += 1;
      }
      const auto last = static_cast<size_t>(nbins - 1);
      const double low = static_cast<double>(h[0]) / static_cast<double>(std::max<int64_t>(1, h[1]));
      const double high = static_cast<double>(h[last]) / static_cast<double>(std::max<int64_t>(1, h[last - 1]));
      // A single extreme sample is no sign of clipping.
      ratio = std::max(h[0] >= runLen ? low : 0.0, h[last] >= runLen ? high : 0.0);
    } catch (const std::bad_alloc&) {
      return 0;
    }
  }
  *HRATIO = static_cast<float>(ratio);
  return 1;
}

SISMCALC_API float TAILRATIO(const int32_t* N, const float* DT, const float* X, const float* TAIL) {
  const int32_t n = *N;
  const double dt = *DT, tail = *TAIL;
  if (n < 1 || !(dt > 0) || !(tail > 0) || !std::isfinite(tail)) return 0;
  const double count = std::ceil(tail / dt);
  const int32_t first = count >= n ? 0 : n - static_cast<int32_t>(count);
  double all = 0, end = 0;
  for (int32_t i = 0; i < n; ++i) {
    const double a = std::fabs(X[i]);
    all = std::max(all, a);
    if (i >= first) end = std::max(end, a);
  }
  return all > 0 ? static_cast<float>(end / all) : 0.0f;
}

}  // extern "C"
