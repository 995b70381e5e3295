// The selection: moves, typing, pages, and find and replace as the add-in uses them.
#include "wordhost/docx/Selection.h"

#include <gtest/gtest.h>

#include "addin/host/HostError.h"
#include "wordhost/docx/Document.h"
#include "wordhost/docx/DocxBuilder.h"
#include "wordhost/docx/Find.h"
#include "wordhost/docx/StoryText.h"

namespace quillon::docx {
namespace {

using namespace testing;

TEST(Selection, CharacterMoves) {
  auto doc = Load(P(R("abcdef")));
  Selection& s = doc->selection();
  EXPECT_EQ(s.MoveRight(host::wdCharacter, 2, host::kMissing), 2);
  EXPECT_EQ(s.Start(), 2);
  s.MoveRight(host::wdCharacter, 3, host::wdExtend);
  EXPECT_EQ(s.Text(), "cde");
  // Without extend, a selection first collapses towards the move.
  s.MoveLeft(host::wdCharacter, 1, host::kMissing);
  EXPECT_EQ(s.Start(), 2);
  EXPECT_EQ(s.End(), 2);
  s.SetRange(1, 4);
  s.MoveRight(host::wdCharacter, 1, host::kMissing);
  EXPECT_EQ(s.Start(), 4);
  EXPECT_EQ(s.End(), 4);
  // The insertion point stops before the final paragraph mark.
  s.MoveRight(host::wdCharacter, 100, host::kMissing);
  EXPECT_EQ(s.Start(), 6);
  s.MoveLeft(host::wdCharacter, 100, host::kMissing);
  EXPECT_EQ(s.Start(), 0);
  EXPECT_THROW(s.MoveRight(host::wdLine, 1, host::kMissing), host::HostError);
}

TEST(Selection, TextReadAndWrite) {
  auto doc = Load(P(R("Hello big world")));
  Selection& s = doc->selection();
  EXPECT_EQ(s.Text(), "");  // an insertion point shows nothing
  s.SetRange(6, 9);
  EXPECT_EQ(s.Text(), "big");
  s.SetText("small");
  EXPECT_EQ(s.Text(), "small");
  EXPECT_EQ(doc->Range()->Text(), "Hello small world\r");
}

TEST(Selection, TypeTextAndParagraphs) {
  auto doc = Load(P(R("ab", "<w:i/>")));
  Selection& s = doc->selection();
  s.SetRange(1, 1);
  s.TypeText("X");
  s.TypeParagraph();
  s.TypeText("Y");
  EXPECT_EQ(doc->Range()->Text(), "aX\rYb\r");
  EXPECT_EQ(doc->Paragraphs().Count(), 2);
  EXPECT_EQ(s.Start(), 4);
  // Typed text takes the formatting of the text before it.
  EXPECT_EQ(FormatAt(doc->story(), 2).child("w:i").empty(), false);
  s.MoveUp(host::wdLine, 1, host::kMissing);
  EXPECT_EQ(s.Start(), 1);  // same offset in the paragraph above
}

TEST(Selection, InformationGivesThePageOfTheEnd) {
  auto doc = Load(P(R("one")) + P("<w:r><w:br w:type=\"page\"/></w:r>" + R("two")));
  Selection& s = doc->selection();
  EXPECT_EQ(s.Information(host::wdActiveEndPageNumber), 1);
  s.SetRange(0, 7);  // "one", mark, break, "tw"
  EXPECT_EQ(s.Information(host::wdActiveEndPageNumber), 2);
  EXPECT_THROW(s.Information(1), host::HostError);
}

struct CaseCase {
  const char* matched;
  const char* replacement;
  const char* expected;
};

class AdaptCaseTest : public ::testing::TestWithParam<CaseCase> {};

TEST_P(AdaptCaseTest, FollowsTheMatch) {
  EXPECT_EQ(AdaptCase(GetParam().matched, GetParam().replacement), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Find, AdaptCaseTest,
                         ::testing::Values(CaseCase{"QUOTE", "Addin ABBREV", "ADDIN ABBREV"},
                                           CaseCase{"Quote", "addin abbrev", "Addin abbrev"},
                                           CaseCase{"quote", "Addin ABBREV", "Addin ABBREV"},
                                           CaseCase{"qUOTE", "xy", "xy"},
                                           CaseCase{"\xC3\x89T\xC3\x89", "abc", "ABC"}));

// The sequence the add-in runs to write an abbreviation field over the selection.
void PlaceField(Document& doc, const std::string& markup, const std::string& display) {
  host::Selection& selection = doc.selection();
  auto field = selection.Fields().Add(*selection.Range(), host::wdFieldQuote, markup, false);
  field->Select();
  field->SetShowCodes(true);
  host::Find& find = selection.Find();
  find.ClearFormatting();
  find.Replacement().ClearFormatting();
  find.SetText("QUOTE");
  find.Replacement().SetText("Addin ABBREV");
  find.SetForward(false);
  find.SetWrap(host::wdFindContinue);
  find.SetFormat(false);
  find.SetMatchCase(false);
  find.SetMatchWholeWord(false);
  host::FindExecuteArgs args;
  args.replace = host::wdReplaceOne;
  ASSERT_TRUE(find.Execute(args));
  field->Result()->SetText(display);
  field->SetShowCodes(false);
  field->Select();
  selection.MoveRight(host::wdCharacter, 1, host::kMissing);
}

TEST(Find, PlaceFieldWritesAnAbbreviationField) {
  auto doc = Load(P(R("See ") + R("WHO", "<w:b/>") + R(" now.")));
  doc->selection().SetRange(4, 7);
  const std::string markup =
      "<ABB>WHO</ABB><Text>World Health Organization</Text><Direction>LTR</Direction></ABBREV>";
  PlaceField(*doc, markup, "{WHO-#3}");
  ASSERT_EQ(doc->Fields().Count(), 1);
  auto field = doc->Fields().Item(1);
  EXPECT_EQ(field->Code()->Text(), " ADDIN ABBREV " + markup + " ");
  EXPECT_EQ(field->Result()->Text(), "{WHO-#3}");
  EXPECT_EQ(doc->Range()->Text(), "See {WHO-#3} now.\r");
  // The insertion point is just after the field.
  long end = doc->fieldIndex().EndOf(*doc->fieldIndex().At(0), doc->story());
  EXPECT_EQ(doc->selection().Start(), end + 1);
  EXPECT_EQ(doc->selection().End(), end + 1);
  // Rewriting the field in place keeps it the only one.
  field->Select();
  PlaceField(*doc, markup, "World Health Organization (WHO)");
  EXPECT_EQ(doc->Fields().Count(), 1);
  EXPECT_EQ(doc->Range()->Text(), "See World Health Organization (WHO) now.\r");
}

TEST(Find, SearchesWhatTheDocumentShows) {
  auto doc = Load(P(R("alpha ") + Fld(" QUOTE hidden ", R("beta")) + R(" gamma quote")));
  host::Find& find = doc->selection().Find();
  host::FindExecuteArgs args;
  args.findText = "beta";
  EXPECT_TRUE(find.Execute(args));
  EXPECT_EQ(doc->selection().Text(), "beta");
  // A field's code is not searched while its result shows...
  doc->selection().SetRange(0, 0);
  args.findText = "hidden";
  EXPECT_FALSE(find.Execute(args));
  // ...but is once its code shows.
  doc->Fields().Item(1)->SetShowCodes(true);
  EXPECT_TRUE(find.Execute(args));
  EXPECT_EQ(doc->selection().Text(), "hidden");
}

TEST(Find, WrapsAndHonoursDirectionAndCase) {
  auto doc = Load(P(R("one Two three two")));
  host::Find& find = doc->selection().Find();
  doc->selection().SetRange(10, 10);
  host::FindExecuteArgs args;
  args.findText = "two";
  args.forward = true;
  args.wrap = host::wdFindContinue;
  ASSERT_TRUE(find.Execute(args));
  EXPECT_EQ(doc->selection().Start(), 14);
  doc->selection().SetRange(15, 15);
  ASSERT_TRUE(find.Execute(args));  // wraps to the start
  EXPECT_EQ(doc->selection().Start(), 4);
  args.matchCase = true;
  doc->selection().SetRange(0, 0);
  ASSERT_TRUE(find.Execute(args));
  EXPECT_EQ(doc->selection().Start(), 14);
  args.wrap = host::wdFindStop;
  doc->selection().SetRange(16, 16);
  EXPECT_FALSE(find.Execute(args));
  args.matchWildcards = true;
  EXPECT_THROW(find.Execute(args), host::HostError);
}

TEST(Find, ReplaceOneLeavesTheReplacementSelected) {
  auto doc = Load(P(R("Quote and quote")));
  host::Find& find = doc->selection().Find();
  find.SetText("quote");
  find.Replacement().SetText("citation");
  find.SetWrap(host::wdFindContinue);  // past the selection, where the second match is
  host::FindExecuteArgs args;
  args.replace = host::wdReplaceOne;
  ASSERT_TRUE(find.Execute(args));
  EXPECT_EQ(doc->selection().Text(), "Citation");
  ASSERT_TRUE(find.Execute(args));
  EXPECT_EQ(doc->Range()->Text(), "Citation and citation\r");
}

}  // namespace
}  // namespace quillon::docx
