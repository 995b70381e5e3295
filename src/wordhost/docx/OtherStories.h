// The fields that lie outside the main text: in headers, footers, footnotes, endnotes,
// comments and text boxes. The document routines work on the main text only, as the host's
// field collection does; these are read so that a user can be told what was left.
#pragma once

#include <string>
#include <vector>

#include "wordhost/docx/Document.h"

namespace quillon::docx {

struct OtherStoryField {
  std::string story;  // "header", "footer", "footnote", "endnote", "comment" or "text box"
  std::string code;
  std::string result;
};

// Returns the fields of the document's other stories: text boxes of the main text first,
// then the other parts in package order. Throws DocxError when such a part cannot be read.
std::vector<OtherStoryField> OtherStoryFields(const Document& document);

}  // namespace quillon::docx
