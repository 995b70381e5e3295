#include "hosts/libreoffice/WriterFind.h"

#include <optional>
#include <utility>
#include <vector>

#include "addin/host/HostError.h"
#include "base/TextSearch.h"
#include "base/Utf8.h"

namespace quillon::libreoffice {

bool WriterFind::Execute(const host::FindExecuteArgs& args) {
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

  const WriterStory& story = document_.story();
  long start = document_.Start();
  long end = document_.End();
  long length = story.Length();
  // Search order: a non-collapsed selection first, then onwards from it in the direction of
  // the search, then (wrapping) the part before it.
  std::vector<std::pair<long, long>> regions;
  if (start < end) regions.emplace_back(start, end);
  if (wrap_ == host::wdFindContinue || start == end) {
    if (forward_) {
      regions.emplace_back(end, length);
      if (wrap_ == host::wdFindContinue) regions.emplace_back(0, start);
    } else {
      regions.emplace_back(0, start);
      if (wrap_ == host::wdFindContinue) regions.emplace_back(end, length);
    }
  }
  std::optional<std::pair<long, long>> match;
  for (auto [from, to] : regions) {
    std::u32string text;
    std::vector<long> positions;
    story.ShownCharacters(from, to, text, positions);
    if (auto found = SearchShownText(text, positions, pattern, matchCase_, wholeWord_, forward_)) {
      match = std::make_pair(positions[found->first], positions[found->last] + 1);
      break;
    }
  }
  if (!match) return false;
  if (replace == host::wdReplaceOne) {
    std::string matched = story.ShownText(match->first, match->second);
    std::string replacement = replacement_.Text();
    if (!matchCase_) replacement = AdaptCase(matched, replacement);
    long written = document_.Replace(match->first, match->second, replacement);
    document_.Select(match->first, match->first + written);
  } else {
    document_.Select(match->first, match->second);
  }
  return true;
}

}  // namespace quillon::libreoffice
