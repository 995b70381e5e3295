// The statements a library runs: its abbreviation table (listing, duplicate check, insert,
// update, delete, look-ups) and the working table of a document scan. Each routine runs its
// statement through QueryLibrary, so failures are shown there and read here as empty results.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "library/QueryLibrary.h"

namespace quillon::widgets {
class ListView;
}

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

// Returns the listing statement for a sort column (0 none, 1 direction, 2 abb, 3 abbtext) and a
// sort order (0 none, 1 ascending, 2 descending).
std::string ListingStatement(int16_t sortColumn, int16_t sortOrder);

// Lists the library into listView in the given order and keeps the result as LastListing.
// A library with entries gets the columns "L/R", "Abbreviation", "Text"; an empty one (or one
// that cannot be read) the columns "Direction", "Abbreviation", "Text".
// REQUIRES: listView has no columns (the manager clears it first).
const QueryResult& ListAbbreviations(const std::string& path, int16_t sortColumn, int16_t sortOrder,
                                     widgets::ListView& listView);

// Returns true when an entry with the same abbreviation and meaning exists, both compared
// without surrounding blanks and without regard to case; with showMessage the user is told
// "Abbreviation already exists". Returns false when the library cannot be read.
bool AbbreviationExists(const std::string& path, const std::string& abb, const std::string& text,
                        bool showMessage);

// Inserts one entry (each value without surrounding blanks) and verifies it by the row count.
// Returns false, after telling the user, when the entry did not arrive.
bool AddAbbreviation(const std::string& path, const std::string& abb, const std::string& text,
                     const std::string& direction);

enum class AddOutcome { kAdded, kDuplicate, kFailed };

// The manager's add: refuses a duplicate (abb and text keep their values), otherwise inserts
// the entry, calls refreshAndSelect(abb, text) when showMessage is set (the manager reloads its
// list and selects the new entry) and empties abb and text.
AddOutcome CheckAbbrevExistance_Add_todB(
    const std::string& path, std::string& abb, std::string& text, const std::string& direction,
    bool showMessage,
    const std::function<void(const std::string&, const std::string&)>& refreshAndSelect = {});

// Gives the entry (oldAbb, oldText) the new values; no other entry changes. Returns false when
// the statement failed.
bool UpdateAbbreviation(const std::string& path, const std::string& oldAbb,
                        const std::string& oldText, const std::string& newAbb,
                        const std::string& newText, const std::string& newDirection);

// Deletes the entries with abb (without surrounding blanks) and text (as given). Returns false
// when the statement failed.
bool DeleteAbbreviation(const std::string& path, const std::string& abb, const std::string& text);

// Returns the entry with exactly this abbreviation and meaning in the open library, if any.
std::optional<AbbreviationEntry> FindEntry(const std::string& path, const std::string& abb,
                                           const std::string& text);

// Returns the direction of the first entry with abbreviation abb in the open library, or "".
std::string DirectionOf(const std::string& abb);

// Returns the entry number of (abb, text) in the open library as text; "" when no row matches
// or the table does not number its rows.
std::string EntryIdOf(const std::string& abb, const std::string& text);

// Returns the number of entries of the open library; 0 when it cannot be read.
int32_t CountAbbreviations();

// Upper-cases typed and finds the first abbreviation of the open library, in the listing's
// alphabetical order, that sorts at or after it; abb and text get that entry, or "" when
// typed is empty or sorts after every abbreviation. Keeps the listing as LastListing.
void FindByPosition(std::string& typed, std::string& abb, std::string& text);

// Remove and re-create the abbreviation table of the open library. Return false when the
// statement failed.
bool DropAbbreviationsTable();
bool CreateAbbreviationsTable();

// Returns the count label of the library manager: the number with a leading position for its
// sign (a blank unless negative), then " abbreviations found".
std::string AbbreviationCountText(int32_t count);

// The working table "abbrevlist" of a document scan: one row per distinct (abb, text) pair with
// the page of its first occurrence.
void DropWorkingTable();
void CreateWorkingTable();
// Returns true when the working table holds exactly this pair.
bool ListHas(const std::string& abb, const std::string& text);
// Adds the pair (without surrounding blanks) with the page of its first occurrence.
void AddToList(const std::string& abb, const std::string& text, int32_t page);

}  // namespace quillon::library
