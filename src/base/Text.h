// Text helpers shared by every subsystem. Strings are UTF-8 throughout; case mapping is
// Unicode-aware (not only ASCII), as users type meanings in many scripts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillon {

// Returns text without leading and trailing blanks (U+0020 only; tabs and line breaks stay).
std::string TrimSpaces(std::string_view text);

// Returns text without leading blanks (U+0020 only).
std::string TrimLeadingSpaces(std::string_view text);

// Returns text with every letter in capitals. Bytes that are not valid UTF-8 pass through.
std::string UpperCase(std::string_view text);

// Returns text with every letter in small letters. Bytes that are not valid UTF-8 pass through.
std::string LowerCase(std::string_view text);

// Compares two texts ignoring letter case: -1, 0 or 1 (code point order of the lower-cased
// texts).
int CompareTextIgnoreCase(std::string_view a, std::string_view b);

// Returns the number of terminal columns text takes: two for wide and full-width characters
// (CJK, most emoji), none for combining marks, joiners and variation selectors, one for any
// other code point and for each byte that is not valid UTF-8.
size_t DisplayWidth(std::string_view text);

// Returns the position of the first needle in haystack, comparing ASCII letters without regard
// to case (other bytes exactly), or npos.
// REQUIRES: needle is not empty and its first character is not a letter (tags start with '<').
size_t FindIgnoringAsciiCase(std::string_view haystack, std::string_view needle);

// Return whether code point c is a letter or digit, or a capital letter, in any script.
bool IsLetterOrDigit(int32_t c);
bool IsCapitalLetter(int32_t c);

}  // namespace quillon
