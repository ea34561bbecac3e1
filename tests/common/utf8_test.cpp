// Texts of unknown encodings become valid UTF-8: UTF-8 stays, other bytes read as Latin-1.
#include <gtest/gtest.h>

#include "common/utf8.h"

namespace sism {
namespace {

TEST(Utf8, WellFormedTextStaysAndOtherBytesReadAsLatin1) {
  EXPECT_TRUE(IsUtf8("plain"));
  EXPECT_TRUE(IsUtf8("Valpara\xC3\xADso \xE6\x9D\xB1\xE4\xBA\xAC \xF0\x9F\x8C\x8D"));
  EXPECT_FALSE(IsUtf8("Valpara\xEDso"));     // Latin-1 i acute
  EXPECT_FALSE(IsUtf8("\xC3"));              // cut short
  EXPECT_FALSE(IsUtf8("\xC0\xAF"));          // overlong '/'
  EXPECT_FALSE(IsUtf8("\xED\xA0\x80"));      // a surrogate
  EXPECT_FALSE(IsUtf8("\xF4\x90\x80\x80"));  // beyond U+10FFFF
  EXPECT_EQ(AsUtf8("Valpara\xEDso"), "Valpara\xC3\xADso");
  EXPECT_EQ(AsUtf8("AYD\xFDN"), "AYD\xC3\xBDN");
  EXPECT_EQ(AsUtf8("Valpara\xC3\xADso"), "Valpara\xC3\xADso");
  EXPECT_EQ(ReplaceInvalidUtf8("a\xED\xA0\x80|\xC0\xAF|\xC3\xA9"),
            "a\uFFFD\uFFFD\uFFFD|\uFFFD\uFFFD|\xC3\xA9");
  EXPECT_EQ(Latin1ToUtf8(std::string("\x00\x7F\x80\xFF", 4)), std::string("\x00\x7F\xC2\x80\xC3\xBF", 6));
}

}  // namespace
}  // namespace sism
