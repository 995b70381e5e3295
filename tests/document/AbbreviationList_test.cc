#include "document/AbbreviationList.h"

#include "document/DocumentFixture.h"
#include "document/DocumentUpdate.h"
#include "document/FieldFormat.h"
#include "wordhost/docx/FreshLoad.h"

namespace quillon::document {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class AbbreviationListTest : public DocumentTest {};

TEST_F(AbbreviationListTest, EmptyDocumentGetsMarkerAndHeader) {
  Open(P(R("A quote: QUOTE it.")) + P(R("No abbreviations here.")));
  EXPECT_TRUE(ButtonInsertList_Click(word));
  EXPECT_THAT(messages.Texts(), ElementsAre("Abbreviation list is updated"));
  EXPECT_EQ(messages.shown[0].title, "Quillon plugin");
  ASSERT_EQ(doc().Fields().Count(), 1);
  EXPECT_EQ(Code(1), " ADDIN ABBREV <Abbreviation List> ");
  ASSERT_EQ(doc().Tables().Count(), 1);
  EXPECT_EQ(doc().Tables().Item(1)->Style(), "Table Grid");
  EXPECT_EQ(doc().Tables().Item(1)->RowCount(), 1);
  EXPECT_THAT(Shown(), HasSubstr("No abbreviations here.  \r"));
  EXPECT_THAT(Shown(), ::testing::StartsWith("A quote: QUOTE it.\r"));  // the keyword only
  EXPECT_THAT(Shown(), HasSubstr("Abbreviation\r\aMeaning\r\aPage\r\a"));
}

TEST_F(AbbreviationListTest, RowsSortedWithPagesAndRealMeanings) {
  AddEntry("text", "a word spelled text");
  AddEntry("ABC", "alpha");
  Open(P(Placeholder("xyz", "omega") + PageBreak()) + P(Placeholder("ABC", "alpha") + PageBreak()) +
       P(Placeholder("text", "a word spelled text") + Placeholder("Abc", "beta") +
         Placeholder("ABC", "alpha")));
  ButtonUpdate_Click(word);
  ASSERT_TRUE(InsertAbbreviationList(word));
  ASSERT_EQ(doc().Tables().Count(), 1);
  EXPECT_EQ(doc().Tables().Item(1)->RowCount(), 5);
  // Sorted by the capitalised abbreviation; ABC and Abc keep their discovery order.
  EXPECT_EQ(doc().Tables().Item(1)->Range()->Text(),
            "Abbreviation\r\aMeaning\r\aPage\r\a\r\aABC\r\aalpha\r\a2\r\a\r\a"
            "Abc\r\abeta\r\a3\r\a\r\atext\r\aa word spelled text\r\a3\r\a\r\a"
            "xyz\r\aomega\r\a1\r\a\r\a");
  // The header row's borders are off, except the inside horizontal one; rows added by moving
  // on from the last cell copy the cell formatting of the row before, as Word's do.
  pugi::xml_node table = doc().xml().child("w:document").child("w:body").child("w:tbl");
  pugi::xml_node look = table.child("w:tblPr").child("w:tblLook");
  EXPECT_STREQ(look.attribute("w:firstRow").value(), "1");
  EXPECT_STREQ(look.attribute("w:lastColumn").value(), "1");
  EXPECT_STREQ(look.attribute("w:val").value(), "05E0");
  for (pugi::xml_node row : {table.child("w:tr"), table.last_child()}) {
    pugi::xml_node borders = row.child("w:tc").child("w:tcPr").child("w:tcBorders");
    EXPECT_STREQ(borders.child("w:top").attribute("w:val").value(), "nil");
    EXPECT_STREQ(borders.child("w:right").attribute("w:val").value(), "nil");
    EXPECT_STREQ(borders.child("w:tl2br").attribute("w:val").value(), "nil");
    EXPECT_FALSE(borders.child("w:insideH"));
  }
  docx::testing::ExpectSameAsFreshLoad(doc());
}

TEST_F(AbbreviationListTest, RebuildReplacesTheListInPlace) {
  AddEntry("A", "a");
  Open(P(Placeholder("A", "a")) + P(R("Last paragraph.")));
  ButtonUpdate_Click(word);
  ASSERT_TRUE(InsertAbbreviationList(word));
  AddEntry("B", "b");
  doc().Range(0, 0)->Select();
  word.Selection().TypeText("New ");
  word.Selection().SetRange(0, 0);
  ASSERT_TRUE(PlaceField(word, "B", "b", "{B-#}"));
  ASSERT_TRUE(InsertAbbreviationList(word));
  EXPECT_EQ(doc().Tables().Count(), 1);
  std::string twice = Shown();
  EXPECT_THAT(twice, HasSubstr("B\r\ab\r\a1\r\a"));
  EXPECT_EQ(twice.find("Abbreviation\r\a"), twice.rfind("Abbreviation\r\a"));
  EXPECT_EQ(FindAbbreviationList(word), 3);
}

TEST_F(AbbreviationListTest, MarkerTests) {
  std::string elsewhere = docx::testing::Fld(" QUOTE \"see <Abbreviation List>\" ", R("x"));
  std::string noBlank = docx::testing::Fld("ADDIN ABBREV <Abbreviation List>", R("  "));
  Open(P(elsewhere) + P(noBlank));
  EXPECT_TRUE(IsAbbreviationListPresent(word));
  EXPECT_EQ(FindAbbreviationList(word), 2);  // the marker right after the keyword only
  Open(P(elsewhere));
  EXPECT_TRUE(IsAbbreviationListPresent(word));
  EXPECT_EQ(FindAbbreviationList(word), 0);
  library::State().LibraryPath.clear();
  EXPECT_FALSE(InsertAbbreviationList(word));
  EXPECT_THAT(messages.Texts(), ElementsAre("Please open a library first"));
  EXPECT_EQ(doc().Tables().Count(), 0);
}

}  // namespace
}  // namespace quillon::document
