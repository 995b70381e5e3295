// Checks a document edited in place against the same document loaded afresh from its saved
// bytes, which builds the story and the field index in one pass over the XML.
#pragma once

#include <gtest/gtest.h>

#include "wordhost/docx/Document.h"
#include "wordhost/docx/TextExport.h"

namespace quillon::docx::testing {

// Compares doc's story, page numbers and field index with those of the same document loaded
// afresh from its saved bytes, which builds them in one pass over the XML.
inline void ExpectSameAsFreshLoad(Document& doc) {
  auto fresh = Document::FromBytes(doc.ToBytes());
  const Story& a = doc.story();
  const Story& b = fresh->story();
  ASSERT_EQ(a.Length(), b.Length());
  ASSERT_EQ(a.UnitCount(), b.UnitCount());
  ASSERT_EQ(a.ParagraphCount(), b.ParagraphCount());
  for (size_t i = 0; i < a.ParagraphCount(); ++i) {
    ASSERT_EQ(a.ParagraphUnit(i), b.ParagraphUnit(i)) << "paragraph " << i;
  }
  for (size_t u = 0; u < a.UnitCount(); ++u) {
    ASSERT_EQ(a.KindOf(u), b.KindOf(u)) << "unit " << u;
    ASSERT_EQ(a.UnitStart(u), b.UnitStart(u)) << "unit " << u;
    ASSERT_EQ(a.UnitOf(a.NodeOf(u)), u) << "unit " << u;
    ASSERT_EQ(a.UnitAt(a.UnitStart(u)), u) << "unit " << u;
    for (long pos = a.UnitStart(u); pos < a.UnitStart(u) + a.UnitLength(u); ++pos) {
      ASSERT_EQ(a.PageAt(pos), b.PageAt(pos)) << "position " << pos;
    }
  }
  const FieldIndex& fa = doc.fieldIndex();
  const FieldIndex& fb = fresh->fieldIndex();
  ASSERT_EQ(fa.Count(), fb.Count());
  for (size_t i = 0; i < fa.Count(); ++i) {
    EXPECT_EQ(fa.BeginOf(*fa.At(i), a), fb.BeginOf(*fb.At(i), b)) << "field " << i;
    EXPECT_EQ(fa.EndOf(*fa.At(i), a), fb.EndOf(*fb.At(i), b)) << "field " << i;
    EXPECT_EQ(doc.CodeText(*fa.At(i)), fresh->CodeText(*fb.At(i))) << "field " << i;
  }
  EXPECT_EQ(ShowText(doc, false), ShowText(*fresh, false));
}

}  // namespace quillon::docx::testing
