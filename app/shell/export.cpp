#include "app/shell/export.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "analysis/drivers.h"
#include "app/shell/properties_report.h"
#include "common/errors.h"
#include "common/files.h"
#include "common/strings.h"
#include "common/text.h"
#include "draw/draw_graph.h"
#include "record/ac.h"

namespace sism {

namespace {

// The layout of one kind: the x column, the rows, and the value of each column.
struct Layout {
  int32_t xAxis = 0;
  const char* xFormat = "0.000";
  int32_t width = 12;
  int32_t first = 1, last = 0;
  std::function<double(int32_t)> x;
  int32_t columns = 0;
  std::function<double(int32_t, int32_t)> value;  // (row, column 1..C)
  std::vector<std::string> labels;
};

int32_t ValueAxis(const AppState& app, int32_t kind) {
  const bool norm = app.calc.RespNormalize;
  switch (kind) {
    case 1:
      return AxisAcc;
    case 2:
      return AxisVel;
    case 3:
      return AxisDisp;
    case 4:
      return AxisFourier;
    case 5:
      return AxisPower;
    case 6:
    case 18:
      return AxisCorrelation;
    case 7:
      return norm ? AxisNormalizedSa : AxisAccResponse;
    case 8:
      return AxisVelResponse;
    case 9:
      return AxisDispResponse;
    case 10:
      return norm ? AxisNormalizedPSv : AxisPseudoVelResponse;
    case 11:
      return AxisEnergy;
    case 15:
      return AxisSpectralRatio;
    case 16:
      return AxisPhase;
    case 17:
      return AxisCrossSpectrum;
    case 19:
      return AxisCoherence;
    case 20:
      return AxisResponseRatio;
    default:
      return 0;
  }
}

std::string LabelAndUnit(const AxisSettings& a) {
  return a.Label + " " + a.Unit;
}

std::string ValueHeading(const AppState& app, int32_t kind) {
  const AxisSettings& a = app.graph.Axis[ValueAxis(app, kind)];
  return (kind == 6 || kind == 18 || kind == 19) ? a.Label : LabelAndUnit(a);
}

const char* ValueFormat(int32_t kind) {
  switch (kind) {
    case 1:
      return "0.000";
    case 2:
      return "0.0000";
    case 3:
      return "0.00000";
    default:
      return "0.0000e+00";
  }
}

const char* PairJoin(int32_t kind) {
  switch (kind) {
    case 15:
    case 20:
      return "/";
    case 16:
      return "-";
    default:
      return "*";
  }
}

// Whole part as the axis arithmetic takes it, in single precision like the stored axis.
int32_t IntOf(float v) {
  if (!std::isfinite(v)) return 0;
  const float f = std::floor(v);
  if (f > 2e9f) return 2000000000;
  if (f < -2e9f) return -2000000000;
  return static_cast<int32_t>(f);
}

// Frequency rows i0..i1 over the frequency axis, cut to NH.
void FrequencyRows(const AppState& app, Layout& l) {
  const FourierData& f = app.series.fourier;
  const AxisSettings& ax = app.graph.Axis[AxisFrequency];
  l.first = 1;
  l.last = 0;
  if (f.DF <= 0) return;
  if (ax.Log) l.first = std::max(1, IntOf(ax.Min / f.DF) + 2);
  l.last = std::min(IntOf(ax.Max / f.DF) - 1, f.NH);
  l.x = [df = f.DF](int32_t i) { return static_cast<double>(static_cast<float>(i - 1) * df); };
}

Layout MakeLayout(const AppState& app, int32_t kind) {
  Layout l;
  const StrongRecord& rec = app.record;
  const ComputedSeries& cs = app.series;
  const float fs = static_cast<float>(rec.SampFreq);
  std::vector<int32_t> chans;
  if (kind <= 11) {
    chans = ChannelsToDraw(app);
    l.columns = static_cast<int32_t>(chans.size());
    for (int32_t ch : chans) l.labels.push_back(DisplayLabel(app, ch));
  } else {
    l.columns = static_cast<int32_t>(cs.relation.Pairs.size());
    for (const RelationPair& p : cs.relation.Pairs)
      l.labels.push_back(DisplayLabel(app, p.X) + PairJoin(kind) + DisplayLabel(app, p.Y));
  }
  auto ch = [chans](int32_t c) { return chans[static_cast<std::size_t>(c - 1)]; };
  auto pair = [&cs](int32_t c) -> const RelationPair& {
    return cs.relation.Pairs[static_cast<std::size_t>(c - 1)];
  };
  // A vector element, 0 beyond its end.
  auto at = [](const std::vector<float>& v, int32_t i) -> double {
    return i >= 1 && static_cast<std::size_t>(i) <= v.size() ? v[static_cast<std::size_t>(i - 1)] : 0.0;
  };
  auto matrix = [ch](const SeriesMatrix& m) {
    return [&m, ch](int32_t i, int32_t c) -> double {
      return i >= 1 && i <= m.Rows() && ch(c) <= m.Cols() ? m(i, ch(c)) : 0.0;
    };
  };

  if (kind >= 1 && kind <= 3) {
    l.xAxis = AxisTime;
    l.xFormat = "0.000";
    l.width = 10;
    l.first = 1;
    l.last = fs > 0 ? std::min(rec.DataCount, rec.DataCapacity()) : 0;
    l.x = [fs](int32_t i) { return static_cast<double>(static_cast<float>(i - 1) / fs); };
    if (kind == 1)
      l.value = [&rec, ch](int32_t i, int32_t c) -> double { return rec.Acc(i, ch(c)); };
    else
      l.value = matrix(kind == 2 ? cs.motion.V : cs.motion.D);
    if (kind != 1) l.last = std::min(l.last, (kind == 2 ? cs.motion.V : cs.motion.D).Rows());
  } else if (kind == 4 || kind == 5 || kind == 15 || kind == 16 || kind == 17 || kind == 19) {
    l.xAxis = AxisFrequency;
    l.xFormat = "0.00000";
    FrequencyRows(app, l);
    if (kind == 4 || kind == 5) {
      l.value = matrix(kind == 4 ? cs.fourier.A : cs.fourier.Pw);
    } else {
      l.value = [pair, at, kind](int32_t i, int32_t c) {
        const RelationPair& p = pair(c);
        const std::vector<float>& v = kind == 15   ? p.Ratio
                                      : kind == 16 ? p.Phase
                                      : kind == 17 ? p.CrossAmp
                                                   : p.Coherence;
        return at(v, i);
      };
    }
  } else if (kind == 6 || kind == 18) {
    l.xAxis = AxisTimeLag;
    l.xFormat = "0.000";
    const int32_t M = cs.fourier.NH / 2;
    const float step = fs > 0 ? 2.0f / fs : 0.0f;
    const int32_t m = step > 0 ? IntOf(app.graph.Axis[AxisTimeLag].Max / step) : -1;
    if (kind == 6) {
      l.first = 1;
      l.last = std::min(m + 1, M);
      l.x = [step](int32_t i) { return static_cast<double>(static_cast<float>(i - 1) * step); };
      l.value = matrix(cs.fourier.Rc);
    } else {
      l.first = std::max(1, M - m + 1);
      l.last = std::min(cs.fourier.NH, M + m + 1);
      if (m < 0) l.last = 0;
      l.x = [step, M](int32_t i) { return static_cast<double>(static_cast<float>(i - M - 1) * step); };
      l.value = [pair, at](int32_t i, int32_t c) { return at(pair(c).CrossCorr, i); };
    }
  } else if ((kind >= 7 && kind <= 11) || kind == 20) {
    const ResponseData& r = cs.response;
    l.xAxis = AxisPeriod;
    l.xFormat = "0.00000";
    l.first = 1;
    l.last = std::min<int32_t>(r.NP, static_cast<int32_t>(r.T.size()));
    l.x = [&r](int32_t i) -> double { return r.T[static_cast<std::size_t>(i - 1)]; };
    if (kind == 20) {
      l.value = [pair, at](int32_t i, int32_t c) { return at(pair(c).RespRatio, i); };
    } else {
      const int32_t q = kind - 6;
      l.value = [&r, ch, q](int32_t i, int32_t c) -> double {
        return ch(c) <= r.ChanCount ? r.R(q, ch(c), i) : 0.0;
      };
    }
  }
  return l;
}

}  // namespace

bool ExportableKind(int32_t kind) {
  return (kind >= 1 && kind <= 11) || (kind >= 15 && kind <= 20);
}

int32_t SeriesNeeds(int32_t kind) {
  if (kind == 2 || kind == 3 || kind == 13 || kind == 14) return RecalcIntegration;
  if (kind >= 4 && kind <= 6) return RecalcFourier;
  if (kind >= 7 && kind <= 11) return RecalcResponse;
  if (kind >= 15 && kind <= 20) return RecalcFourier | RecalcResponse | RecalcRelations;
  return 0;
}

std::string ExportText(const AppState& app, int32_t kind, int32_t filterIndex, bool switchV) {
  if (!ExportableKind(kind)) return {};
  const Layout l = MakeLayout(app, kind);
  const bool fixed = filterIndex == ExportFixed;
  const std::string sep = filterIndex == ExportTab ? "\t" : fixed ? "" : ", ";
  const auto W = static_cast<std::size_t>(l.width);
  // A data cell: right-aligned in the field when fixed, longer texts whole.
  auto cell = [&](const std::string& s) {
    return fixed && s.size() < W ? std::string(W - s.size(), ' ') + s : s;
  };
  // A header cell: padded and cut to the field when fixed.
  auto head = [&](const std::string& s) { return fixed ? AlignRight(s, W) : s; };
  auto join = [&](const std::vector<std::string>& cells) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) line += (i > 0 ? sep : "") + cells[i];
    return line + std::string(kCrLf);
  };

  const StrongRecord& rec = app.record;
  std::string out = ExpandedKindTitle(app, kind) + " - " + rec.RecDate + " " + rec.RecTime + " " +
                    rec.SiteCode + ": " + rec.SiteName + std::string(kCrLf);
  const int32_t rows = std::max(0, l.last - l.first + 1);
  const std::string xHeading = LabelAndUnit(app.graph.Axis[l.xAxis]);
  if (switchV) {
    out += join({cell(std::to_string(l.columns)), cell(std::to_string(rows))});
    out += xHeading + std::string(kCrLf);
    out += ValueHeading(app, kind) + std::string(kCrLf);
  }
  std::vector<std::string> cells{head(switchV ? std::string() : xHeading)};
  for (const std::string& label : l.labels) cells.push_back(head(label));
  out += join(cells);

  const char* vf = ValueFormat(kind);
  for (int32_t i = l.first; i <= l.last; ++i) {
    cells.assign(1, cell(FormatNumber(l.x(i), l.xFormat)));
    for (int32_t c = 1; c <= l.columns; ++c) cells.push_back(cell(FormatNumber(l.value(i, c), vf)));
    out += join(cells);
  }
  return out;
}

bool WriteExport(const AppState& app, int32_t kind, const std::string& path, int32_t filterIndex,
                 UserInterface& ui) {
  try {
    const std::string text = ExportText(app, kind, filterIndex, app.run.SwitchV);
    AtomicFileWriter w(path);
    w.Write(text);
    w.Commit();
    return true;
  } catch (const std::exception& e) {
    const ErrorInfo info = CurrentErrorInfo(e);
    ui.MsgBox(
        "Failed to write " + path + " (Err#" + std::to_string(info.number) + ": " + info.description + ")",
        MsgIcon::Critical, ProgramTitle() + ": WriteExport");
    return false;
  }
}

void BringSeriesUpToDate(AppState& app, int32_t kind, UserInterface& ui) {
  const int32_t needs = SeriesNeeds(kind);
  ComputedSeries& cs = app.series;
  const int32_t flags = app.calc.RecalcFlags;
  auto stale = [&](int32_t bit, bool valid) { return (needs & bit) && ((flags & bit) || !valid); };
  bool relationsStale = stale(RecalcRelations, cs.relationValid);
  if (stale(RecalcIntegration, cs.motionValid)) {
    RunIntegrationDriver(app, ui);
    cs.motionValid = true;
    app.calc.RecalcFlags &= ~RecalcIntegration;
  }
  if (stale(RecalcFourier, cs.fourierValid)) {
    RunFourierDriver(app, ui);
    cs.fourierValid = true;
    app.calc.RecalcFlags &= ~RecalcFourier;
    relationsStale = needs & RecalcRelations;
    if (!(needs & RecalcRelations)) cs.relationValid = false;
  }
  if (stale(RecalcResponse, cs.responseValid)) {
    RunResponseDriver(app, ui);
    cs.responseValid = true;
    app.calc.RecalcFlags &= ~RecalcResponse;
    relationsStale = needs & RecalcRelations;
    if (!(needs & RecalcRelations)) cs.relationValid = false;
  }
  if (relationsStale) {
    RunRelationDriver(app, ui);
    cs.relationValid = true;
    app.calc.RecalcFlags &= ~RecalcRelations;
  }
}

bool ExportSeries(AppState& app, int32_t kind, const std::string& path, int32_t filterIndex,
                  UserInterface& ui) {
  if (!ExportableKind(kind)) return false;
  StatusScope status(ui, ExportingStatusText(app, kind, path));
  try {
    BringSeriesUpToDate(app, kind, ui);
  } catch (const std::exception& e) {
    const ErrorInfo info = CurrentErrorInfo(e);
    ui.MsgBox("Err#" + std::to_string(info.number) + ": " + info.description, MsgIcon::Critical,
              ProgramTitle() + ": ExportSeries");
    return false;
  }
  return WriteExport(app, kind, path, filterIndex, ui);
}

bool SaveRecordAsAc(AppState& app, const std::string& path, UserInterface& ui) {
  // Labels edited in the program are the ones written.
  for (int32_t ch = 1; ch <= app.record.ChanCount; ++ch) app.record.Label(ch) = DisplayLabel(app, ch);
  StatusScope status(ui, SavingStatusText(app, path));
  return WriteAc(path, app.record, 0, ui);
}

}  // namespace sism
