// The command line of sismora-cli read into Options.
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "app/cli/tool.h"
#include "app/shell/export.h"
#include "common/files.h"
#include "common/path.h"
#include "common/strings.h"
#include "common/text.h"
#include "record/writers.h"
#include "state/graph_kinds.h"
#include "state/preproc_params.h"

namespace sism::cli {
namespace {

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
  // The report page shows other graphs: it is drawn, never listed or exported. The processing's
  // spectra (22) live in the window only.
  const std::string range = cmd == "plot" ? "1 to 21, 23, 24" : "1 to 20, 23, 24";
  if (!IsNumeric(v)) throw UsageError{cmd + " needs a graph kind number (" + range + "), not '" + v + "'"};
  const double d = ToDouble(v);
  const bool inTable = d == std::floor(d) && d >= 1 && d <= kGraphKindCount;
  const auto k = inTable ? static_cast<int32_t>(d) : 0;
  if (!inTable || k == KindSnr || (k == KindReport && cmd != "plot"))
    throw UsageError{"graph kind must be " + range + ", not '" + v + "'"};
  if (cmd == "export" && !ExportableKind(k))
    throw UsageError{"kind " + v + " (" + KindName(k) + ") cannot be exported; kinds 1-11, 15-20, 23 and 24 can"};
  return k;
}

bool FlatNameFits(const std::string& ext, FlatFormat format) {
  if (ext.empty() || ext == ".txt") return true;
  return format == FlatFormat::Jsonl ? ext == ".jsonl" || ext == ".ndjson" : ext == ".csv";
}

std::string OutputExtension(const Options& o) {
  return o.output == "-" ? std::string() : LCase(SplitPath(o.output).ext);
}

// The flatfile's format: as --format says, else as the output's extension says.
void ChooseFlatFormat(Options& o) {
  const std::string ext = OutputExtension(o);
  if (o.format.empty()) o.format = ext == ".jsonl" || ext == ".ndjson" ? "jsonl" : "csv";
  if (o.format != "csv" && o.format != "jsonl")
    throw UsageError{"--format of metrics is csv or jsonl, not '" + o.format + "'"};
  o.flatFormat = o.format == "jsonl" ? FlatFormat::Jsonl : FlatFormat::Csv;
}

}  // namespace

std::string FlatOutputRefusal(const Options& o) {
  const std::string ext = OutputExtension(o);
  if (FlatNameFits(ext, o.flatFormat)) return {};
  if (FlatNameFits(ext, o.flatFormat == FlatFormat::Csv ? FlatFormat::Jsonl : FlatFormat::Csv))
    return "--format " + o.format + " writes " + (o.flatFormat == FlatFormat::Jsonl ? ".jsonl" : ".csv") +
           " files, not " + ext;
  return "metrics writes .csv or .jsonl files (--format csv|jsonl), not " + ext;
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
  std::optional<std::string> toText;  // a time under peaks, a format under convert
  while (i < args.size()) {
    const std::string a = args[i++];
    // After "--" every argument is a name, so that a file called -h20.NS can be given.
    if (a == "--") {
      positional.insert(positional.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
      break;
    }
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
      toText = value(a);
    } else if (a == "--format") {
      o.format = LCase(value(a));
    } else if (a == "--quiet" || a == "-q") {
      o.quiet = true;
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
    } else if (a == "--review") {
      o.review = value(a);
      if (!FileExists(o.review)) throw UsageError{"--review: no file " + o.review};
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
  const Command* command = nullptr;
  if (p < positional.size()) {
    o.command = positional[p++];
    command = FindCommand(o.command);
    if (command == nullptr) throw UsageError{"unknown command '" + o.command + "'"};
  }
  if (o.help || o.version) return o;
  if (command == nullptr) throw UsageError{"no command given"};
  // The image width of plot; the field width of general data files elsewhere.
  if (width) {
    if (o.command == "plot") {
      if (*width > 20000) throw UsageError{"--width is at most 20000 pixels"};
      o.plot.width = *width;
    } else {
      o.width = width;
    }
  }
  if (toText && o.command == "convert") {
    if (FindWriter(*toText) == nullptr) {
      std::string names;
      for (const WriterRow& w : RecordWriters()) names += (names.empty() ? "" : ", ") + std::string(w.name);
      throw UsageError{"--to is one of " + names + ", not '" + *toText + "'"};
    }
    o.writeAs = LCase(*toText);
  } else if (toText && o.command == "process") {
    // A list of writers: "ac,cosmos-v2".
    for (const std::string& part : Split(*toText, ","))
      if (FindWriter(Trim(part)) == nullptr) {
        std::string names;
        for (const WriterRow& w : RecordWriters()) names += (names.empty() ? "" : ", ") + std::string(w.name);
        throw UsageError{"--to lists formats among " + names + ", not '" + Trim(part) + "'"};
      }
    o.writeAs = LCase(*toText);
  } else if (toText) {
    o.to = Number("--to", *toText);
  }
  if (command->takesKind && p < positional.size()) o.kind = ParseKind(o.command, positional[p++]);
  o.files.assign(positional.begin() + static_cast<std::ptrdiff_t>(p), positional.end());
  if (command->takesKind && o.kind == 0) throw UsageError{o.command + " needs a graph kind"};
  if (o.files.empty()) throw UsageError{o.command + " needs a file"};
  const bool needsOutput = command->output != Output::Stdout;
  if (needsOutput && o.output.empty()) throw UsageError{o.command + " needs -o OUT"};
  if (!needsOutput && !o.output.empty())
    throw UsageError{o.command + " writes to standard output; -o is not used"};
  if (o.command == "info" && o.summary && o.json) throw UsageError{"--summary and --json exclude each other"};
  if (command->output == Output::File && o.output == "-")
    throw UsageError{o.command + " writes a file; -o - is not possible"};
  if (o.reportPage && (o.command != "plot" || o.kind != KindReport))
    throw UsageError{"--report-page is for plot 21 (the report page)"};
  if (o.reportPage) o.plot.reportSelector = *o.reportPage - 1;
  const bool flatfile = o.command == "metrics" || o.command == "process";
  if (!flatfile && (o.damping || o.level || !o.periods.empty() || o.jobs != 1 || o.shardN != 1))
    throw UsageError{"--damping, --level, --periods, -j and --shard are options of metrics and process"};
  if (!o.review.empty() && o.command != "process") throw UsageError{"--review is an option of process"};
  if (o.command == "metrics" && std::filesystem::is_directory(o.output))
    throw UsageError{"metrics writes one file; -o names a file or '-'"};
  if (o.command == "metrics") {
    ChooseFlatFormat(o);
  } else if (!o.format.empty()) {
    if (o.command != "export") throw UsageError{"--format is an option of export and metrics"};
    if (o.format == "csv")
      o.filter = ExportComma;
    else if (o.format == "fixed")
      o.filter = ExportFixed;
    else if (o.format == "tsv")
      o.filter = ExportTab;
    else
      throw UsageError{"--format is csv, fixed or tsv, not '" + o.format + "'"};
  }
  if (o.command == "process" && std::filesystem::exists(o.output) && !std::filesystem::is_directory(o.output))
    throw UsageError{"process writes into a folder; -o names a folder (made when missing)"};
  if (!flatfile && needsOutput && o.output != "-" && o.files.size() > 1 &&
      !std::filesystem::is_directory(o.output))
    throw UsageError{"with several files -o names an existing folder"};
  if (o.command == "plot" && !std::filesystem::is_directory(o.output)) {
    const std::string ext = LCase(SplitPath(o.output).ext);
    if (ext != ".png" && ext != ".svg" && ext != ".pdf")
      throw UsageError{"plot writes .png, .svg or .pdf files"};
  }
  return o;
}

}  // namespace sism::cli
