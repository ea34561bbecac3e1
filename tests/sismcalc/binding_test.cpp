// The program's by-name binding: calls reach the library, a missing library or function is a
// run-time error at the call.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "common/errors.h"
#include "sismcalc.h"
#include "sismcalc/binding/calc.h"

namespace {

class Binding : public testing::Test {
 protected:
  void TearDown() override { sism::calc::SetLibraryPathForTesting(""); }
};

int ErrorNumberOf(void (*call)()) {
  try {
    call();
  } catch (const sism::RuntimeError& e) {
    return e.Number();
  }
  return 0;
}

void CallGetPeak() {
  const float x[3] = {1, -3, 2};
  const int32_t n = 3;
  sism::calc::GETPEAK(&n, x);
}

TEST_F(Binding, CallsReachTheLibrary) {
  const std::vector<float> x = {1, -3, 2, 9, -4};
  const int32_t n = 5, i1 = 2, i2 = 5;
  EXPECT_EQ(sism::calc::GETPEAK(&n, x.data()), 9.0f);
  float value = 0;
  int32_t pos = 0;
  sism::calc::FINDPEAKAT(&i1, &i2, x.data(), &value, &pos);
  EXPECT_EQ(value, 9.0f);
  EXPECT_EQ(pos, 4);
  // Same answers as calling the library directly.
  const float dt = 0.01f;
  EXPECT_EQ(sism::calc::DURATION(&n, &dt, x.data()), DURATION(&n, &dt, x.data()));
  float t1 = 0.1f, t2 = 10.0f, a[3], b[3];
  const int32_t np = 3;
  ASSERT_EQ(sism::calc::LOGPRD(&t1, &t2, &np, a), 1);
  ASSERT_EQ(LOGPRD(&t1, &t2, &np, b), 1);
  EXPECT_EQ(a[1], b[1]);
}

TEST_F(Binding, MissingLibraryIsErrorInLoadingDll) {
  sism::calc::SetLibraryPathForTesting("libsismcalc_not_there.so");
  EXPECT_EQ(ErrorNumberOf(CallGetPeak), sism::ErrLibraryLoad);
  try {
    CallGetPeak();
    FAIL() << "no error";
  } catch (const sism::RuntimeError& e) {
    EXPECT_EQ(e.Description(), "Error in loading DLL");
  }
  // Once the library can be found again, the same call works.
  sism::calc::SetLibraryPathForTesting("");
  EXPECT_EQ(ErrorNumberOf(CallGetPeak), 0);
}

TEST_F(Binding, LibraryWithoutTheFunctionIsEntryPointNotFound) {
  // The C library loads but has no numeric kernels.
  sism::calc::SetLibraryPathForTesting("libc.so.6");
  EXPECT_EQ(ErrorNumberOf(CallGetPeak), sism::ErrEntryPointNotFound);
}

}  // namespace
