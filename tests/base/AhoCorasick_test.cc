#include "base/AhoCorasick.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace quillon {
namespace {

using Found = std::tuple<size_t, size_t, std::string>;  // start, end, pattern

std::vector<Found> FindWith(const std::vector<std::string>& patterns, const std::string& text) {
  AhoCorasick matcher;
  for (const std::string& p : patterns) matcher.Add(p);
  std::vector<Found> found;
  for (const AhoCorasick::Match& m : matcher.FindAll(text)) {
    found.emplace_back(m.start, m.end, text.substr(m.start, m.end - m.start));
  }
  return found;
}

// Every occurrence of every pattern, found one pattern at a time, in the matcher's order.
std::vector<Found> FindNaively(const std::vector<std::string>& patterns, const std::string& text) {
  std::vector<Found> found;
  for (const std::string& p : patterns) {
    if (p.empty()) continue;
    for (size_t at = text.find(p); at != std::string::npos; at = text.find(p, at + 1)) {
      found.emplace_back(at, at + p.size(), p);
    }
  }
  // By end, longer first among equal ends; the same pattern twice is found once.
  std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
    return std::tie(std::get<1>(a), std::get<0>(a)) < std::tie(std::get<1>(b), std::get<0>(b));
  });
  found.erase(std::unique(found.begin(), found.end()), found.end());
  return found;
}

struct MatchCase {
  const char* name;
  std::vector<std::string> patterns;
  std::string text;
  std::vector<Found> expected;
};

TEST(AhoCorasick, FindsEveryOccurrence) {
  const MatchCase cases[] = {{"suffix_of_another",
                              {"he", "she", "hers"},
                              "ushers",
                              {{1, 4, "she"}, {2, 4, "he"}, {2, 6, "hers"}}},
                             {"empty_pattern_ignored", {"", "x"}, "xx", {{0, 1, "x"}, {1, 2, "x"}}},
                             {"bytes_of_utf8",
                              {"\xC3\xA9t\xC3\xA9"},
                              "l'\xC3\xA9t\xC3\xA9",
                              {{2, 7, "\xC3\xA9t\xC3\xA9"}}}};
  for (const MatchCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FindWith(c.patterns, c.text), c.expected);
  }
}

// The same pattern twice keeps its id; a pattern added after a find is found by the next.
TEST(AhoCorasick, AddingPatterns) {
  AhoCorasick matcher;
  EXPECT_EQ(matcher.Add("abc"), 0u);
  EXPECT_EQ(matcher.FindAll("abcd").size(), 1u);
  EXPECT_EQ(matcher.Add("cd"), 1u);
  EXPECT_EQ(matcher.Add("abc"), 0u);
  EXPECT_EQ(matcher.Add(""), AhoCorasick::kNoPattern);
  EXPECT_EQ(matcher.PatternCount(), 2u);
  EXPECT_EQ(matcher.FindAll("abcd").size(), 2u);
}

TEST(AhoCorasick, KeepsItsOwnCopyOfEachPattern) {
  AhoCorasick matcher;
  for (int i = 0; i < 3000; ++i) {
    std::string pattern = "pattern number " + std::to_string(i) + " of many";
    matcher.Add(pattern);
    pattern.assign(pattern.size(), 'x');  // the caller's text changes; the matcher's must not
  }
  std::vector<AhoCorasick::Match> found = matcher.FindAll("see pattern number 2999 of many");
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].id, 2999u);
  EXPECT_EQ(found[0].start, 4u);
}

// Random patterns over a small alphabet meet often inside each other; the matcher has to agree
// with one search per pattern.
TEST(AhoCorasick, AgreesWithOneSearchPerPattern) {
  std::mt19937 random(7);
  auto word = [&](size_t maxLength) {
    std::string w(1 + random() % maxLength, 'a');
    for (char& c : w) c = static_cast<char>('a' + random() % 3);
    return w;
  };
  for (int round = 0; round < 50; ++round) {
    std::vector<std::string> patterns;
    for (int i = 0; i < 20; ++i) patterns.push_back(word(6));
    std::string text = word(200);
    std::vector<Found> naive = FindNaively(patterns, text);
    EXPECT_EQ(FindWith(patterns, text), naive) << "round " << round;
    // Split anywhere, the two parts searched apart find the same occurrences, each once.
    AhoCorasick matcher;
    for (const std::string& p : patterns) matcher.Add(p);
    matcher.Build();
    std::sort(naive.begin(), naive.end());
    for (size_t split = 0; split <= text.size(); split += 1 + random() % 9) {
      std::vector<Found> parts;
      auto collect = [&](const AhoCorasick::Match& m) {
        parts.emplace_back(m.start, m.end, text.substr(m.start, m.end - m.start));
      };
      matcher.FindStartingIn(text, 0, split, collect);
      matcher.FindStartingIn(text, split, text.size(), collect);
      std::sort(parts.begin(), parts.end());
      EXPECT_EQ(parts, naive) << "round " << round << ", split at " << split;
    }
  }
}

}  // namespace
}  // namespace quillon
