#include "wordhost/docx/Find.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "addin/host/HostError.h"
#include "base/Text.h"
#include "base/Utf8.h"
#include "wordhost/docx/Document.h"
#include "wordhost/docx/Selection.h"
#include "wordhost/docx/StoryText.h"

namespace quillon::docx {
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

struct Match {
  long start;
  long end;
};

// Searches what [start, end) shows for pattern; returns the first match (forward) or the last
// (backward). A match must cover consecutive positions: text hidden inside it (a field code
// between two shown characters) would make replacing it cut a field.
std::optional<Match> Search(const Document& document, long start, long end,
                            const std::u32string& pattern, bool matchCase, bool wholeWord,
                            bool forward) {
  std::u32string text;
  std::vector<long> positions;
  ShownCharacters(document.story(), start, end, document.fieldIndex(), text, positions);
  if (pattern.empty() || text.size() < pattern.size()) return std::nullopt;
  std::u32string haystack = text;
  std::u32string needle = pattern;
  if (!matchCase) {
    for (char32_t& c : haystack) c = FoldCase(c);
    for (char32_t& c : needle) c = FoldCase(c);
  }
  std::optional<Match> found;
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
    found = Match{positions[at], positions[last] + 1};
    if (forward) break;
  }
  return found;
}

}  // namespace

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

bool Find::Execute(const host::FindExecuteArgs& args) {
  if (args.findText) text_ = *args.findText;
  if (args.matchCase) matchCase_ = *args.matchCase;
  if (args.matchWholeWord) wholeWord_ = *args.matchWholeWord;
  if (args.matchWildcards) wildcards_ = *args.matchWildcards;
  if (args.matchSoundsLike) soundsLike_ = *args.matchSoundsLike;
  if (args.matchAllWordForms) allWordForms_ = *args.matchAllWordForms;
  if (args.forward) forward_ = *args.forward;
  if (args.wrap) wrap_ = *args.wrap;
  if (args.format) format_ = *args.format;
  if (args.replaceWith) replacement_.SetText(*args.replaceWith);
  if (args.matchKashida) kashida_ = *args.matchKashida;
  if (args.matchDiacritics) diacritics_ = *args.matchDiacritics;
  if (args.matchAlefHamza) alefHamza_ = *args.matchAlefHamza;
  if (args.matchControl) control_ = *args.matchControl;
  if (wildcards_ || soundsLike_ || allWordForms_) {
    throw host::HostError(host::kErrNotAvailable,
                          "wildcard, sounds-like and word-form searches are not supported");
  }
  int replace = args.replace.value_or(host::wdReplaceNone);
  if (replace == host::wdReplaceAll) {
    throw host::HostError(host::kErrNotAvailable, "replace all is not supported");
  }
  std::u32string pattern = DecodeUtf8(text_);
  if (pattern.empty()) return false;

  docx::Selection& selection = document_.selection();
  long start = selection.Start();
  long end = selection.End();
  long length = document_.story().Length();
  // Search order: a non-collapsed selection first, then onwards from it in the direction of
  // the search, then (wrapping) the part before it.
  std::vector<std::pair<long, long>> regions;
  if (start < end) regions.emplace_back(start, end);
  bool wrap = wrap_ == host::wdFindContinue || start == end;
  if (wrap || start == end) {
    if (forward_) {
      regions.emplace_back(end, length);
      if (wrap_ == host::wdFindContinue) regions.emplace_back(0, start);
    } else {
      regions.emplace_back(0, start);
      if (wrap_ == host::wdFindContinue) regions.emplace_back(end, length);
    }
  }
  std::optional<Match> match;
  for (auto [from, to] : regions) {
    match = Search(document_, from, to, pattern, matchCase_, wholeWord_, forward_);
    if (match) break;
  }
  if (!match) return false;
  if (replace == host::wdReplaceOne) {
    std::string matched =
        ShownText(document_.story(), match->start, match->end, document_.fieldIndex());
    std::string replacement = replacement_.Text();
    if (!matchCase_) replacement = AdaptCase(matched, replacement);
    long written = document_.ReplaceText(match->start, match->end, replacement);
    selection.SetRange(match->start, match->start + written);
  } else {
    selection.SetRange(match->start, match->end);
  }
  return true;
}

}  // namespace quillon::docx
