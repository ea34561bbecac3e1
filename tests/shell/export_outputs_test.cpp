// What exported files say about their columns, their digits and the record's treatment.
#include <gtest/gtest.h>

#include "app/shell/export.h"
#include "common/text.h"

namespace sism {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines = Split(text, "\r\n");
  if (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

// Channels labelled N-S, E-W, U-D ... at 100 Hz, every sample `value` times the channel.
AppState Record(int32_t chans, int32_t steps, float value = 1) {
  AppState app;
  StrongRecord& r = app.record;
  r.SampFreq = 100;
  r.ChanCount = chans;
  r.DataCount = steps;
  r.RedimHeader(chans);
  r.RedimAcc(steps, chans);
  const char* labels[] = {"N-S", "E-W", "U-D", "N-S2", "E-W2", "U-D2"};
  for (int32_t ch = 1; ch <= chans; ++ch) {
    r.Label(ch) = labels[(ch - 1) % 6];
    app.view.LabelCopies.push_back(r.Label(ch));
    for (int32_t i = 1; i <= steps; ++i) r.Acc(i, ch) = value * static_cast<float>(ch);
  }
  ComputePeaks(r);
  app.view.DrawChan.assign(static_cast<std::size_t>(chans), true);
  return app;
}

TEST(ExportHeadings, RatiosNameTheirNumeratorFirst) {
  AppState app = Record(3, 10);
  FourierData& f = app.series.fourier;
  f.NH = 8;
  f.DF = 0.5f;
  app.series.fourierValid = true;
  app.graph.Axis[AxisFrequency].Log = false;
  app.graph.Axis[AxisFrequency].Max = 2;
  ResponseData& r = app.series.response;
  r.NP = 2;
  r.T = {0.1f, 1.0f};
  RelationPair p;
  p.X = 3;  // U-D
  p.Y = 1;  // N-S
  p.Ratio.assign(8, 4.18f);
  p.Phase.assign(8, 10.0f);
  p.RespRatio.assign(2, 4.18f);
  app.series.relation.Pairs.push_back(p);
  EXPECT_EQ(Lines(ExportText(app, KindSpectralRatio, ExportComma, false))[1], "Frequency (Hz), N-S/U-D");
  EXPECT_EQ(Lines(ExportText(app, KindResponseRatio, ExportComma, false))[1], "Period (sec), N-S/U-D");
  EXPECT_EQ(Lines(ExportText(app, KindPhaseDifference, ExportComma, false))[1], "Frequency (Hz), U-D-N-S");
}

}  // namespace
}  // namespace sism
