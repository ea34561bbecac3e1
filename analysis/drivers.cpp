#include "analysis/drivers.h"

#include <algorithm>
#include <cmath>

#include "common/errors.h"
#include "common/strings.h"
#include "common/text.h"
#include "sismcalc/binding/calc.h"

namespace sism {

namespace {

int32_t PaddedLength(int32_t n) {
  int32_t p = 2;
  while (p < n) p *= 2;
  return p;
}

// Steps per oscillator period when the response peaks are sought between the samples as well:
// the largest of the steps' values then misses the peak of a sine by at most 1 - cos(pi/32), 0.5 %.
constexpr int32_t kRespStepsPerPeriod = 32;

// The bi-linear and parabola baselines give way to the linear one where they cannot be trusted:
// when the two lines of the bi-linear fit meet outside the record (the fit then keeps the front
// line to the end and the displacement runs away), or when either leaves a displacement more than
// this many times the linear baseline's.
constexpr float kRunAwayRatio = 2;
// Or when its motion is left drifting at the record's end where the linear baseline's is not:
// over the last tenth of the record the mean velocity exceeds the residual limit of network
// processing (0.1 cm/s), and the mean displacement that limit (0.1 cm) and half its peak. The
// linear baseline passes when its mean velocity there is within the limit. (A displacement that
// ends near its peak with the ground at rest is a lasting offset, not a drift.)
constexpr double kResidualVelocity = 0.1, kResidualDisplacement = 0.1, kDriftShare = 0.5;
enum class Fallback { None, BreakOutside, RunAway, Drift };

// |Mean| of x over the last tenth of its n samples.
double EndMean(int32_t n, const float* x) {
  const int32_t tail = std::max(n / 10, int32_t{1});
  double sum = 0;
  for (int32_t i = n - tail; i < n; ++i) sum += x[i];
  return std::fabs(sum / tail);
}

bool Drifts(int32_t n, const float* v, const float* d) {
  const double end = EndMean(n, d);
  return EndMean(n, v) > kResidualVelocity && end > kResidualDisplacement &&
         end > kDriftShare * std::fabs(calc::GETPEAK(&n, d));
}

// Velocity v and displacement d of the trapezoid rule with the chosen baseline (1 linear,
// 2 bi-linear, 3 parabola), or with the linear one where the chosen one fails.
Fallback TrapezoidWithFallback(int32_t n, float dt, const float* acc, float* v, float* d, const CalcParams& c,
                               std::vector<float>& linearV, std::vector<float>& linearD) {
  const int32_t method = c.IntegrationMethod + 1, linear = 2;
  const int32_t breakIndex = calc::INTEGTRA(&n, &dt, acc, v, d, &method, &c.TimeFront, &c.TimeRear);
  if (c.IntegrationMethod == 1) return Fallback::None;
  // The library sets the break to the record's end when the lines meet outside it; without a
  // front or rear window that is the fit asked for, not a failure.
  const bool windows = c.TimeFront / dt + 0.01 >= 1 && c.TimeRear / dt + 0.01 >= 1;
  if (c.IntegrationMethod == 2 && windows && breakIndex >= n) {
    calc::INTEGTRA(&n, &dt, acc, v, d, &linear, &c.TimeFront, &c.TimeRear);
    return Fallback::BreakOutside;
  }
  linearV.resize(static_cast<std::size_t>(n));
  linearD.resize(static_cast<std::size_t>(n));
  calc::INTEGTRA(&n, &dt, acc, linearV.data(), linearD.data(), &linear, &c.TimeFront, &c.TimeRear);
  Fallback why = Fallback::None;
  if (std::fabs(calc::GETPEAK(&n, d)) > kRunAwayRatio * std::fabs(calc::GETPEAK(&n, linearD.data())))
    why = Fallback::RunAway;
  else if (Drifts(n, v, d) && EndMean(n, linearV.data()) <= kResidualVelocity)
    why = Fallback::Drift;
  if (why == Fallback::None) return why;
  std::copy(linearV.begin(), linearV.end(), v);
  std::copy(linearD.begin(), linearD.end(), d);
  return why;
}

// "Linear baseline used for NS, UD: ..." with one clause per reason that occurred.
std::string BaselineNote(const std::vector<std::string>& outside, const std::vector<std::string>& runAway,
                         const std::vector<std::string>& drift) {
  std::string note;
  auto clause = [&note](const std::vector<std::string>& labels, int reason) {
    if (labels.empty()) return;
    if (!note.empty()) note += "; ";
    note += Str(8012);
    for (std::size_t i = 0; i < labels.size(); ++i) note += (i > 0 ? ", " : "") + labels[i];
    note += Str(reason);
  };
  clause(outside, 8013);
  clause(runAway, 8014);
  clause(drift, 8015);
  return note;
}

// Konno-Ohmachi smoothing of s[0..nh) in place, on its own bins (the 0 Hz bin, which has no
// logarithm, stays as it is).
void KonnoSmooth(int32_t nh, float df, float b, float* s) {
  if (nh < 2) return;
  std::vector<float> freqs(static_cast<std::size_t>(nh - 1)), out(freqs.size());
  for (int32_t k = 1; k < nh; ++k)
    freqs[static_cast<std::size_t>(k - 1)] = static_cast<float>(k * double{df});
  const int32_t no = nh - 1;
  if (calc::KONNO(&nh, &df, s, &b, &no, freqs.data(), out.data()) == 1)
    std::copy(out.begin(), out.end(), s + 1);
}

// The Fourier smoothing the parameters choose, on a spectrum s[0..nh) of step df: Parzen over
// WindowWidth Hz (none when that is 0 or less) or Konno-Ohmachi of coefficient KonnoB.
void Smooth(const CalcParams& c, int32_t nh, float df, float* s) {
  if (c.FourierSmoothing == kSmoothKonno) {
    KonnoSmooth(nh, df, std::clamp(c.KonnoB, kKonnoMinB, kKonnoMaxB), s);
  } else if (c.WindowWidth > 0) {
    calc::PARZEN(&nh, &df, &c.WindowWidth, s);
  }
}

// A quotient whose zero denominator gives 0 instead of ending the driver.
float SafeRatio(float num, float den) {
  return den == 0 ? 0.0f : num / den;
}

std::vector<std::pair<int32_t, int32_t>> ValidPairs(const AppState& s) {
  std::vector<std::pair<int32_t, int32_t>> pairs;
  for (auto [x, y] : s.view.RelationPairs)
    if (x >= 1 && y >= 1 && x <= s.record.ChanCount && y <= s.record.ChanCount) pairs.emplace_back(x, y);
  return pairs;
}

// Samples for every step in use and a header for every channel: anything else has
// nothing the drivers can work on.
bool Computable(const StrongRecord& rec) {
  return rec.ChanCount >= 1 && rec.DataCount >= 1 && rec.SampFreq >= 1 &&
         rec.DataCount <= rec.DataCapacity() && rec.ChanCount <= rec.AccChannels() &&
         static_cast<int32_t>(rec.Peaks().size()) >= rec.ChanCount;
}

// Velocity and displacement of every channel by the chosen method.
void IntegrateChannels(AppState& s, UserInterface& ui) {
  const StrongRecord& rec = s.record;
  MotionData& m = s.series.motion;
  m = MotionData();
  if (!Computable(rec)) return;
  const int32_t n = rec.DataCount, chans = rec.ChanCount;
  m.ChanCount = chans;
  m.Count = n;
  m.V.Resize(n, chans);
  m.D.Resize(n, chans);
  m.PeakVel.assign(static_cast<std::size_t>(chans), 0.0f);
  m.PeakDisp.assign(static_cast<std::size_t>(chans), 0.0f);
  const float dt = 1.0f / static_cast<float>(rec.SampFreq);
  const CalcParams& c = s.calc;
  std::vector<float> linearV, linearD;
  std::vector<std::string> outside, runAway, drift;
  for (int32_t ch = 1; ch <= chans; ++ch) {
    const float* acc = rec.Channel(ch);
    float* v = m.V.Column(ch);
    float* d = m.D.Column(ch);
    switch (c.IntegrationMethod) {
      case 1:
      case 2:
      case 3: {
        const Fallback why = TrapezoidWithFallback(n, dt, acc, v, d, c, linearV, linearD);
        const std::string label = rec.Label(ch).empty() ? "CH" + std::to_string(ch) : rec.Label(ch);
        if (why == Fallback::BreakOutside) outside.push_back(label);
        if (why == Fallback::RunAway) runAway.push_back(label);
        if (why == Fallback::Drift) drift.push_back(label);
        break;
      }
      case 4:
        calc::INTEGFFT(&n, &dt, acc, v, d, &c.CutOffFreq);
        break;
      default:
        calc::INTEGLAT(&n, &dt, acc, v, d, &c.CutOffFreq);
        break;
    }
    m.PeakVel[ch - 1] = calc::GETPEAK(&n, v);
    m.PeakDisp[ch - 1] = calc::GETPEAK(&n, d);
    ui.Yield();
  }
  m.BaselineNote = BaselineNote(outside, runAway, drift);
}

}  // namespace

void RunIntegrationDriver(AppState& s, UserInterface& ui) {
  MotionData& m = s.series.motion;
  {
    StatusScope status(ui, Str(8010), false);
    IntegrateChannels(s, ui);
  }
  // Stays in the status bar after the driver's own text.
  if (!m.BaselineNote.empty()) ui.ShowStatusMessage(m.BaselineNote);
}

Stretch FourierStretch(const StrongRecord& rec, const CalcParams& calc, const GraphSettings& graph) {
  const double fs = rec.SampFreq;
  const int32_t n = rec.DataCount;
  Stretch st;
  switch (calc.FourDurationType) {
    case 1: {
      const double tmin = graph.Axis[AxisTime].Min, tmax = graph.Axis[AxisTime].Max;
      st.start = RoundToLong(tmin * fs + 1);
      st.length = RoundToLong((tmax - tmin) * fs);
      if (st.length > n - st.start + 1) st.length = n - st.start + 1;
      break;
    }
    case 2:
      st.start = RoundToLong(calc.FourStart * fs + 1);
      st.length = RoundToLong(calc.FourLength * fs);
      if (st.length > n - st.start + 1 || st.length < 16) st.length = n - st.start + 1;
      break;
    default:
      st.start = 1, st.length = n;
      break;
  }
  if (st.start < 1 || st.start > n) st.start = 1;
  if (st.length <= 1) st.length = n - st.start + 1;
  return st;
}

void RunFourierDriver(AppState& s, UserInterface& ui) {
  StatusScope status(ui, Str(8020), false);
  const StrongRecord& rec = s.record;
  FourierData& f = s.series.fourier;
  f = FourierData();
  s.series.eas = EasData();
  const int32_t chans = rec.ChanCount;
  f.ChanCount = chans;
  if (!Computable(rec)) return;
  const Stretch st = FourierStretch(rec, s.calc, s.graph);
  const int32_t L = st.length, P = PaddedLength(L), NH = P / 2, half = NH / 2;
  f.Start = st.start;
  f.Length = L;
  f.NH = NH;
  f.Tp = static_cast<float>(P) / static_cast<float>(rec.SampFreq);
  f.DF = 1.0f / f.Tp;
  f.Re.Resize(NH, chans);
  f.Im.Resize(NH, chans);
  f.A.Resize(NH, chans);
  f.Pw.Resize(NH, chans);
  f.Rc.Resize(half, chans);
  f.R0.assign(static_cast<std::size_t>(chans), 0.0f);
  std::vector<float> power(static_cast<std::size_t>(NH)), c(static_cast<std::size_t>(half < 1 ? 1 : half)),
      sPart(c.size());
  const float width = s.calc.WindowWidth;
  for (int32_t ch = 1; ch <= chans; ++ch) {
    float* re = f.Re.Column(ch);
    float* im = f.Im.Column(ch);
    calc::FFTRI(&L, rec.Channel(ch) + (st.start - 1), re, im);
    for (int32_t k = 0; k < NH; ++k) {
      re[k] *= f.Tp;
      im[k] *= f.Tp;
      power[k] = re[k] * re[k] + im[k] * im[k];
    }
    float* a = f.A.Column(ch);
    float* pw = f.Pw.Column(ch);
    if (s.calc.FourierSmoothing == kSmoothKonno) {
      // Konno-Ohmachi smooths the amplitude, as it is used; the power follows from it.
      for (int32_t k = 0; k < NH; ++k) a[k] = std::sqrt(std::fmax(power[k], 0.0f));
      Smooth(s.calc, NH, f.DF, a);
      for (int32_t k = 0; k < NH; ++k) pw[k] = a[k] * a[k] / f.Tp;
    } else {
      if (width > 0) calc::PARZEN(&NH, &f.DF, &width, power.data());
      for (int32_t k = 0; k < NH; ++k) {
        a[k] = std::sqrt(std::fmax(power[k], 0.0f));
        pw[k] = power[k] / f.Tp;
      }
    }
    if (half >= 1) {
      calc::FFTRI(&NH, pw, c.data(), sPart.data());
      const float r0 = c[0];
      f.R0[ch - 1] = r0;
      float* rc = f.Rc.Column(ch);
      if (r0 != 0)
        for (int32_t m = 0; m < half; ++m) rc[m] = c[m] / r0;
    }
    ui.Yield();
  }
  ComputeEas(s);
}

int32_t ResponseStepsPerPeriod(const CalcParams& calc) {
  return calc.RespPeaksBetweenSamples ? kRespStepsPerPeriod : 0;
}

std::vector<float> ResponsePeriods(const CalcParams& calc, const GraphSettings& graph) {
  const int32_t np = calc.RespSteps < 2 ? 100 : calc.RespSteps;
  std::vector<float> t(static_cast<std::size_t>(np));
  const AxisSettings& axis = graph.Axis[AxisPeriod];
  if (axis.Log && axis.Min > 0 && axis.Max > axis.Min &&
      calc::LOGPRD(&axis.Min, &axis.Max, &np, t.data()) == 1)
    return t;
  for (int32_t k = 1; k <= np; ++k) t[k - 1] = static_cast<float>(static_cast<double>(axis.Max) * k / np);
  return t;
}

Stretch ResponseStretch(const StrongRecord& rec, const CalcParams& calc) {
  const double fs = rec.SampFreq;
  Stretch st;
  st.start = RoundToLong(calc.RespStart * fs + 1);
  if (st.start < 1 || st.start >= rec.DataCount) st.start = 1;
  st.length = rec.DataCount - st.start + 1;
  const int32_t wanted = RoundToLong(calc.RespLength * fs);
  if (wanted > 1 && wanted < st.length) st.length = wanted;
  return st;
}

void RunResponseDriver(AppState& s, UserInterface& ui) {
  StatusScope status(ui, Str(8030), false);
  const StrongRecord& rec = s.record;
  ResponseData& r = s.series.response;
  const std::vector<float> periods = ResponsePeriods(s.calc, s.graph);
  const int32_t np = static_cast<int32_t>(periods.size()), chans = Computable(rec) ? rec.ChanCount : 0;
  r.Resize(chans, np);
  r.T = periods;
  r.Damping = s.calc.RespDamping;
  if (chans == 0) return;
  const Stretch st = ResponseStretch(rec, s.calc);
  r.Start = st.start;
  r.Length = st.length;
  const float h = s.calc.RespDamping * 0.01f;
  const float dt = 1.0f / static_cast<float>(rec.SampFreq);
  std::vector<float> sd(np), sv(np), sa(np), ve(np);
  for (int32_t ch = 1; ch <= chans; ++ch) {
    const float* acc = rec.Channel(ch) + (st.start - 1);
    if (s.calc.RespPeaksBetweenSamples)
      calc::RESPECSUB(&np, periods.data(), &h, &st.length, &dt, acc, sd.data(), sv.data(), sa.data(),
                      ve.data(), &kRespStepsPerPeriod);
    else
      calc::RESPEC2(&np, periods.data(), &h, &st.length, &dt, acc, sd.data(), sv.data(), sa.data(),
                    ve.data());
    const float scale = s.calc.RespNormalize ? SafeRatio(1.0f, std::fabs(rec.Peak(ch))) : 1.0f;
    for (int32_t k = 1; k <= np; ++k) {
      const float psv = sa[k - 1] * periods[k - 1] / 6.2831855f;
      r.R(RespSA, ch, k) = sa[k - 1] * scale;
      r.R(RespSV, ch, k) = sv[k - 1] * scale;
      r.R(RespSD, ch, k) = sd[k - 1] * scale;
      r.R(RespPSV, ch, k) = psv * scale;
      r.R(RespVE, ch, k) = ve[k - 1];
    }
    ui.Yield();
  }
}

void RunRelationDriver(AppState& s, UserInterface& ui) {
  StatusScope status(ui, Str(8040), false);
  const FourierData& f = s.series.fourier;
  const ResponseData& resp = s.series.response;
  RelationData& rel = s.series.relation;
  rel.Pairs.clear();
  const int32_t NH = f.NH, M = NH / 2;
  if (NH < 1 || f.ChanCount != s.record.ChanCount) return;
  const float width = s.calc.WindowWidth;
  std::vector<float> co(NH), q(NH), cc(M < 1 ? 1 : M), ccIm(cc.size()), sqRe(cc.size()), sqIm(cc.size());
  for (auto [x, y] : ValidPairs(s)) {
    RelationPair p;
    p.X = x;
    p.Y = y;
    p.CrossAmp.assign(NH, 0.0f);
    const float *a = f.Re.Column(x), *b = f.Im.Column(x), *c = f.Re.Column(y), *d = f.Im.Column(y);
    for (int32_t k = 0; k < NH; ++k) {
      co[k] = (a[k] * c[k] + b[k] * d[k]) / f.Tp;
      q[k] = (b[k] * c[k] - a[k] * d[k]) / f.Tp;
      p.CrossAmp[k] = std::sqrt(co[k] * co[k] + q[k] * q[k]);
    }
    if (width > 0 || s.calc.FourierSmoothing == kSmoothKonno) {
      Smooth(s.calc, NH, f.DF, co.data());
      Smooth(s.calc, NH, f.DF, q.data());
      Smooth(s.calc, NH, f.DF, p.CrossAmp.data());
    }
    p.Phase.assign(NH, 0.0f);
    calc::REIMPH(&NH, co.data(), q.data(), p.Phase.data());
    p.Ratio.assign(NH, 0.0f);
    p.Coherence.assign(NH, 0.0f);
    const float *ax = f.A.Column(x), *ay = f.A.Column(y), *px = f.Pw.Column(x), *py = f.Pw.Column(y);
    for (int32_t k = 0; k < NH; ++k) {
      p.Phase[k] = static_cast<float>(p.Phase[k] * 180.0 / 3.1415927f);
      p.Ratio[k] = SafeRatio(ay[k], ax[k]);
      p.Coherence[k] = SafeRatio(p.CrossAmp[k] * p.CrossAmp[k], px[k] * py[k]);
    }
    // Two-sided cross-correlation from the cosine and sine sums of the co- and quad-spectra.
    p.CrossCorr.assign(static_cast<std::size_t>(2 * M), 0.0f);
    if (M >= 1) {
      calc::FFTRI(&NH, co.data(), cc.data(), ccIm.data());
      calc::FFTRI(&NH, q.data(), sqRe.data(), sqIm.data());
      const float norm = std::sqrt(f.R0[x - 1] * f.R0[y - 1]);
      p.CrossCorr[M] = SafeRatio(cc[0], norm);
      for (int32_t j = 1; j <= M - 1; ++j) {
        const float sq = -sqIm[j];
        p.CrossCorr[M + j] = SafeRatio(cc[j] + sq, norm);
        p.CrossCorr[M - j] = SafeRatio(cc[j] - sq, norm);
      }
    }
    p.RespRatio.assign(resp.NP, 0.0f);
    if (resp.ChanCount == s.record.ChanCount)
      for (int32_t k = 1; k <= resp.NP; ++k)
        p.RespRatio[k - 1] = SafeRatio(resp.R(RespSA, y, k), resp.R(RespSA, x, k));
    rel.Pairs.push_back(std::move(p));
    ui.Yield();
  }
}

void RunAnalysisDrivers(AppState& s, int32_t& pending, UserInterface& ui, int32_t needed) {
  ComputedSeries& cs = s.series;
  if (s.record.ChanCount < 1) return;
  auto done = [&](int32_t bit, bool& valid) {
    valid = true;
    pending &= ~bit;
    s.calc.RecalcFlags &= ~bit;
  };
  if (needed & RecalcRelations) needed |= RecalcFourier | RecalcResponse;
  if ((needed & RecalcIntegration) && ((pending & RecalcIntegration) || !cs.motionValid)) {
    RunIntegrationDriver(s, ui);
    done(RecalcIntegration, cs.motionValid);
  }
  if ((needed & RecalcFourier) && ((pending & RecalcFourier) || !cs.fourierValid)) {
    RunFourierDriver(s, ui);
    done(RecalcFourier, cs.fourierValid);
    cs.relationValid = false;  // relations are built on these spectra
  }
  if ((needed & RecalcResponse) && ((pending & RecalcResponse) || !cs.responseValid)) {
    RunResponseDriver(s, ui);
    done(RecalcResponse, cs.responseValid);
    cs.relationValid = false;
  }
  if ((needed & RecalcRelations) && ((pending & RecalcRelations) || !cs.relationValid)) {
    RunRelationDriver(s, ui);
    done(RecalcRelations, cs.relationValid);
  }
  if ((needed & RecalcDuctility) && ((pending & RecalcDuctility) || !cs.ductilityValid)) {
    RunDuctilityDriver(s, ui);
    done(RecalcDuctility, cs.ductilityValid);
  }
}

}  // namespace sism
