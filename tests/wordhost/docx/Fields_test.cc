// Fields of the main text: reading, writing results, adding QUOTE fields, deleting.
#include <gtest/gtest.h>

#include "addin/host/HostError.h"
#include "wordhost/docx/ContentKinds.h"
#include "wordhost/docx/Document.h"
#include "wordhost/docx/DocxBuilder.h"
#include "wordhost/docx/Selection.h"

namespace quillon::docx {
namespace {

using namespace testing;

TEST(Fields, CodesAndResultsInOrder) {
  for (const ContentKind& c : ContentKinds()) {
    SCOPED_TRACE(c.name);
    auto doc = Load(c.body);
    host::Fields& fields = doc->Fields();
    ASSERT_EQ(fields.Count(), static_cast<long>(c.fields.size()));
    for (size_t i = 0; i < c.fields.size(); ++i) {
      auto field = fields.Item(static_cast<long>(i + 1));
      EXPECT_EQ(field->Code()->Text(), c.fields[i].code) << "field " << i + 1;
      EXPECT_EQ(field->Result()->Text(), c.fields[i].result) << "field " << i + 1;
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

}  // namespace
}  // namespace quillon::docx
