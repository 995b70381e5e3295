// Fields of the main text: reading, writing results, adding QUOTE fields, deleting.
#include <gtest/gtest.h>

#include "addin/host/HostError.h"
#include "wordhost/docx/Document.h"
#include "wordhost/docx/DocxBuilder.h"
#include "wordhost/docx/FreshLoad.h"
#include "wordhost/docx/Selection.h"

namespace quillon::docx {
namespace {

using namespace testing;

TEST(Fields, CodesAndResultsInOrder) {
  struct Case {
    const char* name;
    std::string body;
    std::vector<std::pair<std::string, std::string>> fields;  // code, result
  };
  const Case cases[] = {
      {"none", P(R("plain")), {}},
      {"complex",
       P(R("a") + Fld(" ADDIN ABBREV <ABB>X</ABB> ", R("{X-#1}"))),
       {{" ADDIN ABBREV <ABB>X</ABB> ", "{X-#1}"}}},
      {"simple", P(Simple(" PAGE ", R("3"))), {{" PAGE ", "3"}}},
      {"code_split_result_split",
       P(Mark("begin") + Instr(" QUO") + Instr("TE ") + Instr("x ") + Mark("separate") + R("one ") +
         R("two", "<w:b/>") + Mark("end")),
       {{" QUOTE x ", "one two"}}},
      {"result_over_paragraphs",
       P(Mark("begin") + Instr(" TOC ") + Mark("separate") + R("first")) +
           P(R("second") + Mark("end")),
       {{" TOC ", "first\rsecond"}}},
      {"nested_in_order",
       P(Fld(" IF ", Fld(" A ", R("1")) + R(" and ") + Fld(" B ", R("2")))),
       {{" IF ", "1 and 2"}, {" A ", "1"}, {" B ", "2"}}},
      {"no_separator", P(Mark("begin") + Instr(" XE \"a\" ") + Mark("end")), {{" XE \"a\" ", ""}}},
      // Marks that do not pair up are not fields, and reading goes on.
      {"end_without_begin", P(R("a") + Mark("end") + Fld(" X ", R("r"))), {{" X ", "r"}}},
      {"begin_without_end", P(Fld(" X ", R("r")) + Mark("begin") + Instr(" Y ")), {{" X ", "r"}}},
      {"in_table", Tbl(1, 1) + P(Fld(" Z ", R("z"))), {{" Z ", "z"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto doc = Load(c.body);
    host::Fields& fields = doc->Fields();
    ASSERT_EQ(fields.Count(), static_cast<long>(c.fields.size()));
    for (size_t i = 0; i < c.fields.size(); ++i) {
      auto field = fields.Item(static_cast<long>(i + 1));
      EXPECT_EQ(field->Code()->Text(), c.fields[i].first) << "field " << i + 1;
      EXPECT_EQ(field->Result()->Text(), c.fields[i].second) << "field " << i + 1;
    }
    EXPECT_THROW(fields.Item(0), host::HostError);
    EXPECT_THROW(fields.Item(fields.Count() + 1), host::HostError);
  }
}

// Written text takes the format of what it replaces: a field added over a selection that of
// the selection, a result (one run) that of the result's first run.
TEST(Fields, WrittenFieldsTakeTheFormatOfWhatTheyReplace) {
  auto doc =
      Load(P(R("WHO", "<w:b/>") + R(" ") + Fld(" X ", R("old", "<w:i/>") + R(" more", "<w:b/>"))));
  doc->Fields().Add(*doc->Range(0, 3), host::wdFieldQuote, "<ABB>WHO</ABB>", false);
  EXPECT_TRUE(doc->fieldIndex().At(0)->begin.parent().child("w:rPr").child("w:b"));
  doc->Fields().Item(2)->Result()->SetText("New text");
  EXPECT_EQ(doc->Range()->Text(), "<ABB>WHO</ABB> New text\r");
  pugi::xml_node resultRun = doc->fieldIndex().At(1)->separate.parent().next_sibling("w:r");
  EXPECT_TRUE(resultRun.child("w:rPr").child("w:i"));
  EXPECT_FALSE(resultRun.child("w:rPr").child("w:b"));
  EXPECT_EQ(resultRun.next_sibling("w:r").child("w:fldChar").attribute("w:fldCharType").value(),
            std::string("end"));
}

// Simple and separatorless fields take a result too; a result written over nested fields
// removes them.
TEST(Fields, ResultWriteOnSimpleSeparatorlessAndNestedFields) {
  auto doc = Load(P(Simple(" PAGE ", R("1"))) + P(Mark("begin") + Instr(" XE ") + Mark("end")) +
                  P(Fld(" IF ", Fld(" A ", R("1")) + R("x")) + Fld(" B ", R("b"))));
  ASSERT_EQ(doc->Fields().Count(), 5);
  doc->Fields().Item(1)->Result()->SetText("9");
  doc->Fields().Item(2)->Result()->SetText("now");
  doc->Fields().Item(3)->Result()->SetText("flat");
  ASSERT_EQ(doc->Fields().Count(), 4);
  EXPECT_EQ(doc->Fields().Item(1)->Code()->Text(), " PAGE ");
  EXPECT_EQ(doc->Fields().Item(1)->Result()->Text(), "9");
  EXPECT_EQ(doc->Fields().Item(2)->Result()->Text(), "now");
  EXPECT_EQ(doc->Fields().Item(4)->Code()->Text(), " B ");
  EXPECT_EQ(doc->Range()->Text(), "9\rnow\rflatb\r");
}

TEST(Fields, ReplacingTwoFieldsByOneDropsOneIndex) {
  auto doc =
      Load(P(Fld(" A ", R("a")) + R(" ") + Fld(" B ", R("b")) + R(" ") + Fld(" C ", R("c"))));
  auto first = doc->Fields().Item(1);
  auto third = doc->Fields().Item(3);
  long start = doc->fieldIndex().BeginOf(*doc->fieldIndex().At(0), doc->story());
  long end = doc->fieldIndex().EndOf(*doc->fieldIndex().At(1), doc->story()) + 1;
  doc->Fields().Add(*doc->Range(start, end), host::wdFieldQuote, "ab", false);
  ASSERT_EQ(doc->Fields().Count(), 2);
  EXPECT_EQ(doc->Fields().Item(1)->Code()->Text(), " QUOTE ab ");
  EXPECT_EQ(doc->Fields().Item(2)->Code()->Text(), " C ");
  EXPECT_EQ(third->Code()->Text(), " C ");
  EXPECT_THROW(first->Code(), host::HostError);
  EXPECT_EQ(doc->Range()->Text(), "ab c\r");
  // The new record owns its marks, so a selection inside it finds it.
  const FieldIndex& index = doc->fieldIndex();
  for (pugi::xml_node mark : {index.At(0)->begin, index.At(0)->separate, index.At(0)->end}) {
    EXPECT_EQ(index.OwnerOf(mark), index.At(0).get());
  }
}

TEST(Fields, AddAtInsertionPointKeepsOrder) {
  auto doc = Load(P(Fld(" A ", R("a")) + R(" mid ") + Fld(" C ", R("c"))));
  doc->Fields().Add(*doc->Range(9, 9), host::wdFieldQuote, "b", false);  // after " m"
  ASSERT_EQ(doc->Fields().Count(), 3);
  EXPECT_EQ(doc->Fields().Item(2)->Code()->Text(), " QUOTE b ");
  EXPECT_EQ(doc->Fields().Item(3)->Code()->Text(), " C ");
  EXPECT_EQ(doc->Range()->Text(), "a mbid c\r");
}

TEST(Fields, SelectRefuseACutAndDelete) {
  auto doc = Load(P(R("x ") + Fld(" A ", R("a")) + R(" y")));
  auto field = doc->Fields().Item(1);
  EXPECT_THROW(doc->Range(1, 4)->SetText("z"), host::HostError);  // it would cut the field
  EXPECT_EQ(doc->Range()->Text(), "x a y\r");
  EXPECT_EQ(doc->Fields().Count(), 1);
  field->Select();
  EXPECT_EQ(doc->selection().Start(), 2);
  EXPECT_EQ(doc->selection().End(), 2 + 7);  // begin, " A ", separate, "a", end
  EXPECT_EQ(doc->selection().Text(), "a");
  field->Delete();
  EXPECT_EQ(doc->Fields().Count(), 0);
  EXPECT_EQ(doc->Range()->Text(), "x  y\r");
  EXPECT_THROW(field->Result(), host::HostError);
}

// Fields put where a run starts, and results written right after their separators, take the
// quick way in; the story and the field index must still be those of a fresh read.
TEST(Fields, FieldsWrittenMatchAFreshLoad) {
  struct Case {
    const char* name;
    std::string body;
    // Stretches turned into fields front to back, as given in the original text: each becomes
    // an empty field whose result is then written, shifting the stretches after it.
    std::vector<std::pair<long, long>> stretches;
    std::string text;  // Range().Text afterwards
  };
  const Case cases[] = {
      {"own_run", P(R("the ") + R("ABC ") + R("rest")), {{4, 7}}, "the {1} rest\r"},
      {"several_front_to_back",
       P(R("a ") + R("AB ") + R("b ") + R("CD ") + R("c")) + P(R("EF ") + R("end")),
       {{2, 4}, {7, 9}, {12, 14}},
       "a {1} b {2} c\r{3} end\r"},
      // After a page break, before a rendered one: the result is the page's first text.
      {"after_a_page_break",
       P(R("x")) + P(PageBreak() + R("ABC") + "<w:r><w:lastRenderedPageBreak/><w:t>y</w:t></w:r>"),
       {{3, 6}},
       "x\r\f{1}y\r"},
      {"in_a_table_cell", Tbl(1, 2, "AB") + P(R("after")), {{5, 9}}, "AB00\r\a{1}\r\a\r\aafter\r"},
      {"inside_a_run", P(R("one ABC two")), {{4, 7}}, "one {1} two\r"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto doc = Load(c.body);
    long shift = 0;
    int n = 0;
    for (auto [start, end] : c.stretches) {
      std::string shown = "{" + std::to_string(++n) + "}";
      auto field = doc->Fields().Add(*doc->Range(start + shift, end + shift), host::wdFieldEmpty,
                                     "X" + std::to_string(n), false);
      auto result = field->Result();
      result->SetText(shown);
      EXPECT_EQ(field->Result()->Text(), shown);
      ExpectSameAsFreshLoad(*doc);
      shift = result->End() + 1 - end;
    }
    EXPECT_EQ(doc->Fields().Count(), static_cast<long>(c.stretches.size()));
    EXPECT_EQ(doc->Range()->Text(), c.text);
  }
}

}  // namespace
}  // namespace quillon::docx
