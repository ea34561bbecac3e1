// Corners given to the processing chain: used as they are, never raised, and the ratio's own
// complaints about those channels dropped.
#include <gtest/gtest.h>

#include "analysis/processing.h"
#include "tests/support/synthetic_quake.h"

namespace sism {
namespace {

TEST(FixedCorners, UsedAsGivenAndOnlyOnTheirChannel) {
  StrongRecord automatic = test::Quake(60, 10, 200, 7);
  StrongRecord fixed = automatic;
  const ProcessingParams p;
  const ProcessingResult a = ProcessRecord(automatic, p);
  // A narrow band the chain itself would refuse: the analyst's word stands.
  const ProcessingResult f = ProcessRecord(fixed, p, {{2, 0.9f, 2.0f}, {3, 0, 9.0f}});
  ASSERT_TRUE(f.processed);
  const ChannelProcessing* c2 = f.Channel(2);
  EXPECT_FLOAT_EQ(c2->highPass, 0.9f);
  EXPECT_FLOAT_EQ(c2->lowPass, 2.0f);
  EXPECT_TRUE(c2->cornersFixed);
  EXPECT_EQ(f.FlagList().find("narrow_band@2"), std::string::npos) << f.FlagList();
  // One corner given: the other is the chain's ratio corner, and the high-pass is not raised.
  EXPECT_FLOAT_EQ(f.Channel(3)->lowPass, 9.0f);
  EXPECT_FLOAT_EQ(f.Channel(3)->highPass, a.Channel(3)->snrHighPass);
  EXPECT_FLOAT_EQ(f.Channel(1)->highPass, a.Channel(1)->highPass);
  EXPECT_FLOAT_EQ(f.Channel(1)->lowPass, a.Channel(1)->lowPass);
  EXPECT_EQ(f.steps.size(), a.steps.size() + 1);
  EXPECT_NE(fixed.Acc(3000, 2), automatic.Acc(3000, 2));

  // A band that is no band is not taken.
  StrongRecord bad = test::Quake(60, 10, 200, 7);
  const ProcessingResult b = ProcessRecord(bad, p, {{1, 5.0f, 2.0f}});
  EXPECT_FALSE(b.Channel(1)->cornersFixed);
  EXPECT_FLOAT_EQ(b.Channel(1)->lowPass, a.Channel(1)->lowPass);
}

}  // namespace
}  // namespace sism
