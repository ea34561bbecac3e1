// Whether the numeric library in use exports a function yet; tests of code that calls
// it skip until it does.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "sismcalc/binding/calc.h"

namespace sism::test {

inline bool CalcHas(const std::string& name) {
  int32_t n = 4;
  float dt = 0.01f, a = 0, b = 0;
  float x[4] = {1, 2, 3, 4}, y[4] = {1, 2, 3, 4}, z[4] = {1, 2, 3, 4};
  try {
    if (name == "SIJMA") calc::SIJMA(&n, &dt, x, y, z);
    if (name == "SIJMA10") calc::SIJMA10(&n, &dt, x, y, z);
    if (name == "ROTATE") calc::ROTATE(&n, &a, x, y);
    if (name == "FILTER") calc::FILTER(&n, &dt, &a, &b, x);
    if (name == "GETPEAK") calc::GETPEAK(&n, x);
    if (name == "DURATION") calc::DURATION(&n, &dt, x);
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

}  // namespace sism::test

#define SKIP_WITHOUT_CALC(name) \
  if (!::sism::test::CalcHas(name)) GTEST_SKIP() << name << " is not in the numeric library yet"
