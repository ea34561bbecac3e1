#include "app/shell/process_archive.h"

#include <filesystem>
#include <ostream>

#include "analysis/ground_motion.h"
#include "common/errors.h"
#include "common/files.h"
#include "common/path.h"
#include "common/text.h"
#include "record/ac.h"

namespace sism {
namespace {

const char* const kComponents[] = {"H1", "H2", "V"};

std::string InFolder(const std::string& folder, const std::string& name) {
  return (std::filesystem::path(folder) / name).string();
}

std::string Outcome(const ProcessingResult& r) {
  return r.rejected ? "rejected" : (r.flags.empty() ? "passed" : "passed_with_warnings");
}

}  // namespace

std::string ProcessingHeader() {
  std::string h;
  for (const char* c : kComponents) h += std::string(",") + c + "_fhp," + c + "_flp";
  return h + ",onset_s,onset_reliable,processing,qa_flags";
}

std::string ProcessingColumns(const StrongRecord& rec, const ProcessingResult& r) {
  const ComponentSet set = FlatfileComponents(rec);
  std::string s;
  for (int32_t ch : {set.h1, set.h2, set.v}) {
    const ChannelProcessing* c = ch > 0 ? r.Channel(ch) : nullptr;
    const bool has = c && c->highPass > 0;
    s += "," + (has ? NumberText(c->highPass) : "") + "," + (has ? NumberText(c->lowPass) : "");
  }
  s += "," + (r.onset > 0 ? NumberText(r.OnsetSeconds(rec.SampFreq)) : "") + "," +
       (r.onset > 0 ? (r.onsetReliable ? "1" : "0") : "") + "," + Outcome(r);
  // Flag names hold no commas or quotes, so the list needs no quoting.
  return s + "," + r.FlagList();
}

std::string WriteProcessedRecord(const StrongRecord& rec, const std::string& source, const std::string& folder) {
  return WriteAcFile(InFolder(folder, FileNameOf(source) + ".ac"), rec, 0);
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
                       std::string& columns, std::string& reason, const ReviewEntry* review) {
  ProcessingResult r =
      ProcessRecord(app.record, app.processing, review ? ReviewedCorners(app.record, *review) : std::vector<FixedCorners>{});
  // An analyst who accepted the record overrules the failed checks, not a chain that stopped.
  const bool accepted = review && review->decision == ReviewDecision::Accepted;
  if (accepted && r.processed) r.rejected = false;
  columns = ProcessingColumns(app.record, r);
  const std::string json = ProvenancePath(file, folder);
  try {
    AtomicFileWriter out(json);
    out.Write(ProvenanceJson(app.record, file, r));
    out.Commit();
  } catch (const std::exception& e) {
    const ErrorInfo info = CurrentErrorInfo(e);
    log << "sismora-cli: " << json << ": Err#" << info.number << ": " << info.description << "\n";
  }
  if (r.rejected) {
    reason = "rejected: " + r.FlagList();
    return false;
  }
  if (const std::string problem = WriteProcessedRecord(app.record, file, folder); !problem.empty()) {
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
                   const std::map<std::string, ReviewEntry>* review) {
  settings.extraHeader = ProcessingHeader() + (review ? ",reviewed" : "");
  settings.transform = [folder, review](AppState& app, const std::string& file, std::ostream& log,
                                        std::string& columns, std::string& reason) {
    if (!review) return ProcessForArchive(app, file, folder, log, columns, reason);
    const ReviewEntry* e = ReviewOf(*review, file);
    const bool ok = ProcessForArchive(app, file, folder, log, columns, reason, e);
    columns += std::string(",") + (!e ? "" : e->decision == ReviewDecision::Rejected ? "rejected"
                                         : e->Edited()                             ? "edited"
                                                                                   : "accepted");
    return ok;
  };
}

}  // namespace sism
