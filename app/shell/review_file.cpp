#include "app/shell/review_file.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "common/files.h"
#include "common/text.h"

namespace sism {
namespace {

const char* const kComponentNames[kReviewComponents] = {"H1", "H2", "V"};

}  // namespace

std::string CsvQuoted(const std::string& s) {
  std::string one = ReplaceAll(ReplaceAll(s, "\r", " "), "\n", " ");
  if (one.find_first_of(",\"") == std::string::npos) return one;
  return "\"" + ReplaceAll(one, "\"", "\"\"") + "\"";
}

bool SplitCsvLine(const std::string& line, std::vector<std::string>& fields) {
  fields.assign(1, "");
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c != '"') fields.back() += c;
      else if (i + 1 < line.size() && line[i + 1] == '"') fields.back() += '"', ++i;
      else quoted = false;
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return !quoted;
}

namespace {

std::string CornerText(float f) {
  return f > 0 ? NumberText(f) : "";
}

}  // namespace

bool ReviewEntry::Edited() const {
  for (const ReviewCorners& c : corners)
    if (c.highPass > 0 || c.lowPass > 0) return true;
  return false;
}

const char* DecisionName(ReviewDecision d) {
  switch (d) {
    case ReviewDecision::Accepted: return "accepted";
    case ReviewDecision::Rejected: return "rejected";
    case ReviewDecision::Reset: return "reset";
  }
  return "";
}

std::string ReviewHeader() {
  std::string h = "record,decision,reason";
  for (const char* c : kComponentNames) h += std::string(",") + c + "_fhp," + c + "_flp";
  return h + ",who,when";
}

std::string ReviewLine(const ReviewEntry& e) {
  std::string s = CsvQuoted(e.record) + "," + DecisionName(e.decision) + "," + CsvQuoted(e.reason);
  for (const ReviewCorners& c : e.corners) s += "," + CornerText(c.highPass) + "," + CornerText(c.lowPass);
  return s + "," + CsvQuoted(e.who) + "," + CsvQuoted(e.when);
}

bool ParseReviewLine(const std::string& line, ReviewEntry& e, std::string& problem) {
  std::vector<std::string> f;
  if (!SplitCsvLine(line, f)) {
    problem = "a quoted field is not closed";
    return false;
  }
  const std::size_t want = 3 + 2 * kReviewComponents + 2;
  if (f.size() != want) {
    problem = std::to_string(f.size()) + " fields, " + std::to_string(want) + " expected";
    return false;
  }
  e = ReviewEntry{};
  e.record = f[0];
  if (e.record.empty()) {
    problem = "no record named";
    return false;
  }
  if (f[1] == "accepted") e.decision = ReviewDecision::Accepted;
  else if (f[1] == "rejected") e.decision = ReviewDecision::Rejected;
  else if (f[1] == "reset") e.decision = ReviewDecision::Reset;
  else {
    problem = "decision \"" + f[1] + "\" is none of accepted, rejected, reset";
    return false;
  }
  e.reason = f[2];
  for (int32_t k = 0; k < kReviewComponents; ++k) {
    float* both[2] = {&e.corners[static_cast<std::size_t>(k)].highPass, &e.corners[static_cast<std::size_t>(k)].lowPass};
    for (int32_t j = 0; j < 2; ++j) {
      const std::string& t = f[static_cast<std::size_t>(3 + 2 * k + j)];
      if (t.empty()) continue;
      if (!IsNumeric(t) || ToDouble(t) <= 0 || ToDouble(t) > 1e4) {
        problem = std::string(kComponentNames[k]) + (j == 0 ? "_fhp" : "_flp") + " \"" + t + "\" is not a frequency";
        return false;
      }
      *both[j] = ToSingle(t);
    }
    const ReviewCorners& c = e.corners[static_cast<std::size_t>(k)];
    if (c.highPass > 0 && c.lowPass > 0 && c.highPass >= c.lowPass) {
      problem = std::string(kComponentNames[k]) + " high-pass corner not below the low-pass corner";
      return false;
    }
  }
  e.who = f[want - 2];
  e.when = f[want - 1];
  return true;
}

std::string ReviewUser() {
  for (const char* var : {"USER", "LOGNAME"})
    if (const char* v = std::getenv(var); v && *v) return v;
  return "";
}

std::string ReviewNow() {
  const std::time_t t = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm tm{};
  gmtime_r(&t, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &tm);
  return buf;
}

std::vector<std::string> ReviewFile::Load() {
  entries_.clear();
  lines_.clear();
  std::vector<std::string> problems;
  if (!FileExists(path_)) return problems;
  TextFile in(path_);
  std::string line;
  for (int32_t no = 1; in.TryReadLine(line); ++no) {
    if (no == 1 && line == ReviewHeader()) continue;
    lines_.push_back(line);
    if (TrimSpace(line).empty()) continue;
    ReviewEntry e;
    std::string problem;
    if (ParseReviewLine(line, e, problem)) entries_.push_back(std::move(e));
    else problems.push_back("line " + std::to_string(no) + ": " + problem);
  }
  return problems;
}

void ReviewFile::Append(ReviewEntry e) {
  if (e.who.empty()) e.who = ReviewUser();
  if (e.when.empty()) e.when = ReviewNow();
  const std::string line = ReviewLine(e);
  AtomicFileWriter out(path_);
  std::string text = ReviewHeader() + "\n";
  for (const std::string& l : lines_) text += l + "\n";
  out.Write(text + line + "\n");
  out.Commit();
  lines_.push_back(line);
  entries_.push_back(std::move(e));
}

const ReviewEntry* ReviewFile::Current(const std::string& record) const {
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
    if (it->record == record) return it->decision == ReviewDecision::Reset ? nullptr : &*it;
  return nullptr;
}

std::map<std::string, ReviewEntry> ReviewFile::Decisions() const {
  std::map<std::string, ReviewEntry> out;
  for (const ReviewEntry& e : entries_) {
    if (e.decision == ReviewDecision::Reset) out.erase(e.record);
    else out[e.record] = e;
  }
  return out;
}

std::string ReviewPathIn(const std::string& folder) {
  return (std::filesystem::path(folder) / "review.csv").string();
}

}  // namespace sism
