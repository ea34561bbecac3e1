// The list of a review: one line per record set of a processed folder (its flatfile and
// provenance) or of a folder of records (processed when shown), with the analyst's decisions,
// sorted and filtered, and the one line being looked at. No user interface.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/processing.h"
#include "app/shell/review_file.h"

namespace sism {

enum class ReviewStatus { Unknown, Passed, Warnings, Rejected };
const char* StatusName(ReviewStatus s);  // "", "passed", "warnings", "rejected"

struct ReviewRow {
  std::string record;  // its name in the review file
  std::string path;    // the file to open: the processed NAME.ac, else the record as read
  std::string source;  // the record as read before processing
  bool processed = false;  // `path` is the processed record
  std::string station, date;
  float pga = 0;  // cm/s/s, largest of the components; 0 unknown
  ReviewStatus status = ReviewStatus::Unknown;
  std::string flags;
  std::array<ReviewCorners, kReviewComponents> corners{};  // the chain's, 0 unknown
};

// What reading a record (and processing it, when it was) tells its line.
struct RowFacts {
  std::string station, date;
  float pga = 0;  // cm/s/s, the largest of the components
  std::optional<ReviewStatus> status;  // given when processed
  std::string flags;
};
// The facts of a record as read, or as `r` processed it.
RowFacts FactsOf(const StrongRecord& rec, const ProcessingResult* r);

class ReviewList {
 public:
  enum Column { ColStation, ColDate, ColPga, ColStatus, ColDecision, ColFlags, ColumnCount };

  // A processed folder (with flatfile.csv) or a folder of records; false with the reason
  // when it is neither. The review file of the folder is read; its problems go to `notes`.
  bool Open(const std::string& folder, std::string& problem, std::vector<std::string>* notes = nullptr);

  const std::string& Folder() const { return folder_; }
  ReviewFile& File() { return file_; }
  // The lines shown, after the filter and in the sort order.
  int32_t Count() const { return static_cast<int32_t>(shown_.size()); }
  const ReviewRow& Row(int32_t line) const { return rows_[shown_[static_cast<std::size_t>(line)]]; }
  ReviewRow& Row(int32_t line) { return rows_[shown_[static_cast<std::size_t>(line)]]; }
  std::string Text(int32_t line, Column c) const;
  static const char* ColumnName(Column c);
  // The standing decision of a line; null when none.
  const ReviewEntry* Decision(int32_t line) const { return file_.Current(Row(line).record); }

  // Whether a line lacks what only its record can tell: the status of a record never
  // processed, or the date and PGA (the flatfile has no measures of a rejected record).
  static bool LacksFacts(const ReviewRow& r);
  // The rows lacking facts whose record can be read, those shown first, in the order shown.
  std::vector<ReviewRow> RowsLackingFacts() const;
  // What the record's row lacks, filled in; with a status, the outcome (status, flags and
  // PGA) replaced. The line showing the row, or -1 when it is not shown; kLinesMoved when the
  // filter or the sort order, applied again, moved lines (the current record stays current).
  static constexpr int32_t kLinesMoved = -2;
  int32_t Fill(const std::string& record, const RowFacts& facts);

  void SortBy(Column c, bool ascending = true);
  // Only the lines of one status; nullopt: all. The current record stays current when shown.
  void Filter(std::optional<ReviewStatus> status);

  int32_t Current() const { return current_; }  // -1 none
  bool Select(int32_t line);
  bool Next() { return Select(current_ + 1); }
  bool Previous() { return Select(current_ - 1); }

  // The decisions on the current line, saved at once; they raise when the file cannot be
  // written (the decision is then not taken). A corner edit keeps the line's decision
  // (accepted when it had none) and its other corners; 0 gives the corner back to the chain.
  // EditCorners refuses negative corners and a high-pass corner not below the low-pass one.
  void Accept(const std::string& reason = "");
  void Reject(const std::string& reason);
  void Reset();
  bool EditCorners(int32_t component, float highPass, float lowPass);
  // The corners the analyst gave on the current line (0: automatic).
  std::array<ReviewCorners, kReviewComponents> EditedCorners() const;

 private:
  void Decide(ReviewDecision d, const std::string& reason, const std::array<ReviewCorners, kReviewComponents>& c);
  // The lines after the filter and sort; `keep` stays current when shown (with keepFiltered,
  // shown whatever the filter).
  void Show(std::optional<std::size_t> keep, bool keepFiltered = false);

  std::string folder_;
  ReviewFile file_;
  std::vector<ReviewRow> rows_;
  std::vector<std::size_t> shown_;
  std::optional<ReviewStatus> filter_;
  Column sortColumn_ = ColumnCount;
  bool ascending_ = true;
  int32_t current_ = -1;
};

// The status a processing result gives.
ReviewStatus StatusOf(const ProcessingResult& r);

}  // namespace sism
