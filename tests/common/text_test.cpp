#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "common/errors.h"
#include "common/path.h"
#include "common/text.h"

namespace sism {
namespace {

struct FormatCase {
  double value;
  const char* format;
  const char* expected;
};

TEST(FormatNumber, FormatsAsTheProgramShowsNumbers) {
  const FormatCase cases[] = {
      {0.0, "0.000", "0.000"},
      {-287.0625, "0.000", "-287.063"},  // halves away from zero
      {2.5, "0", "3"},
      {-0.0004, "0.000", "0.000"},  // no sign on a value that rounds to zero
      {1.0, "#0.####", "1."},       // the format leaves its point
      {0.12345, "#0.####", "0.1235"},
      {20.0, "#0.####", "20."},
      {5.25, " #0.0", " 5.3"},
      {30000.0, "#,#", "30,000"},
      {1234567.0, "#,#", "1,234,567"},
      {999.0, "#,#", "999"},
      {7.0, "00", "07"},
      {45.0, "000", "045"},
      {3.0, "0000", "0003"},
      {0.0, "0.00e+0", "0.00e+0"},
      {12345.0, "0.00e+0", "1.23e+4"},
      {0.000123, "0.0000e+00", "1.2300e-04"},
      {-98765.4, "0.0000e+00", "-9.8765e+04"},
      {9.99996, "0.0000e+00", "1.0000e+01"},  // rounding carries into the exponent
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatNumber(c.value, c.format), c.expected) << c.value << " " << c.format;
}

TEST(FormatNumber, FloatsPrintAsTheNumberTheyWereWrittenFrom) {
  // 0.1235f is slightly below 0.1235 in binary; the written number rounds up.
  EXPECT_EQ(FormatNumber(0.1235f, "0.000"), "0.124");
  EXPECT_EQ(FormatNumber(1.005f, "0.00"), "1.01");
  EXPECT_EQ(FormatNumber(int32_t{-42}, "0000"), "-0042");
  EXPECT_EQ(FormatNumber(int64_t{30000}, "#,#"), "30,000");
}

TEST(TextToNumber, AcceptsNumbersWithBlanksAndRefusesText) {
  EXPECT_DOUBLE_EQ(ToDouble("  -1.5e2 "), -150.0);
  EXPECT_DOUBLE_EQ(ToDouble("+.5"), 0.5);
  EXPECT_DOUBLE_EQ(ToDouble("1.0D3"), 1000.0);
  EXPECT_DOUBLE_EQ(ToDouble("7."), 7.0);
  for (const char* bad : {"", "   ", "abc", "1.2.3", "12abc", "1e", "-", "."}) {
    EXPECT_FALSE(IsNumeric(bad)) << bad;
    try {
      ToDouble(bad);
      ADD_FAILURE() << bad;
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.Number(), ErrTypeMismatch) << bad;
    }
  }
  EXPECT_THROW(ToSingle("1e40"), RuntimeError);
  EXPECT_EQ(ToLong("2.5"), 2);  // halves to even
  EXPECT_EQ(ToLong("3.5"), 4);
  EXPECT_EQ(ToLong("-2.5"), -2);
  EXPECT_THROW(ToLong("3e9"), RuntimeError);
}

// The conversion reads the text where it lies; its value is the correctly rounded one that
// strtod gives, for every form the readers meet.
TEST(TextToNumber, AgreesWithStrtodInEveryForm) {
  std::mt19937 gen(5);
  std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
  std::uniform_int_distribution<int> exponent(-40, 40), digits(0, 17), form(0, 3);
  char text[64];
  for (int i = 0; i < 20000; ++i) {
    const double v = mantissa(gen) * std::pow(10.0, exponent(gen) % 37);
    const int d = digits(gen);
    switch (form(gen)) {
      case 0: std::snprintf(text, sizeof text, "%.*f", d % 9, v); break;
      case 1: std::snprintf(text, sizeof text, " %.*e", d, v); break;
      case 2: std::snprintf(text, sizeof text, "%.*E\r", d, v); break;
      default: std::snprintf(text, sizeof text, "\t%.*g ", d, v); break;
    }
    const double expected = std::strtod(text, nullptr);
    ASSERT_EQ(ToDouble(text), expected) << text;
    ASSERT_EQ(ToSingle(text), static_cast<float>(expected)) << text;
  }
  EXPECT_EQ(ToDouble("+12.5"), 12.5);
  EXPECT_EQ(ToDouble("-1.25D-2"), -0.0125);
  EXPECT_EQ(ToDouble("2.5d+3"), 2500.0);
  EXPECT_TRUE(std::signbit(ToDouble("-0")));
  EXPECT_EQ(ToDouble("000123.4500"), 123.45);
  // Underflow reads as zero, overflow is an error.
  EXPECT_EQ(ToDouble("1e-400"), 0.0);
  EXPECT_EQ(ToDouble("-4.9D-999"), 0.0);
  try {
    ToDouble("1e400");
    ADD_FAILURE();
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Number(), ErrOverflow);
  }
  for (const char* bad : {"1 2", "+-1", "1e+", "1d", "--1", "1e5.5", "0x10", "inf", "nan", "1,5"}) {
    EXPECT_FALSE(IsNumeric(bad)) << bad;
    EXPECT_THROW(ToDouble(bad), RuntimeError) << bad;
  }
}

TEST(Text, SplitKeepsEmptyParts) {
  EXPECT_EQ(Split("a,,b,", ","), (std::vector<std::string>{"a", "", "b", ""}));
  EXPECT_EQ(Split("", ","), (std::vector<std::string>{""}));
  EXPECT_EQ(Split("1::2", "::"), (std::vector<std::string>{"1", "2"}));
}

TEST(TextToNumber, ValReadsTheLeadingNumber) {
  EXPECT_DOUBLE_EQ(Val("  12 34abc"), 1234.0);
  EXPECT_DOUBLE_EQ(Val("-3.5e1x"), -35.0);
  EXPECT_DOUBLE_EQ(Val("abc"), 0.0);
  EXPECT_DOUBLE_EQ(Val("1e"), 1.0);
}

TEST(Text, FixedColumnsAndAlignment) {
  EXPECT_EQ(Mid("abcdef", 2, 3), "bcd");
  EXPECT_EQ(Mid("abc", 3, 10), "c");
  EXPECT_EQ(Mid("abc", 4, 1), "");
  EXPECT_EQ(Mid("abc", 0, 1), "");
  EXPECT_EQ(AlignRight("12", 4), "  12");
  EXPECT_EQ(AlignRight("123456", 4), "3456");  // a longer text loses its leading characters
  EXPECT_EQ(PadRight("ab", 4), "ab  ");
  EXPECT_EQ(PadRight("abcdef", 4), "abcdef");
  EXPECT_EQ(Trim("  a b \t"), "a b \t");  // blanks only
  EXPECT_EQ(TrimSpace(" \ta b\r\n"), "a b");
  EXPECT_EQ(Split("1:1:0.5", ":").size(), 3u);
  EXPECT_EQ(Split("", ":").size(), 1u);
}

TEST(Escapes, LineBreaksAndTabsOnOneLine) {
  EXPECT_EQ(EncodeEscapes("line 1\r\nline 2\tend"), "line 1\\nline 2\\tend");
  EXPECT_EQ(EncodeEscapes("a\nb\rc\r\n"), "a\\nb\\nc\\n");
  EXPECT_EQ(DecodeEscapes("line 1\\nline 2\\tend"), "line 1\r\nline 2\tend");
  EXPECT_EQ(DecodeEscapes(EncodeEscapes("%d %t\r\nSite %c")), "%d %t\r\nSite %c");
  EXPECT_EQ(DecodeEscapes("\\N\\T"), "\r\n\t");
  EXPECT_EQ(EncodeEscapes(""), "");
  EXPECT_EQ(DecodeEscapes(""), "");
}

TEST(Escapes, BackslashesAreStoredAsTheyAre) {
  // A backslash is stored as it is, so a one-line text reads the same in the file; read
  // back, a backslash before another character is lost.
  EXPECT_EQ(EncodeEscapes("C:\\data"), "C:\\data");
  EXPECT_EQ(EncodeEscapes("C:\\data\r\nx\ty\rz\n"), "C:\\data\\nx\\ty\\nz\\n");
  EXPECT_EQ(DecodeEscapes("C:\\data\\x"), "C:datax");
  EXPECT_EQ(DecodeEscapes("trailing\\"), "trailing");
  EXPECT_EQ(DecodeEscapes("\\\\"), "\\");
}

TEST(SplitPath, FolderNameAndExtension) {
  struct Case {
    const char* path;
    const char* folder;
    const char* name;
    const char* ext;
  } cases[] = {
      {"/data/knet/AOM0011801241951.EW", "/data/knet/", "AOM0011801241951", ".EW"},
      {"record.ac", "", "record", ".ac"},
      {".profile", "", ".profile", ""},  // a dot in the first position is no extension
      {"/a.b/noext", "/a.b/", "noext", ""},
      {"/data/", "/data/", "", ""},
      {"", "", "", ""},
  };
  for (const auto& c : cases) {
    PathParts p = SplitPath(c.path);
    EXPECT_EQ(p.folder, c.folder) << c.path;
    EXPECT_EQ(p.name, c.name) << c.path;
    EXPECT_EQ(p.ext, c.ext) << c.path;
  }
}

}  // namespace
}  // namespace sism
