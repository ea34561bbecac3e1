#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "load/user_side.h"
#include "load/statistics.h"
#include "common/text.h"
#include "record/dispatch.h"
#include "record/jma_codes.h"
#include "record/readers.h"
#include "record/strong_record.h"
#include "tests/load/calc_probe.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

using test::ScriptedUi;
using test::TempDir;

// Expects the read to fail with the common error box of `reader` quoting error `err`.
void ExpectReadError(const ScriptedUi& ui, const std::string& path, const std::string& reader, int err,
                     const std::string& what) {
  ASSERT_EQ(ui.messages.size(), 1u) << what;
  EXPECT_TRUE(
      StartsWith(ui.messages[0].text, "Failed to read " + path + " (Err#" + std::to_string(err) + ": "))
      << what << ": " << ui.messages[0].text;
  EXPECT_EQ(ui.messages[0].title, "Sismora: " + reader) << what;
  EXPECT_EQ(ui.messages[0].icon, MsgIcon::Critical) << what;
}

// ---- Shared rules ----

TEST(JmaCodes, SignedHexadecimal) {
  struct Case {
    const char* digits;
    int64_t value;
  } cases[] = {{"0", 0},
               {"7", 7},
               {"8", -8},
               {"F", -1},
               {"FF", -1},
               {"7F", 127},
               {"80", -128},
               {"0A", 10},
               {"7FFF", 32767},
               {"FFFE", -2},
               {"000100", 256},
               {"FFFFFF", -1},
               {"800000", -8388608},
               {"7FFFFFFF", 2147483647},
               {"80000000", -2147483648LL}};
  for (const auto& c : cases) EXPECT_EQ(SignedHex(c.digits), c.value) << c.digits;
  for (const char* bad : {"", "G", "0a", "1 2", "-1", "F\r"})
    EXPECT_THROW(SignedHex(bad), std::exception) << bad;
}

TEST(JmaCodes, LeadingNumber) {
  struct Case {
    const char* text;
    double value;
  } cases[] = {{"1995\x94\x4E", 1995},
               {"ab12cd", 12},
               {"x3.5y", 3.5},
               {"", 0},
               {"none", 0},
               {"7.", 7},
               {"-4", 4},
               {"x5", 5},
               {"09\x8C\x8E", 9}};
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(JmaLeadingNumber(c.text), c.value) << c.text;
}

TEST(JmaCodes, MinuteFileNames) {
  struct Case {
    const char* path;
    const char* next;
  } jma95a[] = {{"/d/K10.aew", "/d/K11.aew"},
                {"/d/K19.aew", "/d/K1A.aew"},
                {"/d/K1Y.ans", "/d/K1Z.ans"},
                {"/d/K1Z.aud", "/d/K1.aud"},
                {"/d/K1y.aew", "/d/K1z.aew"},
                {"/d/K1z.aew", "/d/K1.aew"},
                {"/d/K1-.aew", "/d/K1.aew"},
                {"/d/Z.aew", ""},
                {"/d/.aew", ""}},
    jma95b[] = {{"/d/ST1230.abc", "/d/ST1231.abc"},
                {"/d/ST0959.abc", "/d/ST1000.abc"},
                {"/d/ST2359.abc", "/d/ST2400.abc"},
                {"/d/0000.x", "/d/0001.x"},
                {"/d/ST12x0.abc", ""},
                {"/d/123.abc", ""}};
  for (const auto& c : jma95a) EXPECT_EQ(NextJma95aMinute(c.path), c.next) << c.path;
  for (const auto& c : jma95b) EXPECT_EQ(NextJma95bMinute(c.path), c.next) << c.path;
}

// ---- JMA95 ascii ----

const char* const kYear = "\x94\x4E";
const char* const kMonth = "\x8C\x8E";
const char* const kDay = "\x93\xFA";
const char* const kHour = "\x8E\x9E";
const char* const kMinute = "\x95\xAA";
const char* const kSecond = "\x95\x62";

std::string Jma95Time(const std::string& year) {
  return std::string("START ") + year + kYear + " 01" + kMonth + " 17" + kDay + " 05" + kHour + " 46" +
         kMinute + " 30" + kSecond;
}

std::string Jma95aText(const std::string& label, int start, const std::string& time = Jma95Time("1995"),
                       int values = 6000) {
  std::string text = "STATION CODE = K1 2\r\nCOMPONENT = " + label + "\r\n" + time + "\r\n";
  for (int i = 0; i < values; ++i) {
    text += std::to_string(start + i % 1000) + (i % 10 == 9 ? "\r\n" : i % 2 ? "," : "  ");
  }
  return text;
}

void WriteMinute(const TempDir& dir, const std::string& base, int start,
                 const std::string& exts = "ans aew aud") {
  auto names = Split(exts, " ");
  static const char* const labels[] = {"N S", "EW", "UD"};
  for (int ch = 0; ch < 3; ++ch)
    dir.Write(base + "." + names[ch], Jma95aText(labels[ch], start + ch * 10000));
}

TEST(Jma95a, OneMinute) {
  TempDir dir;
  WriteMinute(dir, "K100", 0);
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadJMA95a(dir.File("K100.aew"), rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.ChanCount, 3);
  EXPECT_EQ(rec.SampFreq, 100);
  EXPECT_EQ(rec.DataCount, 6000);
  EXPECT_EQ(rec.SiteCode, "K12");
  EXPECT_EQ(rec.SiteName, "K12 (JMA95)");
  EXPECT_EQ(rec.Label(1), "NS");
  EXPECT_EQ(rec.Label(2), "EW");
  EXPECT_EQ(rec.Label(3), "UD");
  EXPECT_EQ(rec.RecDate, "1995/01/17");
  EXPECT_EQ(rec.RecTime, "05:46:30");
  EXPECT_FLOAT_EQ(rec.Acc(1, 1), 0);
  EXPECT_FLOAT_EQ(rec.Acc(12, 2), 10011);
  EXPECT_FLOAT_EQ(rec.Acc(6000, 3), 20999);
  EXPECT_FLOAT_EQ(rec.Peak(3), 20999);
  for (int ch = 1; ch <= 3; ++ch) {
    EXPECT_EQ(rec.Coef(ch), 1);
    EXPECT_EQ(rec.Offset(ch), 0);
  }
}

TEST(Jma95a, OpeningTheSecondMinuteLoadsItAndTheFollowingOnes) {
  TempDir dir;
  WriteMinute(dir, "K100", 100, "ANS AEW AUD");
  WriteMinute(dir, "K101", 200, "ANS AEW AUD");
  WriteMinute(dir, "K102", 300, "ANS AEW AUD");
  WriteMinute(dir, "K104", 500, "ANS AEW AUD");  // after a gap: not part of the sequence
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadJMA95a(dir.File("K101.AUD"), rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.DataCount, 12000);
  EXPECT_FLOAT_EQ(rec.Acc(1, 1), 200);
  EXPECT_FLOAT_EQ(rec.Acc(6001, 1), 300);
  EXPECT_FLOAT_EQ(rec.Acc(6001, 2), 10300);
}

TEST(Jma95a, SequenceCountsThroughLetters) {
  TempDir dir;
  WriteMinute(dir, "K19", 1);
  WriteMinute(dir, "K1A", 2);
  WriteMinute(dir, "K1b", 3);  // found without regard to case
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadJMA95a(dir.File("K19.ans"), rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.DataCount, 18000);
  EXPECT_FLOAT_EQ(rec.Acc(12001, 1), 3);
}

TEST(Jma95a, YearWindow) {
  struct Case {
    const char* year;
    const char* date;
  } cases[] = {{"0", "2000/01/17"}, {"5", "2005/01/17"},  {"6", "1996/01/17"},   {"8", "1998/01/17"},
               {"9", "0009/01/17"}, {"95", "0095/01/17"}, {"2003", "2003/01/17"}};
  for (const auto& c : cases) {
    TempDir dir;
    dir.Write("Y0.ans", Jma95aText("NS", 0, Jma95Time(c.year)));
    dir.Write("Y0.aew", Jma95aText("EW", 0));
    std::string path = dir.Write("Y0.aud", Jma95aText("UD", 0));
    StrongRecord rec;
    ScriptedUi ui;
    ASSERT_TRUE(ReportRead(ReadJMA95a(path, rec, ui), ui)) << c.year << ui.OnlyMessage();
    EXPECT_EQ(rec.RecDate, c.date) << c.year;
  }
}

TEST(Jma95a, MalformedFilesEndInTheReadErrorBox) {
  std::string noMarker = Jma95Time("1995");
  noMarker.erase(noMarker.find(kHour), 2);
  struct Case {
    const char* what;
    std::string ns;
    int err;
  } cases[] = {
      {"too few values", Jma95aText("NS", 0, Jma95Time("1995"), 5999), 62},
      {"value not a number", ReplaceAll(Jma95aText("NS", 0), "  17,", "  1x7,"), 13},
      {"time marker missing", Jma95aText("NS", 0, noMarker), 13},
      {"no caption sign", ReplaceAll(Jma95aText("NS", 0), "CODE =", "CODE"), 13},
      {"header cut short", "STATION CODE = K12\r\n", 62},
  };
  for (const auto& c : cases) {
    TempDir dir;
    dir.Write("B0.ans", c.ns);
    dir.Write("B0.aud", Jma95aText("UD", 0));
    std::string path = dir.Write("B0.aew", Jma95aText("EW", 0));
    StrongRecord rec;
    ScriptedUi ui;
    EXPECT_FALSE(ReportRead(ReadJMA95a(path, rec, ui), ui)) << c.what;
    ExpectReadError(ui, path, "ReadJMA95a", c.err, c.what);
  }
  // A minute without one of its components, and a file that is not there at all.
  TempDir dir;
  dir.Write("M0.ans", Jma95aText("NS", 0));
  std::string path = dir.Write("M0.aew", Jma95aText("EW", 0));
  for (const std::string& p : {path, dir.File("None0.aew")}) {
    StrongRecord rec;
    ScriptedUi ui;
    EXPECT_FALSE(ReportRead(ReadJMA95a(p, rec, ui), ui));
    ExpectReadError(ui, p, "ReadJMA95a", 53, p);
  }
}

// ---- JMA one-minute difference-coded text ----

std::string Hex(int64_t v, int digits) {
  uint64_t u = static_cast<uint64_t>(v) & ((uint64_t{1} << (4 * digits)) - 1);
  char buf[20];
  std::snprintf(buf, sizeof buf, "%0*llX", digits, static_cast<unsigned long long>(u));
  return buf;
}

// Channel block of one second: 100 samples, differences of width code `code` (codes
// beyond 4 are written with eight digits, for the reader to refuse).
std::string Block(const std::vector<int64_t>& samples, int code) {
  static const int digitsOfCode[] = {1, 2, 4, 6, 8};
  int d = digitsOfCode[code > 4 ? 4 : code];
  std::string b = "0123" + std::to_string(code) + "     " + Hex(samples[0], 6);
  for (std::size_t j = 1; j < 100; ++j) b += Hex(samples[j] - samples[j - 1], d);
  return b;
}

// Sample j of second s of channel ch in the synthetic minutes.
int64_t Sample(int minute, int s, int ch, int j) {
  return (minute * 1000 + s * 10 + ch) * (j % 2 ? 1 : -1) + j;
}

std::string Jma95bText(int minute, const std::string& yymmdd = "960117", const std::string& hhmmss = "054600",
                       int code = 4) {
  std::vector<std::string> lines(152, "");
  lines[0] = "01/6  " + yymmdd;
  for (int s = 0; s < 60; ++s) {
    std::string line = "SECOND        " + (s == 0 ? hhmmss : std::string("000000"));
    for (int ch = 1; ch <= 3; ++ch) {
      std::vector<int64_t> v;
      for (int j = 0; j < 100; ++j) v.push_back(Sample(minute, s, ch, j));
      line += Block(v, code);
    }
    lines[32 + 2 * s] = line;
  }
  std::string text;
  for (const auto& l : lines) text += l + "\n";
  return text;
}

float Scaled(int64_t v) {
  return static_cast<float>(v) * std::bit_cast<float>(uint32_t{0x39CCCCCF});
}

TEST(Jma95b, DecodesEachWidthCode) {
  for (int code = 2; code <= 4; ++code) {
    TempDir dir;
    std::string path = dir.Write("ST1230.abc", Jma95bText(0, "960117", "054600", code));
    StrongRecord rec;
    ScriptedUi ui;
    ASSERT_TRUE(ReportRead(ReadJMA95b(path, rec, ui), ui)) << code << ui.OnlyMessage();
    EXPECT_EQ(rec.ChanCount, 3);
    EXPECT_EQ(rec.SampFreq, 100);
    EXPECT_EQ(rec.DataCount, 6000);
    EXPECT_EQ(rec.SiteCode, "ABC");
    EXPECT_EQ(rec.SiteName, "ABC (JMA)");
    EXPECT_EQ(rec.RecDate, "1996/01/17");
    EXPECT_EQ(rec.RecTime, "05:46:00");
    EXPECT_EQ(rec.Label(1), "NS");
    EXPECT_EQ(rec.Label(2), "EW");
    EXPECT_EQ(rec.Label(3), "UD");
    for (int ch = 1; ch <= 3; ++ch) EXPECT_EQ(rec.Coef(ch), 1);
    for (int ch = 1; ch <= 3; ++ch)
      for (int s : {0, 1, 59})
        for (int j : {0, 1, 50, 99})
          ASSERT_EQ(rec.Acc(s * 100 + j + 1, ch), Scaled(Sample(0, s, ch, j)))
              << code << " " << ch << " " << s;
  }
}

TEST(Jma95b, NarrowDifferences) {
  // Code 1: two digits per difference, "FF" is -1 and "7F" is 127; code 0: one digit.
  std::string line = "SECOND        054600";
  std::string diffs1;
  for (int j = 1; j < 100; ++j) diffs1 += j % 2 ? "7F" : "FF";
  line += "00001     000010" + diffs1;
  line += "00000     FFFFFF" + std::string(99, 'F');
  line += "00000     000000" + std::string(99, '7');
  std::string text = "HEADER050301\n" + std::string(31, '\n');
  for (int s = 0; s < 60; ++s) text += line + "\n\n";
  TempDir dir;
  std::string path = dir.Write("ST0000.xy", text);
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadJMA95b(path, rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.RecDate, "2005/03/01");
  EXPECT_EQ(rec.Acc(1, 1), Scaled(16));
  EXPECT_EQ(rec.Acc(2, 1), Scaled(16 + 127));
  EXPECT_EQ(rec.Acc(3, 1), Scaled(16 + 127 - 1));
  EXPECT_EQ(rec.Acc(100, 1), Scaled(16 + 50 * 127 - 49));
  EXPECT_EQ(rec.Acc(100, 2), Scaled(-100));
  EXPECT_EQ(rec.Acc(100, 3), Scaled(99 * 7));
}

TEST(Jma95b, SequenceRollsOverToHour24) {
  TempDir dir;
  std::string path = dir.Write("ST2359.abc", Jma95bText(0, "990101", "235900"));
  dir.Write("ST2400.abc", Jma95bText(1));
  dir.Write("ST2402.abc", Jma95bText(2));  // after a gap
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadJMA95b(path, rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.DataCount, 12000);
  EXPECT_EQ(rec.RecTime, "23:59:00");
  EXPECT_EQ(rec.Acc(6001, 1), Scaled(Sample(1, 0, 1, 0)));
  EXPECT_EQ(rec.Acc(12000, 3), Scaled(Sample(1, 59, 3, 99)));
}

TEST(Jma95b, MalformedFilesEndInTheReadErrorBox) {
  std::string good = Jma95bText(0);
  std::string badDigit = good;
  badDigit[badDigit.find("SECOND", 500) + 60] = 'G';
  std::string lowerDigit = good;
  lowerDigit[lowerDigit.find("SECOND", 500) + 60] = 'a';
  std::string shortLine = good;
  shortLine.erase(shortLine.find('\n', shortLine.find("SECOND", 800)) - 5, 5);
  std::string letterCode = good;
  letterCode[letterCode.find("SECOND") + 24] = 'x';
  struct Case {
    const char* what;
    std::string text;
    int err;
  } cases[] = {
      {"width code above 4", Jma95bText(0, "960117", "054600", 5), 9},
      {"width code not a digit", letterCode, 13},
      {"bad hexadecimal digit", badDigit, 13},
      {"lower-case hexadecimal digit", lowerDigit, 13},
      {"short line", shortLine, 62},
      {"too few lines", good.substr(0, good.find("SECOND", 3000)), 62},
      {"year not a number", "HEADERxx0117\n" + good.substr(good.find('\n') + 1), 13},
      {"empty file", "", 62},
  };
  for (const auto& c : cases) {
    TempDir dir;
    std::string path = dir.Write("ST1200.abc", c.text);
    StrongRecord rec;
    ScriptedUi ui;
    EXPECT_FALSE(ReportRead(ReadJMA95b(path, rec, ui), ui)) << c.what;
    ExpectReadError(ui, path, "ReadJMA95b", c.err, c.what);
  }
}

// Every prefix of a file (and the file with a byte changed) either reads or ends in
// exactly one message (or none, for a reader that may refuse silently): never a crash
// or a read past the data.
template <typename Reader>
void ExpectCutsAndFlipsAreSafe(Reader read, const std::string& name, const std::string& whole,
                               std::size_t step, bool mayRefuseSilently = false) {
  TempDir dir;
  for (std::size_t n = 0; n < whole.size(); n += step) {
    for (bool flip : {false, true}) {
      std::string bytes = flip ? whole : whole.substr(0, n);
      if (flip) bytes[n] = static_cast<char>(bytes[n] ^ 0x5A);
      std::string path = dir.Write(name, bytes);
      StrongRecord rec;
      ScriptedUi ui;
      bool ok = ReportRead(read(path, rec, ui), ui);
      std::size_t expected = ok || (mayRefuseSilently && ui.messages.empty()) ? 0u : 1u;
      EXPECT_EQ(ui.messages.size(), expected) << name << " at " << n << (flip ? " flipped" : " cut");
    }
  }
}

// ---- JMA keyword text ----

std::string JmaAcText(const std::string& site, const std::string& samp, const std::string& columns,
                      const std::vector<std::string>& rows) {
  std::string text = " SITE CODE= " + site +
                     "\r\n LAT.= 35.12345678\r\n LON.=139.12345678\r\n SAMPLING RATE= " + samp +
                     "\r\n UNIT = gal\r\n INITIAL TIME = 2004 10 23 17 56 00\r\n" + columns + "\r\n";
  for (const auto& r : rows) text += r + "\r\n";
  return text;
}

TEST(JmaAc, KeywordHeaderAndColumns) {
  TempDir dir;
  std::string path = dir.Write("sample.txt", JmaAcText("47A12 OJIYA", "100Hz", "  NS  EW  UD",
                                                       {" 1.5 -2.0 3.25", "-4.0 5.0 -6.5", " 7 8 9"}));
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadJmaAc(path, rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.SampFreq, 100);
  EXPECT_EQ(rec.DataCount, 3);
  EXPECT_EQ(rec.ChanCount, 3);
  EXPECT_EQ(rec.SiteCode, "47A12");
  EXPECT_EQ(rec.SiteName, "JMA47A12");
  EXPECT_EQ(rec.SiteLat, "35.12345");
  EXPECT_EQ(rec.SiteLong, "139.1234");
  EXPECT_EQ(rec.RecDate, "2004/10/23");
  EXPECT_EQ(rec.RecTime, "17:56:00");
  EXPECT_EQ(rec.Label(1), "NS");
  EXPECT_EQ(rec.Label(3), "UD");
  EXPECT_FLOAT_EQ(rec.Acc(1, 3), 3.25f);
  EXPECT_FLOAT_EQ(rec.Acc(2, 3), -6.5f);
  EXPECT_FLOAT_EQ(rec.Peak(1), 7);
  EXPECT_FLOAT_EQ(rec.Peak(3), 9);
  EXPECT_EQ(rec.Coef(2), 1);
}

TEST(JmaAc, SiteCodes) {
  struct Case {
    const char* site;
    const char* code;
    const char* name;
  } cases[] = {{"3AB", "JMA3AB", "JMA3AB"},
               {"ABCDE", "ABCDE", "JMAABCDE"},
               {"12x45", "JMA12", "JMA12"},
               {"abc", "JMA", "JMA"}};
  for (const auto& c : cases) {
    TempDir dir;
    std::string path = dir.Write("s.txt", JmaAcText(c.site, "100Hz", "NS EW UD", {"1 2 3"}));
    StrongRecord rec;
    ScriptedUi ui;
    ASSERT_TRUE(ReportRead(ReadJmaAc(path, rec, ui), ui)) << c.site;
    EXPECT_EQ(rec.SiteCode, c.code) << c.site;
    EXPECT_EQ(rec.SiteName, c.name) << c.site;
  }
}

TEST(JmaAc, CommasMissingFieldsAndNoSiteLine) {
  std::string text = JmaAcText("1", "50", "NS,EW", {"1.0,2.0,3.0", "4.0", "", "5,,6"});
  text = ReplaceAll(text, " SITE CODE= 1", " STATION");
  TempDir dir;
  std::string path = dir.Write("kobe.dat", text);
  StrongRecord rec;
  rec.SiteCode = "FROM BEFORE";
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadJmaAc(path, rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.SampFreq, 50);
  EXPECT_EQ(rec.DataCount, 4);
  EXPECT_EQ(rec.SiteCode, "KOBE");
  EXPECT_EQ(rec.Label(1), "NS");
  EXPECT_EQ(rec.Label(2), "EW");
  EXPECT_EQ(rec.Label(3), "");
  EXPECT_FLOAT_EQ(rec.Acc(1, 3), 3);
  EXPECT_FLOAT_EQ(rec.Acc(2, 1), 4);
  EXPECT_FLOAT_EQ(rec.Acc(2, 2), 0);
  EXPECT_FLOAT_EQ(rec.Acc(3, 1), 0);
  EXPECT_FLOAT_EQ(rec.Acc(4, 2), 6);  // empty fields are not produced
}

TEST(JmaAc, NotThisFormatIsRefusedSilently) {
  for (const std::string& text :
       {JmaAcText("1", "0Hz", "NS EW UD", {"1 2 3"}),
        ReplaceAll(JmaAcText("1", "100Hz", "NS EW UD", {"1 2 3"}), "SAMPLING", "RATE"),
        JmaAcText("1", "100Hz", "NS EW UD", {}), std::string(" SITE= 12\n")}) {
    TempDir dir;
    std::string path = dir.Write("n.txt", text);
    StrongRecord rec;
    ScriptedUi ui;
    EXPECT_FALSE(ReportRead(ReadJmaAc(path, rec, ui), ui));
    EXPECT_TRUE(ui.messages.empty()) << ui.OnlyMessage();
  }
}

TEST(JmaAc, UnreadableValuesEndInTheReadErrorBox) {
  for (const std::string& text :
       {JmaAcText("1", "100Hz", "NS EW UD", {"1 2 x"}), JmaAcText("1", "fast", "NS EW UD", {"1 2 3"})}) {
    TempDir dir;
    std::string path = dir.Write("u.txt", text);
    StrongRecord rec;
    ScriptedUi ui;
    EXPECT_FALSE(ReportRead(ReadJmaAc(path, rec, ui), ui));
    ExpectReadError(ui, path, "ReadJmaAc", 13, text);
  }
}

// ---- TRH binary recorder file ----

std::string TrhHeader(int64_t total) {
  std::string h(259, ' ');
  h.replace(0, 4, "TRH(");
  h.replace(9, 6, "960117");
  h.replace(25, 6, "054630");
  h.replace(121, 6, "KOBE  ");
  h.replace(137, 6, "35.100");
  h.replace(153, 6, " 135.2");
  h[256] = static_cast<char>((total >> 16) & 0xFF);
  h[257] = static_cast<char>((total >> 8) & 0xFF);
  h[258] = static_cast<char>(total & 0xFF);
  return h;
}

void PutI16(std::string& s, int v) {
  s += static_cast<char>((v >> 8) & 0xFF);
  s += static_cast<char>(v & 0xFF);
}

const std::string kInterruption = std::string("\x7F\xFF\x7F\xFF", 4) + std::string(8, '\x55');

// `slots` six-byte step slots; the samples of step i are i, -i, 2i (channels 1-3), and
// recorder blocks are inserted before the given steps.
std::string TrhFile(int slots, const std::vector<int>& blocksBefore, int64_t total = -1) {
  if (total < 0) total = 259 + 6 * static_cast<int64_t>(slots);
  std::string body;
  int steps = slots - 6 * (slots / 500 + 1);
  for (int i = 1; i <= steps; ++i) {
    for (int b : blocksBefore)
      if (b == i) body += kInterruption;
    PutI16(body, i);
    PutI16(body, -i);
    PutI16(body, 2 * i);
  }
  body.resize(static_cast<std::size_t>(6 * slots), '\0');
  return TrhHeader(total) + body;
}

TEST(Trh, HeaderSamplesAndRecorderBlocks) {
  TempDir dir;
  std::string path = dir.Write("EQ001.kbe", TrhFile(1000, {1, 10, 600}));
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadTRH(path, rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.DataCount, 1000 - 6 * 3);
  EXPECT_EQ(rec.ChanCount, 3);
  EXPECT_EQ(rec.SampFreq, 50);
  EXPECT_EQ(rec.RecDate, "1996/01/17");
  EXPECT_EQ(rec.RecTime, "05:46:30");
  EXPECT_EQ(rec.SiteName, "KOBE");
  EXPECT_EQ(rec.SiteCode, "KBE");
  EXPECT_EQ(rec.SiteLat, "35.1");
  EXPECT_EQ(rec.SiteLong, "135.2");
  EXPECT_EQ(rec.Label(1), "E-W");
  EXPECT_EQ(rec.Label(2), "N-S");
  EXPECT_EQ(rec.Label(3), "U-D");
  for (int ch = 1; ch <= 3; ++ch) EXPECT_FLOAT_EQ(rec.Coef(ch), 0.0299f);
  for (int i : {1, 9, 10, 11, 599, 600, 982}) {
    EXPECT_EQ(rec.Acc(i, 1), static_cast<float>(i) * 0.0299f) << i;
    EXPECT_EQ(rec.Acc(i, 2), static_cast<float>(-i) * 0.0299f) << i;
    EXPECT_EQ(rec.Acc(i, 3), static_cast<float>(2 * i) * 0.0299f) << i;
  }
  EXPECT_EQ(rec.PeakStep(3), 982);
}

TEST(Trh, StepCountFollowsTheLengthField) {
  struct Case {
    int slots;
    int32_t steps;
  } cases[] = {{7, 1}, {499, 493}, {500, 488}, {1500, 1476}};
  for (const auto& c : cases) {
    TempDir dir;
    std::string path =
        dir.Write("c.trh", TrhFile(c.slots, {}) + std::string(40, '\0'));  // bytes past the length
    StrongRecord rec;
    ScriptedUi ui;
    ASSERT_TRUE(ReportRead(ReadTRH(path, rec, ui), ui)) << c.slots << ui.OnlyMessage();
    EXPECT_EQ(rec.DataCount, c.steps) << c.slots;
  }
}

TEST(Trh, MalformedFilesEndInTheReadErrorBox) {
  std::string manyBlocks = TrhHeader(259 + 6 * 20);
  for (int i = 0; i < 10; ++i) manyBlocks += kInterruption;
  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"length field beyond the file", TrhFile(100, {}, 259 + 6 * 100 + 1)},
      {"length field below the header", TrhFile(100, {}, 100)},
      {"too short for one step", TrhFile(6, {})},
      {"header cut short", TrhHeader(300).substr(0, 200)},
      {"recorder blocks run past the length", manyBlocks},
      {"empty", ""},
  };
  for (const auto& c : cases) {
    TempDir dir;
    std::string path = dir.Write("m.trh", c.bytes);
    StrongRecord rec;
    ScriptedUi ui;
    EXPECT_FALSE(ReportRead(ReadTRH(path, rec, ui), ui)) << c.what;
    ExpectReadError(ui, path, "ReadTRH", 62, c.what);
  }
}

// ---- Through the read dispatcher ----

TEST(JmaDispatch, EachFormatIsDetectedAndFinished) {
  SKIP_WITHOUT_CALC("SIJMA10");
  SKIP_WITHOUT_CALC("GETPEAK");
  TempDir dir;
  WriteMinute(dir, "K100", 0);
  struct Case {
    std::string path;
    int32_t format;
    std::string filePath;
  } cases[] = {
      {dir.File("K100.aew"), FormatJma95a, dir.File("K100")},
      {dir.Write("ST1230.abc", Jma95bText(0)), FormatJma95b, dir.File("ST1230.abc")},
      {dir.Write("jma.txt", JmaAcText("47A", "100Hz", "NS EW UD", {"1 2 3", "4 5 6"})), FormatJmaAc,
       dir.File("jma.txt")},
      {dir.Write("q.trh", TrhFile(100, {5})), FormatTrh, dir.File("q.trh")},
  };
  for (const auto& c : cases) {
    StrongRecord rec;
    ScriptedUi ui;
    ASSERT_TRUE(ReportRead(ReadFinishedRecord(c.path, rec, ui), ui)) << c.path << ui.OnlyMessage();
    EXPECT_EQ(rec.FileFormat, c.format) << c.path;
    EXPECT_EQ(rec.FilePath, c.filePath);
    EXPECT_EQ(rec.FileSize, static_cast<int64_t>(std::filesystem::file_size(c.path)));
    EXPECT_EQ(rec.JmaGroup, 1) << c.path;
    EXPECT_EQ(rec.DataCapacity(), rec.DataCount);
    float peak = std::max({std::fabs(rec.Peak(1)), std::fabs(rec.Peak(2)), std::fabs(rec.Peak(3))});
    EXPECT_FLOAT_EQ(rec.PeakAcc, peak) << c.path;
  }
}

TEST(JmaRobustness, CutOrFlippedFilesAreSafe) {
  ExpectCutsAndFlipsAreSafe(ReadJMA95b, "ST1200.abc", Jma95bText(0, "960117", "054600", 1), 397);
  ExpectCutsAndFlipsAreSafe(ReadTRH, "t.trh", TrhFile(40, {3}), 1);
  ExpectCutsAndFlipsAreSafe(ReadJmaAc, "a.txt", JmaAcText("47A", "100Hz", "NS EW UD", {"1 2 3", "4 5 6"}), 1,
                            true);
  TempDir minute;
  minute.Write("F0.ans", Jma95aText("NS", 0));
  minute.Write("F0.aud", Jma95aText("UD", 0));
  std::string aew = Jma95aText("EW", 0);
  auto readThroughNs = [&](const std::string& path, StrongRecord& rec, UserInterface& ui) {
    // The damaged file is the east-west component of a complete minute.
    std::filesystem::copy_file(path, minute.File("F0.aew"),
                               std::filesystem::copy_options::overwrite_existing);
    return ReportRead(ReadJMA95a(minute.File("F0.ans"), rec, ui), ui);
  };
  ExpectCutsAndFlipsAreSafe(readThroughNs, "e.aew", aew.substr(0, 400) + aew.substr(aew.size() - 300), 7);
}

}  // namespace
}  // namespace sism
