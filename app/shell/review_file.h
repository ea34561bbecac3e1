// The analyst's decisions on processed records, kept in one CSV file in the reviewed folder.
//
// Format: a header line, then one line per decision, appended in the order they were made:
//   record,decision,reason,H1_fhp,H1_flp,H2_fhp,H2_flp,V_fhp,V_flp,who,when
// record   the record's file name relative to the folder (as the flatfile's file column ends)
// decision accepted | rejected | reset (reset takes back the earlier decisions of the record)
// reason   free text on one line (quoted as CSV when it holds a comma or a quote)
// *_fhp, *_flp  the high-pass and low-pass corners of each component in Hz, chosen by the
//          analyst; empty: the automatic corner
// who      the user name; when: ISO 8601 UTC (2026-12-09T11:30:00Z)
// The last decision of a record wins. The file is rewritten whole and atomically after each
// decision, so an interrupted write leaves the previous one.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace sism {

enum class ReviewDecision { Accepted, Rejected, Reset };

// Corners of one component, Hz; 0 leaves the automatic one.
struct ReviewCorners {
  float highPass = 0, lowPass = 0;
  bool operator==(const ReviewCorners&) const = default;
};

inline constexpr int32_t kReviewComponents = 3;  // H1, H2, V

struct ReviewEntry {
  std::string record;
  ReviewDecision decision = ReviewDecision::Accepted;
  std::string reason;
  std::array<ReviewCorners, kReviewComponents> corners{};
  std::string who, when;

  // Whether any corner was chosen by the analyst.
  bool Edited() const;
};

const char* DecisionName(ReviewDecision d);
std::string ReviewHeader();
// One line of the file, without its line break.
std::string ReviewLine(const ReviewEntry& e);
// The fields of one line; false with the problem when it is not a decision.
bool ParseReviewLine(const std::string& line, ReviewEntry& e, std::string& problem);

// A CSV field, quoted when it holds a comma or a quote (line breaks become blanks), and the
// fields of a line; false when a quoted field is not closed.
std::string CsvQuoted(const std::string& s);
bool SplitCsvLine(const std::string& line, std::vector<std::string>& fields);

// The current user ($USER, else $LOGNAME) and the current time as ISO 8601 UTC.
std::string ReviewUser();
std::string ReviewNow();

class ReviewFile {
 public:
  ReviewFile() = default;
  explicit ReviewFile(std::string path) : path_(std::move(path)) {}

  // Reads the file (a missing file is an empty review); the problems of lines that are not
  // decisions, "line N: why". Those lines count for nothing but are written back as they
  // stand. Raises on a file that cannot be read.
  std::vector<std::string> Load();
  // Appends the decision (filling who and when when empty) and writes the whole file
  // atomically; raises 75 with the reason when it cannot be written, the entry then not kept.
  void Append(ReviewEntry e);

  const std::string& Path() const { return path_; }
  const std::vector<ReviewEntry>& Entries() const { return entries_; }
  // The record's standing decision: its last one unless that was a reset; null when none.
  const ReviewEntry* Current(const std::string& record) const;
  // Every record's standing decision.
  std::map<std::string, ReviewEntry> Decisions() const;

 private:
  std::string path_;
  std::vector<ReviewEntry> entries_;
  std::vector<std::string> lines_;  // every line after the header, as read or written
};

// The file name of a review in a folder.
std::string ReviewPathIn(const std::string& folder);

}  // namespace sism
