// The review list on a processed folder: its lines from the flatfile, sorting, filtering,
// moving, and each decision in the folder's review file at once.
#include <gtest/gtest.h>

#include "app/shell/forms/review_list.h"
#include "common/files.h"
#include "common/text.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

class ReviewListTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  ReviewList list;

  void SetUp() override {
    dir.Write("flatfile.csv",
              "file,format,station,date,time,H1_PGA,H2_PGA,V_PGA,H1_fhp,H1_flp,H2_fhp,H2_flp,V_fhp,V_flp,processing,"
              "qa_flags\n"
              "in/B.EW,K-NET,BBB,2020/01/02,03:04:05,120,-150,40,0.1,30,0.12,30,0.2,25,passed,\n"
              "in/A.EW,K-NET,AAA,2019/01/02,03:04:05,12,10,4,0.3,20,0.3,20,0.4,20,passed_with_warnings,tail_velocity@1\n"
              "in/C.mseed,,,,,,,,,,,,,,rejected,low_snr@2;narrow_band@3\n");
    dir.Write("B.EW.ac", "");
    dir.Write("C.mseed.processing.json", "{\n  \"source\": \"in/C.mseed\",\n  \"station\": \"CMB\",\n}");
    std::string problem;
    ASSERT_TRUE(list.Open(dir.Path().string(), problem)) << problem;
  }

  std::vector<std::string> Column(ReviewList::Column c) const {
    std::vector<std::string> v;
    for (int32_t i = 0; i < list.Count(); ++i) v.push_back(list.Text(i, c));
    return v;
  }
  std::vector<std::string> ReviewLines() const {
    std::vector<std::string> lines = Split(ReadWholeFile(dir.File("review.csv")), "\n");
    lines.pop_back();
    return lines;
  }
};

TEST_F(ReviewListTest, LinesFromTheFlatfileAndProvenance) {
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(Column(ReviewList::ColStation), (std::vector<std::string>{"BBB", "AAA", "CMB"}));
  EXPECT_EQ(Column(ReviewList::ColStatus), (std::vector<std::string>{"passed", "warnings", "rejected"}));
  EXPECT_EQ(list.Text(0, ReviewList::ColPga), "150");
  EXPECT_EQ(list.Text(0, ReviewList::ColDate), "2020/01/02 03:04:05");
  EXPECT_EQ(list.Row(0).record, "B.EW");
  EXPECT_TRUE(list.Row(0).processed);
  EXPECT_EQ(list.Row(0).path, dir.File("B.EW.ac"));
  EXPECT_FALSE(list.Row(1).processed);
  EXPECT_EQ(list.Row(1).path, "in/A.EW");
  EXPECT_EQ(list.Row(0).corners[2], (ReviewCorners{0.2f, 25}));
  EXPECT_EQ(list.Row(2).flags, "low_snr@2;narrow_band@3");

  ReviewList none;
  std::string problem;
  EXPECT_FALSE(none.Open(dir.File("missing"), problem));
  EXPECT_NE(problem.find("not a folder"), std::string::npos);
  test::TempDir empty;
  EXPECT_FALSE(none.Open(empty.Path().string(), problem));
  EXPECT_NE(problem.find("no records"), std::string::npos);
}

TEST_F(ReviewListTest, SortAndFilterKeepTheCurrentRecord) {
  ASSERT_TRUE(list.Select(1));  // AAA
  list.SortBy(ReviewList::ColPga, false);
  EXPECT_EQ(Column(ReviewList::ColStation), (std::vector<std::string>{"BBB", "AAA", "CMB"}));
  list.SortBy(ReviewList::ColStation);
  EXPECT_EQ(Column(ReviewList::ColStation), (std::vector<std::string>{"AAA", "BBB", "CMB"}));
  EXPECT_EQ(list.Current(), 0);
  list.Filter(ReviewStatus::Rejected);
  EXPECT_EQ(Column(ReviewList::ColStation), (std::vector<std::string>{"CMB"}));
  EXPECT_EQ(list.Current(), -1);
  list.Filter(std::nullopt);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_TRUE(list.Select(2));
  EXPECT_FALSE(list.Next());
  EXPECT_EQ(list.Current(), 2);
  EXPECT_TRUE(list.Previous());
  EXPECT_EQ(list.Current(), 1);
}

TEST_F(ReviewListTest, EveryDecisionIsSavedAtOnce) {
  list.Accept();  // no line selected: nothing
  EXPECT_FALSE(FileExists(dir.File("review.csv")));
  ASSERT_TRUE(list.Select(0));
  list.Reject("clipped");
  EXPECT_EQ(ReviewLines().size(), 2u);
  EXPECT_TRUE(StartsWith(ReviewLines()[1], "B.EW,rejected,clipped,,,,,,,"));
  EXPECT_EQ(list.Text(0, ReviewList::ColDecision), "rejected");
  // A corner edit keeps the decision and the reason, and the other components' corners.
  EXPECT_TRUE(list.EditCorners(1, 0.25f, 20));
  EXPECT_TRUE(list.EditCorners(2, 0.3f, 0));
  EXPECT_FALSE(list.EditCorners(0, 5, 2));
  EXPECT_FALSE(list.EditCorners(3, 0.1f, 2));
  EXPECT_TRUE(StartsWith(ReviewLines().back(), "B.EW,rejected,clipped,,,0.25,20,0.3,,")) << ReviewLines().back();
  list.Reset();
  EXPECT_EQ(list.Text(0, ReviewList::ColDecision), "");
  EXPECT_TRUE(StartsWith(ReviewLines().back(), "B.EW,reset,,,,,,,,"));
  ASSERT_TRUE(list.Next());
  EXPECT_TRUE(list.EditCorners(0, 0.5f, 15));
  EXPECT_EQ(list.Text(1, ReviewList::ColDecision), "edited");
  EXPECT_TRUE(StartsWith(ReviewLines().back(), "A.EW,accepted,corners edited,0.5,15,")) << ReviewLines().back();
  list.Accept("looks right");
  EXPECT_TRUE(StartsWith(ReviewLines().back(), "A.EW,accepted,looks right,0.5,15,"));
  EXPECT_EQ(ReviewLines().size(), 7u);

  // Opened again, the decisions are those of the file.
  ReviewList again;
  std::string problem;
  ASSERT_TRUE(again.Open(dir.Path().string(), problem));
  EXPECT_EQ(again.Text(0, ReviewList::ColDecision), "");
  EXPECT_EQ(again.Text(1, ReviewList::ColDecision), "edited");
}

// A folder of records (no flatfile): one line per record set, named by its path in the folder.
// Facts read from a record fill what its line lacks; a processing outcome replaces the line's.
TEST_F(ReviewListTest, FactsFillWhatALineLacks) {
  // The rejected record has neither date nor PGA in the flatfile; its source is not here.
  EXPECT_FALSE(ReviewList::LacksFacts(list.Row(0)));
  EXPECT_TRUE(ReviewList::LacksFacts(list.Row(2)));
  EXPECT_TRUE(list.RowsLackingFacts().empty());
  dir.Write("C-source.mseed", "");
  list.Row(2).source = dir.File("C-source.mseed");
  ASSERT_EQ(list.RowsLackingFacts().size(), 1u);
  EXPECT_EQ(list.RowsLackingFacts()[0].record, "C.mseed");

  RowFacts read;
  read.station = "BK.CMB";
  read.date = "2014/08/24 10:20:14";
  read.pga = 33;
  EXPECT_EQ(list.Fill("C.mseed", read), 2);
  EXPECT_EQ(list.Text(2, ReviewList::ColStation), "CMB");  // the provenance's name stays
  EXPECT_EQ(list.Text(2, ReviewList::ColDate), "2014/08/24 10:20:14");
  EXPECT_EQ(list.Text(2, ReviewList::ColPga), "33");
  EXPECT_EQ(list.Text(2, ReviewList::ColStatus), "rejected");
  EXPECT_FALSE(ReviewList::LacksFacts(list.Row(2)));
  read.pga = 50;  // only what is lacking
  list.Fill("C.mseed", read);
  EXPECT_EQ(list.Text(2, ReviewList::ColPga), "33");

  // Processed again: the outcome is the run's.
  read.status = ReviewStatus::Passed;
  read.flags = "";
  list.Fill("C.mseed", read);
  EXPECT_EQ(list.Text(2, ReviewList::ColStatus), "passed");
  EXPECT_EQ(list.Text(2, ReviewList::ColFlags), "");
  EXPECT_EQ(list.Text(2, ReviewList::ColPga), "50");

  EXPECT_EQ(list.Fill("nothing.here", read), -1);
  list.Filter(ReviewStatus::Warnings);
  EXPECT_EQ(list.Fill("B.EW", read), -1);  // filled, but not shown
  list.Filter(std::nullopt);
  EXPECT_EQ(list.Text(0, ReviewList::ColStatus), "passed");
}

// Outcomes that arrive while a filter or a sort is on move lines in and out and about; the
// record being looked at stays.
TEST_F(ReviewListTest, OutcomesArrivingMoveLinesUnderTheFilterAndSort) {
  list.Filter(ReviewStatus::Rejected);
  ASSERT_EQ(list.Count(), 1);
  ASSERT_TRUE(list.Select(0));  // C.mseed
  RowFacts outcome;
  outcome.status = ReviewStatus::Rejected;
  outcome.flags = "clipped@1";
  EXPECT_EQ(list.Fill("A.EW", outcome), ReviewList::kLinesMoved);
  EXPECT_EQ(Column(ReviewList::ColStation), (std::vector<std::string>{"AAA", "CMB"}));
  EXPECT_EQ(list.Row(list.Current()).record, "C.mseed");
  // The current line passes now, and is kept until the analyst moves on.
  outcome.status = ReviewStatus::Passed;
  EXPECT_EQ(list.Fill("C.mseed", outcome), 1);
  EXPECT_EQ(list.Count(), 2);
  list.Filter(ReviewStatus::Rejected);
  EXPECT_EQ(Column(ReviewList::ColStation), (std::vector<std::string>{"AAA"}));
  EXPECT_EQ(list.Current(), -1);

  // Sorted by PGA, a PGA read later puts its line in place; one that does not move says its line.
  list.Filter(std::nullopt);
  list.SortBy(ReviewList::ColPga);
  EXPECT_EQ(Column(ReviewList::ColStation), (std::vector<std::string>{"CMB", "AAA", "BBB"}));
  RowFacts read;
  read.pga = 500;
  EXPECT_EQ(list.Fill("C.mseed", read), ReviewList::kLinesMoved);
  EXPECT_EQ(Column(ReviewList::ColStation), (std::vector<std::string>{"AAA", "BBB", "CMB"}));
  read.date = "2020/01/01 00:00:00";
  EXPECT_EQ(list.Fill("C.mseed", read), 2);
}

TEST(ReviewList, FactsOfARecord) {
  StrongRecord rec;
  rec.SiteCode = "ST9";
  rec.RecDate = "2026/01/12";
  rec.RecTime = "10:30:00";
  rec.SampFreq = 100;
  rec.DataCount = 4;
  rec.ChanCount = 3;
  rec.RedimHeader(3);
  rec.RedimAcc(4, 3);
  const char* labels[] = {"NS", "EW", "UD"};
  const float values[3][4] = {{1, -2, 3, 0}, {0, 0, -250.5f, 0}, {7, 0, 0, 0}};
  for (int32_t ch = 1; ch <= 3; ++ch) {
    rec.Label(ch) = labels[ch - 1];
    for (int32_t i = 1; i <= 4; ++i) rec.Acc(i, ch) = values[ch - 1][i - 1];
  }
  RowFacts f = FactsOf(rec, nullptr);
  EXPECT_EQ(f.station, "ST9");
  EXPECT_EQ(f.date, "2026/01/12 10:30:00");
  EXPECT_FLOAT_EQ(f.pga, 250.5f);
  EXPECT_FALSE(f.status);
  ProcessingResult r;
  r.flags.push_back({"tail_velocity", 2, "", false});
  f = FactsOf(rec, &r);
  EXPECT_EQ(f.status, ReviewStatus::Warnings);
  EXPECT_EQ(f.flags, "tail_velocity@2");
}

TEST(ReviewList, FolderOfRecords) {
  test::TempDir dir;
  std::filesystem::create_directories(dir.Path() / "sub");
  const std::string ac = SISMORA_SOURCE_DIR "/samples/demo.ac";
  std::filesystem::copy_file(ac, dir.Path() / "sub" / "one.ac");
  ReviewList list;
  std::string problem;
  ASSERT_TRUE(list.Open(dir.Path().string(), problem)) << problem;
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Row(0).record, "sub/one.ac");
  EXPECT_EQ(list.Row(0).status, ReviewStatus::Unknown);
  EXPECT_FALSE(list.Row(0).processed);
  // Named after its file until its record is read.
  ASSERT_EQ(list.RowsLackingFacts().size(), 1u);
  RowFacts read;
  read.station = "DEMO";
  read.status = ReviewStatus::Rejected;
  EXPECT_EQ(list.Fill("sub/one.ac", read), 0);
  EXPECT_EQ(list.Text(0, ReviewList::ColStation), "DEMO");
  EXPECT_EQ(list.Text(0, ReviewList::ColStatus), "rejected");
}

}  // namespace
}  // namespace sism
