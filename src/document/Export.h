// Exporting the entries a document uses into the open library.
#pragma once

namespace quillon::host {
class Application;
}

namespace quillon::document {

// What an export did, counted in entries: the fields of one entry (its abbreviation and
// meaning compared as the library's duplicate check compares them) count once.
struct ExportSummary {
  bool ran = false;  // false when no library was open
  long added = 0;
  long skipped = 0;  // already in the library
  long failed = 0;   // entries the library did not take (the user has been told)
};

// "Export Abbreviations to library": adds every entry of the document's abbreviation fields
// that the open library lacks (by the library's duplicate check), with the direction letter of
// its first field, and reports "Abbreviations exported correctly to the open library". Stops
// at the first entry the library does not take (refused or failed), without that message.
ExportSummary ButtonExport_click(host::Application& word);

}  // namespace quillon::document
