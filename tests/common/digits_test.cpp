#include "common/digits.h"

#include <gtest/gtest.h>

namespace sism {
namespace {

TEST(Digits, SignificantDigitsOfFormattedNumbers) {
  EXPECT_EQ(SignificantDigits("-0.140"), 3);
  EXPECT_EQ(SignificantDigits("0.000"), 0);
  EXPECT_EQ(SignificantDigits("350.921"), 6);
  EXPECT_EQ(SignificantDigits("1.2346e-02"), 5);
  EXPECT_EQ(SignificantDigits(" 100"), 3);
}

TEST(Digits, SeparatedValuesKeepSixDigits) {
  // What has six digits, or is written exactly, stays as it was.
  EXPECT_EQ(FormatKeepingDigits(350.92197, "0.000", 6), "350.922");
  EXPECT_EQ(FormatKeepingDigits(0.01, "0.000", 6), "0.010");
  EXPECT_EQ(FormatKeepingDigits(0, "0.000", 6), "0.000");
  EXPECT_EQ(FormatKeepingDigits(512, "0.0000e+00", 6), "5.1200e+02");
  // Weak motion gets the decimals it needs, with its sign.
  EXPECT_EQ(FormatKeepingDigits(-0.1412345, "0.000", 6), "-0.141235");
  EXPECT_EQ(FormatKeepingDigits(0.00151234567, "0.00000", 6), "0.00151235");
  EXPECT_EQ(FormatKeepingDigits(12.34567, "0.000", 6), "12.3457");
  EXPECT_EQ(FormatKeepingDigits(1.0 / 3, "0.0000e+00", 6), "3.33333e-01");
  // Too small for plain decimals: exponent form.
  EXPECT_EQ(FormatKeepingDigits(1.234567e-12, "0.000", 6), "1.23457e-12");
}

TEST(Digits, PeakLabelsKeepTheirBlankAndThreeDigits) {
  EXPECT_EQ(FormatKeepingDigits(-0.1412, " #0.0", 3), " -0.141");
  EXPECT_EQ(FormatKeepingDigits(0.0015, " #0.00", 3), " 0.0015");
  EXPECT_EQ(FormatKeepingDigits(123.44, " #0.0", 3), " 123.4");
}

TEST(Digits, FixedFieldsTurnToExponentFormOnlyWhenThatShowsMore) {
  EXPECT_EQ(FormatInField(-0.0014123, "0.000", 10, 6), "-1.41e-03");
  EXPECT_EQ(FormatInField(0.01, "0.000", 10, 6), "0.010");      // nothing dropped
  EXPECT_EQ(FormatInField(0.523, "0.000", 10, 6), "0.523");     // three digits either way
  EXPECT_EQ(FormatInField(123.4567, "0.000", 10, 6), "123.457");
  EXPECT_EQ(FormatInField(0.5, "0.0000e+00", 12, 6), "5.0000e-01");
  // The exponent form leaves a blank in the field.
  EXPECT_LT(FormatInField(-0.000123456, "0.00000", 10, 6).size(), 10u);
}

}  // namespace
}  // namespace sism
