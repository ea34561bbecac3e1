#include "record/trapezoid.h"

namespace sism {

void IntegrateFromRest(const float* a, int32_t n, double dt, std::vector<float>& v, std::vector<float>& d) {
  v.assign(static_cast<std::size_t>(n > 0 ? n : 0), 0.0f);
  d.assign(v.size(), 0.0f);
  double vi = 0, di = 0;
  for (int32_t i = 1; i < n; ++i) {
    const double vn = vi + 0.5 * dt * (double{a[i - 1]} + a[i]);
    di += 0.5 * dt * (vi + vn);
    vi = vn;
    v[static_cast<std::size_t>(i)] = static_cast<float>(vi);
    d[static_cast<std::size_t>(i)] = static_cast<float>(di);
  }
}

}  // namespace sism
