// Checks a document edited in place against the same document loaded afresh from its saved
// bytes, which builds the story and the field index in one pass over the XML.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wordhost/docx/Document.h"
#include "wordhost/docx/TextExport.h"

namespace quillon::docx::testing {

// Compares every unit of a with those of b: kinds, starts and lengths, each atom (with the
// text it reads), the page events and the page of every position.
inline void ExpectSameStory(const Story& a, const Story& b) {
  ASSERT_EQ(a.Length(), b.Length());
  ASSERT_EQ(a.UnitCount(), b.UnitCount());
  ASSERT_EQ(a.ParagraphCount(), b.ParagraphCount());
  for (size_t i = 0; i < a.ParagraphCount(); ++i) {
    ASSERT_EQ(a.ParagraphUnit(i), b.ParagraphUnit(i)) << "paragraph " << i;
  }
  for (size_t u = 0; u < a.UnitCount(); ++u) {
    SCOPED_TRACE("unit " + std::to_string(u));
    ASSERT_EQ(a.KindOf(u), b.KindOf(u));
    ASSERT_EQ(a.UnitStart(u), b.UnitStart(u));
    ASSERT_EQ(a.UnitLength(u), b.UnitLength(u));
    ASSERT_EQ(a.UnitOf(a.NodeOf(u)), u);
    ASSERT_EQ(a.UnitAt(a.UnitStart(u)), u);
    const std::vector<Atom>& atomsA = a.Atoms(u);
    const std::vector<Atom>& atomsB = b.Atoms(u);
    ASSERT_EQ(atomsA.size(), atomsB.size());
    for (size_t k = 0; k < atomsA.size(); ++k) {
      SCOPED_TRACE("atom " + std::to_string(k));
      EXPECT_EQ(atomsA[k].kind, atomsB[k].kind);
      EXPECT_EQ(atomsA[k].offset, atomsB[k].offset);
      EXPECT_EQ(atomsA[k].length, atomsB[k].length);
      EXPECT_EQ(std::string(atomsA[k].node.name()), std::string(atomsB[k].node.name()));
      EXPECT_EQ(AtomText(atomsA[k]), AtomText(atomsB[k]));
      if (atomsA[k].kind == AtomKind::kChar || atomsA[k].kind == AtomKind::kMark) {
        EXPECT_EQ(atomsA[k].ch, atomsB[k].ch);
      }
    }
    const std::vector<PageEvent>& eventsA = a.Events(u);
    const std::vector<PageEvent>& eventsB = b.Events(u);
    ASSERT_EQ(eventsA.size(), eventsB.size());
    for (size_t e = 0; e < eventsA.size(); ++e) {
      EXPECT_EQ(eventsA[e].offset, eventsB[e].offset) << "event " << e;
      EXPECT_EQ(eventsA[e].kind, eventsB[e].kind) << "event " << e;
    }
    for (long pos = a.UnitStart(u); pos < a.UnitStart(u) + a.UnitLength(u); ++pos) {
      ASSERT_EQ(a.PageAt(pos), b.PageAt(pos)) << "position " << pos;
    }
  }
}

// Compares doc's story, field index and shown text with those of the same document loaded
// afresh from its saved bytes.
inline void ExpectSameAsFreshLoad(Document& doc) {
  auto fresh = Document::FromBytes(doc.ToBytes());
  ExpectSameStory(doc.story(), fresh->story());
  const FieldIndex& fa = doc.fieldIndex();
  const FieldIndex& fb = fresh->fieldIndex();
  ASSERT_EQ(fa.Count(), fb.Count());
  for (size_t i = 0; i < fa.Count(); ++i) {
    EXPECT_EQ(fa.BeginOf(*fa.At(i), doc.story()), fb.BeginOf(*fb.At(i), fresh->story()))
        << "field " << i;
    EXPECT_EQ(fa.EndOf(*fa.At(i), doc.story()), fb.EndOf(*fb.At(i), fresh->story()))
        << "field " << i;
    EXPECT_EQ(doc.CodeText(*fa.At(i)), fresh->CodeText(*fb.At(i))) << "field " << i;
  }
  EXPECT_EQ(ShowText(doc, false), ShowText(*fresh, false));
}

}  // namespace quillon::docx::testing
