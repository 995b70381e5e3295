#include "library/QueryLibrary.h"

#include "library/LibraryFixture.h"
#include "support/LibraryLock.h"
#include "support/ReadOnly.h"
#include "support/RecordedRows.h"

namespace quillon::library {
namespace {

// Returns whether r failed, its column and row counts, and whether it holds cells.
std::tuple<bool, int32_t, int32_t, bool> Shape(const QueryResult& r) {
  return {r.Failed, r.ColumnCount, r.RowCount, r.CellsAllocated()};
}

class QueryLibraryTest : public LibraryTest {
 protected:
  void SetUp() override {
    path = TemplateLibrary();
    ExecSql(path,
            "insert into abbreviations (direction, abb, abbtext) values ('L','WHO','World Health'),"
            "('R','AR',NULL)");
  }
  // Returns how many entries the library at library holds, as the query reads them.
  static std::string Count(const std::string& library) {
    return QueryLibrary(library, "select count(*) from abbreviations").Cells(2, 1);
  }
  std::string path;
};

TEST_F(QueryLibraryTest, ReturnsHeaderRowThenDataRowsFromIndexOneOrHandsThemToTheSink) {
  const char* sql = "select direction, abb, abbtext from abbreviations order by entry";
  QueryResult r = QueryLibrary(path, sql);
  ASSERT_EQ(Shape(r), std::tuple(false, 3, 2, true));
  EXPECT_EQ(r.Cells(1, 1), "direction");
  EXPECT_EQ(r.Cells(1, 3), "abbtext");
  EXPECT_EQ(r.Cells(2, 2), "WHO");
  EXPECT_EQ(r.Cells(3, 1), "R");
  EXPECT_EQ(r.Cells(3, 3), "");  // NULL reads as empty text
  EXPECT_EQ(r.Cells(0, 1), "");
  EXPECT_EQ(r.Cells(2, 0), "");
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(LastTable()->rowCount, 2);

  testing::RecordedRows rows;
  QueryResult sunk = QueryLibrary(path, sql, &rows);
  EXPECT_EQ(Shape(sunk), std::tuple(false, 3, 2, false));
  EXPECT_EQ(rows.begun, 1);
  EXPECT_THAT(rows.columnNames, ::testing::ElementsAre("direction", "abb", "abbtext"));
  EXPECT_EQ(rows.announcedRows, 2);
  EXPECT_THAT(rows.rows,
              ::testing::ElementsAre(::testing::ElementsAre("L", "WHO", "World Health"),
                                     ::testing::ElementsAre("R", "AR", "")));  // NULL as empty text
}

// Each failure is shown once, naming the library, and reads as a failed, empty result; in a
// session that stops the command, it ends the command with that message alone. No file is
// created or changed.
TEST_F(QueryLibraryTest, FailuresAreShownOnceAndChangeNoFile) {
  const std::string gone = dir.File("gone.abb"), notDb = dir.File("notes.abb");
  const std::string folder = dir.Path().string();  // a folder is not a library file
  testing::WriteFile(notDb, std::string(4096, 'x'));
  const std::string removed = "Library was removed", title = "Quillon plugin";
  auto notFound = [](const std::string& p) {
    return "opened library located at " + p + " is not found";
  };
  const struct {
    std::string library;
    Statement sql;
    std::string title, text;  // text: part of the message
  } cases[] = {
      {path, "selec nonsense", title, "syntax error"},
      {path, "select 1; select 2", title, "only one statement can run at a time"},
      {path, Statement("select ?", {}), title, "statement expects 1 values, got 0"},
      {path, "select x from abbreviations", title, "no such column: x"},
      {notDb, "select * from abbreviations", title, "not a database"},
      {gone, "insert into abbreviations (abb) values ('X')", removed, notFound(gone)},
      {folder, "select 1", removed, notFound(folder)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.library + ": " + c.text);
    const bool file = std::filesystem::is_regular_file(c.library);
    const std::string before = file ? testing::ReadFile(c.library) : "";
    messages.shown.clear();
    QueryResult r = QueryLibrary(c.library, c.sql);
    EXPECT_TRUE(r.Failed);
    EXPECT_EQ(r.RowCount, 0);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, c.title);
    EXPECT_EQ(messages.shown[0].icon, host::MsgBoxIcon::kCritical);
    EXPECT_THAT(messages.shown[0].text,
                ::testing::AllOf(::testing::HasSubstr(c.text), ::testing::HasSubstr(c.library)));
    const std::string told = messages.shown[0].text;
    messages.shown.clear();
    EXPECT_THAT(
        [&] {
          LibrarySession session(StatementFailure::kStopCommand);
          QueryLibrary(c.library, c.sql);
        },
        ::testing::ThrowsMessage<LibraryError>(told));
    EXPECT_THAT(messages.Texts(), ::testing::ElementsAre(told));
    EXPECT_EQ(std::filesystem::is_regular_file(c.library), file);
    EXPECT_EQ(file ? testing::ReadFile(c.library) : "", before);
  }
}

TEST_F(QueryLibraryTest, SessionSharesOneConnectionAndStillCatchesADeletedLibrary) {
  {
    LibrarySession session;
    for (int i = 0; i < 3; ++i) {
      QueryLibrary(
          path, Statement("insert into abbreviations (abb) values (?)", {"S" + std::to_string(i)}));
    }
    EXPECT_EQ(Count(path), "5");
    // A library replaced meanwhile is opened anew; one deleted is caught before the statement.
    std::string moved = dir.File("moved.abb");
    std::filesystem::rename(path, moved);
    QueryResult gone = QueryLibrary(path, "select count(*) from abbreviations");
    EXPECT_TRUE(gone.Failed);
    EXPECT_EQ(messages.shown.back().title, "Library was removed");
    extractEmptyDatabase(path);
    EXPECT_EQ(Count(path), "0");
    std::filesystem::rename(moved, path);
  }
  // The session's work is committed when it ends.
  EXPECT_EQ(Count(path), "5");
}

// A command reads the library it first found, whatever happens to the path meanwhile, and
// refuses to commit once that file is gone or another stands in its place.
TEST_F(QueryLibraryTest, CommandSessionReadsOneLibraryAndRefusesToCommitOverAChangedPath) {
  const std::string moved = dir.File("moved.abb");
  const struct {
    const char* what;
    bool putAnotherInPlace;
  } cases[] = {{"deleted", false}, {"replaced", true}};
  for (const auto& c : cases) {
    messages.shown.clear();
    EXPECT_THROW(
        {
          LibrarySession session(StatementFailure::kStopCommand);
          QueryLibrary(path, Statement("insert into abbreviations (abb) values (?)", {"NEW"}));
          std::filesystem::rename(path, moved);
          if (c.putAnotherInPlace) extractEmptyDatabase(path);
          // Still the library the command opened: its two entries and the one just added.
          EXPECT_EQ(Count(path), "3") << c.what;
          session.Commit();
        },
        LibraryError)
        << c.what;
    ASSERT_EQ(messages.shown.size(), 1u) << c.what;
    EXPECT_EQ(messages.shown[0].title, "Library was removed");
    EXPECT_NE(messages.shown[0].text.find("was removed or replaced while the command ran"),
              std::string::npos);
    // Nothing of the command reached either file.
    EXPECT_EQ(Count(moved), "2");
    std::filesystem::remove(path);
    std::filesystem::rename(moved, path);
  }
}

TEST_F(QueryLibraryTest, StatementsWithoutRowsGiveAnEmptyResult) {
  testing::RecordedRows rows;
  for (RowSink* sink : {static_cast<RowSink*>(nullptr), static_cast<RowSink*>(&rows)}) {
    for (const char* sql :
         {"insert into abbreviations (abb) values ('X')", "delete from abbreviations where abb='X'",
          "select * from abbreviations where 0"}) {
      EXPECT_EQ(Shape(QueryLibrary(path, sql, sink)), std::tuple(false, 0, 0, false)) << sql;
    }
  }
  EXPECT_EQ(rows.begun, 0);
}

TEST_F(QueryLibraryTest, StoppingSessionKeepsOnlyCommittedWork) {
  const std::string before = testing::ReadFile(path);
  try {
    LibrarySession session(StatementFailure::kStopCommand);
    QueryLibrary(path, "insert into abbreviations (abb) values ('kept until the failure')");
    EXPECT_EQ(Count(path), "3");  // the session sees its own work
    QueryLibrary(path, "insert into nowhere values (1)");
  } catch (const LibraryError&) {
  }
  EXPECT_EQ(Count(path), "2");
  EXPECT_EQ(testing::ReadFile(path), before);
  {
    LibrarySession session(StatementFailure::kStopCommand);
    QueryLibrary(path, "insert into abbreviations (abb) values ('committed')");
    EXPECT_TRUE(session.Commit());
    QueryLibrary(path, "insert into abbreviations (abb) values ('never committed')");
  }
  EXPECT_EQ(Count(path), "3");
  EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_F(QueryLibraryTest, TemporaryTablesLiveOnTheSessionEvenOverAReadOnlyLibrary) {
  testing::MakeReadOnly(path);
  const std::string before = testing::ReadFile(path);
  {
    testing::ScopedUnprivileged asNobody;
    LibrarySession session(StatementFailure::kStopCommand);
    QueryLibrary(path, "create temp table scratch (x)");
    QueryLibrary(path, "insert into scratch select abb from abbreviations");
    EXPECT_EQ(QueryLibrary(path, "select count(*) from scratch").Cells(2, 1), "2");
    EXPECT_TRUE(session.Commit());
  }
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(testing::ReadFile(path), before);
  // The table went with the session.
  EXPECT_TRUE(QueryLibrary(path, "select count(*) from scratch").Failed);
}

TEST_F(QueryLibraryTest, WaitsForALibraryAnotherProcessHoldsForAMoment) {
  QueryResult r;
  {
    testing::LibraryLock lock(path, 1000);
    ASSERT_TRUE(lock.Held());
    LibrarySession session(StatementFailure::kStopCommand);
    r = QueryLibrary(path, "select count(*) from abbreviations");
  }
  EXPECT_FALSE(r.Failed);
  EXPECT_EQ(r.Cells(2, 1), "2");
  EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace quillon::library
