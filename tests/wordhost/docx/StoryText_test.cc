// The main text with one character per story position.
#include "wordhost/docx/StoryText.h"

#include <gtest/gtest.h>

#include "wordhost/docx/Document.h"
#include "wordhost/docx/DocxBuilder.h"

namespace quillon::docx {
namespace {

using namespace testing;

// Counts code points as positions do.
long CodePoints(const std::string& text) {
  long n = 0;
  for (unsigned char c : text) n += (c & 0xC0) != 0x80;
  return n;
}

TEST(StoryText, OneCharacterPerPosition) {
  struct Case {
    const char* name;
    std::string body;
    long start, end;   // -1: the whole story
    std::string text;  // what StoryText gives
  };
  const Case cases[] = {
      {"plain", P(R("Hello")) + P(R("World")), -1, -1, "Hello\rWorld\r"},
      {"complex_field_code_and_result", P(R("a") + Fld("CODE", R("xy"))), -1, -1,
       "a\x13"
       "CODE\x14xy\x15\r"},
      {"simple_field", P(Simple("PAGE", R("7"))), -1, -1,
       "\x13PAGE\x14"
       "7\x15\r"},
      {"field_without_result", P(Mark("begin") + Instr("X") + Mark("end")), -1, -1, "\x13X\x15\r"},
      {"tab_break_and_object", P(R("a") + "<w:r><w:tab/><w:br/><w:drawing/></w:r>" + R("b")), -1,
       -1,
       "a\t\v\xEF\xBF\xBC"
       "b\r"},
      {"table_marks", Tbl(1, 2) + P(""), -1, -1, "c00\ac01\a\a\r"},
      {"deleted_text_left_out",
       P(R("keep") + "<w:del w:id=\"1\"><w:r><w:delText>gone</w:delText></w:r></w:del>"), -1, -1,
       "keep\r"},
      {"inside_one_run_of_many_bytes", P(R("\xC3\xA9t\xC3\xA9 d\xE2\x82\xAC")), 1, 5,
       "t\xC3\xA9 d"},
      {"cut_through_a_code", P(Fld("ADDIN X", R("r"))), 3, 9, "DIN X\x14"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto doc = Load(c.body);
    auto range = c.start < 0 ? doc->Range() : doc->Range(c.start, c.end);
    std::string text = range->StoryText();
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(CodePoints(text), range->End() - range->Start());
  }
}

TEST(StoryText, FollowsEditsOfTheText) {
  auto doc = Load(P(R("one two")));
  doc->Range(4, 7)->SetText("three");
  EXPECT_EQ(doc->Range()->StoryText(), "one three\r");
}

}  // namespace
}  // namespace quillon::docx
