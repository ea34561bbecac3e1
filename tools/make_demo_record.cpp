// Writes the bundled demo record: a synthetic three-component accelerogram of
// enveloped, band-limited noise, 100 Hz, 60 s, so the program has something to show
// without any real record.  Usage: make-demo-record OUT.ac
#include <cmath>
#include <cstdio>
#include <iostream>
#include <random>

#include "app/shell/console_ui.h"
#include "load/user_side.h"
#include "record/ac.h"

namespace {

// Second-order band-pass (bilinear transform of the analogue prototype).
struct BandPass {
  double b0, b2, a1, a2;
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  BandPass(double f0, double q, double fs) {
    const double w = 2 * M_PI * f0 / fs, alpha = std::sin(w) / (2 * q), a0 = 1 + alpha;
    b0 = alpha / a0;
    b2 = -alpha / a0;
    a1 = -2 * std::cos(w) / a0;
    a2 = (1 - alpha) / a0;
  }
  double operator()(double x) {
    double y = b0 * x + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1, x1 = x, y2 = y1, y1 = y;
    return y;
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-demo-record OUT.ac\n");
    return 2;
  }
  const int fs = 100, n = 60 * fs;
  sism::StrongRecord rec;
  rec.RecDate = "2026/01/15";
  rec.RecTime = "10:30:00";
  rec.SiteCode = "DEMO01";
  rec.SiteName = "Synthetic demo station";
  rec.SampFreq = fs;
  rec.DataCount = n;
  rec.ChanCount = 3;
  rec.RedimHeader(3);
  rec.RedimAcc(n, 3);
  const char* labels[] = {"N-S", "E-W", "U-D"};
  const double peaks[] = {287.0, 231.0, 124.0};
  const double centre[] = {2.0, 1.6, 5.0};  // Hz: verticals are richer in high frequencies
  std::mt19937 random(20260115);
  std::normal_distribution<double> noise(0.0, 1.0);
  for (int ch = 1; ch <= 3; ++ch) {
    BandPass low(centre[ch - 1], 0.7, fs), high(centre[ch - 1] * 3, 0.9, fs);
    std::vector<double> x(n);
    double largest = 0;
    for (int i = 0; i < n; ++i) {
      double t = static_cast<double>(i) / fs;
      // Onset at 5 s, strongest 8 s later, then a long coda.
      double s = t < 5 ? 0 : (t - 5) / 8.0;
      double envelope = std::pow(s, 1.5) * std::exp(1.5 * (1.0 - s));
      double v = 0.7 * low(noise(random)) + 0.3 * high(noise(random));
      x[i] = envelope * v;
      largest = std::max(largest, std::fabs(x[i]));
    }
    // Taper the last second so the record ends at rest.
    for (int i = n - fs; i < n; ++i) x[i] *= 0.5 * (1 + std::cos(M_PI * (i - (n - fs)) / fs));
    for (int i = 0; i < n; ++i) rec.Acc(i + 1, ch) = static_cast<float>(x[i] / largest * peaks[ch - 1]);
    rec.Label(ch) = labels[ch - 1];
    rec.Coef(ch) = 1;
  }
  sism::ComputePeaks(rec);
  sism::ConsoleUi ui(std::cerr);
  return sism::WriteAc(argv[1], rec, 0, ui) ? 0 : 1;
}
