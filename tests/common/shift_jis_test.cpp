#include <gtest/gtest.h>

#include <string>

#include "common/shift_jis.h"

namespace sism {
namespace {

const std::string kReplacement = "\xEF\xBF\xBD";

TEST(ShiftJisToUtf8, JapaneseAndAsciiText) {
  const struct {
    const char* what;
    std::string bytes, utf8;
  } cases[] = {
      {"a city and ward", "\x8C\x46\x96\x7B\x8E\x73\x92\x86\x89\x9B\x8B\xE6", "熊本市中央区"},
      {"code and name", "47A \x93\x8C\x8B\x9E", "47A 東京"},
      // Windows' code page: NEC and IBM extensions, and 0x5C and 0x7E stay ASCII.
      {"extensions of code page 932", "\xFB\xFC\x8B\xB4\x87\x40", "髙橋①"},
      {"backslash and tilde", "a\\b~", "a\\b~"},
      {"half-width katakana", "\xB6\xC0", "ｶﾀ"},
      {"empty", "", ""},
      {"NUL kept", std::string("a\0b", 3), std::string("a\0b", 3)},
  };
  for (const auto& c : cases) EXPECT_EQ(ShiftJisToUtf8(c.bytes), c.utf8) << c.what;
}

TEST(ShiftJisToUtf8, InvalidBytesBecomeReplacementsAndNothingIsLost) {
  const struct {
    const char* what;
    std::string bytes, utf8;
  } cases[] = {
      {"a lead byte at the end", "\x93\x8C\x8B", "東" + kReplacement},
      {"a lead byte before a blank", "\x93 x", kReplacement + " x"},
      {"bytes that start no character", "\xA0\xFD\xFE\xFFok",
       kReplacement + kReplacement + kReplacement + kReplacement + "ok"},
      {"a lead byte without its second byte", "\x93\x8C\x81 \x8B\x9E", "東" + kReplacement + " 京"},
      {"a code without a character", "\x85\x40x", kReplacement + "@x"},
  };
  for (const auto& c : cases) EXPECT_EQ(ShiftJisToUtf8(c.bytes), c.utf8) << c.what;
}

TEST(Utf8ToShiftJis, RoundTripsAndRefusals) {
  std::string out;
  const std::string name = "\x8C\x46\x96\x7B\x8E\x73\x92\x86\x89\x9B\x8B\xE6";
  ASSERT_TRUE(Utf8ToShiftJis(ShiftJisToUtf8(name), out));
  EXPECT_EQ(out, name);
  ASSERT_TRUE(Utf8ToShiftJis("NS", out));
  EXPECT_EQ(out, "NS");
  // Characters code page 932 lacks, and bytes that are no UTF-8.
  EXPECT_FALSE(Utf8ToShiftJis("Tōkyō", out));
  EXPECT_TRUE(out.empty());
  EXPECT_FALSE(Utf8ToShiftJis("caf\xE9", out));
  EXPECT_FALSE(Utf8ToShiftJis("\xF0\x9F\x98\x80", out));
}

}  // namespace
}  // namespace sism
