// The query layer: every statement that runs against a library file goes through
// QueryLibrary, which checks that the file is still there, runs the statement on a connection
// opened for it alone, shows failures in a message box and hands back the whole result.
//
// Error rule: a statement that cannot run (the file is missing or is no database, the
// statement is rejected, the library stays locked by another program for longer than the five
// seconds a statement waits) gives an empty result marked as failed. FetchTable only marks it;
// QueryTable and QueryLibrary first show the failure to the user, and inside a LibrarySession that
// stops at failures they then throw LibraryError instead of returning.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "library/LibraryError.h"
#include "library/RowSink.h"

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
  bool failed = false;  // the statement could not run; the table is empty

  // REQUIRES: 0 <= row < rowCount, 0 <= column < columnNames.size().
  const std::string& Value(int32_t row, size_t column) const {
    return values[static_cast<size_t>(row) * columnNames.size() + column];
  }
};

// What QueryLibrary returns. Cells is indexed (row, column) from 0: row 1 holds the column
// names, rows 2 .. RowCount + 1 the data rows, columns run 1 .. ColumnCount; row 0 and column 0
// stay empty. Cells is allocated only for a result with rows that went to no row sink.
struct QueryResult {
  int32_t ColumnCount = 0;
  int32_t RowCount = 0;
  // True when the statement could not run (the user has been shown why).
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

// What a statement that cannot run does to the command around it.
enum class StatementFailure {
  // Shown to the user; the caller goes on with an empty result marked as failed. The library
  // manager window works this way.
  kShowAndGoOn,
  // Shown to the user once; then LibraryError is thrown and the session's work that Commit
  // did not commit is rolled back. Document commands work this way: a failing statement is a
  // failure of the command.
  kStopCommand,
};

// While a LibrarySession lives, the statements of one command share an open connection per
// library file, their prepared statements and one transaction, instead of opening and closing
// the file for each; a query asked again gives its kept result until a write touches a table
// it read. In a kShowAndGoOn session the file is still looked for before every statement, so a
// library deleted meanwhile is caught, and one replaced meanwhile is opened anew (the work done
// on the old file is committed first). A kStopCommand session looks the file up once and reads
// that one throughout; its Commit fails when the file was deleted or replaced meanwhile. Tables
// created in the "temp" schema live on the session's connection and go with the session. Sessions
// do not nest: an inner one does nothing, and the outer one's way with failures holds.
class LibrarySession {
 public:
  explicit LibrarySession(StatementFailure onFailure = StatementFailure::kShowAndGoOn);
  // kShowAndGoOn: commits (a failing commit is shown). kStopCommand: rolls back what Commit
  // has not committed.
  ~LibrarySession();
  LibrarySession(const LibrarySession&) = delete;
  LibrarySession& operator=(const LibrarySession&) = delete;

  // Commits the work of the session so far. Returns false when a commit failed (the user has
  // been shown why); under kStopCommand it throws LibraryError instead, also when a library the
  // command read was deleted or replaced meanwhile. An inner session's Commit does nothing and
  // returns true.
  bool Commit();

 private:
  bool owner_;
};

// Returns text as the statements' fold() gives it, for comparing entries: without surrounding
// blanks, each run of blanks inside as one, in capitals.
std::string Fold(std::string_view text);

// Runs statement against the library at path and returns a copy of the resulting table, which
// also becomes the last table. A statement that cannot run gives an empty table marked as
// failed, with errorText set (it names the file); nothing is shown. An empty path or statement
// gives an empty table without error. The result is shared and immutable.
std::shared_ptr<const LibraryTable> FetchTable(const std::string& path, const Statement& statement,
                                               std::string& errorText);

// Returns the table of the last statement that ran without error (empty at start).
std::shared_ptr<const LibraryTable> LastTable();

// Runs statement as QueryLibrary does (the same checks, messages and failures) and returns the
// shared result table itself, for callers that read a value or two.
std::shared_ptr<const LibraryTable> QueryTable(const std::string& path, const Statement& statement);

// Runs statement against the library at path. When the file is missing, shows "Library was
// removed" and runs nothing; a statement that cannot run is shown under the add-in's title.
// With rows given, a result with rows goes to rows (the cells are then not allocated); a
// result without rows does not reach it.
QueryResult QueryLibrary(const std::string& path, const Statement& statement,
                         RowSink* rows = nullptr);

}  // namespace quillon::library
