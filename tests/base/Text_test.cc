#include "base/Text.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace quillon {
namespace {

TEST(TextTest, MapsCaseBeyondAscii) {
  struct Case {
    const char* text;
    const char* upper;
    const char* lower;
  } cases[] = {
      {"abc", "ABC", "abc"},
      {"Straße", "STRAßE", "straße"},  // ß has no single capital
      {"ελληνικά", "ΕΛΛΗΝΙΚΆ", "ελληνικά"},
      {"Ünïcödé", "ÜNÏCÖDÉ", "ünïcödé"},
      {"עברית", "עברית", "עברית"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UpperCase(c.text), c.upper) << c.text;
    EXPECT_EQ(LowerCase(c.text), c.lower) << c.text;
  }
  EXPECT_EQ(UpperCase("\377a\303"), "\377A\303");  // invalid bytes pass through
}

TEST(TextTest, TrimsBlanksOnly) {
  EXPECT_EQ(TrimSpaces("  ABC  "), "ABC");
  EXPECT_EQ(TrimSpaces("\tABC\n"), "\tABC\n");
  EXPECT_EQ(TrimSpaces("   "), "");
  EXPECT_EQ(TrimLeadingSpaces("  a b "), "a b ");
}

TEST(TextTest, ComparesIgnoringCase) {
  EXPECT_EQ(CompareTextIgnoreCase("A", "b"), -1);
  EXPECT_EQ(CompareTextIgnoreCase("b", "A"), 1);
  EXPECT_EQ(CompareTextIgnoreCase("ÉCOLE", "école"), 0);
  EXPECT_EQ(CompareTextIgnoreCase("ab", "AB c"), -1);
}

TEST(TextTest, DisplayWidthCountsTerminalColumns) {
  struct Case {
    const char* text;
    size_t width;
  } cases[] = {
      {"", 0},
      {"FFT", 3},
      {"עברית", 5},
      {"日本", 4},          // wide
      {"ｱｲ", 2},            // half-width katakana stay narrow
      {"😀", 2},             // emoji
      {"e\u0301", 1},       // a combining accent takes no column
      {"\u05e9\u05c1", 1},  // nor a Hebrew point
      {"a\u200db", 2},      // nor a joiner
      {"\xff\xfe", 2},      // each invalid byte takes one
  };
  for (const Case& c : cases) EXPECT_EQ(DisplayWidth(c.text), c.width) << c.text;
}

TEST(TextTest, FindsIgnoringAsciiCaseOnly) {
  struct Case {
    const char* haystack;
    const char* needle;
    size_t at;
  } cases[] = {
      {"<ABB>x</abb>", "</ABB>", 6},
      {"x<TeXt>", "<text>", 1},
      {"<ÄBB>", "<äbb>", std::string_view::npos},  // letters beyond ASCII compare exactly
      {"<ab", "<abb>", std::string_view::npos},
      {"<a<abb>", "<ABB>", 2},
      {"", "<", std::string_view::npos},
  };
  for (const Case& c : cases) EXPECT_EQ(FindIgnoringAsciiCase(c.haystack, c.needle), c.at);
}

TEST(TextTest, ClassifiesLettersInEveryScript) {
  EXPECT_TRUE(IsLetterOrDigit('a'));
  EXPECT_TRUE(IsLetterOrDigit('7'));
  EXPECT_TRUE(IsLetterOrDigit(0xE9));    // é
  EXPECT_TRUE(IsLetterOrDigit(0x05D0));  // Hebrew alef
  EXPECT_FALSE(IsLetterOrDigit('-'));
  EXPECT_FALSE(IsLetterOrDigit(0x2019));  // right single quotation mark
  EXPECT_FALSE(IsLetterOrDigit(-1));
  EXPECT_TRUE(IsCapitalLetter('Q'));
  EXPECT_TRUE(IsCapitalLetter(0xC9));  // É
  EXPECT_FALSE(IsCapitalLetter('q'));
  EXPECT_FALSE(IsCapitalLetter(0x05D0));
}

}  // namespace
}  // namespace quillon
