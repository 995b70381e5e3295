// The selection: moves, typing and pages.
#include "wordhost/docx/Selection.h"

#include <gtest/gtest.h>

#include "addin/host/HostError.h"
#include "wordhost/docx/Document.h"
#include "wordhost/docx/DocxBuilder.h"
#include "wordhost/docx/StoryText.h"

namespace quillon::docx {
namespace {

using namespace testing;

TEST(Selection, CharacterMovesStayBeforeTheFinalMark) {
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
  // An insertion point stops before the final paragraph mark, moved or set there; a selection
  // may take the mark in.
  s.MoveRight(host::wdCharacter, 100, host::kMissing);
  EXPECT_EQ(s.Start(), 6);
  s.MoveLeft(host::wdCharacter, 100, host::kMissing);
  EXPECT_EQ(s.Start(), 0);
  EXPECT_THROW(s.MoveRight(host::wdLine, 1, host::kMissing), host::HostError);
  for (long pos : {7L, 99L}) {
    s.SetRange(pos, pos);
    EXPECT_EQ(s.Start(), 6);
    EXPECT_EQ(s.End(), 6);
  }
  s.SetRange(0, 99);
  EXPECT_EQ(s.End(), 7);
  s.SetRange(7, 7);
  s.TypeText("g");
  s.TypeParagraph();
  EXPECT_EQ(doc->Range()->Text(), "abcdefg\r\r");
  EXPECT_EQ(s.Start(), 8);
}

TEST(Selection, TextReadWriteAndTyping) {
  auto doc = Load(P(R("Hello big world", "<w:i/>")));
  Selection& s = doc->selection();
  EXPECT_EQ(s.Text(), "");  // an insertion point shows nothing
  s.SetRange(6, 9);
  s.SetText("small");
  EXPECT_EQ(s.Text(), "small");
  s.SetRange(1, 1);
  s.TypeText("X");
  s.TypeParagraph();
  s.TypeText("Y");
  EXPECT_EQ(doc->Range()->Text(), "HX\rYello small world\r");
  EXPECT_EQ(s.Start(), 4);
  // Typed text takes the formatting of the text before it.
  EXPECT_TRUE(FormatAt(doc->story(), 2).child("w:i"));
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

}  // namespace
}  // namespace quillon::docx
