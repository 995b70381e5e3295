// Plain-text views of a document for people and tools: the text as it shows, and a listing
// of its fields.
#pragma once

#include <string>
#include <vector>

#include "wordhost/docx/Document.h"

namespace quillon::docx {

// Returns the main text as the document shows it: fields as their results (as their codes
// when codes is true), one line per paragraph, the cells of a table row separated by tabs
// and each row on its own line. Line breaks end a line; page breaks and objects show nothing.
// Numbered paragraphs start with their list label (ListLabels) indented four spaces a level,
// and note references show their numbers, as LibreOffice's text export prints them; the
// labels are not story text. With cellLines, each table cell ends its own line instead
// (LibreOffice's text layout). Throws DocxError for a numbering part that is not well-formed.
std::string ShowText(const Document& document, bool codes, bool cellLines = false);

struct FieldListing {
  long index = 0;  // 1-based
  long start = 0;  // story position of the begin mark
  long page = 0;
  std::string code;
  std::string result;
};

// Returns one entry per field of the main text, in order.
std::vector<FieldListing> ListFields(const Document& document);

}  // namespace quillon::docx
