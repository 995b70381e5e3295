// Erasing inside one stretch of text: where it applies, it writes what the general delete
// writes and leaves the story as a fresh load would measure it; elsewhere it changes nothing.
// The slot after a run: where new content goes when nothing needs cutting.
#include "wordhost/docx/StoryEdit.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "wordhost/docx/Document.h"
#include "wordhost/docx/DocxBuilder.h"
#include "wordhost/docx/FreshLoad.h"

namespace quillon::docx {
namespace {

using namespace testing;

TEST(StoryEditor, EraseInAtomWritesWhatDeleteWrites) {
  struct Case {
    const char* name;
    std::string body;
    long start, end;
    bool applies;
  };
  const Case cases[] = {
      {"middle", P(R("Alpha beta")), 2, 4, true},
      {"prefix", P(R("Alpha beta")), 0, 3, true},
      {"suffix", P(R("Alpha beta")), 6, 10, true},
      {"multibyte", P(R("Grüße aus Köln")), 2, 7, true},
      {"second_paragraph", P(R("one")) + P(R("two three")), 5, 7, true},
      // Code text: " QUOTE x " starts after "a" and the begin mark.
      {"in_field_code", P(R("a") + Fld(" QUOTE x ", R("r"))), 3, 5, true},
      {"whole_text_element", P(R("ab") + R("cd")), 0, 2, false},
      {"across_two_elements", P(R("ab") + R("cd")), 1, 3, false},
      {"over_a_field_mark", P(R("a") + Fld(" X ", R("r"))), 0, 2, false},
      {"paragraph_mark", P(R("one")) + P(R("two")), 2, 4, false},
      {"empty_range", P(R("Alpha")), 2, 2, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto erased = Load(c.body);
    auto deleted = Load(c.body);
    const std::string before = erased->ToBytes();
    ASSERT_EQ(StoryEditor(erased->story()).EraseInAtom(c.start, c.end), c.applies);
    if (!c.applies) {
      EXPECT_EQ(erased->ToBytes(), before);
      continue;
    }
    StoryEditor(deleted->story()).Delete(c.start, c.end);
    erased->MarkModified();
    deleted->MarkModified();
    EXPECT_EQ(erased->ToBytes(), deleted->ToBytes());
    EXPECT_EQ(erased->Range()->Text(), deleted->Range()->Text());
    ExpectSameAsFreshLoad(*erased);
  }
}

// Where it applies, the slot is the place Cut picks, reached without cutting anything; the
// atom it names starts at pos. Elsewhere it declines and changes nothing.
TEST(StoryEditor, SlotAfterRunIsWhereCutPutsContent) {
  struct Case {
    const char* name;
    std::string body;
    long pos;
    bool applies;
    size_t atom;  // the atom after the slot, when it applies
  };
  const Case cases[] = {
      {"after_a_run", P(R("ab") + R("cd")), 2, true, 1},
      {"in_a_later_paragraph", P(R("a")) + P(R("b") + R("c")), 3, true, 1},
      // begin 0, code 1-3, separator 4, end 5.
      {"after_a_separator", P(Fld(" X ", "")), 5, true, 3},
      {"before_the_mark", P(R("ab")), 2, true, 1},
      {"inside_text", P(R("abcd")), 2, false, 0},
      {"between_elements_of_a_run", P("<w:r><w:t>ab</w:t><w:t>cd</w:t></w:r>"), 2, false, 0},
      // begin 0, code 1-6, separator 7, result 8, end 9, then "x".
      {"after_a_simple_field", P(Simple(" PAGE ", R("1")) + R("x")), 10, false, 0},
      {"start_of_a_paragraph", P(R("a")) + P(R("b")), 2, false, 0},
      {"start_of_the_story", P(R("a")), 0, false, 0},
      {"end_of_the_story", P(R("a")), 2, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto doc = Load(c.body);
    doc->MarkModified();
    const std::string before = doc->ToBytes();
    StoryEditor editor(doc->story());
    std::optional<RunSlot> slot = editor.SlotAfterRun(c.pos);
    ASSERT_EQ(slot.has_value(), c.applies);
    EXPECT_EQ(doc->ToBytes(), before);
    if (!c.applies) continue;
    const Story& story = doc->story();
    EXPECT_EQ(slot->atom, c.atom);
    EXPECT_EQ(story.UnitStart(slot->unit) + story.Atoms(slot->unit)[slot->atom].offset, c.pos);
    CutPoint cut = editor.Cut(c.pos);
    EXPECT_EQ(cut.parent, slot->cut.parent);
    EXPECT_EQ(cut.before, slot->cut.before);
    EXPECT_EQ(doc->ToBytes(), before);
  }
}

}  // namespace
}  // namespace quillon::docx
