// Turning plain uses into fields: exactly the found text, one field per combined form, the list
// marker before a hand-made table, and nothing more on a second run.
#include "document/Convert.h"

#include "document/AbbreviationList.h"
#include "document/DocumentFixture.h"
#include "document/DocumentUpdate.h"
#include "library/EntryTransfer.h"
#include "library/QueryLibrary.h"

namespace quillon::document {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

class ConvertTest : public DocumentTest {
 protected:
  ConvertTest() {
    AddEntry("PCA", "principal component analysis");
    AddEntry("ML", "machine learning");
  }
  std::vector<library::AbbreviationEntry> Entries() {
    return *library::ReadAllEntries(library::State().LibraryPath);
  }
  const std::string handMadeTable =
      Table({{"Abbreviation", "Meaning"}, {"ML", "machine learning"}});
};

TEST_F(ConvertTest, EachUseBecomesOnePlaceholderField) {
  Open(P(R("We use principal component analysis (PCA), then PCA and ML; HTML stays.")));
  ConvertSummary summary = ConvertDocument(word, Entries());
  EXPECT_EQ(summary.converted, 3);
  EXPECT_FALSE(summary.failed);
  EXPECT_EQ(Shown(), "We use {PCA-#}, then {PCA-#} and {ML-#}; HTML stays.\r");
  EXPECT_EQ(Code(1),
            " ADDIN ABBREV <ABB>PCA</ABB><Text>principal component analysis</Text>"
            "<Direction>LTR</Direction></ABBREV> ");
  // The update then writes the first use long and the later ones short.
  ButtonUpdate_Click(word);
  EXPECT_EQ(Shown(),
            "We use principal component analysis (PCA), then PCA and machine learning "
            "(ML); HTML stays.\r");
}

TEST_F(ConvertTest, UsesLeftAsWrittenAreCounted) {
  Open(P(R("Two PCAs and the ML's part.")));
  ConvertSummary summary = ConvertDocument(word, Entries());
  EXPECT_EQ(summary.converted, 0);
  EXPECT_EQ(summary.kept, 2);
  EXPECT_FALSE(doc().Modified());
}

TEST_F(ConvertTest, ASecondRunChangesNothing) {
  Open(P(R("PCA and machine learning. ")) + handMadeTable + P(R("ML again.")));
  ConvertSummary first = ConvertDocument(word, Entries());
  EXPECT_EQ(first.converted, 3);
  std::string once = doc().Range()->StoryText();
  ConvertSummary second = ConvertDocument(word, Entries());
  EXPECT_EQ(second.converted, 0);
  EXPECT_FALSE(second.markerPlaced);
  EXPECT_EQ(doc().Range()->StoryText(), once);
}

// The numbers and directions come from the library as an insertion would read them: the entry
// number of the row with that abbreviation and meaning, and the direction of the abbreviation's
// first row, even where a later row of the same abbreviation says otherwise.
TEST_F(ConvertTest, FieldsCarryTheLibrarysNumbersAndDirections) {
  AddEntry("ML", "maximum likelihood", "R");
  library::QueryLibrary(library::State().LibraryPath,
                        "update abbreviations set entry = cast(rowid + 40 as text)");
  Open(P(R("PCA, machine learning and maximum likelihood.")));
  EXPECT_EQ(ConvertDocument(word, Entries()).converted, 3);
  EXPECT_EQ(Shown(), "{PCA-#41}, {ML-#42} and {ML-#43}.\r");
  for (long field : {2, 3}) EXPECT_THAT(Code(field), HasSubstr("<Direction>LTR</Direction>"));
}

struct MarkerCase {
  const char* name;
  std::string before, after;  // around the hand-made table
  bool placed;
};

TEST_F(ConvertTest, MarkerBeforeTheHandMadeTable) {
  const MarkerCase cases[] = {
      {"after_a_paragraph", P(R("Abbreviations used:")), P(R("Text with ML.")), true},
      {"table_opens_the_document", "", P(R("Text with ML.")), false},
      {"after_another_table", P(R("x")) + docx::testing::Tbl(1, 1), P(R("ML.")), false},
      {"list_marker_already_there", P(Fld(" ADDIN ABBREV <Abbreviation List>", R("  "))),
       P(R("ML.")), false}};
  for (const MarkerCase& c : cases) {
    SCOPED_TRACE(c.name);
    Open(c.before + handMadeTable + c.after);
    ConvertSummary summary = ConvertDocument(word, Entries());
    EXPECT_EQ(summary.markerPlaced, c.placed);
    EXPECT_EQ(IsAbbreviationListPresent(word),
              c.placed || c.before.find("Abbreviation List") != std::string::npos);
    if (!c.placed) continue;
    // The list build then replaces the hand-made table with the generated one.
    ASSERT_TRUE(ButtonInsertList_Click(word));
    EXPECT_EQ(doc().Tables().Count(), 1);
    EXPECT_THAT(Shown(),
                HasSubstr("Abbreviation\r\aMeaning\r\aPage\r\a\r\aML\r\amachine learning\r\a1"));
    EXPECT_THAT(Shown(), Not(HasSubstr("Abbreviation\r\aMeaning\r\a\r\a")));
  }
}

}  // namespace
}  // namespace quillon::document
