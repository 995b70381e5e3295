#include "document/Insertion.h"

#include "addin/host/Platform.h"
#include "document/FieldFormat.h"
#include "library/AddinState.h"
#include "library/SQLlite.h"

namespace quillon::document {

using library::State;

bool InsertPlaceholder(host::Application& word, const std::string& abb, const std::string& text) {
  std::string entryNumber = library::EntryIdOf(abb, text);
  return PlaceField(word, abb, text, PlaceholderDisplay(abb, entryNumber));
}

bool ButtonInsertLastSelected_click(host::Application& word) {
  if (State().LibraryPath.empty()) {
    host::MsgBox("Open a library first", host::MsgBoxButtons::kOkOnly, host::MsgBoxIcon::kNone,
                 State().AddinTitle);
    return false;
  }
  if (State().LastSelectedAbb.empty() || State().LastSelectedText.empty()) {
    host::MsgBox("Select an abbreviation first", host::MsgBoxButtons::kOkOnly,
                 host::MsgBoxIcon::kNone, State().AddinTitle);
    return false;
  }
  return InsertPlaceholder(word, State().LastSelectedAbb, State().LastSelectedText);
}

}  // namespace quillon::document
