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
  } cases[] = {{"/lib/new.ABB", "/lib/new.ABB.abb"},
               {"/lib/x.abb.bak", "/lib/x.abb.bak"},
               {"  /lib/new", "/lib/new.abb"},
               {"  /lib/new.abb", "  /lib/new.abb"}};
  for (const Case& c : cases) EXPECT_EQ(EmptyLibraryTarget(c.path), c.target) << c.path;
}

class LibraryFilesTest : public LibraryTest {
 protected:
  // Returns the names of the columns of the abbreviation table at path, joined by commas.
  static std::string Columns(const std::string& path) {
    return QueryLibrary(path, "select group_concat(name) from pragma_table_info('abbreviations')")
        .Cells(2, 1);
  }
};

TEST_F(LibraryFilesTest, TemplateOpensWithOneEmptyTable) {
  std::string path = TemplateLibrary();
  EXPECT_EQ(testing::ReadFile(path).size(), 2048u);
  EXPECT_EQ(QueryLibrary(path, "select group_concat(name) from sqlite_master").Cells(2, 1),
            "abbreviations");
  EXPECT_EQ(Columns(path), "entry,direction,abb,abbtext");
  EXPECT_EQ(CountAbbreviations(), 0);
  EXPECT_EQ(QueryLibrary(path, "pragma encoding").Cells(2, 1), "UTF-8");

  // Written over a library with entries, the file is the template again.
  ExecSql(path, "insert into abbreviations (abb) values ('A')");
  extractEmptyDatabase(path);
  EXPECT_EQ(testing::ReadFile(path).size(), 2048u);
  EXPECT_EQ(CountAbbreviations(), 0);

  // A created library has five columns, the second named "INTEGER PRIMARY KEY".
  NewLibrary("fresh");
  EXPECT_EQ(Columns(State().LibraryPath), "entry,INTEGER PRIMARY KEY,direction,abb,abbtext");
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
  EXPECT_EQ(dialog.requests[0].kind, host::FileDialogRequest::Kind::kSave);
  EXPECT_EQ(dialog.requests[1].kind, host::FileDialogRequest::Kind::kOpen);
}

}  // namespace
}  // namespace quillon::library
