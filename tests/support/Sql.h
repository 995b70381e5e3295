// Runs SQL on a library file directly, around the code under test.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

namespace quillon::testing {

// Runs the statements of sql on the database at path (creating it when absent); a failure
// fails the test with SQLite's message.
inline void ExecSql(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  char* error = nullptr;
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK)
      << (error ? error : "") << "\n"
      << sql;
  sqlite3_free(error);
  sqlite3_close(db);
}

}  // namespace quillon::testing
