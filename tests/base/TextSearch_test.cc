#include "base/TextSearch.h"

#include <gtest/gtest.h>

#include <numeric>

#include "base/Utf8.h"

namespace quillon {
namespace {

struct SearchCase {
  std::string text, pattern;
  bool matchCase, wholeWord, forward;
  long first, last;  // first -1: no match
};

TEST(SearchShownText, FindsWhatAWordProcessorFinds) {
  const SearchCase cases[] = {
      {"a Quote and a quote", "quote", false, false, true, 2, 6},
      {"a Quote and a quote", "quote", true, false, true, 14, 18},
      {"a Quote and a quote", "quote", false, false, false, 14, 18},
      {"quoted quote", "quote", false, true, true, 7, 11},
      {"quoted", "quote", false, true, true, -1, -1},
      {"\xC3\x89T\xC3\x89 \xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9", false, false, true, 0, 2},
      {"short", "longer than it", false, false, true, -1, -1},
      {"anything", "", false, false, true, -1, -1}};
  for (const SearchCase& c : cases) {
    SCOPED_TRACE(c.text + " / " + c.pattern);
    std::u32string text = DecodeUtf8(c.text);
    std::vector<long> positions(text.size());
    std::iota(positions.begin(), positions.end(), 100L);
    std::optional<TextMatch> match = SearchShownText(text, positions, DecodeUtf8(c.pattern),
                                                     c.matchCase, c.wholeWord, c.forward);
    EXPECT_EQ(match ? std::pair(long(match->first), long(match->last)) : std::pair(-1L, -1L),
              std::pair(c.first, c.last));
  }
}

// A match over characters that do not stand side by side (a hidden field code
// between them) is no match: replacing it would cut the field.
TEST(SearchShownText, SkipsMatchesOverHiddenText) {
  std::u32string text = U"ab ab";
  std::vector<long> positions = {10, 20, 21, 22, 23};
  std::optional<TextMatch> match = SearchShownText(text, positions, U"ab", true, false, true);
  ASSERT_TRUE(match.has_value());
  EXPECT_EQ(std::pair(match->first, match->last), std::pair(size_t{3}, size_t{4}));
}

// The order a find searches in: the selection first, then onwards, then (wrapping) the rest.
TEST(SearchRegions, SelectionThenOnwardsThenWrapped) {
  using Regions = std::vector<std::pair<long, long>>;
  const struct {
    long start, end;
    bool forward, wrap;
    Regions expected;
  } cases[] = {
      {4, 4, true, false, {{4, 20}}},
      {4, 4, false, false, {{0, 4}}},
      {4, 4, true, true, {{4, 20}, {0, 4}}},
      {4, 4, false, true, {{0, 4}, {4, 20}}},
      {4, 9, true, false, {{4, 9}}},
      {4, 9, true, true, {{4, 9}, {9, 20}, {0, 4}}},
      {4, 9, false, true, {{4, 9}, {0, 4}, {9, 20}}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SearchRegions(c.start, c.end, 20, c.forward, c.wrap), c.expected)
        << c.start << "-" << c.end << " " << c.forward << c.wrap;
  }
}

}  // namespace
}  // namespace quillon
