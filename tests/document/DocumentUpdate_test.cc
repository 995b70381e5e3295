#include "document/DocumentUpdate.h"

#include "document/DocumentFixture.h"
#include "library/QueryLibrary.h"

namespace quillon::document {
namespace {

using ::testing::ElementsAre;

class DocumentUpdateTest : public DocumentTest {};

TEST_F(DocumentUpdateTest, FirstUseReadsLongAndLaterUsesShort) {
  AddEntry("WHO", "World Health Organization");
  Open(P(R("Intro. ") + PageBreak()) +
       P(R("The ") + Placeholder("WHO", "World Health Organization")) +
       P(PageBreak() + Placeholder("WHO", "World Health Organization") + R(" and ") +
         Placeholder("WHO", "World Health Organization")));
  EXPECT_EQ(ButtonUpdate_Click(word).rewritten, 3);
  EXPECT_THAT(Results(), ElementsAre("World Health Organization (WHO)", "WHO", "WHO"));
  EXPECT_THAT(messages.Texts(), ElementsAre("Abbrevations' formattings are updated according to "
                                            "their position in text"));
}

TEST_F(DocumentUpdateTest, FieldsTheLibraryLacksKeepTheDirectionOfTheirCode) {
  AddEntry("LIB", "in the library", "R");
  AddEntry("EMPTY", "no direction", "");
  struct Case {
    std::string tag;      // in the field's code
    std::string first;    // the long form after the update
    std::string codeTag;  // in the code after the update
  } cases[] = {
      {"LTR", "Alpha Beta (ABC)", "LTR"},
      {"RTL", "(ABC) Alpha Beta", "RTL"},
      {"", "(ABC) Alpha Beta", ""},
      {"ltr", "(ABC) Alpha Beta", "ltr"},  // no direction of the system's, but kept
  };
  for (const Case& c : cases) {
    Open(P(Placeholder("ABC", "Alpha Beta", c.tag) + R(" ") +
           Placeholder("ABC", "Alpha Beta", c.tag) + R(" ") +
           Placeholder("LIB", "in the library", "LTR") + Placeholder("EMPTY", "no direction", "")));
    UpdateSummary summary = ButtonUpdate_Click(word);
    EXPECT_THAT(Results(),
                ElementsAre(c.first, "ABC", "(LIB) in the library", "(EMPTY) no direction"))
        << c.tag;
    for (long i : {1, 2}) {
      EXPECT_THAT(Code(i), ::testing::HasSubstr("<Direction>" + c.codeTag + "</Direction>"));
    }
    // The library's own entries still follow the library, an empty direction included.
    EXPECT_THAT(Code(3), ::testing::HasSubstr("<Direction>RTL</Direction>"));
    EXPECT_EQ(summary.withoutLibraryEntry, 2) << c.tag;
    EXPECT_EQ(summary.failures, 0);
  }
  // A long form shown by such a field stays while it agrees with its code.
  Open(P(AbbField("ABC", "Alpha Beta", "LTR", "Alpha Beta (ABC)")));
  EXPECT_EQ(ButtonUpdate_Click(word).rewritten, 0);
}

TEST_F(DocumentUpdateTest, SecondUpdateChangesNothingUntilTheLibraryDoes) {
  AddEntry("ABC", "alpha");
  AddEntry("ABC", "beta", "R");
  Open(P(Placeholder("ABC", "alpha") + R(" ") + Placeholder("ABC", "beta") + R(" ") +
         Placeholder("ABC", "alpha") + R(" ") + Placeholder("ABC", "beta")));
  ButtonUpdate_Click(word);
  // The same abbreviation with two meanings is two entries, each with its own first use.
  EXPECT_THAT(Results(), ElementsAre("alpha (ABC)", "beta (ABC)", "ABC", "ABC"));
  std::string before = Shown();
  EXPECT_EQ(ButtonUpdate_Click(word).rewritten, 0);
  EXPECT_EQ(Shown(), before);

  // An edited long form stays while its direction matches; a new direction rewrites it.
  doc().Fields().Item(1)->Result()->SetText("alpha, edited (ABC)");
  EXPECT_EQ(ButtonUpdate_Click(word).rewritten, 0);
  EXPECT_EQ(Results()[0], "alpha, edited (ABC)");
  // The direction is looked up by abbreviation: both entries of ABC now read right to left.
  library::UpdateAbbreviation(library::State().LibraryPath, "ABC", "alpha", "ABC", "alpha", "R");
  EXPECT_EQ(ButtonUpdate_Click(word).rewritten, 2);
  EXPECT_THAT(Results(), ElementsAre("(ABC) alpha", "(ABC) beta", "ABC", "ABC"));
  EXPECT_THAT(Code(1), ::testing::HasSubstr("<Direction>RTL</Direction>"));
}

// Only abbreviation fields are rewritten; a first use that moved swaps forms with the later one.
TEST_F(DocumentUpdateTest, LeavesOtherFieldsAndSwapsAMovedFirstUse) {
  AddEntry("A", "a");
  Open(P(Fld(" PAGE ", R("1")) + AbbField("A", "a", "LTR", "A") +
         Fld(" ADDIN ABBREV <Abbreviation List>", R("  ")) + AbbField("A", "a", "LTR", "a (A)")));
  ButtonUpdate_Click(word);
  EXPECT_THAT(Results(), ElementsAre("1", "a (A)", "  ", "A"));
  EXPECT_EQ(Code(1), " PAGE ");
  EXPECT_EQ(Code(3), " ADDIN ABBREV <Abbreviation List>");
}

TEST_F(DocumentUpdateTest, WalksDocumentsBeyondSixteenBitsOfFields) {
  AddEntry("A", "a");
  std::string paragraph;
  for (int i = 0; i < 100; ++i) paragraph += AbbField("A", "a", "LTR", "A") + R(" ");
  std::string body;
  for (int p = 0; p < 331; ++p) body += P(paragraph);
  Open(body);
  ASSERT_EQ(doc().Fields().Count(), 33100);
  library::LibrarySession session;  // as the commands run
  UpdateSummary summary = UpdateDocument(word, kUpdateCollect);
  EXPECT_EQ(summary.abbreviationFields, 33100);
  EXPECT_EQ(summary.rewritten, 0);  // collecting rewrites no field, not even the first use
  EXPECT_EQ(doc().Fields().Item(1)->Result()->Text(), "A");
  EXPECT_EQ(doc().Fields().Item(33100)->Result()->Text(), "A");
}

TEST_F(DocumentUpdateTest, NoLibraryNoUpdate) {
  library::State().LibraryPath.clear();
  Open(P(Placeholder("A", "a")));
  EXPECT_FALSE(ButtonUpdate_Click(word).ran);
  EXPECT_THAT(messages.Texts(), ElementsAre("Open a database first"));
  EXPECT_THAT(Results(), ElementsAre("{A-#}"));
}

TEST_F(DocumentUpdateTest, RenameAndDeleteRewriteOnlyTheEntrysFields) {
  AddEntry("A", "a");
  Open(P(AbbField("A", "a", "LTR", "a (A)") + AbbField("A", "a", "LTR", "A") + R(" ") +
         AbbField("B", "b", "LTR", "b (B)") + R(" ") + AbbField("A", "other", "LTR", "A")));
  EXPECT_EQ(RenameEntryFields(word, kRenameFields, "A", "a", "AA", "aa"), 2);
  EXPECT_THAT(Results(), ElementsAre("{AA-#}", "{AA-#}", "b (B)", "A"));
  EXPECT_THAT(Code(2), ::testing::HasSubstr("<ABB>AA</ABB><Text>aa</Text>"));
  EXPECT_EQ(RenameEntryFields(word, kRenameRefreshOnly, "AA", "aa", "Z", "z"), 0);

  // Side by side, both fields become the plain meaning.
  EXPECT_EQ(DeleteRemovedFields(word, "AA", "aa"), 2);
  EXPECT_EQ(Shown(), "aaaa b (B) A\r");
  EXPECT_EQ(doc().Fields().Count(), 2);
}

}  // namespace
}  // namespace quillon::document
