#include "app/shell/export.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "analysis/ensure_series.h"
#include "app/shell/process_archive.h"
#include "app/shell/properties_report.h"
#include "common/digits.h"
#include "common/errors.h"
#include "common/files.h"
#include "common/path.h"
#include "common/strings.h"
#include "common/text.h"
#include "draw/draw_graph.h"
#include "draw/templates.h"
#include "load/user_side.h"
#include "record/ac.h"
#include "record/display_text.h"

namespace sism {

namespace {

constexpr int kExportDigits = 6;

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

std::string LabelAndUnit(const AxisSettings& a) {
  return a.Label + " " + a.Unit;
}

std::string ValueHeading(const AppState& app, int32_t kind) {
  const AxisSettings& a = app.graph.Axis[ValueAxisOf(app, kind)];
  if (kind == KindDuctility)
    return DuctilityQuantityName(app.calc.DuctilityQuantity) +
           (ValueAxisOf(app, kind) == AxisResponseRatio ? std::string() : " " + a.Unit);
  return KindInfo(kind).exportUnit ? LabelAndUnit(a) : a.Label;
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
  const GraphKindInfo& info = KindInfo(kind);
  Layout l;
  const StrongRecord& rec = app.record;
  const ComputedSeries& cs = app.series;
  const float fs = static_cast<float>(rec.SampFreq);
  const std::vector<int32_t> chans = IsRelationKind(kind) ? std::vector<int32_t>{} : ChannelsToDraw(app);
  const std::vector<KindSeries> series = SeriesOfKind(app, kind, chans);
  l.columns = static_cast<int32_t>(series.size());
  for (const KindSeries& s : series) {
    if (IsRelationKind(kind))
      l.labels.push_back(PairText(kind, DisplayLabel(app, s.channel), DisplayLabel(app, s.other)));
    else if (info.source == SeriesSource::Eas)
      l.labels.push_back("EAS " + DisplayLabel(app, s.channel) + "," + DisplayLabel(app, s.other));
    else
      l.labels.push_back(DisplayLabel(app, s.channel) + CurveSuffix(app, s));
  }
  // A value of a column, 0 where the series has none.
  l.value = [series](int32_t i, int32_t c) -> double {
    const KindSeries& s = series[static_cast<std::size_t>(c - 1)];
    return s.data != nullptr && i >= 1 && i <= s.count ? s.data[i - 1] : 0.0;
  };
  l.xAxis = info.xAxis;

  switch (info.domain) {
    case IndexDomain::Samples:
      l.xFormat = "0.000";
      l.width = 10;
      l.first = 1;
      l.last = fs > 0 ? std::min(rec.DataCount, rec.DataCapacity()) : 0;
      if (info.motion != 1) l.last = std::min(l.last, (info.motion == 2 ? cs.motion.V : cs.motion.D).Rows());
      l.x = [fs](int32_t i) { return static_cast<double>(static_cast<float>(i - 1) / fs); };
      break;
    case IndexDomain::Frequency:
      l.xFormat = "0.00000";
      FrequencyRows(app, l);
      break;
    case IndexDomain::HalfLag:
    case IndexDomain::SymmetricLag: {
      l.xFormat = "0.000";
      const int32_t M = cs.fourier.NH / 2;
      const float step = fs > 0 ? 2.0f / fs : 0.0f;
      const int32_t m = step > 0 ? IntOf(app.graph.Axis[AxisTimeLag].Max / step) : -1;
      if (info.domain == IndexDomain::HalfLag) {
        l.first = 1;
        l.last = std::min(m + 1, M);
        l.x = [step](int32_t i) { return static_cast<double>(static_cast<float>(i - 1) * step); };
      } else {
        l.first = std::max(1, M - m + 1);
        l.last = std::min(cs.fourier.NH, M + m + 1);
        if (m < 0) l.last = 0;
        l.x = [step, M](int32_t i) { return static_cast<double>(static_cast<float>(i - M - 1) * step); };
      }
      break;
    }
    case IndexDomain::Period: {
      const ResponseData& r = cs.response;
      l.xFormat = "0.00000";
      l.first = 1;
      l.last = std::min<int32_t>(r.NP, static_cast<int32_t>(r.T.size()));
      l.x = [&r](int32_t i) -> double { return r.T[static_cast<std::size_t>(i - 1)]; };
      break;
    }
    case IndexDomain::Listed: {
      const std::vector<float>* x = ListedAxis(app, kind);
      l.xFormat = "0.00000";
      l.first = 1;
      l.last = x != nullptr ? static_cast<int32_t>(x->size()) : 0;
      l.x = [x](int32_t i) -> double { return (*x)[static_cast<std::size_t>(i - 1)]; };
      break;
    }
    case IndexDomain::None:
      break;
  }
  return l;
}

// The settings that computed the kind's series and what was done to the record, for the
// title line: "Parzen 0.2 Hz, window 0-40.96 s; band-pass 0.1–20 Hz".
std::string ComputedWith(const AppState& app, int32_t kind) {
  const TemplateFacts f = CurrentTemplateFacts(app);
  std::string settings;
  if (kind == KindDuctility) {
    const DuctilityData& d = app.series.ductility;
    settings = "damping " + NumberText(d.Damping) + "%, alpha " + NumberText(d.Alpha);
  } else if (kind == KindEas) {
    settings = "Konno-Ohmachi b=" + NumberText(app.series.eas.B) + ", window " + Expand("%l", f) + " s";
  }
  switch (KindInfo(kind).domain) {
    case IndexDomain::Period:
      settings = "damping " + NumberText(f.damping) + "%";
      break;
    case IndexDomain::Listed:
      break;
    case IndexDomain::Frequency:
    case IndexDomain::HalfLag:
    case IndexDomain::SymmetricLag:
      settings = f.konnoB > 0    ? "Konno-Ohmachi b=" + NumberText(f.konnoB)
                 : f.parzen > 0 ? "Parzen " + NumberText(f.parzen) + " Hz"
                                : "no smoothing";
      settings += ", window " + Expand("%l", f) + " s";
      break;
    case IndexDomain::Samples:
    case IndexDomain::None:
      break;
  }
  const std::string& done = f.preprocessing;
  return settings.empty() ? done : done.empty() ? settings : settings + "; " + done;
}

}  // namespace

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
  const std::string computed = ComputedWith(app, kind);
  std::string out = ExpandedKindTitle(app, kind) + " - " + Trim(ShownDate(rec) + " " + ShownTime(rec)) + " " +
                    ShownStation(rec) + (computed.empty() ? "" : "; " + computed) + std::string(kCrLf);
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

  // Weak motion keeps its digits: separated values with six significant digits at least,
  // fixed columns in exponent form where their decimals would drop digits.
  const char* vf = KindInfo(kind).exportFormat;
  auto value = [&](double v) {
    return fixed ? FormatInField(v, vf, W, kExportDigits) : FormatKeepingDigits(v, vf, kExportDigits);
  };
  for (int32_t i = l.first; i <= l.last; ++i) {
    cells.assign(1, cell(FormatNumber(l.x(i), l.xFormat)));
    for (int32_t c = 1; c <= l.columns; ++c) cells.push_back(cell(value(l.value(i, c))));
    out += join(cells);
  }
  return out;
}

std::string ExportRefusal(const AppState& app, int32_t kind) {
  if (kind == KindEas && (app.series.eas.X < 1 || app.series.eas.A.empty())) return Str(7650);
  return {};
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
  if (const std::string refusal = ExportRefusal(app, kind); !refusal.empty()) {
    ui.MsgBox(refusal, MsgIcon::Exclamation, ProgramTitle() + ": ExportSeries");
    return false;
  }
  return WriteExport(app, kind, path, filterIndex, ui);
}

void TakeShownLabels(AppState& app) {
  // Labels edited in the program are the ones written; the others keep their bytes.
  for (int32_t ch = 1; ch <= app.record.ChanCount; ++ch)
    StoreShownText(app.record, app.record.Label(ch), DisplayLabel(app, ch));
}

std::string AcPrecisionQuestion(const AppState& app) {
  const StrongRecord& rec = app.record;
  std::string channels;
  for (int32_t ch = 1; ch <= rec.ChanCount; ++ch) {
    const std::string peak = FormatNumber(rec.Peak(ch), "0.000");  // as the writer puts it
    if (rec.Peak(ch) == 0 || SignificantDigits(peak) >= kPeakDigits) continue;
    channels += (channels.empty() ? "" : ", ") + std::to_string(ch) + " " + DisplayLabel(app, ch) + " " +
                FormatKeepingDigits(rec.Peak(ch), "0.000", kPeakDigits);
  }
  return channels.empty() ? std::string() : Str(8154) + channels + std::string(kCrLf) + Str(8156);
}

bool SaveRecordAsAc(AppState& app, const std::string& path, UserInterface& ui) {
  if (const std::string warning = AcPrecisionQuestion(app);
      !warning.empty() && !ui.AskYesNo(warning, ProgramTitle() + ": SaveAsAc"))
    return false;
  TakeShownLabels(app);
  StatusScope status(ui, SavingStatusText(app, path));
  return WriteAc(path, app.record, 0, ui);
}

const WriterRow& SaveWriter(const std::string& path, const std::string& named) {
  if (const WriterRow* w = named.empty() ? WriterOfPath(path) : FindWriter(named)) return *w;
  return RecordWriters().front();
}

std::string SaveFileName(const std::string& chosen, const WriterRow& w) {
  return SplitPath(chosen).ext.empty() ? chosen + w.extensions.front() : chosen;
}

bool SaveRecordAs(AppState& app, const WriterRow& w, const std::string& path, UserInterface& ui) {
  if (w.id == WriterId::Ac) return SaveRecordAsAc(app, path, ui);
  TakeShownLabels(app);
  StatusScope status(ui, SavingStatusText(app, path));
  // A record the chain processed says its corners where the format holds them.
  const std::string failure =
      app.processed ? WriteRecordAs(w, path, WithChainCorners(app.record, app.processed->result))
                    : WriteRecordAs(w, path, app.record);
  if (failure.empty()) return true;
  ui.MsgBox(failure, MsgIcon::Critical, WriterTitle(w));
  return false;
}

}  // namespace sism
