#include "app/shell/settings.h"

#include <algorithm>
#include <string_view>

#include "common/text.h"

namespace sism {

namespace {

constexpr std::string_view kGraph = "Graph";
constexpr std::string_view kCalculation = "Calculation";
constexpr std::string_view kPreProcess = "PreProcess";
constexpr std::string_view kProcessing = "Processing";
constexpr std::string_view kWindow = "Window";
constexpr std::string_view kPaths = "Paths";
constexpr std::string_view kTextViewer = "TextViewer";

// Storage key number of each axis record (they do not follow the record order).
constexpr std::array<int, kAxisCount + 1> kAxisKey = {0,  1,  2,  3,  4,  5,  6,  7,  18, 16, 8,  9, 10,
                                                      11, 20, 12, 13, 14, 15, 17, 19, 21, 22, 23, 24};

// Only these axes store their minimum and logarithmic flag.
bool AxisStoresRange(int r) {
  switch (r) {
    case AxisFrequency:
    case AxisPeriod:
    case AxisFourier:
    case AxisAccResponse:
    case AxisVelResponse:
    case AxisDispResponse:
    case AxisPseudoVelResponse:
      return true;
    default:
      return false;
  }
}

std::string AxisKey(int r, std::string_view suffix) {
  return "Axis" + std::to_string(kAxisKey[r]) + std::string(suffix);
}

std::string Numbered(std::string_view prefix, int i, std::string_view suffix = {}) {
  return std::string(prefix) + std::to_string(i) + std::string(suffix);
}

bool IsCompCountValid(int32_t n) {
  return n >= 3 && n <= kCompCountLimit;
}

// Reads and writes share one key list, so both follow the same order.
struct Reader {
  const SettingsStore& s;
  void Single(std::string_view sec, const std::string& key, float& v) const { v = s.ReadSingle(sec, key, v); }
  void Long(std::string_view sec, const std::string& key, int32_t& v) const { v = s.ReadLong(sec, key, v); }
  void Bool(std::string_view sec, const std::string& key, bool& v) const { v = s.ReadBool(sec, key, v); }
  void Text(std::string_view sec, const std::string& key, std::string& v) const { v = s.Read(sec, key, v); }
  // A text kept on one line with escapes; a missing key leaves the text as it is. A
  // stored value is one line, so a line break cannot be one.
  void MultiLineText(std::string_view sec, const std::string& key, std::string& v) const {
    const std::string stored = s.Read(sec, key, "\n");
    if (stored != "\n") v = DecodeEscapes(stored);
  }
};

struct Writer {
  SettingsStore& s;
  void Single(std::string_view sec, const std::string& key, float v) const { s.WriteSingle(sec, key, v); }
  void Long(std::string_view sec, const std::string& key, int32_t v) const { s.WriteLong(sec, key, v); }
  void Bool(std::string_view sec, const std::string& key, bool v) const { s.WriteBool(sec, key, v); }
  void Text(std::string_view sec, const std::string& key, const std::string& v) const {
    s.Write(sec, key, v);
  }
  void MultiLineText(std::string_view sec, const std::string& key, const std::string& v) const {
    s.Write(sec, key, EncodeEscapes(v));
  }
};

// A stored value outside the dialog's rules leaves the setting as it was.
void DuctilityKeys(const Reader& io, CalcParams& p) {
  std::string mu = DuctilityListText(p.Ductilities);
  io.Text(kCalculation, "Ductilities", mu);
  if (auto list = ParseDuctilityList(mu)) p.Ductilities = std::move(*list);
  float alpha = p.DuctilityAlpha, damping = p.DuctilityDamping;
  int32_t quantity = p.DuctilityQuantity;
  io.Single(kCalculation, "DuctilityAlpha", alpha);
  io.Single(kCalculation, "DuctilityDamping", damping);
  io.Long(kCalculation, "DuctilityQuantity", quantity);
  if (alpha >= 0 && alpha < 1) p.DuctilityAlpha = alpha;
  if (damping >= 0 && damping < 100) p.DuctilityDamping = damping;
  if (quantity >= 0 && quantity < kDuctilityQuantities) p.DuctilityQuantity = quantity;
}

template <typename Io>
void DuctilityKeys(const Io& io, const CalcParams& p) {
  io.Text(kCalculation, "Ductilities", DuctilityListText(p.Ductilities));
  io.Single(kCalculation, "DuctilityAlpha", p.DuctilityAlpha);
  io.Single(kCalculation, "DuctilityDamping", p.DuctilityDamping);
  io.Long(kCalculation, "DuctilityQuantity", p.DuctilityQuantity);
}

template <typename Io, typename P>
void CalcKeys(const Io& io, P& p) {
  io.Long(kCalculation, "IntegrationMethod", p.IntegrationMethod);
  io.Single(kCalculation, "CutOffFreq", p.CutOffFreq);
  io.Single(kCalculation, "TimeFront", p.TimeFront);
  io.Single(kCalculation, "TimeRear", p.TimeRear);
  io.Single(kCalculation, "WindowWidth", p.WindowWidth);
  io.Long(kCalculation, "FourDurationType", p.FourDurationType);
  io.Single(kCalculation, "FourLength", p.FourLength);
  io.Long(kCalculation, "RespSteps", p.RespSteps);
  io.Single(kCalculation, "RespDamping", p.RespDamping);
  io.Bool(kCalculation, "RespNormalize", p.RespNormalize);
  io.Bool(kCalculation, "RespPeaksBetweenSamples", p.RespPeaksBetweenSamples);
  io.Long(kCalculation, "FourierSmoothing", p.FourierSmoothing);
  io.Single(kCalculation, "KonnoOhmachiB", p.KonnoB);
  DuctilityKeys(io, p);
}

template <typename Io, typename P>
void ProcessingKeys(const Io& io, P& p) {
  io.Long(kProcessing, "MinSamples", p.MinSamples);
  io.Long(kProcessing, "MinRate", p.MinRate);
  io.Single(kProcessing, "MaxPga", p.MaxPga);
  io.Long(kProcessing, "ClipRunLength", p.ClipRunLength);
  io.Single(kProcessing, "ClipNear", p.ClipNear);
  io.Long(kProcessing, "ClipRuns", p.ClipRuns);
  io.Long(kProcessing, "ClipBins", p.ClipBins);
  io.Single(kProcessing, "ClipHistRatio", p.ClipHistRatio);
  io.Single(kProcessing, "PickerPeriod", p.PickerPeriod);
  io.Single(kProcessing, "PickerDamping", p.PickerDamping);
  io.Single(kProcessing, "PickAgreement", p.PickAgreement);
  io.Single(kProcessing, "NoiseMargin", p.NoiseMargin);
  io.Single(kProcessing, "MinNoiseSeconds", p.MinNoiseSeconds);
  io.Long(kProcessing, "SignalEnd", p.SignalEnd);
  io.Single(kProcessing, "SignalHusid", p.SignalHusid);
  io.Single(kProcessing, "KonnoB", p.KonnoB);
  io.Long(kProcessing, "SnrPoints", p.SnrPoints);
  io.Single(kProcessing, "SnrFmin", p.SnrFmin);
  io.Single(kProcessing, "SnrThreshold", p.SnrThreshold);
  io.Single(kProcessing, "BandMin", p.BandMin);
  io.Single(kProcessing, "BandMax", p.BandMax);
  io.Single(kProcessing, "LowPassCap", p.LowPassCap);
  io.Single(kProcessing, "MinBandRatio", p.MinBandRatio);
  io.Bool(kProcessing, "RaiseHighPass", p.RaiseHighPass);
  io.Single(kProcessing, "ResidualTarget", p.ResidualTarget);
  io.Single(kProcessing, "MaxHighPass", p.MaxHighPass);
  io.Single(kProcessing, "RidderTolerance", p.RidderTolerance);
  io.Long(kProcessing, "RidderIterations", p.RidderIterations);
  io.Single(kProcessing, "Taper", p.Taper);
  io.Long(kProcessing, "FilterOrder", p.FilterOrder);
  io.Long(kProcessing, "BaselineDegree", p.BaselineDegree);
  io.Single(kProcessing, "ResidualSeconds", p.ResidualSeconds);
  io.Single(kProcessing, "MaxFinalVelocity", p.MaxFinalVelocity);
  io.Single(kProcessing, "MaxFinalDisplacement", p.MaxFinalDisplacement);
  io.Single(kProcessing, "TailSeconds", p.TailSeconds);
  io.Single(kProcessing, "MaxTailVelocity", p.MaxTailVelocity);
  io.Single(kProcessing, "MaxTailDisplacement", p.MaxTailDisplacement);
  io.Single(kProcessing, "SnrCheckMin", p.SnrCheckMin);
  io.Single(kProcessing, "SnrCheckMax", p.SnrCheckMax);
  io.Long(kProcessing, "RejectOnFlag", p.RejectOnFlag);
  io.Text(kProcessing, "OutputFormats", p.OutputFormats);
}

template <typename Io, typename P>
void PreProcKeys(const Io& io, P& p) {
  io.Single(kPreProcess, "HighCutFreq", p.HighCutFreq);
  io.Bool(kPreProcess, "KeepDrawChan", p.KeepDrawChan);
  io.Single(kPreProcess, "LowCutFreq", p.LowCutFreq);
  io.Text(kPreProcess, "Multipliers", p.Multipliers);
  io.Long(kPreProcess, "RefSensor", p.RefSensor);
  io.Bool(kPreProcess, "RemoveDC", p.RemoveDC);
  io.Long(kPreProcess, "RemoveDCSeconds", p.RemoveDCSeconds);
  io.Bool(kPreProcess, "RotateWave", p.RotateWave);
  io.Bool(kPreProcess, "PickChannels", p.PickChannels);
  io.Long(kPreProcess, "RotateWaveAngle", p.RotateWaveAngle);
  io.Bool(kPreProcess, "ShowEachTime", p.ShowEachTime);
  io.Single(kPreProcess, "SkipSeconds", p.SkipSeconds);
  io.Single(kPreProcess, "TimeLength", p.TimeLength);
  io.Long(kPreProcess, "FilterType", p.FilterType);
  io.Long(kPreProcess, "FilterOrder", p.FilterOrder);
  io.Bool(kPreProcess, "FilterKeepPad", p.FilterKeepPad);
}

// Keys of section "Graph" up to the report graphs, in their stored order. The
// component table and the report table are sized by the caller.
template <typename Io, typename G>
void GraphKeys(const Io& io, G& gs, bool writing) {
  for (int r = 1; r <= kAxisCount; ++r) {
    auto& a = gs.Axis[r];
    io.Single(kGraph, AxisKey(r, "_Max"), a.Max);
    if (AxisStoresRange(r)) {
      io.Single(kGraph, AxisKey(r, "_Min"), a.Min);
      io.Bool(kGraph, AxisKey(r, "_Log"), a.Log);
    }
    io.Bool(kGraph, AxisKey(r, "_Specify"), a.Specify);
    io.Text(kGraph, AxisKey(r, "_Label"), a.Label);
    io.Text(kGraph, AxisKey(r, "_Unit"), a.Unit);
  }
  for (int i = 1; i <= kGraphTitleCount; ++i) io.Text(kGraph, Numbered("GraphTitle", i), gs.GraphTitle[i]);

  io.Long(kGraph, "WaveIncrement", gs.WaveIncrement);
  io.Long(kGraph, "OrbitTime", gs.OrbitTime);
  io.Single(kGraph, "OrbitStart", gs.OrbitStart);
  io.Single(kGraph, "OrbitEnd", gs.OrbitEnd);
  io.Single(kGraph, "OrbitInt", gs.OrbitInt);
  io.Long(kGraph, "OrbitCols", gs.OrbitCols);
  io.Long(kGraph, "OrbitComp1", gs.OrbitComp1);
  io.Long(kGraph, "OrbitComp2", gs.OrbitComp2);

  for (std::size_t i = 1; i < gs.WaveLine.size(); ++i) {
    auto& w = gs.WaveLine[i];
    const int n = static_cast<int>(i);
    io.Long(kGraph, Numbered("WaveLine", n, "Color"), w.Color);
    io.Single(kGraph, Numbered("WaveLine", n, "Width"), w.Width);
    io.Long(kGraph, Numbered("WaveLine", n, "Style"), w.Style);
  }
  for (int i = 1; i <= kFontCount; ++i) {
    auto& f = gs.Font[i];
    io.Text(kGraph, Numbered("Font", i, "Name"), f.Name);
    io.Single(kGraph, Numbered("Font", i, "Size"), f.Size);
    io.Bool(kGraph, Numbered("Font", i, "Bold"), f.Bold);
    io.Bool(kGraph, Numbered("Font", i, "Italic"), f.Italic);
    io.Long(kGraph, Numbered("Font", i, "Color"), f.Color);
  }
  for (int i = 1; i <= kLineCount; ++i) {
    auto& l = gs.Line[i];
    io.Long(kGraph, Numbered("Line", i, "Color"), l.Color);
    io.Single(kGraph, Numbered("Line", i, "Width"), l.Width);
    io.Long(kGraph, Numbered("Line", i, "Style"), l.Style);
  }
  for (int i = 1; i <= kBackColorCount; ++i) io.Long(kGraph, Numbered("BackColor", i), gs.BackColor[i]);

  io.Bool(kGraph, "DrawGrid", gs.DrawGrid);
  io.Long(kGraph, "GridLine", gs.GridLine);
  io.Long(kGraph, "LegendPosition", gs.LegendPosition);
  io.Bool(kGraph, "LegFixTime", gs.LegFixTime);
  io.Bool(kGraph, "FixedTimeWindow", gs.FixedTimeWindow);
  io.Single(kGraph, "LineUnit", gs.LineUnit);
  if (writing) io.Long(kGraph, "CompCountMax", gs.CompCountMax);
  io.Long(kGraph, "WaveWidth", gs.WaveWidth);
  io.Long(kGraph, "WaveHeight", gs.WaveHeight);
  io.Long(kGraph, "WaveSpace", gs.WaveSpace);
  io.Long(kGraph, "SpecWidth", gs.SpecWidth);
  io.Long(kGraph, "SpecHeight", gs.SpecHeight);
  io.Long(kGraph, "OrbitWidth", gs.OrbitWidth);
  io.Long(kGraph, "LeftMargin", gs.LeftMargin);
  io.Long(kGraph, "RightMargin", gs.RightMargin);
  io.Long(kGraph, "TopMargin", gs.TopMargin);
  io.Long(kGraph, "BottomMargin", gs.BottomMargin);
  io.Text(kGraph, "Header", gs.Header);
  io.Text(kGraph, "Footer", gs.Footer);
  io.Bool(kCalculation, "SpectraOnPeriod", gs.SpectraOnPeriod);
}

// Counts the keys that hold a value of their type; changes nothing.
struct Counter {
  const SettingsStore& s;
  int32_t& found;
  void Single(std::string_view sec, const std::string& key, float) const {
    float v;
    Count(sec, key, [&v](const std::string& t) { return ParseSingle(t, v); });
  }
  void Long(std::string_view sec, const std::string& key, int32_t) const {
    int32_t v;
    Count(sec, key, [&v](const std::string& t) { return ParseLong(t, v); });
  }
  void Bool(std::string_view sec, const std::string& key, bool) const {
    bool v;
    Count(sec, key, [&v](const std::string& t) { return ParseBool(t, v); });
  }
  void Text(std::string_view sec, const std::string& key, const std::string&) const {
    Count(sec, key, [](const std::string&) { return true; });
  }
  void MultiLineText(std::string_view sec, const std::string& key, const std::string&) const {
    Text(sec, key, {});
  }
  template <typename Parse>
  void Count(std::string_view sec, const std::string& key, Parse parse) const {
    // A control character cannot be read back from a one-line value, so it marks a missing key.
    const std::string text = s.Read(sec, key, "\x01");
    if (text != "\x01" && parse(text)) ++found;
  }
};

template <typename Io, typename R>
void ReportGraphKeys(const Io& io, R& g, int i) {
  io.Long(kGraph, Numbered("RepGraph", i, "Left"), g.Left);
  io.Long(kGraph, Numbered("RepGraph", i, "Top"), g.Top);
  io.Long(kGraph, Numbered("RepGraph", i, "Width"), g.Width);
  io.Long(kGraph, Numbered("RepGraph", i, "Height"), g.Height);
}

}  // namespace

// ---------------------------------------------------------------------------
// Graph

void SetGraphDefaults(GraphSettings& gs) {
  const int32_t count = gs.CompCountMax;
  gs = GraphSettings{};
  gs.WaveLine = DefaultWaveLines(count);
  gs.CompCountMax = count;
}

int32_t ReadCompCountMax(const SettingsStore& store, int32_t current) {
  int32_t n = store.ReadLong(kGraph, "CompCountMax", current);
  return IsCompCountValid(n) ? n : current;
}

int32_t CountGraphKeys(const GraphSettings& gs, const SettingsStore& store) {
  int32_t found = 0;
  const Counter io{store, found};
  GraphSettings shape = gs;
  GraphKeys(io, shape, false);
  for (const char* key : {"RepGraphCount", "RepWidth", "RepHeight"}) io.Long(kGraph, key, 0);
  int32_t count = store.ReadLong(kGraph, "RepGraphCount", gs.RepGraphCount);
  if (count < 0 || count > kRepGraphLimit) count = gs.RepGraphCount;
  for (int i = 1; i <= count; ++i) {
    const ReportGraph g;
    ReportGraphKeys(io, g, i);
    io.Long(kGraph, Numbered("RepGraph", i, "Type"), 0);
    io.Text(kGraph, Numbered("RepGraph", i, "Text"), {});
  }
  return found;
}

bool LoadGraphSettings(GraphSettings& gs, const SettingsStore& store) {
  if (!store.UserStore() && !store.Found()) return false;
  if (gs.WaveLine.size() != static_cast<std::size_t>(gs.CompCountMax) + 1)
    ResizeWaveLines(gs, gs.CompCountMax);
  Reader io{store};
  GraphKeys(io, gs, false);
  int32_t count = gs.RepGraphCount;
  io.Long(kGraph, "RepGraphCount", count);
  if (count >= 0 && count <= kRepGraphLimit)
    ResizeReportGraphs(gs, count);
  else
    ResizeReportGraphs(gs, gs.RepGraphCount);
  io.Long(kGraph, "RepWidth", gs.RepWidth);
  io.Long(kGraph, "RepHeight", gs.RepHeight);
  for (int i = 1; i <= gs.RepGraphCount; ++i) {
    ReportGraph& g = gs.RepGraph[i];
    ReportGraphKeys(io, g, i);
    int32_t stored = GraphKindToStoredType(g.Type);
    io.Long(kGraph, Numbered("RepGraph", i, "Type"), stored);
    g.Type = StoredTypeToGraphKind(stored);
    io.MultiLineText(kGraph, Numbered("RepGraph", i, "Text"), g.Text);
  }
  return true;
}

bool LoadGraphSettings(GraphSettings& gs, const std::string& iniFile) {
  return LoadGraphSettings(gs, SettingsStore(iniFile));
}

void SaveGraphSettings(const GraphSettings& gs, SettingsStore& store) {
  Writer io{store};
  GraphKeys(io, gs, true);
  const int count = std::min<int>(gs.RepGraphCount, static_cast<int>(gs.RepGraph.size()) - 1);
  io.Long(kGraph, "RepGraphCount", std::max(count, 0));
  io.Long(kGraph, "RepWidth", gs.RepWidth);
  io.Long(kGraph, "RepHeight", gs.RepHeight);
  for (int i = 1; i <= count; ++i) {
    const ReportGraph& g = gs.RepGraph[i];
    ReportGraphKeys(io, g, i);
    io.Long(kGraph, Numbered("RepGraph", i, "Type"), GraphKindToStoredType(g.Type));
    io.MultiLineText(kGraph, Numbered("RepGraph", i, "Text"), g.Text);
  }
}

void SaveGraphSettings(const GraphSettings& gs, const std::string& iniFile) {
  SettingsStore store(iniFile);
  SaveGraphSettings(gs, store);
  store.Commit();
}

// ---------------------------------------------------------------------------
// Calculation

void SetCalcDefaults(CalcParams& p) {
  p = CalcParams{};
}

bool LoadCalcParams(CalcParams& p, const SettingsStore& store) {
  if (!store.UserStore() && !store.Found()) return false;
  CalcKeys(Reader{store}, p);
  return true;
}

bool LoadCalcParams(CalcParams& p, const std::string& iniFile) {
  return LoadCalcParams(p, SettingsStore(iniFile));
}

void SaveCalcParams(const CalcParams& p, SettingsStore& store) {
  CalcKeys(Writer{store}, p);
}

void SaveCalcParams(const CalcParams& p, const std::string& iniFile) {
  SettingsStore store(iniFile);
  SaveCalcParams(p, store);
  store.Commit();
}

// ---------------------------------------------------------------------------
// PreProcess

void SetPreProcDefaults(PreProcParams& p) {
  const bool toMeter = p.ConvertToMeter;
  const bool prefix = p.PrefixCode;
  p = PreProcParams{};
  p.ConvertToMeter = toMeter;
  p.PrefixCode = prefix;
}

bool LoadPreProcParams(PreProcParams& p, const SettingsStore& store) {
  if (!store.UserStore() && !store.Found()) return false;
  PreProcKeys(Reader{store}, p);
  return true;
}

bool LoadPreProcParams(PreProcParams& p, const std::string& iniFile) {
  return LoadPreProcParams(p, SettingsStore(iniFile));
}

void SavePreProcParams(const PreProcParams& p, SettingsStore& store) {
  PreProcKeys(Writer{store}, p);
}

void SavePreProcParams(const PreProcParams& p, const std::string& iniFile) {
  SettingsStore store(iniFile);
  SavePreProcParams(p, store);
  store.Commit();
}

// ---------------------------------------------------------------------------
// Processing

void SetProcessingDefaults(ProcessingParams& p) {
  p = ProcessingParams{};
}

bool LoadProcessingParams(ProcessingParams& p, const SettingsStore& store) {
  if (!store.UserStore() && !store.Found()) return false;
  ProcessingKeys(Reader{store}, p);
  return true;
}

bool LoadProcessingParams(ProcessingParams& p, const std::string& iniFile) {
  return LoadProcessingParams(p, SettingsStore(iniFile));
}

void SaveProcessingParams(const ProcessingParams& p, SettingsStore& store) {
  ProcessingKeys(Writer{store}, p);
}

void SaveProcessingParams(const ProcessingParams& p, const std::string& iniFile) {
  SettingsStore store(iniFile);
  SaveProcessingParams(p, store);
  store.Commit();
}

namespace {

// The key list walked for its fields rather than for a store.
struct Lister {
  std::vector<ProcessingField>& out;
  void Single(std::string_view, const std::string& key, float& v) const { out.push_back({key, &v, nullptr, nullptr}); }
  void Long(std::string_view, const std::string& key, int32_t& v) const { out.push_back({key, nullptr, &v, nullptr}); }
  void Bool(std::string_view, const std::string& key, bool& v) const { out.push_back({key, nullptr, nullptr, &v}); }
  // The output formats name the files the tool writes; a call on a record writes none.
  void Text(std::string_view, const std::string&, std::string&) const {}
};

}  // namespace

std::vector<ProcessingField> ProcessingFields(ProcessingParams& p) {
  std::vector<ProcessingField> fields;
  ProcessingKeys(Lister{fields}, p);
  return fields;
}

// ---------------------------------------------------------------------------
// Window, Paths, TextViewer (per-user store)

void LoadWindowPlacement(WindowPlacement& w) {
  SettingsStore store("");
  Reader io{store};
  w.Stored = store.Read(kWindow, "Width", "\n") != "\n";
  io.Single(kWindow, "Left", w.Left);
  io.Single(kWindow, "Top", w.Top);
  io.Single(kWindow, "Width", w.Width);
  io.Single(kWindow, "Height", w.Height);
  io.Long(kWindow, "State", w.State);
  if (w.State != 0 && w.State != 2) w.State = 0;
  io.Bool(kWindow, "ToolBar", w.ToolBar);
  io.Bool(kWindow, "StatusBar", w.StatusBar);
}

void SaveWindowPlacement(const WindowPlacement& w) {
  SettingsStore store("");
  Writer io{store};
  if (w.State != kWindowMinimized) {
    io.Single(kWindow, "Left", w.Left);
    io.Single(kWindow, "Top", w.Top);
    io.Single(kWindow, "Width", w.Width);
    io.Single(kWindow, "Height", w.Height);
    io.Long(kWindow, "State", w.State == 2 ? 2 : 0);
  }
  io.Bool(kWindow, "ToolBar", w.ToolBar);
  io.Bool(kWindow, "StatusBar", w.StatusBar);
  store.Commit();
}

void SetPathDefaults(PathSettings& p) {
  const std::string documents = GetFolderPath(FolderDocuments, false);
  p.LastFolder = documents;
  p.LastFolderSave = documents;
  p.LastFolderImage = GetFolderPath(FolderPictures, false);
  p.LastFolderSetting = documents;
  for (auto& f : p.RecentFile) f.clear();
}

template <typename Io, typename P>
void PathKeys(const Io& io, P& p) {
  io.Text(kPaths, "LastFolder", p.LastFolder);
  io.Text(kPaths, "LastFolderSave", p.LastFolderSave);
  io.Text(kPaths, "LastFolderImage", p.LastFolderImage);
  io.Text(kPaths, "LastFolderSetting", p.LastFolderSetting);
  for (int i = 1; i <= kRecentFileCount; ++i) io.Text(kPaths, Numbered("RecentFile", i), p.RecentFile[i]);
}

void LoadPathSettings(PathSettings& p) {
  SettingsStore store("");
  PathKeys(Reader{store}, p);
}

void SavePathSettings(const PathSettings& p) {
  SettingsStore store("");
  PathKeys(Writer{store}, p);
  store.Commit();
}

template <typename Io, typename T>
void TextViewerKeys(const Io& io, T& t) {
  io.Single(kTextViewer, "Window Left", t.Left);
  io.Single(kTextViewer, "Window Top", t.Top);
  io.Single(kTextViewer, "Window Width", t.Width);
  io.Single(kTextViewer, "Window Height", t.Height);
}

void LoadTextViewerPlacement(TextViewerPlacement& t) {
  SettingsStore store("");
  TextViewerKeys(Reader{store}, t);
}

void SaveTextViewerPlacement(const TextViewerPlacement& t) {
  SettingsStore store("");
  TextViewerKeys(Writer{store}, t);
  store.Commit();
}

// ---------------------------------------------------------------------------
// Start-up

void LoadStoredSettings(AppState& app) {
  const SettingsStore store("");
  ResizeWaveLines(app.graph, ReadCompCountMax(store, kDefaultCompCount));
  SetGraphDefaults(app.graph);
  LoadGraphSettings(app.graph, store);
  SetCalcDefaults(app.calc);
  LoadCalcParams(app.calc, store);
  SetPreProcDefaults(app.preproc);
  LoadPreProcParams(app.preproc, store);
  SetProcessingDefaults(app.processing);
  LoadProcessingParams(app.processing, store);

  app.run.SwitchC = true;
  app.run.SwitchE = true;
  app.run.SwitchV = false;
  app.run.LengthUnit = 1;
  app.view.ViewChanCount = 0;

  // Spectra need a fixed frequency and period range, whatever was stored.
  app.graph.Axis[AxisFrequency].Specify = true;
  app.graph.Axis[AxisPeriod].Specify = true;
}

}  // namespace sism
