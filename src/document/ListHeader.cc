#include "document/ListHeader.h"

#include <algorithm>
#include <array>

#include "base/Text.h"

namespace quillon::document {
namespace {

// The cell's words in small letters, blanks around and one plural "s" taken off.
std::string Normalized(std::string_view cell) {
  std::string word = LowerCase(TrimSpaces(cell));
  while (!word.empty() && (word.back() == ':' || word.back() == '\t')) word.pop_back();
  if (word.size() > 3 && word.back() == 's') word.pop_back();
  return word;
}

template <size_t N>
bool OneOf(std::string_view word, const std::array<std::string_view, N>& words) {
  return std::find(words.begin(), words.end(), word) != words.end();
}

constexpr std::array<std::string_view, 7> kShortFormHeads = {
    "abbreviation", "abbrev.", "abbrev", "abbr.", "abbr", "acronym", "term"};
constexpr std::array<std::string_view, 4> kLongFormHeads = {"meaning", "definition", "description",
                                                            "text"};

}  // namespace

bool ReadsAsListHeader(std::string_view first, std::string_view second) {
  return OneOf(Normalized(first), kShortFormHeads) && OneOf(Normalized(second), kLongFormHeads);
}

bool TableReadsAsList(std::string_view tableText) {
  // A row end reads like an empty cell; neither can be a header, so the first two stretches
  // are all that is needed.
  constexpr std::string_view kCellEnd = "\r\a";
  size_t first = tableText.find(kCellEnd);
  if (first == std::string_view::npos) return false;
  size_t secondStart = first + kCellEnd.size();
  size_t second = tableText.find(kCellEnd, secondStart);
  if (second == std::string_view::npos) return false;
  return ReadsAsListHeader(tableText.substr(0, first),
                           tableText.substr(secondStart, second - secondStart));
}

}  // namespace quillon::document
