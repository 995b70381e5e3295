// The query layer: every statement that runs against a library file goes through
// QueryLibrary, which checks that the file is still there, runs the statement on a connection
// opened for it alone, shows failures in a message box and hands back the whole result.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::widgets {
class ListView;
}

namespace quillon::library {

// A statement with its values bound as parameters (the "?" placeholders, in order), so values
// are never pasted into the statement text. A statement written as a literal is used in place;
// one built at run time is kept by the statement. Statements are made where they are used.
struct Statement {
  Statement(const char* text) : sql(text) {}  // NOLINT: a plain statement reads naturally
  Statement(const char* text, std::vector<std::string> boundValues)
      : sql(text), values(std::move(boundValues)) {}
  Statement(std::string text, std::vector<std::string> boundValues = {})
      : built(std::move(text)), sql(built), values(std::move(boundValues)) {}
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

 private:
  std::string built;  // the text of a statement built at run time

 public:
  std::string_view sql;
  std::vector<std::string> values;
};

// A whole result table: the column names and the data rows (row-major), NULL as empty text.
struct LibraryTable {
  std::vector<std::string> columnNames;
  std::vector<std::string> values;  // rowCount * columnNames.size()
  int32_t rowCount = 0;

  // REQUIRES: 0 <= row < rowCount, 0 <= column < columnNames.size().
  const std::string& Value(int32_t row, size_t column) const {
    return values[static_cast<size_t>(row) * columnNames.size() + column];
  }
};

// What QueryLibrary returns. Cells is indexed (row, column) from 0: row 1 holds the column
// names, rows 2 .. RowCount + 1 the data rows, columns run 1 .. ColumnCount; row 0 and column 0
// stay empty. Cells is allocated only for a result with rows when no list view was filled.
struct QueryResult {
  int32_t ColumnCount = 0;
  int32_t RowCount = 0;
  // True when the statement could not run: the library is missing or the statement was
  // rejected (the user has been shown why).
  bool Failed = false;

  bool CellsAllocated() const { return !cells_.empty(); }
  // Returns the cell, or an empty text outside the allocated grid.
  const std::string& Cells(int32_t row, int32_t column) const;
  // REQUIRES: CellsAllocated() and the cell inside the grid.
  void SetCell(int32_t row, int32_t column, std::string text);
  void AllocateCells(int32_t rowCount, int32_t columnCount);

 private:
  std::vector<std::string> cells_;  // (RowCount + 2) x (ColumnCount + 1)
  int32_t width_ = 0;
};

// While a LibrarySession lives, the statements of one command share an open connection per
// library file, their prepared statements and one transaction (committed when the session
// ends), instead of opening and closing the file for each; a query asked again gives its kept
// result until a write touches a table it read. The file is still looked for before every
// statement, so a library deleted meanwhile is caught, and one replaced meanwhile is opened
// anew. Sessions do not nest: an inner one does nothing.
class LibrarySession {
 public:
  LibrarySession();
  ~LibrarySession();
  LibrarySession(const LibrarySession&) = delete;
  LibrarySession& operator=(const LibrarySession&) = delete;

 private:
  bool owner_;
};

// Runs statement against the library at path and returns a copy of the resulting table, which
// also becomes the last table. Returns an empty table with errorText set when the file cannot
// be opened or the statement is rejected (errorText names the file), and an empty table
// without error for an empty path or statement. The result is shared and immutable.
std::shared_ptr<const LibraryTable> FetchTable(const std::string& path, const Statement& statement,
                                               std::string& errorText);

// Returns the table of the last statement that ran without error (empty at start).
std::shared_ptr<const LibraryTable> LastTable();

// Runs statement as QueryLibrary does (the same checks and messages) and returns the shared
// result table itself, for callers that read a value or two. *failed (when given) tells
// whether the statement could not run.
std::shared_ptr<const LibraryTable> QueryTable(const std::string& path, const Statement& statement,
                                               bool* failed = nullptr);

// Runs statement against the library at path. When the file is missing, shows "Library was
// removed" and runs nothing; a rejected statement is shown under the add-in's title. Both give
// an empty result with Failed set. With fillList, a result with rows replaces the items of
// listView (cleared first) and adds one column per result column; the cells are then not
// allocated. A result without rows leaves listView as it was.
// REQUIRES: with fillList, listView is not null and has none of the result's column keys.
QueryResult QueryLibrary(const std::string& path, const Statement& statement, bool fillList = false,
                         widgets::ListView* listView = nullptr);

}  // namespace quillon::library
