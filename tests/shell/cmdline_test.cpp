#include <gtest/gtest.h>

#include "app/shell/cmdline.h"

namespace sism {
namespace {

using Args = std::vector<std::string>;

TEST(SplitCommandLine, BlanksQuotesAndTabs) {
  EXPECT_EQ(SplitCommandLine("  -h20\t/L0.1  rec.ac "), (Args{"-h20", "/L0.1", "rec.ac"}));
  EXPECT_EQ(SplitCommandLine("\"/data/my records/kobe.ac\" -v"), (Args{"/data/my records/kobe.ac", "-v"}));
  EXPECT_EQ(SplitCommandLine("a\"b c\"d"), (Args{"ab cd"}));
  EXPECT_EQ(SplitCommandLine("\"\" x \"\""), (Args{"x"}));  // empty quotes give no argument
  EXPECT_TRUE(SplitCommandLine("").empty());
}

struct Applied {
  PreProcParams pre;
  RunState run;
};

Applied Apply(const Args& args) {
  Applied a;
  a.pre.HighCutFreq = 30;
  a.pre.RefSensor = 1;
  ApplyArguments(args, a.pre, a.run);
  return a;
}

TEST(ApplyArguments, OnOffSwitches) {
  EXPECT_FALSE(Apply({"-c-"}).run.SwitchC);
  for (const char* on : {"-c", "-c+", "-cx", "/C"}) EXPECT_TRUE(Apply({"-c-", on}).run.SwitchC) << on;
  EXPECT_FALSE(Apply({"/e-"}).run.SwitchE);
  EXPECT_TRUE(Apply({"-e"}).run.SwitchE);
  EXPECT_FALSE(Apply({}).run.SwitchV);
  EXPECT_TRUE(Apply({"-vanything"}).run.SwitchV);
}

TEST(ApplyArguments, NumericSwitchesOverrideOnlyWithNumbers) {
  Applied a = Apply({"-H5", "/l0.1", "-s2.5", "-t60", "-i2"});
  EXPECT_FLOAT_EQ(a.pre.HighCutFreq, 5);
  EXPECT_FLOAT_EQ(a.pre.LowCutFreq, 0.1f);
  EXPECT_FLOAT_EQ(a.pre.SkipSeconds, 2.5f);
  EXPECT_FLOAT_EQ(a.pre.TimeLength, 60);
  EXPECT_EQ(a.pre.RefSensor, 2);
  EXPECT_FLOAT_EQ(Apply({"-habc"}).pre.HighCutFreq, 30);  // the stored value stays
  EXPECT_FLOAT_EQ(Apply({"-h"}).pre.HighCutFreq, 30);
  EXPECT_EQ(Apply({"-i1e20"}).pre.RefSensor, 1);  // out of range is no number either
  EXPECT_EQ(Apply({"-i2.5"}).pre.RefSensor, 2);   // nearest, halves to even
}

TEST(ApplyArguments, RotationAlwaysTurnsOn) {
  Applied a = Apply({"-r45"});
  EXPECT_TRUE(a.pre.RotateWave);
  EXPECT_EQ(a.pre.RotateWaveAngle, 45);
  for (const char* zero : {"-r", "-rabc"}) {
    Applied b = Apply({"-r30", zero});
    EXPECT_TRUE(b.pre.RotateWave);
    EXPECT_EQ(b.pre.RotateWaveAngle, 0) << zero;
  }
}

TEST(ApplyArguments, TheLastPlainArgumentIsOpened) {
  EXPECT_EQ(Apply({"first.ac", "-x9", "second.ac"}).run.FileToOpen, "second.ac");
  EXPECT_EQ(Apply(SplitCommandLine("\"/my data/a b.ac\"")).run.FileToOpen, "/my data/a b.ac");
  EXPECT_EQ(Apply({"/home/user/kobe.ac", "-h5"}).run.FileToOpen, "/home/user/kobe.ac");
  EXPECT_EQ(Apply({"/h5"}).pre.HighCutFreq, 5);
  Applied unknown = Apply({"-q5", "-", "/"});
  EXPECT_TRUE(unknown.run.FileToOpen.empty());
}

TEST(TakeReviewFolder, TakenOutBeforeTheFileToOpen) {
  std::vector<std::string> args = {"-h10", "--review", "out", "rec.ac"};
  EXPECT_EQ(TakeReviewFolder(args), "out");
  EXPECT_EQ(args, (std::vector<std::string>{"-h10", "rec.ac"}));
  args = {"--review"};  // no folder: nothing to review, nothing left to open
  EXPECT_EQ(TakeReviewFolder(args), "");
  EXPECT_TRUE(args.empty());
  args = {"--review", "a", "--review", "b"};
  EXPECT_EQ(TakeReviewFolder(args), "b");
  EXPECT_TRUE(args.empty());
}

}  // namespace
}  // namespace sism
