#include "state/graph_kinds.h"

#include <algorithm>
#include <array>

#include "common/strings.h"
#include "common/text.h"

namespace sism {

namespace {

constexpr int32_t kRelationNeeds = RecalcFourier | RecalcResponse | RecalcRelations;

GraphKindInfo Motion(GraphKindId id, int32_t motion, int32_t axis, int32_t needs, const char* peakFormat,
                     const char* exportFormat, const char* menu, int32_t text, const char* key) {
  GraphKindInfo k;
  k.id = id;
  k.page = PageForm::Wave;
  k.source = SeriesSource::Motion;
  k.domain = IndexDomain::Samples;
  k.xAxis = AxisTime;
  k.valueAxis = axis;
  k.needs = needs;
  k.motion = motion;
  k.exports = true;
  k.timeAxis = TimeAxisRule::Always;
  k.peaks = PeakSearch::Peak;
  k.peakFormat = peakFormat;
  k.peakUnit = true;
  k.peakPositionAxis = AxisTime;
  k.exportFormat = exportFormat;
  k.menuName = menu;
  k.menuText = text;
  k.toolKey = key;
  return k;
}

GraphKindInfo Spectral(GraphKindId id, SeriesSource source, IndexDomain domain, int32_t xAxis,
                       int32_t axis, int32_t needs, PeakSearch peaks, const char* menu, int32_t text,
                       const char* key = nullptr) {
  GraphKindInfo k;
  k.id = id;
  k.page = PageForm::Spectrum;
  k.source = source;
  k.domain = domain;
  k.xAxis = xAxis;
  k.valueAxis = axis;
  k.needs = needs;
  k.exports = true;
  k.timeAxis = xAxis == AxisPeriod ? TimeAxisRule::Never : TimeAxisRule::FourierWindow;
  k.peaks = peaks;
  k.peakUnit = true;
  k.peakPositionAxis = xAxis;
  k.menuName = menu;
  k.menuText = text;
  k.toolKey = key;
  return k;
}

GraphKindInfo Response(GraphKindId id, int32_t quantity, int32_t axis, const char* peakFormat,
                       const char* menu, int32_t text, const char* key = nullptr) {
  GraphKindInfo k = Spectral(id, SeriesSource::Response, IndexDomain::Period, AxisPeriod, axis, RecalcResponse,
                             PeakSearch::Max, menu, text, key);
  k.quantity = quantity;
  k.peakFormat = peakFormat;
  return k;
}

GraphKindInfo Orbit(GraphKindId id, int32_t motion, int32_t axis, int32_t needs, const char* peakFormat,
                    const char* menu, int32_t text, const char* key = nullptr) {
  GraphKindInfo k;
  k.id = id;
  k.page = PageForm::Orbit;
  k.source = SeriesSource::Orbit;
  k.domain = IndexDomain::Samples;
  k.valueAxis = axis;
  k.needs = needs;
  k.motion = motion;
  k.timeAxis = TimeAxisRule::OrbitWindow;
  k.peaks = PeakSearch::Orbit;
  k.peakFormat = peakFormat;
  k.peakUnit = true;
  k.peakPositionAxis = AxisTime;
  k.menuName = menu;
  k.menuText = text;
  k.toolKey = key;
  return k;
}

GraphKindInfo Relation(GraphKindId id, IndexDomain domain, int32_t xAxis, int32_t axis, PeakSearch peaks,
                       const char* join, const char* menu, int32_t text, const char* key = nullptr) {
  GraphKindInfo k = Spectral(id, SeriesSource::Relation, domain, xAxis, axis, kRelationNeeds, peaks, menu, text, key);
  k.pairJoin = join;
  return k;
}

std::array<GraphKindInfo, kGraphKindCount + 1> BuildTable() {
  std::array<GraphKindInfo, kGraphKindCount + 1> t{};
  t[KindAcc] = Motion(KindAcc, 1, AxisAcc, 0, "0.0", "0.000", "mnuViewAcc", 1510, "acc");
  t[KindVel] = Motion(KindVel, 2, AxisVel, RecalcIntegration, "0.00", "0.0000", "mnuViewVel", 1520, "vel");
  t[KindDisp] = Motion(KindDisp, 3, AxisDisp, RecalcIntegration, "0.000", "0.00000", "mnuViewDisp", 1530, "disp");

  t[KindFourier] = Spectral(KindFourier, SeriesSource::Fourier, IndexDomain::Frequency, AxisFrequency, AxisFourier,
                            RecalcFourier, PeakSearch::Max, "mnuViewFour", 1540, "four");
  t[KindPower] = Spectral(KindPower, SeriesSource::Fourier, IndexDomain::Frequency, AxisFrequency, AxisPower,
                          RecalcFourier, PeakSearch::Max, "mnuViewPow", 1550, "pow");
  t[KindAutoCorrelation] = Spectral(KindAutoCorrelation, SeriesSource::AutoCorr, IndexDomain::HalfLag, AxisTimeLag,
                                    AxisCorrelation, RecalcFourier, PeakSearch::None, "mnuViewAuto", 1560, "auto");
  t[KindAutoCorrelation].exportUnit = false;

  t[KindSa] = Response(KindSa, RespSA, AxisAccResponse, "0.0", "mnuViewRespSa", 1571);
  t[KindSa].normalizedAxis = AxisNormalizedSa;
  t[KindSa].normalizedPeakFormat = "0.00";
  t[KindSv] = Response(KindSv, RespSV, AxisVelResponse, "0.00", "mnuViewRespSv", 1572);
  t[KindSd] = Response(KindSd, RespSD, AxisDispResponse, "0.000", "mnuViewRespSd", 1573);
  t[KindPSv] = Response(KindPSv, RespPSV, AxisPseudoVelResponse, "0.00", "mnuViewRespTrip", 1574, "resp");
  t[KindPSv].normalizedAxis = AxisNormalizedPSv;
  t[KindPSv].normalizedPeakFormat = "0.000";
  t[KindEnergy] = Response(KindEnergy, RespVE, AxisEnergy, "0.00", "mnuViewRespVe", 1575);
  // Titles 22 to 25 replace those of Sa to pSv when the spectra are normalised.
  for (int32_t k = KindSa; k <= KindPSv; ++k) t[static_cast<std::size_t>(k)].normalizedTitle = k + 15;

  t[KindAccOrbit] = Orbit(KindAccOrbit, 1, AxisAcc, 0, "0.0", "mnuViewOrbitAcc", 1581);
  t[KindVelOrbit] = Orbit(KindVelOrbit, 2, AxisVel, RecalcIntegration, "0.00", "mnuViewOrbitVel", 1582);
  t[KindDispOrbit] =
      Orbit(KindDispOrbit, 3, AxisDisp, RecalcIntegration, "0.000", "mnuViewOrbitDisp", 1583, "orbit");

  t[KindSpectralRatio] = Relation(KindSpectralRatio, IndexDomain::Frequency, AxisFrequency, AxisSpectralRatio,
                                  PeakSearch::Max, "/", "mnuViewRelFourRatio", 1585, "rel");
  t[KindSpectralRatio].peakUnit = false;
  t[KindSpectralRatio].pairYFirst = true;
  t[KindPhaseDifference] = Relation(KindPhaseDifference, IndexDomain::Frequency, AxisFrequency, AxisPhase,
                                    PeakSearch::None, "-", "mnuViewRelPhase", 1586);
  t[KindCrossSpectrum] = Relation(KindCrossSpectrum, IndexDomain::Frequency, AxisFrequency, AxisCrossSpectrum,
                                  PeakSearch::Max, "*", "mnuViewRelCrossS", 1587);
  t[KindCrossCorrelation] = Relation(KindCrossCorrelation, IndexDomain::SymmetricLag, AxisTimeLag,
                                     AxisCorrelation, PeakSearch::Peak, "*", "mnuViewRelCrossC", 1588);
  t[KindCrossCorrelation].peakUnit = false;
  t[KindCrossCorrelation].peakPositionAxis = 0;
  t[KindCrossCorrelation].exportUnit = false;
  t[KindCoherence] = Relation(KindCoherence, IndexDomain::Frequency, AxisFrequency, AxisCoherence,
                              PeakSearch::None, "*", "mnuViewRelCoh", 1589);
  t[KindCoherence].exportUnit = false;
  t[KindResponseRatio] = Relation(KindResponseRatio, IndexDomain::Period, AxisPeriod, AxisResponseRatio,
                                  PeakSearch::Max, "/", "mnuViewRelRespRatio", 1590);
  t[KindResponseRatio].peakUnit = false;
  t[KindResponseRatio].pairYFirst = true;

  // Drawn from the processing run kept in the state, not from computed series.
  t[KindSnr] = Spectral(KindSnr, SeriesSource::None, IndexDomain::None, AxisFrequency, AxisFourier, 0,
                        PeakSearch::None, "mnuViewSnr", 1594);
  t[KindSnr].exports = false;
  t[KindSnr].timeAxis = TimeAxisRule::Never;
  t[KindSnr].peakUnit = false;

  // Over the response periods but with their own ductilities, damping and quantity.
  t[KindDuctility] = Spectral(KindDuctility, SeriesSource::Ductility, IndexDomain::Listed, AxisPeriod,
                              AxisResponseRatio, RecalcDuctility, PeakSearch::Max, "mnuViewRespDuct", 1595);
  t[KindDuctility].peakFormat = "0.00";
  t[KindEas] = Spectral(KindEas, SeriesSource::Eas, IndexDomain::Listed, AxisFrequency, AxisFourier, RecalcFourier,
                        PeakSearch::Max, "mnuViewEas", 1596);
  t[KindEas].peakFormat = "0.000";

  GraphKindInfo& r = t[KindReport];
  r.id = KindReport;
  r.page = PageForm::Report;
  r.needs = 0;  // what its entries show (SeriesNeeds under the settings)
  r.toolKey = "rep";
  return t;
}

const std::array<GraphKindInfo, kGraphKindCount + 1>& Table() {
  static const std::array<GraphKindInfo, kGraphKindCount + 1> table = BuildTable();
  return table;
}

// A column of a matrix, or nothing when the channel was not computed.
KindSeries Column(const SeriesMatrix& m, int32_t ch) {
  KindSeries s{ch};
  if (ch >= 1 && ch <= m.Cols() && m.Rows() > 0) {
    s.data = m.Column(ch);
    s.count = m.Rows();
  }
  return s;
}

KindSeries MotionSeries(const AppState& app, int32_t motion, int32_t ch) {
  if (motion == 1) {
    const StrongRecord& rec = app.record;
    KindSeries s{ch};
    s.count = std::min(rec.DataCount, rec.DataCapacity());
    if (ch >= 1 && ch <= rec.AccChannels()) s.data = rec.Channel(ch);
    return s;
  }
  const MotionData& m = app.series.motion;
  KindSeries s = Column(motion == 2 ? m.V : m.D, ch);
  s.count = (motion == 2 ? m.V : m.D).Rows();
  return s;
}

const std::vector<float>* RelationValues(const RelationPair& p, int32_t kind) {
  switch (kind) {
    case KindSpectralRatio:
      return &p.Ratio;
    case KindPhaseDifference:
      return &p.Phase;
    case KindCrossSpectrum:
      return &p.CrossAmp;
    case KindCrossCorrelation:
      return &p.CrossCorr;
    case KindCoherence:
      return &p.Coherence;
    case KindResponseRatio:
      return &p.RespRatio;
    default:
      return nullptr;
  }
}

}  // namespace

const GraphKindInfo& KindInfo(int32_t kind) {
  return Table()[static_cast<std::size_t>(IsGraphKind(kind) ? kind : 0)];
}

std::span<const GraphKindInfo> GraphKinds() {
  return std::span<const GraphKindInfo>(Table()).subspan(1);
}

bool IsGraphKind(int32_t kind) {
  return kind >= 1 && kind <= kGraphKindCount;
}

bool ExportableKind(int32_t kind) {
  return KindInfo(kind).exports;
}

bool IsRelationKind(int32_t kind) {
  return KindInfo(kind).source == SeriesSource::Relation;
}

std::string PairText(int32_t kind, const std::string& xLabel, const std::string& yLabel) {
  const GraphKindInfo& k = KindInfo(kind);
  return k.pairYFirst ? yLabel + k.pairJoin + xLabel : xLabel + k.pairJoin + yLabel;
}

PageForm PageFormOf(int32_t kind) {
  return KindInfo(kind).page;
}

int32_t SeriesNeeds(int32_t kind) {
  return KindInfo(kind).needs;
}

int32_t SeriesNeeds(const AppState& app, int32_t kind) {
  if (kind != KindReport) return SeriesNeeds(kind);
  const GraphSettings& gs = app.graph;
  int32_t needs = 0;
  const auto count = std::min<std::size_t>(static_cast<std::size_t>(std::max(gs.RepGraphCount, 0)) + 1,
                                           gs.RepGraph.size());
  for (std::size_t e = 1; e < count; ++e) {
    const int32_t type = gs.RepGraph[e].Type;
    // Relations are never drawn on a report; orbits' integration is kept for their pages.
    if ((type >= KindAcc && type <= KindDispOrbit) || type == KindDuctility || type == KindEas)
      needs |= SeriesNeeds(type);
  }
  return needs;
}

int32_t ValueAxisOf(const AppState& app, int32_t kind) {
  const GraphKindInfo& k = KindInfo(kind);
  if (kind == KindDuctility) {
    switch (app.calc.DuctilityQuantity) {
      case DuctSa:
        return AxisAccResponse;
      case DuctSd:
      case DuctSdYield:
        return AxisDispResponse;
      default:
        return AxisResponseRatio;
    }
  }
  return app.calc.RespNormalize && k.normalizedAxis != 0 ? k.normalizedAxis : k.valueAxis;
}

const char* PeakFormatOf(const AppState& app, int32_t kind) {
  const GraphKindInfo& k = KindInfo(kind);
  return app.calc.RespNormalize && k.normalizedPeakFormat != nullptr ? k.normalizedPeakFormat : k.peakFormat;
}

std::string KindTitleTemplate(const AppState& app, int32_t kind) {
  // Stored titles past the report's are the normalised spectra's; kinds after it go by name.
  if (kind > KindReport) return IsGraphKind(kind) ? KindName(kind) : std::string();
  if (kind < 1) return {};
  const int32_t normalized = KindInfo(kind).normalizedTitle;
  if (app.calc.RespNormalize && normalized != 0) return app.graph.GraphTitle[static_cast<std::size_t>(normalized)];
  return app.graph.GraphTitle[static_cast<std::size_t>(kind)];
}

bool FollowsTimeAxis(const AppState& app, int32_t kind) {
  switch (KindInfo(kind).timeAxis) {
    case TimeAxisRule::Always:
      return true;
    case TimeAxisRule::FourierWindow:
      return app.calc.FourDurationType == 1;
    case TimeAxisRule::OrbitWindow:
      return app.graph.OrbitTime == 1;
    case TimeAxisRule::Never:
      return false;
  }
  return false;
}

std::string KindName(int32_t kind) {
  return Str(7100 + kind);
}

std::string KindStatusText(const AppState& app, int32_t kind) {
  std::string text = KindName(kind);
  const std::string& note = app.series.motion.BaselineNote;
  if (!note.empty() && app.series.motionValid && (SeriesNeeds(app, kind) & RecalcIntegration))
    text += " - " + note;
  // What the reader filled or cut stays in view whichever graph is shown.
  if (!app.record.ReadNote.empty()) text += " - " + app.record.ReadNote;
  return text;
}

const std::vector<float>* ListedAxis(const AppState& app, int32_t kind) {
  if (kind == KindDuctility) return &app.series.ductility.T;
  if (kind == KindEas) return &app.series.eas.F;
  return nullptr;
}

std::string CurveSuffix(const AppState& app, const KindSeries& s) {
  const std::vector<float>& mu = app.series.ductility.Mu;
  if (s.curve < 1 || static_cast<std::size_t>(s.curve) > mu.size()) return {};
  return " mu=" + NumberText(mu[static_cast<std::size_t>(s.curve - 1)]);
}

std::string DuctilityQuantityName(int32_t quantity) {
  return quantity >= 0 && quantity < kDuctilityQuantities ? Str(7640 + quantity) : std::string();
}

std::vector<KindSeries> SeriesOfKind(const AppState& app, int32_t kind, std::span<const int32_t> channels) {
  const GraphKindInfo& k = KindInfo(kind);
  const ComputedSeries& cs = app.series;
  std::vector<KindSeries> list;
  switch (k.source) {
    case SeriesSource::None:
      break;
    case SeriesSource::Motion:
      for (int32_t ch : channels) list.push_back(MotionSeries(app, k.motion, ch));
      break;
    case SeriesSource::Fourier:
      for (int32_t ch : channels) list.push_back(Column(kind == KindFourier ? cs.fourier.A : cs.fourier.Pw, ch));
      break;
    case SeriesSource::AutoCorr:
      for (int32_t ch : channels) list.push_back(Column(cs.fourier.Rc, ch));
      break;
    case SeriesSource::Response:
      for (int32_t ch : channels) {
        KindSeries s{ch};
        if (ch >= 1 && ch <= cs.response.ChanCount && cs.response.NP > 0) {
          s.data = cs.response.Series(k.quantity, ch);
          s.count = cs.response.NP;
        }
        list.push_back(s);
      }
      break;
    case SeriesSource::Orbit: {
      const int32_t x = app.graph.OrbitComp1, y = app.graph.OrbitComp2;
      if (x < 1 || y < 1 || x > app.record.ChanCount || y > app.record.ChanCount) break;
      KindSeries s = MotionSeries(app, k.motion, x);
      const KindSeries o = MotionSeries(app, k.motion, y);
      s.other = y;
      s.otherData = o.data;
      s.count = std::min(s.count, o.count);
      list.push_back(s);
      break;
    }
    case SeriesSource::Relation:
      for (const RelationPair& p : cs.relation.Pairs) {
        KindSeries s{p.X, p.Y};
        const std::vector<float>* v = RelationValues(p, kind);
        if (v != nullptr && !v->empty()) {
          s.data = v->data();
          s.count = static_cast<int32_t>(v->size());
        }
        list.push_back(s);
      }
      break;
    case SeriesSource::Ductility: {
      const DuctilityData& d = cs.ductility;
      for (int32_t ch : channels)
        for (std::size_t j = 0; j < d.Mu.size(); ++j) {
          KindSeries s{ch};
          s.curve = static_cast<int32_t>(j) + 1;
          s.data = d.Series(app.calc.DuctilityQuantity, ch, j);
          if (s.data != nullptr) s.count = static_cast<int32_t>(d.T.size());
          list.push_back(s);
        }
      break;
    }
    case SeriesSource::Eas:
      if (cs.eas.X >= 1 && !cs.eas.A.empty()) {
        KindSeries s{cs.eas.X, cs.eas.Y};
        s.data = cs.eas.A.data();
        s.count = static_cast<int32_t>(cs.eas.A.size());
        list.push_back(s);
      }
      break;
  }
  return list;
}

}  // namespace sism
