// Tables: the abbreviation list's way of building one, styles, style options, borders and the
// widths a list is written with.
#include <gtest/gtest.h>

#include "addin/host/HostError.h"
#include "base/ColumnFit.h"
#include "wordhost/docx/Document.h"
#include "wordhost/docx/DocxBuilder.h"
#include "wordhost/docx/FreshLoad.h"
#include "wordhost/docx/Selection.h"
#include "wordhost/docx/TableFit.h"
#include "wordhost/docx/TextExport.h"
#include "wordhost/docx/XmlPart.h"

namespace quillon::docx {
namespace {

using namespace testing;

// A Normal style of 11 points.
const std::string kStyles =
    "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\"><w:name "
    "w:val=\"Normal\"/><w:rPr><w:sz w:val=\"22\"/></w:rPr></w:style>";

// Returns the bytes of a document with kStyles holding a list as the add-in writes one: a
// 1 x 3 table fitted by fit, its header typed with cell moves, then a row added by moving on.
std::string SavedList(const std::vector<std::string>& row,
                      host::WdAutoFitBehavior fit = host::wdAutoFitContent) {
  auto doc =
      Document::FromBytes(MakeDocxWith(P(R("Body.")) + P(""), {{"styles", "styles", kStyles}}));
  doc->Tables().Add(*doc->Range(6, 6), 1, 3, host::wdWord9TableBehavior, fit);
  Selection& s = doc->selection();
  s.SetRange(6, 6);
  std::vector<std::string> cells = {"Abbreviation", "Meaning", "Page"};
  cells.insert(cells.end(), row.begin(), row.end());
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) s.MoveRight(host::wdCell, host::kMissing, host::kMissing);
    s.TypeText(cells[i]);
  }
  return doc->ToBytes();
}

// Returns the first table of the main part of bytes, read into xml.
pugi::xml_node TableOf(pugi::xml_document& xml, const std::string& bytes) {
  ParsePart(xml, "word/document.xml", Package::FromBytes(bytes).Read("word/document.xml"),
            pugi::parse_default);
  return xml.child("w:document").child("w:body").child("w:tbl");
}

std::vector<long> GridOf(pugi::xml_node table) {
  std::vector<long> widths;
  for (pugi::xml_node col : table.child("w:tblGrid").children("w:gridCol")) {
    widths.push_back(col.attribute("w:w").as_int());
  }
  return widths;
}

TEST(TableFit, TextWidthOfASection) {
  const std::pair<const char*, long> cases[] = {
      {"<w:sectPr><w:pgSz w:w=\"12240\"/><w:pgMar w:left=\"1440\" w:right=\"1440\"/></w:sectPr>",
       9360},
      {"<w:sectPr/>", 9638},                                  // A4 with 2 cm margins
      {"<w:sectPr><w:pgSz w:w=\"1000\"/></w:sectPr>", 9638},  // nonsense margins
  };
  for (const auto& [sectPr, expected] : cases) {
    pugi::xml_document xml;
    ASSERT_TRUE(xml.load_string(sectPr));
    EXPECT_EQ(TextWidthOf(xml.first_child()), expected) << sectPr;
  }
}

// The list is saved with the widths its contents need, in the text width of its section; a
// fixed list keeps its even share. Saving adds Word's Table Grid definition to the styles part.
TEST(TableFit, ListColumnsFollowTheirContents) {
  pugi::xml_document xml, longXml, fixedXml;
  const std::string bytes = SavedList({"CNN", "Convolutional Neural Network", "2"});
  EXPECT_EQ(Document::FromBytes(bytes)->Tables().Item(1)->Style(), "Table Grid");
  pugi::xml_node table = TableOf(xml, bytes);
  EXPECT_STREQ(table.child("w:tblPr").child("w:tblLayout").attribute("w:type").value(), "autofit");
  std::vector<long> grid = GridOf(table);
  ASSERT_EQ(grid.size(), 3u);
  EXPECT_LT(grid[2], grid[0]);
  EXPECT_EQ(grid[1], EstimatedLineWidth(28, 22) + 256);  // the meaning on one line
  for (pugi::xml_node row : table.children("w:tr")) {
    size_t c = 0;
    for (pugi::xml_node cell : row.children("w:tc")) {
      EXPECT_STREQ(cell.child("w:tcPr").child("w:tcW").attribute("w:type").value(), "dxa");
      EXPECT_EQ(cell.child("w:tcPr").child("w:tcW").attribute("w:w").as_int(), grid[c++]);
    }
  }
  // A meaning longer than the page leaves the other columns their widths and takes the rest.
  std::vector<long> fitted =
      GridOf(TableOf(longXml, SavedList({"LONG", std::string(200, 'm'), "3"})));
  ASSERT_EQ(fitted.size(), 3u);
  EXPECT_EQ(fitted[0], grid[0]);
  EXPECT_EQ(fitted[0] + fitted[1] + fitted[2], 9638);
  pugi::xml_node fixed = TableOf(fixedXml, SavedList({"CNN", "CNN", "2"}, host::wdAutoFitFixed));
  EXPECT_EQ(GridOf(fixed), (std::vector<long>{3212, 3212, 3212}));
  EXPECT_STREQ(fixed.child("w:tblPr").child("w:tblLayout").attribute("w:type").value(), "fixed");
}

TEST(Tables, CellMovesStylesAndErrors) {
  auto doc = Load(Tbl(2, 2) + P(R("after")));
  Selection& s = doc->selection();
  s.SetRange(0, 0);
  s.MoveRight(host::wdCell, 1, host::kMissing);
  EXPECT_EQ(s.Text(), "c01");
  s.MoveRight(host::wdCell, 1, host::kMissing);
  EXPECT_EQ(s.Text(), "c10");
  s.MoveLeft(host::wdCell, 1, host::kMissing);
  EXPECT_EQ(s.Text(), "c01");
  s.MoveRight(host::wdCell, 3, host::kMissing);  // past the last cell: a new row
  EXPECT_EQ(doc->Tables().Item(1)->RowCount(), 3);
  EXPECT_EQ(s.Text(), "");
  s.TypeText("new");
  EXPECT_EQ(ShowText(*doc, false), "c00\tc01\nc10\tc11\nnew\t\nafter\n");
  s.SetRange(doc->Range()->End() - 2, doc->Range()->End() - 2);
  EXPECT_THROW(s.MoveRight(host::wdCell, 1, host::kMissing), host::HostError);
  EXPECT_THROW(s.Borders().Item(-1)->SetLineStyle(0), host::HostError);
  EXPECT_THROW(s.Borders().Item(-9), host::HostError);
  s.SetRange(1, 1);
  EXPECT_THROW(
      doc->Tables().Add(*s.Range(), 1, 1, host::wdWord9TableBehavior, host::wdAutoFitContent),
      host::HostError);
  EXPECT_THROW(doc->Tables().Item(2), host::HostError);
  EXPECT_EQ(doc->Tables().Item(1)->Style(), "Table Normal");
  EXPECT_THROW(doc->Tables().Item(1)->SetStyle("No Such Style"), host::HostError);
}

// A row whose paragraph starts a page carries that into every row copied from it, and into
// the page numbers of everything after the table.
TEST(Tables, RowsCopiedWithAPageBreakBeforeMatchAFreshLoad) {
  std::string row = "<w:tr><w:tc>" + P(R("x"), "<w:pageBreakBefore/>") + "</w:tc></w:tr>";
  auto doc = Load(P(R("before")) + "<w:tbl>" + row + "</w:tbl>" + P(R("after")) +
                  P(PageBreak() + R("end")));
  Selection& s = doc->selection();
  long cellStart = doc->Tables().Item(1)->Range()->Start();
  s.SetRange(cellStart, cellStart);
  for (int i = 0; i < 5; ++i) s.MoveRight(host::wdCell, host::kMissing, host::kMissing);
  EXPECT_EQ(s.Information(host::wdActiveEndPageNumber), 7);
  ExpectSameAsFreshLoad(*doc);
  long last = doc->Range()->End() - 1;
  s.SetRange(last, last);
  EXPECT_EQ(s.Information(host::wdActiveEndPageNumber), 8);
}

// Adding and removing tables next to section and page breaks keeps the story as a fresh
// load reads it.
TEST(Tables, AddedAndRemovedTablesMatchAFreshLoad) {
  auto doc = Load(P(R("first section"), "<w:sectPr/>") + P(R("")) + P(R("middle")) +
                  P(PageBreak() + R("broken")) + P(R("")) + P(R("last")));
  // On the empty paragraph that starts the second section: the table takes its place.
  doc->Tables().Add(*doc->Range(14, 14), 2, 2, host::wdWord9TableBehavior, host::wdAutoFitContent);
  ExpectSameAsFreshLoad(*doc);
  // Saving creates the styles part the document lacked, so the table keeps its style.
  EXPECT_EQ(Document::FromBytes(doc->ToBytes())->Tables().Item(1)->Style(), "Table Grid");
  const Package saved = Package::FromBytes(doc->ToBytes());
  EXPECT_NE(saved.Read("[Content_Types].xml").find("/word/styles.xml"), std::string::npos);
  EXPECT_NE(saved.Read("word/_rels/document.xml.rels").find("styles.xml"), std::string::npos);
  EXPECT_EQ(doc->story().PageAt(14), 2);
  long empty = doc->Range()->End() - 6;
  doc->Tables().Add(*doc->Range(empty, empty), 1, 3, host::wdWord8TableBehavior,
                    host::wdAutoFitFixed);
  ExpectSameAsFreshLoad(*doc);
  doc->Tables().Item(1)->Delete();
  ExpectSameAsFreshLoad(*doc);
  EXPECT_EQ(doc->Tables().Count(), 1);
  doc->Tables().Item(1)->Delete();
  ExpectSameAsFreshLoad(*doc);
  EXPECT_EQ(doc->Tables().Count(), 0);
}

std::vector<std::string> CellTexts(Document& doc, long table, long row) {
  std::vector<std::string> texts;
  for (const auto& cell : doc.Tables().Item(table)->RowCells(row)) texts.push_back(cell->Text());
  return texts;
}

TEST(Tables, RowCellsCoverEachCellsContentAndNoMore) {
  // A cell of two paragraphs, an empty cell, and a table nested in a cell.
  std::string nested = "<w:tc>" + Tbl(1, 1, "n") + P(R("after")) + "</w:tc>";
  std::string body = "<w:tbl><w:tr><w:tc>" + P(R("one")) + P(R("two")) + "</w:tc><w:tc>" + P("") +
                     "</w:tc>" + nested + "</w:tr><w:tr><w:tc>" + P(R("last")) +
                     "</w:tc></w:tr></w:tbl>" + P(R("end"));
  auto doc = Load(body);
  EXPECT_EQ(CellTexts(*doc, 1, 1), (std::vector<std::string>{"one\rtwo", "", "n00\r\a\r\aafter"}));
  EXPECT_EQ(CellTexts(*doc, 1, 2), (std::vector<std::string>{"last"}));
  auto cells = doc->Tables().Item(1)->RowCells(2);
  EXPECT_EQ(doc->Range(cells[0]->End(), cells[0]->End() + 1)->StoryText(), "\a");
  for (long row : {0L, 3L}) {
    try {
      doc->Tables().Item(1)->RowCells(row);
      ADD_FAILURE() << "row " << row;
    } catch (const host::HostError& e) {
      EXPECT_EQ(e.Number(), host::kErrNoSuchMember);
    }
  }
}

}  // namespace
}  // namespace quillon::docx
