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

bool ProcessForArchive(AppState& app, const std::string& file, const std::string& folder, std::ostream& log,
                       std::string& columns, std::string& reason) {
  const ProcessingResult r = ProcessRecord(app.record, app.processing);
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

void SetProcessing(FlatfileSettings& settings, const std::string& folder) {
  settings.extraHeader = ProcessingHeader();
  settings.transform = [folder](AppState& app, const std::string& file, std::ostream& log, std::string& columns,
                                std::string& reason) {
    return ProcessForArchive(app, file, folder, log, columns, reason);
  };
}

}  // namespace sism
