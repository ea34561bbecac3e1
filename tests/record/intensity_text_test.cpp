#include "record/intensity_text.h"

#include <gtest/gtest.h>

namespace sism {
namespace {

TEST(IntensityText, RoundedAtTheThirdDecimalThenCut) {
  const std::pair<float, const char*> cases[] = {
      {4.6949f, "4.6"}, {5.1996f, "5.2"}, {4.6659f, "4.6"}, {5.0949f, "5.0"}, {5.0999f, "5.1"}, {4.7f, "4.7"},
      {0.0f, "0.0"},    {6.45f, "6.4"},   {-0.35f, "-0.3"}, {7.1f, "7.1"},
  };
  for (auto [i, text] : cases) EXPECT_EQ(IntensityValueText(i), text) << i;
  // Rounding at the third decimal can carry into the first.
  EXPECT_EQ(IntensityTenths(4.6995f), 47);
}

TEST(IntensityText, ClassesByTheAgencysLimits) {
  const std::pair<float, const char*> cases[] = {
      {-1.0f, "0"}, {0.49f, "0"}, {0.5f, "1"},  {1.49f, "1"}, {1.5f, "2"},  {3.49f, "3"},
      {4.49f, "4"}, {4.5f, "5-"}, {4.99f, "5-"}, {5.0f, "5+"}, {5.5f, "6-"}, {5.99f, "6-"},
      {6.0f, "6+"}, {6.49f, "6+"}, {6.5f, "7"}, {7.3f, "7"},
  };
  for (auto [i, cls] : cases) EXPECT_EQ(IntensityClassText(i), cls) << i;
  // The class goes with the value shown: 4.4996 shows as 4.5, in class 5-.
  EXPECT_EQ(IntensityWithClass(4.4996f), "4.5 (5-)");
}

TEST(IntensityText, ARecordWithoutASensorHasNone) {
  StrongRecord r;
  r.JmaIntensity = 0;
  EXPECT_EQ(ShownIntensityValue(r), "\u2013");
  EXPECT_EQ(ShownIntensityClass(r), "");
  r.JmaGroup = 1;
  r.JmaIntensity = 5.51f;
  EXPECT_EQ(ShownIntensityValue(r), "5.5");
  EXPECT_EQ(ShownIntensityClass(r), "6-");
}

}  // namespace
}  // namespace sism
