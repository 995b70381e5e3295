// The field index: fields found in order by one walk, the positions of their marks, the record
// that owns a mark, and records that follow their fields through edits.
#include "wordhost/docx/FieldIndex.h"

#include <gtest/gtest.h>

#include "wordhost/docx/Document.h"
#include "wordhost/docx/DocxBuilder.h"
#include "wordhost/docx/Selection.h"

namespace quillon::docx {
namespace {

using namespace testing;

struct Marks {
  long begin, separator, end;
  bool operator==(const Marks&) const = default;
};

void PrintTo(const Marks& m, std::ostream* out) {
  *out << "{" << m.begin << ", " << m.separator << ", " << m.end << "}";
}

// Loading fills the positions from its own walk; once the story changes, each field is placed
// anew from its marks. Both must find the same.
TEST(FieldIndex, FindsEachFieldAndItsMarksAsLoadedAndAfterAnEdit) {
  struct Case {
    const char* name;
    std::string body;
    std::vector<Marks> fields;  // in index order
  };
  const Case cases[] = {
      {"none", P(R("plain")), {}},
      // "ab", begin, " X ", separator, "r", end.
      {"complex", P(R("ab") + Fld(" X ", R("r"))), {{2, 6, 8}}},
      // "a", begin, " PAGE ", separator, "7", end: the simple field's marks are virtual.
      {"simple", P(R("a") + Simple(" PAGE ", R("7"))), {{1, 8, 10}}},
      {"no_separator", P(Mark("begin") + Instr(" XE ") + Mark("end")), {{0, 5, 5}}},
      {"result_over_paragraphs",
       P(Mark("begin") + Instr(" TOC ") + Mark("separate") + R("first")) +
           P(R("second") + Mark("end")),
       {{0, 6, 19}}},
      // Outer begin, " IF ", inner begin, " A ", separator, "1", end, outer separator...
      {"nested_outer_first",
       P(Mark("begin") + Instr(" IF ") + Fld(" A ", R("1")) + Mark("separate") + R("r") +
         Mark("end")),
       {{0, 12, 14}, {5, 9, 11}}},
      // "a", simple begin, " IF ", separator, begin, " B ", separator, "2", end, end.
      {"complex_inside_simple",
       P(R("a") + Simple(" IF ", Fld(" B ", R("2")))),
       {{1, 6, 14}, {7, 11, 13}}},
      {"unpaired_marks_are_not_fields",
       P(R("a") + Mark("end") + Fld(" X ", R("r")) + Mark("begin") + Instr(" Y ")),
       {{2, 6, 8}}},
  };
  for (const Case& c : cases) {
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
        Marks found{index.BeginOf(field, story), index.SeparatorOf(field, story),
                    index.EndOf(field, story)};
        EXPECT_EQ(found, c.fields[i]) << "field " << i;
        if (edited) continue;
        EXPECT_EQ(index.OwnerOf(field.begin), &field) << "field " << i;
        if (field.end) {
          EXPECT_EQ(index.OwnerOf(field.end), &field) << "field " << i;
        }
        // Fields are in order of their begin marks.
        EXPECT_EQ(index.LowerBound(found.begin, story), i);
        EXPECT_EQ(index.LowerBound(found.begin + 1, story), i + 1);
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
