#include "document/FieldFormat.h"

#include "document/DocumentFixture.h"

namespace quillon::document {
namespace {

using ::testing::HasSubstr;

TEST(FieldFormatTest, MarkupCarriesTheEntryAndTheLibraryDirection) {
  EXPECT_EQ(AbbreviationMarkup("WHO", "World Health Organization", DirectionTag("L")),
            "<ABB>WHO</ABB><Text>World Health Organization</Text><Direction>LTR</Direction>"
            "</ABBREV>");
  struct Case {
    const char* direction;
    const char* tag;
  } cases[] = {{"R", "RTL"}, {"L", "LTR"}, {"r", ""}, {"", ""}, {"X", ""}};
  for (const Case& c : cases) EXPECT_EQ(DirectionTag(c.direction), c.tag) << c.direction;
  EXPECT_EQ(LongFormDisplay("WHO", "World Health", true), "World Health (WHO)");
  EXPECT_EQ(LongFormDisplay("ناسا", "وكالة", false), "(ناسا) وكالة");
  EXPECT_EQ(PlaceholderDisplay("WHO", "12"), "{WHO-#12}");
}

class ExtractTest : public DocumentTest {};

TEST_F(ExtractTest, ParsesCodesAndResults) {
  AddEntry("AR", "Arabic", "R");
  struct Case {
    std::string code, result;
    bool parsed;
    std::string abb, text, letter;
    int32_t entry;
    std::string tag = "";
  } cases[] = {
      {" ADDIN ABBREV <ABB>WHO</ABB><Text>World Health</Text><Direction>LTR</Direction>"
       "</ABBREV> ",
       "{WHO-#12}", true, "WHO", "World Health", "L", 12, "LTR"},
      {"ADDIN ABBREV <abb>Who</Abb><TEXT>x</text><direction>RTL</DIRECTION></ABBREV>", "{Who-#}",
       true, "Who", "x", "R", 0, "RTL"},
      {" QUOTE ABBREV <ABB>A</ABB><Text>a</Text><Direction></Direction></ABBREV>", "A", true, "A",
       "a", "L", -1},  // empty tag, no library row: L
      {" ADDIN ABBREV <ABB>AR</ABB><Text>Arabic</Text><Direction>R</Direction></ABBREV>",
       "Arabic (AR)", true, "AR", "Arabic", "R", -1},  // one letter: the library decides
      {" ADDIN ABBREV <ABB>A</ABB><Text>ends </text> here</Text><Direction>LTR</Direction>", "x",
       true, "A", "ends ", "L", -1, "LTR"},  // cut at the first closing tag
      {" ADDIN ABBREV <Abbreviation List>", "  ", false, "", "", "", -1},
      {" ADDIN ABBREV <ABB>A</ABB><Text>a</Text><Abbreviation List>", "", false, "", "", "", -1},
      {" addin abbrev <ABB>A</ABB><Text>a</Text>", "", false, "", "", "", -1},
      {" ADDIN ABBREV <Text>a</Text>", "", false, "", "", "", -1},              // no ABB tag
      {" ADDIN ABBREV </ABB>A<ABB><Text>a</Text>", "", false, "", "", "", -1},  // reversed
      {" ADDIN ABBREV <ABB>A</ABB><Text>a", "", false, "", "", "", -1},         // unclosed
      {" PAGE ", "3", false, "", "", "", -1},
  };
  for (const Case& c : cases) {
    FieldValues values{"previous", "values", "Q", 7, "QQ"};
    EXPECT_EQ(ExtractFieldValues(c.code, values, c.result), c.parsed) << c.code;
    if (c.parsed) {
      EXPECT_EQ(values.abbreviation, c.abb) << c.code;
      EXPECT_EQ(values.text, c.text) << c.code;
      EXPECT_EQ(values.directionLetter, c.letter) << c.code;
      EXPECT_EQ(values.entryNumber, c.entry) << c.code;
      EXPECT_EQ(values.directionTag, c.tag) << c.code;
    } else {
      EXPECT_EQ(values.abbreviation, "previous") << c.code;  // outputs left as they were
    }
  }
  std::string longCode = " ADDIN ABBREV <ABB>L</ABB><Text>" + std::string(40000, 'x') +
                         "</Text><Direction>LTR</Direction></ABBREV>";
  FieldValues values;
  ASSERT_TRUE(ExtractFieldValues(longCode, values, "L"));
  EXPECT_EQ(values.text.size(), 40000u);
}

TEST(FieldFormatTest, LeadingNumberReadsLikeAValue) {
  struct Case {
    const char* text;
    int32_t value;
  } cases[] = {{"12", 12}, {" 7abc", 7}, {"abc", 0}, {"", 0},
               {"2.5", 2}, {"3.5", 4},   {"-4", -4}, {"99999999999", 2147483647}};
  for (const Case& c : cases) EXPECT_EQ(LeadingNumber(c.text), c.value) << c.text;
}

class PlaceFieldTest : public DocumentTest {};

TEST_F(PlaceFieldTest, WritesTheFieldOverTheSelectionAndMovesPastIt) {
  AddEntry("QOTD", "Quote of the day");
  Open(P(R("Before target after.")));
  word.Selection().SetRange(7, 13);  // "target"
  ASSERT_TRUE(PlaceField(word, "QOTD", "Quote of the day", "{QOTD-#}"));
  EXPECT_EQ(Shown(), "Before {QOTD-#} after.\r");
  ASSERT_EQ(doc().Fields().Count(), 1);
  EXPECT_EQ(Code(1),
            " ADDIN ABBREV <ABB>QOTD</ABB><Text>Quote of the day</Text><Direction>LTR"
            "</Direction></ABBREV> ");
  EXPECT_FALSE(doc().Fields().Item(1)->ShowCodes());
  long fieldEnd = doc().Fields().Item(1)->Result()->End() + 1;
  EXPECT_EQ(word.Selection().Start(), fieldEnd);
  EXPECT_EQ(word.Selection().End(), fieldEnd);
  // Writing over the selected field rewrites it in place.
  doc().Fields().Item(1)->Select();
  ASSERT_TRUE(PlaceField(word, "QOTD", "Quote of the day", "Quote of the day (QOTD)"));
  EXPECT_EQ(Shown(), "Before Quote of the day (QOTD) after.\r");
  EXPECT_EQ(doc().Fields().Count(), 1);

  // An abbreviation spelled QUOTE keeps its spelling too.
  ASSERT_TRUE(PlaceField(word, "QUOTE", "quote", "QUOTE"));
  EXPECT_THAT(Code(2), HasSubstr("<ABB>QUOTE</ABB><Text>quote</Text><Direction></Direction>"));
  EXPECT_THAT(Code(2), ::testing::StartsWith(" ADDIN ABBREV "));
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PlaceFieldTest, ReportsTheFailingStep) {
  Open(P(AbbField("A", "a", "LTR", "shown") + R(" tail")));
  // A selection from inside the field's result to the text after it cuts the field in two.
  word.Selection().SetRange(doc().Fields().Item(1)->Result()->Start() + 1,
                            doc().Fields().Item(1)->Result()->End() + 3);
  EXPECT_FALSE(PlaceField(word, "B", "b", "{B-#}"));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_THAT(messages.shown[0].text, ::testing::StartsWith("An error occured with error ID= 1."));
  EXPECT_THAT(messages.shown[0].text, HasSubstr("\rWe are sorry for this error"));
  EXPECT_EQ(messages.shown[0].title, "Quillon");
  EXPECT_EQ(doc().Fields().Count(), 1);
}

}  // namespace
}  // namespace quillon::document
