// sismora-cli run as a user runs it: a subprocess with its own settings folder.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "app/shell/settings.h"
#include "common/files.h"
#include "common/text.h"
#include "common/utf8.h"
#include "common/version.h"
#include "draw/draw_graph.h"
#include "load/pipeline.h"
#include "load/user_side.h"
#include "record/readers.h"
#include "state/app_state.h"
#include "tests/support/samples.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/seismic_files.h"
#include "tests/support/temp_dir.h"
#include "tests/cli/cli_run.h"

namespace sism {
namespace {


// The text after "key": in a one-line JSON object, up to the next comma or brace.
std::string JsonValue(const std::string& json, const std::string& key, std::size_t from = 0) {
  const std::string tag = "\"" + key + "\":";
  const std::size_t at = json.find(tag, from);
  if (at == std::string::npos) return "<missing>";
  std::size_t start = at + tag.size(), end = start;
  if (json[start] == '"') {
    end = json.find('"', start + 1) + 1;
  } else {
    while (end < json.size() && json[end] != ',' && json[end] != '}' && json[end] != ']') ++end;
  }
  return json.substr(start, end - start);
}

TEST_F(CliTest, InfoJsonOfTheDemoRecord) {
  const CliRun r = Cli({"info", "--json", kDemo});
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.Lines().size(), 1u);
  const std::string& j = r.out;
  const AppState app = Open(kDemo);
  EXPECT_EQ(JsonValue(j, "FileFormat"), "1");
  EXPECT_EQ(JsonValue(j, "FilePath"), "\"" + kDemo + "\"");
  EXPECT_EQ(JsonValue(j, "FileSize"), std::to_string(app.record.FileSize));
  EXPECT_EQ(JsonValue(j, "RecDate"), "\"2026/01/15\"");
  EXPECT_EQ(JsonValue(j, "RecTime"), "\"10:30:00\"");
  EXPECT_EQ(JsonValue(j, "SampFreq"), "100");
  EXPECT_EQ(JsonValue(j, "ChanCount"), "3");
  EXPECT_EQ(JsonValue(j, "DataCount"), "6000");
  EXPECT_EQ(JsonValue(j, "JmaGroup"), "1");
  EXPECT_EQ(JsonValue(j, "SiteCode"), "\"DEMO01\"");
  // The intensity as computed, not as the report rounds it.
  EXPECT_FLOAT_EQ(std::stof(JsonValue(j, "JmaIntensity")), app.record.JmaIntensity);
  EXPECT_NE(JsonValue(j, "JmaIntensity"), "5.1");
  EXPECT_FLOAT_EQ(std::stof(JsonValue(j, "PeakAcc")), app.record.PeakAcc);
  std::size_t at = j.find("\"Channels\":[");
  ASSERT_NE(at, std::string::npos);
  for (int32_t ch = 1; ch <= 3; ++ch) {
    at = j.find("{\"Label\"", at + 1);
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(JsonValue(j, "Label", at), "\"" + app.view.LabelCopies[ch - 1] + "\"");
    EXPECT_FLOAT_EQ(std::stof(JsonValue(j, "Peak", at)), app.record.Peak(ch));
    EXPECT_EQ(JsonValue(j, "PeakStep", at), std::to_string(app.record.PeakStep(ch)));
    EXPECT_FLOAT_EQ(std::stof(JsonValue(j, "Duration", at)), app.Durations[ch - 1]);
  }
}

TEST_F(CliTest, InfoJsonParsesWithTheRecordsFieldsInOrder) {
  const CliRun r = Cli({"info", "--json", kDemo, kDemo});
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.Lines().size(), 2u);
  for (const std::string& line : r.Lines()) {
    const nlohmann::ordered_json j = nlohmann::ordered_json::parse(line);
    std::vector<std::string> keys;
    for (const auto& item : j.items()) keys.push_back(item.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"FileFormat", "FilePath", "FileSize", "RecDate", "RecTime",
                                              "SampFreq", "ChanCount", "DataCount", "PeakAcc", "JmaGroup",
                                              "JmaIntensity", "SiteCode", "SiteName", "SiteLat", "SiteLong",
                                              "Source", "Channels"}));
    EXPECT_EQ(j["FilePath"], kDemo);
    EXPECT_EQ(j["SiteName"], "Synthetic demo station");
    EXPECT_TRUE(j["ChanCount"].is_number_integer());
    ASSERT_EQ(j["Channels"].size(), 3u);
    EXPECT_EQ(j["Channels"][2]["Label"], "U-D");
    EXPECT_EQ(j["Channels"][0].size(), 7u);
  }
  // Floats in their shortest form, not widened to double digits.
  EXPECT_NE(r.out.find("\"Duration\":16.09,"), std::string::npos) << r.out;
}

// Names and header texts are bytes from outside: in a name a lone surrogate, an overlong form
// and a code point above U+10FFFF each come out as U+FFFD, one for every byte; header texts
// that are no UTF-8 are read as Latin-1.
TEST_F(CliTest, InfoJsonIsValidUtf8WhateverTheBytesOfNamesAndHeaders) {
  const std::string bad = "\xED\xA0\x80|\xC0\xAF|\xF4\x90\x80\x80";
  const std::string replaced = "\uFFFD\uFFFD\uFFFD|\uFFFD\uFFFD|\uFFFD\uFFFD\uFFFD\uFFFD";
  std::string record = ReadWholeFile(kDemo);
  const std::string site = "Synthetic demo station";
  ASSERT_NE(record.find(site), std::string::npos);
  record.replace(record.find(site), site.size(), "Site " + bad + " end");
  const std::string path = work.Write("rec" + bad + ".ac", record);
  const CliRun r = Cli({"info", "--json", path});
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.Lines().size(), 1u);
  nlohmann::json j;
  ASSERT_NO_THROW(j = nlohmann::json::parse(r.Lines()[0])) << r.out;
  EXPECT_EQ(j["FilePath"], (work.Path() / ("rec" + replaced + ".ac")).string());
  EXPECT_EQ(j["SiteName"], "Site " + Latin1ToUtf8(bad) + " end");
  EXPECT_EQ(j["SiteCode"], "DEMO01");
}

TEST_F(CliTest, InfoReportSummaryAndSeveralFiles) {
  CliRun r = Cli({"info", kDemo});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.Lines()[0], "Strong Motion Record");
  EXPECT_EQ(r.Lines()[17], " #     Label   PeakAcc  Duration StartTime");
  // A file that cannot be read does not stop the others; the status tells.
  r = Cli({"info", "--summary", work.File("missing.ac"), kDemo});
  EXPECT_EQ(r.status, 1);
  ASSERT_EQ(r.Lines().size(), 1u);
  EXPECT_TRUE(StartsWith(r.out, "2026/01/15 10:30:00 at DEMO01")) << r.out;
  EXPECT_NE(r.err.find("sismora-cli: " + work.File("missing.ac") + ": No such file or directory"), std::string::npos)
      << r.err;
  const std::string bad = work.Write("bad.ac", "not a record at all\n");
  r = Cli({"info", "--json", bad, kDemo});
  EXPECT_EQ(r.status, 1);
  // An error object for the file not read, then the record.
  ASSERT_EQ(r.Lines().size(), 2u);
  const nlohmann::json error = nlohmann::json::parse(r.Lines()[0]);
  EXPECT_EQ(error["FilePath"], bad);
  EXPECT_EQ(error["ErrorCode"], "damaged");  // named as a record of its format, it fails as one
  EXPECT_FALSE(error["Error"].get<std::string>().empty());
  EXPECT_NE(r.err.find("sismora-cli: " + bad + ": "), std::string::npos) << r.err;
}

TEST_F(CliTest, SwitchesAndSettingsFileOverrideTheStore) {
  // The program's switches: keep 10 seconds after skipping 5.
  CliRun r = Cli({"info", "--json", "-s5", "-t10", kDemo});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(JsonValue(r.out, "DataCount"), "1000");
  // An INI file's PreProcess section over the stored one; a later switch wins.
  const std::string ini = work.Write("pre.ini", "[PreProcess]\nTimeLength=20\n");
  r = Cli({"info", "--json", "--settings", ini, kDemo});
  EXPECT_EQ(JsonValue(r.out, "DataCount"), "2000");
  r = Cli({"info", "--json", "--settings", ini, "-t30", kDemo});
  EXPECT_EQ(JsonValue(r.out, "DataCount"), "3000");
}

TEST_F(CliTest, BadUsageAndHelp) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {},
           {"frobnicate", kDemo},
           {"export", "12", kDemo, "-o", "-"},
           {"export", "1", kDemo},
           {"peaks", "x", kDemo},
           {"peaks", "21", kDemo},
           {"info"},
           {"info", "--bogus", kDemo},
           {"export", "1", kDemo, "-o", "-", "--format", "xml"},
           {"plot", "1", kDemo, "-o", "out.gif"},
           {"info", kDemo, "--settings", "/nonexistent/settings.ini"},
           {"info", kDemo, "-x5"},
           {"info", kDemo, "-l5", "-h2"},
       }) {
    const CliRun r = Cli(args);
    EXPECT_EQ(r.status, 2) << (args.empty() ? "" : args[0]) << " " << r.err;
  }
  CliRun r = Cli({"--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(StartsWith(r.out, "Usage: sismora-cli COMMAND"));
  for (const char* cmd : {"info", "peaks", "export", "plot", "convert"}) {
    r = Cli({cmd, "--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(StartsWith(r.out, std::string("Usage: sismora-cli ") + cmd)) << r.out;
  }
  // The version wherever it is asked for, also after a command.
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--version"}, {"info", "--version"}}) {
    r = Cli(args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, std::string("sismora-cli ") + sism::kVersionText + "\n");
  }
}

TEST_F(CliTest, ExportTimeHistoriesOfA100HzRecord) {
  CliRun r = Cli({"export", "1", kDemo, "-o", "-"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> lines = Split(r.out, "\r\n");
  ASSERT_GE(lines.size(), 6000u + 2u);
  EXPECT_EQ(lines[0], "Acceleration - 2026/01/15 10:30:00 DEMO01: Synthetic demo station");
  EXPECT_EQ(lines[1], "Time (sec), N-S, E-W, U-D");
  for (int i = 0; i < 4; ++i) {
    const std::vector<std::string> cells = Split(lines[2 + i], ", ");
    ASSERT_EQ(cells.size(), 4u);
    EXPECT_EQ(cells[0], FormatNumber(i / 100.0, "0.000"));
    EXPECT_EQ(cells[1].find('.'), cells[1].size() - 4) << cells[1];  // three decimals
  }
  EXPECT_TRUE(StartsWith(lines[6001], "59.990, "));

  // Fixed columns: cells of 10 characters; -v adds the counts and the axis labels.
  r = Cli({"export", "2", kDemo, "-o", "-", "--format", "fixed", "-v"});
  ASSERT_EQ(r.status, 0) << r.err;
  lines = Split(r.out, "\r\n");
  EXPECT_EQ(lines[1], "         3      6000");
  EXPECT_EQ(lines[2], "Time (sec)");
  EXPECT_EQ(lines[3], "Vel. (cm/s)");
  EXPECT_EQ(lines[4], "                 N-S       E-W       U-D");
  EXPECT_EQ(lines[5].size(), 40u);
  EXPECT_EQ(lines[5].substr(0, 10), "     0.000");
}

TEST_F(CliTest, ExportSpectraOnALinearAxisFromSettingsFile) {
  const std::string ini = work.Write("lin.ini",
                                     "[Graph]\nAxis2_Log=False\nAxis2_Min=0\nAxis2_Max=20\n"
                                     "[Calculation]\nFourDurationType=0\n");
  const std::string out = work.File("four");
  CliRun r = Cli({"export", "4", kDemo, "-o", out, "--format", "tsv", "--settings", ini});
  ASSERT_EQ(r.status, 0) << r.err;
  // Filter 3 and no extension: ".txt" is appended.
  const std::vector<std::string> lines = Split(ReadWholeFile(out + ".txt"), "\r\n");
  const float df = 100.0f / 8192.0f;  // 6000 steps padded to 8192 at 100 Hz
  const int rows = static_cast<int>(std::floor(20.0f / df)) - 1;
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(rows) + 3u);  // title, header, rows, empty end
  EXPECT_EQ(lines[1], "Frequency (Hz)\tN-S\tE-W\tU-D");
  EXPECT_TRUE(StartsWith(lines[2], "0.00000\t"));
  EXPECT_TRUE(StartsWith(lines[3], FormatNumber(df, "0.00000") + "\t"));
  EXPECT_NE(lines[2].find("e+"), std::string::npos);

  // Response spectra and relation pairs.
  r = Cli({"export", "7", kDemo, "-o", "-"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Split(r.out, "\r\n")[1], "Period (sec), N-S, E-W, U-D");
  EXPECT_EQ(Split(r.out, "\r\n").size(), 120u + 3u);
  r = Cli({"export", "15", kDemo, "-o", "-", "--pair", "3,1", "--pair", "3,2"});
  ASSERT_EQ(r.status, 0) << r.err;
  // The ratios are Y over X: N-S over U-D.
  EXPECT_EQ(Split(r.out, "\r\n")[1], "Frequency (Hz), N-S/U-D, E-W/U-D");
}

TEST_F(CliTest, PeaksReportFirstLineAndWindow) {
  const AppState app = Open(kDemo);
  CliRun r = Cli({"peaks", "1", kDemo});
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> lines = r.Lines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "Peaks of Acceleration");
  const double peakTime = (app.record.PeakStep(1) - 1) / 100.0;
  EXPECT_EQ(lines[1], "N-S: " + FormatNumber(app.record.Peak(1), "0.0") + "(cm/s/s) at " +
                          NumberText(peakTime) + "(sec)");
  // A window that ends before the record peak reports a smaller value inside it.
  r = Cli({"peaks", "1", kDemo, "--from", "0", "--to", std::to_string(peakTime - 1)});
  ASSERT_EQ(r.status, 0) << r.err;
  lines = r.Lines();
  ASSERT_EQ(lines.size(), 4u);
  const std::string value = lines[1].substr(5, lines[1].find('(') - 5);
  EXPECT_LT(std::fabs(std::stod(value)), std::fabs(app.record.Peak(1)));
  const double at = std::stod(lines[1].substr(lines[1].find(" at ") + 4));
  EXPECT_LE(at, peakTime - 1);
  EXPECT_EQ(Cli({"peaks", "6", kDemo}).Lines().size(), 1u);
}

TEST_F(CliTest, ConvertRoundTripsThroughTheAcReader) {
  const std::string out = work.File("copy");
  const CliRun r = Cli({"convert", kDemo, "-o", out});
  ASSERT_EQ(r.status, 0) << r.err;
  test::ScriptedUi ui;
  StrongRecord orig, copy;
  ASSERT_TRUE(ReportRead(ReadAc(kDemo, orig, ui), ui));
  ASSERT_TRUE(ReportRead(ReadAc(out + ".ac", copy, ui), ui));
  EXPECT_EQ(copy.ChanCount, orig.ChanCount);
  EXPECT_EQ(copy.DataCount, orig.DataCount);
  EXPECT_EQ(copy.SampFreq, orig.SampFreq);
  EXPECT_EQ(copy.SiteCode, orig.SiteCode);
  for (int32_t ch = 1; ch <= orig.ChanCount; ++ch) {
    EXPECT_EQ(copy.Label(ch), orig.Label(ch));
    double worst = 0;
    for (int32_t i = 1; i <= orig.DataCount; ++i)
      worst = std::max(worst, std::fabs(double{copy.Acc(i, ch)} - orig.Acc(i, ch)));
    EXPECT_LT(worst, 0.6) << ch;  // the offset removed at load, within the format's precision
  }
}

// An .ac record of two channels of 16 steps at 100 Hz: one of peak 5, one of `small`.
std::string TwoChannelAc(const std::string& station, const std::string& small) {
  std::string ac = "2026/01/15 10:30:00   2 100    16 " + station + "\r\n";
  for (const std::string& v : {std::string("5.000"), small}) {
    ac += (v == "5.000" ? "N-S       " : "E-W       ") + AlignRight(v, 10) + "         1     0.000   0.00e+0\r\n";
    for (int line = 0; line < 2; ++line) {
      for (int k = 0; k < 8; ++k) ac += AlignRight((k % 2 ? "-" : "") + v, 10);
      ac += "\r\n";
    }
  }
  return ac;
}

TEST_F(CliTest, ConvertWritesTheFormatOfTheExtensionOrOfTo) {
  CliRun r = Cli({"convert", kDemo, "-o", work.File("d.v2")});
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* label : {"N-S", "E-W", "U-D"})
    EXPECT_TRUE(StartsWith(ReadWholeFile(work.File(std::string("d.") + label + ".v2")), "Corrected acceleration"));
  r = Cli({"convert", kDemo, "-o", work.File("s"), "--to", "sac"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(FileExists(work.File("s.HNN.sac")) && FileExists(work.File("s.HNZ.sac")));
  r = Cli({"info", "--summary", work.File("s.HNE.sac")});
  EXPECT_NE(r.out.find("[100 Hz, 6,000 stps, 3 chs]"), std::string::npos) << r.out << r.err;
  // miniSEED holds five characters of station code: DEMO01 is refused, nothing written.
  r = Cli({"convert", kDemo, "-o", work.File("demo.mseed")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("\"DEMO01\" is longer than the 5 characters"), std::string::npos) << r.err;
  EXPECT_FALSE(FileExists(work.File("demo.mseed")));
  const std::string small = work.Write("small.ac", TwoChannelAc("SMALL", "1.250"));
  r = Cli({"convert", small, "-o", work.File("m.dat"), "--to", "MSEED"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(FileExists(work.File("m.xml")));
  r = Cli({"info", "--summary", work.File("m.dat")});
  EXPECT_TRUE(StartsWith(r.out, "2026/01/15 10:30:00 at SMALL")) << r.out << r.err;
  EXPECT_NE(r.out.find("[100 Hz, 16 stps, 2 chs]"), std::string::npos) << r.out;

  r = Cli({"convert", kDemo, "-o", work.File("x"), "--to", "segy"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("--to is one of ac, cosmos-v1, cosmos-v2, sac, mseed, not 'segy'"), std::string::npos)
      << r.err;
  EXPECT_EQ(Cli({"peaks", "1", kDemo, "--to", "2.5"}).status, 0);  // a time under peaks

  // A file of one channel each that is the input is refused.
  const std::string before = ReadWholeFile(work.File("s.HNN.sac"));
  r = Cli({"convert", work.File("s.HNN.sac"), "-o", work.File("s.sac")});
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("s.HNN.sac: is the input "), std::string::npos) << r.err;
  EXPECT_EQ(ReadWholeFile(work.File("s.HNN.sac")), before);
}

TEST_F(CliTest, ConvertWarnsWhenAcDropsDigitsAndStillWrites) {
  const std::string in = work.Write("small.ac", TwoChannelAc("SMALL", "0.004"));
  const CliRun r = Cli({"convert", in, "-o", work.File("small-copy.ac")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("channel 2 (E-W): .ac keeps 1 significant digit of the peak"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("use .v2 or .sac to keep every digit"), std::string::npos);
  EXPECT_EQ(r.err.find("channel 1"), std::string::npos);
  EXPECT_TRUE(FileExists(work.File("small-copy.ac")));
}

TEST_F(CliTest, SeveralFilesIntoAFolder) {
  const std::string folder = (work.Path() / "out").string();
  std::filesystem::create_directory(folder);
  // The second copy of the same input would replace the first output: it is refused.
  CliRun r = Cli({"convert", kDemo, kDemo, "-o", folder});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("already written"), std::string::npos) << r.err;
  EXPECT_TRUE(FileExists(folder + "/demo.ac.ac"));
  r = Cli({"export", "1", kDemo, kDemo, "-o", work.File("single.csv")});
  EXPECT_EQ(r.status, 2);  // several files need a folder
}

TEST_F(CliTest, CsvFileWithoutDialog) {
  std::string csv = "t,a,b\n";
  for (int i = 0; i < 50; ++i)
    csv += std::to_string(i) + "," + std::to_string(i % 7) + "," + std::to_string(-i) + "\n";
  const std::string path = work.Write("data.csv", csv);
  CliRun r = Cli({"info", "--json", path, "--freq", "50", "--neglect-first"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("read as CSV file with --skip"), std::string::npos) << r.err;
  EXPECT_EQ(JsonValue(r.out, "SampFreq"), "50");
  EXPECT_EQ(JsonValue(r.out, "ChanCount"), "2");
  EXPECT_EQ(JsonValue(r.out, "DataCount"), "50");
}

// Plain column files: channels and steps guessed from the columns and lines, and said.
TEST_F(CliTest, PlainColumnFilesAreGuessedAndTheLayoutSaid) {
  struct Case {
    std::string header;
    int columns;
    std::string used;
  } cases[] = {
      {"", 2, "--skip 0 --count 3000 --freq 100 --channels 2 --coef 1"},
      {"DT 0.005 acceleration in gal\n", 3, "--skip 1 --count 3000 --freq 200 --channels 3 --coef 1"},
  };
  for (const auto& c : cases) {
    std::string data = c.header;
    for (int i = 1; i <= 3000; ++i)
      for (int k = 1; k <= c.columns; ++k)
        data += std::to_string(k * 1000 + i % 50) + (k < c.columns ? " " : "\n");
    const std::string path = work.Write("columns.txt", data);
    const CliRun r = Cli({"info", "--json", path});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("read as general data file with " + c.used + "\n"), std::string::npos) << r.err;
    EXPECT_EQ(JsonValue(r.out, "ChanCount"), std::to_string(c.columns));
    EXPECT_EQ(JsonValue(r.out, "DataCount"), "3000");
  }
}

// JMA texts are Shift-JIS in the file; the tool prints them as UTF-8 and copies them as read.
TEST_F(CliTest, JapaneseStationNamesPrintAsUtf8) {
  const std::string kumamoto = "\x8C\x46\x96\x7B\x8E\x73\x92\x86\x89\x9B\x8B\xE6";
  auto jma = [](const std::string& name) {
    std::string t =
        "SITE CODE= 47A" + name + "  ,32.86,130.90\r\n LAT.= 32.5\r\n LON.= 130.4\r\n" +
        " SAMPLING RATE= 100Hz\r\n UNIT = gal\r\nINITIAL TIME = 2016 04 16 01 45 50\r\n NS,EW,UD\r\n";
    for (int i = 1; i <= 300; ++i) t += std::to_string(i % 9) + ",1,-2\r\n";
    return t;
  };
  const std::string path = work.Write("k.csv", jma(kumamoto));
  CliRun r = Cli({"info", "--json", path});
  ASSERT_EQ(r.status, 0) << r.err;
  nlohmann::json j = nlohmann::json::parse(r.Lines().at(0));
  EXPECT_EQ(j["SiteName"], "熊本市中央区");
  EXPECT_EQ(j["SiteCode"], "47A");
  EXPECT_EQ(j["Channels"][1]["Label"], "EW");

  r = Cli({"info", path});
  EXPECT_NE(r.out.find("\n Name: 熊本市中央区\n"), std::string::npos) << r.out;
  r = Cli({"info", "--summary", path});
  EXPECT_TRUE(StartsWith(r.out, "2016/04/16 01:45:50 at 47A: 熊本市中央区 (I=")) << r.out;

  // Bytes that are no Shift-JIS show as replacements; the rest of the name stays.
  r = Cli({"info", "--json", work.Write("bad.csv", jma("\x93\x8C\x81 \xFDX"))});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(nlohmann::json::parse(r.Lines().at(0))["SiteName"], "東\uFFFD \uFFFDX");

  // A copy as .ac keeps the name's bytes.
  const std::string out = work.File("k.ac");
  r = Cli({"convert", path, "-o", out});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(ReadWholeFile(out).find("47A: " + kumamoto + "\r\n"), std::string::npos);

  if (!test::HaveSamples()) GTEST_SKIP() << "sample records not found at " << test::SamplesDir();
  r = Cli({"info", "--json", (test::SamplesDir() / "jma/Q4169D2004.csv").string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(nlohmann::json::parse(r.Lines().at(0))["SiteName"], "上天草市大矢野町");
}

// A build without Qt refuses plot before reading anything.
bool DrawsNoGraphs(const CliRun& r) {
  return r.status == 2 && r.err.find("draws no graphs") != std::string::npos;
}

// The layout of a general data file as echoed, given back as options, reads the file the
// same way: under plot too, where --width is the image width.
TEST_F(CliTest, EchoedFieldWidthReadsTheFileAgainUnderPlot) {
  std::string data;
  for (int i = 0; i < 400; ++i)
    data += AlignRight(FormatNumber(100 * std::sin(i / 10.0), "0.000"), 10) + "\n";
  const std::string path = work.Write("general.txt", data);
  const std::string out = work.File("general.png");
  CliRun r = Cli({"plot", "1", path, "-o", out, "--freq", "50", "--count", "400", "--field-width", "10",
                  "--columns", "1"});
  if (DrawsNoGraphs(r)) GTEST_SKIP() << "this build draws no graphs";
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string tag = "read as general data file with ";
  const std::size_t at = r.err.find(tag);
  ASSERT_NE(at, std::string::npos) << r.err;
  const std::string echoed = r.err.substr(at + tag.size(), r.err.find('\n', at) - at - tag.size());
  EXPECT_NE(echoed.find("--field-width 10"), std::string::npos) << echoed;
  EXPECT_EQ(echoed.find("--width"), std::string::npos) << echoed;

  std::vector<std::string> again = {"plot", "1", path, "-o", work.File("again.png")};
  for (const std::string& a : Split(echoed, " ")) again.push_back(a);
  r = Cli(again);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find(tag + echoed + "\n"), std::string::npos) << r.err;
  EXPECT_EQ(ReadWholeFile(work.File("again.png")), ReadWholeFile(out));
}

// Width and height of a PNG from its IHDR chunk.
std::pair<uint32_t, uint32_t> PngSize(const std::string& bytes) {
  auto be = [&](std::size_t at) {
    return (uint32_t{static_cast<unsigned char>(bytes[at])} << 24) |
           (uint32_t{static_cast<unsigned char>(bytes[at + 1])} << 16) |
           (uint32_t{static_cast<unsigned char>(bytes[at + 2])} << 8) |
           static_cast<unsigned char>(bytes[at + 3]);
  };
  if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) return {0, 0};
  return {be(16), be(20)};
}

TEST_F(CliTest, PlotPngMatchesThePage) {
  const std::string out = work.File("acc.png");
  const CliRun r = Cli({"plot", "1", kDemo, "-o", out, "--dpi", "120"});
  if (DrawsNoGraphs(r)) GTEST_SKIP() << "this build draws no graphs";
  ASSERT_EQ(r.status, 0) << r.err;
  const AppState app = Open(kDemo);
  const PageGeometry page = ComputePageGeometry(app, 1, 3);
  const auto [w, h] = PngSize(ReadWholeFile(out));
  EXPECT_EQ(w, static_cast<uint32_t>(std::lround(page.width / 100.0 * 0.03937 * 120)));
  EXPECT_EQ(h, static_cast<uint32_t>(std::lround(page.height / 100.0 * 0.03937 * 120)));
}

TEST_F(CliTest, PlotSvgAndPdf) {
  const CliRun probe = Cli({"plot", "2", kDemo, "-o", work.File("v.svg")});
  if (DrawsNoGraphs(probe)) GTEST_SKIP() << "this build draws no graphs";
  ASSERT_EQ(probe.status, 0) << probe.err;
  EXPECT_NE(ReadWholeFile(work.File("v.svg")).find("<svg"), std::string::npos);
  const CliRun r = Cli({"plot", "3", kDemo, "-o", work.File("d.pdf")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(StartsWith(ReadWholeFile(work.File("d.pdf")), "%PDF"));
  EXPECT_FALSE(FileExists(work.File("d.pdf.part")));
}

TEST_F(CliTest, ReportPageAsOnePdfPage) {
  const std::string out = work.File("report.pdf");
  CliRun r = Cli({"plot", "21", kDemo, "-o", out});
  if (DrawsNoGraphs(r)) GTEST_SKIP() << "this build draws no graphs";
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string pdf = ReadWholeFile(out);
  EXPECT_TRUE(StartsWith(pdf, "%PDF"));
  EXPECT_NE(pdf.find("/Count 1"), std::string::npos);
  // The demo record has three channels: one report page.
  r = Cli({"plot", "21", "--report-page", "2", kDemo, "-o", work.File("page2.png")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("report page 2 would show channels 4 to 6; the record has 3"), std::string::npos)
      << r.err;
  EXPECT_FALSE(FileExists(work.File("page2.png")));
  r = Cli({"plot", "1", "--report-page", "1", kDemo, "-o", work.File("acc.png")});
  EXPECT_EQ(r.status, 2);
  r = Cli({"plot", "22", kDemo, "-o", work.File("none.png")});
  EXPECT_EQ(r.status, 2);
}

TEST_F(CliTest, EverySampleReadsAndExports) {
  SKIP_WITHOUT_SAMPLES();
  struct Sample {
    std::string file;
    int chans;
    int freq;
  } samples[] = {
      {"knet/AOM0011801241951.EW", 3, 100},     {"kiknet/NGNH311106302345.NS1", 6, 100},
      {"peer/RSN763_LOMAP_GIL067.AT2", 1, 200}, {"dmg/CE89146.V2", 3, 200},
      {"evt/BI008_MEMA-04823.evt", 3, 250},
  };
  for (const Sample& s : samples) {
    const std::string path = (test::SamplesDir() / s.file).string();
    CliRun r = Cli({"info", "--json", path});
    ASSERT_EQ(r.status, 0) << s.file << ": " << r.err;
    EXPECT_EQ(JsonValue(r.out, "ChanCount"), std::to_string(s.chans)) << s.file;
    EXPECT_EQ(JsonValue(r.out, "SampFreq"), std::to_string(s.freq)) << s.file;
    r = Cli({"export", "1", path, "-o", "-"});
    ASSERT_EQ(r.status, 0) << s.file << ": " << r.err;
    const std::vector<std::string> lines = Split(r.out, "\r\n");
    ASSERT_GT(lines.size(), 3u);
    EXPECT_EQ(Split(lines[2], ", ").size(), static_cast<std::size_t>(s.chans) + 1) << s.file;
  }
  const CliRun v2 = Cli({"info", "--json", (test::SamplesDir() / "dmg/CE89146.V2").string()});
  EXPECT_NEAR(std::stod(JsonValue(v2.out, "Peak", v2.out.find("\"Channels\""))), 77.28, 0.5) << v2.out;
}

// The flatfile of the sample archive: a row per record (a set's files once), the same bytes
// whatever the threads, and shards that concatenate to the whole.
TEST_F(CliTest, MetricsFlatfileOfTheSamples) {
  SKIP_WITHOUT_SAMPLES();
  const std::string samples = test::SamplesDir().string();
  const std::string whole = work.File("whole.csv"), two = work.File("two.csv");
  CliRun r = Cli({"metrics", samples, "-o", whole, "-j", "1"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("left out"), std::string::npos) << r.err;  // the README and the like
  r = Cli({"metrics", samples, "-o", two, "-j2"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string text = ReadWholeFile(whole);
  EXPECT_EQ(text, ReadWholeFile(two));

  std::vector<std::string> lines = Split(text, "\n");
  lines.pop_back();
  ASSERT_GT(lines.size(), 15u);
  const std::size_t columns = Split(lines[0], ",").size();
  std::map<std::string, int> rowsPerFolder;
  std::map<std::string, std::string> knet;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string rel = lines[i].substr(samples.size() + 1);
    ++rowsPerFolder[rel.substr(0, rel.find('/'))];
    EXPECT_EQ(lines[i].back(), ',') << "an error in " << lines[i];
    if (StartsWith(rel, "knet/")) {
      const std::vector<std::string> header = Split(lines[0], ","), row = Split(lines[i], ",");
      ASSERT_EQ(row.size(), columns);
      for (std::size_t c = 0; c < columns; ++c) knet[header[c]] = row[c];
    }
  }
  EXPECT_EQ(rowsPerFolder["knet"], 1);
  EXPECT_EQ(rowsPerFolder["kiknet"], 1);
  EXPECT_EQ(rowsPerFolder["esm"], 1);
  EXPECT_EQ(rowsPerFolder["dmg"], 3);
  EXPECT_EQ(rowsPerFolder["geonet"], 2);
  EXPECT_EQ(rowsPerFolder.count("README.md"), 0u);
  // The K-NET row against its header and the properties the program reports.
  EXPECT_EQ(knet["station"], "AOM001");
  EXPECT_EQ(knet["H2_channel"], "E-W");
  EXPECT_NEAR(std::stod(knet["H2_PGA"]), 4.078, 0.001);
  const CliRun info = Cli({"info", "--json", samples + "/knet/AOM0011801241951.NS"});
  EXPECT_NEAR(std::stod(knet["jma_intensity"]), std::stod(JsonValue(info.out, "JmaIntensity")), 1e-5);
  EXPECT_NEAR(std::stod(knet["H1_D5-95"]), std::stod(JsonValue(info.out, "Duration")), 0.02);
  EXPECT_GE(std::stod(knet["RotD100_Sa(1)"]), std::stod(knet["RotD50_Sa(1)"]));
  EXPECT_GE(std::stod(knet["RotD100_Sa(1)"]), std::max(std::stod(knet["H1_Sa(1)"]), std::stod(knet["H2_Sa(1)"])));

  std::string joined;
  for (int k = 1; k <= 3; ++k) {
    r = Cli({"metrics", "--shard", std::to_string(k) + "/3", samples, "-o", "-"});
    ASSERT_EQ(r.status, 0) << r.err;
    joined += r.out;
  }
  std::vector<std::string> parts = Split(joined, "\n");
  parts.pop_back();
  EXPECT_EQ(std::count(parts.begin(), parts.end(), lines[0]), 1);
  EXPECT_EQ(parts[0], lines[0]);
  std::sort(parts.begin(), parts.end());
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ(parts, lines);
}

// Records processed into a folder: each passing one as .ac with its provenance beside it, and
// the same flatfile whatever the threads.
TEST_F(CliTest, MetricsRowOfAFileThatCannotBeReadAndBadUsage) {
  const std::string broken = work.Write("broken.evt", std::string(64, '\x01'));
  CliRun r = Cli({"metrics", kDemo, broken, "--periods", "0.2,2", "--damping", "2", "-o", "-"});
  EXPECT_EQ(r.status, 1) << r.err;
  const std::vector<std::string> lines = r.Lines();
  ASSERT_EQ(lines.size(), 3u) << r.out;
  EXPECT_NE(lines[0].find(",H1_Sa(0.2),H1_Sa(2),"), std::string::npos) << lines[0];
  EXPECT_TRUE(StartsWith(lines[2], broken + ",,"));
  EXPECT_NE(lines[2].back(), ',');
  EXPECT_EQ(Split(lines[1], ",").size(), Split(lines[0], ",").size());
  EXPECT_NE(r.err.find("1 of 2 records could not be read"), std::string::npos) << r.err;

  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"metrics", kDemo}, {"metrics", kDemo, "-o", work.Path().string()},
        {"metrics", kDemo, "-o", "-", "--shard", "3/2"}, {"metrics", kDemo, "-o", "-", "--shard", "0/2"},
        {"metrics", kDemo, "-o", "-", "--shard", "2"}, {"metrics", kDemo, "-o", "-", "-j", "0"},
        {"metrics", kDemo, "-o", "-", "--periods", "0.1,x"}, {"metrics", kDemo, "-o", "-", "--periods", "0,1"},
        {"metrics", kDemo, "-o", "-", "--damping", "100"}, {"info", kDemo, "-j", "2"}}) {
    r = Cli(bad);
    EXPECT_EQ(r.status, 2) << bad.back() << ": " << r.err;
  }
}

TEST_F(CliTest, MiniSeedWithStationResponseAndVelocityChannels) {
  // Two stations in one file, STB's StationXML given on the command line.
  const std::string xml = work.Write(
      "responses.xml", test::StationXml({{.cha = "HNE"}, {.cha = "HNZ"}, {.cha = "HHZ", .input = "M/S"}}, "XX", "STB"));
  std::vector<test::MseedStretch> data = {{.sta = "STA", .cha = "HNE", .counts = test::Ramp(200, 4096, 0)},
                                          {.sta = "STB", .cha = "HNE", .counts = test::Ramp(200, 8192, 0)},
                                          {.sta = "STB", .cha = "HNZ", .counts = test::Ramp(100, -4096, 0)},
                                          {.sta = "STB", .cha = "HNZ", .start = "2020-05-01T12:00:01.5",
                                           .counts = test::Ramp(50, -4096, 0)},
                                          {.sta = "STB", .cha = "HHZ", .counts = test::Ramp(200, 0, 4096)}};
  const std::string file = work.Write("two.mseed", test::Mseed(data));

  CliRun r = Cli({"info", "--json", file, "--response", xml});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("choose one with --station NET.STA.LOC.BAND:\n  XX.STA.00.HN: HNE\n"), std::string::npos)
      << r.err;

  r = Cli({"info", "--json", file, "--response", xml, "--station", "xx.stb.00.hn"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(JsonValue(r.out, "FileFormat"), std::to_string(FormatMseed));
  EXPECT_EQ(JsonValue(r.out, "SiteCode"), "\"XX.STB\"");
  EXPECT_EQ(JsonValue(r.out, "RecDate"), "\"2020/05/01\"");
  EXPECT_EQ(JsonValue(r.out, "DataCount"), "200");
  EXPECT_EQ(JsonValue(r.out, "Coef", r.out.find("\"Channels\"")), "0.00024414062");
  EXPECT_NE(r.err.find("two.mseed: HNZ: 1 gap (0.5 s) filled as no motion"), std::string::npos) << r.err;

  r = Cli({"info", "--json", file, "--response", xml, "--station", "XX.STB.00.HH"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("XX.STB.00.HH (HHZ) records velocity, not acceleration; it opens only when differentiated"),
            std::string::npos)
      << r.err;
  r = Cli({"info", "--json", file, "--response", xml, "--station", "XX.STB.00.HH", "--differentiate"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(JsonValue(r.out, "Label", r.out.find("\"Channels\"")), "\"HHZ\"");

  // The flatfile takes the same choices.
  r = Cli({"metrics", file, "--response", xml, "--station", "XX.STB.00.HN", "-o", "-"});
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.Lines().size(), 2u) << r.out;
  EXPECT_NE(r.Lines()[1].find(",miniSEED,XX.STB,"), std::string::npos) << r.Lines()[1];

  // Without a response the counts are multiplied by --coef.
  r = Cli({"info", "--json", file, "--station", "XX.STA.00.HN", "--coef", "0.5"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("no StationXML response (beside the data or --response); counts times --coef 0.5"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(JsonValue(r.out, "Coef", r.out.find("\"Channels\"")), "0.5");

  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"info", file, "--station", "XX.STA"}, {"info", file, "--response", "/nonexistent.xml"}})
    EXPECT_EQ(Cli(args).status, 2) << args[2];
  r = Cli({"--help"});
  EXPECT_NE(r.out.find("--station NET.STA.LOC.BAND"), std::string::npos);
  EXPECT_NE(r.out.find("miniSEED (.mseed"), std::string::npos);
}

TEST_F(CliTest, FdsnSampleInfo) {
  SKIP_WITHOUT_SAMPLES();
  const std::string path =
      (test::SamplesDir() / "fdsn/BK.CMB.00.HNE__20140824T102014Z__20140824T102244Z.mseed").string();
  const CliRun r = Cli({"info", "--summary", path});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "2014/08/24 10:20:14 at BK.CMB: Columbia College, Columbia, CA, USA (I=0.0, 0) [100 Hz, 15,000 stps, 3 chs]\n");
}

TEST_F(CliTest, ARecordWithoutAnIntensitySensorHasNoIntensity) {
  SKIP_WITHOUT_SAMPLES();
  const std::string path = (test::SamplesDir() / "peer/RSN763_LOMAP_GIL067.AT2").string();
  CliRun r = Cli({"info", "--summary", path});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find(" (I=\u2013) [200 Hz"), std::string::npos) << r.out;
  r = Cli({"info", "--json", path});
  EXPECT_TRUE(nlohmann::json::parse(r.Lines().at(0))["JmaIntensity"].is_null()) << r.out;
  r = Cli({"info", path});
  EXPECT_EQ(r.out.find("JMA Seismic Intensity"), std::string::npos) << r.out;
}

// No output may replace one of the inputs, whatever path names it; nothing is written.
TEST_F(CliTest, AnOutputThatIsAnInputIsRefusedBeforeWriting) {
  const std::string rec = work.Write("x.ac", ReadWholeFile(kDemo));
  std::filesystem::create_symlink(rec, work.File("link.ac"));
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"convert", rec, "-o", rec}, {"export", "1", work.File("link.ac"), "-o", rec},
        {"metrics", rec, "-o", work.File("link.ac")}}) {
    const CliRun r = Cli(args);
    EXPECT_EQ(r.status, 2) << args[0];
    EXPECT_NE(r.err.find(": is the input "), std::string::npos) << r.err;
    EXPECT_EQ(ReadWholeFile(rec), ReadWholeFile(kDemo)) << args[0];
  }
  // After "--" a name that looks like a switch is a file.
  const std::string dashed = work.Write("-h20.ac", ReadWholeFile(kDemo));
  EXPECT_EQ(Cli({"info", "--summary", "--", "-h20.ac"}).status, 1);  // not in the working folder
  EXPECT_EQ(Cli({"info", "--summary", "--", dashed}).status, 0);
  // The other component of a K-NET set is an input as well.
  work.Write("S.EW", "x");
  work.Write("S.NS", "x");
  const CliRun r = Cli({"export", "1", work.File("S.EW"), "-o", work.File("S.NS")});
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_EQ(ReadWholeFile(work.File("S.NS")), "x");
}

// Output that never arrived is a failure with the system's reason.
TEST_F(CliTest, AFullStandardOutputFails) {
  for (const std::string cmd : {"info --json", "export 1 -o -"}) {
    const std::string line = "XDG_CONFIG_HOME=" + Quote(config.Path().string()) + " " +
                             Quote(SISMORA_BIN_DIR "/sismora-cli") + " " + cmd.substr(0, cmd.find(' ')) + " " +
                             (cmd.find(' ') == std::string::npos ? "" : cmd.substr(cmd.find(' ') + 1)) + " " +
                             Quote(kDemo) + " >/dev/full 2>" + Quote(work.File("err"));
    const int raw = std::system(line.c_str());
    EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 1) << cmd;
    EXPECT_NE(ReadWholeFile(work.File("err")).find("standard output: No space left on device"), std::string::npos);
  }
}

}  // namespace
}  // namespace sism

namespace sism {
namespace {

// Files that are no records are refused with a sentence saying what they are, and exit 1.
TEST_F(CliTest, StationXmlAndJunkAreRefusedPlainly) {
  const std::string xml =
      work.Write("BK.CMB.xml", "<?xml version=\"1.0\"?>\n<FDSNStationXML schemaVersion=\"1.1\">\n</FDSNStationXML>\n");
  CliRun r = Cli({"info", xml});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(xml + " is a StationXML file: it describes a station's instruments, not a record. Open the "
                             "station's miniSEED or SAC files beside it instead"),
            std::string::npos)
      << r.err;
  const std::string junk = work.Write("junk.dat", std::string("\x01\x02\x00\x7f\xfe junk", 10));
  r = Cli({"info", junk});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(junk + " holds binary data of a kind no reader knows, not a record file."), std::string::npos)
      << r.err;
}

}  // namespace
}  // namespace sism
