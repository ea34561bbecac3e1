// Velocity and displacement of a corrected accelerogram, for checks and volumes that need
// them without the analysis drivers.
#pragma once

#include <cstdint>
#include <vector>

namespace sism {

// Trapezoid rule from rest: v and d get n values, both zero at the first sample.
void IntegrateFromRest(const float* a, int32_t n, double dt, std::vector<float>& v, std::vector<float>& d);

}  // namespace sism
