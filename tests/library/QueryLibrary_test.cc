#include "library/QueryLibrary.h"

#include "library/LibraryFixture.h"
#include "widgets/ListView.h"

namespace quillon::library {
namespace {

class QueryLibraryTest : public LibraryTest {
 protected:
  void SetUp() override {
    path = TemplateLibrary();
    Exec(path,
         "insert into abbreviations (direction, abb, abbtext) values ('L','WHO','World Health'),"
         "('R','AR',NULL)");
  }
  std::string path;
};

TEST_F(QueryLibraryTest, ReturnsHeaderRowThenDataRowsFromIndexOne) {
  QueryResult r =
      QueryLibrary(path, "select direction, abb, abbtext from abbreviations order by entry");
  EXPECT_FALSE(r.Failed);
  EXPECT_EQ(r.ColumnCount, 3);
  EXPECT_EQ(r.RowCount, 2);
  ASSERT_TRUE(r.CellsAllocated());
  EXPECT_EQ(r.Cells(1, 1), "direction");
  EXPECT_EQ(r.Cells(1, 3), "abbtext");
  EXPECT_EQ(r.Cells(2, 2), "WHO");
  EXPECT_EQ(r.Cells(3, 1), "R");
  EXPECT_EQ(r.Cells(3, 3), "");  // NULL reads as empty text
  EXPECT_EQ(r.Cells(0, 1), "");
  EXPECT_EQ(r.Cells(2, 0), "");
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(LastTable()->rowCount, 2);
}

TEST_F(QueryLibraryTest, FillsTheListInsteadOfTheCells) {
  widgets::ListView list;
  QueryResult r = QueryLibrary(
      path, "select direction, abb, abbtext from abbreviations order by entry", true, &list);
  EXPECT_EQ(r.ColumnCount, 3);
  EXPECT_EQ(r.RowCount, 2);
  EXPECT_FALSE(r.CellsAllocated());
  ASSERT_EQ(list.ColumnCount(), 3);
  EXPECT_EQ(list.ColumnAt(1).key, "abb");
  EXPECT_EQ(list.ColumnAt(1).Caption, "abb");
  EXPECT_EQ(list.ColumnAt(2).Width, 80);
  ASSERT_EQ(list.ItemCount(), 2);
  EXPECT_EQ(list.ItemText(0, 0), "L");
  EXPECT_EQ(list.ItemText(0, 2), "World Health");
  EXPECT_EQ(list.ItemText(1, 1), "AR");

  // A query without rows leaves the list exactly as it was.
  QueryResult none =
      QueryLibrary(path, "select * from abbreviations where abb='none'", true, &list);
  EXPECT_EQ(none.RowCount, 0);
  EXPECT_EQ(none.ColumnCount, 0);
  EXPECT_EQ(list.ItemCount(), 2);
  EXPECT_EQ(list.ColumnCount(), 3);
}

TEST_F(QueryLibraryTest, StatementsWithoutRowsGiveAnEmptyResult) {
  for (const char* sql :
       {"insert into abbreviations (abb) values ('X')", "delete from abbreviations where abb='X'",
        "select * from abbreviations where 0"}) {
    QueryResult r = QueryLibrary(path, sql);
    EXPECT_FALSE(r.Failed) << sql;
    EXPECT_EQ(r.RowCount, 0) << sql;
    EXPECT_EQ(r.ColumnCount, 0) << sql;
    EXPECT_FALSE(r.CellsAllocated()) << sql;
  }
}

TEST_F(QueryLibraryTest, ReportsRejectedStatementsUnderTheAddinTitle) {
  std::string before = testing::ReadFile(path);
  QueryResult r = QueryLibrary(path, "selec nonsense");
  EXPECT_TRUE(r.Failed);
  EXPECT_EQ(r.RowCount, 0);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].title, "Quillon plugin");
  EXPECT_EQ(messages.shown[0].icon, host::MsgBoxIcon::kCritical);
  EXPECT_NE(messages.shown[0].text.find("syntax error"), std::string::npos);
  EXPECT_NE(messages.shown[0].text.find(path), std::string::npos);
  EXPECT_EQ(testing::ReadFile(path), before);
}

TEST_F(QueryLibraryTest, MissingLibraryRunsNothing) {
  std::string gone = dir.File("gone.abb");
  for (const char* sql :
       {"select * from abbreviations", "insert into abbreviations (abb) values ('X')",
        "delete from abbreviations"}) {
    messages.shown.clear();
    QueryResult r = QueryLibrary(gone, sql);
    EXPECT_TRUE(r.Failed);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "Library was removed");
    EXPECT_EQ(messages.shown[0].text, "opened library located at " + gone + " is not found");
    EXPECT_EQ(messages.shown[0].icon, host::MsgBoxIcon::kCritical);
  }
  EXPECT_FALSE(std::filesystem::exists(gone));    // nothing was created
  QueryLibrary(dir.Path().string(), "select 1");  // a folder is not a library file
  EXPECT_EQ(messages.shown.back().title, "Library was removed");
}

TEST_F(QueryLibraryTest, DamagedFilesAreReportedAndLeftAlone) {
  std::string notDb = dir.File("notes.abb");
  testing::WriteFile(notDb, std::string(4096, 'x'));
  QueryResult r = QueryLibrary(notDb, "select * from abbreviations");
  EXPECT_TRUE(r.Failed);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find("not a database"), std::string::npos);
  EXPECT_EQ(testing::ReadFile(notDb), std::string(4096, 'x'));

  QueryLibrary(path, "select a; select b");  // one statement per call
  EXPECT_EQ(messages.shown.size(), 2u);
  QueryLibrary(path, Statement("select ?", {}));  // values must match the placeholders
  EXPECT_EQ(messages.shown.size(), 3u);
}

}  // namespace
}  // namespace quillon::library

namespace quillon::library {
namespace {

TEST_F(QueryLibraryTest, SessionSharesOneConnectionAndStillCatchesADeletedLibrary) {
  {
    LibrarySession session;
    for (int i = 0; i < 3; ++i) {
      QueryLibrary(
          path, Statement("insert into abbreviations (abb) values (?)", {"S" + std::to_string(i)}));
    }
    EXPECT_EQ(QueryLibrary(path, "select count(*) from abbreviations").Cells(2, 1), "5");
    // A library replaced meanwhile is opened anew; one deleted is caught before the statement.
    std::string moved = dir.File("moved.abb");
    std::filesystem::rename(path, moved);
    QueryResult gone = QueryLibrary(path, "select count(*) from abbreviations");
    EXPECT_TRUE(gone.Failed);
    EXPECT_EQ(messages.shown.back().title, "Library was removed");
    extractEmptyDatabase(path);
    EXPECT_EQ(QueryLibrary(path, "select count(*) from abbreviations").Cells(2, 1), "0");
    std::filesystem::rename(moved, path);
  }
  // The session's work is committed when it ends.
  EXPECT_EQ(QueryLibrary(path, "select count(*) from abbreviations").Cells(2, 1), "5");
}

}  // namespace
}  // namespace quillon::library
