#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "load/user_side.h"
#include "record/data_file_guess.h"
#include "app/shell/forms/read_data_form.h"
#include "record/readers.h"
#include "record/record_texts.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

using test::ScriptedUi;
using test::TempDir;

TEST(GuessDataFileLayout, HeaderNumbersSuggestStepFrequencyAndCount) {
  struct Case {
    const char* what;
    std::vector<std::string> lines;
    int32_t skip, count, freq;
  } cases[] = {
      {"DT and NPTS", {"DT 0.01 NPTS 6000", "1.0 2.0", "3.0"}, 1, 6000, 100},
      {"a frequency", {"RATE 200", "1"}, 1, 1000, 200},
      {"0.004 is no step, frequency or count", {"DT 0.004", "1"}, 1, 1000, 100},
      {"bounds of the time step", {"DT 0.005", "X 0.02", "1"}, 2, 1000, 50},
      {"a count below the default", {"N 500", "1"}, 1, 1000, 100},
      {"numbers before the first word do not count", {"6000 0.01 POINTS", "1"}, 1, 1000, 100},
      {"empty first line", {"", "DT 0.01", "1"}, 0, 1000, 100},
      {"no header", {"1 2 3", "4 5 6"}, 0, 1000, 100},
      {"all ten lines are header lines",
       {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "1", "2"},
       10,
       1000,
       100},
      {"a file of header lines only", {"TITLE", "NPTS 2000.4"}, 2, 2000, 100},
      {"tabs separate too", {"DT\t0.02\tNPTS\t3000", "1"}, 1, 3000, 50},
  };
  for (const auto& cs : cases) {
    DataFileParams p;
    p.channels = 3;
    GuessDataFileLayout(cs.lines, p);
    EXPECT_EQ(p.skip, cs.skip) << cs.what;
    EXPECT_EQ(p.count, cs.count) << cs.what;
    EXPECT_EQ(p.freq, cs.freq) << cs.what;
    EXPECT_EQ(p.channels, 3) << cs.what;
  }
}

// A file of `rows` lines of `columns` numbers each, after the given header lines.
std::string ColumnFile(const std::string& header, int rows, int columns, const std::string& eol = "\n") {
  std::string t = header;
  for (int i = 1; i <= rows; ++i) {
    for (int c = 1; c <= columns; ++c) t += (c > 1 ? "  " : "") + std::to_string(i * 10 + c) + ".5";
    t += eol;
  }
  return t;
}

TEST(GetDataFileParams, PlainColumnFilesGiveChannelsAndSteps) {
  struct Case {
    const char* what;
    std::string text;
    int32_t skip, count, freq, channels;
  } cases[] = {
      {"two columns, no header", ColumnFile("", 3000, 2), 0, 3000, 100, 2},
      {"three columns under a header", ColumnFile("DT 0.01\n", 2500, 3, "\r\n"), 1, 2500, 100, 3},
      {"one column", ColumnFile("", 250, 1), 0, 250, 100, 1},
      {"the header's count as many as the lines", ColumnFile("NPTS 3000\n", 3000, 2), 1, 3000, 100, 2},
      // A larger count in the header: the values run on over the lines, as one channel.
      {"values wrapped five a line", ColumnFile("NPTS 6000 DT 0.005\n", 1200, 5), 1, 6000, 200, 1},
      // A smaller number in the header (a year) does not cut the record short.
      {"a year in the header", ColumnFile("Year 2016\n", 5000, 3), 1, 5000, 100, 3},
      {"a trailer after the numbers", ColumnFile("", 500, 3) + "END\n1 2 3\n", 0, 500, 100, 3},
      {"empty lines and an end-of-file mark",
       "\n" + ColumnFile("", 40, 2) + "\n\n" + ColumnFile("", 10, 2) + "\x1A", 0, 50, 100, 2},
      {"header lines only", "TITLE\nNPTS 2000\n", 2, 2000, 100, 1},
      {"words after the header", "TITLE\nNPTS 2000\nNS EW\n\nmore words\n", 3, 2000, 100, 1},
  };
  for (const auto& cs : cases) {
    TempDir dir;
    const std::string path = dir.Write("plain.txt", cs.text);
    ScriptedUi ui;
    DataFileParams seen;
    ui.onReadData = [&](DataFileKind, const std::string&, DataFileParams& p) {
      seen = p;
      return false;
    };
    EXPECT_FALSE(GetDataFileParams(path, seen, ui));
    EXPECT_EQ(seen.skip, cs.skip) << cs.what;
    EXPECT_EQ(seen.count, cs.count) << cs.what;
    EXPECT_EQ(seen.freq, cs.freq) << cs.what;
    EXPECT_EQ(seen.channels, cs.channels) << cs.what;
  }
}

TEST(ReadOther, TwoColumnsAsProposedAreTwoChannels) {
  TempDir dir;
  const std::string path = dir.Write("two.txt", ColumnFile("", 3000, 2));
  ScriptedUi ui;
  ui.onReadData = [](DataFileKind, const std::string&, DataFileParams&) { return true; };
  StrongRecord rec;
  ASSERT_TRUE(ReportRead(ReadOther(path, rec, ui), ui)) << ui.OnlyMessage();
  ASSERT_EQ(rec.ChanCount, 2);
  ASSERT_EQ(rec.DataCount, 3000);
  EXPECT_EQ(rec.Acc(1, 1), 11.5f);
  EXPECT_EQ(rec.Acc(1, 2), 12.5f);
  EXPECT_EQ(rec.Acc(3000, 2), 30002.5f);
}

TEST(GuessCsvLayout, LabelLineAndChannels) {
  struct Case {
    const char* what;
    std::vector<std::string> lines;
    int32_t total;
    int32_t skip;
    bool hasLabel;
    int32_t channels, count;
  } cases[] = {
      {"time and three components", {"time,NS,EW,UD", "0.00,1,2,3", "0.01,4,5,6"}, 3, 0, true, 4, 2},
      {"numbers only", {"1,2", "3,4", "5,6"}, 3, 0, false, 2, 3},
      {"a title before the labels", {"Station X", "t,a,b", "0,1,2"}, 500, 1, true, 3, 498},
      {"a title alone", {"Station X", "0,1,2"}, 500, 1, false, 3, 499},
      {"no numeric line in ten",
       {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j,k", "1"},
       11,
       0,
       false,
       2,
       11},
  };
  for (const auto& cs : cases) {
    DataFileParams p;
    GuessCsvLayout(cs.lines, cs.total, p);
    EXPECT_EQ(p.skip, cs.skip) << cs.what;
    EXPECT_EQ(p.hasLabel, cs.hasLabel) << cs.what;
    EXPECT_EQ(p.channels, cs.channels) << cs.what;
    EXPECT_EQ(p.count, cs.count) << cs.what;
  }
}

TEST(GuessCsvLayout, AFirstColumnOfEvenTimesIsTimeAndGivesTheRate) {
  struct Case {
    const char* what;
    std::vector<std::string> lines;
    bool time;
    int32_t freq, channels;
  } cases[] = {
      {"200 Hz", {"t,NS,EW,UD", "0.000,1,2,3", "0.005,1,2,3", "0.010,1,2,3", "0.015,1,2,3"}, true, 200, 3},
      {"50 Hz from 12.5 s", {"12.50,1", "12.52,1", "12.54,1"}, true, 50, 1},
      {"uneven times", {"0.0,1,2", "0.01,1,2", "0.03,1,2"}, false, 100, 3},
      {"a step giving no whole rate", {"0,1", "0.3,1", "0.6,1"}, false, 100, 2},
      {"falling values", {"3,1", "2,1", "1,1"}, false, 100, 2},
      {"two lines are too few", {"0,1", "0.01,1"}, false, 100, 2},
      {"one column is data, not time", {"0", "1", "2"}, false, 100, 1},
  };
  for (const auto& cs : cases) {
    DataFileParams p;
    GuessCsvLayout(cs.lines, static_cast<int32_t>(cs.lines.size()), p);
    EXPECT_EQ(p.neglectFirst, cs.time) << cs.what;
    EXPECT_EQ(p.freq, cs.freq) << cs.what;
    EXPECT_EQ(p.channels, cs.channels) << cs.what;
  }
}

TEST(ReadOther, RowsAfterTheFirstNonNumberAreCountedAndTold) {
  std::string text;
  for (int i = 1; i <= 500; ++i) text += (i == 11 ? std::string("nan") : std::to_string(i)) + " 0.5\n";
  TempDir dir;
  const std::string path = dir.Write("gap.txt", text);
  ScriptedUi ui;
  std::string shown;
  ui.onReadData = [&](DataFileKind, const std::string&, DataFileParams& p) {
    shown = p.note;
    return true;
  };
  StrongRecord rec;
  ASSERT_TRUE(ReportRead(ReadOther(path, rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.DataCount, 10);
  EXPECT_EQ(shown, "490 rows from line 11 on not read: \"nan\" is not a number");
  EXPECT_EQ(rec.ReadNote, "10 rows read; " + shown);

  // A count the user changed is the user's: the note no longer applies.
  ui.onReadData = [](DataFileKind, const std::string&, DataFileParams& p) {
    p.count = 5;
    return true;
  };
  ASSERT_TRUE(ReportRead(ReadOther(path, rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.ReadNote, "");
}

TEST(ReadOther, LinesWiderThanARecordAreRefused) {
  std::string wide = "1", wideCsv = "1";
  for (int i = 1; i < 300; ++i) wide += " 1", wideCsv += ",1";
  const struct {
    const char* name;
    std::string text;
    ReaderFunction reader;
    const char* says;
  } cases[] = {
      {"w.txt", "DT 0.01\n" + wide + "\n", ReadOther, "the first line of numbers holds 300, more than the 256"},
      {"w.csv", wideCsv + "\n", ReadCsv, "at line 1: 300 fields, more than the 256 channels"},
      // Ten megabytes on one line: no line of numbers is that long.
      {"long.txt", std::string(10 << 20, '1') + "\n", ReadOther, "at line 1: the line is longer than 1 MB"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    const std::string path = dir.Write(c.name, c.text);
    ScriptedUi ui;
    ui.onReadData = [](DataFileKind, const std::string&, DataFileParams&) { return true; };
    StrongRecord rec;
    EXPECT_FALSE(ReportRead(c.reader(path, rec, ui), ui)) << c.name;
    EXPECT_NE(ui.OnlyMessage().find(c.says), std::string::npos) << c.name << ": " << ui.OnlyMessage();
  }
}

std::string Lines(int n) {
  std::string s;
  for (int i = 1; i <= n; ++i) s += std::to_string(i) + "\r\n";
  return s;
}

TEST(ReadDataPreview, FirstHundredLinesAndContinued) {
  struct Case {
    DataFileKind kind;
    int lines;
    bool continued;
  } cases[] = {
      {DataFileKind::General, 250, true}, {DataFileKind::Csv, 250, true}, {DataFileKind::General, 100, true},
      {DataFileKind::Csv, 100, false},    {DataFileKind::Csv, 101, true}, {DataFileKind::General, 3, false},
  };
  for (const auto& cs : cases) {
    TempDir dir;
    std::string path = dir.Write("p.dat", Lines(cs.lines));
    ScriptedUi ui;
    DataFileParams p;
    if (cs.kind == DataFileKind::General)
      EXPECT_FALSE(GetDataFileParams(path, p, ui));  // cancelled
    else
      EXPECT_FALSE(GetCsvFileParams(path, p, ui));
    int shown = std::min(cs.lines, 100);
    std::string expected;
    for (int i = 1; i <= shown; ++i) {
      char buf[32];
      std::snprintf(buf, sizeof buf, "%03d:%d", i, i);
      expected += (i > 1 ? "\n" : "") + std::string(buf);
    }
    if (cs.continued) expected += "\n(continued)";
    EXPECT_EQ(ui.lastPreview, expected) << cs.lines;
  }
}

TEST(AcceptBoxText, RulesAndPlainForm) {
  struct Case {
    DataBox box;
    const char* text;
    const char* plain;  // nullptr: refused
  } cases[] = {
      {DataBox::Skip, "0", "0"},       {DataBox::Skip, "-1", nullptr},      {DataBox::Skip, " 007 ", "7"},
      {DataBox::Step, "0", nullptr},   {DataBox::Step, "1e3", "1000"},      {DataBox::Step, "2.0", "2"},
      {DataBox::Step, "2.5", nullptr}, {DataBox::Freq, "abc", nullptr},     {DataBox::Freq, "", nullptr},
      {DataBox::Chan, "3", "3"},       {DataBox::Chan, "1e10", nullptr},    {DataBox::Width, "-4", nullptr},
      {DataBox::Coef, "-0.5", "-0.5"}, {DataBox::Coef, "1.0E-03", "0.001"}, {DataBox::Coef, "0", "0"},
      {DataBox::Coef, "x1", nullptr},  {DataBox::Coef, "1e99", nullptr},    {DataBox::Start, "+5", "5"},
  };
  for (const auto& cs : cases) {
    auto got = AcceptBoxText(cs.box, cs.text);
    if (cs.plain) {
      ASSERT_TRUE(got.has_value()) << cs.text;
      EXPECT_EQ(*got, cs.plain) << cs.text;
    } else {
      EXPECT_FALSE(got.has_value()) << cs.text << " gave " << got.value_or("");
    }
  }
}

TEST(ReadDataForm, LeavingABoxRewritesOrRestores) {
  DataFileParams p;
  ReadDataForm form(DataFileKind::General, p);
  EXPECT_EQ(form.Text(DataBox::Skip), "1");
  EXPECT_EQ(form.Text(DataBox::Step), "4096");
  EXPECT_EQ(form.Text(DataBox::Coef), "1");
  EXPECT_EQ(form.Text(DataBox::Start), "1");
  EXPECT_FALSE(form.Fixed());
  form.Enter(DataBox::Freq);
  form.SetText(DataBox::Freq, "2e2");
  EXPECT_TRUE(form.Leave(DataBox::Freq));
  EXPECT_EQ(form.Text(DataBox::Freq), "200");
  form.Enter(DataBox::Freq);
  form.SetText(DataBox::Freq, "fast");
  EXPECT_FALSE(form.Leave(DataBox::Freq));
  EXPECT_EQ(form.Text(DataBox::Freq), "200");

  DataFileParams out;
  ASSERT_TRUE(form.Result(out));
  EXPECT_EQ(out.freq, 200);
  EXPECT_EQ(out.start, 0);
  EXPECT_EQ(out.width, 0);
  EXPECT_EQ(out.columns, 0);
  form.SetFixed(true);
  form.SetText(DataBox::Width, "8");
  form.SetText(DataBox::Cols, "10");
  ASSERT_TRUE(form.Result(out));
  EXPECT_EQ(out.start, 1);
  EXPECT_EQ(out.width, 8);
  EXPECT_EQ(out.columns, 10);
  // A text never left through its box does not pass OK either.
  form.SetText(DataBox::Step, "-3");
  EXPECT_FALSE(form.Result(out));
  EXPECT_EQ(out.count, 4096);
}

TEST(ReadDataForm, NeglectFirstColumnAdjustsChannels) {
  DataFileParams p;
  GuessCsvLayout({"time,NS,EW,UD", "0,1,2,3"}, 2, p);
  ReadDataForm form(DataFileKind::Csv, p);
  EXPECT_EQ(form.Text(DataBox::Chan), "4");
  EXPECT_TRUE(form.HasLabel());
  form.SetNeglectFirst(true);
  EXPECT_EQ(form.Text(DataBox::Chan), "3");
  form.SetNeglectFirst(false);
  EXPECT_EQ(form.Text(DataBox::Chan), "4");
  form.SetNeglectFirst(true);
  DataFileParams out;
  ASSERT_TRUE(form.Result(out));
  EXPECT_EQ(out.channels, 3);
  EXPECT_TRUE(out.neglectFirst);
  EXPECT_TRUE(out.hasLabel);
  EXPECT_EQ(out.width, 0);
}

TEST(ReadDataForm, Captions) {
  EXPECT_EQ(ReadDataCaption(DataFileKind::General), "Reading a general data file");
  EXPECT_EQ(ReadDataCaption(DataFileKind::Csv), "Reading a CSV file");
  EXPECT_EQ(FileNameCaption("/data/R&D/a&b.csv"), "Filename: /data/R&&D/a&&b.csv");
}

TEST(ReadOther, FreeFormatStepMajorWithCoefficient) {
  TempDir dir;
  std::string path = dir.Write("site7.dat", "DT 0.01 NPTS 3\n1 2, 3\n4,5 6\n\n 7e0  8\n9\n");
  ScriptedUi ui;
  ui.onReadData = [&](DataFileKind kind, const std::string& p, DataFileParams& params) {
    EXPECT_EQ(kind, DataFileKind::General);
    EXPECT_EQ(p, path);
    // "2," is no number to the guess: the two lines with commas look like header lines.
    EXPECT_EQ(params.skip, 3);
    EXPECT_EQ(params.freq, 100);
    // After the empty line: two lines of numbers, two on the first.
    EXPECT_EQ(params.count, 2);
    EXPECT_EQ(params.description, path);
    EXPECT_EQ(params.channels, 2);
    params.skip = 1;
    params.count = 3;
    params.channels = 3;
    params.coef = 2;
    params.description = "my record";
    return true;
  };
  StrongRecord rec;
  ASSERT_TRUE(ReportRead(ReadOther(path, rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(ui.readDataDialogs, 1);
  EXPECT_EQ(rec.DataCount, 3);
  ASSERT_EQ(rec.ChanCount, 3);
  EXPECT_EQ(rec.SampFreq, 100);
  EXPECT_EQ(rec.SiteCode, "SITE7");
  EXPECT_EQ(rec.SiteName, "my record");
  EXPECT_EQ(rec.RecDate, "0000/00/00");
  EXPECT_EQ(rec.RecTime, "00:00");
  EXPECT_EQ(rec.Label(1), "CH01");
  EXPECT_EQ(rec.Label(3), "CH03");
  for (int c = 1; c <= 3; ++c) EXPECT_EQ(rec.Coef(c), 2.0f);
  float expected[3][3] = {{2, 4, 6}, {8, 10, 12}, {14, 16, 18}};
  for (int i = 1; i <= 3; ++i)
    for (int c = 1; c <= 3; ++c) EXPECT_EQ(rec.Acc(i, c), expected[i - 1][c - 1]) << i << "," << c;
  EXPECT_EQ(rec.Peak(3), 18.0f);
  EXPECT_EQ(rec.PeakStep(3), 3);
}

TEST(ReadOther, FixedWidthFieldsStartWhereTheUserSaid) {
  TempDir dir;
  // Each line: a 4-character step number, then three 6-character fields.
  std::string path = dir.Write("fix.txt", "HEADER\n   1  1.50 -2.00123456\n   2   3.0   4.0   5.0\n");
  ScriptedUi ui;
  ui.onReadData = [](DataFileKind, const std::string&, DataFileParams& p) {
    p.skip = 1;
    p.count = 3;
    p.channels = 2;
    p.start = 5;
    p.width = 6;
    p.columns = 3;
    return true;
  };
  StrongRecord rec;
  ASSERT_TRUE(ReportRead(ReadOther(path, rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.Acc(1, 1), 1.5f);
  EXPECT_EQ(rec.Acc(1, 2), -2.0f);
  EXPECT_EQ(rec.Acc(2, 1), 123456.0f);
  EXPECT_EQ(rec.Acc(2, 2), 3.0f);
  EXPECT_EQ(rec.Acc(3, 1), 4.0f);
  EXPECT_EQ(rec.Acc(3, 2), 5.0f);
}

TEST(ReadOther, CancelAndEmptyFilesReadNothingSilently) {
  TempDir dir;
  ScriptedUi ui;
  StrongRecord rec;
  EXPECT_FALSE(ReportRead(ReadOther(dir.Write("a.dat", "1 2 3\n"), rec, ui), ui));
  EXPECT_EQ(ui.readDataDialogs, 1);
  EXPECT_FALSE(ReportRead(ReadOther(dir.Write("b.dat", ""), rec, ui), ui));
  EXPECT_FALSE(ReportRead(ReadCsv(dir.Write("b.csv", ""), rec, ui), ui));
  EXPECT_EQ(ui.readDataDialogs, 1);
  EXPECT_TRUE(ui.messages.empty());
}

TEST(ReadOther, MalformedDataGetsTheReadErrorBox) {
  struct Case {
    const char* what;
    std::string contents;
    int32_t count, channels, width;
    int err;
    const char* where;
  } cases[] = {
      {"not a number", "1 2 x 4\n", 4, 1, 0, 13, ") at line 1, field 3: \"x\" is not a number"},
      {"short file", "1 2 3\n", 4, 1, 0, 62, ") at line 2: the file ends after 3 of its 4 values"},
      {"count beyond the file", "1 2 3\n", 2000000000, 1, 0, 62,
       "): 2000000000 values asked for, more than the file's 6 bytes hold"},
      {"blank fixed field", "1.0      \n", 2, 1, 4, 13, ") at line 1, field 2: \"\" is not a number"},
      {"fixed lines run out", "1.0 2.0 \n", 3, 1, 4, 62, ") at line 2: the file ends after 2 of its 3 values"},
      {"more channels than a record", "1 2 3\n", 1, 300, 0, 9, "300 channels asked for, more than the 256"},
  };
  for (const auto& cs : cases) {
    TempDir dir;
    std::string path = dir.Write("m.dat", cs.contents);
    ScriptedUi ui;
    ui.onReadData = [&](DataFileKind, const std::string&, DataFileParams& p) {
      p.skip = 0;
      p.count = cs.count;
      p.channels = cs.channels;
      p.width = cs.width;
      p.start = p.columns = cs.width > 0 ? 1 : 0;
      if (cs.width > 0) p.columns = 2;
      return true;
    };
    StrongRecord rec;
    EXPECT_FALSE(ReportRead(ReadOther(path, rec, ui), ui)) << cs.what;
    ASSERT_EQ(ui.messages.size(), 1u) << cs.what;
    EXPECT_EQ(
        ui.messages[0].text.rfind("Failed to read " + path + " (Err#" + std::to_string(cs.err) + ":", 0), 0u)
        << cs.what << ": " << ui.messages[0].text;
    EXPECT_NE(ui.messages[0].text.find(cs.where), std::string::npos) << cs.what << ": " << ui.messages[0].text;
    EXPECT_EQ(ui.messages[0].title, "Sismora: ReadOther");
  }
}

TEST(ReadCsv, LabelsAndNeglectedFirstColumn) {
  TempDir dir;
  std::string path = dir.Write("kobe.csv", "time, NS ,EW,UD\n0.00,1,2,3\n0.01,-4,5,6\n0.02,7,8,-9\n");
  ScriptedUi ui;
  ui.onReadData = [](DataFileKind kind, const std::string&, DataFileParams& p) {
    EXPECT_EQ(kind, DataFileKind::Csv);
    EXPECT_EQ(p.skip, 0);
    EXPECT_TRUE(p.hasLabel);
    // The first column steps by 0.01 s: proposed as time, left out, and 100 Hz from it.
    EXPECT_TRUE(p.neglectFirst);
    EXPECT_EQ(p.channels, 3);
    EXPECT_EQ(p.count, 3);
    EXPECT_EQ(p.freq, 100);
    ReadDataForm form(kind, p);
    form.SetNeglectFirst(false);
    EXPECT_EQ(form.Text(DataBox::Chan), "4");
    form.SetNeglectFirst(true);
    form.SetText(DataBox::Coef, "0.5");
    return form.Result(p);
  };
  StrongRecord rec;
  ASSERT_TRUE(ReportRead(ReadCsv(path, rec, ui), ui)) << ui.OnlyMessage();
  ASSERT_EQ(rec.ChanCount, 3);
  EXPECT_EQ(rec.DataCount, 3);
  EXPECT_EQ(rec.Label(1), "NS");
  EXPECT_EQ(rec.Label(2), "EW");
  EXPECT_EQ(rec.Label(3), "UD");
  EXPECT_EQ(rec.Acc(2, 1), -2.0f);
  EXPECT_EQ(rec.Acc(3, 3), -4.5f);
  EXPECT_EQ(rec.Coef(2), 0.5f);
  EXPECT_EQ(rec.SiteCode, "KOBE");
  EXPECT_EQ(rec.Peak(3), -4.5f);
}

TEST(ReadCsv, NumbersOnlyWithDefaultLabels) {
  TempDir dir;
  std::string path = dir.Write("n.csv", "1,2\n3,4\n5,6\n");
  ScriptedUi ui;
  ui.onReadData = [](DataFileKind, const std::string&, DataFileParams& p) {
    EXPECT_FALSE(p.hasLabel);
    EXPECT_EQ(p.count, 3);
    return true;
  };
  StrongRecord rec;
  ASSERT_TRUE(ReportRead(ReadCsv(path, rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.Label(1), "ch01");
  EXPECT_EQ(rec.Label(2), "ch02");
  EXPECT_EQ(rec.Acc(3, 2), 6.0f);
}

TEST(ReadCsv, MalformedDataGetsTheReadErrorBox) {
  struct Case {
    const char* what;
    std::string contents;
    int err;
    const char* where;
  } cases[] = {
      {"missing field", "1,2\n3\n", 9, ") at line 2: 1 fields, fewer than the 2 asked for"},
      {"not a number", "1,2\n3,four\n", 13, ") at line 2, field 2: \"four\" is not a number"},
  };
  for (const auto& cs : cases) {
    TempDir dir;
    std::string path = dir.Write("m.csv", cs.contents);
    ScriptedUi ui;
    ui.onReadData = [](DataFileKind, const std::string&, DataFileParams& p) {
      p.count = 2;
      p.channels = 2;
      return true;
    };
    StrongRecord rec;
    EXPECT_FALSE(ReportRead(ReadCsv(path, rec, ui), ui)) << cs.what;
    ASSERT_EQ(ui.messages.size(), 1u) << cs.what;
    EXPECT_EQ(
        ui.messages[0].text.rfind("Failed to read " + path + " (Err#" + std::to_string(cs.err) + ":", 0), 0u)
        << cs.what << ": " << ui.messages[0].text;
    EXPECT_NE(ui.messages[0].text.find(cs.where), std::string::npos) << cs.what << ": " << ui.messages[0].text;
    EXPECT_EQ(ui.messages[0].title, "Sismora: ReadCsv");
  }
}

TEST(EditRecordTexts, OkWritesBackCancelLeaves) {
  StrongRecord rec;
  rec.RecDate = "2000/01/02";
  rec.RecTime = "03:04:05";
  rec.SiteCode = "C";
  rec.SiteName = "N";
  rec.SiteLat = "1";
  rec.SiteLong = "2";
  ScriptedUi ui;
  ui.onRecordParam = [](RecordTexts& t) {
    EXPECT_EQ(t.date, "2000/01/02");
    EXPECT_EQ(t.lon, "2");
    t.station = "Edited";
    t.lat = "35.0";
    return false;
  };
  EXPECT_FALSE(EditRecordTexts(rec, ui));
  EXPECT_EQ(rec.SiteName, "N");
  ui.onRecordParam = [](RecordTexts& t) {
    t.station = "Edited";
    t.lat = "35.0";
    return true;
  };
  EXPECT_TRUE(EditRecordTexts(rec, ui));
  EXPECT_EQ(rec.SiteName, "Edited");
  EXPECT_EQ(rec.SiteLat, "35.0");
  EXPECT_EQ(rec.RecTime, "03:04:05");
  EXPECT_EQ(RecordParamLabels()[5], "Long.");
}

}  // namespace
}  // namespace sism
