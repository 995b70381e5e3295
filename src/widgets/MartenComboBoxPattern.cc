#include "widgets/MartenComboBoxPattern.h"

#include <cstdint>
#include <utility>
#include <vector>

#include "base/Utf8.h"

namespace quillon::widgets {
namespace {

struct Token {
  enum Kind { kLiteral, kAny, kDigit, kSet, kStar } kind;
  explicit Token(Kind k) : kind(k) {}
  char32_t literal = 0;
  bool negated = false;
  std::vector<std::pair<char32_t, char32_t>> ranges;

  bool Matches(char32_t c) const {
    switch (kind) {
      case kLiteral:
        return c == literal;
      case kAny:
        return true;
      case kDigit:
        return c >= U'0' && c <= U'9';
      case kSet: {
        bool in = false;
        for (const auto& [lo, hi] : ranges) in = in || (c >= lo && c <= hi);
        return in != negated;
      }
      case kStar:
        break;
    }
    return false;
  }
};

// Parses the pattern; returns false when it is malformed.
bool Parse(const std::u32string& p, std::vector<Token>& tokens) {
  for (size_t i = 0; i < p.size(); ++i) {
    char32_t c = p[i];
    if (c == U'*') {
      // Consecutive stars mean the same as one.
      if (tokens.empty() || tokens.back().kind != Token::kStar)
        tokens.push_back(Token(Token::kStar));
    } else if (c == U'?') {
      tokens.push_back(Token(Token::kAny));
    } else if (c == U'#') {
      tokens.push_back(Token(Token::kDigit));
    } else if (c == U'[') {
      size_t close = i + 1;
      while (close < p.size() && p[close] != U']') ++close;
      if (close >= p.size()) return false;
      size_t j = i + 1;
      if (j == close) {  // "[]" matches the empty string: nothing to add.
        i = close;
        continue;
      }
      Token set(Token::kSet);
      if (p[j] == U'!') {
        set.negated = true;
        ++j;
      }
      for (; j < close; ++j) {
        // A "-" between two characters makes a range; at either end of the list it is literal.
        if (j + 2 < close && p[j + 1] == U'-') {
          if (p[j] > p[j + 2]) return false;
          set.ranges.emplace_back(p[j], p[j + 2]);
          j += 2;
        } else {
          set.ranges.emplace_back(p[j], p[j]);
        }
      }
      tokens.push_back(std::move(set));
      i = close;
    } else {
      Token t(Token::kLiteral);
      t.literal = c;
      tokens.push_back(std::move(t));
    }
  }
  return true;
}

}  // namespace

bool MatchesPattern(std::string_view text, std::string_view pattern) {
  std::vector<Token> tokens;
  if (!Parse(DecodeUtf8(pattern), tokens)) return false;
  std::u32string s = DecodeUtf8(text);
  // Every token but the star consumes exactly one character, so the classic greedy walk that
  // remembers the last star and retries from one character further is complete.
  size_t si = 0, ti = 0;
  size_t starToken = SIZE_MAX, starText = 0;
  while (si < s.size()) {
    if (ti < tokens.size() && tokens[ti].kind == Token::kStar) {
      starToken = ti++;
      starText = si;
    } else if (ti < tokens.size() && tokens[ti].Matches(s[si])) {
      ++ti;
      ++si;
    } else if (starToken != SIZE_MAX) {
      ti = starToken + 1;
      si = ++starText;
    } else {
      return false;
    }
  }
  while (ti < tokens.size() && tokens[ti].kind == Token::kStar) ++ti;
  return ti == tokens.size();
}

}  // namespace quillon::widgets
