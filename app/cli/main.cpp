// sismora-cli COMMAND [options] FILE...: the program's core without its window, for
// scripts that process many records: reports, peaks, exports, graphs and .ac copies.
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/cli/cli.h"
#include "app/shell/cmdline.h"
#include "app/shell/console_ui.h"
#include "app/shell/export.h"
#include "app/shell/flatfile.h"
#include "app/shell/peaks_report.h"
#include "app/shell/properties_report.h"
#include "app/shell/settings.h"
#include "common/errors.h"
#include "common/files.h"
#include "common/path.h"
#include "common/strings.h"
#include "common/text.h"
#include "common/version.h"
#include "analysis/drivers.h"
#include "draw/report.h"
#include "load/pipeline.h"
#include "load/statistics.h"
#include "record/display_text.h"
#include "record/formats.h"
#include "state/app_state.h"
#include "state/graph_kinds.h"

namespace sism::cli {
namespace {

constexpr int kExitOk = 0, kExitUnread = 1, kExitUsage = 2;

const char* kToolHelp =
    "Usage: sismora-cli COMMAND [options] FILE...\n"
    "\n"
    "Commands:\n"
    "  info FILE...               record properties report (--summary, --json)\n"
    "  peaks KIND FILE...         peaks of a graph kind (--from S --to S)\n"
    "  export KIND FILE... -o OUT series of a graph kind as text (--format, --pair)\n"
    "  plot KIND FILE... -o OUT   graph into a .png, .svg or .pdf file (--width, --dpi)\n"
    "  convert FILE... -o OUT     record re-saved as .ac\n"
    "  metrics FILE|FOLDER... -o OUT  flatfile of ground-motion measures, one row per record\n"
    "\n"
    "sismora-cli COMMAND --help describes each command; sismora-cli --version prints the\n"
    "version.\n"
    "\n"
    "Options of every command:\n"
    "  --settings FILE.ini  load sections Graph, Calculation and PreProcess from an INI\n"
    "                       file over the stored settings\n"
    "  -hF -lF              high-cut and low-cut frequency of the band-pass filter (Hz)\n"
    "  --filter fft|butter|butter-causal  the band-pass filter: the FFT filter (the intensity\n"
    "                       weighting's curves, zero phase), Butterworth forward and backward\n"
    "                       (zero phase) or causal; --order N (1-12, default 4); --keep-pad\n"
    "                       keeps the Butterworth zero pads in the record\n"
    "  -rA                  rotate the horizontal channels by A degrees\n"
    "  -iN                  sensor group whose channels give the JMA intensity (0: the\n"
    "                       record's own, the default)\n"
    "  -sS -tS              skip S seconds at the start; keep S seconds\n"
    "  -v                   three extra header lines in exported files\n"
    "  -c-                  series not clipped to the plot rectangle\n"
    "  General data and CSV files (guessed when not given; the values used are shown):\n"
    "  --skip N --count N --freq F --channels N --coef C --label-line --neglect-first\n"
    "  --start S --field-width W --columns N   (fixed-width layout of general files;\n"
    "                       --width W is the same outside plot)\n"
    "  miniSEED and SAC files (counts; a station's components open together):\n"
    "  --response FILE.xml  StationXML whose sensitivities turn counts into acceleration\n"
    "                       (default: NET.STA.xml beside the data; without one, --coef C)\n"
    "  --station NET.STA.LOC.BAND  the station and band to open when the files hold several\n"
    "                       (e.g. BK.CMB.00.HN)\n"
    "  --differentiate      open velocity channels (HH?, BH?, input units m/s)\n"
    "                       differentiated into acceleration; without it they are refused\n"
    "\n"
    "Exit status: 0 success, 1 a file could not be read or written, 2 bad usage.\n";

std::string PeriodList(const std::vector<float>& periods) {
  std::string s;
  for (float t : periods) s += (s.empty() ? "" : ",") + NumberText(t);
  return s;
}

// The report page is a page of other graphs: only plot draws it.
std::string KindList(bool withReport = false) {
  std::string s = "Graph kinds:\n";
  for (const GraphKindInfo& k : GraphKinds()) {
    if (k.page == PageForm::Report && !withReport) continue;
    s += "  " + std::to_string(k.id) + (k.id < 10 ? "   " : "  ") + KindName(k.id) + "\n";
  }
  return s;
}

std::string CommandHelp(const std::string& cmd) {
  if (cmd == "info")
    return "Usage: sismora-cli info [options] FILE...\n"
           "Prints the record properties report of each file (several separated by an empty line).\n"
           "  --summary   the one-line summary of the status bar only\n"
           "  --json      one JSON object per file and line, keys named as the record's fields\n";
  if (cmd == "peaks")
    return "Usage: sismora-cli peaks KIND [options] FILE...\n"
           "Prints the peaks report of graph kind KIND (1-20).\n"
           "  --from X --to X   window of the horizontal axis (seconds, Hz or period seconds as\n"
           "                    the kind has it); the whole axis when not given\n"
           "  --pair X,Y        channel pair of the relation kinds (repeatable)\n\n" +
           KindList();
  if (cmd == "export")
    return "Usage: sismora-cli export KIND [options] FILE... -o OUT\n"
           "Writes the series of graph kind KIND (1-11, 15-20) as text. OUT '-' is standard output;\n"
           "with several files OUT is a folder. A name without extension gets .csv or .txt.\n"
           "  --format csv|fixed|tsv   comma separated (default), fixed columns, tab separated\n"
           "  --pair X,Y               channel pair of the relation kinds 15-20 (repeatable)\n"
           "  -v                       three extra header lines\n\n" +
           KindList();
  if (cmd == "plot")
    return "Usage: sismora-cli plot KIND [options] FILE... -o OUT.png|OUT.svg|OUT.pdf\n"
           "Draws graph kind KIND as the program draws it for printing. With several files OUT\n"
           "is a folder and each file gives NAME.png.\n"
           "  --dpi N     resolution of a PNG (default 96)\n"
           "  --width N   width of a PNG in pixels, to the nearest whole resolution\n"
           "  --pair X,Y  channel pair of the relation kinds (repeatable)\n"
           "  --report-page N  page N of the report (kind 21), showing channels 3N-2 to 3N\n"
           "              (default 1)\n\n" +
           KindList(true);
  if (cmd == "convert")
    return "Usage: sismora-cli convert [options] FILE... -o OUT.ac\n"
           "Reads each file, preprocesses it and writes all channels as an .ac file. A name without\n"
           "extension gets .ac; with several files OUT is a folder and each file gives NAME.ac.\n";
  if (cmd == "metrics")
    return "Usage: sismora-cli metrics [options] FILE|FOLDER... -o OUT.csv\n"
           "Writes one CSV row per record: file, format, station, place, date, rate, length; for the\n"
           "two horizontals and the vertical of the intensity group PGA, PGV, PGD, Arias intensity,\n"
           "CAV and the 5-75 % and 5-95 % significant durations; pseudo-acceleration Sa = w^2 Sd of\n"
           "each at the periods; RotD50 and RotD100 of the horizontal pair; then the further measures\n"
           "of each (peak times, RMS, Ic, CAV5, ASI, VSI, EDA, A95, Tp, Tm, durations ...), RotD50 of\n"
           "PGA and PGV, JMA's long-period class and R_mu for mu = 2, 4 at the periods. Folders are walked\n"
           "recursively for the files a format reader recognises; the files of one set (K-NET,\n"
           "KiK-net, ESM ...) give one row. OUT '-' is standard output. A file that cannot be read\n"
           "gives a row with the reason in the last column, and the exit status is then 1.\n"
           "  --damping P        damping of the spectra in percent (default 5)\n"
           "  --periods T,T,...  periods in seconds (default " + PeriodList(StandardMetricPeriods()) + ")\n"
           "  --level L          chosen level of the bracketed and uniform durations, cm/s/s (default 5)\n"
           "  -j N               compute N records at a time (rows keep their order)\n"
           "  --shard K/N        only every N-th record starting at the K-th (1 <= K <= N); the\n"
           "                     header is written by shard 1, so the shards concatenate\n";
  return {};
}

struct Options {
  std::string command;
  int32_t kind = 0;
  std::vector<std::string> files;
  std::vector<std::string> switches;
  std::string settingsFile;
  std::string output;
  bool summary = false, json = false, help = false, version = false;
  std::optional<double> from, to;
  int32_t filter = ExportComma;
  std::vector<std::pair<int32_t, int32_t>> pairs;
  PlotOptions plot;
  std::optional<int32_t> reportPage;  // 1-based
  // General data and CSV files.
  std::optional<int32_t> skip, count, freq, channels, start, width, columns;
  // Seismometer data (miniSEED, SAC).
  std::string station, response;
  bool differentiate = false;
  std::optional<float> coef;
  bool labelLine = false, neglectFirst = false;
  std::optional<int32_t> filterType, filterOrder;  // over the PreProcess settings
  bool keepPad = false;
  // metrics
  std::optional<float> damping, level;
  std::vector<float> periods;
  int32_t jobs = 1;
  int32_t shardK = 1, shardN = 1;
};

struct UsageError {
  std::string text;
};

int32_t WholeNumber(const std::string& opt, const std::string& v, int32_t least) {
  if (!IsNumeric(v)) throw UsageError{opt + " needs a number, not '" + v + "'"};
  const double d = ToDouble(v);
  if (d != std::floor(d) || d < least || d > 2147483647.0)
    throw UsageError{opt + " needs a whole number of at least " + std::to_string(least) + ", not '" + v +
                     "'"};
  return static_cast<int32_t>(d);
}

double Number(const std::string& opt, const std::string& v) {
  if (!IsNumeric(v)) throw UsageError{opt + " needs a number, not '" + v + "'"};
  const double d = ToDouble(v);
  if (!std::isfinite(d)) throw UsageError{opt + " needs a finite number"};
  return d;
}

int32_t ParseKind(const std::string& cmd, const std::string& v) {
  // The report page shows other graphs: it is drawn, never listed or exported.
  const std::string range = cmd == "plot" ? "1 to 21" : "1 to 20";
  const double last = cmd == "plot" ? KindReport : KindReport - 1;
  if (!IsNumeric(v)) throw UsageError{cmd + " needs a graph kind number (" + range + "), not '" + v + "'"};
  const double d = ToDouble(v);
  if (d != std::floor(d) || d < 1 || d > last) throw UsageError{"graph kind must be " + range + ", not '" + v + "'"};
  const auto k = static_cast<int32_t>(d);
  if (cmd == "export" && !ExportableKind(k))
    throw UsageError{"kind " + v + " (" + KindName(k) + ") cannot be exported; kinds 1-11 and 15-20 can"};
  return k;
}

bool IsCommand(const std::string& a) {
  return a == "info" || a == "peaks" || a == "export" || a == "plot" || a == "convert" || a == "metrics";
}

Options Parse(const std::vector<std::string>& args) {
  Options o;
  std::size_t i = 0;
  auto value = [&](const std::string& opt) -> std::string {
    if (i >= args.size()) throw UsageError{opt + " needs a value"};
    return args[i++];
  };
  std::vector<std::string> positional;
  std::optional<int32_t> width;
  while (i < args.size()) {
    const std::string a = args[i++];
    // "-h" without a frequency changes nothing in the program, so here it asks for help.
    if (a == "--help" || a == "-?" || a == "-h" || a == "-H" || (a == "help" && positional.empty())) {
      o.help = true;
    } else if (a == "--version") {
      o.version = true;
    } else if (a == "--summary") {
      o.summary = true;
    } else if (a == "--json") {
      o.json = true;
    } else if (a == "--settings") {
      o.settingsFile = value(a);
    } else if (a == "-o" || a == "--output") {
      o.output = value(a);
    } else if (a == "--from") {
      o.from = Number(a, value(a));
    } else if (a == "--to") {
      o.to = Number(a, value(a));
    } else if (a == "--format") {
      const std::string f = LCase(value(a));
      if (f == "csv")
        o.filter = ExportComma;
      else if (f == "fixed")
        o.filter = ExportFixed;
      else if (f == "tsv")
        o.filter = ExportTab;
      else
        throw UsageError{"--format is csv, fixed or tsv, not '" + f + "'"};
    } else if (a == "--pair") {
      const std::string v = value(a);
      const std::vector<std::string> xy = Split(v, ",");
      if (xy.size() != 2) throw UsageError{"--pair needs two channel numbers X,Y, not '" + v + "'"};
      o.pairs.emplace_back(WholeNumber(a, Trim(xy[0]), 1), WholeNumber(a, Trim(xy[1]), 1));
    } else if (a == "--report-page") {
      o.reportPage = WholeNumber(a, value(a), 1);
    } else if (a == "--dpi") {
      o.plot.dpi = WholeNumber(a, value(a), 1);
      if (o.plot.dpi > 2400) throw UsageError{"--dpi is at most 2400"};
    } else if (a == "--width") {
      width = WholeNumber(a, value(a), 1);
    } else if (a == "--field-width") {
      o.width = WholeNumber(a, value(a), 1);
    } else if (a == "--skip") {
      o.skip = WholeNumber(a, value(a), 0);
    } else if (a == "--count") {
      o.count = WholeNumber(a, value(a), 1);
    } else if (a == "--freq") {
      o.freq = WholeNumber(a, value(a), 1);
    } else if (a == "--channels") {
      o.channels = WholeNumber(a, value(a), 1);
    } else if (a == "--coef") {
      o.coef = static_cast<float>(Number(a, value(a)));
    } else if (a == "--start") {
      o.start = WholeNumber(a, value(a), 1);
    } else if (a == "--columns") {
      o.columns = WholeNumber(a, value(a), 1);
    } else if (a == "--damping") {
      const double d = Number(a, value(a));
      if (!(d >= 0 && d < 100)) throw UsageError{"--damping is a percentage from 0 to below 100"};
      o.damping = static_cast<float>(d);
    } else if (a == "--level") {
      o.level = static_cast<float>(Number(a, value(a)));
      if (!(*o.level > 0)) throw UsageError{"--level is an acceleration above 0 in cm/s/s"};
    } else if (a == "--periods") {
      const std::string v = value(a);
      o.periods.clear();
      for (const std::string& t : Split(v, ",")) {
        const double d = Number(a, Trim(t));
        if (!(d > 0)) throw UsageError{"--periods are positive seconds, not '" + Trim(t) + "'"};
        o.periods.push_back(static_cast<float>(d));
      }
    } else if (a == "-j" || a == "--jobs" || (StartsWith(a, "-j") && a.size() > 2)) {
      o.jobs = WholeNumber("-j", a.size() > 2 && a[1] == 'j' ? a.substr(2) : value(a), 1);
      if (o.jobs > 256) throw UsageError{"-j is at most 256"};
    } else if (a == "--shard") {
      const std::string v = value(a);
      const std::vector<std::string> kn = Split(v, "/");
      if (kn.size() != 2) throw UsageError{"--shard needs K/N, not '" + v + "'"};
      o.shardK = WholeNumber(a, Trim(kn[0]), 1);
      o.shardN = WholeNumber(a, Trim(kn[1]), 1);
      if (o.shardK > o.shardN) throw UsageError{"--shard K/N needs K from 1 to N, not '" + v + "'"};
    } else if (a == "--station") {
      o.station = value(a);
      if (Split(o.station, ".").size() != 4)
        throw UsageError{"--station needs NET.STA.LOC.BAND (e.g. BK.CMB.00.HN; LOC may be empty), not '" +
                         o.station + "'"};
    } else if (a == "--response") {
      o.response = value(a);
      if (!FileExists(o.response)) throw UsageError{"--response: no file " + o.response};
    } else if (a == "--differentiate") {
      o.differentiate = true;
    } else if (a == "--label-line") {
      o.labelLine = true;
    } else if (a == "--neglect-first") {
      o.neglectFirst = true;
    } else if (a == "--filter") {
      const std::string f = value(a);
      if (f == "fft")
        o.filterType = kFilterFft;
      else if (f == "butter")
        o.filterType = kFilterButterworthAcausal;
      else if (f == "butter-causal")
        o.filterType = kFilterButterworthCausal;
      else
        throw UsageError{"--filter is fft, butter or butter-causal, not '" + f + "'"};
    } else if (a == "--order") {
      const double d = Number(a, value(a));
      if (d != std::floor(d) || d < 1 || d > kMaxFilterOrder)
        throw UsageError{"--order is a whole number from 1 to 12"};
      o.filterOrder = static_cast<int32_t>(d);
    } else if (a == "--keep-pad") {
      o.keepPad = true;
    } else if (StartsWith(a, "--")) {
      throw UsageError{"unknown option '" + a + "'"};
    } else if (a.size() >= 2 && a[0] == '-') {
      const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(a[1])));
      if (std::string("cehilrstv").find(letter) == std::string::npos)
        throw UsageError{"unknown switch '" + a + "'"};
      o.switches.push_back(a);
    } else {
      positional.push_back(a);
    }
  }
  std::size_t p = 0;
  if (p < positional.size()) {
    o.command = positional[p++];
    if (!IsCommand(o.command)) throw UsageError{"unknown command '" + o.command + "'"};
  }
  if (o.help || o.version) return o;
  if (o.command.empty()) throw UsageError{"no command given"};
  // The image width of plot; the field width of general data files elsewhere.
  if (width) {
    if (o.command == "plot") {
      if (*width > 20000) throw UsageError{"--width is at most 20000 pixels"};
      o.plot.width = *width;
    } else {
      o.width = width;
    }
  }
  const bool kindSeen = !(o.command == "peaks" || o.command == "export" || o.command == "plot");
  if (!kindSeen && p < positional.size()) o.kind = ParseKind(o.command, positional[p++]);
  o.files.assign(positional.begin() + static_cast<std::ptrdiff_t>(p), positional.end());
  if (!kindSeen && o.kind == 0) throw UsageError{o.command + " needs a graph kind"};
  if (o.files.empty()) throw UsageError{o.command + " needs a file"};
  const bool needsOutput =
      o.command == "export" || o.command == "plot" || o.command == "convert" || o.command == "metrics";
  if (needsOutput && o.output.empty()) throw UsageError{o.command + " needs -o OUT"};
  if (!needsOutput && !o.output.empty())
    throw UsageError{o.command + " writes to standard output; -o is not used"};
  if (o.command == "info" && o.summary && o.json) throw UsageError{"--summary and --json exclude each other"};
  if (o.command == "plot" && o.output == "-") throw UsageError{"plot writes a file; -o - is not possible"};
  if (o.reportPage && (o.command != "plot" || o.kind != KindReport))
    throw UsageError{"--report-page is for plot 21 (the report page)"};
  if (o.reportPage) o.plot.reportSelector = *o.reportPage - 1;
  if (o.command == "convert" && o.output == "-")
    throw UsageError{"convert writes a file; -o - is not possible"};
  if (o.command != "metrics" && (o.damping || o.level || !o.periods.empty() || o.jobs != 1 || o.shardN != 1))
    throw UsageError{"--damping, --level, --periods, -j and --shard are options of metrics"};
  if (o.command == "metrics" && std::filesystem::is_directory(o.output))
    throw UsageError{"metrics writes one file; -o names a file or '-'"};
  if (o.command != "metrics" && needsOutput && o.output != "-" && o.files.size() > 1 &&
      !std::filesystem::is_directory(o.output))
    throw UsageError{"with several files -o names an existing folder"};
  if (o.command == "plot" && !std::filesystem::is_directory(o.output)) {
    const std::string ext = LCase(SplitPath(o.output).ext);
    if (ext != ".png" && ext != ".svg" && ext != ".pdf")
      throw UsageError{"plot writes .png, .svg or .pdf files"};
  }
  return o;
}

// A float in the shortest decimal form that reads back to it (0.1, not the double
// 0.10000000149011612 it widens to), whole values without a point; null when not finite.
nlohmann::ordered_json JsonNumber(float v) {
  if (!std::isfinite(v)) return nullptr;
  const std::string text = NumberText(v);
  const char* first = text.data();
  const char* last = first + text.size();
  if (text.find_first_of(".eE") == std::string::npos) {
    int64_t whole = 0;
    if (std::from_chars(first, last, whole).ec == std::errc{}) return whole;
  }
  double d = v;
  std::from_chars(first, last, d);
  return d;
}

// One line of JSON. Header texts are shown as the window shows them (Japanese records'
// Shift-JIS as UTF-8); names and texts may still hold any bytes, and what is not UTF-8
// becomes U+FFFD, so the line is always valid JSON.
std::string InfoJson(const AppState& app) {
  const StrongRecord& r = app.record;
  auto shown = [&](const std::string& text) { return DisplayText(r, text); };
  nlohmann::ordered_json j;
  j["FileFormat"] = r.FileFormat;
  j["FilePath"] = r.FilePath;
  j["FileSize"] = r.FileSize;
  j["RecDate"] = shown(r.RecDate);
  j["RecTime"] = shown(r.RecTime);
  j["SampFreq"] = r.SampFreq;
  j["ChanCount"] = r.ChanCount;
  j["DataCount"] = r.DataCount;
  j["PeakAcc"] = JsonNumber(r.PeakAcc);
  j["JmaGroup"] = r.JmaGroup;
  j["JmaIntensity"] = JsonNumber(r.JmaIntensity);
  j["SiteCode"] = shown(r.SiteCode);
  j["SiteName"] = shown(r.SiteName);
  j["SiteLat"] = shown(r.SiteLat);
  j["SiteLong"] = shown(r.SiteLong);
  nlohmann::ordered_json chans = nlohmann::ordered_json::array();
  for (int32_t ch = 1; ch <= r.ChanCount; ++ch) {
    const auto i = static_cast<std::size_t>(ch - 1);
    const float duration = i < app.Durations.size() ? app.Durations[i] : 0.0f;
    nlohmann::ordered_json c;
    c["Label"] = DisplayLabel(app, ch);
    c["Peak"] = JsonNumber(r.Peak(ch));
    c["PeakStep"] = r.PeakStep(ch);
    c["Offset"] = JsonNumber(r.Offset(ch));
    c["Coef"] = JsonNumber(r.Coef(ch));
    c["Duration"] = JsonNumber(duration);
    c["StartTime"] = JsonNumber(ChannelStartTime(r, ch, app.calc.StartThreshold));
    chans.push_back(std::move(c));
  }
  j["Channels"] = std::move(chans);
  return j.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

// CR LF line ends of the reports become the terminal's LF.
std::string ToLf(const std::string& text) {
  return ReplaceAll(text, "\r\n", "\n");
}

std::string DescribeParams(DataFileKind kind, const DataFileParams& p) {
  std::ostringstream s;
  s << "--skip " << p.skip << " --count " << p.count << " --freq " << p.freq << " --channels " << p.channels
    << " --coef " << NumberText(p.coef);
  if (kind == DataFileKind::Csv) {
    if (p.hasLabel) s << " --label-line";
    if (p.neglectFirst) s << " --neglect-first";
  } else if (p.width > 0) {
    // Under plot --width is the image width; --field-width is the field under every command.
    s << " --start " << p.start << " --field-width " << p.width << " --columns " << p.columns;
  }
  return s.str();
}

// Where one input's output goes: OUT itself, or OUT/NAME.ext when OUT is a folder
// (NAME with the input's own extension, so that A.V1 and A.V2 give two files).
std::string OutputPath(const Options& o, const std::string& input, const std::string& ext) {
  if (std::filesystem::is_directory(o.output))
    return (std::filesystem::path(o.output) / (FileNameOf(input) + ext)).string();
  return o.output;
}

// A relation pair whose two channels the record has.
bool HasValidPair(const AppState& app) {
  for (auto [x, y] : app.view.RelationPairs)
    if (x >= 1 && y >= 1 && x <= app.record.ChanCount && y <= app.record.ChanCount) return true;
  return false;
}

// Answers the layout dialog of a general data or CSV file with the options given, else the guess.
bool AnswerDataFile(const Options& o_, DataFileKind kind, const std::string& path, DataFileParams& p,
                  std::ostream& log) {
  if (kind == DataFileKind::Counts) {
    if (o_.coef) p.coef = *o_.coef;
    log << "sismora-cli: " << path << ": no StationXML response (beside the data or --response); counts times --coef "
        << NumberText(p.coef) << "\n";
    return true;
  }
  if (o_.skip) p.skip = *o_.skip;
  if (o_.count) p.count = *o_.count;
  if (o_.freq) p.freq = *o_.freq;
  if (o_.coef) p.coef = *o_.coef;
  if (kind == DataFileKind::Csv) {
    p.hasLabel = p.hasLabel || o_.labelLine;
    p.neglectFirst = o_.neglectFirst;
    // Neglecting the first column leaves one channel less than the guess.
    if (o_.neglectFirst && !o_.channels && p.channels > 1) --p.channels;
  } else if (o_.start || o_.width || o_.columns) {
    p.start = o_.start.value_or(1);
    p.width = o_.width.value_or(1);
    p.columns = o_.columns.value_or(1);
  }
  if (o_.channels) p.channels = *o_.channels;
  log << "sismora-cli: " << path << ": read as "
            << (kind == DataFileKind::Csv ? "CSV" : "general data") << " file with "
            << DescribeParams(kind, p) << "\n";
  return true;
}


class Tool {
 public:
  Tool(Options o, AppState base) : o_(std::move(o)), base_(std::move(base)), ui_(std::cerr) {
    ui_.answerYes = true;  // replace existing output files
    ui_.station = o_.station;
    ui_.responseFile = o_.response;
    ui_.differentiate = o_.differentiate;
    ui_.onReadData = [this](DataFileKind kind, const std::string& path, const std::string&,
                            DataFileParams& p) { return AnswerDataFile(o_, kind, path, p, std::cerr); };
  }

  int Run() {
    int status = kExitOk;
    bool first = true;
    for (const std::string& file : o_.files) {
      AppState app = base_;
      if (ReadAccFile(app, file, ui_) <= 0) {
        std::cerr << "sismora-cli: " << file << ": not read\n";
        status = std::max(status, kExitUnread);
        continue;
      }
      if (!app.record.ReadNote.empty()) std::cerr << "sismora-cli: " << file << ": " << app.record.ReadNote << "\n";
      if (!o_.pairs.empty()) app.view.RelationPairs = o_.pairs;
      if (IsRelationKind(o_.kind) && !HasValidPair(app))
        std::cerr << "sismora-cli: " << file << ": no channel pair of this record to relate\n";
      const int rc = One(app, file, first);
      first = false;
      status = std::max(status, rc);
    }
    std::cout.flush();
    return status;
  }

 private:
  // Runs the drivers a kind needs; false (with the message shown) when they fail.
  bool Compute(AppState& app, int32_t kind) {
    try {
      BringSeriesUpToDate(app, kind, ui_);
      return true;
    } catch (const std::exception& e) {
      const ErrorInfo info = CurrentErrorInfo(e);
      ui_.MsgBox("Err#" + std::to_string(info.number) + ": " + info.description, MsgIcon::Critical,
                 ProgramTitle() + ": " + KindName(kind));
      return false;
    }
  }

  // An output already written in this run is not overwritten by the next input.
  bool Claim(const std::string& out) {
    if (written_.insert(std::filesystem::absolute(out).lexically_normal().string()).second) return true;
    std::cerr << "sismora-cli: " << out << ": already written by an earlier file of this call; skipped\n";
    return false;
  }

  int One(AppState& app, const std::string& file, bool first) {
    const std::string& cmd = o_.command;
    if (cmd == "info") {
      if (o_.json)
        std::cout << InfoJson(app) << "\n";
      else if (o_.summary)
        std::cout << StatusParamsText(app.record) << "\n";
      else
        std::cout << (first ? "" : "\n") << ToLf(PropertiesReportText(app)) << "\n";
      return kExitOk;
    }
    if (cmd == "peaks") {
      if (!Compute(app, o_.kind)) return kExitUnread;
      IndexWindow w = FullIndexWindow(app, o_.kind);
      if (o_.from || o_.to)
        w = IndexWindowBetween(app, o_.kind, o_.from.value_or(-1e300), o_.to.value_or(1e300));
      std::cout << (first ? "" : "\n") << ToLf(PeaksReportText(app, o_.kind, w));
      return kExitOk;
    }
    if (cmd == "export") {
      if (!Compute(app, o_.kind)) return kExitUnread;
      if (o_.output == "-") {
        std::cout << ExportText(app, o_.kind, o_.filter, app.run.SwitchV);
        return kExitOk;
      }
      const std::string out =
          ExportFileName(OutputPath(o_, file, o_.filter == ExportComma ? ".csv" : ".txt"), o_.filter);
      if (!Claim(out)) return kExitUnread;
      return WriteExport(app, o_.kind, out, o_.filter, ui_) ? kExitOk : kExitUnread;
    }
    if (cmd == "plot") {
      if (o_.kind == KindReport && ReportChannels(o_.plot.reportSelector, app.record.ChanCount).empty()) {
        const int32_t page = o_.plot.reportSelector + 1;
        std::cerr << "sismora-cli: " << file << ": report page " << page << " would show channels "
                  << 3 * page - 2 << " to " << 3 * page << "; the record has " << app.record.ChanCount << "\n";
        return kExitUnread;
      }
      if (!Compute(app, o_.kind)) return kExitUnread;
      const std::string out = OutputPath(o_, file, ".png");
      if (!Claim(out)) return kExitUnread;
      std::string error;
      if (!PlotToFile(app, o_.kind, out, o_.plot, ui_, error)) {
        std::cerr << "sismora-cli: " << out << ": " << error << "\n";
        return kExitUnread;
      }
      return kExitOk;
    }
    // convert
    const std::string out = SaveAcFileName(OutputPath(o_, file, ".ac"));
    if (!Claim(out)) return kExitUnread;
    return SaveRecordAsAc(app, out, ui_) ? kExitOk : kExitUnread;
  }

  Options o_;
  AppState base_;
  std::set<std::string> written_;
  ConsoleUi ui_;
};

// The flatfile of every record the arguments name.
int Metrics(const Options& o, const AppState& base) {
  const RecordList list = CollectRecords(o.files);
  for (const std::string& problem : list.problems) std::cerr << "sismora-cli: " << problem << "\n";
  if (list.skipped > 0)
    std::cerr << "sismora-cli: " << list.skipped << (list.skipped == 1 ? " file" : " files")
              << " in the folders not of a known record format; left out\n";
  const std::vector<std::string> files = ShardOf(list.files, o.shardK, o.shardN);
  FlatfileSettings settings;
  if (!o.periods.empty()) settings.request.periods = o.periods;
  settings.request.dampingPercent = o.damping.value_or(5.0f);
  if (o.level) settings.request.durationLevel = *o.level;
  settings.request.stepsPerPeriod = ResponseStepsPerPeriod(base.calc);
  settings.station = o.station;
  settings.responseFile = o.response;
  settings.differentiate = o.differentiate;
  settings.onReadData = [&o](DataFileKind kind, const std::string& path, const std::string&, DataFileParams& p) {
    std::ostringstream log;
    const bool ok = AnswerDataFile(o, kind, path, p, log);
    std::cerr << log.str();
    return ok;
  };
  std::ofstream file;
  if (o.output != "-") {
    file.open(o.output, std::ios::binary | std::ios::trunc);
    if (!file) {
      std::cerr << "sismora-cli: " << o.output << ": cannot be written\n";
      return kExitUnread;
    }
  }
  std::ostream& out = o.output == "-" ? std::cout : file;
  const int32_t failed = WriteFlatfile(base, files, settings, o.jobs, o.shardK == 1, out, std::cerr);
  out.flush();
  if (!out) {
    std::cerr << "sismora-cli: " << o.output << ": cannot be written\n";
    return kExitUnread;
  }
  if (failed > 0)
    std::cerr << "sismora-cli: " << failed << " of " << files.size() << " records could not be read\n";
  return failed > 0 || !list.problems.empty() ? kExitUnread : kExitOk;
}

int Main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  Options o;
  try {
    o = Parse(args);
  } catch (const UsageError& e) {
    std::cerr << "sismora-cli: " << e.text << "\n";
    std::string cmd;
    for (const std::string& a : args)
      if (cmd.empty() && IsCommand(a)) cmd = a;
    std::cerr << (cmd.empty() ? std::string("Try 'sismora-cli --help'.\n")
                              : "Try 'sismora-cli " + cmd + " --help'.\n");
    return kExitUsage;
  }
  if (o.version) {
    std::cout << "sismora-cli " << kVersionText << "\n";
    return kExitOk;
  }
  if (o.help) {
    std::cout << (o.command.empty() ? kToolHelp + ("\n" + RecordFormatList()) : CommandHelp(o.command));
    return kExitOk;
  }
  if (o.command == "plot") {
    if (!PlotAvailable()) {
      std::cerr << "sismora-cli: this build draws no graphs (built without Qt)\n";
      return kExitUsage;
    }
    if (!HasPainter(o.kind)) {
      std::cerr << "sismora-cli: graphs of kind " << o.kind << " (" << KindName(o.kind)
                << ") cannot be drawn yet\n";
      return kExitUsage;
    }
  }

  AppState base;
  try {
    LoadStoredSettings(base);
    if (!o.settingsFile.empty()) {
      if (!FileExists(o.settingsFile)) {
        std::cerr << "sismora-cli: settings file " << o.settingsFile << " not found\n";
        return kExitUsage;
      }
      if (!LoadGraphSettings(base.graph, o.settingsFile) || !LoadCalcParams(base.calc, o.settingsFile) ||
          !LoadPreProcParams(base.preproc, o.settingsFile)) {
        std::cerr << "sismora-cli: settings file " << o.settingsFile << " cannot be read\n";
        return kExitUsage;
      }
      // As at start-up, the spectra's axes keep their given ranges.
      base.graph.Axis[AxisFrequency].Specify = true;
      base.graph.Axis[AxisPeriod].Specify = true;
    }
  } catch (const std::exception& e) {
    const ErrorInfo info = CurrentErrorInfo(e);
    std::cerr << "sismora-cli: settings: Err#" << info.number << ": " << info.description << "\n";
    return kExitUsage;
  }
  ApplyArguments(o.switches, base.preproc, base.run);
  if (o.filterType) base.preproc.FilterType = *o.filterType;
  if (o.filterOrder) base.preproc.FilterOrder = *o.filterOrder;
  if (o.keepPad) base.preproc.FilterKeepPad = true;
  if (!FilterCornersValid(base.preproc)) {
    std::cerr << "sismora-cli: the low-cut frequency (" << NumberText(base.preproc.LowCutFreq)
              << " Hz) must be below the high-cut frequency (" << NumberText(base.preproc.HighCutFreq) << " Hz)\n";
    return kExitUsage;
  }
  // No dialogs here: the preprocessing dialog and the channel pick are not shown.
  base.preproc.ShowEachTime = false;
  base.preproc.PickChannels = false;
  if (o.command == "metrics") return Metrics(o, base);
  const int status = Tool(std::move(o), std::move(base)).Run();
  EndPlotting();
  return status;
}

}  // namespace
}  // namespace sism::cli

int main(int argc, char** argv) {
  return sism::cli::Main(argc, argv);
}
