// The document: ranges and their text, paragraphs, and the text shown for people and tools.
#include "wordhost/docx/Document.h"

#include <gtest/gtest.h>

#include "addin/host/HostError.h"
#include "wordhost/docx/DocxBuilder.h"
#include "wordhost/docx/FreshLoad.h"
#include "wordhost/docx/Selection.h"
#include "wordhost/docx/TextExport.h"

namespace quillon::docx {
namespace {

using namespace testing;

TEST(Document, RangeTextFollowsShowCodes) {
  auto doc = Load(P(R("A ") + Fld(" QUOTE x ", R("shown")) + R(" B")));
  EXPECT_EQ(doc->Range()->Text(), "A shown B\r");
  doc->Fields().Item(1)->SetShowCodes(true);
  EXPECT_EQ(doc->Range()->Text(), "A  QUOTE x  B\r");
  EXPECT_EQ(doc->Range(2, 5)->Text(), " Q");  // the field begins at 2: begin mark, then code
}

TEST(Document, RangeOutsideTheTextIsAHostError) {
  auto doc = Load(P(R("abc")));
  EXPECT_THROW(doc->Range(0, 99), host::HostError);
  EXPECT_THROW(doc->Range(-1, 2), host::HostError);
  EXPECT_EQ(doc->Range(1, 1)->Text(), "");
}

TEST(Document, ParagraphsCountAndEnds) {
  auto doc = Load(P(R("one")) + Tbl(1, 2) + P(R("last")));
  host::Paragraphs& paragraphs = doc->Paragraphs();
  // Two paragraphs in the body and one in each cell.
  ASSERT_EQ(paragraphs.Count(), 4);
  EXPECT_EQ(paragraphs.Item(1)->Range()->End(), 4);
  EXPECT_EQ(paragraphs.Item(4)->Range()->End(), doc->Range()->End());
  EXPECT_EQ(paragraphs.Item(4)->Range()->Text(), "last\r");
  EXPECT_THROW(paragraphs.Item(5), host::HostError);
}

TEST(Document, ShowTextPrintsLinesAndCells) {
  auto doc = Load(P(R("Title")) + Tbl(2, 2) + P(R("A ") + Fld("QUOTE x", R("res")) + R(".")));
  EXPECT_EQ(ShowText(*doc, false), "Title\nc00\tc01\nc10\tc11\nA res.\n");
  EXPECT_EQ(ShowText(*doc, true), "Title\nc00\tc01\nc10\tc11\nA QUOTE x.\n");
}

// An edit at the very end of the story, after the final paragraph mark where no insertion
// point can stand, goes before that mark; the story stays as a fresh load reads it.

TEST(Document, EditsAtTheEndGoBeforeTheFinalParagraphMark) {
  struct Case {
    const char* name;
    void (*edit)(Document& doc, long end);
    const char* shown;  // Range().Text() afterwards
  };
  const Case cases[] = {
      {"field",
       [](Document& doc, long end) {
         doc.Fields().Add(*doc.Range(end, end), host::wdFieldQuote, "X", false);
       },
       "Alpha beta gamma delta epsilon.X\r"},
      {"text", [](Document& doc, long end) { doc.Range(end, end)->SetText(" Zeta."); },
       "Alpha beta gamma delta epsilon. Zeta.\r"},
      {"paragraph", [](Document& doc, long end) { doc.SplitParagraph(end); },
       "Alpha beta gamma delta epsilon.\r\r"},
      {"table",
       [](Document& doc, long end) {
         doc.Tables().Add(*doc.Range(end, end), 1, 2, host::wdWord9TableBehavior,
                          host::wdAutoFitContent);
       },
       "Alpha beta gamma delta epsilon.\r\r\a\r\a\r\a\r"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto doc = Load(P(R("Alpha beta gamma delta epsilon.")));
    long end = doc->story().Length();
    ASSERT_EQ(end, 32);
    c.edit(*doc, end);
    EXPECT_EQ(doc->Range()->Text(), c.shown);
    ExpectSameAsFreshLoad(*doc);
  }
}

// Text that is not valid UTF-8 never enters the document: other readers refuse such XML.
TEST(Document, TextThatIsNotUtf8IsRefused) {
  auto doc = Load(P(R("See ") + Fld(" QUOTE x ", R("old"))));
  const std::string before = doc->ToBytes();
  const std::string bad = "caf\xC3";
  auto expectRefused = [&](auto&& edit) {
    try {
      edit();
      ADD_FAILURE() << "no error";
    } catch (const host::HostError& e) {
      EXPECT_STREQ(e.what(), "the text is not valid UTF-8 (byte 3)");
    }
    EXPECT_EQ(doc->ToBytes(), before);
    EXPECT_FALSE(doc->Modified());
  };
  expectRefused([&] { doc->Range(0, 3)->SetText(bad); });
  expectRefused([&] { doc->Range(1, 1)->SetText(bad); });
  expectRefused([&] { doc->Fields().Add(*doc->Range(0, 0), host::wdFieldQuote, bad, false); });
  expectRefused([&] { doc->Fields().Item(1)->Result()->SetText(bad); });
  expectRefused([&] { doc->selection().TypeText(bad); });
}

}  // namespace
}  // namespace quillon::docx
