#include "library/QueryLibrary.h"

#include <sqlite3.h>

#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <unordered_map>

#include "addin/host/Platform.h"
#include "base/Text.h"
#include "library/AddinState.h"

namespace quillon::library {
namespace {

// How long a statement waits for a library that another program is writing.
constexpr int kBusyWaitMilliseconds = 5000;

std::shared_ptr<const LibraryTable>& LastTableSlot() {
  static std::shared_ptr<const LibraryTable> table = std::make_shared<LibraryTable>();
  return table;
}

std::shared_ptr<const LibraryTable> EmptyTable() {
  static const auto empty = std::make_shared<const LibraryTable>();
  return empty;
}

std::shared_ptr<const LibraryTable> FailedTable() {
  static const auto failed = std::make_shared<const LibraryTable>(LibraryTable{{}, {}, 0, true});
  return failed;
}

// fold(x) is Fold(x); lets the duplicate check compare inside the database instead of fetching
// every row.
void FoldFunction(sqlite3_context* context, int, sqlite3_value** argv) {
  const unsigned char* text = sqlite3_value_text(argv[0]);
  if (text == nullptr) {
    sqlite3_result_null(context);
    return;
  }
  std::string folded = Fold(std::string_view(reinterpret_cast<const char*>(text),
                                             static_cast<size_t>(sqlite3_value_bytes(argv[0]))));
  sqlite3_result_text(context, folded.data(), static_cast<int>(folded.size()), SQLITE_TRANSIENT);
}

// The tables a statement reads or writes, as the authorizer reports them while it is prepared;
// schema is set for statements that create, drop or alter anything.
struct TableUse {
  std::vector<std::string> tables;  // in small letters
  bool schema = false;

  bool Overlaps(const TableUse& other) const {
    if (schema || other.schema) return true;
    for (const std::string& t : tables) {
      if (std::find(other.tables.begin(), other.tables.end(), t) != other.tables.end()) return true;
    }
    return false;
  }

  static int Collect(void* context, int action, const char* first, const char*, const char*,
                     const char*) {
    auto& use = *static_cast<TableUse*>(context);
    switch (action) {
      case SQLITE_READ:
      case SQLITE_INSERT:
      case SQLITE_UPDATE:
      case SQLITE_DELETE:
        if (first != nullptr) {
          std::string table = LowerCase(first);
          if (std::find(use.tables.begin(), use.tables.end(), table) == use.tables.end()) {
            use.tables.push_back(std::move(table));
          }
        }
        break;
      case SQLITE_SELECT:
      case SQLITE_FUNCTION:
      case SQLITE_TRANSACTION:
      case SQLITE_RECURSIVE:
        break;
      default:
        use.schema = true;  // anything else may change what every statement sees
    }
    return SQLITE_OK;
  }
};

// One open library file, closed when the object goes.
class Connection {
 public:
  // Opens path for reading and writing (reading only when the file is write-protected);
  // never creates a file.
  explicit Connection(const std::string& path) {
    int rc = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
      error_ = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
      return;
    }
    // Another command writing the library holds it for a moment: wait that long, not longer.
    sqlite3_busy_timeout(db_, kBusyWaitMilliseconds);
    // Working tables live in memory: the library may be write-protected and the temporary
    // folder full, and they are small.
    sqlite3_exec(db_, "PRAGMA temp_store=MEMORY", nullptr, nullptr, nullptr);
    sqlite3_create_function(db_, "fold", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                            FoldFunction, nullptr, nullptr);
  }
  // Work not committed by then is rolled back.
  ~Connection() {
    for (auto& [sql, prepared] : prepared_) sqlite3_finalize(prepared.stmt);
    if (inTransaction_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db_);
  }

  // Commits the running transaction, if any. Returns false with error() set when the commit
  // failed; the transaction then stays open, to be rolled back.
  bool Commit() {
    if (!inTransaction_) return true;
    if (sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
      error_ = sqlite3_errmsg(db_);
      return false;
    }
    inTransaction_ = false;
    // Other writers may come in between this transaction and the next.
    results_.clear();
    return true;
  }

  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Keeps prepared statements and query results for reuse and runs everything in one
  // transaction.
  void ShareWithinCommand() { shared_ = true; }
  // Identity of the file this connection opened.
  dev_t device = 0;
  ino_t inode = 0;

  bool ok() const { return db_ != nullptr && error_.empty(); }
  const std::string& error() const { return error_; }

  // Returns the whole result of statement, or nullptr with error() set on failure. Within a
  // command the result of a query is kept until a write of this connection touches a table it
  // read: the command's transaction keeps other writers out meanwhile.
  std::shared_ptr<const LibraryTable> Fetch(const Statement& statement) {
    std::string& key = keyBuffer_;  // reused: a command asks thousands of times
    if (shared_) {
      key.assign(statement.sql);
      for (const std::string& value : statement.values) key.append(1, '\0').append(value);
      auto hit = results_.find(std::string_view(key));
      if (hit != results_.end()) return hit->second.table;
    }
    auto table = std::make_shared<LibraryTable>();
    bool readOnly = false;
    const TableUse* use = nullptr;
    if (!Run(statement, *table, readOnly, use)) return nullptr;
    if (!readOnly) {
      // A write outdates the kept results that read what it wrote. One that named no table
      // when it was prepared (a drop of a table missing then) may touch anything by now.
      if (use == nullptr || use->schema || use->tables.empty()) {
        results_.clear();
      } else {
        std::erase_if(results_, [&](const auto& kept) { return use->Overlaps(kept.second.use); });
      }
    } else if (shared_ && inTransaction_ && use != nullptr && !use->schema) {
      // Only queries are kept: a statement that creates or drops has to run every time.
      results_.emplace(key, KeptResult{table, *use});
    }
    return table;
  }

 private:
  // Runs one statement and collects its whole result; false with error() set on failure.
  bool Run(const Statement& statement, LibraryTable& table, bool& readOnly, const TableUse*& use) {
    error_.clear();
    if (shared_ && !inTransaction_) {
      inTransaction_ = sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    bool cached = false;
    sqlite3_stmt* stmt = Prepare(statement.sql, cached, use);
    if (stmt == nullptr) return error_.empty();  // only blanks or a comment
    struct Release {
      sqlite3_stmt* s;
      bool keep;
      ~Release() {
        if (keep) {
          sqlite3_reset(s);
          sqlite3_clear_bindings(s);
        } else {
          sqlite3_finalize(s);
        }
      }
    } release{stmt, cached};
    readOnly = sqlite3_stmt_readonly(stmt) != 0;
    if (sqlite3_bind_parameter_count(stmt) != static_cast<int>(statement.values.size())) {
      error_ = "statement expects " + std::to_string(sqlite3_bind_parameter_count(stmt)) +
               " values, got " + std::to_string(statement.values.size());
      return false;
    }
    for (size_t i = 0; i < statement.values.size(); ++i) {
      const std::string& value = statement.values[i];
      sqlite3_bind_text(stmt, static_cast<int>(i + 1), value.data(), static_cast<int>(value.size()),
                        SQLITE_STATIC);
    }
    const int columns = sqlite3_column_count(stmt);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
      for (int c = 0; c < columns; ++c) {
        const unsigned char* text = sqlite3_column_text(stmt, c);
        int bytes = sqlite3_column_bytes(stmt, c);
        table.values.emplace_back(text ? reinterpret_cast<const char*>(text) : "",
                                  static_cast<size_t>(text ? bytes : 0));
      }
      ++table.rowCount;
    }
    if (rc != SQLITE_DONE) {
      error_ = sqlite3_errmsg(db_);
      return false;
    }
    // Column names come with the rows only, as a result without rows has no header.
    if (table.rowCount > 0) {
      for (int c = 0; c < columns; ++c) {
        const char* name = sqlite3_column_name(stmt, c);
        table.columnNames.emplace_back(name ? name : "");
      }
    }
    return true;
  }

  // Returns the prepared statement for sql, or nullptr with error_ set on failure (error_
  // stays empty for a statement of blanks only). cached tells whether the connection keeps it;
  // use then tells which tables it touches.
  sqlite3_stmt* Prepare(std::string_view sql, bool& cached, const TableUse*& use) {
    use = nullptr;
    if (shared_) {
      auto it = prepared_.find(sql);
      if (it != prepared_.end()) {
        cached = true;
        use = &it->second.use;
        return it->second.stmt;
      }
    }
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    TableUse tables;
    // The authorizer is asked about every table the statement reads or writes.
    sqlite3_set_authorizer(db_, &TableUse::Collect, &tables);
    int rc = sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &stmt, &tail);
    sqlite3_set_authorizer(db_, nullptr, nullptr);
    if (rc != SQLITE_OK) {
      error_ = sqlite3_errmsg(db_);
      return nullptr;
    }
    if (stmt == nullptr) return nullptr;
    if (tail != nullptr &&
        std::string_view(tail).find_first_not_of(" \t\r\n;") != std::string_view::npos) {
      sqlite3_finalize(stmt);
      error_ = "only one statement can run at a time";
      return nullptr;
    }
    // Kept statements survive schema changes: SQLite prepares them again when needed.
    cached = shared_;
    if (cached) {
      auto [it, added] = prepared_.emplace(std::string(sql), Prepared{stmt, std::move(tables)});
      use = &it->second.use;
    }
    return stmt;
  }

  struct Prepared {
    sqlite3_stmt* stmt;
    TableUse use;
  };
  struct KeptResult {
    std::shared_ptr<const LibraryTable> table;
    TableUse use;
  };

  sqlite3* db_ = nullptr;
  std::string error_;
  bool shared_ = false;
  bool inTransaction_ = false;
  struct TextHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
  };
  std::map<std::string, Prepared, std::less<>> prepared_;
  std::unordered_map<std::string, KeptResult, TextHash, std::equal_to<>> results_;
  std::string keyBuffer_;
};

// What one look-up of the library's path found.
struct LibraryFile {
  bool exists = false;  // an ordinary file is there
  dev_t device = 0;
  ino_t inode = 0;
};

// A directory look-up of that exact path: an ordinary file has to be there.
LibraryFile LookUpFile(const std::string& path) {
  struct stat file {};
  if (path.empty() || ::stat(path.c_str(), &file) != 0 || !S_ISREG(file.st_mode)) return {};
  return {true, file.st_dev, file.st_ino};
}

// The running LibrarySession: its connections by path, the files a command's session has
// looked up, and its way with failures; null outside a session.
struct Session {
  std::map<std::string, std::unique_ptr<Connection>> connections;
  std::map<std::string, LibraryFile, std::less<>> commandFiles;
  StatementFailure onFailure = StatementFailure::kShowAndGoOn;
};
Session* g_session = nullptr;

// Shows a failure to the user; in a session that stops at failures the command then ends.
void Report(const std::string& text, const std::string& title) {
  host::MsgBox(text, host::MsgBoxButtons::kOkOnly, host::MsgBoxIcon::kCritical, title);
  if (g_session != nullptr && g_session->onFailure == StatementFailure::kStopCommand) {
    throw LibraryError(text);
  }
}

// Commits the work of connection to path. Returns false, having reported why, when that fails.
bool CommitConnection(const std::string& path, Connection& connection) {
  if (connection.Commit()) return true;
  Report(connection.error() + " (library " + path + ")", State().AddinTitle);
  return false;
}

// Returns what the session (if any) knows of path, looking the file up where it has to: before
// every statement of a window's session, once per command in a command's. A command reads one
// library throughout (its transaction's view); Commit then checks that the file is still the
// one it read. Per-statement look-ups would cost a command one system call per field.
LibraryFile LookUp(const std::string& path) {
  if (g_session == nullptr || g_session->onFailure != StatementFailure::kStopCommand) {
    return LookUpFile(path);
  }
  auto known = g_session->commandFiles.find(path);
  if (known != g_session->commandFiles.end()) return known->second;
  LibraryFile file = LookUpFile(path);
  if (file.exists) g_session->commandFiles.emplace(path, file);
  return file;
}

// Returns the session's connection to path, opening it (again, when the file there is no
// longer the one it opened); nullptr outside a session or when no file is there.
Connection* SessionConnection(const std::string& path, const LibraryFile& file) {
  if (g_session == nullptr || !file.exists) return nullptr;
  auto& slot = g_session->connections[path];
  if (slot && (slot->device != file.device || slot->inode != file.inode)) {
    std::unique_ptr<Connection> replaced = std::move(slot);
    CommitConnection(path, *replaced);
  }
  if (!slot) {
    slot = std::make_unique<Connection>(path);
    slot->device = file.device;
    slot->inode = file.inode;
    slot->ShareWithinCommand();
  }
  return slot.get();
}

std::shared_ptr<const LibraryTable> FetchFrom(const std::string& path, const LibraryFile& file,
                                              const Statement& statement, std::string& errorText) {
  if (path.empty() || statement.sql.empty()) return EmptyTable();
  try {
    std::unique_ptr<Connection> own;
    Connection* connection = SessionConnection(path, file);
    if (connection == nullptr) {
      own = std::make_unique<Connection>(path);
      connection = own.get();
    }
    std::shared_ptr<const LibraryTable> table =
        connection->ok() ? connection->Fetch(statement) : nullptr;
    if (table == nullptr) {
      errorText = connection->error() + " (library " + path + ")";
      return FailedTable();
    }
    LastTableSlot() = table;
    return table;
  } catch (const LibraryError&) {
    throw;                             // already reported
  } catch (const std::exception& e) {  // out of memory on a huge result
    errorText = std::string(e.what()) + " (library " + path + ")";
    return FailedTable();
  }
}

}  // namespace

std::string Fold(std::string_view text) {
  std::string squeezed;
  squeezed.reserve(text.size());
  for (char c : TrimSpaces(text)) {
    if (c != ' ' || squeezed.empty() || squeezed.back() != ' ') squeezed += c;
  }
  return UpperCase(squeezed);
}

const std::string& QueryResult::Cells(int32_t row, int32_t column) const {
  static const std::string kEmpty;
  if (cells_.empty() || row < 0 || row > RowCount + 1 || column < 0 || column > width_ - 1) {
    return kEmpty;
  }
  return cells_[static_cast<size_t>(row) * static_cast<size_t>(width_) +
                static_cast<size_t>(column)];
}

void QueryResult::SetCell(int32_t row, int32_t column, std::string text) {
  cells_[static_cast<size_t>(row) * static_cast<size_t>(width_) + static_cast<size_t>(column)] =
      std::move(text);
}

void QueryResult::AllocateCells(int32_t rowCount, int32_t columnCount) {
  width_ = columnCount + 1;
  cells_.assign(static_cast<size_t>(rowCount + 2) * static_cast<size_t>(width_), {});
}

LibrarySession::LibrarySession(StatementFailure onFailure) : owner_(g_session == nullptr) {
  if (owner_) g_session = new Session{{}, {}, onFailure};
}

LibrarySession::~LibrarySession() {
  if (!owner_) return;
  Session* session = g_session;
  if (session->onFailure == StatementFailure::kShowAndGoOn) {
    for (auto& [path, connection] : session->connections) {
      if (connection) CommitConnection(path, *connection);
    }
  }
  g_session = nullptr;
  delete session;  // rolls back what was not committed and closes every connection
}

bool LibrarySession::Commit() {
  if (!owner_) return true;
  // A command read the library it first found; work done on a file that is no longer there
  // (deleted, or replaced by another) would be lost, so the command fails instead.
  for (const auto& [path, file] : g_session->commandFiles) {
    const LibraryFile now = LookUpFile(path);
    if (!now.exists || now.device != file.device || now.inode != file.inode) {
      Report("opened library located at " + path + " was removed or replaced while the command ran",
             "Library was removed");
    }
  }
  bool committed = true;
  for (auto& [path, connection] : g_session->connections) {
    if (connection && !CommitConnection(path, *connection)) committed = false;
  }
  return committed;
}

std::shared_ptr<const LibraryTable> LastTable() {
  return LastTableSlot();
}

std::shared_ptr<const LibraryTable> FetchTable(const std::string& path, const Statement& statement,
                                               std::string& errorText) {
  return FetchFrom(path, LookUp(path), statement, errorText);
}

std::shared_ptr<const LibraryTable> QueryTable(const std::string& path,
                                               const Statement& statement) {
  const LibraryFile file = LookUp(path);
  if (!file.exists) {
    Report("opened library located at " + path + " is not found", "Library was removed");
    return FailedTable();
  }
  std::string errorText;
  std::shared_ptr<const LibraryTable> table = FetchFrom(path, file, statement, errorText);
  if (!errorText.empty()) Report(errorText, State().AddinTitle);
  return table;
}

QueryResult QueryLibrary(const std::string& path, const Statement& statement, RowSink* rows) {
  QueryResult result;
  std::shared_ptr<const LibraryTable> table = QueryTable(path, statement);
  result.Failed = table->failed;
  const int32_t rowCount = table->rowCount;
  result.RowCount = rowCount;
  if (rowCount == 0) return result;
  const auto columns = static_cast<int32_t>(table->columnNames.size());
  result.ColumnCount = columns;
  if (rows != nullptr) {
    rows->BeginRows(table->columnNames, rowCount);
    for (int32_t r = 0; r < rowCount; ++r) {
      rows->AddRow(std::span<const std::string>(
          table->values.data() + static_cast<size_t>(r) * static_cast<size_t>(columns),
          static_cast<size_t>(columns)));
    }
    return result;
  }
  result.AllocateCells(rowCount, columns);
  for (int32_t c = 0; c < columns; ++c) {
    result.SetCell(1, c + 1, table->columnNames[static_cast<size_t>(c)]);
  }
  for (int32_t r = 0; r < rowCount; ++r) {
    for (int32_t c = 0; c < columns; ++c) {
      result.SetCell(r + 2, c + 1, table->Value(r, static_cast<size_t>(c)));
    }
  }
  return result;
}

}  // namespace quillon::library
