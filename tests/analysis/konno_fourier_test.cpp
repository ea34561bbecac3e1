// Konno-Ohmachi as the Fourier smoothing: the amplitude is smoothed on its own bins as the window's
// sum over every bin gives it, and the power spectrum follows from it.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "analysis/drivers.h"
#include "tests/support/scripted_ui.h"

namespace sism {
namespace {

TEST(KonnoOhmachiFourier, AmplitudeIsTheWindowedMeanOfTheRawAmplitude) {
  AppState s;
  StrongRecord& r = s.record;
  r.SampFreq = 100;
  r.DataCount = 1024;
  r.ChanCount = 1;
  r.RedimHeader(1);
  r.RedimAcc(1024, 1);
  std::mt19937 gen(9);
  std::normal_distribution<float> noise(0, 10);
  for (int32_t i = 1; i <= 1024; ++i) r.Acc(i, 1) = noise(gen);
  ComputePeaks(r);
  s.calc.FourDurationType = 0;
  test::ScriptedUi ui;
  RunFourierDriver(s, ui);
  const FourierData raw = s.series.fourier;
  std::vector<double> amp(static_cast<size_t>(raw.NH));
  for (int32_t k = 0; k < raw.NH; ++k)
    amp[static_cast<size_t>(k)] = std::hypot(double{raw.Re.Column(1)[k]}, double{raw.Im.Column(1)[k]});

  s.calc.FourierSmoothing = kSmoothKonno;
  s.calc.KonnoB = 40;
  RunFourierDriver(s, ui);
  const FourierData& f = s.series.fourier;
  for (int32_t k = 2; k <= f.NH; k += 37) {
    double num = 0, den = 0;
    for (int32_t j = 2; j <= f.NH; ++j) {
      const double x = 40 * std::log10(static_cast<double>(j - 1) / (k - 1));
      const double w = x == 0 ? 1.0 : std::pow(std::sin(x) / x, 4);
      num += w * amp[static_cast<size_t>(j - 1)];
      den += w;
    }
    EXPECT_NEAR(f.A.Column(1)[k - 1], num / den, 1e-4 * num / den) << k;
    EXPECT_NEAR(f.Pw.Column(1)[k - 1], f.A.Column(1)[k - 1] * f.A.Column(1)[k - 1] / f.Tp,
                1e-5 * f.Pw.Column(1)[k - 1]);
  }
  EXPECT_FLOAT_EQ(f.A.Column(1)[0], static_cast<float>(amp[0]));  // 0 Hz as it was
}

}  // namespace
}  // namespace sism
