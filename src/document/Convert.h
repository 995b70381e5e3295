// Bringing a document typed without fields in: its plain uses of library entries become
// abbreviation fields, as the add-in's insertion writes them, so that the next update makes the
// first use of each entry read long and the later ones short.
#pragma once

#include <string>
#include <vector>

#include "document/Scan.h"
#include "library/SQLlite.h"

namespace quillon::host {
class Application;
}

namespace quillon::document {

struct ConvertSummary {
  long converted = 0;  // fields written
  long kept = 0;       // uses left as written (see ScanDocument)
  bool markerPlaced = false;
  bool failed = false;  // the host refused a field (the user has been told); the rest stopped
};

// Turns every use ScanDocument finds (of the abbreviations in only, as stored, when only is not
// empty) into a placeholder field over exactly that text, as the placeholder insertion writes it, a
// combined form into one field. When the document has a hand-made abbreviation table and no list
// marker yet, places the list marker at the end of the paragraph before the table, so that the list
// build replaces that table. A second run finds nothing more to do. Throws HostError when reading
// the document fails.
ConvertSummary ConvertDocument(host::Application& word,
                               const std::vector<library::AbbreviationEntry>& entries,
                               const std::vector<std::string>& only = {});

}  // namespace quillon::document
