// The commands of sismora-cli: the per-record commands run over each file in turn,
// metrics over all of them at once.
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/cli/progress.h"
#include "app/cli/tool.h"
#include "app/shell/console_ui.h"
#include "app/shell/export.h"
#include "app/shell/flatfile.h"
#include "app/shell/peaks_report.h"
#include "app/shell/process_archive.h"
#include "app/shell/properties_report.h"
#include "common/errors.h"
#include "common/files.h"
#include "common/path.h"
#include "common/strings.h"
#include "common/text.h"
#include "common/utf8.h"
#include "analysis/drivers.h"
#include "draw/report.h"
#include "load/pipeline.h"
#include "load/statistics.h"
#include "record/display_text.h"
#include "record/writers.h"
#include "state/graph_kinds.h"

namespace sism::cli {
namespace {

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
    // Neglecting the first column leaves one channel less than the guess, unless the guess
    // took it for time already.
    if (o_.neglectFirst && !p.neglectFirst && !o_.channels && p.channels > 1) --p.channels;
    p.neglectFirst = p.neglectFirst || o_.neglectFirst;
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


// What the per-record commands share: the user interface that answers the readers, and
// the outputs written so far.
class Records {
 public:
  Records(const Options& o, const AppState& base) : o(o), ui(std::cerr), base_(base) {
    ui.answerYes = true;  // replace existing output files
    ui.station = o.station;
    ui.responseFile = o.response;
    ui.differentiate = o.differentiate;
    ui.onReadData = [this](DataFileKind kind, const std::string& path, const std::string&, DataFileParams& p) {
      return AnswerDataFile(this->o, kind, path, p, std::cerr);
    };
  }

  // Reads each file and hands the record to `one` (app, file, first); the worst status.
  template <typename One>
  int Each(One one) {
    int status = kExitOk;
    bool first = true;
    for (const std::string& file : o.files) {
      AppState app = base_;
      if (const std::string problem = FileProblem(file); !problem.empty()) {
        std::cerr << "sismora-cli: " << file << ": " << problem << "\n";
        if (onError) onError(file, "unreadable", problem);
        status = std::max(status, kExitUnread);
        continue;
      }
      ui.messagePrefix = "sismora-cli: " + ReplaceInvalidUtf8(file) + ": ";
      ui.lastMessage.clear();
      if (ReadAccFile(app, file, ui) <= 0) {
        const std::string code = ReadErrorCode(file, ui.lastMessage);
        if (ui.lastMessage.empty()) std::cerr << ui.messagePrefix << "not read (" << code << ")\n";
        if (onError) onError(file, code, ui.lastMessage.empty() ? "not read" : ui.lastMessage);
        status = std::max(status, kExitUnread);
        continue;
      }
      if (!app.record.ReadNote.empty()) std::cerr << "sismora-cli: " << file << ": " << app.record.ReadNote << "\n";
      if (!o.pairs.empty()) app.view.RelationPairs = o.pairs;
      if (IsRelationKind(o.kind) && !HasValidPair(app))
        std::cerr << "sismora-cli: " << file << ": no channel pair of this record to relate\n";
      const int rc = one(app, file, first);
      first = false;
      status = std::max(status, rc);
    }
    std::cout.flush();
    return status;
  }

  // Runs the drivers a kind needs; false (with the message shown) when they fail.
  bool Compute(AppState& app, int32_t kind) {
    try {
      BringSeriesUpToDate(app, kind, ui);
      return true;
    } catch (const std::exception& e) {
      const ErrorInfo info = CurrentErrorInfo(e);
      ui.MsgBox("Err#" + std::to_string(info.number) + ": " + info.description, MsgIcon::Critical,
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

  const Options& o;
  ConsoleUi ui;
  // Told of each file not read: its name, error code and reason.
  std::function<void(const std::string&, const std::string&, const std::string&)> onError;

 private:
  const AppState& base_;
  std::set<std::string> written_;
};

std::string ExportOutput(const Options& o, const std::string& file) {
  return ExportFileName(OutputPath(o, file, o.filter == ExportComma ? ".csv" : ".txt"), o.filter);
}

std::string PlotOutput(const Options& o, const std::string& file) {
  return OutputPath(o, file, ".png");
}

// The writer of convert: --to, else the extension of -o (when it names a file), else .ac's.
const WriterRow& ConvertWriter(const Options& o) {
  return SaveWriter(std::filesystem::is_directory(o.output) ? std::string() : o.output, o.writeAs);
}

std::string ConvertOutput(const Options& o, const std::string& file) {
  const WriterRow& w = ConvertWriter(o);
  return SaveFileName(OutputPath(o, file, w.extensions.front()), w);
}

std::string MetricsOutput(const Options& o, const std::string&) {
  return o.output;
}

int Info(const Options& o, const AppState& base) {
  Records records(o, base);
  if (o.json)
    records.onError = [](const std::string& file, const std::string& code, const std::string& reason) {
      std::cout << InfoErrorJson(file, code, reason) << "\n";
    };
  return records.Each([&](AppState& app, const std::string&, bool first) {
    if (o.json)
      std::cout << InfoJson(app) << "\n";
    else if (o.summary)
      std::cout << StatusParamsText(app.record) << "\n";
    else
      std::cout << (first ? "" : "\n") << ToLf(PropertiesReportText(app)) << "\n";
    return kExitOk;
  });
}

int Peaks(const Options& o, const AppState& base) {
  Records records(o, base);
  return records.Each([&](AppState& app, const std::string&, bool first) {
    if (!records.Compute(app, o.kind)) return kExitUnread;
    IndexWindow w = FullIndexWindow(app, o.kind);
    if (o.from || o.to) w = IndexWindowBetween(app, o.kind, o.from.value_or(-1e300), o.to.value_or(1e300));
    std::cout << (first ? "" : "\n") << ToLf(PeaksReportText(app, o.kind, w));
    return kExitOk;
  });
}

int Export(const Options& o, const AppState& base) {
  Records records(o, base);
  return records.Each([&](AppState& app, const std::string& file, bool) {
    if (!records.Compute(app, o.kind)) return kExitUnread;
    if (const std::string refusal = ExportRefusal(app, o.kind); !refusal.empty()) {
      std::cerr << "sismora-cli: " << file << ": " << refusal << "\n";
      return kExitUnread;
    }
    if (o.output == "-") {
      std::cout << ExportText(app, o.kind, o.filter, app.run.SwitchV);
      return kExitOk;
    }
    const std::string out = ExportOutput(o, file);
    if (!records.Claim(out)) return kExitUnread;
    return WriteExport(app, o.kind, out, o.filter, records.ui) ? kExitOk : kExitUnread;
  });
}

int Plot(const Options& o, const AppState& base) {
  if (!PlotAvailable()) {
    std::cerr << "sismora-cli: this build draws no graphs (built without Qt)\n";
    return kExitUsage;
  }
  if (!HasPainter(o.kind)) {
    std::cerr << "sismora-cli: graphs of kind " << o.kind << " (" << KindName(o.kind) << ") cannot be drawn yet\n";
    return kExitUsage;
  }
  Records records(o, base);
  const int status = records.Each([&](AppState& app, const std::string& file, bool) {
    if (o.kind == KindReport && ReportChannels(o.plot.reportSelector, app.record.ChanCount).empty()) {
      const int32_t page = o.plot.reportSelector + 1;
      std::cerr << "sismora-cli: " << file << ": report page " << page << " would show channels " << 3 * page - 2
                << " to " << 3 * page << "; the record has " << app.record.ChanCount << "\n";
      return kExitUnread;
    }
    if (!records.Compute(app, o.kind)) return kExitUnread;
    const std::string out = PlotOutput(o, file);
    if (!records.Claim(out)) return kExitUnread;
    std::string error;
    if (!PlotToFile(app, o.kind, out, o.plot, records.ui, error)) {
      std::cerr << "sismora-cli: " << out << ": " << error << "\n";
      return kExitUnread;
    }
    return kExitOk;
  });
  EndPlotting();
  return status;
}

int Convert(const Options& o, const AppState& base) {
  Records records(o, base);
  return records.Each([&](AppState& app, const std::string& file, bool) {
    const std::string out = ConvertOutput(o, file);
    const WriterRow& w = ConvertWriter(o);
    // The files of one channel each are known only now; none may be an input.
    TakeShownLabels(app);
    for (const std::string& f : WrittenFiles(w, out, app.record)) {
      std::string input = InputOverwrittenBy(f, o.files);
      if (input.empty() && SameFile(f, app.record.FilePath)) input = app.record.FilePath;
      if (input.empty() && !o.response.empty() && SameFile(f, o.response)) input = o.response;
      if (!input.empty()) {
        std::cerr << "sismora-cli: " << f << ": is the input " << input << "; nothing written\n";
        return kExitUnread;
      }
      if (f != out && !records.Claim(f)) return kExitUnread;
    }
    if (!records.Claim(out)) return kExitUnread;
    if (w.id == WriterId::Ac)
      for (const std::string& line : Split(AcPrecisionWarning(app.record), "\n"))
        if (!line.empty()) std::cerr << "sismora-cli: " << out << ": " << line << "\n";
    return SaveRecordAs(app, w, out, records.ui) ? kExitOk : kExitUnread;
  });
}

// Writes `text` to `path` whole or not at all; false with the reason said.
bool WriteSidecar(const std::string& path, const std::string& text) {
  try {
    AtomicFileWriter file(path);
    file.Stream() << text;
    file.Commit();
    return true;
  } catch (const std::exception& e) {
    const ErrorInfo info = CurrentErrorInfo(e);
    std::cerr << "sismora-cli: " << path << ": Err#" << info.number << ": " << info.description << "\n";
    return false;
  }
}

// The records the arguments name, the folders' problems said, this shard's share.
std::vector<std::string> ShardFiles(const Options& o, RecordList& list) {
  list = CollectRecords(o.files);
  for (const std::string& problem : list.problems) std::cerr << "sismora-cli: " << problem << "\n";
  for (const std::string& other : ShardOf(list.others, o.shardK, o.shardN))
    std::cerr << "sismora-cli: " << ReplaceInvalidUtf8(other) << ": not of a known record format; left out\n";
  if (list.skipped > 0)
    std::cerr << "sismora-cli: " << list.skipped << (list.skipped == 1 ? " file" : " files")
              << " in the folders not of a known record format; left out\n";
  return ShardOf(list.files, o.shardK, o.shardN);
}

FlatfileSettings MetricsSettings(const Options& o, const AppState& base) {
  FlatfileSettings settings;
  if (!o.periods.empty()) settings.request.periods = o.periods;
  settings.request.dampingPercent = o.damping.value_or(5.0f);
  if (o.level) settings.request.durationLevel = *o.level;
  settings.request.stepsPerPeriod = ResponseStepsPerPeriod(base.calc);
  settings.format = o.flatFormat;
  settings.messagePrefix = "sismora-cli: ";
  settings.station = o.station;
  settings.responseFile = o.response;
  settings.differentiate = o.differentiate;
  settings.onReadData = [&o](DataFileKind kind, const std::string& path, const std::string&, DataFileParams& p) {
    std::ostringstream log;
    const bool ok = AnswerDataFile(o, kind, path, p, log);
    std::cerr << log.str();
    return ok;
  };
  return settings;
}

// Writes the flatfile of `files` to `out` ('-': standard output), the previous file kept
// whole until the new one is, with its columns file and provenance beside it; the exit status.
int WriteFlatfileTo(const std::string& out, const AppState& base, const std::vector<std::string>& files,
                    FlatfileSettings& settings, const Options& o, const RecordList& list) {
  // Rows on the same terminal would run into the line.
  ProgressLine progress(std::cerr, static_cast<int32_t>(files.size()),
                        ProgressShown(o.quiet) && !(out == "-" && ::isatty(STDOUT_FILENO) == 1));
  settings.beforeMessages = [&progress] { progress.Clear(); };
  settings.onRow = [&progress](int32_t done, int32_t failed) { progress.Update(done, failed); };
  int32_t failed = 0;
  if (out == "-") {
    failed = WriteFlatfile(base, files, settings, o.jobs, o.shardK == 1, std::cout, std::cerr);
  } else {
    try {
      AtomicFileWriter file(out);
      failed = WriteFlatfile(base, files, settings, o.jobs, o.shardK == 1, file.Stream(), std::cerr);
      file.Commit();
    } catch (const std::exception& e) {
      progress.Clear();
      const ErrorInfo info = CurrentErrorInfo(e);
      std::cerr << "sismora-cli: " << out << ": Err#" << info.number << ": " << info.description << "\n";
      return kExitUnread;
    }
  }
  progress.Clear();
  bool written = true;
  if (out != "-") {
    written = WriteSidecar(SidecarPath(out, ".columns.csv"), FlatfileColumnsText(settings.request, settings.more)) &&
              WriteSidecar(SidecarPath(out, ".provenance.json"),
                           ProvenanceJson(base, o, settings, static_cast<int32_t>(files.size())));
  }
  if (failed > 0)
    std::cerr << "sismora-cli: " << failed << " of " << files.size() << " records could not be read\n";
  return failed > 0 || !list.problems.empty() || !written ? kExitUnread : kExitOk;
}

// The flatfile of every record the arguments name.
int Metrics(const Options& o, const AppState& base) {
  // Another format's name is refused before anything is read, rather than filled with CSV.
  if (const std::string refusal = FlatOutputRefusal(o); !refusal.empty()) {
    std::cerr << "sismora-cli: " << o.output << ": " << refusal << "\n";
    return kExitUsage;
  }
  RecordList list;
  const std::vector<std::string> files = ShardFiles(o, list);
  FlatfileSettings settings = MetricsSettings(o, base);
  if (o.output != "-") {
    if (const std::string input = InputOverwrittenBy(o.output, list.files); !input.empty()) {
      std::cerr << "sismora-cli: " << o.output << ": is the input " << input << "; nothing written\n";
      return kExitUsage;
    }
  }
  return WriteFlatfileTo(o.output, base, files, settings, o, list);
}

// The flatfile of a shard: flatfile.csv, or flatfile-K-of-N.csv when the records are shared out.
std::string ProcessFlatfile(const Options& o) {
  const std::string name = o.shardN == 1 ? "flatfile.csv"
                                         : "flatfile-" + std::to_string(o.shardK) + "-of-" +
                                               std::to_string(o.shardN) + ".csv";
  return (std::filesystem::path(o.output) / name).string();
}

std::string ProcessOutput(const Options& o, const std::string&) {
  return ProcessFlatfile(o);
}

// Every record processed into the output folder, with its provenance, and the flatfile of the
// processed records.
int Process(const Options& o, const AppState& base) {
  std::error_code ec;
  std::filesystem::create_directories(o.output, ec);
  if (!std::filesystem::is_directory(o.output)) {
    std::cerr << "sismora-cli: " << o.output << ": " << (ec ? ec.message() : "not a folder") << "\n";
    return kExitUnread;
  }
  RecordList list;
  std::vector<std::string> files = ShardFiles(o, list);
  std::map<std::string, ReviewEntry> review;
  if (!o.review.empty()) {
    ReviewFile f(o.review);
    try {
      for (const std::string& problem : f.Load()) std::cerr << "sismora-cli: " << o.review << ": " << problem << "\n";
    } catch (const std::exception& e) {
      const ErrorInfo info = CurrentErrorInfo(e);
      std::cerr << "sismora-cli: " << o.review << ": Err#" << info.number << ": " << info.description << "\n";
      return kExitUnread;
    }
    review = f.Decisions();
    // Records the analyst rejected have no row.
    std::erase_if(files, [&](const std::string& file) {
      const ReviewEntry* e = ReviewOf(review, file);
      return e && e->decision == ReviewDecision::Rejected;
    });
  }
  // Processed records written among the inputs would be read back as inputs by the next run.
  for (const std::string& arg : o.files)
    if (std::filesystem::is_directory(arg, ec) && std::filesystem::equivalent(arg, o.output, ec)) {
      std::cerr << "sismora-cli: " << o.output << ": is the input folder " << arg << "; nothing written\n";
      return kExitUsage;
    }
  // The formats of --to, else those of the settings.
  std::vector<const WriterRow*> writers;
  if (std::string reason; !OutputWriters(o.writeAs.empty() ? base.processing.OutputFormats : o.writeAs, writers,
                                         reason)) {
    std::cerr << "sismora-cli: " << (o.writeAs.empty() ? "Processing setting OutputFormats: " : "--to: ") << reason
              << "\n";
    return kExitUsage;
  }
  FlatfileSettings settings = MetricsSettings(o, base);
  SetProcessing(settings, o.output, o.review.empty() ? nullptr : &review, writers);
  return WriteFlatfileTo(ProcessFlatfile(o), base, files, settings, o, list);
}

}  // namespace

const std::vector<Command>& Commands() {
  static const std::vector<Command> table = {
      {"info", false, Output::Stdout, Info, nullptr},
      {"peaks", true, Output::Stdout, Peaks, nullptr},
      {"export", true, Output::FileOrStdout, Export, ExportOutput},
      {"plot", true, Output::File, Plot, PlotOutput},
      {"convert", false, Output::File, Convert, ConvertOutput},
      {"metrics", false, Output::FileOrStdout, Metrics, MetricsOutput},
      {"process", false, Output::File, Process, ProcessOutput},
  };
  return table;
}

const Command* FindCommand(const std::string& name) {
  for (const Command& c : Commands())
    if (name == c.name) return &c;
  return nullptr;
}

}  // namespace sism::cli
