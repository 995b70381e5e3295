// Story positions over the body: lengths, units, page numbers, and positions kept right
// through edits.
#include "wordhost/docx/Story.h"

#include <gtest/gtest.h>

#include "wordhost/docx/Document.h"
#include "wordhost/docx/DocxBuilder.h"
#include "wordhost/docx/FreshLoad.h"
#include "wordhost/docx/TextExport.h"

namespace quillon::docx {
namespace {

using namespace testing;

struct PositionCase {
  const char* name;
  std::string body;
  long length;       // story length
  std::string text;  // Range().Text
};

class PositionTest : public ::testing::TestWithParam<PositionCase> {};

TEST_P(PositionTest, LengthAndText) {
  const PositionCase& c = GetParam();
  auto doc = Load(c.body);
  auto whole = doc->Range();
  EXPECT_EQ(whole->Start(), 0);
  EXPECT_EQ(whole->End(), c.length);
  EXPECT_EQ(whole->Text(), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Story, PositionTest,
    ::testing::Values(
        PositionCase{"plain", P(R("Hello")) + P(R("World")), 12, "Hello\rWorld\r"},
        PositionCase{"empty_body", "", 1, "\r"},
        PositionCase{"runs_and_tab", P(R("a") + "<w:r><w:tab/></w:r>" + R("bc")), 5, "a\tbc\r"},
        // begin + code(4) + separate + result(2) + end = 9, plus the mark.
        PositionCase{"complex_field", P(Fld("CODE", R("ab"))), 10, "ab\r"},
        PositionCase{"simple_field", P(R("x") + Simple("PAGE", R("7"))), 10, "x7\r"},
        PositionCase{"nested_field", P(Fld("IF ", Fld("X", R("1")) + R("r"))), 13, "1r\r"},
        PositionCase{"code_over_runs",
                     P(Mark("begin") + Instr(" AD") + Instr("DIN ") + Mark("separate") + R("z") +
                       Mark("end")),
                     12, "z\r"},
        // Two cells of 3 characters + cell ends + row end, then the paragraph after.
        PositionCase{"table", Tbl(1, 2) + P(""), 10, "c00\r\ac01\r\a\r\a\r"},
        PositionCase{"whitespace_kept", P(R("  two  spaces ")), 15, "  two  spaces \r"},
        PositionCase{
            "deleted_text_ignored",
            P(R("keep") + "<w:del w:id=\"1\"><w:r><w:delText>gone</w:delText></w:r></w:del>"), 5,
            "keep\r"},
        PositionCase{"unicode", P(R("\xC3\xA9t\xC3\xA9")), 4, "\xC3\xA9t\xC3\xA9\r"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Story, PagesCountBreaksOnce) {
  std::string body = P(R("page one")) + P("<w:r><w:br w:type=\"page\"/></w:r>") +
                     P("<w:r><w:lastRenderedPageBreak/><w:t>page two</w:t></w:r>") +
                     P(R("still two")) + P(R("three"), "<w:pageBreakBefore/>") +
                     P("<w:r><w:lastRenderedPageBreak/><w:t>four (soft break)</w:t></w:r>") +
                     P(R("end of section"), "<w:sectPr/>") + P(R("five"));
  auto doc = Load(body);
  const Story& story = doc->story();
  auto pageOf = [&](const std::string& needle) {
    std::string text = doc->Range()->Text();
    long pos = static_cast<long>(text.find(needle));
    return story.PageAt(pos);
  };
  EXPECT_EQ(pageOf("page one"), 1);
  EXPECT_EQ(pageOf("page two"), 2);
  EXPECT_EQ(pageOf("still two"), 2);
  EXPECT_EQ(pageOf("three"), 3);
  EXPECT_EQ(pageOf("four"), 4);
  EXPECT_EQ(pageOf("end of section"), 4);
  EXPECT_EQ(pageOf("five"), 5);
}

// Text written into one element in place moves what follows it without measuring the
// paragraph again; positions, page breaks after it and fields must still match a fresh read.
TEST(Story, TextResizedInPlaceMatchesAFreshLoad) {
  auto doc = Load(P(R("start ") + Fld(" QUOTE a ", R("{A-#1}")) + R(" middle ") +
                    Fld(" QUOTE b ", R("{B-#2}")) + PageBreak() + R("after the break") +
                    "<w:r><w:lastRenderedPageBreak/><w:t>rendered</w:t></w:r>") +
                  P(R("next ") + Fld(" QUOTE c ", R("c"))));
  doc->Fields().Item(1)->Result()->SetText("Alpha, a much longer meaning (A)");
  ExpectSameAsFreshLoad(*doc);
  doc->Fields().Item(2)->Result()->SetText("B");
  ExpectSameAsFreshLoad(*doc);
  doc->Fields().Item(3)->Result()->SetText("ccc");
  ExpectSameAsFreshLoad(*doc);
  EXPECT_EQ(ShowText(*doc, false).substr(0, 47), "start Alpha, a much longer meaning (A) middle B");
}

// Nesting right up to the depth limit is read, walked and edited: the walks that recurse
// through tables and content controls stay within the stack at the limit.
TEST(Story, NestingUpToTheDepthLimitIsWalked) {
  // w:document, w:body, then three levels per table and w:p, w:r, w:t inside: 2 + 3 * 83 + 3.
  std::string tables =
      Nested(83, "<w:tbl><w:tr><w:tc>", P(R("deep")), "</w:tc></w:tr></w:tbl>") + P(R("after"));
  auto doc = Load(tables);
  EXPECT_EQ(ShowText(*doc, false).substr(0, 4), "deep");
  EXPECT_EQ(doc->story().UnitCount(), 83u * 2 + 1);
  ASSERT_EQ(doc->Tables().Count(), 1);
  doc->Tables().Item(1)->Delete();
  EXPECT_EQ(doc->Range()->Text(), "after\r");
  // Two levels per content control: 2 + 2 * 125 + 3.
  auto controls =
      Load(Nested(125, "<w:sdt><w:sdtContent>", P(R("deep")), "</w:sdtContent></w:sdt>"));
  EXPECT_EQ(controls->Range()->Text(), "deep\r");
}

}  // namespace
}  // namespace quillon::docx
