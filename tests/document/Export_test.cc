#include "document/Export.h"

#include "document/DocumentFixture.h"
#include "document/Insertion.h"

namespace quillon::document {
namespace {

using ::testing::ElementsAre;

class ExportTest : public DocumentTest {};

TEST_F(ExportTest, NeedsALibraryAndStopsWhenItFails) {
  Open(P(Placeholder("A", "a")));
  library::State().LibraryPath.clear();
  EXPECT_FALSE(ButtonExport_click(word).ran);
  EXPECT_THAT(messages.Texts(), ElementsAre("Open or create a library first"));

  messages.shown.clear();
  library::State().LibraryPath = dir.File("gone.abb");
  ExportSummary summary = ButtonExport_click(word);
  EXPECT_EQ(summary.failed, 1);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].title, "Library was removed");
}

TEST_F(ExportTest, InsertLastSelectedNeedsLibraryAndPair) {
  Open(P(R("x")));
  library::State().LibraryPath.clear();
  EXPECT_FALSE(ButtonInsertLastSelected_click(word));
  library::CreateLibrary(dir.File("other.abb"));
  EXPECT_FALSE(ButtonInsertLastSelected_click(word));
  EXPECT_THAT(messages.Texts(),
              ElementsAre("Open a library first", "Select an abbreviation first"));
  library::State().LastSelectedAbb = "A";
  library::State().LastSelectedText = "a";
  word.Selection().SetRange(0, 0);
  EXPECT_TRUE(ButtonInsertLastSelected_click(word));
  EXPECT_TRUE(ButtonInsertLastSelected_click(word));
  EXPECT_THAT(Results(), ElementsAre("{A-#}", "{A-#}"));
  EXPECT_EQ(Shown(), "{A-#}{A-#}x\r");
}

}  // namespace
}  // namespace quillon::document
