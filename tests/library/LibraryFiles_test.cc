#include "library/LibraryFiles.h"

#include "library/BrowseFunction.h"
#include "library/LibraryFixture.h"
#include "library/SQLlite.h"
#include "support/ReadOnly.h"
#include "support/ScriptedFileDialog.h"

namespace quillon::library {
namespace {

TEST(LibraryTemplateTest, TargetPathRules) {
  struct Case {
    const char* path;
    const char* target;
  } cases[] = {{"/lib/new", "/lib/new.abb"},
               {"/lib/new.ABB", "/lib/new.ABB.abb"},
               {"/lib/x.abb.bak", "/lib/x.abb.bak"},
               {"  /lib/new", "/lib/new.abb"},
               {"  /lib/new.abb", "  /lib/new.abb"}};
  for (const Case& c : cases) EXPECT_EQ(EmptyLibraryTarget(c.path), c.target) << c.path;
}

class LibraryFilesTest : public LibraryTest {};

TEST_F(LibraryFilesTest, TemplateOpensWithOneEmptyTable) {
  std::string path = TemplateLibrary();
  EXPECT_EQ(testing::ReadFile(path).size(), 2048u);
  QueryResult schema = QueryLibrary(path, "select name from sqlite_master");
  ASSERT_EQ(schema.RowCount, 1);
  EXPECT_EQ(schema.Cells(2, 1), "abbreviations");
  QueryResult columns = QueryLibrary(path, "select name from pragma_table_info('abbreviations')");
  ASSERT_EQ(columns.RowCount, 4);
  EXPECT_EQ(columns.Cells(2, 1) + columns.Cells(3, 1) + columns.Cells(4, 1) + columns.Cells(5, 1),
            "entrydirectionabbabbtext");
  EXPECT_EQ(CountAbbreviations(), 0);
  EXPECT_EQ(QueryLibrary(path, "pragma encoding").Cells(2, 1), "UTF-8");

  // Written over a library with entries, the file is the template again.
  ExecSql(path, "insert into abbreviations (abb) values ('A')");
  extractEmptyDatabase(path);
  EXPECT_EQ(testing::ReadFile(path).size(), 2048u);
  EXPECT_EQ(CountAbbreviations(), 0);

  // A created library has five columns, the second named "INTEGER PRIMARY KEY".
  NewLibrary("fresh");
  QueryResult created =
      QueryLibrary(State().LibraryPath, "select name from pragma_table_info('abbreviations')");
  ASSERT_EQ(created.RowCount, 5);
  EXPECT_EQ(created.Cells(3, 1), "INTEGER PRIMARY KEY");
}

TEST_F(LibraryFilesTest, ProtectedFilesAndFoldersAreNotWritten) {
  std::string path = TemplateLibrary("protected.abb");
  ExecSql(path, "insert into abbreviations (abb) values ('keep')");
  std::string before = testing::ReadFile(path);
  testing::MakeReadOnly(path);
  std::string inFolder = dir.File("new.abb");
  testing::MakeFolderReadOnly(dir.Path().string());
  testing::ScopedUnprivileged asNobody;
  EXPECT_THROW(extractEmptyDatabase(path), LibraryFileError);
  EXPECT_THAT([&] { extractEmptyDatabase(inFolder); },
              ::testing::ThrowsMessage<LibraryFileError>(::testing::HasSubstr(inFolder)));
  EXPECT_EQ(testing::ReadFile(path), before);
  EXPECT_FALSE(std::filesystem::exists(inFolder));
}

TEST(BrowseFunctionTest, ChoosesPathsWithTheLibraryRules) {
  testing::ScriptedFileDialog dialog;
  struct Case {
    std::optional<std::string> chosen;
    const char* save;
    const char* open;
  } cases[] = {{"/lib/new", "/lib/new.abb", "/lib/new"},
               {" /lib/new.ABB ", "/lib/new.ABB.abb", "/lib/new.ABB"},
               {"/lib/x.abb.bak", "/lib/x.abb.bak", "/lib/x.abb.bak"},
               {std::nullopt, "", ""}};
  for (const Case& c : cases) {
    dialog.answers = {c.chosen, c.chosen};
    EXPECT_EQ(ChooseLibraryToSave(), c.save);
    EXPECT_EQ(ChooseLibraryToOpen(), c.open);
  }
  ASSERT_EQ(dialog.requests.size(), 8u);
  EXPECT_EQ(dialog.requests[0].title, "Save File - Abbreviation database");
  EXPECT_EQ(dialog.requests[1].title, "Open File - Abbreviation database");
  ASSERT_EQ(dialog.requests[0].filters.size(), 2u);
  EXPECT_EQ(dialog.requests[0].filters[0].description, "Abbreviation DB Files (*.abb)");
  EXPECT_EQ(dialog.requests[0].filters[1].pattern, "*.*");
  EXPECT_FALSE(dialog.requests[0].confirmOverwrite);
}

}  // namespace
}  // namespace quillon::library
