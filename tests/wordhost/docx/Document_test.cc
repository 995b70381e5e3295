// The document: ranges and their text, paragraphs, and the text shown for people and tools.
#include "wordhost/docx/Document.h"

#include <gtest/gtest.h>

#include "addin/host/HostError.h"
#include "wordhost/docx/DocxBuilder.h"
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

}  // namespace
}  // namespace quillon::docx
