// Inserting abbreviations at the cursor: the placeholder insertion that every inserting command
// shares, and the "Insert last selected" button.
#pragma once

#include <string>

namespace quillon::host {
class Application;
}

namespace quillon::document {

// Inserts an abbreviation field for (abb, text) over the selection, showing the placeholder
// "{abb-#N}" with N the entry number the open library gives the pair (empty when it has none).
// Returns false when the host failed (the user has been told).
bool InsertPlaceholder(host::Application& word, const std::string& abb, const std::string& text);

// "Insert last selected": inserts the last selected pair, or tells the user that a library or
// a pair is missing. Returns true when a field was inserted.
bool ButtonInsertLastSelected_click(host::Application& word);

}  // namespace quillon::document
