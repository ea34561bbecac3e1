#include "analysis/motion_measures.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "common/text.h"

#include "sismcalc/binding/calc.h"

namespace sism {

namespace {

void RmsPair(const float* x, int32_t n, int32_t i1, int32_t i2, float& whole, float& window) {
  if (!x) return;
  const int32_t one = 1;
  whole = calc::RMSAT(&one, &n, x);
  window = i1 >= 1 && i2 >= i1 ? calc::RMSAT(&i1, &i2, x) : 0.0f;
}

constexpr std::array<MeasureField, 26> kFields = {{
    {"PGA_time", "s", &ChannelMeasures::tPga},
    {"PGV_time", "s", &ChannelMeasures::tPgv},
    {"PGD_time", "s", &ChannelMeasures::tPgd},
    {"Arms", "cm/s/s", &ChannelMeasures::aRms},
    {"Vrms", "cm/s", &ChannelMeasures::vRms},
    {"Drms", "cm", &ChannelMeasures::dRms},
    {"Arms_5-95", "cm/s/s", &ChannelMeasures::aRms595},
    {"Vrms_5-95", "cm/s", &ChannelMeasures::vRms595},
    {"Drms_5-95", "cm", &ChannelMeasures::dRms595},
    {"Ic", "(cm/s/s)^1.5 s^0.5", &ChannelMeasures::ic},
    {"SED", "cm^2/s", &ChannelMeasures::sed},
    {"CAV5", "cm/s", &ChannelMeasures::cav5},
    {"CAVstd", "cm/s", &ChannelMeasures::cavStd},
    {"ASI", "cm/s", &ChannelMeasures::asi},
    {"VSI", "cm", &ChannelMeasures::vsi},
    {"HI", "cm", &ChannelMeasures::housner},
    {"SMA", "cm/s/s", &ChannelMeasures::sma},
    {"SMV", "cm/s", &ChannelMeasures::smv},
    {"EDA", "cm/s/s", &ChannelMeasures::eda},
    {"A95", "cm/s/s", &ChannelMeasures::a95},
    {"Tp", "s", &ChannelMeasures::tp},
    {"Tm", "s", &ChannelMeasures::tm},
    {"Db(0.05g)", "s", &ChannelMeasures::bracketed},
    {"Db(L)", "s", &ChannelMeasures::bracketedLevel, true},
    {"Du(0.05g)", "s", &ChannelMeasures::uniform},
    {"Du(L)", "s", &ChannelMeasures::uniformLevel, true},
}};

}  // namespace

std::span<const MeasureField> ChannelMeasureFields() {
  return kFields;
}

std::string MeasureKey(const MeasureField& f, float level) {
  return f.atLevel ? ReplaceAll(f.key, "L", NumberText(level)) : f.key;
}

ChannelMeasures MeasureChannel(const float* acc, const float* vel, const float* disp, int32_t n, float dt,
                               float level) {
  ChannelMeasures m;
  if (n < 2 || !(dt > 0)) return m;
  const float f5 = 0.05f, f95 = 0.95f, five = 5.0f, g005 = 0.05f * kGravityGal, fc = 9.0f, h = 0.05f;
  int32_t i1 = 0, i2 = 0;
  if (calc::SIGWIN(&n, acc, &f5, &f95, &i1, &i2) != 1) i1 = i2 = 0;
  RmsPair(acc, n, i1, i2, m.aRms, m.aRms595);
  RmsPair(vel, n, i1, i2, m.vRms, m.vRms595);
  RmsPair(disp, n, i1, i2, m.dRms, m.dRms595);
  m.ic = calc::CHARINT(&n, &dt, acc);
  m.cav5 = calc::CAVTHR(&n, &dt, acc, &five);
  m.cavStd = calc::CAVSTD(&n, &dt, acc);
  calc::SPECMEAS(&h, &n, &dt, acc, &m.asi, &m.vsi, &m.housner, &m.tp);
  m.sma = calc::SUSTMAX(&n, acc);
  m.eda = calc::EDA(&n, &dt, acc, &fc);
  m.a95 = calc::A95(&n, acc);
  m.tm = calc::MEANPRD(&n, &dt, acc);
  m.bracketed = calc::BRACKDUR(&n, &dt, acc, &g005);
  m.uniform = calc::UNIFDUR(&n, &dt, acc, &g005);
  if (level > 0) {
    m.bracketedLevel = calc::BRACKDUR(&n, &dt, acc, &level);
    m.uniformLevel = calc::UNIFDUR(&n, &dt, acc, &level);
  }
  m.tPga = calc::PEAKTIME(&n, &dt, acc);
  if (vel) {
    m.sed = calc::SEDENS(&n, &dt, vel);
    m.smv = calc::SUSTMAX(&n, vel);
    m.tPgv = calc::PEAKTIME(&n, &dt, vel);
  }
  if (disp) m.tPgd = calc::PEAKTIME(&n, &dt, disp);
  return m;
}

PairMeasures MeasurePair(const float* x, const float* y, const float* vx, const float* vy, int32_t n, float dt) {
  PairMeasures p;
  if (n < 2 || !(dt > 0)) return p;
  // Period 0 rotates the ground motion itself.
  const int32_t np = 1, npct = 1, nstep = 0;
  const float t0 = 0, h = 0.05f, pct = 50;
  float rotd = 0;
  if (calc::ROTDSPEC(&np, &t0, &h, &n, &dt, x, y, &npct, &pct, &rotd, nullptr, nullptr, &nstep) == 1)
    p.rotd50Pga = rotd;
  if (vx && vy && calc::ROTDSPEC(&np, &t0, &h, &n, &dt, vx, vy, &npct, &pct, &rotd, nullptr, nullptr, &nstep) == 1)
    p.rotd50Pgv = rotd;
  if (calc::LPGMCLASS(&n, &dt, x, y, vx, vy, &p.svaMax, &p.lpgmClass) != 1) p.svaMax = 0, p.lpgmClass = 0;
  return p;
}

const std::vector<float>& StandardDuctilities() {
  static const std::vector<float> mu = {1.5f, 2.0f, 4.0f, 6.0f, 8.0f};
  return mu;
}

DuctilitySpectra ComputeDuctilitySpectra(const float* acc, int32_t n, float dt, const std::vector<float>& periods,
                                         const std::vector<float>& ductilities, float dampingPercent, float alpha) {
  return ComputeDuctilitySpectra(std::vector<const float*>{acc}, n, dt, periods, ductilities, dampingPercent,
                                 alpha)[0];
}

std::vector<DuctilitySpectra> ComputeDuctilitySpectra(const std::vector<const float*>& accs, int32_t n, float dt,
                                                      const std::vector<float>& periods,
                                                      const std::vector<float>& ductilities, float dampingPercent,
                                                      float alpha) {
  DuctilitySpectra s;
  s.periods = periods;
  s.ductilities = ductilities;
  s.dampingPercent = dampingPercent;
  s.alpha = alpha;
  const std::size_t cells = periods.size() * ductilities.size();
  s.r.assign(cells, 0.0f);
  s.say = s.sdm = s.sdy = s.r;
  std::vector<DuctilitySpectra> all(accs.size(), s);
  if (cells == 0 || n < 2 || accs.empty()) return all;
  const auto np = static_cast<int32_t>(periods.size()), nmu = static_cast<int32_t>(ductilities.size());
  const auto nch = static_cast<int32_t>(accs.size());
  const auto ns = static_cast<std::size_t>(n);
  std::vector<float> acc(ns * accs.size()), r(cells * accs.size()), say(r.size()), sdm(r.size()), sdy(r.size());
  for (std::size_t c = 0; c < accs.size(); ++c)
    std::copy(accs[c], accs[c] + ns, acc.begin() + static_cast<std::ptrdiff_t>(c * ns));
  const float h = dampingPercent / 100;
  if (calc::CDSPECN(&nch, &np, periods.data(), &h, &alpha, &nmu, ductilities.data(), &n, &dt, acc.data(), r.data(),
                    say.data(), sdm.data(), sdy.data()) != 1)
    return all;
  for (std::size_t c = 0; c < accs.size(); ++c) {
    const auto from = static_cast<std::ptrdiff_t>(c * cells), to = from + static_cast<std::ptrdiff_t>(cells);
    all[c].r.assign(r.begin() + from, r.begin() + to);
    all[c].say.assign(say.begin() + from, say.begin() + to);
    all[c].sdm.assign(sdm.begin() + from, sdm.begin() + to);
    all[c].sdy.assign(sdy.begin() + from, sdy.begin() + to);
    all[c].valid = true;
  }
  return all;
}

}  // namespace sism
