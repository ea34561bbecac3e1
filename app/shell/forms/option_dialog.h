// The rules of the options dialog, without the window: a working copy of the graph
// settings (with the view's relation pairs and channel labels), what each field accepts,
// the lists of the six pages, Apply with its axis checks, and the settings files.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/ui.h"
#include "state/app_state.h"

namespace sism {

class OptionDialogModel {
 public:
  // Tabs, in their order.
  enum Tab : int { TabAxis = 1, TabComponents, TabAppearance, TabForm, TabOrbit, TabReport };
  static constexpr int kTabCount = 6;

  // The numeric fields of every page.
  enum Field : int {
    // Axis/Graph Title: the selected axis.
    FieldAxisMin,
    FieldAxisMax,
    // Components: the selected component.
    FieldWaveLineWidth,
    // Graph appearance: the selected target.
    FieldFontSize,
    FieldLineWidth,
    // Graph form, in the order of their labels.
    FieldWaveWidth,
    FieldWaveHeight,
    FieldWaveSpace,
    FieldMaxWaves,
    FieldSpecWidth,
    FieldSpecHeight,
    FieldLeftMargin,
    FieldRightMargin,
    FieldTopMargin,
    FieldBottomMargin,
    FieldOrbitWidth,
    FieldWaveIncrement,
    FieldLineUnit,
    // Orbit/Relation.
    FieldOrbitStart,
    FieldOrbitEnd,
    FieldOrbitInt,
    FieldOrbitCols,
    // Report: the page, then the selected report graph.
    FieldRepWidth,
    FieldRepHeight,
    FieldRepLeft,
    FieldRepTop,
    FieldRepGraphWidth,
    FieldRepGraphHeight,
  };
  static constexpr int kFieldCount = FieldRepGraphHeight + 1;
  static constexpr int kFirstFormField = FieldWaveWidth;
  static constexpr int kFormFieldCount = FieldLineUnit - FieldWaveWidth + 1;
  // String numbers of the graph form's labels, in field order.
  static constexpr std::array<int, kFormFieldCount> kFormLabels = {6141, 6142, 6143, 6144, 6145, 6146, 6147,
                                                                   6148, 6149, 6150, 6156, 6157, 6158};

  // What leaving a field did.
  enum class FieldResult {
    Accepted,    // stored as typed
    Adjusted,    // stored after a correction (the field shows the stored value; beep)
    Refused,     // beep; the working copy is unchanged
    NotNumeral,  // "Numerals only."; the working copy is unchanged
  };

  // Legend placements of the option buttons (hidden, left-upper, right-upper,
  // left-lower, right-lower) as stored.
  static constexpr std::array<int32_t, 5> kLegendPositions = {0, 5, 6, 9, 10};

  // A failed Apply: the message and the axis to show.
  struct ApplyError {
    int message = 0;  // 6901 or 6902; 0 when Apply succeeded
    int axis = 0;
  };

  // Takes the working copy from the program's settings and view.
  explicit OptionDialogModel(const AppState& app);
  // Each opening copies the program's settings again; the selections are kept.
  void Reset(const AppState& app);

  const GraphSettings& Working() const { return work_; }
  bool ApplyEnabled() const { return changed_; }
  bool RelationsChanged() const { return relationsChanged_; }

  // Selections.
  int tab = TabAxis;
  int SelectedAxis() const { return axis_; }
  int SelectedTitle() const { return title_; }
  int SelectedComponent() const { return component_; }
  int SelectedTarget() const { return target_; }
  int SelectedReportGraph() const { return repGraph_; }
  int SelectedRelation() const { return relation_; }  // 0-based; -1 none
  void SelectAxis(int axis);                          // 1..24
  void SelectTitle(int entry);                        // 1..25
  void SelectComponent(int component);                // 1..CompCountMax
  void SelectTarget(int target);                      // 1..4
  void SelectReportGraph(int n);                      // 1..RepGraphCount
  void SelectRelation(int index);

  // Numeric fields: the text a field shows, and leaving it with the text typed.
  std::string FieldText(Field f) const;
  FieldResult LeaveField(Field f, const std::string& text);
  // Fields that get their stored value back when refused (the others keep the focus).
  static bool RestoresOnRefusal(Field f);
  // The sentence that refuses `typed` in field f: the field's label and what it takes.
  std::string FieldRefusal(Field f, const std::string& typed) const;

  // Axis/Graph Title.
  void SetAxisSpecify(bool on);
  void SetAxisLog(bool on);
  void SetAxisLabel(const std::string& text);
  void SetAxisUnit(const std::string& text);
  void SetTitle(const std::string& text);
  // Names of the title list: the graph kinds, then the normalised response spectra.
  static std::string TitleName(int entry);

  // Components.
  void SetWaveLineStyle(int32_t style);  // 0..4
  void SetWaveLineColor(RgbColor color);
  // The display label of the channel of the selected component; false without one.
  bool HasChannelLabel() const;
  // Display label of channel ch; empty when the record has no such channel.
  std::string LabelOf(int32_t ch) const;
  std::string ChannelLabel() const;
  void ChangeChannelLabel(const std::string& label);

  // Graph appearance: font, background and frame line of the selected target.
  void SetFontName(const std::string& name);
  void SetFontBold(bool on);
  void SetFontItalic(bool on);
  void SetFontColor(RgbColor color);
  void SetBackColor(RgbColor color);
  void SetLineColor(RgbColor color);
  void SetLineStyle(int32_t style);
  void SetDrawGrid(bool on);
  void SetMinorGrid(bool on);
  bool MinorGrid() const;
  // Option button 0..4 of the legend placement; -1 when the stored value has none.
  int LegendOption() const;
  void SetLegendOption(int option);
  void SetLegFixTime(bool on);
  void SetHeader(const std::string& text);
  void SetFooter(const std::string& text);

  // Graph form.
  void SetSpectraOnPeriod(bool on);

  // Orbit/Relation. Pairs are shown as "label X & label Y".
  std::string OrbitPairText() const;
  // Asks for the orbit pair; false when cancelled or without channels.
  bool ChangeOrbitPair(UserInterface& ui);
  void SetOrbitTime(int32_t mode);  // 0..2
  std::vector<std::string> RelationTexts() const;
  const std::vector<std::pair<int32_t, int32_t>>& Relations() const { return relations_; }
  bool AddRelation(UserInterface& ui);
  bool ChangeRelation(UserInterface& ui);
  bool RemoveRelation();
  bool MoveRelation(int step);  // -1 up, +1 down

  // Report.
  void SetReportType(int32_t kind);  // 0..21
  void SetReportText(const std::string& text);
  // Inserts a text box after the selected graph and selects it.
  void AddReportGraph();
  // False when it is the only one.
  bool RemoveReportGraph();

  // Checks the specified axes 1 to 13; on failure the axis tab and the axis are selected.
  ApplyError Validate();
  // Validates, then copies the working copy into the program: settings, relation pairs
  // (their series marked for recalculation when the list changed), channel labels, and
  // the time window's move. On failure nothing is copied.
  ApplyError Apply(AppState& app);

  // "As default": section "Graph" of the per-user store. Save...: a user's INI file.
  // Failures are reported through `ui`; false then (an existing file is left as it was).
  bool SaveTo(const std::string& iniFile, UserInterface& ui) const;
  // Load...: reads section "Graph" over a copy of the working copy; what cannot be read
  // or is out of range keeps its value. False, with a message, when the file cannot be
  // read or holds nothing to load; the working copy is then untouched.
  bool LoadFrom(const std::string& iniFile, UserInterface& ui);

 private:
  AxisSettings& Axis() { return work_.Axis[static_cast<std::size_t>(axis_)]; }
  const AxisSettings& Axis() const { return work_.Axis[static_cast<std::size_t>(axis_)]; }
  LineSettings& WaveLine() { return work_.WaveLine[static_cast<std::size_t>(component_)]; }
  const LineSettings& WaveLine() const { return work_.WaveLine[static_cast<std::size_t>(component_)]; }
  ReportGraph& RepGraph() { return work_.RepGraph[static_cast<std::size_t>(repGraph_)]; }
  const ReportGraph& RepGraph() const { return work_.RepGraph[static_cast<std::size_t>(repGraph_)]; }
  std::string ChannelName(int32_t ch) const;
  bool AskPair(UserInterface& ui, SelChanMode mode, std::pair<int32_t, int32_t>& pair) const;
  void KeepSelectionsInRange();
  template <typename T>
  void Set(T& field, const T& value) {
    if (field == value) return;
    field = value;
    changed_ = true;
  }

  GraphSettings work_;
  std::vector<std::pair<int32_t, int32_t>> relations_;
  std::vector<std::string> labels_;  // display labels of the record's channels
  int32_t chanCount_ = 0;
  bool changed_ = false;
  bool relationsChanged_ = false;
  bool labelsChanged_ = false;
  int axis_ = 1, title_ = 1, component_ = 1, target_ = 1, repGraph_ = 1, relation_ = -1;
};

// The stored values of `loaded` that no field accepts (sizes beyond a page, non-positive
// steps, unknown styles and modes) get the value of `before` back; the report and
// component tables keep theirs when the loaded ones are empty.
void KeepSaneGraphSettings(const GraphSettings& before, GraphSettings& loaded);

}  // namespace sism
