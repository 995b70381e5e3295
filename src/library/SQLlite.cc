#include "library/SQLlite.h"

#include <charconv>

#include "addin/host/Platform.h"
#include "base/Text.h"
#include "library/AddinState.h"
#include "library/LibraryFiles.h"

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
  std::shared_ptr<const LibraryTable> table =
      QueryTable(path, "select count(*) from abbreviations");
  if (table->failed) return std::nullopt;
  std::string cell = FirstValue(*table);
  int64_t value = 0;
  std::from_chars(cell.data(), cell.data() + cell.size(), value);
  return static_cast<int32_t>(value);
}

void Tell(const std::string& text) {
  host::MsgBox(text, host::MsgBoxButtons::kOkOnly, host::MsgBoxIcon::kNone, State().AddinTitle);
}

// The columns every routine here reads or writes.
constexpr std::array<const char*, 4> kEntryColumns = {"entry", "direction", "abb", "abbtext"};

}  // namespace

std::string MarkupTagIn(std::string_view value) {
  size_t first = std::string_view::npos;
  size_t length = 0;
  for (std::string_view tag : kFieldMarkupTags) {
    size_t at = FindIgnoringAsciiCase(value, tag);
    if (at < first) {
      first = at;
      length = tag.size();
    }
  }
  return first == std::string_view::npos ? std::string() : std::string(value.substr(first, length));
}

bool CheckAbbreviationsTable(const std::string& path) {
  QueryResult columns =
      QueryLibrary(path, "select lower(name) from pragma_table_info('abbreviations')");
  if (columns.Failed) return false;
  if (columns.RowCount == 0) {
    Tell("the library " + path + " has no table abbreviations");
    return false;
  }
  auto has = [&](const char* wanted) {
    for (int32_t r = 2; r <= columns.RowCount + 1; ++r) {
      if (columns.Cells(r, 1) == wanted) return true;
    }
    return false;
  };
  std::string missing;
  for (const char* wanted : kEntryColumns) {
    if (!has(wanted)) missing += (missing.empty() ? "" : ", ") + std::string(wanted);
  }
  if (missing.empty()) return true;
  Tell("the table abbreviations of the library " + path + " lacks the column" +
       (missing.find(',') == std::string::npos ? " " : "s ") + missing);
  return false;
}

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
                                     RowSink& rows) {
  QueryResult& listing = State().LastListing;
  listing = QueryLibrary(path, ListingStatement(sortColumn, sortOrder), &rows);
  return listing;
}

std::array<ListingHeading, 3> ListingHeadings(bool listedEntries, int32_t listWidth) {
  if (listedEntries) {
    return {ListingHeading{"direction", "L/R", 30}, ListingHeading{"abb", "Abbreviation", 200},
            ListingHeading{"abbtext", "Text", listWidth - 250}};
  }
  return {ListingHeading{"L/R", "Direction", 30}, ListingHeading{"abb", "Abbreviation", 200},
          ListingHeading{"abbtext", "Text", listWidth - 250}};
}

namespace {

// Returns whether the duplicate exists, or nullopt when the library cannot be read.
std::optional<bool> DuplicateExists(const std::string& path, const std::string& abb,
                                    const std::string& text) {
  // fold() compares inside the database, so no row has to be fetched.
  QueryResult result = QueryLibrary(
      path, Statement("select 1 from abbreviations where fold(abb)=? and fold(abbtext)=? limit 1",
                      {Fold(abb), Fold(text)}));
  if (result.Failed) return std::nullopt;
  return result.RowCount > 0;
}

void ShowDuplicate() {
  Tell("Abbreviation already exists");
}

// Returns whether the pair may be stored, having told the user why not. The values are taken
// without their surrounding blanks.
bool AcceptableEntry(const std::string& abb, const std::string& text) {
  if (TrimSpaces(abb).empty()) {
    Tell("An abbreviation cannot be empty");
    return false;
  }
  for (const auto& [value, name] : {std::pair{&abb, "abbreviation"}, std::pair{&text, "meaning"}}) {
    std::string tag = MarkupTagIn(*value);
    if (!tag.empty()) {
      Tell(std::string("The ") + name + " cannot hold \"" + tag +
           "\": the abbreviation fields of documents use that tag");
      return false;
    }
  }
  return true;
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
  if (LibraryFileExists(path) && !LibraryFileWritable(path)) {
    host::MsgBox("error in adding field to database: the library " + path + " is read-only");
    return false;
  }
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
  if (!AcceptableEntry(abb, text)) return AddOutcome::kRefused;
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

EditOutcome EditAbbreviation(const std::string& path, const std::string& oldAbb,
                             const std::string& oldText, const std::string& newAbb,
                             const std::string& newText, const std::string& newDirection) {
  const std::string abb = TrimSpaces(newAbb), text = TrimSpaces(newText);
  if (!AcceptableEntry(abb, text)) return EditOutcome::kRefused;
  // The entry being edited does not count: a new direction or a new spelling of its own
  // letters' case is no duplicate.
  QueryResult other = QueryLibrary(
      path, Statement("select 1 from abbreviations where fold(abb)=? and fold(abbtext)=? and "
                      "not (abb=? and abbtext=?) limit 1",
                      {Fold(abb), Fold(text), oldAbb, oldText}));
  if (other.Failed) return EditOutcome::kFailed;
  if (other.RowCount > 0) {
    ShowDuplicate();
    return EditOutcome::kDuplicate;
  }
  return UpdateAbbreviation(path, oldAbb, oldText, abb, text, newDirection) ? EditOutcome::kEdited
                                                                            : EditOutcome::kFailed;
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

std::optional<std::string> LibraryDirectionOf(const std::string& abb) {
  std::shared_ptr<const LibraryTable> table = QueryTable(
      OpenLibrary(), Statement("SELECT DISTINCT direction FROM abbreviations where abb=?", {abb}));
  if (table->rowCount == 0) return std::nullopt;
  return table->Value(0, 0);
}

std::string DirectionOf(const std::string& abb) {
  return LibraryDirectionOf(abb).value_or(std::string());
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
  if (typed.empty()) {  // every abbreviation sorts at or after nothing
    abb = listing.Cells(2, 1);
    text = listing.Cells(2, 2);
    return;
  }
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
  QueryLibrary(OpenLibrary(), "drop table if exists temp.abbrevlist");
}

void CreateWorkingTable() {
  bool created = !QueryLibrary(OpenLibrary(),
                               "create temp table if not exists abbrevlist ('abb' 'TEXT','text' "
                               "'TEXT','FOP' 'integer')")
                      .Failed;
  if (!created) return;
  // The scan asks for every field whether its pair is in the table yet; the index keeps that
  // from reading the whole table each time. It goes with the table when the table is dropped.
  QueryLibrary(OpenLibrary(),
               "create index if not exists temp.abbrevlist_pair on abbrevlist (abb, text)");
}

bool ListHas(const std::string& abb, const std::string& text) {
  return QueryLibrary(OpenLibrary(), Statement("SELECT DISTINCT * FROM temp.abbrevlist where "
                                               "abb=? and text=?",
                                               {abb, text}))
             .RowCount > 0;
}

void AddToList(const std::string& abb, const std::string& text, int32_t page) {
  QueryLibrary(OpenLibrary(), Statement("Insert into temp.abbrevlist (abb,text,FOP) values (?,?,?)",
                                        {TrimSpaces(abb), TrimSpaces(text), std::to_string(page)}));
}

std::vector<WorkingRow> WorkingTableRows() {
  std::shared_ptr<const LibraryTable> table = QueryTable(
      OpenLibrary(), "SELECT abb, text, FOP FROM temp.abbrevlist order by upper(abb) ASC");
  std::vector<WorkingRow> rows;
  rows.reserve(static_cast<size_t>(table->rowCount));
  for (int32_t r = 0; r < table->rowCount; ++r) {
    rows.push_back({table->Value(r, 0), table->Value(r, 1), table->Value(r, 2)});
  }
  return rows;
}

}  // namespace quillon::library
