#include "sqlitedb/codepage.h"

#include <gtest/gtest.h>

#include "support/code_page_scope.h"

namespace tabulor {
namespace {

class CodePageTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(setProgramCodePage("UTF-8")); }
  void TearDown() override { setProgramCodePage("UTF-8"); }
};

struct Utf8Case {
  const char* label;
  std::string bytes;
  bool valid;
};

TEST_F(CodePageTest, FromUtf8AcceptsExactlyStandardUtf8) {
  const Utf8Case cases[] = {
      {"ascii", "select 1", true},
      {"two-byte", "caf\xC3\xA9", true},
      {"three-byte chinese", "\xE4\xB8\xAD\xE6\x96\x87", true},
      {"four-byte emoji", "\xF0\x9F\x98\x80", true},
      {"highest code point", "\xF4\x8F\xBF\xBF", true},
      {"stray continuation", "a\x80", false},
      {"overlong slash", "\xC0\xAF", false},
      {"overlong three-byte", "\xE0\x80\xAF", false},
      {"utf-16 surrogate half", "\xED\xA0\x80", false},
      {"cut at end", "\xE4\xB8", false},
      {"continuation out of range", "\xE4\x41\x41", false},
      {"above U+10FFFF", "\xF4\x90\x80\x80", false},
      {"invalid lead", "\xFF", false},
      {"latin-1 text", "caf\xE9", false},
  };
  for (const auto& c : cases) {
    const auto converted = fromUtf8(c.bytes);
    EXPECT_EQ(converted.has_value(), c.valid) << c.label;
    if (c.valid) {
      EXPECT_EQ(*converted, c.bytes) << c.label;
    }
    EXPECT_EQ(toUtf8(c.bytes).has_value(), c.valid) << c.label;
  }
}

TEST_F(CodePageTest, ConversionStopsAtTheFirstZeroByte) {
  const std::string withZero("ab\0cd", 5);
  EXPECT_EQ(toUtf8(withZero), "ab");
  EXPECT_EQ(fromUtf8(withZero), "ab");
  EXPECT_EQ(toUtf8(""), "");
  EXPECT_EQ(fromUtf8(""), "");
}

TEST_F(CodePageTest, GbkTextConvertsBothWays) {
  ASSERT_TRUE(setProgramCodePage("GBK"));
  const std::string gbk = "\xD6\xD0\xCE\xC4 ok";  // 中文 ok
  const std::string utf8 = "\xE4\xB8\xAD\xE6\x96\x87 ok";
  EXPECT_EQ(toUtf8(gbk), utf8);
  EXPECT_EQ(fromUtf8(utf8), gbk);
  EXPECT_EQ(toUtf8("\xA1\xA1"), "\xE3\x80\x80");  // full-width blank
  EXPECT_FALSE(toUtf8("\xD6").has_value()) << "a lead byte cut off";
  EXPECT_FALSE(fromUtf8("\xF0\x9F\x98\x80").has_value()) << "GBK has no emoji";
  EXPECT_FALSE(fromUtf8("\xE4\xB8").has_value());
}

TEST_F(CodePageTest, CharactersOutsideTheBmpAreOneFourByteSequence) {
  ASSERT_TRUE(setProgramCodePage("GB18030"));
  const std::string emojiGb18030 = "\x94\x39\xFC\x36";  // U+1F600
  if (!testing::fourByteGb18030Offered()) GTEST_SKIP() << "no four-byte GB18030 on this system";
  EXPECT_EQ(toUtf8(emojiGb18030), "\xF0\x9F\x98\x80");
  EXPECT_EQ(fromUtf8("\xF0\x9F\x98\x80"), emojiGb18030);
}

TEST_F(CodePageTest, UnknownCodePageIsRefusedAndTheOldOneKept) {
  ASSERT_TRUE(setProgramCodePage("GBK"));
  EXPECT_FALSE(setProgramCodePage("NO-SUCH-CHARSET"));
  EXPECT_FALSE(setProgramCodePage(""));
  EXPECT_EQ(programCodePage(), "GBK");
  EXPECT_FALSE(programCodePageIsUtf8());
  EXPECT_EQ(fromUtf8("\xE4\xB8\xAD"), "\xD6\xD0");
}

// The engine quotes bytes of a damaged file in its messages: they are marked, and the
// rest of the message still reaches the user.
TEST_F(CodePageTest, EscapingConversionMarksOnlyWhatDoesNotConvert) {
  struct Case {
    const char* codePage;
    std::string utf8;
    std::string expected;
  };
  const Case cases[] = {
      {"UTF-8", "near \"TABLE\": syntax error", "near \"TABLE\": syntax error"},
      {"UTF-8", "near \"TA\xEFLE\": syntax error", "near \"TA\\xEFLE\": syntax error"},
      {"UTF-8", "\xE4\xB8\xAD\xE4\xB8x", "\xE4\xB8\xAD\\xE4\\xB8x"},
      {"UTF-8", "(\xE4\xB8)", "(\\xE4\\xB8)"},
      {"UTF-8", "\xC0\xAF\xFF", "\\xC0\\xAF\\xFF"},
      {"UTF-8", std::string("a\xFF\0b", 4), "a\\xFF"},
      {"UTF-8", "", ""},
      {"GBK", "\xE4\xB8\xAD\xEF!", "\xD6\xD0\\xEF!"},
      {"GBK", "\xE4\xB8\xAD\xF0\x9F\x98\x80", "\xD6\xD0\\xF0\\x9F\\x98\\x80"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(setProgramCodePage(c.codePage));
    EXPECT_EQ(fromUtf8Escaping(c.utf8), c.expected) << c.codePage << " " << c.utf8;
  }
}

TEST_F(CodePageTest, Utf8PrefixNeverSplitsACharacter) {
  const std::string text = "ab\xE4\xB8\xAD\xE6\x96\x87";  // ab中文
  EXPECT_EQ(utf8Prefix(text, 100), text);
  EXPECT_EQ(utf8Prefix(text, 5), "ab\xE4\xB8\xAD");
  EXPECT_EQ(utf8Prefix(text, 4), "ab");
  EXPECT_EQ(utf8Prefix(text, 3), "ab");
  EXPECT_EQ(utf8Prefix(text, 2), "ab");
}

}  // namespace
}  // namespace tabulor
