// Searching shown text as a word processor's find does: case folded or not, whole words or
// not, the first match or the last, and the case a replacement takes when case is not matched.
// Nothing here fails.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillon {

// A match as indexes into the searched text: [first, last].
struct TextMatch {
  size_t first;
  size_t last;
};

// Returns the first match of pattern in text (forward) or the last one (backward). A match
// must cover consecutive positions (positions[i] is where text[i] stands): text hidden inside
// it, such as a field code between two shown characters, would make replacing the match cut a
// field. Returns nothing for an empty pattern.
// REQUIRES: positions.size() == text.size().
std::optional<TextMatch> SearchShownText(const std::u32string& text,
                                         const std::vector<long>& positions,
                                         const std::u32string& pattern, bool matchCase,
                                         bool wholeWord, bool forward);

// Returns the stretches [from, to) of a story of length positions that a find searches, in
// order, from the selection [start, end): a non-collapsed selection first; then, when wrapping
// or from an insertion point, onwards in the direction of the search; then, when wrapping, the
// part on the other side of the selection.
std::vector<std::pair<long, long>> SearchRegions(long start, long end, long length, bool forward,
                                                 bool wrap);

// Returns replacement adapted to the case of matched, as a replace that does not match case
// writes it: in capitals for an all-capitals match, with a leading capital for a match that
// starts with one, unchanged otherwise.
std::string AdaptCase(const std::string& matched, const std::string& replacement);

}  // namespace quillon
