// The flatfile's record list (sets counted once, folders walked, notes left out), its shards,
// its columns and its rows in a fixed order however many threads compute them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "app/shell/flatfile.h"
#include "app/shell/settings.h"
#include "common/files.h"
#include "common/text.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

const std::string kDemo = SISMORA_SOURCE_DIR "/samples/demo.ac";

// Fields of one CSV line, quotes undone.
std::vector<std::string> CsvFields(const std::string& line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
      fields.back() += '"';
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

TEST(Flatfile, FilesOfOneSetShareAKey) {
  auto same = [](const std::string& a, const std::string& b) { return RecordSetKey(a) == RecordSetKey(b); };
  EXPECT_TRUE(same("/d/AOM0011801241951.NS", "/d/aom0011801241951.ew"));
  EXPECT_TRUE(same("/d/NGNH311106302345.NS1", "/d/NGNH311106302345.UD2"));
  EXPECT_TRUE(same("/d/X.1", "/d/X.3"));
  EXPECT_TRUE(same("/d/ST.ans", "/d/ST.AUD"));
  EXPECT_TRUE(same("/d/HI.ARS1..HNE.D.20190728.160908.C.ACC.ASC", "/d/HI.ARS1..HNZ.D.20190728.160908.C.ACC.ASC"));
  EXPECT_TRUE(same("/d/BK.CMB.00.HNE__20140824T102014Z__20140824T102244Z.mseed",
                   "/d/BK.CMB.00.HNN__20140824T102014Z__20140824T102244Z.mseed"));
  EXPECT_TRUE(same("/d/./x/../AOM.NS", "/d/AOM.UD"));
  EXPECT_FALSE(same("/d/AOM.NS", "/e/AOM.NS"));
  EXPECT_FALSE(same("/d/AOM.NS", "/d/AOM2.NS"));
  // Another instrument of the station, another volume, other records.
  EXPECT_FALSE(same("/d/HI.ARS1..HNE.D.2019.ASC", "/d/HI.ARS1..HGE.D.2019.ASC"));
  EXPECT_FALSE(same("/d/CE89146.V1", "/d/CE89146.V2"));
  EXPECT_FALSE(same("/d/a.ac", "/d/b.ac"));
  EXPECT_FALSE(same("/d/HNE.txt", "/d/HNN.txt"));
}

TEST(Flatfile, FoldersAreWalkedForRecordsOnly) {
  test::TempDir dir;
  const std::string demo = ReadWholeFile(kDemo);
  std::filesystem::create_directories(dir.Path() / "b" / "deep");
  dir.Write("b/deep/z.ac", demo);
  dir.Write("a.ac", demo);
  dir.Write("b/m.ac", demo);
  // Notes beside the records: Markdown shares SMAC-MD's extension, and plain text is not a record.
  dir.Write("README.md", "# Records\n\nFrom the archive.\n");
  dir.Write("notes.txt", "some words\n");
  const std::string missing = dir.File("gone.ac");
  const RecordList list = CollectRecords({dir.Path().string(), missing, kDemo});
  const std::vector<std::string> expected = {dir.File("a.ac"), dir.File("b/deep/z.ac"), dir.File("b/m.ac"), missing,
                                             kDemo};
  EXPECT_EQ(list.files, expected);
  EXPECT_EQ(list.skipped, 2);
  // The same file twice is one record.
  EXPECT_EQ(CollectRecords({kDemo, kDemo}).files.size(), 1u);
}

TEST(Flatfile, ShardsSplitTheListAndTogetherHoldIt) {
  const std::vector<std::string> files = {"a", "b", "c", "d", "e", "f", "g"};
  std::multiset<std::string> all;
  for (int32_t k = 1; k <= 3; ++k)
    for (const std::string& f : ShardOf(files, k, 3)) all.insert(f);
  EXPECT_EQ(all, std::multiset<std::string>(files.begin(), files.end()));
  EXPECT_EQ(ShardOf(files, 2, 3), (std::vector<std::string>{"b", "e"}));
  EXPECT_EQ(ShardOf(files, 1, 1), files);
  EXPECT_TRUE(ShardOf(files, 0, 3).empty());
  EXPECT_TRUE(ShardOf(files, 4, 3).empty());
  EXPECT_EQ(ShardOf(files, 7, 9), (std::vector<std::string>{"g"}));
}

TEST(Flatfile, RowsKeepTheirOrderWhateverTheThreads) {
  test::TempDir dir;
  AppState base;
  LoadStoredSettings(base);
  base.preproc.ShowEachTime = false;
  base.preproc.PickChannels = false;
  const std::string demo = ReadWholeFile(kDemo);
  std::vector<std::string> files;
  for (int i = 0; i < 6; ++i) files.push_back(dir.Write("r" + std::to_string(i) + ".ac", demo));
  // A file that cannot be read, with a comma in its name, among them.
  files.insert(files.begin() + 2, dir.Write("bad, one.evt", std::string(40, '\x07')));
  FlatfileSettings settings;
  settings.request.periods = {0.1f, 1.0f};

  std::ostringstream one, four, log1, log4;
  EXPECT_EQ(WriteFlatfile(base, files, settings, 1, true, one, log1), 1);
  EXPECT_EQ(WriteFlatfile(base, files, settings, 4, true, four, log4), 1);
  EXPECT_EQ(one.str(), four.str());
  EXPECT_EQ(log1.str(), log4.str());

  const std::vector<std::string> lines = Split(one.str(), "\n");
  ASSERT_EQ(lines.size(), files.size() + 2);  // header, rows, the empty text after the last break
  const std::vector<std::string> header = CsvFields(lines[0]);
  EXPECT_EQ(header.front(), "file");
  EXPECT_EQ(header.back(), "error");
  EXPECT_EQ(std::count(header.begin(), header.end(), "RotD100_Sa(0.1)"), 1);
  for (std::size_t i = 1; i <= files.size(); ++i) {
    const std::vector<std::string> row = CsvFields(lines[i]);
    ASSERT_EQ(row.size(), header.size()) << lines[i];
    EXPECT_EQ(row[0], files[i - 1]);
    if (i == 3) {
      EXPECT_FALSE(row.back().empty());
      EXPECT_TRUE(row[1].empty());
    } else {
      EXPECT_TRUE(row.back().empty()) << row.back();
      EXPECT_EQ(row[1], "AC");
    }
  }
  // Without the header, for the shards after the first.
  std::ostringstream rowsOnly, log;
  WriteFlatfile(base, {files[0]}, settings, 2, false, rowsOnly, log);
  EXPECT_EQ(rowsOnly.str(), lines[1] + "\n");
}

}  // namespace
TEST(Flatfile, HeaderNamesTheLevelAndDuctilitiesAndErrorRowsMatchIt) {
  MetricsRequest request;
  request.periods = {0.2f, 2.0f};
  request.durationLevel = 12.5f;
  request.ductilities = {2.0f, 4.0f};
  const std::string header = FlatfileHeader(request);
  for (const char* key : {",H1_Db(12.5),", ",V_Du(0.05g),", ",H2_CAVstd,", ",RotD50_PGV,", ",LPGM_class,",
                          ",H1_Rmu2(0.2),", ",V_Rmu4(2),", ",LPGM_class,EAS(0.1),", ",EAS(10),H1_Rmu2(0.2),"})
    EXPECT_NE(header.find(key), std::string::npos) << key;
  EXPECT_TRUE(header.ends_with(",error_code,error"));
  EXPECT_LT(header.find(",V_Rmu4(2),"), header.find(",start_time,"));
  const std::string row = FlatfileErrorRow("x.evt", "not a record", request);
  EXPECT_EQ(std::count(row.begin(), row.end(), ','), std::count(header.begin(), header.end(), ','));
  EXPECT_TRUE(row.ends_with(",unreadable,not a record"));
}

TEST(Flatfile, ColumnsFileJsonLinesAndTextsOfOtherEncodings) {
  test::TempDir dir;
  AppState base;
  LoadStoredSettings(base);
  base.preproc.ShowEachTime = false;
  base.preproc.LowCutFreq = 0.2f;
  FlatfileSettings settings;
  settings.request.periods = {0.5f};
  settings.more = [](FlatRow& row) {
    row.Number("extra", "s", "a column of another command", row.HasRecord() ? "1.5" : "");
  };
  // A name that is no UTF-8 comes out with U+FFFD.
  const std::string file = dir.Write("Valpara\xEDso.ac", ReadWholeFile(kDemo));
  std::string csvRow, jsonRow;
  std::ostringstream log;
  ASSERT_TRUE(FlatfileLine(base, file, settings, csvRow, log)) << log.str();
  settings.format = FlatFormat::Jsonl;
  ASSERT_TRUE(FlatfileLine(base, file, settings, jsonRow, log)) << log.str();

  const std::vector<std::string> columns = Split(FlatfileColumnsText(settings.request, settings.more), "\n");
  std::string headerLine = FlatfileHeaderLine(settings.request, settings.more);
  ASSERT_TRUE(headerLine.ends_with("\n"));
  headerLine.pop_back();
  const std::vector<std::string> header = CsvFields(headerLine);
  ASSERT_EQ(columns.size(), header.size() + 2);  // the caption line, the empty text after the last break
  EXPECT_EQ(columns[0], "name,unit,description");
  for (std::size_t i = 0; i < header.size(); ++i) {
    const std::vector<std::string> c = CsvFields(columns[i + 1]);
    ASSERT_EQ(c.size(), 3u) << columns[i + 1];
    EXPECT_EQ(c[0], header[i]);
    EXPECT_FALSE(c[1].empty()) << c[0];
  }
  const std::vector<std::string> values = CsvFields(csvRow);
  ASSERT_EQ(values.size(), header.size());
  auto at = [&](const std::string& name) {
    return values[static_cast<std::size_t>(std::find(header.begin(), header.end(), name) - header.begin())];
  };
  EXPECT_EQ(at("file"), dir.File("Valpara\xEF\xBF\xBDso.ac"));
  EXPECT_EQ(at("extra"), "1.5");
  EXPECT_EQ(at("H1_hp_hz"), "0.2");
  EXPECT_EQ(at("H1_lp_hz"), "");
  EXPECT_EQ(at("error_code"), "");
  EXPECT_EQ(header[header.size() - 3], "extra");
  // The same values as JSON, numbers as numbers and empty ones as null.
  EXPECT_NE(jsonRow.find("\"file\":\"" + dir.File("Valpara\xEF\xBF\xBDso.ac") + "\""), std::string::npos)
      << jsonRow;
  EXPECT_NE(jsonRow.find("\"extra\":1.5,"), std::string::npos) << jsonRow;
  EXPECT_NE(jsonRow.find("\"H1_lp_hz\":null,"), std::string::npos) << jsonRow;
  EXPECT_NE(jsonRow.find("\"format\":\"AC\","), std::string::npos) << jsonRow;
  EXPECT_TRUE(jsonRow.ends_with("\"error_code\":\"\",\"error\":\"\"}")) << jsonRow;
}

TEST(Flatfile, ErrorCodesSayWhyAFileWasNotRead) {
  test::TempDir dir;
  EXPECT_EQ(ReadErrorCode(dir.File("gone.ac"), ""), "unreadable");
  EXPECT_EQ(ReadErrorCode(dir.Write("empty.ac", ""), "whatever"), "not_a_record");
  const std::string file = dir.Write("a.dat", "x\n");
  EXPECT_EQ(ReadErrorCode(file, "a.dat gives its samples in \"counts\", not as an acceleration."),
            "refused_units");
  EXPECT_EQ(ReadErrorCode(file, "Failed to read a.dat (Err#62: Input past end of file)"), "damaged");
  EXPECT_EQ(ReadErrorCode(file, ""), "declined");
  EXPECT_EQ(ReadErrorCode(file, "a.dat is not a COSMOS file."), "not_a_record");
}

}  // namespace sism
