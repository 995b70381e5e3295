#include "document/Export.h"

#include "document/DocumentFixture.h"
#include "document/Insertion.h"

namespace quillon::document {
namespace {

using ::testing::ElementsAre;

class ExportTest : public DocumentTest {};

TEST_F(ExportTest, AddsWhatTheLibraryLacksOnce) {
  AddEntry("abc ", "ALPHA");
  std::string marker = docx::testing::Fld(" ADDIN ABBREV <Abbreviation List>", R("  "));
  Open(P(Placeholder("ABC", " alpha") + Placeholder("AR", "Arabic", "RTL") +
         Placeholder("AR", "Arabic", "RTL") + Placeholder("NEW", "new", "") + marker +
         docx::testing::Fld(" PAGE ", R("1"))));
  ExportSummary summary = ButtonExport_click(word);
  // Counted in entries: AR's second field adds nothing and is not counted again.
  EXPECT_EQ(summary.added, 2);
  EXPECT_EQ(summary.skipped, 1);
  EXPECT_THAT(messages.Texts(),
              ElementsAre("Abbreviations exported correctly to the open library"));
  EXPECT_EQ(library::CountAbbreviations(), 3);
  EXPECT_EQ(library::DirectionOf("AR"), "R");
  EXPECT_EQ(library::DirectionOf("NEW"), "L");  // empty tag, no row: L
}

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
