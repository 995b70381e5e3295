#include "hosts/libreoffice/WriterFind.h"

#include <optional>
#include <utility>
#include <vector>

#include "addin/host/HostError.h"
#include "base/TextSearch.h"
#include "base/Utf8.h"

namespace quillon::libreoffice {

bool WriterFind::Execute(const host::FindExecuteArgs& args) {
  int replace = TakeArguments(args);
  std::u32string pattern = DecodeUtf8(text_);
  if (pattern.empty()) return false;

  const WriterStory& story = document_.story();
  std::vector<std::pair<long, long>> regions = SearchRegions(
      document_.Start(), document_.End(), story.Length(), forward_, wrap_ == host::wdFindContinue);
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
