#include "sqlitedb/text_scanning.h"

#include <gtest/gtest.h>

#include "support/code_page_scope.h"

namespace tabulor {
namespace {

using testing::CodePageScope;

struct CharacterCase {
  const char* codePage;
  std::string text;
  std::size_t pos;
  std::size_t length;
};

TEST(CharacterLength, StepsOverWholeCharactersOfTheProgramCodePage) {
  const CharacterCase cases[] = {
      {"UTF-8", "a", 0, 1},
      {"UTF-8", "中a", 0, 3},
      {"UTF-8", "a\U0001F600", 1, 4},
      {"UTF-8",
       "\xE4\xB8"
       "a",
       0, 2},  // cut-off sequence does not swallow the ASCII after it
      {"UTF-8", "\xE4\r\n", 0, 1},
      {"UTF-8",
       "\x80"
       "a",
       0, 1},  // stray continuation byte
      {"GBK",
       "\xD6\xD0"
       "a",
       0, 2},                                 // 中
      {"GBK", "\x81\x40", 0, 2},              // trail byte in the ASCII range
      {"GBK", "\x81\r\n", 0, 2},              // a lead byte takes whatever follows
      {"GBK", "a\xD6", 1, 1},                 // lead byte at the very end
      {"GB18030", "\x94\x39\xFC\x36", 0, 4},  // four-byte form
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.codePage << " case " << (&c - cases));
    CodePageScope page(c.codePage);
    EXPECT_EQ(characterLength(c.text, c.pos), c.length);
  }
}

struct TrimCase {
  const char* codePage;
  std::string text;
  std::string trimmed;
};

TEST(TrimBlanks, RemovesAsciiAndFullWidthBlanksOnly) {
  const TrimCase cases[] = {
      {"UTF-8", "", ""},
      {"UTF-8", "   ", ""},
      {"UTF-8", "  a b  ", "a b"},
      {"UTF-8", "\xE3\x80\x80 x\xE3\x80\x80", "x"},
      {"UTF-8", "\tx\r\n", "\tx\r\n"},
      {"UTF-8", " \r\n x ", "\r\n x"},
      {"UTF-8", "\xA1\xA1x", "\xA1\xA1x"},  // the GBK blank means nothing in UTF-8
      {"GBK", "\xA1\xA1 x \xA1\xA1", "x"},
      {"GBK", "\xE3\x80\x80x", "\xE3\x80\x80x"},
      {"GBK", "\xB0\xA1\xA1\xA1", "\xB0\xA1"},  // 啊 then a full-width blank
      // A lone lead byte after a blank: the last two bytes are A1 A1 but are no blank.
      {"GBK", "a\xA1\xA1\xA1", "a\xA1\xA1\xA1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.codePage << " case " << (&c - cases));
    CodePageScope page(c.codePage);
    EXPECT_EQ(trimBlanks(c.text), c.trimmed);
  }
}

TEST(FindText, OneBasedPositionsFromAStartWithOptionalCaseFolding) {
  CodePageScope page("UTF-8");
  struct Case {
    std::string text, pattern;
    int from;
    bool ignoreCase;
    int position;
  } cases[] = {
      {"CREATE VIEW v AS SELECT", " view ", 1, true, 7},
      {"CREATE VIEW v AS SELECT", " view ", 1, false, -1},
      {"abcabc", "abc", 2, false, 4},
      {"abcabc", "abc", 5, false, -1},
      {"abc", "", 1, false, -1},
      {"视图 AS x", " as ", 1, true, 7},
      {"视图视图", "图", 2, false, 4},
  };
  for (const Case& c : cases)
    EXPECT_EQ(findText(c.text, c.pattern, c.from, c.ignoreCase), c.position)
        << c.text << " / " << c.pattern;
}

TEST(FindText, NeverMatchesTheSecondByteOfAGbkCharacter) {
  CodePageScope page("GBK");
  // 81 56 is one character whose second byte is the letter V.
  EXPECT_EQ(findText("\x81\x56v", "v", 1, true), 3);
  EXPECT_EQ(findText("\x81\x56v", "\x56", 1, false), -1);
  EXPECT_EQ(findText("a\x81\x56", "\x81\x56", 1, false), 2);
}

// 81 41 and 81 61 are two different characters whose second bytes are "A" and "a".
TEST(EqualsIgnoringAsciiCase, FoldsAsciiLettersAndComparesTwoByteCharactersAsTheyAre) {
  CodePageScope page("GBK");
  struct Case {
    const char* a;
    const char* b;
    bool equal;
    bool startsWith;  // whether a starts with b
  };
  const Case cases[] = {
      {"Name", "nAME", true, true},           {"\x81\x41", "\x81\x61", false, false},
      {"\x81\x41x", "\x81\x41X", true, true}, {"\x81\x41x", "\x81\x41", false, true},
      {"\x81\x41", "\x81", false, false},     {"abc", "abcd", false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(equalsIgnoringAsciiCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
    EXPECT_EQ(startsWithIgnoringAsciiCase(c.a, c.b), c.startsWith) << c.a << " / " << c.b;
  }
}

TEST(ProgramText, ConvertsSourceLiteralsToTheCodePage) {
  {
    CodePageScope page("GBK");
    EXPECT_EQ(programTextFromUtf8("表"), "\xB1\xED");
  }
  EXPECT_EQ(programTextFromUtf8("表"), "表");
}

}  // namespace
}  // namespace tabulor
