#include "library/SQLlite.h"

#include <charconv>

#include "addin/host/Platform.h"
#include "base/Text.h"
#include "library/AddinState.h"
#include "widgets/ListView.h"

namespace quillon::library {
namespace {

const std::string& OpenLibrary() {
  return State().LibraryPath;
}

// Returns the first value of a result, or "" when it has no row.
std::string FirstValue(const LibraryTable& table) {
  return table.rowCount > 0 ? table.Value(0, 0) : std::string();
}

// Returns the row count of the abbreviation table at path, or nullopt when it cannot be read.
std::optional<int32_t> RowCountOf(const std::string& path) {
  bool failed = false;
  std::string cell = FirstValue(*QueryTable(path, "select count(*) from abbreviations", &failed));
  if (failed) return std::nullopt;
  int64_t value = 0;
  std::from_chars(cell.data(), cell.data() + cell.size(), value);
  return static_cast<int32_t>(value);
}

}  // namespace

std::string ListingStatement(int16_t sortColumn, int16_t sortOrder) {
  std::string statement = "SELECT direction, abb, abbtext FROM abbreviations ";
  switch (sortColumn) {
    case 1:
      statement += "order by upper(direction)";
      break;
    case 2:
      statement += "order by upper(abb)";
      break;
    case 3:
      statement += "order by upper(abbtext)";
      break;
    default:
      break;
  }
  if (sortOrder == 1) statement += " ASC";
  if (sortOrder == 2) statement += " DESC";
  return statement;
}

const QueryResult& ListAbbreviations(const std::string& path, int16_t sortColumn, int16_t sortOrder,
                                     widgets::ListView& listView) {
  QueryResult& listing = State().LastListing;
  listing = QueryLibrary(path, ListingStatement(sortColumn, sortOrder), true, &listView);
  const int32_t meaningWidth = listView.Width() - 250;
  if (listing.RowCount != 0) {
    listView.SetColumnCaption(0, "L/R");
    listView.SetColumnWidth(0, 30);
    listView.SetColumnCaption(1, "Abbreviation");
    listView.SetColumnWidth(1, 200);
    listView.SetColumnCaption(2, "Text");
    listView.SetColumnWidth(2, meaningWidth);
  } else {
    listView.AddColumn("L/R", "Direction", 0, 30);
    listView.AddColumn("abb", "Abbreviation", 0, 200);
    listView.AddColumn("abbtext", "Text", 0, meaningWidth);
  }
  return listing;
}

namespace {

// Returns whether the duplicate exists, or nullopt when the library cannot be read.
std::optional<bool> DuplicateExists(const std::string& path, const std::string& abb,
                                    const std::string& text) {
  // fold() trims and capitalises inside the database, so no row has to be fetched.
  QueryResult result = QueryLibrary(
      path, Statement("select 1 from abbreviations where fold(abb)=? and fold(abbtext)=? limit 1",
                      {UpperCase(TrimSpaces(abb)), UpperCase(TrimSpaces(text))}));
  if (result.Failed) return std::nullopt;
  return result.RowCount > 0;
}

void ShowDuplicate() {
  host::MsgBox("Abbreviation already exists", host::MsgBoxButtons::kOkOnly, host::MsgBoxIcon::kNone,
               State().AddinTitle);
}

}  // namespace

bool AbbreviationExists(const std::string& path, const std::string& abb, const std::string& text,
                        bool showMessage) {
  if (!DuplicateExists(path, abb, text).value_or(false)) return false;
  if (showMessage) ShowDuplicate();
  return true;
}

bool AddAbbreviation(const std::string& path, const std::string& abb, const std::string& text,
                     const std::string& direction) {
  std::optional<int32_t> before = RowCountOf(path);
  if (!before) return false;  // the library cannot be read; the user has been told why
  QueryLibrary(path, Statement("Insert into abbreviations (direction,abb,abbtext) values (?,?,?)",
                               {TrimSpaces(direction), TrimSpaces(abb), TrimSpaces(text)}));
  std::optional<int32_t> after = RowCountOf(path);
  if (after && *after > *before) return true;
  host::MsgBox("error in adding field to database, try again later");
  return false;
}

AddOutcome CheckAbbrevExistance_Add_todB(
    const std::string& path, std::string& abb, std::string& text, const std::string& direction,
    bool showMessage,
    const std::function<void(const std::string&, const std::string&)>& refreshAndSelect) {
  std::optional<bool> exists = DuplicateExists(path, abb, text);
  if (!exists) return AddOutcome::kFailed;  // the user has been told why
  if (*exists) {
    if (showMessage) ShowDuplicate();
    return AddOutcome::kDuplicate;
  }
  if (!AddAbbreviation(path, abb, text, direction)) return AddOutcome::kFailed;
  if (showMessage && refreshAndSelect) refreshAndSelect(TrimSpaces(abb), TrimSpaces(text));
  abb.clear();
  text.clear();
  return AddOutcome::kAdded;
}

bool UpdateAbbreviation(const std::string& path, const std::string& oldAbb,
                        const std::string& oldText, const std::string& newAbb,
                        const std::string& newText, const std::string& newDirection) {
  return !QueryLibrary(path, Statement("UPDATE abbreviations SET abb=?, abbtext=?, direction=?  "
                                       "where abb=? and abbtext=?",
                                       {newAbb, newText, newDirection, oldAbb, oldText}))
              .Failed;
}

bool DeleteAbbreviation(const std::string& path, const std::string& abb, const std::string& text) {
  return !QueryLibrary(path, Statement("delete from abbreviations where abb=? and abbtext=?",
                                       {TrimSpaces(abb), text}))
              .Failed;
}

std::optional<AbbreviationEntry> FindEntry(const std::string& path, const std::string& abb,
                                           const std::string& text) {
  QueryResult result =
      QueryLibrary(path, Statement("select entry, direction, abb, abbtext from abbreviations "
                                   "where abb=? and abbtext=? limit 1",
                                   {abb, text}));
  if (result.RowCount == 0) return std::nullopt;
  return AbbreviationEntry{result.Cells(2, 1), result.Cells(2, 2), result.Cells(2, 3),
                           result.Cells(2, 4)};
}

std::string DirectionOf(const std::string& abb) {
  return FirstValue(*QueryTable(
      OpenLibrary(), Statement("SELECT DISTINCT direction FROM abbreviations where abb=?", {abb})));
}

std::string EntryIdOf(const std::string& abb, const std::string& text) {
  QueryResult result =
      QueryLibrary(OpenLibrary(),
                   Statement("select distinct entry from 'abbreviations' where abb=? and abbtext=?",
                             {abb, text}));
  return result.RowCount > 0 ? result.Cells(2, 1) : std::string();
}

int32_t CountAbbreviations() {
  return RowCountOf(OpenLibrary()).value_or(0);
}

void FindByPosition(std::string& typed, std::string& abb, std::string& text) {
  QueryResult& listing = State().LastListing;
  listing =
      QueryLibrary(OpenLibrary(), "SELECT abb, abbtext FROM abbreviations order by upper(abb) ASC");
  typed = UpperCase(typed);
  abb.clear();
  text.clear();
  if (listing.RowCount == 0) return;
  listing.SetCell(1, 1, "");
  // Walk adjacent pairs (the emptied header first): the first abbreviation at or after typed.
  std::string previous = UpperCase(listing.Cells(1, 1));
  for (int32_t i = 1; i <= listing.RowCount; ++i) {
    std::string next = UpperCase(listing.Cells(i + 1, 1));
    if (previous < typed && typed <= next) {
      abb = listing.Cells(i + 1, 1);
      text = listing.Cells(i + 1, 2);
      return;
    }
    previous = std::move(next);
  }
}

bool DropAbbreviationsTable() {
  return !QueryLibrary(OpenLibrary(), "drop table if exists 'abbreviations'").Failed;
}

bool CreateAbbreviationsTable() {
  return !QueryLibrary(OpenLibrary(), kCreateAbbreviationsTable).Failed;
}

std::string AbbreviationCountText(int32_t count) {
  return (count < 0 ? "" : " ") + std::to_string(count) + " abbreviations found";
}

void DropWorkingTable() {
  QueryLibrary(OpenLibrary(), "drop table if exists 'abbrevlist'");
}

void CreateWorkingTable() {
  bool created = !QueryLibrary(OpenLibrary(),
                               "create table if not exists 'abbrevlist' ('abb' 'TEXT','text' "
                               "'TEXT','FOP' 'integer')")
                      .Failed;
  if (!created) return;
  // The scan asks for every field whether its pair is in the table yet; the index keeps that
  // from reading the whole table each time. It goes with the table when the table is dropped.
  QueryLibrary(OpenLibrary(),
               "create index if not exists 'abbrevlist_pair' on abbrevlist (abb, text)");
}

bool ListHas(const std::string& abb, const std::string& text) {
  return QueryLibrary(
             OpenLibrary(),
             Statement("SELECT DISTINCT * FROM abbrevlist where abb=? and text=?", {abb, text}))
             .RowCount > 0;
}

void AddToList(const std::string& abb, const std::string& text, int32_t page) {
  QueryLibrary(OpenLibrary(), Statement("Insert into abbrevlist (abb,text,FOP) values (?,?,?)",
                                        {TrimSpaces(abb), TrimSpaces(text), std::to_string(page)}));
}

}  // namespace quillon::library
