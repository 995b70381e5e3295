// List labels and note reference numbers in the shown text: number formats, counters per list
// and level, deeper levels restarting (or not), legal numbering, numbering from styles and
// numbering styles, and story text left alone.
#include "wordhost/docx/ListLabels.h"

#include <gtest/gtest.h>

#include "wordhost/docx/Document.h"
#include "wordhost/docx/DocxBuilder.h"
#include "wordhost/docx/DocxError.h"
#include "wordhost/docx/TextExport.h"

namespace quillon::docx {
namespace {

using namespace testing;

TEST(ListLabels, NumberFormats) {
  struct Case {
    long number;
    const char* format;
    const char* expected;
  };
  const Case cases[] = {
      {1, "decimal", "1"},       {12, "decimal", "12"},    {3, "decimalZero", "03"},
      {1, "lowerLetter", "a"},   {26, "lowerLetter", "z"}, {27, "lowerLetter", "aa"},
      {28, "upperLetter", "BB"}, {4, "lowerRoman", "iv"},  {1994, "upperRoman", "MCMXCIV"},
      {9, "upperRoman", "IX"},   {5, "bullet", ""},        {5, "none", ""},
      {7, "ordinalText", "7"},   {0, "lowerRoman", "0"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatNumber(c.number, c.format), c.expected) << c.number << " " << c.format;
  }
}

// Lists: 1 numbered "1." with "a)" and "1.a.i." below, 2 bullets, 3 multi-level "2.1." starting at
// 2, 4 the same definition as 1 restarted at 5; 5 a level that does not restart under its parent,
// 6 legal numbering (every level in decimal), 7 and 8 a numbering style's definition, 9 a
// numbering style linked in a loop.
const std::string kNumbering =
    "<w:abstractNum w:abstractNumId=\"0\">" + Lvl(0, "decimal", "%1.") +
    Lvl(1, "lowerLetter", "%2)") + Lvl(2, "lowerRoman", "%1.%2.%3.") +
    "</w:abstractNum><w:abstractNum w:abstractNumId=\"1\">" + Lvl(0, "bullet", "\xE2\x80\xA2") +
    "</w:abstractNum><w:abstractNum w:abstractNumId=\"2\">" + Lvl(0, "decimal", "%1.", 2) +
    Lvl(1, "decimal", "%1.%2.") + "</w:abstractNum><w:abstractNum w:abstractNumId=\"5\">" +
    Lvl(0, "decimal", "%1.") + Lvl(1, "lowerLetter", "%2)", 1, "<w:lvlRestart w:val=\"0\"/>") +
    "</w:abstractNum>"
    "<w:abstractNum w:abstractNumId=\"6\">" +
    Lvl(0, "upperRoman", "%1.") + Lvl(1, "lowerLetter", "%1.%2", 1, "<w:isLgl/>") +
    "</w:abstractNum>"
    "<w:abstractNum w:abstractNumId=\"7\"><w:numStyleLink w:val=\"Outline\"/></w:abstractNum>"
    "<w:abstractNum w:abstractNumId=\"8\"><w:styleLink w:val=\"Outline\"/>" +
    Lvl(0, "lowerRoman", "(%1)") +
    "</w:abstractNum>"
    "<w:abstractNum w:abstractNumId=\"9\"><w:numStyleLink w:val=\"Loop\"/></w:abstractNum>" +
    Num(1, 0) + Num(2, 1) + Num(3, 2) +
    Num(4, 0, "<w:lvlOverride w:ilvl=\"0\"><w:startOverride w:val=\"5\"/></w:lvlOverride>") +
    Num(5, 5) + Num(6, 6) + Num(7, 7) + Num(8, 8) + Num(9, 9);

// Paragraph style Step numbers through its base; numbering styles Outline and Loop.
const std::string kStyles =
    "<w:style w:type=\"paragraph\" w:styleId=\"Base\"><w:name w:val=\"Base\"/><w:pPr><w:numPr>"
    "<w:numId w:val=\"1\"/></w:numPr></w:pPr></w:style>"
    "<w:style w:type=\"paragraph\" w:styleId=\"Step\"><w:name w:val=\"Step\"/>"
    "<w:basedOn w:val=\"Base\"/></w:style>"
    "<w:style w:type=\"numbering\" w:styleId=\"Outline\"><w:pPr><w:numPr><w:numId w:val=\"8\"/>"
    "</w:numPr></w:pPr></w:style>"
    "<w:style w:type=\"numbering\" w:styleId=\"Loop\"><w:pPr><w:numPr><w:numId w:val=\"9\"/>"
    "</w:numPr></w:pPr></w:style>";

std::string Footnote(int id) {
  return "<w:r><w:footnoteReference w:id=\"" + std::to_string(id) + "\"/></w:r>";
}

const std::string kStyleNumbered =
    P(R("first"), "<w:pStyle w:val=\"Step\"/>") +
    P(R("second"), "<w:pStyle w:val=\"Step\"/><w:numPr><w:ilvl w:val=\"1\"/></w:numPr>");

TEST(ListLabels, ShownTextCarriesLabelsAndNoteNumbers) {
  struct Case {
    const char* name;
    std::string body;
    std::string expected;
    bool numbering = true;  // whether the package has the numbering part
  };
  const Case cases[] = {
      // A label of several levels shows each in its own level's format.
      {"counters per level, deeper levels restart",
       ListP("one", 1) + ListP("two", 1) + ListP("sub", 1, 1) + ListP("sub", 1, 1) +
           ListP("deep", 1, 2) + ListP("three", 1) + ListP("sub", 1, 1),
       "    1. one\n    2. two\n        a) sub\n        b) sub\n            2.b.i. deep\n"
       "    3. three\n        a) sub\n"},
      {"bullets, and plain paragraphs between lists",
       ListP("dot", 2) + P(R("plain")) + ListP("dot", 2),
       "    \xE2\x80\xA2 dot\nplain\n    \xE2\x80\xA2 dot\n"},
      {"multi-level labels from a start value",
       ListP("a", 3) + ListP("b", 3, 1) + ListP("c", 3, 1) + ListP("d", 3) + ListP("e", 3, 1),
       "    2. a\n        2.1. b\n        2.2. c\n    3. d\n        3.1. e\n"},
      {"lists count apart; a start override",
       ListP("x", 1) + ListP("y", 4) + ListP("z", 1) + ListP("w", 4),
       "    1. x\n    5. y\n    2. z\n    6. w\n"},
      {"numbering switched off, or a list that does not exist",
       ListP("off", 0) + ListP("missing", 99) + ListP("deep", 1, 12), "off\nmissing\ndeep\n"},
      {"empty numbered paragraph", ListP("", 1) + ListP("next", 1), "    1. \n    2. next\n"},
      {"footnote and endnote references in order",
       P(R("see") + Footnote(7) + R(" and") + Footnote(3) +
         "<w:r><w:endnoteReference w:id=\"1\"/></w:r><w:r><w:endnoteReference w:id=\"2\"/></w:r>") +
           P(R("then") + Footnote(9)),
       "see1 and2iii\nthen3\n"},
      {"numbering from a paragraph style", kStyleNumbered, "    1. first\n        a) second\n"},
      {"no numbering part, no labels", kStyleNumbered, "first\nsecond\n", false},
      {"restart rules, legal numbers and numbering styles",
       ListP("one", 5) + ListP("sub", 5, 1) + ListP("two", 5) + ListP("sub", 5, 1) + ListP("I", 6) +
           ListP("x", 6, 1) + ListP("p", 7) + ListP("q", 7) + ListP("loop", 9),
       "    1. one\n        a) sub\n    2. two\n        b) sub\n    I. I\n        1.1 x\n"
       "    (i) p\n    (ii) q\nloop\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<RelatedPart> parts = {{"styles", "styles", kStyles}};
    if (c.numbering) parts.push_back({"numbering", "numbering", kNumbering});
    auto doc = Document::FromBytes(MakeDocxWith(c.body, parts));
    EXPECT_EQ(ShowText(*doc, false), c.expected);
    // Labels are not story text: positions are those of the document without numbering.
    EXPECT_EQ(doc->Range()->Text(), Load(c.body)->Range()->Text());
  }
}

TEST(ListLabels, MalformedNumberingPartIsAnError) {
  auto doc = Document::FromBytes(MakeDocxWith(ListP("one", 1), {{"numbering", "numbering", "<"}}));
  EXPECT_THROW(ShowText(*doc, false), DocxError);
}

}  // namespace
}  // namespace quillon::docx
