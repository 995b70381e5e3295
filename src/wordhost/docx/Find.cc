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
  int replace = TakeArguments(args);
  std::u32string pattern = DecodeUtf8(text_);
  if (pattern.empty()) return false;

  docx::Selection& selection = document_.selection();
  std::vector<std::pair<long, long>> regions =
      SearchRegions(selection.Start(), selection.End(), document_.story().Length(), forward_,
                    wrap_ == host::wdFindContinue);
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
