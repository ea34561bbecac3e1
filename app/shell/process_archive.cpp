#include "app/shell/process_archive.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <ostream>

#include "analysis/ground_motion.h"
#include "common/errors.h"
#include "common/files.h"
#include "common/path.h"
#include "common/text.h"
#include "record/ac.h"
#include "record/record_source.h"

namespace sism {
namespace {

const char* const kComponents[] = {"H1", "H2", "V"};

std::string InFolder(const std::string& folder, const std::string& name) {
  return (std::filesystem::path(folder) / name).string();
}

// The files' names without their folder: the provenance lies beside them.
std::vector<std::string> FileNames(const std::vector<std::string>& paths) {
  std::vector<std::string> names;
  for (const std::string& p : paths) names.push_back(std::filesystem::path(p).filename().string());
  return names;
}

std::string Outcome(const ProcessingResult& r) {
  return r.rejected ? "rejected" : (r.flags.empty() ? "passed" : "passed_with_warnings");
}

}  // namespace

void ProcessingColumns(FlatRow& row) {
  const FlatRowInput& in = row.Input();
  const ProcessingResult* r = in.processing;
  const StrongRecord* rec = in.app ? &in.app->record : nullptr;
  const int32_t chans[] = {in.set.h1, in.set.h2, in.set.v};
  const char* const names[] = {"first horizontal", "second horizontal", "vertical"};
  for (int c = 0; c < 3; ++c) {
    const ChannelProcessing* x = r && chans[c] > 0 ? r->Channel(chans[c]) : nullptr;
    const bool has = x && x->highPass > 0;
    const std::string k = kComponents[c], of = std::string(" of the ") + names[c];
    row.Number(k + "_fhp", "Hz", "high-pass corner the processing chose" + of, has ? NumberText(x->highPass) : "");
    row.Number(k + "_flp", "Hz", "low-pass corner the processing chose" + of, has ? NumberText(x->lowPass) : "");
  }
  const bool onset = r && rec && r->onset > 0;
  row.Number("onset_s", "s", "P-wave onset from the record's start",
             onset ? NumberText(r->OnsetSeconds(rec->SampFreq)) : "");
  row.Text("onset_reliable", "1 when the pickers agree on the onset, else 0",
           onset ? (r->onsetReliable ? "1" : "0") : "");
  row.Text("processing", "outcome of the processing: passed, passed_with_warnings or rejected",
           r ? Outcome(*r) : "");
  row.Text("qa_flags", "failed checks, separated by ';'", r ? r->FlagList() : "");
}

bool OutputWriters(const std::string& names, std::vector<const WriterRow*>& writers, std::string& reason) {
  writers.clear();
  for (const std::string& part : Split(names, ",")) {
    const std::string name = Trim(part);
    if (name.empty()) continue;
    const WriterRow* w = FindWriter(name);
    if (w == nullptr) {
      std::string all;
      for (const WriterRow& row : RecordWriters()) all += (all.empty() ? "" : ", ") + std::string(row.name);
      reason = "the output format '" + name + "' is none of " + all;
      return false;
    }
    if (std::find(writers.begin(), writers.end(), w) == writers.end()) writers.push_back(w);
  }
  if (writers.empty()) reason = "no output format is named";
  return !writers.empty();
}

StrongRecord WithChainCorners(const StrongRecord& rec, const ProcessingResult& r) {
  StrongRecord out = rec;
  CompleteChannelSources(out);
  for (ChannelSource& c : out.Source.Channels) {
    const int32_t ch = [&] {
      for (int32_t k = 1; k <= out.ChanCount; ++k)
        if (out.Label(k) == c.Label) return k;
      return 0;
    }();
    const ChannelProcessing* x = ch > 0 ? r.Channel(ch) : nullptr;
    if (x == nullptr || !x->processed) continue;
    if (x->highPass > 0) c.HighPassHz = std::isfinite(c.HighPassHz) ? std::max<double>(c.HighPassHz, x->highPass)
                                                                    : x->highPass;
    if (x->lowPass > 0) c.LowPassHz = std::isfinite(c.LowPassHz) ? std::min<double>(c.LowPassHz, x->lowPass)
                                                                 : x->lowPass;
    c.ZeroPhaseButterworth = true;
  }
  return out;
}

std::string WriteProcessedRecord(const StrongRecord& rec, const ProcessingResult& r, const std::string& source,
                                 const std::string& folder, const std::vector<const WriterRow*>& writers,
                                 std::vector<std::string>& written) {
  written.clear();
  const StrongRecord out = WithChainCorners(rec, r);
  for (const WriterRow* w : writers) {
    const std::string path = InFolder(folder, FileNameOf(source) + w->extensions.front());
    const std::string problem = WriteRecordAs(*w, path, out);
    if (!problem.empty()) return problem;
    for (const std::string& f : WrittenFiles(*w, path, out))
      if (w->id != WriterId::Mseed || FileExists(f)) written.push_back(f);
  }
  return {};
}

std::string ProvenancePath(const std::string& source, const std::string& folder) {
  return InFolder(folder, FileNameOf(source) + ".processing.json");
}

const ReviewEntry* ReviewOf(const std::map<std::string, ReviewEntry>& decisions, const std::string& file) {
  if (auto it = decisions.find(file); it != decisions.end()) return &it->second;
  for (const auto& [record, e] : decisions)
    if (file.size() > record.size() && file.ends_with(record) && file[file.size() - record.size() - 1] == '/')
      return &e;
  return nullptr;
}

std::vector<FixedCorners> ReviewedCorners(const StrongRecord& rec, const ReviewEntry& review) {
  const ComponentSet set = FlatfileComponents(rec);
  const int32_t chans[kReviewComponents] = {set.h1, set.h2, set.v};
  std::vector<FixedCorners> fixed;
  for (std::size_t k = 0; k < kReviewComponents; ++k) {
    const ReviewCorners& c = review.corners[k];
    if (chans[k] > 0 && (c.highPass > 0 || c.lowPass > 0)) fixed.push_back({chans[k], c.highPass, c.lowPass});
  }
  return fixed;
}

bool ProcessForArchive(AppState& app, const std::string& file, const std::string& folder, std::ostream& log,
                       ProcessingResult& r, std::string& reason, const ReviewEntry* review,
                       const std::vector<const WriterRow*>& writers) {
  r = ProcessRecord(app.record, app.processing,
                    review ? ReviewedCorners(app.record, *review) : std::vector<FixedCorners>{});
  // An analyst who accepted the record overrules the failed checks, not a chain that stopped.
  const bool accepted = review && review->decision == ReviewDecision::Accepted;
  if (accepted && r.processed) r.rejected = false;
  std::vector<std::string> written;
  std::string problem;
  if (!r.rejected) {
    std::vector<const WriterRow*> formats = writers;
    if (formats.empty() && !OutputWriters(app.processing.OutputFormats, formats, problem))
      problem = "Processing setting OutputFormats: " + problem;
    if (problem.empty()) problem = WriteProcessedRecord(app.record, r, file, folder, formats, written);
  }
  // Written after the record, so that it names the files the record went into.
  const std::string json = ProvenancePath(file, folder);
  try {
    AtomicFileWriter out(json);
    out.Write(ProvenanceJson(app.record, file, r, FileNames(written)));
    out.Commit();
  } catch (const std::exception& e) {
    const ErrorInfo info = CurrentErrorInfo(e);
    log << "sismora-cli: " << json << ": Err#" << info.number << ": " << info.description << "\n";
  }
  if (r.rejected) {
    reason = "rejected: " + r.FlagList();
    return false;
  }
  if (!problem.empty()) {
    log << "sismora-cli: " << file << ": " << problem << "\n";
    reason = "not written: " + problem;
    return false;
  }
  // The record is corrected: velocity and displacement by the trapezoid rule alone.
  app.calc.IntegrationMethod = 0;
  app.calc.CutOffFreq = 0;
  return true;
}

void SetProcessing(FlatfileSettings& settings, const std::string& folder,
                   const std::map<std::string, ReviewEntry>* review, const std::vector<const WriterRow*>& writers) {
  settings.more = [review](FlatRow& row) {
    ProcessingColumns(row);
    if (!review) return;
    const FlatRowInput& in = row.Input();
    const ReviewEntry* e = in.processing ? ReviewOf(*review, in.file) : nullptr;
    row.Text("reviewed", "the analyst's decision applied: accepted, edited (corners given) or empty",
             !e                                           ? ""
             : e->decision == ReviewDecision::Rejected ? "rejected"
             : e->Edited()                             ? "edited"
                                                       : "accepted");
  };
  settings.transform = [folder, review, writers](AppState& app, const std::string& file, std::ostream& log,
                                                 ProcessingResult& r, std::string& reason) {
    return ProcessForArchive(app, file, folder, log, r, reason, review ? ReviewOf(*review, file) : nullptr, writers);
  };
}

}  // namespace sism
