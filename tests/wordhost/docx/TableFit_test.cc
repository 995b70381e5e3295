// Tables fitting their contents: the text width of a section and the widths a built
// abbreviation list is written with.
#include "wordhost/docx/TableFit.h"

#include <gtest/gtest.h>

#include "base/ColumnFit.h"
#include "wordhost/docx/Document.h"
#include "wordhost/docx/DocxBuilder.h"
#include "wordhost/docx/Selection.h"
#include "wordhost/docx/XmlPart.h"

namespace quillon::docx {
namespace {

using namespace testing;

TEST(TableFit, TextWidthOfASection) {
  struct Case {
    const char* sectPr;
    long expected;
  };
  const Case cases[] = {
      {"<w:sectPr><w:pgSz w:w=\"12240\"/><w:pgMar w:left=\"1440\" w:right=\"1440\"/></w:sectPr>",
       9360},
      {"<w:sectPr/>", 9638},                                  // A4 with 2 cm margins
      {"<w:sectPr><w:pgSz w:w=\"1000\"/></w:sectPr>", 9638},  // nonsense margins
  };
  for (const Case& c : cases) {
    pugi::xml_document xml;
    ASSERT_TRUE(xml.load_string(c.sectPr));
    EXPECT_EQ(TextWidthOf(xml.first_child()), c.expected) << c.sectPr;
  }
}

std::vector<long> GridOf(pugi::xml_node table) {
  std::vector<long> widths;
  for (pugi::xml_node col : table.child("w:tblGrid").children("w:gridCol")) {
    widths.push_back(col.attribute("w:w").as_int());
  }
  return widths;
}

// Builds the abbreviation list as the add-in does and returns the saved main part.
pugi::xml_node SavedTable(pugi::xml_document& xml, const std::string& styles,
                          const std::vector<std::vector<std::string>>& rows,
                          host::WdAutoFitBehavior fit = host::wdAutoFitContent) {
  auto doc = Document::FromBytes(MakeDocx(P(R("Body.")) + P(""), &styles));
  host::Selection& s = doc->selection();
  s.SetRange(6, 6);
  s.Tables().Add(*s.Range(), 1, 3, host::wdWord9TableBehavior, fit);
  for (size_t r = 0; r < rows.size(); ++r) {
    for (size_t c = 0; c < rows[r].size(); ++c) {
      if (r + c > 0) s.MoveRight(host::wdCell, host::kMissing, host::kMissing);
      s.TypeText(rows[r][c]);
    }
  }
  Package saved = Package::FromBytes(doc->ToBytes());
  ParsePart(xml, "word/document.xml", saved.Read("word/document.xml"), pugi::parse_default);
  return xml.child("w:document").child("w:body").child("w:tbl");
}

TEST(TableFit, ListColumnsFollowTheirContents) {
  const std::string normal11 =
      "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\"><w:name "
      "w:val=\"Normal\"/><w:rPr><w:sz w:val=\"22\"/></w:rPr></w:style>";
  const std::vector<std::vector<std::string>> list = {{"Abbreviation", "Meaning", "Page"},
                                                      {"CNN", "Convolutional Neural Network", "2"},
                                                      {"SNR", "Signal-to-Noise Ratio", "1"}};
  pugi::xml_document xml;
  pugi::xml_node table = SavedTable(xml, normal11, list);
  ASSERT_TRUE(table);
  EXPECT_STREQ(table.child("w:tblPr").child("w:tblLayout").attribute("w:type").value(), "autofit");
  EXPECT_STREQ(table.child("w:tblPr").child("w:tblW").attribute("w:type").value(), "auto");
  std::vector<long> grid = GridOf(table);
  ASSERT_EQ(grid.size(), 3u);
  EXPECT_LT(grid[0], grid[1]);  // "Abbreviation" is shorter than the longest meaning
  EXPECT_LT(grid[2], grid[0]);
  EXPECT_EQ(grid[1], EstimatedLineWidth(28, 22) + 256);  // the meaning on one line
  EXPECT_LE(grid[0] + grid[1] + grid[2], 9638);
  // Each cell says the width of its column.
  for (pugi::xml_node row : table.children("w:tr")) {
    size_t c = 0;
    for (pugi::xml_node cell : row.children("w:tc")) {
      pugi::xml_node width = cell.child("w:tcPr").child("w:tcW");
      EXPECT_STREQ(width.attribute("w:type").value(), "dxa");
      EXPECT_EQ(width.attribute("w:w").as_int(), grid[c++]);
    }
  }

  // A meaning longer than the page leaves the other columns their widths and takes the rest.
  std::string longMeaning(200, 'm');
  pugi::xml_document xml2;
  pugi::xml_node wide =
      SavedTable(xml2, normal11, {{"Abbreviation", "Meaning", "Page"}, {"LONG", longMeaning, "3"}});
  std::vector<long> fitted = GridOf(wide);
  ASSERT_EQ(fitted.size(), 3u);
  EXPECT_EQ(fitted[0], grid[0]);
  EXPECT_EQ(fitted[0] + fitted[1] + fitted[2], 9638);

  // A larger font makes wider columns.
  const std::string normal14 =
      "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\"><w:name "
      "w:val=\"Normal\"/><w:rPr><w:sz w:val=\"28\"/></w:rPr></w:style>";
  pugi::xml_document xml3;
  EXPECT_GT(GridOf(SavedTable(xml3, normal14, list))[1], grid[1]);
}

TEST(TableFit, FixedTablesKeepTheirEvenShare) {
  pugi::xml_document xml;
  pugi::xml_node table = SavedTable(
      xml, "", {{"Abbreviation", "Convolutional Neural Network", "2"}}, host::wdAutoFitFixed);
  EXPECT_EQ(GridOf(table), (std::vector<long>{3212, 3212, 3212}));
  EXPECT_STREQ(table.child("w:tblPr").child("w:tblLayout").attribute("w:type").value(), "fixed");
}

}  // namespace
}  // namespace quillon::docx
