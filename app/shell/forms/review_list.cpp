#include "app/shell/forms/review_list.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>

#include "analysis/ground_motion.h"
#include "app/shell/flatfile.h"
#include "record/display_text.h"
#include "common/files.h"
#include "common/path.h"
#include "common/text.h"

namespace sism {
namespace {

namespace fs = std::filesystem;

const char* const kComponentNames[kReviewComponents] = {"H1", "H2", "V"};

float NumberOr0(const std::string& t) {
  return IsNumeric(t) ? ToSingle(t) : 0.0f;
}

ReviewStatus StatusFromText(const std::string& t) {
  if (t == "passed") return ReviewStatus::Passed;
  if (t == "passed_with_warnings") return ReviewStatus::Warnings;
  if (t == "rejected") return ReviewStatus::Rejected;
  return ReviewStatus::Unknown;
}

// The station of a provenance document, for rows the flatfile leaves empty.
std::string ProvenanceStation(const std::string& json) {
  const std::string tag = "\"station\": \"";
  const std::size_t at = json.find(tag);
  if (at == std::string::npos) return "";
  const std::size_t end = json.find('"', at + tag.size());
  return end == std::string::npos ? "" : json.substr(at + tag.size(), end - at - tag.size());
}

// The rows of a processed folder's flatfile.
bool ReadFlatfile(const std::string& folder, const std::string& flatfile, std::vector<ReviewRow>& rows,
                  std::string& problem) {
  TextFile in(flatfile);
  std::string line;
  std::vector<std::string> head, f;
  if (!in.TryReadLine(line) || !SplitCsvLine(line, head) || head.empty() || head[0] != "file") {
    problem = flatfile + ": not a flatfile";
    return false;
  }
  std::map<std::string, std::size_t> col;
  for (std::size_t i = 0; i < head.size(); ++i) col.emplace(head[i], i);
  auto field = [&](const std::string& name) -> std::string {
    const auto it = col.find(name);
    return it != col.end() && it->second < f.size() ? f[it->second] : "";
  };
  while (in.TryReadLine(line)) {
    if (TrimSpace(line).empty() || !SplitCsvLine(line, f)) continue;
    ReviewRow r;
    r.source = f[0];
    r.record = FileNameOf(r.source);
    const std::string ac = (fs::path(folder) / (r.record + ".ac")).string();
    r.processed = FileExists(ac);
    r.path = r.processed ? ac : r.source;
    r.station = field("station");
    r.date = Trim(field("date") + " " + field("time"));
    for (const char* c : kComponentNames) r.pga = std::max(r.pga, std::abs(NumberOr0(field(std::string(c) + "_PGA"))));
    r.status = StatusFromText(field("processing"));
    r.flags = field("qa_flags");
    for (std::size_t k = 0; k < kReviewComponents; ++k)
      r.corners[k] = {NumberOr0(field(std::string(kComponentNames[k]) + "_fhp")),
                      NumberOr0(field(std::string(kComponentNames[k]) + "_flp"))};
    if (r.station.empty()) {
      const std::string json = (fs::path(folder) / (r.record + ".processing.json")).string();
      if (FileExists(json)) r.station = ProvenanceStation(ReadWholeFile(json));
    }
    if (r.station.empty()) r.station = r.record;
    rows.push_back(std::move(r));
  }
  return true;
}

}  // namespace

const char* StatusName(ReviewStatus s) {
  switch (s) {
    case ReviewStatus::Unknown: return "";
    case ReviewStatus::Passed: return "passed";
    case ReviewStatus::Warnings: return "warnings";
    case ReviewStatus::Rejected: return "rejected";
  }
  return "";
}

ReviewStatus StatusOf(const ProcessingResult& r) {
  return r.rejected ? ReviewStatus::Rejected : r.flags.empty() ? ReviewStatus::Passed : ReviewStatus::Warnings;
}

RowFacts FactsOf(const StrongRecord& rec, const ProcessingResult* r) {
  RowFacts f;
  f.station = Trim(DisplayText(rec, rec.SiteCode));
  f.date = Trim(DisplayText(rec, rec.RecDate) + " " + DisplayText(rec, rec.RecTime));
  const ComponentSet set = FlatfileComponents(rec);
  const bool none = set.h1 <= 0 && set.h2 <= 0 && set.v <= 0;  // then every channel counts
  for (int32_t ch = 1; ch <= rec.ChanCount; ++ch) {
    if (!none && ch != set.h1 && ch != set.h2 && ch != set.v) continue;
    const float* a = rec.Channel(ch);
    for (int32_t i = 0; i < rec.DataCount; ++i)
      if (std::isfinite(a[i])) f.pga = std::max(f.pga, std::abs(a[i]));
  }
  if (r) {
    f.status = StatusOf(*r);
    f.flags = r->FlagList();
  }
  return f;
}

bool ReviewList::LacksFacts(const ReviewRow& r) {
  return r.status == ReviewStatus::Unknown || r.pga <= 0 || r.date.empty();
}

std::vector<ReviewRow> ReviewList::RowsLackingFacts() const {
  std::vector<bool> listed(rows_.size(), false);
  std::vector<ReviewRow> out;
  auto take = [&](std::size_t i) {
    if (listed[i]) return;
    listed[i] = true;
    if (LacksFacts(rows_[i]) && FileExists(rows_[i].source)) out.push_back(rows_[i]);
  };
  for (const std::size_t i : shown_) take(i);
  for (std::size_t i = 0; i < rows_.size(); ++i) take(i);
  return out;
}

int32_t ReviewList::Fill(const std::string& record, const RowFacts& facts) {
  std::size_t i = 0;
  while (i < rows_.size() && rows_[i].record != record) ++i;
  if (i == rows_.size()) return -1;
  ReviewRow& r = rows_[i];
  const ReviewStatus statusBefore = r.status;
  const float pgaBefore = r.pga;
  const std::string stationBefore = r.station, dateBefore = r.date;
  // A station named after its file until the record says better.
  if (!facts.station.empty() && (r.station.empty() || r.station == r.record || r.station == FileNameOf(r.source)))
    r.station = facts.station;
  if (r.date.empty()) r.date = facts.date;
  if (facts.status) {
    r.status = *facts.status;
    r.flags = facts.flags;
    if (facts.pga > 0) r.pga = facts.pga;
  } else if (r.pga <= 0) {
    r.pga = facts.pga;
  }
  // A line whose status or sort key changed may now belong elsewhere in the list.
  const bool keyChanged = sortColumn_ != ColumnCount && (r.status != statusBefore || r.pga != pgaBefore ||
                                                         r.station != stationBefore || r.date != dateBefore);
  if ((filter_ && r.status != statusBefore) || keyChanged) {
    const std::vector<std::size_t> before = shown_;
    // The record being looked at stays in the list until the analyst moves on.
    Show(current_ >= 0 ? std::optional<std::size_t>(shown_[static_cast<std::size_t>(current_)]) : std::nullopt, true);
    if (shown_ != before) return kLinesMoved;
  }
  for (std::size_t line = 0; line < shown_.size(); ++line)
    if (shown_[line] == i) return static_cast<int32_t>(line);
  return -1;
}

bool ReviewList::Open(const std::string& folder, std::string& problem, std::vector<std::string>* notes) {
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    problem = folder + ": not a folder";
    return false;
  }
  std::vector<ReviewRow> rows;
  const std::string flatfile = (fs::path(folder) / "flatfile.csv").string();
  try {
    if (FileExists(flatfile)) {
      if (!ReadFlatfile(folder, flatfile, rows, problem)) return false;
    } else {
      for (const std::string& file : CollectRecords({folder}).files) {
        ReviewRow r;
        r.source = r.path = file;
        r.record = fs::relative(file, folder, ec).generic_string();
        if (ec || r.record.empty()) r.record = FileNameOf(file);
        r.station = FileNameOf(file);
        rows.push_back(std::move(r));
      }
    }
    ReviewFile review(ReviewPathIn(folder));
    std::vector<std::string> problems = review.Load();
    if (notes) *notes = std::move(problems);
    file_ = std::move(review);
  } catch (const std::exception& e) {
    problem = folder + ": " + e.what();
    return false;
  }
  if (rows.empty()) {
    problem = folder + ": no records";
    return false;
  }
  folder_ = folder;
  rows_ = std::move(rows);
  filter_.reset();
  sortColumn_ = ColumnCount;
  current_ = -1;
  Show(std::nullopt);
  return true;
}

const char* ReviewList::ColumnName(Column c) {
  static const char* const names[] = {"Station", "Date", "PGA", "Status", "Review", "Flags"};
  return c < ColumnCount ? names[c] : "";
}

std::string ReviewList::Text(int32_t line, Column c) const {
  const ReviewRow& r = Row(line);
  switch (c) {
    case ColStation: return r.station;
    case ColDate: return r.date;
    case ColPga: {
      if (r.pga <= 0) return "";
      char buf[32];
      std::snprintf(buf, sizeof buf, "%.4g", static_cast<double>(r.pga));  // as read on a plot
      return buf;
    }
    case ColStatus: return StatusName(r.status);
    case ColFlags: return r.flags;
    case ColDecision: {
      const ReviewEntry* e = Decision(line);
      if (!e) return "";
      return e->decision == ReviewDecision::Rejected ? "rejected" : e->Edited() ? "edited" : "accepted";
    }
    case ColumnCount: break;
  }
  return "";
}

void ReviewList::SortBy(Column c, bool ascending) {
  sortColumn_ = c;
  ascending_ = ascending;
  Show(current_ >= 0 ? std::optional<std::size_t>(shown_[static_cast<std::size_t>(current_)]) : std::nullopt);
}

void ReviewList::Filter(std::optional<ReviewStatus> status) {
  filter_ = status;
  Show(current_ >= 0 ? std::optional<std::size_t>(shown_[static_cast<std::size_t>(current_)]) : std::nullopt);
}

void ReviewList::Show(std::optional<std::size_t> keep, bool keepFiltered) {
  shown_.clear();
  for (std::size_t i = 0; i < rows_.size(); ++i)
    if (!filter_ || rows_[i].status == *filter_ || (keepFiltered && keep == i)) shown_.push_back(i);
  if (sortColumn_ != ColumnCount) {
    std::vector<std::string> key(rows_.size());
    for (int32_t line = 0; line < Count(); ++line) key[shown_[static_cast<std::size_t>(line)]] = Text(line, sortColumn_);
    std::stable_sort(shown_.begin(), shown_.end(), [&](std::size_t a, std::size_t b) {
      const bool less = sortColumn_ == ColPga ? rows_[a].pga < rows_[b].pga : key[a] < key[b];
      const bool more = sortColumn_ == ColPga ? rows_[b].pga < rows_[a].pga : key[b] < key[a];
      return ascending_ ? less : more;
    });
  }
  current_ = -1;
  if (keep)
    for (std::size_t line = 0; line < shown_.size(); ++line)
      if (shown_[line] == *keep) current_ = static_cast<int32_t>(line);
}

bool ReviewList::Select(int32_t line) {
  if (line < 0 || line >= Count()) return false;
  current_ = line;
  return true;
}

std::array<ReviewCorners, kReviewComponents> ReviewList::EditedCorners() const {
  const ReviewEntry* e = current_ >= 0 ? Decision(current_) : nullptr;
  return e ? e->corners : std::array<ReviewCorners, kReviewComponents>{};
}

void ReviewList::Decide(ReviewDecision d, const std::string& reason,
                        const std::array<ReviewCorners, kReviewComponents>& c) {
  if (current_ < 0) return;
  ReviewEntry e;
  e.record = Row(current_).record;
  e.decision = d;
  e.reason = reason;
  e.corners = c;
  file_.Append(std::move(e));
}

void ReviewList::Accept(const std::string& reason) {
  Decide(ReviewDecision::Accepted, reason, EditedCorners());
}

void ReviewList::Reject(const std::string& reason) {
  Decide(ReviewDecision::Rejected, reason, EditedCorners());
}

void ReviewList::Reset() {
  Decide(ReviewDecision::Reset, "", {});
}

bool ReviewList::EditCorners(int32_t component, float highPass, float lowPass) {
  if (current_ < 0 || component < 0 || component >= kReviewComponents) return false;
  if (highPass < 0 || lowPass < 0 || (highPass > 0 && lowPass > 0 && highPass >= lowPass)) return false;
  const ReviewEntry* e = Decision(current_);
  std::array<ReviewCorners, kReviewComponents> c = EditedCorners();
  c[static_cast<std::size_t>(component)] = {highPass, lowPass};
  Decide(e ? e->decision : ReviewDecision::Accepted, e ? e->reason : "corners edited", c);
  return true;
}

}  // namespace sism
