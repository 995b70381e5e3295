// A copy of a document for a layout engine to paginate: the same text and formatting with
// every field of the main text replaced by the text of its result, so that the engine has no
// fields to import, and a bookmark where asked. Pages counted on the copy are the pages of the
// document.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quillon::docx {

class Document;

// A bookmark to put just after the result of field (0-based index in document order).
struct LayoutBookmark {
  size_t field;
  std::string name;
};

// How many characters of text the copy keeps after the body element holding the last bookmark:
// a few pages, more than any page the text after a place can push it onto.
inline constexpr size_t kLayoutMargin = 20000;

// How much of the text a copy holds.
enum class CopyExtent {
  kWhole,
  // Up to kLayoutMargin characters after the last bookmark: the bookmarks' pages are those of
  // the whole document, for a fraction of the layout.
  kPastLastBookmark,
};

// Returns the .docx bytes of the flattened copy of document as it is now, with the bookmarks,
// as far as extent says. The document is not changed. Throws DocxError when the fields cannot be
// matched with the field index (marks that do not pair up) or the package cannot be written.
std::string FlattenedCopy(const Document& document, const std::vector<LayoutBookmark>& bookmarks,
                          CopyExtent extent);

}  // namespace quillon::docx
