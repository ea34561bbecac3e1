// The graph kinds and everything the program knows about each: one row per kind. Drawing,
// export, the peaks report, the analysis drivers, the window's menus and the command-line
// tool read this table; adding a kind means a row here and a painter.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "state/app_state.h"

namespace sism {

// The graph shown; the numbers are stored in settings and typed on the command line.
enum GraphKindId : int32_t {
  KindNone = 0,
  KindAcc = 1,
  KindVel = 2,
  KindDisp = 3,
  KindFourier = 4,
  KindPower = 5,
  KindAutoCorrelation = 6,
  KindSa = 7,
  KindSv = 8,
  KindSd = 9,
  KindPSv = 10,
  KindEnergy = 11,
  KindAccOrbit = 12,
  KindVelOrbit = 13,
  KindDispOrbit = 14,
  KindSpectralRatio = 15,
  KindPhaseDifference = 16,
  KindCrossSpectrum = 17,
  KindCrossCorrelation = 18,
  KindCoherence = 19,
  KindResponseRatio = 20,
  KindReport = 21,
  KindSnr = 22,  // signal and noise spectra of the processing run
  KindDuctility = 23,  // constant-ductility spectra, one curve per ductility
  KindEas = 24,        // effective amplitude spectrum of the horizontal pair
};
constexpr int32_t kGraphKindCount = 24;

// How the page is laid out for a kind.
enum class PageForm { Wave, Spectrum, Orbit, Report };

// Where a kind's series come from.
enum class SeriesSource {
  None,      // nothing computed (the report page)
  Motion,    // time histories of every channel: acceleration, velocity or displacement
  Orbit,     // a pair of time histories of the orbit channels
  Fourier,   // per channel, over frequency
  AutoCorr,  // per channel, over time lag
  Response,  // per channel, over period
  Relation,  // per relation pair
  Ductility,  // per channel and ductility, over period
  Eas,        // one series of the first horizontal pair, over frequency
};

// What the index of a kind's series counts, which gives its horizontal value.
enum class IndexDomain {
  None,
  Samples,       // time steps from the record's start
  Frequency,     // Fourier bins: (i - 1) * DF
  HalfLag,       // lags from 0 in steps of 2 / f
  SymmetricLag,  // lags in steps of 2 / f with zero lag in the middle
  Period,        // the response periods
  Listed,        // values listed with the kind's series (ListedAxis)
};

// How the peaks report searches a series.
enum class PeakSearch { None, Peak, Max, Orbit };

// When the view follows the time axis (moving the time window redraws the kind).
enum class TimeAxisRule { Never, Always, FourierWindow, OrbitWindow };

struct GraphKindInfo {
  GraphKindId id = KindNone;
  PageForm page = PageForm::Spectrum;
  SeriesSource source = SeriesSource::None;
  IndexDomain domain = IndexDomain::None;
  int32_t xAxis = 0;            // AxisType of the horizontal axis (0 none)
  int32_t valueAxis = 0;        // AxisType of the values (0 none)
  int32_t normalizedAxis = 0;   // replaces valueAxis when the response spectra are normalised
  int32_t needs = 0;            // RecalcBits of the series the kind shows
  int32_t motion = 0;           // 1 acceleration, 2 velocity, 3 displacement (time histories, orbits)
  int32_t quantity = 0;         // ResponseQuantity of response kinds
  bool exports = false;         // File > Export has a layout for it
  TimeAxisRule timeAxis = TimeAxisRule::Never;
  PeakSearch peaks = PeakSearch::None;
  const char* peakFormat = "0.00";
  const char* normalizedPeakFormat = nullptr;  // when normalised (null: peakFormat)
  bool peakUnit = false;        // the peaks report quotes the value axis unit
  int32_t peakPositionAxis = 0;  // axis whose unit follows the position (0 none)
  const char* exportFormat = "0.0000e+00";
  bool exportUnit = true;       // the value heading carries the unit
  const char* pairJoin = "*";   // between the two labels of a relation pair
  bool pairYFirst = false;      // the values are Y over X, so Y's label leads
  int32_t normalizedTitle = 0;  // title template used when normalised (0: the kind's own)
  // The window's View item and its text (none for the report, whose pages have their own
  // items), and the toolbar key that selects the kind.
  const char* menuName = "";
  int32_t menuText = 0;
  const char* toolKey = nullptr;
};

// The row of a kind; kinds outside 1..kGraphKindCount get the empty row of KindNone.
const GraphKindInfo& KindInfo(int32_t kind);
// Every row from kind 1 to kGraphKindCount.
std::span<const GraphKindInfo> GraphKinds();

bool IsGraphKind(int32_t kind);
bool ExportableKind(int32_t kind);
// Kinds drawn one series per relation pair.
bool IsRelationKind(int32_t kind);
// The legend and heading text of a relation pair (X, Y), its numerator first.
std::string PairText(int32_t kind, const std::string& xLabel, const std::string& yLabel);
PageForm PageFormOf(int32_t kind);
// RecalcBits of the series the kind shows.
int32_t SeriesNeeds(int32_t kind);
// The same under the current settings: a report page needs what its entries show.
int32_t SeriesNeeds(const AppState& app, int32_t kind);
// The value axis as the current settings have it (normalised response axes).
int32_t ValueAxisOf(const AppState& app, int32_t kind);
const char* PeakFormatOf(const AppState& app, int32_t kind);
// Title template of the kind under the current settings.
std::string KindTitleTemplate(const AppState& app, int32_t kind);
// Whether the view of the kind moves with the time window under the current settings.
bool FollowsTimeAxis(const AppState& app, int32_t kind);
// Display name (string table 7100 + kind).
std::string KindName(int32_t kind);
// What the status bar says once the kind is drawn: its name, and for a kind drawn from the
// integrated motion, which channels' baselines gave way to the linear one.
std::string KindStatusText(const AppState& app, int32_t kind);

// One series of a kind as it is computed now: `count` values from `data` (1-based view:
// data[i - 1]), the second component of an orbit in `other`. Null data when not computed.
struct KindSeries {
  int32_t channel = 0;  // channel of per-channel kinds, X of a pair or orbit
  int32_t other = 0;    // Y of a pair or orbit
  int32_t curve = 0;    // ductility number (1-based) of the constant-ductility kind
  const float* data = nullptr;
  int32_t count = 0;
  const float* otherData = nullptr;
};
// The series of the channels `channels` (per-channel kinds), of the orbit pair, or of every
// relation pair, as the computed arrays hold them now.
std::vector<KindSeries> SeriesOfKind(const AppState& app, int32_t kind, std::span<const int32_t> channels);

// The horizontal values of a kind of the Listed domain (periods or frequencies); null otherwise.
const std::vector<float>* ListedAxis(const AppState& app, int32_t kind);
// What a series adds to its channel's label: " mu=2" for a constant-ductility curve.
std::string CurveSuffix(const AppState& app, const KindSeries& series);
// The name of what the constant-ductility kind draws under the current settings, for axis
// titles and export headings (without the unit).
std::string DuctilityQuantityName(int32_t quantity);

}  // namespace sism
