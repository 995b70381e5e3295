// The main text with one character per story position, for callers that map what they find
// in the text back to positions.
#pragma once

#include <string>

#include "wordhost/docx/Story.h"

namespace quillon::docx {

// Returns [start, end) of story as UTF-8 with one code point per position: text and field
// codes as written, U+0013, U+0014 and U+0015 for field begin, separator and end marks, "\r"
// for a paragraph mark, "\a" for a cell or row end, each character element as the character
// it shows and U+FFFC for an object that shows none. Positions outside the story are left out.
std::string StoryText(const Story& story, long start, long end);

}  // namespace quillon::docx
