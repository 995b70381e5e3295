// The string pattern operator that the grid combo box's row search uses in its pattern mode:
// "*" matches any run of characters, "?" any one character, "#" any one digit, "[list]" one
// character of the list and "[!list]" one character outside it, where a list holds characters
// and ascending ranges such as "A-Z". Matching is by code point and case-sensitive; callers
// upper-case both sides when they want to ignore case.
#pragma once

#include <string_view>

namespace quillon::widgets {

// Returns whether text matches pattern as a whole. Both are UTF-8; bytes that are not valid
// UTF-8 count as one character each. A malformed pattern (an unclosed "[" or a descending
// range) matches nothing, so that a user typing a stray bracket gets no row rather than an
// error.
bool MatchesPattern(std::string_view text, std::string_view pattern);

}  // namespace quillon::widgets
