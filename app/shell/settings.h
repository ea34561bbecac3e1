// The stored settings of the program: built-in defaults, and the load and save routines
// of sections "Graph", "Calculation", "PreProcess", "Processing", "Window", "Paths" and
// "TextViewer".
//
// Every load reads each key over the field's current value, so missing keys (and values
// that cannot be converted) keep what the field held; run the defaults setter first.
// A settings-file name selects a user's INI file; an empty name means the per-user store.
// Save routines write one section in one atomic replacement of the file, keeping its
// other sections and comments; they raise 75 when the file cannot be written (the old
// file is then untouched).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "state/calc_params.h"
#include "state/app_state.h"
#include "app/shell/profile.h"
#include "state/graph_settings.h"
#include "state/preproc_params.h"
#include "state/processing_params.h"

namespace sism {

// Most component lines a settings file may ask for; larger or smaller (below 3) counts are ignored.
constexpr int32_t kCompCountLimit = 1024;
// Most report graphs a settings file may ask for.
constexpr int32_t kRepGraphLimit = 256;

// Section "Graph" (with key "SpectraOnPeriod" of section "Calculation").
// The defaults keep CompCountMax and give every component its default line.
void SetGraphDefaults(GraphSettings& gs);
// The report graphs' texts are held as edited, with real line breaks and tabs, and
// stored on one line with "\n" and "\t" escapes (common/text.h).
// Reads the component lines 1 to CompCountMax; "CompCountMax" itself is not read here.
// False when a named settings file cannot be read (nothing changes then).
bool LoadGraphSettings(GraphSettings& gs, const std::string& iniFile);
bool LoadGraphSettings(GraphSettings& gs, const SettingsStore& store);
void SaveGraphSettings(const GraphSettings& gs, const std::string& iniFile);
void SaveGraphSettings(const GraphSettings& gs, SettingsStore& store);
// "CompCountMax" of section "Graph", or `current` when missing or out of range.
int32_t ReadCompCountMax(const SettingsStore& store, int32_t current);
// How many keys of section "Graph" hold a value LoadGraphSettings would take (0: the file
// has nothing to load), for a table shaped like `gs`.
int32_t CountGraphKeys(const GraphSettings& gs, const SettingsStore& store);

// Section "Calculation".
void SetCalcDefaults(CalcParams& p);
bool LoadCalcParams(CalcParams& p, const std::string& iniFile);
bool LoadCalcParams(CalcParams& p, const SettingsStore& store);
void SaveCalcParams(const CalcParams& p, const std::string& iniFile);
void SaveCalcParams(const CalcParams& p, SettingsStore& store);

// Section "PreProcess": the thirteen stored fields (ConvertToMeter and PrefixCode are
// for the run only and left as they are).
void SetPreProcDefaults(PreProcParams& p);
bool LoadPreProcParams(PreProcParams& p, const std::string& iniFile);
bool LoadPreProcParams(PreProcParams& p, const SettingsStore& store);
void SavePreProcParams(const PreProcParams& p, const std::string& iniFile);
void SavePreProcParams(const PreProcParams& p, SettingsStore& store);

// Section "Processing": the parameters of the automatic processing chain, one key per field
// under the field's name.
void SetProcessingDefaults(ProcessingParams& p);
bool LoadProcessingParams(ProcessingParams& p, const std::string& iniFile);
bool LoadProcessingParams(ProcessingParams& p, const SettingsStore& store);
void SaveProcessingParams(const ProcessingParams& p, const std::string& iniFile);
void SaveProcessingParams(const ProcessingParams& p, SettingsStore& store);
// The fields of section "Processing" under their keys, in the stored order, for sources other
// than a store: each key with the one field it sets (the other two null).
struct ProcessingField {
  std::string key;
  float* single = nullptr;
  int32_t* whole = nullptr;
  bool* flag = nullptr;
};
std::vector<ProcessingField> ProcessingFields(ProcessingParams& p);

// Section "Window": main window placement, per-user store only. Sizes in twips.
struct WindowPlacement {
  float Left = 1000;
  float Top = 1000;
  float Width = 6500;
  float Height = 6500;
  int32_t State = 0;  // 0 normal, 2 maximised; 1 (minimised) is never stored
  bool ToolBar = true;
  bool StatusBar = true;
  bool Stored = false;  // a size was found in the store (not a first run)
};
constexpr int32_t kWindowMinimized = 1;
// A stored state other than 0 or 2 loads as 0.
void LoadWindowPlacement(WindowPlacement& w);
// While minimised (State 1) only the bar visibility is written.
void SaveWindowPlacement(const WindowPlacement& w);

// Section "Paths", per-user store only.
constexpr int kRecentFileCount = 6;
struct PathSettings {
  std::string LastFolder;         // folder of the last opened record
  std::string LastFolderSave;     // folder of the last export or save
  std::string LastFolderImage;    // folder of the last saved image
  std::string LastFolderSetting;  // folder of the last settings file
  // Most recent first: RecentFile[1] .. RecentFile[6]; entry 0 unused.
  std::array<std::string, kRecentFileCount + 1> RecentFile;
};
// Folders default to the documents folder (the pictures folder for images); recent files to empty.
void SetPathDefaults(PathSettings& p);
void LoadPathSettings(PathSettings& p);
void SavePathSettings(const PathSettings& p);

// Section "TextViewer", per-user store only: the window's placement in twips; each key
// defaults to the value the fields hold (the window's built-in placement).
struct TextViewerPlacement {
  float Left = 0;
  float Top = 0;
  float Width = 0;
  float Height = 0;
};
void LoadTextViewerPlacement(TextViewerPlacement& t);
void SaveTextViewerPlacement(const TextViewerPlacement& t);

// Start-up: component table sized from the stored "CompCountMax", then defaults and the
// stored sections "Graph", "Calculation", "PreProcess" and "Processing" (always from the
// per-user store), the run defaults, and the specify flag of the frequency and period axes
// forced on.
void LoadStoredSettings(AppState& app);

}  // namespace sism
