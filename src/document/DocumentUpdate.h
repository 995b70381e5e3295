// The document update: one walk over the fields in document order that records each entry's
// first page and, when formatting, makes the first occurrence of every entry read in its long
// form and every later one in its short form. Also the rewriting of fields after a library
// entry was edited or deleted.
//
// Error rule: a failing host call ends the walk with HostError (fields already rewritten stay
// so); a rewrite that fails is shown where it fails, counted, and the walk goes on; a failing
// library statement shows and goes on, or under a LibrarySession that stops at failures ends
// the walk with LibraryError.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace quillon::host {
class Application;
}

namespace quillon::document {

// What an update does besides collecting every entry with the page of its first field.
enum UpdateMode : int16_t {
  kUpdateFormat = 1,   // also rewrites each abbreviation field by its position
  kUpdateCollect = 2,  // only collects
};

// What RenameEntryFields does after an entry was edited.
enum RenameMode : int16_t {
  kRenameRefreshOnly = 0,  // only rebuilds a list in the document
  kRenameFields = 2,       // replaces the old entry's fields by placeholders of the new one
};

// Called after each field of a walk with (fields done, fields in all).
using WalkProgress = std::function<void(long done, long total)>;

// What an update did.
struct UpdateSummary {
  bool ran = false;  // false when no library was open
  long fields = 0;   // fields walked
  long abbreviationFields = 0;
  long rewritten = 0;  // fields written anew
  long failures = 0;   // rewrites the host refused (each one shown to the user)
  // Abbreviation fields whose abbreviation the library lacks; they keep the direction their
  // own code holds.
  long withoutLibraryEntry = 0;
};

// Walks every field of the active document: fills the working table with each distinct
// (abbreviation, meaning) and the page of its first field, and in mode kUpdateFormat rewrites
// each abbreviation field by its position. A field whose abbreviation the library lacks keeps
// the direction tag of its code, and its long form follows that tag. Shows "Open a database
// first" when no library is open. The working table lives as long as the caller's
// LibrarySession (without one it goes when the update returns); the caller drops it.
UpdateSummary UpdateDocument(host::Application& word, UpdateMode mode,
                             const WalkProgress& progress = {});

// Brings field index (1-based) of the active document to its form as a first or a later
// occurrence. Returns 1 when the field was rewritten, 0 when it was left alone, -1 when the
// host refused the rewrite. Throws HostError when reading the field fails.
int FormatFieldByPosition(host::Application& word, bool first, long index);

// "Update document", in a LibrarySession of its own unless one runs: the formatting update,
// then drops the working table and reports "Abbrevations' formattings are updated according
// to their position in text".
UpdateSummary ButtonUpdate_Click(host::Application& word, const WalkProgress& progress = {});

// After a library entry changed from (oldAbb, oldText) to (newAbb, newText): with
// kRenameFields every field of the old entry is replaced by a placeholder field of the new one;
// then a list in the document is rebuilt. Returns the number of fields replaced.
long RenameEntryFields(host::Application& word, RenameMode mode, const std::string& oldAbb,
                       const std::string& oldText, const std::string& newAbb,
                       const std::string& newText);

// After the entry (abb, text) was deleted from the library: every field of it becomes its plain
// meaning; then a list in the document is rebuilt. Returns the number of fields turned to text.
long DeleteRemovedFields(host::Application& word, const std::string& abb, const std::string& text);

}  // namespace quillon::document
