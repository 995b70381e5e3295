// Erasing inside one stretch of text: where it applies, it writes what the general delete
// writes and leaves the story as a fresh load would measure it; elsewhere it changes nothing.
#include "wordhost/docx/StoryEdit.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace quillon::docx
