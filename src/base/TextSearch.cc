#include "base/TextSearch.h"

#include "base/Text.h"
#include "base/Utf8.h"

namespace quillon {
namespace {

char32_t FoldCase(char32_t c) {
  if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
  std::string one;
  AppendUtf8(one, c);
  std::u32string lower = DecodeUtf8(LowerCase(one));
  return lower.size() == 1 ? lower[0] : c;
}

bool IsUpperLetter(char32_t c) {
  if (c < 0x80) return c >= 'A' && c <= 'Z';
  std::string one;
  AppendUtf8(one, c);
  return LowerCase(one) != one && UpperCase(one) == one;
}

bool IsLowerLetter(char32_t c) {
  if (c < 0x80) return c >= 'a' && c <= 'z';
  std::string one;
  AppendUtf8(one, c);
  return UpperCase(one) != one && LowerCase(one) == one;
}

bool IsWordChar(char32_t c) {
  return c == '_' || (c >= '0' && c <= '9') || IsUpperLetter(c) || IsLowerLetter(c);
}

}  // namespace

std::optional<TextMatch> SearchShownText(const std::u32string& text,
                                         const std::vector<long>& positions,
                                         const std::u32string& pattern, bool matchCase,
                                         bool wholeWord, bool forward) {
  if (pattern.empty() || text.size() < pattern.size()) return std::nullopt;
  std::u32string haystack = text;
  std::u32string needle = pattern;
  if (!matchCase) {
    for (char32_t& c : haystack) c = FoldCase(c);
    for (char32_t& c : needle) c = FoldCase(c);
  }
  std::optional<TextMatch> found;
  size_t from = 0;
  while (true) {
    size_t at = haystack.find(needle, from);
    if (at == std::u32string::npos) break;
    from = at + 1;
    size_t last = at + needle.size() - 1;
    if (positions[last] - positions[at] != static_cast<long>(needle.size()) - 1) continue;
    if (wholeWord && ((at > 0 && IsWordChar(text[at - 1])) ||
                      (last + 1 < text.size() && IsWordChar(text[last + 1])))) {
      continue;
    }
    found = TextMatch{at, last};
    if (forward) break;
  }
  return found;
}

std::string AdaptCase(const std::string& matched, const std::string& replacement) {
  std::u32string m = DecodeUtf8(matched);
  bool anyUpper = false;
  bool anyLower = false;
  for (char32_t c : m) {
    anyUpper = anyUpper || IsUpperLetter(c);
    anyLower = anyLower || IsLowerLetter(c);
  }
  if (anyUpper && !anyLower) return UpperCase(replacement);
  if (!m.empty() && IsUpperLetter(m[0])) {
    std::u32string r = DecodeUtf8(replacement);
    if (!r.empty()) {
      std::u32string first = DecodeUtf8(UpperCase(EncodeUtf8(r.substr(0, 1))));
      r.replace(0, 1, first);
    }
    return EncodeUtf8(r);
  }
  return replacement;
}

std::vector<std::pair<long, long>> SearchRegions(long start, long end, long length, bool forward,
                                                 bool wrap) {
  std::vector<std::pair<long, long>> regions;
  if (start < end) regions.emplace_back(start, end);
  if (wrap || start == end) {
    if (forward) {
      regions.emplace_back(end, length);
      if (wrap) regions.emplace_back(0, start);
    } else {
      regions.emplace_back(0, start);
      if (wrap) regions.emplace_back(end, length);
    }
  }
  return regions;
}

}  // namespace quillon
