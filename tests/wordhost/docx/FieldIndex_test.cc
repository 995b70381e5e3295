// The field index: fields found in order by one walk, the positions of their marks, the record
// that owns a mark, and records that follow their fields through edits.
#include "wordhost/docx/FieldIndex.h"

#include <gtest/gtest.h>

#include "wordhost/docx/ContentKinds.h"
#include "wordhost/docx/Document.h"
#include "wordhost/docx/DocxBuilder.h"
#include "wordhost/docx/Selection.h"

namespace quillon::docx {
namespace {

using namespace testing;

// Loading fills the positions from its own walk; once the story changes, each field is placed
// anew from its marks. Both must find the same.
TEST(FieldIndex, FindsEachFieldAndItsMarksAsLoadedAndAfterAnEdit) {
  for (const ContentKind& c : ContentKinds()) {
    for (const bool edited : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (edited ? ", edited" : ""));
      auto doc = Load(c.body);
      const Story& story = doc->story();
      if (edited) {
        for (size_t unit = 0; unit < story.UnitCount(); ++unit) doc->story().Touch(unit);
      }
      const FieldIndex& index = doc->fieldIndex();
      ASSERT_EQ(index.Count(), c.fields.size());
      for (size_t i = 0; i < index.Count(); ++i) {
        const FieldRecord& field = *index.At(i);
        const long begin = index.BeginOf(field, story);
        EXPECT_EQ(begin, c.fields[i].begin) << "field " << i;
        EXPECT_EQ(index.SeparatorOf(field, story), c.fields[i].separator) << "field " << i;
        EXPECT_EQ(index.EndOf(field, story), c.fields[i].end) << "field " << i;
        if (edited) continue;
        EXPECT_EQ(index.OwnerOf(field.begin), &field) << "field " << i;
        if (field.end) {
          EXPECT_EQ(index.OwnerOf(field.end), &field) << "field " << i;
        }
        // Fields are in order of their begin marks.
        EXPECT_EQ(index.LowerBound(begin, story), i);
        EXPECT_EQ(index.LowerBound(begin + 1, story), i + 1);
      }
      // Elements other than field marks (kBegin to kSimpleEnd) have no owner.
      for (size_t unit = 0; unit < story.UnitCount() && !edited; ++unit) {
        for (const Atom& atom : story.Atoms(unit)) {
          if (atom.kind >= AtomKind::kBegin && atom.kind <= AtomKind::kSimpleEnd) continue;
          EXPECT_EQ(index.OwnerOf(atom.node), nullptr) << "unit " << unit << " " << atom.offset;
        }
      }
    }
  }
}

TEST(FieldIndex, RecordsFollowTheirFieldsThroughEditsElsewhere) {
  auto doc = Load(P(R("a") + Fld(" A ", R("1"))) + P(R("b") + Fld(" B ", R("2"))));
  FieldPtr second = doc->fieldIndex().At(1);
  long before = doc->fieldIndex().BeginOf(*second, doc->story());
  doc->selection().SetRange(0, 0);
  doc->selection().TypeText("new ");
  doc->selection().TypeParagraph();
  ASSERT_EQ(doc->fieldIndex().Count(), 2u);
  EXPECT_EQ(doc->fieldIndex().At(1), second);
  EXPECT_EQ(doc->fieldIndex().BeginOf(*second, doc->story()), before + 5);
  // Deleting the first field leaves the second's record where it was, one index down.
  doc->Fields().Item(1)->Delete();
  ASSERT_EQ(doc->fieldIndex().Count(), 1u);
  EXPECT_EQ(doc->fieldIndex().At(0), second);
  EXPECT_EQ(doc->Fields().Item(1)->Code()->Text(), " B ");
}

}  // namespace
}  // namespace quillon::docx
