// The acceleration of gravity that records in units of g are converted with.
#pragma once

namespace sism {

// Standard gravity (9.80665 m/s/s) in cm/s/s: one g. Files in g/10 or milli-g take a tenth or a
// thousandth of it.
inline constexpr double kStandardGravity = 980.665;

}  // namespace sism
