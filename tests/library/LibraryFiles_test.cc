#include "library/LibraryFiles.h"

#include "library/BrowseFunction.h"
#include "library/LibraryFixture.h"
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
