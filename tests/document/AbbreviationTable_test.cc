// Hand-made abbreviation tables: recognising their header and reading their rows.
#include "document/AbbreviationTable.h"

#include "document/DocumentFixture.h"

namespace quillon::document {
namespace {

TEST(AbbreviationTableDirection, FollowsTheFirstLetterWithADirection) {
  const std::pair<const char*, const char*> cases[] = {
      {"machine learning", "L"},
      {"\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D", "R"},      // Hebrew
      {"123 \xD8\xB3\xD9\x84\xD8\xA7\xD9\x85", "R"},  // digits, then Arabic
      {"\xD9\xA1\xD9\xA2 abc", "L"},                  // Arabic digits, then Latin
      {"(\xD7\x90) a", "R"},
      {"", "L"},
  };
  for (const auto& [text, direction] : cases) EXPECT_EQ(DirectionOfText(text), direction) << text;
}

class AbbreviationTableTest : public DocumentTest {};

TEST_F(AbbreviationTableTest, FindsTheFirstTableHeadedLikeOne) {
  Open(Table({{"Name", "Value"}, {"a", "1"}}) + P(R("text")) +
       Table({{"Acronym", "Meaning"}, {"ML", "machine learning"}}) + P(R("x")) +
       Table({{"Abbreviation", "Meaning", "Page"}}) + P(""));
  EXPECT_EQ(FindAbbreviationTable(doc()), 2);
  std::vector<AbbreviationTableAt> tables = AbbreviationTables(doc());
  ASSERT_EQ(tables.size(), 2u);
  EXPECT_EQ(tables[0].index, 2);
  EXPECT_EQ(tables[1].index, 3);
  EXPECT_EQ(doc().Range(tables[0].start, tables[0].end)->Text(),
            "Acronym\r\aMeaning\r\a\r\aML\r\amachine learning\r\a\r\a");
  EXPECT_EQ(FindAbbreviationTable(*docx::testing::Load(P(R("no tables")))), 0);
}

// Rows are read as "source abbreviation|meaning|direction|refusal"; a cell of several
// paragraphs reads on one line.
TEST_F(AbbreviationTableTest, ReadsRowsJoinsACellsParagraphsAndRefusesRowsOfOneCell) {
  Open(Table({{"Abbreviation", "Meaning"},
              {" PCA ", "principal component analysis"},
              {"lonely"},
              {"", "no abbreviation"},
              {"\xD7\x90\xD7\x91", "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D"},
              {"FFT", "fast Fourier transform", "p. 3"}}) +
       P("") + "<w:tbl><w:tr><w:tc>" + P(R("Abbreviation")) + "</w:tc><w:tc>" + P(R("Meaning")) +
       "</w:tc></w:tr><w:tr><w:tc>" + P(R("WHO")) + "</w:tc><w:tc>" + P(R("World Health")) +
       P(R("Organization")) + "</w:tc></w:tr></w:tbl>" + P(""));
  std::string read;
  for (long table : {1, 2}) {
    for (const library::OfferedEntry& row : ReadAbbreviationTable(doc(), table)) {
      read += std::to_string(row.source) + " " + row.abb + "|" + row.text + "|" + row.direction +
              "|" + row.refusal + "\n";
    }
  }
  EXPECT_EQ(read,
            "2 PCA|principal component analysis|L|\n3 lonely|||the row has one cell\n"
            "4 |no abbreviation|L|\n"
            "5 \xD7\x90\xD7\x91|\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D|R|\n"
            "6 FFT|fast Fourier transform|L|\n2 WHO|World Health Organization|L|\n");
}

}  // namespace
}  // namespace quillon::document
