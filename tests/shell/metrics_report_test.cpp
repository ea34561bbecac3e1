// The metrics report lists every further measure of every channel, the pair's record measures
// and the strength reduction factors, each value as the measures hold it.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/shell/metrics_report.h"
#include "common/text.h"
#include "tests/support/noise_record.h"
#include "tests/support/scripted_ui.h"

namespace sism {
namespace {

TEST(MetricsReport, ListsTheFurtherMeasuresAndReductionFactors) {
  AppState app;
  test::NoiseRecord(app, {"N", "E", "Z"}, 2000, 5, 30.0f);
  test::ScriptedUi ui;
  std::vector<int32_t> chans = {1, 2, 3};
  const RecordMetrics m = ComputeMetrics(app, chans, HorizontalPairs(app.record), WindowMetricsRequest(app.calc), ui);
  const std::string text = MetricsReportText(app, m);
  EXPECT_NE(text.find("Further Measures (chosen level L = 5 cm/s/s)"), std::string::npos) << text;
  for (const MeasureField& f : ChannelMeasureFields())
    EXPECT_NE(text.find("\r\n " + MeasureKey(f, 5) + " " + f.unit), std::string::npos) << f.key;
  EXPECT_NE(text.find("Pair (1,2): RotD50 of PGA"), std::string::npos);
  EXPECT_NE(text.find("JMA long-period ground-motion class " + std::to_string(m.pairs[0].more.lpgmClass)),
            std::string::npos);
  EXPECT_NE(text.find("Strength Reduction Factors R_mu"), std::string::npos);
  EXPECT_NE(text.find("3 mu=4"), std::string::npos);
  // The row of A95 carries channel 2's value in its column.
  char cell[32];
  std::snprintf(cell, sizeof cell, "%.4g", static_cast<double>(m.channels[1].more.a95));
  const std::size_t row = text.find("\r\n A95 cm/s/s");
  ASSERT_NE(row, std::string::npos);
  const std::string line = text.substr(row + 2, text.find("\r\n", row + 2) - row - 2);
  EXPECT_NE(line.find(cell), std::string::npos) << line;
}

}  // namespace
}  // namespace sism
