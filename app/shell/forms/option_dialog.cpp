#include "app/shell/forms/option_dialog.h"

#include <algorithm>
#include <cmath>

#include "app/shell/settings.h"
#include "app/shell/forms/field_check.h"
#include "common/errors.h"
#include "common/files.h"
#include "common/strings.h"
#include "common/text.h"
#include "record/display_text.h"
#include "record/reader.h"
#include "state/graph_kinds.h"

namespace sism {

namespace {

using Model = OptionDialogModel;

// What a field accepts. Sizes stop at a metre: larger pages cannot be shown or printed.
struct Range {
  double min, max;
  bool whole;  // stored rounded to a whole number
};
constexpr double kMaxMm = 1000;
constexpr double kMaxAxisValue = 1e30;
constexpr double kMaxSeconds = 1e6;

Range RangeOf(Model::Field f) {
  switch (f) {
    case Model::FieldAxisMin:
    case Model::FieldAxisMax:
      return {-kMaxAxisValue, kMaxAxisValue, false};
    case Model::FieldWaveLineWidth:
    case Model::FieldLineWidth:
      return {0, 20, false};
    case Model::FieldFontSize:
      return {1, 200, false};
    case Model::FieldWaveSpace:
    case Model::FieldLeftMargin:
    case Model::FieldRightMargin:
    case Model::FieldTopMargin:
    case Model::FieldBottomMargin:
    case Model::FieldRepLeft:
    case Model::FieldRepTop:
      return {0, kMaxMm, true};
    case Model::FieldMaxWaves:
      return {3, kCompCountLimit, true};
    case Model::FieldWaveIncrement:
      return {1, 10000, true};
    case Model::FieldLineUnit:
      return {0.01, 10, false};
    case Model::FieldOrbitStart:
    case Model::FieldOrbitEnd:
      return {0, kMaxSeconds, false};
    case Model::FieldOrbitInt:
      return {0.01, kMaxSeconds, false};
    case Model::FieldOrbitCols:
      return {1, 100, true};
    default:  // widths and heights of graphs and pages
      return {1, kMaxMm, true};
  }
}

bool InRange(Model::Field f, double v) {
  const Range r = RangeOf(f);
  return std::isfinite(v) && v >= r.min && v <= r.max;
}

// The stored value stays unless the loaded one is in the field's range.
template <typename T>
void KeepIfOut(Model::Field f, const T& before, T& loaded) {
  if (!InRange(f, static_cast<double>(loaded))) loaded = before;
}

void KeepStyle(int32_t before, int32_t& loaded) {
  if (loaded < 0 || loaded > 4) loaded = before;
}

std::string Text(float v) {
  return NumberText(v);
}
std::string Text(int32_t v) {
  return std::to_string(v);
}

}  // namespace

void KeepSaneGraphSettings(const GraphSettings& before, GraphSettings& loaded) {
  // Fields of the graph form.
  KeepIfOut(Model::FieldWaveWidth, before.WaveWidth, loaded.WaveWidth);
  KeepIfOut(Model::FieldWaveHeight, before.WaveHeight, loaded.WaveHeight);
  KeepIfOut(Model::FieldWaveSpace, before.WaveSpace, loaded.WaveSpace);
  KeepIfOut(Model::FieldSpecWidth, before.SpecWidth, loaded.SpecWidth);
  KeepIfOut(Model::FieldSpecHeight, before.SpecHeight, loaded.SpecHeight);
  KeepIfOut(Model::FieldLeftMargin, before.LeftMargin, loaded.LeftMargin);
  KeepIfOut(Model::FieldRightMargin, before.RightMargin, loaded.RightMargin);
  KeepIfOut(Model::FieldTopMargin, before.TopMargin, loaded.TopMargin);
  KeepIfOut(Model::FieldBottomMargin, before.BottomMargin, loaded.BottomMargin);
  KeepIfOut(Model::FieldOrbitWidth, before.OrbitWidth, loaded.OrbitWidth);
  KeepIfOut(Model::FieldWaveIncrement, before.WaveIncrement, loaded.WaveIncrement);
  KeepIfOut(Model::FieldLineUnit, before.LineUnit, loaded.LineUnit);
  // Orbits.
  KeepIfOut(Model::FieldOrbitStart, before.OrbitStart, loaded.OrbitStart);
  KeepIfOut(Model::FieldOrbitEnd, before.OrbitEnd, loaded.OrbitEnd);
  KeepIfOut(Model::FieldOrbitInt, before.OrbitInt, loaded.OrbitInt);
  KeepIfOut(Model::FieldOrbitCols, before.OrbitCols, loaded.OrbitCols);
  if (loaded.OrbitTime < 0 || loaded.OrbitTime > 2) loaded.OrbitTime = before.OrbitTime;
  if (loaded.OrbitComp1 < 1) loaded.OrbitComp1 = before.OrbitComp1;
  if (loaded.OrbitComp2 < 1) loaded.OrbitComp2 = before.OrbitComp2;
  // Component lines; those the table has gained compare with their default.
  for (std::size_t k = 1; k < loaded.WaveLine.size(); ++k) {
    const LineSettings old =
        k < before.WaveLine.size() ? before.WaveLine[k] : DefaultWaveLine(static_cast<int32_t>(k));
    KeepIfOut(Model::FieldWaveLineWidth, old.Width, loaded.WaveLine[k].Width);
    KeepStyle(old.Style, loaded.WaveLine[k].Style);
  }
  for (std::size_t i = 1; i <= kFontCount; ++i) {
    KeepIfOut(Model::FieldFontSize, before.Font[i].Size, loaded.Font[i].Size);
    if (Trim(loaded.Font[i].Name).empty()) loaded.Font[i].Name = before.Font[i].Name;
  }
  for (std::size_t i = 1; i <= kLineCount; ++i) {
    KeepIfOut(Model::FieldLineWidth, before.Line[i].Width, loaded.Line[i].Width);
    KeepStyle(before.Line[i].Style, loaded.Line[i].Style);
  }
  // Report page: a file without graphs keeps the current ones.
  KeepIfOut(Model::FieldRepWidth, before.RepWidth, loaded.RepWidth);
  KeepIfOut(Model::FieldRepHeight, before.RepHeight, loaded.RepHeight);
  if (loaded.RepGraphCount < 1) {
    loaded.RepGraphCount = before.RepGraphCount;
    loaded.RepGraph = before.RepGraph;
  }
  const ReportGraph fallback{0, 140, 10, 15, 5, ""};
  for (std::size_t i = 1; i < loaded.RepGraph.size(); ++i) {
    const ReportGraph& old = i < before.RepGraph.size() ? before.RepGraph[i] : fallback;
    ReportGraph& g = loaded.RepGraph[i];
    KeepIfOut(Model::FieldRepLeft, old.Left, g.Left);
    KeepIfOut(Model::FieldRepTop, old.Top, g.Top);
    KeepIfOut(Model::FieldRepGraphWidth, old.Width, g.Width);
    KeepIfOut(Model::FieldRepGraphHeight, old.Height, g.Height);
  }
}

// ---------------------------------------------------------------------------

OptionDialogModel::OptionDialogModel(const AppState& app) {
  Reset(app);
}

void OptionDialogModel::Reset(const AppState& app) {
  work_ = app.graph;
  if (work_.WaveLine.size() != static_cast<std::size_t>(work_.CompCountMax) + 1)
    ResizeWaveLines(work_, work_.CompCountMax);
  if (work_.RepGraph.size() != static_cast<std::size_t>(std::max(work_.RepGraphCount, 0)) + 1)
    ResizeReportGraphs(work_, work_.RepGraphCount);
  relations_ = app.view.RelationPairs;
  chanCount_ = std::max(app.record.ChanCount, 0);
  labels_.clear();
  for (int32_t ch = 1; ch <= chanCount_; ++ch) {
    const auto i = static_cast<std::size_t>(ch - 1);
    labels_.push_back(i < app.view.LabelCopies.size() ? app.view.LabelCopies[i] : DisplayLabelOf(app.record, ch));
  }
  changed_ = relationsChanged_ = labelsChanged_ = false;
  KeepSelectionsInRange();
}

void OptionDialogModel::KeepSelectionsInRange() {
  tab = std::clamp(tab, 1, kTabCount);
  axis_ = std::clamp(axis_, 1, kAxisCount);
  if (title_ < 1 || title_ > kGraphTitleCount || title_ == KindReport) title_ = 1;
  component_ = std::clamp(component_, 1, std::max(work_.CompCountMax, 1));
  target_ = std::clamp(target_, 1, kFontCount);
  repGraph_ = std::clamp(repGraph_, 1, std::max(work_.RepGraphCount, 1));
  if (relation_ >= static_cast<int>(relations_.size())) relation_ = static_cast<int>(relations_.size()) - 1;
}

void OptionDialogModel::SelectAxis(int axis) {
  axis_ = std::clamp(axis, 1, kAxisCount);
}
void OptionDialogModel::SelectTitle(int entry) {
  if (entry >= 1 && entry <= kGraphTitleCount && entry != KindReport) title_ = entry;
}
void OptionDialogModel::SelectComponent(int component) {
  component_ = std::clamp(component, 1, std::max(work_.CompCountMax, 1));
}
void OptionDialogModel::SelectTarget(int target) {
  target_ = std::clamp(target, 1, kFontCount);
}
void OptionDialogModel::SelectReportGraph(int n) {
  repGraph_ = std::clamp(n, 1, std::max(work_.RepGraphCount, 1));
}
void OptionDialogModel::SelectRelation(int index) {
  relation_ = index >= 0 && index < static_cast<int>(relations_.size()) ? index : -1;
}

// ---------------------------------------------------------------------------
// Numeric fields

std::string OptionDialogModel::FieldText(Field f) const {
  const GraphSettings& g = work_;
  switch (f) {
    case FieldAxisMin:
      return Text(Axis().Min);
    case FieldAxisMax:
      return Text(Axis().Max);
    case FieldWaveLineWidth:
      return Text(WaveLine().Width);
    case FieldFontSize:
      return Text(g.Font[static_cast<std::size_t>(target_)].Size);
    case FieldLineWidth:
      return Text(g.Line[static_cast<std::size_t>(target_)].Width);
    case FieldWaveWidth:
      return Text(g.WaveWidth);
    case FieldWaveHeight:
      return Text(g.WaveHeight);
    case FieldWaveSpace:
      return Text(g.WaveSpace);
    case FieldMaxWaves:
      return Text(g.CompCountMax);
    case FieldSpecWidth:
      return Text(g.SpecWidth);
    case FieldSpecHeight:
      return Text(g.SpecHeight);
    case FieldLeftMargin:
      return Text(g.LeftMargin);
    case FieldRightMargin:
      return Text(g.RightMargin);
    case FieldTopMargin:
      return Text(g.TopMargin);
    case FieldBottomMargin:
      return Text(g.BottomMargin);
    case FieldOrbitWidth:
      return Text(g.OrbitWidth);
    case FieldWaveIncrement:
      return Text(g.WaveIncrement);
    case FieldLineUnit:
      return Text(g.LineUnit);
    case FieldOrbitStart:
      return Text(g.OrbitStart);
    case FieldOrbitEnd:
      return Text(g.OrbitEnd);
    case FieldOrbitInt:
      return Text(g.OrbitInt);
    case FieldOrbitCols:
      return Text(g.OrbitCols);
    case FieldRepWidth:
      return Text(g.RepWidth);
    case FieldRepHeight:
      return Text(g.RepHeight);
    case FieldRepLeft:
      return work_.RepGraphCount > 0 ? Text(RepGraph().Left) : std::string();
    case FieldRepTop:
      return work_.RepGraphCount > 0 ? Text(RepGraph().Top) : std::string();
    case FieldRepGraphWidth:
      return work_.RepGraphCount > 0 ? Text(RepGraph().Width) : std::string();
    case FieldRepGraphHeight:
      return work_.RepGraphCount > 0 ? Text(RepGraph().Height) : std::string();
  }
  return {};
}

bool OptionDialogModel::RestoresOnRefusal(Field f) {
  return f == FieldWaveLineWidth || f == FieldFontSize || f == FieldLineWidth;
}

std::string OptionDialogModel::FieldRefusal(Field f, const std::string& typed) const {
  int label = 0;
  switch (f) {
    case FieldAxisMin: label = 6103; break;
    case FieldAxisMax: label = 6104; break;
    case FieldWaveLineWidth: label = 6122; break;
    case FieldFontSize: label = 6133; break;
    case FieldLineWidth: label = 6164; break;
    case FieldOrbitStart: label = 6176; break;
    case FieldOrbitEnd: label = 6177; break;
    case FieldOrbitInt: label = 6178; break;
    case FieldOrbitCols: label = 6179; break;
    case FieldRepWidth: label = 6181; break;
    case FieldRepHeight: label = 6182; break;
    case FieldRepLeft: label = 6185; break;
    case FieldRepTop: label = 6186; break;
    case FieldRepGraphWidth: label = 6187; break;
    case FieldRepGraphHeight: label = 6188; break;
    default:
      if (f >= kFirstFormField && f < kFirstFormField + kFormFieldCount)
        label = kFormLabels[static_cast<std::size_t>(f - kFirstFormField)];
  }
  std::string name = label != 0 ? FieldName(label) : std::string("The field");
  if (f == FieldAxisMin || f == FieldAxisMax) name += " of the " + Str(6700 + axis_);
  const Range r = RangeOf(f);
  // Axis limits take any number (the phase axis is brought into a turn).
  const std::string allowed = f == FieldAxisMin || f == FieldAxisMax
                                  ? std::string("a number")
                                  : NumberRange{r.min, r.max, true, true, r.whole}.Text();
  return RefusalText(name, allowed, typed);
}

Model::FieldResult OptionDialogModel::LeaveField(Field f, const std::string& text) {
  const FieldResult bad = RestoresOnRefusal(f) ? FieldResult::NotNumeral : FieldResult::Refused;
  if (!IsNumeric(text)) return bad;
  double v;
  try {
    v = ToDouble(text);
  } catch (const RuntimeError&) {
    return bad;
  }
  if (!std::isfinite(v)) return bad;
  bool adjusted = false;
  // A negative line width means no width; the phase axis ends within a turn.
  if ((f == FieldWaveLineWidth || f == FieldLineWidth) && v < 0) {
    v = 0;
    adjusted = true;
  }
  if (f == FieldAxisMax && axis_ == AxisPhase && (v < 0 || v > 360)) {
    v = std::clamp(v, 0.0, 360.0);
    adjusted = true;
  }
  const Range r = RangeOf(f);
  if (r.whole) v = RoundHalfEven(v);
  if (!InRange(f, v)) return FieldResult::Refused;
  const auto single = static_cast<float>(v);
  const auto whole = static_cast<int32_t>(v);
  GraphSettings& g = work_;
  switch (f) {
    case FieldAxisMin:
      Set(Axis().Min, single);
      break;
    case FieldAxisMax:
      Set(Axis().Max, single);
      break;
    case FieldWaveLineWidth:
      Set(WaveLine().Width, single);
      break;
    case FieldFontSize:
      Set(g.Font[static_cast<std::size_t>(target_)].Size, single);
      break;
    case FieldLineWidth:
      Set(g.Line[static_cast<std::size_t>(target_)].Width, single);
      break;
    case FieldWaveWidth:
      Set(g.WaveWidth, whole);
      break;
    case FieldWaveHeight:
      Set(g.WaveHeight, whole);
      break;
    case FieldWaveSpace:
      Set(g.WaveSpace, whole);
      break;
    case FieldMaxWaves:
      if (whole != g.CompCountMax) {
        ResizeWaveLines(g, whole);
        component_ = std::min(component_, whole);
        changed_ = true;
      }
      break;
    case FieldSpecWidth:
      Set(g.SpecWidth, whole);
      break;
    case FieldSpecHeight:
      Set(g.SpecHeight, whole);
      break;
    case FieldLeftMargin:
      Set(g.LeftMargin, whole);
      break;
    case FieldRightMargin:
      Set(g.RightMargin, whole);
      break;
    case FieldTopMargin:
      Set(g.TopMargin, whole);
      break;
    case FieldBottomMargin:
      Set(g.BottomMargin, whole);
      break;
    case FieldOrbitWidth:
      Set(g.OrbitWidth, whole);
      break;
    case FieldWaveIncrement:
      Set(g.WaveIncrement, whole);
      break;
    case FieldLineUnit:
      Set(g.LineUnit, single);
      break;
    case FieldOrbitStart:
      Set(g.OrbitStart, single);
      break;
    case FieldOrbitEnd:
      Set(g.OrbitEnd, single);
      break;
    case FieldOrbitInt:
      Set(g.OrbitInt, single);
      break;
    case FieldOrbitCols:
      Set(g.OrbitCols, whole);
      break;
    case FieldRepWidth:
      Set(g.RepWidth, whole);
      break;
    case FieldRepHeight:
      Set(g.RepHeight, whole);
      break;
    case FieldRepLeft:
    case FieldRepTop:
    case FieldRepGraphWidth:
    case FieldRepGraphHeight: {
      if (g.RepGraphCount < 1) return FieldResult::Refused;
      ReportGraph& rg = RepGraph();
      int32_t& target = f == FieldRepLeft         ? rg.Left
                        : f == FieldRepTop        ? rg.Top
                        : f == FieldRepGraphWidth ? rg.Width
                                                  : rg.Height;
      Set(target, whole);
      break;
    }
  }
  return adjusted ? FieldResult::Adjusted : FieldResult::Accepted;
}

// ---------------------------------------------------------------------------
// Axis/Graph Title

void OptionDialogModel::SetAxisSpecify(bool on) {
  Set(Axis().Specify, on);
}
void OptionDialogModel::SetAxisLog(bool on) {
  Set(Axis().Log, on);
}
void OptionDialogModel::SetAxisLabel(const std::string& text) {
  Set(Axis().Label, text);
}
void OptionDialogModel::SetAxisUnit(const std::string& text) {
  Set(Axis().Unit, text);
}
void OptionDialogModel::SetTitle(const std::string& text) {
  Set(work_.GraphTitle[static_cast<std::size_t>(title_)], text);
}

std::string OptionDialogModel::TitleName(int entry) {
  // Entries 22 to 25 are the normalised forms of the response spectra 7 to 10.
  if (entry > KindReport && entry <= kGraphTitleCount) return Str(6171 + entry - 22);
  return KindName(entry);
}

// ---------------------------------------------------------------------------
// Components

void OptionDialogModel::SetWaveLineStyle(int32_t style) {
  if (style >= 0 && style <= 4) Set(WaveLine().Style, style);
}
void OptionDialogModel::SetWaveLineColor(RgbColor color) {
  Set(WaveLine().Color, color);
}

bool OptionDialogModel::HasChannelLabel() const {
  return component_ >= 1 && component_ <= chanCount_;
}

std::string OptionDialogModel::LabelOf(int32_t ch) const {
  return ch >= 1 && ch <= chanCount_ ? labels_[static_cast<std::size_t>(ch - 1)] : std::string();
}

std::string OptionDialogModel::ChannelLabel() const {
  return HasChannelLabel() ? labels_[static_cast<std::size_t>(component_ - 1)] : std::string();
}

void OptionDialogModel::ChangeChannelLabel(const std::string& label) {
  if (!HasChannelLabel()) return;
  std::string& l = labels_[static_cast<std::size_t>(component_ - 1)];
  if (l == label) return;
  l = label;
  labelsChanged_ = changed_ = true;
}

// ---------------------------------------------------------------------------
// Graph appearance

void OptionDialogModel::SetFontName(const std::string& name) {
  if (!Trim(name).empty()) Set(work_.Font[static_cast<std::size_t>(target_)].Name, name);
}
void OptionDialogModel::SetFontBold(bool on) {
  Set(work_.Font[static_cast<std::size_t>(target_)].Bold, on);
}
void OptionDialogModel::SetFontItalic(bool on) {
  Set(work_.Font[static_cast<std::size_t>(target_)].Italic, on);
}
void OptionDialogModel::SetFontColor(RgbColor color) {
  Set(work_.Font[static_cast<std::size_t>(target_)].Color, color);
}
void OptionDialogModel::SetBackColor(RgbColor color) {
  Set(work_.BackColor[static_cast<std::size_t>(target_)], color);
}
void OptionDialogModel::SetLineColor(RgbColor color) {
  Set(work_.Line[static_cast<std::size_t>(target_)].Color, color);
}
void OptionDialogModel::SetLineStyle(int32_t style) {
  if (style >= 0 && style <= 4) Set(work_.Line[static_cast<std::size_t>(target_)].Style, style);
}
void OptionDialogModel::SetDrawGrid(bool on) {
  Set(work_.DrawGrid, on);
}

bool OptionDialogModel::MinorGrid() const {
  return (work_.GridLine & 512) != 0;
}

void OptionDialogModel::SetMinorGrid(bool on) {
  // Minor grid lines are drawn only together with the major ones.
  Set(work_.GridLine, on ? (work_.GridLine | 256 | 512) : (work_.GridLine & ~512));
}

int OptionDialogModel::LegendOption() const {
  for (std::size_t i = 0; i < kLegendPositions.size(); ++i)
    if (kLegendPositions[i] == work_.LegendPosition) return static_cast<int>(i);
  return -1;
}

void OptionDialogModel::SetLegendOption(int option) {
  if (option >= 0 && option < static_cast<int>(kLegendPositions.size()))
    Set(work_.LegendPosition, kLegendPositions[static_cast<std::size_t>(option)]);
}

void OptionDialogModel::SetLegFixTime(bool on) {
  Set(work_.LegFixTime, on);
}
void OptionDialogModel::SetHeader(const std::string& text) {
  Set(work_.Header, text);
}
void OptionDialogModel::SetFooter(const std::string& text) {
  Set(work_.Footer, text);
}
void OptionDialogModel::SetSpectraOnPeriod(bool on) {
  Set(work_.SpectraOnPeriod, on);
}

// ---------------------------------------------------------------------------
// Orbit/Relation

std::string OptionDialogModel::ChannelName(int32_t ch) const {
  if (ch >= 1 && ch <= chanCount_) return labels_[static_cast<std::size_t>(ch - 1)];
  return std::to_string(ch);
}

std::string OptionDialogModel::OrbitPairText() const {
  return ChannelName(work_.OrbitComp1) + " & " + ChannelName(work_.OrbitComp2);
}

bool OptionDialogModel::AskPair(UserInterface& ui, SelChanMode mode,
                                std::pair<int32_t, int32_t>& pair) const {
  if (chanCount_ < 1) return false;
  SelChanValues v;
  v.channelX = std::clamp(pair.first, 1, chanCount_);
  v.channelY = std::clamp(pair.second, 1, chanCount_);
  if (!ui.ShowDlgSelChan(mode, labels_, v)) return false;
  if (v.channelX < 1 || v.channelX > chanCount_ || v.channelY < 1 || v.channelY > chanCount_) return false;
  pair = {v.channelX, v.channelY};
  return true;
}

bool OptionDialogModel::ChangeOrbitPair(UserInterface& ui) {
  std::pair<int32_t, int32_t> pair{work_.OrbitComp1, work_.OrbitComp2};
  if (!AskPair(ui, SelChanMode::Orbit, pair)) return false;
  Set(work_.OrbitComp1, pair.first);
  Set(work_.OrbitComp2, pair.second);
  return true;
}

void OptionDialogModel::SetOrbitTime(int32_t mode) {
  if (mode >= 0 && mode <= 2) Set(work_.OrbitTime, mode);
}

std::vector<std::string> OptionDialogModel::RelationTexts() const {
  std::vector<std::string> out;
  for (auto [x, y] : relations_) out.push_back(ChannelName(x) + " & " + ChannelName(y));
  return out;
}

bool OptionDialogModel::AddRelation(UserInterface& ui) {
  std::pair<int32_t, int32_t> pair =
      relation_ >= 0 ? relations_[static_cast<std::size_t>(relation_)] : std::pair<int32_t, int32_t>{1, 2};
  if (!AskPair(ui, SelChanMode::Relation, pair)) return false;
  relations_.push_back(pair);
  relation_ = static_cast<int>(relations_.size()) - 1;
  relationsChanged_ = changed_ = true;
  return true;
}

bool OptionDialogModel::ChangeRelation(UserInterface& ui) {
  if (relation_ < 0) return false;
  std::pair<int32_t, int32_t> pair = relations_[static_cast<std::size_t>(relation_)];
  if (!AskPair(ui, SelChanMode::Relation, pair)) return false;
  relations_[static_cast<std::size_t>(relation_)] = pair;
  relationsChanged_ = changed_ = true;
  return true;
}

bool OptionDialogModel::RemoveRelation() {
  if (relation_ < 0) return false;
  relations_.erase(relations_.begin() + relation_);
  relation_ = std::min(relation_, static_cast<int>(relations_.size()) - 1);
  relationsChanged_ = changed_ = true;
  return true;
}

bool OptionDialogModel::MoveRelation(int step) {
  const int to = relation_ + step;
  if (relation_ < 0 || to < 0 || to >= static_cast<int>(relations_.size())) return false;
  std::swap(relations_[static_cast<std::size_t>(relation_)], relations_[static_cast<std::size_t>(to)]);
  relation_ = to;
  relationsChanged_ = changed_ = true;
  return true;
}

// ---------------------------------------------------------------------------
// Report

void OptionDialogModel::SetReportType(int32_t kind) {
  if (work_.RepGraphCount >= 1 && kind >= 0 && kind <= kGraphKindCount) Set(RepGraph().Type, kind);
}

void OptionDialogModel::SetReportText(const std::string& text) {
  if (work_.RepGraphCount >= 1) Set(RepGraph().Text, text);
}

void OptionDialogModel::AddReportGraph() {
  // The new text box starts where the selected graph is, ready to be moved.
  ReportGraph fresh{0, 140, 10, 15, 5, ""};
  if (work_.RepGraphCount >= 1) {
    const ReportGraph& at = RepGraph();
    fresh.Left = at.Left;
    fresh.Top = at.Top;
    fresh.Width = at.Width;
  }
  const int at = work_.RepGraphCount >= 1 ? repGraph_ + 1 : 1;
  work_.RepGraph.insert(work_.RepGraph.begin() + at, fresh);
  work_.RepGraphCount = static_cast<int32_t>(work_.RepGraph.size()) - 1;
  repGraph_ = at;
  changed_ = true;
}

bool OptionDialogModel::RemoveReportGraph() {
  if (work_.RepGraphCount < 2) return false;
  work_.RepGraph.erase(work_.RepGraph.begin() + repGraph_);
  work_.RepGraphCount = static_cast<int32_t>(work_.RepGraph.size()) - 1;
  repGraph_ = std::min(repGraph_, work_.RepGraphCount);
  changed_ = true;
  return true;
}

// ---------------------------------------------------------------------------
// Apply and settings files

Model::ApplyError OptionDialogModel::Validate() {
  for (int r = AxisTime; r <= AxisPseudoVelResponse; ++r) {
    const AxisSettings& a = work_.Axis[static_cast<std::size_t>(r)];
    if (!a.Specify) continue;
    int message = 0;
    if (a.Min >= a.Max)
      message = 6902;
    else if (a.Log && a.Min <= 0)
      message = 6901;
    if (message != 0) {
      tab = TabAxis;
      axis_ = r;
      return {message, r};
    }
  }
  return {};
}

Model::ApplyError OptionDialogModel::Apply(AppState& app) {
  const ApplyError error = Validate();
  if (error.message != 0) return error;
  const AxisSettings& before = app.graph.Axis[AxisTime];
  const AxisSettings& after = work_.Axis[AxisTime];
  if (before.Min != after.Min || before.Max != after.Max) app.view.Changes |= RecalcTimeAxis;
  app.graph = work_;
  if (relationsChanged_) {
    app.view.RelationPairs = relations_;
    app.calc.RecalcFlags |= RecalcRelations;
  }
  if (labelsChanged_ && app.record.ChanCount == chanCount_) {
    app.view.LabelCopies.resize(static_cast<std::size_t>(chanCount_));
    std::copy(labels_.begin(), labels_.end(), app.view.LabelCopies.begin());
  }
  changed_ = relationsChanged_ = labelsChanged_ = false;
  return {};
}

bool OptionDialogModel::SaveTo(const std::string& iniFile, UserInterface& ui) const {
  try {
    SaveGraphSettings(work_, iniFile);
    return true;
  } catch (const std::exception& e) {
    const ErrorInfo info = CurrentErrorInfo(e);
    const std::string path = iniFile.empty() ? UserSettingsPath() : iniFile;
    ui.MsgBox(
        "Failed to write " + path + " (Err#" + std::to_string(info.number) + ": " + info.description + ")",
        MsgIcon::Critical, ProgramTitle() + ": SaveGraphSettings");
    return false;
  }
}

bool OptionDialogModel::LoadFrom(const std::string& iniFile, UserInterface& ui) {
  const std::string title = ProgramTitle() + ": LoadGraphSettings";
  try {
    const SettingsStore store(iniFile);
    if (!store.Found()) {
      const int number = FileExists(iniFile) ? ErrPathFileAccess : ErrFileNotFound;
      ui.MsgBox(FailedToReadText(iniFile, number, ErrorDescription(number)), MsgIcon::Critical, title);
      return false;
    }
    // The component table takes the file's size first, so none of its lines is lost.
    GraphSettings loaded = work_;
    ResizeWaveLines(loaded, ReadCompCountMax(store, loaded.CompCountMax));
    if (CountGraphKeys(loaded, store) == 0) {
      ui.MsgBox(Str(6904) + "\r\n" + iniFile, MsgIcon::Exclamation, title);
      return false;
    }
    LoadGraphSettings(loaded, store);
    KeepSaneGraphSettings(work_, loaded);
    work_ = std::move(loaded);
    changed_ = true;
  } catch (const std::exception& e) {
    const ErrorInfo info = CurrentErrorInfo(e);
    ui.MsgBox(FailedToReadText(iniFile, info.number, info.description), MsgIcon::Critical, title);
    return false;
  }
  KeepSelectionsInRange();
  return true;
}

}  // namespace sism
