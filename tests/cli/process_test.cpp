// sismora-cli process: records processed into a folder, their provenance and the flatfile,
// and an analyst's review file applied.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <string>
#include <vector>

#include "app/shell/review_file.h"
#include "tests/cli/cli_run.h"
#include "tests/support/samples.h"

namespace sism {
namespace {

TEST_F(CliTest, ProcessWritesRecordsProvenanceAndFlatfile) {
  SKIP_WITHOUT_SAMPLES();
  const std::string knet = (test::SamplesDir() / "knet").string(), fdsn = (test::SamplesDir() / "fdsn").string();
  const std::string one = work.File("one"), two = work.File("two");
  CliRun r = Cli({"process", knet, fdsn, "-o", one});
  ASSERT_EQ(r.status, 0) << r.err;
  r = Cli({"process", knet, fdsn, "-o", two, "-j", "2"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string text = ReadWholeFile(one + "/flatfile.csv");
  EXPECT_EQ(text, ReadWholeFile(two + "/flatfile.csv"));
  const std::vector<std::string> lines = Split(text, "\n");
  ASSERT_EQ(lines.size(), 4u) << text;  // header, two rows, the last line end
  EXPECT_NE(lines[0].find(",H1_fhp,H1_flp,H2_fhp,H2_flp,V_fhp,V_flp,onset_s,onset_reliable,processing,qa_flags,"
                          "error_code,error"),
            std::string::npos);
  EXPECT_NE(lines[1].find(",passed,"), std::string::npos) << lines[1];
  EXPECT_NE(lines[2].find(",rejected,tail_velocity@"), std::string::npos) << lines[2];
  EXPECT_NE(lines[2].find(",rejected,rejected: tail_velocity@"), std::string::npos) << lines[2];
  const std::string ac = one + "/AOM0011801241951.EW.ac";
  EXPECT_TRUE(FileExists(ac));
  EXPECT_FALSE(FileExists(one + "/BK.CMB.00.HNE__20140824T102014Z__20140824T102244Z.mseed.ac"));
  const nlohmann::json prov = nlohmann::json::parse(ReadWholeFile(one + "/AOM0011801241951.EW.processing.json"));
  EXPECT_EQ(prov["status"], "passed");
  EXPECT_EQ(prov["steps"].size(), 6u);
  EXPECT_EQ(Open(ac).record.ChanCount, 3);
  EXPECT_EQ(Cli({"process", knet, "-o", one + "/flatfile.csv"}).status, 2);
  EXPECT_EQ(Cli({"process", knet, "-o", knet}).status, 2);
}

// The processed record also as COSMOS V2, one file per channel, its corners those of the
// provenance, which names every file written; the formats by option or by setting.
TEST_F(CliTest, ProcessWritesCosmosV2WithTheCornersAndNamesTheFiles) {
  SKIP_WITHOUT_SAMPLES();
  const std::string knet = (test::SamplesDir() / "knet").string(), out = work.File("out");
  CliRun r = Cli({"process", knet, "-o", out, "--to", "ac,cosmos-v2"});
  ASSERT_EQ(r.status, 0) << r.err;
  const nlohmann::json prov = nlohmann::json::parse(ReadWholeFile(out + "/AOM0011801241951.EW.processing.json"));
  ASSERT_EQ(prov["status"], "passed");
  const std::vector<std::string> files = prov["files"];
  ASSERT_EQ(files.size(), 4u);
  EXPECT_EQ(files[0], "AOM0011801241951.EW.ac");
  const AppState ac = Open(out + "/" + files[0]);
  for (std::size_t k = 1; k < files.size(); ++k) {
    SCOPED_TRACE(files[k]);
    EXPECT_TRUE(files[k].ends_with(".v2"));
    const std::string text = ReadWholeFile(out + "/" + files[k]);
    const std::vector<std::string> lines = Split(text, "\r\n");
    ASSERT_GT(lines.size(), 50u);
    EXPECT_TRUE(StartsWith(lines[0], "Corrected acceleration"));
    EXPECT_TRUE(StartsWith(lines[11], "Record filtered below")) << lines[11];
    EXPECT_NE(text.find("\r\nVelocity data"), std::string::npos);
    EXPECT_NE(text.find("\r\nDisplacement data"), std::string::npos);
    const std::string label = Trim(lines[46].substr(lines[46].find(':') + 1));
    const auto real = [&](int i) { return ToDouble(Mid(lines[25 + (i - 1) / 5], 1 + 15 * ((i - 1) % 5), 15)); };
    const nlohmann::json* channel = nullptr;
    for (const nlohmann::json& c : prov["channels"])
      if (c["label"] == label) channel = &c;
    ASSERT_NE(channel, nullptr) << label;
    EXPECT_NEAR(real(54), (*channel)["high_pass_hz"].get<double>(), 1e-6);  // high-pass corner
    EXPECT_NEAR(real(57), (*channel)["low_pass_hz"].get<double>(), 1e-6);   // low-pass corner
    // The same samples as the .ac, within its three decimals.
    const AppState v2 = Open(out + "/" + files[k]);
    const int32_t ch = (*channel)["channel"];
    ASSERT_EQ(v2.record.DataCount, ac.record.DataCount);
    for (int32_t i = 1; i <= ac.record.DataCount; ++i)
      ASSERT_NEAR(v2.record.Acc(i, 1), ac.record.Acc(i, ch), 6e-4) << i;
  }
  // By the setting, the .ac left out; a name no writer has is refused before any record is read.
  const std::string ini = work.Write("p.ini", "[Processing]\nOutputFormats=cosmos-v2\n");
  r = Cli({"process", knet, "-o", work.File("v2only"), "--settings", ini});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_FALSE(FileExists(work.File("v2only") + "/AOM0011801241951.EW.ac"));
  const nlohmann::json only = nlohmann::json::parse(ReadWholeFile(work.File("v2only") + "/AOM0011801241951.EW.processing.json"));
  EXPECT_EQ(only["files"].size(), 3u);
  r = Cli({"process", knet, "-o", work.File("bad"), "--to", "ac,segy"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("'segy'"), std::string::npos) << r.err;
  const std::string badIni = work.Write("b.ini", "[Processing]\nOutputFormats=segy\n");
  r = Cli({"process", knet, "-o", work.File("bad"), "--settings", badIni});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("OutputFormats"), std::string::npos) << r.err;
}

// An analyst's review replayed: edited corners used and said, an accepted record kept in spite
// of its failed check, a rejected one left out.
TEST_F(CliTest, ProcessAppliesAReviewFile) {
  SKIP_WITHOUT_SAMPLES();
  const std::string knet = (test::SamplesDir() / "knet").string(), fdsn = (test::SamplesDir() / "fdsn").string();
  const std::string out = work.File("out");
  const std::string header = "record,decision,reason,H1_fhp,H1_flp,H2_fhp,H2_flp,V_fhp,V_flp,who,when\n";
  const std::string review = work.Write(
      "review.csv", header + "knet/AOM0011801241951.EW,accepted,,0.2,20,,,,,ana,2026-12-09T10:00:00Z\n" +
                        "BK.CMB.00.HNE__20140824T102014Z__20140824T102244Z.mseed,accepted,tail looks fine,,,,,,,ana,"
                        "2026-12-09T10:01:00Z\n");
  CliRun r = Cli({"process", knet, fdsn, "-o", out, "--review", review});
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> lines = Split(ReadWholeFile(out + "/flatfile.csv"), "\n");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_TRUE(lines[0].ends_with(",qa_flags,reviewed,error_code,error")) << lines[0];
  const std::vector<std::string> head = Split(lines[0], ",");
  const auto column = [&](const std::string& row, const std::string& name) {
    std::vector<std::string> f;
    SplitCsvLine(row, f);
    const auto at = static_cast<std::size_t>(std::find(head.begin(), head.end(), name) - head.begin());
    return at < f.size() ? f[at] : std::string("?");
  };
  EXPECT_EQ(column(lines[1], "H1_fhp"), "0.2") << lines[1];
  EXPECT_EQ(column(lines[1], "H1_flp"), "20");
  EXPECT_NE(column(lines[1], "H2_fhp"), "");
  EXPECT_EQ(column(lines[1], "reviewed"), "edited");
  EXPECT_EQ(column(lines[2], "processing"), "passed_with_warnings") << lines[2];
  EXPECT_EQ(column(lines[2], "reviewed"), "accepted");
  const nlohmann::json prov = nlohmann::json::parse(ReadWholeFile(out + "/AOM0011801241951.EW.processing.json"));
  EXPECT_NE(prov.dump().find("fixed_corners"), std::string::npos);

  // The last decision wins: the K-NET record rejected after all has no row.
  std::string text = ReadWholeFile(review) + "knet/AOM0011801241951.EW,rejected,noisy,,,,,,,ana,2026-12-09T10:02:00Z\n";
  work.Write("review.csv", text);
  r = Cli({"process", knet, fdsn, "-o", out, "--review", review});
  ASSERT_EQ(r.status, 0) << r.err;
  lines = Split(ReadWholeFile(out + "/flatfile.csv"), "\n");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_TRUE(StartsWith(lines[1], fdsn)) << lines[1];
  EXPECT_EQ(Cli({"process", knet, "-o", out, "--review", work.File("none.csv")}).status, 2);
  EXPECT_EQ(Cli({"metrics", knet, "-o", "-", "--review", review}).status, 2);
}

}  // namespace
}  // namespace sism
