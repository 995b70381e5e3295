#include "wordhost/docx/Find.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "addin/host/HostError.h"
#include "base/TextSearch.h"
#include "base/Utf8.h"
#include "wordhost/docx/Document.h"
#include "wordhost/docx/Selection.h"
#include "wordhost/docx/StoryText.h"

namespace quillon::docx {
namespace {

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
  std::optional<TextMatch> match =
      SearchShownText(text, positions, pattern, matchCase, wholeWord, forward);
  if (!match) return std::nullopt;
  return Match{positions[match->first], positions[match->last] + 1};
}

}  // namespace

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
