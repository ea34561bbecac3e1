// The tool's export and peaks of the constant-ductility and effective amplitude spectra.
#include <gtest/gtest.h>

#include "tests/cli/cli_run.h"

namespace sism {
namespace {

TEST_F(CliTest, ExportAndPeaksOfTheConstantDuctilityAndEffectiveAmplitudeSpectra) {
  const std::string ini = work.Write("duct.ini", "[Calculation]\nRespSteps=10\nDuctilities=2 4\nDuctilityQuantity=1\n");
  CliRun r = Cli({"export", "23", kDemo, "-o", "-", "--settings", ini});
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> lines = Split(r.out, "\r\n");
  ASSERT_EQ(lines.size(), 10u + 3u);
  EXPECT_EQ(lines[1], "Period (sec), N-S mu=2, N-S mu=4, E-W mu=2, E-W mu=4, U-D mu=2, U-D mu=4");
  r = Cli({"peaks", "23", kDemo, "--settings", ini});
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.Lines().size(), 7u);
  EXPECT_TRUE(StartsWith(r.Lines()[1], "N-S mu=2: ")) << r.Lines()[1];

  r = Cli({"export", "24", kDemo, "-o", "-"});
  ASSERT_EQ(r.status, 0) << r.err;
  lines = Split(r.out, "\r\n");
  EXPECT_EQ(lines[1], "Frequency (Hz), EAS N-S,E-W");
  EXPECT_GT(lines.size(), 300u);
  // The processing's spectra stay in the window.
  r = Cli({"export", "22", kDemo, "-o", "-"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("1 to 20, 23, 24"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace sism
