// Where a document's page numbers come from. Without one, the page of a position counts the
// page boundaries the .docx itself records (breaks and the rendered page marks); a page source
// can take them from a real layout instead.
#pragma once

namespace quillon::docx {

class Document;

class PageSource {
 public:
  virtual ~PageSource() = default;
  // Returns the page (1-based) of story position pos in document as it is now. Throws
  // HostError when the page cannot be found.
  virtual long PageAt(const Document& document, long pos) = 0;
};

}  // namespace quillon::docx
