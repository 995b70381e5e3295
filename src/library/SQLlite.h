// The statements a library runs: its abbreviation table (listing, duplicate check, insert,
// update, delete, look-ups) and the working table of a document scan.
//
// Error rule: every routine runs its statements through QueryLibrary, which shows a failing
// statement to the user; inside a LibrarySession that stops at failures LibraryError is then
// thrown, so an answer below is never a failure in disguise. Outside such a session the
// routine goes on as the library manager expects: a routine that changes the library returns
// false (or kFailed), and a look-up answers as its comment says for a library that cannot be
// read. A change refused for its values (a duplicate, a markup tag, an empty abbreviation) is
// shown the same way and gives its own outcome.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "library/QueryLibrary.h"
#include "library/RowSink.h"

namespace quillon::library {

// One row of the table "abbreviations".
struct AbbreviationEntry {
  std::string entry;      // row number; empty in tables whose entry column is never written
  std::string direction;  // "L" left to right, "R" right to left
  std::string abb;
  std::string abbtext;
};

// The table layout that new libraries get. Its quoted words are column names, so the table has
// five columns: entry, "INTEGER PRIMARY KEY", direction, abb, abbtext.
inline constexpr const char* kCreateAbbreviationsTable =
    "create table if not exists 'abbreviations' ('entry','INTEGER PRIMARY KEY','direction' "
    "'TEXT','abb' 'TEXT','abbtext' 'TEXT')";

// The tags of the markup that carries an entry inside a document's field code. An entry whose
// abbreviation or meaning holds one of them (in any case) would break the field it is written
// into, so the library takes none.
inline constexpr std::array<std::string_view, 8> kFieldMarkupTags = {
    "<ABB>",       "</ABB>",       "<Text>",    "</Text>",
    "<Direction>", "</Direction>", "</ABBREV>", "<Abbreviation List>",
};

// Returns the first markup tag that value holds, as value writes it, or "" when it holds none.
std::string MarkupTagIn(std::string_view value);

// Returns true when the library at path can be read and its table "abbreviations" has the
// columns entry, direction, abb and abbtext. Otherwise shows why (a missing table or column
// names the library) and returns false.
bool CheckAbbreviationsTable(const std::string& path);

// Returns the listing statement for a sort column (0 none, 1 direction, 2 abb, 3 abbtext) and a
// sort order (0 none, 1 ascending, 2 descending).
std::string ListingStatement(int16_t sortColumn, int16_t sortOrder);

// Lists the library into rows in the given order (the columns direction, abb, abbtext) and
// keeps the result as LastListing, which it returns. An empty library does not reach rows.
const QueryResult& ListAbbreviations(const std::string& path, int16_t sortColumn, int16_t sortOrder,
                                     RowSink& rows);

// One column of the library manager's list after a listing.
struct ListingHeading {
  std::string key;
  std::string caption;
  int32_t width;
};

// Returns the three columns the manager's list shows after a listing in a list listWidth
// wide: after a listing with entries the listed columns (keys direction, abb, abbtext)
// captioned "L/R", "Abbreviation", "Text"; after an empty one new columns keyed "L/R", "abb",
// "abbtext" whose first is captioned "Direction". Widths: 30, 200 and the rest less 250.
std::array<ListingHeading, 3> ListingHeadings(bool listedEntries, int32_t listWidth);

// Returns true when an entry with the same abbreviation and meaning exists, both compared as
// Fold gives them (blanks around and runs of blanks inside do not count, nor does case); with
// showMessage the user is told
// "Abbreviation already exists". Returns false when the library cannot be read.
bool AbbreviationExists(const std::string& path, const std::string& abb, const std::string& text,
                        bool showMessage);

// Inserts one entry (each value without surrounding blanks) and verifies it by the row count.
// Returns false, after telling the user, when the library is read-only (nothing is tried) or
// the entry did not arrive.
bool AddAbbreviation(const std::string& path, const std::string& abb, const std::string& text,
                     const std::string& direction);

enum class AddOutcome { kAdded, kDuplicate, kRefused, kFailed };

// The manager's add: refuses (telling the user) an abbreviation that is empty without its
// blanks and a value holding a markup tag (kRefused), and a duplicate (kDuplicate; told only
// with showMessage). Refused pairs keep their values. Otherwise inserts the entry, calls
// refreshAndSelect(abb, text) when showMessage is set (the manager reloads its list and selects
// the new entry) and empties abb and text.
AddOutcome CheckAbbrevExistance_Add_todB(
    const std::string& path, std::string& abb, std::string& text, const std::string& direction,
    bool showMessage,
    const std::function<void(const std::string&, const std::string&)>& refreshAndSelect = {});

// Gives the entry (oldAbb, oldText) the new values; no other entry changes. Returns false when
// the statement failed.
bool UpdateAbbreviation(const std::string& path, const std::string& oldAbb,
                        const std::string& oldText, const std::string& newAbb,
                        const std::string& newText, const std::string& newDirection);

enum class EditOutcome { kEdited, kDuplicate, kRefused, kFailed };

// The checked edit: the new abbreviation and meaning lose their surrounding blanks and are
// refused as add refuses them (kRefused), and when another entry reads the same compared as
// Fold gives them (kDuplicate, "Abbreviation already exists"); otherwise UpdateAbbreviation.
// Every refusal is told.
EditOutcome EditAbbreviation(const std::string& path, const std::string& oldAbb,
                             const std::string& oldText, const std::string& newAbb,
                             const std::string& newText, const std::string& newDirection);

// Deletes the entries with abb (without surrounding blanks) and text (as given). Returns false
// when the statement failed.
bool DeleteAbbreviation(const std::string& path, const std::string& abb, const std::string& text);

// Returns the entry with exactly this abbreviation and meaning, if any (none when the library
// cannot be read).
std::optional<AbbreviationEntry> FindEntry(const std::string& path, const std::string& abb,
                                           const std::string& text);

// Returns the direction of the first entry with abbreviation abb in the open library, or
// nullopt when no entry has that abbreviation (or the library cannot be read).
std::optional<std::string> LibraryDirectionOf(const std::string& abb);

// Returns LibraryDirectionOf(abb), "" when there is none.
std::string DirectionOf(const std::string& abb);

// Returns the entry number of (abb, text) in the open library as text; "" when no row matches,
// the table does not number its rows or the library cannot be read.
std::string EntryIdOf(const std::string& abb, const std::string& text);

// Returns the number of entries of the open library; 0 when it cannot be read.
int32_t CountAbbreviations();

// Upper-cases typed and finds the first abbreviation of the open library, in the listing's
// alphabetical order, that sorts at or after it (the first of all for an empty typed); abb and
// text get that entry, or "" when typed sorts after every abbreviation or the library cannot
// be read. Keeps the listing as LastListing.
void FindByPosition(std::string& typed, std::string& abb, std::string& text);

// Remove and re-create the abbreviation table of the open library. Return false when the
// statement failed.
bool DropAbbreviationsTable();
bool CreateAbbreviationsTable();

// Returns the count label of the library manager: the number with a leading position for its
// sign (a blank unless negative), then " abbreviations found".
std::string AbbreviationCountText(int32_t count);

// The working table "abbrevlist" of a document scan: one row per distinct (abb, text) pair with
// the page of its first occurrence. It lives in the temporary schema of the running
// LibrarySession's connection, never in the library file, so a write-protected library can be
// scanned and two scans of one library do not meet; it goes with the session.
// REQUIRES (every routine below): a LibrarySession is running.
void DropWorkingTable();
void CreateWorkingTable();
// Returns true when the working table holds exactly this pair (false when it cannot be read).
bool ListHas(const std::string& abb, const std::string& text);
// Adds the pair (without surrounding blanks) with the page of its first occurrence.
void AddToList(const std::string& abb, const std::string& text, int32_t page);

// One row of the working table.
struct WorkingRow {
  std::string abb;
  std::string text;
  std::string page;
};

// Returns the rows of the working table in the order of the capitalised abbreviation (none
// when it cannot be read).
std::vector<WorkingRow> WorkingTableRows();

}  // namespace quillon::library
