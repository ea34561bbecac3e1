// The review file: its lines, the standing decision of each record, and appends that keep
// what was there.
#include <gtest/gtest.h>

#include "app/shell/review_file.h"
#include "common/files.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

ReviewEntry Entry(const std::string& record, ReviewDecision d, const std::string& reason = "") {
  ReviewEntry e;
  e.record = record;
  e.decision = d;
  e.reason = reason;
  e.who = "ana";
  e.when = "2026-12-09T10:00:00Z";
  return e;
}

TEST(ReviewFile, LinesRoundTripWithQuotedReasonsAndEmptyCorners) {
  ReviewEntry e = Entry("sub/AOM0011801241951.EW", ReviewDecision::Rejected, "clipped, \"bad\" tail\nsee log");
  e.corners[1] = {0.12f, 25};
  const std::string line = ReviewLine(e);
  EXPECT_EQ(line, "sub/AOM0011801241951.EW,rejected,\"clipped, \"\"bad\"\" tail see log\",,,0.12,25,,,ana,"
                  "2026-12-09T10:00:00Z");
  ReviewEntry back;
  std::string problem;
  ASSERT_TRUE(ParseReviewLine(line, back, problem)) << problem;
  EXPECT_EQ(back.reason, "clipped, \"bad\" tail see log");
  EXPECT_EQ(back.corners[1], (ReviewCorners{0.12f, 25}));
  EXPECT_EQ(back.corners[0], ReviewCorners{});
  EXPECT_TRUE(back.Edited());
  EXPECT_FALSE(Entry("a", ReviewDecision::Accepted).Edited());

  for (const char* bad : {"a,maybe,,,,,,,,ana,t", "a,accepted,,x,,,,,,ana,t", "a,accepted,,2,1,,,,,ana,t",
                          "a,accepted,,,,,,,ana,t", ",accepted,,,,,,,,ana,t", "a,accepted,\"open,,,,,,,,ana,t",
                          "a,accepted,,-1,,,,,,ana,t"})
    EXPECT_FALSE(ParseReviewLine(bad, back, problem)) << bad;
}

TEST(ReviewFile, LastDecisionWinsAndResetTakesItBack) {
  test::TempDir dir;
  ReviewFile f(ReviewPathIn(dir.Path().string()));
  EXPECT_TRUE(f.Load().empty());  // no file yet: an empty review
  f.Append(Entry("a", ReviewDecision::Rejected, "noise"));
  f.Append(Entry("b", ReviewDecision::Accepted));
  f.Append(Entry("a", ReviewDecision::Accepted));
  f.Append(Entry("b", ReviewDecision::Reset));
  ReviewFile again(f.Path());
  EXPECT_TRUE(again.Load().empty());
  EXPECT_EQ(again.Entries().size(), 4u);
  ASSERT_NE(again.Current("a"), nullptr);
  EXPECT_EQ(again.Current("a")->decision, ReviewDecision::Accepted);
  EXPECT_EQ(again.Current("b"), nullptr);
  EXPECT_EQ(again.Decisions().size(), 1u);
  EXPECT_EQ(ReadWholeFile(f.Path()).substr(0, ReviewHeader().size() + 1), ReviewHeader() + "\n");
}

// A line the program cannot read is reported, left out of the decisions, and written back.
TEST(ReviewFile, UnreadableLinesAreKeptAndAppendFillsWhoAndWhen) {
  test::TempDir dir;
  const std::string path = dir.Write("review.csv", ReviewHeader() + "\nhand edit gone wrong\na,rejected,,,,,,,,x,t\n");
  ReviewFile f(path);
  const std::vector<std::string> problems = f.Load();
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].rfind("line 2: ", 0), 0u) << problems[0];
  EXPECT_EQ(f.Entries().size(), 1u);
  setenv("USER", "reviewer", 1);
  ReviewEntry e;
  e.record = "b";
  f.Append(e);
  const std::string text = ReadWholeFile(path);
  EXPECT_NE(text.find("\nhand edit gone wrong\na,rejected"), std::string::npos) << text;
  EXPECT_EQ(f.Entries().back().who, "reviewer");
  EXPECT_EQ(f.Entries().back().when.size(), 20u);  // 2026-12-09T10:00:00Z
  EXPECT_EQ(f.Entries().back().when.back(), 'Z');
}

TEST(ReviewFile, AFailedWriteKeepsTheFileAndTheEntries) {
  test::TempDir dir;
  ReviewFile f((dir.Path() / "missing" / "review.csv").string());
  EXPECT_ANY_THROW(f.Append(Entry("a", ReviewDecision::Accepted)));
  EXPECT_TRUE(f.Entries().empty());
}

}  // namespace
}  // namespace sism
