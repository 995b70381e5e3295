#include "widgets/MartenComboBoxPattern.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace quillon::widgets {
namespace {

// Splits UTF-8 into code points; an invalid byte stands for itself so that nothing is lost.
std::vector<char32_t> CodePoints(std::string_view s) {
  std::vector<char32_t> out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t extra = c >= 0xC2 && c <= 0xDF   ? 1
                   : c >= 0xE0 && c <= 0xEF ? 2
                   : c >= 0xF0 && c <= 0xF4 ? 3
                                            : 0;
    char32_t cp = extra == 1 ? c & 0x1F : extra == 2 ? c & 0x0F : extra == 3 ? c & 0x07 : c;
    bool valid = i + extra < s.size();
    for (size_t k = 1; valid && k <= extra; ++k) {
      unsigned char cc = static_cast<unsigned char>(s[i + k]);
      valid = (cc & 0xC0) == 0x80;
      cp = (cp << 6) | (cc & 0x3F);
    }
    if (extra == 0 || !valid) {
      out.push_back(c);
      ++i;
    } else {
      out.push_back(cp);
      i += 1 + extra;
    }
  }
  return out;
}

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
bool Parse(const std::vector<char32_t>& p, std::vector<Token>& tokens) {
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
  if (!Parse(CodePoints(pattern), tokens)) return false;
  std::vector<char32_t> s = CodePoints(text);
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
