// The format text is drawn in: document defaults, paragraph styles and their bases, character
// styles, then the run's own properties.
#include "wordhost/docx/RunFormat.h"

#include <gtest/gtest.h>

#include "wordhost/docx/Styles.h"

namespace quillon::docx {
namespace {

const std::string kStyles =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<w:styles xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
    "<w:docDefaults><w:rPrDefault><w:rPr><w:sz w:val=\"22\"/></w:rPr></w:rPrDefault>"
    "</w:docDefaults>"
    "<w:style w:type=\"character\" w:default=\"1\" w:styleId=\"DefaultFont\"><w:rPr><w:strike/>"
    "</w:rPr></w:style>"
    "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\"><w:rPr><w:i/></w:rPr>"
    "</w:style>"
    "<w:style w:type=\"paragraph\" w:styleId=\"Heading1\"><w:basedOn w:val=\"Normal\"/>"
    "<w:pPr><w:jc w:val=\"center\"/></w:pPr><w:rPr><w:b/><w:sz w:val=\"32\"/></w:rPr></w:style>"
    "<w:style w:type=\"paragraph\" w:styleId=\"Heading2\"><w:basedOn w:val=\"Heading1\"/>"
    "</w:style>"
    "<w:style w:type=\"paragraph\" w:styleId=\"Plain\"><w:rPr><w:i w:val=\"0\"/></w:rPr>"
    "</w:style>"
    "<w:style w:type=\"character\" w:styleId=\"Emphasis\"><w:rPr><w:u w:val=\"single\"/>"
    "</w:rPr></w:style>"
    "<w:style w:type=\"paragraph\" w:styleId=\"LoopA\"><w:basedOn w:val=\"LoopB\"/></w:style>"
    "<w:style w:type=\"paragraph\" w:styleId=\"LoopB\"><w:basedOn w:val=\"LoopA\"/>"
    "<w:rPr><w:b/></w:rPr></w:style>"
    "</w:styles>";

// Returns the format of a run with runProperties in a paragraph with paragraph (the inside of
// its w:pPr).
RunFormat Resolve(const Styles& styles, const std::string& paragraph,
                  const std::string& runProperties) {
  pugi::xml_document xml;
  const std::string text = "<w:p xmlns:w=\"w\"><w:pPr>" + paragraph + "</w:pPr><w:r><w:rPr>" +
                           runProperties + "</w:rPr></w:r></w:p>";
  EXPECT_TRUE(xml.load_string(text.c_str()));
  const pugi::xml_node p = xml.child("w:p");
  return ResolveRunFormat(styles, p, p.child("w:r").child("w:rPr"));
}

TEST(RunFormatTest, StylesAndDirectPropertiesStackInWordsOrder) {
  const Styles styles("word/styles.xml", kStyles);
  EXPECT_EQ(Resolve(Styles("word/styles.xml", ""), "", ""),
            (RunFormat{20, false, false, false, false, false, false}));
  struct Case {
    std::string paragraph;  // the paragraph's w:pPr inside
    std::string runProperties;
    RunFormat expected;  // size, bold, italic, underline, strike, superscript, subscript
  };
  const std::string heading1 = "<w:pStyle w:val=\"Heading1\"/>";
  const std::string emphasis = "<w:rStyle w:val=\"Emphasis\"/>";
  const Case cases[] = {
      {"", "", {22, false, true, false, false, false, false}},
      {heading1, "", {32, true, true, false, false, false, false}},
      {heading1,
       "<w:b w:val=\"0\"/><w:sz w:val=\"18\"/>",
       {18, false, true, false, false, false, false}},
      {"<w:pStyle w:val=\"Plain\"/>", "", {22, false, false, false, false, false, false}},
      {"<w:pStyle w:val=\"Missing\"/>",
       "<w:b w:val=\"true\"/>",
       {22, true, false, false, false, false, false}},
      {"", emphasis, {22, false, true, true, false, false, false}},
      {"",
       emphasis + "<w:u w:val=\"none\"/><w:strike/>",
       {22, false, true, false, true, false, false}},
      {"",
       "<w:vertAlign w:val=\"superscript\"/><w:i w:val=\"off\"/>",
       {22, false, false, false, false, true, false}},
      {"", "<w:vertAlign w:val=\"subscript\"/>", {22, false, true, false, false, false, true}},
      {"<w:pStyle w:val=\"LoopA\"/>", "", {22, true, false, false, false, false, false}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Resolve(styles, c.paragraph, c.runProperties), c.expected)
        << c.paragraph << " " << c.runProperties;
  }
}

TEST(RunFormatTest, ParagraphJustificationComesFromTheStyleOrItsBases) {
  const Styles styles("word/styles.xml", kStyles);
  const std::pair<const char*, const char*> cases[] = {
      {"Heading1", "center"}, {"Heading2", "center"}, {"Plain", ""}, {"", ""},
      {"Missing", ""},        {"LoopA", ""}};
  for (const auto& [style, justification] : cases)
    EXPECT_EQ(styles.ParagraphJustification(style), justification) << style;
}

}  // namespace
}  // namespace quillon::docx
