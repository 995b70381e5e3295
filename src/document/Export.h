// Exporting the entries a document uses into the open library.
#pragma once

namespace quillon::host {
class Application;
}

namespace quillon::document {

// What an export did.
struct ExportSummary {
  bool ran = false;  // false when no library was open
  long added = 0;
  long skipped = 0;  // already in the library
  long failed = 0;   // inserts that did not arrive (the user has been told)
};

// "Export Abbreviations to library": adds every entry of the document's abbreviation fields
// that the open library lacks (compared without regard to case and surrounding blanks), with
// the direction letter of its field, and reports "Abbreviations exported correctly to the open
// library". Stops at the first entry the library does not take, without that message.
ExportSummary ButtonExport_click(host::Application& word);

}  // namespace quillon::document
