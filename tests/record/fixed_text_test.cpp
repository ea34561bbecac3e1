#include "record/fixed_text.h"

#include <gtest/gtest.h>

#include "common/errors.h"

namespace sism {
namespace {

struct FormatCase {
  const char* text;
  int32_t perLine;
  int32_t width;
};

TEST(FortranFormat, ReadsCountAndWidthOfTheDescriptor) {
  const FormatCase cases[] = {
      {"(10I8)", 10, 8},     {"Format= (5F15.6)", 5, 15}, {"FORMAT=(1E15.6)", 1, 15},
      {"(8f9.6)", 8, 9},     {"(F10.3)", 1, 10},          {"( 6F13.6 )", 6, 13},
      {"(1P5E15.6)", 5, 15}, {"(1P,8E12.4)", 8, 12},      {"(4G16.7)", 4, 16},
  };
  for (const auto& c : cases) {
    FieldLayout l = ParseFortranFormat(c.text);
    EXPECT_EQ(l.perLine, c.perLine) << c.text;
    EXPECT_EQ(l.width, c.width) << c.text;
  }
}

TEST(FortranFormat, RefusesTextsThatAreNoLayout) {
  for (const char* text :
       {"8F10.3", "", "(", "()", "(8X10)", "(8F)", "(0F10.2)", "(8F0.2)", "(99999999F10.2)"}) {
    try {
      ParseFortranFormat(text);
      ADD_FAILURE() << "accepted " << text;
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.Number(), ErrTypeMismatch) << text;
    }
  }
  EXPECT_THROW(ParseFortranFormat("(8I10)", true), RuntimeError);
}

TEST(FixedValues, ReadsAcrossLinesAndKeepsOnlyTheFirstValues) {
  TextFile in = TextFile::FromText("  1.0  2.0  3.0\n  4.0  5.0\nnext\n");
  float out[3] = {};
  ReadFixedValues(in, {3, 5}, 5, 2.0f, out, 3, "/&");
  EXPECT_FLOAT_EQ(out[0], 2.0f);
  EXPECT_FLOAT_EQ(out[2], 6.0f);
  EXPECT_EQ(in.ReadLine(), "next");
}

TEST(FixedValues, AnEndLineOrTheFileEndBeforeTheCountIsAnError) {
  float out[8] = {};
  TextFile early = TextFile::FromText("  1.0  2.0\n/& end\n  3.0\n");
  try {
    ReadFixedValues(early, {2, 5}, 3, 1.0f, out, 3, "/&");
    ADD_FAILURE();
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Number(), ErrInputPastEnd);
  }
  TextFile shortFile = TextFile::FromText("  1.0  2.0\n");
  EXPECT_THROW(ReadFixedValues(shortFile, {2, 5}, 4, 1.0f, out, 4, ""), RuntimeError);
  TextFile blank = TextFile::FromText("  1.0     \n");
  EXPECT_THROW(ReadFixedValues(blank, {2, 5}, 2, 1.0f, out, 2, ""), RuntimeError);
  // A count beyond the file's size is refused before any line is read.
  TextFile lying = TextFile::FromText("  1.0\n");
  EXPECT_THROW(ReadFixedValues(lying, {1, 5}, 2000000000, 1.0f, out, 0, ""), RuntimeError);
  EXPECT_EQ(lying.Position(), 0u);
}

TEST(FixedValues, RateFromIntervalRoundsHalvesToEven) {
  EXPECT_EQ(RateFromInterval(0.005), 200);
  EXPECT_EQ(RateFromInterval(1.0 / 2.5), 2);
  EXPECT_EQ(RateFromInterval(1.0 / 3.5), 4);
  EXPECT_THROW(RateFromInterval(0), RuntimeError);
  EXPECT_THROW(RateFromInterval(-0.01), RuntimeError);
  EXPECT_THROW(RateFromInterval(5.0), RuntimeError);
}

}  // namespace
}  // namespace sism
