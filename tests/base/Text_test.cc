#include "base/Text.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

TEST(TextTest, TrimsBlanksOnly) {
  EXPECT_EQ(TrimSpaces("  ABC  "), "ABC");
  EXPECT_EQ(TrimSpaces("\tABC\n"), "\tABC\n");
  EXPECT_EQ(TrimSpaces("   "), "");
  EXPECT_EQ(TrimLeadingSpaces("  a b "), "a b ");
}

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
  EXPECT_EQ(UpperCase("\xff"
                      "a\xc3"),
            "\xff"
            "A\xc3");  // invalid bytes pass through
}

TEST(TextTest, ComparesIgnoringCase) {
  EXPECT_EQ(CompareTextIgnoreCase("A", "b"), -1);
  EXPECT_EQ(CompareTextIgnoreCase("b", "A"), 1);
  EXPECT_EQ(CompareTextIgnoreCase("ÉCOLE", "école"), 0);
  EXPECT_EQ(CompareTextIgnoreCase("ab", "AB c"), -1);
}

}  // namespace
}  // namespace quillon
