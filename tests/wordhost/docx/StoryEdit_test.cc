// Erasing inside one stretch of text: where it applies, it writes what the general delete
// writes and leaves the story as a fresh load would measure it; elsewhere it changes nothing.
#include "wordhost/docx/StoryEdit.h"

#include <gtest/gtest.h>

#include "wordhost/docx/Document.h"
#include "wordhost/docx/DocxBuilder.h"
#include "wordhost/docx/FreshLoad.h"

namespace quillon::docx {
namespace {

using namespace testing;

struct EraseCase {
  const char* name;
  std::string body;
  long start, end;
  bool applies;
};

class EraseInAtomTest : public ::testing::TestWithParam<EraseCase> {};

TEST_P(EraseInAtomTest, WritesWhatDeleteWrites) {
  const EraseCase& c = GetParam();
  auto erased = Load(c.body);
  auto deleted = Load(c.body);
  const std::string before = erased->ToBytes();
  ASSERT_EQ(StoryEditor(erased->story()).EraseInAtom(c.start, c.end), c.applies);
  if (!c.applies) {
    EXPECT_EQ(erased->ToBytes(), before);
    return;
  }
  StoryEditor(deleted->story()).Delete(c.start, c.end);
  erased->MarkModified();
  deleted->MarkModified();
  EXPECT_EQ(erased->ToBytes(), deleted->ToBytes());
  EXPECT_EQ(erased->Range()->Text(), deleted->Range()->Text());
  ExpectSameAsFreshLoad(*erased);
}

INSTANTIATE_TEST_SUITE_P(
    StoryEditor, EraseInAtomTest,
    ::testing::Values(EraseCase{"middle", P(R("Alpha beta")), 2, 4, true},
                      EraseCase{"prefix", P(R("Alpha beta")), 0, 3, true},
                      EraseCase{"suffix", P(R("Alpha beta")), 6, 10, true},
                      EraseCase{"multibyte", P(R("Grüße aus Köln")), 2, 7, true},
                      EraseCase{"second_paragraph", P(R("one")) + P(R("two three")), 5, 7, true},
                      // Code text: " QUOTE x " starts after "a" and the begin mark.
                      EraseCase{"in_field_code", P(R("a") + Fld(" QUOTE x ", R("r"))), 3, 5, true},
                      EraseCase{"whole_text_element", P(R("ab") + R("cd")), 0, 2, false},
                      EraseCase{"across_two_elements", P(R("ab") + R("cd")), 1, 3, false},
                      EraseCase{"over_a_field_mark", P(R("a") + Fld(" X ", R("r"))), 0, 2, false},
                      EraseCase{"paragraph_mark", P(R("one")) + P(R("two")), 2, 4, false},
                      EraseCase{"empty_range", P(R("Alpha")), 2, 2, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillon::docx
